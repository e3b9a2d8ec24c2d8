// What a frame costs the engine: begin, clear, 10,000 textured quads through
// the quad template and the batch, end and present, on the recording device
// (so only the engine's own work and the device's bookkeeping are measured).
// Once with one texture, once switching between two textures every 50 quads
// (about 200 flushes a frame, as many as the game's screens cause). The goal
// is well under a millisecond of CPU time a frame.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "Platform/gfx/null/null_device.h"
#include "Platform/os/os_backend.h"
#include "cmorvane.h"

namespace {

namespace fs = std::filesystem;

constexpr int kQuads = 10000;

// A 4x4 uncompressed 32-bit TGA of one colour.
std::string SolidTGA(std::uint32_t fp_uARGB) {
  std::string tmp_str(18, '\0');
  tmp_str[2] = 2;
  tmp_str[12] = 4;
  tmp_str[14] = 4;
  tmp_str[16] = 32;
  tmp_str[17] = 0x28;
  for (int i = 0; i < 16; ++i) {
    for (int b = 0; b < 4; ++b) tmp_str.push_back(static_cast<char>((fp_uARGB >> (8 * b)) & 0xFF));
  }
  return tmp_str;
}

// An engine with graphics started headless in a temporary folder, two
// textures and one technique loaded.
class CScene {
 public:
  CScene() {
    oldCwd = fs::current_path();
    char tmp_szDir[] = "/tmp/m2d_bench_gfx_XXXXXX";
    dir = ::mkdtemp(tmp_szDir);
    fs::current_path(dir);
    fs::create_directories("DATA");
    os::SelectBackendForTests(os::Backend::Headless);
    engine = std::make_unique<CMorvane>();
    engine->Start("Graphics benchmark", "1");
    engine->GFX_PreInit(800, 600);
    engine->GFX_Init(2, 0);
    // The device keeps no per-call record: the frame's cost is the engine's.
    gfx::null::AsNullDevice(engine->pD3DDevice)->SetRecordCapacity(0);
    for (const char* tmp_pszID : {"TEX_A", "TEX_B"}) {
      const std::string tmp_strImage = SolidTGA(0xFF808080u);
      textures.push_back(engine->GFX_TexLoadFromMemory(tmp_strImage.data(), int(tmp_strImage.size()), 4,
                                                       tmp_pszID, 1, 0, 0));
    }
    const std::string tmp_strPack =
        "<techniquespack><t id=\"TEQ_STD\" alphablending=\"ON\" absrc=\"SRCALPHA\" abdest=\"INVSRCALPHA\" "
        "s0_colorop=\"MODULATE\" s0_colorarg1=\"TEXTURE\" s0_colorarg2=\"DIFFUSE\"/></techniquespack>";
    engine->GFX_TechLoadPack(tmp_strPack.data(), int(tmp_strPack.size()));
  }
  ~CScene() {
    engine.reset();
    fs::current_path(oldCwd);
    std::error_code tmp_Error;
    fs::remove_all(dir, tmp_Error);
  }

  void Frame(int fp_iQuadsPerTexture) {
    engine->GFX_SceneBegin();
    engine->GFX_SceneClearScreen(0, 0, 0);
    engine->GFX_TechApply("TEQ_STD");
    for (int i = 0; i < kQuads; ++i) {
      engine->GFX_TexSet(textures[size_t((i / fp_iQuadsPerTexture) % 2)], 0);
      const float x = static_cast<float>(i % 100) * 8.0f;
      const float y = static_cast<float>(i / 100) * 6.0f;
      engine->GFX_VQuadSetColor(1.0f, 1.0f, 1.0f, 0.5f);
      engine->GFX_VQuadSetTexCoords(1, 0, 0, 1, 1);
      engine->GFX_VQuadSetPos(x, y, 8.0f, 6.0f, 0.5f);
      engine->GFX_SceneRender();
    }
    engine->GFX_SceneEnd();
    engine->GFX_ScenePresent();
  }

  std::unique_ptr<CMorvane> engine;
  std::vector<int> textures;
  fs::path oldCwd;
  std::string dir;
};

void BM_Frame10kQuadsOneTexture(benchmark::State& fp_rState) {
  CScene tmp_Scene;
  for (auto _ : fp_rState) tmp_Scene.Frame(kQuads);
  fp_rState.SetItemsProcessed(fp_rState.iterations() * kQuads);
}
BENCHMARK(BM_Frame10kQuadsOneTexture)->Unit(benchmark::kMicrosecond);

void BM_Frame10kQuadsTextureSwitchEvery50(benchmark::State& fp_rState) {
  CScene tmp_Scene;
  for (auto _ : fp_rState) tmp_Scene.Frame(50);
  fp_rState.SetItemsProcessed(fp_rState.iterations() * kQuads);
}
BENCHMARK(BM_Frame10kQuadsTextureSwitchEvery50)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
