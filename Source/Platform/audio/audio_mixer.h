// The mixer: the tables of samples, sample playbacks, streams and modules
// behind the library's handles, and the fill function that mixes every
// playing channel into N stereo frames. The caller's thread and the output's
// thread meet only under the mixer's lock; filling never allocates.
#pragma once

#include <atomic>
#include <cstdint>
#include <memory>
#include <mutex>
#include <vector>

#include "Platform/audio/audio_source.h"
#include "Platform/audio/audio_voice.h"
#include "Platform/audio/decode_openmpt.h"

namespace audio {

class CMixer {
 public:
  static constexpr std::uint32_t kChunkFrames = 256;

  explicit CMixer(std::uint32_t fp_uRate);
  ~CMixer();
  CMixer(const CMixer&) = delete;
  CMixer& operator=(const CMixer&) = delete;

  std::uint32_t Rate() const { return m_uRate; }

  // {==== Output thread ======================================================
  void Fill(float* fp_pOut, std::uint32_t fp_uFrames);
  void FillS16(std::int16_t* fp_pOut, std::uint32_t fp_uFrames);
  static void FillCallback(void* fp_pMixer, float* fp_pOut, std::uint32_t fp_uFrames) {
    static_cast<CMixer*>(fp_pMixer)->Fill(fp_pOut, fp_uFrames);
  }
  float Cpu() const { return m_fCpu.load(std::memory_order_relaxed); }
  // }====

  // {==== Caller's thread: each returns BASS_OK or an error code ============
  int AddSample(std::unique_ptr<CSampleData> fp_pData, std::uint32_t* fp_pHandle);
  int PlaySample(std::uint32_t fp_hSample, std::uint32_t fp_uStart, int fp_iFreq, int fp_iVolume,
                 int fp_iPan, bool fp_bLoop, std::uint32_t* fp_pChannel);
  int StopSample(std::uint32_t fp_hSample);  // only a sample handle
  int FreeSample(std::uint32_t fp_hSample);

  int AddStream(std::unique_ptr<ISource> fp_pSource, std::uint32_t fp_uRate,
                std::uint32_t* fp_pHandle);
  int PlayStream(std::uint32_t fp_hStream, bool fp_bFlush, bool fp_bLoop);
  int AddMusic(std::unique_ptr<IModuleSource> fp_pSource, std::uint32_t* fp_pHandle);
  // fp_iLoop: 1 loop, 0 no loop, -1 as before.
  int PlayMusic(std::uint32_t fp_hMusic, std::uint32_t fp_uPos, int fp_iLoop, bool fp_bReset);
  // Frees a stream or a module (fp_bMusic).
  int FreeChannel(std::uint32_t fp_hHandle, bool fp_bMusic);

  int Stop(std::uint32_t fp_hHandle);
  int Pause(std::uint32_t fp_hHandle);
  int Resume(std::uint32_t fp_hHandle);
  int SetAttributes(std::uint32_t fp_hHandle, int fp_iFreq, int fp_iVolume, int fp_iPan);
  int GetAttributes(std::uint32_t fp_hHandle, std::uint32_t* fp_pFreq, std::uint32_t* fp_pVolume,
                    int* fp_pPan);
  int Slide(std::uint32_t fp_hHandle, int fp_iFreq, int fp_iVolume, int fp_iPan,
            std::uint32_t fp_uTimeMs);
  int IsActive(std::uint32_t fp_hHandle, std::uint32_t* fp_pState);
  int GetLevel(std::uint32_t fp_hHandle, std::uint32_t* fp_pLevel);

  void StopAll();
  void SetGlobalVolumes(int fp_iMusic, int fp_iSample, int fp_iStream);
  void GetGlobalVolumes(int* fp_pMusic, int* fp_pSample, int* fp_pStream);
  // }====

 private:
  struct SSampleSlot {
    std::unique_ptr<CSampleData> data;
    std::uint16_t gen = 0;
  };
  // A sample playback; the slots are kept for reuse, so playing a sound in
  // steady state allocates nothing.
  struct SPlaybackSlot {
    std::unique_ptr<CVoice> voice;
    CSampleSource source;
    std::uint16_t gen = 0;
    bool used = false;
  };
  // A stream or a module: one channel that lives as long as its handle.
  struct SChannelSlot {
    std::unique_ptr<ISource> source;
    IModuleSource* module = nullptr;
    std::unique_ptr<CVoice> voice;
    std::uint32_t ownRate = 0;
    std::uint16_t gen = 0;
  };

  template <class F>
  int ForEachVoice(std::uint32_t fp_hHandle, F&& fp_fn);
  SSampleSlot* FindSample(std::uint32_t fp_hSample);
  SChannelSlot* FindChannel(std::uint32_t fp_hHandle);
  CVoice* FindPlayback(std::uint32_t fp_hChannel);
  int AcquirePlayback();
  void Activate(CVoice* fp_pVoice);
  // Takes stopped voices out of the active list (and frees playbacks).
  void Settle();
  void RemoveActive(std::size_t fp_uIndex);
  void StopSampleVoices(int fp_iSample);
  float GlobalGain(EVoiceKind fp_eKind) const;

  const std::uint32_t m_uRate;
  std::mutex m_mtx;
  std::vector<SSampleSlot> m_vSamples;
  std::vector<std::unique_ptr<SPlaybackSlot>> m_vPlaybacks;
  std::vector<std::uint32_t> m_vFreePlaybacks;
  std::vector<SChannelSlot> m_vStreams;
  std::vector<SChannelSlot> m_vMusics;
  std::vector<CVoice*> m_vActive;  // playing or paused voices
  int m_iVolMusic = 100, m_iVolSample = 100, m_iVolStream = 100;

  float m_aScratch[kChunkFrames * 2] = {};
  float m_aS16Mix[kChunkFrames * 2] = {};
  std::uint64_t m_uCpuNanos = 0;
  std::uint64_t m_uCpuFrames = 0;
  std::atomic<float> m_fCpu{0.0f};
};

}  // namespace audio
