// Bitmap fonts on the recording device: the FONT loader with its texture and
// technique loaded on demand, the description's errors, the current font,
// where the basic and the extended drawing put each character (line feed,
// space, tab, colour codes, maxChars, scale and spacing) and string widths.
#include <gtest/gtest.h>

#include <cmath>

#include "cmorvane_utils_csmartid.h"
#include "graphics_fixture.h"

namespace {

using namespace gfxtest;

// Widths: 'A' 11.5, space 7.6, tab 30.2, everything else 12.
const std::vector<std::pair<int, float>> kWidths = {{65, 11.5f}, {32, 7.6f}, {9, 30.2f}};
// Palette: 0 white, 2 red.
const std::vector<std::vector<float>> kPalette = {{1, 1, 1}, {0, 0, 0}, {1, 0, 0}};

class FontTest : public GfxTest {
 protected:
  void SetUp() override {
    GfxTest::SetUp();
    m2dtest::WriteFile("DATA/font.tga", SolidTGA(16, 16, 0xFFFFFFFFu));
    m2dtest::WriteFile("DATA/tech.xml.txt",
                       TechPack({"<t id=\"TEQ_FONT\" tag=\"2\" alphablending=\"ON\" absrc=\"SRCALPHA\" "
                                 "abdest=\"INVSRCALPHA\"/>"}));
    m2dtest::WriteFile("DATA/font.xml.txt",
                       FontDesc("FNT_A", "TEX_FONT", "TEQ_FONT", "TECH_PACK", 20.0f, 12.0f, kWidths, kPalette));
    m2dtest::WriteFile("DATA/second.xml.txt",
                       FontDesc("FNT_B", "TEX_FONT", "TEQ_FONT", "TECH_PACK", 10.0f, 5.0f));
    WriteRespack({{"TEX_FONT", "TEXTURE", "font.tga", 2},
                  {"TECH_PACK", "TECHNIQUE", "tech.xml.txt", 2},
                  {"FNT_A", "FONT", "font.xml.txt", 3},
                  {"FNT_B", "FONT", "second.xml.txt", 3}});
  }
  void StartWithFont() {
    StartGraphics();
    engine->LoadResource("FNT_A");
    CaptureDraws();
  }
  // The quads of one drawing call, in a scene of their own.
  std::vector<SQuad> Drawn(const std::function<void()>& fp_Draw) {
    engine->GFX_SceneBegin();
    fp_Draw();
    engine->GFX_SceneEnd();
    std::vector<SQuad> tmp_v;
    for (const SDraw& d : Draws()) tmp_v.insert(tmp_v.end(), d.quads.begin(), d.quads.end());
    CaptureDraws();
    return tmp_v;
  }
  // Top-left corners of the drawn quads (without the half-pixel shift).
  static std::vector<std::pair<float, float>> Corners(const std::vector<SQuad>& fp_vQuads) {
    std::vector<std::pair<float, float>> tmp_v;
    for (const SQuad& q : fp_vQuads) tmp_v.emplace_back(q.v[0].x + 0.5f, q.v[0].y + 0.5f);
    return tmp_v;
  }
  using Corners_t = std::vector<std::pair<float, float>>;
};

TEST_F(FontTest, TheLoaderBringsInItsTextureAndTechniqueOnDemand) {
  CSmartID tmp_SmartID("FNT_A", 0);
  StartWithFont();
  const std::vector<std::string> tmp_vLog = LogFrom("  -=: Loading font description from memory...");
  ASSERT_FALSE(tmp_vLog.empty());
  EXPECT_TRUE(m2dtest::ContainsLine(tmp_vLog, " !: Cannot find iID of texture with strID = TEX_FONT"));
  EXPECT_TRUE(m2dtest::ContainsLine(tmp_vLog, "   =: Loading texture from memory. ID = TEX_FONT"));
  EXPECT_TRUE(m2dtest::ContainsLine(tmp_vLog, "   +: 1 techniques loaded."));
  EXPECT_EQ(tmp_vLog.end()[-2], "   +: Done.");
  EXPECT_EQ(tmp_vLog.back(), "");

  const int tmp_iID = engine->GFX_FontGetIID("FNT_A");
  ASSERT_EQ(tmp_iID, 0);
  EXPECT_EQ(tmp_SmartID.iID, 0);
  EXPECT_EQ(engine->currentFont, 0) << "the first font becomes current";
  EXPECT_EQ(engine->fontsManager->GetTag(0), 3);
  const M2DFont* f = engine->fontsManager->GetItem(0);
  EXPECT_EQ(f->texture, engine->GFX_TexGetIID("TEX_FONT"));
  EXPECT_EQ(f->technique, engine->GFX_TechGetIID("TEQ_FONT"));
  EXPECT_FLOAT_EQ(f->cellSize, 20.0f);
  EXPECT_FLOAT_EQ(f->widths[65], 11.5f);
  EXPECT_FLOAT_EQ(f->colors[2][0], 1.0f);
  EXPECT_FLOAT_EQ(f->colors[2][1], 0.0f);
  EXPECT_FLOAT_EQ(f->colors[5][0], 0.0f) << "a missing channel is 0";
  EXPECT_FLOAT_EQ(f->colors[5][3], 1.0f);

  // The same description again: a warning and the first font's ID.
  const std::string tmp_strDesc = m2dtest::ReadFile("DATA/font.xml.txt");
  EXPECT_EQ(engine->GFX_FontLoadFromMemory(tmp_strDesc.data(), int(tmp_strDesc.size())), 0);
  EXPECT_EQ(m2dtest::ReadLines("gamelog.txt").back(), " !: Warning: Dublicated font!");
  EXPECT_EQ(engine->fontsManager->GetCount(), 1);
  EXPECT_EQ(engine->GFX_FontGetIID("FNT_NONE"), -1);
  EXPECT_EQ(m2dtest::ReadLines("gamelog.txt").back(), " !: Cannot find iID of font with strID = FNT_NONE");
}

TEST_F(FontTest, DescriptionErrorsNameWhatIsWrong) {
  StartGraphics();
  struct SCase {
    std::string desc;
    int type;
    std::string message;
  };
  const auto Desc = [](const std::string& id, const std::string& tex, const std::string& teq,
                       const std::string& pack, const std::string& extra = "", int skip = -1) {
    return FontDesc(id, tex, teq, pack, 20.0f, 12.0f, {}, {}, extra, skip);
  };
  std::string tmp_strNoCell = Desc("FNT_X", "TEX_FONT", "TEQ_FONT", "TECH_PACK");
  tmp_strNoCell.replace(tmp_strNoCell.find("cellsize=\"20\""), 13, "cellsize=\"\"");
  const SCase tmp_aCases[] = {
      {"plain text", EHS_TYPE_GENERAL, "Parsing error during loading the font data!"},
      {"<font id=\"FNT_X\"/>", EHS_TYPE_GAME, "XML file doesn't contain font description!"},
      {Desc("", "TEX_FONT", "TEQ_FONT", "TECH_PACK"), EHS_TYPE_GENERAL, "Invalid font ID"},
      {Desc("FNT_X", "", "TEQ_FONT", "TECH_PACK"), EHS_TYPE_GENERAL, "Invalid font texture ID!"},
      {Desc("FNT_X", "TEX_NONE", "TEQ_FONT", "TECH_PACK"), EHS_TYPE_GENERAL, "Cannot load font texture!"},
      {Desc("FNT_X", "TEX_FONT", "", "TECH_PACK"), EHS_TYPE_GENERAL, "Invalid font technique ID!"},
      {Desc("FNT_X", "TEX_FONT", "TEQ_FONT", ""), EHS_TYPE_GENERAL, "Invalid font technique pack ID!"},
      {Desc("FNT_X", "TEX_FONT", "TEQ_OTHER", "TECH_PACK"), EHS_TYPE_GENERAL, "Cannot load font technique!"},
      {tmp_strNoCell, EHS_TYPE_GENERAL, "Invalid font cell size!"},
      {Desc("FNT_X", "TEX_FONT", "TEQ_FONT", "TECH_PACK", "", 200), EHS_TYPE_GENERAL,
       "Invalid character length!"},
  };
  for (const SCase& c : tmp_aCases) {
    SCOPED_TRACE(c.message);
    const CEHSException e = Thrown([&] { engine->GFX_FontLoadFromMemory(c.desc.data(), int(c.desc.size())); });
    EXPECT_EQ(e.type, c.type);
    EXPECT_EQ(e.code, 0);
    EXPECT_EQ(e.description, c.message);
  }
  EXPECT_EQ(engine->fontsManager->GetCount(), 0) << "no font was added";
}

TEST_F(FontTest, BasicDrawingLaysOutLinesSpacesAndTabs) {
  StartWithFont();
  EXPECT_EQ(Corners(Drawn([&] { engine->GFX_FontDrawText("AB\nC", 10, 10, 0, -1, 1.0f); })),
            (Corners_t{{10, 10}, {21.5f, 10}, {10, 32}}));
  // Advances are not rounded; spaces and tabs are; other control codes do nothing.
  EXPECT_EQ(Corners(Drawn([&] { engine->GFX_FontDrawText("A B\tC\x01" "D", 10, 10, 0, -1, 1.0f); })),
            (Corners_t{{10, 10}, {28.5f, 10}, {70.5f, 10}, {82.5f, 10}}));
  EXPECT_EQ(Drawn([&] { engine->GFX_FontDrawText("ABCDE", 0, 0, 3, -1, 1.0f); }).size(), 3u);
  EXPECT_EQ(Drawn([&] { engine->GFX_FontDrawText("ABCDE", 0, 0, -2, -1, 1.0f); }).size(), 5u);

  // The cell of 'A' (65): column 1, row 4 of the 16 x 16 grid, 20 pixels wide.
  const SQuad q = Drawn([&] { engine->GFX_FontDrawText("A", 0, 0, 0, -1, 1.0f); })[0];
  EXPECT_FLOAT_EQ(q.v[0].tu0, 0.0625f);
  EXPECT_FLOAT_EQ(q.v[0].tv0, 0.25f);
  EXPECT_FLOAT_EQ(q.v[2].tu0, 0.125f);
  EXPECT_FLOAT_EQ(q.v[2].tv0, 0.3125f);
  EXPECT_FLOAT_EQ(q.v[2].x - q.v[0].x, 20.0f);
  EXPECT_EQ(Device()->BoundTexture(0), static_cast<void*>(engine->texturesManager->GetItem(0)));
  EXPECT_EQ(engine->currentTechnique, engine->GFX_TechGetIID("TEQ_FONT"));
}

TEST_F(FontTest, ColoursComeFromThePaletteAndFromColourCodes) {
  StartWithFont();
  engine->GFX_VQuadSetColor(0.0f, 0.0f, 1.0f, 1.0f);
  std::vector<SQuad> q = Drawn([&] { engine->GFX_FontDrawText("X", 0, 0, 0, -1, 1.0f); });
  EXPECT_EQ(q[0].v[0].diffuse, 0xFF0000FFu) << "-1 keeps the quad's colour";
  q = Drawn([&] { engine->GFX_FontDrawText("X", 0, 0, 0, 2, 0.5f); });
  EXPECT_EQ(q[0].v[0].diffuse, 0x7FFF0000u);

  // Extended drawing: "%2" picks palette entry 2 and is not drawn.
  q = Drawn([&] { engine->GFX_FontDrawTextEx("%2Hi", 0, 0, 0, 0, 1.0f, true, 1.0f, 0, 0); });
  ASSERT_EQ(q.size(), 2u);
  EXPECT_EQ(q[0].v[0].diffuse, 0xFFFF0000u);
  EXPECT_EQ(Corners(q), (Corners_t{{0, 0}, {12, 0}}));
  q = Drawn([&] { engine->GFX_FontDrawTextEx("W%0i", 0, 0, 0, 2, 1.0f, true, 1.0f, 0, 0); });
  ASSERT_EQ(q.size(), 2u);
  EXPECT_EQ(q[0].v[0].diffuse, 0xFFFF0000u);
  EXPECT_EQ(q[1].v[0].diffuse, 0xFFFFFFFFu);
  // Without a colour index the codes are drawn like any other character;
  // an index outside the palette behaves as -1.
  for (int tmp_iIndex : {-1, 10, -7, 1000}) {
    engine->GFX_VQuadSetColor(0.0f, 0.0f, 1.0f, 1.0f);
    q = Drawn([&] { engine->GFX_FontDrawTextEx("%2Hi", 0, 0, 0, tmp_iIndex, 1.0f, true, 1.0f, 0, 0); });
    ASSERT_EQ(q.size(), 4u) << tmp_iIndex;
    EXPECT_EQ(q[3].v[0].diffuse, 0xFF0000FFu) << tmp_iIndex;
    EXPECT_EQ(Drawn([&] { engine->GFX_FontDrawText("X", 0, 0, 0, tmp_iIndex, 1.0f); })[0].v[0].diffuse,
              0xFF0000FFu);
  }
  // maxChars counts the code's two characters and never lets drawing run on.
  EXPECT_EQ(Drawn([&] { engine->GFX_FontDrawTextEx("A%1BC", 0, 0, 2, 0, 1.0f, true, 1.0f, 0, 0); }).size(), 1u);
}

TEST_F(FontTest, ExtendedDrawingScalesAndSpaces) {
  StartWithFont();
  // cell 10; advances floor(0.5 w + 1); line feed floor(10 x 1.1 + 3).
  const std::vector<SQuad> q =
      Drawn([&] { engine->GFX_FontDrawTextEx("AB C\nD", 100, 50, 0, 0, 1.0f, false, 0.5f, 1.0f, 3.0f); });
  EXPECT_EQ(Corners(q), (Corners_t{{100, 50}, {106, 50}, {117, 50}, {100, 64}}));
  EXPECT_FLOAT_EQ(q[0].v[2].x - q[0].v[0].x, 10.0f);

  // Without applyTechnique the font's technique is left alone.
  const std::string tmp_strPack = TechPack({"<t id=\"TEQ_OTHER\"/>"});
  engine->GFX_TechLoadPack(tmp_strPack.data(), int(tmp_strPack.size()));
  engine->GFX_TechApply("TEQ_OTHER");
  Drawn([&] { engine->GFX_FontDrawTextEx("A", 0, 0, 0, -1, 1.0f, false, 1.0f, 0, 0); });
  EXPECT_EQ(engine->currentTechnique, engine->GFX_TechGetIID("TEQ_OTHER"));
  Drawn([&] { engine->GFX_FontDrawTextEx("A", 0, 0, 0, -1, 1.0f, true, 1.0f, 0, 0); });
  EXPECT_EQ(engine->currentTechnique, engine->GFX_TechGetIID("TEQ_FONT"));
}

TEST_F(FontTest, StringWidthMeasuresTheFirstLineAsDrawn) {
  StartWithFont();
  struct SCase {
    const char* text;
    float scale, spacing, want;
  };
  const SCase tmp_aCases[] = {
      {"ab\ncd", 1.0f, 0.0f, 24.0f},    {"ab", 1.0f, 0.0f, 24.0f},
      {"%2ab", 1.0f, 0.0f, 24.0f},      {"A A", 1.0f, 0.0f, 11.0f + 7.0f + 11.0f},
      {"A\tA", 0.5f, 1.0f, 6.0f + 16.0f + 6.0f}, {"\x01\x02", 1.0f, 5.0f, 0.0f},
      {"", 1.0f, 0.0f, 0.0f},
  };
  for (const SCase& c : tmp_aCases)
    EXPECT_FLOAT_EQ(engine->GFX_FontGetStringWidth(c.text, 0, c.scale, c.spacing), c.want) << c.text;

  // The extended drawing's last pen position agrees.
  const std::vector<SQuad> q =
      Drawn([&] { engine->GFX_FontDrawTextEx("%2ab" "c", 0, 0, 0, 0, 1.0f, true, 1.0f, 0, 0); });
  EXPECT_FLOAT_EQ(Corners(q).back().first, engine->GFX_FontGetStringWidth("%2ab", 0, 1.0f, 0.0f));

  for (int tmp_iID : {-1, 1, 99}) {
    const CEHSException e = Thrown([&] { engine->GFX_FontGetStringWidth("a", tmp_iID, 1.0f, 0.0f); });
    EXPECT_EQ(e.type, EHS_TYPE_GAME);
    EXPECT_EQ(e.description, "Cannot calculate string width: invalid font id. ID = " + std::to_string(tmp_iID));
  }
}

TEST_F(FontTest, TheCurrentFontIsCheckedWhenTextIsDrawn) {
  CSmartID tmp_SmartID("FNT_A", 0);
  StartGraphics();
  engine->LoadResource("FNT_A");
  engine->LoadResource("FNT_B");
  CaptureDraws();
  engine->currentFont = -1;  // as after a device reset: drawing uses font 0
  EXPECT_FLOAT_EQ(Drawn([&] { engine->GFX_FontDrawText("A", 0, 0, 0, -1, 1.0f); })[0].v[2].x + 0.5f, 20.0f);
  EXPECT_EQ(engine->currentFont, 0);
  engine->GFX_FontSet("FNT_B");
  EXPECT_EQ(engine->currentFont, 1);
  engine->GFX_FontSet(tmp_SmartID);
  EXPECT_EQ(engine->currentFont, 0);

  CEHSException e = Thrown([&] { engine->GFX_FontSet(-1); });
  EXPECT_EQ(e.type, EHS_TYPE_GAME);
  EXPECT_EQ(e.description, "Cannot set current font: invalid ID. ID = -1");
  e = Thrown([&] { engine->GFX_FontSet("FNT_NONE"); });
  EXPECT_EQ(e.description, "Cannot set current font: invalid ID. strID = FNT_NONE");
  engine->GFX_FontSet(7);  // stored as it is
  engine->GFX_SceneBegin();
  e = Thrown([&] { engine->GFX_FontDrawText("A", 0, 0, 0, -1, 1.0f); });
  EXPECT_EQ(e.type, EHS_TYPE_GAME);
  EXPECT_EQ(e.description, "Cannot draw text: invalid current font id. ID = 7");
  engine->GFX_FontSet(-5);
  EXPECT_EQ(Thrown([&] { engine->GFX_FontDrawTextEx("A", 0, 0, 0, -1, 1.0f, true, 1, 0, 0); }).description,
            "Cannot draw text: invalid current font id. ID = -5");
  engine->GFX_SceneEnd();
}

}  // namespace
