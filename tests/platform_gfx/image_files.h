// Image files built by the tests themselves: uncompressed BMP (24 and 32 bit)
// and TGA writers of our own, PNG through stb_image_write.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace gfxtest {

// Pixels as 0xAARRGGBB, top row first.
struct SImage {
  int width = 0;
  int height = 0;
  std::vector<std::uint32_t> argb;
  std::uint32_t At(int fp_iX, int fp_iY) const { return argb[size_t(fp_iY) * width + fp_iX]; }
};

SImage MakeImage(int fp_iWidth, int fp_iHeight, std::uint32_t fp_uFill);

std::string EncodeBMP24(const SImage& fp_rImage);  // bottom-up rows, padded to 4 bytes
std::string EncodeBMP32(const SImage& fp_rImage);  // V4 header, BI_BITFIELDS with an alpha mask
std::string EncodeTGA32(const SImage& fp_rImage);  // type 2, top-left origin
std::string EncodePNG(const SImage& fp_rImage);    // RGBA

}  // namespace gfxtest
