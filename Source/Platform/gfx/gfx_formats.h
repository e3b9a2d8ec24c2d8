// Pixel layouts of the formats the device holds: bytes per pixel, whether a
// format carries alpha, and packing to and from 32-bit ARGB; the texture
// formats and capabilities both back ends share. Used by both back ends and
// the texture-from-image utility.
#pragma once

#include <cstdint>
#include <vector>

#include "Platform/gfx/d3d8.h"

namespace gfx::detail {

// Bytes per pixel of a colour format the device can lay out, else 0.
UINT BytesPerPixel(D3DFORMAT fp_Format);
bool FormatHasAlpha(D3DFORMAT fp_Format);
// The formats a texture or image surface can have on either back end.
bool IsLayoutFormat(D3DFORMAT fp_Format);
// Formats a display (and so a back buffer) can have.
bool IsDisplayFormat(D3DFORMAT fp_Format);

// One pixel of fp_Format at fp_pSrc as 0xAARRGGBB (alpha 255 for formats
// without alpha), and back. Channels are widened by bit replication and
// narrowed by rounding, so a 5-bit 31 reads 255 and 255 writes 31.
std::uint32_t ReadPixel(D3DFORMAT fp_Format, const BYTE* fp_pSrc);
void WritePixel(D3DFORMAT fp_Format, std::uint32_t fp_uARGB, BYTE* fp_pDst);

// The texture formats both back ends hold (the OpenGL one with a matching
// internal format each).
const std::vector<D3DFORMAT>& HeldTextureFormats();

// The capabilities of the device as both back ends implement it; only the
// largest texture side and whether rasterisation runs on a graphics chip
// differ between them.
D3DCAPS8 MakeCaps(UINT fp_uMaxTextureSize, bool fp_bHardwareRaster);

// The whole chain of mip levels for a size: 1 + floor(log2(max(w, h))).
UINT FullMipCount(UINT fp_uWidth, UINT fp_uHeight);

}  // namespace gfx::detail
