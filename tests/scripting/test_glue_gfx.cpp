// The graphics part of the script API on the recording device: a scene of
// quads and the draw calls it gives, optional arguments and their defaults,
// integer truncation into the viewport, textures, techniques and fonts by
// string and integer ID, gamma and screenshots, and the graphics demands.
#include <algorithm>
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "Platform/gfx/null/null_device.h"
#include "scripting_fixture.h"

using gfx::null::ECall;
using m2dtest::ReadLines;
using scrtest::ScriptTest;
using scrtest::Thrown;

namespace {

// An uncompressed 32-bit TGA of one colour, top row first.
std::string SolidTGA(int fp_iSize, std::uint32_t fp_uARGB) {
  std::string tmp_str(18, '\0');
  tmp_str[2] = 2;
  tmp_str[12] = static_cast<char>(fp_iSize);
  tmp_str[14] = static_cast<char>(fp_iSize);
  tmp_str[16] = 32;
  tmp_str[17] = 0x28;
  for (int i = 0; i < fp_iSize * fp_iSize; ++i)
    for (int b = 0; b < 4; ++b) tmp_str.push_back(static_cast<char>((fp_uARGB >> (8 * b)) & 0xFF));
  return tmp_str;
}

std::string FontDesc() {
  std::string tmp_str =
      "<fontdesc id=\"FNT_A\" textureid=\"TEX_FONT\" techniqueid=\"TEQ_A\" techpackid=\"TP_MAIN\" "
      "cellsize=\"16\" tag=\"1\" color1r=\"1\"";
  for (int c = 0; c < 256; ++c) tmp_str += " cs" + std::to_string(c) + "=\"10\"";
  return tmp_str + "/>";
}

// One drawn quad's four vertices.
struct SQuad {
  M2DVERTEX v[4];
};

class ScriptGfxTest : public ScriptTest {
 protected:
  void StartAll() {
    scrtest::WriteRespack(
        {{"TEX_A", "TEXTURE", "a.tga", SolidTGA(16, 0xFF00FF00), 1},
         {"TEX_FONT", "TEXTURE", "font.tga", SolidTGA(16, 0xFFFFFFFF), 1},
         {"TP_MAIN", "TECHNIQUE", "main.tp",
          "<techniquespack><t id=\"TEQ_A\" tag=\"1\" alphablending=\"ON\" absrc=\"SRCALPHA\" "
          "abdest=\"INVSRCALPHA\"/><t id=\"TEQ_B\" tag=\"1\" texturefactorr=\"1\"/>"
          "</techniquespack>",
          1},
         {"FNT_A", "FONT", "a.fnt", FontDesc(), 1}});
    StartResources();
    StartGraphics();
    StartScripts();
    g_bAppActive = 1;
    ASSERT_NE(Device(), nullptr);
    Device()->SetDrawHook([this](const gfx::null::CNullDevice&, const gfx::null::SDrawCall& c) {
      std::vector<SQuad> tmp_v(c.primitiveCount / 2);
      std::memcpy(tmp_v.data(), c.stream->Data(), tmp_v.size() * sizeof(SQuad));
      draws.push_back(tmp_v);
    });
  }
  gfx::null::CNullDevice* Device() const { return gfx::null::AsNullDevice(engine->pD3DDevice); }

  std::vector<std::vector<SQuad>> draws;
};

}  // namespace

TEST_F(ScriptGfxTest, AScriptedSceneOfQuadsGivesItsDrawCalls) {
  StartAll();
  Device()->ClearRecording();
  Run("M2D_GFX_SceneBegin()\n"
      "M2D_GFX_SceneClearScreen(1, 0.5, 0)\n"
      "M2D_GFX_VQuadSetColor(1, 0, 0)\n"
      "for i = 0, 2 do\n"
      "  M2D_GFX_VQuadSetPos(i * 100, 50, 40, 30)\n"
      "  M2D_GFX_SceneRender()\n"
      "end\n"
      "M2D_GFX_SceneSetViewport(10.9, 20.9, 300.5, 200.99)\n"
      "M2D_GFX_VQuadSetPos(0, 0, 10, 10, 0.25)\n"
      "M2D_GFX_VQuadMove(5, 6)\n"
      "M2D_GFX_VQuadRotate(5, 6, 90)\n"
      "M2D_GFX_VQuadScale(5, 6, 2)\n"
      "M2D_GFX_SceneRender()\n"
      "M2D_GFX_SceneEnd()\n"
      "M2D_GFX_ScenePresent()\n");
  // The batch moves every vertex by half a pixel onto the texel centres.
  ASSERT_EQ(draws.size(), 2u);
  ASSERT_EQ(draws[0].size(), 3u);
  for (int i = 0; i < 3; ++i) {
    EXPECT_FLOAT_EQ(draws[0][i].v[0].x, 100.0f * i - 0.5f);
    EXPECT_FLOAT_EQ(draws[0][i].v[2].x, 100.0f * i + 39.5f);
    EXPECT_FLOAT_EQ(draws[0][i].v[2].y, 79.5f);
    EXPECT_EQ(draws[0][i].v[0].diffuse, 0xFFFF0000u);
  }
  // Moved to (5, 6), turned a quarter about its top-left corner, doubled.
  ASSERT_EQ(draws[1].size(), 1u);
  EXPECT_FLOAT_EQ(draws[1][0].v[0].z, 0.25f);
  EXPECT_NEAR(draws[1][0].v[1].x, 4.5f, 1e-4);
  EXPECT_NEAR(draws[1][0].v[1].y, 25.5f, 1e-4);
  const std::vector<gfx::null::SCallEvent> tmp_vDraws =
      Device()->EventsOf(ECall::DrawIndexedPrimitive);
  ASSERT_EQ(tmp_vDraws.size(), 2u);
  EXPECT_EQ(tmp_vDraws[0].e, 6u);
  EXPECT_EQ(tmp_vDraws[1].e, 2u);
  const std::vector<gfx::null::SCallEvent> tmp_vViewports = Device()->EventsOf(ECall::SetViewport);
  ASSERT_EQ(tmp_vViewports.size(), 1u);
  EXPECT_EQ(tmp_vViewports[0].a, 10u);
  EXPECT_EQ(tmp_vViewports[0].b, 20u);
  EXPECT_EQ(tmp_vViewports[0].c, 300u);
  EXPECT_EQ(tmp_vViewports[0].d, 200u);
  EXPECT_EQ(Device()->Counters().presents, 1u);
  EXPECT_EQ(Device()->FrontBuffer().at(0), 0xFFFF7F00u);
}

TEST_F(ScriptGfxTest, OptionalArgumentsAreUsedOnlyAtTheirExactCount) {
  StartAll();
  struct Case {
    const char* call;
    float z[4];
    float alpha[4];
  };
  // Every case starts from a quad at z 0.9 with alpha 0.3 on all vertices.
  const Case kCases[] = {
      {"M2D_GFX_VQuadSetPos(0, 0, 10, 10)", {0.5f, 0.5f, 0.5f, 0.5f}, {0.3f, 0.3f, 0.3f, 0.3f}},
      {"M2D_GFX_VQuadSetPos(0, 0, 10, 10, 0.1)",
       {0.1f, 0.1f, 0.1f, 0.1f},
       {0.3f, 0.3f, 0.3f, 0.3f}},
      {"M2D_GFX_VQuadSetPos(0, 0, 10, 10, 0.1, 0.2)",
       {0.5f, 0.5f, 0.5f, 0.5f},
       {0.3f, 0.3f, 0.3f, 0.3f}},
      {"M2D_GFX_VQuadSetPos(0, 0, 10, 10, 'x', {})",
       {0.5f, 0.5f, 0.5f, 0.5f},
       {0.3f, 0.3f, 0.3f, 0.3f}},
      {"M2D_GFX_VQuadSetPosByVertex(1, 3, 4)", {0.9f, 0.5f, 0.9f, 0.9f}, {0.3f, 0.3f, 0.3f, 0.3f}},
      {"M2D_GFX_VQuadSetPosByVertex(2, 3, 4, 0.7)",
       {0.9f, 0.9f, 0.7f, 0.9f},
       {0.3f, 0.3f, 0.3f, 0.3f}},
      {"M2D_GFX_VQuadMove(1, 1)", {0.9f, 0.9f, 0.9f, 0.9f}, {0.3f, 0.3f, 0.3f, 0.3f}},
      {"M2D_GFX_VQuadMove(1, 1, 0.05)", {0.95f, 0.95f, 0.95f, 0.95f}, {0.3f, 0.3f, 0.3f, 0.3f}},
      {"M2D_GFX_VQuadSetColor(1, 0, 0)", {0.9f, 0.9f, 0.9f, 0.9f}, {1.0f, 1.0f, 1.0f, 1.0f}},
      {"M2D_GFX_VQuadSetColor(1, 0, 0, 0.5)", {0.9f, 0.9f, 0.9f, 0.9f}, {0.5f, 0.5f, 0.5f, 0.5f}},
      {"M2D_GFX_VQuadSetColorByVertex(0, 1, 0, 0)",
       {0.9f, 0.9f, 0.9f, 0.9f},
       {0.0f, 0.3f, 0.3f, 0.3f}},
      {"M2D_GFX_VQuadSetColorByVertex(3, 1, 0, 0, 0.6)",
       {0.9f, 0.9f, 0.9f, 0.9f},
       {0.3f, 0.3f, 0.3f, 0.6f}},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.call);
    Run(std::string(
            "M2D_GFX_VQuadSetPos(0, 0, 10, 10, 0.9)\nM2D_GFX_VQuadSetColor(0, 0, 1, 0.3)\n") +
        c.call);
    for (int v = 0; v < 4; ++v) {
      EXPECT_FLOAT_EQ(engine->vquad[v].z, c.z[v]) << v;
      EXPECT_FLOAT_EQ(engine->vquadAlpha[v], c.alpha[v]) << v;
    }
  }
  // Alpha 0 on vertex 0 with red: the colour bytes packed ARGB.
  Run("M2D_GFX_VQuadSetColor(0, 0, 1)\nM2D_GFX_VQuadSetColorByVertex(0, 1, 0, 0)");
  EXPECT_EQ(engine->vquad[0].diffuse, 0x00FF0000u);
  EXPECT_EQ(engine->vquad[1].diffuse, 0xFF0000FFu);

  // Texture stages: the stage argument only when it is the second of two.
  Run("tex = M2DUTIL_DemandTexture('TEX_A')\n"
      "M2D_GFX_SceneBegin()\n"
      "M2D_GFX_TexSet('TEX_A')\n"
      "M2D_GFX_TexSet(tex, 1)\n"
      "M2D_GFX_TexSet(tex, 2, 'ignored')\n");
  EXPECT_EQ(engine->currentTexture[0], static_cast<int>(Number("tex")));
  EXPECT_EQ(engine->currentTexture[1], static_cast<int>(Number("tex")));
  EXPECT_EQ(engine->currentTexture[2], -1);
  Run("M2D_GFX_TexSetNoTexture(1)");
  EXPECT_EQ(engine->currentTexture[1], -1);
  EXPECT_EQ(engine->currentTexture[0], static_cast<int>(Number("tex")));
  // Two arguments of any kind: nothing is checked and stage 0 is used.
  Run("M2D_GFX_TexSetNoTexture('x', {})\nM2D_GFX_SceneEnd()");
  EXPECT_EQ(engine->currentTexture[0], -1);
  const CEHSException e = Thrown([&] { Load("M2D_GFX_TexSetNoTexture('1')"); });
  EXPECT_EQ(
      e.description,
      "Error in glue function: glue_M2D_GFX_TexSetNoTexture.Invalid argument type. Index = 1");
}

TEST_F(ScriptGfxTest, ViewportArgumentsAreTruncatedAndSaturated) {
  StartAll();
  struct Case {
    const char* args;
    std::uint32_t x, y, width, height;
  };
  const Case kCases[] = {
      {"0.9, 1.9, 800.5, -2.7", 0, 1, 800, 0},  // 0, 1, 800, -2: the height clips to 0
      {"-5.9, 0, 100.9, 50.5", 0, 0, 95, 50},   // -5 moves the left edge in
      {"-1e10, 0, 1e10, 50", 0, 0, 0, 50},      // saturated to INT_MIN and INT_MAX
      {"0/0, 0/0, 1/0, 1/0", 0, 0, 800, 600},   // NaN 0; infinities saturate
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.args);
    Device()->ClearRecording();
    Run(std::string("M2D_GFX_SceneSetViewport(") + c.args + ")");
    const std::vector<gfx::null::SCallEvent> tmp_v = Device()->EventsOf(ECall::SetViewport);
    ASSERT_EQ(tmp_v.size(), 1u);
    EXPECT_EQ(tmp_v[0].a, c.x);
    EXPECT_EQ(tmp_v[0].b, c.y);
    EXPECT_EQ(tmp_v[0].c, c.width);
    EXPECT_EQ(tmp_v[0].d, c.height);
  }
}

TEST_F(ScriptGfxTest, FontsTechniquesTexturesAndTheirDemands) {
  StartAll();
  Run("tex = M2DUTIL_DemandTexture('TEX_A')\n");
  const size_t tmp_uLines = ReadLines("gamelog.txt").size();
  Run("again = M2DUTIL_DemandTexture('TEX_A')\n"
      "teq = M2DUTIL_DemandTechnique('TEQ_B', 'TP_MAIN')\n"
      "teqa = M2DUTIL_DemandTechnique('TEQ_A', 'TP_NONE')\n"
      "fnt = M2DUTIL_DemandFont('FNT_A')\n");
  EXPECT_EQ(Number("again"), Number("tex"));
  EXPECT_EQ(CountLog("   =: Loading texture from memory. ID = TEX_A"), 1);
  // The technique pack was loaded by the second demand; the first technique
  // was then there without its pack being asked for again.
  EXPECT_EQ(Number("teq"), 1.0);
  EXPECT_EQ(Number("teqa"), 0.0);
  EXPECT_GE(Number("fnt"), 0.0);
  const std::vector<std::string> tmp_vLog = ReadLines("gamelog.txt");
  EXPECT_EQ(std::count(tmp_vLog.begin() + static_cast<long>(tmp_uLines), tmp_vLog.end(),
                       " !: Cannot find iID of texture with strID = TEX_A"),
            0);

  draws.clear();
  Run("M2D_GFX_SceneBegin()\n"
      "M2D_GFX_TechApply(teq)\n"
      "M2D_GFX_FontSet('FNT_A')\n"
      "M2D_GFX_FontDrawText('AB C', 10, 20, 0, 1, 0.5)\n"
      "M2D_GFX_FontSet(fnt)\n"
      "M2D_GFX_FontDrawText('ABCDEF', 10.7, 40, 2.9, -1, 1)\n"
      "M2D_GFX_SceneEnd()\n");
  ASSERT_FALSE(draws.empty());
  size_t tmp_uQuads = 0;
  for (const auto& d : draws) tmp_uQuads += d.size();
  EXPECT_EQ(tmp_uQuads, 5u);  // A, B, C and two of the second line
  const SQuad& q = draws.back().back();
  // Two characters of the second line (2.9 truncated); B is one width on.
  EXPECT_FLOAT_EQ(q.v[0].x, 20.7f - 0.5f);
  EXPECT_FLOAT_EQ(q.v[0].y, 39.5f);
  EXPECT_EQ(engine->currentTechnique, 0);

  struct Case {
    const char* call;
    const char* message;
  };
  const Case kCases[] = {
      {"M2DUTIL_DemandTexture('TEX_NONE')", "Invalid texture demand. ID = TEX_NONE"},
      {"M2DUTIL_DemandFont('FNT_NONE')", "Invalid font demand. ID = FNT_NONE"},
      {"M2DUTIL_DemandTechnique('TEQ_NONE', 'TP_MAIN')",
       "Invalid technique demand. ID = TEQ_NONE  TechPackID = TP_MAIN"},
      {"M2D_GFX_FontSet('FNT_NONE')", "Cannot set current font: invalid ID. strID = FNT_NONE"},
      {"M2D_GFX_FontSet(-1.5)", "Cannot set current font: invalid ID. ID = -1"},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.call);
    const CEHSException e = Thrown([&] { Load(c.call); });
    EXPECT_EQ(e.type, EHS_TYPE_GAME);
    EXPECT_EQ(e.description, c.message);
  }

  Run("M2D_GFX_TexUnloadByID('TEX_A')");
  EXPECT_EQ(engine->texturesManager->GetItem(static_cast<int>(Number("tex"))), nullptr);
  Run("M2D_GFX_TexUnloadByID(M2DUTIL_DemandTexture('TEX_A'))");
  EXPECT_EQ(engine->texturesManager->GetItem(static_cast<int>(Number("tex"))), nullptr);
  EXPECT_EQ(CountLog("   =: Loading texture from memory. ID = TEX_A"), 2);
}

TEST_F(ScriptGfxTest, GammaAndScreenshotsFromScripts) {
  StartAll();
  Device()->ClearRecording();
  Run("M2D_GFX_SceneSetGamma(2.0, 1)\nM2D_GFX_SceneSetGamma(0, 1)\n"
      "M2D_GFX_SceneBegin()\nM2D_GFX_SceneClearScreen(0, 0, 1)\nM2D_GFX_SceneEnd()\n"
      "M2D_GFX_ScenePresent()\nM2D_GFX_SceneMakeScreenshot()");
  ASSERT_EQ(Device()->GammaRamps().size(), 2u);
  EXPECT_EQ(Device()->GammaRamps()[0].red[0], 65535);
  EXPECT_EQ(Device()->GammaRamps()[1].red[255], 0);
  std::vector<std::string> tmp_vShots;
  for (const char* tmp_pszName : {"screenshot0.bmp", "screenshot1.bmp"})
    if (m2dtest::FileExists(tmp_pszName)) tmp_vShots.push_back(tmp_pszName);
  ASSERT_EQ(tmp_vShots.size(), 1u);
  EXPECT_GT(m2dtest::ReadFile(tmp_vShots[0]).size(), 800u * 600u * 3u);
}

TEST_F(ScriptTest, GraphicsFunctionsWithoutADeviceFail) {
  StartScripts();
  const CEHSException e = Thrown([&] { Load("M2D_GFX_SceneBegin()"); });
  EXPECT_EQ(e.type, EHS_TYPE_GENERAL);
  EXPECT_EQ(e.description, "D3DDevice object was not created!");
  EXPECT_EQ(StackTop(), 0);
}
