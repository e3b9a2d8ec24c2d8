// The library's calls: the one open output and its mixer, the error code of
// the last call, and the checks every call makes before it reaches the mixer.
// Loading decodes outside the mixer's lock, so playing sounds never wait for
// a file being read.
#include <algorithm>
#include <memory>
#include <new>
#include <system_error>

#include "Platform/audio/audio.h"
#include "Platform/audio/audio_manual.h"
#include "Platform/audio/audio_mixer.h"
#include "Platform/audio/audio_output.h"
#include "Platform/audio/audio_region.h"
#include "Platform/audio/decode_openmpt.h"
#include "Platform/audio/decode_sndfile.h"

namespace audio {

namespace {

constexpr DWORD kMinRate = 8000;
constexpr DWORD kMaxRate = 192000;
constexpr DWORD kMaxPlaybacks = 65535;

// The test output: renders when AudioManual_Render asks, silence while paused.
class CManualOutput final : public IOutput {
 public:
  bool Start() override {
    started = true;
    return true;
  }
  void Pause() override { started = false; }
  bool started = false;
};

struct SLibrary {
  std::unique_ptr<CMixer> mixer;
  std::unique_ptr<IOutput> output;
  CManualOutput* manual = nullptr;
};

SLibrary g_oLib;
thread_local int g_iError = BASS_OK;

// Records the outcome of a call; returns whether it succeeded.
bool Result(int fp_iCode) {
  g_iError = fp_iCode;
  return fp_iCode == BASS_OK;
}

// Records a failure; the 0 that a call returning a handle gives for it.
DWORD Fail(int fp_iCode) {
  g_iError = fp_iCode;
  return 0;
}

bool Ready() {
  if (g_oLib.mixer) return true;
  g_iError = BASS_ERROR_INIT;
  return false;
}

}  // namespace

// {==== Library and output ===================================================

BOOL BASS_Init(int fp_iDevice, DWORD fp_uFreq, DWORD fp_uFlags, void* fp_pWindow) {
  (void)fp_uFlags;
  (void)fp_pWindow;
  if (g_oLib.mixer) return Result(BASS_ERROR_ALREADY);
  if (fp_uFreq < kMinRate || fp_uFreq > kMaxRate) return Result(BASS_ERROR_ILLPARAM);
  if (fp_iDevice < 0 && fp_iDevice != BASS_DEVICE_DEFAULT && fp_iDevice != BASS_DEVICE_SILENT &&
      fp_iDevice != kAudioDeviceManual)
    return Result(BASS_ERROR_DEVICE);
  try {
    auto tmp_pMixer = std::make_unique<CMixer>(fp_uFreq);
    std::unique_ptr<IOutput> tmp_pOutput;
    CManualOutput* tmp_pManual = nullptr;
    if (fp_iDevice == kAudioDeviceManual) {
      auto tmp_pNew = std::make_unique<CManualOutput>();
      tmp_pManual = tmp_pNew.get();
      tmp_pOutput = std::move(tmp_pNew);
    } else if (fp_iDevice == BASS_DEVICE_SILENT) {
      tmp_pOutput = CreateSilentOutput(fp_uFreq, &CMixer::FillCallback, tmp_pMixer.get());
    } else {
      int tmp_iError = BASS_OK;
      tmp_pOutput = CreateSdlOutput(fp_iDevice, fp_uFreq, &CMixer::FillCallback, tmp_pMixer.get(),
                                    &tmp_iError);
      if (!tmp_pOutput) return Result(tmp_iError);
    }
    g_oLib.mixer = std::move(tmp_pMixer);
    g_oLib.output = std::move(tmp_pOutput);
    g_oLib.manual = tmp_pManual;
  } catch (const std::bad_alloc&) {
    return Result(BASS_ERROR_MEM);
  } catch (const std::system_error&) {
    return Result(BASS_ERROR_DRIVER);  // the silent output's thread could not start
  }
  return Result(BASS_OK);
}

BOOL BASS_Start() {
  if (!Ready()) return 0;
  return Result(g_oLib.output->Start() ? BASS_OK : BASS_ERROR_START);
}

BOOL BASS_Pause() {
  if (!Ready()) return 0;
  g_oLib.output->Pause();
  return Result(BASS_OK);
}

BOOL BASS_Stop() {
  if (!Ready()) return 0;
  g_oLib.output->Pause();
  g_oLib.mixer->StopAll();
  return Result(BASS_OK);
}

void BASS_Free() {
  if (!Ready()) return;
  // The output goes first: once it is closed nothing mixes any more.
  g_oLib.output.reset();
  g_oLib.manual = nullptr;
  g_oLib.mixer.reset();
  Result(BASS_OK);
}

BOOL BASS_SetGlobalVolumes(int fp_iMusic, int fp_iSample, int fp_iStream) {
  if (!Ready()) return 0;
  g_oLib.mixer->SetGlobalVolumes(fp_iMusic, fp_iSample, fp_iStream);
  return Result(BASS_OK);
}

BOOL BASS_GetGlobalVolumes(int* fp_pMusic, int* fp_pSample, int* fp_pStream) {
  if (!Ready()) return 0;
  g_oLib.mixer->GetGlobalVolumes(fp_pMusic, fp_pSample, fp_pStream);
  return Result(BASS_OK);
}

float BASS_GetCPU() {
  if (!Ready()) return 0.0f;
  Result(BASS_OK);
  return g_oLib.mixer->Cpu();
}

int BASS_ErrorGetCode() {
  return g_iError;
}

// }====

// {==== Samples, streams, modules ============================================

HSAMPLE BASS_SampleLoad(BOOL fp_bMem, const void* fp_pFile, DWORD fp_uOffset, DWORD fp_uLength,
                        DWORD fp_uMax, DWORD fp_uFlags) {
  if (!Ready()) return 0;
  try {
    CRegion tmp_oRegion;
    int tmp_iError = tmp_oRegion.Open(fp_bMem != 0, fp_pFile, fp_uOffset, fp_uLength);
    if (tmp_iError != BASS_OK) return Fail(tmp_iError);
    auto tmp_pData = std::make_unique<CSampleData>();
    tmp_iError = DecodeSample(tmp_oRegion, *tmp_pData);
    if (tmp_iError != BASS_OK) return Fail(tmp_iError);
    tmp_pData->maxPlaybacks = std::clamp<DWORD>(fp_uMax, 1, kMaxPlaybacks);
    tmp_pData->override = (fp_uFlags & BASS_SAMPLE_OVERRIDE_LONGEST) != 0;
    HSAMPLE tmp_hSample = 0;
    if (!Result(g_oLib.mixer->AddSample(std::move(tmp_pData), &tmp_hSample))) return 0;
    return tmp_hSample;
  } catch (const std::bad_alloc&) {
    return Fail(BASS_ERROR_MEM);
  }
}

HCHANNEL BASS_SamplePlayEx(HSAMPLE fp_hSample, DWORD fp_uStart, int fp_iFreq, int fp_iVolume,
                           int fp_iPan, BOOL fp_bLoop) {
  if (!Ready()) return 0;
  HCHANNEL tmp_hChannel = 0;
  if (!Result(g_oLib.mixer->PlaySample(fp_hSample, fp_uStart, fp_iFreq, fp_iVolume, fp_iPan,
                                       fp_bLoop != 0, &tmp_hChannel)))
    return 0;
  return tmp_hChannel;
}

BOOL BASS_SampleStop(HSAMPLE fp_hSample) {
  if (!Ready()) return 0;
  return Result(g_oLib.mixer->StopSample(fp_hSample));
}

void BASS_SampleFree(HSAMPLE fp_hSample) {
  if (!Ready()) return;
  Result(g_oLib.mixer->FreeSample(fp_hSample));
}

HSTREAM BASS_StreamCreateFile(BOOL fp_bMem, const void* fp_pFile, DWORD fp_uOffset,
                              DWORD fp_uLength, DWORD fp_uFlags) {
  (void)fp_uFlags;  // seeking is always exact
  if (!Ready()) return 0;
  try {
    auto tmp_pRegion = std::make_unique<CRegion>();
    int tmp_iError = tmp_pRegion->Open(fp_bMem != 0, fp_pFile, fp_uOffset, fp_uLength);
    if (tmp_iError != BASS_OK) return Fail(tmp_iError);
    std::unique_ptr<ISource> tmp_pSource;
    std::uint32_t tmp_uRate = 0;
    tmp_iError = OpenStream(std::move(tmp_pRegion), tmp_pSource, &tmp_uRate);
    if (tmp_iError != BASS_OK) return Fail(tmp_iError);
    HSTREAM tmp_hStream = 0;
    if (!Result(g_oLib.mixer->AddStream(std::move(tmp_pSource), tmp_uRate, &tmp_hStream))) return 0;
    return tmp_hStream;
  } catch (const std::bad_alloc&) {
    return Fail(BASS_ERROR_MEM);
  }
}

BOOL BASS_StreamPlay(HSTREAM fp_hStream, BOOL fp_bFlush, DWORD fp_uFlags) {
  if (!Ready()) return 0;
  return Result(
      g_oLib.mixer->PlayStream(fp_hStream, fp_bFlush != 0, (fp_uFlags & BASS_PLAY_LOOP) != 0));
}

void BASS_StreamFree(HSTREAM fp_hStream) {
  if (!Ready()) return;
  Result(g_oLib.mixer->FreeChannel(fp_hStream, false));
}

HMUSIC BASS_MusicLoad(BOOL fp_bMem, const void* fp_pFile, DWORD fp_uOffset, DWORD fp_uLength,
                      DWORD fp_uFlags) {
  (void)fp_uFlags;
  if (!Ready()) return 0;
  try {
    CRegion tmp_oRegion;
    int tmp_iError = tmp_oRegion.Open(fp_bMem != 0, fp_pFile, fp_uOffset, fp_uLength);
    if (tmp_iError != BASS_OK) return Fail(tmp_iError);
    std::unique_ptr<IModuleSource> tmp_pModule;
    tmp_iError = OpenModule(tmp_oRegion, g_oLib.mixer->Rate(), tmp_pModule);
    if (tmp_iError != BASS_OK) return Fail(tmp_iError);
    HMUSIC tmp_hMusic = 0;
    if (!Result(g_oLib.mixer->AddMusic(std::move(tmp_pModule), &tmp_hMusic))) return 0;
    return tmp_hMusic;
  } catch (const std::bad_alloc&) {
    return Fail(BASS_ERROR_MEM);
  }
}

BOOL BASS_MusicPlayEx(HMUSIC fp_hMusic, DWORD fp_uPos, int fp_iFlags, BOOL fp_bReset) {
  if (!Ready()) return 0;
  const int tmp_iLoop =
      fp_iFlags < 0 ? -1 : ((static_cast<DWORD>(fp_iFlags) & BASS_PLAY_LOOP) != 0 ? 1 : 0);
  return Result(g_oLib.mixer->PlayMusic(fp_hMusic, fp_uPos, tmp_iLoop, fp_bReset != 0));
}

void BASS_MusicFree(HMUSIC fp_hMusic) {
  if (!Ready()) return;
  Result(g_oLib.mixer->FreeChannel(fp_hMusic, true));
}

// }====

// {==== Channels =============================================================

BOOL BASS_ChannelStop(DWORD fp_hChannel) {
  if (!Ready()) return 0;
  return Result(g_oLib.mixer->Stop(fp_hChannel));
}

BOOL BASS_ChannelPause(DWORD fp_hChannel) {
  if (!Ready()) return 0;
  return Result(g_oLib.mixer->Pause(fp_hChannel));
}

BOOL BASS_ChannelResume(DWORD fp_hChannel) {
  if (!Ready()) return 0;
  return Result(g_oLib.mixer->Resume(fp_hChannel));
}

BOOL BASS_ChannelSetAttributes(DWORD fp_hChannel, int fp_iFreq, int fp_iVolume, int fp_iPan) {
  if (!Ready()) return 0;
  return Result(g_oLib.mixer->SetAttributes(fp_hChannel, fp_iFreq, fp_iVolume, fp_iPan));
}

BOOL BASS_ChannelGetAttributes(DWORD fp_hChannel, DWORD* fp_pFreq, DWORD* fp_pVolume,
                               int* fp_pPan) {
  if (!Ready()) return 0;
  return Result(g_oLib.mixer->GetAttributes(fp_hChannel, fp_pFreq, fp_pVolume, fp_pPan));
}

BOOL BASS_ChannelSlideAttributes(DWORD fp_hChannel, int fp_iFreq, int fp_iVolume, int fp_iPan,
                                 DWORD fp_uTime) {
  if (!Ready()) return 0;
  return Result(g_oLib.mixer->Slide(fp_hChannel, fp_iFreq, fp_iVolume, fp_iPan, fp_uTime));
}

DWORD BASS_ChannelIsActive(DWORD fp_hChannel) {
  if (!Ready()) return BASS_ACTIVE_STOPPED;
  DWORD tmp_uState = BASS_ACTIVE_STOPPED;
  Result(g_oLib.mixer->IsActive(fp_hChannel, &tmp_uState));
  return tmp_uState;
}

DWORD BASS_ChannelGetLevel(DWORD fp_hChannel) {
  if (!Ready()) return BASS_LEVEL_FAILED;
  DWORD tmp_uLevel = 0;
  if (!Result(g_oLib.mixer->GetLevel(fp_hChannel, &tmp_uLevel))) return BASS_LEVEL_FAILED;
  return tmp_uLevel;
}

// }====

// {==== Manual output ========================================================

bool AudioManual_Render(float* fp_pOut, std::uint32_t fp_uFrames) {
  if (g_oLib.manual == nullptr) return false;
  if (!g_oLib.manual->started) {
    for (std::uint32_t i = 0; i < 2 * fp_uFrames; ++i) fp_pOut[i] = 0.0f;
    return true;
  }
  g_oLib.mixer->Fill(fp_pOut, fp_uFrames);
  return true;
}

bool AudioManual_RenderS16(std::int16_t* fp_pOut, std::uint32_t fp_uFrames) {
  if (g_oLib.manual == nullptr) return false;
  if (!g_oLib.manual->started) {
    for (std::uint32_t i = 0; i < 2 * fp_uFrames; ++i) fp_pOut[i] = 0;
    return true;
  }
  g_oLib.mixer->FillS16(fp_pOut, fp_uFrames);
  return true;
}

// }====

}  // namespace audio
