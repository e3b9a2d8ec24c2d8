// Textures on the recording device: the TEXTURE loader through the resource
// subsystem with its log lines, sizes, formats and mip levels, the stage
// cache and the invalid-ID rule, unloading by both IDs, and the errors.
#include <gtest/gtest.h>

#include "cmorvane_utils_csmartid.h"
#include "graphics_fixture.h"

namespace {

using namespace gfxtest;
using gfx::null::ECall;

class TextureTest : public GfxTest {
 protected:
  // Graphics with fp_vRes catalogued (their TGA files are written here).
  void StartWith(const std::vector<SRes>& fp_vRes) {
    for (const SRes& r : fp_vRes) m2dtest::WriteFile("DATA/" + r.file, SolidTGA(8, 4, 0xFF336699u));
    WriteRespack(fp_vRes);
    StartGraphics();
  }
  gfx::IDirect3DTexture8* Texture(int fp_iID) const { return engine->texturesManager->GetItem(fp_iID); }
  gfx::D3DSURFACE_DESC Desc(int fp_iID) const {
    gfx::D3DSURFACE_DESC d{};
    EXPECT_EQ(Texture(fp_iID)->GetLevelDesc(0, &d), gfx::D3D_OK);
    return d;
  }
};

TEST_F(TextureTest, TheLoaderLogsRegistersAndLoadsEachIDOnce) {
  StartWith({{"TEX_A", "TEXTURE", "a.tga", 5}});
  CSmartID tmp_SmartID("TEX_A", 0);
  engine->LoadResource("TEX_A");
  EXPECT_TRUE(m2dtest::ContainsLines(m2dtest::ReadLines("gamelog.txt"),
                                     {"", "   =: Loading texture from memory. ID = TEX_A", "   =: Done.", ""}));
  const int tmp_iID = engine->GFX_TexGetIID("TEX_A");
  EXPECT_EQ(tmp_iID, 0);
  EXPECT_EQ(tmp_SmartID.iID, 0);
  EXPECT_EQ(engine->texturesManager->GetTag(0), 5);
  EXPECT_EQ(Desc(0).Width, 8u) << "size 0 keeps the image's size";
  EXPECT_EQ(Desc(0).Height, 4u);

  const size_t tmp_uLines = m2dtest::ReadLines("gamelog.txt").size();
  const std::string tmp_strImage = SolidTGA(2, 2, 0xFFFFFFFFu);
  EXPECT_EQ(engine->GFX_TexLoadFromMemory(tmp_strImage.data(), int(tmp_strImage.size()), 1, "TEX_A", 1, 0, 0),
            tmp_iID);
  EXPECT_EQ(m2dtest::ReadLines("gamelog.txt").size(), tmp_uLines) << "a second load logs nothing";
  EXPECT_EQ(Desc(0).Width, 8u) << "and loads nothing";

  EXPECT_EQ(engine->GFX_TexGetIID("TEX_NONE"), -1);
  EXPECT_EQ(m2dtest::ReadLines("gamelog.txt").back(), " !: Cannot find iID of texture with strID = TEX_NONE");
}

TEST_F(TextureTest, SizeFormatSlotAndMipLevelsFollowTheResourceData) {
  Adapter().caps.MaxTextureWidth = 1024;
  Adapter().caps.MaxTextureHeight = 1024;
  // data1 = format slot, data2 = mip levels, data3 = size.
  StartWith({{"TEX_BIG", "TEXTURE", "big.tga", 1, 2, 1, 2048},
             {"TEX_16", "TEXTURE", "s16.tga", 1, 16, 1, 16},
             {"TEX_S0", "TEXTURE", "s0.tga", 1, 0, 1, 0},
             {"TEX_S7", "TEXTURE", "s7.tga", 1, 7, 1, 0},
             {"TEX_S3", "TEXTURE", "s3.tga", 1, 3, 1, 0},
             {"TEX_S4", "TEXTURE", "s4.tga", 1, 4, 1, 0},
             {"TEX_MIP", "TEXTURE", "mip.tga", 1, 4, 3, 16},
             {"TEX_NOMIP", "TEXTURE", "nomip.tga", 1, 4, 0, 16}});
  engine->LoadResources(1);
  struct SWant {
    const char* id;
    gfx::UINT size;  // 0: the image's 8 x 4
    gfx::D3DFORMAT format;
    gfx::DWORD levels;
  };
  const SWant tmp_aWant[] = {
      {"TEX_BIG", 1024, gfx::D3DFMT_A4R4G4B4, 1},  {"TEX_16", 16, gfx::D3DFMT_R5G6B5, 1},
      {"TEX_S0", 0, gfx::D3DFMT_R5G6B5, 1},        {"TEX_S7", 0, gfx::D3DFMT_R5G6B5, 1},
      {"TEX_S3", 0, gfx::D3DFMT_A8R8G8B8, 1},      {"TEX_S4", 0, gfx::D3DFMT_A8R8G8B8, 1},
      {"TEX_MIP", 16, gfx::D3DFMT_A8R8G8B8, 3},    {"TEX_NOMIP", 16, gfx::D3DFMT_A8R8G8B8, 1},
  };
  for (const SWant& w : tmp_aWant) {
    SCOPED_TRACE(w.id);
    const int tmp_iID = engine->GFX_TexGetIID(w.id);
    ASSERT_NE(tmp_iID, -1);
    EXPECT_EQ(Desc(tmp_iID).Width, w.size != 0 ? w.size : 8u);
    EXPECT_EQ(Desc(tmp_iID).Height, w.size != 0 ? w.size : 4u);
    EXPECT_EQ(Desc(tmp_iID).Format, w.format);
    EXPECT_EQ(Texture(tmp_iID)->GetLevelCount(), w.levels);
    EXPECT_EQ(Desc(tmp_iID).Pool, gfx::D3DPOOL_MANAGED);
  }
}

TEST_F(TextureTest, TheStageCacheSkipsRepeatsAndTheInvalidIDRuleHolds) {
  StartWith({{"TEX_A", "TEXTURE", "a.tga"}, {"TEX_B", "TEXTURE", "b.tga"}});
  engine->LoadResources(1);
  CaptureDraws();
  Device()->ClearRecording();

  engine->GFX_TexSet(-1, 0);       // -1 on a stage holding -1: nothing
  engine->GFX_TexSet("TEX_NONE");  // not loaded: the same as -1
  EXPECT_EQ(CountEvents(ECall::SetTexture), 0u);
  engine->GFX_TexSet("TEX_A", 1);
  engine->GFX_TexSet(0, 1);
  CSmartID tmp_SmartID("TEX_A", 0);
  tmp_SmartID.iID = 0;
  engine->GFX_TexSet(tmp_SmartID, 1);
  EXPECT_EQ(CountEvents(ECall::SetTexture), 1u) << "repeats are filtered";
  EXPECT_EQ(engine->currentTexture[1], 0);
  EXPECT_EQ(Device()->BoundTexture(1), static_cast<void*>(Texture(0)));

  // On a stage with a texture, -1 throws, after the pending quads are drawn.
  engine->GFX_SceneBegin();
  engine->GFX_SceneRender();
  const CEHSException e = Thrown([&] { engine->GFX_TexSet(-1, 1); });
  EXPECT_EQ(e.type, EHS_TYPE_GENERAL);
  EXPECT_EQ(e.description, "Cannot set texture - invalid ID!");
  EXPECT_EQ(Draws().size(), 1u);
  EXPECT_EQ(Thrown([&] { engine->GFX_TexSet(7, 0); }).description, "Cannot set texture - invalid ID!");
  engine->GFX_SceneEnd();

  for (int tmp_iStage : {-1, 8}) {
    EXPECT_EQ(Thrown([&] { engine->GFX_TexSet(0, tmp_iStage); }).description,
              "Cannot set texture - invalid stage number!");
    EXPECT_EQ(Thrown([&] { engine->GFX_TexSetNoTexture(tmp_iStage); }).description,
              "Cannot set texture - invalid stage number!");
  }
  engine->GFX_TexSetNoTexture(1);
  EXPECT_EQ(engine->currentTexture[1], -1);
  EXPECT_EQ(Device()->BoundTexture(1), nullptr);
}

TEST_F(TextureTest, UnloadingByBothIDsFreesTheSlotForReuse) {
  StartWith({{"TEX_A", "TEXTURE", "a.tga"}, {"TEX_B", "TEXTURE", "b.tga"}, {"TEX_C", "TEXTURE", "c.tga"},
             {"TEX_D", "TEXTURE", "d.tga"}});
  CSmartID tmp_SmartB("TEX_B", 0);
  CSmartID tmp_SmartC("TEX_C", 0);
  engine->LoadResource("TEX_A");
  engine->LoadResource("TEX_B");
  engine->LoadResource("TEX_C");
  ASSERT_EQ(tmp_SmartC.iID, 2);

  engine->GFX_TexUnloadByID(2);
  EXPECT_TRUE(m2dtest::ContainsLines(m2dtest::ReadLines("gamelog.txt"),
                                     {"", "   =: Unloading texture, iID = 2", "   +: Done."}));
  EXPECT_EQ(tmp_SmartC.iID, -1);
  engine->LoadResource("TEX_D");
  EXPECT_EQ(engine->GFX_TexGetIID("TEX_D"), 2) << "the freed slot is reused";

  engine->GFX_TexUnloadByID("TEX_B");
  EXPECT_TRUE(m2dtest::ContainsLines(m2dtest::ReadLines("gamelog.txt"),
                                     {"", "   =: Unloading texture, strID = TEX_B", "   +: Done."}));
  EXPECT_EQ(tmp_SmartB.iID, -1);
  EXPECT_EQ(engine->texturesManager->GetItem(1), nullptr);

  for (auto tmp_Unload : {std::function<void()>([&] { engine->GFX_TexUnloadByID("TEX_B"); }),
                          std::function<void()>([&] { engine->GFX_TexUnloadByID(1); }),
                          std::function<void()>([&] { engine->GFX_TexUnloadByID(-5); }),
                          std::function<void()>([&] { engine->GFX_TexUnloadByID(99); })}) {
    tmp_Unload();
    EXPECT_EQ(m2dtest::ReadLines("gamelog.txt").back(), " !: Failed.");
  }
}

TEST_F(TextureTest, ATextureSetOnAStageCannotBeUnloadedAndStaysUsable) {
  StartWith({{"TEX_A", "TEXTURE", "a.tga"}});
  engine->LoadResource("TEX_A");
  engine->GFX_TexSet(0, 3);
  const CEHSException e = Thrown([&] { engine->GFX_TexUnloadByID(0); });
  EXPECT_EQ(e.type, EHS_TYPE_GENERAL);
  EXPECT_EQ(e.description, "Unreleased object references left!");
  ASSERT_NE(Texture(0), nullptr) << "the slot keeps its texture";
  EXPECT_EQ(Device()->BoundTexture(3), static_cast<void*>(Texture(0)));

  engine->GFX_TexSetNoTexture(3);
  engine->GFX_TexUnloadByID("TEX_A");
  EXPECT_EQ(Texture(0), nullptr);
  EXPECT_EQ(m2dtest::ReadLines("gamelog.txt").back(), "   +: Done.");
}

TEST_F(TextureTest, LoadingNeedsADeviceAndAnImage) {
  StartEngine();
  const std::string tmp_strImage = SolidTGA(2, 2, 0xFFFFFFFFu);
  EXPECT_EQ(Thrown([&] {
              engine->GFX_TexLoadFromMemory(tmp_strImage.data(), int(tmp_strImage.size()), 1, "TEX_A", 1, 0, 0);
            }).description,
            "D3DDevice object was not created!");
  engine->GFX_PreInit(800, 600);
  engine->GFX_Init(2, 0);
  for (const std::string& tmp_strBytes : {std::string("not an image"), std::string()}) {
    const CEHSException e = Thrown([&] {
      engine->GFX_TexLoadFromMemory(tmp_strBytes.data(), int(tmp_strBytes.size()), 1, "TEX_BAD", 1, 0, 0);
    });
    EXPECT_EQ(e.type, EHS_TYPE_GENERAL);
    EXPECT_EQ(e.description, "Cannot create texture object!");
  }
  EXPECT_EQ(engine->texturesManager->GetCount(), 0);
}

}  // namespace
