// The "tile" class: the pieces of its eight drawing schemes read back from
// the recording device, its parameters and their errors, the bad scheme
// raised when drawn, and the texture and colour it draws with.
#include <string>

#include "m2dgui_stdclass_tile.h"
#include "tiles_fixture.h"

using tilestest::ReplayFrames;
using tilestest::SQuad;
using tilestest::SRes;
using tilestest::TilesTest;

namespace {

struct SPiece {
  float u0, v0, u1, v1, x, y, w, h;
};

void ExpectPieces(const std::vector<SQuad>& fp_vQuads, const std::vector<SPiece>& fp_vWant) {
  ASSERT_EQ(fp_vQuads.size(), fp_vWant.size());
  for (size_t i = 0; i < fp_vWant.size(); ++i) {
    SCOPED_TRACE("piece " + std::to_string(i));
    const SQuad& q = fp_vQuads[i];
    const SPiece& p = fp_vWant[i];
    EXPECT_FLOAT_EQ(q.x, p.x);
    EXPECT_FLOAT_EQ(q.y, p.y);
    EXPECT_FLOAT_EQ(q.width, p.w);
    EXPECT_FLOAT_EQ(q.height, p.h);
    EXPECT_FLOAT_EQ(q.u0, p.u0);
    EXPECT_FLOAT_EQ(q.v0, p.v0);
    EXPECT_FLOAT_EQ(q.u1, p.u1);
    EXPECT_FLOAT_EQ(q.v1, p.v1);
  }
}

const char* const kTileGui =
    "<desktop>"
    "<tile id=\"T\" coords=\"10 20 100 40\" drawparams=\"64 64 16 16\" visible=\"1\"/>"
    "</desktop>";

}  // namespace

TEST_F(TilesTest, EachSchemeDrawsItsPiecesInOrder) {
  UseReplay(ReplayFrames(10, 20));
  LoadGui(kTileGui);
  // A 100 x 40 rectangle at (10, 20) with 16-pixel borders of a 64-pixel
  // texture: columns 16, 68, 16 wide, rows 16, 8, 16 high, texture split at
  // 0.25 and 0.75.
  const float X[] = {10, 26, 94}, W[] = {16, 68, 16};
  const float Y[] = {20, 36, 44}, H[] = {16, 8, 16};
  const float U[] = {0.0f, 0.25f, 0.75f, 1.0f};
  auto Cell = [&](int c, int r) {
    return SPiece{U[c], U[r], U[c + 1], U[r + 1], X[c], Y[r], W[c], H[r]};
  };
  std::vector<SPiece> tmp_vNine, tmp_vFrame;
  for (int r = 0; r < 3; ++r)
    for (int c = 0; c < 3; ++c) {
      tmp_vNine.push_back(Cell(c, r));
      if (r != 1 || c != 1) tmp_vFrame.push_back(Cell(c, r));
    }
  const struct {
    int scheme;
    std::vector<SPiece> pieces;
  } kCases[] = {
      {1, {{0.1f, 0.2f, 0.3f, 0.4f, 10, 20, 100, 40}}},
      {2, {{0, 0, 0.25f, 1, 10, 20, 16, 40}, {0.25f, 0, 0.75f, 1, 26, 20, 68, 40},
           {0.75f, 0, 1, 1, 94, 20, 16, 40}}},
      {3, {{0, 0, 1, 0.25f, 10, 20, 100, 16}, {0, 0.25f, 1, 0.75f, 10, 36, 100, 8},
           {0, 0.75f, 1, 1, 10, 44, 100, 16}}},
      {4, tmp_vNine},
      {5, tmp_vFrame},
      {6, {}},
      {7, {{0, 0.25f, 0.25f, 0.75f, 10, 20, 16, 40}, {0.25f, 0.25f, 0.75f, 0.75f, 26, 20, 68, 40},
           {0.75f, 0.25f, 1, 0.75f, 94, 20, 16, 40}}},
      {8, {{0.25f, 0, 0.75f, 0.25f, 10, 20, 100, 16}, {0.25f, 0.25f, 0.75f, 0.75f, 10, 36, 100, 8},
           {0.25f, 0.75f, 0.75f, 1, 10, 44, 100, 16}}},
  };
  gui->SetElementParam("T", "texcoords", CGUIValue(GUIRECT{0.1f, 0.2f, 0.3f, 0.4f}));
  for (const auto& c : kCases) {
    SCOPED_TRACE("scheme " + std::to_string(c.scheme));
    gui->SetElementParam("T", "drawscheme", CGUIValue(static_cast<float>(c.scheme) + 0.9f));
    Frame();
    ExpectPieces(Quads(), c.pieces);
  }
}

TEST_F(TilesTest, NarrowRectangleGivesNegativeMiddleAsComputed) {
  UseReplay(ReplayFrames(4, 20));
  LoadGui(
      "<desktop><tile id=\"T\" coords=\"0 0 20 40\" drawscheme=\"2\" drawparams=\"32 64 16 8\" "
      "visible=\"1\"/></desktop>");
  Frame();
  ExpectPieces(Quads(), {{0, 0, 0.5f, 1, 0, 0, 16, 40},
                         {0.5f, 0, 0.5f, 1, 16, 0, -12, 40},
                         {0.5f, 0, 1, 1, 4, 0, 16, 40}});
  EXPECT_FLOAT_EQ(Element<CGUITile>("T")->borderV, 0.125f);
}

TEST_F(TilesTest, SchemeNoneStillDrawsChildrenAndBadSchemesThrowWhenDrawn) {
  UseReplay(ReplayFrames(6, 20));
  LoadGui(
      "<desktop><tile id=\"T\" coords=\"100 100 50 50\" drawscheme=\"6\" visible=\"1\">"
      "<tile id=\"C\" coords=\"5 5 10 10\" visible=\"1\"/></tile></desktop>");
  Frame();
  ASSERT_EQ(Quads().size(), 1u);
  EXPECT_FLOAT_EQ(Quads()[0].x, 105.0f);
  EXPECT_FLOAT_EQ(Quads()[0].width, 10.0f);

  for (float tmp_fScheme : {0.0f, 9.0f, -1.0f}) {
    // Setting it is fine; drawing it fails.
    gui->SetElementParam("T", "drawscheme", CGUIValue(tmp_fScheme));
    EXPECT_FLOAT_EQ(gui->GetElementParam("T", "drawscheme").GetFloat(), tmp_fScheme);
    engine->PumpMessages();
    gui->Update();
    const CEHSException e = tilestest::Thrown([&] { gui->Draw(); });
    EXPECT_EQ(e.type, 2);
    EXPECT_EQ(e.code, 0);
    EXPECT_EQ(e.description, "Invalid drawing scheme. Scheme ID = " +
                                 std::to_string(static_cast<int>(tmp_fScheme)) + " Element ID = T");
  }
  // A float from data saturates instead of overflowing.
  gui->SetElementParam("T", "drawscheme", CGUIValue(1e20f));
  EXPECT_EQ(Element<CGUITile>("T")->drawscheme, 2147483647);
}

TEST_F(TilesTest, DrawParamsAreStoredBeforeTheyAreChecked) {
  UseReplay(ReplayFrames(2, 20));
  StartEngine();
  gui->AddNewElement("tile", "T", 0);
  CGUITile* tmp_pTile = Element<CGUITile>("T");
  ASSERT_NE(tmp_pTile, nullptr);
  EXPECT_FLOAT_EQ(tmp_pTile->color.height, 1.0f);

  const struct {
    GUIRECT params;
    const char* message;  // null: accepted
  } kCases[] = {
      {{128, 32, 8, 4}, nullptr},
      {{0, 32, 16, 16}, "Invalid tile texture width!"},
      {{-5, -5, 16, 16}, "Invalid tile texture width!"},
      {{64, 0, 1, 2}, "Invalid tile texture height!"},
      {{64, __builtin_nanf(""), 1, 2}, "Invalid tile texture height!"},
  };
  for (const auto& c : kCases) {
    SCOPED_TRACE(c.message ? c.message : "accepted");
    if (c.message == nullptr) {
      gui->SetElementParam("T", "drawparams", CGUIValue(c.params));
    } else {
      const CEHSException e =
          tilestest::Thrown([&] { gui->SetElementParam("T", "drawparams", CGUIValue(c.params)); });
      EXPECT_EQ(e.type, 1);
      EXPECT_EQ(e.description, c.message);
    }
    // All four values are kept; the fractions only follow valid sizes.
    const GUIRECT tmp_Read = gui->GetElementParam("T", "drawparams").GetRect();
    EXPECT_FLOAT_EQ(tmp_Read.width, c.params.width);
    EXPECT_FLOAT_EQ(tmp_Read.height, c.params.height);
    EXPECT_FLOAT_EQ(tmp_pTile->borderU, 8.0f / 128.0f);
    EXPECT_FLOAT_EQ(tmp_pTile->borderV, 4.0f / 32.0f);
  }
  const GUIRECT tmp_Coords = gui->GetElementParam("T", "texcoords").GetRect();
  EXPECT_FLOAT_EQ(tmp_Coords.width, 1.0f);
  EXPECT_THROW(gui->GetElementParam("T", "hotkey"), CEHSException);
}

TEST_F(TilesTest, TileSelectsItsTextureOrKeepsTheLastOneAndDrawsItsAbsoluteColour) {
  UseReplay(ReplayFrames(4, 20));
  LoadGui(
      "<desktop>"
      "<tile id=\"A\" coords=\"0 0 10 10\" texture=\"TEX_A\" color=\"1 0 0 1\" visible=\"1\">"
      "<tile id=\"A2\" coords=\"0 0 5 5\" color=\"1 1 1 0.5\" visible=\"1\"/></tile>"
      "<tile id=\"B\" coords=\"20 0 10 10\" texture=\"TEX_B\" visible=\"1\"/>"
      "<tile id=\"N\" coords=\"40 0 10 10\" visible=\"1\"/>"
      "<tile id=\"H\" coords=\"60 0 10 10\" texture=\"TEX_A\"/>"
      "</desktop>",
      {SRes{"TEX_A", "TEXTURE", "a.tga", tilestest::SolidTGA(4, 4, 0xFFFF0000u)},
       SRes{"TEX_B", "TEXTURE", "b.tga", tilestest::SolidTGA(4, 4, 0xFF00FF00u)}});
  Frame();
  // Hidden H draws nothing; N draws with B's texture, still on the stage.
  ASSERT_EQ(Quads().size(), 4u);
  EXPECT_EQ(Quads()[0].texture, Texture("TEX_A"));
  EXPECT_EQ(Quads()[0].color, 0xFFFF0000u);
  EXPECT_EQ(Quads()[1].texture, Texture("TEX_A"));
  EXPECT_EQ(Quads()[1].color, 0x7FFF0000u);
  EXPECT_EQ(Quads()[2].texture, Texture("TEX_B"));
  EXPECT_EQ(Quads()[3].texture, Texture("TEX_B"));
  EXPECT_FLOAT_EQ(Quads()[3].x, 40.0f);
}
