// The sound and music objects: every call into the audio library that a sound
// or a piece of music makes, each failure turned into the engine's exception
// with the library's error code.
static constexpr int kM2DFileID = 132;

#include "cmorvane_sfx_classes.h"

#include "Platform/audio/audio.h"
#include "Platform/os/os.h"
#include "cmorvane_ehs.h"

// A failed library call: type General with the library's reason as the code.
#define SFX_THROW_BASS(desc) M2D_THROW(EHS_TYPE_GENERAL, audio::BASS_ErrorGetCode(), (desc))

namespace {

// Times come from data and scripts; a negative time means no time at all.
audio::DWORD TimeMs(int fp_iTime) {
  return fp_iTime > 0 ? static_cast<audio::DWORD>(fp_iTime) : 0u;
}

// Offsets and lengths are handed on as the library's unsigned values; the
// library refuses a region outside the file (a negative value lands there).
audio::DWORD Unsigned(std::int32_t fp_iValue) {
  return static_cast<audio::DWORD>(fp_iValue);
}

audio::DWORD LoopFlag(std::uint8_t fp_bLoop) {
  return fp_bLoop != 0 ? audio::BASS_PLAY_LOOP : 0u;
}

}  // namespace

// {==== M2DSound =============================================================

M2DSound::~M2DSound() {
  M2D_CHECKPOINT;
  if (sample != 0) audio::BASS_SampleFree(sample);
  if (stream != 0) audio::BASS_StreamFree(stream);
}

void M2DSound::Load(bool fp_bIsStream, int fp_iMaxPlaybacks, bool fp_bNoOverride,
                    const char* fp_pszFileName, int fp_iOffset, int fp_iLength) {
  M2D_CHECKPOINT;
  isStream = fp_bIsStream ? 1 : 0;
  maxPlaybacks = fp_iMaxPlaybacks < 1 ? 1 : fp_iMaxPlaybacks;
  noOverride = fp_bNoOverride ? 1 : 0;
  fileName = fp_pszFileName != nullptr ? fp_pszFileName : "";
  offset = fp_iOffset;
  length = fp_iLength;
  paused = 0;

  const std::string tmp_strPath = os::ResolvePath(fileName.c_str());
  if (isStream == 0) {
    const audio::DWORD tmp_uFlags = noOverride == 1 ? 0u : audio::BASS_SAMPLE_OVERRIDE_LONGEST;
    sample = audio::BASS_SampleLoad(0, tmp_strPath.c_str(), Unsigned(offset), Unsigned(length),
                                    static_cast<audio::DWORD>(maxPlaybacks), tmp_uFlags);
    if (sample == 0) SFX_THROW_BASS("Cannot load sample!");
  } else {
    stream = audio::BASS_StreamCreateFile(0, tmp_strPath.c_str(), Unsigned(offset),
                                          Unsigned(length), audio::BASS_STREAM_EXACTSEEK);
    if (stream == 0) SFX_THROW_BASS("Cannot create stream!");
  }
}

void M2DSound::Free() {
  M2D_CHECKPOINT;
  if (isStream == 0) {
    if (sample != 0) {
      if (!audio::BASS_SampleStop(sample)) SFX_THROW_BASS("Cannot stop sample!");
      audio::BASS_SampleFree(sample);
      sample = 0;
    }
  } else if (stream != 0) {
    if (!audio::BASS_ChannelStop(stream)) SFX_THROW_BASS("Cannot stop stream!");
    audio::BASS_StreamFree(stream);
    stream = 0;
  }
  fileName.clear();
}

void M2DSound::Play(std::uint8_t fp_bLoop, int fp_iFreq, int fp_iVolume, int fp_iPan) {
  M2D_CHECKPOINT;
  if (isStream == 0) {
    if (audio::BASS_SamplePlayEx(sample, 0, fp_iFreq, fp_iVolume, fp_iPan, fp_bLoop != 0) == 0)
      SFX_THROW_BASS("Cannot playback sample!");
    return;
  }
  if (!audio::BASS_StreamPlay(stream, 1, LoopFlag(fp_bLoop))) SFX_THROW_BASS("Cannot play stream!");
  if (fp_iFreq == audio::BASS_ATTRIB_KEEP && fp_iVolume == audio::BASS_ATTRIB_KEEP &&
      fp_iPan == audio::BASS_ATTRIB_KEEP_PAN)
    return;
  if (!audio::BASS_ChannelSetAttributes(stream, fp_iFreq, fp_iVolume, fp_iPan))
    SFX_THROW_BASS("Cannot set stream attributes!");
}

void M2DSound::Stop() {
  M2D_CHECKPOINT;
  if (isStream == 0) {
    if (!audio::BASS_SampleStop(sample)) SFX_THROW_BASS("Cannot stop sample!");
  } else if (!audio::BASS_ChannelStop(stream)) {
    SFX_THROW_BASS("Cannot stop stream!");
  }
}

void M2DSound::Pause() {
  M2D_CHECKPOINT;
  if (paused == 1) return;
  if (!audio::BASS_ChannelPause(Channel()))
    SFX_THROW_BASS(isStream == 0 ? "Cannot pause sample!" : "Cannot pause stream!");
  paused = 1;
}

void M2DSound::Resume() {
  M2D_CHECKPOINT;
  if (paused == 0) return;
  if (!audio::BASS_ChannelResume(Channel()))
    SFX_THROW_BASS(isStream == 0 ? "Cannot resume playback of sample!"
                                 : "Cannot resume playback of stream!");
  paused = 0;
}

void M2DSound::SetAttributes(int fp_iFreq, int fp_iVolume, int fp_iPan) {
  M2D_CHECKPOINT;
  if (!audio::BASS_ChannelSetAttributes(Channel(), fp_iFreq, fp_iVolume, fp_iPan))
    SFX_THROW_BASS(isStream == 0 ? "Cannot set attributes of sample!"
                                 : "Cannot set attributes of stream!");
}

void M2DSound::SlideAttributes(int fp_iFreq, int fp_iVolume, int fp_iPan, int fp_iTime) {
  M2D_CHECKPOINT;
  if (!audio::BASS_ChannelSlideAttributes(Channel(), fp_iFreq, fp_iVolume, fp_iPan,
                                          TimeMs(fp_iTime)))
    SFX_THROW_BASS(isStream == 0 ? "Cannot slide attributes of sample!"
                                 : "Cannot slide attributes of stream!");
}

std::uint32_t M2DSound::GetStatus() {
  M2D_CHECKPOINT;
  return audio::BASS_ChannelIsActive(Channel());
}

// }====

// {==== M2DMusic (streamed) ==================================================

M2DMusic::M2DMusic(const char* fp_pszFileName, int fp_iOffset, int fp_iLength)
    : fileName(fp_pszFileName != nullptr ? fp_pszFileName : ""),
      offset(fp_iOffset),
      length(fp_iLength) {
  M2D_CHECKPOINT;
}

M2DMusic::~M2DMusic() {
  M2D_CHECKPOINT;
  ReleaseQuietly();
}

void M2DMusic::LoadModule() {
  M2D_CHECKPOINT;
  const std::string tmp_strPath = os::ResolvePath(fileName.c_str());
  handle = audio::BASS_MusicLoad(0, tmp_strPath.c_str(), Unsigned(offset), Unsigned(length), 0);
  if (handle == 0) SFX_THROW_BASS("Cannot load music!");
  loaded = 1;
}

void M2DMusic::ReleaseModule() {
  M2D_CHECKPOINT;
  if (handle != 0) audio::BASS_MusicFree(handle);
  handle = 0;
  loaded = 0;
  paused = 0;
}

void M2DMusic::ReleaseQuietly() noexcept {
  if (loaded == 0 && handle == 0) return;
  audio::BASS_ChannelStop(handle);
  audio::BASS_MusicFree(handle);
  handle = 0;
  loaded = 0;
  paused = 0;
}

void M2DMusic::StartChannel(std::uint8_t fp_bLoop) {
  M2D_CHECKPOINT;
  if (!audio::BASS_MusicPlayEx(handle, 0, static_cast<int>(LoopFlag(fp_bLoop)), 1))
    SFX_THROW_BASS("Cannot start music playback!");
  paused = 0;
}

void M2DMusic::FadeOutChannel(int fp_iFadeTime) {
  M2D_CHECKPOINT;
  if (!audio::BASS_ChannelSlideAttributes(handle, audio::BASS_ATTRIB_KEEP,
                                          audio::BASS_VOLUME_FADESTOP, audio::BASS_ATTRIB_KEEP_PAN,
                                          TimeMs(fp_iFadeTime)))
    SFX_THROW_BASS("Cannot slide music attributes for smooth fading!");
}

void M2DMusic::Play(std::uint8_t fp_bLoop) {
  M2D_CHECKPOINT;
  if (loaded == 1) return;
  LoadModule();
  StartChannel(fp_bLoop);
}

void M2DMusic::Stop(int fp_iFadeTime) {
  M2D_CHECKPOINT;
  if (loaded == 0) return;
  if (fp_iFadeTime <= 0) {
    if (!audio::BASS_ChannelStop(handle)) SFX_THROW_BASS("Cannot stop music playback!");
    ReleaseModule();
    return;
  }
  // The status check releases the module once the fade has stopped it.
  FadeOutChannel(fp_iFadeTime);
}

void M2DMusic::Pause() {
  M2D_CHECKPOINT;
  if (loaded == 0 || paused == 1) return;
  if (!audio::BASS_ChannelPause(handle)) SFX_THROW_BASS("Cannot pause music playback!");
  paused = 1;
}

void M2DMusic::Resume() {
  M2D_CHECKPOINT;
  if (loaded == 0 || paused == 0) return;
  if (!audio::BASS_ChannelResume(handle)) SFX_THROW_BASS("Cannot resume music playback!");
  paused = 0;
}

std::uint32_t M2DMusic::GetStatus() {
  M2D_CHECKPOINT;
  if (loaded == 0) return 0;
  const std::uint32_t tmp_uState = audio::BASS_ChannelIsActive(handle);
  if (tmp_uState == audio::BASS_ACTIVE_STOPPED) ReleaseModule();
  return tmp_uState;
}

void M2DMusic::SlideVolume(int fp_iVolume, int fp_iTime) {
  M2D_CHECKPOINT;
  if (loaded == 0 || paused == 1) return;
  if (!audio::BASS_ChannelSlideAttributes(handle, audio::BASS_ATTRIB_KEEP, fp_iVolume,
                                          audio::BASS_ATTRIB_KEEP_PAN, TimeMs(fp_iTime)))
    SFX_THROW_BASS("Cannot slide music volume!");
}

float M2DMusic::GetLevel(int fp_iSide) {
  M2D_CHECKPOINT;
  if (loaded == 0 || paused == 1) return 0.0f;
  const audio::DWORD tmp_uLevel = audio::BASS_ChannelGetLevel(handle);
  if (tmp_uLevel == audio::BASS_LEVEL_FAILED) return 0.0f;
  const audio::DWORD tmp_uSide = fp_iSide == 0 ? (tmp_uLevel & 0xFFFFu) : (tmp_uLevel >> 16);
  return static_cast<float>(tmp_uSide) * 0.0078125f;
}

float M2DMusic::GetLevelLeft() {
  M2D_CHECKPOINT;
  return GetLevel(0);
}

float M2DMusic::GetLevelRight() {
  M2D_CHECKPOINT;
  return GetLevel(1);
}

// }====

// {==== M2DPreloadedMusic ====================================================

M2DPreloadedMusic::M2DPreloadedMusic(const char* fp_pszFileName, int fp_iOffset, int fp_iLength)
    : M2DMusic(fp_pszFileName, fp_iOffset, fp_iLength) {
  M2D_CHECKPOINT;
  LoadModule();
}

M2DPreloadedMusic::~M2DPreloadedMusic() {
  M2D_CHECKPOINT;
  ReleaseQuietly();
}

void M2DPreloadedMusic::Play(std::uint8_t fp_bLoop) {
  M2D_CHECKPOINT;
  StartChannel(fp_bLoop);
  if (!audio::BASS_ChannelSlideAttributes(handle, audio::BASS_FREQ_ORIGINAL, 100,
                                          audio::BASS_ATTRIB_KEEP_PAN, 100))
    SFX_THROW_BASS("Cannot set music params!");
}

void M2DPreloadedMusic::Stop(int fp_iFadeTime) {
  M2D_CHECKPOINT;
  if (loaded == 0) return;
  if (fp_iFadeTime <= 0) {
    if (!audio::BASS_ChannelStop(handle)) SFX_THROW_BASS("Cannot stop music playback!");
    return;
  }
  FadeOutChannel(fp_iFadeTime);
}

std::uint32_t M2DPreloadedMusic::GetStatus() {
  M2D_CHECKPOINT;
  if (loaded == 0) return 0;
  return audio::BASS_ChannelIsActive(handle);
}

// }====
