// Techniques on the recording device: the exact device calls of each group,
// only declared groups applied, a repeated apply doing nothing, keyword
// defaults, the pack loader's log lines and errors, the vertex fog factor.
#include <gtest/gtest.h>

#include <cstring>
#include <tuple>

#include "cmorvane_utils_csmartid.h"
#include "graphics_fixture.h"

namespace {

using namespace gfxtest;
using namespace gfx;
using gfx::null::ECall;

// One state call: 'R' render state (stage -1) or 'T' texture-stage state.
using SState = std::tuple<char, int, DWORD, DWORD>;

DWORD Bits(float f) {
  DWORD d;
  std::memcpy(&d, &f, 4);
  return d;
}

const char* const kFull =
    "<technique id=\"TEQ_FULL\" tag=\"4\" alphablending=\"OFF\" absrc=\"ONE\" abdest=\"INVSRCALPHA\""
    " fog=\"ON\" fogstart=\"0.25\" fogend=\"0.75\" fogcolorr=\"1\" fogcolorg=\"0.5\" fogcolorb=\"0\""
    " texturefactorr=\"0.2\" texturefactorg=\"0.4\" texturefactorb=\"0.6\" texturefactora=\"1\""
    " s0_colorop=\"MODULATE\" s0_colorarg1=\"TEXTURE\" s0_colorarg2=\"DIFFUSE\" s0_alphaop=\"SELECTARG1\""
    " s0_alphaarg1=\"TFACTOR\" s0_alphaarg2=\"SPECULAR\" s0_address=\"CLAMP\""
    " s1_colorop=\"ADD\" s1_colorarg1=\"CURRENT\" s1_colorarg2=\"TEXTURE\" s1_alphaop=\"SUBTRACT\""
    " s1_alphaarg1=\"DIFFUSE\" s1_alphaarg2=\"CURRENT\" s1_address=\"WRAP\""
    " s0_minfilter=\"LINEAR\" s0_magfilter=\"POINT\" s0_mipfilter=\"NONE\" s1_minfilter=\"POINT\""
    " s1_magfilter=\"LINEAR\" s1_mipfilter=\"LINEAR\""
    " dynlightmode=\"DISABLED\" dynlightambientcolorr=\"1\" dynlightambientcolorg=\"0\" "
    "dynlightambientcolorb=\"0.5\"/>";

class TechniqueTest : public GfxTest {
 protected:
  void SetUp() override {
    GfxTest::SetUp();
    StartGraphics();
    CaptureDraws();
  }
  void Load(const std::vector<std::string>& fp_vTechniques) {
    const std::string tmp_strPack = TechPack(fp_vTechniques);
    engine->GFX_TechLoadPack(tmp_strPack.data(), int(tmp_strPack.size()));
  }
  // The state calls recorded since the last ClearRecording.
  std::vector<SState> States() const {
    std::vector<SState> tmp_v;
    for (const auto& e : Device()->Events()) {
      if (e.call == ECall::SetRenderState) tmp_v.emplace_back('R', -1, e.a, e.b);
      if (e.call == ECall::SetTextureStageState) tmp_v.emplace_back('T', int(e.a), e.b, e.c);
    }
    return tmp_v;
  }
};

TEST_F(TechniqueTest, EachDeclaredGroupSetsItsStatesInOrder) {
  Load({kFull});
  Device()->ClearRecording();
  engine->GFX_TechApply("TEQ_FULL");
  const std::vector<SState> tmp_vWant = {
      {'R', -1, D3DRS_ALPHABLENDENABLE, 0},
      {'R', -1, D3DRS_SRCBLEND, D3DBLEND_ONE},
      {'R', -1, D3DRS_DESTBLEND, D3DBLEND_INVSRCALPHA},
      {'R', -1, D3DRS_FOGENABLE, 1},
      {'R', -1, D3DRS_FOGVERTEXMODE, D3DFOG_LINEAR},
      {'R', -1, D3DRS_FOGSTART, Bits(0.25f)},
      {'R', -1, D3DRS_FOGEND, Bits(0.75f)},
      {'R', -1, D3DRS_FOGCOLOR, 0xFFFF7F00u},
      {'R', -1, D3DRS_TEXTUREFACTOR, 0xFF336699u},
      {'T', 0, D3DTSS_COLOROP, D3DTOP_MODULATE},
      {'T', 0, D3DTSS_COLORARG1, D3DTA_TEXTURE},
      {'T', 0, D3DTSS_COLORARG2, D3DTA_DIFFUSE},
      {'T', 0, D3DTSS_ALPHAOP, D3DTOP_SELECTARG1},
      {'T', 0, D3DTSS_ALPHAARG1, D3DTA_TFACTOR},
      {'T', 0, D3DTSS_ALPHAARG2, D3DTA_SPECULAR},
      {'T', 0, D3DTSS_ADDRESSU, D3DTADDRESS_CLAMP},
      {'T', 0, D3DTSS_ADDRESSV, D3DTADDRESS_CLAMP},
      {'T', 1, D3DTSS_COLOROP, D3DTOP_ADD},
      {'T', 1, D3DTSS_COLORARG1, D3DTA_CURRENT},
      {'T', 1, D3DTSS_COLORARG2, D3DTA_TEXTURE},
      {'T', 1, D3DTSS_ALPHAOP, D3DTOP_SUBTRACT},
      {'T', 1, D3DTSS_ALPHAARG1, D3DTA_DIFFUSE},
      {'T', 1, D3DTSS_ALPHAARG2, D3DTA_CURRENT},
      {'T', 1, D3DTSS_ADDRESSU, D3DTADDRESS_WRAP},
      {'T', 1, D3DTSS_ADDRESSV, D3DTADDRESS_WRAP},
      {'T', 0, D3DTSS_MINFILTER, D3DTEXF_LINEAR},
      {'T', 0, D3DTSS_MAGFILTER, D3DTEXF_POINT},
      {'T', 0, D3DTSS_MIPFILTER, D3DTEXF_NONE},
      {'T', 1, D3DTSS_MINFILTER, D3DTEXF_POINT},
      {'T', 1, D3DTSS_MAGFILTER, D3DTEXF_LINEAR},
      {'T', 1, D3DTSS_MIPFILTER, D3DTEXF_LINEAR},
  };
  EXPECT_EQ(States(), tmp_vWant);
  EXPECT_EQ(engine->currentTechnique, 0);
  EXPECT_EQ(engine->fogEnabled, 1);
  EXPECT_EQ(engine->dynLightMode, 0);
  EXPECT_FLOAT_EQ(engine->dynLightAmbient[0], 1.0f);
  EXPECT_FLOAT_EQ(engine->dynLightAmbient[2], 127.0f / 255.0f);
  EXPECT_FLOAT_EQ(engine->dynLightAmbient[3], 1.0f);
  EXPECT_EQ(engine->techniquesManager->GetTag(0), 4);
}

TEST_F(TechniqueTest, OnlyDeclaredGroupsAreAppliedAndARepeatDoesNothing) {
  Load({kFull, "<t id=\"TEQ_AB\" alphablending=\"ON\" absrc=\"SRCALPHA\" abdest=\"INVSRCALPHA\"/>",
        "<t id=\"TEQ_S1OFF\" s0_colorop=\"SELECTARG2\" s1_colorop=\"DISABLE\" s1_colorarg1=\"TEXTURE\"/>",
        "<t id=\"TEQ_NONE\"/>"});
  engine->GFX_TechApply("TEQ_FULL");
  Device()->ClearRecording();
  engine->GFX_TechApply("TEQ_AB");
  EXPECT_EQ(States(), (std::vector<SState>{{'R', -1, D3DRS_ALPHABLENDENABLE, 1},
                                           {'R', -1, D3DRS_SRCBLEND, D3DBLEND_SRCALPHA},
                                           {'R', -1, D3DRS_DESTBLEND, D3DBLEND_INVSRCALPHA}}));
  EXPECT_EQ(Device()->RenderState(D3DRS_FOGENABLE), 1u) << "fog stays as the first technique set it";
  EXPECT_EQ(Device()->StageState(0, D3DTSS_ADDRESSU), DWORD(D3DTADDRESS_CLAMP));
  EXPECT_EQ(engine->fogEnabled, 1);

  // Applying the current technique again does nothing, not even a flush.
  engine->GFX_SceneBegin();
  engine->GFX_SceneRender();
  Device()->ClearRecording();
  engine->GFX_TechApply("TEQ_AB");
  engine->GFX_TechApply(1);
  EXPECT_TRUE(Device()->Events().empty());
  engine->GFX_TechApply("TEQ_S1OFF");  // another one flushes first
  EXPECT_EQ(Draws().size(), 1u);
  engine->GFX_SceneEnd();

  // A disabled second stage gets its colour operation only.
  const std::vector<SState> tmp_vStates = States();
  ASSERT_EQ(tmp_vStates.size(), 9u);
  EXPECT_EQ(tmp_vStates[8], (SState{'T', 1, D3DTSS_COLOROP, D3DTOP_DISABLE}));

  Device()->ClearRecording();
  engine->GFX_TechApply("TEQ_NONE");
  EXPECT_TRUE(States().empty());
  EXPECT_EQ(engine->currentTechnique, 3);
}

TEST_F(TechniqueTest, UnknownKeywordsAndMissingValuesGiveTheDefaults) {
  Load({"<t id=\"TEQ_LOWER\" tag=\"x\" alphablending=\"on\" absrc=\"srcalpha\" abdest=\"\" fog=\"OFF\" "
        "fogstart=\"near\" s0_colorop=\"MODULATE2X\" s0_minfilter=\"ANISOTROPIC\" dynlightmode=\"vertex\"/>"});
  engine->GFX_TechApply("TEQ_LOWER");
  const M2DTECHNIQUE* t = engine->techniquesManager->GetItem(0);
  ASSERT_NE(t, nullptr);
  EXPECT_TRUE(t->hasAlphaBlending);
  EXPECT_FALSE(t->alphaBlendEnabled) << "only \"ON\" is on";
  EXPECT_EQ(t->srcBlend, DWORD(D3DBLEND_ZERO));
  EXPECT_EQ(t->destBlend, DWORD(D3DBLEND_ZERO));
  EXPECT_TRUE(t->hasFog);
  EXPECT_FALSE(t->fogEnabled);
  EXPECT_FLOAT_EQ(t->fogStart, 0.0f);
  EXPECT_EQ(t->fogColor, 0xFF000000u);
  EXPECT_FALSE(t->hasTextureFactor);
  const M2DTECHNIQUE::SStage& s = t->stages[0];
  EXPECT_EQ(std::make_tuple(s.colorOp, s.colorArg1, s.colorArg2, s.alphaOp, s.alphaArg1, s.alphaArg2, s.address),
            std::make_tuple(DWORD(D3DTOP_DISABLE), D3DTA_CURRENT, D3DTA_CURRENT, DWORD(D3DTOP_DISABLE),
                            D3DTA_CURRENT, D3DTA_CURRENT, DWORD(D3DTADDRESS_WRAP)));
  EXPECT_EQ(t->filters[0].minFilter, DWORD(D3DTEXF_NONE));
  EXPECT_EQ(t->dynLightMode, 0u);
  EXPECT_EQ(engine->techniquesManager->GetTag(0), 0);
  EXPECT_EQ(engine->fogEnabled, 0);
}

TEST_F(TechniqueTest, ThePackLoaderLogsCountsAndSkipsLoadedTechniques) {
  CSmartID tmp_SmartID("TEQ_B", 0);
  Load({"<t id=\"TEQ_A\" tag=\"2\"/>", "<t id=\"TEQ_B\" tag=\"3\"/>", "<t id=\"TEQ_A\"/>"});
  EXPECT_TRUE(m2dtest::ContainsLines(m2dtest::ReadLines("gamelog.txt"),
                                     {"", "  -=: Processing techniques pack...", "   +: 2 techniques loaded.", ""}));
  EXPECT_EQ(tmp_SmartID.iID, 1);
  EXPECT_EQ(engine->GFX_TechGetIID("TEQ_B"), 1);
  EXPECT_EQ(engine->techniquesManager->GetTag(0), 2) << "the first declaration stays";
  Load({"<t id=\"TEQ_A\"/>", "<t id=\"TEQ_B\"/>"});
  EXPECT_EQ(m2dtest::ReadLines("gamelog.txt").end()[-2], "   +: 0 techniques loaded.");
  EXPECT_EQ(engine->techniquesManager->GetCount(), 2);
  EXPECT_EQ(engine->GFX_TechGetIID("TEQ_C"), -1);
  EXPECT_EQ(m2dtest::ReadLines("gamelog.txt").back(), " !: Cannot find iID of technique with strID = TEQ_C");
}

TEST_F(TechniqueTest, PackErrorsStopAtTheFaultyChild) {
  struct SCase {
    std::string bytes;
    int type;
    std::string message;
  };
  const SCase tmp_aCases[] = {
      {"", EHS_TYPE_GENERAL, "XMLERROR: buffer is empty."},
      {"no elements here", EHS_TYPE_GENERAL, "Error in XML parser: Root node is NULL!"},
      {"<techniques><t id=\"TEQ_X\"/></techniques>", EHS_TYPE_GENERAL,
       "Wrong XML root node name: must be techniquespack!"},
      {TechPack({"<t id=\"TEQ_OK\"/>", "<t tag=\"1\"/>", "<t id=\"TEQ_LATE\"/>"}), EHS_TYPE_GENERAL,
       "Ivanlid technique ID!"},
  };
  for (const SCase& c : tmp_aCases) {
    SCOPED_TRACE(c.message);
    const CEHSException e = Thrown([&] { engine->GFX_TechLoadPack(c.bytes.data(), int(c.bytes.size())); });
    EXPECT_EQ(e.type, c.type);
    EXPECT_EQ(e.code, 0);
    EXPECT_EQ(e.description, c.message);
  }
  EXPECT_EQ(engine->GFX_TechGetIID("TEQ_OK"), 0) << "techniques before the error stay";
  EXPECT_EQ(engine->techniquesManager->FindItem("TEQ_LATE"), -1);
}

TEST_F(TechniqueTest, AnUnknownTechniqueThrowsOnlyWhenOneIsCurrent) {
  Load({"<t id=\"TEQ_A\"/>"});
  Device()->ClearRecording();
  engine->GFX_TechApply("TEQ_MISSING");  // -1 while -1 is current: nothing
  EXPECT_TRUE(Device()->Events().empty());

  engine->GFX_TechApply("TEQ_A");
  engine->GFX_SceneBegin();
  engine->GFX_SceneRender();
  const CEHSException e = Thrown([&] { engine->GFX_TechApply("TEQ_MISSING"); });
  EXPECT_EQ(e.type, EHS_TYPE_GAME);
  EXPECT_EQ(e.description, "Invalid technique ID! ID = -1");
  EXPECT_EQ(Draws().size(), 1u) << "the pending quads were drawn first";
  EXPECT_EQ(Thrown([&] { engine->GFX_TechApply(99); }).description, "Invalid technique ID! ID = 99");
  engine->GFX_SceneEnd();
  EXPECT_EQ(engine->currentTechnique, 0);
}

TEST_F(TechniqueTest, FogPutsTheQuadsDepthIntoTheSpecularAlpha) {
  Load({"<t id=\"TEQ_FOG\" fog=\"ON\"/>", "<t id=\"TEQ_NOFOG\" fog=\"OFF\"/>"});
  engine->GFX_TechApply("TEQ_FOG");
  engine->GFX_VQuadSetPos(0, 0, 10, 10, 0.5f);
  EXPECT_EQ(engine->vquad[0].specular, 0x80FFFFFFu);
  engine->GFX_VQuadSetPosByVertex(2, 10, 10, 1.5f);
  EXPECT_EQ(engine->vquad[2].specular, 0xFFFFFFFFu);
  EXPECT_EQ(engine->vquad[1].specular, 0x80FFFFFFu);
  engine->GFX_VQuadMove(0, 0, -0.75f);  // each vertex by its own depth
  EXPECT_EQ(engine->vquad[0].specular, 0x00FFFFFFu);
  EXPECT_EQ(engine->vquad[2].specular, 0xBFFFFFFFu);
  engine->GFX_TechApply("TEQ_NOFOG");
  engine->GFX_VQuadSetPos(0, 0, 10, 10, 0.25f);
  EXPECT_EQ(engine->vquad[0].specular, 0x00FFFFFFu) << "without fog the specular colour is left alone";
}

}  // namespace
