// Dynamic lighting of the quad template: vertex lighting from a technique's
// ambient colour and point lights with their falloff, dot-3 lighting with and
// without the adapter's operation.
#include <gtest/gtest.h>

#include "graphics_fixture.h"

namespace {

using namespace gfxtest;

class LightTest : public GfxTest {
 protected:
  void Start() {
    StartGraphics();
    const std::string tmp_strPack =
        TechPack({"<t id=\"TEQ_VERTEX\" dynlightmode=\"VERTEX\" dynlightambientcolorr=\"1\"/>",
                  "<t id=\"TEQ_DARK\" dynlightmode=\"VERTEX\"/>", "<t id=\"TEQ_DOT3\" dynlightmode=\"DOT3\"/>",
                  "<t id=\"TEQ_OFF\" dynlightmode=\"DISABLED\"/>"});
    engine->GFX_TechLoadPack(tmp_strPack.data(), int(tmp_strPack.size()));
  }
  int AddLight(float fp_fX, float fp_fY, float fp_fZ, bool fp_bEnabled = true) {
    M2DLight* tmp_pLight = new M2DLight();
    tmp_pLight->innerRadius = 10.0f;
    tmp_pLight->outerRadius = 20.0f;
    tmp_pLight->r = tmp_pLight->g = tmp_pLight->b = tmp_pLight->a = 1.0f;
    tmp_pLight->x = fp_fX;
    tmp_pLight->y = fp_fY;
    tmp_pLight->z = fp_fZ;
    tmp_pLight->enabled = fp_bEnabled;
    return engine->lightsManager->AddItem(tmp_pLight, "LIGHT", 0);
  }
};

TEST_F(LightTest, VertexLightingGivesTheAmbientColourWithTheQuadsAlpha) {
  Start();
  engine->GFX_TechApply("TEQ_VERTEX");
  engine->GFX_VQuadSetColor(0.0f, 1.0f, 0.0f, 0.5f);
  engine->GFX_VQuadSetColorByVertex(3, 0.0f, 0.0f, 1.0f, 1.0f);
  engine->GFX_SceneRender();
  for (int i = 0; i < 3; ++i) EXPECT_EQ(engine->vquad[i].diffuse, 0x80FF0000u) << i;
  EXPECT_EQ(engine->vquad[3].diffuse, 0xFFFF0000u);

  // Back to no lighting: the quad's own colour again.
  engine->GFX_TechApply("TEQ_OFF");
  engine->GFX_VQuadSetColor(0.0f, 1.0f, 0.0f, 0.5f);
  engine->GFX_SceneRender();
  EXPECT_EQ(engine->vquad[0].diffuse, 0x7F00FF00u);
}

TEST_F(LightTest, PointLightsFallOffBetweenTheirRadii) {
  Start();
  engine->GFX_TechApply("TEQ_DARK");
  struct SCase {
    const char* name;
    float x, y, z;
    bool enabled;
    int want;  // each colour channel, within 1
  };
  // The quad's vertices all lie at (100, 100) with z 0.5; depth counts
  // (800 + 600) / 2 = 700 pixels per unit.
  const SCase tmp_aCases[] = {
      {"inside the inner radius", 105, 100, 0.5f, true, 255},
      {"half way", 115, 100, 0.5f, true, 128},
      {"half way in depth", 100, 100, 0.5f + 15.0f / 700.0f, true, 128},
      {"at the outer radius", 120, 100, 0.5f, true, 0},
      {"disabled", 100, 100, 0.5f, false, 0},
  };
  for (const SCase& c : tmp_aCases) {
    SCOPED_TRACE(c.name);
    engine->lightsManager->FreeAllItems();
    AddLight(c.x, c.y, c.z, c.enabled);
    engine->GFX_VQuadSetColor(0.0f, 0.0f, 0.0f, 1.0f);
    engine->GFX_VQuadSetPos(100, 100, 0, 0, 0.5f);
    engine->GFX_LightApply();
    const std::uint32_t d = engine->vquad[0].diffuse;
    EXPECT_EQ(d >> 24, 0xFFu);
    for (int tmp_iShift : {16, 8, 0}) EXPECT_NEAR(int((d >> tmp_iShift) & 0xFF), c.want, 1) << std::hex << d;
    EXPECT_EQ(engine->lightsManager->GetTagCursor(), -1) << "the walk ends after the last light";
  }
  // Two lights add up and saturate.
  AddLight(105, 100, 0.5f);
  engine->GFX_LightApply();
  EXPECT_EQ(engine->vquad[0].diffuse, 0xFFFFFFFFu);
}

TEST_F(LightTest, Dot3DoesNothingWithoutTheAdaptersOperation) {
  Adapter().caps.TextureOpCaps &= ~gfx::D3DTEXOPCAPS_DOTPRODUCT3;
  Start();
  engine->GFX_TechApply("TEQ_DOT3");
  engine->GFX_VQuadSetColor(0.2f, 0.4f, 0.6f, 1.0f);
  engine->GFX_VQuadSetPos(0, 0, 10, 10, 0.5f);
  const M2DVERTEX tmp_Before = engine->vquad[1];
  engine->GFX_SceneRender();  // no batch open: only the lighting runs
  EXPECT_EQ(engine->vquad[1].diffuse, tmp_Before.diffuse) << "unchanged without the operation";
  EXPECT_EQ(engine->vquad[1].specular, tmp_Before.specular);
}

TEST_F(LightTest, Dot3WritesTheDirectionToTheLightIntoTheSpecularColour) {
  Start();
  engine->GFX_TechApply("TEQ_DOT3");
  engine->GFX_VQuadSetPos(0, 0, 10, 10, 0.5f);
  const CEHSException e = Thrown([&] { engine->GFX_SceneRender(); });
  EXPECT_EQ(e.type, EHS_TYPE_GENERAL);
  EXPECT_EQ(e.description, "Wrong Dot3 light specified!");

  engine->dot3LightID = AddLight(10, 0, 0.5f);
  engine->GFX_LightApply();
  EXPECT_EQ(engine->vquad[0].specular, 0xFFFF8080u) << "(1, 0, 0)";
  EXPECT_EQ(engine->vquad[2].specular, 0xFF800180u) << "(0, -1, 0)";
}

}  // namespace
