// What the input back ends share: the device rules that do not depend on where
// the states come from (data formats, cooperative levels, acquisition, the
// foreground rule, loss, reference counts). A back end supplies the states.
// Not for engine code: the engine sees only dinput8.h.
#pragma once

#include "Platform/input/dinput8.h"

namespace input::detail {

enum class EDeviceKind { Keyboard, Mouse };

class CDeviceBase : public IDirectInputDevice8 {
 public:
  CDeviceBase(EDeviceKind fp_eKind, IDirectInput8* fp_pParent);
  CDeviceBase(const CDeviceBase&) = delete;
  CDeviceBase& operator=(const CDeviceBase&) = delete;

  ULONG AddRef() override;
  ULONG Release() override;
  HRESULT SetDataFormat(const DIDATAFORMAT* fp_pFormat) override;
  HRESULT SetCooperativeLevel(HWND fp_hWnd, DWORD fp_dwFlags) override;
  HRESULT Acquire() override;
  HRESULT Unacquire() override;
  HRESULT GetDeviceState(DWORD fp_dwSize, void* fp_pData) override;

  EDeviceKind Kind() const { return kind_; }
  bool IsAcquired() const { return acquired_; }

 protected:
  ~CDeviceBase() override;

  // Called at every Acquire and GetDeviceState before anything else: the back
  // end takes in what happened since (events, the replay's frame).
  virtual void Poll() = 0;
  // Acquisition (re)starts: forget motion and presses not yet read.
  virtual void Restart() = 0;
  // True when the back end lost the device since the last read (taken by the
  // system); the read then reports DIERR_INPUTLOST.
  virtual bool TakeLoss() = 0;
  // Fills the 256-byte keyboard state or the DIMOUSESTATE2.
  virtual void ReadState(void* fp_pData) = 0;

 private:
  bool ForegroundLost() const;

  EDeviceKind kind_;
  IDirectInput8* parent_;
  ULONG refs_ = 1;
  bool formatSet_ = false;
  DWORD dataSize_ = 0;
  HWND hWnd_ = nullptr;
  bool foreground_ = false;
  bool acquired_ = false;
};

// The DirectInput object: creates the devices of one back end.
using DeviceFactory = CDeviceBase* (*)(EDeviceKind fp_eKind, IDirectInput8* fp_pParent);

class CDirectInput final : public IDirectInput8 {
 public:
  explicit CDirectInput(DeviceFactory fp_pFactory) : factory_(fp_pFactory) {}
  CDirectInput(const CDirectInput&) = delete;
  CDirectInput& operator=(const CDirectInput&) = delete;

  ULONG AddRef() override;
  ULONG Release() override;
  HRESULT CreateDevice(REFGUID fp_rGuid, IDirectInputDevice8** fp_ppDevice,
                       void* fp_pUnkOuter) override;

 private:
  ~CDirectInput() override = default;

  DeviceFactory factory_;
  ULONG refs_ = 1;
};

// Integers from event data or a replay, kept within 32 bits.
constexpr LONG SaturateLong(long long fp_llValue) {
  return fp_llValue > 2147483647LL    ? 2147483647
         : fp_llValue < -2147483648LL ? static_cast<LONG>(-2147483647 - 1)
                                      : static_cast<LONG>(fp_llValue);
}

}  // namespace input::detail
