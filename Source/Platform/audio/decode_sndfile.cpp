// Decoding samples and streams with the sound-file library, reading through
// virtual I/O from a CRegion so sounds inside pack files decode like loose
// files. Every format is brought to interleaved stereo float.
#include "Platform/audio/decode_sndfile.h"

#include <sndfile.h>

#include <algorithm>
#include <cstring>
#include <new>
#include <vector>

#include "Platform/audio/audio.h"

namespace audio {

namespace {

sf_count_t VioLength(void* fp_pUser) {
  return static_cast<CRegion*>(fp_pUser)->Size();
}
sf_count_t VioSeek(sf_count_t fp_iOffset, int fp_iWhence, void* fp_pUser) {
  return static_cast<CRegion*>(fp_pUser)->Seek(fp_iOffset, fp_iWhence);
}
sf_count_t VioRead(void* fp_pDst, sf_count_t fp_iCount, void* fp_pUser) {
  return static_cast<CRegion*>(fp_pUser)->Read(fp_pDst, fp_iCount);
}
sf_count_t VioWrite(const void*, sf_count_t, void*) {
  return 0;
}
sf_count_t VioTell(void* fp_pUser) {
  return static_cast<CRegion*>(fp_pUser)->Tell();
}

SF_VIRTUAL_IO g_oVio = {VioLength, VioSeek, VioRead, VioWrite, VioTell};

// Opens the decoder on a region; null when the bytes are no sound we know or
// the sound's format is one we cannot play.
SNDFILE* OpenDecoder(CRegion& fp_oRegion, SF_INFO& fp_oInfo) {
  std::memset(&fp_oInfo, 0, sizeof(fp_oInfo));
  SNDFILE* tmp_pFile = sf_open_virtual(&g_oVio, SFM_READ, &fp_oInfo, &fp_oRegion);
  if (tmp_pFile == nullptr) return nullptr;
  if (fp_oInfo.channels < 1 || fp_oInfo.samplerate < BASS_FREQ_MIN ||
      fp_oInfo.samplerate > BASS_FREQ_MAX) {
    sf_close(tmp_pFile);
    return nullptr;
  }
  return tmp_pFile;
}

// Brings fp_uFrames frames of fp_iChannels channels from fp_pIn to stereo in
// fp_pOut: mono is doubled, more than two channels keep the first two.
void ToStereo(const float* fp_pIn, int fp_iChannels, std::uint32_t fp_uFrames, float* fp_pOut) {
  for (std::uint32_t i = 0; i < fp_uFrames; ++i) {
    const float* tmp_pFrame = fp_pIn + static_cast<std::size_t>(i) * fp_iChannels;
    fp_pOut[2 * i] = tmp_pFrame[0];
    fp_pOut[2 * i + 1] = fp_iChannels > 1 ? tmp_pFrame[1] : tmp_pFrame[0];
  }
}

// A stream: the decoder reads its region while the channel plays.
class CSndStream final : public ISource {
 public:
  static constexpr std::uint32_t kReadFrames = 1024;

  CSndStream(std::unique_ptr<CRegion> fp_pRegion, SNDFILE* fp_pFile, int fp_iChannels)
      : m_pRegion(std::move(fp_pRegion)), m_pFile(fp_pFile), m_iChannels(fp_iChannels) {
    if (m_iChannels > 2) m_vTmp.resize(static_cast<std::size_t>(kReadFrames) * m_iChannels);
  }
  ~CSndStream() override { sf_close(m_pFile); }

  std::uint32_t Read(float* fp_pOut, std::uint32_t fp_uFrames) override {
    std::uint32_t tmp_uDone = 0;
    while (tmp_uDone < fp_uFrames) {
      const std::uint32_t tmp_uWant = std::min(kReadFrames, fp_uFrames - tmp_uDone);
      float* tmp_pOut = fp_pOut + 2 * static_cast<std::size_t>(tmp_uDone);
      sf_count_t tmp_iGot = 0;
      if (m_iChannels == 2) {
        tmp_iGot = sf_readf_float(m_pFile, tmp_pOut, tmp_uWant);
      } else if (m_iChannels == 1) {
        // Decode into the first half, then spread backwards so nothing is
        // overwritten before it is read.
        tmp_iGot = sf_readf_float(m_pFile, tmp_pOut, tmp_uWant);
        for (sf_count_t i = tmp_iGot - 1; i >= 0; --i) {
          tmp_pOut[2 * i] = tmp_pOut[2 * i + 1] = tmp_pOut[i];
        }
      } else {
        tmp_iGot = sf_readf_float(m_pFile, m_vTmp.data(), tmp_uWant);
        if (tmp_iGot > 0)
          ToStereo(m_vTmp.data(), m_iChannels, static_cast<std::uint32_t>(tmp_iGot), tmp_pOut);
      }
      if (tmp_iGot <= 0) break;  // the end, or data that no longer decodes
      tmp_uDone += static_cast<std::uint32_t>(tmp_iGot);
    }
    return tmp_uDone;
  }

  bool Rewind() override { return sf_seek(m_pFile, 0, SEEK_SET) == 0; }

 private:
  std::unique_ptr<CRegion> m_pRegion;  // read by m_pFile; lives as long
  SNDFILE* m_pFile;
  int m_iChannels;
  std::vector<float> m_vTmp;
};

}  // namespace

int DecodeSample(CRegion& fp_oRegion, CSampleData& fp_oOut) {
  SF_INFO tmp_oInfo;
  SNDFILE* tmp_pFile = OpenDecoder(fp_oRegion, tmp_oInfo);
  if (tmp_pFile == nullptr) return BASS_ERROR_FORMAT;
  constexpr std::uint32_t kBlock = 4096;
  int tmp_iResult = BASS_OK;
  try {
    std::vector<float> tmp_vBlock(static_cast<std::size_t>(kBlock) * tmp_oInfo.channels);
    fp_oOut.frames.clear();
    std::uint64_t tmp_uFrames = 0;
    // Grown as the data really decodes, so a header that claims a huge
    // length costs nothing.
    for (;;) {
      const sf_count_t tmp_iGot = sf_readf_float(tmp_pFile, tmp_vBlock.data(), kBlock);
      if (tmp_iGot <= 0) break;
      if (tmp_uFrames + static_cast<std::uint64_t>(tmp_iGot) > kMaxSampleFrames) {
        tmp_iResult = BASS_ERROR_MEM;
        break;
      }
      fp_oOut.frames.resize(static_cast<std::size_t>(tmp_uFrames + tmp_iGot) * 2);
      ToStereo(tmp_vBlock.data(), tmp_oInfo.channels, static_cast<std::uint32_t>(tmp_iGot),
               fp_oOut.frames.data() + tmp_uFrames * 2);
      tmp_uFrames += static_cast<std::uint64_t>(tmp_iGot);
    }
    // Data that stops decoding part way is damaged, not short.
    if (tmp_iResult == BASS_OK && (tmp_uFrames == 0 || sf_error(tmp_pFile) != SF_ERR_NO_ERROR))
      tmp_iResult = BASS_ERROR_FORMAT;
    fp_oOut.frameCount = static_cast<std::uint32_t>(tmp_uFrames);
    fp_oOut.rate = static_cast<std::uint32_t>(tmp_oInfo.samplerate);
  } catch (const std::bad_alloc&) {
    tmp_iResult = BASS_ERROR_MEM;
  }
  sf_close(tmp_pFile);
  if (tmp_iResult != BASS_OK) {
    fp_oOut.frames.clear();
    fp_oOut.frames.shrink_to_fit();
    fp_oOut.frameCount = 0;
  }
  return tmp_iResult;
}

int OpenStream(std::unique_ptr<CRegion> fp_pRegion, std::unique_ptr<ISource>& fp_pOut,
               std::uint32_t* fp_pRate) {
  SF_INFO tmp_oInfo;
  SNDFILE* tmp_pFile = OpenDecoder(*fp_pRegion, tmp_oInfo);
  if (tmp_pFile == nullptr) return BASS_ERROR_FORMAT;
  // A stream with no frames at all cannot play.
  if (tmp_oInfo.frames <= 0) {
    sf_close(tmp_pFile);
    return BASS_ERROR_FORMAT;
  }
  *fp_pRate = static_cast<std::uint32_t>(tmp_oInfo.samplerate);
  try {
    fp_pOut = std::make_unique<CSndStream>(std::move(fp_pRegion), tmp_pFile, tmp_oInfo.channels);
  } catch (const std::bad_alloc&) {
    sf_close(tmp_pFile);
    return BASS_ERROR_MEM;
  }
  return BASS_OK;
}

}  // namespace audio
