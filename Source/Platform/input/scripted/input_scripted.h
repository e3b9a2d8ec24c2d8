// The replay back end of the input devices: the keyboard, the mouse and the
// cursor as the input records of the replay's current frame give them (record
// syntax in os_replay.h). Without a replay nothing is ever down or moving.
#pragma once

#include "Platform/input/input_device_base.h"

namespace input::scripted {

detail::CDeviceBase* CreateDevice(detail::EDeviceKind fp_eKind, IDirectInput8* fp_pParent);

// Called at every poll when set: a replay over a real window throws away the
// system's own input events, which nobody reads then.
void SetEventDiscarder(void (*fp_pDiscard)());

// The cursor of the replay, in client coordinates. False for an unknown window.
bool GetCursorClientPos(HWND fp_hWnd, POINT* fp_pPoint);

}  // namespace input::scripted
