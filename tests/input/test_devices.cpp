// The input stand-in's device rules over the replay back end: creation
// results, data formats, cooperative levels, acquisition with the foreground
// rule, loss, reference counts; and malformed replay records.
#include <cstdlib>
#include <cstring>
#include <string>

#include "Platform/input/dinput8.h"
#include "Platform/os/os.h"
#include "Platform/os/os_backend.h"
#include "Platform/os/os_replay.h"
#include "test_support.h"

using namespace input;

namespace {

os::LRESULT PlainProc(os::HWND fp_hWnd, std::uint32_t fp_uMsg, os::WPARAM fp_wParam,
                      os::LPARAM fp_lParam) {
  return os::DefWindowProc(fp_hWnd, fp_uMsg, fp_wParam, fp_lParam);
}

class DeviceTest : public m2dtest::TempDirTest {
 protected:
  void SetUp() override {
    TempDirTest::SetUp();
    ::unsetenv("M2D_RECORD");
    ::unsetenv("M2D_REPLAY");
    os::SelectBackendForTests(os::Backend::Headless);
  }

  void MakeWindow() {
    os::WNDCLASSEX tmp_Class{0, &PlainProc, 0, 0, os::GetModuleHandle(), "inputtest"};
    ASSERT_TRUE(os::RegisterClassEx(tmp_Class));
    hwnd_ = os::CreateWindowEx(0, "inputtest", "", os::WS_POPUP, 0, 0, 800, 600, nullptr, nullptr,
                               os::GetModuleHandle(), nullptr);
    ASSERT_NE(hwnd_, nullptr);
    os::ShowWindow(hwnd_, os::SW_SHOW);
  }

  void SetActive(bool fp_bActive) {
    os::SendMessage(hwnd_, os::WM_ACTIVATE, fp_bActive ? os::WA_ACTIVE : os::WA_INACTIVE, 0);
  }

  // One message pump: the replay's next frame.
  static void Pump() {
    os::MSG tmp_Msg{};
    while (os::PeekMessage(&tmp_Msg, nullptr, 0, 0, true)) os::DispatchMessage(&tmp_Msg);
  }

  IDirectInputDevice8* MakeDevice(IDirectInput8* fp_pDI, REFGUID fp_rGuid, DWORD fp_dwLevel) {
    IDirectInputDevice8* tmp_pDevice = nullptr;
    EXPECT_EQ(fp_pDI->CreateDevice(fp_rGuid, &tmp_pDevice, nullptr), DI_OK);
    if (tmp_pDevice == nullptr) return nullptr;
    EXPECT_EQ(
        tmp_pDevice->SetDataFormat(fp_rGuid == GUID_SysKeyboard ? &c_dfDIKeyboard : &c_dfDIMouse2),
        DI_OK);
    EXPECT_EQ(tmp_pDevice->SetCooperativeLevel(hwnd_, fp_dwLevel), DI_OK);
    return tmp_pDevice;
  }

  os::HWND hwnd_ = nullptr;
};

constexpr DWORD kForeground = DISCL_NONEXCLUSIVE | DISCL_FOREGROUND;

}  // namespace

TEST_F(DeviceTest, CreationChecksVersionInterfaceAndArguments) {
  os::HINSTANCE tmp_hInst = os::GetModuleHandle();
  IDirectInput8* tmp_pDI = reinterpret_cast<IDirectInput8*>(&tmp_hInst);  // overwritten with null
  EXPECT_EQ(DirectInput8Create(nullptr, 0x0800, IID_IDirectInput8A, &tmp_pDI, nullptr),
            DIERR_INVALIDPARAM);
  EXPECT_EQ(tmp_pDI, nullptr);
  EXPECT_EQ(DirectInput8Create(tmp_hInst, 0x0800, IID_IDirectInput8A, nullptr, nullptr),
            DIERR_INVALIDPARAM);
  EXPECT_EQ(DirectInput8Create(tmp_hInst, 0x0700, IID_IDirectInput8A, &tmp_pDI, nullptr),
            DIERR_OLDDIRECTINPUTVERSION);
  EXPECT_EQ(DirectInput8Create(tmp_hInst, 0x0900, IID_IDirectInput8A, &tmp_pDI, nullptr),
            DIERR_BETADIRECTINPUTVERSION);
  EXPECT_EQ(DirectInput8Create(tmp_hInst, 0x0800, GUID_SysMouse, &tmp_pDI, nullptr),
            DIERR_NOINTERFACE);
  EXPECT_EQ(DirectInput8Create(tmp_hInst, 0x0800, IID_IDirectInput8A, &tmp_pDI, &tmp_hInst),
            DIERR_INVALIDPARAM);
  EXPECT_EQ(tmp_pDI, nullptr);
  ASSERT_EQ(DirectInput8Create(tmp_hInst, 0x0800, IID_IDirectInput8A, &tmp_pDI, nullptr), DI_OK);
  ASSERT_NE(tmp_pDI, nullptr);

  IDirectInputDevice8* tmp_pDevice = nullptr;
  EXPECT_EQ(tmp_pDI->CreateDevice(IID_IDirectInput8A, &tmp_pDevice, nullptr), DIERR_DEVICENOTREG);
  EXPECT_EQ(tmp_pDI->CreateDevice(GUID_SysKeyboard, nullptr, nullptr), DIERR_INVALIDPARAM);
  ASSERT_EQ(tmp_pDI->CreateDevice(GUID_SysKeyboard, &tmp_pDevice, nullptr), DI_OK);
  IDirectInputDevice8* tmp_pMouse = nullptr;
  ASSERT_EQ(tmp_pDI->CreateDevice(GUID_SysMouse, &tmp_pMouse, nullptr), DI_OK);
  // The devices keep the object alive.
  EXPECT_EQ(tmp_pDI->AddRef(), 4u);
  EXPECT_EQ(tmp_pDI->Release(), 3u);
  EXPECT_EQ(tmp_pDI->Release(), 2u);
  EXPECT_EQ(tmp_pDevice->AddRef(), 2u);
  EXPECT_EQ(tmp_pDevice->Release(), 1u);
  EXPECT_EQ(tmp_pDevice->Release(), 0u);
  EXPECT_EQ(tmp_pMouse->Release(), 0u);  // and with it the object
}

TEST_F(DeviceTest, FormatsLevelsAndTheForegroundRule) {
  MakeWindow();
  IDirectInput8* tmp_pDI = nullptr;
  ASSERT_EQ(
      DirectInput8Create(os::GetModuleHandle(), 0x0800, IID_IDirectInput8A, &tmp_pDI, nullptr),
      DI_OK);
  IDirectInputDevice8* tmp_pKeyboard = nullptr;
  ASSERT_EQ(tmp_pDI->CreateDevice(GUID_SysKeyboard, &tmp_pKeyboard, nullptr), DI_OK);
  BYTE tmp_aKeys[256];

  // Nothing works before a data format.
  EXPECT_EQ(tmp_pKeyboard->Acquire(), DIERR_INVALIDPARAM);
  EXPECT_EQ(tmp_pKeyboard->GetDeviceState(256, tmp_aKeys), DIERR_INVALIDPARAM);
  EXPECT_EQ(tmp_pKeyboard->SetDataFormat(&c_dfDIMouse2), DIERR_INVALIDPARAM);
  EXPECT_EQ(tmp_pKeyboard->SetDataFormat(nullptr), DIERR_INVALIDPARAM);
  EXPECT_EQ(tmp_pKeyboard->SetDataFormat(&c_dfDIKeyboard), DI_OK);
  EXPECT_EQ(tmp_pKeyboard->GetDeviceState(256, tmp_aKeys), DIERR_NOTACQUIRED);

  // Cooperative levels: one of each pair, a live window, no unknown bits.
  struct Level {
    os::HWND hwnd;
    DWORD flags;
    HRESULT result;
  };
  const Level kLevels[] = {
      {hwnd_, DISCL_EXCLUSIVE | DISCL_NONEXCLUSIVE | DISCL_FOREGROUND, DIERR_INVALIDPARAM},
      {hwnd_, DISCL_NONEXCLUSIVE, DIERR_INVALIDPARAM},
      {hwnd_, DISCL_FOREGROUND | DISCL_BACKGROUND | DISCL_NONEXCLUSIVE, DIERR_INVALIDPARAM},
      {hwnd_, kForeground | 0x100, DIERR_INVALIDPARAM},
      {nullptr, kForeground, DIERR_INVALIDPARAM},
      {reinterpret_cast<os::HWND>(&tmp_aKeys), kForeground, DIERR_INVALIDPARAM},
      {hwnd_, kForeground | DISCL_NOWINKEY, DI_OK},
  };
  for (const Level& l : kLevels) {
    EXPECT_EQ(tmp_pKeyboard->SetCooperativeLevel(l.hwnd, l.flags), l.result) << l.flags;
  }

  EXPECT_EQ(tmp_pKeyboard->Acquire(), DI_OK);
  EXPECT_EQ(tmp_pKeyboard->Acquire(), DI_NOEFFECT);
  EXPECT_EQ(tmp_pKeyboard->SetDataFormat(&c_dfDIKeyboard), DIERR_ACQUIRED);
  EXPECT_EQ(tmp_pKeyboard->SetCooperativeLevel(hwnd_, kForeground), DIERR_ACQUIRED);
  EXPECT_EQ(tmp_pKeyboard->GetDeviceState(255, tmp_aKeys), DIERR_INVALIDPARAM);
  EXPECT_EQ(tmp_pKeyboard->GetDeviceState(256, nullptr), DIERR_INVALIDPARAM);
  std::memset(tmp_aKeys, 0x55, sizeof(tmp_aKeys));
  EXPECT_EQ(tmp_pKeyboard->GetDeviceState(256, tmp_aKeys), DI_OK);
  EXPECT_EQ(tmp_aKeys[0], 0);
  EXPECT_EQ(tmp_aKeys[255], 0);

  // The window loses the focus: the foreground device is lost at its next
  // read and cannot be acquired until the focus comes back.
  SetActive(false);
  EXPECT_EQ(tmp_pKeyboard->GetDeviceState(256, tmp_aKeys), DIERR_INPUTLOST);
  EXPECT_EQ(tmp_pKeyboard->GetDeviceState(256, tmp_aKeys), DIERR_NOTACQUIRED);
  EXPECT_EQ(tmp_pKeyboard->Acquire(), DIERR_OTHERAPPHASPRIO);
  // A background device does not care.
  IDirectInputDevice8* tmp_pMouse =
      MakeDevice(tmp_pDI, GUID_SysMouse, DISCL_NONEXCLUSIVE | DISCL_BACKGROUND);
  ASSERT_NE(tmp_pMouse, nullptr);
  DIMOUSESTATE2 tmp_State;
  EXPECT_EQ(tmp_pMouse->Acquire(), DI_OK);
  EXPECT_EQ(tmp_pMouse->GetDeviceState(sizeof(tmp_State), &tmp_State), DI_OK);
  EXPECT_EQ(tmp_pMouse->GetDeviceState(16, &tmp_State), DIERR_INVALIDPARAM);
  EXPECT_EQ(tmp_pMouse->Unacquire(), DI_OK);
  EXPECT_EQ(tmp_pMouse->Unacquire(), DI_NOEFFECT);

  SetActive(true);
  EXPECT_EQ(tmp_pKeyboard->Acquire(), DI_OK);
  EXPECT_EQ(tmp_pKeyboard->GetDeviceState(256, tmp_aKeys), DI_OK);
  // A destroyed window is never active again.
  os::DestroyWindow(hwnd_);
  EXPECT_EQ(tmp_pKeyboard->GetDeviceState(256, tmp_aKeys), DIERR_INPUTLOST);

  EXPECT_EQ(tmp_pMouse->Release(), 0u);
  EXPECT_EQ(tmp_pKeyboard->Release(), 0u);
  EXPECT_EQ(tmp_pDI->Release(), 0u);
}

TEST_F(DeviceTest, HeadlessWithoutReplayHasNoInput) {
  MakeWindow();
  IDirectInput8* tmp_pDI = nullptr;
  ASSERT_EQ(
      DirectInput8Create(os::GetModuleHandle(), 0x0800, IID_IDirectInput8A, &tmp_pDI, nullptr),
      DI_OK);
  IDirectInputDevice8* tmp_pMouse = MakeDevice(tmp_pDI, GUID_SysMouse, kForeground);
  ASSERT_NE(tmp_pMouse, nullptr);
  ASSERT_EQ(tmp_pMouse->Acquire(), DI_OK);
  for (int i = 0; i < 3; ++i) {
    Pump();
    DIMOUSESTATE2 tmp_State;
    std::memset(&tmp_State, 0x55, sizeof(tmp_State));
    ASSERT_EQ(tmp_pMouse->GetDeviceState(sizeof(tmp_State), &tmp_State), DI_OK);
    DIMOUSESTATE2 tmp_Zero{};
    EXPECT_EQ(std::memcmp(&tmp_State, &tmp_Zero, sizeof(tmp_State)), 0);
    POINT tmp_Cursor{0, 0};
    EXPECT_TRUE(GetCursorClientPos(hwnd_, &tmp_Cursor));
    EXPECT_EQ(tmp_Cursor.x, -1);  // outside the window until a replay says otherwise
    EXPECT_EQ(tmp_Cursor.y, -1);
  }
  POINT tmp_Cursor;
  EXPECT_FALSE(GetCursorClientPos(nullptr, &tmp_Cursor));
  EXPECT_FALSE(GetCursorClientPos(hwnd_, nullptr));
  EXPECT_EQ(ShowCursor(0), -1);
  EXPECT_EQ(ShowCursor(0), -2);
  EXPECT_EQ(ShowCursor(1), -1);
  EXPECT_EQ(GetCursorDisplayCount(), -1);
  tmp_pMouse->Release();
  tmp_pDI->Release();
}

TEST_F(DeviceTest, MalformedRecordsAreReportedAndIgnored) {
  m2dtest::WriteFile("session.txt",
                     "m2dreplay 1\n"
                     "frame\nkeys 30\nmouse 1 2 3 1\ncursor 10 20\n"
                     "frame\n"
                     "keys 256\nkeys 30 x\nkeys -1\n"
                     "mouse 1 2\nmouse 1 2 3 9\nmouse 1 2 99999999999\nmouse 1 2 3 0\n"
                     "cursor 1\ncursor 1 2 3\ncursor 1 +2\n"
                     "lost 0\nlost 2000\nlost 1 both\nlost mouse 1\n"
                     "frame\nlost 1 mouse\n");
  ::setenv("M2D_REPLAY", "session.txt", 1);
  MakeWindow();
  IDirectInput8* tmp_pDI = nullptr;
  ASSERT_EQ(
      DirectInput8Create(os::GetModuleHandle(), 0x0800, IID_IDirectInput8A, &tmp_pDI, nullptr),
      DI_OK);
  IDirectInputDevice8* tmp_pKeyboard = MakeDevice(tmp_pDI, GUID_SysKeyboard, kForeground);
  IDirectInputDevice8* tmp_pMouse = MakeDevice(tmp_pDI, GUID_SysMouse, kForeground);
  ASSERT_TRUE(tmp_pKeyboard != nullptr && tmp_pMouse != nullptr);
  ASSERT_EQ(tmp_pKeyboard->Acquire(), DI_OK);
  ASSERT_EQ(tmp_pMouse->Acquire(), DI_OK);
  BYTE tmp_aKeys[256];
  DIMOUSESTATE2 tmp_State;
  POINT tmp_Cursor;
  Pump();
  ASSERT_EQ(tmp_pKeyboard->GetDeviceState(256, tmp_aKeys), DI_OK);
  ASSERT_EQ(tmp_pMouse->GetDeviceState(sizeof(tmp_State), &tmp_State), DI_OK);
  EXPECT_EQ(tmp_State.lZ, 3);

  testing::internal::CaptureStderr();
  Pump();
  // Every record of this frame is bad: what the last frame gave holds, and
  // there is no motion and no loss.
  EXPECT_EQ(tmp_pKeyboard->GetDeviceState(256, tmp_aKeys), DI_OK);
  EXPECT_EQ(tmp_pMouse->GetDeviceState(sizeof(tmp_State), &tmp_State), DI_OK);
  std::string tmp_strErr = testing::internal::GetCapturedStderr();
  EXPECT_EQ(tmp_aKeys[30], 0x80);
  EXPECT_EQ(tmp_State.lX, 0);
  EXPECT_EQ(tmp_State.rgbButtons[0], 0x80);
  EXPECT_TRUE(GetCursorClientPos(hwnd_, &tmp_Cursor));
  EXPECT_EQ(tmp_Cursor.x, 10);
  EXPECT_EQ(tmp_Cursor.y, 20);
  for (const char* tmp_pszRecord :
       {"keys 256", "keys 30 x", "keys -1", "mouse 1 2", "mouse 1 2 3 9", "mouse 1 2 99999999999",
        "mouse 1 2 3 0", "cursor 1", "cursor 1 2 3", "cursor 1 +2", "lost 0", "lost 2000",
        "lost 1 both", "lost mouse 1"}) {
    std::string tmp_strLine =
        std::string("Invalid replay record \"") + tmp_pszRecord + "\" in frame 2: ";
    EXPECT_NE(tmp_strErr.find(tmp_strLine), std::string::npos) << tmp_pszRecord << "\n"
                                                               << tmp_strErr;
  }

  // A well-formed loss of one device.
  Pump();
  EXPECT_EQ(tmp_pKeyboard->GetDeviceState(256, tmp_aKeys), DI_OK);
  EXPECT_EQ(tmp_pMouse->GetDeviceState(sizeof(tmp_State), &tmp_State), DIERR_INPUTLOST);
  tmp_pMouse->Release();
  tmp_pKeyboard->Release();
  tmp_pDI->Release();
}
