// Game start-up: the engine's start, the termination callback, the resource
// catalogue, the frame loop and the clean-up.
#include "gameinit_routine.h"

#include "cmorvane.h"

static constexpr int kM2DFileID = 1023;

CMorvane* g_pM2D = nullptr;

namespace {
std::uint8_t s_bQuitRequested = 0;
}

void RequestQuit() {
  M2D_CHECKPOINT;
  s_bQuitRequested = 1;
}

bool IsQuitRequested() { return s_bQuitRequested != 0; }

void GameMain(CMorvane* fp_pEngine) {
  M2D_CHECKPOINT;
  g_pM2D = fp_pEngine;
  g_pM2D->Start("Vantrel", "v. 1.0");
  g_pM2D->RegisterCallback(&GameCleanup, 3);
  Engine_InitResourcesSubsystem();
  if (!IsQuitRequested()) RunMainLoop(&GameFrame);
  GameCleanup();
}

bool GameFrame() {
  M2D_CHECKPOINT;
  return true;
}

void GameCleanup() { M2D_CHECKPOINT; }
