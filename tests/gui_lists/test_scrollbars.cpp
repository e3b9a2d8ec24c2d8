// The scroll bars: the slider's length and place from the value (both axes),
// the value parameters' limits, dragging the slider, paging by clicks beside
// it, a fixed-size slider jumping to a click, the wheel and the Page keys over
// the active rectangle, the slider textures by state, and a bar whose minimum
// equals its maximum taking no input.
#include <cmath>
#include <limits>
#include <string>
#include <vector>

#include "gui_fixture.h"
#include "m2dgui_scrollbar_base.h"

using guitest::GuiTest;
using guitest::ReplayFrames;
using guitest::SRes;

namespace {

int g_iScrolls = 0;
std::vector<std::string> g_vFocus;
void CountScroll() {
  ++g_iScrolls;
}
void GotFocus() {
  g_vFocus.push_back("got");
}
void LostFocus() {
  g_vFocus.push_back("lost");
}

class ScrollBarTest : public GuiTest {
 protected:
  // One bar "BAR" of the given class and attributes under the desktop.
  void Start(const std::string& fp_strReplay, const char* fp_pszClass,
             const std::string& fp_strAttrs, const std::string& fp_strExtraRes = "") {
    g_iScrolls = 0;
    g_vFocus.clear();
    UseReplay(fp_strReplay);
    std::vector<SRes> tmp_vRes;
    for (const char* t : {"TEX_N", "TEX_D", "TEX_S", "TEX_P"})
      tmp_vRes.push_back(
          SRes{t, "TEXTURE", std::string(t) + ".tga", guitest::SolidTGA(4, 4, 0xFFFFFFFF)});
    tmp_vRes.push_back(SRes{"GUI_B", "GUIDATA", "b.dat",
                            std::string("<desktop><") + fp_pszClass +
                                " id=\"BAR\" visible=\"1\" enabled=\"1\" on_scroll=\"CountScroll\" "
                                "on_gotfocus=\"GotFocus\" on_lostfocus=\"LostFocus\" " +
                                fp_strAttrs + "/>" + fp_strExtraRes + "</desktop>"});
    guitest::WriteRespack(tmp_vRes);
    StartEngine();
    gui->RegisterAction(&CountScroll, "CountScroll");
    gui->RegisterAction(&GotFocus, "GotFocus");
    gui->RegisterAction(&LostFocus, "LostFocus");
    engine->LoadResource("GUI_B");
    bar = Element<CGUIScrollBarBase>("BAR");
    ASSERT_NE(bar, nullptr);
  }
  void Set(const char* fp_pszParam, const CGUIValue& fp_rValue) {
    gui->SetElementParam("BAR", fp_pszParam, fp_rValue);
  }
  float Get(const char* fp_pszParam) { return gui->GetElementParam("BAR", fp_pszParam).GetFloat(); }
  // The texture the slider was last drawn with.
  int DrawnTexture() const { return engine->currentTexture[0]; }
  int Tex(const char* fp_pszParam) { return static_cast<int>(Get(fp_pszParam)); }

  CGUIScrollBarBase* bar = nullptr;
};

}  // namespace

TEST_F(ScrollBarTest, SliderLengthAndPlaceFollowTheValue) {
  struct Case {
    int minV, maxV, page;
    bool slider;
    int sliderSize, cur;
    float length, offset;
  } kCases[] = {
      {0, 100, 10, false, 0, 0, 18.0f, 0.0f},    // floor((1 - 100/110) x 200)
      {0, 100, 10, false, 0, 50, 18.0f, 91.0f},  // half of 200 - 18
      {0, 100, 10, false, 0, 100, 18.0f, 182.0f},
      {0, 10, 1000, false, 0, 5, 198.0f, 1.0f},   // a page much larger than the range
      {0, 1000, 1, false, 0, 0, 16.0f, 0.0f},     // at least the thickness
      {0, 100, 10, true, 50, 25, 50.0f, 37.5f},   // fixed size
      {0, 100, 10, true, 500, 25, 200.0f, 0.0f},  // at most the track
      {-50, 50, 10, false, 0, 0, 18.0f, 91.0f},
  };
  Start(ReplayFrames(1, 20), "horscroll", "coords=\"10 20 200 16\"",
        "<verscroll id=\"VBAR\" coords=\"10 20 16 200\" visible=\"1\" enabled=\"1\"/>");
  for (const char* tmp_pszBar : {"BAR", "VBAR"}) {
    CGUIScrollBarBase* tmp_pBar = Element<CGUIScrollBarBase>(tmp_pszBar);
    ASSERT_NE(tmp_pBar, nullptr);
    auto tmp_Set = [&](const char* fp_pszParam, const CGUIValue& fp_rValue) {
      gui->SetElementParam(tmp_pszBar, fp_pszParam, fp_rValue);
    };
    for (const Case& c : kCases) {
      // Limits set wide first so that every value below is taken as given.
      tmp_Set("minvalue", CGUIValue(-1000.0f));
      tmp_Set("maxvalue", CGUIValue(static_cast<float>(c.maxV)));
      tmp_Set("minvalue", CGUIValue(static_cast<float>(c.minV)));
      tmp_Set("pagesize", CGUIValue(static_cast<float>(c.page)));
      tmp_Set("slider", CGUIValue(c.slider));
      tmp_Set("slidersize", CGUIValue(static_cast<float>(c.sliderSize)));
      tmp_Set("curvalue", CGUIValue(static_cast<float>(c.cur)));
      EXPECT_EQ(tmp_pBar->sliderLength, c.length) << tmp_pszBar << " cur " << c.cur;
      EXPECT_FLOAT_EQ(tmp_pBar->sliderOffset, c.offset) << tmp_pszBar << " cur " << c.cur;
    }
  }
  // Drawn: only the sliders, each over its own rectangle, along its own axis.
  Frame();
  ASSERT_EQ(Quads().size(), 2u);
  EXPECT_EQ(Quads()[0].x, 10.0f + 91.0f);
  EXPECT_EQ(Quads()[0].y, 20.0f);
  EXPECT_EQ(Quads()[0].width, 18.0f);
  EXPECT_EQ(Quads()[0].height, 16.0f);
  EXPECT_EQ(Quads()[1].x, 10.0f);
  EXPECT_EQ(Quads()[1].y, 20.0f + 91.0f);
  EXPECT_EQ(Quads()[1].width, 16.0f);
  EXPECT_EQ(Quads()[1].height, 18.0f);
}

TEST_F(ScrollBarTest, ValueParametersKeepTheirLimits) {
  Start(ReplayFrames(1, 20), "horscroll", "coords=\"0 0 200 16\"");
  const float kNaN = std::numeric_limits<float>::quiet_NaN();
  Set("maxvalue", CGUIValue(100.0f));
  Set("curvalue", CGUIValue(30.0f));
  EXPECT_EQ(g_iScrolls, 1);           // "curvalue" runs "on_scroll"
  Set("minvalue", CGUIValue(40.5f));  // raises the value
  EXPECT_EQ(Get("minvalue"), 40.0f);
  EXPECT_EQ(Get("curvalue"), 40.0f);
  Set("minvalue", CGUIValue(150.0f));  // raises the maximum too
  EXPECT_EQ(Get("maxvalue"), 150.0f);
  EXPECT_EQ(Get("curvalue"), 150.0f);
  Set("minvalue", CGUIValue(0.0f));
  Set("maxvalue", CGUIValue(-10.0f));  // never below the minimum
  EXPECT_EQ(Get("maxvalue"), 0.0f);
  EXPECT_EQ(Get("curvalue"), 0.0f);
  Set("maxvalue", CGUIValue(1e30f));  // saturated
  EXPECT_EQ(Get("maxvalue"), 2147483647.0f);
  Set("minvalue", CGUIValue(-1e30f));
  EXPECT_EQ(Get("minvalue"), -2147483648.0f);
  Set("curvalue", CGUIValue(kNaN));
  EXPECT_EQ(Get("curvalue"), 0.0f);
  Set("curvalue", CGUIValue(1e30f));
  EXPECT_EQ(Get("curvalue"), 2147483647.0f);
  // The widest range still lays out a slider on the track.
  EXPECT_EQ(bar->sliderLength, 16.0f);
  EXPECT_FLOAT_EQ(bar->sliderOffset, 184.0f);
  Set("pagesize", CGUIValue(0.0f));
  EXPECT_EQ(Get("pagesize"), 1.0f);
  Set("scrollspeed", CGUIValue(-7.9f));
  EXPECT_EQ(Get("scrollspeed"), -7.0f);
  Set("slidersize", CGUIValue(12.0f));
  EXPECT_EQ(Get("slidersize"), 12.0f);
  EXPECT_FALSE(gui->GetElementParam("BAR", "slider").GetBool());
  Set("activerect", CGUIValue(GUIRECT{1, 2, 3, 4}));
  EXPECT_EQ(gui->GetElementParam("BAR", "activerect").GetRect().width, 3.0f);
  // Paging from the top of the widest range stays at the maximum.
  Frame();
  gui->ExecuteElementCommand("BAR", GUICMD_PAGE_FORWARD);
  EXPECT_EQ(Get("curvalue"), 2147483647.0f);
  Set("curvalue", CGUIValue(-1e30f));
  gui->ExecuteElementCommand("BAR", GUICMD_STEP_BACK);
  EXPECT_EQ(Get("curvalue"), -2147483648.0f);
}

TEST_F(ScrollBarTest, TexturesFillInAsForButtons) {
  Start(ReplayFrames(1, 20), "horscroll",
        "coords=\"0 0 200 16\" texture_pressed=\"TEX_P\" texture=\"TEX_N\"");
  EXPECT_EQ(Tex("texture"), Tex("texture_normal"));
  EXPECT_EQ(Tex("texture_disabled"), Tex("texture_normal"));
  EXPECT_EQ(Tex("texture_selected"), Tex("texture_pressed"));
  EXPECT_NE(Tex("texture_pressed"), Tex("texture_normal"));
  EXPECT_EQ(bar->texture, -1);  // the tile's own texture is not set
}

TEST_F(ScrollBarTest, SliderDragsAndClicksBesideItPage) {
  Start(ReplayFrames(8, 20,
                     [](int i) -> std::string {
                       switch (i) {
                         case 1: return "cursor 5 8\n";                 // on the slider
                         case 2: return "mouse 0 0 0 1\n";              // grab it
                         case 3: return "cursor 96 8\n";                // drag by 91
                         case 4: return "mouse 0 0 0\ncursor 150 8\n";  // release, move on
                         case 5: return "mouse 0 0 0 1\n";              // right of the slider
                         case 6: return "mouse 0 0 0\ncursor 20 8\n";
                         case 7: return "mouse 0 0 0 1\n";              // left of the slider
                         default: return "mouse 0 0 0\ncursor 5 40\n";  // off the track
                       }
                     }),
        "horscroll",
        "coords=\"0 0 200 16\" maxvalue=\"100\" pagesize=\"10\" texture_normal=\"TEX_N\" "
        "texture_disabled=\"TEX_D\" texture_selected=\"TEX_S\" texture_pressed=\"TEX_P\"");
  struct Step {
    int value, scrolls;
    bool dragging;
    const char* texture;
    std::vector<std::string> focus;
  } kSteps[] = {
      {0, 0, false, "texture_selected", {"got"}},        {0, 0, true, "texture_pressed", {"got"}},
      {50, 1, true, "texture_pressed", {"got"}},  // 91 / 182 x 100 + 0.5
      {50, 1, false, "texture_normal", {"got"}},         {60, 2, false, "texture_normal", {"got"}},
      {60, 2, false, "texture_normal", {"got"}},         {50, 3, false, "texture_normal", {"got"}},
      {50, 3, false, "texture_normal", {"got", "lost"}},
  };
  int tmp_iFrame = 0;
  for (const Step& s : kSteps) {
    ++tmp_iFrame;
    Frame();
    EXPECT_EQ(bar->curValue, s.value) << "frame " << tmp_iFrame;
    EXPECT_EQ(g_iScrolls, s.scrolls) << "frame " << tmp_iFrame;
    EXPECT_EQ(bar->dragging, s.dragging) << "frame " << tmp_iFrame;
    EXPECT_EQ(DrawnTexture(), Tex(s.texture)) << "frame " << tmp_iFrame;
    EXPECT_EQ(g_vFocus, s.focus) << "frame " << tmp_iFrame;
  }
  // The slider sits where the value puts it.
  EXPECT_FLOAT_EQ(Quads()[0].x, 91.0f);
}

TEST_F(ScrollBarTest, FixedSliderJumpsToTheClickAndStopsAtTheEnd) {
  Start(ReplayFrames(4, 20,
                     [](int i) -> std::string {
                       if (i == 1) return "cursor 100 8\n";
                       if (i == 2) return "mouse 0 0 0 1\n";
                       if (i == 3) return "cursor 400 8\n";  // far past the end
                       return "mouse 0 0 0\n";
                     }),
        "horscroll", "coords=\"0 0 200 16\" maxvalue=\"80\" slider=\"1\" slidersize=\"40\"");
  Frame();
  EXPECT_FALSE(bar->dragging);
  Frame();
  EXPECT_FLOAT_EQ(bar->sliderOffset, 80.0f);  // centred on the click
  EXPECT_EQ(bar->curValue, 40);               // 80 / 160 x 80 + 0.5
  EXPECT_TRUE(bar->dragging);
  Frame();
  EXPECT_FLOAT_EQ(bar->sliderOffset, 160.0f);
  EXPECT_EQ(bar->curValue, 80);
  EXPECT_EQ(g_iScrolls, 2);
  Frame();
  EXPECT_FALSE(bar->dragging);
}

TEST_F(ScrollBarTest, WheelAndPageKeysStepTheValueOverTheActiveRect) {
  // Frames of 16 ms at a speed of 100: a step of 1, three times that by wheel.
  Start(ReplayFrames(12, 16,
                     [](int i) -> std::string {
                       switch (i) {
                         case 1: return "cursor 100 100\n";  // in the active rect, off the track
                         case 2: return "mouse 0 0 -120\n";  // towards the user: forward
                         case 3: return "mouse 0 0 120\n";
                         case 4: return "keys 209\n";  // Page Down
                         case 5: return "keys\n";
                         case 6: return "keys 201\n";  // Page Up
                         case 7: return "keys\ncursor 400 100\n";
                         case 8: return "mouse 0 0 -120\n";  // outside: ignored
                         case 9: return "cursor 8 100\n";    // on the slider (91 to 109)
                         case 10: return "mouse 0 0 0 1\n";
                         case 11: return "cursor 8 191\n";  // dragged down by 91
                         default: return "mouse 0 0 0\n";
                       }
                     }),
        "verscroll",
        "coords=\"0 0 16 200\" activerect=\"0 0 300 200\" maxvalue=\"100\" pagesize=\"10\" "
        "curvalue=\"50\"");
  const int kValues[] = {50, 53, 50, 60, 60, 50, 50, 50, 50, 50, 100, 100};
  int tmp_iFrame = 0;
  for (int v : kValues) {
    ++tmp_iFrame;
    Frame();
    EXPECT_EQ(bar->curValue, v) << "frame " << tmp_iFrame;
    EXPECT_FALSE(bar->fastScroll);
  }
  // Stepping by command: at least 1, and never past the limits.
  gui->ExecuteElementCommand("BAR", GUICMD_STEP_FORWARD);
  EXPECT_EQ(bar->curValue, 100);
  gui->ExecuteElementCommand("BAR", GUICMD_STEP_BACK);
  EXPECT_EQ(bar->curValue, 99);
  Set("scrollspeed", CGUIValue(0.0f));
  gui->ExecuteElementCommand("BAR", GUICMD_STEP_BACK);
  EXPECT_EQ(bar->curValue, 98);
}

TEST_F(ScrollBarTest, EqualLimitsTakeNoInput) {
  Start(ReplayFrames(3, 20,
                     [](int i) -> std::string {
                       if (i == 1) return "cursor 100 8\nmouse 0 0 -120 1\nkeys 209\n";
                       if (i == 2) return "mouse 0 0 0\nkeys\n";
                       return "";
                     }),
        "horscroll",
        "coords=\"0 0 200 16\" minvalue=\"5\" maxvalue=\"5\" pagesize=\"10\" "
        "texture_normal=\"TEX_N\" texture_disabled=\"TEX_D\"");
  Frame();
  EXPECT_FALSE(bar->absEnabled);
  EXPECT_EQ(bar->curValue, 5);
  EXPECT_FALSE(bar->dragging);
  EXPECT_TRUE(g_vFocus.empty());
  EXPECT_EQ(DrawnTexture(), Tex("texture_disabled"));
  gui->ExecuteElementCommand("BAR", GUICMD_PAGE_FORWARD);
  Frame();
  EXPECT_EQ(bar->curValue, 5);
  EXPECT_EQ(g_iScrolls, 0);
  // Hidden, a bar ignores the scroll commands too.
  Set("maxvalue", CGUIValue(50.0f));
  gui->ExecuteElementCommand("BAR", GUICMD_HIDE);
  Frame();
  gui->ExecuteElementCommand("BAR", GUICMD_PAGE_FORWARD);
  EXPECT_EQ(bar->curValue, 5);
}
