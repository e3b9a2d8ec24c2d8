// What the mix costs: 16 looping sample voices and one looping module at
// 44100 Hz stereo, started through the engine's sound subsystem. Rendered by
// the manual output (time per second of audio) and played through a real SDL
// device (the library's own CPU figure and the process's CPU time over wall
// time). The goal is under 2 % of one core.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "Platform/audio/audio.h"
#include "Platform/audio/audio_manual.h"
#include "Platform/os/os_backend.h"
#include "audio_test_data.h"
#include "cmorvane.h"
#include "mrv_window.h"

namespace {

namespace fs = std::filesystem;

constexpr int kVoices = 16;

void Write(const std::string& fp_strPath, const std::string& fp_strBytes) {
  std::ofstream tmp_File(fp_strPath, std::ios::binary | std::ios::trunc);
  tmp_File.write(fp_strBytes.data(), static_cast<std::streamsize>(fp_strBytes.size()));
}

// fp_pszPrefix, the number, fp_pszSuffix (appended piece by piece: g++ 12
// warns wrongly about overlapping copies in "literal" + std::string).
std::string Numbered(const char* fp_pszPrefix, int fp_iNumber, const char* fp_pszSuffix) {
  std::string tmp_str(fp_pszPrefix);
  tmp_str.append(std::to_string(fp_iNumber)).append(fp_pszSuffix);
  return tmp_str;
}

// An engine in a temporary folder with 16 sounds and one module playing.
class CScene {
 public:
  explicit CScene(int fp_iDevice) {
    oldCwd = fs::current_path();
    char tmp_szDir[] = "/tmp/m2d_bench_sound_XXXXXX";
    dir = ::mkdtemp(tmp_szDir);
    fs::current_path(dir);
    fs::create_directories("DATA");
    std::string tmp_strXml = "<respack>\n";
    for (int i = 0; i < kVoices; ++i) {
      const std::string tmp_strFile = Numbered("s", i, ".wav");
      Write("DATA/" + tmp_strFile,
            audiotest::Wav(audiotest::Sine(220.0f + 37.0f * static_cast<float>(i), audiotest::kRate,
                                           1.0f, 0.05f, 1),
                           1, audiotest::kRate));
      tmp_strXml.append(Numbered("<r id=\"SND_", i, "\" typeid=\"SOUND\" filename=\""))
          .append(tmp_strFile)
          .append("\" tag=\"1\"/>\n");
    }
    Write("DATA/tune.mod", audiotest::Mod(false));
    tmp_strXml += "<r id=\"MUS_TUNE\" typeid=\"MUSIC\" filename=\"tune.mod\" tag=\"1\"/>\n";
    Write("DATA/res.xml", tmp_strXml + "</respack>\n");

    os::SelectBackendForTests(os::Backend::Headless);
    engine = std::make_unique<CMorvane>();
    engine->Start("Sound bench", "1");
    CreateGameWindow(&engine->hWnd, 800, 600, 1);
    static int s_iDevice = 0;  // the sound subsystem only asks whether a device exists
    engine->pD3DDevice = reinterpret_cast<gfx::IDirect3DDevice8*>(&s_iDevice);
    engine->RES_Init();
    engine->sfxOutputDevice = fp_iDevice;
    engine->SFX_Init(44100);
    engine->pD3DDevice = nullptr;
    engine->LoadResources(1);
    for (int i = 0; i < kVoices; ++i)
      engine->SFX_SoundPlay(engine->SFX_SoundGetIID(Numbered("SND_", i, "").c_str()), 1, -1, -1,
                            -101);
    engine->SFX_MusicPlay("MUS_TUNE", 1, 0);
    engine->SFX_Update();
  }
  ~CScene() {
    const os::HWND tmp_hWnd = engine->hWnd;
    engine.reset();
    DestroyGameWindow(tmp_hWnd);
    fs::current_path(oldCwd);
    std::error_code tmp_Error;
    fs::remove_all(dir, tmp_Error);
  }
  CScene(const CScene&) = delete;
  CScene& operator=(const CScene&) = delete;

  std::unique_ptr<CMorvane> engine;

 private:
  fs::path oldCwd;
  std::string dir;
};

double CpuSeconds(clockid_t fp_iClock) {
  timespec tmp_ts{};
  clock_gettime(fp_iClock, &tmp_ts);
  return static_cast<double>(tmp_ts.tv_sec) + static_cast<double>(tmp_ts.tv_nsec) * 1e-9;
}
double ProcessCpuSeconds() {
  return CpuSeconds(CLOCK_PROCESS_CPUTIME_ID);
}
double ThreadCpuSeconds() {
  return CpuSeconds(CLOCK_THREAD_CPUTIME_ID);
}

// One second of the mix per iteration, rendered on this thread: the CPU time
// per iteration is the share of one core the mix needs.
void BM_MixOneSecond(benchmark::State& state) {
  CScene tmp_Scene(audio::kAudioDeviceManual);
  std::vector<float> tmp_vOut(2 * audiotest::kRate);
  const double tmp_dCpu0 = ThreadCpuSeconds();
  for (auto _ : state) {
    audio::AudioManual_Render(tmp_vOut.data(), audiotest::kRate);
    benchmark::DoNotOptimize(tmp_vOut.data());
  }
  // CPU seconds spent per second of audio, in percent of one core.
  state.counters["core_pct"] =
      100.0 * (ThreadCpuSeconds() - tmp_dCpu0) / static_cast<double>(state.iterations());
  state.counters["bass_cpu_pct"] = tmp_Scene.engine->SFX_GetCPU();
  state.counters["voices"] = kVoices + 1;
}
BENCHMARK(BM_MixOneSecond)->Unit(benchmark::kMillisecond);

// Two seconds of playback through SDL's output while this thread sleeps: the
// library's CPU figure and the process's CPU time over the wall time.
void BM_SdlDeviceTwoSeconds(benchmark::State& state) {
  if (std::getenv("SDL_AUDIODRIVER") == nullptr) ::setenv("SDL_AUDIODRIVER", "dummy", 1);
  CScene tmp_Scene(audio::BASS_DEVICE_DEFAULT);
  if (tmp_Scene.engine->noSoundDevice == 1) {
    state.SkipWithError("no audio device opened");
    return;
  }
  double tmp_dCpu = 0.0, tmp_dWall = 0.0;
  float tmp_fBass = 0.0f;
  for (auto _ : state) {
    const double tmp_dCpu0 = ProcessCpuSeconds();
    const auto tmp_t0 = std::chrono::steady_clock::now();
    std::this_thread::sleep_for(std::chrono::seconds(2));
    const double tmp_dElapsed =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - tmp_t0).count();
    tmp_dCpu += ProcessCpuSeconds() - tmp_dCpu0;
    tmp_dWall += tmp_dElapsed;
    tmp_fBass = tmp_Scene.engine->SFX_GetCPU();
    state.SetIterationTime(tmp_dElapsed);
  }
  state.counters["process_cpu_pct"] = tmp_dWall > 0.0 ? 100.0 * tmp_dCpu / tmp_dWall : 0.0;
  state.counters["bass_cpu_pct"] = tmp_fBass;
  state.counters["all_playing"] =
      tmp_Scene.engine->SFX_MusicGetStatus() == audio::BASS_ACTIVE_PLAYING ? 1 : 0;
}
BENCHMARK(BM_SdlDeviceTwoSeconds)->Iterations(1)->UseManualTime()->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
