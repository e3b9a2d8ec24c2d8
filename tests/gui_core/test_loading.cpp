// GUI data loading through the resource subsystem: element trees, attributes
// in document order with styles among them, styles and enumerations loaded on
// demand, value texts by type, empty values, reuse of existing IDs, scrambled
// data, and the loaders' error texts.
#include <string>

#include "gui_fixture.h"

using guitest::CTestBox;
using guitest::GuiTest;
using guitest::SRes;
using guitest::Thrown;

namespace {

int s_iNativeCalls = 0;
void NativeClick() { ++s_iNativeCalls; }

SRes Gui(const std::string& fp_strID, const std::string& fp_strBody) {
  return SRes{fp_strID, "GUIDATA", fp_strID + ".dat", fp_strBody};
}
SRes Style(const std::string& fp_strID, const std::string& fp_strAttrs) {
  return SRes{fp_strID, "GUISTYLEDATA", fp_strID + ".dat", "<guistyle " + fp_strAttrs + "/>"};
}
SRes Enum(const std::string& fp_strID, const std::string& fp_strAttrs) {
  return SRes{fp_strID, "GUIENUMDATA", fp_strID + ".dat", "<guienum " + fp_strAttrs + "/>"};
}

}  // namespace

TEST_F(GuiTest, GuiDataBuildsTheTreeWithAttributesInDocumentOrder) {
  guitest::WriteRespack({
      Style("STY_BIG", "zorder=\"9\" coords=\"1 2 300 40\" tag=\"5\""),
      Style("STY_TAG", "tag=\"6\""),
      Gui("GUI_MAIN",
          "<?xml version=\"1.0\"?>\n<!-- screens -->\n<desktop ignored=\"1\">\n"
          "  <testbox id=\"W\" visible=\"1\" coords=\"10 20 200 32\">\n"
          "    <testbox id=\"W_A\" tag=\"1\" style=\"STY_BIG\"/>\n"
          "    <testbox id=\"W_B\" style=\"STY_BIG\" tag=\"2\"/>\n"
          "    <testbox id=\"W_C\" style=\"STY_TAG\" style1=\"STY_BIG\"/>\n"
          "    <testbox id=\"W_D\" style9=\"STY_BIG\" style=\"STY_TAG\">text<testbox id=\"W_D_1\"/></testbox>\n"
          "  </testbox>\n"
          "  <testbox id=\"X\"/>\n"
          "</desktop>\n"),
  });
  StartEngine();
  engine->LoadResource("GUI_MAIN");

  // Document order of elements: a parent before its children.
  const char* kOrder[] = {"DESKTOP", "W", "W_A", "W_B", "W_C", "W_D", "W_D_1", "X"};
  ASSERT_EQ(gui->GetElementCount(), 8);
  for (int i = 0; i < 8; ++i) EXPECT_EQ(gui->GetElement(i)->GetID(), kOrder[i]);
  EXPECT_EQ(gui->GetElement(0)->GetChildCount(), 2);
  EXPECT_EQ(gui->GetElement(1)->GetChildCount(), 4);
  EXPECT_EQ(gui->GetElement(6)->GetParent(), gui->GetElement(5));

  // Attributes take effect in document order, styles among them.
  struct Case {
    const char* id;
    float tag;
  };
  const Case kTags[] = {{"W_A", 5}, {"W_B", 2}, {"W_C", 5}, {"W_D", 6}};
  for (const Case& c : kTags)
    EXPECT_EQ(gui->GetElementParam(c.id, "tag").GetFloat(), c.tag) << c.id;
  const GUIRECT r = gui->GetElementParam("W", "coords").GetRect();
  EXPECT_EQ(r.x, 10.0f);
  EXPECT_EQ(r.height, 32.0f);
  EXPECT_EQ(gui->GetElementParam("W_B", "zorder").GetFloat(), 9.0f);
}

TEST_F(GuiTest, ValueTextsByParameterType) {
  guitest::WriteRespack({
      Enum("ENUM_FRAMES", "zeta=\"TEX_3\" alpha=\"TEX_1\" mid=\"TEX_2\""),
      Gui("GUI_V",
          "<desktop>"
          "<testbox id=\"B1\" visible=\"1\" enabled=\"true\"/>"
          "<testbox id=\"B2\" visible=\"True\" enabled=\"yes\"/>"
          "<testbox id=\"B3\" visible=\"0\" enabled=\"TRUE\"/>"
          "<testbox id=\"N\" on_click=\"NativeClick\" zorder=\"-3.7\" tag=\"1e3\"/>"
          "<testbox id=\"S\" on_click=\"nativeclick\"/>"
          "<testbox id=\"E\" enum_frames=\"ENUM_FRAMES\"/>"
          "</desktop>"),
  });
  StartEngine();
  s_iNativeCalls = 0;
  gui->RegisterAction(&NativeClick, "NativeClick");
  engine->LoadResource("GUI_V");

  const struct {
    const char* id;
    bool visible, enabled;
  } kBools[] = {{"B1", true, true}, {"B2", false, false}, {"B3", false, false}};
  for (const auto& b : kBools) {
    EXPECT_EQ(gui->GetElementParam(b.id, "visible").GetBool(), b.visible) << b.id;
    EXPECT_EQ(gui->GetElementParam(b.id, "enabled").GetBool(), b.enabled) << b.id;
  }
  EXPECT_EQ(gui->GetElementParam("N", "zorder").GetFloat(), -3.0f);
  EXPECT_EQ(gui->GetElementParam("N", "tag").GetFloat(), 1000.0f);

  // A registered name binds the native action; any other a script action.
  CTestBox* tmp_pN = Element<CTestBox>("N");
  ASSERT_NE(tmp_pN, nullptr);
  EXPECT_EQ(tmp_pN->onClick.kind, GUIACTION_NATIVE);
  gui->ExecuteElementCommand("N", 20);
  EXPECT_EQ(s_iNativeCalls, 1);
  CTestBox* tmp_pS = Element<CTestBox>("S");
  EXPECT_EQ(tmp_pS->onClick.kind, GUIACTION_SCRIPT);
  EXPECT_EQ(tmp_pS->onClick.scriptName, "nativeclick");
  // Looked up only when it runs.
  RunLua("function nativeclick() M2DGUI_SetElementParam('S', 'tag', 42) end");
  gui->ExecuteElementCommand("S", 20);
  EXPECT_EQ(gui->GetElementParam("S", "tag").GetFloat(), 42.0f);

  // The enumeration was loaded on demand, its items in document order.
  CGUIEnum* tmp_pEnum = Element<CTestBox>("E")->frames;
  ASSERT_NE(tmp_pEnum, nullptr);
  ASSERT_EQ(tmp_pEnum->GetCount(), 3);
  EXPECT_EQ(tmp_pEnum->GetName(0), "zeta");
  EXPECT_EQ(tmp_pEnum->GetValue(2), "TEX_2");
  EXPECT_EQ(gui->GetEnumsManager()->FindItem("ENUM_FRAMES"), 0);
}

TEST_F(GuiTest, EnumerationsAndStylesAreLoadedOnce) {
  guitest::WriteRespack({
      Enum("ENUM_A", "a=\"1\""),
      Style("STY_A", "tag=\"3\""),
      Style("STY_EMPTY", ""),
  });
  StartEngine();
  engine->LoadResource("ENUM_A");
  CGUIEnum* tmp_pFirst = gui->GetEnumsManager()->GetItem(0);
  engine->LoadResource("ENUM_A");
  EXPECT_EQ(gui->GetEnumsManager()->GetCount(), 1);
  EXPECT_EQ(gui->GetEnumsManager()->GetItem(0), tmp_pFirst);
  EXPECT_EQ(tmp_pFirst->GetCount(), 1);
  EXPECT_EQ(tmp_pFirst->GetValue(0), "1");

  engine->LoadResource("STY_A");
  engine->LoadResource("STY_A");
  EXPECT_EQ(gui->GetStylesManager()->GetCount(), 1);

  // An empty style only warns when applied.
  engine->LoadResource("STY_EMPTY");
  gui->AddNewElement("testbox", "A", 0);
  gui->GetStylesManager()->GetItem(1)->ApplyTo(1);
  EXPECT_EQ(CountLog(" !: Warning: an empty GUI style!"), 1);
  EXPECT_EQ(gui->GetElementParam("A", "tag").GetFloat(), 0.0f);
}

TEST_F(GuiTest, AnExistingIdIsReusedWhereItIs) {
  guitest::WriteRespack({
      Gui("GUI_1", "<desktop><testbox id=\"P\"/><testbox id=\"A\" tag=\"1\"/></desktop>"),
      Gui("GUI_2", "<desktop><testbox id=\"P\"><label id=\"A\" tag=\"2\"/></testbox></desktop>"),
  });
  StartEngine();
  engine->LoadResource("GUI_1");
  engine->LoadResource("GUI_2");
  ASSERT_EQ(gui->GetElementCount(), 3);
  EXPECT_EQ(gui->GetElementParam("A", "tag").GetFloat(), 2.0f);
  EXPECT_EQ(gui->GetElement(2)->GetParent(), gui->GetElement(0));
  EXPECT_EQ(gui->GetElement(1)->GetChildCount(), 0);
}

TEST_F(GuiTest, EmptyValuesAreLoggedAndFailInTheElement) {
  guitest::WriteRespack({
      Gui("GUI_E1", "<desktop><testbox id=\"A\" on_click=\"\"/></desktop>"),
      Gui("GUI_E2", "<desktop><testbox id=\"B\" coords=\"\"/></desktop>"),
      Style("STY_E", "tag=\"\""),
      Gui("GUI_E3", "<desktop><testbox id=\"C\" style=\"STY_E\"/></desktop>"),
  });
  StartEngine();
  // An action ignores the empty value.
  engine->LoadResource("GUI_E1");
  EXPECT_FALSE(Element<CTestBox>("A")->onClick.IsSet());
  EXPECT_EQ(CountLog(" !: Cannot process GUI element param: value string is empty!"), 1);
  // A typed parameter fails in its getter; the element stays.
  EXPECT_EQ(Thrown([&] { engine->LoadResource("GUI_E2"); }).description,
            "CGUIValue error: current type is not GUIRECT!");
  EXPECT_EQ(gui->GetElementID("B"), 2);
  // A style keeps the empty value and hands it over when applied.
  EXPECT_EQ(Thrown([&] { engine->LoadResource("GUI_E3"); }).description,
            "CGUIValue error: current type is not float!");
  EXPECT_EQ(CountLog(" !: Cannot process GUI element param: value string is empty!"), 3);
}

TEST_F(GuiTest, LoaderErrorTexts) {
  guitest::WriteRespack({
      Gui("GUI_ROOT", "<Desktop><testbox id=\"A\"/></Desktop>"),
      SRes{"ENUM_ROOT", "GUIENUMDATA", "er.dat", "<guienums a=\"1\"/>"},
      SRes{"STY_ROOT", "GUISTYLEDATA", "sr.dat", "<desktop tag=\"1\"/>"},
      Gui("GUI_PARAM", "<desktop><testbox id=\"A\" tag=\"1\" colour=\"1 1 1 1\" zorder=\"2\"/></desktop>"),
      Style("STY_ID", "id=\"X\""),
      Style("STY_STYLE", "style=\"STY_ID\""),
      Gui("GUI_NOSTYLE", "<desktop><testbox id=\"B\" style=\"STY_MISSING\"/></desktop>"),
      Gui("GUI_NOTSTYLE", "<desktop><testbox id=\"C\" style=\"ENUM_OK\"/></desktop>"),
      Enum("ENUM_OK", "a=\"1\""),
      Gui("GUI_NOENUM", "<desktop><testbox id=\"D\" enum_frames=\"STY_OK\"/></desktop>"),
      Style("STY_OK", "tag=\"1\""),
      Gui("GUI_CLASS", "<desktop><nosuchclass id=\"E\"/></desktop>"),
      Gui("GUI_NOID", "<desktop><testbox visible=\"1\"/></desktop>"),
      Gui("GUI_TYPE", "<desktop><testbox id=\"F\" oddparam=\"1\"/></desktop>"),
      SRes{"GUI_EMPTY", "GUIDATA", "empty.dat", "\r\r"},
  });
  StartEngine();
  gui->RegisterElementParam("oddparam", 900, 8);
  struct Case {
    const char* id;
    int type;
    const char* text;
  };
  const Case kCases[] = {
      {"GUI_ROOT", 2, "Cannot load GUI data from XML file: invalid root node name!"},
      {"ENUM_ROOT", 2, "Cannot load GUIENUM data from XML file: invalid root node name!"},
      {"STY_ROOT", 2, "Cannot load GUISTYLE data from XML file: invalid root node name!"},
      {"GUI_PARAM", 2,
       "Cannot process GUI element param: invalid param name! Param name = colour"},
      {"STY_ID", 2, "Cannot process GUI element param: invalid param name! Param name = id"},
      {"STY_STYLE", 2,
       "Cannot process GUI element param: invalid param name! Param name = style"},
      {"GUI_NOSTYLE", 2, "Cannot find GUISTYLE data! ID = STY_MISSING"},
      {"GUI_NOTSTYLE", 2, "Cannot find GUISTYLE data! ID = ENUM_OK"},
      {"GUI_NOENUM", 2, "Cannot find GUIENUM data! ID = STY_OK"},
      {"GUI_CLASS", 2, "Cannot add GUI element: invalid class! Class ID = nosuchclass Element ID = E"},
      {"GUI_NOID", 2, "Cannot add GUI element: element ID is null string!"},
      {"GUI_TYPE", 2, "Cannot process GUI element param: invalid param type id!"},
      {"GUI_EMPTY", 1, "XMLERROR: buffer is empty."},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.id);
    const CEHSException e = Thrown([&] { engine->LoadResource(c.id); });
    EXPECT_EQ(e.type, c.type);
    EXPECT_EQ(e.code, 0);
    EXPECT_EQ(e.description, c.text);
  }
  // A throw stops the load where it happened: what was set before stays.
  EXPECT_EQ(gui->GetElementParam("A", "tag").GetFloat(), 1.0f);
  EXPECT_EQ(gui->GetElementParam("A", "zorder").GetFloat(), 0.0f);
  EXPECT_EQ(gui->GetStylesManager()->GetCount(), 1);  // STY_OK only
  EXPECT_EQ(CountLog(" !: Cannot find resource with ID = STY_MISSING"), 1);
}

TEST_F(GuiTest, ScrambledGuiDataLoadsInEncryptMode) {
  std::string tmp_strXml = "<desktop>\r\n<testbox id=\"Z\" tag=\"4\"/></desktop>";
  for (char& c : tmp_strXml) c = static_cast<char>(c ^ 0xB3);
  guitest::WriteRespack({Gui("GUI_Z", tmp_strXml)});
  StartEngine();
  engine->bXMLEncryptMode = 1;
  engine->LoadResource("GUI_Z");
  EXPECT_EQ(gui->GetElementParam("Z", "tag").GetFloat(), 4.0f);
}
