// Small helpers the graphics modules share: number conversions that never
// overflow (values come from data and scripts), colour packing, and reading
// numeric attributes of the XML descriptions.
#pragma once

#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <limits>

// A float truncated toward zero to 32 bits, saturating; NaN gives 0.
inline std::int32_t GFX_SaturateToInt(float fp_fValue) {
  if (std::isnan(fp_fValue)) return 0;
  if (fp_fValue >= 2147483647.0f) return std::numeric_limits<std::int32_t>::max();
  if (fp_fValue <= -2147483648.0f) return std::numeric_limits<std::int32_t>::min();
  return static_cast<std::int32_t>(fp_fValue);
}

// A colour channel as the device takes it from the quad operations: value x
// 255 truncated, of which the low 8 bits are used (values are not clamped).
inline std::uint32_t GFX_ChannelByte(float fp_fValue) {
  return static_cast<std::uint32_t>(GFX_SaturateToInt(fp_fValue * 255.0f)) & 0xFFu;
}

// A channel clamped first: 255 from 1 on, 0 up to 0 (and for NaN), otherwise
// rounded to the nearest byte.
inline std::uint32_t GFX_ClampedChannelByte(float fp_fValue) {
  if (std::isnan(fp_fValue) || fp_fValue <= 0.0f) return 0;
  if (fp_fValue >= 1.0f) return 255;
  return static_cast<std::uint32_t>(fp_fValue * 255.0f + 0.5f);
}

inline std::uint32_t GFX_PackARGB(std::uint32_t fp_uA, std::uint32_t fp_uR, std::uint32_t fp_uG,
                                  std::uint32_t fp_uB) {
  return (fp_uA << 24) | (fp_uR << 16) | (fp_uG << 8) | fp_uB;
}

// A decimal floating-point attribute; a missing, empty or non-numeric one
// reads as 0 (the number at the start of the text counts, as "1.5px" gives
// 1.5). Beyond the float range it becomes an infinity of its sign.
inline float GFX_ParseFloat(const char* fp_pszText) {
  if (fp_pszText == nullptr || fp_pszText[0] == '\0') return 0.0f;
  char* tmp_pEnd = nullptr;
  const float tmp_fValue = std::strtof(fp_pszText, &tmp_pEnd);
  if (tmp_pEnd == fp_pszText) return 0.0f;
  return tmp_fValue;
}
