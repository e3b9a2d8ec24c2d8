// The fixture of the mixer tests: a temporary folder and the library opened
// on the manual output, so each test renders the mix itself.
#pragma once

#include <string>

#include "Platform/audio/audio.h"
#include "Platform/audio/audio_manual.h"
#include "audio_test_data.h"
#include "test_support.h"

namespace audiotest {

class AudioTest : public m2dtest::TempDirTest {
 protected:
  void SetUp() override {
    m2dtest::TempDirTest::SetUp();
    ASSERT_TRUE(
        audio::BASS_Init(audio::kAudioDeviceManual, kRate, audio::BASS_DEVICE_KEEPVOLUME, nullptr));
    ASSERT_TRUE(audio::BASS_Start());
  }
  void TearDown() override {
    audio::BASS_Free();
    m2dtest::TempDirTest::TearDown();
  }

  // Writes fp_strBytes to a new file of the temporary folder; returns its path.
  std::string Put(const std::string& fp_strBytes) {
    const std::string tmp_strPath = Dir() + "/file" + std::to_string(m_iFiles++) + ".bin";
    m2dtest::WriteFile(tmp_strPath, fp_strBytes);
    return tmp_strPath;
  }
  audio::HSAMPLE Sample(const std::string& fp_strBytes, audio::DWORD fp_uMax = 8,
                        audio::DWORD fp_uFlags = audio::BASS_SAMPLE_OVERRIDE_LONGEST) {
    return audio::BASS_SampleLoad(0, Put(fp_strBytes).c_str(), 0, 0, fp_uMax, fp_uFlags);
  }
  audio::HSTREAM Stream(const std::string& fp_strBytes) {
    return audio::BASS_StreamCreateFile(0, Put(fp_strBytes).c_str(), 0, 0,
                                        audio::BASS_STREAM_EXACTSEEK);
  }
  audio::HMUSIC Music(const std::string& fp_strBytes) {
    return audio::BASS_MusicLoad(0, Put(fp_strBytes).c_str(), 0, 0, 0);
  }

 private:
  int m_iFiles = 0;
};

// RMS of a full-scale sine of amplitude 0.5.
constexpr double kSineRms = 0.35355;

}  // namespace audiotest
