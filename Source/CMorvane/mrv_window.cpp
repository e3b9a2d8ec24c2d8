// WinMain, the game window and the top-level fatal-error handling. Every
// exception that leaves the game ends here: a CEHSException gives the crash
// record and the fatal-error report, a plain string is logged, anything else
// is "EXCEPTION OF UNKNOWN TYPE!"; then the engine is destroyed with its
// fatal flag set, so the game's clean-up runs before the subsystems stop.
#include "mrv_window.h"

#include <string>

#include "cmorvane.h"

static constexpr int kM2DFileID = 111;

std::uint8_t g_bAppActive = 0;

namespace {

os::HINSTANCE s_hInstance = nullptr;
CMorvane* s_pEngine = nullptr;

const char* const kMutexName = "Morvane2D App";
const char* const kWindowClass = "m2d_gamewindow";

void FatalShutdown() {
  CMorvane* tmp_pEngine = s_pEngine;
  s_pEngine = nullptr;
  if (tmp_pEngine == nullptr) return;
  tmp_pEngine->fatalError = 1;
  // A failure while shutting down must not escape either; it is logged and
  // the shut-down ends there.
  try {
    delete tmp_pEngine;
  } catch (const CEHSException& e) {
    CMorvane::LogAddEntry(e.description, LOG_KIND_SEVERE);
  } catch (const char* s) {
    CMorvane::LogAddEntry(s, LOG_KIND_SEVERE);
  } catch (...) {
    CMorvane::LogAddEntry("EXCEPTION OF UNKNOWN TYPE!", LOG_KIND_SEVERE);
  }
}

void ReportFatalError(const CEHSException& e) {
  e.WriteCrashRecord();
  CMorvane::LogAddBlankLines(2);
  CMorvane::LogAddSeparator(3);
  CMorvane::LogAddEntry("Fatal error!", LOG_KIND_SEVERE);
  CMorvane::LogAddEntry(std::string("Error type: ") + e.GetTypeName(), LOG_KIND_SEVERE);
  CMorvane::LogAddEntry("Error code: " + std::to_string(e.code), LOG_KIND_SEVERE);
  CMorvane::LogAddEntry("Error desc: " + e.description, LOG_KIND_SEVERE);
  CMorvane::LogAddEntry("Error location: ", LOG_KIND_SEVERE);
  if (e.type != EHS_TYPE_WIN32) {
    CMorvane::LogAddEntry("   File: " + e.file, LOG_KIND_SEVERE);
    CMorvane::LogAddEntry("   Line: " + std::to_string(e.line), LOG_KIND_SEVERE);
  } else {
    CMorvane::LogAddEntry("   FileID: " + std::to_string(GetCheckpointFile()), LOG_KIND_SEVERE);
    CMorvane::LogAddEntry("   Line: " + std::to_string(GetCheckpointLine()), LOG_KIND_SEVERE);
  }
  CMorvane::LogAddEntry(std::string("Last called Lua function name: ") + GetCurrentScriptFunction(),
                        LOG_KIND_SEVERE);
  CMorvane::LogAddSeparator(3);
  CMorvane::LogAddBlankLines(2);
}

}  // namespace

bool M2D_RunProtected(os::HINSTANCE hInstance, GameMainProc fp_pGameMain) {
  try {
    InstallFaultTranslator();
    M2D_CHECKPOINT;
    s_hInstance = hInstance;
    s_pEngine = new CMorvane();
    ZIZAssert(s_pEngine);
    fp_pGameMain(s_pEngine);
    CMorvane* tmp_pEngine = s_pEngine;
    s_pEngine = nullptr;
    delete tmp_pEngine;
  } catch (const CEHSException& e) {
    ReportFatalError(e);
    FatalShutdown();
    return true;
  } catch (const char* s) {
    CMorvane::LogAddEntry(s, LOG_KIND_SEVERE);
    FatalShutdown();
    return true;
  } catch (...) {
    CMorvane::LogAddEntry("EXCEPTION OF UNKNOWN TYPE!", LOG_KIND_SEVERE);
    FatalShutdown();
    return true;
  }
  return false;
}

int WinMain(os::HINSTANCE hInstance, os::HINSTANCE /*hPrevInstance*/, const char* /*lpCmdLine*/,
            int /*nCmdShow*/, GameMainProc fp_pGameMain) {
  bool tmp_bAlreadyExists = false;
  // The lock stays held until the process ends.
  if (!os::CreateNamedLock(kMutexName, &tmp_bAlreadyExists) || tmp_bAlreadyExists) return 0;
  M2D_RunProtected(hInstance, fp_pGameMain);
  return 0;
}

void CreateGameWindow(os::HWND* fp_phWnd, std::int32_t fp_iWidth, std::int32_t fp_iHeight,
                      std::uint8_t fp_bWindowed) {
  M2D_CHECKPOINT;
  os::WNDCLASSEX tmp_Class{};
  tmp_Class.style = os::CS_HREDRAW | os::CS_VREDRAW | os::CS_OWNDC;
  tmp_Class.lpfnWndProc = &GameWindowProc;
  tmp_Class.cbClsExtra = 0;
  tmp_Class.cbWndExtra = 0;
  tmp_Class.hInstance = s_hInstance;
  tmp_Class.lpszClassName = kWindowClass;
  if (!os::RegisterClassEx(tmp_Class))
    M2D_THROW(EHS_TYPE_GENERAL, 0, "Cannot register window class!");

  CMorvane* tmp_pEngine = GetEngine();
  const char* tmp_pszTitle = tmp_pEngine != nullptr ? tmp_pEngine->title.c_str() : "";
  const std::uint32_t tmp_dwWindowedStyle =
      os::WS_OVERLAPPED | os::WS_CAPTION | os::WS_SYSMENU | os::WS_MINIMIZEBOX;
  os::HWND tmp_hWnd = nullptr;
  if (fp_bWindowed) {
    tmp_hWnd = os::CreateWindowEx(os::WS_EX_CLIENTEDGE, kWindowClass, tmp_pszTitle,
                                  tmp_dwWindowedStyle, 100, 100, fp_iWidth, fp_iHeight, nullptr,
                                  nullptr, s_hInstance, nullptr);
  } else {
    tmp_hWnd = os::CreateWindowEx(0, kWindowClass, tmp_pszTitle, os::WS_POPUP, 0, 0, fp_iWidth,
                                  fp_iHeight, nullptr, nullptr, s_hInstance, nullptr);
  }
  if (tmp_hWnd == nullptr)
    M2D_THROW(EHS_TYPE_GENERAL, 0, "Invalid window handle returned by CreateWindowEx()");
  *fp_phWnd = tmp_hWnd;

  if (fp_bWindowed) {
    os::SetWindowLong(tmp_hWnd, os::GWL_STYLE, static_cast<std::int32_t>(tmp_dwWindowedStyle));
    os::SetWindowLong(tmp_hWnd, os::GWL_EXSTYLE, static_cast<std::int32_t>(os::WS_EX_CLIENTEDGE));
    os::RECT tmp_Window, tmp_Client;
    os::GetWindowRect(tmp_hWnd, &tmp_Window);
    os::GetClientRect(tmp_hWnd, &tmp_Client);
    const int tmp_iWidth = (tmp_Window.right - tmp_Window.left) + (fp_iWidth - tmp_Client.right);
    const int tmp_iHeight =
        (tmp_Window.bottom - tmp_Window.top) + (fp_iHeight - tmp_Client.bottom);
    os::SetWindowPos(tmp_hWnd, nullptr, tmp_Window.left, tmp_Window.top, tmp_iWidth, tmp_iHeight,
                     0);
  } else {
    os::SetWindowLong(tmp_hWnd, os::GWL_STYLE, static_cast<std::int32_t>(os::WS_POPUP));
    os::SetWindowLong(tmp_hWnd, os::GWL_EXSTYLE, 0);
    os::SetWindowPos(tmp_hWnd, os::HWND_TOPMOST, 0, 0, fp_iWidth, fp_iHeight, 0);
  }

  g_bAppActive = 1;
  os::ShowWindow(tmp_hWnd, os::SW_SHOW);
}

void DestroyGameWindow(os::HWND fp_hWnd) {
  M2D_CHECKPOINT;
  os::ShowWindow(fp_hWnd, os::SW_HIDE);
  os::UnregisterClass(kWindowClass, s_hInstance);
}

os::LRESULT GameWindowProc(os::HWND fp_hWnd, std::uint32_t fp_uMsg, os::WPARAM fp_wParam,
                           os::LPARAM fp_lParam) {
  M2D_CHECKPOINT;
  CMorvane* tmp_pEngine = GetEngine();
  switch (fp_uMsg) {
    case os::WM_ACTIVATE:
      if (fp_wParam == os::WA_ACTIVE || fp_wParam == os::WA_CLICKACTIVE) {
        if (g_bAppActive == 0) {
          g_bAppActive = 1;
          if (tmp_pEngine != nullptr) tmp_pEngine->OnFocusGained();
        }
      } else if (g_bAppActive == 1) {
        g_bAppActive = 0;
        if (tmp_pEngine != nullptr) tmp_pEngine->OnFocusLost();
      }
      break;
    case os::WM_DESTROY:
      g_bAppActive = 0;
      os::PostQuitMessage(0);
      return 0;
    default:
      break;
  }
  return os::DefWindowProc(fp_hWnd, fp_uMsg, fp_wParam, fp_lParam);
}
