// The engine core: construction and the flag-driven shut-down, the log header
// and footer, the millisecond timer with its frame delta and frame rate, the
// focus and termination callbacks, the message pump and the per-frame update
// of every subsystem.
#include <string>

#include "Platform/os/os.h"
#include "cmorvane.h"

static constexpr int kM2DFileID = 112;

namespace {

CMorvane* g_pEngine = nullptr;

const char* const kEngineVersion = "v.1.0";

// The headless message box writes its text to the log as well.
void LogMessageBox(const char* fp_pszText, const char* fp_pszCaption) {
  CMorvane::LogAddEntry(std::string(fp_pszCaption) + ": " + fp_pszText, LOG_KIND_FAILED);
}

}  // namespace

CMorvane* GetEngine() { return g_pEngine; }

CMorvane::CMorvane() {
  M2D_CHECKPOINT;
  timeNow = os::timeGetTime();
  timeLast = timeNow - 1;
  deltaMs = 1;
  fpsAccumMs = 0;
  fpsFrames = 1;
  fps = 1;
  g_pEngine = this;
  os::SetMessageBoxHook(&LogMessageBox);
  os::DeleteFile("gamelog.txt");
}

CMorvane::~CMorvane() noexcept(false) {
  M2D_CHECKPOINT;
  if (fatalError == 1 && onTermination != nullptr) onTermination();

  // Each subsystem stops only if it started, in a fixed order.
  if (bInpInitialized == 1) INP_Shutdown();
  if (bSfxInitialized == 1) SFX_Shutdown();
  if (bGfxPreInitialized == 1) GFX_Shutdown();
  if (bResInitialized == 1) RES_Deinit();
  if (bScrInitialized == 1) SCR_Deinit();

  LogAddBlankLines(1);
  LogAddSeparator(1);
  LogAddSeparator(1);
  LogAddEntry("End of log.", LOG_KIND_HEADING);
  LogAddSeparator(1);
  LogAddSeparator(1);
  LogAddBlankLines(1);

  os::SetMessageBoxHook(nullptr);
  if (g_pEngine == this) g_pEngine = nullptr;
}

void CMorvane::Start(const char* fp_pszTitle, const char* fp_pszVersion) {
  M2D_CHECKPOINT;
  title = fp_pszTitle != nullptr ? fp_pszTitle : "";
  version = fp_pszVersion != nullptr ? fp_pszVersion : "";

  LogAddBlankLines(2);
  LogAddSeparator(1);
  LogAddEntry("Starting " + title + " " + version, LOG_KIND_HEADING);
  LogAddEntry(std::string("Powered by Morvane2D Engine ") + kEngineVersion, LOG_KIND_HEADING);
  LogAddEntry(std::string("Built: ") + __DATE__ + "   " + __TIME__, LOG_KIND_HEADING);
  LogAddBlankLines(1);
  os::SYSTEMTIME tmp_Time;
  os::GetLocalTime(&tmp_Time);
  LogAddEntry("Execution date: " + std::to_string(tmp_Time.wDay) + "." +
                  std::to_string(tmp_Time.wMonth) + "." + std::to_string(tmp_Time.wYear),
              LOG_KIND_HEADING);
  LogAddEntry("Execution time: " + std::to_string(tmp_Time.wHour) + ":" +
                  std::to_string(tmp_Time.wMinute),
              LOG_KIND_HEADING);
  LogAddSeparator(1);
  LogAddBlankLines(2);
}

void CMorvane::RegisterCallback(M2DCallback fp_pFunction, int fp_iKind) {
  M2D_CHECKPOINT;
  LogAddSeparator(1);
  switch (fp_iKind) {
    case 1:
      onFocusLost = fp_pFunction;
      LogAddEntry("Callback function for lost focus registered.", LOG_KIND_SUCCESS);
      break;
    case 2:
      onFocusRestored = fp_pFunction;
      LogAddEntry("Callback function for restored focus registered.", LOG_KIND_SUCCESS);
      break;
    case 3:
      onTermination = fp_pFunction;
      LogAddEntry("Callback function for termination registered.", LOG_KIND_SUCCESS);
      break;
    default:
      break;
  }
  LogAddSeparator(1);
  LogAddBlankLines(1);
}

int CMorvane::PumpMessages() {
  M2D_CHECKPOINT;
  os::MSG tmp_Msg;
  while (os::PeekMessage(&tmp_Msg, nullptr, 0, 0, true)) {
    os::TranslateMessage(&tmp_Msg);
    os::DispatchMessage(&tmp_Msg);
    if (tmp_Msg.message == os::WM_QUIT) return -1;
  }
  return 0;
}

void CMorvane::UpdateTimer() {
  M2D_CHECKPOINT;
  const std::uint32_t tmp_uNow = os::timeGetTime();
  deltaMs = static_cast<std::int32_t>(tmp_uNow - timeLast);
  timeNow = timeLast = tmp_uNow;
  if (deltaMs > 300) deltaMs = 300;
  if (deltaMs < 1) deltaMs = 1;
  deltaSec = static_cast<float>(deltaMs) * 0.001f;

  fpsAccumMs += deltaMs;
  if (fpsAccumMs >= 1000) {
    fps = fpsFrames + 1;
    fpsFrames = 0;
    fpsAccumMs = 0;
  } else {
    fpsFrames += 1;
  }
}

int CMorvane::UpdateAllSystems() {
  M2D_CHECKPOINT;
  if (PumpMessages() == -1) return -1;
  if (g_bAppActive == 0) return 0;
  if (bGfxInitialized == 1 && pD3DDevice != nullptr && !GFX_CheckDevice()) return 0;
  UpdateTimer();
  if (bInpInitialized == 1) INP_Update();
  SFX_Update();
  return 1;
}

void CMorvane::OnFocusGained() {
  M2D_CHECKPOINT;
  LogAddLine("FOCUS GAINED");
  if (onFocusRestored != nullptr) onFocusRestored();
  UpdateTimer();
  UpdateTimer();
  if (bInpInitialized == 1) INP_Acquire();
  SFX_Resume();
}

void CMorvane::OnFocusLost() {
  M2D_CHECKPOINT;
  if (onFocusLost != nullptr) onFocusLost();
  LogAddLine("FOCUS LOST");
  GFX_BatchDiscard();
  if (bSfxInitialized == 1) SFX_Pause();
}
