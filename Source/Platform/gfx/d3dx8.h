// The two utility functions the graphics code uses beside the device: a
// texture made from an image file held in memory (PNG, JPEG, BMP, TGA),
// scaled, mip-mapped, converted and colour-keyed; and 3-vector normalisation.
// Both work on any back end through the device interface.
#pragma once

#include "Platform/gfx/d3d8.h"

namespace gfx {

// "Take it from the image" for sizes, mip levels and format; the default
// filter for the filter arguments.
constexpr UINT D3DX_DEFAULT = 0xFFFFFFFFu;

constexpr DWORD D3DX_FILTER_NONE = 1;      // no scaling: the image at the top left, transparent black around
constexpr DWORD D3DX_FILTER_POINT = 2;     // nearest pixel
constexpr DWORD D3DX_FILTER_LINEAR = 3;    // bilinear
constexpr DWORD D3DX_FILTER_TRIANGLE = 4;  // tent over the whole footprint (the default)
constexpr DWORD D3DX_FILTER_BOX = 5;       // box average (2x2 for each halved mip level)
constexpr DWORD D3DX_FILTER_MIRROR_U = 0x00010000;
constexpr DWORD D3DX_FILTER_MIRROR_V = 0x00020000;
constexpr DWORD D3DX_FILTER_MIRROR = 0x00070000;
constexpr DWORD D3DX_FILTER_DITHER = 0x00080000;

// The decoder's verdict on bytes that are no image it reads.
constexpr HRESULT D3DXERR_INVALIDDATA = MakeResult(0x88760B59u);

enum D3DXIMAGE_FILEFORMAT : DWORD {
  D3DXIFF_BMP = 0,
  D3DXIFF_JPG = 1,
  D3DXIFF_TGA = 2,
  D3DXIFF_PNG = 3,
};

struct D3DXIMAGE_INFO {
  UINT Width;
  UINT Height;
  UINT Depth;
  UINT MipLevels;
  D3DFORMAT Format;  // the closest format to the file's pixels
  D3DRESOURCETYPE ResourceType;
  D3DXIMAGE_FILEFORMAT ImageFileFormat;
};

// Decodes fp_pSrcData and creates a texture of fp_uWidth x fp_uHeight
// (D3DX_DEFAULT or 0: the image's size; at most the device's limit),
// fp_uMipLevels levels (D3DX_DEFAULT or 0: the whole chain), in fp_Format
// (D3DFMT_UNKNOWN or D3DX_DEFAULT: the image's own; a format the device
// cannot hold falls back to A8R8G8B8). Pixels equal to fp_ColorKey (ARGB,
// alpha included; 0 = no key) become transparent black before scaling. Each
// mip level is made from the one above it with fp_dwMipFilter. The palette
// argument is not used (no paletted textures). D3DXERR_INVALIDDATA for bytes
// that are not a PNG, JPEG, BMP or TGA image.
HRESULT D3DXCreateTextureFromFileInMemoryEx(IDirect3DDevice8* fp_pDevice, const void* fp_pSrcData,
                                            UINT fp_uSrcDataSize, UINT fp_uWidth, UINT fp_uHeight,
                                            UINT fp_uMipLevels, DWORD fp_dwUsage, D3DFORMAT fp_Format,
                                            D3DPOOL fp_Pool, DWORD fp_dwFilter, DWORD fp_dwMipFilter,
                                            D3DCOLOR fp_ColorKey, D3DXIMAGE_INFO* fp_pSrcInfo,
                                            void* fp_pPalette, IDirect3DTexture8** fp_ppTexture);

struct D3DXVECTOR3 {
  float x, y, z;
};

// fp_pOut = fp_pV / |fp_pV|; a zero, infinite or NaN length gives (0, 0, 0).
// fp_pOut may be fp_pV. Returns fp_pOut.
D3DXVECTOR3* D3DXVec3Normalize(D3DXVECTOR3* fp_pOut, const D3DXVECTOR3* fp_pV);

}  // namespace gfx
