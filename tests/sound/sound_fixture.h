// The fixture of the sound subsystem tests: an engine with a headless game
// window, a stand-in graphics device, the resource subsystem over a DATA
// folder the test writes, and the sound subsystem on the library's manual
// output, so each test advances the mix frame by frame itself.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "Platform/audio/audio.h"
#include "Platform/audio/audio_manual.h"
#include "Platform/os/os.h"
#include "Platform/os/os_backend.h"
#include "audio_test_data.h"
#include "cmorvane.h"
#include "cmorvane_sfx_classes.h"
#include "cmorvane_sfx_playlists.h"
#include "mrv_window.h"
#include "test_support.h"

namespace soundtest {

// One frame of the game: 20 ms of audio at 44100 Hz.
constexpr std::uint32_t kFrameSamples = 882;

// One resource of a descriptor.
struct SRes {
  std::string id, type, file;
  int tag = 1;
  int data1 = 0, data2 = 0, data3 = 0;
};

// A descriptor listing the resources, their files written beside it.
inline void WriteRespack(const std::vector<SRes>& fp_vRes) {
  std::string tmp_strXml = "<respack>\n";
  for (const SRes& r : fp_vRes) {
    tmp_strXml += "  <res id=\"" + r.id + "\" typeid=\"" + r.type + "\" filename=\"" + r.file +
                  "\" tag=\"" + std::to_string(r.tag) + "\" data1=\"" + std::to_string(r.data1) +
                  "\" data2=\"" + std::to_string(r.data2) + "\" data3=\"" +
                  std::to_string(r.data3) + "\"/>\n";
  }
  tmp_strXml += "</respack>\n";
  m2dtest::WriteFile("DATA/res.xml", tmp_strXml);
}

// A mono 441 Hz sine at amplitude 0.5.
inline std::string SineWav(float fp_fSeconds) {
  return audiotest::Wav(audiotest::Sine(441, audiotest::kRate, fp_fSeconds, 0.5f, 1), 1,
                        audiotest::kRate);
}

// A stand-in for the graphics device: the sound subsystem only asks whether
// one exists and never touches it.
inline gfx::IDirect3DDevice8* FakeDevice() {
  static int s_iDevice = 0;
  return reinterpret_cast<gfx::IDirect3DDevice8*>(&s_iDevice);
}

class SoundTest : public m2dtest::TempDirTest {
 protected:
  void SetUp() override {
    m2dtest::TempDirTest::SetUp();
    os::SelectBackendForTests(os::Backend::Headless);
    m2dtest::WriteFile("DATA/.keep", "");
  }
  void TearDown() override {
    engine.reset();
    g_bAppActive = 0;
    m2dtest::TempDirTest::TearDown();
  }

  // The engine with its window and (when fp_bDevice) a graphics device,
  // resources started over ./DATA/ as the test wrote it.
  void StartEngine(bool fp_bDevice = true) {
    engine = std::make_unique<CMorvane>();
    engine->Start("Sound test", "1");
    CreateGameWindow(&engine->hWnd, 800, 600, 1);
    if (fp_bDevice) engine->pD3DDevice = FakeDevice();
    engine->RES_Init();
  }
  // Starts sound on fp_iDevice (the manual output unless told otherwise).
  void StartSound(int fp_iDevice = audio::kAudioDeviceManual) {
    engine->sfxOutputDevice = fp_iDevice;
    engine->SFX_Init(44100);
    // Nothing past this point may reach the stand-in.
    engine->pD3DDevice = nullptr;
  }
  void Start(int fp_iDevice = audio::kAudioDeviceManual) {
    StartEngine();
    StartSound(fp_iDevice);
  }

  // One frame: the mix advances by 20 ms, then the engine's frame update.
  std::vector<float> Frame() {
    std::vector<float> tmp_v = audiotest::Render(kFrameSamples);
    EXPECT_EQ(engine->UpdateAllSystems(), 1);
    return tmp_v;
  }
  // fp_iCount frames; the mixed audio of all of them.
  std::vector<float> Frames(int fp_iCount) {
    std::vector<float> tmp_vAll;
    for (int i = 0; i < fp_iCount; ++i) {
      const std::vector<float> tmp_v = Frame();
      tmp_vAll.insert(tmp_vAll.end(), tmp_v.begin(), tmp_v.end());
    }
    return tmp_vAll;
  }

  M2DMusic* Music(int fp_iID) const { return engine->musicManager->GetItem(fp_iID); }
  M2DSound* Sound(int fp_iID) const { return engine->soundsManager->GetItem(fp_iID); }

  // The log lines from the first one equal to fp_strFrom on.
  static std::vector<std::string> LogFrom(const std::string& fp_strFrom) {
    const std::vector<std::string> tmp_v = m2dtest::ReadLines("gamelog.txt");
    for (std::size_t i = 0; i < tmp_v.size(); ++i)
      if (tmp_v[i] == fp_strFrom) return {tmp_v.begin() + static_cast<long>(i), tmp_v.end()};
    return {};
  }
  static int CountLog(const std::string& fp_strLine) {
    int tmp_iCount = 0;
    for (const std::string& l : m2dtest::ReadLines("gamelog.txt")) tmp_iCount += l == fp_strLine;
    return tmp_iCount;
  }

  std::unique_ptr<CMorvane> engine;
};

// Runs fp_fn and returns the engine exception it throws (a failed test when
// it throws nothing or something else).
template <class F>
CEHSException Thrown(F&& fp_fn) {
  try {
    fp_fn();
  } catch (const CEHSException& e) {
    return e;
  } catch (const char* s) {
    ADD_FAILURE() << "plain text exception: " << s;
    return CEHSException(0, 0, s, "", 0);
  }
  ADD_FAILURE() << "nothing thrown";
  return CEHSException(0, 0, "", "", 0);
}

}  // namespace soundtest
