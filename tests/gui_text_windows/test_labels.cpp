// Labels: the three alignments over measured text widths (scale included),
// the palette colour against the element's own colour, clipping to the
// label's rectangle through the viewport and its reset, the read-back of
// every parameter, and labels that draw nothing.
#include <string>

#include "m2dgui_stdclass_label.h"
#include "tw_support.h"

using guitest::ReplayFrames;
using twtest::TwTest;

namespace {

// "WAAAA" is 11 + 4 x 10 = 51 pixels wide at scale 1.
const char* const kLabelGui =
    "<desktop>"
    "<label id=\"L\" coords=\"100 50 200 20\" visible=\"1\" font=\"FNT_A\" text=\"WAAAA\"/>"
    "</desktop>";

}  // namespace

TEST_F(TwTest, LabelAlignsItsTextInsideItsRectangle) {
  Start(ReplayFrames(8, 100), kLabelGui);
  struct Case {
    float alignment, scale;
    float x;
  };
  const Case kCases[] = {
      {1, 1, 100},  // left
      {2, 1, 174},  // 100 + floor(100 - 25.5)
      {3, 1, 249},  // 100 + floor(200 - 51)
      {3, 2, 198},  // 22 + 4 x 20 = 102 wide
      {0, 1, 100},  // outside 1 to 3: left
      {7, 1, 100},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE("alignment " + std::to_string(c.alignment) + " scale " + std::to_string(c.scale));
    gui->SetElementParam("L", "font_scale", CGUIValue(c.scale));
    gui->SetElementParam("L", "alignment", CGUIValue(c.alignment));
    Frame();
    ASSERT_EQ(Quads().size(), 5u);
    EXPECT_FLOAT_EQ(Quads()[0].x, c.x);
    EXPECT_FLOAT_EQ(Quads()[0].y, 50.0f);
    EXPECT_FLOAT_EQ(Quads()[0].width, 16.0f * c.scale);
    // The second character follows at the first one's advance.
    EXPECT_FLOAT_EQ(Quads()[1].x, c.x + 11.0f * c.scale);
  }
  EXPECT_EQ(gui->GetElementParam("L", "alignment").GetFloat(), 1.0f);
}

TEST_F(TwTest, LabelColourComesFromThePaletteOrFromTheElement) {
  Start(ReplayFrames(4, 100),
        "<desktop><label id=\"L\" coords=\"0 0 100 20\" visible=\"1\" font=\"FNT_A\" text=\"Hi\" "
        "color=\"1 0 0 1\" font_alpha=\"0.5\"/></desktop>");
  struct Case {
    float fontColor;
    std::uint32_t color;
  };
  // Palette 3 is green at the font alpha (0.5 x 255 truncated); -1 and
  // numbers outside the palette take the element's colour.
  const Case kCases[] = {{3, 0x7F00FF00u}, {-1, 0xFFFF0000u}, {12, 0xFFFF0000u}, {-7, 0xFFFF0000u}};
  for (const Case& c : kCases) {
    SCOPED_TRACE("font_color " + std::to_string(c.fontColor));
    gui->SetElementParam("L", "font_color", CGUIValue(c.fontColor));
    Frame();
    ASSERT_EQ(Quads().size(), 2u);
    EXPECT_EQ(Quads()[0].color, c.color);
    EXPECT_EQ(Quads()[1].color, c.color);
  }
}

TEST_F(TwTest, LabelWithLimitViewportClipsToItsRectangleAndRestoresTheScreen) {
  Start(ReplayFrames(2, 100),
        "<desktop><label id=\"L\" coords=\"10.7 20.2 30.9 16\" visible=\"1\" font=\"FNT_A\" "
        "limitviewport=\"1\" text=\"A long text that runs past the rectangle\"/></desktop>");
  Device()->ClearRecording();
  Frame();
  const auto& ev = Device()->Events();
  using gfx::null::ECall;
  // The viewport narrows to the truncated rectangle, the text is drawn, and
  // the whole screen comes back after it.
  int tmp_iNarrow = -1, tmp_iDraw = -1, tmp_iWide = -1;
  for (int i = 0; i < static_cast<int>(ev.size()); ++i) {
    const auto& e = ev[static_cast<size_t>(i)];
    if (e.call == ECall::SetViewport && e.a == 10 && e.b == 20 && e.c == 30 && e.d == 16)
      tmp_iNarrow = i;
    if (e.call == ECall::DrawIndexedPrimitive && tmp_iNarrow >= 0 && tmp_iDraw < 0) tmp_iDraw = i;
    if (e.call == ECall::SetViewport && e.a == 0 && e.b == 0 && e.c == 800 && e.d == 600 &&
        tmp_iDraw >= 0 && tmp_iWide < 0)
      tmp_iWide = i;
  }
  ASSERT_GE(tmp_iNarrow, 0);
  EXPECT_GT(tmp_iDraw, tmp_iNarrow);
  EXPECT_GT(tmp_iWide, tmp_iDraw);
  // Every character is drawn (clipping is the viewport's job) at the label's x.
  EXPECT_EQ(Quads().size(), 33u);
  EXPECT_FLOAT_EQ(Quads()[0].x, 10.7f);

  // Without it, no viewport is set while the label draws.
  gui->SetElementParam("L", "limitviewport", CGUIValue(false));
  Device()->ClearRecording();
  Frame();
  EXPECT_TRUE(Viewports().empty());
}

TEST_F(TwTest, LabelParametersReadBackAndHiddenOrFontlessLabelsDrawNothing) {
  Start(ReplayFrames(3, 100),
        "<desktop><label id=\"L\" coords=\"0 0 100 20\" visible=\"1\" font=\"FNT_A\" "
        "font_color=\"2.9\" font_alpha=\"0.25\" font_setdefaulttechnique=\"0\" font_scale=\"1.5\" "
        "font_shiftx=\"2\" font_shifty=\"-3\" text=\"abc\" alignment=\"3.7\" limitviewport=\"1\"/>"
        "<label id=\"NOFONT\" coords=\"0 0 100 20\" visible=\"1\" text=\"xyz\"/>"
        "</desktop>");
  struct Read {
    const char* name;
    float value;
  };
  const Read kFloats[] = {{"font", 0},        {"font_color", 2},  {"font_alpha", 0.25f},
                          {"font_scale", 1.5f}, {"font_shiftx", 2}, {"font_shifty", -3},
                          {"alignment", 3}};
  for (const Read& r : kFloats)
    EXPECT_FLOAT_EQ(gui->GetElementParam("L", r.name).GetFloat(), r.value) << r.name;
  EXPECT_FALSE(gui->GetElementParam("L", "font_setdefaulttechnique").GetBool());
  EXPECT_TRUE(gui->GetElementParam("L", "limitviewport").GetBool());
  EXPECT_EQ(gui->GetElementParam("L", "text").GetString(), "abc");
  // Measured for the right alignment: floor(1.5 x 10 + 2) per character.
  EXPECT_FLOAT_EQ(Element<CGUILabel>("L")->textWidth, 51.0f);

  // A label without a font draws nothing; a hidden one neither.
  gui->ExecuteElementCommand("L", 2);
  Frame();
  EXPECT_TRUE(Quads().empty());
  // A wrong value type fails in the value's getter.
  EXPECT_EQ(guitest::Thrown([&] { gui->SetElementParam("L", 53, CGUIValue(3.0f)); }).description,
            "CGUIValue error: current type is not string!");
}
