// Flex areas: the update action's arguments in their native and script
// forms, every frame whatever the visibility, the redraw action at the
// flex's place in the drawing order, children never reached. Timers: the
// factor action over a period, once and looped, freezing while disabled,
// restart, a period of 0, the permanent action, and the random delays with
// their bounds.
#include <cmath>
#include <cstdlib>
#include <set>
#include <string>
#include <vector>

#include "m2dgui_stdclass_timer.h"
#include "tw_support.h"

using guitest::ReplayFrames;
using twtest::TwTest;

namespace {

// {==== Flex ==================================================================

struct SFlexCall {
  int argCount;
  GUIRECT rect, color;
  bool visible, enabled;
};
std::vector<SFlexCall> g_vFlexCalls;
int g_iRedraws = 0;

void FlexUpdate() {
  CMorvaneGUI* g = GetGUI();
  g_vFlexCalls.push_back(SFlexCall{g->GetActionArgCount(), g->GetActionArg(0).GetRect(),
                                   g->GetActionArg(1).GetRect(), g->GetActionArg(2).GetBool(),
                                   g->GetActionArg(3).GetBool()});
}
void FlexRedraw() {
  ++g_iRedraws;
  CMorvane* e = GetEngine();
  e->GFX_VQuadSetColor(1, 1, 1, 1);
  e->GFX_VQuadSetPos(500, 500, 7, 7, 0.5f);
  e->GFX_SceneRender();
}

const char* const kFlexGui =
    "<desktop>"
    "<testbox id=\"ABOVE\" zorder=\"3\" coords=\"0 0 11 11\" visible=\"1\"/>"
    "<flex id=\"F\" zorder=\"2\" coords=\"100 200 50 60\" color=\"1 0.5 1 0.25\" visible=\"1\" "
    "enabled=\"1\" on_update=\"FlexUpdate\" on_redraw=\"FlexRedraw\">"
    "<testbox id=\"INSIDE\" coords=\"0 0 5 5\" visible=\"1\"/>"
    "</flex>"
    "<testbox id=\"BELOW\" zorder=\"1\" coords=\"0 0 10 10\" visible=\"1\"/>"
    "<flex id=\"FS\" coords=\"1 2 3 4\" visible=\"1\" on_update=\"FlexScript\"/>"
    "<label id=\"OUT\" coords=\"0 0 1 1\"/>"
    "</desktop>";

class FlexTest : public TwTest {
 protected:
  void StartFlex(int fp_iFrames) {
    g_vFlexCalls.clear();
    g_iRedraws = 0;
    UseReplay(ReplayFrames(fp_iFrames, 100));
    twtest::WriteData(kFlexGui);
    StartEngine();
    gui->RegisterAction(&FlexUpdate, "FlexUpdate");
    gui->RegisterAction(&FlexRedraw, "FlexRedraw");
    RunLua(
        "function FlexScript(x, y, w, h, r, g, b, a, v, e, extra)\n"
        "  M2DGUI_SetElementParam('OUT', 'text', x..','..y..','..w..','..h..','..r..','..g..','"
        "..b..','..a..','..tostring(v)..','..tostring(e)..','..tostring(extra))\n"
        "end\n");
    engine->LoadResource("GUI_T");
  }
};

// }====

// {==== Timer =================================================================

std::vector<float> g_vFactors;
int g_iPermanent = 0, g_iRandom = 0;
void TimerFactor() { g_vFactors.push_back(GetGUI()->GetActionArg(0).GetFloat()); }
void TimerPermanent() { ++g_iPermanent; }
void TimerRandom() { ++g_iRandom; }

class TimerTest : public TwTest {
 protected:
  void StartTimers(const std::string& fp_strGui, int fp_iFrames) {
    g_vFactors.clear();
    g_iPermanent = g_iRandom = 0;
    // 125 ms frames: exact in binary, so the periods end on exact frames.
    UseReplay(ReplayFrames(fp_iFrames, 125));
    twtest::WriteData(fp_strGui);
    StartEngine();
    gui->RegisterAction(&TimerFactor, "TFactor");
    gui->RegisterAction(&TimerPermanent, "TPerm");
    gui->RegisterAction(&TimerRandom, "TRandom");
    engine->LoadResource("GUI_T");
  }
  // Frames, then the factors reported in them.
  std::vector<float> Run(int fp_iFrames) {
    g_vFactors.clear();
    for (int i = 0; i < fp_iFrames; ++i) UpdateOnly();
    return g_vFactors;
  }
};

// }====

}  // namespace

TEST_F(FlexTest, UpdateReportsTheAbsoluteStateAndRedrawKeepsTheDrawingOrder) {
  StartFlex(4);
  Frame();
  ASSERT_EQ(g_vFlexCalls.size(), 1u);
  const SFlexCall& c = g_vFlexCalls[0];
  EXPECT_EQ(c.argCount, 4);
  EXPECT_FLOAT_EQ(c.rect.x, 100.0f);
  EXPECT_FLOAT_EQ(c.rect.y, 200.0f);
  EXPECT_FLOAT_EQ(c.rect.width, 50.0f);
  EXPECT_FLOAT_EQ(c.rect.height, 60.0f);
  EXPECT_FLOAT_EQ(c.color.y, 0.5f);
  EXPECT_FLOAT_EQ(c.color.height, 0.25f);
  EXPECT_TRUE(c.visible);
  EXPECT_TRUE(c.enabled);
  // Below, the redraw, above; the flex's own child is never drawn.
  ASSERT_EQ(Quads().size(), 3u);
  EXPECT_FLOAT_EQ(Quads()[0].width, 10.0f);
  EXPECT_FLOAT_EQ(Quads()[1].x, 500.0f);
  EXPECT_FLOAT_EQ(Quads()[2].width, 11.0f);
  EXPECT_FALSE(gui->GetElement(gui->GetElementID("INSIDE"))->absVisible);
  // A script gets ten values.
  EXPECT_EQ(gui->GetElementParam("OUT", "text").GetString(), "1,2,3,4,1,1,1,1,true,false,nil");

  // Hidden: the update still runs every frame, the redraw never.
  gui->ExecuteElementCommand("F", GUICMD_HIDE);
  Frame();
  Frame();
  EXPECT_EQ(g_vFlexCalls.size(), 3u);
  EXPECT_FALSE(g_vFlexCalls.back().visible);
  EXPECT_EQ(g_iRedraws, 1);
  EXPECT_EQ(Quads().size(), 2u);
}

TEST_F(TimerTest, FactorOnceLoopedFrozenRestartedAndPermanent) {
  StartTimers(
      "<desktop><timer id=\"T\" enabled=\"1\" factoraction_time=\"2\" on_factoraction=\"TFactor\" "
      "on_permanentaction=\"TPerm\"/></desktop>",
      60);
  // 16 frames reach the end of 2 s: 15 reports 0.0625 ... 0.9375, then none.
  std::vector<float> v = Run(20);
  ASSERT_EQ(v.size(), 15u);
  for (size_t i = 0; i < v.size(); ++i) EXPECT_FLOAT_EQ(v[i], 0.0625f * static_cast<float>(i + 1));
  EXPECT_EQ(g_iPermanent, 20);

  // Looped: the frame that reaches the end reports 0.
  gui->SetElementParam("T", "factoraction_looped", CGUIValue(true));
  v = Run(2);
  ASSERT_EQ(v.size(), 2u);
  EXPECT_FLOAT_EQ(v[0], 0.0f);
  EXPECT_FLOAT_EQ(v[1], 0.0625f);

  // Disabled: nothing runs, the permanent action neither; enabled again, it
  // goes on from where it stopped.
  gui->ExecuteElementCommand("T", GUICMD_DISABLE);
  EXPECT_TRUE(Run(3).empty());
  EXPECT_EQ(g_iPermanent, 22);
  gui->ExecuteElementCommand("T", GUICMD_ENABLE);
  v = Run(1);
  ASSERT_EQ(v.size(), 1u);
  EXPECT_FLOAT_EQ(v[0], 0.125f);

  gui->ExecuteElementCommand("T", GUICMD_RESTART);
  v = Run(1);
  ASSERT_EQ(v.size(), 1u);
  EXPECT_FLOAT_EQ(v[0], 0.0625f);

  // A period of 0: looped it is complete in every frame, once it never reports.
  gui->SetElementParam("T", "factoraction_time", CGUIValue(0.0f));
  v = Run(2);
  ASSERT_EQ(v.size(), 2u);
  EXPECT_FLOAT_EQ(v[0], 1.0f);
  EXPECT_FLOAT_EQ(v[1], 1.0f);
  gui->SetElementParam("T", "factoraction_looped", CGUIValue(false));
  EXPECT_TRUE(Run(2).empty());
  EXPECT_FLOAT_EQ(gui->GetElementParam("T", "factoraction_time").GetFloat(), 0.0f);
  EXPECT_FALSE(gui->GetElementParam("T", "factoraction_looped").GetBool());
}

TEST_F(TimerTest, RandomDelaysStayInTheirRangeAndFire) {
  // The delay of R is always 0.5 s: (0.55 - 0.5) x 10 truncates to 0 steps.
  StartTimers(
      "<desktop><timer id=\"R\" enabled=\"1\" randomaction_mintime=\"0.5\" "
      "randomaction_maxtime=\"0.55\" on_randomaction=\"TRandom\"/></desktop>",
      20);
  Run(16);
  EXPECT_EQ(g_iRandom, 4);

  // Bounds: each case on a fresh timer (minimum 0, maximum 0.1).
  struct Case {
    float min, max;  // set in this order; NAN: not set
    float readMin, readMax;
  };
  const Case kCases[] = {
      {0.5f, 1.0f, 0.5f, 1.0f},
      {0.5f, 0.3f, 0.5f, 1.5f},   // maximum not above the minimum: minimum + 1
      {5.0f, NAN, 5.0f, 1.1f},    // minimum at or over the maximum: maximum + 1
      {-2.0f, NAN, 0.0f, 0.1f},   // negative minimum: 0
  };
  std::srand(7);
  int tmp_iCase = 0;
  for (const Case& c : kCases) {
    std::string tmp_strID = "R";
    tmp_strID += std::to_string(++tmp_iCase);
    SCOPED_TRACE(tmp_strID);
    gui->AddNewElement("timer", tmp_strID.c_str(), 0);
    gui->SetElementParam(tmp_strID.c_str(), "randomaction_mintime", CGUIValue(c.min));
    if (!std::isnan(c.max))
      gui->SetElementParam(tmp_strID.c_str(), "randomaction_maxtime", CGUIValue(c.max));
    EXPECT_FLOAT_EQ(gui->GetElementParam(tmp_strID.c_str(), "randomaction_mintime").GetFloat(),
                    c.readMin);
    EXPECT_FLOAT_EQ(gui->GetElementParam(tmp_strID.c_str(), "randomaction_maxtime").GetFloat(),
                    c.readMax);
    // The delays drawn: multiples of 0.1 from the minimum, below the maximum.
    CGUITimer* t = Element<CGUITimer>(tmp_strID.c_str());
    std::set<int> tmp_Tenths;
    for (int i = 0; i < 300; ++i) {
      gui->ExecuteElementCommand(tmp_strID.c_str(), GUICMD_RESTART);
      EXPECT_EQ(t->randomElapsed, 0.0f);
      tmp_Tenths.insert(static_cast<int>(std::lround(t->randomTarget * 10.0f)));
    }
    std::set<int> tmp_Expected;
    if (tmp_iCase == 1) tmp_Expected = {5, 6, 7, 8, 9};
    if (tmp_iCase == 2) tmp_Expected = {5, 6, 7, 8, 9, 10, 11, 12, 13, 14};
    if (tmp_iCase == 3) tmp_Expected = {50};  // the maximum below it: always the minimum
    if (tmp_iCase == 4) tmp_Expected = {0};
    EXPECT_EQ(tmp_Tenths, tmp_Expected);
  }
}
