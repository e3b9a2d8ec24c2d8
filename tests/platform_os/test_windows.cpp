// Window classes, windows, the message queue and SIGINT/SIGTERM as a quit,
// headless and on the real back end under SDL's offscreen driver.
#include <SDL.h>
#include <signal.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <thread>
#include <vector>

#include "Platform/os/os.h"
#include "Platform/os/os_backend.h"
#include "test_support.h"

namespace {

struct Seen {
  os::HWND hwnd;
  std::uint32_t msg;
  os::WPARAM wParam;
};
std::vector<Seen> g_vSeen;

// Behaves like the game's procedure: a close request goes to the default
// handling, destruction posts the quit.
os::LRESULT TestProc(os::HWND fp_hWnd, std::uint32_t fp_uMsg, os::WPARAM fp_wParam,
                     os::LPARAM fp_lParam) {
  g_vSeen.push_back({fp_hWnd, fp_uMsg, fp_wParam});
  if (fp_uMsg == os::WM_DESTROY) {
    os::PostQuitMessage(0);
    return 0;
  }
  return os::DefWindowProc(fp_hWnd, fp_uMsg, fp_wParam, fp_lParam);
}

constexpr std::uint32_t kWindowed =
    os::WS_OVERLAPPED | os::WS_CAPTION | os::WS_SYSMENU | os::WS_MINIMIZEBOX;

bool Register(const char* fp_pszName) {
  os::WNDCLASSEX tmp_Class{os::CS_HREDRAW | os::CS_VREDRAW | os::CS_OWNDC, &TestProc, 0, 0,
                           os::GetModuleHandle(), fp_pszName};
  return os::RegisterClassEx(tmp_Class);
}

os::HWND Create(std::uint32_t fp_uExStyle, std::uint32_t fp_uStyle, int fp_iX, int fp_iY,
                int fp_iW, int fp_iH) {
  return os::CreateWindowEx(fp_uExStyle, "m2d_gamewindow", "Test", fp_uStyle, fp_iX, fp_iY, fp_iW,
                            fp_iH, nullptr, nullptr, os::GetModuleHandle(), nullptr);
}

// The adjustment the game window makes so that its client area is exactly
// the requested size.
void AdjustToClient(os::HWND fp_hWnd, int fp_iW, int fp_iH) {
  os::SetWindowLong(fp_hWnd, os::GWL_STYLE, static_cast<std::int32_t>(kWindowed));
  os::SetWindowLong(fp_hWnd, os::GWL_EXSTYLE, static_cast<std::int32_t>(os::WS_EX_CLIENTEDGE));
  os::RECT win{}, client{};
  ASSERT_TRUE(os::GetWindowRect(fp_hWnd, &win));
  ASSERT_TRUE(os::GetClientRect(fp_hWnd, &client));
  os::MoveWindow(fp_hWnd, win.left, win.top, (win.right - win.left) + (fp_iW - client.right),
                 (win.bottom - win.top) + (fp_iH - client.bottom), true);
}

std::vector<os::MSG> Pump() {
  std::vector<os::MSG> tmp_v;
  os::MSG tmp_Msg{};
  while (os::PeekMessage(&tmp_Msg, nullptr, 0, 0, true)) {
    tmp_v.push_back(tmp_Msg);
    os::TranslateMessage(&tmp_Msg);
    os::DispatchMessage(&tmp_Msg);
  }
  return tmp_v;
}

class HeadlessTest : public m2dtest::TempDirTest {
 protected:
  void SetUp() override {
    m2dtest::TempDirTest::SetUp();
    os::SelectBackendForTests(os::Backend::Headless);
    g_vSeen.clear();
  }
};

TEST_F(HeadlessTest, ClassRegistrationRules) {
  ASSERT_TRUE(Register("m2d_gamewindow"));
  EXPECT_FALSE(Register("m2d_gamewindow"));
  EXPECT_FALSE(os::UnregisterClass("no_such_class", os::GetModuleHandle()));
  EXPECT_EQ(os::CreateWindowEx(0, "no_such_class", "", os::WS_POPUP, 0, 0, 8, 8, nullptr, nullptr,
                               nullptr, nullptr),
            nullptr);

  os::HWND hwnd = Create(0, os::WS_POPUP, 0, 0, 800, 600);
  ASSERT_NE(hwnd, nullptr);
  EXPECT_TRUE(os::UnregisterClass("m2d_gamewindow", os::GetModuleHandle()));
  EXPECT_FALSE(os::UnregisterClass("m2d_gamewindow", os::GetModuleHandle()));
  // The window keeps its procedure.
  os::SendMessage(hwnd, 0x400, 7, 0);
  ASSERT_EQ(g_vSeen.size(), 1u);
  EXPECT_EQ(g_vSeen[0].msg, 0x400u);
  EXPECT_EQ(g_vSeen[0].wParam, 7u);
  EXPECT_TRUE(Register("m2d_gamewindow"));
}

TEST_F(HeadlessTest, WindowedClientIsAdjustedToTheExactSize) {
  ASSERT_TRUE(Register("m2d_gamewindow"));
  os::HWND hwnd = Create(os::WS_EX_CLIENTEDGE, kWindowed, 100, 100, 800, 600);
  ASSERT_NE(hwnd, nullptr);
  os::RECT win{}, client{};
  ASSERT_TRUE(os::GetClientRect(hwnd, &client));
  EXPECT_LT(client.right, 800);  // the frame takes its share first
  EXPECT_LT(client.bottom, 600);
  AdjustToClient(hwnd, 800, 600);
  ASSERT_TRUE(os::GetClientRect(hwnd, &client));
  ASSERT_TRUE(os::GetWindowRect(hwnd, &win));
  EXPECT_EQ(client.left, 0);
  EXPECT_EQ(client.top, 0);
  EXPECT_EQ(client.right, 800);
  EXPECT_EQ(client.bottom, 600);
  EXPECT_EQ(win.left, 100);
  EXPECT_EQ(win.top, 100);
  EXPECT_FALSE(os::IsFullScreen(hwnd));
  os::RECT view = os::GetBackBufferViewport(hwnd, 800, 600);
  EXPECT_EQ(view.left, 0);
  EXPECT_EQ(view.top, 0);
  EXPECT_EQ(view.right, 800);
  EXPECT_EQ(view.bottom, 600);

  EXPECT_FALSE(os::IsWindowVisible(hwnd));
  os::ShowWindow(hwnd, os::SW_SHOW);
  EXPECT_TRUE(os::IsWindowVisible(hwnd));
  EXPECT_TRUE(os::IsActiveWindow(hwnd));
  EXPECT_EQ(os::GetSDLWindow(hwnd), nullptr);
}

TEST_F(HeadlessTest, FullScreenLetterboxesTheBackBuffer) {
  ASSERT_TRUE(Register("m2d_gamewindow"));
  struct Case {
    int w, h;
    os::RECT view;
  };
  const Case kCases[] = {
      {800, 600, {0, 0, 800, 600}},
      {1920, 1080, {240, 0, 1680, 1080}},
      {1280, 1024, {0, 32, 1280, 992}},
      {1600, 1200, {0, 0, 1600, 1200}},
  };
  for (const Case& c : kCases) {
    os::HWND hwnd = Create(0, os::WS_POPUP, 0, 0, c.w, c.h);
    ASSERT_NE(hwnd, nullptr);
    os::SetWindowPos(hwnd, os::HWND_TOPMOST, 0, 0, c.w, c.h, 0);
    EXPECT_TRUE(os::IsFullScreen(hwnd));
    EXPECT_NE(os::GetWindowLong(hwnd, os::GWL_EXSTYLE) & os::WS_EX_TOPMOST, 0);
    os::RECT client{};
    ASSERT_TRUE(os::GetClientRect(hwnd, &client));
    EXPECT_EQ(client.right, c.w);
    EXPECT_EQ(client.bottom, c.h);
    os::RECT v = os::GetBackBufferViewport(hwnd, 800, 600);
    EXPECT_EQ(v.left, c.view.left) << c.w << "x" << c.h;
    EXPECT_EQ(v.top, c.view.top) << c.w << "x" << c.h;
    EXPECT_EQ(v.right, c.view.right) << c.w << "x" << c.h;
    EXPECT_EQ(v.bottom, c.view.bottom) << c.w << "x" << c.h;
  }
}

TEST_F(HeadlessTest, CloseDestroysAndTheProcedurePostsTheQuit) {
  ASSERT_TRUE(Register("m2d_gamewindow"));
  os::HWND hwnd = Create(0, os::WS_POPUP, 0, 0, 800, 600);
  ASSERT_NE(hwnd, nullptr);
  // FIFO, and a peek without removal leaves the message in place.
  EXPECT_TRUE(os::PostMessage(hwnd, 0x401, 1, 0));
  EXPECT_TRUE(os::PostMessage(hwnd, os::WM_CLOSE, 0, 0));
  os::MSG msg{};
  ASSERT_TRUE(os::PeekMessage(&msg, nullptr, 0, 0, false));
  EXPECT_EQ(msg.message, 0x401u);

  std::vector<os::MSG> got = Pump();
  ASSERT_EQ(got.size(), 3u);
  EXPECT_EQ(got[0].message, 0x401u);
  EXPECT_EQ(got[1].message, os::WM_CLOSE);
  EXPECT_EQ(got[2].message, os::WM_QUIT);
  EXPECT_EQ(got[2].hwnd, nullptr);
  ASSERT_EQ(g_vSeen.size(), 3u);  // 0x401, WM_CLOSE, then WM_DESTROY inside it
  EXPECT_EQ(g_vSeen[2].msg, os::WM_DESTROY);
  EXPECT_EQ(g_vSeen[2].hwnd, hwnd);

  // The handle stays safe to use; the window is gone.
  EXPECT_FALSE(os::DestroyWindow(hwnd));
  EXPECT_FALSE(os::PostMessage(hwnd, 0x401, 0, 0));
  os::RECT r{};
  EXPECT_FALSE(os::GetClientRect(hwnd, &r));
  EXPECT_EQ(os::SendMessage(hwnd, 0x401, 0, 0), 0);
  EXPECT_EQ(g_vSeen.size(), 3u);
}

TEST_F(HeadlessTest, MinimiseAndRestoreBecomeActivationMessages) {
  ASSERT_TRUE(Register("m2d_gamewindow"));
  os::HWND hwnd = Create(0, os::WS_POPUP, 0, 0, 800, 600);
  os::ShowWindow(hwnd, os::SW_SHOW);
  Pump();
  g_vSeen.clear();
  os::ShowWindow(hwnd, os::SW_MINIMIZE);
  Pump();
  ASSERT_EQ(g_vSeen.size(), 1u);
  EXPECT_EQ(g_vSeen[0].msg, os::WM_ACTIVATE);
  EXPECT_EQ(g_vSeen[0].wParam, os::WA_INACTIVE | (os::WPARAM{1} << 16));
  EXPECT_TRUE(os::IsMinimized(hwnd));
  EXPECT_FALSE(os::IsActiveWindow(hwnd));
  os::ShowWindow(hwnd, os::SW_RESTORE);
  Pump();
  ASSERT_EQ(g_vSeen.size(), 2u);
  EXPECT_EQ(g_vSeen[1].wParam, os::WA_ACTIVE);
  EXPECT_FALSE(os::IsMinimized(hwnd));
  EXPECT_TRUE(os::IsActiveWindow(hwnd));
}

TEST_F(HeadlessTest, RaisedSignalsBecomeQuitMessages) {
  os::GetModuleHandle();  // the handlers are in place from the first call on
  for (int sig : {SIGTERM, SIGINT}) {
    ::raise(sig);
    std::vector<os::MSG> got = Pump();
    ASSERT_EQ(got.size(), 1u) << sig;
    EXPECT_EQ(got[0].message, os::WM_QUIT);
  }
  EXPECT_TRUE(Pump().empty());
}

TEST_F(HeadlessTest, WaitMessageReturnsWhenSigtermArrives) {
  os::GetModuleHandle();
  auto start = std::chrono::steady_clock::now();
  std::thread sender([] {
    std::this_thread::sleep_for(std::chrono::milliseconds(150));
    ::kill(::getpid(), SIGTERM);
  });
  EXPECT_TRUE(os::WaitMessage());
  sender.join();
  EXPECT_GE(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(100));
  std::vector<os::MSG> got = Pump();
  ASSERT_EQ(got.size(), 1u);
  EXPECT_EQ(got[0].message, os::WM_QUIT);

  // With a message waiting it returns at once.
  os::PostQuitMessage(3);
  EXPECT_TRUE(os::WaitMessage());
  got = Pump();
  ASSERT_EQ(got.size(), 1u);
  EXPECT_EQ(got[0].wParam, 3u);
}

TEST_F(HeadlessTest, MessageBoxGoesToStderrAndTheHook) {
  static std::string s_strSeen;
  os::SetMessageBoxHook([](const char* fp_pszText, const char* fp_pszCaption) {
    s_strSeen = std::string(fp_pszCaption) + "|" + fp_pszText;
  });
  EXPECT_EQ(os::MessageBox(nullptr, "No display mode.", "Vantrel", os::MB_OK | os::MB_ICONERROR),
            os::IDOK);
  EXPECT_EQ(s_strSeen, "Vantrel|No display mode.");
  os::SetMessageBoxHook(nullptr);
}

TEST(Time, MillisecondsFromTheMonotonicClockOrTheTestSource) {
  std::uint32_t a = os::timeGetTime();
  std::this_thread::sleep_for(std::chrono::milliseconds(30));
  std::uint32_t b = os::timeGetTime();
  EXPECT_GE(static_cast<std::uint32_t>(b - a), 25u);
  EXPECT_LT(static_cast<std::uint32_t>(b - a), 2000u);
  EXPECT_LE(static_cast<std::uint32_t>(os::GetTickCount() - b), 1000u);

  std::uint32_t now = 0xFFFFFFF0u;
  os::SetTimeSourceForTests([](void* p) { return *static_cast<std::uint32_t*>(p) += 0x20; }, &now);
  EXPECT_EQ(os::timeGetTime(), 0x10u);  // wraps at 32 bits
  EXPECT_EQ(os::GetTickCount(), 0x30u);
  os::SetTimeSourceForTests(nullptr, nullptr);
  EXPECT_LE(static_cast<std::uint32_t>(os::timeGetTime() - b), 1000u);

  os::SYSTEMTIME t{};
  os::GetLocalTime(&t);
  EXPECT_GE(t.wYear, 2024);
  EXPECT_GE(t.wMonth, 1);
  EXPECT_LE(t.wMonth, 12);
  EXPECT_GE(t.wDay, 1);
  EXPECT_LE(t.wDay, 31);
  EXPECT_LE(t.wDayOfWeek, 6);
  EXPECT_LE(t.wMilliseconds, 999);
}

// {==== Real back end ========================================================

class RealTest : public m2dtest::TempDirTest {
 protected:
  void SetUp() override {
    m2dtest::TempDirTest::SetUp();
    ::unsetenv("M2D_HEADLESS");
    g_vSeen.clear();
  }
};

TEST_F(RealTest, OffscreenWindowedClientAndDrawableAreExact) {
  ::setenv("SDL_VIDEODRIVER", "offscreen", 1);
  ASSERT_EQ(os::GetBackend(), os::Backend::Real);
  ASSERT_TRUE(os::HasDisplay());
  ASSERT_TRUE(Register("m2d_gamewindow"));
  os::HWND hwnd = Create(os::WS_EX_CLIENTEDGE, kWindowed, 100, 100, 800, 600);
  ASSERT_NE(hwnd, nullptr);
  SDL_Window* sdl = os::GetSDLWindow(hwnd);
  ASSERT_NE(sdl, nullptr);
  EXPECT_NE(SDL_GetWindowFlags(sdl) & SDL_WINDOW_OPENGL, 0u);
  EXPECT_NE(SDL_GetWindowFlags(sdl) & SDL_WINDOW_HIDDEN, 0u);
  AdjustToClient(hwnd, 800, 600);
  os::RECT client{};
  ASSERT_TRUE(os::GetClientRect(hwnd, &client));
  EXPECT_EQ(client.right, 800);
  EXPECT_EQ(client.bottom, 600);
  int w = 0, h = 0;
  SDL_GL_GetDrawableSize(sdl, &w, &h);
  EXPECT_EQ(w, 800);
  EXPECT_EQ(h, 600);
  os::ShowWindow(hwnd, os::SW_SHOW);
  EXPECT_TRUE(os::IsWindowVisible(hwnd));

  // SIGINT is ours, not SDL's: it arrives as a quit message.
  ::raise(SIGINT);
  std::vector<os::MSG> got = Pump();
  bool quit = false;
  for (const os::MSG& m : got) quit = quit || m.message == os::WM_QUIT;
  EXPECT_TRUE(quit);
}

TEST_F(RealTest, OffscreenEventsBecomeMessagesAndInputStaysQueued) {
  ::setenv("SDL_VIDEODRIVER", "offscreen", 1);
  ASSERT_TRUE(Register("m2d_gamewindow"));
  os::HWND hwnd = Create(0, os::WS_POPUP, 0, 0, 800, 600);
  ASSERT_NE(hwnd, nullptr);
  os::ShowWindow(hwnd, os::SW_SHOW);
  Pump();
  os::RECT client{};
  ASSERT_TRUE(os::GetClientRect(hwnd, &client));
  EXPECT_EQ(client.right, 800);
  EXPECT_EQ(client.bottom, 600);
  // The viewport keeps the back buffer's shape inside the drawable.
  int dw = 0, dh = 0;
  SDL_GL_GetDrawableSize(os::GetSDLWindow(hwnd), &dw, &dh);
  os::RECT v = os::GetBackBufferViewport(hwnd, 800, 600);
  EXPECT_GE(v.left, 0);
  EXPECT_GE(v.top, 0);
  EXPECT_LE(v.right, dw);
  EXPECT_LE(v.bottom, dh);
  EXPECT_NEAR((v.right - v.left) * 3.0, (v.bottom - v.top) * 4.0, 4.0);

  const std::uint32_t id = SDL_GetWindowID(os::GetSDLWindow(hwnd));
  struct Case {
    Uint8 event;
    std::uint32_t msg;
    os::WPARAM wParam;
  };
  const Case kCases[] = {
      {SDL_WINDOWEVENT_FOCUS_LOST, os::WM_ACTIVATE, os::WA_INACTIVE},
      {SDL_WINDOWEVENT_FOCUS_GAINED, os::WM_ACTIVATE, os::WA_ACTIVE},
      {SDL_WINDOWEVENT_MINIMIZED, os::WM_ACTIVATE, os::WA_INACTIVE | (os::WPARAM{1} << 16)},
  };
  for (const Case& c : kCases) {
    SDL_Event e{};
    e.type = SDL_WINDOWEVENT;
    e.window.windowID = id;
    e.window.event = c.event;
    ASSERT_EQ(SDL_PushEvent(&e), 1);
    SDL_Event key{};
    key.type = SDL_KEYDOWN;
    key.key.windowID = id;
    key.key.keysym.scancode = SDL_SCANCODE_A;
    ASSERT_EQ(SDL_PushEvent(&key), 1);
    std::vector<os::MSG> got = Pump();
    ASSERT_EQ(got.size(), 1u) << int(c.event);
    EXPECT_EQ(got[0].hwnd, hwnd);
    EXPECT_EQ(got[0].message, c.msg);
    EXPECT_EQ(got[0].wParam, c.wParam);
  }
  EXPECT_TRUE(os::IsMinimized(hwnd));
  // The key presses are still there for the input part.
  EXPECT_EQ(SDL_PeepEvents(nullptr, 0, SDL_PEEKEVENT, SDL_KEYDOWN, SDL_KEYDOWN), 3);

  // A quit request is a close, then destroy, then quit.
  SDL_Event quit{};
  quit.type = SDL_QUIT;
  ASSERT_EQ(SDL_PushEvent(&quit), 1);
  std::vector<os::MSG> got = Pump();
  ASSERT_EQ(got.size(), 2u);
  EXPECT_EQ(got[0].message, os::WM_CLOSE);
  EXPECT_EQ(got[1].message, os::WM_QUIT);
  EXPECT_EQ(g_vSeen.back().msg, os::WM_DESTROY);
  EXPECT_NE(os::GetSDLWindow(hwnd), nullptr);  // kept for the graphics part
}

TEST_F(RealTest, NoDisplayMeansNoWindow) {
  ::unsetenv("SDL_VIDEODRIVER");
  ::unsetenv("DISPLAY");
  ::unsetenv("WAYLAND_DISPLAY");
  ASSERT_EQ(os::GetBackend(), os::Backend::Real);
  ASSERT_TRUE(Register("m2d_gamewindow"));
  EXPECT_EQ(Create(0, os::WS_POPUP, 0, 0, 800, 600), nullptr);
  EXPECT_FALSE(os::HasDisplay());
}

// }====

}  // namespace
