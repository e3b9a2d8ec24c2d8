// The process entry, the one game window with its class and procedure, and
// the top-level handlers that turn any escaping exception into the fatal-error
// report, the crash record and an orderly shut-down.
#pragma once

#include <cstdint>

#include "Platform/os/os.h"

class CMorvane;

using GameMainProc = void (*)(CMorvane* fp_pEngine);

// The entry point: takes the single-instance lock "Morvane2D App", installs
// the fault translator, creates the engine, runs fp_pGameMain and destroys the
// engine. Always returns 0.
int WinMain(os::HINSTANCE hInstance, os::HINSTANCE hPrevInstance, const char* lpCmdLine,
            int nCmdShow, GameMainProc fp_pGameMain);

// What WinMain does after the lock, for tools that share the top-level
// handling but not the lock (the data checker). Returns true when a fatal
// error ended the run.
bool M2D_RunProtected(os::HINSTANCE hInstance, GameMainProc fp_pGameMain);

void CreateGameWindow(os::HWND* fp_phWnd, std::int32_t fp_iWidth, std::int32_t fp_iHeight,
                      std::uint8_t fp_bWindowed);
void DestroyGameWindow(os::HWND fp_hWnd);
os::LRESULT GameWindowProc(os::HWND fp_hWnd, std::uint32_t fp_uMsg, os::WPARAM fp_wParam,
                           os::LPARAM fp_lParam);

// The name of the script function called last ("" while scripts do not run);
// printed by the fatal-error report.
const char* GetCurrentScriptFunction();
