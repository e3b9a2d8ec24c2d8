// What one GUI frame costs: 200 elements (20 panels of 9 boxes each, plus
// their panels), loaded from GUI data, updated and drawn inside a scene on
// the recording device. The goal is well under a millisecond of CPU time per
// frame, and no heap allocation at all once the frames are steady.
#include <benchmark/benchmark.h>
#include <stdlib.h>

#include <atomic>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <new>
#include <string>

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

// A drawn box: one untextured quad over its absolute rectangle, then its
// children; the mouse and tip check of a visible element.
class CBenchBox : public CGUIElement {
 public:
  explicit CBenchBox(const char* fp_pszID) : CGUIElement(fp_pszID) {}
  void Update(const GUIRECT& fp_rRect, const GUIRECT& fp_rColor, bool fp_bVisible,
              bool fp_bEnabled, float fp_fOffsetX, float fp_fOffsetY) override {
    ComputeAbsolute(fp_rRect, fp_rColor, fp_bVisible, fp_bEnabled, fp_fOffsetX, fp_fOffsetY);
    CheckTip();
    UpdateChildren();
  }
  void Draw() override {
    if (!absVisible) return;
    CMorvane* tmp_pEngine = GetEngine();
    tmp_pEngine->GFX_VQuadSetColor(absColor.x, absColor.y, absColor.width, absColor.height);
    tmp_pEngine->GFX_VQuadSetPos(absRect.x, absRect.y, absRect.width, absRect.height, 0.5f);
    tmp_pEngine->GFX_SceneRender();
    DrawChildren();
  }
};

CGUIElement* CreateBenchBox(const char* fp_pszID) { return new CBenchBox(fp_pszID); }

void Write(const std::string& fp_strPath, const std::string& fp_strBytes) {
  std::ofstream tmp_File(fp_strPath, std::ios::binary | std::ios::trunc);
  tmp_File.write(fp_strBytes.data(), static_cast<std::streamsize>(fp_strBytes.size()));
}

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
    // The tip first: the panels name it.
    std::string tmp_strGui = "<desktop>\n<benchbox id=\"TIP\" coords=\"16 0 100 20\"/>\n";
    for (int p = 0; p < 20; ++p) {
      tmp_strGui += "<benchbox id=\"" + Numbered("P", p) + "\" coords=\"" +
                    std::to_string((p % 5) * 160) + " " + std::to_string((p / 5) * 150) +
                    " 150 140\" visible=\"1\" enabled=\"1\" zorder=\"" +
                    std::to_string(20 - p) + "\" tip=\"TIP\">\n";
      for (int c = 0; c < 9; ++c)
        tmp_strGui += "  <benchbox id=\"" + Numbered(Numbered("P", p).append("_").c_str(), c) +
                      "\" coords=\"" + std::to_string((c % 3) * 50) + " " +
                      std::to_string((c / 3) * 45) +
                      " 45 40\" color=\"1 0.5 0.5 1\" visible=\"1\" enabled=\"1\"/>\n";
      tmp_strGui += "</benchbox>\n";
    }
    tmp_strGui += "</desktop>\n";
    Write("DATA/gui.dat", tmp_strGui);
    Write("DATA/res.xml",
          "<respack><res id=\"GUI_BENCH\" typeid=\"GUIDATA\" filename=\"gui.dat\" tag=\"1\" "
          "data1=\"0\" data2=\"0\" data3=\"0\"/></respack>\n");

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
    gui->RegisterElementClass(&CreateBenchBox, "benchbox");
    engine->LoadResource("GUI_BENCH");
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
  for (int i = 0; i < 10; ++i) tmp_Scene.Frame();
  const long tmp_lBefore = g_lAllocations.load();
  long tmp_lFrames = 0;
  for (auto _ : fp_rState) {
    tmp_Scene.Frame();
    ++tmp_lFrames;
  }
  const long tmp_lAllocs = g_lAllocations.load() - tmp_lBefore;
  if (kCountingAllocations)
    fp_rState.counters["allocs_per_frame"] =
        tmp_lFrames > 0 ? static_cast<double>(tmp_lAllocs) / static_cast<double>(tmp_lFrames)
                        : 0.0;
  fp_rState.counters["elements"] = tmp_Scene.gui->GetElementCount() - 1;
}
BENCHMARK(BM_GuiFrame200)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
