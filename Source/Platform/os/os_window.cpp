// Window classes and windows for both back ends: the outer and client
// rectangles with a simulated non-client frame, SDL windows behind the real
// ones, full screen with a letterboxed back buffer, and the translation of
// SDL's window events into the messages the window procedure expects.
#include <SDL.h>

#include <algorithm>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "Platform/os/os_internal.h"

namespace os {

namespace {

struct WindowClass {
  std::string name;
  WNDPROC proc;
  HINSTANCE instance;
};

std::vector<WindowClass> g_vClasses;
// Windows live until the process ends (handles stay valid after
// DestroyWindow, so late calls on them fail cleanly instead of crashing).
std::vector<std::unique_ptr<Window>> g_vWindows;

// The frame the original platform draws around a captioned window: 3 px
// sizing borders and a 22 px caption, plus a 2 px sunken edge for
// WS_EX_CLIENTEDGE. Only the client area exists as an SDL window.
struct Frame {
  int left, top, right, bottom;
};

Frame FrameOf(std::uint32_t fp_uStyle, std::uint32_t fp_uExStyle) {
  Frame tmp_Frame{0, 0, 0, 0};
  if ((fp_uStyle & WS_POPUP) == 0 && (fp_uStyle & WS_CAPTION) == WS_CAPTION) {
    tmp_Frame = {3, 3 + 22, 3, 3};
  }
  if ((fp_uExStyle & WS_EX_CLIENTEDGE) != 0 && (fp_uStyle & WS_POPUP) == 0) {
    tmp_Frame.left += 2;
    tmp_Frame.top += 2;
    tmp_Frame.right += 2;
    tmp_Frame.bottom += 2;
  }
  return tmp_Frame;
}

bool IsPopup(const Window& fp_rWin) { return (fp_rWin.style & WS_POPUP) != 0; }

// Coordinates and sizes are kept within what a screen can hold, so the
// rectangle arithmetic cannot overflow whatever the caller passes.
int ClampCoord(int fp_iValue) { return std::clamp(fp_iValue, -65536, 65536); }
int ClampSize(int fp_iValue) { return std::clamp(fp_iValue, 0, 65536); }

void SetOuter(Window& fp_rWin, int fp_iX, int fp_iY, int fp_iWidth, int fp_iHeight) {
  int tmp_iX = ClampCoord(fp_iX);
  int tmp_iY = ClampCoord(fp_iY);
  fp_rWin.outer = {tmp_iX, tmp_iY, tmp_iX + ClampSize(fp_iWidth), tmp_iY + ClampSize(fp_iHeight)};
}

void ClientSize(const Window& fp_rWin, int* fp_piWidth, int* fp_piHeight) {
  Frame tmp_Frame = FrameOf(fp_rWin.style, fp_rWin.exStyle);
  *fp_piWidth = std::max(0, fp_rWin.outer.right - fp_rWin.outer.left - tmp_Frame.left -
                                tmp_Frame.right);
  *fp_piHeight = std::max(0, fp_rWin.outer.bottom - fp_rWin.outer.top - tmp_Frame.top -
                                 tmp_Frame.bottom);
}

// Brings the SDL window in line with the state: in a window the SDL window
// is the client area; full screen it covers the desktop whatever the size.
void SyncSDL(Window& fp_rWin) {
  if (fp_rWin.sdl == nullptr) return;
  if (IsPopup(fp_rWin)) return;
  int tmp_iWidth = 0;
  int tmp_iHeight = 0;
  ClientSize(fp_rWin, &tmp_iWidth, &tmp_iHeight);
  Frame tmp_Frame = FrameOf(fp_rWin.style, fp_rWin.exStyle);
  SDL_SetWindowSize(fp_rWin.sdl, std::max(1, tmp_iWidth), std::max(1, tmp_iHeight));
  SDL_SetWindowPosition(fp_rWin.sdl, fp_rWin.outer.left + tmp_Frame.left,
                        fp_rWin.outer.top + tmp_Frame.top);
}

void ApplyStyleChange(Window& fp_rWin, bool fp_bWasPopup) {
  if (fp_rWin.sdl != nullptr && fp_bWasPopup != IsPopup(fp_rWin)) {
    bool tmp_bPopup = IsPopup(fp_rWin);
    SDL_SetWindowBordered(fp_rWin.sdl, tmp_bPopup ? SDL_FALSE : SDL_TRUE);
    SDL_SetWindowFullscreen(fp_rWin.sdl, tmp_bPopup ? SDL_WINDOW_FULLSCREEN_DESKTOP : 0);
  }
  SyncSDL(fp_rWin);
}

Window* LiveWindow(HWND fp_hWnd) {
  Window* tmp_pWin = detail::FindWindow(fp_hWnd);
  return (tmp_pWin != nullptr && !tmp_pWin->destroyed) ? tmp_pWin : nullptr;
}

Window* WindowOfSDL(std::uint32_t fp_uID) {
  for (auto& tmp_rWin : g_vWindows) {
    if (!tmp_rWin->destroyed && tmp_rWin->sdl != nullptr && tmp_rWin->sdlID == fp_uID) {
      return tmp_rWin.get();
    }
  }
  return nullptr;
}

// System-made activation messages; a replay brings its own instead.
void PostActivation(Window* fp_pWin, WPARAM fp_wParam) {
  if (replay::GetMode() == replay::Mode::Replay) return;
  detail::PostSystemMessage(fp_pWin, WM_ACTIVATE, fp_wParam, 0);
}

constexpr WPARAM kMinimizedFlag = WPARAM{1} << 16;

}  // namespace

// {==== Classes ==============================================================

bool RegisterClassEx(const WNDCLASSEX& fp_rClass) {
  detail::EnsureInit();
  if (fp_rClass.lpszClassName == nullptr || fp_rClass.lpfnWndProc == nullptr) return false;
  for (const WindowClass& tmp_rClass : g_vClasses) {
    if (tmp_rClass.name == fp_rClass.lpszClassName) return false;
  }
  g_vClasses.push_back({fp_rClass.lpszClassName, fp_rClass.lpfnWndProc, fp_rClass.hInstance});
  return true;
}

bool UnregisterClass(const char* fp_pszClassName, HINSTANCE /*fp_hInstance*/) {
  if (fp_pszClassName == nullptr) return false;
  for (auto tmp_it = g_vClasses.begin(); tmp_it != g_vClasses.end(); ++tmp_it) {
    if (tmp_it->name == fp_pszClassName) {
      g_vClasses.erase(tmp_it);
      return true;
    }
  }
  return false;
}

// }====

// {==== Windows ==============================================================

HWND CreateWindowEx(std::uint32_t fp_dwExStyle, const char* fp_pszClassName,
                    const char* fp_pszTitle, std::uint32_t fp_dwStyle, int fp_iX, int fp_iY,
                    int fp_iWidth, int fp_iHeight, HWND /*fp_hParent*/, void* /*fp_hMenu*/,
                    HINSTANCE /*fp_hInstance*/, void* /*fp_pParam*/) {
  detail::EnsureInit();
  if (fp_pszClassName == nullptr) return nullptr;
  const WindowClass* tmp_pClass = nullptr;
  for (const WindowClass& tmp_rClass : g_vClasses) {
    if (tmp_rClass.name == fp_pszClassName) tmp_pClass = &tmp_rClass;
  }
  if (tmp_pClass == nullptr) return nullptr;

  auto tmp_pWin = std::make_unique<Window>();
  tmp_pWin->className = tmp_pClass->name;
  tmp_pWin->title = fp_pszTitle != nullptr ? fp_pszTitle : "";
  tmp_pWin->proc = tmp_pClass->proc;
  tmp_pWin->style = fp_dwStyle;
  tmp_pWin->exStyle = fp_dwExStyle;
  SetOuter(*tmp_pWin, fp_iX, fp_iY, fp_iWidth, fp_iHeight);

  if (GetBackend() == Backend::Real) {
    if (!detail::EnsureVideo()) return nullptr;
    // The graphics part creates a 3.3 core context on this window; the
    // attributes that choose the surface's configuration must be set before
    // the window exists.
    SDL_GL_SetAttribute(SDL_GL_RED_SIZE, 8);
    SDL_GL_SetAttribute(SDL_GL_GREEN_SIZE, 8);
    SDL_GL_SetAttribute(SDL_GL_BLUE_SIZE, 8);
    SDL_GL_SetAttribute(SDL_GL_DOUBLEBUFFER, 1);
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_PROFILE_MASK, SDL_GL_CONTEXT_PROFILE_CORE);
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_MAJOR_VERSION, 3);
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_MINOR_VERSION, 3);
    std::uint32_t tmp_uFlags = SDL_WINDOW_OPENGL | SDL_WINDOW_HIDDEN;
    int tmp_iWidth = 0;
    int tmp_iHeight = 0;
    ClientSize(*tmp_pWin, &tmp_iWidth, &tmp_iHeight);
    Frame tmp_Frame = FrameOf(fp_dwStyle, fp_dwExStyle);
    int tmp_iX = tmp_pWin->outer.left + tmp_Frame.left;
    int tmp_iY = tmp_pWin->outer.top + tmp_Frame.top;
    if (IsPopup(*tmp_pWin)) {
      tmp_uFlags |= SDL_WINDOW_BORDERLESS | SDL_WINDOW_FULLSCREEN_DESKTOP;
      tmp_iX = tmp_iY = SDL_WINDOWPOS_UNDEFINED;
    }
    tmp_pWin->sdl = SDL_CreateWindow(tmp_pWin->title.c_str(), tmp_iX, tmp_iY,
                                     std::max(1, tmp_iWidth), std::max(1, tmp_iHeight),
                                     tmp_uFlags);
    if (tmp_pWin->sdl == nullptr) return nullptr;
    tmp_pWin->sdlID = SDL_GetWindowID(tmp_pWin->sdl);
  }
  g_vWindows.push_back(std::move(tmp_pWin));
  return g_vWindows.back().get();
}

std::int32_t SetWindowLong(HWND fp_hWnd, int fp_iIndex, std::int32_t fp_iValue) {
  Window* tmp_pWin = LiveWindow(fp_hWnd);
  if (tmp_pWin == nullptr) return 0;
  bool tmp_bWasPopup = IsPopup(*tmp_pWin);
  std::uint32_t tmp_uOld = 0;
  if (fp_iIndex == GWL_STYLE) {
    tmp_uOld = tmp_pWin->style;
    tmp_pWin->style = static_cast<std::uint32_t>(fp_iValue);
  } else if (fp_iIndex == GWL_EXSTYLE) {
    tmp_uOld = tmp_pWin->exStyle;
    tmp_pWin->exStyle = static_cast<std::uint32_t>(fp_iValue);
  } else {
    return 0;
  }
  ApplyStyleChange(*tmp_pWin, tmp_bWasPopup);
  return static_cast<std::int32_t>(tmp_uOld);
}

std::int32_t GetWindowLong(HWND fp_hWnd, int fp_iIndex) {
  Window* tmp_pWin = LiveWindow(fp_hWnd);
  if (tmp_pWin == nullptr) return 0;
  if (fp_iIndex == GWL_STYLE) return static_cast<std::int32_t>(tmp_pWin->style);
  if (fp_iIndex == GWL_EXSTYLE) return static_cast<std::int32_t>(tmp_pWin->exStyle);
  return 0;
}

bool GetWindowRect(HWND fp_hWnd, RECT* fp_pRect) {
  Window* tmp_pWin = LiveWindow(fp_hWnd);
  if (tmp_pWin == nullptr || fp_pRect == nullptr) return false;
  *fp_pRect = tmp_pWin->outer;
  return true;
}

bool GetClientRect(HWND fp_hWnd, RECT* fp_pRect) {
  Window* tmp_pWin = LiveWindow(fp_hWnd);
  if (tmp_pWin == nullptr || fp_pRect == nullptr) return false;
  int tmp_iWidth = 0;
  int tmp_iHeight = 0;
  ClientSize(*tmp_pWin, &tmp_iWidth, &tmp_iHeight);
  *fp_pRect = {0, 0, tmp_iWidth, tmp_iHeight};
  return true;
}

bool MoveWindow(HWND fp_hWnd, int fp_iX, int fp_iY, int fp_iWidth, int fp_iHeight,
                bool /*fp_bRepaint*/) {
  Window* tmp_pWin = LiveWindow(fp_hWnd);
  if (tmp_pWin == nullptr) return false;
  SetOuter(*tmp_pWin, fp_iX, fp_iY, fp_iWidth, fp_iHeight);
  SyncSDL(*tmp_pWin);
  return true;
}

bool SetWindowPos(HWND fp_hWnd, HWND fp_hInsertAfter, int fp_iX, int fp_iY, int fp_iWidth,
                  int fp_iHeight, std::uint32_t fp_uFlags) {
  constexpr std::uint32_t kNoSize = 0x0001;
  constexpr std::uint32_t kNoMove = 0x0002;
  constexpr std::uint32_t kNoZOrder = 0x0004;
  constexpr std::uint32_t kShowWindow = 0x0040;
  constexpr std::uint32_t kHideWindow = 0x0080;
  Window* tmp_pWin = LiveWindow(fp_hWnd);
  if (tmp_pWin == nullptr) return false;
  RECT tmp_Old = tmp_pWin->outer;
  int tmp_iX = (fp_uFlags & kNoMove) != 0 ? tmp_Old.left : fp_iX;
  int tmp_iY = (fp_uFlags & kNoMove) != 0 ? tmp_Old.top : fp_iY;
  int tmp_iWidth = (fp_uFlags & kNoSize) != 0 ? tmp_Old.right - tmp_Old.left : fp_iWidth;
  int tmp_iHeight = (fp_uFlags & kNoSize) != 0 ? tmp_Old.bottom - tmp_Old.top : fp_iHeight;
  SetOuter(*tmp_pWin, tmp_iX, tmp_iY, tmp_iWidth, tmp_iHeight);
  if ((fp_uFlags & kNoZOrder) == 0 && fp_hInsertAfter == HWND_TOPMOST) {
    tmp_pWin->exStyle |= WS_EX_TOPMOST;
    if (tmp_pWin->sdl != nullptr) SDL_SetWindowAlwaysOnTop(tmp_pWin->sdl, SDL_TRUE);
  }
  SyncSDL(*tmp_pWin);
  if ((fp_uFlags & kShowWindow) != 0) ShowWindow(fp_hWnd, SW_SHOW);
  if ((fp_uFlags & kHideWindow) != 0) ShowWindow(fp_hWnd, SW_HIDE);
  return true;
}

bool ShowWindow(HWND fp_hWnd, int fp_iCmdShow) {
  Window* tmp_pWin = LiveWindow(fp_hWnd);
  if (tmp_pWin == nullptr) return false;
  bool tmp_bWasVisible = tmp_pWin->visible;
  switch (fp_iCmdShow) {
    case SW_HIDE:
      tmp_pWin->visible = false;
      if (tmp_pWin->sdl != nullptr) SDL_HideWindow(tmp_pWin->sdl);
      break;
    case SW_MINIMIZE:
      tmp_pWin->visible = true;
      if (tmp_pWin->sdl != nullptr) {
        SDL_ShowWindow(tmp_pWin->sdl);
        SDL_MinimizeWindow(tmp_pWin->sdl);  // SDL reports it as a window event
      } else if (!tmp_pWin->minimized) {
        tmp_pWin->minimized = true;
        PostActivation(tmp_pWin, WA_INACTIVE | kMinimizedFlag);
      }
      break;
    case SW_RESTORE:
      tmp_pWin->visible = true;
      if (tmp_pWin->sdl != nullptr) {
        SDL_ShowWindow(tmp_pWin->sdl);
        SDL_RestoreWindow(tmp_pWin->sdl);
      } else if (tmp_pWin->minimized) {
        tmp_pWin->minimized = false;
        PostActivation(tmp_pWin, WA_ACTIVE);
      }
      break;
    default:
      // Showing a window activates it, as on the original platform.
      tmp_pWin->visible = true;
      tmp_pWin->active = true;
      if (tmp_pWin->sdl != nullptr) {
        SDL_ShowWindow(tmp_pWin->sdl);
        SDL_RaiseWindow(tmp_pWin->sdl);
      }
      break;
  }
  return tmp_bWasVisible;
}

bool IsWindowVisible(HWND fp_hWnd) {
  Window* tmp_pWin = LiveWindow(fp_hWnd);
  return tmp_pWin != nullptr && tmp_pWin->visible;
}

bool DestroyWindow(HWND fp_hWnd) {
  Window* tmp_pWin = LiveWindow(fp_hWnd);
  if (tmp_pWin == nullptr) return false;
  // Marked first, so a procedure that reacts to WM_DESTROY by destroying
  // again (or by closing) finds the window gone.
  tmp_pWin->destroyed = true;
  tmp_pWin->visible = false;
  tmp_pWin->active = false;
  detail::DropMessagesFor(fp_hWnd);
  // The SDL window is only hidden: the graphics part may still hold a
  // context on it until it shuts down.
  if (tmp_pWin->sdl != nullptr) SDL_HideWindow(tmp_pWin->sdl);
  tmp_pWin->proc(fp_hWnd, WM_DESTROY, 0, 0);
  return true;
}

// }====

// {==== What graphics and input read =========================================

SDL_Window* GetSDLWindow(HWND fp_hWnd) {
  Window* tmp_pWin = detail::FindWindow(fp_hWnd);
  return tmp_pWin != nullptr ? tmp_pWin->sdl : nullptr;
}

bool IsFullScreen(HWND fp_hWnd) {
  Window* tmp_pWin = detail::FindWindow(fp_hWnd);
  return tmp_pWin != nullptr && IsPopup(*tmp_pWin);
}

bool IsMinimized(HWND fp_hWnd) {
  Window* tmp_pWin = detail::FindWindow(fp_hWnd);
  return tmp_pWin != nullptr && tmp_pWin->minimized;
}

bool IsActiveWindow(HWND fp_hWnd) {
  Window* tmp_pWin = LiveWindow(fp_hWnd);
  return tmp_pWin != nullptr && tmp_pWin->active && !tmp_pWin->minimized;
}

RECT GetBackBufferViewport(HWND fp_hWnd, int fp_iBackWidth, int fp_iBackHeight) {
  Window* tmp_pWin = detail::FindWindow(fp_hWnd);
  if (tmp_pWin == nullptr) return {0, 0, 0, 0};
  int tmp_iWidth = 0;
  int tmp_iHeight = 0;
  if (tmp_pWin->sdl != nullptr) {
    SDL_GL_GetDrawableSize(tmp_pWin->sdl, &tmp_iWidth, &tmp_iHeight);
  } else {
    ClientSize(*tmp_pWin, &tmp_iWidth, &tmp_iHeight);
  }
  if (fp_iBackWidth <= 0 || fp_iBackHeight <= 0 || tmp_iWidth <= 0 || tmp_iHeight <= 0) {
    return {0, 0, std::max(0, tmp_iWidth), std::max(0, tmp_iHeight)};
  }
  // The largest rectangle of the back buffer's shape that fits, centred.
  std::int64_t tmp_iW = tmp_iWidth;
  std::int64_t tmp_iH = tmp_iHeight;
  std::int64_t tmp_iViewW = tmp_iW;
  std::int64_t tmp_iViewH = tmp_iH;
  if (tmp_iW * fp_iBackHeight <= tmp_iH * fp_iBackWidth) {
    tmp_iViewH = (tmp_iW * fp_iBackHeight + fp_iBackWidth / 2) / fp_iBackWidth;
  } else {
    tmp_iViewW = (tmp_iH * fp_iBackWidth + fp_iBackHeight / 2) / fp_iBackHeight;
  }
  int tmp_iLeft = static_cast<int>((tmp_iW - tmp_iViewW) / 2);
  int tmp_iTop = static_cast<int>((tmp_iH - tmp_iViewH) / 2);
  return {tmp_iLeft, tmp_iTop, tmp_iLeft + static_cast<int>(tmp_iViewW),
          tmp_iTop + static_cast<int>(tmp_iViewH)};
}

// }====

namespace detail {

Window* FindWindow(HWND fp_hWnd) {
  if (fp_hWnd == nullptr) return nullptr;
  for (auto& tmp_rWin : g_vWindows) {
    if (tmp_rWin.get() == fp_hWnd) return tmp_rWin.get();
  }
  return nullptr;
}

HWND MainWindow() {
  for (auto tmp_it = g_vWindows.rbegin(); tmp_it != g_vWindows.rend(); ++tmp_it) {
    if (!(*tmp_it)->destroyed) return tmp_it->get();
  }
  return nullptr;
}

void NoteDelivered(HWND fp_hWnd, std::uint32_t fp_uMsg, WPARAM fp_wParam) {
  if (fp_uMsg != WM_ACTIVATE) return;
  Window* tmp_pWin = LiveWindow(fp_hWnd);
  if (tmp_pWin == nullptr) return;
  WPARAM tmp_uState = fp_wParam & 0xFFFF;
  bool tmp_bMinimized = ((fp_wParam >> 16) & 0xFFFF) != 0;
  if (tmp_bMinimized) {
    tmp_pWin->minimized = true;
  } else if (tmp_uState != WA_INACTIVE) {
    tmp_pWin->minimized = false;
  }
  tmp_pWin->active = tmp_uState != WA_INACTIVE && !tmp_bMinimized;
}

void PullSDLEvents() {
  if (GetBackend() != Backend::Real || SDL_WasInit(SDL_INIT_VIDEO) == 0) return;
  bool tmp_bReplay = replay::GetMode() == replay::Mode::Replay;
  SDL_PumpEvents();
  SDL_Event tmp_aEvents[16];
  bool tmp_bCloseSeen = false;
  int tmp_iCount = 0;
  // Quit, application, display and window events are ours; everything the
  // input part reads (keys, text, mouse, ...) stays in SDL's queue.
  while ((tmp_iCount = SDL_PeepEvents(tmp_aEvents, 16, SDL_GETEVENT, SDL_QUIT,
                                      SDL_SYSWMEVENT)) > 0) {
    if (tmp_bReplay) continue;
    for (int i = 0; i < tmp_iCount; ++i) {
      const SDL_Event& tmp_rEvent = tmp_aEvents[i];
      if (tmp_rEvent.type == SDL_QUIT) {
        // SDL follows the last window's close request with a quit; one
        // close is enough.
        if (tmp_bCloseSeen) continue;
        HWND tmp_hMain = MainWindow();
        if (tmp_hMain != nullptr) {
          PostSystemMessage(tmp_hMain, WM_CLOSE, 0, 0);
        } else {
          PostSystemMessage(nullptr, WM_QUIT, 0, 0);
        }
        continue;
      }
      if (tmp_rEvent.type != SDL_WINDOWEVENT) continue;
      Window* tmp_pWin = WindowOfSDL(tmp_rEvent.window.windowID);
      if (tmp_pWin == nullptr) continue;
      switch (tmp_rEvent.window.event) {
        case SDL_WINDOWEVENT_FOCUS_GAINED:
          PostSystemMessage(tmp_pWin, WM_ACTIVATE, WA_ACTIVE, 0);
          break;
        case SDL_WINDOWEVENT_FOCUS_LOST:
          PostSystemMessage(tmp_pWin, WM_ACTIVATE, WA_INACTIVE, 0);
          break;
        case SDL_WINDOWEVENT_MINIMIZED:
          PostSystemMessage(tmp_pWin, WM_ACTIVATE, WA_INACTIVE | kMinimizedFlag, 0);
          break;
        case SDL_WINDOWEVENT_RESTORED:
          tmp_pWin->minimized = false;
          if ((SDL_GetWindowFlags(tmp_pWin->sdl) & SDL_WINDOW_INPUT_FOCUS) != 0) {
            PostSystemMessage(tmp_pWin, WM_ACTIVATE, WA_ACTIVE, 0);
          }
          break;
        case SDL_WINDOWEVENT_CLOSE:
          tmp_bCloseSeen = true;
          PostSystemMessage(tmp_pWin, WM_CLOSE, 0, 0);
          break;
        default:
          break;
      }
    }
  }
  // Events nobody reads would pile up in SDL's queue: drop them (a dropped
  // file name is SDL's memory to free).
  while ((tmp_iCount = SDL_PeepEvents(tmp_aEvents, 16, SDL_GETEVENT, SDL_DROPFILE,
                                      SDL_DROPCOMPLETE)) > 0) {
    for (int i = 0; i < tmp_iCount; ++i) {
      if (tmp_aEvents[i].type == SDL_DROPFILE || tmp_aEvents[i].type == SDL_DROPTEXT) {
        SDL_free(tmp_aEvents[i].drop.file);
      }
    }
  }
  SDL_FlushEvent(SDL_CLIPBOARDUPDATE);
  SDL_FlushEvents(SDL_AUDIODEVICEADDED, SDL_LASTEVENT);
}

}  // namespace detail

}  // namespace os
