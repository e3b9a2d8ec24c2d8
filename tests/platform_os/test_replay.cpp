// Session replay and recording: a hand-written replay drives the timer, the
// tick count and the messages frame by frame; a recorded session replays to
// the same readings; malformed files are reported and end the run.
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "Platform/os/os.h"
#include "Platform/os/os_backend.h"
#include "Platform/os/os_replay.h"
#include "test_support.h"

namespace {

std::vector<std::string> g_vSeen;

os::LRESULT TestProc(os::HWND fp_hWnd, std::uint32_t fp_uMsg, os::WPARAM fp_wParam,
                     os::LPARAM fp_lParam) {
  g_vSeen.push_back(std::to_string(fp_uMsg) + ":" + std::to_string(fp_wParam));
  if (fp_uMsg == os::WM_DESTROY) {
    os::PostQuitMessage(0);
    return 0;
  }
  return os::DefWindowProc(fp_hWnd, fp_uMsg, fp_wParam, fp_lParam);
}

os::HWND MakeWindow() {
  os::WNDCLASSEX tmp_Class{0, &TestProc, 0, 0, os::GetModuleHandle(), "m2d_gamewindow"};
  if (!os::RegisterClassEx(tmp_Class)) return nullptr;
  os::HWND tmp_hWnd = os::CreateWindowEx(0, "m2d_gamewindow", "", os::WS_POPUP, 0, 0, 800, 600,
                                         nullptr, nullptr, os::GetModuleHandle(), nullptr);
  os::ShowWindow(tmp_hWnd, os::SW_SHOW);
  return tmp_hWnd;
}

// One message pump; the messages taken, as "message:wParam".
std::vector<std::string> Pump() {
  std::vector<std::string> tmp_v;
  os::MSG tmp_Msg{};
  while (os::PeekMessage(&tmp_Msg, nullptr, 0, 0, true)) {
    tmp_v.push_back(std::to_string(tmp_Msg.message) + ":" + std::to_string(tmp_Msg.wParam));
    os::DispatchMessage(&tmp_Msg);
  }
  return tmp_v;
}

using V = std::vector<std::string>;

class ReplayTest : public m2dtest::TempDirTest {
 protected:
  void SetUp() override {
    m2dtest::TempDirTest::SetUp();
    ::unsetenv("M2D_RECORD");
    ::unsetenv("M2D_REPLAY");
    os::SelectBackendForTests(os::Backend::Headless);
    g_vSeen.clear();
  }
};

TEST_F(ReplayTest, HandWrittenFileDrivesEachFrame) {
  m2dtest::WriteFile("session.txt",
                     "m2dreplay 1\n"
                     "# a comment\n"
                     "init 1000 5000\n"
                     "frame\n"
                     "time 1016 1017\n"
                     "tick 5016\n"
                     "msg 6 1 0\n"
                     "keys 30 31\r\n"
                     "keys  \n"
                     "frame\n"
                     "msg 16 0 0\n"
                     "frame\n"
                     "time 1100\n");
  ::setenv("M2D_REPLAY", "session.txt", 1);
  ASSERT_EQ(os::replay::GetMode(), os::replay::Mode::Replay);
  EXPECT_EQ(os::replay::CurrentFrame(), 0);
  EXPECT_EQ(os::timeGetTime(), 1000u);
  EXPECT_EQ(os::timeGetTime(), 1000u);
  EXPECT_EQ(os::GetTickCount(), 5000u);
  os::HWND hwnd = MakeWindow();
  ASSERT_NE(hwnd, nullptr);

  // Frame 1: the activation, two readings then the last repeats, the records.
  EXPECT_EQ(Pump(), (V{"6:1"}));
  EXPECT_EQ(g_vSeen, (V{"6:1"}));
  EXPECT_EQ(os::replay::CurrentFrame(), 1);
  EXPECT_EQ(os::timeGetTime(), 1016u);
  EXPECT_EQ(os::timeGetTime(), 1017u);
  EXPECT_EQ(os::timeGetTime(), 1017u);
  EXPECT_EQ(os::GetTickCount(), 5016u);
  EXPECT_EQ(os::replay::FrameRecords("keys"), (V{"30 31", ""}));
  EXPECT_TRUE(os::replay::FrameRecords("mouse").empty());
  EXPECT_TRUE(os::WaitMessage());  // never blocks in a replay

  // Frame 2: a close request: close, destroy, quit; no readings: they repeat.
  EXPECT_EQ(Pump(), (V{"16:0", "18:0"}));
  EXPECT_EQ(g_vSeen, (V{"6:1", "16:0", "2:0"}));
  EXPECT_EQ(os::timeGetTime(), 1017u);
  EXPECT_EQ(os::GetTickCount(), 5016u);
  EXPECT_TRUE(os::replay::FrameRecords("keys").empty());

  // Frame 3, then the end of the replay posts one quit.
  EXPECT_TRUE(Pump().empty());
  EXPECT_EQ(os::timeGetTime(), 1100u);
  EXPECT_EQ(Pump(), (V{"18:0"}));
  EXPECT_EQ(os::replay::CurrentFrame(), 4);
  EXPECT_TRUE(Pump().empty());
  EXPECT_TRUE(Pump().empty());
  EXPECT_EQ(os::timeGetTime(), 1100u);
  EXPECT_EQ(os::GetTickCount(), 5016u);
}

// The same session, live (recording) or replayed: a transcript of what the
// program saw, frame by frame.
std::string RunSession(bool fp_bLive) {
  std::string tmp_str;
  auto Add = [&](const std::string& fp_s) { tmp_str += fp_s + "\n"; };
  for (int i = 0; i < 3; ++i) Add("pre time " + std::to_string(os::timeGetTime()));
  Add("pre tick " + std::to_string(os::GetTickCount()));
  os::HWND tmp_hWnd = MakeWindow();
  for (int tmp_iFrame = 1; tmp_iFrame < 50; ++tmp_iFrame) {
    bool tmp_bQuit = false;
    for (const std::string& tmp_rMsg : Pump()) {
      Add("msg " + tmp_rMsg);
      tmp_bQuit = tmp_bQuit || tmp_rMsg.rfind("18:", 0) == 0;
    }
    if (tmp_bQuit) break;
    Add("frame " + std::to_string(os::replay::CurrentFrame()));
    Add("time " + std::to_string(os::timeGetTime()) + " " + std::to_string(os::timeGetTime()));
    if (tmp_iFrame % 2 == 0) Add("tick " + std::to_string(os::GetTickCount()));
    if (fp_bLive) {
      std::string tmp_strKeys = "k" + std::to_string(tmp_iFrame);
      os::replay::RecordLine("keys", tmp_strKeys);
      Add("keys " + tmp_strKeys);
      if (tmp_iFrame == 2) os::ShowWindow(tmp_hWnd, os::SW_MINIMIZE);
      if (tmp_iFrame == 3) os::ShowWindow(tmp_hWnd, os::SW_RESTORE);
      if (tmp_iFrame == 5) ::raise(SIGTERM);
    } else {
      for (const std::string& tmp_rRec : os::replay::FrameRecords("keys")) Add("keys " + tmp_rRec);
    }
  }
  return tmp_str;
}

TEST_F(ReplayTest, RecordedSessionReplaysToTheSameReadings) {
  pid_t child = ::fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    ::setenv("M2D_RECORD", "rec.txt", 1);
    std::string tmp_str = RunSession(true);
    m2dtest::WriteFile("live.txt", tmp_str);
    std::exit(os::replay::GetMode() == os::replay::Mode::Record ? 0 : 3);  // flushes at exit
  }
  int status = 0;
  ASSERT_EQ(::waitpid(child, &status, 0), child);
  ASSERT_TRUE(WIFEXITED(status));
  ASSERT_EQ(WEXITSTATUS(status), 0);

  std::vector<std::string> rec = m2dtest::ReadLines("rec.txt");
  ASSERT_FALSE(rec.empty());
  EXPECT_EQ(rec[0], "m2dreplay 1");
  EXPECT_EQ(rec[1].rfind("init ", 0), 0u);
  // The system's messages are kept (minimise, restore, the signal's quit);
  // what the program posted itself is not.
  EXPECT_TRUE(m2dtest::ContainsLine(rec, "msg 6 65536 0"));
  EXPECT_TRUE(m2dtest::ContainsLine(rec, "msg 6 1 0"));
  EXPECT_TRUE(m2dtest::ContainsLine(rec, "msg 18 0 0"));
  EXPECT_TRUE(m2dtest::ContainsLine(rec, "keys k4"));

  ::setenv("M2D_REPLAY", "rec.txt", 1);
  std::string replayed = RunSession(false);
  std::string live = m2dtest::ReadFile("live.txt");
  EXPECT_EQ(replayed, live);
  EXPECT_NE(live.find("msg 18:0"), std::string::npos);
}

TEST_F(ReplayTest, MalformedFilesAreReportedAndEndTheRun) {
  struct Case {
    const char* text;  // null: the file does not exist
    const char* report;
  };
  const Case kCases[] = {
      {nullptr, "Cannot read replay file \"bad.txt\""},
      {"", "empty file"},
      {"m2dreplay 2\n", "line 1: expected \"m2dreplay 1\""},
      {"m2dreplay 1\nframe\ntime 12 x\n", "line 3: \"time\""},
      {"m2dreplay 1\nframe\ntick 4294967296\n", "line 3: \"tick\""},
      {"m2dreplay 1\nframe\ntick -1\n", "line 3: \"tick\""},
      {"m2dreplay 1\nframe\nmsg 6 1\n", "line 3: \"msg\""},
      {"m2dreplay 1\nmsg 6 1 0\n", "line 2: \"msg\" before the first frame"},
      {"m2dreplay 1\ninit 1\n", "line 2: \"init\""},
      {"m2dreplay 1\nframe\ninit 1 2\n", "line 3: \"init\" after the first frame"},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.report);
    ::unlink("bad.txt");
    if (c.text != nullptr) m2dtest::WriteFile("bad.txt", c.text);
    int out[2];
    ASSERT_EQ(::pipe(out), 0);
    pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
      ::setenv("M2D_REPLAY", "bad.txt", 1);
      static std::string s_strReport;
      bool tmp_bReplay = os::replay::GetMode() == os::replay::Mode::Replay;
      // Set after the failure: the report waits for the hook.
      os::SetMessageBoxHook([](const char* fp_pszText, const char*) { s_strReport = fp_pszText; });
      os::MSG tmp_Msg{};
      bool tmp_bQuit = os::PeekMessage(&tmp_Msg, nullptr, 0, 0, true) &&
                       tmp_Msg.message == os::WM_QUIT;
      std::string tmp_strOut = (tmp_bReplay && tmp_bQuit ? "quit|" : "noquit|") + s_strReport;
      if (::write(out[1], tmp_strOut.data(), tmp_strOut.size()) < 0) ::_exit(2);
      ::_exit(0);
    }
    ::close(out[1]);
    std::string got;
    char buf[512];
    ssize_t n = 0;
    while ((n = ::read(out[0], buf, sizeof(buf))) > 0) got.append(buf, static_cast<size_t>(n));
    ::close(out[0]);
    ::waitpid(child, nullptr, 0);
    EXPECT_EQ(got.rfind("quit|", 0), 0u) << got;
    EXPECT_NE(got.find(c.report), std::string::npos) << got;
  }
}

}  // namespace
