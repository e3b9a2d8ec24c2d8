// Tips as the manager and the element base run them: the current tip chosen
// during the update (the deepest and last element under the mouse), the
// one-second rest, movement restarting it, the right button showing it at
// once, the show command, the tip drawn over everything, SetCurTip's range
// rule, and "tip" naming an element that does not exist yet.
#include <string>

#include "gui_fixture.h"

using guitest::CTestTip;
using guitest::GuiTest;
using guitest::ReplayFrames;
using guitest::SRes;

namespace {

// Two boxes, the second inside the first; both have tips. The mouse rests at
// (50, 50) over both from frame 1 on.
const char* const kTipGui =
    "<desktop>"
    "<testtip id=\"TIP_OUTER\" coords=\"16 0 100 20\" visible=\"1\"/>"
    "<testtip id=\"TIP_INNER\" coords=\"16 0 100 20\" visible=\"1\"/>"
    "<testbox id=\"OUTER\" coords=\"0 0 400 400\" visible=\"1\" tip=\"TIP_OUTER\">"
    "<testbox id=\"INNER\" coords=\"40 40 20 20\" visible=\"1\" tip=\"TIP_INNER\"/>"
    "</testbox>"
    "<testbox id=\"PLAIN\" coords=\"500 0 100 100\" visible=\"1\"/>"
    "</desktop>";

}  // namespace

TEST_F(GuiTest, TipShowsAfterOneSecondOfRestAndHidesOnMovement) {
  // Frames of 250 ms; the mouse moves in frame 6, the right button is held
  // in frames 8 and 9, the cursor leaves in frame 10.
  UseReplay(ReplayFrames(12, 250, [](int i) -> std::string {
    if (i == 1) return "cursor 50 50\n";
    if (i == 6) return "mouse 2 0 0\n";
    if (i == 7) return "mouse 0 0 0\n";
    if (i == 8) return "mouse 0 0 0 2\n";
    if (i == 10) return "mouse 0 0 0\ncursor 550 50\n";
    return "";
  }));
  guitest::WriteRespack({SRes{"GUI_T", "GUIDATA", "t.dat", kTipGui}});
  StartEngine();
  engine->LoadResource("GUI_T");
  // Tips are not children of the desktop.
  EXPECT_EQ(gui->GetElement(0)->GetChildCount(), 2);
  CTestTip* tmp_pTip = Element<CTestTip>("TIP_INNER");
  const int tmp_iInner = gui->GetElementID("TIP_INNER");

  struct Step {
    float timer;
    bool drawn;
    int shows;
  };
  const Step kSteps[] = {
      {0.75f, false, 0}, {0.5f, false, 0}, {0.25f, false, 0},
      {0.0f, true, 1},   // one second of rest: shown
      {0.0f, true, 1},   // stays, no second show
      {0.75f, false, 1},  // moved: the second starts again
      {0.5f, false, 1},
      {0.0f, true, 2},  // right button: at once
      {0.0f, true, 2},
      {1.0f, false, 2},  // over no element with a tip
  };
  int tmp_iFrame = 0;
  for (const Step& s : kSteps) {
    ++tmp_iFrame;
    Frame();
    SCOPED_TRACE("frame " + std::to_string(tmp_iFrame));
    EXPECT_EQ(gui->GetCurTip(), tmp_iFrame < 10 ? tmp_iInner : -1);
    EXPECT_FLOAT_EQ(gui->GetTipTimer(), s.timer);
    EXPECT_EQ(tmp_pTip->shows, s.shows);
    // Drawn last, over the tree, at the cursor plus its offset.
    const bool tmp_bTipDrawn = !Quads().empty() && Quads().back().x == 66.0f &&
                               Quads().back().width == 100.0f;
    EXPECT_EQ(tmp_bTipDrawn, s.drawn);
    EXPECT_EQ(Quads().size(), s.drawn ? 4u : 3u);
  }
  EXPECT_EQ(Element<CTestTip>("TIP_OUTER")->shows, 0);
  EXPECT_EQ(tmp_pTip->updates, 4);
}

TEST_F(GuiTest, TipOfAHiddenElementOrAnotherElementRestarts) {
  UseReplay(ReplayFrames(10, 250, [](int i) -> std::string {
    if (i == 1) return "cursor 50 50\n";
    if (i == 6) return "cursor 10 10\n";  // only over OUTER now, no motion reported
    return "";
  }));
  guitest::WriteRespack({SRes{"GUI_T", "GUIDATA", "t.dat", kTipGui}});
  StartEngine();
  engine->LoadResource("GUI_T");
  const int tmp_iInner = gui->GetElementID("TIP_INNER");
  const int tmp_iOuter = gui->GetElementID("TIP_OUTER");
  for (int i = 0; i < 4; ++i) Frame();
  EXPECT_EQ(gui->GetCurTip(), tmp_iInner);
  EXPECT_EQ(gui->GetTipTimer(), 0.0f);
  EXPECT_EQ(Element<CTestTip>("TIP_INNER")->shows, 1);
  // A hidden element asks for no tip; its parent's tip is current then, and
  // its second starts again.
  gui->ExecuteElementCommand("INNER", 2);
  Frame();
  EXPECT_EQ(gui->GetCurTip(), tmp_iOuter);
  EXPECT_EQ(gui->GetTipTimer(), 0.75f);
  for (int i = 0; i < 3; ++i) Frame();
  EXPECT_EQ(gui->GetTipTimer(), 0.0f);
  EXPECT_EQ(Element<CTestTip>("TIP_OUTER")->shows, 1);
  EXPECT_EQ(Element<CTestTip>("TIP_INNER")->shows, 1);

  // SetCurTip outside the list changes nothing; the last call in range wins.
  gui->SetCurTip(-1);
  gui->SetCurTip(9999);
  gui->SetCurTip("NOPE");
  EXPECT_EQ(gui->GetCurTip(), tmp_iOuter);
  gui->SetCurTip("PLAIN");
  EXPECT_EQ(gui->GetCurTip(), gui->GetElementID("PLAIN"));
}

TEST_F(GuiTest, TipParameterNamesOrCreatesTheTipElement) {
  StartEngine();
  // The "tip" class may not be part of the library yet; the test's own stands in.
  try {
    gui->RegisterElementClass(&guitest::CreateTestTip, "tip");
  } catch (const CEHSException&) {
  }
  gui->AddNewElement("testbox", "A", 0);
  gui->AddNewElement("testbox", "B", 0);
  gui->SetElementParam("A", "tip", CGUIValue("TIP_NEW"));
  const int tmp_iTip = gui->GetElementID("TIP_NEW");
  ASSERT_EQ(tmp_iTip, 3);
  EXPECT_EQ(gui->GetElement(tmp_iTip)->GetParent(), gui->GetElement(0));
  gui->SetElementParam("B", "tip", CGUIValue("TIP_NEW"));
  EXPECT_EQ(gui->GetElementCount(), 4);
  EXPECT_EQ(gui->GetElement(1)->tip, tmp_iTip);
  EXPECT_EQ(gui->GetElement(2)->tip, tmp_iTip);
  // A number is the element ID itself.
  gui->SetElementParam("B", "tip", CGUIValue(2.7f));
  EXPECT_EQ(gui->GetElement(2)->tip, 2);
}
