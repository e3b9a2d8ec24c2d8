// The scroll box: children shifted by the scroll offset, drawn inside the
// box's viewport, and those entirely outside the box (touching its edge
// counts as outside) updated hidden and disabled so they take no input.
#include <string>
#include <vector>

#include "gui_fixture.h"
#include "m2dgui_stdclass_listbox.h"
#include "m2dgui_stdclass_scrollbox.h"

using guitest::GuiTest;
using guitest::ReplayFrames;
using guitest::SRes;

namespace {
int g_iSelects = 0;
void CountSelect() {
  ++g_iSelects;
}
}  // namespace

TEST_F(GuiTest, ScrollBoxHidesChildrenOutsideAndShiftsTheRest) {
  g_iSelects = 0;
  UseReplay(ReplayFrames(4, 20, [](int i) -> std::string {
    if (i == 1) return "cursor 10 80\n";   // over where LIST lies while it is hidden
    if (i == 3) return "cursor 10 105\n";  // over LIST once scrolled in
    return "";
  }));
  guitest::WriteRespack(
      {SRes{"GUI_S", "GUIDATA", "s.dat",
            "<desktop><scrollbox id=\"BOX\" coords=\"0 100 200 100\" visible=\"1\" enabled=\"1\" "
            "scrolly=\"50\" color=\"1 1 1 0.5\">"
            "<testbox id=\"ABOVE\" coords=\"0 0 50 40\" visible=\"1\" enabled=\"1\"/>"
            "<testbox id=\"TOUCH\" coords=\"60 10 50 40\" visible=\"1\" enabled=\"1\"/>"
            "<testbox id=\"INSIDE\" coords=\"0 60 50 40\" visible=\"1\" enabled=\"1\"/>"
            "<listbox id=\"LIST\" coords=\"0 20 50 20\" cellscount=\"1\" cellheight=\"20\" "
            "visible=\"1\" enabled=\"1\" on_selectcell=\"CountSelect\"/>"
            "</scrollbox></desktop>"}});
  StartEngine();
  gui->RegisterAction(&CountSelect, "CountSelect");
  engine->LoadResource("GUI_S");
  Device()->ClearRecording();
  Frame();

  // Only INSIDE is drawn, moved up by 50 and in the box's colour.
  ASSERT_EQ(Quads().size(), 1u);
  EXPECT_EQ(Quads()[0].x, 0.0f);
  EXPECT_EQ(Quads()[0].y, 110.0f);
  EXPECT_EQ(Quads()[0].height, 40.0f);
  EXPECT_NEAR(static_cast<int>(Quads()[0].color >> 24), 0x80, 1);
  for (const char* id : {"ABOVE", "TOUCH", "LIST"}) {
    CGUIElement* e = gui->GetElement(gui->GetElementID(id));
    EXPECT_FALSE(e->absVisible) << id;
    EXPECT_FALSE(e->absEnabled) << id;
    EXPECT_TRUE(e->visible) << id;  // its own state is left alone
  }
  // The hidden list lies under the cursor (70 to 90) but selects nothing.
  EXPECT_EQ(Element<CGUIListBox>("LIST")->selectedCell, -1);
  EXPECT_EQ(g_iSelects, 0);

  std::vector<std::string> tmp_vViewports;
  for (const auto& e : Device()->EventsOf(gfx::null::ECall::SetViewport))
    tmp_vViewports.push_back(std::to_string(e.a) + " " + std::to_string(e.b) + " " +
                             std::to_string(e.c) + " " + std::to_string(e.d));
  EXPECT_EQ(tmp_vViewports, (std::vector<std::string>{"0 100 200 100", "0 0 800 600"}));

  // Scrolled to 20 (and 30 to the side) every child overlaps the box.
  gui->SetElementParam("BOX", "scrolly", CGUIValue(20.0f));
  gui->SetElementParam("BOX", "scrollx", CGUIValue(30.0f));
  EXPECT_EQ(gui->GetElementParam("BOX", "scrolly").GetFloat(), 20.0f);
  EXPECT_EQ(gui->GetElementParam("BOX", "scrollx").GetFloat(), 30.0f);
  Frame();
  EXPECT_EQ(Quads().size(), 3u);
  EXPECT_EQ(Element<CGUIElement>("INSIDE")->absRect.x, -30.0f);
  EXPECT_EQ(Element<CGUIElement>("INSIDE")->absRect.y, 140.0f);
  Frame();  // the cursor moves onto the list
  EXPECT_EQ(Element<CGUIListBox>("LIST")->selectedCell, 0);
  EXPECT_EQ(g_iSelects, 1);
}
