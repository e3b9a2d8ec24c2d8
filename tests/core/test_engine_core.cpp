// The engine core on a controlled clock: the frame delta clamp, the frame-rate
// window, callbacks, focus handling through the window procedure, the message
// pump and the termination callback after a fatal error.
#include <cstdint>
#include <string>
#include <vector>

#include "Platform/os/os.h"
#include "Platform/os/os_backend.h"
#include "cmorvane.h"
#include "mrv_window.h"
#include "test_support.h"

using m2dtest::ContainsLines;
using m2dtest::ReadLines;

namespace {

std::uint32_t g_uClock = 0;
std::uint32_t TestClock(void*) { return g_uClock; }

class EngineCoreTest : public m2dtest::TempDirTest {
 protected:
  void SetUp() override {
    TempDirTest::SetUp();
    os::SelectBackendForTests(os::Backend::Headless);
    g_uClock = 5000;
    os::SetTimeSourceForTests(&TestClock, nullptr);
    g_bAppActive = 0;
  }
  void TearDown() override {
    os::SetTimeSourceForTests(nullptr, nullptr);
    TempDirTest::TearDown();
  }
};

int g_iCalls = 0;
std::vector<std::string> g_vOrder;
void CountCall() { ++g_iCalls; }
void RecordFocusLost() { g_vOrder.push_back("lost-callback"); }
void RecordTermination() {
  g_vOrder.push_back("termination");
  CMorvane::LogAddLine("TERMINATION CALLBACK");
}

}  // namespace

TEST_F(EngineCoreTest, ConstructionSetsTheTimerAndFrameCounters) {
  CMorvane engine;
  EXPECT_EQ(engine.timeNow, 5000u);
  EXPECT_EQ(engine.timeLast, 4999u);
  EXPECT_EQ(engine.deltaMs, 1);
  EXPECT_EQ(engine.fpsFrames, 1);
  EXPECT_EQ(engine.fps, 1);
  EXPECT_EQ(GetEngine(), &engine);
}

TEST_F(EngineCoreTest, FrameDeltaIsClampedToOneTo300Milliseconds) {
  CMorvane engine;
  struct Step {
    std::uint32_t advance;
    int deltaMs;
    float deltaSec;
  };
  // The first update sees 1 ms since construction; equal readings give 1 ms,
  // a 5 s pause gives 300 ms, a clock that wraps past 2^32 still counts forward.
  const Step steps[] = {{0, 1, 0.001f}, {0, 1, 0.001f}, {16, 16, 0.016f},
                        {5000, 300, 0.3f}, {300, 300, 0.3f}, {301, 300, 0.3f}};
  g_uClock = 4999;  // reading equal to timeLast + 0 -> clamped to 1
  for (const Step& s : steps) {
    g_uClock += s.advance;
    engine.UpdateTimer();
    EXPECT_EQ(engine.deltaMs, s.deltaMs);
    EXPECT_FLOAT_EQ(engine.GetTimerDelta(), s.deltaSec);
  }
  g_uClock = 0xFFFFFFF0u;
  engine.UpdateTimer();
  g_uClock = 0x00000010u;  // 32 ms later across the wrap
  engine.UpdateTimer();
  EXPECT_EQ(engine.deltaMs, 32);
  // A reading behind the last one (signed negative delta) clamps to 1.
  g_uClock -= 100;
  engine.UpdateTimer();
  EXPECT_EQ(engine.deltaMs, 1);
}

TEST_F(EngineCoreTest, FrameRateWindowCountsTheClosingFrameAndDropsTheExcess) {
  CMorvane engine;
  g_uClock = engine.timeLast;
  std::vector<int> closedAt;
  for (int frame = 1; frame <= 200; ++frame) {
    g_uClock += 16;
    engine.UpdateTimer();
    if (engine.fpsAccumMs == 0) closedAt.push_back(frame);
    if (frame == 63) {
      EXPECT_EQ(engine.GetFPS(), 64);  // the frame count starts at 1
    }
    if (frame == 126) {
      EXPECT_EQ(engine.GetFPS(), 63);  // every later window
    }
  }
  // 63 * 16 = 1008 >= 1000 closes a window; the 8 ms excess is not carried.
  EXPECT_EQ(closedAt, (std::vector<int>{63, 126, 189}));
}

TEST_F(EngineCoreTest, RegisterCallbackLogsEachKindAndIgnoresOthers) {
  CMorvane engine;
  engine.RegisterCallback(&CountCall, 1);
  engine.RegisterCallback(&CountCall, 2);
  engine.RegisterCallback(&CountCall, 3);
  engine.RegisterCallback(&CountCall, 4);
  const std::string sep = "|---------------------------------------------------|";
  const std::vector<std::string> expected = {
      sep, "   +: Callback function for lost focus registered.", sep, "",
      sep, "   +: Callback function for restored focus registered.", sep, "",
      sep, "   +: Callback function for termination registered.", sep, "",
      sep, sep, ""};
  EXPECT_EQ(ReadLines("gamelog.txt"), expected);
  EXPECT_EQ(engine.onFocusLost, &CountCall);
  EXPECT_EQ(engine.onFocusRestored, &CountCall);
  EXPECT_EQ(engine.onTermination, &CountCall);
}

TEST_F(EngineCoreTest, WindowProcedureDrivesFocusChangesOnce) {
  CMorvane engine;
  g_vOrder.clear();
  g_iCalls = 0;
  engine.RegisterCallback(&RecordFocusLost, 1);
  engine.RegisterCallback(&CountCall, 2);
  g_bAppActive = 1;
  // Deactivation twice, a minimised activation (state in the upper half), then
  // two activations: one "FOCUS LOST", one "FOCUS GAINED".
  GameWindowProc(nullptr, os::WM_ACTIVATE, os::WA_INACTIVE, 0);
  GameWindowProc(nullptr, os::WM_ACTIVATE, os::WA_INACTIVE, 0);
  GameWindowProc(nullptr, os::WM_ACTIVATE, os::WA_ACTIVE | (1u << 16), 0);
  EXPECT_EQ(g_bAppActive, 0);
  g_uClock += 10000;  // the time spent inactive is discarded
  GameWindowProc(nullptr, os::WM_ACTIVATE, os::WA_CLICKACTIVE, 0);
  GameWindowProc(nullptr, os::WM_ACTIVATE, os::WA_ACTIVE, 0);
  EXPECT_EQ(g_bAppActive, 1);
  EXPECT_EQ(g_iCalls, 1);
  EXPECT_EQ(g_vOrder, std::vector<std::string>{"lost-callback"});
  EXPECT_EQ(engine.deltaMs, 1);
  g_uClock += 16;
  engine.UpdateTimer();
  EXPECT_EQ(engine.deltaMs, 16);
  std::vector<std::string> lines = ReadLines("gamelog.txt");
  int lost = 0, gained = 0;
  for (const auto& l : lines) {
    lost += l == "FOCUS LOST";
    gained += l == "FOCUS GAINED";
  }
  EXPECT_EQ(lost, 1);
  EXPECT_EQ(gained, 1);
}

TEST_F(EngineCoreTest, UpdateAllSystemsReportsQuitEvenWhileInactive) {
  CMorvane engine;
  g_bAppActive = 0;
  EXPECT_EQ(engine.UpdateAllSystems(), 0);
  os::PostQuitMessage(0);
  EXPECT_EQ(engine.UpdateAllSystems(), -1);
  g_bAppActive = 1;
  g_uClock += 20;
  EXPECT_EQ(engine.UpdateAllSystems(), 1);
  EXPECT_EQ(engine.timeLast, g_uClock);
}

TEST_F(EngineCoreTest, FatalFlagRunsTheTerminationCallbackBeforeShutDown) {
  g_vOrder.clear();
  {
    CMorvane engine;
    engine.RegisterCallback(&RecordTermination, 3);
    engine.RES_Init();
  }
  EXPECT_TRUE(g_vOrder.empty()) << "a normal exit leaves the clean-up to the game";
  {
    CMorvane engine;
    engine.RegisterCallback(&RecordTermination, 3);
    engine.RES_Init();
    engine.fatalError = 1;
  }
  EXPECT_EQ(g_vOrder, std::vector<std::string>{"termination"});
  std::vector<std::string> lines = ReadLines("gamelog.txt");
  EXPECT_TRUE(ContainsLines(lines, {"TERMINATION CALLBACK",
                                    "|---------------------------------------------------|", "",
                                    "--==: Deinitializing Resources Subsystem..."}));
  EXPECT_EQ(lines[lines.size() - 4], "--==: End of log.");
}
