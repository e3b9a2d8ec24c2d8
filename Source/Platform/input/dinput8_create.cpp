// The entry points of the input stand-in: the DirectInput object over the
// back end in use (scripted while a replay runs or the os stand-in is
// headless, SDL otherwise), the cursor position and the cursor display count.
#include "Platform/input/dinput8.h"
#include "Platform/input/input_device_base.h"
#include "Platform/input/scripted/input_scripted.h"
#include "Platform/input/sdl/input_sdl.h"
#include "Platform/os/os_backend.h"
#include "Platform/os/os_replay.h"

namespace input {

namespace {

int g_iCursorCount = 0;

bool UseScripted() {
  return os::replay::GetMode() == os::replay::Mode::Replay ||
         os::GetBackend() == os::Backend::Headless;
}

}  // namespace

HRESULT DirectInput8Create(HINSTANCE fp_hInstance, DWORD fp_dwVersion, REFIID fp_rIID,
                           IDirectInput8** fp_ppOut, void* fp_pUnkOuter) {
  if (fp_ppOut == nullptr) return DIERR_INVALIDPARAM;
  *fp_ppOut = nullptr;
  if (fp_hInstance == nullptr || fp_pUnkOuter != nullptr) return DIERR_INVALIDPARAM;
  if (fp_dwVersion < DIRECTINPUT_VERSION) return DIERR_OLDDIRECTINPUTVERSION;
  if (fp_dwVersion > DIRECTINPUT_VERSION) return DIERR_BETADIRECTINPUTVERSION;
  if (!(fp_rIID == IID_IDirectInput8A)) return DIERR_NOINTERFACE;
  detail::DeviceFactory tmp_pFactory = &sdl::CreateDevice;
  if (UseScripted()) {
    tmp_pFactory = &scripted::CreateDevice;
    // A replay over a real window: the system's input events are not read.
    scripted::SetEventDiscarder(os::GetBackend() == os::Backend::Real ? &sdl::DiscardInputEvents
                                                                      : nullptr);
  }
  *fp_ppOut = new detail::CDirectInput(tmp_pFactory);
  return DI_OK;
}

bool GetCursorClientPos(HWND fp_hWnd, POINT* fp_pPoint) {
  return UseScripted() ? scripted::GetCursorClientPos(fp_hWnd, fp_pPoint)
                       : sdl::GetCursorClientPos(fp_hWnd, fp_pPoint);
}

int ShowCursor(BOOL fp_bShow) {
  bool tmp_bWasShown = g_iCursorCount >= 0;
  // Kept far from overflowing, whatever the caller does.
  if (fp_bShow) {
    if (g_iCursorCount < 1000000) ++g_iCursorCount;
  } else if (g_iCursorCount > -1000000) {
    --g_iCursorCount;
  }
  bool tmp_bShown = g_iCursorCount >= 0;
  if (tmp_bShown != tmp_bWasShown && os::GetBackend() == os::Backend::Real) {
    sdl::ApplyCursorVisibility(tmp_bShown);
  }
  return g_iCursorCount;
}

int GetCursorDisplayCount() {
  return g_iCursorCount;
}

}  // namespace input
