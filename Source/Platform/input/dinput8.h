// The input devices the engine reads: result codes, data formats, cooperative
// levels, key codes with their original numbers, the keyboard and mouse
// device objects, and the system cursor (position, display count).
//
// Two back ends deliver the states: sdl/ (SDL2's keyboard and mouse events)
// and scripted/ (the input records of a replay). DirectInput8Create picks
// scripted when a replay runs or the os stand-in is headless (headless
// without a replay: no input at all), sdl otherwise.
//
// Index:
//   Scalar types and result codes
//   Cooperative levels, identifiers, data formats, states
//   Key codes
//   Objects (DirectInput object, device)
//   The system cursor
#pragma once

#include <cstdint>

#include "Platform/os/os.h"

namespace input {

// {==== Scalar types and result codes ========================================

using BYTE = std::uint8_t;
using DWORD = std::uint32_t;
using ULONG = std::uint32_t;
using LONG = std::int32_t;
using BOOL = std::int32_t;
using HRESULT = std::int32_t;
using HWND = os::HWND;
using HINSTANCE = os::HINSTANCE;

constexpr HRESULT MakeResult(std::uint32_t fp_uCode) {
  return static_cast<HRESULT>(fp_uCode);
}

constexpr HRESULT DI_OK = 0;
// Acquire on an acquired device, Unacquire on one that is not.
constexpr HRESULT DI_NOEFFECT = 1;
constexpr HRESULT DIERR_OLDDIRECTINPUTVERSION = MakeResult(0x8007047Eu);
constexpr HRESULT DIERR_BETADIRECTINPUTVERSION = MakeResult(0x80070481u);
constexpr HRESULT DIERR_OTHERAPPHASPRIO = MakeResult(0x80070005u);
constexpr HRESULT DIERR_ACQUIRED = MakeResult(0x800700AAu);
constexpr HRESULT DIERR_INPUTLOST = MakeResult(0x8007001Eu);
constexpr HRESULT DIERR_NOTACQUIRED = MakeResult(0x8007000Cu);
constexpr HRESULT DIERR_NOTINITIALIZED = MakeResult(0x80070015u);
constexpr HRESULT DIERR_INVALIDPARAM = MakeResult(0x80070057u);
constexpr HRESULT DIERR_OUTOFMEMORY = MakeResult(0x8007000Eu);
constexpr HRESULT DIERR_NOINTERFACE = MakeResult(0x80004002u);
constexpr HRESULT DIERR_GENERIC = MakeResult(0x80004005u);
constexpr HRESULT DIERR_DEVICENOTREG = MakeResult(0x80040154u);

constexpr bool SUCCEEDED(HRESULT fp_hr) {
  return fp_hr >= 0;
}
constexpr bool FAILED(HRESULT fp_hr) {
  return fp_hr < 0;
}

// The one interface version these devices implement.
constexpr DWORD DIRECTINPUT_VERSION = 0x0800;

// }====

// {==== Cooperative levels, identifiers, data formats, states ================

// Exactly one of EXCLUSIVE and NONEXCLUSIVE, and one of FOREGROUND and
// BACKGROUND. A foreground device can be acquired only while its window is the
// active window, and is lost when the window stops being it. Exclusive access
// is granted like non-exclusive access: there is no other program to keep out.
constexpr DWORD DISCL_EXCLUSIVE = 0x00000001;
constexpr DWORD DISCL_NONEXCLUSIVE = 0x00000002;
constexpr DWORD DISCL_FOREGROUND = 0x00000004;
constexpr DWORD DISCL_BACKGROUND = 0x00000008;
constexpr DWORD DISCL_NOWINKEY = 0x00000010;

// Identifiers of interfaces and devices. Only their identity matters.
struct GUID {
  std::uint32_t value;
  friend constexpr bool operator==(const GUID&, const GUID&) = default;
};
using REFGUID = const GUID&;
using REFIID = const GUID&;

inline constexpr GUID IID_IDirectInput8A{0x4D324941u};
inline constexpr GUID GUID_SysKeyboard{0x4D32534Bu};
inline constexpr GUID GUID_SysMouse{0x4D32534Du};

// A data format tells the device what GetDeviceState fills. Two exist: the
// 256-byte keyboard state and the 20-byte eight-button mouse state.
struct DIDATAFORMAT {
  DWORD dwSize;      // sizeof(DIDATAFORMAT)
  DWORD dwDataSize;  // bytes GetDeviceState fills
  DWORD dwNumObjs;   // keys or axes plus buttons described
};
extern const DIDATAFORMAT c_dfDIKeyboard;
extern const DIDATAFORMAT c_dfDIMouse2;

// Keyboard: 256 bytes indexed by the key codes below; bit 7 (0x80) of a byte
// is set while its key is down.
constexpr DWORD kKeyboardStateSize = 256;

// Mouse: motion since the last read (x, y in device units, z the wheel, 120
// a notch, positive away from the user) and eight buttons (0 left, 1 right,
// 2 middle, 3 and 4 the side buttons; bit 7 set while down).
struct DIMOUSESTATE2 {
  LONG lX;
  LONG lY;
  LONG lZ;
  BYTE rgbButtons[8];
};
static_assert(sizeof(DIMOUSESTATE2) == 20);

// }====

// {==== Key codes ============================================================
//
// The scan codes of a PC keyboard: extended keys (the second block of
// cursor keys, the right-hand modifiers, the keypad's divide and enter, the
// multimedia keys) have bit 7 set.

constexpr BYTE DIK_ESCAPE = 0x01;
constexpr BYTE DIK_1 = 0x02;
constexpr BYTE DIK_2 = 0x03;
constexpr BYTE DIK_3 = 0x04;
constexpr BYTE DIK_4 = 0x05;
constexpr BYTE DIK_5 = 0x06;
constexpr BYTE DIK_6 = 0x07;
constexpr BYTE DIK_7 = 0x08;
constexpr BYTE DIK_8 = 0x09;
constexpr BYTE DIK_9 = 0x0A;
constexpr BYTE DIK_0 = 0x0B;
constexpr BYTE DIK_MINUS = 0x0C;
constexpr BYTE DIK_EQUALS = 0x0D;
constexpr BYTE DIK_BACK = 0x0E;
constexpr BYTE DIK_BACKSPACE = DIK_BACK;
constexpr BYTE DIK_TAB = 0x0F;
constexpr BYTE DIK_Q = 0x10;
constexpr BYTE DIK_W = 0x11;
constexpr BYTE DIK_E = 0x12;
constexpr BYTE DIK_R = 0x13;
constexpr BYTE DIK_T = 0x14;
constexpr BYTE DIK_Y = 0x15;
constexpr BYTE DIK_U = 0x16;
constexpr BYTE DIK_I = 0x17;
constexpr BYTE DIK_O = 0x18;
constexpr BYTE DIK_P = 0x19;
constexpr BYTE DIK_LBRACKET = 0x1A;
constexpr BYTE DIK_RBRACKET = 0x1B;
constexpr BYTE DIK_RETURN = 0x1C;
constexpr BYTE DIK_LCONTROL = 0x1D;
constexpr BYTE DIK_A = 0x1E;
constexpr BYTE DIK_S = 0x1F;
constexpr BYTE DIK_D = 0x20;
constexpr BYTE DIK_F = 0x21;
constexpr BYTE DIK_G = 0x22;
constexpr BYTE DIK_H = 0x23;
constexpr BYTE DIK_J = 0x24;
constexpr BYTE DIK_K = 0x25;
constexpr BYTE DIK_L = 0x26;
constexpr BYTE DIK_SEMICOLON = 0x27;
constexpr BYTE DIK_APOSTROPHE = 0x28;
constexpr BYTE DIK_GRAVE = 0x29;
constexpr BYTE DIK_LSHIFT = 0x2A;
constexpr BYTE DIK_BACKSLASH = 0x2B;
constexpr BYTE DIK_Z = 0x2C;
constexpr BYTE DIK_X = 0x2D;
constexpr BYTE DIK_C = 0x2E;
constexpr BYTE DIK_V = 0x2F;
constexpr BYTE DIK_B = 0x30;
constexpr BYTE DIK_N = 0x31;
constexpr BYTE DIK_M = 0x32;
constexpr BYTE DIK_COMMA = 0x33;
constexpr BYTE DIK_PERIOD = 0x34;
constexpr BYTE DIK_SLASH = 0x35;
constexpr BYTE DIK_RSHIFT = 0x36;
constexpr BYTE DIK_MULTIPLY = 0x37;
constexpr BYTE DIK_NUMPADSTAR = DIK_MULTIPLY;
constexpr BYTE DIK_LMENU = 0x38;
constexpr BYTE DIK_LALT = DIK_LMENU;
constexpr BYTE DIK_SPACE = 0x39;
constexpr BYTE DIK_CAPITAL = 0x3A;
constexpr BYTE DIK_CAPSLOCK = DIK_CAPITAL;
constexpr BYTE DIK_F1 = 0x3B;
constexpr BYTE DIK_F2 = 0x3C;
constexpr BYTE DIK_F3 = 0x3D;
constexpr BYTE DIK_F4 = 0x3E;
constexpr BYTE DIK_F5 = 0x3F;
constexpr BYTE DIK_F6 = 0x40;
constexpr BYTE DIK_F7 = 0x41;
constexpr BYTE DIK_F8 = 0x42;
constexpr BYTE DIK_F9 = 0x43;
constexpr BYTE DIK_F10 = 0x44;
constexpr BYTE DIK_NUMLOCK = 0x45;
constexpr BYTE DIK_SCROLL = 0x46;
constexpr BYTE DIK_NUMPAD7 = 0x47;
constexpr BYTE DIK_NUMPAD8 = 0x48;
constexpr BYTE DIK_NUMPAD9 = 0x49;
constexpr BYTE DIK_SUBTRACT = 0x4A;
constexpr BYTE DIK_NUMPADMINUS = DIK_SUBTRACT;
constexpr BYTE DIK_NUMPAD4 = 0x4B;
constexpr BYTE DIK_NUMPAD5 = 0x4C;
constexpr BYTE DIK_NUMPAD6 = 0x4D;
constexpr BYTE DIK_ADD = 0x4E;
constexpr BYTE DIK_NUMPADPLUS = DIK_ADD;
constexpr BYTE DIK_NUMPAD1 = 0x4F;
constexpr BYTE DIK_NUMPAD2 = 0x50;
constexpr BYTE DIK_NUMPAD3 = 0x51;
constexpr BYTE DIK_NUMPAD0 = 0x52;
constexpr BYTE DIK_DECIMAL = 0x53;
constexpr BYTE DIK_NUMPADPERIOD = DIK_DECIMAL;
constexpr BYTE DIK_OEM_102 = 0x56;  // the extra key beside left shift (ISO keyboards)
constexpr BYTE DIK_F11 = 0x57;
constexpr BYTE DIK_F12 = 0x58;
constexpr BYTE DIK_F13 = 0x64;
constexpr BYTE DIK_F14 = 0x65;
constexpr BYTE DIK_F15 = 0x66;
constexpr BYTE DIK_KANA = 0x70;
constexpr BYTE DIK_ABNT_C1 = 0x73;
constexpr BYTE DIK_CONVERT = 0x79;
constexpr BYTE DIK_NOCONVERT = 0x7B;
constexpr BYTE DIK_YEN = 0x7D;
constexpr BYTE DIK_NUMPADEQUALS = 0x8D;
constexpr BYTE DIK_PREVTRACK = 0x90;
constexpr BYTE DIK_STOP = 0x95;
constexpr BYTE DIK_NEXTTRACK = 0x99;
constexpr BYTE DIK_NUMPADENTER = 0x9C;
constexpr BYTE DIK_RCONTROL = 0x9D;
constexpr BYTE DIK_MUTE = 0xA0;
constexpr BYTE DIK_CALCULATOR = 0xA1;
constexpr BYTE DIK_PLAYPAUSE = 0xA2;
constexpr BYTE DIK_MEDIASTOP = 0xA4;
constexpr BYTE DIK_VOLUMEDOWN = 0xAE;
constexpr BYTE DIK_VOLUMEUP = 0xB0;
constexpr BYTE DIK_WEBHOME = 0xB2;
constexpr BYTE DIK_NUMPADCOMMA = 0xB3;
constexpr BYTE DIK_DIVIDE = 0xB5;
constexpr BYTE DIK_NUMPADSLASH = DIK_DIVIDE;
constexpr BYTE DIK_SYSRQ = 0xB7;
constexpr BYTE DIK_RMENU = 0xB8;
constexpr BYTE DIK_RALT = DIK_RMENU;
constexpr BYTE DIK_PAUSE = 0xC5;
constexpr BYTE DIK_HOME = 0xC7;
constexpr BYTE DIK_UP = 0xC8;
constexpr BYTE DIK_UPARROW = DIK_UP;
constexpr BYTE DIK_PRIOR = 0xC9;
constexpr BYTE DIK_PGUP = DIK_PRIOR;
constexpr BYTE DIK_LEFT = 0xCB;
constexpr BYTE DIK_LEFTARROW = DIK_LEFT;
constexpr BYTE DIK_RIGHT = 0xCD;
constexpr BYTE DIK_RIGHTARROW = DIK_RIGHT;
constexpr BYTE DIK_END = 0xCF;
constexpr BYTE DIK_DOWN = 0xD0;
constexpr BYTE DIK_DOWNARROW = DIK_DOWN;
constexpr BYTE DIK_NEXT = 0xD1;
constexpr BYTE DIK_PGDN = DIK_NEXT;
constexpr BYTE DIK_INSERT = 0xD2;
constexpr BYTE DIK_DELETE = 0xD3;
constexpr BYTE DIK_LWIN = 0xDB;
constexpr BYTE DIK_RWIN = 0xDC;
constexpr BYTE DIK_APPS = 0xDD;
constexpr BYTE DIK_POWER = 0xDE;
constexpr BYTE DIK_SLEEP = 0xDF;
constexpr BYTE DIK_WAKE = 0xE3;
constexpr BYTE DIK_WEBSEARCH = 0xE5;
constexpr BYTE DIK_WEBFAVORITES = 0xE6;
constexpr BYTE DIK_WEBREFRESH = 0xE7;
constexpr BYTE DIK_WEBSTOP = 0xE8;
constexpr BYTE DIK_WEBFORWARD = 0xE9;
constexpr BYTE DIK_WEBBACK = 0xEA;
constexpr BYTE DIK_MYCOMPUTER = 0xEB;
constexpr BYTE DIK_MAIL = 0xEC;
constexpr BYTE DIK_MEDIASELECT = 0xED;

// }====

// {==== Objects ==============================================================
//
// Reference counted: created with one reference; AddRef and Release return
// the count after the call; the object goes when it reaches 0. A device
// holds a reference to the DirectInput object that created it.

class IUnknown {
 public:
  virtual ULONG AddRef() = 0;
  virtual ULONG Release() = 0;

 protected:
  virtual ~IUnknown() = default;
};

class IDirectInputDevice8 : public IUnknown {
 public:
  // c_dfDIKeyboard for a keyboard, c_dfDIMouse2 for a mouse; anything else
  // is DIERR_INVALIDPARAM. DIERR_ACQUIRED while acquired.
  virtual HRESULT SetDataFormat(const DIDATAFORMAT* fp_pFormat) = 0;
  // fp_hWnd must be a live window of the os stand-in (else
  // DIERR_INVALIDPARAM). DIERR_ACQUIRED while acquired. Without a call the
  // device is non-exclusive and background.
  virtual HRESULT SetCooperativeLevel(HWND fp_hWnd, DWORD fp_dwFlags) = 0;
  // DI_OK, DI_NOEFFECT when already acquired, DIERR_INVALIDPARAM without a
  // data format, DIERR_OTHERAPPHASPRIO for a foreground device whose window
  // is not active. Acquiring starts afresh: motion and presses that happened
  // before are not reported.
  virtual HRESULT Acquire() = 0;
  virtual HRESULT Unacquire() = 0;
  // Fills fp_dwSize bytes (the data format's size) with the current state.
  // DIERR_INPUTLOST when the device was lost since the last read (its
  // foreground window stopped being active, or the system took the device):
  // it is then not acquired; DIERR_NOTACQUIRED while not acquired.
  virtual HRESULT GetDeviceState(DWORD fp_dwSize, void* fp_pData) = 0;
};

class IDirectInput8 : public IUnknown {
 public:
  // GUID_SysKeyboard or GUID_SysMouse (other identifiers:
  // DIERR_DEVICENOTREG). fp_pUnkOuter must be null.
  virtual HRESULT CreateDevice(REFGUID fp_rGuid, IDirectInputDevice8** fp_ppDevice,
                               void* fp_pUnkOuter) = 0;
};

// The DirectInput object for version 0x0800 and IID_IDirectInput8A; a null
// instance or output, or an outer object, is DIERR_INVALIDPARAM; an older or
// newer version DIERR_OLDDIRECTINPUTVERSION / DIERR_BETADIRECTINPUTVERSION.
HRESULT DirectInput8Create(HINSTANCE fp_hInstance, DWORD fp_dwVersion, REFIID fp_rIID,
                           IDirectInput8** fp_ppOut, void* fp_pUnkOuter);

// }====

// {==== The system cursor ====================================================

struct POINT {
  LONG x;
  LONG y;
};

// The cursor position in the client coordinates of fp_hWnd, in pixels of its
// back buffer (the client area of the game window; in full screen the
// letterboxed picture is mapped back), as reading the screen position and
// converting it to client coordinates would give. Outside the window the
// coordinates lie outside the client rectangle. False for an unknown window.
bool GetCursorClientPos(HWND fp_hWnd, POINT* fp_pPoint);

// Increments (fp_bShow true) or decrements the display count and returns the
// new count; the system cursor shows over the program's windows while the
// count is 0 or more. The count starts at 0.
int ShowCursor(BOOL fp_bShow);
// The display count, for tests and diagnostics.
int GetCursorDisplayCount();

// }====

}  // namespace input
