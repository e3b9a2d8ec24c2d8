// The mouse: set-up, acquisition, the per-frame read of buttons, motion and
// wheel, the cursor in client-area pixels with its in-client state, and the
// system cursor hidden exactly while it is over the active game window.
static constexpr int kM2DFileID = 129;

#include <cstring>
#include <string>

#include "Platform/input/dinput8.h"
#include "cmorvane.h"

namespace {

bool IsMouseKey(std::int32_t fp_iKey) {
  return fp_iKey >= 1 && fp_iKey <= 8;
}

std::int32_t SaturatedDifference(std::int32_t fp_iA, std::int32_t fp_iB) {
  std::int64_t tmp_iDiff = static_cast<std::int64_t>(fp_iA) - fp_iB;
  if (tmp_iDiff > INT32_MAX) return INT32_MAX;
  if (tmp_iDiff < INT32_MIN) return INT32_MIN;
  return static_cast<std::int32_t>(tmp_iDiff);
}

}  // namespace

// {==== Set-up, acquisition, update, shut-down ===============================

void CMorvane::INP_MouseInit() {
  M2D_CHECKPOINT;
  input::HRESULT tmp_hr = pDI->CreateDevice(input::GUID_SysMouse, &pDIMouse, nullptr);
  if (input::FAILED(tmp_hr)) {
    M2D_THROW(EHS_TYPE_GENERAL, tmp_hr, "Cannot create DirectInputDevice (Mouse) object!");
  }
  if (pDIMouse == nullptr) M2D_THROW(EHS_TYPE_GENERAL, 0, "Error: mouse object is NULL!");
  tmp_hr = pDIMouse->SetDataFormat(&input::c_dfDIMouse2);
  if (input::FAILED(tmp_hr))
    M2D_THROW(EHS_TYPE_GENERAL, tmp_hr, "Cannot set data format for Mouse!");
  tmp_hr = pDIMouse->SetCooperativeLevel(hWnd, input::DISCL_NONEXCLUSIVE | input::DISCL_FOREGROUND);
  if (input::FAILED(tmp_hr)) {
    M2D_THROW(EHS_TYPE_GENERAL, tmp_hr, "Cannot set cooperative level for Mouse!");
  }
  INP_MouseAcquire();
}

void CMorvane::INP_MouseAcquire() {
  M2D_CHECKPOINT;
  if (pDIMouse == nullptr) return;
  input::HRESULT tmp_hr = pDIMouse->Acquire();
  if (input::FAILED(tmp_hr)) {
    LogAddEntry("Cannot acquire mouse!", LOG_KIND_FAILED);
    LogAddEntry(std::to_string(tmp_hr), LOG_KIND_FAILED);
    bMouseAcquired = 0;
  } else {
    bMouseAcquired = 1;
  }
}

void CMorvane::INP_MouseUpdate() {
  M2D_CHECKPOINT;
  if (pDIMouse == nullptr || bMouseAcquired == 0) {
    if (pDIMouse == nullptr || input::FAILED(pDIMouse->Acquire())) {
      // Not ours now: no buttons, no motion; the cursor stays where it was.
      mouseState = SMouseState{};
      mouseStatePrev = SMouseState{};
      return;
    }
    bMouseAcquired = 1;
  }

  mouseStatePrev = mouseState;
  input::DIMOUSESTATE2 tmp_State{};
  input::HRESULT tmp_hr = pDIMouse->GetDeviceState(sizeof(tmp_State), &tmp_State);
  if (tmp_hr == input::DIERR_INPUTLOST) {
    tmp_hr = pDIMouse->Acquire();
    if (input::FAILED(tmp_hr)) M2D_THROW(EHS_TYPE_GENERAL, tmp_hr, "Cannot reacquire Mouse!");
    tmp_hr = pDIMouse->GetDeviceState(sizeof(tmp_State), &tmp_State);
    if (input::FAILED(tmp_hr)) {
      M2D_THROW(EHS_TYPE_GENERAL, tmp_hr, "Second try of getting Mouse state failed!");
    }
  } else if (input::FAILED(tmp_hr)) {
    M2D_THROW(EHS_TYPE_GENERAL, tmp_hr, "Cannot get Mouse state!");
  }
  mouseState.lX = tmp_State.lX;
  mouseState.lY = tmp_State.lY;
  mouseState.lZ = tmp_State.lZ;
  std::memcpy(mouseState.rgbButtons, tmp_State.rgbButtons, sizeof(mouseState.rgbButtons));

  cursorPrevX = cursorX;
  cursorPrevY = cursorY;
  input::POINT tmp_Cursor{cursorX, cursorY};
  if (input::GetCursorClientPos(hWnd, &tmp_Cursor)) {
    cursorX = tmp_Cursor.x;
    cursorY = tmp_Cursor.y;
  }

  bCursorInClientPrev = bCursorInClient;
  bCursorInClient = 0;
  os::RECT tmp_Client{0, 0, 0, 0};
  if (g_bAppActive != 0 && os::GetClientRect(hWnd, &tmp_Client)) {
    bCursorInClient = (cursorX >= tmp_Client.left && cursorX < tmp_Client.right &&
                       cursorY >= tmp_Client.top && cursorY < tmp_Client.bottom)
                          ? 1
                          : 0;
  }

  // The GUI draws its own cursor over the client area.
  if (bCursorInClientPrev == 0 && bCursorInClient != 0) input::ShowCursor(0);
  if (bCursorInClientPrev != 0 && bCursorInClient == 0) input::ShowCursor(1);
}

void CMorvane::INP_MouseShutdown() {
  M2D_CHECKPOINT;
  if (pDIMouse != nullptr) {
    pDIMouse->Unacquire();
    pDIMouse->Release();
    pDIMouse = nullptr;
  }
  bMouseAcquired = 0;
  // Shows the system cursor again if it is hidden, so the display count ends
  // where it started whatever the cursor's position.
  if (bCursorInClient != 0) input::ShowCursor(1);
  bCursorInClient = 0;
  bCursorInClientPrev = 0;
}

// }====

// {==== Queries ==============================================================

bool CMorvane::INP_MouseIsKeyPressed(std::int32_t fp_iKey) const {
  M2D_CHECKPOINT;
  return IsMouseKey(fp_iKey) && (mouseState.rgbButtons[fp_iKey - 1] & 0x80) != 0;
}

bool CMorvane::INP_MouseIsKeyClicked(std::int32_t fp_iKey) const {
  M2D_CHECKPOINT;
  return IsMouseKey(fp_iKey) && (mouseState.rgbButtons[fp_iKey - 1] & 0x80) != 0 &&
         (mouseStatePrev.rgbButtons[fp_iKey - 1] & 0x80) == 0;
}

std::uint8_t CMorvane::INP_MouseGetAnyPressedKey() const {
  M2D_CHECKPOINT;
  for (int i = 0; i < 8; ++i) {
    if ((mouseState.rgbButtons[i] & 0x80) != 0) return static_cast<std::uint8_t>(i + 1);
  }
  return 0;
}

std::int32_t CMorvane::INP_MouseGetDeltaX() const {
  M2D_CHECKPOINT;
  return mouseState.lX;
}

std::int32_t CMorvane::INP_MouseGetDeltaY() const {
  M2D_CHECKPOINT;
  return mouseState.lY;
}

std::int32_t CMorvane::INP_MouseGetWheelDelta() const {
  M2D_CHECKPOINT;
  return mouseState.lZ > 0 ? 1 : (mouseState.lZ < 0 ? -1 : 0);
}

void CMorvane::INP_MouseGetCursorPos(std::int32_t* fp_piX, std::int32_t* fp_piY) const {
  M2D_CHECKPOINT;
  if (fp_piX != nullptr) *fp_piX = cursorX;
  if (fp_piY != nullptr) *fp_piY = cursorY;
}

bool CMorvane::INP_MouseGetCursorStatus() const {
  M2D_CHECKPOINT;
  return bCursorInClient != 0;
}

std::int32_t CMorvane::INP_MouseGetCursorDeltaX() const {
  M2D_CHECKPOINT;
  return SaturatedDifference(cursorX, cursorPrevX);
}

std::int32_t CMorvane::INP_MouseGetCursorDeltaY() const {
  M2D_CHECKPOINT;
  return SaturatedDifference(cursorY, cursorPrevY);
}

// }====
