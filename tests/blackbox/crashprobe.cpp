// A small program on the engine that fails on purpose, so the tests can watch
// the top-level handling: m2d_crashprobe MODE, MODE one of intdiv, nullwrite,
// game, string, unknown, ok. Before failing it prints the line of the last
// checkpoint on stdout.
#include <cstdio>
#include <cstring>
#include <string>

#include "cmorvane.h"
#include "mrv_window.h"

static constexpr int kM2DFileID = 999;

namespace {

std::string s_strMode;

void ProbeCleanup() { CMorvane::LogAddLine("PROBE CLEANUP"); }

volatile int s_iZero = 0;
int* volatile s_pNull = nullptr;

int __attribute__((noinline)) Fail() {
  M2D_CHECKPOINT; std::printf("checkpoint %d\n", __LINE__); std::fflush(stdout);
  if (s_strMode == "intdiv") return 100 / s_iZero;
  if (s_strMode == "nullwrite") {
    *s_pNull = 1;
    return 0;
  }
  if (s_strMode == "game") M2D_THROW(EHS_TYPE_GAME, 7, "Invalid probe request!");
  if (s_strMode == "string") throw "Error in T2DSafeArray<T, tOutOfBoundsValue>::At";
  if (s_strMode == "unknown") throw 42;
  return 0;
}

void ProbeMain(CMorvane* fp_pEngine) {
  fp_pEngine->Start("Probe", "v. 1.0");
  fp_pEngine->RegisterCallback(&ProbeCleanup, 3);
  fp_pEngine->RES_Init();
  std::printf("result %d\n", Fail());
}

}  // namespace

int main(int argc, char** argv) {
  s_strMode = argc > 1 ? argv[1] : "ok";
  return WinMain(os::GetModuleHandle(), nullptr, "", os::SW_SHOW, &ProbeMain);
}
