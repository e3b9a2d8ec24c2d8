// The utility functions: a texture made from an image file in memory
// (decoded by stb_image, scaled and mip-mapped by stb_image_resize, converted
// to the texture's format), and 3-vector normalisation.

#include "Platform/gfx/d3dx8.h"

#include <stb_image.h>
#include <stb_image_resize.h>

#include <cmath>
#include <cstring>
#include <limits>
#include <memory>
#include <new>
#include <vector>

#include "Platform/gfx/gfx_device_base.h"
#include "Platform/gfx/gfx_formats.h"

namespace gfx {

namespace {

// Images larger than this on a side are refused before decoding, so a bad
// header cannot ask for gigabytes.
constexpr int kMaxImageSide = 16384;

struct SStbFree {
  void operator()(stbi_uc* fp_p) const { stbi_image_free(fp_p); }
};

// The file format from its first bytes; false for formats this function does
// not read (stb_image knows a few more: GIF, PSD, PIC, PNM, HDR). TGA has no
// signature: whatever is none of the others is tried as TGA.
bool DetectFormat(const BYTE* fp_p, UINT fp_uSize, D3DXIMAGE_FILEFORMAT* fp_pFormat) {
  auto tmp_Starts = [&](const char* fp_pszMagic, size_t fp_uLen) {
    return fp_uSize >= fp_uLen && std::memcmp(fp_p, fp_pszMagic, fp_uLen) == 0;
  };
  if (tmp_Starts("\x89PNG\r\n\x1a\n", 8)) {
    *fp_pFormat = D3DXIFF_PNG;
  } else if (tmp_Starts("\xFF\xD8", 2)) {
    *fp_pFormat = D3DXIFF_JPG;
  } else if (tmp_Starts("BM", 2)) {
    *fp_pFormat = D3DXIFF_BMP;
  } else if (tmp_Starts("GIF8", 4) || tmp_Starts("8BPS", 4) || tmp_Starts("\x53\x80\xF6\x34", 4) ||
             tmp_Starts("#?RADIANCE", 10) || tmp_Starts("#?RGBE", 6) ||
             (fp_uSize >= 2 && fp_p[0] == 'P' && fp_p[1] >= '1' && fp_p[1] <= '7')) {
    return false;
  } else {
    *fp_pFormat = D3DXIFF_TGA;
  }
  return true;
}

UINT NextPow2(UINT fp_u) {
  UINT tmp_u = 1;
  while (tmp_u < fp_u && tmp_u < (1u << 30)) tmp_u <<= 1;
  return tmp_u;
}

// An RGBA8 image (red first in memory, as stb_image gives it).
struct SImage {
  int width = 0;
  int height = 0;
  std::vector<BYTE> rgba;
};

enum class EFilter { None, Point, Box, Triangle };

// The filter code of an argument (its low byte), or false for an invalid one.
bool FilterOf(DWORD fp_dwFilter, bool fp_bMip, EFilter* fp_pFilter) {
  if (fp_dwFilter == D3DX_DEFAULT) {
    *fp_pFilter = fp_bMip ? EFilter::Box : EFilter::Triangle;
    return true;
  }
  switch (fp_dwFilter & 0xFFu) {
    case D3DX_FILTER_NONE:
      *fp_pFilter = fp_bMip ? EFilter::Point : EFilter::None;
      return true;
    case D3DX_FILTER_POINT:
      *fp_pFilter = EFilter::Point;
      return true;
    case D3DX_FILTER_LINEAR:
    case D3DX_FILTER_TRIANGLE:
      *fp_pFilter = EFilter::Triangle;
      return true;
    case D3DX_FILTER_BOX:
      *fp_pFilter = EFilter::Box;
      return true;
    default:
      return false;
  }
}

// Scales fp_rSrc to fp_iW x fp_iH. Edges are clamped (mirrored with the
// mirror flags), so nothing bleeds in from the opposite side.
bool Scale(const SImage& fp_rSrc, int fp_iW, int fp_iH, EFilter fp_eFilter, DWORD fp_dwFlags, SImage* fp_pDst) {
  fp_pDst->width = fp_iW;
  fp_pDst->height = fp_iH;
  fp_pDst->rgba.assign(size_t(fp_iW) * fp_iH * 4, 0);
  if (fp_iW == fp_rSrc.width && fp_iH == fp_rSrc.height) {
    fp_pDst->rgba = fp_rSrc.rgba;
    return true;
  }
  switch (fp_eFilter) {
    case EFilter::None: {
      // No scaling: the image at the top left, transparent black elsewhere.
      const int tmp_iW = std::min(fp_iW, fp_rSrc.width);
      const int tmp_iH = std::min(fp_iH, fp_rSrc.height);
      for (int y = 0; y < tmp_iH; ++y) {
        std::memcpy(&fp_pDst->rgba[size_t(y) * fp_iW * 4], &fp_rSrc.rgba[size_t(y) * fp_rSrc.width * 4],
                    size_t(tmp_iW) * 4);
      }
      return true;
    }
    case EFilter::Point:
      for (int y = 0; y < fp_iH; ++y) {
        const int tmp_iSY = static_cast<int>((std::int64_t(y) * 2 + 1) * fp_rSrc.height / (std::int64_t(fp_iH) * 2));
        for (int x = 0; x < fp_iW; ++x) {
          const int tmp_iSX =
              static_cast<int>((std::int64_t(x) * 2 + 1) * fp_rSrc.width / (std::int64_t(fp_iW) * 2));
          std::memcpy(&fp_pDst->rgba[(size_t(y) * fp_iW + x) * 4],
                      &fp_rSrc.rgba[(size_t(tmp_iSY) * fp_rSrc.width + tmp_iSX) * 4], 4);
        }
      }
      return true;
    case EFilter::Box:
    case EFilter::Triangle: {
      const stbir_filter tmp_Filter = fp_eFilter == EFilter::Box ? STBIR_FILTER_BOX : STBIR_FILTER_TRIANGLE;
      const stbir_edge tmp_EdgeU = (fp_dwFlags & D3DX_FILTER_MIRROR_U) != 0 ? STBIR_EDGE_REFLECT : STBIR_EDGE_CLAMP;
      const stbir_edge tmp_EdgeV = (fp_dwFlags & D3DX_FILTER_MIRROR_V) != 0 ? STBIR_EDGE_REFLECT : STBIR_EDGE_CLAMP;
      return stbir_resize(fp_rSrc.rgba.data(), fp_rSrc.width, fp_rSrc.height, 0, fp_pDst->rgba.data(), fp_iW, fp_iH,
                          0, STBIR_TYPE_UINT8, 4, 3, 0, tmp_EdgeU, tmp_EdgeV, tmp_Filter, tmp_Filter,
                          STBIR_COLORSPACE_LINEAR, nullptr) != 0;
    }
  }
  return false;
}

HRESULT WriteLevel(IDirect3DTexture8* fp_pTexture, UINT fp_uLevel, const SImage& fp_rImage, D3DFORMAT fp_Format) {
  D3DLOCKED_RECT tmp_Locked{};
  HRESULT tmp_hr = fp_pTexture->LockRect(fp_uLevel, &tmp_Locked, nullptr, 0);
  if (FAILED(tmp_hr)) return tmp_hr;
  const UINT tmp_uBpp = detail::BytesPerPixel(fp_Format);
  for (int y = 0; y < fp_rImage.height; ++y) {
    BYTE* tmp_pRow = static_cast<BYTE*>(tmp_Locked.pBits) + size_t(y) * static_cast<size_t>(tmp_Locked.Pitch);
    const BYTE* tmp_pSrc = &fp_rImage.rgba[size_t(y) * fp_rImage.width * 4];
    for (int x = 0; x < fp_rImage.width; ++x) {
      const BYTE* p = tmp_pSrc + size_t(x) * 4;
      const std::uint32_t tmp_uARGB =
          (std::uint32_t(p[3]) << 24) | (std::uint32_t(p[0]) << 16) | (std::uint32_t(p[1]) << 8) | p[2];
      detail::WritePixel(fp_Format, tmp_uARGB, tmp_pRow + size_t(x) * tmp_uBpp);
    }
  }
  return fp_pTexture->UnlockRect(fp_uLevel);
}

}  // namespace

HRESULT D3DXCreateTextureFromFileInMemoryEx(IDirect3DDevice8* fp_pDevice, const void* fp_pSrcData,
                                            UINT fp_uSrcDataSize, UINT fp_uWidth, UINT fp_uHeight,
                                            UINT fp_uMipLevels, DWORD fp_dwUsage, D3DFORMAT fp_Format,
                                            D3DPOOL fp_Pool, DWORD fp_dwFilter, DWORD fp_dwMipFilter,
                                            D3DCOLOR fp_ColorKey, D3DXIMAGE_INFO* fp_pSrcInfo, void* fp_pPalette,
                                            IDirect3DTexture8** fp_ppTexture) {
  (void)fp_pPalette;
  if (fp_ppTexture != nullptr) *fp_ppTexture = nullptr;
  if (fp_pDevice == nullptr || fp_pSrcData == nullptr || fp_uSrcDataSize == 0 || fp_ppTexture == nullptr) {
    return D3DERR_INVALIDCALL;
  }
  EFilter tmp_eFilter = EFilter::Triangle;
  EFilter tmp_eMipFilter = EFilter::Box;
  if (!FilterOf(fp_dwFilter, false, &tmp_eFilter) || !FilterOf(fp_dwMipFilter, true, &tmp_eMipFilter)) {
    return D3DERR_INVALIDCALL;
  }

  // {==== Decode
  const BYTE* tmp_pBytes = static_cast<const BYTE*>(fp_pSrcData);
  D3DXIMAGE_FILEFORMAT tmp_FileFormat = D3DXIFF_BMP;
  if (fp_uSrcDataSize > static_cast<UINT>(std::numeric_limits<int>::max()) ||
      !DetectFormat(tmp_pBytes, fp_uSrcDataSize, &tmp_FileFormat)) {
    return D3DXERR_INVALIDDATA;
  }
  const int tmp_iSize = static_cast<int>(fp_uSrcDataSize);
  int tmp_iW = 0, tmp_iH = 0, tmp_iComp = 0;
  if (stbi_info_from_memory(tmp_pBytes, tmp_iSize, &tmp_iW, &tmp_iH, &tmp_iComp) == 0 || tmp_iW <= 0 ||
      tmp_iH <= 0 || tmp_iW > kMaxImageSide || tmp_iH > kMaxImageSide) {
    return D3DXERR_INVALIDDATA;
  }
  SImage tmp_Src;
  {
    int tmp_iDW = 0, tmp_iDH = 0, tmp_iDC = 0;
    std::unique_ptr<stbi_uc, SStbFree> tmp_pPixels(
        stbi_load_from_memory(tmp_pBytes, tmp_iSize, &tmp_iDW, &tmp_iDH, &tmp_iDC, 4));
    if (!tmp_pPixels || tmp_iDW != tmp_iW || tmp_iDH != tmp_iH) return D3DXERR_INVALIDDATA;
    tmp_Src.width = tmp_iW;
    tmp_Src.height = tmp_iH;
    try {
      tmp_Src.rgba.assign(tmp_pPixels.get(), tmp_pPixels.get() + size_t(tmp_iW) * tmp_iH * 4);
    } catch (const std::bad_alloc&) {
      return E_OUTOFMEMORY;
    }
  }
  // The colour key: matching pixels (alpha included) become transparent black.
  if (fp_ColorKey != 0) {
    for (size_t i = 0; i < tmp_Src.rgba.size(); i += 4) {
      BYTE* p = &tmp_Src.rgba[i];
      const std::uint32_t tmp_uARGB =
          (std::uint32_t(p[3]) << 24) | (std::uint32_t(p[0]) << 16) | (std::uint32_t(p[1]) << 8) | p[2];
      if (tmp_uARGB == fp_ColorKey) std::memset(p, 0, 4);
    }
  }
  const bool tmp_bAlpha = tmp_iComp == 2 || tmp_iComp == 4 || fp_ColorKey != 0;
  // }====

  // {==== Texture size, levels, format
  D3DCAPS8 tmp_Caps{};
  if (FAILED(fp_pDevice->GetDeviceCaps(&tmp_Caps))) return D3DERR_INVALIDCALL;
  UINT tmp_uW = (fp_uWidth == 0 || fp_uWidth == D3DX_DEFAULT) ? UINT(tmp_iW) : fp_uWidth;
  UINT tmp_uH = (fp_uHeight == 0 || fp_uHeight == D3DX_DEFAULT) ? UINT(tmp_iH) : fp_uHeight;
  if ((tmp_Caps.TextureCaps & D3DPTEXTURECAPS_POW2) != 0) {
    tmp_uW = NextPow2(tmp_uW);
    tmp_uH = NextPow2(tmp_uH);
  }
  if ((tmp_Caps.TextureCaps & D3DPTEXTURECAPS_SQUAREONLY) != 0) tmp_uW = tmp_uH = std::max(tmp_uW, tmp_uH);
  tmp_uW = std::min(tmp_uW, std::max<DWORD>(tmp_Caps.MaxTextureWidth, 1));
  tmp_uH = std::min(tmp_uH, std::max<DWORD>(tmp_Caps.MaxTextureHeight, 1));

  const UINT tmp_uFull = detail::FullMipCount(tmp_uW, tmp_uH);
  UINT tmp_uLevels = (fp_uMipLevels == 0 || fp_uMipLevels == D3DX_DEFAULT) ? tmp_uFull
                                                                          : std::min(fp_uMipLevels, tmp_uFull);
  if ((tmp_Caps.TextureCaps & D3DPTEXTURECAPS_MIPMAP) == 0) tmp_uLevels = 1;

  D3DFORMAT tmp_Format = fp_Format;
  if (tmp_Format == D3DFMT_UNKNOWN || static_cast<UINT>(tmp_Format) == D3DX_DEFAULT) {
    tmp_Format = tmp_bAlpha ? D3DFMT_A8R8G8B8 : D3DFMT_X8R8G8B8;
  }
  // A format the device cannot hold is replaced by the closest 32-bit one.
  const detail::CDeviceBase* tmp_pOurs = dynamic_cast<const detail::CDeviceBase*>(fp_pDevice);
  if (tmp_pOurs != nullptr && !tmp_pOurs->SupportsTextureFormat(tmp_Format)) {
    tmp_Format = tmp_pOurs->SupportsTextureFormat(D3DFMT_A8R8G8B8) ? D3DFMT_A8R8G8B8 : D3DFMT_X8R8G8B8;
  }
  if (detail::BytesPerPixel(tmp_Format) == 0) return D3DERR_INVALIDCALL;
  // }====

  IDirect3DTexture8* tmp_pTexture = nullptr;
  HRESULT tmp_hr =
      fp_pDevice->CreateTexture(tmp_uW, tmp_uH, tmp_uLevels, fp_dwUsage, tmp_Format, fp_Pool, &tmp_pTexture);
  if (FAILED(tmp_hr)) return tmp_hr;
  if (tmp_pTexture == nullptr) return D3DERR_INVALIDCALL;

  try {
    SImage tmp_Level;
    if (!Scale(tmp_Src, int(tmp_uW), int(tmp_uH), tmp_eFilter, fp_dwFilter == D3DX_DEFAULT ? 0 : fp_dwFilter,
               &tmp_Level)) {
      tmp_hr = E_OUTOFMEMORY;
    }
    const UINT tmp_uMade = tmp_pTexture->GetLevelCount();
    for (UINT i = 0; SUCCEEDED(tmp_hr) && i < tmp_uMade; ++i) {
      if (i > 0) {
        // Each level from the one above it.
        SImage tmp_Next;
        const int tmp_iNW = std::max(1, tmp_Level.width / 2);
        const int tmp_iNH = std::max(1, tmp_Level.height / 2);
        if (!Scale(tmp_Level, tmp_iNW, tmp_iNH, tmp_eMipFilter, fp_dwMipFilter == D3DX_DEFAULT ? 0 : fp_dwMipFilter,
                   &tmp_Next)) {
          tmp_hr = E_OUTOFMEMORY;
          break;
        }
        tmp_Level = std::move(tmp_Next);
      }
      tmp_hr = WriteLevel(tmp_pTexture, i, tmp_Level, tmp_Format);
    }
  } catch (const std::bad_alloc&) {
    tmp_hr = E_OUTOFMEMORY;
  }
  if (FAILED(tmp_hr)) {
    tmp_pTexture->Release();
    return tmp_hr;
  }

  if (fp_pSrcInfo != nullptr) {
    fp_pSrcInfo->Width = UINT(tmp_iW);
    fp_pSrcInfo->Height = UINT(tmp_iH);
    fp_pSrcInfo->Depth = 1;
    fp_pSrcInfo->MipLevels = 1;
    fp_pSrcInfo->Format = tmp_iComp == 4   ? D3DFMT_A8R8G8B8
                          : tmp_iComp == 3 ? D3DFMT_R8G8B8
                          : tmp_iComp == 2 ? D3DFMT_A8L8
                                           : D3DFMT_L8;
    fp_pSrcInfo->ResourceType = D3DRTYPE_TEXTURE;
    fp_pSrcInfo->ImageFileFormat = tmp_FileFormat;
  }
  *fp_ppTexture = tmp_pTexture;
  return D3D_OK;
}

D3DXVECTOR3* D3DXVec3Normalize(D3DXVECTOR3* fp_pOut, const D3DXVECTOR3* fp_pV) {
  if (fp_pOut == nullptr) return nullptr;
  if (fp_pV == nullptr) {
    *fp_pOut = D3DXVECTOR3{0.0f, 0.0f, 0.0f};
    return fp_pOut;
  }
  // In double, so the squares of large floats do not overflow.
  const double tmp_dX = fp_pV->x, tmp_dY = fp_pV->y, tmp_dZ = fp_pV->z;
  const double tmp_dLength = std::sqrt(tmp_dX * tmp_dX + tmp_dY * tmp_dY + tmp_dZ * tmp_dZ);
  if (!(tmp_dLength > 0.0) || !std::isfinite(tmp_dLength)) {
    *fp_pOut = D3DXVECTOR3{0.0f, 0.0f, 0.0f};
  } else {
    *fp_pOut = D3DXVECTOR3{static_cast<float>(tmp_dX / tmp_dLength), static_cast<float>(tmp_dY / tmp_dLength),
                           static_cast<float>(tmp_dZ / tmp_dLength)};
  }
  return fp_pOut;
}

}  // namespace gfx
