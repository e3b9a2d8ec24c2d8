// Reading a decoded sample from memory for one playback.
#include "Platform/audio/audio_source.h"

#include <algorithm>
#include <cstring>

namespace audio {

std::uint32_t CSampleSource::Read(float* fp_pOut, std::uint32_t fp_uFrames) {
  if (m_pData == nullptr || m_uPos >= m_pData->frameCount) return 0;
  const std::uint32_t tmp_uCount = std::min(fp_uFrames, m_pData->frameCount - m_uPos);
  std::memcpy(fp_pOut, m_pData->frames.data() + 2 * static_cast<std::size_t>(m_uPos),
              sizeof(float) * 2 * tmp_uCount);
  m_uPos += tmp_uCount;
  return tmp_uCount;
}

}  // namespace audio
