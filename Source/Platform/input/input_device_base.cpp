// The device rules shared by the back ends: data formats, cooperative levels,
// acquisition with the foreground rule, loss and reference counts; and the
// DirectInput object that hands out the devices of one back end.
#include "Platform/input/input_device_base.h"

#include <cstring>

#include "Platform/os/os_backend.h"

namespace input {

const DIDATAFORMAT c_dfDIKeyboard{sizeof(DIDATAFORMAT), kKeyboardStateSize, 256};
const DIDATAFORMAT c_dfDIMouse2{sizeof(DIDATAFORMAT), sizeof(DIMOUSESTATE2), 3 + 8};

namespace detail {

namespace {

bool SameFormat(const DIDATAFORMAT& fp_rA, const DIDATAFORMAT& fp_rB) {
  return fp_rA.dwSize == fp_rB.dwSize && fp_rA.dwDataSize == fp_rB.dwDataSize &&
         fp_rA.dwNumObjs == fp_rB.dwNumObjs;
}

bool IsLiveWindow(HWND fp_hWnd) {
  os::RECT tmp_Rect;
  return fp_hWnd != nullptr && os::GetClientRect(fp_hWnd, &tmp_Rect);
}

}  // namespace

// {==== Device ===============================================================

CDeviceBase::CDeviceBase(EDeviceKind fp_eKind, IDirectInput8* fp_pParent)
    : kind_(fp_eKind), parent_(fp_pParent) {
  if (parent_ != nullptr) parent_->AddRef();
}

CDeviceBase::~CDeviceBase() {
  if (parent_ != nullptr) parent_->Release();
}

ULONG CDeviceBase::AddRef() {
  return ++refs_;
}

ULONG CDeviceBase::Release() {
  ULONG tmp_uLeft = --refs_;
  if (tmp_uLeft == 0) delete this;
  return tmp_uLeft;
}

HRESULT CDeviceBase::SetDataFormat(const DIDATAFORMAT* fp_pFormat) {
  if (fp_pFormat == nullptr) return DIERR_INVALIDPARAM;
  if (acquired_) return DIERR_ACQUIRED;
  const DIDATAFORMAT& tmp_rOwn = kind_ == EDeviceKind::Keyboard ? c_dfDIKeyboard : c_dfDIMouse2;
  if (!SameFormat(*fp_pFormat, tmp_rOwn)) return DIERR_INVALIDPARAM;
  formatSet_ = true;
  dataSize_ = tmp_rOwn.dwDataSize;
  return DI_OK;
}

HRESULT CDeviceBase::SetCooperativeLevel(HWND fp_hWnd, DWORD fp_dwFlags) {
  constexpr DWORD kKnown =
      DISCL_EXCLUSIVE | DISCL_NONEXCLUSIVE | DISCL_FOREGROUND | DISCL_BACKGROUND | DISCL_NOWINKEY;
  if (acquired_) return DIERR_ACQUIRED;
  if ((fp_dwFlags & ~kKnown) != 0) return DIERR_INVALIDPARAM;
  bool tmp_bExclusive = (fp_dwFlags & DISCL_EXCLUSIVE) != 0;
  bool tmp_bNonExclusive = (fp_dwFlags & DISCL_NONEXCLUSIVE) != 0;
  bool tmp_bForeground = (fp_dwFlags & DISCL_FOREGROUND) != 0;
  bool tmp_bBackground = (fp_dwFlags & DISCL_BACKGROUND) != 0;
  if (tmp_bExclusive == tmp_bNonExclusive || tmp_bForeground == tmp_bBackground) {
    return DIERR_INVALIDPARAM;
  }
  if (!IsLiveWindow(fp_hWnd)) return DIERR_INVALIDPARAM;
  hWnd_ = fp_hWnd;
  foreground_ = tmp_bForeground;
  return DI_OK;
}

bool CDeviceBase::ForegroundLost() const {
  return foreground_ && !os::IsActiveWindow(hWnd_);
}

HRESULT CDeviceBase::Acquire() {
  if (!formatSet_) return DIERR_INVALIDPARAM;
  Poll();
  if (ForegroundLost()) {
    acquired_ = false;
    return DIERR_OTHERAPPHASPRIO;
  }
  // Called again on an acquired device (as after the window got the focus
  // back): what happened in between was not this program's input.
  Restart();
  if (acquired_) return DI_NOEFFECT;
  acquired_ = true;
  return DI_OK;
}

HRESULT CDeviceBase::Unacquire() {
  if (!acquired_) return DI_NOEFFECT;
  acquired_ = false;
  return DI_OK;
}

HRESULT CDeviceBase::GetDeviceState(DWORD fp_dwSize, void* fp_pData) {
  if (fp_pData == nullptr || !formatSet_ || fp_dwSize != dataSize_) return DIERR_INVALIDPARAM;
  Poll();
  if (!acquired_) return DIERR_NOTACQUIRED;
  if (ForegroundLost() || TakeLoss()) {
    acquired_ = false;
    return DIERR_INPUTLOST;
  }
  std::memset(fp_pData, 0, fp_dwSize);
  ReadState(fp_pData);
  return DI_OK;
}

// }====

// {==== DirectInput object ===================================================

ULONG CDirectInput::AddRef() {
  return ++refs_;
}

ULONG CDirectInput::Release() {
  ULONG tmp_uLeft = --refs_;
  if (tmp_uLeft == 0) delete this;
  return tmp_uLeft;
}

HRESULT CDirectInput::CreateDevice(REFGUID fp_rGuid, IDirectInputDevice8** fp_ppDevice,
                                   void* fp_pUnkOuter) {
  if (fp_ppDevice == nullptr) return DIERR_INVALIDPARAM;
  *fp_ppDevice = nullptr;
  if (fp_pUnkOuter != nullptr) return DIERR_NOINTERFACE;
  EDeviceKind tmp_eKind;
  if (fp_rGuid == GUID_SysKeyboard) {
    tmp_eKind = EDeviceKind::Keyboard;
  } else if (fp_rGuid == GUID_SysMouse) {
    tmp_eKind = EDeviceKind::Mouse;
  } else {
    return DIERR_DEVICENOTREG;
  }
  CDeviceBase* tmp_pDevice = factory_(tmp_eKind, this);
  if (tmp_pDevice == nullptr) return DIERR_NOTINITIALIZED;
  *fp_ppDevice = tmp_pDevice;
  return DI_OK;
}

// }====

}  // namespace detail

}  // namespace input
