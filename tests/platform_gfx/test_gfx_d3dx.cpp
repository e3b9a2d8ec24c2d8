// The utility functions: textures made from PNG, BMP and TGA bytes written by
// the test (sizes, mip levels, formats, colour key, bad data), read back
// through the texture's own lock; and 3-vector normalisation.

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "Platform/gfx/d3dx8.h"
#include "Platform/gfx/gfx_formats.h"
#include "Platform/gfx/null/null_device.h"
#include "Platform/os/os_backend.h"
#include "gfx_test_util.h"
#include "image_files.h"
#include "test_support.h"

namespace {

using namespace gfx;
using namespace gfxtest;

class TextureFromFileTest : public m2dtest::TempDirTest {
 protected:
  void SetUp() override {
    TempDirTest::SetUp();
    os::SelectBackendForTests(os::Backend::Headless);
    window_ = MakeWindow(os::WS_POPUP, 800, 600);
    ASSERT_NE(window_, nullptr);
    UseAdapter(null::DefaultAdapter());
  }

  void TearDown() override {
    ReleaseDevice();
    os::DestroyWindow(window_);
    TempDirTest::TearDown();
  }

  void UseAdapter(const null::SAdapter& fp_rAdapter) {
    ReleaseDevice();
    d3d_ = null::CreateDirect3D(fp_rAdapter);
    D3DPRESENT_PARAMETERS p = Params(window_, false, D3DFMT_X8R8G8B8);
    ASSERT_EQ(d3d_->CreateDevice(0, D3DDEVTYPE_HAL, window_, 0, &p, &device_), D3D_OK);
  }

  void ReleaseDevice() {
    if (device_ != nullptr) {
      EXPECT_EQ(device_->Release(), 0u);
    }
    if (d3d_ != nullptr) {
      EXPECT_EQ(d3d_->Release(), 0u);
    }
    device_ = nullptr;
    d3d_ = nullptr;
  }

  HRESULT Load(const std::string& fp_rBytes, UINT fp_uSize, UINT fp_uMips, D3DFORMAT fp_Format,
               IDirect3DTexture8** fp_ppTexture, D3DCOLOR fp_Key = 0, D3DXIMAGE_INFO* fp_pInfo = nullptr,
               DWORD fp_dwFilter = D3DX_DEFAULT) {
    return D3DXCreateTextureFromFileInMemoryEx(device_, fp_rBytes.data(), UINT(fp_rBytes.size()), fp_uSize, fp_uSize,
                                               fp_uMips, 0, fp_Format, D3DPOOL_MANAGED, fp_dwFilter, D3DX_FILTER_BOX,
                                               fp_Key, fp_pInfo, nullptr, fp_ppTexture);
  }

  // A level's pixels as ARGB, through the texture's lock.
  static SImage ReadLevel(IDirect3DTexture8* fp_pTexture, UINT fp_uLevel) {
    D3DSURFACE_DESC tmp_Desc{};
    EXPECT_EQ(fp_pTexture->GetLevelDesc(fp_uLevel, &tmp_Desc), D3D_OK);
    SImage tmp_Image = MakeImage(int(tmp_Desc.Width), int(tmp_Desc.Height), 0);
    D3DLOCKED_RECT tmp_Locked{};
    EXPECT_EQ(fp_pTexture->LockRect(fp_uLevel, &tmp_Locked, nullptr, D3DLOCK_READONLY), D3D_OK);
    const UINT tmp_uBpp = detail::BytesPerPixel(tmp_Desc.Format);
    for (UINT y = 0; y < tmp_Desc.Height; ++y) {
      for (UINT x = 0; x < tmp_Desc.Width; ++x) {
        tmp_Image.argb[y * tmp_Desc.Width + x] = detail::ReadPixel(
            tmp_Desc.Format, static_cast<const BYTE*>(tmp_Locked.pBits) + size_t(y) * tmp_Locked.Pitch + x * tmp_uBpp);
      }
    }
    fp_pTexture->UnlockRect(fp_uLevel);
    return tmp_Image;
  }

  static SImage Sample() {
    SImage tmp_Image = MakeImage(3, 2, 0);
    tmp_Image.argb = {0xFFFF0000u, 0xFF00FF00u, 0xFF0000FFu, 0x80FFFFFFu, 0x00000000u, 0xC0123456u};
    return tmp_Image;
  }

  os::HWND window_ = nullptr;
  IDirect3D8* d3d_ = nullptr;
  IDirect3DDevice8* device_ = nullptr;
};

TEST_F(TextureFromFileTest, DecodesEachFileFormatExactly) {
  const SImage tmp_Src = Sample();
  struct SCase {
    const char* name;
    std::string bytes;
    D3DXIMAGE_FILEFORMAT fileFormat;
    bool alpha;
  };
  const SCase tmp_Cases[] = {
      {"PNG", EncodePNG(tmp_Src), D3DXIFF_PNG, true},
      {"BMP 32-bit", EncodeBMP32(tmp_Src), D3DXIFF_BMP, true},
      {"BMP 24-bit", EncodeBMP24(tmp_Src), D3DXIFF_BMP, false},
      {"TGA", EncodeTGA32(tmp_Src), D3DXIFF_TGA, true},
  };
  for (const SCase& c : tmp_Cases) {
    SCOPED_TRACE(c.name);
    IDirect3DTexture8* tmp_pTexture = nullptr;
    D3DXIMAGE_INFO tmp_Info{};
    ASSERT_EQ(Load(c.bytes, D3DX_DEFAULT, 1, D3DFMT_UNKNOWN, &tmp_pTexture, 0, &tmp_Info), D3D_OK);
    EXPECT_EQ(tmp_Info.Width, 3u);
    EXPECT_EQ(tmp_Info.Height, 2u);
    EXPECT_EQ(tmp_Info.ImageFileFormat, c.fileFormat);
    D3DSURFACE_DESC tmp_Desc{};
    tmp_pTexture->GetLevelDesc(0, &tmp_Desc);
    EXPECT_EQ(tmp_Desc.Format, c.alpha ? D3DFMT_A8R8G8B8 : D3DFMT_X8R8G8B8);
    const SImage tmp_Got = ReadLevel(tmp_pTexture, 0);
    for (size_t i = 0; i < tmp_Src.argb.size(); ++i) {
      const std::uint32_t tmp_uWant = c.alpha ? tmp_Src.argb[i] : (tmp_Src.argb[i] | 0xFF000000u);
      EXPECT_EQ(tmp_Got.argb[i], tmp_uWant) << "pixel " << i;
    }
    EXPECT_EQ(tmp_pTexture->Release(), 0u);
  }
}

TEST_F(TextureFromFileTest, ScalesToTheRequestedSizeWithinTheDeviceLimit) {
  SImage tmp_Src = MakeImage(4, 4, 0);
  for (int i = 0; i < 16; ++i) tmp_Src.argb[size_t(i)] = 0xFF000000u | std::uint32_t(i * 16);
  const std::string tmp_Bytes = EncodePNG(tmp_Src);

  IDirect3DTexture8* tmp_pTexture = nullptr;
  ASSERT_EQ(Load(tmp_Bytes, 8, 1, D3DFMT_A8R8G8B8, &tmp_pTexture, 0, nullptr, D3DX_FILTER_POINT), D3D_OK);
  SImage tmp_Got = ReadLevel(tmp_pTexture, 0);
  ASSERT_EQ(tmp_Got.width, 8);
  for (int y = 0; y < 8; ++y) {
    for (int x = 0; x < 8; ++x) EXPECT_EQ(tmp_Got.At(x, y), tmp_Src.At(x / 2, y / 2)) << x << "," << y;
  }
  tmp_pTexture->Release();

  // D3DX_DEFAULT and 0 keep the image's size.
  for (UINT tmp_uSize : {D3DX_DEFAULT, 0u}) {
    ASSERT_EQ(Load(tmp_Bytes, tmp_uSize, 1, D3DFMT_A8R8G8B8, &tmp_pTexture), D3D_OK);
    D3DSURFACE_DESC tmp_Desc{};
    tmp_pTexture->GetLevelDesc(0, &tmp_Desc);
    EXPECT_EQ(tmp_Desc.Width, 4u);
    tmp_pTexture->Release();
  }

  // A smooth scale of a flat image stays flat, edges included.
  ASSERT_EQ(Load(EncodeBMP24(MakeImage(5, 3, 0xFF336699u)), 16, 1, D3DFMT_A8R8G8B8, &tmp_pTexture), D3D_OK);
  tmp_Got = ReadLevel(tmp_pTexture, 0);
  for (std::uint32_t c : tmp_Got.argb) EXPECT_EQ(c, 0xFF336699u);
  tmp_pTexture->Release();

  null::SAdapter tmp_Small = null::DefaultAdapter();
  tmp_Small.caps.MaxTextureWidth = tmp_Small.caps.MaxTextureHeight = 2;
  UseAdapter(tmp_Small);
  ASSERT_EQ(Load(tmp_Bytes, 2048, 1, D3DFMT_A8R8G8B8, &tmp_pTexture), D3D_OK);
  D3DSURFACE_DESC tmp_Desc{};
  tmp_pTexture->GetLevelDesc(0, &tmp_Desc);
  EXPECT_EQ(tmp_Desc.Width, 2u);
  EXPECT_EQ(tmp_Desc.Height, 2u);
  tmp_pTexture->Release();
}

TEST_F(TextureFromFileTest, MipLevelsAreBoxFilteredFromTheLevelAbove) {
  SImage tmp_Src = MakeImage(4, 4, 0);
  for (int y = 0; y < 4; ++y) {
    for (int x = 0; x < 4; ++x) {
      const std::uint32_t v = std::uint32_t(x * 40 + y * 20);
      tmp_Src.argb[size_t(y * 4 + x)] = 0xFF000000u | (v << 16) | (v << 8) | v;
    }
  }
  IDirect3DTexture8* tmp_pTexture = nullptr;
  ASSERT_EQ(Load(EncodeTGA32(tmp_Src), D3DX_DEFAULT, D3DX_DEFAULT, D3DFMT_A8R8G8B8, &tmp_pTexture), D3D_OK);
  ASSERT_EQ(tmp_pTexture->GetLevelCount(), 3u);
  const SImage tmp_L1 = ReadLevel(tmp_pTexture, 1);
  ASSERT_EQ(tmp_L1.width, 2);
  for (int y = 0; y < 2; ++y) {
    for (int x = 0; x < 2; ++x) {
      // The mean of the 2x2 block: x * 80 + 20 + y * 40 + 10.
      const int tmp_iWant = x * 80 + 20 + y * 40 + 10;
      EXPECT_NEAR(int(tmp_L1.At(x, y) & 255u), tmp_iWant, 1) << x << "," << y;
      EXPECT_EQ(tmp_L1.At(x, y) >> 24, 255u);
    }
  }
  const SImage tmp_L2 = ReadLevel(tmp_pTexture, 2);
  EXPECT_NEAR(int(tmp_L2.At(0, 0) & 255u), 90, 1);
  tmp_pTexture->Release();

  // A requested count above the chain gives the chain; 2 gives 2.
  ASSERT_EQ(Load(EncodeTGA32(tmp_Src), D3DX_DEFAULT, 9, D3DFMT_A8R8G8B8, &tmp_pTexture), D3D_OK);
  EXPECT_EQ(tmp_pTexture->GetLevelCount(), 3u);
  tmp_pTexture->Release();
  ASSERT_EQ(Load(EncodeTGA32(tmp_Src), D3DX_DEFAULT, 2, D3DFMT_A8R8G8B8, &tmp_pTexture), D3D_OK);
  EXPECT_EQ(tmp_pTexture->GetLevelCount(), 2u);
  tmp_pTexture->Release();
}

TEST_F(TextureFromFileTest, TheColourKeyBecomesTransparentBlack) {
  SImage tmp_Src = MakeImage(2, 2, 0xFFFF00FFu);
  tmp_Src.argb[1] = 0xFF00FF00u;
  tmp_Src.argb[2] = 0xFEFF00FFu;  // alpha counts: not the key
  IDirect3DTexture8* tmp_pTexture = nullptr;
  ASSERT_EQ(Load(EncodeBMP24(tmp_Src), D3DX_DEFAULT, 1, D3DFMT_UNKNOWN, &tmp_pTexture, 0xFFFF00FFu), D3D_OK);
  D3DSURFACE_DESC tmp_Desc{};
  tmp_pTexture->GetLevelDesc(0, &tmp_Desc);
  EXPECT_EQ(tmp_Desc.Format, D3DFMT_A8R8G8B8) << "a key needs alpha";
  const SImage tmp_Got = ReadLevel(tmp_pTexture, 0);
  EXPECT_EQ(tmp_Got.argb[0], 0x00000000u);
  EXPECT_EQ(tmp_Got.argb[1], 0xFF00FF00u);
  EXPECT_EQ(tmp_Got.argb[3], 0x00000000u);
  tmp_pTexture->Release();
  ASSERT_EQ(Load(EncodePNG(tmp_Src), D3DX_DEFAULT, 1, D3DFMT_A8R8G8B8, &tmp_pTexture, 0xFFFF00FFu), D3D_OK);
  EXPECT_EQ(ReadLevel(tmp_pTexture, 0).argb[2], 0xFEFF00FFu);
  tmp_pTexture->Release();
}

TEST_F(TextureFromFileTest, ConvertsToTheRequestedFormat) {
  SImage tmp_Src = MakeImage(4, 1, 0);
  tmp_Src.argb = {0xFFFF0000u, 0x8000FF00u, 0x000000FFu, 0xFF808080u};
  const std::string tmp_Bytes = EncodePNG(tmp_Src);
  struct SCase {
    D3DFORMAT format;
    std::uint16_t packed[4];
  };
  const SCase tmp_Cases[] = {
      {D3DFMT_R5G6B5, {0xF800, 0x07E0, 0x001F, 0x8410}},
      {D3DFMT_A4R4G4B4, {0xFF00, 0x80F0, 0x000F, 0xF888}},
      {D3DFMT_A1R5G5B5, {0xFC00, 0x83E0, 0x001F, 0xC210}},
  };
  for (const SCase& c : tmp_Cases) {
    SCOPED_TRACE(null::FormatName(c.format));
    IDirect3DTexture8* tmp_pTexture = nullptr;
    ASSERT_EQ(Load(tmp_Bytes, D3DX_DEFAULT, 1, c.format, &tmp_pTexture), D3D_OK);
    D3DLOCKED_RECT tmp_Locked{};
    ASSERT_EQ(tmp_pTexture->LockRect(0, &tmp_Locked, nullptr, D3DLOCK_READONLY), D3D_OK);
    std::uint16_t tmp_aGot[4];
    std::memcpy(tmp_aGot, tmp_Locked.pBits, sizeof(tmp_aGot));
    tmp_pTexture->UnlockRect(0);
    for (int i = 0; i < 4; ++i) EXPECT_EQ(tmp_aGot[i], c.packed[i]) << "pixel " << i;
    tmp_pTexture->Release();
  }

  // A format the device does not hold falls back to 32 bits.
  null::SAdapter tmp_Adapter = null::DefaultAdapter();
  tmp_Adapter.textureFormats = {D3DFMT_A8R8G8B8, D3DFMT_R5G6B5};
  UseAdapter(tmp_Adapter);
  IDirect3DTexture8* tmp_pTexture = nullptr;
  ASSERT_EQ(Load(tmp_Bytes, D3DX_DEFAULT, 1, D3DFMT_A4R4G4B4, &tmp_pTexture), D3D_OK);
  D3DSURFACE_DESC tmp_Desc{};
  tmp_pTexture->GetLevelDesc(0, &tmp_Desc);
  EXPECT_EQ(tmp_Desc.Format, D3DFMT_A8R8G8B8);
  tmp_pTexture->Release();
}

TEST_F(TextureFromFileTest, RefusesWhatIsNoImageItReads) {
  const std::string tmp_Png = EncodePNG(Sample());
  struct SCase {
    const char* name;
    std::string bytes;
  };
  const SCase tmp_Cases[] = {
      {"text", "this is not an image at all"},
      {"a truncated PNG", tmp_Png.substr(0, tmp_Png.size() / 2)},
      {"a PNG signature alone", tmp_Png.substr(0, 8)},
      {"a BMP header alone", EncodeBMP24(Sample()).substr(0, 20)},
      {"a GIF", std::string("GIF89a\x01\x00\x01\x00\x00\x00\x00;", 13)},
  };
  for (const SCase& c : tmp_Cases) {
    IDirect3DTexture8* tmp_pTexture = reinterpret_cast<IDirect3DTexture8*>(1);
    EXPECT_EQ(Load(c.bytes, D3DX_DEFAULT, 1, D3DFMT_A8R8G8B8, &tmp_pTexture), D3DXERR_INVALIDDATA) << c.name;
    EXPECT_EQ(tmp_pTexture, nullptr) << c.name;
  }
  // A BMP claiming to be huge is refused before anything is allocated for it.
  std::string tmp_Huge = EncodeBMP24(MakeImage(1, 1, 0));
  const std::uint32_t tmp_uSide = 1u << 20;
  std::memcpy(&tmp_Huge[18], &tmp_uSide, 4);
  std::memcpy(&tmp_Huge[22], &tmp_uSide, 4);
  IDirect3DTexture8* tmp_pTexture = nullptr;
  EXPECT_EQ(Load(tmp_Huge, D3DX_DEFAULT, 1, D3DFMT_A8R8G8B8, &tmp_pTexture), D3DXERR_INVALIDDATA);

  EXPECT_EQ(D3DXCreateTextureFromFileInMemoryEx(device_, tmp_Png.data(), 0, 0, 0, 1, 0, D3DFMT_A8R8G8B8,
                                                D3DPOOL_MANAGED, D3DX_DEFAULT, D3DX_DEFAULT, 0, nullptr, nullptr,
                                                &tmp_pTexture),
            D3DERR_INVALIDCALL);
  EXPECT_EQ(Load(tmp_Png, D3DX_DEFAULT, 1, D3DFMT_A8R8G8B8, &tmp_pTexture, 0, nullptr, 77), D3DERR_INVALIDCALL)
      << "an unknown filter";
}

TEST(Vec3Normalize, GivesAUnitVectorOrZero) {
  const float kNaN = std::numeric_limits<float>::quiet_NaN();
  const float kInf = std::numeric_limits<float>::infinity();
  struct SCase {
    D3DXVECTOR3 in;
    D3DXVECTOR3 out;
  };
  const SCase tmp_Cases[] = {
      {{3.0f, 0.0f, 4.0f}, {0.6f, 0.0f, 0.8f}},
      {{0.0f, -2.0f, 0.0f}, {0.0f, -1.0f, 0.0f}},
      {{3e38f, 3e38f, 0.0f}, {0.70710678f, 0.70710678f, 0.0f}},  // squares beyond float range
      {{1e-30f, 0.0f, 0.0f}, {1.0f, 0.0f, 0.0f}},
      {{0.0f, 0.0f, 0.0f}, {0.0f, 0.0f, 0.0f}},
      {{kNaN, 1.0f, 0.0f}, {0.0f, 0.0f, 0.0f}},
      {{kInf, 1.0f, 0.0f}, {0.0f, 0.0f, 0.0f}},
  };
  for (const SCase& c : tmp_Cases) {
    D3DXVECTOR3 tmp_Out{9.0f, 9.0f, 9.0f};
    EXPECT_EQ(D3DXVec3Normalize(&tmp_Out, &c.in), &tmp_Out);
    EXPECT_NEAR(tmp_Out.x, c.out.x, 1e-6f);
    EXPECT_NEAR(tmp_Out.y, c.out.y, 1e-6f);
    EXPECT_NEAR(tmp_Out.z, c.out.z, 1e-6f);
  }
  D3DXVECTOR3 tmp_InPlace{0.0f, 0.0f, 5.0f};
  D3DXVec3Normalize(&tmp_InPlace, &tmp_InPlace);
  EXPECT_FLOAT_EQ(tmp_InPlace.z, 1.0f);
}

}  // namespace
