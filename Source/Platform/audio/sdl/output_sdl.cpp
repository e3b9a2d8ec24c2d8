// The SDL2 output: an audio device whose callback is a thin shim around the
// mixer's fill function. SDL converts our stereo float to whatever the
// device takes, so the mixer always runs at the rate it was asked for.
#include <SDL.h>

#include "Platform/audio/audio.h"
#include "Platform/audio/audio_output.h"

namespace audio {

namespace {

class CSdlOutput final : public IOutput {
 public:
  CSdlOutput(FillFn fp_fnFill, void* fp_pUser) : m_fnFill(fp_fnFill), m_pUser(fp_pUser) {}
  ~CSdlOutput() override {
    if (m_uDevice != 0) SDL_CloseAudioDevice(m_uDevice);  // waits for a running callback
    if (m_bSubsystem) SDL_QuitSubSystem(SDL_INIT_AUDIO);
  }

  int Open(int fp_iDevice, std::uint32_t fp_uRate) {
    if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0) return BASS_ERROR_DRIVER;
    m_bSubsystem = true;
    const char* tmp_pszName = nullptr;
    if (fp_iDevice >= 0) {
      if (fp_iDevice >= SDL_GetNumAudioDevices(0)) return BASS_ERROR_DEVICE;
      tmp_pszName = SDL_GetAudioDeviceName(fp_iDevice, 0);
      if (tmp_pszName == nullptr) return BASS_ERROR_DEVICE;
    }
    SDL_AudioSpec tmp_oWant{};
    tmp_oWant.freq = static_cast<int>(fp_uRate);
    tmp_oWant.format = AUDIO_F32SYS;
    tmp_oWant.channels = 2;
    tmp_oWant.samples = 512;
    tmp_oWant.callback = &CSdlOutput::Callback;
    tmp_oWant.userdata = this;
    SDL_AudioSpec tmp_oHave{};
    m_uDevice = SDL_OpenAudioDevice(tmp_pszName, 0, &tmp_oWant, &tmp_oHave, 0);
    return m_uDevice == 0 ? BASS_ERROR_DRIVER : BASS_OK;
  }

  bool Start() override {
    SDL_PauseAudioDevice(m_uDevice, 0);
    return SDL_GetAudioDeviceStatus(m_uDevice) == SDL_AUDIO_PLAYING;
  }
  void Pause() override { SDL_PauseAudioDevice(m_uDevice, 1); }

 private:
  static void Callback(void* fp_pUser, Uint8* fp_pStream, int fp_iBytes) {
    auto* tmp_pThis = static_cast<CSdlOutput*>(fp_pUser);
    const auto tmp_uFrames = static_cast<std::uint32_t>(fp_iBytes) / (2 * sizeof(float));
    tmp_pThis->m_fnFill(tmp_pThis->m_pUser, reinterpret_cast<float*>(fp_pStream), tmp_uFrames);
  }

  FillFn m_fnFill;
  void* m_pUser;
  SDL_AudioDeviceID m_uDevice = 0;
  bool m_bSubsystem = false;
};

}  // namespace

std::unique_ptr<IOutput> CreateSdlOutput(int fp_iDevice, std::uint32_t fp_uRate, FillFn fp_fnFill,
                                         void* fp_pUser, int* fp_pError) {
  auto tmp_pOutput = std::make_unique<CSdlOutput>(fp_fnFill, fp_pUser);
  *fp_pError = tmp_pOutput->Open(fp_iDevice, fp_uRate);
  if (*fp_pError != BASS_OK) return nullptr;
  return tmp_pOutput;
}

}  // namespace audio
