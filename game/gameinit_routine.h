// The game's spine: the entry function the engine's WinMain calls, the
// start-up order, the frame loop and the clean-up.
#pragma once

#include <cstdint>

class CMorvane;
class CMorvaneGUI;

void GameMain(CMorvane* fp_pEngine);
void RequestQuit();
bool IsQuitRequested();
void GameCleanup();
bool GameFrame();
void Engine_InitResourcesSubsystem();
void RunMainLoop(bool (*fp_pFrame)());
void CheckVideoModes();
void InitEngineAndGUI();

extern CMorvane* g_pM2D;
extern CMorvaneGUI* g_pGUI;
