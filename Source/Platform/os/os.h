// The operating-system services the engine relies on: the game window and its
// message queue, the millisecond timer, local time, files and paths, the
// single-instance lock, the message box and the translation of processor
// faults. The calls keep the shape and the semantics of the services the
// engine was designed against, so engine code reads like its design.
//
// Two back ends sit behind these calls: the real one (an SDL2 window) and a
// headless one (a window that exists only as state), chosen once, at the first
// call that needs one, by the environment variable M2D_HEADLESS=1. Sessions
// can be recorded (M2D_RECORD=file) and replayed (M2D_REPLAY=file); see
// os_replay.h.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace os {

// {==== Window and messages ==================================================

struct Window;  // opaque; owned by the os layer for the life of the process
using HWND = Window*;
using HINSTANCE = void*;
using WPARAM = std::uintptr_t;
using LPARAM = std::intptr_t;
using LRESULT = std::intptr_t;
using WNDPROC = LRESULT (*)(HWND, std::uint32_t, WPARAM, LPARAM);

// Message identifiers (the values of the original platform).
constexpr std::uint32_t WM_NULL = 0x0000;
constexpr std::uint32_t WM_DESTROY = 0x0002;
constexpr std::uint32_t WM_ACTIVATE = 0x0006;
constexpr std::uint32_t WM_CLOSE = 0x0010;
constexpr std::uint32_t WM_QUIT = 0x0012;

// WM_ACTIVATE parameter: low word the state, high word non-zero when minimised.
constexpr WPARAM WA_INACTIVE = 0;
constexpr WPARAM WA_ACTIVE = 1;
constexpr WPARAM WA_CLICKACTIVE = 2;

// Class styles, window styles, extended styles.
constexpr std::uint32_t CS_VREDRAW = 0x0001;
constexpr std::uint32_t CS_HREDRAW = 0x0002;
constexpr std::uint32_t CS_OWNDC = 0x0020;
constexpr std::uint32_t WS_OVERLAPPED = 0x00000000;
constexpr std::uint32_t WS_POPUP = 0x80000000;
constexpr std::uint32_t WS_CAPTION = 0x00C00000;
constexpr std::uint32_t WS_SYSMENU = 0x00080000;
constexpr std::uint32_t WS_MINIMIZEBOX = 0x00020000;
constexpr std::uint32_t WS_EX_CLIENTEDGE = 0x00000200;
constexpr std::uint32_t WS_EX_TOPMOST = 0x00000008;

// ShowWindow commands.
constexpr int SW_HIDE = 0;
constexpr int SW_SHOW = 5;
constexpr int SW_MINIMIZE = 6;
constexpr int SW_RESTORE = 9;

// SetWindowLong indexes.
constexpr int GWL_STYLE = -16;
constexpr int GWL_EXSTYLE = -20;

// SetWindowPos special "insert after" values.
inline HWND const HWND_TOPMOST = reinterpret_cast<HWND>(static_cast<std::intptr_t>(-1));

struct RECT {
  std::int32_t left, top, right, bottom;
};

struct MSG {
  HWND hwnd;
  std::uint32_t message;
  WPARAM wParam;
  LPARAM lParam;
};

struct WNDCLASSEX {
  std::uint32_t style;
  WNDPROC lpfnWndProc;
  int cbClsExtra;
  int cbWndExtra;
  HINSTANCE hInstance;
  const char* lpszClassName;
};

// The handle of the running program (a non-null token).
HINSTANCE GetModuleHandle();

// Registering a class that is already registered fails (returns false).
// Unregistering a class that is not registered fails; windows created from a
// class keep their window procedure after it is unregistered.
bool RegisterClassEx(const WNDCLASSEX& fp_rClass);
bool UnregisterClass(const char* fp_pszClassName, HINSTANCE fp_hInstance);

// Creates a window (hidden until ShowWindow). x, y, width and height are the
// outer window rectangle, as on the original platform; a windowed style with
// a caption has a non-client frame, so the client area is smaller until the
// caller adjusts it. Returns null on failure: unknown class, or the real back
// end without a display (see os_backend.h).
HWND CreateWindowEx(std::uint32_t fp_dwExStyle, const char* fp_pszClassName,
                    const char* fp_pszTitle, std::uint32_t fp_dwStyle, int fp_iX, int fp_iY,
                    int fp_iWidth, int fp_iHeight, HWND fp_hParent, void* fp_hMenu,
                    HINSTANCE fp_hInstance, void* fp_pParam);
std::int32_t SetWindowLong(HWND fp_hWnd, int fp_iIndex, std::int32_t fp_iValue);
std::int32_t GetWindowLong(HWND fp_hWnd, int fp_iIndex);
bool GetWindowRect(HWND fp_hWnd, RECT* fp_pRect);
bool GetClientRect(HWND fp_hWnd, RECT* fp_pRect);  // left = top = 0
bool MoveWindow(HWND fp_hWnd, int fp_iX, int fp_iY, int fp_iWidth, int fp_iHeight, bool fp_bRepaint);
bool SetWindowPos(HWND fp_hWnd, HWND fp_hInsertAfter, int fp_iX, int fp_iY, int fp_iWidth,
                  int fp_iHeight, std::uint32_t fp_uFlags);
bool ShowWindow(HWND fp_hWnd, int fp_iCmdShow);
bool IsWindowVisible(HWND fp_hWnd);
bool DestroyWindow(HWND fp_hWnd);  // sends WM_DESTROY to the window procedure

// The message queue of the (one) thread. PeekMessage with fp_bRemove true
// takes the next message; it returns false when none is waiting. Messages come
// from the system (activation, close requests, SIGINT/SIGTERM as a quit), from
// PostMessage/PostQuitMessage, and from a replay.
bool PeekMessage(MSG* fp_pMsg, HWND fp_hWnd, std::uint32_t fp_uMin, std::uint32_t fp_uMax,
                 bool fp_bRemove);
bool TranslateMessage(const MSG* fp_pMsg);
LRESULT DispatchMessage(const MSG* fp_pMsg);
// Blocks until a message is waiting (returns at once if one is).
bool WaitMessage();
void PostQuitMessage(int fp_iExitCode);
bool PostMessage(HWND fp_hWnd, std::uint32_t fp_uMsg, WPARAM fp_wParam, LPARAM fp_lParam);
LRESULT SendMessage(HWND fp_hWnd, std::uint32_t fp_uMsg, WPARAM fp_wParam, LPARAM fp_lParam);
// Default handling: WM_CLOSE destroys the window; everything else returns 0.
LRESULT DefWindowProc(HWND fp_hWnd, std::uint32_t fp_uMsg, WPARAM fp_wParam, LPARAM fp_lParam);

// }====

// {==== Time =================================================================

// Milliseconds from a monotonic clock, 32 bits, wrapping.
std::uint32_t timeGetTime();
std::uint32_t GetTickCount();

struct SYSTEMTIME {
  int wYear, wMonth, wDayOfWeek, wDay, wHour, wMinute, wSecond, wMilliseconds;
};
void GetLocalTime(SYSTEMTIME* fp_pTime);

// Tests drive the engine's clock: while a source is set, timeGetTime and
// GetTickCount return what it returns. Pass null to go back to the system.
using TimeSource = std::uint32_t (*)(void* fp_pUser);
void SetTimeSourceForTests(TimeSource fp_pSource, void* fp_pUser);

// }====

// {==== Files and paths ======================================================
//
// Paths are written the way the data and the game write them: "\" and "/" both
// separate components, and each component is matched case-insensitively
// against what exists on disk, so ".\data\vths.dat" names "./DATA/vths.dat".
// An exact match wins over a case-insensitive one; a component that exists in
// no spelling is kept as written (so new files can be created).

std::string ResolvePath(const char* fp_pszPath);
bool FileExists(const char* fp_pszPath);       // a regular file or a directory
bool DeleteFile(const char* fp_pszPath);       // true when a file was removed
// Names (not paths) of the regular files in the folder of fp_pszPattern whose
// name matches its last component ("*" and "?" wildcards, case-insensitive),
// sorted by name. "./DATA/*.xml" lists the descriptors of the data folder.
std::vector<std::string> FindFiles(const char* fp_pszPattern);

// }====

// {==== Single instance, message box =========================================

// Takes the process-wide named lock. Returns false when it could not be taken;
// *fp_pbAlreadyExists then tells whether another process holds it. The system
// releases the lock when the process ends, however it ends.
bool CreateNamedLock(const char* fp_pszName, bool* fp_pbAlreadyExists);

constexpr std::uint32_t MB_OK = 0x0;
constexpr std::uint32_t MB_ICONERROR = 0x10;
constexpr int IDOK = 1;
// Real back end: a system message box. Headless: the text goes to stderr and
// to the message-box hook (the engine logs it).
int MessageBox(HWND fp_hWnd, const char* fp_pszText, const char* fp_pszCaption, std::uint32_t fp_uType);
using MessageBoxHook = void (*)(const char* fp_pszText, const char* fp_pszCaption);
void SetMessageBoxHook(MessageBoxHook fp_pHook);

// }====

// {==== Fault translation ====================================================
//
// SIGSEGV, SIGBUS, SIGFPE, SIGILL and SIGTRAP raised by the processor are
// turned into the fault codes of the original platform (access violation
// 0xC0000005, integer divide by zero 0xC0000094, ...) and handed to the
// translator, which is expected to throw. If it returns (a code it does not
// know) the handler throws UnknownFault instead. A stack overflow is caught on
// an alternate signal stack and reported as 0xC00000FD. Signals sent by a
// process (kill, raise) are not processor faults: they become UnknownFault
// with code 0.
//
// Every translation unit that can fault must be built with
// -fnon-call-exceptions, or the throw out of the handler terminates.

struct FaultInfo {
  int signal;          // the POSIX signal
  int signalCode;      // its si_code
  void* address;       // the faulting address where there is one
};
using FaultTranslator = void (*)(std::uint32_t fp_uCode, const FaultInfo* fp_pInfo);

struct UnknownFault {
  std::uint32_t code;
  int signal;
};

// Installs the handlers for the calling thread's process (idempotent) and sets
// the translator.
void SetFaultTranslator(FaultTranslator fp_pTranslator);
// The fault code a signal maps to (0 when it maps to none). Exposed for tests.
std::uint32_t FaultCodeForSignal(int fp_iSignal, int fp_iSignalCode, void* fp_pAddress);

// }====

}  // namespace os
