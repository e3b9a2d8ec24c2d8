// The list box: the visible cells drawn through "on_redrawcell" inside its
// viewport, the scroll limit, selection under the mouse and checking by
// click, the count shrinking under the checked cell, arrow-key navigation
// with "on_scrollshift", and the frame arguments of "on_prepareframe".
#include <cstdio>
#include <limits>
#include <string>
#include <vector>

#include "gui_fixture.h"
#include "m2dgui_stdclass_listbox.h"

using guitest::GuiTest;
using guitest::ReplayFrames;
using guitest::SRes;

namespace {

std::vector<std::string> g_vCalls;

std::string ArgText(const CGUIValue& v) {
  char tmp_sz[128];
  switch (v.GetType()) {
    case GUIVALUE_FLOAT: std::snprintf(tmp_sz, sizeof tmp_sz, "%g", v.GetFloat()); break;
    case GUIVALUE_BOOL:
      std::snprintf(tmp_sz, sizeof tmp_sz, "%s", v.GetBool() ? "true" : "false");
      break;
    case GUIVALUE_POINT:
      std::snprintf(tmp_sz, sizeof tmp_sz, "(%g,%g)", v.GetPoint().x, v.GetPoint().y);
      break;
    case GUIVALUE_RECT: {
      const GUIRECT& r = v.GetRect();
      std::snprintf(tmp_sz, sizeof tmp_sz, "[%g %g %g %g]", r.x, r.y, r.width, r.height);
      break;
    }
    default: std::snprintf(tmp_sz, sizeof tmp_sz, "?");
  }
  return tmp_sz;
}

// Records its name and arguments as "name a b ...".
template <const char* Name>
void Recorder() {
  std::string s = Name;
  CMorvaneGUI* g = GetGUI();
  for (int i = 0; i < g->GetActionArgCount(); ++i) {
    s += ' ';
    s += ArgText(g->GetActionArg(i));
  }
  g_vCalls.push_back(s);
}
constexpr char kCell[] = "cell";
constexpr char kSelect[] = "select";
constexpr char kCheck[] = "check";
constexpr char kShift[] = "shift";
constexpr char kPrepare[] = "prepare";

class ListBoxTest : public GuiTest {
 protected:
  void Start(const std::string& fp_strReplay, const std::string& fp_strAttrs) {
    g_vCalls.clear();
    UseReplay(fp_strReplay);
    guitest::WriteRespack({SRes{"GUI_L", "GUIDATA", "l.dat",
                                "<desktop><listbox id=\"LIST\" visible=\"1\" enabled=\"1\" " +
                                    fp_strAttrs + "/></desktop>"}});
    StartEngine();
    gui->RegisterAction(&Recorder<kCell>, "RecordCell");
    gui->RegisterAction(&Recorder<kSelect>, "RecordSelect");
    gui->RegisterAction(&Recorder<kCheck>, "RecordCheck");
    gui->RegisterAction(&Recorder<kShift>, "RecordShift");
    gui->RegisterAction(&Recorder<kPrepare>, "RecordPrepare");
    engine->LoadResource("GUI_L");
    list = Element<CGUIListBox>("LIST");
    ASSERT_NE(list, nullptr);
  }
  float Get(const char* fp_pszParam) {
    return gui->GetElementParam("LIST", fp_pszParam).GetFloat();
  }
  void Set(const char* fp_pszParam, float fp_fValue) {
    gui->SetElementParam("LIST", fp_pszParam, CGUIValue(fp_fValue));
  }
  std::vector<std::string> Viewports() const {
    std::vector<std::string> tmp_v;
    for (const auto& e : Device()->EventsOf(gfx::null::ECall::SetViewport))
      tmp_v.push_back(std::to_string(e.a) + " " + std::to_string(e.b) + " " + std::to_string(e.c) +
                      " " + std::to_string(e.d));
    return tmp_v;
  }

  CGUIListBox* list = nullptr;
};

}  // namespace

TEST_F(ListBoxTest, DrawsTheVisibleCellsInsideItsViewport) {
  Start(ReplayFrames(2, 20),
        "coords=\"100 50 200 100\" cellheight=\"20\" cellscount=\"10\" scrolly=\"30\" "
        "on_redrawcell=\"RecordCell\"");
  Frame();
  Device()->ClearRecording();
  g_vCalls.clear();
  Frame();
  // Cells 1 to 6: (10 + 100) / 20 truncated + 1 = 6 cells from cell 30 / 20 = 1.
  EXPECT_EQ(g_vCalls,
            (std::vector<std::string>{"cell 1 (100,40)", "cell 2 (100,60)", "cell 3 (100,80)",
                                      "cell 4 (100,100)", "cell 5 (100,120)", "cell 6 (100,140)"}));
  EXPECT_EQ(Viewports(), (std::vector<std::string>{"100 50 200 100", "0 0 800 600"}));

  // Near the end only the cells that exist are drawn.
  Set("scrolly", 1000.0f);
  EXPECT_EQ(Get("scrolly"), 100.0f);  // 10 x 20 - 100
  g_vCalls.clear();
  engine->GFX_SceneBegin();
  gui->Draw();
  engine->GFX_SceneEnd();
  EXPECT_EQ(g_vCalls,
            (std::vector<std::string>{"cell 5 (100,50)", "cell 6 (100,70)", "cell 7 (100,90)",
                                      "cell 8 (100,110)", "cell 9 (100,130)"}));

  // An empty list draws nothing and leaves the viewport alone.
  Set("cellscount", 0.0f);
  Device()->ClearRecording();
  g_vCalls.clear();
  engine->GFX_SceneBegin();
  gui->Draw();
  engine->GFX_SceneEnd();
  EXPECT_TRUE(g_vCalls.empty());
  EXPECT_TRUE(Viewports().empty());
}

TEST_F(ListBoxTest, ParametersKeepTheirLimits) {
  Start(ReplayFrames(1, 20), "coords=\"0 0 100 100\"");
  const float kNaN = std::numeric_limits<float>::quiet_NaN();
  struct Case {
    const char* param;
    float value;
    float expected;
  } kCases[] = {
      {"cellheight", 0.5f, 1.0f},
      {"cellheight", kNaN, 1.0f},
      {"cellheight", 20.0f, 20.0f},
      {"cellscount", -3.0f, 0.0f},
      {"cellscount", 1e20f, 2147483647.0f},
      {"cellscount", 7.9f, 7.0f},
      {"scrolly", -5.0f, 0.0f},
      {"scrolly", kNaN, 0.0f},
      {"scrolly", 25.5f, 25.5f},
      {"scrolly", 500.0f, 40.0f},  // 7 x 20 - 100
      {"selectedcell", 3.7f, 3.0f},
      {"selectedcell", 7.0f, -1.0f},
      {"selectedcell", 1e20f, -1.0f},
      {"checkedcell", -2.0f, -1.0f},
      {"checkedcell", 6.0f, 6.0f},
  };
  for (const Case& c : kCases) {
    Set(c.param, c.value);
    EXPECT_EQ(Get(c.param), c.expected) << c.param << " = " << c.value;
  }
  // A box taller than the list cannot scroll.
  Set("cellscount", 2.0f);
  Set("scrolly", 30.0f);
  EXPECT_EQ(Get("scrolly"), 0.0f);
  EXPECT_FALSE(gui->GetElementParam("LIST", "scroll_enabled").GetBool());
  gui->SetElementParam("LIST", "scroll_enabled", CGUIValue(true));
  EXPECT_TRUE(gui->GetElementParam("LIST", "scroll_enabled").GetBool());
}

TEST_F(ListBoxTest, ShrinkingTheCountUnchecksWithoutActions) {
  Start(ReplayFrames(1, 20),
        "coords=\"0 0 100 100\" cellscount=\"10\" on_selectcell=\"RecordSelect\" "
        "on_checkcell=\"RecordCheck\"");
  Set("checkedcell", 5.0f);
  Set("selectedcell", 4.0f);
  EXPECT_EQ(g_vCalls, (std::vector<std::string>{"check", "select"}));
  // Checking the same cell again still runs the action; selecting it again does not.
  Set("checkedcell", 5.0f);
  Set("selectedcell", 4.0f);
  EXPECT_EQ(g_vCalls.size(), 3u);
  g_vCalls.clear();
  Set("cellscount", 3.0f);
  EXPECT_EQ(Get("checkedcell"), -1.0f);
  EXPECT_EQ(Get("selectedcell"), -1.0f);
  EXPECT_TRUE(g_vCalls.empty());
}

TEST_F(ListBoxTest, MouseSelectsAndClickChecksCells) {
  // Box at (0, 100), 200 x 100, cells of 20 px, 4 cells (80 px: no scrolling).
  Start(ReplayFrames(7, 20,
                     [](int i) -> std::string {
                       switch (i) {
                         case 1: return "cursor 50 135\n";               // 35 / 20 -> cell 1
                         case 2: return "mouse 0 0 0 1\n";               // click: checks 1
                         case 3: return "mouse 0 0 0\ncursor 50 195\n";  // below the last cell
                         case 4: return "mouse 0 0 0 1\n";               // click there: checks 3
                         case 5: return "mouse 0 0 0\ncursor 50 50\n";   // outside
                         case 6: return "cursor 50 101\n";               // cell 0
                         default: return "";
                       }
                     }),
        "coords=\"0 100 200 100\" cellheight=\"20\" cellscount=\"4\" "
        "on_selectcell=\"RecordSelect\" on_checkcell=\"RecordCheck\" "
        "on_prepareframe=\"RecordPrepare\" color=\"1 0.5 0.25 1\"");
  struct Step {
    int selected, checked;
    std::vector<std::string> calls;
  } kSteps[] = {
      {1, -1, {"select", "prepare 1 -1 [1 0.5 0.25 1] true"}},
      {1, 1, {"check", "prepare 1 1 [1 0.5 0.25 1] true"}},
      {-1, 1, {"select", "prepare -1 1 [1 0.5 0.25 1] true"}},
      {-1, 3, {"check", "prepare -1 3 [1 0.5 0.25 1] true"}},
      {-1, 3, {"prepare -1 3 [1 0.5 0.25 1] true"}},
      {0, 3, {"select", "prepare 0 3 [1 0.5 0.25 1] true"}},
  };
  int tmp_iFrame = 0;
  for (const Step& s : kSteps) {
    ++tmp_iFrame;
    g_vCalls.clear();
    Frame();
    EXPECT_EQ(list->selectedCell, s.selected) << "frame " << tmp_iFrame;
    EXPECT_EQ(list->checkedCell, s.checked) << "frame " << tmp_iFrame;
    EXPECT_EQ(g_vCalls, s.calls) << "frame " << tmp_iFrame;
  }
  // Disabled: no selection work, but the frame is still prepared.
  gui->ExecuteElementCommand("LIST", GUICMD_DISABLE);
  g_vCalls.clear();
  Frame();
  EXPECT_EQ(list->selectedCell, 0);
  EXPECT_EQ(g_vCalls, (std::vector<std::string>{"prepare 0 3 [1 0.5 0.25 1] false"}));
}

TEST_F(ListBoxTest, ArrowKeysMoveTheCheckedCellAndKeepItInView) {
  // 40 px box, cells of 20: two cells visible. The cursor stays outside.
  Start(ReplayFrames(6, 20,
                     [](int i) -> std::string {
                       switch (i) {
                         case 1: return "keys 208\n";  // Down with nothing checked
                         case 2: return "keys\n";
                         case 3: return "keys 208\n";  // Down: 0 -> 1
                         case 4: return "keys\n";
                         case 5: return "keys 208\n";   // Down: 1 -> 2, scrolls
                         default: return "keys 200\n";  // Up: 2 -> 1
                       }
                     }),
        "coords=\"0 0 100 40\" cellheight=\"20\" cellscount=\"5\" scroll_enabled=\"1\" "
        "on_checkcell=\"RecordCheck\" on_scrollshift=\"RecordShift\" "
        "on_selectcell=\"RecordSelect\"");
  Frame();
  EXPECT_EQ(list->checkedCell, -1);
  EXPECT_TRUE(g_vCalls.empty());
  Frame();
  Set("checkedcell", 0.0f);
  g_vCalls.clear();
  Frame();
  EXPECT_EQ(list->checkedCell, 1);
  EXPECT_EQ(list->scrollY, 0.0f);
  // The keys do not run "on_selectcell"; the mouse being outside then unselects.
  EXPECT_EQ(g_vCalls, (std::vector<std::string>{"shift 0", "check", "select"}));
  Frame();
  g_vCalls.clear();
  Frame();
  EXPECT_EQ(list->checkedCell, 2);
  EXPECT_EQ(list->scrollY, 20.0f);  // 20 + 40 - 40
  EXPECT_EQ(g_vCalls, (std::vector<std::string>{"shift 20", "check", "select"}));
  Frame();
  EXPECT_EQ(list->checkedCell, 1);
  EXPECT_EQ(list->scrollY, 20.0f);
}

TEST_F(ListBoxTest, ScriptActionsGetNumbers) {
  Start(ReplayFrames(2, 20),
        "coords=\"10 20 100 40\" cellheight=\"20\" cellscount=\"1\" "
        "on_redrawcell=\"LuaCell\" on_prepareframe=\"LuaPrepare\"");
  RunLua(
      "cells = ''\n"
      "function LuaCell(c, x, y) cells = cells .. c .. ':' .. x .. ':' .. y .. ';' end\n"
      "function LuaPrepare(s, c, r, g, b, a, e) prep = s .. ' ' .. c .. ' ' .. a .. ' ' .. "
      "tostring(e) end\n");
  Frame();
  RunLua(
      "if cells ~= '0:10:20;' then error('cells: ' .. cells) end\n"
      "if prep ~= '-1 -1 1 true' then error('prep: ' .. prep) end\n");
}
