// The keyboard: set-up, acquisition, the per-frame read with its pressed and
// clicked states, and the text-entry buffer fed from the clicked keys through
// a fixed US character table.
static constexpr int kM2DFileID = 128;

#include <cstring>
#include <string>

#include "Platform/input/dinput8.h"
#include "cmorvane.h"

namespace {

constexpr std::uint8_t kKeySpace = input::DIK_SPACE;
constexpr std::uint8_t kKeyBackspace = input::DIK_BACK;

struct SCharKey {
  std::uint8_t code;
  char normal;
  char shifted;
};

// Checked in this order: the first clicked key gives the character. The
// mapping is the US layout whatever the system's keyboard layout is.
constexpr SCharKey kCharTable[] = {
    {30, 'a', 'A'}, {48, 'b', 'B'}, {46, 'c', 'C'},  {32, 'd', 'D'},  {18, 'e', 'E'},
    {33, 'f', 'F'}, {34, 'g', 'G'}, {35, 'h', 'H'},  {23, 'i', 'I'},  {36, 'j', 'J'},
    {37, 'k', 'K'}, {38, 'l', 'L'}, {50, 'm', 'M'},  {49, 'n', 'N'},  {24, 'o', 'O'},
    {25, 'p', 'P'}, {16, 'q', 'Q'}, {19, 'r', 'R'},  {31, 's', 'S'},  {20, 't', 'T'},
    {22, 'u', 'U'}, {47, 'v', 'V'}, {17, 'w', 'W'},  {45, 'x', 'X'},  {21, 'y', 'Y'},
    {44, 'z', 'Z'}, {41, '`', '~'}, {2, '1', '!'},   {3, '2', '@'},   {4, '3', '#'},
    {5, '4', '$'},  {6, '5', '%'},  {7, '6', '^'},   {8, '7', '&'},   {9, '8', '*'},
    {10, '9', '('}, {11, '0', ')'}, {12, '-', '_'},  {13, '=', '+'},  {26, '[', '{'},
    {27, ']', '}'}, {39, ';', ':'}, {40, '\'', '"'}, {43, '\\', '|'}, {51, ',', '<'},
    {52, '.', '>'}, {53, '/', '?'}, {82, '0', '0'},  {79, '1', '1'},  {80, '2', '2'},
    {81, '3', '3'}, {75, '4', '4'}, {76, '5', '5'},  {77, '6', '6'},  {71, '7', '7'},
    {72, '8', '8'}, {73, '9', '9'}, {181, '/', '/'}, {55, '*', '*'},  {74, '-', '-'},
    {78, '+', '+'}, {57, ' ', ' '},
};

bool IsKeyCode(std::int32_t fp_iKey) {
  return fp_iKey >= 0 && fp_iKey <= 255;
}

}  // namespace

// {==== Set-up, acquisition, update, shut-down ===============================

void CMorvane::INP_KeyboardInit() {
  M2D_CHECKPOINT;
  input::HRESULT tmp_hr = pDI->CreateDevice(input::GUID_SysKeyboard, &pDIKeyboard, nullptr);
  if (input::FAILED(tmp_hr)) {
    M2D_THROW(EHS_TYPE_GENERAL, tmp_hr, "Cannot create DirectInputDevice (Keyboard) object!");
  }
  if (pDIKeyboard == nullptr) M2D_THROW(EHS_TYPE_GENERAL, 0, "Error: keyboard object is NULL!");
  tmp_hr = pDIKeyboard->SetDataFormat(&input::c_dfDIKeyboard);
  if (input::FAILED(tmp_hr))
    M2D_THROW(EHS_TYPE_GENERAL, tmp_hr, "Cannot set data format for Keyboard!");
  tmp_hr = pDIKeyboard->SetCooperativeLevel(
      hWnd, input::DISCL_NONEXCLUSIVE | input::DISCL_FOREGROUND | input::DISCL_NOWINKEY);
  if (input::FAILED(tmp_hr)) {
    M2D_THROW(EHS_TYPE_GENERAL, tmp_hr, "Cannot set cooperative level for Keyboard!");
  }
  INP_KeyboardAcquire();
}

void CMorvane::INP_KeyboardAcquire() {
  M2D_CHECKPOINT;
  if (pDIKeyboard == nullptr) return;
  input::HRESULT tmp_hr = pDIKeyboard->Acquire();
  if (input::FAILED(tmp_hr)) {
    LogAddEntry("Cannot acquire keyboard!", LOG_KIND_FAILED);
    LogAddEntry(std::to_string(tmp_hr), LOG_KIND_FAILED);
    bKeyboardAcquired = 0;
  } else {
    bKeyboardAcquired = 1;
  }
}

void CMorvane::INP_KeyboardUpdate() {
  M2D_CHECKPOINT;
  if (pDIKeyboard == nullptr || bKeyboardAcquired == 0) {
    if (pDIKeyboard == nullptr || input::FAILED(pDIKeyboard->Acquire())) {
      // Not ours now: no key reads as pressed or clicked.
      std::memset(keyState, 0, sizeof(keyState));
      std::memset(keyStatePrev, 0, sizeof(keyStatePrev));
      return;
    }
    bKeyboardAcquired = 1;
  }

  std::memcpy(keyStatePrev, keyState, sizeof(keyState));
  input::HRESULT tmp_hr = pDIKeyboard->GetDeviceState(sizeof(keyState), keyState);
  if (tmp_hr == input::DIERR_INPUTLOST) {
    tmp_hr = pDIKeyboard->Acquire();
    if (input::FAILED(tmp_hr)) M2D_THROW(EHS_TYPE_GENERAL, tmp_hr, "Cannot reacquire Keyboard!");
    tmp_hr = pDIKeyboard->GetDeviceState(sizeof(keyState), keyState);
    if (input::FAILED(tmp_hr)) {
      M2D_THROW(EHS_TYPE_GENERAL, tmp_hr, "Second try of getting Keyboard state failed!");
    }
  } else if (input::FAILED(tmp_hr)) {
    M2D_THROW(EHS_TYPE_GENERAL, tmp_hr, "Cannot get Keyboard state!");
  }

  if (bTextBufferOn != 0) INP_KeyboardTextEntry();
}

void CMorvane::INP_KeyboardShutdown() {
  M2D_CHECKPOINT;
  if (pDIKeyboard != nullptr) {
    pDIKeyboard->Unacquire();
    pDIKeyboard->Release();
    pDIKeyboard = nullptr;
  }
  bKeyboardAcquired = 0;
}

// }====

// {==== Key states ===========================================================

bool CMorvane::INP_KeyboardIsKeyPressed(std::int32_t fp_iKey) const {
  M2D_CHECKPOINT;
  return IsKeyCode(fp_iKey) && (keyState[fp_iKey] & 0x80) != 0;
}

bool CMorvane::INP_KeyboardIsKeyClicked(std::int32_t fp_iKey) const {
  M2D_CHECKPOINT;
  return IsKeyCode(fp_iKey) && (keyState[fp_iKey] & 0x80) != 0 &&
         (keyStatePrev[fp_iKey] & 0x80) == 0;
}

std::uint8_t CMorvane::INP_KeyboardGetAnyPressedKey() const {
  M2D_CHECKPOINT;
  // Code 255 is not looked at.
  for (int i = 0; i < 255; ++i) {
    if ((keyState[i] & 0x80) != 0) return static_cast<std::uint8_t>(i);
  }
  return 0;
}

// }====

// {==== Text entry ===========================================================

void CMorvane::INP_KeyboardSetTextBufferStatus(bool fp_bOn) {
  M2D_CHECKPOINT;
  bTextBufferOn = fp_bOn ? 1 : 0;
}

void CMorvane::INP_KeyboardSetTextInBuffer(const std::string& fp_strText) {
  M2D_CHECKPOINT;
  textBuffer = fp_strText;
}

const std::string& CMorvane::INP_KeyboardGetTextInBuffer() const {
  M2D_CHECKPOINT;
  return textBuffer;
}

void CMorvane::INP_KeyboardSetTextBufferSize(std::uint32_t fp_uSize) {
  M2D_CHECKPOINT;
  textBufferSize = fp_uSize;
  if (textBuffer.size() > textBufferSize) textBuffer.resize(textBufferSize);
}

char CMorvane::INP_KeyboardGetTypedChar() const {
  M2D_CHECKPOINT;
  bool tmp_bShift =
      INP_KeyboardIsKeyPressed(input::DIK_LSHIFT) || INP_KeyboardIsKeyPressed(input::DIK_RSHIFT);
  for (const SCharKey& tmp_rKey : kCharTable) {
    if (INP_KeyboardIsKeyClicked(tmp_rKey.code))
      return tmp_bShift ? tmp_rKey.shifted : tmp_rKey.normal;
  }
  return 0;
}

// At most one change a frame: a space, a backspace, or the typed character.
void CMorvane::INP_KeyboardTextEntry() {
  M2D_CHECKPOINT;
  if (INP_KeyboardIsKeyClicked(kKeySpace)) {
    textBuffer.push_back(' ');
  } else if (INP_KeyboardIsKeyClicked(kKeyBackspace)) {
    if (!textBuffer.empty()) textBuffer.pop_back();
    return;
  } else {
    char tmp_cTyped = INP_KeyboardGetTypedChar();
    if (tmp_cTyped == 0) return;
    textBuffer.push_back(tmp_cTyped);
  }
  if (textBuffer.size() > textBufferSize) textBuffer.resize(textBufferSize);
}

// }====
