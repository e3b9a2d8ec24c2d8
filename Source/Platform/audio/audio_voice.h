// One mixer channel: a source of frames, its attributes (frequency, volume,
// pan) with their slides, its state, a linear resampler from the source's
// rate to the output's, and the peak levels of the last block mixed.
#pragma once

#include <cstdint>

#include "Platform/audio/audio_source.h"

namespace audio {

enum class EVoiceKind : std::uint8_t { Sample, Stream, Music };
enum class EVoiceState : std::uint8_t { Stopped, Playing, Paused };

// A value moving linearly to a target over a number of rendered frames.
struct CSlide {
  bool active = false;
  float from = 0.0f;
  float to = 0.0f;
  std::uint32_t total = 0;
  std::uint32_t done = 0;
  float Value() const {
    return from + (to - from) * static_cast<float>(static_cast<double>(done) / total);
  }
};

class CVoice {
 public:
  static constexpr std::uint32_t kSourceFrames = 512;

  CVoice(EVoiceKind fp_eKind, std::uint32_t fp_uOutRate)
      : m_eKind(fp_eKind), m_uOutRate(fp_uOutRate) {}

  // Starts over on a source at its own rate, with the given attributes.
  void Reset(ISource* fp_pSource, std::uint32_t fp_uOwnRate, float fp_fFreq, float fp_fVolume,
             float fp_fPan, bool fp_bLoop);
  // Forgets the frames read ahead (after the source was moved).
  void Flush();

  EVoiceKind Kind() const { return m_eKind; }
  EVoiceState State() const { return m_eState; }
  void SetState(EVoiceState fp_eState) { m_eState = fp_eState; }
  bool Ended() const { return m_bEnded; }
  bool Loop() const { return m_bLoop; }
  void SetLoop(bool fp_bLoop) { m_bLoop = fp_bLoop; }
  std::uint64_t PlayedFrames() const { return m_uPlayed; }

  // Attributes in the library's values (see audio.h): -1 / -101 keep a value,
  // frequency 0 is the own rate, other values are clamped to their range.
  void SetAttributes(int fp_iFreq, int fp_iVolume, int fp_iPan);
  void Slide(int fp_iFreq, int fp_iVolume, int fp_iPan, std::uint32_t fp_uTimeMs);
  // Ends a fade-out in progress, back at the volume from before it.
  void CancelFadeStop();
  void GetAttributes(std::uint32_t* fp_pFreq, std::uint32_t* fp_pVolume, int* fp_pPan) const;
  // Stopped, with its slides at their targets (a fade-out undone).
  void Stop();

  // Adds fp_uFrames output frames of this voice to fp_pMix, scaled by the
  // global volume fp_fGlobal; fp_pScratch holds 2 * fp_uFrames floats. False
  // when the voice stopped (its source ended or a fade-out finished).
  bool Mix(float* fp_pMix, std::uint32_t fp_uFrames, float fp_fGlobal, float* fp_pScratch);

  void BeginBlock() { m_fPeakL = m_fPeakR = 0.0f; }
  void EndBlock();
  // Left level in the low 16 bits, right in the high 16 bits.
  std::uint32_t Level() const { return m_uLevelL | (m_uLevelR << 16); }

  // Bookkeeping of the mixer.
  std::uint32_t handle = 0;
  int sampleIndex = -1;  // the sample a playback belongs to
  bool inActiveList = false;

 private:
  std::uint32_t Pull(float* fp_pOut, std::uint32_t fp_uFrames, double fp_dStep);
  bool Refill();
  std::uint32_t ReadSource(float* fp_pOut, std::uint32_t fp_uFrames);

  EVoiceKind m_eKind;
  std::uint32_t m_uOutRate;
  EVoiceState m_eState = EVoiceState::Stopped;
  ISource* m_pSource = nullptr;
  std::uint32_t m_uOwnRate = 44100;
  bool m_bLoop = false;
  bool m_bEnded = false;  // the source delivered its last frame
  std::uint64_t m_uPlayed = 0;

  float m_fFreq = 44100.0f;
  float m_fVolume = 100.0f;
  float m_fPan = 0.0f;
  CSlide m_oFreqSlide, m_oVolumeSlide, m_oPanSlide;
  bool m_bFadeStop = false;
  float m_fVolumeBeforeFade = 100.0f;

  // Frames read ahead from the source; m_uIndex is the frame at the current
  // position, m_dFrac the position between it and the next one.
  float m_aSource[kSourceFrames * 2] = {};
  std::uint32_t m_uCount = 0;
  std::uint32_t m_uIndex = 0;
  double m_dFrac = 0.0;
  bool m_bSourceEof = false;

  float m_fPeakL = 0.0f, m_fPeakR = 0.0f;
  std::uint32_t m_uLevelL = 0, m_uLevelR = 0;
};

}  // namespace audio
