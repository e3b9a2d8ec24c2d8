// A mixer channel: attribute values and slides, the linear resampler that
// reads the source at the channel's frequency, and mixing with volume, pan
// and peak levels.
#include "Platform/audio/audio_voice.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#include "Platform/audio/audio.h"

namespace audio {

namespace {

float PanGainLeft(float fp_fPan) {
  return fp_fPan > 0.0f ? 1.0f - fp_fPan / 100.0f : 1.0f;
}
float PanGainRight(float fp_fPan) {
  return fp_fPan < 0.0f ? 1.0f + fp_fPan / 100.0f : 1.0f;
}

void StartSlide(CSlide& fp_oSlide, float fp_fFrom, float fp_fTo, std::uint32_t fp_uFrames) {
  fp_oSlide.active = true;
  fp_oSlide.from = fp_fFrom;
  fp_oSlide.to = fp_fTo;
  fp_oSlide.total = fp_uFrames;
  fp_oSlide.done = 0;
}

// Moves a slide on by fp_uFrames and writes its value to fp_fValue.
void AdvanceSlide(CSlide& fp_oSlide, std::uint32_t fp_uFrames, float& fp_fValue) {
  if (!fp_oSlide.active) return;
  fp_oSlide.done += fp_uFrames;
  if (fp_oSlide.done >= fp_oSlide.total) {
    fp_oSlide.active = false;
    fp_fValue = fp_oSlide.to;
  } else {
    fp_fValue = fp_oSlide.Value();
  }
}

void FinishSlide(CSlide& fp_oSlide, float& fp_fValue) {
  if (!fp_oSlide.active) return;
  fp_oSlide.active = false;
  fp_fValue = fp_oSlide.to;
}

std::uint32_t ToLevel(float fp_fPeak) {
  return static_cast<std::uint32_t>(std::lround(std::min(fp_fPeak, 1.0f) * BASS_LEVEL_MAX));
}

}  // namespace

// {==== Attributes ===========================================================

void CVoice::Reset(ISource* fp_pSource, std::uint32_t fp_uOwnRate, float fp_fFreq, float fp_fVolume,
                   float fp_fPan, bool fp_bLoop) {
  m_pSource = fp_pSource;
  m_uOwnRate = fp_uOwnRate;
  m_fFreq = fp_fFreq;
  m_fVolume = fp_fVolume;
  m_fPan = fp_fPan;
  m_bLoop = fp_bLoop;
  m_oFreqSlide.active = m_oVolumeSlide.active = m_oPanSlide.active = false;
  m_bFadeStop = false;
  m_uLevelL = m_uLevelR = 0;
  Flush();
}

void CVoice::Flush() {
  m_uCount = 0;
  m_uIndex = 0;
  m_dFrac = 0.0;
  m_bSourceEof = false;
  m_bEnded = false;
  m_uPlayed = 0;
}

void CVoice::SetAttributes(int fp_iFreq, int fp_iVolume, int fp_iPan) {
  if (fp_iFreq != BASS_ATTRIB_KEEP) {
    m_fFreq = fp_iFreq == BASS_FREQ_ORIGINAL
                  ? static_cast<float>(m_uOwnRate)
                  : static_cast<float>(std::clamp(fp_iFreq, BASS_FREQ_MIN, BASS_FREQ_MAX));
    m_oFreqSlide.active = false;
  }
  if (fp_iVolume != BASS_ATTRIB_KEEP) {
    m_fVolume = static_cast<float>(std::clamp(fp_iVolume, 0, 100));
    m_oVolumeSlide.active = false;
    m_bFadeStop = false;
  }
  if (fp_iPan != BASS_ATTRIB_KEEP_PAN) {
    m_fPan = static_cast<float>(std::clamp(fp_iPan, -100, 100));
    m_oPanSlide.active = false;
  }
}

void CVoice::Slide(int fp_iFreq, int fp_iVolume, int fp_iPan, std::uint32_t fp_uTimeMs) {
  const std::uint64_t tmp_uFrames = static_cast<std::uint64_t>(fp_uTimeMs) * m_uOutRate / 1000;
  if (m_eState == EVoiceState::Stopped) {
    // Nothing renders, so no time would pass: take the targets now. There is
    // nothing to fade out.
    SetAttributes(fp_iFreq, fp_iVolume == BASS_VOLUME_FADESTOP ? BASS_ATTRIB_KEEP : fp_iVolume,
                  fp_iPan);
    return;
  }
  if (tmp_uFrames == 0) {
    SetAttributes(fp_iFreq, fp_iVolume == BASS_VOLUME_FADESTOP ? BASS_ATTRIB_KEEP : fp_iVolume,
                  fp_iPan);
    if (fp_iVolume == BASS_VOLUME_FADESTOP) Stop();
    return;
  }
  const auto tmp_uSlide =
      static_cast<std::uint32_t>(std::min<std::uint64_t>(tmp_uFrames, 0xFFFFFFFFu));
  if (fp_iFreq != BASS_ATTRIB_KEEP) {
    const float tmp_fTo =
        fp_iFreq == BASS_FREQ_ORIGINAL
            ? static_cast<float>(m_uOwnRate)
            : static_cast<float>(std::clamp(fp_iFreq, BASS_FREQ_MIN, BASS_FREQ_MAX));
    StartSlide(m_oFreqSlide, m_fFreq, tmp_fTo, tmp_uSlide);
  }
  if (fp_iVolume == BASS_VOLUME_FADESTOP) {
    // A second fade-out restarts from where the first one is; the volume to
    // come back to stays the one from before the first.
    if (!m_bFadeStop) m_fVolumeBeforeFade = m_fVolume;
    m_bFadeStop = true;
    StartSlide(m_oVolumeSlide, m_fVolume, 0.0f, tmp_uSlide);
  } else if (fp_iVolume != BASS_ATTRIB_KEEP) {
    if (m_bFadeStop) CancelFadeStop();
    StartSlide(m_oVolumeSlide, m_fVolume, static_cast<float>(std::clamp(fp_iVolume, 0, 100)),
               tmp_uSlide);
  }
  if (fp_iPan != BASS_ATTRIB_KEEP_PAN)
    StartSlide(m_oPanSlide, m_fPan, static_cast<float>(std::clamp(fp_iPan, -100, 100)), tmp_uSlide);
}

void CVoice::CancelFadeStop() {
  if (!m_bFadeStop) return;
  m_bFadeStop = false;
  m_oVolumeSlide.active = false;
  m_fVolume = m_fVolumeBeforeFade;
}

void CVoice::GetAttributes(std::uint32_t* fp_pFreq, std::uint32_t* fp_pVolume, int* fp_pPan) const {
  if (fp_pFreq != nullptr) *fp_pFreq = static_cast<std::uint32_t>(std::lround(m_fFreq));
  if (fp_pVolume != nullptr) *fp_pVolume = static_cast<std::uint32_t>(std::lround(m_fVolume));
  if (fp_pPan != nullptr) *fp_pPan = static_cast<int>(std::lround(m_fPan));
}

void CVoice::Stop() {
  m_eState = EVoiceState::Stopped;
  // A channel at rest has its slides' targets; a fade-out was a way of
  // stopping and leaves the volume as it was before.
  FinishSlide(m_oFreqSlide, m_fFreq);
  FinishSlide(m_oPanSlide, m_fPan);
  if (m_bFadeStop)
    CancelFadeStop();
  else
    FinishSlide(m_oVolumeSlide, m_fVolume);
  m_uLevelL = m_uLevelR = 0;
}

// }====

// {==== Resampling and mixing ================================================

std::uint32_t CVoice::ReadSource(float* fp_pOut, std::uint32_t fp_uFrames) {
  std::uint32_t tmp_uGot = m_pSource->Read(fp_pOut, fp_uFrames);
  if (tmp_uGot == 0 && m_bLoop && m_pSource->Rewind())
    tmp_uGot = m_pSource->Read(fp_pOut, fp_uFrames);
  // Float sound files can hold NaN or infinities; one of them would silence
  // or wreck the whole mix, so they become silence here.
  for (std::uint32_t i = 0; i < 2 * tmp_uGot; ++i)
    if (!std::isfinite(fp_pOut[i])) fp_pOut[i] = 0.0f;
  return tmp_uGot;
}

// Makes frames m_uIndex and m_uIndex + 1 available; false at the end.
bool CVoice::Refill() {
  std::uint32_t tmp_uKeep = 0;
  std::uint32_t tmp_uSkip = 0;
  if (m_uIndex < m_uCount) {
    tmp_uKeep = m_uCount - m_uIndex;
    std::memmove(m_aSource, m_aSource + 2 * m_uIndex, sizeof(float) * 2 * tmp_uKeep);
  } else {
    tmp_uSkip = m_uIndex - m_uCount;  // a step larger than one frame went past the buffer
  }
  m_uCount = tmp_uKeep;
  m_uIndex = 0;
  if (m_bSourceEof) return false;
  while (tmp_uSkip > 0) {
    const std::uint32_t tmp_uGot = ReadSource(m_aSource, std::min(tmp_uSkip, kSourceFrames));
    if (tmp_uGot == 0) {
      m_bSourceEof = true;
      return false;
    }
    tmp_uSkip -= tmp_uGot;
  }
  const std::uint32_t tmp_uGot = ReadSource(m_aSource + 2 * tmp_uKeep, kSourceFrames - tmp_uKeep);
  if (tmp_uGot == 0) {
    m_bSourceEof = true;
    if (tmp_uKeep == 0) return false;
    // One silent frame after the last, so the last frame is played too.
    m_aSource[2 * tmp_uKeep] = m_aSource[2 * tmp_uKeep + 1] = 0.0f;
    m_uCount = tmp_uKeep + 1;
    return true;
  }
  m_uCount = tmp_uKeep + tmp_uGot;
  return true;
}

std::uint32_t CVoice::Pull(float* fp_pOut, std::uint32_t fp_uFrames, double fp_dStep) {
  std::uint32_t tmp_uDone = 0;
  while (tmp_uDone < fp_uFrames) {
    if (m_uIndex + 1 >= m_uCount) {
      if (!Refill()) break;
      continue;
    }
    while (tmp_uDone < fp_uFrames && m_uIndex + 1 < m_uCount) {
      const float* tmp_pA = m_aSource + 2 * m_uIndex;
      const auto tmp_fFrac = static_cast<float>(m_dFrac);
      fp_pOut[2 * tmp_uDone] = tmp_pA[0] + (tmp_pA[2] - tmp_pA[0]) * tmp_fFrac;
      fp_pOut[2 * tmp_uDone + 1] = tmp_pA[1] + (tmp_pA[3] - tmp_pA[1]) * tmp_fFrac;
      ++tmp_uDone;
      m_dFrac += fp_dStep;
      const auto tmp_uAdvance = static_cast<std::uint32_t>(m_dFrac);
      m_dFrac -= tmp_uAdvance;
      m_uIndex += tmp_uAdvance;
    }
  }
  return tmp_uDone;
}

bool CVoice::Mix(float* fp_pMix, std::uint32_t fp_uFrames, float fp_fGlobal, float* fp_pScratch) {
  std::uint32_t tmp_uDone = 0;
  while (tmp_uDone < fp_uFrames) {
    // Pieces end where a slide ends, so a fade-out stops on its frame.
    std::uint32_t tmp_uN = fp_uFrames - tmp_uDone;
    for (const CSlide* tmp_pSlide : {&m_oFreqSlide, &m_oVolumeSlide, &m_oPanSlide})
      if (tmp_pSlide->active) tmp_uN = std::min(tmp_uN, tmp_pSlide->total - tmp_pSlide->done);

    const float tmp_fVol0 = m_fVolume, tmp_fPan0 = m_fPan;
    const double tmp_dStep = static_cast<double>(m_fFreq) / m_uOutRate;
    AdvanceSlide(m_oFreqSlide, tmp_uN, m_fFreq);
    AdvanceSlide(m_oVolumeSlide, tmp_uN, m_fVolume);
    AdvanceSlide(m_oPanSlide, tmp_uN, m_fPan);

    const std::uint32_t tmp_uGot = Pull(fp_pScratch, tmp_uN, tmp_dStep);
    const float tmp_fGain0 = tmp_fVol0 / 100.0f * fp_fGlobal;
    const float tmp_fGain1 = m_fVolume / 100.0f * fp_fGlobal;
    const float tmp_fL0 = tmp_fGain0 * PanGainLeft(tmp_fPan0),
                tmp_fR0 = tmp_fGain0 * PanGainRight(tmp_fPan0);
    const float tmp_fL1 = tmp_fGain1 * PanGainLeft(m_fPan),
                tmp_fR1 = tmp_fGain1 * PanGainRight(m_fPan);
    const float tmp_fStepT = 1.0f / static_cast<float>(tmp_uN);
    float* tmp_pOut = fp_pMix + 2 * static_cast<std::size_t>(tmp_uDone);
    for (std::uint32_t i = 0; i < tmp_uGot; ++i) {
      const float tmp_fT = static_cast<float>(i + 1) * tmp_fStepT;
      const float tmp_fL = fp_pScratch[2 * i] * (tmp_fL0 + (tmp_fL1 - tmp_fL0) * tmp_fT);
      const float tmp_fR = fp_pScratch[2 * i + 1] * (tmp_fR0 + (tmp_fR1 - tmp_fR0) * tmp_fT);
      tmp_pOut[2 * i] += tmp_fL;
      tmp_pOut[2 * i + 1] += tmp_fR;
      m_fPeakL = std::max(m_fPeakL, std::fabs(tmp_fL));
      m_fPeakR = std::max(m_fPeakR, std::fabs(tmp_fR));
    }
    m_uPlayed += tmp_uGot;
    if (tmp_uGot < tmp_uN) {
      m_bEnded = true;
      Stop();
      return false;
    }
    if (m_bFadeStop && !m_oVolumeSlide.active) {
      Stop();
      return false;
    }
    tmp_uDone += tmp_uN;
  }
  return true;
}

void CVoice::EndBlock() {
  if (m_eState == EVoiceState::Playing) {
    m_uLevelL = ToLevel(m_fPeakL);
    m_uLevelR = ToLevel(m_fPeakR);
  } else {
    m_uLevelL = m_uLevelR = 0;
  }
}

// }====

}  // namespace audio
