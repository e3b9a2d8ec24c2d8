// Text boxes: focus by a click on the box, loss of focus by a click
// elsewhere, the right button and Enter (each running its action), typing
// up to "maxchars", Backspace (also on an empty text), the input sound and
// action, the blinking caret that never reaches the "text" read back, and
// "text" cut to "maxchars".
#include <string>

#include "m2dgui_stdclass_label.h"
#include "tw_support.h"

using guitest::ReplayFrames;
using twtest::TwTest;

namespace {

int g_iEnable = 0, g_iDisable = 0, g_iInput = 0;
void OnEnable() { ++g_iEnable; }
void OnDisable() { ++g_iDisable; }
void OnInput() { ++g_iInput; }

const char* const kBoxGui =
    "<desktop>"
    "<textbox id=\"TB\" coords=\"100 100 200 20\" visible=\"1\" font=\"FNT_A\" maxchars=\"3\" "
    "blink_time=\"0.25\" sound_input=\"SND_SHOW\" on_enable=\"TbEnable\" on_disable=\"TbDisable\" "
    "on_input=\"TbInput\"/>"
    "</desktop>";

class TextBoxTest : public TwTest {
 protected:
  void StartBox(const std::string& fp_strReplay) {
    g_iEnable = g_iDisable = g_iInput = 0;
    UseReplay(fp_strReplay);
    twtest::WriteData(kBoxGui);
    StartEngine();
    engine->sfxOutputDevice = audio::kAudioDeviceManual;
    engine->SFX_Init(44100);
    g_bAppActive = 1;
    gui->RegisterAction(&OnEnable, "TbEnable");
    gui->RegisterAction(&OnDisable, "TbDisable");
    gui->RegisterAction(&OnInput, "TbInput");
    engine->LoadResource("GUI_T");
    box = Element<CGUITextBox>("TB");
    sound = engine->SFX_SoundGetIID("SND_SHOW");
  }
  std::string Text() { return gui->GetElementParam("TB", "text").GetString(); }
  bool SoundPlaying() {
    return engine->SFX_SoundGetStatus(sound) == audio::BASS_ACTIVE_PLAYING;
  }
  CGUITextBox* box = nullptr;
  int sound = -1;
};

}  // namespace

TEST_F(TextBoxTest, FocusTypingMaxCharsBackspaceAndCaret) {
  // 125 ms frames (exact in binary, so the caret's timer compares
  // exactly). Keys: 30 "a", 48 "b", 46 "c", 32 "d", 14 Backspace.
  StartBox(ReplayFrames(20, 125, [](int i) -> std::string {
    switch (i) {
      case 1: return "cursor 150 110\nmouse 0 0 0 1\n";  // click on the box
      case 2: return "mouse 0 0 0\nkeys 30\n";
      case 3: return "keys 48\n";
      case 4: return "keys 46\n";
      case 5: return "keys 32\n";  // a fourth character: beyond maxchars
      case 6: return "keys 14\n";
      case 7: return "keys\n";
      case 8: return "keys 14\n";
      case 9: return "keys\n";
      case 10: return "keys 14\n";
      case 11: return "keys\n";
      case 12: return "keys 14\n";  // on the empty text
      default: return "";
    }
  }));
  ASSERT_FALSE(box->enabled);
  struct Step {
    const char* text;
    const char* drawn;
    int inputs;
  };
  // The caret (blink 0.25 s) comes on in the focusing frame and toggles
  // every second frame after it; a change shows the text alone until the
  // caret's next toggle.
  const Step kSteps[] = {
      {"", "_", 0},       {"a", "a", 1},   {"ab", "ab", 2}, {"abc", "abc_", 3},
      {"abc", "abc_", 3}, {"ab", "ab", 4}, {"ab", "ab", 4}, {"a", "a_", 5},
      {"a", "a_", 5},     {"", "", 6},     {"", "", 6},     {"", "_", 7},
  };
  int tmp_iFrame = 0;
  for (const Step& s : kSteps) {
    ++tmp_iFrame;
    SCOPED_TRACE("frame " + std::to_string(tmp_iFrame));
    if (tmp_iFrame == 2) engine->SFX_SoundStop(sound);
    Frame();
    EXPECT_EQ(Text(), s.text);
    EXPECT_EQ(box->drawnText, s.drawn);
    EXPECT_EQ(g_iInput, s.inputs);
    EXPECT_EQ(Quads().size(), std::string(s.drawn).size());
    if (tmp_iFrame == 5) {
      // Nothing appended: no input sound.
      EXPECT_FALSE(SoundPlaying());
    }
    if (tmp_iFrame == 12) {
      // Backspace on the empty text still plays the sound and runs the action.
      EXPECT_TRUE(SoundPlaying());
    }
    engine->SFX_SoundStop(sound);
  }
  EXPECT_EQ(g_iEnable, 1);
  EXPECT_EQ(g_iDisable, 0);
  EXPECT_TRUE(box->enabled);
  // Characters go after the text, at the box's position.
  EXPECT_FLOAT_EQ(Quads()[0].x, 100.0f);
}

TEST_F(TextBoxTest, ClickElsewhereRightButtonAndEnterUnfocus) {
  StartBox(ReplayFrames(12, 100, [](int i) -> std::string {
    switch (i) {
      case 1: return "cursor 150 110\nmouse 0 0 0 1\n";
      case 2: return "mouse 0 0 0\nkeys 30\n";
      case 3: return "keys\ncursor 500 500\nmouse 0 0 0 1\n";  // click elsewhere
      case 4: return "mouse 0 0 0\nkeys 48\n";              // not focused: ignored
      case 5: return "keys\ncursor 150 110\nmouse 0 0 0 1\n";
      case 6: return "mouse 0 0 0\nkeys 28\n";  // Enter
      case 7: return "keys\n";
      case 8: return "mouse 0 0 0 1\n";
      case 9: return "mouse 0 0 0 2\n";  // right button
      default: return "";
    }
  }));
  struct Step {
    bool focused;
    int enables, disables;
  };
  const Step kSteps[] = {{true, 1, 0}, {true, 1, 0}, {false, 1, 1}, {false, 1, 1}, {true, 2, 1},
                         {false, 2, 2}, {false, 2, 2}, {true, 3, 2}, {false, 3, 3}};
  int tmp_iFrame = 0;
  for (const Step& s : kSteps) {
    ++tmp_iFrame;
    SCOPED_TRACE("frame " + std::to_string(tmp_iFrame));
    Frame();
    EXPECT_EQ(box->enabled, s.focused);
    EXPECT_EQ(g_iEnable, s.enables);
    EXPECT_EQ(g_iDisable, s.disables);
    if (!s.focused) {
      EXPECT_EQ(box->drawnText, Text());  // no caret once unfocused
    }
  }
  EXPECT_EQ(Text(), "a");
  // Commands run their action even when the state does not change.
  gui->ExecuteElementCommand("TB", 4);
  EXPECT_EQ(g_iDisable, 4);
}

TEST_F(TextBoxTest, TextIsCutToMaxCharsAndParametersReadBack) {
  StartBox(ReplayFrames(2, 100));
  gui->SetElementParam("TB", "text", CGUIValue("WXYZ12"));
  EXPECT_EQ(Text(), "WXY");
  Frame();
  EXPECT_EQ(Quads().size(), 3u);  // drawn at once, unfocused
  // A smaller maxchars does not cut the text already there; zero or less
  // takes nothing.
  gui->SetElementParam("TB", "maxchars", CGUIValue(1.0f));
  EXPECT_EQ(Text(), "WXY");
  gui->SetElementParam("TB", "maxchars", CGUIValue(-5.0f));
  gui->SetElementParam("TB", "text", CGUIValue("abc"));
  EXPECT_EQ(Text(), "");

  gui->SetElementParam("TB", "blink_time", CGUIValue(0.0f));
  gui->SetElementParam("TB", "language", CGUIValue(5.0f));
  gui->SetElementParam("TB", "blink_char", CGUIValue("|"));
  gui->SetElementParam("TB", "activerect", CGUIValue(GUIRECT{1, 2, 3, 4}));
  EXPECT_FLOAT_EQ(gui->GetElementParam("TB", "blink_time").GetFloat(), 0.1f);
  EXPECT_FLOAT_EQ(gui->GetElementParam("TB", "language").GetFloat(), 1.0f);
  EXPECT_FLOAT_EQ(gui->GetElementParam("TB", "maxchars").GetFloat(), -5.0f);
  EXPECT_FLOAT_EQ(gui->GetElementParam("TB", "sound_input").GetFloat(), static_cast<float>(sound));
  EXPECT_EQ(gui->GetElementParam("TB", "blink_char").GetString(), "|");
  EXPECT_FLOAT_EQ(gui->GetElementParam("TB", "activerect").GetRect().width, 3.0f);
  // The active rectangle came from the first coordinates.
  gui->SetElementParam("TB", "coords", CGUIValue(GUIRECT{0, 0, 10, 10}));
  EXPECT_FLOAT_EQ(box->activeRect.x, 1.0f);
}
