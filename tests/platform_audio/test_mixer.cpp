// The mixer rendered into buffers through the manual output: volume, pan
// and levels, the playback maximum, slides and fade-outs, pause, frequency,
// looping, global volumes, 16-bit output, stopping and freeing.
#include <gtest/gtest.h>

#include <cmath>

#include "audio_fixture.h"

using namespace audio;
using namespace audiotest;

namespace {

const std::string& SineWav() {
  static const std::string s = Wav(Sine(441, kRate, 0.5f, 0.5f, 1), 1, kRate);
  return s;
}
const std::string& ShortSineWav() {  // 0.1 s: 4410 frames
  static const std::string s = Wav(Sine(441, kRate, 0.1f, 0.5f, 1), 1, kRate);
  return s;
}

}  // namespace

TEST_F(AudioTest, VolumeAndPanScaleEachSideAndItsLevel) {
  struct Case {
    int volume, pan;
    double left, right;  // gains
  };
  const Case kCases[] = {
      {100, 0, 1, 1},   {50, 0, 0.5, 0.5}, {-1, -101, 1, 1},    {100, -100, 1, 0},
      {100, 100, 0, 1}, {100, 50, 0.5, 1}, {80, -50, 0.8, 0.4}, {150, -300, 1, 0},  // clamped
  };
  const HSAMPLE tmp_hSample = Sample(SineWav());
  ASSERT_NE(tmp_hSample, 0u);
  for (const Case& c : kCases) {
    SCOPED_TRACE("volume " + std::to_string(c.volume) + " pan " + std::to_string(c.pan));
    const HCHANNEL tmp_hChannel = BASS_SamplePlayEx(tmp_hSample, 0, -1, c.volume, c.pan, 0);
    ASSERT_NE(tmp_hChannel, 0u);
    const auto tmp_v = Render(4410);
    EXPECT_NEAR(Rms(tmp_v, 0), kSineRms * c.left, 0.004);
    EXPECT_NEAR(Rms(tmp_v, 1), kSineRms * c.right, 0.004);
    const DWORD tmp_uLevel = BASS_ChannelGetLevel(tmp_hChannel);
    EXPECT_NEAR(double(tmp_uLevel & 0xFFFF), 64 * c.left, 1.0);
    EXPECT_NEAR(double(tmp_uLevel >> 16), 64 * c.right, 1.0);
    EXPECT_TRUE(BASS_ChannelStop(tmp_hChannel));
  }
}

TEST_F(AudioTest, FullSampleCutsOffTheLongestPlaybackOnlyWithOverride) {
  for (const bool tmp_bOverride : {true, false}) {
    SCOPED_TRACE(tmp_bOverride ? "override" : "no override");
    const HSAMPLE tmp_hSample =
        Sample(SineWav(), 2, tmp_bOverride ? BASS_SAMPLE_OVERRIDE_LONGEST : 0);
    const HCHANNEL tmp_hFirst = BASS_SamplePlayEx(tmp_hSample, 0, -1, -1, -101, 0);
    Render(1000);
    const HCHANNEL tmp_hSecond = BASS_SamplePlayEx(tmp_hSample, 0, -1, -1, -101, 0);
    Render(1000);
    ASSERT_NE(tmp_hFirst, 0u);
    ASSERT_NE(tmp_hSecond, 0u);
    const HCHANNEL tmp_hThird = BASS_SamplePlayEx(tmp_hSample, 0, -1, -1, -101, 0);
    if (tmp_bOverride) {
      ASSERT_NE(tmp_hThird, 0u);
      EXPECT_EQ(BASS_ChannelIsActive(tmp_hFirst), BASS_ACTIVE_STOPPED);
      EXPECT_EQ(BASS_ErrorGetCode(), BASS_ERROR_HANDLE);  // the cut playback's handle is dead
      EXPECT_EQ(BASS_ChannelIsActive(tmp_hSecond), BASS_ACTIVE_PLAYING);
      EXPECT_EQ(BASS_ChannelIsActive(tmp_hThird), BASS_ACTIVE_PLAYING);
    } else {
      EXPECT_EQ(tmp_hThird, 0u);
      EXPECT_EQ(BASS_ErrorGetCode(), BASS_ERROR_NOCHAN);
      EXPECT_EQ(BASS_ChannelIsActive(tmp_hFirst), BASS_ACTIVE_PLAYING);
      EXPECT_EQ(BASS_ChannelIsActive(tmp_hSecond), BASS_ACTIVE_PLAYING);
      // A paused playback still counts; one that ended does not.
      EXPECT_TRUE(BASS_ChannelPause(tmp_hFirst));
      EXPECT_EQ(BASS_SamplePlayEx(tmp_hSample, 0, -1, -1, -101, 0), 0u);
      EXPECT_TRUE(BASS_ChannelStop(tmp_hSecond));
      EXPECT_NE(BASS_SamplePlayEx(tmp_hSample, 0, -1, -1, -101, 0), 0u);
    }
    // The sample handle stands for all its playbacks.
    EXPECT_EQ(BASS_ChannelIsActive(tmp_hSample), BASS_ACTIVE_PLAYING);
    EXPECT_TRUE(BASS_SampleStop(tmp_hSample));
    EXPECT_EQ(BASS_ChannelIsActive(tmp_hSample), BASS_ACTIVE_STOPPED);
    BASS_SampleFree(tmp_hSample);
  }
}

TEST_F(AudioTest, FadeOutToMinusTwoStopsTheChannelOnTime) {
  const HSTREAM tmp_hStream = Stream(ShortSineWav());
  ASSERT_NE(tmp_hStream, 0u);
  ASSERT_TRUE(BASS_StreamPlay(tmp_hStream, 1, BASS_PLAY_LOOP));
  Render(1000);
  ASSERT_TRUE(BASS_ChannelSlideAttributes(tmp_hStream, -1, BASS_VOLUME_FADESTOP, -101, 200));
  const auto tmp_vFade = Render(8819);  // 200 ms at 44100 Hz is 8820 frames
  EXPECT_EQ(BASS_ChannelIsActive(tmp_hStream), BASS_ACTIVE_PLAYING);
  EXPECT_GT(Rms(tmp_vFade, 0, 0, 1000), 0.3);
  EXPECT_NEAR(Rms(tmp_vFade, 0, 4000, 4820), kSineRms / 2, 0.03);  // half way down
  EXPECT_LT(Rms(tmp_vFade, 0, 8600), 0.01);
  Render(1);
  EXPECT_EQ(BASS_ChannelIsActive(tmp_hStream), BASS_ACTIVE_STOPPED);
  EXPECT_EQ(BASS_ChannelGetLevel(tmp_hStream), BASS_LEVEL_FAILED);
  EXPECT_EQ(Peak(Render(1000), 0), 0.0f);

  // The fade was a way of stopping: the next play has the volume from before.
  DWORD tmp_uVolume = 0;
  ASSERT_TRUE(BASS_ChannelGetAttributes(tmp_hStream, nullptr, &tmp_uVolume, nullptr));
  EXPECT_EQ(tmp_uVolume, 100u);
  ASSERT_TRUE(BASS_StreamPlay(tmp_hStream, 1, 0));
  EXPECT_NEAR(Rms(Render(2205), 0), kSineRms, 0.004);

  // An ordinary slide ends at its target and the channel plays on.
  ASSERT_TRUE(BASS_ChannelSlideAttributes(tmp_hStream, -1, 50, -101, 20));
  Render(882);
  ASSERT_TRUE(BASS_ChannelGetAttributes(tmp_hStream, nullptr, &tmp_uVolume, nullptr));
  EXPECT_EQ(tmp_uVolume, 50u);
  EXPECT_NEAR(Rms(Render(1000), 0), kSineRms / 2, 0.004);

  // Over 0 ms the fade-out stops at once.
  ASSERT_TRUE(BASS_ChannelSlideAttributes(tmp_hStream, -1, BASS_VOLUME_FADESTOP, -101, 0));
  EXPECT_EQ(BASS_ChannelIsActive(tmp_hStream), BASS_ACTIVE_STOPPED);
}

TEST_F(AudioTest, FadeOutOfASampleHandleEndsAllItsPlaybacks) {
  const HSAMPLE tmp_hSample = Sample(ShortSineWav());
  const HCHANNEL tmp_hA = BASS_SamplePlayEx(tmp_hSample, 0, -1, -1, -101, 1);
  const HCHANNEL tmp_hB = BASS_SamplePlayEx(tmp_hSample, 0, -1, -1, -101, 1);
  ASSERT_NE(tmp_hA, 0u);
  ASSERT_NE(tmp_hB, 0u);
  ASSERT_TRUE(BASS_ChannelSlideAttributes(tmp_hSample, -1, BASS_VOLUME_FADESTOP, -101, 100));
  Render(4000);
  EXPECT_EQ(BASS_ChannelIsActive(tmp_hSample), BASS_ACTIVE_PLAYING);
  Render(410);
  EXPECT_EQ(BASS_ChannelIsActive(tmp_hSample), BASS_ACTIVE_STOPPED);
  EXPECT_EQ(BASS_ChannelIsActive(tmp_hA), BASS_ACTIVE_STOPPED);
  EXPECT_EQ(BASS_ChannelIsActive(tmp_hB), BASS_ACTIVE_STOPPED);
}

TEST_F(AudioTest, PauseKeepsThePositionAndResumeContinues) {
  const HSTREAM tmp_hStream =
      Stream(Wav(Sine(441, kRate, 0.2f, 0.5f, 1), 1, kRate));  // 8820 frames
  ASSERT_TRUE(BASS_StreamPlay(tmp_hStream, 1, 0));
  Render(2205);
  ASSERT_TRUE(BASS_ChannelPause(tmp_hStream));
  EXPECT_TRUE(BASS_ChannelPause(tmp_hStream));  // twice is harmless
  EXPECT_EQ(BASS_ChannelIsActive(tmp_hStream), BASS_ACTIVE_PAUSED);
  EXPECT_EQ(BASS_ChannelGetLevel(tmp_hStream), BASS_LEVEL_FAILED);
  EXPECT_EQ(BASS_ErrorGetCode(), BASS_ERROR_NOPLAY);
  EXPECT_EQ(Peak(Render(4410), 0), 0.0f);

  // The whole output paused: silence, and no time passes for the channels.
  ASSERT_TRUE(BASS_ChannelResume(tmp_hStream));
  ASSERT_TRUE(BASS_Pause());
  EXPECT_EQ(Peak(Render(4410), 0), 0.0f);
  ASSERT_TRUE(BASS_Start());
  EXPECT_EQ(BASS_ChannelIsActive(tmp_hStream), BASS_ACTIVE_PLAYING);
  EXPECT_TRUE(BASS_ChannelResume(tmp_hStream));  // not paused: nothing happens

  const auto tmp_vRest = Render(8820);
  EXPECT_NEAR(double(LastLoud(tmp_vRest)), 8820 - 2205, 60);
  EXPECT_EQ(BASS_ChannelIsActive(tmp_hStream), BASS_ACTIVE_STOPPED);
}

TEST_F(AudioTest, FrequencyChangesPitchAndLength) {
  const HSAMPLE tmp_hSample = Sample(Wav(Sine(441, kRate, 0.2f, 0.5f, 1), 1, kRate));
  HCHANNEL tmp_hChannel = BASS_SamplePlayEx(tmp_hSample, 0, -1, -1, -101, 0);
  EXPECT_NEAR(Crossings(Render(2205), 0), 44, 2);
  ASSERT_TRUE(BASS_ChannelSetAttributes(tmp_hChannel, 88200, -1, -101));
  EXPECT_NEAR(Crossings(Render(2205), 0), 88, 2);
  DWORD tmp_uFreq = 0;
  ASSERT_TRUE(BASS_ChannelSetAttributes(tmp_hChannel, BASS_FREQ_ORIGINAL, -1, -101));
  ASSERT_TRUE(BASS_ChannelGetAttributes(tmp_hChannel, &tmp_uFreq, nullptr, nullptr));
  EXPECT_EQ(tmp_uFreq, kRate);
  BASS_ChannelStop(tmp_hChannel);

  // Twice as fast ends in half the time.
  tmp_hChannel = BASS_SamplePlayEx(tmp_hSample, 0, 88200, -1, -101, 0);
  EXPECT_NEAR(double(LastLoud(Render(8820))), 4410, 60);
  EXPECT_EQ(BASS_ChannelIsActive(tmp_hChannel), BASS_ACTIVE_STOPPED);

  // A frequency slide reaches its target after its time.
  tmp_hChannel = BASS_SamplePlayEx(tmp_hSample, 0, -1, -1, -101, 1);
  ASSERT_TRUE(BASS_ChannelSlideAttributes(tmp_hChannel, 22050, -1, -101, 50));
  Render(2205);
  ASSERT_TRUE(BASS_ChannelGetAttributes(tmp_hChannel, &tmp_uFreq, nullptr, nullptr));
  EXPECT_EQ(tmp_uFreq, 22050u);
  EXPECT_NEAR(Crossings(Render(4410), 0), 44, 3);
}

TEST_F(AudioTest, LoopingSamplesAndStreamsPlayPastTheirEnd) {
  for (const bool tmp_bLoop : {true, false}) {
    SCOPED_TRACE(tmp_bLoop ? "loop" : "once");
    const HSAMPLE tmp_hSample = Sample(ShortSineWav());
    const HSTREAM tmp_hStream = Stream(ShortSineWav());
    const HCHANNEL tmp_hChannel =
        BASS_SamplePlayEx(tmp_hSample, 0, -1, -1, -100, tmp_bLoop);    // left
    ASSERT_TRUE(BASS_ChannelSetAttributes(tmp_hStream, -1, -1, 100));  // right
    ASSERT_TRUE(BASS_StreamPlay(tmp_hStream, 1, tmp_bLoop ? BASS_PLAY_LOOP : 0));
    const auto tmp_v = Render(15435);  // 3.5 times their length
    const DWORD tmp_uState = tmp_bLoop ? BASS_ACTIVE_PLAYING : BASS_ACTIVE_STOPPED;
    EXPECT_EQ(BASS_ChannelIsActive(tmp_hChannel), tmp_uState);
    EXPECT_EQ(BASS_ChannelIsActive(tmp_hStream), tmp_uState);
    EXPECT_NEAR(Rms(tmp_v, 0, 13000), tmp_bLoop ? kSineRms : 0.0, 0.01);
    EXPECT_NEAR(Rms(tmp_v, 1, 13000), tmp_bLoop ? kSineRms : 0.0, 0.01);
    BASS_SampleFree(tmp_hSample);
    BASS_StreamFree(tmp_hStream);
  }
}

TEST_F(AudioTest, GlobalVolumesScaleTheirOwnKind) {
  int tmp_iMusic = 0, tmp_iSample = 0, tmp_iStream = 0;
  ASSERT_TRUE(BASS_SetGlobalVolumes(150, 50, -5));
  ASSERT_TRUE(BASS_SetGlobalVolumes(-1, -1, 100));
  ASSERT_TRUE(BASS_GetGlobalVolumes(&tmp_iMusic, &tmp_iSample, &tmp_iStream));
  EXPECT_EQ(tmp_iMusic, 100);
  EXPECT_EQ(tmp_iSample, 50);
  EXPECT_EQ(tmp_iStream, 100);

  BASS_SamplePlayEx(Sample(SineWav()), 0, -1, -1, -100, 1);  // left
  const HSTREAM tmp_hStream = Stream(SineWav());
  BASS_ChannelSetAttributes(tmp_hStream, -1, -1, 100);  // right
  BASS_StreamPlay(tmp_hStream, 1, BASS_PLAY_LOOP);
  auto tmp_v = Render(4410);
  EXPECT_NEAR(Rms(tmp_v, 0), kSineRms / 2, 0.004);
  EXPECT_NEAR(Rms(tmp_v, 1), kSineRms, 0.004);

  BASS_SetGlobalVolumes(0, 0, 0);
  const HMUSIC tmp_hMusic = Music(Mod(false));
  ASSERT_TRUE(BASS_MusicPlayEx(tmp_hMusic, 0, BASS_PLAY_LOOP, 1));
  EXPECT_EQ(Peak(Render(4410), 0), 0.0f);
  BASS_SetGlobalVolumes(100, 0, 0);
  EXPECT_GT(Rms(Render(4410), 0), 0.05);
}

TEST_F(AudioTest, SixteenBitOutputScalesAndClips) {
  const HSAMPLE tmp_hSample = Sample(Wav(Sine(441, kRate, 0.5f, 0.8f, 1), 1, kRate));
  BASS_SamplePlayEx(tmp_hSample, 0, -1, 62, -101, 0);  // 0.8 * 0.62 is about 0.5
  std::vector<std::int16_t> tmp_v(2 * 4410);
  ASSERT_TRUE(AudioManual_RenderS16(tmp_v.data(), 4410));
  int tmp_iMax = 0;
  for (std::int16_t s : tmp_v) tmp_iMax = std::max(tmp_iMax, std::abs(int(s)));
  EXPECT_NEAR(tmp_iMax, 0.8 * 0.62 * 32767, 80);

  // Two loud playbacks add up past full scale: clipped, never wrapped.
  BASS_SamplePlayEx(tmp_hSample, 0, -1, 100, -101, 0);
  BASS_SamplePlayEx(tmp_hSample, 0, -1, 100, -101, 0);
  ASSERT_TRUE(AudioManual_RenderS16(tmp_v.data(), 4410));
  int tmp_iMin = 0;
  tmp_iMax = 0;
  for (std::int16_t s : tmp_v) {
    tmp_iMax = std::max(tmp_iMax, int(s));
    tmp_iMin = std::min(tmp_iMin, int(s));
  }
  EXPECT_EQ(tmp_iMax, 32767);
  EXPECT_EQ(tmp_iMin, -32767);
}

TEST_F(AudioTest, StopEndsEveryChannelAndFreeEndsTheLibrary) {
  const HSAMPLE tmp_hSample = Sample(SineWav());
  const HCHANNEL tmp_hChannel = BASS_SamplePlayEx(tmp_hSample, 0, -1, -1, -101, 1);
  const HSTREAM tmp_hStream = Stream(SineWav());
  const HMUSIC tmp_hMusic = Music(Mod(false));
  ASSERT_TRUE(BASS_StreamPlay(tmp_hStream, 1, 0));
  ASSERT_TRUE(BASS_MusicPlayEx(tmp_hMusic, 0, 0, 1));
  Render(1000);
  EXPECT_GT(BASS_GetCPU(), -1.0f);
  ASSERT_TRUE(BASS_Stop());
  EXPECT_EQ(BASS_ChannelIsActive(tmp_hChannel), BASS_ACTIVE_STOPPED);
  EXPECT_EQ(BASS_ChannelIsActive(tmp_hStream), BASS_ACTIVE_STOPPED);
  EXPECT_EQ(BASS_ChannelIsActive(tmp_hMusic), BASS_ACTIVE_STOPPED);
  // Stopped handles of streams and modules stay usable.
  ASSERT_TRUE(BASS_Start());
  ASSERT_TRUE(BASS_StreamPlay(tmp_hStream, 1, 0));
  EXPECT_GT(Rms(Render(1000), 0), 0.3);

  BASS_Free();
  EXPECT_EQ(BASS_ErrorGetCode(), BASS_OK);
  EXPECT_EQ(BASS_SamplePlayEx(tmp_hSample, 0, -1, -1, -101, 0), 0u);
  EXPECT_EQ(BASS_ErrorGetCode(), BASS_ERROR_INIT);
  EXPECT_FALSE(BASS_Start());
  EXPECT_FALSE(AudioManual_Render(std::vector<float>(2).data(), 1));
  // Open again: the old handles mean nothing to the new library.
  ASSERT_TRUE(BASS_Init(kAudioDeviceManual, kRate, 0, nullptr));
  EXPECT_EQ(BASS_ChannelIsActive(tmp_hStream), BASS_ACTIVE_STOPPED);
  EXPECT_EQ(BASS_ErrorGetCode(), BASS_ERROR_HANDLE);
}

TEST_F(AudioTest, CpuUsageIsTheShareOfRealTimeSpentMixing) {
  EXPECT_EQ(BASS_GetCPU(), 0.0f);
  ASSERT_TRUE(BASS_MusicPlayEx(Music(Mod(false)), 0, BASS_PLAY_LOOP, 1));
  BASS_SamplePlayEx(Sample(SineWav()), 0, 30000, -1, -101, 1);
  for (int i = 0; i < 40; ++i) Render(1024);  // about a second of audio
  const float tmp_fCpu = BASS_GetCPU();
  EXPECT_GT(tmp_fCpu, 0.0f);
  EXPECT_LT(tmp_fCpu, 100.0f);
}
