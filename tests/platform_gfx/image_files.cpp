// Writers of the image files the texture tests decode.

#include "image_files.h"

#include <stb_image_write.h>

namespace gfxtest {

namespace {

void Put16(std::string* fp_pOut, std::uint32_t fp_u) {
  fp_pOut->push_back(static_cast<char>(fp_u & 255u));
  fp_pOut->push_back(static_cast<char>((fp_u >> 8) & 255u));
}

void Put32(std::string* fp_pOut, std::uint32_t fp_u) {
  Put16(fp_pOut, fp_u & 0xFFFFu);
  Put16(fp_pOut, fp_u >> 16);
}

std::string EncodeBMP(const SImage& fp_rImage, int fp_iBits) {
  const std::uint32_t tmp_uRow = ((std::uint32_t(fp_rImage.width) * (fp_iBits / 8)) + 3u) & ~3u;
  const std::uint32_t tmp_uPixels = tmp_uRow * std::uint32_t(fp_rImage.height);
  const std::uint32_t tmp_uInfo = fp_iBits == 32 ? 108u : 40u;  // 32-bit: a V4 header with the channel masks
  const std::uint32_t tmp_uOffset = 14u + tmp_uInfo;
  std::string s = "BM";
  Put32(&s, tmp_uOffset + tmp_uPixels);
  Put32(&s, 0);
  Put32(&s, tmp_uOffset);
  Put32(&s, tmp_uInfo);
  Put32(&s, std::uint32_t(fp_rImage.width));
  Put32(&s, std::uint32_t(fp_rImage.height));
  Put16(&s, 1);
  Put16(&s, std::uint32_t(fp_iBits));
  Put32(&s, fp_iBits == 32 ? 3u : 0u);  // BI_BITFIELDS or BI_RGB
  Put32(&s, tmp_uPixels);
  Put32(&s, 2835);
  Put32(&s, 2835);
  Put32(&s, 0);
  Put32(&s, 0);
  if (fp_iBits == 32) {
    Put32(&s, 0x00FF0000u);
    Put32(&s, 0x0000FF00u);
    Put32(&s, 0x000000FFu);
    Put32(&s, 0xFF000000u);
    Put32(&s, 0x73524742u);  // "sRGB" colour space
    s.append(36 + 12, '\0');  // end points and gamma, unused with sRGB
  }
  for (int y = fp_rImage.height - 1; y >= 0; --y) {
    std::string tmp_Row;
    for (int x = 0; x < fp_rImage.width; ++x) {
      const std::uint32_t c = fp_rImage.At(x, y);
      tmp_Row.push_back(static_cast<char>(c & 255u));
      tmp_Row.push_back(static_cast<char>((c >> 8) & 255u));
      tmp_Row.push_back(static_cast<char>((c >> 16) & 255u));
      if (fp_iBits == 32) tmp_Row.push_back(static_cast<char>(c >> 24));
    }
    tmp_Row.resize(tmp_uRow, '\0');
    s += tmp_Row;
  }
  return s;
}

void AppendToString(void* fp_pContext, void* fp_pData, int fp_iSize) {
  static_cast<std::string*>(fp_pContext)->append(static_cast<const char*>(fp_pData), size_t(fp_iSize));
}

}  // namespace

SImage MakeImage(int fp_iWidth, int fp_iHeight, std::uint32_t fp_uFill) {
  SImage tmp_Image;
  tmp_Image.width = fp_iWidth;
  tmp_Image.height = fp_iHeight;
  tmp_Image.argb.assign(size_t(fp_iWidth) * fp_iHeight, fp_uFill);
  return tmp_Image;
}

std::string EncodeBMP24(const SImage& fp_rImage) { return EncodeBMP(fp_rImage, 24); }
std::string EncodeBMP32(const SImage& fp_rImage) { return EncodeBMP(fp_rImage, 32); }

std::string EncodeTGA32(const SImage& fp_rImage) {
  std::string s;
  s.push_back(0);  // no image ID
  s.push_back(0);  // no colour map
  s.push_back(2);  // uncompressed true colour
  s.append(5, '\0');
  Put16(&s, 0);
  Put16(&s, 0);
  Put16(&s, std::uint32_t(fp_rImage.width));
  Put16(&s, std::uint32_t(fp_rImage.height));
  s.push_back(32);
  s.push_back(0x28);  // 8 alpha bits, top-left origin
  for (std::uint32_t c : fp_rImage.argb) {
    s.push_back(static_cast<char>(c & 255u));
    s.push_back(static_cast<char>((c >> 8) & 255u));
    s.push_back(static_cast<char>((c >> 16) & 255u));
    s.push_back(static_cast<char>(c >> 24));
  }
  return s;
}

std::string EncodePNG(const SImage& fp_rImage) {
  std::vector<unsigned char> tmp_Rgba;
  for (std::uint32_t c : fp_rImage.argb) {
    tmp_Rgba.push_back(static_cast<unsigned char>((c >> 16) & 255u));
    tmp_Rgba.push_back(static_cast<unsigned char>((c >> 8) & 255u));
    tmp_Rgba.push_back(static_cast<unsigned char>(c & 255u));
    tmp_Rgba.push_back(static_cast<unsigned char>(c >> 24));
  }
  std::string s;
  stbi_write_png_to_func(&AppendToString, &s, fp_rImage.width, fp_rImage.height, 4, tmp_Rgba.data(),
                         fp_rImage.width * 4);
  return s;
}

}  // namespace gfxtest
