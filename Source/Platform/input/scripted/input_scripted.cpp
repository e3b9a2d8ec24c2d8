// The replay back end: parses the "keys", "mouse", "cursor" and "lost" records
// of the current replay frame once per frame and serves them to the keyboard,
// the mouse and the cursor. A malformed record is reported on stderr and
// ignored; nothing here allocates once a frame's records are parsed.
#include "Platform/input/scripted/input_scripted.h"

#include <algorithm>
#include <charconv>
#include <cstdio>
#include <cstring>
#include <string>
#include <string_view>
#include <vector>

#include "Platform/os/os_replay.h"

namespace input::scripted {

namespace {

using detail::EDeviceKind;

constexpr int kMaxLoss = 1000;

// The input as the replay has given it so far. Keys, buttons and the cursor
// hold until a record changes them; motion belongs to one frame.
struct SReplayInput {
  long frame = -1;
  BYTE keys[kKeyboardStateSize] = {};
  BYTE buttons[8] = {};
  LONG dx = 0;
  LONG dy = 0;
  LONG dz = 0;
  bool motionRead = false;
  // Until the first "cursor" record the cursor is outside the client area.
  POINT cursor{-1, -1};
  int keyboardLoss = 0;
  int mouseLoss = 0;
};

SReplayInput g_Input;
void (*g_pDiscard)() = nullptr;

// {==== Parsing ==============================================================

class CTokens {
 public:
  explicit CTokens(std::string_view fp_Text) : text_(fp_Text) {}
  bool Next(std::string_view* fp_pToken) {
    while (pos_ < text_.size() && (text_[pos_] == ' ' || text_[pos_] == '\t')) ++pos_;
    size_t tmp_uStart = pos_;
    while (pos_ < text_.size() && text_[pos_] != ' ' && text_[pos_] != '\t') ++pos_;
    *fp_pToken = text_.substr(tmp_uStart, pos_ - tmp_uStart);
    return pos_ > tmp_uStart;
  }

 private:
  std::string_view text_;
  size_t pos_ = 0;
};

// Strict decimal within [fp_llMin, fp_llMax].
bool ParseInt(std::string_view fp_Text, long long fp_llMin, long long fp_llMax,
              long long* fp_pValue) {
  if (fp_Text.empty() || fp_Text[0] == '+') return false;
  const char* tmp_pEnd = fp_Text.data() + fp_Text.size();
  long long tmp_llValue = 0;
  auto [tmp_pPtr, tmp_eErr] = std::from_chars(fp_Text.data(), tmp_pEnd, tmp_llValue, 10);
  if (tmp_eErr != std::errc() || tmp_pPtr != tmp_pEnd) return false;
  if (tmp_llValue < fp_llMin || tmp_llValue > fp_llMax) return false;
  *fp_pValue = tmp_llValue;
  return true;
}

constexpr long long kLongMin = -2147483647LL - 1;
constexpr long long kLongMax = 2147483647LL;

void Report(const char* fp_pszKeyword, const std::string& fp_rRecord, const char* fp_pszWhy) {
  std::fprintf(stderr, "Invalid replay record \"%s %s\" in frame %ld: %s; it is ignored.\n",
               fp_pszKeyword, fp_rRecord.c_str(), os::replay::CurrentFrame(), fp_pszWhy);
}

// keys [<code> ...]: the keys down from this frame on.
void ApplyKeys(const std::string& fp_rRecord) {
  BYTE tmp_aKeys[kKeyboardStateSize] = {};
  CTokens tmp_Tokens(fp_rRecord);
  std::string_view tmp_Token;
  while (tmp_Tokens.Next(&tmp_Token)) {
    long long tmp_llCode = 0;
    if (!ParseInt(tmp_Token, 0, 255, &tmp_llCode)) {
      return Report("keys", fp_rRecord, "key codes are 0 to 255");
    }
    tmp_aKeys[tmp_llCode] = 0x80;
  }
  std::memcpy(g_Input.keys, tmp_aKeys, sizeof(tmp_aKeys));
}

// mouse <dx> <dy> <dz> [<button> ...]: this frame's motion and the buttons
// down from this frame on.
void ApplyMouse(const std::string& fp_rRecord, long long* fp_pllDX, long long* fp_pllDY,
                long long* fp_pllDZ) {
  CTokens tmp_Tokens(fp_rRecord);
  std::string_view tmp_Token;
  long long tmp_allMotion[3] = {0, 0, 0};
  for (long long& tmp_rValue : tmp_allMotion) {
    if (!tmp_Tokens.Next(&tmp_Token) || !ParseInt(tmp_Token, kLongMin, kLongMax, &tmp_rValue)) {
      return Report("mouse", fp_rRecord, "needs <dx> <dy> <dz> as 32-bit integers");
    }
  }
  BYTE tmp_aButtons[8] = {};
  while (tmp_Tokens.Next(&tmp_Token)) {
    long long tmp_llButton = 0;
    if (!ParseInt(tmp_Token, 1, 8, &tmp_llButton)) {
      return Report("mouse", fp_rRecord, "buttons are 1 to 8");
    }
    tmp_aButtons[tmp_llButton - 1] = 0x80;
  }
  *fp_pllDX += tmp_allMotion[0];
  *fp_pllDY += tmp_allMotion[1];
  *fp_pllDZ += tmp_allMotion[2];
  std::memcpy(g_Input.buttons, tmp_aButtons, sizeof(tmp_aButtons));
}

// cursor <x> <y>: the cursor in client coordinates from this frame on.
void ApplyCursor(const std::string& fp_rRecord) {
  CTokens tmp_Tokens(fp_rRecord);
  std::string_view tmp_Token;
  long long tmp_llX = 0;
  long long tmp_llY = 0;
  if (!tmp_Tokens.Next(&tmp_Token) || !ParseInt(tmp_Token, kLongMin, kLongMax, &tmp_llX) ||
      !tmp_Tokens.Next(&tmp_Token) || !ParseInt(tmp_Token, kLongMin, kLongMax, &tmp_llY) ||
      tmp_Tokens.Next(&tmp_Token)) {
    return Report("cursor", fp_rRecord, "needs <x> <y> as 32-bit integers");
  }
  g_Input.cursor = {static_cast<LONG>(tmp_llX), static_cast<LONG>(tmp_llY)};
}

// lost [<reads>] [keyboard|mouse]: the next reads (1 unless given) of both
// devices, or of the one named, find it lost.
void ApplyLost(const std::string& fp_rRecord) {
  CTokens tmp_Tokens(fp_rRecord);
  std::string_view tmp_Token;
  long long tmp_llCount = 1;
  bool tmp_bKeyboard = true;
  bool tmp_bMouse = true;
  bool tmp_bHasToken = tmp_Tokens.Next(&tmp_Token);
  if (tmp_bHasToken && ParseInt(tmp_Token, 1, kMaxLoss, &tmp_llCount)) {
    tmp_bHasToken = tmp_Tokens.Next(&tmp_Token);
  }
  if (tmp_bHasToken) {
    if (tmp_Token == "keyboard") {
      tmp_bMouse = false;
    } else if (tmp_Token == "mouse") {
      tmp_bKeyboard = false;
    } else {
      return Report("lost", fp_rRecord, "takes a count of reads from 1 to 1000 and a device");
    }
    if (tmp_Tokens.Next(&tmp_Token)) {
      return Report("lost", fp_rRecord, "takes a count of reads from 1 to 1000 and a device");
    }
  }
  int tmp_iCount = static_cast<int>(tmp_llCount);
  if (tmp_bKeyboard) g_Input.keyboardLoss = std::min(kMaxLoss, g_Input.keyboardLoss + tmp_iCount);
  if (tmp_bMouse) g_Input.mouseLoss = std::min(kMaxLoss, g_Input.mouseLoss + tmp_iCount);
}

// }====

// Takes in the records of a frame the first time a device or the cursor is
// asked in it.
void Sync() {
  if (g_pDiscard != nullptr) g_pDiscard();
  long tmp_lFrame = os::replay::CurrentFrame();
  if (tmp_lFrame == g_Input.frame) return;
  g_Input.frame = tmp_lFrame;
  for (const std::string& tmp_rRecord : os::replay::FrameRecords("keys")) ApplyKeys(tmp_rRecord);
  long long tmp_llDX = 0;
  long long tmp_llDY = 0;
  long long tmp_llDZ = 0;
  for (const std::string& tmp_rRecord : os::replay::FrameRecords("mouse")) {
    ApplyMouse(tmp_rRecord, &tmp_llDX, &tmp_llDY, &tmp_llDZ);
  }
  g_Input.dx = detail::SaturateLong(tmp_llDX);
  g_Input.dy = detail::SaturateLong(tmp_llDY);
  g_Input.dz = detail::SaturateLong(tmp_llDZ);
  g_Input.motionRead = false;
  for (const std::string& tmp_rRecord : os::replay::FrameRecords("cursor")) {
    ApplyCursor(tmp_rRecord);
  }
  for (const std::string& tmp_rRecord : os::replay::FrameRecords("lost")) ApplyLost(tmp_rRecord);
}

class CScriptedDevice final : public detail::CDeviceBase {
 public:
  using CDeviceBase::CDeviceBase;

 protected:
  void Poll() override { Sync(); }
  // The records say what a read returns: nothing to forget.
  void Restart() override {}
  bool TakeLoss() override {
    int& tmp_rLoss = Kind() == EDeviceKind::Keyboard ? g_Input.keyboardLoss : g_Input.mouseLoss;
    if (tmp_rLoss == 0) return false;
    --tmp_rLoss;
    return true;
  }
  void ReadState(void* fp_pData) override {
    if (Kind() == EDeviceKind::Keyboard) {
      std::memcpy(fp_pData, g_Input.keys, sizeof(g_Input.keys));
      return;
    }
    DIMOUSESTATE2 tmp_State{};
    // A frame's motion is reported once, however often the mouse is read.
    if (!g_Input.motionRead) {
      tmp_State.lX = g_Input.dx;
      tmp_State.lY = g_Input.dy;
      tmp_State.lZ = g_Input.dz;
      g_Input.motionRead = true;
    }
    std::memcpy(tmp_State.rgbButtons, g_Input.buttons, sizeof(g_Input.buttons));
    std::memcpy(fp_pData, &tmp_State, sizeof(tmp_State));
  }
};

}  // namespace

detail::CDeviceBase* CreateDevice(detail::EDeviceKind fp_eKind, IDirectInput8* fp_pParent) {
  return new CScriptedDevice(fp_eKind, fp_pParent);
}

void SetEventDiscarder(void (*fp_pDiscard)()) {
  g_pDiscard = fp_pDiscard;
}

bool GetCursorClientPos(HWND fp_hWnd, POINT* fp_pPoint) {
  os::RECT tmp_Rect;
  if (fp_pPoint == nullptr || fp_hWnd == nullptr || !os::GetClientRect(fp_hWnd, &tmp_Rect)) {
    return false;
  }
  Sync();
  *fp_pPoint = g_Input.cursor;
  return true;
}

}  // namespace input::scripted
