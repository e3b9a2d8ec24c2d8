// The SDL2 back end of the input devices: the keyboard and the mouse from the
// key and mouse events that the os stand-in leaves in SDL's queue, the cursor
// from SDL's pointer mapped into back-buffer pixels, the system cursor's
// visibility. In Record mode the reads are written to the session record.
#pragma once

#include "Platform/input/input_device_base.h"

namespace input::sdl {

// Null while SDL's event queue is not running (no real window exists).
detail::CDeviceBase* CreateDevice(detail::EDeviceKind fp_eKind, IDirectInput8* fp_pParent);

bool GetCursorClientPos(HWND fp_hWnd, POINT* fp_pPoint);
void ApplyCursorVisibility(bool fp_bShow);
// Throws away the key, text, mouse, joystick, controller and touch events
// waiting in SDL's queue (a replay over a real window reads none of them).
void DiscardInputEvents();

// The key code of an SDL scancode, 0 for none.
BYTE KeyCodeOfScancode(int fp_iScancode);

}  // namespace input::sdl
