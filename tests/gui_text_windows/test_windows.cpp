// Windows: the show and hide curves of position and colour read back from
// the child quads, the sounds and actions of real changes of direction
// only, reversal half-way, no input for the children while the window
// moves, the hide command on a hidden window, and the shortest show time.
#include <string>

#include "m2dgui_stdclass_window.h"
#include "tw_support.h"

using guitest::ReplayFrames;
using twtest::TwTest;

namespace {

int g_iShow = 0, g_iHide = 0, g_iEnable = 0, g_iDisable = 0;
void OnShow() { ++g_iShow; }
void OnHide() { ++g_iHide; }
void OnEnable() { ++g_iEnable; }
void OnDisable() { ++g_iDisable; }

const char* const kWindowGui =
    "<desktop>"
    "<window id=\"W\" coords=\"0 0 100 50\" enabled=\"1\" location_hidden=\"0 -100\" "
    "location_middle=\"100 0\" location_shown=\"200 100\" time_showhide=\"1\" "
    "sound_show=\"SND_SHOW\" sound_hide=\"SND_HIDE\" on_show=\"WShow\" on_hide=\"WHide\" "
    "on_enable=\"WEnable\" on_disable=\"WDisable\">"
    "<testbox id=\"CHILD\" coords=\"10 20 30 40\" visible=\"1\" enabled=\"1\"/>"
    "</window>"
    "</desktop>";

class WindowTest : public TwTest {
 protected:
  void StartWindow(int fp_iFrames) {
    g_iShow = g_iHide = g_iEnable = g_iDisable = 0;
    UseReplay(ReplayFrames(fp_iFrames, 250));
    twtest::WriteData(kWindowGui);
    StartEngine();
    engine->sfxOutputDevice = audio::kAudioDeviceManual;
    engine->SFX_Init(44100);
    g_bAppActive = 1;
    gui->RegisterAction(&OnShow, "WShow");
    gui->RegisterAction(&OnHide, "WHide");
    gui->RegisterAction(&OnEnable, "WEnable");
    gui->RegisterAction(&OnDisable, "WDisable");
    engine->LoadResource("GUI_T");
    window = Element<CGUIWindow>("W");
    child = gui->GetElement(gui->GetElementID("CHILD"));
    soundShow = engine->SFX_SoundGetIID("SND_SHOW");
    soundHide = engine->SFX_SoundGetIID("SND_HIDE");
  }
  bool Playing(int fp_iSound) {
    return engine->SFX_SoundGetStatus(fp_iSound) == audio::BASS_ACTIVE_PLAYING;
  }
  void StopSounds() {
    engine->SFX_SoundStop(soundShow);
    engine->SFX_SoundStop(soundHide);
  }
  // One frame, then the child's quad: drawn or not, where, how opaque.
  void ExpectFrame(bool fp_bDrawn, float fp_fX = 0, float fp_fY = 0, int fp_iAlpha = 0) {
    Frame();
    ASSERT_EQ(Quads().size(), fp_bDrawn ? 1u : 0u);
    if (!fp_bDrawn) return;
    EXPECT_FLOAT_EQ(Quads()[0].x, fp_fX);
    EXPECT_FLOAT_EQ(Quads()[0].y, fp_fY);
    EXPECT_FLOAT_EQ(Quads()[0].width, 30.0f);
    EXPECT_EQ(Alpha(Quads()[0].color), fp_iAlpha);
  }
  CGUIWindow* window = nullptr;
  CGUIElement* child = nullptr;
  int soundShow = -1, soundHide = -1;
};

}  // namespace

// With the default colours the alpha along the curve is t itself; the x
// runs 200 t and the y -100 (1 - t)^2 + 100 t^2; the child sits at (10, 20).
TEST_F(WindowTest, ShowAndHideFollowTheCurvesAndReverseHalfWay) {
  StartWindow(20);
  ExpectFrame(false);  // hidden: nothing of the subtree is drawn
  gui->ExecuteElementCommand("W", GUICMD_SHOW);
  EXPECT_TRUE(Playing(soundShow));
  EXPECT_EQ(g_iShow, 1);
  StopSounds();
  ExpectFrame(true, 60, -30, 63);  // t = 0.25
  EXPECT_FALSE(child->absEnabled);  // no input while it moves
  ExpectFrame(true, 110, 20, 127);  // t = 0.5: alpha 0.5
  gui->ExecuteElementCommand("W", GUICMD_HIDE);
  EXPECT_TRUE(Playing(soundHide));
  EXPECT_FALSE(Playing(soundShow));
  EXPECT_EQ(g_iHide, 1);
  StopSounds();
  ExpectFrame(true, 60, -30, 63);  // back from where it was
  ExpectFrame(false);
  EXPECT_EQ(window->windowState, GUIWINDOW_HIDDEN);

  gui->ExecuteElementCommand("W", GUICMD_SHOW);
  StopSounds();
  ExpectFrame(true, 60, -30, 63);
  ExpectFrame(true, 110, 20, 127);
  ExpectFrame(true, 160, 70, 191);  // t = 0.75
  ExpectFrame(true, 210, 120, 255);
  EXPECT_EQ(window->windowState, GUIWINDOW_SHOWN);
  EXPECT_TRUE(child->absEnabled);

  // Shown already: no sound, no action, stays fully shown.
  gui->ExecuteElementCommand("W", GUICMD_SHOW);
  EXPECT_FALSE(Playing(soundShow));
  EXPECT_EQ(g_iShow, 2);
  ExpectFrame(true, 210, 120, 255);
  EXPECT_EQ(g_iHide, 1);

  // A time shortened while shown: the way back starts at the shown end of
  // the curve instead of beyond it.
  gui->SetElementParam("W", "time_showhide", CGUIValue(0.5f));
  gui->ExecuteElementCommand("W", GUICMD_HIDE);
  ExpectFrame(true, 210, 120, 255);
  ExpectFrame(true, 210, 120, 255);
  ExpectFrame(true, 110, 20, 127);
  ExpectFrame(false);
}

TEST_F(WindowTest, HideOnAHiddenWindowEnableDisableAndTheShortestTime) {
  StartWindow(6);
  // Hidden: no sound, no action, but one update in state hiding.
  gui->ExecuteElementCommand("W", GUICMD_HIDE);
  EXPECT_FALSE(Playing(soundHide));
  EXPECT_EQ(g_iHide, 0);
  EXPECT_EQ(window->windowState, GUIWINDOW_HIDING);
  ExpectFrame(false);
  EXPECT_EQ(window->windowState, GUIWINDOW_HIDDEN);

  // Enable and disable run their actions each time.
  gui->ExecuteElementCommand("W", GUICMD_DISABLE);
  gui->ExecuteElementCommand("W", GUICMD_DISABLE);
  EXPECT_EQ(g_iDisable, 2);
  EXPECT_FALSE(window->enabled);
  gui->ExecuteElementCommand("W", GUICMD_ENABLE);
  EXPECT_EQ(g_iEnable, 1);
  EXPECT_TRUE(window->enabled);

  // 0 is the shortest time: shown one frame after the command.
  gui->SetElementParam("W", "time_showhide", CGUIValue(0.0f));
  EXPECT_FLOAT_EQ(gui->GetElementParam("W", "time_showhide").GetFloat(), 0.001f);
  gui->ExecuteElementCommand("W", GUICMD_SHOW);
  ExpectFrame(true, 210, 120, 255);
  EXPECT_EQ(window->windowState, GUIWINDOW_SHOWN);

  EXPECT_FLOAT_EQ(gui->GetElementParam("W", "location_middle").GetPoint().x, 100.0f);
  EXPECT_FLOAT_EQ(gui->GetElementParam("W", "color_middle").GetRect().height, 0.5f);
  EXPECT_FLOAT_EQ(gui->GetElementParam("W", "sound_show").GetFloat(),
                  static_cast<float>(soundShow));
}
