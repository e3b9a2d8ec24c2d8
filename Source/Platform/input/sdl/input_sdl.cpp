// The SDL2 input back end: drains the input events from SDL's queue into the
// live devices, which turn them into the 256-byte keyboard state and the
// eight-button mouse state at each read; maps SDL's pointer into back-buffer
// pixels; writes the "keys", "mouse" and "cursor" records while recording.
//
// A key or button that went down since the last read reads down even if it
// was released again before the read (the release shows at the next read),
// so a quick tap is never lost to a slow frame.
#include "Platform/input/sdl/input_sdl.h"

#include <SDL.h>

#include <algorithm>
#include <charconv>
#include <cstring>
#include <string>
#include <vector>

#include "Platform/os/os_backend.h"
#include "Platform/os/os_replay.h"

namespace input::sdl {

namespace {

using detail::EDeviceKind;

// Every event type of the key, text, mouse, joystick, controller, touch and
// gesture ranges; the os stand-in takes the others.
constexpr Uint32 kFirstInputEvent = SDL_KEYDOWN;
constexpr Uint32 kLastInputEvent = SDL_CLIPBOARDUPDATE - 1;

// Motion is summed in 64 bits and kept well inside them.
constexpr long long kMotionLimit = 1LL << 40;

long long AddMotion(long long fp_llSum, long long fp_llDelta) {
  return std::clamp(fp_llSum + fp_llDelta, -kMotionLimit, kMotionLimit);
}

// The last pointer position a mouse event carried, in window points.
struct SPointer {
  bool known = false;
  bool fresh = false;  // an event came since the cursor was last asked
  bool focusSeen = false;
  int x = 0;
  int y = 0;
};

SPointer g_Pointer;
// What the last "cursor" record said (the replay starts outside the window).
POINT g_LastRecordedCursor{-1, -1};

void AppendNumber(std::string* fp_pText, long long fp_llValue) {
  char tmp_acBuffer[24];
  auto [tmp_pEnd, tmp_eErr] =
      std::to_chars(tmp_acBuffer, tmp_acBuffer + sizeof(tmp_acBuffer), fp_llValue);
  (void)tmp_eErr;
  if (!fp_pText->empty()) fp_pText->push_back(' ');
  fp_pText->append(tmp_acBuffer, tmp_pEnd);
}

bool Recording() {
  return os::replay::GetMode() == os::replay::Mode::Record;
}

class CSDLDevice;
// The live devices that events are handed to (changed only when a device is
// created or released).
std::vector<CSDLDevice*> g_vDevices;

// {==== Devices ==============================================================

class CSDLDevice final : public detail::CDeviceBase {
 public:
  CSDLDevice(EDeviceKind fp_eKind, IDirectInput8* fp_pParent) : CDeviceBase(fp_eKind, fp_pParent) {
    record_.reserve(1024);
    g_vDevices.push_back(this);
  }

  void OnKey(int fp_iScancode, bool fp_bDown) {
    if (Kind() != EDeviceKind::Keyboard || fp_iScancode < 0 || fp_iScancode >= SDL_NUM_SCANCODES) {
      return;
    }
    scanDown_[fp_iScancode] = fp_bDown;
    BYTE tmp_uKey = KeyCodeOfScancode(fp_iScancode);
    if (fp_bDown && tmp_uKey != 0) keyLatched_[tmp_uKey] = true;
  }

  void OnMotion(long long fp_llDX, long long fp_llDY) {
    if (Kind() != EDeviceKind::Mouse) return;
    dx_ = AddMotion(dx_, fp_llDX);
    dy_ = AddMotion(dy_, fp_llDY);
  }

  void OnWheel(long long fp_llDZ) {
    if (Kind() != EDeviceKind::Mouse) return;
    dz_ = AddMotion(dz_, fp_llDZ);
  }

  // SDL's five buttons: left, middle, right, the two side buttons. The state
  // orders them left, right, middle, side, side; buttons 6 to 8 stay up.
  void OnButton(int fp_iButton, bool fp_bDown) {
    if (Kind() != EDeviceKind::Mouse) return;
    int tmp_iIndex = -1;
    switch (fp_iButton) {
      case SDL_BUTTON_LEFT: tmp_iIndex = 0; break;
      case SDL_BUTTON_RIGHT: tmp_iIndex = 1; break;
      case SDL_BUTTON_MIDDLE: tmp_iIndex = 2; break;
      case SDL_BUTTON_X1: tmp_iIndex = 3; break;
      case SDL_BUTTON_X2: tmp_iIndex = 4; break;
      default: return;
    }
    buttonDown_[tmp_iIndex] = fp_bDown;
    if (fp_bDown) buttonLatched_[tmp_iIndex] = true;
  }

 protected:
  ~CSDLDevice() override {
    g_vDevices.erase(std::remove(g_vDevices.begin(), g_vDevices.end(), this), g_vDevices.end());
  }

  void Poll() override;

  void Restart() override {
    std::fill(std::begin(keyLatched_), std::end(keyLatched_), false);
    std::fill(std::begin(buttonLatched_), std::end(buttonLatched_), false);
    dx_ = dy_ = dz_ = 0;
  }

  bool TakeLoss() override { return false; }

  void ReadState(void* fp_pData) override {
    if (Kind() == EDeviceKind::Keyboard) {
      BYTE* tmp_pKeys = static_cast<BYTE*>(fp_pData);
      for (int i = 0; i < SDL_NUM_SCANCODES; ++i) {
        BYTE tmp_uKey = KeyCodeOfScancode(i);
        if (scanDown_[i] && tmp_uKey != 0) tmp_pKeys[tmp_uKey] = 0x80;
      }
      for (size_t i = 0; i < kKeyboardStateSize; ++i) {
        if (keyLatched_[i]) tmp_pKeys[i] = 0x80;
        keyLatched_[i] = false;
      }
      if (Recording()) RecordKeys(tmp_pKeys);
      return;
    }
    DIMOUSESTATE2 tmp_State{};
    tmp_State.lX = detail::SaturateLong(dx_);
    tmp_State.lY = detail::SaturateLong(dy_);
    tmp_State.lZ = detail::SaturateLong(dz_);
    dx_ = dy_ = dz_ = 0;
    for (size_t i = 0; i < 8; ++i) {
      tmp_State.rgbButtons[i] = (buttonDown_[i] || buttonLatched_[i]) ? 0x80 : 0;
      buttonLatched_[i] = false;
    }
    std::memcpy(fp_pData, &tmp_State, sizeof(tmp_State));
    if (Recording()) RecordMouse(tmp_State);
  }

 private:
  // "keys <code> ..." whenever the keys down differ from the last record.
  void RecordKeys(const BYTE* fp_pKeys) {
    if (std::memcmp(fp_pKeys, recordedKeys_, kKeyboardStateSize) == 0) return;
    std::memcpy(recordedKeys_, fp_pKeys, kKeyboardStateSize);
    record_.clear();
    for (size_t i = 0; i < kKeyboardStateSize; ++i) {
      if (fp_pKeys[i] & 0x80) AppendNumber(&record_, static_cast<long long>(i));
    }
    os::replay::RecordLine("keys", record_);
  }

  // "mouse <dx> <dy> <dz> <button> ..." when it moved or its buttons changed.
  void RecordMouse(const DIMOUSESTATE2& fp_rState) {
    if (fp_rState.lX == 0 && fp_rState.lY == 0 && fp_rState.lZ == 0 &&
        std::memcmp(fp_rState.rgbButtons, recordedButtons_, 8) == 0) {
      return;
    }
    std::memcpy(recordedButtons_, fp_rState.rgbButtons, 8);
    record_.clear();
    AppendNumber(&record_, fp_rState.lX);
    AppendNumber(&record_, fp_rState.lY);
    AppendNumber(&record_, fp_rState.lZ);
    for (int i = 0; i < 8; ++i) {
      if (fp_rState.rgbButtons[i] & 0x80) AppendNumber(&record_, i + 1);
    }
    os::replay::RecordLine("mouse", record_);
  }

  bool scanDown_[SDL_NUM_SCANCODES] = {};
  bool keyLatched_[kKeyboardStateSize] = {};
  bool buttonDown_[8] = {};
  bool buttonLatched_[8] = {};
  long long dx_ = 0;
  long long dy_ = 0;
  long long dz_ = 0;
  BYTE recordedKeys_[kKeyboardStateSize] = {};
  BYTE recordedButtons_[8] = {};
  std::string record_;
};

// }====

// {==== Events ===============================================================

void Dispatch(const SDL_Event& fp_rEvent) {
  switch (fp_rEvent.type) {
    case SDL_KEYDOWN:
    case SDL_KEYUP:
      for (CSDLDevice* tmp_pDevice : g_vDevices) {
        tmp_pDevice->OnKey(fp_rEvent.key.keysym.scancode, fp_rEvent.type == SDL_KEYDOWN);
      }
      break;
    case SDL_MOUSEMOTION:
      g_Pointer.known = g_Pointer.fresh = true;
      g_Pointer.x = fp_rEvent.motion.x;
      g_Pointer.y = fp_rEvent.motion.y;
      for (CSDLDevice* tmp_pDevice : g_vDevices) {
        tmp_pDevice->OnMotion(fp_rEvent.motion.xrel, fp_rEvent.motion.yrel);
      }
      break;
    case SDL_MOUSEBUTTONDOWN:
    case SDL_MOUSEBUTTONUP:
      g_Pointer.known = g_Pointer.fresh = true;
      g_Pointer.x = fp_rEvent.button.x;
      g_Pointer.y = fp_rEvent.button.y;
      for (CSDLDevice* tmp_pDevice : g_vDevices) {
        tmp_pDevice->OnButton(fp_rEvent.button.button, fp_rEvent.type == SDL_MOUSEBUTTONDOWN);
      }
      break;
    case SDL_MOUSEWHEEL: {
      // One notch is 120 units, positive away from the user.
      long long tmp_llDZ = static_cast<long long>(fp_rEvent.wheel.y) * 120;
      if (fp_rEvent.wheel.direction == SDL_MOUSEWHEEL_FLIPPED) tmp_llDZ = -tmp_llDZ;
      for (CSDLDevice* tmp_pDevice : g_vDevices) tmp_pDevice->OnWheel(tmp_llDZ);
      break;
    }
    default: break;  // text, joystick, controller, touch: nobody reads them
  }
}

void PumpEvents() {
  if (SDL_WasInit(SDL_INIT_EVENTS) == 0) return;
  SDL_Event tmp_aEvents[32];
  int tmp_iCount = 0;
  while ((tmp_iCount = SDL_PeepEvents(tmp_aEvents, 32, SDL_GETEVENT, kFirstInputEvent,
                                      kLastInputEvent)) > 0) {
    for (int i = 0; i < tmp_iCount; ++i) Dispatch(tmp_aEvents[i]);
  }
}

void CSDLDevice::Poll() {
  PumpEvents();
}

// }====

// {==== Cursor ===============================================================

long long FloorDiv(long long fp_llA, long long fp_llB) {
  long long tmp_llQ = fp_llA / fp_llB;
  return (fp_llA % fp_llB != 0 && (fp_llA < 0) != (fp_llB < 0)) ? tmp_llQ - 1 : tmp_llQ;
}

// The pointer in window points, or false when nothing is known of it.
bool PointerInWindow(SDL_Window* fp_pWindow, int* fp_piX, int* fp_piY) {
  SDL_Window* tmp_pFocus = SDL_GetMouseFocus();
  if (tmp_pFocus == fp_pWindow) g_Pointer.focusSeen = true;
  if (g_Pointer.fresh) {
    // The newest position an event carried (also what pushed events give).
    g_Pointer.fresh = false;
    *fp_piX = g_Pointer.x;
    *fp_piY = g_Pointer.y;
  } else if (tmp_pFocus == fp_pWindow) {
    SDL_GetMouseState(fp_piX, fp_piY);
  } else if (g_Pointer.focusSeen) {
    // The pointer has left the window: where it is on the desktop.
    int tmp_iGX = 0;
    int tmp_iGY = 0;
    int tmp_iWX = 0;
    int tmp_iWY = 0;
    SDL_GetGlobalMouseState(&tmp_iGX, &tmp_iGY);
    SDL_GetWindowPosition(fp_pWindow, &tmp_iWX, &tmp_iWY);
    *fp_piX = tmp_iGX - tmp_iWX;
    *fp_piY = tmp_iGY - tmp_iWY;
  } else if (g_Pointer.known) {
    *fp_piX = g_Pointer.x;
    *fp_piY = g_Pointer.y;
  } else {
    return false;
  }
  return true;
}

}  // namespace

detail::CDeviceBase* CreateDevice(EDeviceKind fp_eKind, IDirectInput8* fp_pParent) {
  if (SDL_WasInit(SDL_INIT_EVENTS) == 0) return nullptr;
  return new CSDLDevice(fp_eKind, fp_pParent);
}

bool GetCursorClientPos(HWND fp_hWnd, POINT* fp_pPoint) {
  os::RECT tmp_Client;
  if (fp_pPoint == nullptr || fp_hWnd == nullptr || !os::GetClientRect(fp_hWnd, &tmp_Client)) {
    return false;
  }
  SDL_Window* tmp_pWindow = os::GetSDLWindow(fp_hWnd);
  if (tmp_pWindow == nullptr) return false;
  PumpEvents();
  POINT tmp_Point{-1, -1};
  int tmp_iX = 0;
  int tmp_iY = 0;
  if (PointerInWindow(tmp_pWindow, &tmp_iX, &tmp_iY)) {
    // Window points to drawable pixels (they differ on high-density screens),
    // then through the picture of the back buffer to back-buffer pixels: the
    // back buffer is the size of the client area.
    int tmp_iWinW = 0;
    int tmp_iWinH = 0;
    int tmp_iDrawW = 0;
    int tmp_iDrawH = 0;
    SDL_GetWindowSize(tmp_pWindow, &tmp_iWinW, &tmp_iWinH);
    SDL_GL_GetDrawableSize(tmp_pWindow, &tmp_iDrawW, &tmp_iDrawH);
    long long tmp_llX = tmp_iX;
    long long tmp_llY = tmp_iY;
    if (tmp_iWinW > 0 && tmp_iWinH > 0 && tmp_iDrawW > 0 && tmp_iDrawH > 0) {
      tmp_llX = FloorDiv(tmp_llX * tmp_iDrawW, tmp_iWinW);
      tmp_llY = FloorDiv(tmp_llY * tmp_iDrawH, tmp_iWinH);
    }
    int tmp_iBackW = tmp_Client.right - tmp_Client.left;
    int tmp_iBackH = tmp_Client.bottom - tmp_Client.top;
    os::RECT tmp_View = os::GetBackBufferViewport(fp_hWnd, tmp_iBackW, tmp_iBackH);
    long long tmp_llViewW = tmp_View.right - tmp_View.left;
    long long tmp_llViewH = tmp_View.bottom - tmp_View.top;
    if (tmp_llViewW > 0 && tmp_llViewH > 0 && tmp_iBackW > 0 && tmp_iBackH > 0) {
      tmp_llX = FloorDiv((tmp_llX - tmp_View.left) * tmp_iBackW, tmp_llViewW);
      tmp_llY = FloorDiv((tmp_llY - tmp_View.top) * tmp_iBackH, tmp_llViewH);
    }
    tmp_Point = {detail::SaturateLong(tmp_llX), detail::SaturateLong(tmp_llY)};
  }
  *fp_pPoint = tmp_Point;
  if (Recording() &&
      (tmp_Point.x != g_LastRecordedCursor.x || tmp_Point.y != g_LastRecordedCursor.y)) {
    g_LastRecordedCursor = tmp_Point;
    static std::string s_strRecord;
    s_strRecord.clear();
    AppendNumber(&s_strRecord, tmp_Point.x);
    AppendNumber(&s_strRecord, tmp_Point.y);
    os::replay::RecordLine("cursor", s_strRecord);
  }
  return true;
}

void ApplyCursorVisibility(bool fp_bShow) {
  if (SDL_WasInit(SDL_INIT_VIDEO) == 0) return;
  SDL_ShowCursor(fp_bShow ? SDL_ENABLE : SDL_DISABLE);
}

void DiscardInputEvents() {
  if (SDL_WasInit(SDL_INIT_EVENTS) == 0) return;
  SDL_FlushEvents(kFirstInputEvent, kLastInputEvent);
}

}  // namespace input::sdl
