// Real pixels through the engine on the OpenGL device under SDL's offscreen
// driver: each frame is drawn with the engine's operations, presented, and
// read back from the engine's own screenshot file (or, for the gamma ramp,
// from the presented window image).
#include <gtest/gtest.h>

#include <cstdlib>

#include "Platform/gfx/gl/gl_device.h"
#include "Platform/os/os_backend.h"
#include "graphics_fixture.h"

namespace {

using namespace gfxtest;

constexpr std::uint32_t kRed = 0xFFFF0000u, kGreen = 0xFF00FF00u, kBlue = 0xFF0000FFu, kWhite = 0xFFFFFFFFu;

const char* const kTechniques[] = {
    // Texture x diffuse, no blending, nearest texels.
    "<t id=\"TEQ_TEX\" alphablending=\"OFF\" s0_colorop=\"MODULATE\" s0_colorarg1=\"TEXTURE\" "
    "s0_colorarg2=\"DIFFUSE\" s0_alphaop=\"MODULATE\" s0_alphaarg1=\"TEXTURE\" s0_alphaarg2=\"DIFFUSE\" "
    "s0_address=\"CLAMP\" s1_colorop=\"DISABLE\" s0_minfilter=\"POINT\" s0_magfilter=\"POINT\" "
    "s0_mipfilter=\"NONE\" fog=\"OFF\"/>",
    // The same, blended by the source alpha.
    "<t id=\"TEQ_BLEND\" alphablending=\"ON\" absrc=\"SRCALPHA\" abdest=\"INVSRCALPHA\" s0_colorop=\"MODULATE\" "
    "s0_colorarg1=\"TEXTURE\" s0_colorarg2=\"DIFFUSE\" s0_alphaop=\"MODULATE\" s0_alphaarg1=\"TEXTURE\" "
    "s0_alphaarg2=\"DIFFUSE\" s0_address=\"CLAMP\" s1_colorop=\"DISABLE\" s0_minfilter=\"POINT\" "
    "s0_magfilter=\"POINT\" s0_mipfilter=\"NONE\" fog=\"OFF\"/>",
};

// Pixels as 0xAARRGGBB, top row first.
struct SPixels {
  int width = 0, height = 0;
  std::vector<std::uint32_t> argb;
  std::uint32_t At(int x, int y) const { return argb[size_t(y) * size_t(width) + size_t(x)]; }
};

::testing::AssertionResult Near(std::uint32_t fp_uGot, std::uint32_t fp_uWant, int fp_iTolerance = 2) {
  for (int tmp_iShift : {16, 8, 0}) {
    const int g = int((fp_uGot >> tmp_iShift) & 255u), w = int((fp_uWant >> tmp_iShift) & 255u);
    if (std::abs(g - w) > fp_iTolerance)
      return ::testing::AssertionFailure() << std::hex << "got " << (fp_uGot & 0xFFFFFFu) << ", want "
                                           << (fp_uWant & 0xFFFFFFu);
  }
  return ::testing::AssertionSuccess();
}

// SDL unloads the GL driver when its last GL window goes, and Mesa's EGL
// leaves its state behind when unloaded (LeakSanitizer reports it). The
// device's adapter probe makes and destroys a window of its own before the
// game window exists, so a window kept for the whole process holds the
// driver loaded.
void KeepGLLoaded() {
  static const os::HWND s_hKeeper = [] {
    os::WNDCLASSEX tmp_Class{};
    tmp_Class.lpfnWndProc = &os::DefWindowProc;
    tmp_Class.hInstance = os::GetModuleHandle();
    tmp_Class.lpszClassName = "gfx_keeper_window";
    os::RegisterClassEx(tmp_Class);
    return os::CreateWindowEx(0, "gfx_keeper_window", "", os::WS_OVERLAPPED, 0, 0, 16, 16, nullptr, nullptr,
                              os::GetModuleHandle(), nullptr);
  }();
  ASSERT_NE(s_hKeeper, nullptr);
}

class GLPixelTest : public GfxTest {
 protected:
  void SetUp() override {
    GfxTest::SetUp();
    setenv("SDL_VIDEODRIVER", "offscreen", 1);
    os::SelectBackendForTests(os::Backend::Real);
    KeepGLLoaded();
    engine = std::make_unique<CMorvane>();
    engine->Start("GL pixels", "1");
    engine->RES_Init();
    engine->GFX_PreInit(800, 600);
    GfxCaps c{};
    engine->GFX_GetCaps(&c);
    ASSERT_TRUE(c.Mode2.Valid);
    engine->GFX_Init(2, 0);
    ASSERT_NE(gfx::gl::AsGLDevice(engine->pD3DDevice), nullptr) << "not the OpenGL device";
    std::string tmp_strPack = TechPack({kTechniques[0], kTechniques[1]});
    engine->GFX_TechLoadPack(tmp_strPack.data(), int(tmp_strPack.size()));
    white_ = Texture("TEX_WHITE", 1, 1, {kWhite});
  }

  // A texture in the 32-bit slot from ARGB texels.
  int Texture(const char* fp_pszID, int w, int h, const std::vector<std::uint32_t>& fp_rTexels) {
    const std::string tmp_strImage = EncodeTGA(w, h, fp_rTexels);
    return engine->GFX_TexLoadFromMemory(tmp_strImage.data(), int(tmp_strImage.size()), 4, fp_pszID, 1, 0, 0);
  }

  void Quad(float x, float y, float w, float h, float r, float g, float b, float a) {
    engine->GFX_VQuadSetColor(r, g, b, a);
    engine->GFX_VQuadSetTexCoords(1, 0, 0, 1, 1);
    engine->GFX_VQuadSetPos(x, y, w, h, 0.5f);
    engine->GFX_SceneRender();
  }

  // One frame drawn by fp_Draw over the clear colour, presented.
  void Frame(float r, float g, float b, const std::function<void()>& fp_Draw) {
    engine->GFX_SceneBegin();
    engine->GFX_SceneClearScreen(r, g, b);
    fp_Draw();
    engine->GFX_SceneEnd();
    engine->GFX_ScenePresent();
  }

  // The engine's screenshot of the last presented frame, decoded.
  SPixels Shot() {
    engine->GFX_SceneMakeScreenshot();
    const std::string f = m2dtest::ReadFile("screenshot" + std::to_string(engine->screenshotCounter) + ".bmp");
    SPixels p;
    if (f.size() < 54) return p;
    auto U32 = [&](size_t at) {
      return std::uint32_t(std::uint8_t(f[at])) | std::uint32_t(std::uint8_t(f[at + 1])) << 8 |
             std::uint32_t(std::uint8_t(f[at + 2])) << 16 | std::uint32_t(std::uint8_t(f[at + 3])) << 24;
    };
    p.width = int(U32(18));
    p.height = int(U32(22));
    const size_t tmp_uRow = (size_t(p.width) * 3 + 3) & ~size_t(3);
    if (f.size() != 54 + tmp_uRow * size_t(p.height)) return SPixels{};
    p.argb.resize(size_t(p.width) * size_t(p.height));
    for (int y = 0; y < p.height; ++y) {
      const size_t tmp_uAt = 54 + size_t(p.height - 1 - y) * tmp_uRow;
      for (int x = 0; x < p.width; ++x) {
        const size_t at = tmp_uAt + size_t(x) * 3;
        p.argb[size_t(y) * size_t(p.width) + size_t(x)] =
            0xFF000000u | std::uint32_t(std::uint8_t(f[at + 2])) << 16 | std::uint32_t(std::uint8_t(f[at + 1])) << 8 |
            std::uint32_t(std::uint8_t(f[at]));
      }
    }
    return p;
  }

  int white_ = -1;
};

TEST_F(GLPixelTest, ATexturedQuadIsTintedByItsColour) {
  const int tmp_iTex = Texture("TEX_FOUR", 2, 2, {kRed, kGreen, kBlue, kWhite});
  Frame(0, 0, 0, [&] {
    engine->GFX_TechApply("TEQ_TEX");
    engine->GFX_TexSet(tmp_iTex, 0);
    Quad(100, 100, 200, 200, 1.0f, 0.5f, 1.0f, 1.0f);
  });
  const SPixels p = Shot();
  ASSERT_EQ(p.width, 800);
  EXPECT_TRUE(Near(p.At(150, 150), 0xFF0000u));
  EXPECT_TRUE(Near(p.At(250, 150), 0x008000u));
  EXPECT_TRUE(Near(p.At(150, 250), 0x0000FFu));
  EXPECT_TRUE(Near(p.At(250, 250), 0xFF80FFu));
  // Exactly the quad's pixels: its edges at 100 and 300.
  EXPECT_TRUE(Near(p.At(100, 100), 0xFF0000u, 0));
  EXPECT_TRUE(Near(p.At(299, 299), 0xFF80FFu));
  EXPECT_TRUE(Near(p.At(99, 150), 0x000000u, 0));
  EXPECT_TRUE(Near(p.At(300, 250), 0x000000u, 0));
  EXPECT_TRUE(Near(p.At(150, 300), 0x000000u, 0));
}

TEST_F(GLPixelTest, AlphaBlendingMixesWithTheClearedBackground) {
  Frame(0, 0, 1, [&] {
    engine->GFX_TechApply("TEQ_BLEND");
    engine->GFX_TexSet(white_, 0);
    Quad(0, 0, 400, 600, 1.0f, 0.0f, 0.0f, 0.5f);
    Quad(400, 0, 400, 600, 1.0f, 1.0f, 1.0f, 0.0f);
    engine->GFX_TechApply("TEQ_TEX");
    Quad(0, 500, 100, 100, 0.0f, 1.0f, 0.0f, 0.25f);  // no blending: alpha ignored
  });
  const SPixels p = Shot();
  EXPECT_TRUE(Near(p.At(200, 300), 0x7F0080u));
  EXPECT_TRUE(Near(p.At(600, 300), 0x0000FFu, 0)) << "a transparent quad leaves the background";
  EXPECT_TRUE(Near(p.At(50, 550), 0x00FF00u, 0));
}

TEST_F(GLPixelTest, AViewportClipsWhatIsDrawnAfterIt) {
  Frame(0, 0, 0, [&] {
    engine->GFX_TechApply("TEQ_TEX");
    engine->GFX_TexSet(white_, 0);
    engine->GFX_SceneSetViewport(100, 100, 50, 40);
    Quad(0, 0, 800, 600, 1, 1, 1, 1);
    // Reaching past the screen is clipped to it.
    engine->GFX_SceneSetViewport(780, 590, 100, 100);
    Quad(0, 0, 800, 600, 0, 1, 0, 1);
    engine->GFX_SceneSetViewport(0, 0, 800, 600);
  });
  const SPixels p = Shot();
  for (auto [x, y] : {std::pair{100, 100}, {149, 139}, {125, 120}}) EXPECT_TRUE(Near(p.At(x, y), 0xFFFFFFu, 0)) << x;
  for (auto [x, y] : {std::pair{99, 120}, {150, 120}, {125, 99}, {125, 140}, {400, 300}})
    EXPECT_TRUE(Near(p.At(x, y), 0x000000u, 0)) << x << "," << y;
  EXPECT_TRUE(Near(p.At(799, 599), 0x00FF00u, 0));
  EXPECT_TRUE(Near(p.At(779, 599), 0x000000u, 0));
}

TEST_F(GLPixelTest, NineSlicesMeetWithoutSeamsOrOverlaps) {
  // Half-transparent white over black: a gap shows black, an overlap shows
  // a brighter grey.
  const float tmp_afEdges[4] = {100, 112, 187, 200};
  Frame(0, 0, 0, [&] {
    engine->GFX_TechApply("TEQ_BLEND");
    engine->GFX_TexSet(white_, 0);
    for (int row = 0; row < 3; ++row)
      for (int col = 0; col < 3; ++col)
        Quad(tmp_afEdges[col], tmp_afEdges[row], tmp_afEdges[col + 1] - tmp_afEdges[col],
             tmp_afEdges[row + 1] - tmp_afEdges[row], 1, 1, 1, 0.5f);
  });
  const SPixels p = Shot();
  const std::uint32_t tmp_uInside = p.At(150, 150);
  EXPECT_TRUE(Near(tmp_uInside, 0x808080u));
  int tmp_iWrong = 0;
  for (int y = 95; y < 205; ++y) {
    for (int x = 95; x < 205; ++x) {
      const bool tmp_bInside = x >= 100 && x < 200 && y >= 100 && y < 200;
      if ((p.At(x, y) & 0xFFFFFFu) != (tmp_bInside ? tmp_uInside & 0xFFFFFFu : 0u)) ++tmp_iWrong;
    }
  }
  EXPECT_EQ(tmp_iWrong, 0);
}

TEST_F(GLPixelTest, TextIsDrawnWithAFontBuiltByTheTest) {
  // A 256 x 256 font texture: the cell of 'A' opaque white, every other cell
  // transparent; 16-pixel cells, 'A' advances 16, '.' 8.
  std::vector<std::uint32_t> tmp_vTexels(256 * 256, 0x00000000u);
  const int tmp_iCellX = (65 % 16) * 16, tmp_iCellY = (65 / 16) * 16;
  for (int y = 0; y < 16; ++y)
    for (int x = 0; x < 16; ++x) tmp_vTexels[size_t(tmp_iCellY + y) * 256 + size_t(tmp_iCellX + x)] = kWhite;
  m2dtest::WriteFile("DATA/font.tga", EncodeTGA(256, 256, tmp_vTexels));
  m2dtest::WriteFile("DATA/tech.xml.txt", TechPack({kTechniques[1]}));
  m2dtest::WriteFile("DATA/font.xml.txt", FontDesc("FNT_T", "TEX_FONT", "TEQ_BLEND", "TECH_FONT", 16.0f, 16.0f,
                                                   {{'.', 8.0f}}, {{1, 1, 1}, {0, 1, 0}, {1, 0, 0}}));
  WriteRespack({{"TEX_FONT", "TEXTURE", "font.tga", 1, 4},
                {"TECH_FONT", "TECHNIQUE", "tech.xml.txt"},
                {"FNT_T", "FONT", "font.xml.txt"}});
  engine->RES_Deinit();
  engine->RES_Init();
  engine->LoadResource("FNT_T");
  Frame(0, 0, 1, [&] {
    engine->GFX_FontSet("FNT_T");
    engine->GFX_FontDrawText("A.A\nA", 200, 100, 0, 1, 1.0f);
    engine->GFX_FontDrawTextEx("A%2A", 200, 300, 0, 1, 1.0f, true, 2.0f, 4.0f, 0.0f);
  });
  const SPixels p = Shot();
  // Basic: A at 200, '.' (transparent) at 216, A at 224; the next line at 117.
  EXPECT_TRUE(Near(p.At(208, 108), 0x00FF00u, 0));
  EXPECT_TRUE(Near(p.At(220, 108), 0x0000FFu, 0));
  EXPECT_TRUE(Near(p.At(230, 108), 0x00FF00u, 0));
  EXPECT_TRUE(Near(p.At(240, 108), 0x0000FFu, 0));
  EXPECT_TRUE(Near(p.At(208, 125), 0x00FF00u, 0));
  EXPECT_TRUE(Near(p.At(208, 116), 0x0000FFu, 0)) << "the line spacing leaves a gap";
  // Extended at scale 2: 32-pixel cells, advance floor(2 x 16 + 4) = 36, the
  // second A red through its colour code.
  EXPECT_TRUE(Near(p.At(215, 315), 0x00FF00u, 0));
  EXPECT_TRUE(Near(p.At(233, 315), 0x0000FFu, 0));
  EXPECT_TRUE(Near(p.At(250, 315), 0xFF0000u, 0));
  EXPECT_TRUE(Near(p.At(267, 331), 0xFF0000u, 0));
  EXPECT_TRUE(Near(p.At(268, 315), 0x0000FFu, 0));
}

TEST_F(GLPixelTest, TheScreenshotOfAFrameIsBottomUpBGR) {
  Frame(0, 0, 1, [&] {
    engine->GFX_TechApply("TEQ_TEX");
    engine->GFX_TexSet(white_, 0);
    Quad(0, 0, 800, 300, 1, 0, 0, 1);
    Quad(0, 300, 3, 300, 0, 1, 0, 1);
  });
  engine->GFX_SceneMakeScreenshot();
  const std::string f = m2dtest::ReadFile("screenshot1.bmp");
  ASSERT_EQ(f.size(), 1440054u);
  auto tmp_Bytes = [&](size_t at) {
    return std::make_tuple(int(std::uint8_t(f[at])), int(std::uint8_t(f[at + 1])), int(std::uint8_t(f[at + 2])));
  };
  EXPECT_EQ(tmp_Bytes(54), std::make_tuple(0, 255, 0)) << "the bottom-left pixel comes first";
  EXPECT_EQ(tmp_Bytes(54 + 9), std::make_tuple(255, 0, 0)) << "blue after three green pixels";
  EXPECT_EQ(tmp_Bytes(54 + 299 * 2400 + 1200), std::make_tuple(255, 0, 0));
  EXPECT_EQ(tmp_Bytes(54 + 300 * 2400 + 1200), std::make_tuple(0, 0, 255)) << "red in the upper half";
  EXPECT_EQ(tmp_Bytes(1440054 - 3), std::make_tuple(0, 0, 255)) << "the top-right pixel comes last";
}

TEST_F(GLPixelTest, TheGammaRampChangesThePresentedImage) {
  gfx::gl::IGLDeviceTestAccess* tmp_pAccess = gfx::gl::AsGLDevice(engine->pD3DDevice);
  std::vector<std::uint8_t> tmp_vWindow;
  int w = 0, h = 0;
  auto tmp_Presented = [&] {
    tmp_pAccess->CaptureNextPresent(&tmp_vWindow, &w, &h);
    Frame(0.25f, 0.5f, 0.75f, [] {});
    const std::uint8_t* px = &tmp_vWindow[(size_t(h / 2) * size_t(w) + size_t(w / 2)) * 4];
    return std::uint32_t(px[0]) << 16 | std::uint32_t(px[1]) << 8 | px[2];
  };
  const std::uint32_t tmp_uPlain = tmp_Presented();
  EXPECT_TRUE(Near(tmp_uPlain, 0x3F7FBFu, 0));
  engine->GFX_SceneSetGamma(1.0f, 0.0f);
  EXPECT_EQ(tmp_Presented(), tmp_uPlain) << "the identity ramp";
  engine->GFX_SceneSetGamma(2.0f, 0.0f);
  EXPECT_TRUE(Near(tmp_Presented(), 0xFFFFFFu, 0));
  engine->GFX_SceneSetGamma(0.5f, 0.0f);
  EXPECT_TRUE(Near(tmp_Presented(), 0x1F3F5Fu, 1));
  // The frame itself, as the screenshot reads it, is left alone.
  EXPECT_TRUE(Near(Shot().At(400, 300), 0x3F7FBFu, 0));
}

}  // namespace
