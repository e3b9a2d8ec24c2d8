// Animated tiles: the frame shown over the cycle with the hold on the last
// frame, looping, a one-shot run that hides and disables the tile, command 6
// during a run, a disabled tile keeping its frame, the curves of colour,
// position and scale, the tile's other drawing schemes, and the frame list's
// errors.
#include <string>

#include "m2dgui_stdclass_animtile.h"
#include "tw_support.h"

using guitest::ReplayFrames;
using twtest::TwTest;

namespace {

// The location runs 100 t (the middle lies halfway), the scale 1 + t^2, the
// alpha t.
const char* const kAnimGui =
    "<desktop>"
    "<animtile id=\"A\" coords=\"0 0 40 20\" visible=\"1\" enabled=\"1\" "
    "enum_frames=\"ENUM_FRAMES\" time_animcycle=\"1\" location_middle=\"50 0\" "
    "location_end=\"100 0\" scale_end=\"2\" location_center=\"20 10\"/>"
    "<animtile id=\"EMPTY\" coords=\"0 0 40 20\" visible=\"1\" enabled=\"1\"/>"
    "</desktop>";

CGUIValue EnumValue(CGUIEnum* fp_pEnum) {
  CGUIValue v;
  v.SetEnum(fp_pEnum);
  return v;
}

class AnimTest : public TwTest {
 protected:
  void StartAnim(int fp_iFrames) {
    Start(ReplayFrames(fp_iFrames, 250), kAnimGui);
    tile = Element<CGUIAnimTile>("A");
  }
  // One frame; the tile is drawn (one quad) with frame fp_iFrame, or not.
  void ExpectFrame(int fp_iFrame) {
    Frame();
    if (fp_iFrame < 0) {
      EXPECT_TRUE(Quads().empty());
      return;
    }
    ASSERT_EQ(Quads().size(), 1u);
    EXPECT_EQ(tile->frameIndex, fp_iFrame);
    EXPECT_EQ(engine->currentTexture[0],
              engine->GFX_TexGetIID(("TEX_F" + std::to_string(fp_iFrame)).c_str()));
  }
  CGUIAnimTile* tile = nullptr;
};

}  // namespace

TEST_F(AnimTest, FramesHoldLoopAndPlayOnce) {
  StartAnim(24);
  // Not looped: 0.25 s per frame, then it holds on the last one.
  for (int f : {1, 2, 3, 3, 3}) ExpectFrame(f);
  // Looped, from a new cycle: frame 0 again at 1.0 s.
  gui->SetElementParam("A", "looped", CGUIValue(true));
  gui->SetElementParam("A", "time_animcycle", CGUIValue(1.0f));
  for (int f : {1, 2, 3, 0, 1}) ExpectFrame(f);

  // Played once: hidden and disabled at the end of the cycle.
  gui->ExecuteElementCommand("A", GUICMD_PLAYONCE);
  for (int f : {1, 2, 3, -1, -1}) ExpectFrame(f);
  EXPECT_FALSE(tile->visible);
  EXPECT_FALSE(tile->enabled);
  EXPECT_FLOAT_EQ(tile->animTimer, 0.0f);

  // Command 6 during a run changes nothing; command 3 ends the run.
  gui->ExecuteElementCommand("A", GUICMD_PLAYONCE_IFIDLE);
  ExpectFrame(1);
  gui->ExecuteElementCommand("A", GUICMD_PLAYONCE_IFIDLE);
  ExpectFrame(2);
  gui->ExecuteElementCommand("A", GUICMD_ENABLE);
  EXPECT_FALSE(tile->playOnce);
  ExpectFrame(3);
  ExpectFrame(0);  // looped again instead of hiding

  // Disabled: the timer stops and the frame stays.
  gui->ExecuteElementCommand("A", GUICMD_DISABLE);
  ExpectFrame(0);
  ExpectFrame(0);
}

TEST_F(AnimTest, ColourPositionAndScaleFollowThePhase) {
  StartAnim(6);
  struct Step {
    float x, width;
    int alpha;
  };
  // Scaled about the centre (20, 10) from the current position.
  const Step kSteps[] = {{25 + 20 - 21.25f, 42.5f, 63}, {50 + 20 - 25.0f, 50.0f, 127}};
  for (const Step& s : kSteps) {
    Frame();
    ASSERT_EQ(Quads().size(), 1u);
    EXPECT_NEAR(Quads()[0].x, s.x, 0.5f);
    EXPECT_FLOAT_EQ(Quads()[0].width, s.width);
    EXPECT_EQ(Alpha(Quads()[0].color), s.alpha);
  }
  EXPECT_FLOAT_EQ(tile->centerAbs.x, 70.0f);

  // Another drawing scheme draws its pieces unscaled.
  gui->SetElementParam("A", "drawscheme", CGUIValue(4.0f));
  Frame();
  ASSERT_EQ(Quads().size(), 9u);
  EXPECT_FLOAT_EQ(Quads()[0].width, 16.0f);
  EXPECT_FLOAT_EQ(Quads()[0].x, 75.0f);

  // Readable parameters.
  EXPECT_FLOAT_EQ(gui->GetElementParam("A", "scale_end").GetFloat(), 2.0f);
  EXPECT_FLOAT_EQ(gui->GetElementParam("A", "location_center").GetPoint().y, 10.0f);
  EXPECT_TRUE(gui->GetElementParam("A", "noparentenabled").GetBool());
  EXPECT_EQ(guitest::Thrown([&] { gui->GetElementParam("A", "enum_frames"); }).description,
            "Cannot get GUI element param: unknown ID! ID = 42  Element ID = A");
}

TEST_F(AnimTest, FrameListErrorsEmptyListAndADegenerateCycle) {
  StartAnim(4);
  // The tile without frames is never drawn.
  Frame();
  EXPECT_EQ(Quads().size(), 1u);
  EXPECT_FALSE(Element<CGUIAnimTile>("EMPTY")->absVisible);

  CEHSException e =
      guitest::Thrown([&] { gui->SetElementParam("A", 42, EnumValue(nullptr)); });
  EXPECT_EQ(e.type, EHS_TYPE_GENERAL);
  EXPECT_EQ(e.description, "CGUIEnum pointer is NULL!");
  EXPECT_EQ(guitest::Thrown([&] { gui->SetElementParam("A", 42, CGUIValue(1.0f)); }).description,
            "CGUIValue error: current type is not CGUIEnum*!");
  // An item naming a missing texture fails in the texture's demand.
  e = guitest::Thrown([&] {
    gui->SetElementParam("A", 42, EnumValue(gui->DemandEnum("ENUM_MISSING")));
  });
  EXPECT_NE(e.description.find("TEX_NONE"), std::string::npos) << e.description;

  // A cycle of no length takes the shortest one; every update stays finite
  // and inside the list.
  gui->SetElementParam("A", "enum_frames", EnumValue(gui->DemandEnum("ENUM_FRAMES")));
  gui->SetElementParam("A", "looped", CGUIValue(true));
  gui->SetElementParam("A", "time_animcycle", CGUIValue(0.0f));
  EXPECT_FLOAT_EQ(gui->GetElementParam("A", "time_animcycle").GetFloat(), 0.001f);
  for (int i = 0; i < 3; ++i) {
    Frame();
    EXPECT_GE(tile->frameIndex, 0);
    EXPECT_LT(tile->frameIndex, 4);
    EXPECT_LT(tile->animTimer, 0.001f);
  }
}
