// What the parts of the os stand-in share among themselves: start-up, the
// system-message entry into the queue, the window registry and the hooks of
// the replay. Not part of the interface.
#pragma once

#include <cstdint>
#include <string>

#include "Platform/os/os_backend.h"
#include "Platform/os/os_replay.h"

namespace os {

// A window of either back end. The outer rectangle is what the caller asked
// for; the client area is derived from it through the simulated frame.
struct Window {
  std::string className;
  std::string title;
  WNDPROC proc = nullptr;
  std::uint32_t style = 0;
  std::uint32_t exStyle = 0;
  RECT outer{0, 0, 0, 0};
  bool visible = false;
  bool destroyed = false;
  bool minimized = false;
  bool active = false;
  SDL_Window* sdl = nullptr;
  std::uint32_t sdlID = 0;
};

}  // namespace os

namespace os::detail {

// {==== Start-up and signals =================================================

// Installs the SIGINT/SIGTERM handlers and the self-pipe once; safe to call
// from every entry point.
void EnsureInit();
// Read end of the self-pipe that the SIGINT/SIGTERM handlers write to.
int SignalPipeFd();
// True once (per burst of signals) after SIGINT or SIGTERM arrived; drains the
// pipe.
bool TakeQuitSignal();
// Initialises SDL's video subsystem on first use; false when there is no
// usable display (see HasDisplay).
bool EnsureVideo();

// }====

// {==== Queue ================================================================

// Appends a message that comes from the system (or from the replay in its
// place): these are the ones a recording keeps.
void PostSystemMessage(HWND fp_hWnd, std::uint32_t fp_uMsg, WPARAM fp_wParam, LPARAM fp_lParam);
// Drops the queued messages of a window that is being destroyed.
void DropMessagesFor(HWND fp_hWnd);

// }====

// {==== Windows ==============================================================

// Null when fp_hWnd is not a window of ours.
Window* FindWindow(HWND fp_hWnd);
// The window that system messages without a window go to: the newest window
// not destroyed, or null.
HWND MainWindow();
// Translates the SDL window and quit events waiting in SDL's queue into
// system messages (or discards them while a replay runs).
void PullSDLEvents();
// Called for every message delivered to the program: keeps the activation
// and minimised state that graphics and input read.
void NoteDelivered(HWND fp_hWnd, std::uint32_t fp_uMsg, WPARAM fp_wParam);

// }====

// {==== Replay and recording =================================================

// A PeekMessage after one that found the queue empty: the next frame begins.
void BeginFrame();
// Readings: in Replay mode *fp_pValue receives the replayed value and true is
// returned; in other modes false.
bool ReplayTime(std::uint32_t* fp_pValue);
bool ReplayTick(std::uint32_t* fp_pValue);
// In Record mode keeps the reading actually returned.
void RecordTime(std::uint32_t fp_uValue);
void RecordTick(std::uint32_t fp_uValue);
void RecordMessage(std::uint32_t fp_uMsg, WPARAM fp_wParam, LPARAM fp_lParam);
// Reports a problem through the message-box hook (delivered later if no hook
// is set yet) and stderr.
void ReportProblem(const char* fp_pszText);

// }====

}  // namespace os::detail
