// The engine-facing routines of the game: starting the resource subsystem and
// the frame loop that drives the engine's per-frame update.
#include "Platform/os/os.h"
#include "cmorvane.h"
#include "gameinit_routine.h"

static constexpr int kM2DFileID = 1005;

void Engine_InitResourcesSubsystem() {
  M2D_CHECKPOINT;
  if (g_pM2D == nullptr)
    M2D_THROW(EHS_TYPE_GENERAL, 0, "Error in Engine_InitResourcesSubsystem: pM2D == NULL!");
  g_pM2D->RES_Init();
}

void RunMainLoop(bool (*fp_pFrame)()) {
  M2D_CHECKPOINT;
  while (!IsQuitRequested()) {
    const int tmp_iResult = g_pM2D->UpdateAllSystems();
    if (tmp_iResult == 0) {
      // Inactive window or lost device: no frame runs until something happens.
      os::WaitMessage();
    } else if (tmp_iResult == -1) {
      RequestQuit();
    } else if (!fp_pFrame()) {
      break;
    }
  }
}
