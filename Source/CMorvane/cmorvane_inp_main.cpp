// The input subsystem's start-up, per-frame update, re-acquisition and
// shut-down: the DirectInput object with the keyboard and the mouse, each
// read once a frame into this frame's state while the last one is kept.
static constexpr int kM2DFileID = 127;

#include "Platform/input/dinput8.h"
#include "cmorvane.h"

void CMorvane::INP_Init() {
  M2D_CHECKPOINT;
  // Set first, so a start that fails half-way is still shut down.
  bInpInitialized = 1;
  LogAddSeparator(1);
  LogAddEntry("Initializing Input Subsystem...", LOG_KIND_HEADING);

  // The devices are bound to the device's window.
  if (pD3DDevice == nullptr) {
    M2D_THROW(EHS_TYPE_GAME, 0, "Input system should be initialized after graphics system!");
  }

  // A second start replaces the devices of the first instead of leaking them.
  if (pDI != nullptr) {
    INP_MouseShutdown();
    INP_KeyboardShutdown();
    pDI->Release();
    pDI = nullptr;
  }

  input::HRESULT tmp_hr = input::DirectInput8Create(
      os::GetModuleHandle(), input::DIRECTINPUT_VERSION, input::IID_IDirectInput8A, &pDI, nullptr);
  if (input::FAILED(tmp_hr))
    M2D_THROW(EHS_TYPE_GENERAL, tmp_hr, "Cannot create DirectInput object!");
  if (pDI == nullptr) M2D_THROW(EHS_TYPE_GENERAL, 0, "Error: Direct Input object is NULL!");

  textBuffer.reserve(256);
  INP_KeyboardInit();
  INP_MouseInit();

  LogAddEntry("Done.", LOG_KIND_SUCCESS);
  LogAddSeparator(1);
  LogAddBlankLines(1);
}

void CMorvane::INP_Shutdown() {
  M2D_CHECKPOINT;
  LogAddSeparator(1);
  LogAddEntry("Deinitializing Input Subsystem...", LOG_KIND_HEADING);
  INP_MouseShutdown();
  INP_KeyboardShutdown();
  if (pDI != nullptr) {
    pDI->Release();
    pDI = nullptr;
  }
  LogAddEntry("Done.", LOG_KIND_SUCCESS);
  LogAddSeparator(1);
  LogAddBlankLines(1);
  bInpInitialized = 0;
}

void CMorvane::INP_Acquire() {
  M2D_CHECKPOINT;
  if (pDI == nullptr) return;
  INP_KeyboardAcquire();
  INP_MouseAcquire();
}

void CMorvane::INP_Update() {
  M2D_CHECKPOINT;
  if (pDI == nullptr) return;
  INP_KeyboardUpdate();
  INP_MouseUpdate();
}
