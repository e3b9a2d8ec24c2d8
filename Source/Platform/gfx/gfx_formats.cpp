// Pixel layouts of the device's formats and the conversions between them
// and 32-bit ARGB.

#include "Platform/gfx/gfx_formats.h"

#include <cstring>

namespace gfx::detail {

UINT BytesPerPixel(D3DFORMAT fp_Format) {
  switch (fp_Format) {
    case D3DFMT_A8R8G8B8:
    case D3DFMT_X8R8G8B8:
      return 4;
    case D3DFMT_R8G8B8:
      return 3;
    case D3DFMT_A8R3G3B2:
    case D3DFMT_R5G6B5:
    case D3DFMT_X1R5G5B5:
    case D3DFMT_A1R5G5B5:
    case D3DFMT_A4R4G4B4:
    case D3DFMT_X4R4G4B4:
    case D3DFMT_A8L8:
      return 2;
    case D3DFMT_R3G3B2:
    case D3DFMT_A8:
    case D3DFMT_L8:
      return 1;
    default:
      return 0;
  }
}

bool FormatHasAlpha(D3DFORMAT fp_Format) {
  switch (fp_Format) {
    case D3DFMT_A8R8G8B8:
    case D3DFMT_A1R5G5B5:
    case D3DFMT_A4R4G4B4:
    case D3DFMT_A8R3G3B2:
    case D3DFMT_A8:
    case D3DFMT_A8L8:
      return true;
    default:
      return false;
  }
}

bool IsLayoutFormat(D3DFORMAT fp_Format) { return BytesPerPixel(fp_Format) != 0; }

bool IsDisplayFormat(D3DFORMAT fp_Format) {
  return fp_Format == D3DFMT_X8R8G8B8 || fp_Format == D3DFMT_A8R8G8B8 || fp_Format == D3DFMT_R5G6B5 ||
         fp_Format == D3DFMT_X1R5G5B5;
}

namespace {

// Widens an n-bit channel to 8 bits by replicating its high bits.
inline std::uint32_t Widen(std::uint32_t fp_uValue, int fp_iBits) {
  switch (fp_iBits) {
    case 1:
      return fp_uValue ? 255u : 0u;
    case 2:
      return fp_uValue * 85u;
    case 3:
      return (fp_uValue << 5) | (fp_uValue << 2) | (fp_uValue >> 1);
    case 4:
      return (fp_uValue << 4) | fp_uValue;
    case 5:
      return (fp_uValue << 3) | (fp_uValue >> 2);
    case 6:
      return (fp_uValue << 2) | (fp_uValue >> 4);
    default:
      return fp_uValue;
  }
}

// Narrows an 8-bit channel to n bits, rounding to the nearest level.
inline std::uint32_t Narrow(std::uint32_t fp_uValue, int fp_iBits) {
  const std::uint32_t tmp_uMax = (1u << fp_iBits) - 1u;
  return (fp_uValue * tmp_uMax + 127u) / 255u;
}

inline std::uint16_t Load16(const BYTE* fp_p) {
  std::uint16_t tmp_u;
  std::memcpy(&tmp_u, fp_p, 2);
  return tmp_u;
}

inline void Store16(BYTE* fp_p, std::uint32_t fp_u) {
  const std::uint16_t tmp_u = static_cast<std::uint16_t>(fp_u);
  std::memcpy(fp_p, &tmp_u, 2);
}

}  // namespace

std::uint32_t ReadPixel(D3DFORMAT fp_Format, const BYTE* fp_pSrc) {
  switch (fp_Format) {
    case D3DFMT_A8R8G8B8: {
      std::uint32_t tmp_u;
      std::memcpy(&tmp_u, fp_pSrc, 4);
      return tmp_u;
    }
    case D3DFMT_X8R8G8B8: {
      std::uint32_t tmp_u;
      std::memcpy(&tmp_u, fp_pSrc, 4);
      return tmp_u | 0xFF000000u;
    }
    case D3DFMT_R8G8B8:
      return 0xFF000000u | (std::uint32_t(fp_pSrc[2]) << 16) | (std::uint32_t(fp_pSrc[1]) << 8) | fp_pSrc[0];
    case D3DFMT_R5G6B5: {
      const std::uint32_t tmp_u = Load16(fp_pSrc);
      return 0xFF000000u | (Widen((tmp_u >> 11) & 31u, 5) << 16) | (Widen((tmp_u >> 5) & 63u, 6) << 8) |
             Widen(tmp_u & 31u, 5);
    }
    case D3DFMT_X1R5G5B5:
    case D3DFMT_A1R5G5B5: {
      const std::uint32_t tmp_u = Load16(fp_pSrc);
      const std::uint32_t tmp_uA = fp_Format == D3DFMT_A1R5G5B5 ? Widen(tmp_u >> 15, 1) : 255u;
      return (tmp_uA << 24) | (Widen((tmp_u >> 10) & 31u, 5) << 16) | (Widen((tmp_u >> 5) & 31u, 5) << 8) |
             Widen(tmp_u & 31u, 5);
    }
    case D3DFMT_X4R4G4B4:
    case D3DFMT_A4R4G4B4: {
      const std::uint32_t tmp_u = Load16(fp_pSrc);
      const std::uint32_t tmp_uA = fp_Format == D3DFMT_A4R4G4B4 ? Widen(tmp_u >> 12, 4) : 255u;
      return (tmp_uA << 24) | (Widen((tmp_u >> 8) & 15u, 4) << 16) | (Widen((tmp_u >> 4) & 15u, 4) << 8) |
             Widen(tmp_u & 15u, 4);
    }
    case D3DFMT_R3G3B2:
    case D3DFMT_A8R3G3B2: {
      const std::uint32_t tmp_u = fp_Format == D3DFMT_R3G3B2 ? 0xFF00u | fp_pSrc[0] : Load16(fp_pSrc);
      return ((tmp_u >> 8) << 24) | (Widen((tmp_u >> 5) & 7u, 3) << 16) | (Widen((tmp_u >> 2) & 7u, 3) << 8) |
             Widen(tmp_u & 3u, 2);
    }
    case D3DFMT_A8:
      return std::uint32_t(fp_pSrc[0]) << 24;
    case D3DFMT_L8: {
      const std::uint32_t tmp_uL = fp_pSrc[0];
      return 0xFF000000u | (tmp_uL << 16) | (tmp_uL << 8) | tmp_uL;
    }
    case D3DFMT_A8L8: {
      const std::uint32_t tmp_uL = fp_pSrc[0];
      return (std::uint32_t(fp_pSrc[1]) << 24) | (tmp_uL << 16) | (tmp_uL << 8) | tmp_uL;
    }
    default:
      return 0;
  }
}

void WritePixel(D3DFORMAT fp_Format, std::uint32_t fp_uARGB, BYTE* fp_pDst) {
  const std::uint32_t tmp_uA = fp_uARGB >> 24;
  const std::uint32_t tmp_uR = (fp_uARGB >> 16) & 255u;
  const std::uint32_t tmp_uG = (fp_uARGB >> 8) & 255u;
  const std::uint32_t tmp_uB = fp_uARGB & 255u;
  switch (fp_Format) {
    case D3DFMT_A8R8G8B8:
      std::memcpy(fp_pDst, &fp_uARGB, 4);
      break;
    case D3DFMT_X8R8G8B8: {
      const std::uint32_t tmp_u = fp_uARGB | 0xFF000000u;
      std::memcpy(fp_pDst, &tmp_u, 4);
      break;
    }
    case D3DFMT_R8G8B8:
      fp_pDst[0] = static_cast<BYTE>(tmp_uB);
      fp_pDst[1] = static_cast<BYTE>(tmp_uG);
      fp_pDst[2] = static_cast<BYTE>(tmp_uR);
      break;
    case D3DFMT_R5G6B5:
      Store16(fp_pDst, (Narrow(tmp_uR, 5) << 11) | (Narrow(tmp_uG, 6) << 5) | Narrow(tmp_uB, 5));
      break;
    case D3DFMT_X1R5G5B5:
    case D3DFMT_A1R5G5B5: {
      const std::uint32_t tmp_uBit = fp_Format == D3DFMT_A1R5G5B5 ? (tmp_uA >= 128u ? 1u : 0u) : 1u;
      Store16(fp_pDst, (tmp_uBit << 15) | (Narrow(tmp_uR, 5) << 10) | (Narrow(tmp_uG, 5) << 5) | Narrow(tmp_uB, 5));
      break;
    }
    case D3DFMT_X4R4G4B4:
    case D3DFMT_A4R4G4B4: {
      const std::uint32_t tmp_uA4 = fp_Format == D3DFMT_A4R4G4B4 ? Narrow(tmp_uA, 4) : 15u;
      Store16(fp_pDst, (tmp_uA4 << 12) | (Narrow(tmp_uR, 4) << 8) | (Narrow(tmp_uG, 4) << 4) | Narrow(tmp_uB, 4));
      break;
    }
    case D3DFMT_R3G3B2:
    case D3DFMT_A8R3G3B2: {
      const std::uint32_t tmp_uRGB = (Narrow(tmp_uR, 3) << 5) | (Narrow(tmp_uG, 3) << 2) | Narrow(tmp_uB, 2);
      if (fp_Format == D3DFMT_R3G3B2) {
        fp_pDst[0] = static_cast<BYTE>(tmp_uRGB);
      } else {
        Store16(fp_pDst, (tmp_uA << 8) | tmp_uRGB);
      }
      break;
    }
    case D3DFMT_A8:
      fp_pDst[0] = static_cast<BYTE>(tmp_uA);
      break;
    case D3DFMT_L8:
    case D3DFMT_A8L8: {
      // Luminance with the weights of the usual RGB-to-grey conversion.
      const std::uint32_t tmp_uL = (tmp_uR * 77u + tmp_uG * 150u + tmp_uB * 29u + 128u) >> 8;
      fp_pDst[0] = static_cast<BYTE>(tmp_uL);
      if (fp_Format == D3DFMT_A8L8) fp_pDst[1] = static_cast<BYTE>(tmp_uA);
      break;
    }
    default:
      break;
  }
}

const std::vector<D3DFORMAT>& HeldTextureFormats() {
  static const std::vector<D3DFORMAT> kFormats = {
      D3DFMT_R5G6B5,   D3DFMT_X1R5G5B5, D3DFMT_A1R5G5B5, D3DFMT_A4R4G4B4, D3DFMT_X4R4G4B4, D3DFMT_A8R8G8B8,
      D3DFMT_X8R8G8B8, D3DFMT_R8G8B8,   D3DFMT_A8,       D3DFMT_L8,       D3DFMT_A8L8,
  };
  return kFormats;
}

D3DCAPS8 MakeCaps(UINT fp_uMaxTextureSize, bool fp_bHardwareRaster) {
  D3DCAPS8 c{};
  c.DeviceType = D3DDEVTYPE_HAL;
  c.AdapterOrdinal = 0;
  c.Caps2 = D3DCAPS2_FULLSCREENGAMMA | D3DCAPS2_CANRENDERWINDOWED | D3DCAPS2_CANMANAGERESOURCE |
            D3DCAPS2_DYNAMICTEXTURES;
  c.PresentationIntervals = D3DPRESENT_INTERVAL_ONE | D3DPRESENT_INTERVAL_IMMEDIATE;
  c.DevCaps = D3DDEVCAPS_EXECUTESYSTEMMEMORY | D3DDEVCAPS_TLVERTEXSYSTEMMEMORY | D3DDEVCAPS_TEXTURESYSTEMMEMORY |
              D3DDEVCAPS_DRAWPRIMTLVERTEX | D3DDEVCAPS_CANRENDERAFTERFLIP;
  if (fp_bHardwareRaster) c.DevCaps |= D3DDEVCAPS_HWRASTERIZATION;
  c.PrimitiveMiscCaps = D3DPMISCCAPS_CULLNONE | D3DPMISCCAPS_CULLCW | D3DPMISCCAPS_CULLCCW |
                        D3DPMISCCAPS_COLORWRITEENABLE | D3DPMISCCAPS_BLENDOP;
  c.RasterCaps = D3DPRASTERCAPS_FOGVERTEX | D3DPRASTERCAPS_FOGTABLE | D3DPRASTERCAPS_MIPMAPLODBIAS;
  c.ZCmpCaps = 0;  // no depth buffer
  c.SrcBlendCaps = 0x1FFFu;
  c.DestBlendCaps = 0x1FFFu & ~D3DPBLENDCAPS_SRCALPHASAT;
  c.AlphaCmpCaps = D3DPCMPCAPS_ALL;
  c.ShadeCaps = D3DPSHADECAPS_COLORGOURAUDRGB | D3DPSHADECAPS_SPECULARGOURAUDRGB | D3DPSHADECAPS_ALPHAGOURAUDBLEND |
                D3DPSHADECAPS_FOGGOURAUD;
  c.TextureCaps = D3DPTEXTURECAPS_PERSPECTIVE | D3DPTEXTURECAPS_ALPHA | D3DPTEXTURECAPS_MIPMAP;
  c.TextureFilterCaps = D3DPTFILTERCAPS_MINFPOINT | D3DPTFILTERCAPS_MINFLINEAR | D3DPTFILTERCAPS_MIPFPOINT |
                        D3DPTFILTERCAPS_MIPFLINEAR | D3DPTFILTERCAPS_MAGFPOINT | D3DPTFILTERCAPS_MAGFLINEAR;
  c.TextureAddressCaps = D3DPTADDRESSCAPS_WRAP | D3DPTADDRESSCAPS_MIRROR | D3DPTADDRESSCAPS_CLAMP |
                         D3DPTADDRESSCAPS_BORDER | D3DPTADDRESSCAPS_INDEPENDENTUV;
  c.MaxTextureWidth = fp_uMaxTextureSize;
  c.MaxTextureHeight = fp_uMaxTextureSize;
  c.MaxTextureRepeat = 32768;
  c.MaxTextureAspectRatio = fp_uMaxTextureSize;
  c.MaxAnisotropy = 1;
  c.MaxVertexW = 1.0e10f;
  c.GuardBandLeft = -16384.0f;
  c.GuardBandTop = -16384.0f;
  c.GuardBandRight = 16384.0f;
  c.GuardBandBottom = 16384.0f;
  c.FVFCaps = 2;  // texture coordinate sets
  c.TextureOpCaps = D3DTEXOPCAPS_DISABLE | D3DTEXOPCAPS_SELECTARG1 | D3DTEXOPCAPS_SELECTARG2 |
                    D3DTEXOPCAPS_MODULATE | D3DTEXOPCAPS_MODULATE2X | D3DTEXOPCAPS_MODULATE4X | D3DTEXOPCAPS_ADD |
                    D3DTEXOPCAPS_ADDSIGNED | D3DTEXOPCAPS_ADDSIGNED2X | D3DTEXOPCAPS_SUBTRACT |
                    D3DTEXOPCAPS_ADDSMOOTH | D3DTEXOPCAPS_BLENDDIFFUSEALPHA | D3DTEXOPCAPS_BLENDTEXTUREALPHA |
                    D3DTEXOPCAPS_BLENDFACTORALPHA | D3DTEXOPCAPS_BLENDTEXTUREALPHAPM |
                    D3DTEXOPCAPS_BLENDCURRENTALPHA | D3DTEXOPCAPS_DOTPRODUCT3;
  c.MaxTextureBlendStages = kBlendStages;
  c.MaxSimultaneousTextures = kBlendStages;
  c.MaxPointSize = 1.0f;
  c.MaxPrimitiveCount = 0x000FFFFFu;
  c.MaxVertexIndex = 0x00FFFFFFu;
  c.MaxStreams = 1;
  c.MaxStreamStride = 255;
  return c;
}

UINT FullMipCount(UINT fp_uWidth, UINT fp_uHeight) {
  UINT tmp_uSize = fp_uWidth > fp_uHeight ? fp_uWidth : fp_uHeight;
  UINT tmp_uCount = 1;
  while (tmp_uSize > 1) {
    tmp_uSize >>= 1;
    ++tmp_uCount;
  }
  return tmp_uCount;
}

}  // namespace gfx::detail
