// What one GUI frame costs: 200 elements of the real classes (20 windows,
// each holding a nine-slice frame tile and four buttons with a label on
// each), loaded from GUI data, updated and drawn inside a scene on the
// recording device. The goal is well under a millisecond of CPU time per
// frame, and no heap allocation at all once the frames are steady.
#include <benchmark/benchmark.h>
#include <stdlib.h>

#include <atomic>
#include <chrono>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <new>
#include <string>
#include <thread>

#include "Platform/gfx/null/null_device.h"
#include "Platform/os/os_backend.h"
#include "cmorvane.h"
#include "m2dgui_cmorvanegui.h"

// {==== Allocation counter ==================================================
// Replaces the global allocation functions to count every allocation (not
// under the sanitizers, whose allocator must see every pair itself). g++
// sees the inlined new of this file paired with these deletes and warns
// about a mismatch that is not one: both sides use malloc and free.
namespace {
std::atomic<long> g_lAllocations{0};
}  // namespace

#ifndef M2D_SANITIZE
constexpr bool kCountingAllocations = true;
#pragma GCC diagnostic ignored "-Wmismatched-new-delete"
void* operator new(std::size_t fp_uSize) {
  g_lAllocations.fetch_add(1, std::memory_order_relaxed);
  if (void* p = std::malloc(fp_uSize != 0 ? fp_uSize : 1)) return p;
  throw std::bad_alloc();
}
void* operator new[](std::size_t fp_uSize) { return operator new(fp_uSize); }
void* operator new(std::size_t fp_uSize, const std::nothrow_t&) noexcept {
  g_lAllocations.fetch_add(1, std::memory_order_relaxed);
  return std::malloc(fp_uSize != 0 ? fp_uSize : 1);
}
void* operator new[](std::size_t fp_uSize, const std::nothrow_t& fp_rTag) noexcept {
  return operator new(fp_uSize, fp_rTag);
}
void operator delete(void* fp_p) noexcept { std::free(fp_p); }
void operator delete[](void* fp_p) noexcept { std::free(fp_p); }
void operator delete(void* fp_p, std::size_t) noexcept { std::free(fp_p); }
void operator delete[](void* fp_p, std::size_t) noexcept { std::free(fp_p); }
void operator delete(void* fp_p, const std::nothrow_t&) noexcept { std::free(fp_p); }
void operator delete[](void* fp_p, const std::nothrow_t&) noexcept { std::free(fp_p); }
#else
constexpr bool kCountingAllocations = false;
#endif
// }====

namespace {

namespace fs = std::filesystem;

void Write(const std::string& fp_strPath, const std::string& fp_strBytes) {
  std::ofstream tmp_File(fp_strPath, std::ios::binary | std::ios::trunc);
  tmp_File.write(fp_strBytes.data(), static_cast<std::streamsize>(fp_strBytes.size()));
}

// A 32-bit TGA of one colour, fp_iSize pixels square.
std::string SolidTGA(int fp_iSize, std::uint32_t fp_uARGB) {
  std::string tmp_str(18, '\0');
  tmp_str[2] = 2;
  tmp_str[12] = static_cast<char>(fp_iSize & 0xFF);
  tmp_str[13] = static_cast<char>(fp_iSize >> 8);
  tmp_str[14] = static_cast<char>(fp_iSize & 0xFF);
  tmp_str[15] = static_cast<char>(fp_iSize >> 8);
  tmp_str[16] = 32;
  tmp_str[17] = 0x28;
  for (int i = 0; i < fp_iSize * fp_iSize; ++i)
    for (int b = 0; b < 4; ++b) tmp_str.push_back(static_cast<char>((fp_uARGB >> (8 * b)) & 0xFF));
  return tmp_str;
}

// The catalogue, in load order: what the GUI data names comes first.
const char* const kRes[7][3] = {
    {"TEX_FRAME", "TEXTURE", "frame.tga"}, {"TEX_BTN", "TEXTURE", "btn.tga"},
    {"TEX_BTN_P", "TEXTURE", "btn_p.tga"}, {"TEX_FONT", "TEXTURE", "font.tga"},
    {"TP_GUI", "TECHNIQUE", "gui.tp"},     {"FNT_GUI", "FONT", "font.fnt"},
    {"GUI_BENCH", "GUIDATA", "gui.dat"},
};

std::string Numbered(const char* fp_pszPrefix, int fp_iNumber) {
  std::string tmp_str(fp_pszPrefix);
  tmp_str.append(std::to_string(fp_iNumber));
  return tmp_str;
}

// The engine headless in a temporary folder, with the GUI tree loaded.
class CScene {
 public:
  CScene() {
    oldCwd = fs::current_path();
    char tmp_szDir[] = "/tmp/m2d_bench_gui_XXXXXX";
    dir = ::mkdtemp(tmp_szDir);
    fs::current_path(dir);
    fs::create_directories("DATA");
    // The tip first: the windows name it.
    std::string tmp_strGui = "<desktop>\n<tip id=\"TIP\" coords=\"16 0 100 20\"/>\n";
    for (int p = 0; p < 20; ++p) {
      const std::string tmp_strW = Numbered("W", p);
      tmp_strGui += "<window id=\"" + tmp_strW + "\" coords=\"0 0 150 140\" location_shown=\"" +
                    std::to_string((p % 5) * 160) + " " + std::to_string((p / 5) * 150) +
                    "\" time_showhide=\"0.01\" enabled=\"1\" zorder=\"" + std::to_string(20 - p) +
                    "\" tip=\"TIP\">\n"
                    "  <tile id=\"" + tmp_strW + "_F\" coords=\"0 0 150 140\" texture=\"TEX_FRAME\" "
                    "technique=\"TEQ_GUI\" drawscheme=\"4\" drawparams=\"64 64 16 16\" visible=\"1\"/>\n";
      for (int c = 0; c < 4; ++c) {
        const std::string tmp_strB = Numbered((tmp_strW + "_B").c_str(), c);
        tmp_strGui += "  <button id=\"" + tmp_strB + "\" coords=\"" + std::to_string(10 + (c % 2) * 70) +
                      " " + std::to_string(20 + (c / 2) * 60) +
                      " 60 40\" texture=\"TEX_BTN\" texture_pressed=\"TEX_BTN_P\" technique=\"TEQ_GUI\" "
                      "drawscheme=\"2\" drawparams=\"32 32 8 8\" visible=\"1\" enabled=\"1\" "
                      "childscolor_selected=\"1 1 0 1\">\n"
                      "    <label id=\"" + tmp_strB + "_L\" coords=\"0 12 60 16\" font=\"FNT_GUI\" "
                      "text=\"" + tmp_strB + "\" alignment=\"2\" visible=\"1\"/>\n"
                      "  </button>\n";
      }
      tmp_strGui += "</window>\n";
    }
    tmp_strGui += "</desktop>\n";
    std::string tmp_strFont =
        "<fontdesc id=\"FNT_GUI\" textureid=\"TEX_FONT\" techniqueid=\"TEQ_FONT\" "
        "techpackid=\"TP_GUI\" cellsize=\"16\" tag=\"1\"";
    for (int c = 0; c < 256; ++c) tmp_strFont += " cs" + std::to_string(c) + "=\"9\"";
    Write("DATA/font.fnt", tmp_strFont + "/>");
    Write("DATA/gui.tp",
          "<techniquespack><t id=\"TEQ_GUI\" tag=\"1\" alphablending=\"ON\" absrc=\"SRCALPHA\" "
          "abdest=\"INVSRCALPHA\"/><t id=\"TEQ_FONT\" tag=\"1\" alphablending=\"ON\" "
          "absrc=\"SRCALPHA\" abdest=\"INVSRCALPHA\"/></techniquespack>");
    Write("DATA/frame.tga", SolidTGA(64, 0xFF304050u));
    Write("DATA/btn.tga", SolidTGA(32, 0xFF808080u));
    Write("DATA/btn_p.tga", SolidTGA(32, 0xFF404040u));
    Write("DATA/font.tga", SolidTGA(256, 0xFFFFFFFFu));
    Write("DATA/gui.dat", tmp_strGui);
    std::string tmp_strPack = "<respack>\n";
    for (const auto& r : kRes)
      tmp_strPack += std::string("<res id=\"") + r[0] + "\" typeid=\"" + r[1] + "\" filename=\"" + r[2] +
                     "\" tag=\"1\" data1=\"4\" data2=\"1\" data3=\"0\"/>\n";
    Write("DATA/res.xml", tmp_strPack + "</respack>\n");

    ::setenv("M2D_HEADLESS", "1", 1);
    os::SelectBackendForTests(os::Backend::Headless);
    engine = std::make_unique<CMorvane>();
    engine->Start("GUI benchmark", "1");
    engine->RES_Init();
    engine->GFX_PreInit(800, 600);
    engine->GFX_Init(2, 0);
    engine->INP_Init();
    engine->SCR_Init();
    gui = std::make_unique<CMorvaneGUI>();
    engine->LoadResources(1);
    for (int p = 0; p < 20; ++p) gui->ExecuteElementCommand(Numbered("W", p).c_str(), 1, 0.0f);
    // The recording device keeps no events: its growing log would be counted
    // as the frame's allocations.
    gfx::null::AsNullDevice(engine->pD3DDevice)->SetRecordCapacity(0);
  }
  ~CScene() {
    gui.reset();
    engine.reset();
    fs::current_path(oldCwd);
    std::error_code tmp_Error;
    fs::remove_all(dir, tmp_Error);
  }

  void Frame() {
    engine->UpdateTimer();
    engine->INP_Update();
    gui->Update();
    engine->GFX_SceneBegin();
    gui->Draw();
    engine->GFX_SceneEnd();
  }

  std::unique_ptr<CMorvane> engine;
  std::unique_ptr<CMorvaneGUI> gui;

 private:
  fs::path oldCwd;
  std::string dir;
};

void BM_GuiFrame200(benchmark::State& fp_rState) {
  CScene tmp_Scene;
  if (tmp_Scene.gui->GetElementCount() != 202) {
    fp_rState.SkipWithError("the GUI tree did not load");
    return;
  }
  // Long enough on the clock for every window to be fully shown.
  for (int i = 0; i < 10; ++i) {
    tmp_Scene.Frame();
    std::this_thread::sleep_for(std::chrono::milliseconds(3));
  }
  // Allocations are counted over frames of their own: the benchmark's loop
  // allocates a little itself when it starts and stops its timers.
  constexpr long kCountedFrames = 1000;
  const long tmp_lBefore = g_lAllocations.load();
  for (long i = 0; i < kCountedFrames; ++i) tmp_Scene.Frame();
  const long tmp_lAllocs = g_lAllocations.load() - tmp_lBefore;
  for (auto _ : fp_rState) tmp_Scene.Frame();
  if (kCountingAllocations)
    fp_rState.counters["allocs_per_frame"] =
        static_cast<double>(tmp_lAllocs) / static_cast<double>(kCountedFrames);
  fp_rState.counters["elements"] = tmp_Scene.gui->GetElementCount() - 1;
}
BENCHMARK(BM_GuiFrame200)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
