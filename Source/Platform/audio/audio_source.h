// Where a channel's frames come from: a decoded sample in memory, a stream
// decoded from its file region as it plays, or a module being rendered. All
// deliver interleaved stereo float frames at the source's own rate.
#pragma once

#include <cstdint>
#include <vector>

namespace audio {

class ISource {
 public:
  virtual ~ISource() = default;
  // Writes up to fp_uFrames stereo frames; returns how many, 0 at the end.
  // Runs on the mixing thread: no allocation, no waiting.
  virtual std::uint32_t Read(float* fp_pOut, std::uint32_t fp_uFrames) = 0;
  // Back to the first frame; false when the source cannot seek.
  virtual bool Rewind() = 0;
};

// A sample decoded once, at load, into stereo frames.
struct CSampleData {
  std::vector<float> frames;  // interleaved left, right
  std::uint32_t frameCount = 0;
  std::uint32_t rate = 0;  // its own rate in Hz
  std::uint32_t maxPlaybacks = 1;
  bool override = false;
};

// One playback's reading position in a sample.
class CSampleSource final : public ISource {
 public:
  void Attach(const CSampleData* fp_pData, std::uint32_t fp_uStart) {
    m_pData = fp_pData;
    m_uPos = fp_uStart;
  }
  std::uint32_t Read(float* fp_pOut, std::uint32_t fp_uFrames) override;
  bool Rewind() override {
    m_uPos = 0;
    return true;
  }

 private:
  const CSampleData* m_pData = nullptr;
  std::uint32_t m_uPos = 0;
};

}  // namespace audio
