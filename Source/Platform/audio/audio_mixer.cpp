// The mixer's handle tables, the operations on channels, and the fill
// function the outputs call. A handle holds its kind in the top 4 bits, a
// 12-bit generation (so a freed handle stays dead when its slot is reused)
// and the slot index in the low 16 bits; no live handle is 0.
#include "Platform/audio/audio_mixer.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstring>
#include <new>

#include "Platform/audio/audio.h"

namespace audio {

namespace {

constexpr std::uint32_t kKindSample = 1;
constexpr std::uint32_t kKindPlayback = 2;
constexpr std::uint32_t kKindStream = 3;
constexpr std::uint32_t kKindMusic = 4;
constexpr std::size_t kMaxSlots = 0x10000;

std::uint32_t MakeHandle(std::uint32_t fp_uKind, std::size_t fp_uIndex, std::uint16_t fp_uGen) {
  return fp_uKind << 28 | (fp_uGen & 0xFFFu) << 16 | static_cast<std::uint32_t>(fp_uIndex);
}
std::uint32_t HandleKind(std::uint32_t fp_h) {
  return fp_h >> 28;
}
std::uint32_t HandleIndex(std::uint32_t fp_h) {
  return fp_h & 0xFFFFu;
}
std::uint32_t HandleGen(std::uint32_t fp_h) {
  return (fp_h >> 16) & 0xFFFu;
}
bool GenMatches(std::uint32_t fp_h, std::uint16_t fp_uGen) {
  return HandleGen(fp_h) == (fp_uGen & 0xFFFu);
}

std::uint32_t StateValue(EVoiceState fp_eState) {
  switch (fp_eState) {
    case EVoiceState::Playing: return BASS_ACTIVE_PLAYING;
    case EVoiceState::Paused: return BASS_ACTIVE_PAUSED;
    case EVoiceState::Stopped: break;
  }
  return BASS_ACTIVE_STOPPED;
}

int KeepOrClamp(int fp_iValue, int fp_iOld) {
  return fp_iValue == -1 ? fp_iOld : std::clamp(fp_iValue, 0, 100);
}

}  // namespace

CMixer::CMixer(std::uint32_t fp_uRate) : m_uRate(fp_uRate) {
  m_vActive.reserve(256);
  m_vPlaybacks.reserve(64);
  m_vFreePlaybacks.reserve(64);
}

CMixer::~CMixer() = default;

// {==== Lookup ===============================================================

CMixer::SSampleSlot* CMixer::FindSample(std::uint32_t fp_hSample) {
  if (HandleKind(fp_hSample) != kKindSample) return nullptr;
  const std::uint32_t tmp_uIndex = HandleIndex(fp_hSample);
  if (tmp_uIndex >= m_vSamples.size()) return nullptr;
  SSampleSlot& tmp_oSlot = m_vSamples[tmp_uIndex];
  if (!tmp_oSlot.data || !GenMatches(fp_hSample, tmp_oSlot.gen)) return nullptr;
  return &tmp_oSlot;
}

CMixer::SChannelSlot* CMixer::FindChannel(std::uint32_t fp_hHandle) {
  std::vector<SChannelSlot>* tmp_pTable = nullptr;
  if (HandleKind(fp_hHandle) == kKindStream) tmp_pTable = &m_vStreams;
  if (HandleKind(fp_hHandle) == kKindMusic) tmp_pTable = &m_vMusics;
  if (tmp_pTable == nullptr) return nullptr;
  const std::uint32_t tmp_uIndex = HandleIndex(fp_hHandle);
  if (tmp_uIndex >= tmp_pTable->size()) return nullptr;
  SChannelSlot& tmp_oSlot = (*tmp_pTable)[tmp_uIndex];
  if (!tmp_oSlot.voice || !GenMatches(fp_hHandle, tmp_oSlot.gen)) return nullptr;
  return &tmp_oSlot;
}

CVoice* CMixer::FindPlayback(std::uint32_t fp_hChannel) {
  if (HandleKind(fp_hChannel) != kKindPlayback) return nullptr;
  const std::uint32_t tmp_uIndex = HandleIndex(fp_hChannel);
  if (tmp_uIndex >= m_vPlaybacks.size()) return nullptr;
  SPlaybackSlot& tmp_oSlot = *m_vPlaybacks[tmp_uIndex];
  if (!tmp_oSlot.used || !GenMatches(fp_hChannel, tmp_oSlot.gen)) return nullptr;
  return tmp_oSlot.voice.get();
}

// Runs fp_fn on each voice the handle stands for: one channel, or every
// running playback of a sample. The active list must not change inside.
template <class F>
int CMixer::ForEachVoice(std::uint32_t fp_hHandle, F&& fp_fn) {
  if (HandleKind(fp_hHandle) == kKindSample) {
    if (FindSample(fp_hHandle) == nullptr) return BASS_ERROR_HANDLE;
    const int tmp_iSample = static_cast<int>(HandleIndex(fp_hHandle));
    for (CVoice* tmp_pVoice : m_vActive)
      if (tmp_pVoice->Kind() == EVoiceKind::Sample && tmp_pVoice->sampleIndex == tmp_iSample)
        fp_fn(*tmp_pVoice);
    return BASS_OK;
  }
  if (CVoice* tmp_pVoice = FindPlayback(fp_hHandle)) {
    fp_fn(*tmp_pVoice);
    return BASS_OK;
  }
  if (SChannelSlot* tmp_pSlot = FindChannel(fp_hHandle)) {
    fp_fn(*tmp_pSlot->voice);
    return BASS_OK;
  }
  return BASS_ERROR_HANDLE;
}

// }====

// {==== Active list ==========================================================

void CMixer::Activate(CVoice* fp_pVoice) {
  if (fp_pVoice->inActiveList) return;
  m_vActive.push_back(fp_pVoice);
  fp_pVoice->inActiveList = true;
}

void CMixer::RemoveActive(std::size_t fp_uIndex) {
  CVoice* tmp_pVoice = m_vActive[fp_uIndex];
  m_vActive[fp_uIndex] = m_vActive.back();
  m_vActive.pop_back();
  tmp_pVoice->inActiveList = false;
  if (tmp_pVoice->Kind() == EVoiceKind::Sample) {
    // The playback is over: its handle dies and its slot waits for reuse
    // (the free list has room for every slot, so this never allocates).
    const std::uint32_t tmp_uIndex = HandleIndex(tmp_pVoice->handle);
    SPlaybackSlot& tmp_oSlot = *m_vPlaybacks[tmp_uIndex];
    tmp_oSlot.used = false;
    ++tmp_oSlot.gen;
    tmp_oSlot.source.Attach(nullptr, 0);
    tmp_pVoice->sampleIndex = -1;
    m_vFreePlaybacks.push_back(tmp_uIndex);
  }
}

void CMixer::Settle() {
  for (std::size_t i = 0; i < m_vActive.size();) {
    if (m_vActive[i]->State() == EVoiceState::Stopped)
      RemoveActive(i);
    else
      ++i;
  }
}

void CMixer::StopSampleVoices(int fp_iSample) {
  for (CVoice* tmp_pVoice : m_vActive)
    if (tmp_pVoice->Kind() == EVoiceKind::Sample && tmp_pVoice->sampleIndex == fp_iSample)
      tmp_pVoice->Stop();
  Settle();
}

int CMixer::AcquirePlayback() {
  if (!m_vFreePlaybacks.empty()) {
    const std::uint32_t tmp_uIndex = m_vFreePlaybacks.back();
    m_vFreePlaybacks.pop_back();
    return static_cast<int>(tmp_uIndex);
  }
  if (m_vPlaybacks.size() >= kMaxSlots) return -1;
  auto tmp_pSlot = std::make_unique<SPlaybackSlot>();
  tmp_pSlot->voice = std::make_unique<CVoice>(EVoiceKind::Sample, m_uRate);
  m_vFreePlaybacks.reserve(m_vPlaybacks.size() + 1);
  m_vActive.reserve(m_vPlaybacks.size() + m_vStreams.size() + m_vMusics.size() + 1);
  m_vPlaybacks.push_back(std::move(tmp_pSlot));
  return static_cast<int>(m_vPlaybacks.size() - 1);
}

// }====

// {==== Samples ==============================================================

int CMixer::AddSample(std::unique_ptr<CSampleData> fp_pData, std::uint32_t* fp_pHandle) {
  std::lock_guard<std::mutex> tmp_oLock(m_mtx);
  std::size_t tmp_uIndex = 0;
  while (tmp_uIndex < m_vSamples.size() && m_vSamples[tmp_uIndex].data) ++tmp_uIndex;
  if (tmp_uIndex == m_vSamples.size()) {
    if (tmp_uIndex >= kMaxSlots) return BASS_ERROR_MEM;
    m_vSamples.emplace_back();
  }
  SSampleSlot& tmp_oSlot = m_vSamples[tmp_uIndex];
  tmp_oSlot.data = std::move(fp_pData);
  *fp_pHandle = MakeHandle(kKindSample, tmp_uIndex, tmp_oSlot.gen);
  return BASS_OK;
}

int CMixer::PlaySample(std::uint32_t fp_hSample, std::uint32_t fp_uStart, int fp_iFreq,
                       int fp_iVolume, int fp_iPan, bool fp_bLoop, std::uint32_t* fp_pChannel) {
  std::lock_guard<std::mutex> tmp_oLock(m_mtx);
  SSampleSlot* tmp_pSlot = FindSample(fp_hSample);
  if (tmp_pSlot == nullptr) return BASS_ERROR_HANDLE;
  const CSampleData& tmp_oData = *tmp_pSlot->data;
  if (fp_uStart >= tmp_oData.frameCount) return BASS_ERROR_POSITION;
  const int tmp_iSample = static_cast<int>(HandleIndex(fp_hSample));

  // At the maximum, the override cuts off the playback that has played
  // longest; without it the new playback is refused.
  std::uint32_t tmp_uRunning = 0;
  CVoice* tmp_pLongest = nullptr;
  for (CVoice* tmp_pVoice : m_vActive) {
    if (tmp_pVoice->Kind() != EVoiceKind::Sample || tmp_pVoice->sampleIndex != tmp_iSample)
      continue;
    ++tmp_uRunning;
    if (tmp_pLongest == nullptr || tmp_pVoice->PlayedFrames() > tmp_pLongest->PlayedFrames())
      tmp_pLongest = tmp_pVoice;
  }
  if (tmp_uRunning >= tmp_oData.maxPlaybacks) {
    if (!tmp_oData.override) return BASS_ERROR_NOCHAN;
    tmp_pLongest->Stop();
    Settle();
  }

  int tmp_iPlayback = -1;
  try {
    tmp_iPlayback = AcquirePlayback();
  } catch (const std::bad_alloc&) {
    return BASS_ERROR_MEM;
  }
  if (tmp_iPlayback < 0) return BASS_ERROR_NOCHAN;
  SPlaybackSlot& tmp_oPlayback = *m_vPlaybacks[static_cast<std::size_t>(tmp_iPlayback)];
  tmp_oPlayback.used = true;
  tmp_oPlayback.source.Attach(&tmp_oData, fp_uStart);
  CVoice& tmp_oVoice = *tmp_oPlayback.voice;
  tmp_oVoice.Reset(&tmp_oPlayback.source, tmp_oData.rate, static_cast<float>(tmp_oData.rate),
                   100.0f, 0.0f, fp_bLoop != 0);
  tmp_oVoice.SetAttributes(fp_iFreq, fp_iVolume, fp_iPan);
  tmp_oVoice.sampleIndex = tmp_iSample;
  tmp_oVoice.handle =
      MakeHandle(kKindPlayback, static_cast<std::size_t>(tmp_iPlayback), tmp_oPlayback.gen);
  tmp_oVoice.SetState(EVoiceState::Playing);
  Activate(&tmp_oVoice);
  *fp_pChannel = tmp_oVoice.handle;
  return BASS_OK;
}

int CMixer::StopSample(std::uint32_t fp_hSample) {
  std::lock_guard<std::mutex> tmp_oLock(m_mtx);
  if (FindSample(fp_hSample) == nullptr) return BASS_ERROR_HANDLE;
  StopSampleVoices(static_cast<int>(HandleIndex(fp_hSample)));
  return BASS_OK;
}

int CMixer::FreeSample(std::uint32_t fp_hSample) {
  std::lock_guard<std::mutex> tmp_oLock(m_mtx);
  SSampleSlot* tmp_pSlot = FindSample(fp_hSample);
  if (tmp_pSlot == nullptr) return BASS_ERROR_HANDLE;
  StopSampleVoices(static_cast<int>(HandleIndex(fp_hSample)));
  tmp_pSlot->data.reset();
  ++tmp_pSlot->gen;
  return BASS_OK;
}

// }====

// {==== Streams and modules ==================================================

namespace {

// Puts a new channel in the first free slot of a table; returns its index or
// -1 when the table is full.
template <class TSlot>
int PlaceChannel(std::vector<TSlot>& fp_vTable, TSlot&& fp_oNew) {
  std::size_t tmp_uIndex = 0;
  while (tmp_uIndex < fp_vTable.size() && fp_vTable[tmp_uIndex].voice) ++tmp_uIndex;
  if (tmp_uIndex == fp_vTable.size()) {
    if (tmp_uIndex >= kMaxSlots) return -1;
    fp_vTable.emplace_back();
  }
  const std::uint16_t tmp_uGen = fp_vTable[tmp_uIndex].gen;
  fp_vTable[tmp_uIndex] = std::move(fp_oNew);
  fp_vTable[tmp_uIndex].gen = tmp_uGen;
  return static_cast<int>(tmp_uIndex);
}

}  // namespace

int CMixer::AddStream(std::unique_ptr<ISource> fp_pSource, std::uint32_t fp_uRate,
                      std::uint32_t* fp_pHandle) {
  SChannelSlot tmp_oNew;
  tmp_oNew.voice = std::make_unique<CVoice>(EVoiceKind::Stream, m_uRate);
  tmp_oNew.voice->Reset(fp_pSource.get(), fp_uRate, static_cast<float>(fp_uRate), 100.0f, 0.0f,
                        false);
  tmp_oNew.source = std::move(fp_pSource);
  tmp_oNew.ownRate = fp_uRate;
  std::lock_guard<std::mutex> tmp_oLock(m_mtx);
  const int tmp_iIndex = PlaceChannel(m_vStreams, std::move(tmp_oNew));
  if (tmp_iIndex < 0) return BASS_ERROR_MEM;
  SChannelSlot& tmp_oSlot = m_vStreams[static_cast<std::size_t>(tmp_iIndex)];
  tmp_oSlot.voice->handle =
      MakeHandle(kKindStream, static_cast<std::size_t>(tmp_iIndex), tmp_oSlot.gen);
  *fp_pHandle = tmp_oSlot.voice->handle;
  return BASS_OK;
}

int CMixer::PlayStream(std::uint32_t fp_hStream, bool fp_bFlush, bool fp_bLoop) {
  std::lock_guard<std::mutex> tmp_oLock(m_mtx);
  SChannelSlot* tmp_pSlot =
      HandleKind(fp_hStream) == kKindStream ? FindChannel(fp_hStream) : nullptr;
  if (tmp_pSlot == nullptr) return BASS_ERROR_HANDLE;
  CVoice& tmp_oVoice = *tmp_pSlot->voice;
  // A stream that ran to its end starts over even without a flush.
  if (fp_bFlush || tmp_oVoice.Ended()) {
    if (!tmp_pSlot->source->Rewind()) return BASS_ERROR_POSITION;
    tmp_oVoice.Flush();
  }
  tmp_oVoice.CancelFadeStop();
  tmp_oVoice.SetLoop(fp_bLoop);
  tmp_oVoice.SetState(EVoiceState::Playing);
  Activate(&tmp_oVoice);
  return BASS_OK;
}

int CMixer::AddMusic(std::unique_ptr<IModuleSource> fp_pSource, std::uint32_t* fp_pHandle) {
  SChannelSlot tmp_oNew;
  tmp_oNew.voice = std::make_unique<CVoice>(EVoiceKind::Music, m_uRate);
  // A module is rendered at the output's rate: that is its own rate. It
  // repeats itself when looping, so the channel never loops the source.
  tmp_oNew.voice->Reset(fp_pSource.get(), m_uRate, static_cast<float>(m_uRate), 100.0f, 0.0f,
                        false);
  tmp_oNew.module = fp_pSource.get();
  tmp_oNew.source = std::move(fp_pSource);
  tmp_oNew.ownRate = m_uRate;
  std::lock_guard<std::mutex> tmp_oLock(m_mtx);
  const int tmp_iIndex = PlaceChannel(m_vMusics, std::move(tmp_oNew));
  if (tmp_iIndex < 0) return BASS_ERROR_MEM;
  SChannelSlot& tmp_oSlot = m_vMusics[static_cast<std::size_t>(tmp_iIndex)];
  tmp_oSlot.voice->handle =
      MakeHandle(kKindMusic, static_cast<std::size_t>(tmp_iIndex), tmp_oSlot.gen);
  *fp_pHandle = tmp_oSlot.voice->handle;
  return BASS_OK;
}

int CMixer::PlayMusic(std::uint32_t fp_hMusic, std::uint32_t fp_uPos, int fp_iLoop,
                      bool fp_bReset) {
  std::lock_guard<std::mutex> tmp_oLock(m_mtx);
  SChannelSlot* tmp_pSlot = HandleKind(fp_hMusic) == kKindMusic ? FindChannel(fp_hMusic) : nullptr;
  if (tmp_pSlot == nullptr) return BASS_ERROR_HANDLE;
  CVoice& tmp_oVoice = *tmp_pSlot->voice;
  if (fp_uPos != BASS_MUSIC_POS_CURRENT) {
    if (!tmp_pSlot->module->SetPosition(fp_uPos & 0xFFFFu, fp_uPos >> 16))
      return BASS_ERROR_POSITION;
    tmp_oVoice.Flush();
  } else if (tmp_oVoice.Ended()) {
    tmp_pSlot->module->SetPosition(0, 0);
    tmp_oVoice.Flush();
  }
  (void)fp_bReset;  // setting a position already resets the player's state
  if (fp_iLoop >= 0) tmp_pSlot->module->SetLoop(fp_iLoop != 0);
  tmp_oVoice.CancelFadeStop();
  tmp_oVoice.SetState(EVoiceState::Playing);
  Activate(&tmp_oVoice);
  return BASS_OK;
}

int CMixer::FreeChannel(std::uint32_t fp_hHandle, bool fp_bMusic) {
  std::unique_ptr<ISource> tmp_pSource;
  std::unique_ptr<CVoice> tmp_pVoice;
  {
    std::lock_guard<std::mutex> tmp_oLock(m_mtx);
    const std::uint32_t tmp_uKind = fp_bMusic ? kKindMusic : kKindStream;
    SChannelSlot* tmp_pSlot =
        HandleKind(fp_hHandle) == tmp_uKind ? FindChannel(fp_hHandle) : nullptr;
    if (tmp_pSlot == nullptr) return BASS_ERROR_HANDLE;
    tmp_pSlot->voice->Stop();
    Settle();
    // Destroyed outside the lock: closing a decoder can take a while.
    tmp_pSource = std::move(tmp_pSlot->source);
    tmp_pVoice = std::move(tmp_pSlot->voice);
    tmp_pSlot->module = nullptr;
    ++tmp_pSlot->gen;
  }
  return BASS_OK;
}

// }====

// {==== Channels =============================================================

int CMixer::Stop(std::uint32_t fp_hHandle) {
  std::lock_guard<std::mutex> tmp_oLock(m_mtx);
  const int tmp_iResult = ForEachVoice(fp_hHandle, [](CVoice& v) { v.Stop(); });
  Settle();
  return tmp_iResult;
}

int CMixer::Pause(std::uint32_t fp_hHandle) {
  std::lock_guard<std::mutex> tmp_oLock(m_mtx);
  return ForEachVoice(fp_hHandle, [](CVoice& v) {
    if (v.State() == EVoiceState::Playing) v.SetState(EVoiceState::Paused);
  });
}

int CMixer::Resume(std::uint32_t fp_hHandle) {
  std::lock_guard<std::mutex> tmp_oLock(m_mtx);
  return ForEachVoice(fp_hHandle, [](CVoice& v) {
    if (v.State() == EVoiceState::Paused) v.SetState(EVoiceState::Playing);
  });
}

int CMixer::SetAttributes(std::uint32_t fp_hHandle, int fp_iFreq, int fp_iVolume, int fp_iPan) {
  std::lock_guard<std::mutex> tmp_oLock(m_mtx);
  return ForEachVoice(fp_hHandle,
                      [&](CVoice& v) { v.SetAttributes(fp_iFreq, fp_iVolume, fp_iPan); });
}

int CMixer::GetAttributes(std::uint32_t fp_hHandle, std::uint32_t* fp_pFreq,
                          std::uint32_t* fp_pVolume, int* fp_pPan) {
  std::lock_guard<std::mutex> tmp_oLock(m_mtx);
  if (HandleKind(fp_hHandle) == kKindSample) {
    // A sample's own attributes are what a playback starts with by default.
    SSampleSlot* tmp_pSlot = FindSample(fp_hHandle);
    if (tmp_pSlot == nullptr) return BASS_ERROR_HANDLE;
    if (fp_pFreq != nullptr) *fp_pFreq = tmp_pSlot->data->rate;
    if (fp_pVolume != nullptr) *fp_pVolume = 100;
    if (fp_pPan != nullptr) *fp_pPan = 0;
    return BASS_OK;
  }
  return ForEachVoice(fp_hHandle,
                      [&](CVoice& v) { v.GetAttributes(fp_pFreq, fp_pVolume, fp_pPan); });
}

int CMixer::Slide(std::uint32_t fp_hHandle, int fp_iFreq, int fp_iVolume, int fp_iPan,
                  std::uint32_t fp_uTimeMs) {
  std::lock_guard<std::mutex> tmp_oLock(m_mtx);
  const int tmp_iResult = ForEachVoice(
      fp_hHandle, [&](CVoice& v) { v.Slide(fp_iFreq, fp_iVolume, fp_iPan, fp_uTimeMs); });
  Settle();  // a fade-out over 0 ms stops at once
  return tmp_iResult;
}

int CMixer::IsActive(std::uint32_t fp_hHandle, std::uint32_t* fp_pState) {
  std::lock_guard<std::mutex> tmp_oLock(m_mtx);
  // For a sample: playing when one playback plays, paused when all are.
  std::uint32_t tmp_uState = BASS_ACTIVE_STOPPED;
  const int tmp_iResult = ForEachVoice(fp_hHandle, [&](CVoice& v) {
    const std::uint32_t tmp_uThis = StateValue(v.State());
    if (tmp_uThis == BASS_ACTIVE_PLAYING || tmp_uState == BASS_ACTIVE_STOPPED)
      tmp_uState = tmp_uThis;
  });
  *fp_pState = tmp_uState;
  return tmp_iResult;
}

int CMixer::GetLevel(std::uint32_t fp_hHandle, std::uint32_t* fp_pLevel) {
  std::lock_guard<std::mutex> tmp_oLock(m_mtx);
  bool tmp_bPlaying = false;
  std::uint32_t tmp_uLeft = 0, tmp_uRight = 0;
  const int tmp_iResult = ForEachVoice(fp_hHandle, [&](CVoice& v) {
    if (v.State() != EVoiceState::Playing) return;
    tmp_bPlaying = true;
    tmp_uLeft = std::max(tmp_uLeft, v.Level() & 0xFFFFu);
    tmp_uRight = std::max(tmp_uRight, v.Level() >> 16);
  });
  if (tmp_iResult != BASS_OK) return tmp_iResult;
  if (!tmp_bPlaying) return BASS_ERROR_NOPLAY;
  *fp_pLevel = tmp_uLeft | tmp_uRight << 16;
  return BASS_OK;
}

void CMixer::StopAll() {
  std::lock_guard<std::mutex> tmp_oLock(m_mtx);
  for (CVoice* tmp_pVoice : m_vActive) tmp_pVoice->Stop();
  Settle();
}

void CMixer::SetGlobalVolumes(int fp_iMusic, int fp_iSample, int fp_iStream) {
  std::lock_guard<std::mutex> tmp_oLock(m_mtx);
  m_iVolMusic = KeepOrClamp(fp_iMusic, m_iVolMusic);
  m_iVolSample = KeepOrClamp(fp_iSample, m_iVolSample);
  m_iVolStream = KeepOrClamp(fp_iStream, m_iVolStream);
}

void CMixer::GetGlobalVolumes(int* fp_pMusic, int* fp_pSample, int* fp_pStream) {
  std::lock_guard<std::mutex> tmp_oLock(m_mtx);
  if (fp_pMusic != nullptr) *fp_pMusic = m_iVolMusic;
  if (fp_pSample != nullptr) *fp_pSample = m_iVolSample;
  if (fp_pStream != nullptr) *fp_pStream = m_iVolStream;
}

float CMixer::GlobalGain(EVoiceKind fp_eKind) const {
  switch (fp_eKind) {
    case EVoiceKind::Sample: return static_cast<float>(m_iVolSample) / 100.0f;
    case EVoiceKind::Stream: return static_cast<float>(m_iVolStream) / 100.0f;
    case EVoiceKind::Music: break;
  }
  return static_cast<float>(m_iVolMusic) / 100.0f;
}

// }====

// {==== Filling ==============================================================

void CMixer::Fill(float* fp_pOut, std::uint32_t fp_uFrames) {
  const auto tmp_tStart = std::chrono::steady_clock::now();
  std::memset(fp_pOut, 0, sizeof(float) * 2 * static_cast<std::size_t>(fp_uFrames));
  {
    std::lock_guard<std::mutex> tmp_oLock(m_mtx);
    for (CVoice* tmp_pVoice : m_vActive) tmp_pVoice->BeginBlock();
    for (std::uint32_t tmp_uDone = 0; tmp_uDone < fp_uFrames;) {
      const std::uint32_t tmp_uN = std::min(kChunkFrames, fp_uFrames - tmp_uDone);
      for (std::size_t i = 0; i < m_vActive.size();) {
        CVoice* tmp_pVoice = m_vActive[i];
        bool tmp_bLive = tmp_pVoice->State() != EVoiceState::Stopped;
        if (tmp_pVoice->State() == EVoiceState::Playing)
          tmp_bLive = tmp_pVoice->Mix(fp_pOut + 2 * static_cast<std::size_t>(tmp_uDone), tmp_uN,
                                      GlobalGain(tmp_pVoice->Kind()), m_aScratch);
        if (tmp_bLive)
          ++i;
        else
          RemoveActive(i);
      }
      tmp_uDone += tmp_uN;
    }
    for (CVoice* tmp_pVoice : m_vActive) tmp_pVoice->EndBlock();
  }
  for (std::size_t i = 0; i < 2 * static_cast<std::size_t>(fp_uFrames); ++i)
    fp_pOut[i] = std::clamp(fp_pOut[i], -1.0f, 1.0f);

  const auto tmp_iNanos = std::chrono::duration_cast<std::chrono::nanoseconds>(
                              std::chrono::steady_clock::now() - tmp_tStart)
                              .count();
  m_uCpuNanos += static_cast<std::uint64_t>(tmp_iNanos);
  m_uCpuFrames += fp_uFrames;
  if (m_uCpuFrames >= m_uRate / 2) {
    const double tmp_dAudioNanos = static_cast<double>(m_uCpuFrames) * 1e9 / m_uRate;
    m_fCpu.store(static_cast<float>(static_cast<double>(m_uCpuNanos) / tmp_dAudioNanos * 100.0),
                 std::memory_order_relaxed);
    m_uCpuNanos = 0;
    m_uCpuFrames = 0;
  }
}

void CMixer::FillS16(std::int16_t* fp_pOut, std::uint32_t fp_uFrames) {
  for (std::uint32_t tmp_uDone = 0; tmp_uDone < fp_uFrames;) {
    const std::uint32_t tmp_uN = std::min(kChunkFrames, fp_uFrames - tmp_uDone);
    Fill(m_aS16Mix, tmp_uN);
    for (std::uint32_t i = 0; i < 2 * tmp_uN; ++i)
      fp_pOut[2 * tmp_uDone + i] = static_cast<std::int16_t>(std::lround(m_aS16Mix[i] * 32767.0f));
    tmp_uDone += tmp_uN;
  }
}

// }====

}  // namespace audio
