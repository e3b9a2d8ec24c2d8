// "advtile": enter, leave, click and hot-key actions from the replayed mouse
// and keyboard, nothing while disabled, the hot key's forms. "tip": shown by
// the manager, fading in over its appear time, following the cursor and
// flipping at the screen edges, never at a negative position.
#include <string>

#include "m2dgui_stdclass_advtile.h"
#include "m2dgui_stdclass_tip.h"
#include "tiles_fixture.h"

using tilestest::ReplayFrames;
using tilestest::TilesTest;
using Events = std::vector<std::string>;

TEST_F(TilesTest, AdvTileRunsFocusClickAndHotkeyActions) {
  UseReplay(ReplayFrames(14, 20, [](int i) -> std::string {
    switch (i) {
      case 1: return "cursor 10 10\n";
      case 2: return "cursor 120 120\n";
      case 3: return "mouse 0 0 0 1\n";
      case 4: return "mouse 0 0 0\n";
      case 5: return "cursor 10 10\nkeys 30\n";
      case 6: return "keys\nmouse 0 0 0 1\n";  // a click outside
      case 7: return "mouse 0 0 0\nkeys 30\n";
      case 8: return "keys\ncursor 120 120\n";
      case 10: return "cursor 10 10\n";
      case 11: return "cursor 120 120\nkeys 30\n";
      case 13: return "keys\n";
      default: return "";
    }
  }));
  LoadGui(
      "<desktop><advtile id=\"AT\" coords=\"100 100 50 50\" visible=\"1\" enabled=\"1\" "
      "on_gotfocus=\"A_GOT\" on_lostfocus=\"A_LOST\" on_click=\"A_CLICK\" on_hotkey=\"A_HOTKEY\" "
      "hotkey=\"A\"/></desktop>");
  const Events kWant[] = {
      {},                       // 1 outside
      {"GOT"},                  // 2 entered
      {"CLICK"},                // 3 left button down over it
      {},                       // 4 released
      {"LOST", "HOTKEY"},       // 5 left; the hot key works anywhere
      {},                       // 6 click outside
      {"HOTKEY"},               // 7
      {"GOT"},                  // 8 entered again
  };
  for (size_t i = 0; i < std::size(kWant); ++i) {
    Frame();
    EXPECT_EQ(TakeEvents(), kWant[i]) << "frame " << i + 1;
  }
  // Disabled under the mouse: leaving, coming back and the hot key run
  // nothing; enabled again under the mouse it sees no new enter event.
  gui->ExecuteElementCommand("AT", 4, 0.0f);
  for (int i = 9; i <= 11; ++i) Frame();
  EXPECT_EQ(TakeEvents(), Events{});
  gui->ExecuteElementCommand("AT", 3, 0.0f);
  Frame();
  Frame();
  EXPECT_EQ(TakeEvents(), Events{});
  // Hidden, likewise.
  gui->ExecuteElementCommand("AT", 2, 0.0f);
  Frame();
  EXPECT_EQ(TakeEvents(), Events{});
  EXPECT_TRUE(Quads().empty());
}

TEST_F(TilesTest, HotkeyTakesANameOrTheLowBitsOfACode) {
  UseReplay(ReplayFrames(2, 20));
  StartEngine();
  gui->AddNewElement("advtile", "AT", 0);
  const struct {
    CGUIValue value;
    float code;
  } kCases[] = {
      {CGUIValue("RETURN"), 28}, {CGUIValue(28.7f), 28},       {CGUIValue(300.0f), 44},
      {CGUIValue("NOSUCHKEY"), 0}, {CGUIValue(-1.0f), 255},    {CGUIValue(1e30f), 255},
      {CGUIValue(__builtin_nanf("")), 0},
  };
  for (const auto& c : kCases) {
    gui->SetElementParam("AT", "hotkey", c.value);
    EXPECT_EQ(gui->GetElementParam("AT", "hotkey").GetFloat(), c.code);
  }
  // Actions are not readable.
  EXPECT_THROW(gui->GetElementParam("AT", "on_click"), CEHSException);
}

namespace {

// T and T2 carry tips; TIP has a child; TIP2 is too big for the screen.
const char* const kTipGui =
    "<desktop>"
    "<tip id=\"TIP\" coords=\"16 4 100 20\" color=\"1 1 1 0.8\" tipappeartime=\"0.4\" "
    "on_show=\"A_SHOW\"><tile id=\"TIPTEXT\" coords=\"2 2 10 10\" visible=\"1\"/></tip>"
    "<tip id=\"TIP2\" coords=\"16 4 900 700\" tipappeartime=\"0\"/>"
    "<tile id=\"T\" coords=\"0 0 800 300\" visible=\"1\" tip=\"TIP\" drawscheme=\"6\"/>"
    "<tile id=\"T2\" coords=\"0 300 800 300\" visible=\"1\" tip=\"TIP2\" drawscheme=\"6\"/>"
    "</desktop>";

}  // namespace

TEST_F(TilesTest, TipFadesInFollowsTheCursorAndFlipsAtTheEdges) {
  // Frames of 100 ms; the right button is held from frame 1 on, so the tip
  // shows at once and the cursor moves without motion being reported.
  UseReplay(ReplayFrames(6, 100, [](int i) -> std::string {
    switch (i) {
      case 1: return "mouse 0 0 0 2\ncursor 50 50\n";
      case 2: return "cursor 750 50\n";
      case 3: return "cursor 50 290\n";
      case 4: return "cursor 750 290\n";
      case 5: return "cursor 400 590\n";
      default: return "";
    }
  }));
  LoadGui(kTipGui);
  // Tips are not in their parent's child list.
  EXPECT_EQ(gui->GetElement(0)->GetChildCount(), 2);
  EXPECT_FLOAT_EQ(gui->GetElementParam("TIP2", "tipappeartime").GetFloat(), 0.01f);

  const struct {
    float x, y, alpha;
  } kSteps[] = {
      {66, 54, 0.2f},   // shown this frame: 0.1 s of the 0.4 s fade gone
      {634, 54, 0.4f},  // flipped left of the cursor: 750 - 16 - 100
      {66, 290 + 4, 0.6f},
      {634, 294, 0.8f},
  };
  for (const auto& s : kSteps) {
    Frame();
    SCOPED_TRACE("x " + std::to_string(s.x));
    ASSERT_EQ(Quads().size(), 2u);
    EXPECT_FLOAT_EQ(Quads()[0].x, s.x);
    EXPECT_FLOAT_EQ(Quads()[0].y, s.y);
    EXPECT_FLOAT_EQ(Quads()[0].width, 100.0f);
    EXPECT_FLOAT_EQ(Quads()[1].x, s.x + 2.0f);
    EXPECT_NEAR(static_cast<double>(Quads()[0].color >> 24), s.alpha * 255.0, 1.5);
    EXPECT_EQ(Quads()[0].color & 0xFFFFFFu, 0xFFFFFFu);
  }
  EXPECT_EQ(TakeEvents(), Events{"SHOW"});

  // Near the bottom: flipped above the cursor (590 - 4 - 20 = 566) would fit;
  // TIP2 does not fit either way and is held at 0, 0.
  Frame();
  ASSERT_EQ(Quads().size(), 1u);
  EXPECT_FLOAT_EQ(Quads()[0].x, 0.0f);
  EXPECT_FLOAT_EQ(Quads()[0].y, 0.0f);
  EXPECT_EQ(Quads()[0].color >> 24, 0xFFu);

  // Shown again by command: fully transparent until it updates.
  CGUITip* tmp_pTip = Element<CGUITip>("TIP");
  gui->ExecuteElementCommand("TIP", 2, 0.0f);
  EXPECT_FALSE(tmp_pTip->visible);
  gui->ExecuteElementCommand("TIP", 1, 0.0f);
  EXPECT_TRUE(tmp_pTip->visible && tmp_pTip->enabled);
  EXPECT_EQ(tmp_pTip->absColor.height, 0.0f);
  EXPECT_FLOAT_EQ(tmp_pTip->fadeTimer, 0.4f);
  EXPECT_EQ(TakeEvents(), Events{"SHOW"});
}

TEST_F(TilesTest, TipFlipsAboveTheCursorAtTheBottomEdge) {
  UseReplay(ReplayFrames(2, 100, [](int i) -> std::string {
    return i == 1 ? "mouse 0 0 0 2\ncursor 50 590\n" : "";
  }));
  LoadGui(
      "<desktop><tip id=\"TIP\" coords=\"16 4 100 20\"/>"
      "<tile id=\"T\" coords=\"0 0 800 600\" visible=\"1\" tip=\"TIP\" drawscheme=\"6\"/>"
      "</desktop>");
  Frame();
  ASSERT_EQ(Quads().size(), 1u);
  EXPECT_FLOAT_EQ(Quads()[0].x, 66.0f);
  EXPECT_FLOAT_EQ(Quads()[0].y, 590.0f - 4.0f - 20.0f);
}
