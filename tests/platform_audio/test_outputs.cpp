// The real outputs: the silent device keeps real time, SDL's dummy driver
// plays, an unusable driver fails so the caller can fall back to the silent
// device, and SDL's disk driver writes what was played to a file we read.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <cstring>
#include <thread>

#include "Platform/audio/audio.h"
#include "audio_test_data.h"
#include "test_support.h"

using namespace audio;
using namespace audiotest;

namespace {

using Clock = std::chrono::steady_clock;

class OutputTest : public m2dtest::TempDirTest {
 protected:
  void TearDown() override {
    BASS_Free();
    m2dtest::TempDirTest::TearDown();
  }
  HSAMPLE LoadSine(float fp_fSeconds) {
    const std::string tmp_strPath = Dir() + "/sine" + std::to_string(m_iFiles++) + ".wav";
    m2dtest::WriteFile(tmp_strPath, Wav(Sine(441, kRate, fp_fSeconds, 0.5f, 1), 1, kRate));
    return BASS_SampleLoad(0, tmp_strPath.c_str(), 0, 0, 4, BASS_SAMPLE_OVERRIDE_LONGEST);
  }
  HSTREAM LoadSineStream(float fp_fSeconds) {
    const std::string tmp_strPath = Dir() + "/stream" + std::to_string(m_iFiles++) + ".wav";
    m2dtest::WriteFile(tmp_strPath, Wav(Sine(441, kRate, fp_fSeconds, 0.5f, 1), 1, kRate));
    return BASS_StreamCreateFile(0, tmp_strPath.c_str(), 0, 0, BASS_STREAM_EXACTSEEK);
  }
  // Seconds until the channel stops, polled; a large value when it does not
  // within fp_dLimit.
  static double SecondsUntilStopped(DWORD fp_hChannel, double fp_dLimit = 3.0) {
    const auto tmp_tStart = Clock::now();
    for (;;) {
      const double tmp_dElapsed = std::chrono::duration<double>(Clock::now() - tmp_tStart).count();
      if (BASS_ChannelIsActive(fp_hChannel) == BASS_ACTIVE_STOPPED) return tmp_dElapsed;
      if (tmp_dElapsed > fp_dLimit) return 1e9;
      std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
  }

 private:
  int m_iFiles = 0;
};

}  // namespace

TEST_F(OutputTest, SilentDeviceLetsSoundsEndAndFadesFinishInRealTime) {
  ASSERT_TRUE(BASS_Init(BASS_DEVICE_SILENT, kRate, BASS_DEVICE_KEEPVOLUME, nullptr));
  ASSERT_TRUE(BASS_Start());
  const HCHANNEL tmp_hChannel = BASS_SamplePlayEx(LoadSine(0.3f), 0, -1, -1, -101, 0);
  ASSERT_NE(tmp_hChannel, 0u);
  const double tmp_dSample = SecondsUntilStopped(tmp_hChannel);
  EXPECT_GT(tmp_dSample, 0.2);
  EXPECT_LT(tmp_dSample, 1.5);

  const HSTREAM tmp_hStream = LoadSineStream(0.1f);
  ASSERT_TRUE(BASS_StreamPlay(tmp_hStream, 1, BASS_PLAY_LOOP));
  ASSERT_TRUE(BASS_ChannelSlideAttributes(tmp_hStream, -1, BASS_VOLUME_FADESTOP, -101, 300));
  const double tmp_dFade = SecondsUntilStopped(tmp_hStream);
  EXPECT_GT(tmp_dFade, 0.2);
  EXPECT_LT(tmp_dFade, 1.5);

  // While the output is paused no time passes for the channels.
  ASSERT_TRUE(BASS_StreamPlay(tmp_hStream, 1, 0));
  ASSERT_TRUE(BASS_Pause());
  std::this_thread::sleep_for(std::chrono::milliseconds(300));
  EXPECT_EQ(BASS_ChannelIsActive(tmp_hStream), BASS_ACTIVE_PLAYING);
  ASSERT_TRUE(BASS_Start());
  EXPECT_LT(SecondsUntilStopped(tmp_hStream), 1.5);
  EXPECT_GE(BASS_GetCPU(), 0.0f);
}

TEST_F(OutputTest, DefaultDeviceOpensSdlAndPlaysInRealTime) {
  // CTest runs every test with SDL's dummy driver: a device that discards.
  ASSERT_TRUE(BASS_Init(BASS_DEVICE_DEFAULT, kRate, BASS_DEVICE_KEEPVOLUME, nullptr))
      << BASS_ErrorGetCode();
  ASSERT_TRUE(BASS_Start());
  const HCHANNEL tmp_hChannel = BASS_SamplePlayEx(LoadSine(0.3f), 0, -1, -1, -101, 0);
  const double tmp_dSample = SecondsUntilStopped(tmp_hChannel);
  EXPECT_GT(tmp_dSample, 0.2);
  EXPECT_LT(tmp_dSample, 2.0);
  BASS_Free();
  EXPECT_FALSE(BASS_Init(999, kRate, 0, nullptr));
  EXPECT_EQ(BASS_ErrorGetCode(), BASS_ERROR_DEVICE);
}

TEST_F(OutputTest, UnusableDriverFailsAndTheSilentDeviceStillOpens) {
  ::setenv("SDL_AUDIODRIVER", "m2d_no_such_driver", 1);
  EXPECT_FALSE(BASS_Init(BASS_DEVICE_DEFAULT, kRate, BASS_DEVICE_KEEPVOLUME, nullptr));
  EXPECT_EQ(BASS_ErrorGetCode(), BASS_ERROR_DRIVER);
  EXPECT_FALSE(BASS_Start());
  EXPECT_EQ(BASS_ErrorGetCode(), BASS_ERROR_INIT);
  ASSERT_TRUE(BASS_Init(BASS_DEVICE_SILENT, kRate, BASS_DEVICE_KEEPVOLUME, nullptr));
  ASSERT_TRUE(BASS_Start());
  EXPECT_NE(BASS_SamplePlayEx(LoadSine(0.1f), 0, -1, -1, -101, 0), 0u);
}

TEST_F(OutputTest, DiskDriverWritesThePlayedSound) {
  const std::string tmp_strOut = Dir() + "/played.raw";
  ::setenv("SDL_AUDIODRIVER", "disk", 1);
  ::setenv("SDL_DISKAUDIOFILE", tmp_strOut.c_str(), 1);
  ASSERT_TRUE(BASS_Init(BASS_DEVICE_DEFAULT, kRate, BASS_DEVICE_KEEPVOLUME, nullptr))
      << BASS_ErrorGetCode();
  ASSERT_TRUE(BASS_Start());
  const HCHANNEL tmp_hChannel = BASS_SamplePlayEx(LoadSine(0.3f), 0, -1, -1, 100, 0);  // right only
  ASSERT_NE(tmp_hChannel, 0u);
  EXPECT_LT(SecondsUntilStopped(tmp_hChannel), 2.0);
  std::this_thread::sleep_for(std::chrono::milliseconds(100));
  BASS_Free();

  // The file holds what the device was given: stereo float frames.
  const std::string tmp_strRaw = m2dtest::ReadFile(tmp_strOut);
  ASSERT_GT(tmp_strRaw.size(), 8u * 13230);
  std::vector<float> tmp_vFrames(tmp_strRaw.size() / sizeof(float) / 2 * 2);
  std::memcpy(tmp_vFrames.data(), tmp_strRaw.data(), tmp_vFrames.size() * sizeof(float));
  EXPECT_EQ(Peak(tmp_vFrames, 0), 0.0f);
  EXPECT_NEAR(Peak(tmp_vFrames, 1), 0.5f, 0.01f);
  // 0.3 s of a 441 Hz sine: 264 sign changes, around silence.
  EXPECT_NEAR(Crossings(tmp_vFrames, 1), 264, 6);
}
