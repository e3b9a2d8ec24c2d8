// The quad template and the batch on the recording device: draw calls per
// 500 quads, one lock per batch, flushes on state changes, quads lost outside
// a scene or after a focus loss, and what the template operations write into
// the vertices the device receives.
#include <gtest/gtest.h>

#include <cmath>

#include "graphics_fixture.h"

namespace {

using namespace gfxtest;
using gfx::null::ECall;

class VQuadTest : public GfxTest {
 protected:
  void SetUp() override {
    GfxTest::SetUp();
    StartGraphics();
    CaptureDraws();
  }
  void Quads(int fp_iCount) {
    for (int i = 0; i < fp_iCount; ++i) {
      engine->GFX_VQuadSetPos(static_cast<float>(i), 0.0f, 10.0f, 10.0f, 0.5f);
      engine->GFX_SceneRender();
    }
  }
};

TEST_F(VQuadTest, QuadsAreDrawnInBatchesOf500WithOneLockEach) {
  Device()->ClearRecording();
  engine->GFX_SceneBegin();
  Quads(499);
  EXPECT_TRUE(Draws().empty()) << "nothing drawn before the batch is full";
  Quads(1);
  ASSERT_EQ(Draws().size(), 1u) << "the 500th quad flushes";
  EXPECT_EQ(Draws()[0].triangles, 1000u);
  engine->GFX_VQuadSetPos(500.0f, 0.0f, 10.0f, 10.0f, 0.5f);
  engine->GFX_SceneRender();
  engine->GFX_SceneEnd();
  ASSERT_EQ(Draws().size(), 2u);
  EXPECT_EQ(Draws()[1].triangles, 2u);
  EXPECT_FLOAT_EQ(Draws()[1].quads[0].v[0].x, 500.0f - 0.5f) << "the 501st quad starts the new batch";
  // The open and the relock after the flush; each with the discard flag.
  const std::vector<gfx::null::SCallEvent> tmp_vLocks = Device()->EventsOf(ECall::LockVertexBuffer);
  ASSERT_EQ(tmp_vLocks.size(), 2u);
  for (const auto& e : tmp_vLocks) EXPECT_EQ(e.d, gfx::D3DLOCK_DISCARD);
  const std::vector<gfx::null::SCallEvent> tmp_vDraws = Device()->EventsOf(ECall::DrawIndexedPrimitive);
  ASSERT_EQ(tmp_vDraws.size(), 2u);
  EXPECT_EQ(tmp_vDraws[0].c, 2000u);  // vertices
  EXPECT_EQ(tmp_vDraws[0].d, 0u);     // start index
  EXPECT_EQ(tmp_vDraws[1].c, 4u);
  for (const auto& e : tmp_vDraws) EXPECT_EQ(e.result, gfx::D3D_OK);
}

TEST_F(VQuadTest, ASceneWithoutQuadsDrawsNothing) {
  Device()->ClearRecording();
  engine->GFX_SceneBegin();
  engine->GFX_SceneClearScreen(0, 0, 0);
  engine->GFX_SceneEnd();
  engine->GFX_ScenePresent();
  EXPECT_EQ(CountEvents(ECall::DrawIndexedPrimitive), 0u);
  EXPECT_EQ(Device()->Counters().presents, 1u);
}

TEST_F(VQuadTest, QuadsOutsideASceneOrAfterAFocusLossAreLost) {
  Quads(3);  // before any scene
  engine->GFX_SceneBegin();
  Quads(2);
  engine->OnFocusLost();
  Quads(2);  // ignored until the next scene begins
  engine->GFX_SceneEnd();
  EXPECT_TRUE(Draws().empty());
  EXPECT_FALSE(Device()->InScene());

  engine->GFX_SceneBegin();
  Quads(1);
  engine->GFX_SceneEnd();
  ASSERT_EQ(Draws().size(), 1u);
  EXPECT_EQ(Draws()[0].triangles, 2u);
}

TEST_F(VQuadTest, TheTemplateReachesTheDeviceAsSet) {
  engine->GFX_SceneBegin();
  // Position, colours, both texture sets, the half-pixel shift.
  engine->GFX_VQuadSetPos(10, 20, 30, 40, 0.25f);
  engine->GFX_VQuadSetColor(1.0f, 0.0f, 0.0f, 0.5f);
  engine->GFX_VQuadSetColorByVertex(2, 0.0f, 1.0f, 0.0f, 1.0f);
  engine->GFX_VQuadSetTexCoords(1, 0.1f, 0.2f, 0.3f, 0.4f);
  engine->GFX_VQuadSetTexCoords(2, 0.5f, 0.6f, 0.7f, 0.8f);
  engine->GFX_SceneRender();
  engine->GFX_SceneRender();  // again, without a new position
  engine->GFX_SceneEnd();
  ASSERT_EQ(Draws().size(), 1u);
  ASSERT_EQ(Draws()[0].quads.size(), 2u);
  const M2DVERTEX* v = Draws()[0].quads[0].v;
  const float tmp_afX[4] = {9.5f, 39.5f, 39.5f, 9.5f};
  const float tmp_afY[4] = {19.5f, 19.5f, 59.5f, 59.5f};
  const float tmp_afU0[4] = {0.1f, 0.3f, 0.3f, 0.1f};
  const float tmp_afV0[4] = {0.2f, 0.2f, 0.4f, 0.4f};
  const float tmp_afU1[4] = {0.5f, 0.7f, 0.7f, 0.5f};
  const float tmp_afV1[4] = {0.6f, 0.6f, 0.8f, 0.8f};
  for (int i = 0; i < 4; ++i) {
    SCOPED_TRACE(i);
    EXPECT_FLOAT_EQ(v[i].x, tmp_afX[i]);
    EXPECT_FLOAT_EQ(v[i].y, tmp_afY[i]);
    EXPECT_FLOAT_EQ(v[i].z, 0.25f);
    EXPECT_FLOAT_EQ(v[i].rhw, 0.5f);
    EXPECT_EQ(v[i].diffuse, i == 2 ? 0xFF00FF00u : 0x7FFF0000u);
    EXPECT_FLOAT_EQ(v[i].tu0, tmp_afU0[i]);
    EXPECT_FLOAT_EQ(v[i].tv0, tmp_afV0[i]);
    EXPECT_FLOAT_EQ(v[i].tu1, tmp_afU1[i]);
    EXPECT_FLOAT_EQ(v[i].tv1, tmp_afV1[i]);
    EXPECT_FLOAT_EQ(Draws()[0].quads[1].v[i].x, tmp_afX[i] - 0.5f) << "the template keeps the shift";
    EXPECT_FLOAT_EQ(Draws()[0].quads[1].v[i].y, tmp_afY[i] - 0.5f);
  }
}

TEST_F(VQuadTest, RotateScaleAndMoveWorkOnAllFourVertices) {
  struct SCase {
    const char* name;
    std::function<void(CMorvane*)> op;
    float x[4], y[4];
  };
  const SCase tmp_aCases[] = {
      // 90 degrees about the top-left corner: the top-right corner (x+w, y)
      // goes to (x, y+w), clockwise on screen.
      {"rotate", [](CMorvane* e) { e->GFX_VQuadRotate(100, 100, 90); },
       {100, 100, 90, 90}, {100, 120, 120, 100}},
      {"scale", [](CMorvane* e) { e->GFX_VQuadScale(100, 100, 2); },
       {100, 140, 140, 100}, {100, 100, 120, 120}},
      {"move", [](CMorvane* e) { e->GFX_VQuadMove(-5, 7, 0.25f); },
       {95, 115, 115, 95}, {107, 107, 117, 117}},
  };
  for (const SCase& c : tmp_aCases) {
    SCOPED_TRACE(c.name);
    engine->GFX_VQuadSetPos(100, 100, 20, 10, 0.5f);
    c.op(engine.get());
    for (int i = 0; i < 4; ++i) {
      EXPECT_NEAR(engine->vquad[i].x, c.x[i], 1e-4f) << i;
      EXPECT_NEAR(engine->vquad[i].y, c.y[i], 1e-4f) << i;
    }
  }
  EXPECT_FLOAT_EQ(engine->vquad[3].z, 0.75f);
}

TEST_F(VQuadTest, BadSetNumbersAndVertexIndexesAreRefused) {
  engine->GFX_VQuadSetTexCoords(1, 0, 0, 1, 1);
  for (int tmp_iSet : {0, 3, -1}) {
    const CEHSException e = Thrown([&] { engine->GFX_VQuadSetTexCoords(tmp_iSet, 0.5f, 0.5f, 0.5f, 0.5f); });
    EXPECT_EQ(e.type, EHS_TYPE_GAME);
    EXPECT_EQ(e.description, "Wrong texture coordinates set number: must be 1 or 2");
  }
  EXPECT_FLOAT_EQ(engine->vquad[2].tu0, 1.0f) << "a refused call changes nothing";
  for (int tmp_iIndex : {-1, 4, 1000000}) {
    EXPECT_EQ(Thrown([&] { engine->GFX_VQuadSetPosByVertex(tmp_iIndex, 1, 1, 0.5f); }).description,
              "Wrong vertex index: must be 0 to 3");
    EXPECT_EQ(Thrown([&] { engine->GFX_VQuadSetColorByVertex(tmp_iIndex, 1, 1, 1, 1); }).description,
              "Wrong vertex index: must be 0 to 3");
  }
}

TEST_F(VQuadTest, ColourChannelsAreTruncatedBytesWithoutClamping) {
  struct SCase {
    float r, g, b, a;
    std::uint32_t want;
  };
  const SCase tmp_aCases[] = {
      {1.0f, 0.0f, 0.0f, 0.5f, 0x7FFF0000u},
      {0.2f, 0.4f, 0.6f, 1.0f, 0xFF336699u},
      // Low 8 bits of value x 255: 2.0 gives 510 = 0x1FE.
      {2.0f, 0.0f, 0.0f, 1.0f, 0xFFFE0000u},
      // NaN and huge values from scripts saturate instead of overflowing.
      {std::nanf(""), 1e30f, -1e30f, 1.0f, 0xFF00FF00u},
  };
  for (const SCase& c : tmp_aCases) {
    engine->GFX_VQuadSetColor(c.r, c.g, c.b, c.a);
    EXPECT_EQ(engine->vquad[0].diffuse, c.want) << std::hex << c.want;
    EXPECT_FLOAT_EQ(engine->vquadAlpha[3], c.a);
  }
}

TEST_F(VQuadTest, ATextureChangeFlushesAndARepeatedOneDoesNot) {
  m2dtest::WriteFile("DATA/a.tga", SolidTGA(4, 4, 0xFFFFFFFFu));
  m2dtest::WriteFile("DATA/b.tga", SolidTGA(4, 4, 0xFF000000u));
  WriteRespack({{"TEX_A", "TEXTURE", "a.tga"}, {"TEX_B", "TEXTURE", "b.tga"}});
  engine->RES_Deinit();
  engine->RES_Init();
  engine->LoadResources(1);
  engine->GFX_SceneBegin();
  for (const char* tmp_pszTex : {"TEX_A", "TEX_A", "TEX_A", "TEX_B", "TEX_B"}) {
    engine->GFX_TexSet(tmp_pszTex, 0);
    Quads(1);
  }
  engine->GFX_SceneEnd();
  ASSERT_EQ(Draws().size(), 2u);
  EXPECT_EQ(Draws()[0].triangles, 6u);
  EXPECT_EQ(Draws()[1].triangles, 4u);
}

}  // namespace
