// The GUI manager: a fresh manager, the registries and their duplicate
// errors, adding elements and addressing them by integer or string ID, the
// base element's parameters and commands, z-order sorting and draw order on
// the recording device, the delayed-command queue, the native action
// argument list, and a second manager in the same engine.
#include <lua.hpp>

#include <climits>
#include <cmath>
#include <string>

#include "gui_fixture.h"
#include "m2dgui_stdclasses.h"

using guitest::CTestBox;
using guitest::GuiTest;
using guitest::ReplayFrames;
using guitest::Thrown;

namespace {

void ExpectGameError(const std::function<void()>& fp_fn, const std::string& fp_strText) {
  const CEHSException e = Thrown(fp_fn);
  EXPECT_EQ(e.type, EHS_TYPE_GAME) << fp_strText;
  EXPECT_EQ(e.code, 0) << fp_strText;
  EXPECT_EQ(e.description, fp_strText);
}

}  // namespace

TEST_F(GuiTest, FreshManagerHasOnlyTheDesktopAndTheRegistries) {
  StartEngine();
  EXPECT_EQ(GetGUI(), gui.get());
  ASSERT_EQ(gui->GetElementCount(), 1);
  EXPECT_EQ(gui->GetElementID("DESKTOP"), 0);
  EXPECT_EQ(gui->GetElementID("NOPE"), -1);
  EXPECT_EQ(gui->GetElementID(""), -1);
  EXPECT_NE(dynamic_cast<CGUIDesktop*>(gui->GetElement(0)), nullptr);
  EXPECT_EQ(gui->GetElement(1), nullptr);
  EXPECT_EQ(gui->GetElement(-1), nullptr);

  // The desktop covers the screen, visible and enabled.
  const GUIRECT r = gui->GetElementParam("DESKTOP", "coords").GetRect();
  EXPECT_EQ(r.width, 800.0f);
  EXPECT_EQ(r.height, 600.0f);
  EXPECT_TRUE(gui->GetElementParam(0, 6).GetBool());
  EXPECT_TRUE(gui->GetElementParam(0, "enabled").GetBool());
  EXPECT_EQ(CMorvaneGUI::screenWidth, 800);
  EXPECT_EQ(CMorvaneGUI::screenHeight, 600);
  EXPECT_FLOAT_EQ(CMorvaneGUI::frameDelta, 0.1f);

  // All 125 parameters, with their numbers and types.
  struct P {
    const char* name;
    int id, type;
  };
  const P kSome[] = {{"zorder", 1, GUIVALUE_FLOAT},      {"coords", 2, GUIVALUE_RECT},
                     {"tip", 8, GUIVALUE_STRING},        {"on_click", 15, GUIVALUE_FUNCTION},
                     {"location_shown", 23, GUIVALUE_POINT}, {"enum_frames", 42, GUIVALUE_ENUM},
                     {"tag", 123, GUIVALUE_FLOAT},       {"scroll_enabled", 125, GUIVALUE_BOOL}};
  for (const P& p : kSome) {
    std::int32_t tmp_iID = 0, tmp_iType = 0;
    ASSERT_TRUE(gui->FindParam(p.name, &tmp_iID, &tmp_iType)) << p.name;
    EXPECT_EQ(tmp_iID, p.id);
    EXPECT_EQ(tmp_iType, p.type);
  }
  for (int i = 1; i <= 125; ++i) EXPECT_NE(gui->GetParamType(i), 0) << i;
  EXPECT_EQ(gui->GetParamType(126), 0);

  // A manager while one exists fails the engine assertion.
  const CEHSException e = Thrown([] { CMorvaneGUI tmp_Second; });
  EXPECT_EQ(e.type, EHS_TYPE_GENERAL);
  EXPECT_EQ(e.description, "ZIZ Assertion failed.");
  EXPECT_EQ(GetGUI(), gui.get());
}

TEST_F(GuiTest, RegistrationErrors) {
  StartEngine();
  auto tmp_Action = [] {};
  gui->RegisterAction(+tmp_Action, "DoIt");
  gui->RegisterAction(+tmp_Action, "doit");  // letter case makes another name
  ExpectGameError([&] { gui->RegisterAction(+tmp_Action, "DoIt"); },
                  "Dublicated C++ Action function! ID = DoIt");
  ExpectGameError([&] { gui->RegisterElementClass(&M2DGUI_CreateDesktop, "desktop"); },
                  "Dublicated GUI Element class !ID = desktop");
  ExpectGameError([&] { gui->RegisterElementParam("coords", 500, GUIVALUE_RECT); },
                  "Dublicated GUI Element parameter(strID)! strID = coords iID = 500");
  ExpectGameError([&] { gui->RegisterElementParam("mycoords", 2, GUIVALUE_RECT); },
                  "Dublicated GUI Element parameter(iID)! strID = mycoords iID = 2");
  gui->RegisterElementParam("myparam", 500, GUIVALUE_FLOAT);
  std::int32_t tmp_iID = 0;
  EXPECT_TRUE(gui->FindParam("myparam", &tmp_iID, nullptr));
  EXPECT_EQ(tmp_iID, 500);
}

TEST_F(GuiTest, AddingAndAddressingElements) {
  StartEngine();
  EXPECT_EQ(gui->AddNewElement("testbox", "A", 0), 1);
  EXPECT_EQ(gui->AddNewElement("testbox", "B", "A"), 2);
  EXPECT_EQ(gui->GetElement(2)->GetParent(), gui->GetElement(1));
  EXPECT_EQ(gui->GetElement(1)->GetChild(0), gui->GetElement(2));

  ExpectGameError([&] { gui->AddNewElement("testbox", "C", -1); },
                  "Cannot add GUI element: invalid parent ID! Parent ID = -1 Element ID = C");
  ExpectGameError([&] { gui->AddNewElement("testbox", "C", 3); },
                  "Cannot add GUI element: invalid parent ID! Parent ID = 3 Element ID = C");
  ExpectGameError([&] { gui->AddNewElement("testbox", "C", "NOPARENT"); },
                  "Cannot add GUI element: invalid parent ID! Parent ID = -1 Element ID = C");
  ExpectGameError([&] { gui->AddNewElement("Testbox", "C", 0); },
                  "Cannot add GUI element: invalid class! Class ID = Testbox Element ID = C");
  ExpectGameError([&] { gui->AddNewElement("testbox", "B", 0); },
                  "Cannot add GUI element: dublicated element ID! Element ID = B");
  ExpectGameError([&] { gui->AddNewElement("testbox", "", 0); },
                  "Cannot add GUI element: element ID is null string!");
  EXPECT_EQ(gui->GetElementCount(), 3);  // failures add nothing

  // Manager-level errors of the element and parameter lookups.
  const CGUIValue v(true);
  ExpectGameError([&] { gui->SetElementParam("X", 6, v); },
                  "Cannot set element param: invalid element ID! Element ID = X");
  ExpectGameError([&] { gui->SetElementParam(3, "visible", v); },
                  "Cannot set element param: invalid element ID! Element ID = 3");
  ExpectGameError([&] { gui->SetElementParam(-1, 6, v); },
                  "Cannot set element param: invalid element ID! Element ID = -1");
  ExpectGameError([&] { gui->SetElementParam("A", "Visible", v); },
                  "Cannot set element param: invalid param ID! Param ID = Visible");
  ExpectGameError([&] { gui->GetElementParam("X", "visible"); },
                  "Cannot get element param: invalid element ID! Element ID = X");
  ExpectGameError([&] { gui->GetElementParam(INT_MAX, 6); },
                  "Cannot get element param: invalid element ID! Element ID = 2147483647");
  ExpectGameError([&] { gui->GetElementParam(1, "nothing"); },
                  "Cannot get element param: invalid param ID! Param ID = nothing");
  ExpectGameError([&] { gui->ExecuteElementCommand("X", 1); },
                  "Cannot pass command to element: invalid element ID! Element ID = X");
  ExpectGameError([&] { gui->ExecuteElementCommand(7, 1, 2.0f); },
                  "Cannot pass command to element: invalid element ID! Element ID = 7");
  EXPECT_EQ(gui->GetDelayedCommandCount(), 0);

  // The base element's own errors.
  ExpectGameError([&] { gui->SetElementParam("A", 46, v); },
                  "Cannot set GUI element param: unknown ID! ID = 46  Element ID = A");
  ExpectGameError([&] { gui->GetElementParam("A", "tip"); },
                  "Cannot get GUI element param: unknown ID! ID = 8  Element ID = A");
  ExpectGameError([&] { gui->ExecuteElementCommand("A", 5); },
                  "Cannot execute GUI element command: unknown ID! ID = 5  Element ID = A");
  ExpectGameError([&] { gui->GetElement(2)->SetParent(gui->GetElement(0)); },
                  "Error in setting GUI element parent: possible element dublication!");
  EXPECT_EQ(gui->GetElement(0)->GetChildCount(), 1);
  // A value of the wrong type fails in its getter and changes nothing.
  const CEHSException e = Thrown([&] { gui->SetElementParam("A", "coords", CGUIValue(1.0f)); });
  EXPECT_EQ(e.type, EHS_TYPE_GENERAL);
  EXPECT_EQ(e.description, "CGUIValue error: current type is not GUIRECT!");
}

TEST_F(GuiTest, BaseParametersAndCommands) {
  guitest::WriteRespack({{"TEX_A", "TEXTURE", "a.tga", guitest::SolidTGA(4, 4, 0xFFFF0000)}});
  StartEngine();
  gui->AddNewElement("testbox", "A", 0);

  struct Case {
    const char* param;
    CGUIValue value;
    float readBack;
  };
  const Case kFloats[] = {
      {"zorder", CGUIValue(2.9f), 2.0f},   {"zorder", CGUIValue(-1.5f), -1.0f},
      {"zorder", CGUIValue(NAN), 0.0f},    {"zorder", CGUIValue(1e20f), 2147483647.0f},
      {"tag", CGUIValue(-7.9f), -7.0f},    {"texture", CGUIValue(12.5f), 12.0f},
      {"texture", CGUIValue("TEX_A"), 0.0f},  // demanded: loaded into slot 0
      {"technique", CGUIValue(3.0f), 3.0f},
      {"technique", CGUIValue("TEQ_NONE"), -1.0f},  // unknown: -1 after a log entry
  };
  for (const Case& c : kFloats) {
    SCOPED_TRACE(c.param);
    gui->SetElementParam("A", c.param, c.value);
    EXPECT_FLOAT_EQ(gui->GetElementParam("A", c.param).GetFloat(), c.readBack);
  }
  EXPECT_EQ(CountLog(" !: Cannot find iID of technique with strID = TEQ_NONE"), 1);

  gui->SetElementParam("A", "coords", CGUIValue(GUIRECT{1, 2, 3, 4}));
  EXPECT_EQ(gui->GetElement(1)->absRect.width, 3.0f);
  gui->SetElementParam("A", "color", CGUIValue(GUIRECT{0.5f, 0.25f, 1, 1}));
  EXPECT_EQ(gui->GetElementParam(1, 5).GetRect().y, 0.25f);
  EXPECT_EQ(gui->GetElement(1)->absColor.x, 0.5f);

  // New elements are hidden and disabled until shown and enabled.
  EXPECT_FALSE(gui->GetElementParam("A", "visible").GetBool());
  EXPECT_FALSE(gui->GetElementParam("A", "enabled").GetBool());
  gui->ExecuteElementCommand("A", 1);
  gui->ExecuteElementCommand(1, 3, 0.0f);
  EXPECT_TRUE(gui->GetElementParam("A", "visible").GetBool());
  EXPECT_TRUE(gui->GetElementParam("A", "enabled").GetBool());
  gui->ExecuteElementCommand("A", 2);
  gui->ExecuteElementCommand("A", 4, -1.0f);  // no delay: at once
  EXPECT_FALSE(gui->GetElementParam("A", "visible").GetBool());
  EXPECT_FALSE(gui->GetElementParam("A", "enabled").GetBool());
}

TEST_F(GuiTest, ZOrderSortsSiblingsAndSetsTheDrawOrder) {
  UseReplay(ReplayFrames(3, 100));
  StartEngine();
  // Three siblings at x 10, 20, 30 given z-orders 5, 1, 3 draw second, third, first.
  const float kX[] = {10, 20, 30};
  const float kZ[] = {5, 1, 3};
  for (int i = 0; i < 3; ++i) {
    const std::string tmp_strID = "S" + std::to_string(i);
    gui->AddNewElement("testbox", tmp_strID.c_str(), 0);
    gui->SetElementParam(tmp_strID.c_str(), "coords", CGUIValue(GUIRECT{kX[i], 0, 5, 5}));
    gui->SetElementParam(tmp_strID.c_str(), "visible", CGUIValue(true));
  }
  // Not sorted when added, only when a z-order is set.
  Frame();
  ASSERT_EQ(Quads().size(), 3u);
  EXPECT_EQ(Quads()[0].x, 10.0f);
  for (int i = 0; i < 3; ++i)
    gui->SetElementParam(("S" + std::to_string(i)).c_str(), "zorder", CGUIValue(kZ[i]));
  Frame();
  ASSERT_EQ(Quads().size(), 3u);
  EXPECT_EQ(Quads()[0].x, 20.0f);
  EXPECT_EQ(Quads()[1].x, 30.0f);
  EXPECT_EQ(Quads()[2].x, 10.0f);

  // Equal z-orders keep their order: S0 lowered to 3 stays behind S2, which
  // was before it in the list.
  gui->SetElementParam("S0", "zorder", CGUIValue(3.0f));
  Frame();
  ASSERT_EQ(Quads().size(), 3u);
  EXPECT_EQ(Quads()[0].x, 20.0f);
  EXPECT_EQ(Quads()[1].x, 30.0f);
  EXPECT_EQ(Quads()[2].x, 10.0f);
}

TEST_F(GuiTest, ParentsHandDownPositionColourAndVisibility) {
  UseReplay(ReplayFrames(4, 100));
  StartEngine();
  gui->AddNewElement("testbox", "P", 0);
  gui->AddNewElement("testbox", "C", "P");
  gui->SetElementParam("P", "coords", CGUIValue(GUIRECT{100, 50, 200, 200}));
  gui->SetElementParam("P", "color", CGUIValue(GUIRECT{0.5f, 1, 1, 1}));
  gui->SetElementParam("C", "coords", CGUIValue(GUIRECT{10, 20, 30, 40}));
  gui->SetElementParam("C", "color", CGUIValue(GUIRECT{1, 0.5f, 1, 1}));
  gui->ExecuteElementCommand("P", 1);
  gui->ExecuteElementCommand("C", 1);
  Frame();
  ASSERT_EQ(Quads().size(), 2u);
  EXPECT_EQ(Quads()[1].x, 110.0f);
  EXPECT_EQ(Quads()[1].y, 70.0f);
  EXPECT_EQ(Quads()[1].width, 30.0f);
  // 0.5 x 1 red and 1 x 0.5 green: bytes 127 (truncated) and 127.
  EXPECT_EQ(Quads()[1].color, 0xFF7F7FFFu);

  // The desktop's own coordinates move everything, whatever it is handed.
  gui->SetElementParam("DESKTOP", "coords", CGUIValue(GUIRECT{5, 6, 800, 600}));
  Frame();
  ASSERT_EQ(Quads().size(), 2u);
  EXPECT_EQ(Quads()[1].x, 115.0f);
  EXPECT_EQ(Quads()[1].y, 76.0f);

  // A hidden parent hides its visible child; the child's own flag stays.
  gui->ExecuteElementCommand("P", 2);
  Frame();
  EXPECT_TRUE(Quads().empty());
  EXPECT_TRUE(gui->GetElementParam("C", "visible").GetBool());
  // Hidden and disabled freezes the subtree: the child keeps its last state.
  gui->SetElementParam("P", "coords", CGUIValue(GUIRECT{300, 300, 10, 10}));
  UpdateOnly();
  EXPECT_EQ(gui->GetElement(2)->absRect.x, 115.0f);
}

namespace {
int s_iActionCalls = 0;
void QueueHideOfB() {
  ++s_iActionCalls;
  // A command that queues another: reached in the same walk of the queue.
  GetGUI()->ExecuteElementCommand("B", 2, 0.001f);
}
}  // namespace

TEST_F(GuiTest, DelayedCommandsRunWhenTheirTimeIsUp) {
  // Frames of 125 ms (exact in binary).
  UseReplay(ReplayFrames(8, 125));
  StartEngine();
  s_iActionCalls = 0;
  gui->RegisterAction(&QueueHideOfB, "QueueHideOfB");
  gui->AddNewElement("testbox", "A", 0);
  gui->AddNewElement("testbox", "B", 0);
  CGUIValue tmp_Action;
  tmp_Action.SetFunction(gui->FindAction("QueueHideOfB"));
  gui->SetElementParam("A", "on_click", tmp_Action);

  gui->ExecuteElementCommand("A", 1, 0.5f);   // exactly 4 frames
  gui->ExecuteElementCommand("B", 1, 0.25f);  // 2 frames
  gui->ExecuteElementCommand("A", 20, 0.375f);  // 3 frames: queues B's hide
  EXPECT_EQ(gui->GetDelayedCommandCount(), 3);

  struct Step {
    bool aVisible, bVisible;
    int calls, queued;
  };
  const Step kSteps[] = {
      {false, false, 0, 3}, {false, true, 0, 2}, {false, false, 1, 1}, {true, false, 1, 0}};
  for (const Step& s : kSteps) {
    UpdateOnly();
    SCOPED_TRACE(CMorvaneGUI::frameDelta);
    EXPECT_FLOAT_EQ(CMorvaneGUI::frameDelta, 0.125f);
    EXPECT_EQ(gui->GetElementParam("A", "visible").GetBool(), s.aVisible);
    EXPECT_EQ(gui->GetElementParam("B", "visible").GetBool(), s.bVisible);
    EXPECT_EQ(s_iActionCalls, s.calls);
    EXPECT_EQ(gui->GetDelayedCommandCount(), s.queued);
  }

  // A queued command that fails stops the update with the element's error.
  gui->ExecuteElementCommand("B", 77, 0.1f);
  const CEHSException e = Thrown([&] { UpdateOnly(); });
  EXPECT_EQ(e.description, "Cannot execute GUI element command: unknown ID! ID = 77  Element ID = B");
}

namespace {
std::vector<std::string> s_vSeen;
void ReadArgs() {
  CMorvaneGUI* g = GetGUI();
  std::string s;
  for (int i = 0; i < g->GetActionArgCount(); ++i) s += std::to_string(g->GetActionArg(i).GetType());
  s_vSeen.push_back(s);
}
void OuterAction() {
  ReadArgs();
  // A native action run from inside this one gets its own list.
  CGUIAction tmp_Inner;
  tmp_Inner.SetNative(&ReadArgs);
  tmp_Inner.ExecuteWithArgs({CGUIValue(true)});
  ReadArgs();
}
}  // namespace

TEST_F(GuiTest, NativeActionArgumentsLiveWhileTheActionRuns) {
  StartEngine();
  s_vSeen.clear();
  CGUIAction tmp_Outer;
  tmp_Outer.SetNative(&OuterAction);
  tmp_Outer.ExecuteWithArgs(
      {CGUIValue(GUIRECT{1, 2, 3, 4}), CGUIValue(GUIPOINT{1, 2}), CGUIValue(2.0f)});
  const std::vector<std::string> kExpected = {"651", "2", "651"};
  EXPECT_EQ(s_vSeen, kExpected);
  EXPECT_EQ(gui->GetActionArgCount(), 0);
  EXPECT_EQ(Thrown([&] { gui->GetActionArg(0); }).description,
            "Invalid action argument index! Index = 0");

  // The plain protocol: push, call, clear.
  gui->PushActionArg(1.0f);
  gui->PushActionArg(false);
  EXPECT_EQ(gui->GetActionArgCount(), 2);
  EXPECT_EQ(gui->GetActionArg(1).GetType(), GUIVALUE_BOOL);
  gui->ClearActionArgs();
  EXPECT_EQ(gui->GetActionArgCount(), 0);

  // An unset action with arguments does nothing at all.
  CGUIAction tmp_None;
  EXPECT_NO_THROW(tmp_None.ExecuteWithArgs({CGUIValue(1.0f)}));
}

TEST_F(GuiTest, ScriptActionsGetTheirArgumentsAsScriptValues) {
  StartEngine();
  RunLua("function OnArgs(...)\n"
         "  got = '' for i = 1, select('#', ...) do got = got .. tostring((select(i, ...))) .. ',' end\n"
         "end\n");
  RunLua("function OnBools(a, b) gotb = tostring(a) .. tostring(b) end\n");
  CGUIAction a;
  a.SetScript("OnArgs");
  a.ExecuteWithArgs({CGUIValue(GUIRECT{1, 2, 3, 4}), CGUIValue(GUIPOINT{5, 6}), CGUIValue(7.5f)});
  a.SetScript("OnBools");
  a.ExecuteWithArgs({CGUIValue(true), CGUIValue(false)});
  lua_State* L = engine->SCR_GetState();
  lua_getglobal(L, "got");
  EXPECT_STREQ(lua_tostring(L, -1), "1,2,3,4,5,6,7.5,");
  lua_getglobal(L, "gotb");
  EXPECT_STREQ(lua_tostring(L, -1), "truefalse");
  lua_settop(L, 0);
}

TEST_F(GuiTest, ASecondManagerInTheSameEngineWorks) {
  guitest::WriteRespack(
      {{"GUI_A", "GUIDATA", "a.dat", "<desktop><testbox id=\"A\" visible=\"1\"/></desktop>"}});
  StartEngine();
  engine->LoadResource("GUI_A");
  EXPECT_EQ(gui->GetElementCount(), 2);
  gui.reset();
  EXPECT_EQ(GetGUI(), nullptr);
  // Loading GUI data without a manager fails cleanly.
  EXPECT_EQ(Thrown([&] { engine->LoadResource("GUI_A"); }).description, "ZIZ Assertion failed.");

  gui = std::make_unique<CMorvaneGUI>();
  gui->RegisterElementClass(&guitest::CreateTestBox, "testbox");
  EXPECT_EQ(gui->GetElementCount(), 1);
  engine->LoadResource("GUI_A");
  EXPECT_EQ(gui->GetElementID("A"), 1);
  EXPECT_TRUE(gui->GetElementParam("A", "visible").GetBool());
}
