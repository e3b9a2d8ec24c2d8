// The scene: begin and end of a frame (with the quad batch), clearing,
// rendering the quad template, presenting, the viewport that clips GUI
// elements, BMP screenshots of the front buffer and the gamma ramp.
static constexpr int kM2DFileID = 116;

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <new>
#include <string>
#include <vector>

#include "Platform/gfx/d3d8.h"
#include "cmorvane.h"
#include "cmorvane_gfx_internal.h"

using namespace gfx;

namespace {

void PutU16(std::uint8_t* fp_pOut, std::uint16_t fp_uValue) {
  M2D_CHECKPOINT;
  fp_pOut[0] = static_cast<std::uint8_t>(fp_uValue & 0xFF);
  fp_pOut[1] = static_cast<std::uint8_t>(fp_uValue >> 8);
}

void PutU32(std::uint8_t* fp_pOut, std::uint32_t fp_uValue) {
  M2D_CHECKPOINT;
  for (int i = 0; i < 4; ++i) fp_pOut[i] = static_cast<std::uint8_t>(fp_uValue >> (8 * i));
}

// Releases the screenshot's surface on every way out.
struct SSurfaceHolder {
  IDirect3DSurface8* pSurface = nullptr;
  bool locked = false;
  ~SSurfaceHolder() {
    if (pSurface == nullptr) return;
    if (locked) pSurface->UnlockRect();
    pSurface->Release();
  }
};

}  // namespace

void CMorvane::GFX_RequireDevice() const {
  M2D_CHECKPOINT;
  if (pD3DDevice == nullptr) M2D_THROW(EHS_TYPE_GENERAL, 0, "D3DDevice object was not created!");
}

void CMorvane::GFX_SceneBegin() {
  M2D_CHECKPOINT;
  GFX_RequireDevice();
  pD3DDevice->BeginScene();
  GFX_BatchOpen();
}

void CMorvane::GFX_SceneEnd() {
  M2D_CHECKPOINT;
  GFX_RequireDevice();
  GFX_BatchClose();
  pD3DDevice->EndScene();
}

void CMorvane::GFX_SceneClearScreen(float fp_fRed, float fp_fGreen, float fp_fBlue) {
  M2D_CHECKPOINT;
  GFX_RequireDevice();
  const D3DCOLOR tmp_Color = GFX_PackARGB(0xFF, GFX_ChannelByte(fp_fRed), GFX_ChannelByte(fp_fGreen),
                                          GFX_ChannelByte(fp_fBlue));
  pD3DDevice->Clear(0, nullptr, D3DCLEAR_TARGET, tmp_Color, 0.0f, 0);
}

void CMorvane::GFX_SceneRender() {
  M2D_CHECKPOINT;
  GFX_LightApply();
  GFX_BatchAddQuad();
}

void CMorvane::GFX_ScenePresent() {
  M2D_CHECKPOINT;
  GFX_RequireDevice();
  pD3DDevice->Present(nullptr, nullptr, nullptr, nullptr);
}

void CMorvane::GFX_SceneSetViewport(std::int32_t fp_iX, std::int32_t fp_iY, std::int32_t fp_iWidth,
                                    std::int32_t fp_iHeight) {
  M2D_CHECKPOINT;
  GFX_RequireDevice();
  // In 64 bits: the sums of script values must not overflow.
  std::int64_t tmp_iX = fp_iX;
  std::int64_t tmp_iY = fp_iY;
  std::int64_t tmp_iWidth = fp_iWidth;
  std::int64_t tmp_iHeight = fp_iHeight;
  if (tmp_iX < 0) {
    tmp_iWidth += tmp_iX;
    tmp_iX = 0;
  }
  if (tmp_iY < 0) {
    tmp_iHeight += tmp_iY;
    tmp_iY = 0;
  }
  std::int32_t tmp_iScreenWidth = 0;
  std::int32_t tmp_iScreenHeight = 0;
  GFX_GetScreenSize(&tmp_iScreenWidth, &tmp_iScreenHeight);
  if (tmp_iX + tmp_iWidth > tmp_iScreenWidth) tmp_iWidth = tmp_iScreenWidth - tmp_iX;
  if (tmp_iY + tmp_iHeight > tmp_iScreenHeight) tmp_iHeight = tmp_iScreenHeight - tmp_iY;
  if (tmp_iWidth < 0) tmp_iWidth = 0;
  if (tmp_iHeight < 0) tmp_iHeight = 0;

  GFX_BatchFlush();
  D3DVIEWPORT8 tmp_Viewport;
  tmp_Viewport.X = static_cast<DWORD>(tmp_iX);
  tmp_Viewport.Y = static_cast<DWORD>(tmp_iY);
  tmp_Viewport.Width = static_cast<DWORD>(tmp_iWidth);
  tmp_Viewport.Height = static_cast<DWORD>(tmp_iHeight);
  tmp_Viewport.MinZ = 0.0f;
  tmp_Viewport.MaxZ = 1.0f;
  pD3DDevice->SetViewport(&tmp_Viewport);
}

void CMorvane::GFX_SceneMakeScreenshot() {
  M2D_CHECKPOINT;
  GFX_RequireDevice();
  if (gfxWindowed != 0) {
    LogAddBlankLines(1);
    LogAddEntry("Cannot make a screenshot in windowed mode!", LOG_KIND_FAILED);
    LogAddBlankLines(1);
    return;
  }
  ++screenshotCounter;
  const std::string tmp_strFile = "screenshot" + std::to_string(screenshotCounter) + ".bmp";

  const UINT tmp_uWidth = gfxPresentParams.BackBufferWidth;
  const UINT tmp_uHeight = gfxPresentParams.BackBufferHeight;
  SSurfaceHolder tmp_Surface;
  HRESULT tmp_hr = pD3DDevice->CreateImageSurface(tmp_uWidth, tmp_uHeight, D3DFMT_A8R8G8B8,
                                                  &tmp_Surface.pSurface);
  if (FAILED(tmp_hr)) M2D_THROW(EHS_TYPE_GENERAL, tmp_hr, "Cannot create surface!");
  ZIZAssert(tmp_Surface.pSurface);
  tmp_hr = pD3DDevice->GetFrontBuffer(tmp_Surface.pSurface);
  if (FAILED(tmp_hr)) M2D_THROW(EHS_TYPE_GENERAL, tmp_hr, "Cannot get front buffer!");
  D3DLOCKED_RECT tmp_Locked{};
  tmp_hr = tmp_Surface.pSurface->LockRect(&tmp_Locked, nullptr, D3DLOCK_READONLY);
  if (FAILED(tmp_hr)) M2D_THROW(EHS_TYPE_GENERAL, tmp_hr, "Cannot lock surface!");
  tmp_Surface.locked = true;
  ZIZAssert(tmp_Locked.pBits);

  // 24-bit rows, bottom row first, blue, green, red, padded to 4 bytes.
  const size_t tmp_uRowBytes = (static_cast<size_t>(tmp_uWidth) * 3 + 3) & ~static_cast<size_t>(3);
  const size_t tmp_uPixelBytes = tmp_uRowBytes * tmp_uHeight;
  std::vector<std::uint8_t> tmp_Pixels;
  try {
    tmp_Pixels.assign(tmp_uPixelBytes, 0);
  } catch (const std::bad_alloc&) {
    ZIZAssert(false);
  }
  const std::uint8_t* tmp_pBits = static_cast<const std::uint8_t*>(tmp_Locked.pBits);
  for (UINT y = 0; y < tmp_uHeight; ++y) {
    const std::uint8_t* tmp_pSrc =
        tmp_pBits + static_cast<size_t>(tmp_uHeight - 1 - y) * static_cast<size_t>(tmp_Locked.Pitch);
    std::uint8_t* tmp_pDst = tmp_Pixels.data() + static_cast<size_t>(y) * tmp_uRowBytes;
    for (UINT x = 0; x < tmp_uWidth; ++x) {
      std::uint32_t tmp_uARGB;
      std::memcpy(&tmp_uARGB, tmp_pSrc + static_cast<size_t>(x) * 4, 4);
      tmp_pDst[3 * x + 0] = static_cast<std::uint8_t>(tmp_uARGB);
      tmp_pDst[3 * x + 1] = static_cast<std::uint8_t>(tmp_uARGB >> 8);
      tmp_pDst[3 * x + 2] = static_cast<std::uint8_t>(tmp_uARGB >> 16);
    }
  }
  tmp_Surface.pSurface->UnlockRect();
  tmp_Surface.locked = false;
  tmp_Surface.pSurface->Release();
  tmp_Surface.pSurface = nullptr;

  std::uint8_t tmp_aHeader[54] = {};
  const std::uint32_t tmp_uPixelSize = static_cast<std::uint32_t>(tmp_uPixelBytes);
  PutU16(tmp_aHeader + 0, 19778);  // "BM"
  PutU32(tmp_aHeader + 2, 54 + tmp_uPixelSize);
  PutU32(tmp_aHeader + 10, 54);
  PutU32(tmp_aHeader + 14, 40);
  PutU32(tmp_aHeader + 18, tmp_uWidth);
  PutU32(tmp_aHeader + 22, tmp_uHeight);
  PutU16(tmp_aHeader + 26, 1);
  PutU16(tmp_aHeader + 28, 24);
  PutU32(tmp_aHeader + 30, 0);
  PutU32(tmp_aHeader + 34, tmp_uPixelSize);
  std::FILE* tmp_pFile = std::fopen(tmp_strFile.c_str(), "wb");
  if (tmp_pFile != nullptr) {
    std::fwrite(tmp_aHeader, 1, sizeof(tmp_aHeader), tmp_pFile);
    std::fwrite(tmp_Pixels.data(), 1, tmp_Pixels.size(), tmp_pFile);
    std::fclose(tmp_pFile);
  }
  LogAddBlankLines(1);
  LogAddEntry("Screenshot saved.", LOG_KIND_SUCCESS);
  LogAddBlankLines(1);
}

void CMorvane::GFX_SceneSetGamma(float fp_fLevel, float fp_fBend) {
  M2D_CHECKPOINT;
  GFX_RequireDevice();
  float tmp_fLow = 0.0f;
  float tmp_fHigh = 1.0f;
  if (fp_fLevel > 1.0f) tmp_fLow = std::min(fp_fLevel - 1.0f, 1.0f);
  if (fp_fLevel < 1.0f) tmp_fHigh = std::max(fp_fLevel, 0.0f);
  const float tmp_fMiddle = tmp_fLow + (tmp_fHigh - tmp_fLow) * 0.5f;
  const float tmp_fControl = (1.0f - fp_fBend) * tmp_fMiddle + fp_fBend * tmp_fHigh;

  D3DGAMMARAMP tmp_Ramp;
  for (int i = 0; i < 256; ++i) {
    const float t = static_cast<float>(i) * (1.0f / 255.0f);
    float tmp_fValue = (1.0f - t) * ((1.0f - t) * tmp_fLow + 2.0f * t * tmp_fControl) + t * t * tmp_fHigh;
    // NaN (from a NaN level or bend) counts as 0.
    if (!(tmp_fValue > 0.0f)) tmp_fValue = 0.0f;
    if (tmp_fValue > 1.0f) tmp_fValue = 1.0f;
    const WORD tmp_uEntry = static_cast<WORD>(tmp_fValue * 65535.0f);
    tmp_Ramp.red[i] = tmp_uEntry;
    tmp_Ramp.green[i] = tmp_uEntry;
    tmp_Ramp.blue[i] = tmp_uEntry;
  }
  pD3DDevice->SetGammaRamp(gfxCaps.CanCalibrateGamma ? D3DSGR_CALIBRATE : D3DSGR_NO_CALIBRATION,
                           &tmp_Ramp);
}
