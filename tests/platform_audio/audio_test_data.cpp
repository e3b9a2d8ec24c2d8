// Making test sounds and modules, and measuring what the mixer produced.
#include "audio_test_data.h"

#include <sndfile.h>

#include <cmath>
#include <cstring>
#include <random>
#include <stdexcept>

#include "Platform/audio/audio_manual.h"

namespace audiotest {

std::vector<float> Sine(float fp_fHz, std::uint32_t fp_uRate, float fp_fSeconds, float fp_fAmp,
                        int fp_iChannels) {
  const auto tmp_uFrames = static_cast<std::size_t>(std::lround(fp_fSeconds * fp_uRate));
  std::vector<float> tmp_v(tmp_uFrames * fp_iChannels);
  for (std::size_t i = 0; i < tmp_uFrames; ++i)
    for (int c = 0; c < fp_iChannels; ++c)
      tmp_v[i * fp_iChannels + c] =
          fp_fAmp *
          static_cast<float>(std::sin(2.0 * M_PI * fp_fHz * static_cast<double>(i) / fp_uRate));
  return tmp_v;
}

namespace {

struct SMemFile {
  std::string bytes;
  sf_count_t pos = 0;
};

sf_count_t MemLength(void* fp_p) {
  return static_cast<sf_count_t>(static_cast<SMemFile*>(fp_p)->bytes.size());
}
sf_count_t MemSeek(sf_count_t fp_iOff, int fp_iWhence, void* fp_p) {
  auto* tmp_p = static_cast<SMemFile*>(fp_p);
  const sf_count_t tmp_iBase = fp_iWhence == SEEK_SET ? 0
                               : fp_iWhence == SEEK_CUR
                                   ? tmp_p->pos
                                   : static_cast<sf_count_t>(tmp_p->bytes.size());
  tmp_p->pos = tmp_iBase + fp_iOff;
  return tmp_p->pos;
}
sf_count_t MemRead(void* fp_pDst, sf_count_t fp_iCount, void* fp_p) {
  auto* tmp_p = static_cast<SMemFile*>(fp_p);
  const sf_count_t tmp_iLeft = static_cast<sf_count_t>(tmp_p->bytes.size()) - tmp_p->pos;
  const sf_count_t tmp_iN = std::max<sf_count_t>(0, std::min(fp_iCount, tmp_iLeft));
  std::memcpy(fp_pDst, tmp_p->bytes.data() + tmp_p->pos, static_cast<std::size_t>(tmp_iN));
  tmp_p->pos += tmp_iN;
  return tmp_iN;
}
sf_count_t MemWrite(const void* fp_pSrc, sf_count_t fp_iCount, void* fp_p) {
  auto* tmp_p = static_cast<SMemFile*>(fp_p);
  const auto tmp_uEnd = static_cast<std::size_t>(tmp_p->pos + fp_iCount);
  if (tmp_p->bytes.size() < tmp_uEnd) tmp_p->bytes.resize(tmp_uEnd);
  std::memcpy(tmp_p->bytes.data() + tmp_p->pos, fp_pSrc, static_cast<std::size_t>(fp_iCount));
  tmp_p->pos += fp_iCount;
  return fp_iCount;
}
sf_count_t MemTell(void* fp_p) {
  return static_cast<SMemFile*>(fp_p)->pos;
}

void Put16BE(std::string& fp_s, std::size_t fp_uAt, unsigned fp_uValue) {
  fp_s[fp_uAt] = static_cast<char>((fp_uValue >> 8) & 0xFF);
  fp_s[fp_uAt + 1] = static_cast<char>(fp_uValue & 0xFF);
}

}  // namespace

std::string EncodeSound(const std::vector<float>& fp_vFrames, int fp_iChannels,
                        std::uint32_t fp_uRate, int fp_iFormat) {
  SF_VIRTUAL_IO tmp_oVio = {MemLength, MemSeek, MemRead, MemWrite, MemTell};
  SMemFile tmp_oFile;
  SF_INFO tmp_oInfo{};
  tmp_oInfo.samplerate = static_cast<int>(fp_uRate);
  tmp_oInfo.channels = fp_iChannels;
  tmp_oInfo.format = fp_iFormat;
  SNDFILE* tmp_pFile = sf_open_virtual(&tmp_oVio, SFM_WRITE, &tmp_oInfo, &tmp_oFile);
  if (tmp_pFile == nullptr) throw std::runtime_error(sf_strerror(nullptr));
  sf_writef_float(tmp_pFile, fp_vFrames.data(),
                  static_cast<sf_count_t>(fp_vFrames.size() / fp_iChannels));
  sf_close(tmp_pFile);
  return tmp_oFile.bytes;
}

std::string Wav(const std::vector<float>& fp_vFrames, int fp_iChannels, std::uint32_t fp_uRate) {
  return EncodeSound(fp_vFrames, fp_iChannels, fp_uRate, SF_FORMAT_WAV | SF_FORMAT_PCM_16);
}

std::string Mod(bool fp_bShort) {
  // Header: title, 31 sample headers, song length, restart, orders, tag.
  std::string tmp_s(1084, '\0');
  std::memcpy(&tmp_s[0], "m2d test", 8);
  for (int i = 0; i < 31; ++i) Put16BE(tmp_s, 20 + 30 * i + 28, 1);  // no loop
  std::memcpy(&tmp_s[20], "square", 6);
  Put16BE(tmp_s, 20 + 22, 32);  // length in words: 64 bytes
  tmp_s[20 + 25] = 64;          // full volume
  Put16BE(tmp_s, 20 + 26, 0);   // loop the whole sample
  Put16BE(tmp_s, 20 + 28, 32);
  tmp_s[950] = 1;  // one order
  tmp_s[951] = 127;
  tmp_s[952] = 0;  // order 0: pattern 0
  std::memcpy(&tmp_s[1080], "M.K.", 4);
  // Pattern 0: 64 rows of 4 channels of 4 bytes.
  std::string tmp_oPattern(64 * 4 * 4, '\0');
  const unsigned tmp_uPeriod = 428;  // C-2
  for (int c = 0; c < 2; ++c) {      // channels 1 (left) and 2 (right)
    const std::size_t tmp_uAt = static_cast<std::size_t>(c) * 4;
    tmp_oPattern[tmp_uAt] =
        static_cast<char>((tmp_uPeriod >> 8) & 0x0F);  // sample 1: high nibble 0
    tmp_oPattern[tmp_uAt + 1] = static_cast<char>(tmp_uPeriod & 0xFF);
    tmp_oPattern[tmp_uAt + 2] = static_cast<char>(1 << 4);  // sample 1, no effect
  }
  if (fp_bShort) tmp_oPattern[1 * 16 + 2] = 0x0D;  // row 1: pattern break, the song ends
  tmp_s += tmp_oPattern;
  for (int i = 0; i < 64; ++i) tmp_s += static_cast<char>(i < 32 ? 80 : -80);
  return tmp_s;
}

std::string Junk(std::size_t fp_uSize, unsigned fp_uSeed) {
  std::mt19937 tmp_oRng(fp_uSeed);
  std::string tmp_s(fp_uSize, '\0');
  for (char& c : tmp_s) c = static_cast<char>(tmp_oRng() & 0xFF);
  return tmp_s;
}

std::vector<float> Render(std::uint32_t fp_uFrames) {
  std::vector<float> tmp_v(2 * static_cast<std::size_t>(fp_uFrames));
  if (!audio::AudioManual_Render(tmp_v.data(), fp_uFrames))
    throw std::runtime_error("no manual output");
  return tmp_v;
}

double Rms(const std::vector<float>& fp_vFrames, int fp_iChannel, std::size_t fp_uFrom,
           std::size_t fp_uTo) {
  const std::size_t tmp_uTo = std::min(fp_uTo, fp_vFrames.size() / 2);
  double tmp_dSum = 0.0;
  for (std::size_t i = fp_uFrom; i < tmp_uTo; ++i)
    tmp_dSum += double(fp_vFrames[2 * i + fp_iChannel]) * fp_vFrames[2 * i + fp_iChannel];
  return tmp_uTo > fp_uFrom ? std::sqrt(tmp_dSum / static_cast<double>(tmp_uTo - fp_uFrom)) : 0.0;
}

float Peak(const std::vector<float>& fp_vFrames, int fp_iChannel) {
  float tmp_f = 0.0f;
  for (std::size_t i = fp_iChannel; i < fp_vFrames.size(); i += 2)
    tmp_f = std::max(tmp_f, std::fabs(fp_vFrames[i]));
  return tmp_f;
}

int Crossings(const std::vector<float>& fp_vFrames, int fp_iChannel) {
  int tmp_iCount = 0;
  for (std::size_t i = 2 + fp_iChannel; i < fp_vFrames.size(); i += 2)
    if ((fp_vFrames[i] >= 0.0f) != (fp_vFrames[i - 2] >= 0.0f)) ++tmp_iCount;
  return tmp_iCount;
}

long LastLoud(const std::vector<float>& fp_vFrames, float fp_fThreshold) {
  for (std::size_t i = fp_vFrames.size() / 2; i-- > 0;)
    if (std::fabs(fp_vFrames[2 * i]) > fp_fThreshold ||
        std::fabs(fp_vFrames[2 * i + 1]) > fp_fThreshold)
      return static_cast<long>(i);
  return -1;
}

}  // namespace audiotest
