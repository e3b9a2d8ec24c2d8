// The SDL back end under SDL's offscreen video driver: pushed key and mouse
// events reach the 256-byte keyboard state and the mouse state, the pointer
// is mapped into back-buffer pixels, the cursor's visibility follows the
// display count, and a recorded session replays to the same reads.
#include <SDL.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <cstring>
#include <set>
#include <string>

#include "Platform/input/dinput8.h"
#include "Platform/input/sdl/input_sdl.h"
#include "Platform/os/os.h"
#include "Platform/os/os_backend.h"
#include "Platform/os/os_replay.h"
#include "test_support.h"

using namespace input;

namespace {

os::LRESULT PlainProc(os::HWND fp_hWnd, std::uint32_t fp_uMsg, os::WPARAM fp_wParam,
                      os::LPARAM fp_lParam) {
  return os::DefWindowProc(fp_hWnd, fp_uMsg, fp_wParam, fp_lParam);
}

constexpr DWORD kForeground = DISCL_NONEXCLUSIVE | DISCL_FOREGROUND;

// A window with its devices, on whichever back end the process uses.
struct Session {
  os::HWND hwnd = nullptr;
  IDirectInput8* di = nullptr;
  IDirectInputDevice8* keyboard = nullptr;
  IDirectInputDevice8* mouse = nullptr;

  // False when something could not be made.
  bool Open(std::uint32_t fp_uStyle) {
    os::WNDCLASSEX tmp_Class{0, &PlainProc, 0, 0, os::GetModuleHandle(), "inputtest"};
    if (!os::RegisterClassEx(tmp_Class)) return false;
    hwnd = os::CreateWindowEx(0, "inputtest", "", fp_uStyle, 0, 0, 800, 600, nullptr, nullptr,
                              os::GetModuleHandle(), nullptr);
    if (hwnd == nullptr) return false;
    os::ShowWindow(hwnd, os::SW_SHOW);
    if (DirectInput8Create(os::GetModuleHandle(), 0x0800, IID_IDirectInput8A, &di, nullptr) !=
        DI_OK) {
      return false;
    }
    return di->CreateDevice(GUID_SysKeyboard, &keyboard, nullptr) == DI_OK &&
           keyboard->SetDataFormat(&c_dfDIKeyboard) == DI_OK &&
           keyboard->SetCooperativeLevel(hwnd, kForeground | DISCL_NOWINKEY) == DI_OK &&
           keyboard->Acquire() == DI_OK &&
           di->CreateDevice(GUID_SysMouse, &mouse, nullptr) == DI_OK &&
           mouse->SetDataFormat(&c_dfDIMouse2) == DI_OK &&
           mouse->SetCooperativeLevel(hwnd, kForeground) == DI_OK && mouse->Acquire() == DI_OK;
  }

  ~Session() {
    if (mouse != nullptr) mouse->Release();
    if (keyboard != nullptr) keyboard->Release();
    if (di != nullptr) di->Release();
  }

  // The keys down, the mouse state and the cursor, as one line.
  std::string Read() {
    BYTE tmp_aKeys[256];
    DIMOUSESTATE2 tmp_State{};
    std::string tmp_str = "keys";
    if (keyboard->GetDeviceState(256, tmp_aKeys) != DI_OK) return "keyboard failed";
    for (int i = 0; i < 256; ++i) {
      if (tmp_aKeys[i] == 0) continue;
      tmp_str.append(" ").append(std::to_string(i));
      if (tmp_aKeys[i] != 0x80) tmp_str.append("?");
    }
    if (mouse->GetDeviceState(sizeof(tmp_State), &tmp_State) != DI_OK) return "mouse failed";
    tmp_str.append(" | mouse ").append(std::to_string(tmp_State.lX)).append(" ");
    tmp_str.append(std::to_string(tmp_State.lY)).append(" ").append(std::to_string(tmp_State.lZ));
    for (int i = 0; i < 8; ++i) {
      if (tmp_State.rgbButtons[i] != 0) tmp_str.append(" b").append(std::to_string(i + 1));
    }
    POINT tmp_Cursor{0, 0};
    if (!GetCursorClientPos(hwnd, &tmp_Cursor)) return "cursor failed";
    tmp_str.append(" | cursor ").append(std::to_string(tmp_Cursor.x)).append(" ");
    tmp_str.append(std::to_string(tmp_Cursor.y));
    return tmp_str;
  }
};

void Pump() {
  os::MSG tmp_Msg{};
  while (os::PeekMessage(&tmp_Msg, nullptr, 0, 0, true)) os::DispatchMessage(&tmp_Msg);
}

void PushKey(SDL_Scancode fp_eScancode, bool fp_bDown) {
  SDL_Event tmp_Event{};
  tmp_Event.type = fp_bDown ? SDL_KEYDOWN : SDL_KEYUP;
  tmp_Event.key.state = fp_bDown ? SDL_PRESSED : SDL_RELEASED;
  tmp_Event.key.keysym.scancode = fp_eScancode;
  SDL_PushEvent(&tmp_Event);
}

void PushMotion(int fp_iX, int fp_iY, int fp_iRelX, int fp_iRelY) {
  SDL_Event tmp_Event{};
  tmp_Event.type = SDL_MOUSEMOTION;
  tmp_Event.motion.x = fp_iX;
  tmp_Event.motion.y = fp_iY;
  tmp_Event.motion.xrel = fp_iRelX;
  tmp_Event.motion.yrel = fp_iRelY;
  SDL_PushEvent(&tmp_Event);
}

void PushButton(int fp_iButton, bool fp_bDown, int fp_iX = 0, int fp_iY = 0) {
  SDL_Event tmp_Event{};
  tmp_Event.type = fp_bDown ? SDL_MOUSEBUTTONDOWN : SDL_MOUSEBUTTONUP;
  tmp_Event.button.button = static_cast<Uint8>(fp_iButton);
  tmp_Event.button.state = fp_bDown ? SDL_PRESSED : SDL_RELEASED;
  tmp_Event.button.x = fp_iX;
  tmp_Event.button.y = fp_iY;
  SDL_PushEvent(&tmp_Event);
}

void PushWheel(int fp_iY, bool fp_bFlipped) {
  SDL_Event tmp_Event{};
  tmp_Event.type = SDL_MOUSEWHEEL;
  tmp_Event.wheel.y = fp_iY;
  tmp_Event.wheel.direction = fp_bFlipped ? SDL_MOUSEWHEEL_FLIPPED : SDL_MOUSEWHEEL_NORMAL;
  SDL_PushEvent(&tmp_Event);
}

class SDLInputTest : public m2dtest::TempDirTest {
 protected:
  void SetUp() override {
    TempDirTest::SetUp();
    ::unsetenv("M2D_RECORD");
    ::unsetenv("M2D_REPLAY");
    ::setenv("SDL_VIDEODRIVER", "offscreen", 1);
  }
};

}  // namespace

TEST_F(SDLInputTest, KeyEventsReachTheKeyboardState) {
  os::SelectBackendForTests(os::Backend::Real);
  Session s;
  ASSERT_TRUE(s.Open(os::WS_OVERLAPPED));
  PushKey(SDL_SCANCODE_A, true);
  PushKey(SDL_SCANCODE_KP_ENTER, true);
  PushKey(SDL_SCANCODE_RCTRL, true);
  PushKey(SDL_SCANCODE_F20, true);  // no such key code
  SDL_Event tmp_Text{};
  tmp_Text.type = SDL_TEXTINPUT;
  SDL_PushEvent(&tmp_Text);
  EXPECT_EQ(s.Read(), "keys 30 156 157 | mouse 0 0 0 | cursor -1 -1");
  // Read or not, nothing is left behind in SDL's queue.
  EXPECT_EQ(SDL_PeepEvents(nullptr, 0, SDL_PEEKEVENT, SDL_KEYDOWN, SDL_CLIPBOARDUPDATE - 1), 0);

  // A tap between two reads shows for one read.
  PushKey(SDL_SCANCODE_A, false);
  PushKey(SDL_SCANCODE_B, true);
  PushKey(SDL_SCANCODE_B, false);
  EXPECT_EQ(s.Read(), "keys 48 156 157 | mouse 0 0 0 | cursor -1 -1");
  EXPECT_EQ(s.Read(), "keys 156 157 | mouse 0 0 0 | cursor -1 -1");

  // Losing the focus loses the foreground devices.
  os::SendMessage(s.hwnd, os::WM_ACTIVATE, os::WA_INACTIVE, 0);
  BYTE tmp_aKeys[256];
  EXPECT_EQ(s.keyboard->GetDeviceState(256, tmp_aKeys), DIERR_INPUTLOST);
  EXPECT_EQ(s.keyboard->Acquire(), DIERR_OTHERAPPHASPRIO);
}

TEST_F(SDLInputTest, MouseEventsReachTheMouseState) {
  os::SelectBackendForTests(os::Backend::Real);
  Session s;
  ASSERT_TRUE(s.Open(os::WS_OVERLAPPED));
  PushMotion(400, 300, 5, -3);
  PushMotion(402, 300, 2, 0);
  PushWheel(1, false);
  PushButton(SDL_BUTTON_LEFT, true, 402, 300);
  PushButton(SDL_BUTTON_RIGHT, true, 402, 300);
  PushButton(SDL_BUTTON_X1, true, 402, 300);
  EXPECT_EQ(s.Read(), "keys | mouse 7 -3 120 b1 b2 b4 | cursor 402 300");
  PushButton(SDL_BUTTON_LEFT, false, 402, 300);
  PushWheel(2, true);
  PushButton(SDL_BUTTON_MIDDLE, true, 10, 20);
  PushButton(SDL_BUTTON_MIDDLE, false, 10, 20);
  EXPECT_EQ(s.Read(), "keys | mouse 0 0 -240 b2 b3 b4 | cursor 10 20");
  EXPECT_EQ(s.Read(), "keys | mouse 0 0 0 b2 b4 | cursor 10 20");

  // What moved before an acquisition is not reported after it.
  PushMotion(20, 20, 10, 0);
  EXPECT_EQ(s.mouse->Unacquire(), DI_OK);
  EXPECT_EQ(s.mouse->Acquire(), DI_OK);
  EXPECT_EQ(s.Read(), "keys | mouse 0 0 0 b2 b4 | cursor 20 20");
}

TEST_F(SDLInputTest, FullScreenPointerIsMappedToBackBufferPixels) {
  os::SelectBackendForTests(os::Backend::Real);
  Session s;
  ASSERT_TRUE(s.Open(os::WS_POPUP));
  SDL_Window* tmp_pWindow = os::GetSDLWindow(s.hwnd);
  ASSERT_NE(tmp_pWindow, nullptr);
  int tmp_iW = 0;
  int tmp_iH = 0;
  SDL_GetWindowSize(tmp_pWindow, &tmp_iW, &tmp_iH);
  ASSERT_GT(tmp_iW, 0);
  os::RECT tmp_View = os::GetBackBufferViewport(s.hwnd, 800, 600);
  struct Case {
    int x, y;  // in the window
    int bx, by;
  };
  // The picture's corners and centre, and a point left of the picture.
  const Case kCases[] = {
      {tmp_View.left, tmp_View.top, 0, 0},
      {tmp_View.right - 1, tmp_View.bottom - 1, 799, 599},
      {(tmp_View.left + tmp_View.right) / 2, (tmp_View.top + tmp_View.bottom) / 2, 400, 300},
      {tmp_View.left - 1, tmp_View.top, -1, 0},
  };
  for (const Case& c : kCases) {
    PushMotion(c.x, c.y, 0, 0);
    POINT tmp_Cursor{0, 0};
    ASSERT_TRUE(GetCursorClientPos(s.hwnd, &tmp_Cursor));
    EXPECT_NEAR(tmp_Cursor.x, c.bx, 1) << c.x << " in a window " << tmp_iW << " wide";
    EXPECT_NEAR(tmp_Cursor.y, c.by, 1) << c.y << " in a window " << tmp_iH << " high";
  }
}

TEST_F(SDLInputTest, SystemCursorFollowsTheDisplayCount) {
  os::SelectBackendForTests(os::Backend::Real);
  Session s;
  ASSERT_TRUE(s.Open(os::WS_OVERLAPPED));
  EXPECT_EQ(ShowCursor(0), -1);
  EXPECT_EQ(SDL_ShowCursor(SDL_QUERY), SDL_DISABLE);
  EXPECT_EQ(ShowCursor(1), 0);
  EXPECT_EQ(SDL_ShowCursor(SDL_QUERY), SDL_ENABLE);
  EXPECT_EQ(ShowCursor(1), 1);
  EXPECT_EQ(ShowCursor(0), 0);
  EXPECT_EQ(SDL_ShowCursor(SDL_QUERY), SDL_ENABLE);
}

TEST(SDLKeyMap, EveryKeyOfTheNameListHasAScancode) {
  // The key codes of the key-name list; only WAKE has no SDL scancode.
  const int kCodes[] = {
      1,   2,   3,   4,   5,   6,   7,   8,   9,   10,  11,  12,  13,  14,  15,  16,  17,  18,
      19,  20,  21,  22,  23,  24,  25,  26,  27,  28,  29,  30,  31,  32,  33,  34,  35,  36,
      37,  38,  39,  40,  41,  42,  43,  44,  45,  46,  47,  48,  49,  50,  51,  52,  53,  54,
      55,  56,  57,  58,  59,  60,  61,  62,  63,  64,  65,  66,  67,  68,  69,  70,  71,  72,
      73,  74,  75,  76,  77,  78,  79,  80,  81,  82,  83,  87,  88,  144, 149, 153, 156, 157,
      160, 161, 162, 164, 174, 176, 178, 181, 183, 184, 197, 199, 200, 201, 203, 205, 207, 208,
      209, 210, 211, 219, 220, 221, 222, 223, 229, 230, 231, 232, 233, 234, 235, 236, 237};
  std::set<int> tmp_Mapped;
  for (int i = 0; i < SDL_NUM_SCANCODES; ++i) tmp_Mapped.insert(sdl::KeyCodeOfScancode(i));
  for (int tmp_iCode : kCodes) EXPECT_EQ(tmp_Mapped.count(tmp_iCode), 1u) << tmp_iCode;
  // A few that a table shifted by one would get wrong.
  EXPECT_EQ(sdl::KeyCodeOfScancode(SDL_SCANCODE_ESCAPE), DIK_ESCAPE);
  EXPECT_EQ(sdl::KeyCodeOfScancode(SDL_SCANCODE_0), DIK_0);
  EXPECT_EQ(sdl::KeyCodeOfScancode(SDL_SCANCODE_KP_0), DIK_NUMPAD0);
  EXPECT_EQ(sdl::KeyCodeOfScancode(SDL_SCANCODE_KP_7), DIK_NUMPAD7);
  EXPECT_EQ(sdl::KeyCodeOfScancode(SDL_SCANCODE_PAGEDOWN), DIK_NEXT);
  EXPECT_EQ(sdl::KeyCodeOfScancode(SDL_SCANCODE_RALT), DIK_RMENU);
  EXPECT_EQ(sdl::KeyCodeOfScancode(SDL_SCANCODE_UNKNOWN), 0);
  EXPECT_EQ(sdl::KeyCodeOfScancode(-1), 0);
  EXPECT_EQ(sdl::KeyCodeOfScancode(SDL_NUM_SCANCODES), 0);
}

namespace {

// What each frame of the session pushes (recording only) before the reads.
void PushFrame(int fp_iFrame) {
  switch (fp_iFrame) {
    case 1:
      PushKey(SDL_SCANCODE_A, true);
      PushMotion(100, 100, 3, 4);
      break;
    case 3:
      PushKey(SDL_SCANCODE_A, false);
      PushKey(SDL_SCANCODE_B, true);
      PushKey(SDL_SCANCODE_B, false);
      PushWheel(-1, false);
      break;
    case 4:
      PushButton(SDL_BUTTON_LEFT, true, 100, 100);
      PushMotion(10, 20, -90, -80);
      break;
    case 5: PushButton(SDL_BUTTON_LEFT, false, 10, 20); break;
    default: break;
  }
}

std::string RunSession(bool fp_bLive) {
  Session s;
  if (!s.Open(os::WS_OVERLAPPED)) return "open failed";
  std::string tmp_str;
  for (int tmp_iFrame = 1; tmp_iFrame <= 6; ++tmp_iFrame) {
    Pump();
    if (fp_bLive) PushFrame(tmp_iFrame);
    tmp_str += s.Read() + "\n";
  }
  return tmp_str;
}

}  // namespace

TEST_F(SDLInputTest, RecordedSessionReplaysToTheSameReads) {
  pid_t child = ::fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    ::setenv("M2D_RECORD", "rec.txt", 1);
    os::SelectBackendForTests(os::Backend::Real);
    m2dtest::WriteFile("live.txt", RunSession(true));
    std::exit(os::replay::GetMode() == os::replay::Mode::Record ? 0 : 3);  // flushes at exit
  }
  int status = 0;
  ASSERT_EQ(::waitpid(child, &status, 0), child);
  ASSERT_TRUE(WIFEXITED(status));
  ASSERT_EQ(WEXITSTATUS(status), 0);
  std::string live = m2dtest::ReadFile("live.txt");
  EXPECT_EQ(live,
            "keys 30 | mouse 3 4 0 | cursor 100 100\n"
            "keys 30 | mouse 0 0 0 | cursor 100 100\n"
            "keys 48 | mouse 0 0 -120 | cursor 100 100\n"
            "keys | mouse -90 -80 0 b1 | cursor 10 20\n"
            "keys | mouse 0 0 0 | cursor 10 20\n"
            "keys | mouse 0 0 0 | cursor 10 20\n");
  std::vector<std::string> rec = m2dtest::ReadLines("rec.txt");
  EXPECT_TRUE(m2dtest::ContainsLine(rec, "keys 30"));
  EXPECT_TRUE(m2dtest::ContainsLine(rec, "mouse -90 -80 0 1"));
  EXPECT_TRUE(m2dtest::ContainsLine(rec, "cursor 10 20"));

  ::setenv("M2D_REPLAY", "rec.txt", 1);
  os::SelectBackendForTests(os::Backend::Headless);
  EXPECT_EQ(RunSession(false), live);
}
