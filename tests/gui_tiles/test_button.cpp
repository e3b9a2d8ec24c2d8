// "button" and "checkbox": press, click, enter, leave and hot-key events with
// their sounds, hold timing, state textures and child colours, the active
// rectangle, the texture filling-in rules, enable and disable actions, and
// the check box's toggle, checked look and radio behaviour.
#include <string>

#include "m2dgui_stdclass_button.h"
#include "m2dgui_stdclass_checkbox.h"
#include "tiles_fixture.h"

using tilestest::ReplayFrames;
using tilestest::SRes;
using tilestest::TilesTest;
using Events = std::vector<std::string>;

namespace {

std::vector<SRes> Resources(const std::vector<std::string>& fp_vTextures,
                            const std::vector<std::string>& fp_vSounds) {
  std::vector<SRes> tmp_v;
  std::uint32_t tmp_uColour = 0xFF102030u;
  for (const std::string& t : fp_vTextures)
    tmp_v.push_back(SRes{t, "TEXTURE", t + ".tga", tilestest::SolidTGA(4, 4, tmp_uColour += 0x10)});
  for (const std::string& s : fp_vSounds)
    tmp_v.push_back(SRes{s, "SOUND", s + ".wav", tilestest::SilentWav(44100)});
  return tmp_v;
}

const std::vector<std::string> kButtonSounds = {"SND_PRESS", "SND_CLICK", "SND_GOT", "SND_LOST",
                                                "SND_HOT"};

}  // namespace

class ButtonTest : public TilesTest {
 protected:
  // The actions noted in the frame, then "~" and the sounds that played.
  Events FrameEvents(const std::vector<std::string>& fp_vSounds) {
    Frame();
    Events tmp_v = TakeEvents();
    for (const std::string& s : fp_vSounds)
      if (TakeSound(s.c_str())) tmp_v.push_back("~" + s);
    return tmp_v;
  }
};

TEST_F(ButtonTest, EventsSoundsTexturesAndChildColoursFollowTheMouse) {
  UseReplay(ReplayFrames(12, 20, [](int i) -> std::string {
    switch (i) {
      case 1: return "cursor 10 10\n";
      case 2: return "cursor 120 120\n";
      case 3: return "mouse 0 0 0 1\n";
      case 4: return "mouse 0 0 0\n";
      case 5: return "mouse 0 0 0 1\n";
      case 6: return "cursor 10 10\n";
      case 7: return "mouse 0 0 0\n";
      case 8: return "keys 57\n";
      case 9: return "keys\n";
      case 10: return "cursor 120 120\nmouse 0 0 0 1\n";
      case 11: return "mouse 0 0 0\nkeys 57\n";
      default: return "";
    }
  }));
  LoadGui(
      "<desktop><button id=\"B\" coords=\"100 100 50 50\" visible=\"1\" enabled=\"1\" "
      "texture=\"TEX_N\" texture_selected=\"TEX_S\" texture_pressed=\"TEX_P\" "
      "texture_disabled=\"TEX_D\" childscolor_selected=\"0 1 0 1\" childscolor_pressed=\"0 0 1 1\" "
      "childscolor_disabled=\"0.5 0.5 0.5 1\" on_press=\"A_PRESS\" on_click=\"A_CLICK\" "
      "on_gotfocus=\"A_GOT\" on_lostfocus=\"A_LOST\" on_hotkey=\"A_HOTKEY\" hotkey=\"SPACE\" "
      "sound_press=\"SND_PRESS\" sound_click=\"SND_CLICK\" sound_gotfocus=\"SND_GOT\" "
      "sound_lostfocus=\"SND_LOST\" sound_hotkey=\"SND_HOT\">"
      "<tile id=\"BT\" coords=\"5 5 10 10\" visible=\"1\"/></button></desktop>",
      Resources({"TEX_N", "TEX_S", "TEX_P", "TEX_D"}, kButtonSounds));
  const struct {
    Events events;
    const char* texture;
    std::uint32_t childColor;
  } kFrames[] = {
      {{}, "TEX_N", 0xFFFFFFFFu},                                  // 1 outside
      {{"GOT", "~SND_GOT"}, "TEX_S", 0xFF00FF00u},                 // 2 entered
      {{"CLICK", "~SND_CLICK"}, "TEX_P", 0xFF0000FFu},             // 3 button down
      {{"PRESS", "~SND_PRESS"}, "TEX_S", 0xFF00FF00u},             // 4 released inside
      {{"CLICK", "~SND_CLICK"}, "TEX_P", 0xFF0000FFu},             // 5 down again
      {{}, "TEX_S", 0xFF00FF00u},                                  // 6 moved out, held
      {{"LOST", "~SND_LOST"}, "TEX_N", 0xFFFFFFFFu},               // 7 released outside: no press
      {{"HOTKEY", "~SND_HOT"}, "TEX_N", 0xFFFFFFFFu},              // 8 hot key
      {{}, "TEX_N", 0xFFFFFFFFu},                                  // 9
  };
  int tmp_iFrame = 0;
  for (const auto& f : kFrames) {
    SCOPED_TRACE("frame " + std::to_string(++tmp_iFrame));
    EXPECT_EQ(FrameEvents(kButtonSounds), f.events);
    ASSERT_EQ(Quads().size(), 2u);
    EXPECT_EQ(Quads()[0].texture, Texture(f.texture));
    EXPECT_EQ(Quads()[1].color, f.childColor);
  }
  // Disabled: the disabled look, nothing fired, nothing played.
  gui->ExecuteElementCommand("B", 4, 0.0f);
  for (int i = 10; i <= 11; ++i) {
    EXPECT_EQ(FrameEvents(kButtonSounds), Events{});
    EXPECT_EQ(Quads()[0].texture, Texture("TEX_D"));
    EXPECT_EQ(Quads()[1].color, 0xFF7F7F7Fu);
  }
}

TEST_F(ButtonTest, HoldFiresAfterStartPlusIntervalThenEveryInterval) {
  // Frames of 125 ms; held from frame 1 to 8, again from 10 to 15.
  UseReplay(ReplayFrames(16, 125, [](int i) -> std::string {
    if (i == 1) return "cursor 120 120\nmouse 0 0 0 1\n";
    if (i == 9) return "mouse 0 0 0\n";
    if (i == 10) return "mouse 0 0 0 1\n";
    if (i == 16) return "mouse 0 0 0\n";
    return "";
  }));
  LoadGui(
      "<desktop><button id=\"B\" coords=\"100 100 50 50\" visible=\"1\" enabled=\"1\" "
      "on_press=\"A_PRESS\" on_click=\"A_CLICK\" on_hold=\"A_HOLD\" holdtime_start=\"0.5\" "
      "holdtime_interval=\"0.25\"/></desktop>");
  Events tmp_vAll;
  for (int i = 1; i <= 9; ++i) {
    Frame();
    for (const std::string& e : TakeEvents()) tmp_vAll.push_back(std::to_string(i) + e);
  }
  // 0.5 s of waiting (frames 1 to 4), then one every 0.25 s.
  EXPECT_EQ(tmp_vAll, (Events{"1CLICK", "6HOLD", "8HOLD", "9PRESS"}));

  // An interval of 0 fires on every frame of the repeat phase.
  gui->SetElementParam("B", "holdtime_interval", CGUIValue(0.0f));
  EXPECT_FLOAT_EQ(gui->GetElementParam("B", "holdtime_start").GetFloat(), 0.5f);
  tmp_vAll.clear();
  for (int i = 10; i <= 16; ++i) {
    Frame();
    for (const std::string& e : TakeEvents()) tmp_vAll.push_back(std::to_string(i) + e);
  }
  EXPECT_EQ(tmp_vAll, (Events{"10CLICK", "14HOLD", "15HOLD", "16PRESS"}));
}

TEST_F(ButtonTest, ActiveRectangleIsItsOwnOrTheFirstCoordinates) {
  UseReplay(ReplayFrames(3, 20, [](int i) -> std::string {
    return i == 1 ? "cursor 120 120\n" : "";
  }));
  StartEngine();
  // Set before the coordinates: kept.
  gui->AddNewElement("button", "OWN", 0);
  gui->SetElementParam("OWN", "activerect", CGUIValue(GUIRECT{110, 110, 20, 20}));
  gui->SetElementParam("OWN", "coords", CGUIValue(GUIRECT{300, 300, 50, 50}));
  // From the first coordinates with a size; later ones do not move it.
  gui->AddNewElement("button", "FIRST", 0);
  gui->SetElementParam("FIRST", "coords", CGUIValue(GUIRECT{0, 0, 0, 0}));
  gui->SetElementParam("FIRST", "coords", CGUIValue(GUIRECT{100, 100, 50, 50}));
  gui->SetElementParam("FIRST", "coords", CGUIValue(GUIRECT{400, 400, 50, 50}));
  gui->AddNewElement("button", "PLAIN", 0);
  gui->SetElementParam("PLAIN", "coords", CGUIValue(GUIRECT{115, 115, 10, 10}));
  gui->SetElementParam("PLAIN", "activerect", CGUIValue(GUIRECT{0, 0, 5, 5}));
  for (const char* e : {"OWN", "FIRST", "PLAIN"}) {
    gui->ExecuteElementCommand(e, 1, 0.0f);
    gui->ExecuteElementCommand(e, 3, 0.0f);
  }
  Frame();
  EXPECT_EQ(Element<CGUIButton>("OWN")->state, GUIBUTTON_SELECTED);
  EXPECT_EQ(Element<CGUIButton>("FIRST")->state, GUIBUTTON_SELECTED);
  EXPECT_EQ(Element<CGUIButton>("PLAIN")->state, GUIBUTTON_NORMAL);
  const GUIRECT tmp_Active = gui->GetElementParam("FIRST", "activerect").GetRect();
  EXPECT_FLOAT_EQ(tmp_Active.x, 100.0f);
  EXPECT_FLOAT_EQ(tmp_Active.width, 50.0f);
}

TEST_F(ButtonTest, TexturesFillInAndEnableActionsRunOnAChange) {
  UseReplay(ReplayFrames(2, 20));
  StartEngine();
  auto Textures = [&](const char* fp_pszID) {
    std::vector<float> tmp_v;
    for (const char* p : {"texture_normal", "texture_disabled", "texture_selected", "texture_pressed"})
      tmp_v.push_back(gui->GetElementParam(fp_pszID, p).GetFloat());
    return tmp_v;
  };
  gui->AddNewElement("button", "A", 0);
  gui->SetElementParam("A", "texture", CGUIValue(3.0f));
  EXPECT_EQ(Textures("A"), (std::vector<float>{3, 3, 3, 3}));
  gui->SetElementParam("A", "texture_selected", CGUIValue(5.0f));
  EXPECT_EQ(Textures("A"), (std::vector<float>{3, 3, 5, 3}));
  // The base texture field is left alone.
  EXPECT_EQ(Element<CGUIButton>("A")->texture, -1);

  gui->AddNewElement("button", "B", 0);
  gui->SetElementParam("B", "texture_pressed", CGUIValue(7.0f));
  EXPECT_EQ(Textures("B"), (std::vector<float>{-1, -1, 7, 7}));
  gui->SetElementParam("B", "texture", CGUIValue(2.0f));
  EXPECT_EQ(Textures("B"), (std::vector<float>{2, 2, 7, 7}));

  CGUIValue tmp_Enable, tmp_Disable;
  tmp_Enable.SetFunction(gui->FindAction("A_ENABLE"));
  tmp_Disable.SetFunction(gui->FindAction("A_DISABLE"));
  gui->SetElementParam("A", "on_enable", tmp_Enable);
  gui->SetElementParam("A", "on_disable", tmp_Disable);
  // A new button starts disabled: the first enable is a change.
  for (int c : {3, 4, 4, 3, 3}) gui->ExecuteElementCommand("A", c, 0.0f);
  EXPECT_EQ(TakeEvents(), (Events{"ENABLE", "DISABLE", "ENABLE"}));
}

TEST_F(ButtonTest, CheckBoxTogglesOnReleaseAndARadioButtonStaysChecked) {
  UseReplay(ReplayFrames(10, 20, [](int i) -> std::string {
    if (i == 1) return "cursor 120 120\n";
    return i % 2 == 0 ? "mouse 0 0 0 1\n" : "mouse 0 0 0\n";
  }));
  const std::vector<std::string> kSounds = {"SND_CHECK", "SND_UNCHECK", "SND_CLICK"};
  LoadGui(
      "<desktop><checkbox id=\"C\" coords=\"100 100 50 50\" visible=\"1\" enabled=\"1\" tag=\"7\" "
      "texture=\"TEX_N\" texture_checked_normal=\"TEX_CN\" texture_checked_selected=\"TEX_CS\" "
      "texture_checked_pressed=\"TEX_CP\" childscolor_checked_pressed=\"1 0 0 1\" "
      "on_check=\"A_CHECK\" on_uncheck=\"A_UNCHECK\" on_click=\"A_CLICK\" on_press=\"A_PRESS\" "
      "sound_check=\"SND_CHECK\" sound_uncheck=\"SND_UNCHECK\" sound_click=\"SND_CLICK\">"
      "<tile id=\"CT\" coords=\"5 5 10 10\" visible=\"1\"/></checkbox></desktop>",
      Resources({"TEX_N", "TEX_CN", "TEX_CS", "TEX_CP"}, kSounds));
  const struct {
    Events events;
    const char* texture;
    std::uint32_t childColor;
  } kFrames[] = {
      {{}, "TEX_N", 0xFFFFFFFFu},                                    // 1 over it
      {{"CLICK", "~SND_CLICK"}, "TEX_N", 0xFFFFFFFFu},               // 2 down
      {{"CHECK(7)", "~SND_CHECK"}, "TEX_CS", 0xFFFFFFFFu},           // 3 released: checked
      {{"CLICK", "~SND_CLICK"}, "TEX_CP", 0xFFFF0000u},              // 4 down
      {{"UNCHECK(7)", "~SND_UNCHECK"}, "TEX_N", 0xFFFFFFFFu},        // 5 released: unchecked
  };
  int tmp_iFrame = 0;
  for (const auto& f : kFrames) {
    SCOPED_TRACE("frame " + std::to_string(++tmp_iFrame));
    EXPECT_EQ(FrameEvents(kSounds), f.events);
    ASSERT_EQ(Quads().size(), 2u);
    EXPECT_EQ(Quads()[0].texture, Texture(f.texture));
    EXPECT_EQ(Quads()[1].color, f.childColor);
  }
  // As a radio button it checks once, then ignores the mouse.
  gui->SetElementParam("C", "radiobutton", CGUIValue(true));
  EXPECT_EQ(FrameEvents(kSounds), (Events{"CLICK", "~SND_CLICK"}));
  EXPECT_EQ(FrameEvents(kSounds), (Events{"CHECK(7)", "~SND_CHECK"}));
  EXPECT_EQ(FrameEvents(kSounds), Events{});
  EXPECT_EQ(Quads()[0].texture, Texture("TEX_CN"));
  EXPECT_EQ(Element<CGUICheckBox>("C")->state, GUIBUTTON_NORMAL);
  EXPECT_EQ(FrameEvents(kSounds), Events{});
  EXPECT_TRUE(gui->GetElementParam("C", "checked").GetBool());

  // Setting the state runs nothing; the commands run only on a change.
  gui->SetElementParam("C", "checked", CGUIValue(false));
  for (int c : {7, 7, 8, 8}) gui->ExecuteElementCommand("C", c, 0.0f);
  EXPECT_EQ(TakeEvents(), (Events{"CHECK(7)", "UNCHECK(7)"}));
  // Disabled, the commands still act but play nothing.
  gui->ExecuteElementCommand("C", 4, 0.0f);
  Frame();
  TakeSound("SND_CHECK");
  gui->ExecuteElementCommand("C", 7, 0.0f);
  EXPECT_FALSE(TakeSound("SND_CHECK"));
  EXPECT_EQ(TakeEvents(), (Events{"CHECK(7)"}));
}
