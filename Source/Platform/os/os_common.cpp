// Back-end selection, lazy start-up of SDL's video, the SIGINT/SIGTERM
// handlers with their self-pipe, the module handle and the message box.
#include <SDL.h>
#include <fcntl.h>
#include <signal.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <optional>
#include <string>

#include "Platform/os/os_internal.h"

namespace os {

namespace {

std::optional<Backend> g_eBackend;

int g_aiSignalPipe[2] = {-1, -1};
volatile sig_atomic_t g_iQuitSignal = 0;
bool g_bInitDone = false;

enum class VideoState { Untried, Ready, NoDisplay };
VideoState g_eVideo = VideoState::Untried;

MessageBoxHook g_pMessageBoxHook = nullptr;
std::string g_strPendingReport;  // reports made before a hook was set

char g_cModuleToken = 0;

void QuitSignalHandler(int) {
  int tmp_iErrno = errno;
  g_iQuitSignal = 1;
  if (g_aiSignalPipe[1] >= 0) {
    char tmp_c = 'q';
    ssize_t tmp_n = ::write(g_aiSignalPipe[1], &tmp_c, 1);
    (void)tmp_n;  // a full pipe already wakes the reader
  }
  errno = tmp_iErrno;
}

// True when fp_pszDriver names the driver SDL chose: SDL_VIDEODRIVER may be
// a single name or a comma-separated list, compared without case.
bool DriverWasAskedFor(const char* fp_pszDriver) {
  const char* tmp_pszEnv = std::getenv("SDL_VIDEODRIVER");
  if (tmp_pszEnv == nullptr || fp_pszDriver == nullptr) return false;
  std::string tmp_strList(tmp_pszEnv);
  size_t tmp_uStart = 0;
  while (tmp_uStart <= tmp_strList.size()) {
    size_t tmp_uEnd = tmp_strList.find(',', tmp_uStart);
    if (tmp_uEnd == std::string::npos) tmp_uEnd = tmp_strList.size();
    std::string tmp_strItem = tmp_strList.substr(tmp_uStart, tmp_uEnd - tmp_uStart);
    if (SDL_strcasecmp(tmp_strItem.c_str(), fp_pszDriver) == 0) return true;
    tmp_uStart = tmp_uEnd + 1;
  }
  return false;
}

}  // namespace

// {==== Back end =============================================================

Backend GetBackend() {
  if (!g_eBackend) {
    const char* tmp_pszHeadless = std::getenv("M2D_HEADLESS");
    g_eBackend = (tmp_pszHeadless != nullptr && std::strcmp(tmp_pszHeadless, "1") == 0)
                     ? Backend::Headless
                     : Backend::Real;
  }
  return *g_eBackend;
}

void SelectBackendForTests(Backend fp_eBackend) { g_eBackend = fp_eBackend; }

bool HasDisplay() {
  if (GetBackend() != Backend::Real) return false;
  return detail::EnsureVideo();
}

HINSTANCE GetModuleHandle() {
  detail::EnsureInit();
  return &g_cModuleToken;
}

// }====

// {==== Message box ==========================================================

int MessageBox(HWND fp_hWnd, const char* fp_pszText, const char* fp_pszCaption,
               std::uint32_t fp_uType) {
  const char* tmp_pszText = fp_pszText != nullptr ? fp_pszText : "";
  const char* tmp_pszCaption = fp_pszCaption != nullptr ? fp_pszCaption : "";
  // A replay must not wait for someone to click: it reports like headless.
  if (GetBackend() == Backend::Real && replay::GetMode() != replay::Mode::Replay) {
    std::uint32_t tmp_uFlags = (fp_uType & MB_ICONERROR) != 0 ? SDL_MESSAGEBOX_ERROR
                                                               : SDL_MESSAGEBOX_INFORMATION;
    if (SDL_ShowSimpleMessageBox(tmp_uFlags, tmp_pszCaption, tmp_pszText,
                                 GetSDLWindow(fp_hWnd)) == 0) {
      return IDOK;
    }
    // No way to show it: fall through, so the text is not lost.
  }
  std::fprintf(stderr, "%s: %s\n", tmp_pszCaption, tmp_pszText);
  if (g_pMessageBoxHook != nullptr) g_pMessageBoxHook(tmp_pszText, tmp_pszCaption);
  return IDOK;
}

void SetMessageBoxHook(MessageBoxHook fp_pHook) {
  g_pMessageBoxHook = fp_pHook;
  if (fp_pHook != nullptr && !g_strPendingReport.empty()) {
    std::string tmp_strText;
    tmp_strText.swap(g_strPendingReport);
    fp_pHook(tmp_strText.c_str(), "Morvane2D");
  }
}

// }====

namespace detail {

void ReportProblem(const char* fp_pszText) {
  std::fprintf(stderr, "Morvane2D: %s\n", fp_pszText);
  if (g_pMessageBoxHook != nullptr) {
    g_pMessageBoxHook(fp_pszText, "Morvane2D");
  } else {
    if (!g_strPendingReport.empty()) g_strPendingReport += '\n';
    g_strPendingReport += fp_pszText;
  }
}

void EnsureInit() {
  if (g_bInitDone) return;
  g_bInitDone = true;
  // SDL must not take SIGINT/SIGTERM: they are ours and become a quit message.
  SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
  if (::pipe2(g_aiSignalPipe, O_NONBLOCK | O_CLOEXEC) != 0) {
    g_aiSignalPipe[0] = g_aiSignalPipe[1] = -1;
  }
  struct sigaction tmp_Action;
  std::memset(&tmp_Action, 0, sizeof(tmp_Action));
  tmp_Action.sa_handler = &QuitSignalHandler;
  sigemptyset(&tmp_Action.sa_mask);
  tmp_Action.sa_flags = SA_RESTART;
  ::sigaction(SIGINT, &tmp_Action, nullptr);
  ::sigaction(SIGTERM, &tmp_Action, nullptr);
}

int SignalPipeFd() { return g_aiSignalPipe[0]; }

bool TakeQuitSignal() {
  if (g_iQuitSignal == 0) return false;
  g_iQuitSignal = 0;
  if (g_aiSignalPipe[0] >= 0) {
    char tmp_ac[64];
    while (::read(g_aiSignalPipe[0], tmp_ac, sizeof(tmp_ac)) > 0) {
    }
  }
  return true;
}

bool EnsureVideo() {
  if (g_eVideo == VideoState::Untried) {
    EnsureInit();
    g_eVideo = VideoState::NoDisplay;
    if (SDL_InitSubSystem(SDL_INIT_VIDEO) == 0) {
      const char* tmp_pszDriver = SDL_GetCurrentVideoDriver();
      bool tmp_bFallback = tmp_pszDriver != nullptr &&
                           (SDL_strcasecmp(tmp_pszDriver, "offscreen") == 0 ||
                            SDL_strcasecmp(tmp_pszDriver, "dummy") == 0);
      if (tmp_bFallback && !DriverWasAskedFor(tmp_pszDriver)) {
        SDL_QuitSubSystem(SDL_INIT_VIDEO);
      } else {
        g_eVideo = VideoState::Ready;
      }
    }
  }
  return g_eVideo == VideoState::Ready;
}

}  // namespace detail

}  // namespace os
