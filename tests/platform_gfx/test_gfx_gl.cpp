// The OpenGL device under SDL's offscreen driver (EGL with Mesa), with real
// pixels read back from the front buffer after Present or from the window:
// textured and tinted quads, blending, the viewport's clipping, a grid of
// quads without seams, the stage operations, addressing, filters, fog, the
// gamma ramp, texture formats and textures made from image files.

#include <gtest/gtest.h>

#include <cstdlib>
#include <functional>

#include "Platform/gfx/d3d8.h"
#include "Platform/gfx/d3dx8.h"
#include "Platform/gfx/gfx_device_base.h"
#include "Platform/gfx/gfx_formats.h"
#include "Platform/gfx/gl/gl_device.h"
#include "Platform/os/os_backend.h"
#include "gfx_test_util.h"
#include "image_files.h"
#include "test_support.h"

namespace {

using namespace gfx;
using namespace gfxtest;

constexpr std::uint32_t kWhite = 0xFFFFFFFFu;

int Channel(std::uint32_t fp_uARGB, int fp_iShift) { return int((fp_uARGB >> fp_iShift) & 255u); }

// Colours equal within fp_iTolerance per channel (alpha not compared).
::testing::AssertionResult Near(std::uint32_t fp_uGot, std::uint32_t fp_uWant, int fp_iTolerance = 0) {
  for (int tmp_iShift : {16, 8, 0}) {
    if (std::abs(Channel(fp_uGot, tmp_iShift) - Channel(fp_uWant, tmp_iShift)) > fp_iTolerance) {
      char tmp_szText[64];
      std::snprintf(tmp_szText, sizeof(tmp_szText), "got %06X, want %06X", fp_uGot & 0xFFFFFFu,
                    fp_uWant & 0xFFFFFFu);
      return ::testing::AssertionFailure() << tmp_szText;
    }
  }
  return ::testing::AssertionSuccess();
}

class GLDeviceTest : public m2dtest::TempDirTest {
 protected:
  void SetUp() override {
    TempDirTest::SetUp();
    setenv("SDL_VIDEODRIVER", "offscreen", 1);
    os::SelectBackendForTests(os::Backend::Real);
    window_ = MakeWindow(os::WS_OVERLAPPED, 800, 600);
    ASSERT_NE(window_, nullptr) << "no window under the offscreen driver";
    d3d_ = gl::CreateDirect3D();
    ASSERT_NE(d3d_, nullptr) << gl::LastErrorText();
    D3DDISPLAYMODE tmp_Desktop{};
    ASSERT_EQ(d3d_->GetAdapterDisplayMode(0, &tmp_Desktop), D3D_OK);
    D3DPRESENT_PARAMETERS p = Params(window_, true, tmp_Desktop.Format);
    ASSERT_EQ(d3d_->CreateDevice(0, D3DDEVTYPE_HAL, window_, D3DCREATE_SOFTWARE_VERTEXPROCESSING, &p, &device_),
              D3D_OK)
        << gl::LastErrorText();
    buffers_.Create(device_);
    device_->SetRenderState(D3DRS_LIGHTING, 0);
  }

  void TearDown() override {
    buffers_.Release(device_);
    if (device_ != nullptr) {
      EXPECT_EQ(device_->Release(), 0u);
    }
    if (d3d_ != nullptr) {
      EXPECT_EQ(d3d_->Release(), 0u);
    }
    if (window_ != nullptr) os::DestroyWindow(window_);
    TempDirTest::TearDown();
  }

  // One frame: clear, fp_Draw, present; returns the front buffer.
  std::vector<std::uint32_t> Frame(D3DCOLOR fp_Clear, const std::function<void()>& fp_Draw) {
    EXPECT_EQ(device_->BeginScene(), D3D_OK);
    EXPECT_EQ(device_->Clear(0, nullptr, D3DCLEAR_TARGET, fp_Clear, 0.0f, 0), D3D_OK);
    fp_Draw();
    EXPECT_EQ(device_->EndScene(), D3D_OK);
    EXPECT_EQ(device_->Present(nullptr, nullptr, nullptr, nullptr), D3D_OK);
    return ReadFront(device_);
  }

  void Draw(const std::vector<SVertex>& fp_rQuads) { EXPECT_EQ(buffers_.Draw(device_, fp_rQuads), D3D_OK); }

  // A texture of fp_Format from ARGB texels (rows top first), one level.
  IDirect3DTexture8* MakeTexture(int fp_iWidth, int fp_iHeight, const std::vector<std::uint32_t>& fp_rTexels,
                                 D3DFORMAT fp_Format = D3DFMT_A8R8G8B8) {
    IDirect3DTexture8* tmp_pTexture = nullptr;
    EXPECT_EQ(device_->CreateTexture(UINT(fp_iWidth), UINT(fp_iHeight), 1, 0, fp_Format, D3DPOOL_MANAGED, &tmp_pTexture),
              D3D_OK);
    if (tmp_pTexture == nullptr) return nullptr;
    WriteLevel(tmp_pTexture, 0, fp_iWidth, fp_iHeight, fp_rTexels, fp_Format);
    return tmp_pTexture;
  }

  static void WriteLevel(IDirect3DTexture8* fp_pTexture, UINT fp_uLevel, int fp_iWidth, int fp_iHeight,
                         const std::vector<std::uint32_t>& fp_rTexels, D3DFORMAT fp_Format) {
    D3DLOCKED_RECT tmp_Locked{};
    ASSERT_EQ(fp_pTexture->LockRect(fp_uLevel, &tmp_Locked, nullptr, 0), D3D_OK);
    const UINT tmp_uBpp = detail::BytesPerPixel(fp_Format);
    for (int y = 0; y < fp_iHeight; ++y) {
      for (int x = 0; x < fp_iWidth; ++x) {
        detail::WritePixel(fp_Format, fp_rTexels[size_t(y * fp_iWidth + x)],
                           static_cast<BYTE*>(tmp_Locked.pBits) + size_t(y) * tmp_Locked.Pitch + x * tmp_uBpp);
      }
    }
    ASSERT_EQ(fp_pTexture->UnlockRect(fp_uLevel), D3D_OK);
  }

  void Stage(DWORD fp_dwStage, DWORD fp_dwColorOp, DWORD fp_dwColorArg1, DWORD fp_dwColorArg2, DWORD fp_dwAlphaOp,
             DWORD fp_dwAlphaArg1, DWORD fp_dwAlphaArg2) {
    device_->SetTextureStageState(fp_dwStage, D3DTSS_COLOROP, fp_dwColorOp);
    device_->SetTextureStageState(fp_dwStage, D3DTSS_COLORARG1, fp_dwColorArg1);
    device_->SetTextureStageState(fp_dwStage, D3DTSS_COLORARG2, fp_dwColorArg2);
    device_->SetTextureStageState(fp_dwStage, D3DTSS_ALPHAOP, fp_dwAlphaOp);
    device_->SetTextureStageState(fp_dwStage, D3DTSS_ALPHAARG1, fp_dwAlphaArg1);
    device_->SetTextureStageState(fp_dwStage, D3DTSS_ALPHAARG2, fp_dwAlphaArg2);
  }

  static std::uint32_t At(const std::vector<std::uint32_t>& fp_rPixels, int fp_iX, int fp_iY) {
    return fp_rPixels[size_t(fp_iY) * 800 + size_t(fp_iX)];
  }

  os::HWND window_ = nullptr;
  IDirect3D8* d3d_ = nullptr;
  IDirect3DDevice8* device_ = nullptr;
  SSharedBuffers buffers_;
};

TEST_F(GLDeviceTest, TheAdapterDescribesItself) {
  EXPECT_NE(gl::AsGLDevice(device_), nullptr);
  const std::string tmp_Version = gl::AsGLDevice(device_)->ContextVersion();
  EXPECT_NE(tmp_Version.find("Core Profile"), std::string::npos) << tmp_Version;
  D3DADAPTER_IDENTIFIER8 tmp_Id{};
  ASSERT_EQ(d3d_->GetAdapterIdentifier(0, D3DENUM_NO_WHQL_LEVEL, &tmp_Id), D3D_OK);
  EXPECT_GT(std::strlen(tmp_Id.Description), 0u);
  bool tmp_b16 = false, tmp_b32 = false;
  for (UINT i = 0; i < d3d_->GetAdapterModeCount(0); ++i) {
    D3DDISPLAYMODE m{};
    ASSERT_EQ(d3d_->EnumAdapterModes(0, i, &m), D3D_OK);
    tmp_b16 |= m.Width == 800 && m.Height == 600 && m.Format == D3DFMT_R5G6B5;
    tmp_b32 |= m.Width == 800 && m.Height == 600 && m.Format == D3DFMT_X8R8G8B8;
  }
  EXPECT_TRUE(tmp_b16 && tmp_b32);
  for (D3DFORMAT f : {D3DFMT_R5G6B5, D3DFMT_A1R5G5B5, D3DFMT_A4R4G4B4, D3DFMT_A8R8G8B8, D3DFMT_X8R8G8B8}) {
    EXPECT_EQ(d3d_->CheckDeviceFormat(0, D3DDEVTYPE_HAL, D3DFMT_R5G6B5, 0, D3DRTYPE_TEXTURE, f), D3D_OK) << f;
  }
  EXPECT_EQ(d3d_->CheckDeviceFormat(0, D3DDEVTYPE_HAL, D3DFMT_X8R8G8B8, 0, D3DRTYPE_TEXTURE, D3DFMT_A8R3G3B2),
            D3DERR_NOTAVAILABLE);
  D3DCAPS8 tmp_Caps{};
  ASSERT_EQ(d3d_->GetDeviceCaps(0, D3DDEVTYPE_HAL, &tmp_Caps), D3D_OK);
  EXPECT_GE(tmp_Caps.MaxTextureWidth, 1024u);
  EXPECT_NE(tmp_Caps.TextureCaps & D3DPTEXTURECAPS_MIPMAP, 0u);
  EXPECT_NE(tmp_Caps.RasterCaps & D3DPRASTERCAPS_FOGVERTEX, 0u);
  EXPECT_NE(tmp_Caps.Caps2 & D3DCAPS2_FULLSCREENGAMMA, 0u);
}

TEST_F(GLDeviceTest, ATexturedTintedQuadCoversExactlyItsPixels) {
  // 2x2 texels: red, green / blue, white; point filtering, modulated by a
  // tint that halves green.
  IDirect3DTexture8* tmp_pTexture = MakeTexture(2, 2, {0xFFFF0000u, 0xFF00FF00u, 0xFF0000FFu, kWhite});
  device_->SetTexture(0, tmp_pTexture);
  Stage(0, D3DTOP_MODULATE, D3DTA_TEXTURE, D3DTA_DIFFUSE, D3DTOP_SELECTARG1, D3DTA_DIFFUSE, D3DTA_CURRENT);
  const std::vector<std::uint32_t> f = Frame(0xFF000000u, [&] {
    std::vector<SVertex> q;
    AddQuad(&q, 100, 100, 64, 64, 0xFFFF80FFu);
    Draw(q);
  });
  EXPECT_TRUE(Near(At(f, 100, 100), 0xFF0000u));
  EXPECT_TRUE(Near(At(f, 131, 131), 0xFF0000u));
  EXPECT_TRUE(Near(At(f, 132, 100), 0x008000u, 1));
  EXPECT_TRUE(Near(At(f, 100, 132), 0x0000FFu));
  EXPECT_TRUE(Near(At(f, 163, 163), 0xFF80FFu, 1));
  for (auto [x, y] : {std::pair{99, 120}, {164, 120}, {120, 99}, {120, 164}}) {
    EXPECT_TRUE(Near(At(f, x, y), 0x000000u)) << x << "," << y << " is outside";
  }
  device_->SetTexture(0, nullptr);
  tmp_pTexture->Release();
}

TEST_F(GLDeviceTest, AlphaBlendsOverTheClearedBackground) {
  Stage(0, D3DTOP_SELECTARG1, D3DTA_DIFFUSE, D3DTA_CURRENT, D3DTOP_SELECTARG1, D3DTA_DIFFUSE, D3DTA_CURRENT);
  device_->SetRenderState(D3DRS_ALPHABLENDENABLE, 1);
  device_->SetRenderState(D3DRS_SRCBLEND, D3DBLEND_SRCALPHA);
  device_->SetRenderState(D3DRS_DESTBLEND, D3DBLEND_INVSRCALPHA);
  std::vector<std::uint32_t> f = Frame(0xFF0000FFu, [&] {
    std::vector<SVertex> q;
    AddQuad(&q, 10, 10, 20, 20, 0x80FF0000u);
    Draw(q);
  });
  EXPECT_TRUE(Near(At(f, 20, 20), 0x80007Fu, 1));
  EXPECT_TRUE(Near(At(f, 40, 20), 0x0000FFu));
  // Additive: ONE, ONE.
  device_->SetRenderState(D3DRS_SRCBLEND, D3DBLEND_ONE);
  device_->SetRenderState(D3DRS_DESTBLEND, D3DBLEND_ONE);
  f = Frame(0xFF204060u, [&] {
    std::vector<SVertex> q;
    AddQuad(&q, 10, 10, 20, 20, 0xFF102030u);
    Draw(q);
  });
  EXPECT_TRUE(Near(At(f, 20, 20), 0x306090u));
}

TEST_F(GLDeviceTest, TheViewportClipsDrawingAndClearing) {
  Stage(0, D3DTOP_SELECTARG1, D3DTA_DIFFUSE, D3DTA_CURRENT, D3DTOP_SELECTARG1, D3DTA_DIFFUSE, D3DTA_CURRENT);
  const std::vector<std::uint32_t> f = Frame(0xFF000000u, [&] {
    D3DVIEWPORT8 tmp_Viewport{50, 60, 20, 10, 0.0f, 1.0f};
    device_->SetViewport(&tmp_Viewport);
    std::vector<SVertex> q;
    AddQuad(&q, 0, 0, 200, 200, 0xFF00FF00u);
    Draw(q);
    tmp_Viewport = D3DVIEWPORT8{300, 300, 5, 5, 0.0f, 1.0f};
    device_->SetViewport(&tmp_Viewport);
    device_->Clear(0, nullptr, D3DCLEAR_TARGET, 0xFFFF0000u, 0.0f, 0);
  });
  EXPECT_TRUE(Near(At(f, 50, 60), 0x00FF00u));
  EXPECT_TRUE(Near(At(f, 69, 69), 0x00FF00u));
  EXPECT_TRUE(Near(At(f, 49, 65), 0x000000u));
  EXPECT_TRUE(Near(At(f, 70, 65), 0x000000u));
  EXPECT_TRUE(Near(At(f, 60, 59), 0x000000u));
  EXPECT_TRUE(Near(At(f, 60, 70), 0x000000u));
  EXPECT_TRUE(Near(At(f, 304, 304), 0xFF0000u));
  EXPECT_TRUE(Near(At(f, 305, 304), 0x000000u));
}

// Quads meeting edge to edge, drawn additively: a pixel covered twice would
// be brighter, one covered by none black.
TEST_F(GLDeviceTest, AGridOfQuadsHasNoSeamsOrOverlaps) {
  Stage(0, D3DTOP_SELECTARG1, D3DTA_DIFFUSE, D3DTA_CURRENT, D3DTOP_SELECTARG1, D3DTA_DIFFUSE, D3DTA_CURRENT);
  device_->SetRenderState(D3DRS_ALPHABLENDENABLE, 1);
  device_->SetRenderState(D3DRS_SRCBLEND, D3DBLEND_ONE);
  device_->SetRenderState(D3DRS_DESTBLEND, D3DBLEND_ONE);
  const int kX = 37, kY = 23, kCell = 13, kCount = 30;
  const std::vector<std::uint32_t> f = Frame(0xFF000000u, [&] {
    std::vector<SVertex> q;
    for (int j = 0; j < kCount; ++j) {
      for (int i = 0; i < kCount; ++i) {
        AddQuad(&q, float(kX + i * kCell), float(kY + j * kCell), float(kCell), float(kCell), 0xFF404040u);
      }
    }
    // 900 quads: two draw calls, as the engine's batch of 500 makes them.
    std::vector<SVertex> tmp_First(q.begin(), q.begin() + 2000);
    std::vector<SVertex> tmp_Rest(q.begin() + 2000, q.end());
    Draw(tmp_First);
    Draw(tmp_Rest);
  });
  int tmp_iBad = 0;
  for (int y = kY - 1; y <= kY + kCount * kCell; ++y) {
    for (int x = kX - 1; x <= kX + kCount * kCell; ++x) {
      const bool tmp_bInside = x >= kX && x < kX + kCount * kCell && y >= kY && y < kY + kCount * kCell;
      if ((At(f, x, y) & 0xFFFFFFu) != (tmp_bInside ? 0x404040u : 0u) && ++tmp_iBad < 5) {
        ADD_FAILURE() << "pixel " << x << "," << y << " is " << std::hex << At(f, x, y);
      }
    }
  }
  EXPECT_EQ(tmp_iBad, 0);
}

TEST_F(GLDeviceTest, TheStagesFollowTheirOperationsAndArguments) {
  // Texture texel (0.25, 0.5, 0.75, alpha 0.5) on both stages; diffuse
  // (1, 0.5, 0, alpha 1); specular (0, 0, 1); texture factor (0.5, 0.5, 0.5).
  IDirect3DTexture8* tmp_pTexture = MakeTexture(1, 1, {0x804080C0u});
  device_->SetTexture(0, tmp_pTexture);
  device_->SetTexture(1, tmp_pTexture);
  device_->SetRenderState(D3DRS_TEXTUREFACTOR, 0xFF808080u);
  struct SCase {
    const char* name;
    DWORD op0, a01, a02, op1, a11, a12;
    std::uint32_t want;
  };
  const DWORD T = D3DTA_TEXTURE, D = D3DTA_DIFFUSE, C = D3DTA_CURRENT, F = D3DTA_TFACTOR, S = D3DTA_SPECULAR;
  const SCase tmp_Cases[] = {
      {"select diffuse", D3DTOP_SELECTARG1, D, T, D3DTOP_DISABLE, C, C, 0xFF8000u},
      {"select texture", D3DTOP_SELECTARG2, D, T, D3DTOP_DISABLE, C, C, 0x4080C0u},
      {"modulate", D3DTOP_MODULATE, T, D, D3DTOP_DISABLE, C, C, 0x404000u},
      {"add", D3DTOP_ADD, T, D, D3DTOP_DISABLE, C, C, 0xFFFFC0u},
      {"subtract", D3DTOP_SUBTRACT, D, T, D3DTOP_DISABLE, C, C, 0xBF0000u},
      {"factor", D3DTOP_SELECTARG1, F, D, D3DTOP_DISABLE, C, C, 0x808080u},
      {"specular", D3DTOP_SELECTARG1, S, D, D3DTOP_DISABLE, C, C, 0x0000FFu},
      {"complement", D3DTOP_SELECTARG1, T | D3DTA_COMPLEMENT, D, D3DTOP_DISABLE, C, C, 0xBF7F3Fu},
      {"alpha replicate", D3DTOP_SELECTARG1, T | D3DTA_ALPHAREPLICATE, D, D3DTOP_DISABLE, C, C, 0x808080u},
      {"stage 1 modulates current", D3DTOP_SELECTARG1, D, C, D3DTOP_MODULATE, C, T, 0x404000u},
      {"stage 1 adds the factor", D3DTOP_SELECTARG1, T, C, D3DTOP_ADD, C, F, 0xC0FFFFu},
      {"dot product", D3DTOP_DOTPRODUCT3, T, D, D3DTOP_DISABLE, C, C, 0x000000u},
      {"dot product of the factor with itself", D3DTOP_DOTPRODUCT3, F, F, D3DTOP_DISABLE, C, C, 0x000000u},
      {"stage 0 disabled: diffuse, stage 1 ignored", D3DTOP_DISABLE, T, T, D3DTOP_SELECTARG1, T, T, 0xFF8000u},
  };
  for (const SCase& c : tmp_Cases) {
    SCOPED_TRACE(c.name);
    Stage(0, c.op0, c.a01, c.a02, D3DTOP_SELECTARG1, D, C);
    Stage(1, c.op1, c.a11, c.a12, D3DTOP_DISABLE, C, C);
    const std::vector<std::uint32_t> f = Frame(0xFF000000u, [&] {
      std::vector<SVertex> q;
      AddQuad(&q, 10, 10, 8, 8, 0xFFFF8000u, 0xFF0000FFu, 0.5f, 0.5f, 0.5f, 0.5f);
      Draw(q);
    });
    EXPECT_TRUE(Near(At(f, 14, 14), c.want, 2));
  }
  // Dot product of (1, 0.5, 0.5) with itself: 4 * 0.25 = 1 everywhere.
  device_->SetRenderState(D3DRS_TEXTUREFACTOR, 0xFFFF8080u);
  Stage(0, D3DTOP_DOTPRODUCT3, F, F, D3DTOP_SELECTARG1, D, C);
  Stage(1, D3DTOP_DISABLE, C, C, D3DTOP_DISABLE, C, C);
  const std::vector<std::uint32_t> f = Frame(0xFF000000u, [&] {
    std::vector<SVertex> q;
    AddQuad(&q, 10, 10, 8, 8, 0xFFFF8000u);
    Draw(q);
  });
  EXPECT_TRUE(Near(At(f, 14, 14), 0xFEFEFEu, 3));
  // A stage that reads a texture it does not have passes the diffuse colour.
  device_->SetTexture(0, nullptr);
  Stage(0, D3DTOP_SELECTARG1, T, D, D3DTOP_SELECTARG1, D, C);
  const std::vector<std::uint32_t> g = Frame(0xFF000000u, [&] {
    std::vector<SVertex> q;
    AddQuad(&q, 10, 10, 8, 8, 0xFFFF8000u);
    Draw(q);
  });
  EXPECT_TRUE(Near(At(g, 14, 14), 0xFF8000u));
  device_->SetTexture(1, nullptr);
  tmp_pTexture->Release();
}

TEST_F(GLDeviceTest, AddressingWrapsOrClamps) {
  IDirect3DTexture8* tmp_pTexture = MakeTexture(2, 1, {0xFFFF0000u, 0xFF0000FFu});
  device_->SetTexture(0, tmp_pTexture);
  Stage(0, D3DTOP_SELECTARG1, D3DTA_TEXTURE, D3DTA_DIFFUSE, D3DTOP_SELECTARG1, D3DTA_DIFFUSE, D3DTA_CURRENT);
  for (DWORD tmp_dwMode : {DWORD(D3DTADDRESS_WRAP), DWORD(D3DTADDRESS_CLAMP)}) {
    SCOPED_TRACE(tmp_dwMode);
    device_->SetTextureStageState(0, D3DTSS_ADDRESSU, tmp_dwMode);
    device_->SetTextureStageState(0, D3DTSS_ADDRESSV, tmp_dwMode);
    // u from 0 to 2 over 40 pixels: texels red, blue, then (wrap) red, blue
    // or (clamp) blue, blue.
    const std::vector<std::uint32_t> f = Frame(0xFF000000u, [&] {
      std::vector<SVertex> q;
      AddQuad(&q, 0, 0, 40, 4, kWhite, kWhite, 0.0f, 0.0f, 2.0f, 1.0f);
      Draw(q);
    });
    const bool tmp_bWrap = tmp_dwMode == D3DTADDRESS_WRAP;
    EXPECT_TRUE(Near(At(f, 5, 2), 0xFF0000u));
    EXPECT_TRUE(Near(At(f, 15, 2), 0x0000FFu));
    EXPECT_TRUE(Near(At(f, 25, 2), tmp_bWrap ? 0xFF0000u : 0x0000FFu));
    EXPECT_TRUE(Near(At(f, 35, 2), 0x0000FFu));
  }
  device_->SetTexture(0, nullptr);
  tmp_pTexture->Release();
}

TEST_F(GLDeviceTest, FiltersPickLevelsAndTexels) {
  Stage(0, D3DTOP_SELECTARG1, D3DTA_TEXTURE, D3DTA_DIFFUSE, D3DTOP_SELECTARG1, D3DTA_DIFFUSE, D3DTA_CURRENT);
  device_->SetTextureStageState(0, D3DTSS_ADDRESSU, D3DTADDRESS_CLAMP);
  device_->SetTextureStageState(0, D3DTSS_ADDRESSV, D3DTADDRESS_CLAMP);
  auto tmp_Draw = [&](float fp_fWidth, float fp_fHeight) {
    return Frame(0xFF000000u, [&] {
      std::vector<SVertex> q;
      AddQuad(&q, 0, 0, fp_fWidth, fp_fHeight, kWhite);
      Draw(q);
    });
  };

  // Level 0 (4x4) red, level 1 (2x2) green, drawn at half size: the mip
  // filter decides which one shows.
  IDirect3DTexture8* tmp_pMipped = nullptr;
  ASSERT_EQ(device_->CreateTexture(4, 4, 2, 0, D3DFMT_A8R8G8B8, D3DPOOL_MANAGED, &tmp_pMipped), D3D_OK);
  WriteLevel(tmp_pMipped, 0, 4, 4, std::vector<std::uint32_t>(16, 0xFFFF0000u), D3DFMT_A8R8G8B8);
  WriteLevel(tmp_pMipped, 1, 2, 2, std::vector<std::uint32_t>(4, 0xFF00FF00u), D3DFMT_A8R8G8B8);
  device_->SetTexture(0, tmp_pMipped);
  device_->SetTextureStageState(0, D3DTSS_MIPFILTER, D3DTEXF_NONE);
  EXPECT_TRUE(Near(At(tmp_Draw(2, 2), 1, 1), 0xFF0000u)) << "no mip filter: level 0";
  device_->SetTextureStageState(0, D3DTSS_MIPFILTER, D3DTEXF_POINT);
  EXPECT_TRUE(Near(At(tmp_Draw(2, 2), 1, 1), 0x00FF00u)) << "point mip filter: level 1";
  device_->SetTextureStageState(0, D3DTSS_MIPFILTER, D3DTEXF_NONE);

  // A red and a black texel magnified 32 times: point keeps them apart,
  // linear blends between their centres.
  IDirect3DTexture8* tmp_pPair = MakeTexture(2, 1, {0xFFFF0000u, 0xFF000000u});
  device_->SetTexture(0, tmp_pPair);
  device_->SetTextureStageState(0, D3DTSS_MAGFILTER, D3DTEXF_POINT);
  std::vector<std::uint32_t> f = tmp_Draw(64, 4);
  EXPECT_TRUE(Near(At(f, 31, 2), 0xFF0000u));
  EXPECT_TRUE(Near(At(f, 32, 2), 0x000000u));
  device_->SetTextureStageState(0, D3DTSS_MAGFILTER, D3DTEXF_LINEAR);
  f = tmp_Draw(64, 4);
  EXPECT_TRUE(Near(At(f, 32, 2), 0x7C0000u, 6)) << "half way between the texel centres";
  EXPECT_TRUE(Near(At(f, 8, 2), 0xFF0000u)) << "before the first centre, clamped";
  EXPECT_TRUE(Near(At(f, 56, 2), 0x000000u));
  device_->SetTexture(0, nullptr);
  tmp_pMipped->Release();
  tmp_pPair->Release();
}

TEST_F(GLDeviceTest, VertexFogTakesItsFactorFromTheSpecularAlpha) {
  Stage(0, D3DTOP_SELECTARG1, D3DTA_DIFFUSE, D3DTA_CURRENT, D3DTOP_SELECTARG1, D3DTA_DIFFUSE, D3DTA_CURRENT);
  // As a technique sets it.
  device_->SetRenderState(D3DRS_FOGENABLE, 1);
  device_->SetRenderState(D3DRS_FOGVERTEXMODE, D3DFOG_LINEAR);
  device_->SetRenderState(D3DRS_FOGSTART, 0x00000000u);
  device_->SetRenderState(D3DRS_FOGEND, 0x3F800000u);
  device_->SetRenderState(D3DRS_FOGCOLOR, 0xFF00FF00u);
  std::vector<std::uint32_t> f = Frame(0xFF000000u, [&] {
    std::vector<SVertex> q;
    AddQuad(&q, 0, 0, 10, 10, 0xFFFF0000u, 0xFFFFFFFFu);   // factor 1: no fog
    AddQuad(&q, 10, 0, 10, 10, 0xFFFF0000u, 0x00FFFFFFu);  // factor 0: all fog colour
    AddQuad(&q, 20, 0, 10, 10, 0xFFFF0000u, 0x80FFFFFFu);  // half
    Draw(q);
  });
  EXPECT_TRUE(Near(At(f, 5, 5), 0xFF0000u));
  EXPECT_TRUE(Near(At(f, 15, 5), 0x00FF00u));
  EXPECT_TRUE(Near(At(f, 25, 5), 0x807F00u, 2));
  device_->SetRenderState(D3DRS_FOGENABLE, 0);
  f = Frame(0xFF000000u, [&] {
    std::vector<SVertex> q;
    AddQuad(&q, 10, 0, 10, 10, 0xFFFF0000u, 0x00FFFFFFu);
    Draw(q);
  });
  EXPECT_TRUE(Near(At(f, 15, 5), 0xFF0000u)) << "fog off";
}

TEST_F(GLDeviceTest, TheGammaRampChangesThePresentedImageOnly) {
  gl::IGLDeviceTestAccess* tmp_pAccess = gl::AsGLDevice(device_);
  std::vector<std::uint8_t> tmp_Window;
  int w = 0, h = 0;
  auto tmp_Present = [&](D3DCOLOR fp_Clear) {
    tmp_pAccess->CaptureNextPresent(&tmp_Window, &w, &h);
    return Frame(fp_Clear, [] {});
  };
  auto tmp_WindowPixel = [&](int x, int y) {
    const std::uint8_t* p = &tmp_Window[(size_t(y) * w + x) * 4];
    return (std::uint32_t(p[0]) << 16) | (std::uint32_t(p[1]) << 8) | p[2];
  };

  std::vector<std::uint32_t> f = tmp_Present(0xFF4080C0u);
  ASSERT_EQ(w, 800);
  ASSERT_EQ(h, 600);
  EXPECT_EQ(tmp_WindowPixel(400, 300), 0x4080C0u) << "no ramp set";

  D3DGAMMARAMP tmp_Ramp{};
  detail::FillIdentityGamma(&tmp_Ramp);
  device_->SetGammaRamp(D3DSGR_NO_CALIBRATION, &tmp_Ramp);
  tmp_Present(0xFF4080C0u);
  EXPECT_EQ(tmp_WindowPixel(400, 300), 0x4080C0u) << "the identity ramp";
  // Every value of the identity, through the window.
  tmp_pAccess->CaptureNextPresent(&tmp_Window, &w, &h);
  f = Frame(0xFF000000u, [&] {
    D3DVIEWPORT8 v{0, 0, 1, 1, 0.0f, 1.0f};
    for (DWORD i = 0; i < 256; ++i) {
      v.X = i;
      device_->SetViewport(&v);
      device_->Clear(0, nullptr, D3DCLEAR_TARGET, 0xFF000000u | (i << 16) | ((255 - i) << 8) | i, 0.0f, 0);
    }
    v = D3DVIEWPORT8{0, 0, 800, 600, 0.0f, 1.0f};
    device_->SetViewport(&v);
  });
  for (std::uint32_t i = 0; i < 256; ++i) {
    const std::uint32_t tmp_uWant = (i << 16) | ((255u - i) << 8) | i;
    EXPECT_EQ(At(f, int(i), 0) & 0xFFFFFFu, tmp_uWant);
    EXPECT_EQ(tmp_WindowPixel(int(i), 0), tmp_uWant);
  }

  // Half: every entry halved; red ramp only at full.
  for (int i = 0; i < 256; ++i) {
    tmp_Ramp.red[i] = 65535;
    tmp_Ramp.green[i] = static_cast<WORD>(i * 257 / 2);
    tmp_Ramp.blue[i] = 0;
  }
  device_->SetGammaRamp(D3DSGR_NO_CALIBRATION, &tmp_Ramp);
  f = tmp_Present(0xFF4080C0u);
  EXPECT_TRUE(Near(tmp_WindowPixel(400, 300), 0xFF4000u, 1));
  EXPECT_EQ(At(f, 400, 300) & 0xFFFFFFu, 0x4080C0u) << "the front buffer is the image before the ramp";
}

TEST_F(GLDeviceTest, TextureFormatsKeepTheirColours) {
  const std::vector<std::uint32_t> tmp_Texels = {0xFFFF0000u, 0xFF00FF00u, 0xFF0000FFu, 0xFFFFFFFFu,
                                                 0xFF804020u, 0x80C0C0C0u, 0x00000000u, 0xFF101010u};
  struct SCase {
    D3DFORMAT format;
    int tolerance;
    bool alpha;
  };
  const SCase tmp_Cases[] = {
      {D3DFMT_R5G6B5, 8, false},   {D3DFMT_X1R5G5B5, 8, false}, {D3DFMT_A1R5G5B5, 8, true},
      {D3DFMT_A4R4G4B4, 17, true}, {D3DFMT_X4R4G4B4, 17, false}, {D3DFMT_A8R8G8B8, 0, true},
      {D3DFMT_X8R8G8B8, 0, false}, {D3DFMT_R8G8B8, 0, false},
  };
  Stage(0, D3DTOP_SELECTARG1, D3DTA_TEXTURE, D3DTA_DIFFUSE, D3DTOP_SELECTARG1, D3DTA_TEXTURE, D3DTA_DIFFUSE);
  // Shown over blue with alpha blending, so the alpha each format keeps shows.
  device_->SetRenderState(D3DRS_ALPHABLENDENABLE, 1);
  device_->SetRenderState(D3DRS_SRCBLEND, D3DBLEND_SRCALPHA);
  device_->SetRenderState(D3DRS_DESTBLEND, D3DBLEND_INVSRCALPHA);
  for (const SCase& c : tmp_Cases) {
    SCOPED_TRACE(c.format);
    IDirect3DTexture8* tmp_pTexture = MakeTexture(8, 1, tmp_Texels, c.format);
    ASSERT_NE(tmp_pTexture, nullptr);
    device_->SetTexture(0, tmp_pTexture);
    const std::vector<std::uint32_t> f = Frame(0xFF0000FFu, [&] {
      std::vector<SVertex> q;
      AddQuad(&q, 0, 0, 64, 8, kWhite);
      Draw(q);
    });
    for (int i = 0; i < 8; ++i) {
      const std::uint32_t t = tmp_Texels[size_t(i)];
      const int a = c.alpha ? Channel(t, 24) : 255;
      std::uint32_t tmp_uWant = 0;
      for (int tmp_iShift : {16, 8, 0}) {
        const int tmp_iBack = tmp_iShift == 0 ? 255 : 0;
        tmp_uWant |= std::uint32_t((Channel(t, tmp_iShift) * a + tmp_iBack * (255 - a) + 127) / 255) << tmp_iShift;
      }
      // One-bit alpha keeps 0x80 as opaque.
      if (c.format == D3DFMT_A1R5G5B5 && i == 5) tmp_uWant = t & 0xFFFFFFu;
      EXPECT_TRUE(Near(At(f, i * 8 + 4, 4), tmp_uWant, c.tolerance)) << "texel " << i;
    }
    device_->SetTexture(0, nullptr);
    tmp_pTexture->Release();
  }
}

TEST_F(GLDeviceTest, TexturesFromImageFilesShowTheirPixels) {
  SImage tmp_Src = MakeImage(4, 2, 0);
  tmp_Src.argb = {0xFFFF0000u, 0xFF00FF00u, 0xFF0000FFu, 0xFFFFFF00u,
                  0xFF00FFFFu, 0xFFFF00FFu, 0xFF808080u, 0xFF203040u};
  const std::pair<const char*, std::string> tmp_Files[] = {
      {"PNG", EncodePNG(tmp_Src)}, {"BMP", EncodeBMP24(tmp_Src)}, {"TGA", EncodeTGA32(tmp_Src)}};
  Stage(0, D3DTOP_SELECTARG1, D3DTA_TEXTURE, D3DTA_DIFFUSE, D3DTOP_SELECTARG1, D3DTA_TEXTURE, D3DTA_DIFFUSE);
  for (const auto& [name, bytes] : tmp_Files) {
    SCOPED_TRACE(name);
    for (D3DFORMAT tmp_Format : {D3DFMT_A8R8G8B8, D3DFMT_R5G6B5}) {
      IDirect3DTexture8* tmp_pTexture = nullptr;
      ASSERT_EQ(D3DXCreateTextureFromFileInMemoryEx(device_, bytes.data(), UINT(bytes.size()), D3DX_DEFAULT,
                                                    D3DX_DEFAULT, 1, 0, tmp_Format, D3DPOOL_MANAGED, D3DX_DEFAULT,
                                                    D3DX_FILTER_BOX, 0, nullptr, nullptr, &tmp_pTexture),
                D3D_OK);
      device_->SetTexture(0, tmp_pTexture);
      const std::vector<std::uint32_t> f = Frame(0xFF000000u, [&] {
        std::vector<SVertex> q;
        AddQuad(&q, 0, 0, 40, 20, kWhite);
        Draw(q);
      });
      for (int y = 0; y < 2; ++y) {
        for (int x = 0; x < 4; ++x) {
          EXPECT_TRUE(Near(At(f, x * 10 + 5, y * 10 + 5), tmp_Src.At(x, y), tmp_Format == D3DFMT_R5G6B5 ? 8 : 0))
              << x << "," << y;
        }
      }
      device_->SetTexture(0, nullptr);
      tmp_pTexture->Release();
    }
  }
}

// A second, full-screen device on a desktop-sized window, while the first
// one lives: flipping makes each frame the front buffer, the window shows it
// scaled to the desktop, and a 16-bit back buffer keeps 16-bit colours.
TEST_F(GLDeviceTest, AFullScreenDeviceFlipsAndScalesIntoTheWindow) {
  os::HWND tmp_hWnd = MakeWindow(os::WS_POPUP, 800, 600);
  ASSERT_NE(tmp_hWnd, nullptr);
  for (D3DFORMAT tmp_Format : {D3DFMT_X8R8G8B8, D3DFMT_R5G6B5}) {
    SCOPED_TRACE(tmp_Format);
    D3DPRESENT_PARAMETERS p = Params(tmp_hWnd, false, tmp_Format);
    IDirect3DDevice8* tmp_pDevice = nullptr;
    ASSERT_EQ(d3d_->CreateDevice(0, D3DDEVTYPE_HAL, tmp_hWnd, D3DCREATE_SOFTWARE_VERTEXPROCESSING, &p, &tmp_pDevice),
              D3D_OK)
        << gl::LastErrorText();
    std::vector<std::uint8_t> tmp_Window;
    int w = 0, h = 0;
    for (D3DCOLOR tmp_Color : {0xFFFF0000u, 0xFF4080C0u}) {
      gl::AsGLDevice(tmp_pDevice)->CaptureNextPresent(&tmp_Window, &w, &h);
      tmp_pDevice->BeginScene();
      tmp_pDevice->Clear(0, nullptr, D3DCLEAR_TARGET, tmp_Color, 0.0f, 0);
      tmp_pDevice->EndScene();
      ASSERT_EQ(tmp_pDevice->Present(nullptr, nullptr, nullptr, nullptr), D3D_OK);
    }
    const std::vector<std::uint32_t> tmp_Front = ReadFront(tmp_pDevice);
    // 0x40, 0x80, 0xC0 to the nearest 5-6-5 levels (8, 32, 23) and back.
    const std::uint32_t tmp_uWant = tmp_Format == D3DFMT_R5G6B5 ? 0x4282BDu : 0x4080C0u;
    EXPECT_TRUE(Near(At(tmp_Front, 400, 300), tmp_uWant, 1));
    D3DDISPLAYMODE tmp_Desktop{};
    d3d_->GetAdapterDisplayMode(0, &tmp_Desktop);
    EXPECT_EQ(w, int(tmp_Desktop.Width));
    EXPECT_EQ(h, int(tmp_Desktop.Height));
    for (auto [x, y] : {std::pair{w / 2, h / 2}, {w / 4, h / 4}, {3 * w / 4, 3 * h / 4}}) {
      const std::uint8_t* px = &tmp_Window[(size_t(y) * w + x) * 4];
      EXPECT_TRUE(Near((std::uint32_t(px[0]) << 16) | (std::uint32_t(px[1]) << 8) | px[2], tmp_uWant, 1));
    }
    EXPECT_EQ(tmp_pDevice->Release(), 0u);
  }
  // The first device still draws.
  const std::vector<std::uint32_t> f = Frame(0xFF00FF00u, [] {});
  EXPECT_TRUE(Near(At(f, 10, 10), 0x00FF00u));
  os::DestroyWindow(tmp_hWnd);
}

TEST_F(GLDeviceTest, ManagedTexturesSurviveAReset) {
  IDirect3DTexture8* tmp_pTexture = MakeTexture(1, 1, {0xFF123456u});
  buffers_.vb->Release();
  buffers_.vb = nullptr;
  device_->SetStreamSource(0, nullptr, 0);
  D3DDISPLAYMODE tmp_Desktop{};
  d3d_->GetAdapterDisplayMode(0, &tmp_Desktop);
  D3DPRESENT_PARAMETERS p = Params(window_, true, tmp_Desktop.Format);
  ASSERT_EQ(device_->Reset(&p), D3D_OK);
  // The engine's vertex-buffer set-up, again.
  ASSERT_EQ(device_->SetVertexShader(kFVFPreTransformed2Tex), D3D_OK);
  ASSERT_EQ(device_->CreateVertexBuffer(80000, D3DUSAGE_DYNAMIC | D3DUSAGE_WRITEONLY, kFVFPreTransformed2Tex,
                                        D3DPOOL_DEFAULT, &buffers_.vb),
            D3D_OK);
  device_->SetStreamSource(0, buffers_.vb, 40);
  device_->SetIndices(buffers_.ib, 0);
  device_->SetTexture(0, tmp_pTexture);
  Stage(0, D3DTOP_SELECTARG1, D3DTA_TEXTURE, D3DTA_DIFFUSE, D3DTOP_SELECTARG1, D3DTA_TEXTURE, D3DTA_DIFFUSE);
  const std::vector<std::uint32_t> f = Frame(0xFF000000u, [&] {
    std::vector<SVertex> q;
    AddQuad(&q, 0, 0, 4, 4, kWhite);
    Draw(q);
  });
  EXPECT_TRUE(Near(At(f, 1, 1), 0x123456u));
  device_->SetTexture(0, nullptr);
  tmp_pTexture->Release();
}

}  // namespace
