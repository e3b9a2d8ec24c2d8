// Back-end selection and what the other platform parts (graphics, input)
// need to know about the window. Not for engine code: the engine sees only
// os.h.
#pragma once

#include "Platform/os/os.h"

struct SDL_Window;

namespace os {

enum class Backend { Real, Headless };

// The back end in use, chosen at the first call: Headless when M2D_HEADLESS=1,
// else Real. Tests may choose before any window exists.
Backend GetBackend();
void SelectBackendForTests(Backend fp_eBackend);

// The real back end refuses to create windows when SDL could only fall back to
// its offscreen driver, unless SDL_VIDEODRIVER=offscreen was asked for: the
// game must never run invisibly by accident.
bool HasDisplay();

// The SDL window behind a window of the real back end (null when headless).
// It stays alive after DestroyWindow (hidden) until the process ends.
//
// SDL's event queue is shared: the os part takes only the quit, application,
// display and window events (and discards clipboard, drop, audio-device,
// render and user events nobody reads); keyboard, text, mouse, joystick,
// controller and touch events stay in SDL's queue for the input part.
SDL_Window* GetSDLWindow(HWND fp_hWnd);
// Window state as the stand-ins of graphics and input read it.
bool IsFullScreen(HWND fp_hWnd);
bool IsMinimized(HWND fp_hWnd);
bool IsActiveWindow(HWND fp_hWnd);

// The rectangle of the window's drawable area that shows the 800x600 back
// buffer (letterboxed in full screen), in window pixels; the cursor is mapped
// back through it.
RECT GetBackBufferViewport(HWND fp_hWnd, int fp_iBackWidth, int fp_iBackHeight);

}  // namespace os
