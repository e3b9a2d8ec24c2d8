// Game start-up: the engine's start, the termination callback, the resource
// catalogue, the display-mode check, the subsystems in their fixed order, the
// GUI manager, the frame loop and the clean-up.
#include "gameinit_routine.h"

#include "Platform/os/os.h"
#include "cmorvane.h"
#include "cmorvane_gfx_types.h"
#include "m2dgui_cmorvanegui.h"

static constexpr int kM2DFileID = 1023;

CMorvane* g_pM2D = nullptr;
CMorvaneGUI* g_pGUI = nullptr;

namespace {

std::uint8_t s_bQuitRequested = 0;
std::int32_t s_iDisplayMode = 1;

// DirectInput key codes of the keys the frame reads.
constexpr std::int32_t kKeyF9 = 0x43;

}  // namespace

void RequestQuit() {
  M2D_CHECKPOINT;
  s_bQuitRequested = 1;
}

bool IsQuitRequested() { return s_bQuitRequested != 0; }

void CheckVideoModes() {
  M2D_CHECKPOINT;
  g_pM2D->GFX_PreInit(800, 600);
  GfxCaps tmp_Caps{};
  g_pM2D->GFX_GetCaps(&tmp_Caps);
  if (tmp_Caps.Mode2.Valid) {
    s_iDisplayMode = 2;
  } else if (tmp_Caps.Mode1.Valid) {
    s_iDisplayMode = 1;
  } else {
    os::MessageBox(nullptr,
                   "No video modes available: your video card cannot handle 800x600x16bit resolution",
                   "No video modes available!", os::MB_OK);
    RequestQuit();
  }
}

void InitEngineAndGUI() {
  M2D_CHECKPOINT;
  g_pM2D->GFX_Init(s_iDisplayMode == 1 ? 1 : 2, 0);
  g_pM2D->INP_Init();
  g_pM2D->SFX_Init(44100);
  g_pM2D->SCR_Init();
  g_pGUI = new CMorvaneGUI();
  if (g_pGUI == nullptr) M2D_THROW(EHS_TYPE_GENERAL, 0, "Cannot create GUI Manager object!");
}

void GameMain(CMorvane* fp_pEngine) {
  M2D_CHECKPOINT;
  g_pM2D = fp_pEngine;
  g_pM2D->Start("Vantrel", "v. 1.0");
  g_pM2D->RegisterCallback(&GameCleanup, 3);
  Engine_InitResourcesSubsystem();
  if (!IsQuitRequested()) CheckVideoModes();
  if (!IsQuitRequested()) InitEngineAndGUI();
  if (!IsQuitRequested()) RunMainLoop(&GameFrame);
  GameCleanup();
}

bool GameFrame() {
  M2D_CHECKPOINT;
  if (g_pGUI != nullptr) g_pGUI->Update();
  g_pM2D->GFX_SceneBegin();
  g_pM2D->GFX_SceneClearScreen(0.0f, 0.0f, 0.0f);
  if (g_pGUI != nullptr) g_pGUI->Draw();
  g_pM2D->GFX_SceneEnd();
  g_pM2D->GFX_ScenePresent();
  if (g_pM2D->INP_KeyboardIsKeyClicked(kKeyF9)) g_pM2D->GFX_SceneMakeScreenshot();
  return true;
}

void GameCleanup() {
  M2D_CHECKPOINT;
  if (g_pM2D != nullptr && g_pM2D->bSfxInitialized == 1) g_pM2D->SFX_MusicStop(3000);
  if (g_pGUI != nullptr) {
    CMorvaneGUI* tmp_pGUI = g_pGUI;
    g_pGUI = nullptr;
    delete tmp_pGUI;
  }
}
