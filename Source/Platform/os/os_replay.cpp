// Session recording and replay (format in os_replay.h): the parser, the
// per-frame readings and messages handed to the timer and the queue, the
// records of other parts, and the writer that flushes one frame at a time.
#include <charconv>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <map>
#include <string>
#include <string_view>
#include <vector>

#include "Platform/os/os_internal.h"

namespace os::replay {

namespace {

struct ReplayMessage {
  std::uint32_t message;
  WPARAM wParam;
  LPARAM lParam;
};

// Frame 0 holds what comes before the first "frame" line.
struct Frame {
  std::vector<std::uint32_t> time;
  std::vector<std::uint32_t> tick;
  std::vector<ReplayMessage> messages;
  std::map<std::string, std::vector<std::string>, std::less<>> records;
};

bool g_bModeChosen = false;
Mode g_eMode = Mode::Off;
long g_iFrame = 0;

// Replay.
std::vector<Frame> g_vFrames;
bool g_bReplayFailed = false;  // unreadable or malformed: no frames, system clock
size_t g_uTimeIndex = 0;
size_t g_uTickIndex = 0;
std::uint32_t g_uLastTime = 0;
std::uint32_t g_uLastTick = 0;
bool g_bQuitPosted = false;
const std::vector<std::string> g_vNoRecords;

// Recording.
std::FILE* g_pRecordFile = nullptr;
std::vector<std::uint32_t> g_vRecTime;
std::vector<std::uint32_t> g_vRecTick;
std::string g_strRecMessages;
std::string g_strRecOther;

// {==== Parsing ==============================================================

std::vector<std::string_view> Tokens(std::string_view fp_Line) {
  std::vector<std::string_view> tmp_vTokens;
  size_t tmp_uPos = 0;
  while (tmp_uPos < fp_Line.size()) {
    while (tmp_uPos < fp_Line.size() && (fp_Line[tmp_uPos] == ' ' || fp_Line[tmp_uPos] == '\t')) {
      ++tmp_uPos;
    }
    size_t tmp_uStart = tmp_uPos;
    while (tmp_uPos < fp_Line.size() && fp_Line[tmp_uPos] != ' ' && fp_Line[tmp_uPos] != '\t') {
      ++tmp_uPos;
    }
    if (tmp_uPos > tmp_uStart) tmp_vTokens.push_back(fp_Line.substr(tmp_uStart, tmp_uPos - tmp_uStart));
  }
  return tmp_vTokens;
}

// Strict decimal: no sign (unless T is signed and the text has '-'), no
// spaces, no overflow.
template <typename T>
bool ParseNumber(std::string_view fp_Text, T* fp_pValue) {
  if (fp_Text.empty() || fp_Text[0] == '+') return false;
  const char* tmp_pEnd = fp_Text.data() + fp_Text.size();
  auto [tmp_pPtr, tmp_eErr] = std::from_chars(fp_Text.data(), tmp_pEnd, *fp_pValue, 10);
  return tmp_eErr == std::errc() && tmp_pPtr == tmp_pEnd;
}

bool ParseReadings(const std::vector<std::string_view>& fp_rTokens,
                   std::vector<std::uint32_t>* fp_pOut) {
  if (fp_rTokens.size() < 2) return false;
  for (size_t i = 1; i < fp_rTokens.size(); ++i) {
    std::uint32_t tmp_uValue = 0;
    if (!ParseNumber(fp_rTokens[i], &tmp_uValue)) return false;
    fp_pOut->push_back(tmp_uValue);
  }
  return true;
}

// Fills g_vFrames; on failure returns false with a reason in *fp_pError.
bool ParseReplay(const std::string& fp_rText, std::string* fp_pError) {
  g_vFrames.assign(1, Frame{});
  bool tmp_bHeader = false;
  bool tmp_bInit = false;
  size_t tmp_uLineNo = 0;
  size_t tmp_uPos = 0;
  while (tmp_uPos < fp_rText.size()) {
    size_t tmp_uEnd = fp_rText.find('\n', tmp_uPos);
    if (tmp_uEnd == std::string::npos) tmp_uEnd = fp_rText.size();
    std::string_view tmp_Line(fp_rText.data() + tmp_uPos, tmp_uEnd - tmp_uPos);
    tmp_uPos = tmp_uEnd + 1;
    ++tmp_uLineNo;
    while (!tmp_Line.empty() && (tmp_Line.back() == '\r' || tmp_Line.back() == ' ' ||
                                 tmp_Line.back() == '\t')) {
      tmp_Line.remove_suffix(1);
    }
    std::vector<std::string_view> tmp_vTokens = Tokens(tmp_Line);
    if (tmp_vTokens.empty() || tmp_vTokens[0][0] == '#') continue;
    auto Fail = [&](const char* fp_pszWhy) {
      *fp_pError = "line " + std::to_string(tmp_uLineNo) + ": " + fp_pszWhy;
      return false;
    };
    std::string_view tmp_Key = tmp_vTokens[0];
    if (!tmp_bHeader) {
      if (tmp_vTokens.size() != 2 || tmp_Key != "m2dreplay" || tmp_vTokens[1] != "1") {
        return Fail("expected \"m2dreplay 1\"");
      }
      tmp_bHeader = true;
      continue;
    }
    Frame& tmp_rFrame = g_vFrames.back();
    bool tmp_bPreamble = g_vFrames.size() == 1;
    if (tmp_Key == "frame") {
      if (tmp_vTokens.size() != 1) return Fail("\"frame\" takes nothing after it");
      g_vFrames.emplace_back();
    } else if (tmp_Key == "init") {
      if (!tmp_bPreamble) return Fail("\"init\" after the first frame");
      if (tmp_bInit) return Fail("second \"init\"");
      std::uint32_t tmp_uTime = 0;
      std::uint32_t tmp_uTick = 0;
      if (tmp_vTokens.size() != 3 || !ParseNumber(tmp_vTokens[1], &tmp_uTime) ||
          !ParseNumber(tmp_vTokens[2], &tmp_uTick)) {
        return Fail("\"init\" needs <timeGetTime> <GetTickCount>");
      }
      tmp_rFrame.time.insert(tmp_rFrame.time.begin(), tmp_uTime);
      tmp_rFrame.tick.insert(tmp_rFrame.tick.begin(), tmp_uTick);
      tmp_bInit = true;
    } else if (tmp_Key == "time") {
      if (!ParseReadings(tmp_vTokens, &tmp_rFrame.time)) {
        return Fail("\"time\" needs one or more readings from 0 to 4294967295");
      }
    } else if (tmp_Key == "tick") {
      if (!ParseReadings(tmp_vTokens, &tmp_rFrame.tick)) {
        return Fail("\"tick\" needs one or more readings from 0 to 4294967295");
      }
    } else if (tmp_Key == "msg") {
      if (tmp_bPreamble) return Fail("\"msg\" before the first frame");
      ReplayMessage tmp_Msg{};
      if (tmp_vTokens.size() != 4 || !ParseNumber(tmp_vTokens[1], &tmp_Msg.message) ||
          !ParseNumber(tmp_vTokens[2], &tmp_Msg.wParam) ||
          !ParseNumber(tmp_vTokens[3], &tmp_Msg.lParam)) {
        return Fail("\"msg\" needs <message> <wParam> <lParam> as decimal numbers");
      }
      tmp_rFrame.messages.push_back(tmp_Msg);
    } else {
      // Another part's record: the text after the keyword, as written.
      std::string_view tmp_Rest = tmp_Line.substr(
          static_cast<size_t>(tmp_Key.data() - tmp_Line.data()) + tmp_Key.size());
      while (!tmp_Rest.empty() && (tmp_Rest.front() == ' ' || tmp_Rest.front() == '\t')) {
        tmp_Rest.remove_prefix(1);
      }
      auto tmp_it = tmp_rFrame.records.find(tmp_Key);
      if (tmp_it == tmp_rFrame.records.end()) {
        tmp_it = tmp_rFrame.records.emplace(std::string(tmp_Key), std::vector<std::string>{}).first;
      }
      tmp_it->second.emplace_back(tmp_Rest);
    }
  }
  if (!tmp_bHeader) {
    *fp_pError = "empty file, expected \"m2dreplay 1\"";
    return false;
  }
  return true;
}

void LoadReplay(const char* fp_pszPath) {
  std::string tmp_strText;
  std::string tmp_strError;
  std::FILE* tmp_pFile = std::fopen(fp_pszPath, "rb");
  bool tmp_bOk = tmp_pFile != nullptr;
  if (tmp_pFile != nullptr) {
    char tmp_acBuffer[4096];
    size_t tmp_uRead = 0;
    while ((tmp_uRead = std::fread(tmp_acBuffer, 1, sizeof(tmp_acBuffer), tmp_pFile)) > 0) {
      tmp_strText.append(tmp_acBuffer, tmp_uRead);
    }
    tmp_bOk = std::ferror(tmp_pFile) == 0;
    std::fclose(tmp_pFile);
  }
  if (!tmp_bOk) {
    tmp_strError = std::string("Cannot read replay file \"") + fp_pszPath + "\"";
  } else if (!ParseReplay(tmp_strText, &tmp_strError)) {
    tmp_strError = std::string("Invalid replay file \"") + fp_pszPath + "\": " + tmp_strError;
  }
  if (!tmp_strError.empty()) {
    // Still a replay, but an empty one: the run quits at its first frame
    // instead of going on with live input nobody is there to give.
    g_vFrames.assign(1, Frame{});
    g_bReplayFailed = true;
    detail::ReportProblem((tmp_strError + "; the run ends at its first frame.").c_str());
  }
}

// }====

// {==== Recording ============================================================

void WriteReadings(const char* fp_pszKey, const std::vector<std::uint32_t>& fp_rValues,
                   size_t fp_uFirst) {
  if (fp_rValues.size() <= fp_uFirst) return;
  std::fputs(fp_pszKey, g_pRecordFile);
  for (size_t i = fp_uFirst; i < fp_rValues.size(); ++i) {
    std::fprintf(g_pRecordFile, " %u", static_cast<unsigned>(fp_rValues[i]));
  }
  std::fputc('\n', g_pRecordFile);
}

// Writes what was gathered since the last frame began, then starts afresh
// (the buffers keep their capacity).
void FlushRecordedFrame() {
  if (g_pRecordFile == nullptr) return;
  if (g_iFrame == 0) {
    std::fprintf(g_pRecordFile, "init %u %u\n",
                 static_cast<unsigned>(g_vRecTime.empty() ? 0 : g_vRecTime[0]),
                 static_cast<unsigned>(g_vRecTick.empty() ? 0 : g_vRecTick[0]));
    WriteReadings("time", g_vRecTime, 1);
    WriteReadings("tick", g_vRecTick, 1);
  } else {
    std::fputs("frame\n", g_pRecordFile);
    WriteReadings("time", g_vRecTime, 0);
    WriteReadings("tick", g_vRecTick, 0);
  }
  std::fputs(g_strRecMessages.c_str(), g_pRecordFile);
  std::fputs(g_strRecOther.c_str(), g_pRecordFile);
  std::fflush(g_pRecordFile);
  g_vRecTime.clear();
  g_vRecTick.clear();
  g_strRecMessages.clear();
  g_strRecOther.clear();
}

void FinishRecording() {
  if (g_pRecordFile == nullptr) return;
  FlushRecordedFrame();
  std::fclose(g_pRecordFile);
  g_pRecordFile = nullptr;
}

void OpenRecording(const char* fp_pszPath) {
  g_pRecordFile = std::fopen(fp_pszPath, "w");
  if (g_pRecordFile == nullptr) {
    detail::ReportProblem(
        (std::string("Cannot write record file \"") + fp_pszPath + "\"; nothing is recorded.")
            .c_str());
    g_eMode = Mode::Off;
    return;
  }
  std::fputs("m2dreplay 1\n", g_pRecordFile);
  g_vRecTime.reserve(64);
  g_vRecTick.reserve(64);
  g_strRecMessages.reserve(256);
  g_strRecOther.reserve(4096);
  std::atexit(&FinishRecording);
}

// }====

// Readings of the current frame in order; the last one given repeats.
bool NextReading(std::vector<std::uint32_t> Frame::*fp_pList, size_t* fp_pIndex,
                 std::uint32_t* fp_pLast, std::uint32_t* fp_pValue) {
  if (GetMode() != Mode::Replay || g_bReplayFailed) return false;
  if (static_cast<size_t>(g_iFrame) < g_vFrames.size()) {
    const std::vector<std::uint32_t>& tmp_rList = g_vFrames[static_cast<size_t>(g_iFrame)].*fp_pList;
    if (*fp_pIndex < tmp_rList.size()) *fp_pLast = tmp_rList[(*fp_pIndex)++];
  }
  *fp_pValue = *fp_pLast;
  return true;
}

}  // namespace

Mode GetMode() {
  if (!g_bModeChosen) {
    g_bModeChosen = true;
    const char* tmp_pszReplay = std::getenv("M2D_REPLAY");
    const char* tmp_pszRecord = std::getenv("M2D_RECORD");
    if (tmp_pszReplay != nullptr && *tmp_pszReplay != '\0') {
      g_eMode = Mode::Replay;
      if (tmp_pszRecord != nullptr && *tmp_pszRecord != '\0') {
        detail::ReportProblem("M2D_RECORD is ignored while M2D_REPLAY is set.");
      }
      LoadReplay(tmp_pszReplay);
    } else if (tmp_pszRecord != nullptr && *tmp_pszRecord != '\0') {
      g_eMode = Mode::Record;
      OpenRecording(tmp_pszRecord);
    }
  }
  return g_eMode;
}

const std::vector<std::string>& FrameRecords(const char* fp_pszKeyword) {
  if (fp_pszKeyword == nullptr || GetMode() != Mode::Replay) return g_vNoRecords;
  if (static_cast<size_t>(g_iFrame) >= g_vFrames.size()) return g_vNoRecords;
  const Frame& tmp_rFrame = g_vFrames[static_cast<size_t>(g_iFrame)];
  auto tmp_it = tmp_rFrame.records.find(std::string_view(fp_pszKeyword));
  return tmp_it != tmp_rFrame.records.end() ? tmp_it->second : g_vNoRecords;
}

void RecordLine(const char* fp_pszKeyword, const std::string& fp_strRest) {
  if (fp_pszKeyword == nullptr || GetMode() != Mode::Record || g_pRecordFile == nullptr) return;
  g_strRecOther += fp_pszKeyword;
  if (!fp_strRest.empty()) {
    g_strRecOther += ' ';
    // One record is one line: a line break inside would split it.
    for (char tmp_c : fp_strRest) g_strRecOther += (tmp_c == '\n' || tmp_c == '\r') ? ' ' : tmp_c;
  }
  g_strRecOther += '\n';
}

long CurrentFrame() { return g_iFrame; }

}  // namespace os::replay

namespace os::detail {

using namespace os::replay;

void BeginFrame() {
  Mode tmp_eMode = GetMode();
  if (tmp_eMode == Mode::Record) FlushRecordedFrame();
  ++g_iFrame;
  if (tmp_eMode != Mode::Replay) return;
  g_uTimeIndex = 0;
  g_uTickIndex = 0;
  if (static_cast<size_t>(g_iFrame) >= g_vFrames.size()) {
    if (!g_bQuitPosted) {
      g_bQuitPosted = true;
      PostQuitMessage(0);
    }
    return;
  }
  for (const ReplayMessage& tmp_rMsg : g_vFrames[static_cast<size_t>(g_iFrame)].messages) {
    HWND tmp_hWnd = tmp_rMsg.message == WM_QUIT ? nullptr : MainWindow();
    PostSystemMessage(tmp_hWnd, tmp_rMsg.message, tmp_rMsg.wParam, tmp_rMsg.lParam);
  }
}

bool ReplayTime(std::uint32_t* fp_pValue) {
  return NextReading(&Frame::time, &g_uTimeIndex, &g_uLastTime, fp_pValue);
}

bool ReplayTick(std::uint32_t* fp_pValue) {
  return NextReading(&Frame::tick, &g_uTickIndex, &g_uLastTick, fp_pValue);
}

void RecordTime(std::uint32_t fp_uValue) {
  if (GetMode() == Mode::Record && g_pRecordFile != nullptr) g_vRecTime.push_back(fp_uValue);
}

void RecordTick(std::uint32_t fp_uValue) {
  if (GetMode() == Mode::Record && g_pRecordFile != nullptr) g_vRecTick.push_back(fp_uValue);
}

void RecordMessage(std::uint32_t fp_uMsg, WPARAM fp_wParam, LPARAM fp_lParam) {
  if (GetMode() != Mode::Record || g_pRecordFile == nullptr) return;
  char tmp_acLine[96];
  std::snprintf(tmp_acLine, sizeof(tmp_acLine), "msg %u %llu %lld\n",
                static_cast<unsigned>(fp_uMsg), static_cast<unsigned long long>(fp_wParam),
                static_cast<long long>(fp_lParam));
  g_strRecMessages += tmp_acLine;
}

}  // namespace os::detail
