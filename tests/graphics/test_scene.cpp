// The scene on the recording device: the clear colour, the viewport's
// clipping rule, the gamma ramp's curve, the BMP screenshot of the front
// buffer (layout, row padding, numbering, errors, windowed mode) and the
// operations that need a device.
#include <gtest/gtest.h>

#include <climits>
#include <cmath>

#include "graphics_fixture.h"

namespace {

using namespace gfxtest;
using namespace gfx;
using gfx::null::ECall;

std::uint32_t U32(const std::string& s, size_t at) {
  return std::uint32_t(std::uint8_t(s[at])) | std::uint32_t(std::uint8_t(s[at + 1])) << 8 |
         std::uint32_t(std::uint8_t(s[at + 2])) << 16 | std::uint32_t(std::uint8_t(s[at + 3])) << 24;
}
std::uint32_t U16(const std::string& s, size_t at) {
  return std::uint32_t(std::uint8_t(s[at])) | std::uint32_t(std::uint8_t(s[at + 1])) << 8;
}

class SceneTest : public GfxTest {};

TEST_F(SceneTest, ClearFillsTheWholeTargetWithTheOpaqueColour) {
  StartGraphics();
  engine->GFX_SceneBegin();
  engine->GFX_SceneClearScreen(0.25f, 0.5f, 0.75f);
  engine->GFX_SceneEnd();
  const std::vector<null::SCallEvent> tmp_vClears = Device()->EventsOf(ECall::Clear);
  ASSERT_EQ(tmp_vClears.size(), 1u);
  EXPECT_EQ(tmp_vClears[0].a, 0u);
  EXPECT_EQ(tmp_vClears[0].b, D3DCLEAR_TARGET);
  EXPECT_EQ(tmp_vClears[0].c, 0xFF3F7FBFu);
  EXPECT_EQ(Device()->ColorBuffer()[0], 0xFF3F7FBFu);
  EXPECT_EQ(Device()->ColorBuffer().back(), 0xFF3F7FBFu);
}

TEST_F(SceneTest, TheViewportIsClippedToTheScreen) {
  StartGraphics();
  CaptureDraws();
  struct SCase {
    std::int32_t x, y, w, h;
    DWORD wantX, wantY, wantW, wantH;
  };
  const SCase tmp_aCases[] = {
      {-10, -10, 100, 100, 0, 0, 90, 90},
      {790, 0, 100, 50, 790, 0, 10, 50},
      {900, 0, 50, 50, 900, 0, 0, 50},
      {0, 0, 800, 600, 0, 0, 800, 600},
      {10, 590, 20, -5, 10, 590, 20, 0},
      {INT_MIN, INT_MIN, INT_MAX, INT_MAX, 0, 0, 0, 0},
      {0, 0, INT_MAX, INT_MAX, 0, 0, 800, 600},
      {INT_MAX, INT_MAX, INT_MAX, INT_MAX, DWORD(INT_MAX), DWORD(INT_MAX), 0, 0},
  };
  for (const SCase& c : tmp_aCases) {
    SCOPED_TRACE(::testing::Message() << c.x << ", " << c.y << ", " << c.w << ", " << c.h);
    Device()->ClearRecording();
    engine->GFX_SceneSetViewport(c.x, c.y, c.w, c.h);
    const std::vector<null::SCallEvent> v = Device()->EventsOf(ECall::SetViewport);
    ASSERT_EQ(v.size(), 1u);
    EXPECT_EQ(std::make_tuple(v[0].a, v[0].b, v[0].c, v[0].d), std::make_tuple(c.wantX, c.wantY, c.wantW, c.wantH));
    EXPECT_EQ(v[0].f0, 0.0f);
    EXPECT_EQ(v[0].f1, 1.0f);
  }
  // The quads queued so far are drawn before the viewport changes.
  engine->GFX_SceneBegin();
  engine->GFX_SceneRender();
  engine->GFX_SceneSetViewport(0, 0, 10, 10);
  EXPECT_EQ(Draws().size(), 1u);
  engine->GFX_SceneEnd();
}

TEST_F(SceneTest, TheGammaRampIsABezierFromLowToHigh) {
  Adapter().caps.Caps2 |= D3DCAPS2_CANCALIBRATEGAMMA;
  StartGraphics();
  struct SCase {
    float level, bend;
    std::function<int(int)> want;  // entry i, within 1
  };
  const SCase tmp_aCases[] = {
      {1.0f, 0.0f, [](int i) { return i * 257; }},
      {2.0f, 0.0f, [](int) { return 65535; }},
      {5.0f, 0.7f, [](int) { return 65535; }},
      {0.0f, 0.0f, [](int) { return 0; }},
      {-3.0f, 0.3f, [](int) { return 0; }},
      {1.5f, 0.0f, [](int i) { return int((0.5 + 0.5 * i / 255.0) * 65535); }},
      {0.5f, 0.0f, [](int i) { return int(0.5 * i / 255.0 * 65535); }},
      // bend 1: control = high, so value = t (2 - t) for the neutral level.
      {1.0f, 1.0f, [](int i) { const double t = i / 255.0; return int(t * (2 - t) * 65535); }},
      {std::nanf(""), 0.0f, [](int i) { return i * 257; }},
  };
  for (const SCase& c : tmp_aCases) {
    SCOPED_TRACE(::testing::Message() << c.level << " " << c.bend);
    engine->GFX_SceneSetGamma(c.level, c.bend);
    const D3DGAMMARAMP& r = Device()->GammaRamp();
    for (int i = 0; i < 256; ++i) {
      EXPECT_NEAR(r.red[i], c.want(i), 1) << i;
      EXPECT_EQ(r.green[i], r.red[i]);
      EXPECT_EQ(r.blue[i], r.red[i]);
    }
  }
  EXPECT_EQ(Device()->EventsOf(ECall::SetGammaRamp).back().a, D3DSGR_CALIBRATE);
  // A NaN bend gives no entry outside the ramp's range.
  engine->GFX_SceneSetGamma(1.0f, std::nanf(""));
  EXPECT_EQ(Device()->GammaRamp().red[200], 0);
}

TEST_F(SceneTest, AScreenshotIsABottomUpBGRFileOfTheFrontBuffer) {
  StartGraphics();
  engine->GFX_SceneBegin();
  engine->GFX_SceneClearScreen(0.25f, 0.5f, 0.75f);
  // The top 100 rows red, the left 2 columns green.
  engine->GFX_SceneSetViewport(0, 0, 800, 100);
  engine->GFX_SceneClearScreen(1, 0, 0);
  engine->GFX_SceneSetViewport(0, 0, 2, 600);
  engine->GFX_SceneClearScreen(0, 1, 0);
  engine->GFX_SceneEnd();
  engine->GFX_ScenePresent();
  engine->GFX_SceneMakeScreenshot();

  const std::string f = m2dtest::ReadFile("screenshot1.bmp");
  ASSERT_EQ(f.size(), 1440054u);
  EXPECT_EQ(U16(f, 0), 19778u);
  EXPECT_EQ(U32(f, 2), 1440054u);
  EXPECT_EQ(U32(f, 6), 0u);
  EXPECT_EQ(U32(f, 10), 54u);
  EXPECT_EQ(U32(f, 14), 40u);
  EXPECT_EQ(U32(f, 18), 800u);
  EXPECT_EQ(U32(f, 22), 600u);
  EXPECT_EQ(U16(f, 26), 1u);
  EXPECT_EQ(U16(f, 28), 24u);
  EXPECT_EQ(U32(f, 30), 0u);
  EXPECT_EQ(U32(f, 34), 1440000u);
  for (size_t at = 38; at < 54; at += 4) EXPECT_EQ(U32(f, at), 0u);
  auto tmp_Pixel = [&](int x, int tmp_iRowFromBottom) {
    const size_t at = 54 + size_t(tmp_iRowFromBottom) * 2400 + size_t(x) * 3;
    return std::make_tuple(int(std::uint8_t(f[at])), int(std::uint8_t(f[at + 1])), int(std::uint8_t(f[at + 2])));
  };
  EXPECT_EQ(tmp_Pixel(400, 0), std::make_tuple(191, 127, 63)) << "the bottom row first, blue green red";
  EXPECT_EQ(tmp_Pixel(400, 599), std::make_tuple(0, 0, 255)) << "the top row last";
  EXPECT_EQ(tmp_Pixel(400, 500), std::make_tuple(0, 0, 255));
  EXPECT_EQ(tmp_Pixel(400, 499), std::make_tuple(191, 127, 63));
  EXPECT_EQ(tmp_Pixel(1, 300), std::make_tuple(0, 255, 0));
  EXPECT_EQ(tmp_Pixel(2, 300), std::make_tuple(191, 127, 63));
  EXPECT_TRUE(m2dtest::ContainsLines(m2dtest::ReadLines("gamelog.txt"), {"", "   +: Screenshot saved.", ""}));

  engine->GFX_SceneMakeScreenshot();
  EXPECT_EQ(m2dtest::ReadFile("screenshot2.bmp").size(), 1440054u);
}

TEST_F(SceneTest, ScreenshotRowsArePaddedToFourBytes) {
  Adapter().desktop = {1366, 768, 60, D3DFMT_X8R8G8B8};
  StartGraphics(3, 0);
  engine->GFX_SceneBegin();
  engine->GFX_SceneClearScreen(1, 1, 1);
  engine->GFX_SceneEnd();
  engine->GFX_ScenePresent();
  engine->GFX_SceneMakeScreenshot();
  const std::string f = m2dtest::ReadFile("screenshot1.bmp");
  ASSERT_EQ(f.size(), 54u + 4100u * 768u);
  EXPECT_EQ(U32(f, 18), 1366u);
  EXPECT_EQ(U32(f, 34), 4100u * 768u);
  EXPECT_EQ(f.substr(54 + 4098, 2), std::string(2, '\0')) << "the padding is zero";
  EXPECT_EQ(std::uint8_t(f[54 + 4097]), 255);
  EXPECT_EQ(std::uint8_t(f[54 + 4100]), 255);
}

TEST_F(SceneTest, FailedScreenshotsKeepTheirNumberAndWindowedModeMakesNone) {
  StartGraphics();
  engine->GFX_ScenePresent();
  struct SCase {
    detail::EFailPoint point;
    const char* message;
  };
  const SCase tmp_aCases[] = {{detail::EFailPoint::CreateImageSurface, "Cannot create surface!"},
                              {detail::EFailPoint::GetFrontBuffer, "Cannot get front buffer!"},
                              {detail::EFailPoint::LockSurface, "Cannot lock surface!"}};
  for (const SCase& c : tmp_aCases) {
    Device()->InjectFailure(c.point, E_OUTOFMEMORY);
    const CEHSException e = Thrown([&] { engine->GFX_SceneMakeScreenshot(); });
    EXPECT_EQ(e.type, EHS_TYPE_GENERAL);
    EXPECT_EQ(e.code, E_OUTOFMEMORY);
    EXPECT_EQ(e.description, c.message);
    Device()->InjectFailure(c.point, D3D_OK);
  }
  engine->GFX_SceneMakeScreenshot();
  EXPECT_TRUE(m2dtest::FileExists("screenshot4.bmp"));
  EXPECT_FALSE(m2dtest::FileExists("screenshot1.bmp"));
  engine.reset();

  StartGraphics(3, 1);
  engine->GFX_ScenePresent();
  engine->GFX_SceneMakeScreenshot();
  EXPECT_TRUE(m2dtest::ContainsLines(m2dtest::ReadLines("gamelog.txt"),
                                     {"", " !: Cannot make a screenshot in windowed mode!", ""}));
  EXPECT_FALSE(m2dtest::FileExists("screenshot1.bmp"));
  EXPECT_EQ(engine->screenshotCounter, 0);
}

TEST_F(SceneTest, SceneOperationsNeedTheDevice) {
  StartEngine();
  const std::vector<std::function<void()>> tmp_vCalls = {
      [&] { engine->GFX_SceneBegin(); },
      [&] { engine->GFX_SceneEnd(); },
      [&] { engine->GFX_SceneClearScreen(0, 0, 0); },
      [&] { engine->GFX_ScenePresent(); },
      [&] { engine->GFX_SceneSetViewport(0, 0, 1, 1); },
      [&] { engine->GFX_SceneMakeScreenshot(); },
      [&] { engine->GFX_SceneSetGamma(1, 0); },
      [&] { engine->GFX_TexSetNoTexture(0); },
  };
  for (const auto& tmp_Call : tmp_vCalls) {
    const CEHSException e = Thrown(tmp_Call);
    EXPECT_EQ(e.type, EHS_TYPE_GENERAL);
    EXPECT_EQ(e.description, "D3DDevice object was not created!");
  }
  // Rendering only fills the batch, which is closed: nothing happens.
  engine->GFX_SceneRender();
  engine->GFX_BatchDiscard();
}

}  // namespace
