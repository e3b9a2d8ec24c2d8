// The GUI script API from Lua: each function's results, the argument type
// checks with their index, the value forms of SetElementParam and
// GetElementParam by argument count and type, delayed commands from a
// script, and the manager's errors reaching the script's caller unchanged.
#include <lua.hpp>

#include <string>

#include "gui_fixture.h"

using guitest::GuiTest;
using guitest::ReplayFrames;
using guitest::Thrown;

namespace {

std::string Global(lua_State* fp_pL, const char* fp_pszName) {
  lua_getglobal(fp_pL, fp_pszName);
  const char* s = lua_tostring(fp_pL, -1);
  std::string r = s != nullptr ? s : "nil";
  lua_pop(fp_pL, 1);
  return r;
}

}  // namespace

TEST_F(GuiTest, ScriptFunctionsCreateFindSetAndRead) {
  StartEngine();
  RunLua(
      "a = M2DGUI_AddNewElement('testbox', 'L_MW_TIME_TIME', 0)\n"
      "b = M2DGUI_AddNewElement('testbox', 'B', 'L_MW_TIME_TIME')\n"
      "c = M2DGUI_AddNewElement('testbox', 'C', 1.9)\n"  // truncated to 1
      "idb = M2DGUI_GetElementID('B')\n"
      "none = M2DGUI_GetElementID('NOPE')\n"
      "M2DGUI_SetElementParam('B', 'coords', 1, 2, 3, 4)\n"
      "M2DGUI_SetElementParam(2, 6, true)\n"
      "M2DGUI_SetElementParam('B', 123, 7.9)\n"
      "M2DGUI_SetElementParam(2, 'on_click', 'OnClickB')\n"
      "x, y, w, h = M2DGUI_GetElementParam('B', 'coords')\n"
      "vis = tostring(M2DGUI_GetElementParam(2, 'visible'))\n"
      "tag = M2DGUI_GetElementParam(2, 123)\n"
      "function OnClickB() clicked = 'yes' end\n");
  lua_State* L = engine->SCR_GetState();
  EXPECT_EQ(Global(L, "a"), "1");
  EXPECT_EQ(Global(L, "b"), "2");
  EXPECT_EQ(Global(L, "c"), "3");
  EXPECT_EQ(gui->GetElement(3)->GetParent(), gui->GetElement(1));
  EXPECT_EQ(Global(L, "idb"), "2");
  EXPECT_EQ(Global(L, "none"), "-1");
  EXPECT_EQ(Global(L, "x") + Global(L, "y") + Global(L, "w") + Global(L, "h"), "1234");
  EXPECT_EQ(Global(L, "vis"), "true");
  EXPECT_EQ(Global(L, "tag"), "7");
  // A string sets an action parameter to a script action of that name.
  gui->ExecuteElementCommand("B", 20);
  EXPECT_EQ(Global(L, "clicked"), "yes");
}

TEST_F(GuiTest, ScriptFunctionArgumentErrors) {
  StartEngine();
  gui->AddNewElement("testbox", "A", 0);
  struct Case {
    const char* chunk;
    const char* text;
  };
  const char* const kCombo =
      "Error in glue function glue_M2DGUI_SetElementParam: invalid combination of arguments!";
  const char* const kGetCombo =
      "Error in glue function glue_M2DGUI_GetElementParam: invalid combination of arguments!";
  const Case kCases[] = {
      {"M2DGUI_AddNewElement(1, 'X', 0)",
       "Error in glue function: glue_M2DGUI_AddNewElement.Invalid argument type. Index = 1"},
      {"M2DGUI_AddNewElement('testbox', 'X', true)",
       "Error in glue function: glue_M2DGUI_AddNewElement.Invalid argument type. Index = 3"},
      {"M2DGUI_AddNewElement('testbox', nil, nil)",
       "Error in glue function: glue_M2DGUI_AddNewElement.Invalid argument type. Index = 2"},
      {"M2DGUI_AddNewElement('testbox')",
       "Error in glue function: glue_M2DGUI_AddNewElement.Invalid argument type. Index = 2"},
      {"M2DGUI_GetElementID(5)",
       "Error in glue function: glue_M2DGUI_GetElementID.Invalid argument type. Index = 1"},
      {"M2DGUI_ExecuteElementCommand('A', '1')",
       "Error in glue function: glue_M2DGUI_ExecuteElementCommand.Invalid argument type. Index = 2"},
      {"M2DGUI_ExecuteElementCommand({}, 1)",
       "Error in glue function: glue_M2DGUI_ExecuteElementCommand.Invalid argument type. Index = 1"},
      {"M2DGUI_ExecuteElementCommand('A', 1, 'soon')",
       "Error in glue function: glue_M2DGUI_ExecuteElementCommand.Invalid argument type. Index = 3"},
      {"M2DGUI_SetCurTip(true)",
       "Error in glue function: glue_M2DGUI_SetCurTip.Invalid argument type. Index = 1"},
      {"M2DGUI_SetCurTip()",
       "Error in glue function: glue_M2DGUI_SetCurTip.Invalid argument type. Index = 1"},
      {"M2DGUI_SetElementParam('A', 'coords', 1, 2, 3)", kCombo},
      {"M2DGUI_SetElementParam('A', 'coords', 1, 2, 3, 4, 5)", kCombo},
      {"M2DGUI_SetElementParam('A', 'coords', 1, 2)", nullptr},  // a point: fails in the element
      {"M2DGUI_SetElementParam('A', 'tag')", kCombo},
      {"M2DGUI_SetElementParam('A', 'tag', nil)", kCombo},
      {"M2DGUI_SetElementParam('A', 'tag', {})", kCombo},
      {"M2DGUI_SetElementParam(true, 'tag', 1)", kCombo},
      {"M2DGUI_SetElementParam('A', false, 1)", kCombo},
      {"M2DGUI_GetElementParam('A')", kGetCombo},
      {"M2DGUI_GetElementParam(nil, 'tag')", kGetCombo},
      {"M2DGUI_GetElementParam('A', 'on_click')", nullptr},  // the element's own error
      // The manager's and the element's errors come through unchanged.
      {"M2DGUI_AddNewElement('testbox', 'A', 0)",
       "Cannot add GUI element: dublicated element ID! Element ID = A"},
      {"M2DGUI_SetElementParam('A', 'nope', 1)",
       "Cannot set element param: invalid param ID! Param ID = nope"},
      {"M2DGUI_SetElementParam(99, 1, 1)",
       "Cannot set element param: invalid element ID! Element ID = 99"},
      {"M2DGUI_GetElementParam('A', 'tip')",
       "Cannot get GUI element param: unknown ID! ID = 8  Element ID = A"},
      {"M2DGUI_ExecuteElementCommand(-1, 1)",
       "Cannot pass command to element: invalid element ID! Element ID = -1"},
      {"M2DGUI_ExecuteElementCommand('A', 0/0)",
       "Cannot execute GUI element command: unknown ID! ID = 0  Element ID = A"},
      // A script's own pcall does not swallow it.
      {"pcall(M2DGUI_ExecuteElementCommand, 'NOPE', 1)",
       "Cannot pass command to element: invalid element ID! Element ID = NOPE"},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.chunk);
    const CEHSException e = Thrown([&] { RunLua(c.chunk); });
    if (c.text == nullptr) continue;
    EXPECT_EQ(e.type, EHS_TYPE_GAME);
    EXPECT_EQ(e.code, 0);
    EXPECT_EQ(e.description, c.text);
  }
  EXPECT_EQ(gui->GetElementCount(), 2);
  // Actions are not readable: the element says so.
  EXPECT_EQ(Thrown([&] { RunLua("M2DGUI_GetElementParam('A', 'on_click')"); }).description,
            "Cannot get GUI element param: unknown ID! ID = 15  Element ID = A");
  EXPECT_EQ(Thrown([&] { RunLua("M2DGUI_SetElementParam('A', 'coords', 1, 2)"); }).description,
            "CGUIValue error: current type is not GUIRECT!");
}

TEST_F(GuiTest, ScriptCommandsRunNowOrAfterTheirDelay) {
  UseReplay(ReplayFrames(8, 250));
  StartEngine();
  gui->AddNewElement("testbox", "A", 0);
  gui->AddNewElement("testbox", "B", 0);
  gui->ExecuteElementCommand("A", 1);
  RunLua("M2DGUI_ExecuteElementCommand('A', 2, 1.5)\n"
         "M2DGUI_ExecuteElementCommand(2, 1, 0.5, 99)\n"  // four arguments: at once
         "M2DGUI_SetCurTip('B')\n");
  EXPECT_TRUE(gui->GetElementParam("B", "visible").GetBool());
  EXPECT_EQ(gui->GetCurTip(), 2);
  EXPECT_EQ(gui->GetDelayedCommandCount(), 1);
  for (int i = 1; i <= 6; ++i) {
    UpdateOnly();
    EXPECT_EQ(gui->GetElementParam("A", "visible").GetBool(), i < 6) << i;
  }
}

TEST_F(GuiTest, GetElementParamPushesEachValueType) {
  StartEngine();
  // The element reports a value of each type for parameter 700.
  static CGUIValue s_Value;
  struct CReporter : CGUIElement {
    using CGUIElement::CGUIElement;
    CGUIValue GetParam(std::int32_t fp_iID) override {
      return fp_iID == 700 ? s_Value : CGUIElement::GetParam(fp_iID);
    }
  };
  gui->RegisterElementClass([](const char* id) -> CGUIElement* { return new CReporter(id); },
                            "reporter");
  gui->RegisterElementParam("anyvalue", 700, GUIVALUE_STRING);
  gui->AddNewElement("reporter", "R", 0);
  lua_State* L = engine->SCR_GetState();
  RunLua("function Join(...)\n"
         "  local s = '' for i = 1, select('#', ...) do s = s .. tostring((select(i, ...))) .. ',' end\n"
         "  return s end\n"
         "function Read() n = select('#', M2DGUI_GetElementParam('R', 'anyvalue'))\n"
         "  v = Join(M2DGUI_GetElementParam('R', 700)) end");
  struct Case {
    CGUIValue value;
    const char* n;
    const char* v;
  };
  const Case kCases[] = {
      {CGUIValue(2.5f), "1", "2.5,"},
      {CGUIValue("text"), "1", "text,"},
      {CGUIValue(GUIPOINT{3, 4}), "2", "3,4,"},
      {CGUIValue(GUIRECT{1, 2, 3, 0.5f}), "4", "1,2,3,0.5,"},
  };
  for (const Case& c : kCases) {
    s_Value = c.value;
    RunLua("Read()");
    EXPECT_EQ(Global(L, "n"), c.n);
    EXPECT_EQ(Global(L, "v"), c.v);
  }
  s_Value = CGUIValue(true);
  RunLua("b = tostring(M2DGUI_GetElementParam('R', 700))");
  EXPECT_EQ(Global(L, "b"), "true");
  for (int tmp_iType : {GUIVALUE_NONE, GUIVALUE_FUNCTION, GUIVALUE_ENUM}) {
    s_Value = CGUIValue();
    if (tmp_iType == GUIVALUE_FUNCTION) s_Value.SetFunction(nullptr);
    if (tmp_iType == GUIVALUE_ENUM) s_Value.SetEnum(nullptr);
    EXPECT_EQ(Thrown([&] { RunLua("M2DGUI_GetElementParam('R', 700)"); }).description,
              "Error in glue function glue_M2DGUI_GetElementParam: invalid value type!")
        << tmp_iType;
  }
}
