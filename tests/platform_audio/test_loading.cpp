// Samples, streams and modules read from regions of bigger files (as from a
// resource pack), in WAV, FLAC and OGG; bad data, damaged files and bad
// handles failing with their error code.
#include <gtest/gtest.h>
#include <sndfile.h>

#include <cmath>
#include <functional>

#include "audio_fixture.h"

using namespace audio;
using namespace audiotest;

#ifdef M2D_SANITIZE
// The sound-file library's Vorbis reader leaks its codec set-up when a
// damaged OGG file fails to open; that memory is the library's, not ours.
extern "C" const char* __lsan_default_suppressions() {
  return "leak:vorbis_info_init\n";
}
#endif

namespace {

// A pack: junk, the payload, junk. Returns the payload's offset.
std::string Pack(const std::string& fp_strPayload, DWORD* fp_pOffset, bool fp_bJunkAfter = true) {
  const std::string tmp_strHead = Junk(1000, 1);
  *fp_pOffset = static_cast<DWORD>(tmp_strHead.size());
  return tmp_strHead + fp_strPayload + (fp_bJunkAfter ? Junk(777, 2) : std::string());
}

}  // namespace

TEST_F(AudioTest, StreamsAndSamplesPlayFromTheMiddleOfAPack) {
  // Stereo at 22050 Hz: the mixer converts to the output's 44100 Hz.
  const std::vector<float> tmp_vSine = Sine(441, 22050, 0.2f, 0.5f, 2);
  struct Case {
    const char* name;
    int format;
  };
  const Case kCases[] = {{"wav", SF_FORMAT_WAV | SF_FORMAT_PCM_16},
                         {"flac", SF_FORMAT_FLAC | SF_FORMAT_PCM_16},
                         {"ogg", SF_FORMAT_OGG | SF_FORMAT_VORBIS}};
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.name);
    const std::string tmp_strSound = EncodeSound(tmp_vSine, 2, 22050, c.format);
    DWORD tmp_uOffset = 0;
    const std::string tmp_strPath = Put(Pack(tmp_strSound, &tmp_uOffset));
    const auto tmp_uLength = static_cast<DWORD>(tmp_strSound.size());

    const HSTREAM tmp_hStream = BASS_StreamCreateFile(0, tmp_strPath.c_str(), tmp_uOffset,
                                                      tmp_uLength, BASS_STREAM_EXACTSEEK);
    ASSERT_NE(tmp_hStream, 0u) << BASS_ErrorGetCode();
    DWORD tmp_uFreq = 0;
    ASSERT_TRUE(BASS_ChannelGetAttributes(tmp_hStream, &tmp_uFreq, nullptr, nullptr));
    EXPECT_EQ(tmp_uFreq, 22050u);
    ASSERT_TRUE(BASS_StreamPlay(tmp_hStream, 1, 0));
    const auto tmp_vStream = Render(13230);
    EXPECT_NEAR(Rms(tmp_vStream, 0, 0, 4410), kSineRms, 0.01);
    EXPECT_NEAR(Rms(tmp_vStream, 1, 0, 4410), kSineRms, 0.01);
    EXPECT_NEAR(Crossings(std::vector<float>(tmp_vStream.begin(), tmp_vStream.begin() + 8820), 0),
                88, 2);
    EXPECT_NEAR(double(LastLoud(tmp_vStream)), 8820, 60);  // 0.2 s at the output's rate
    EXPECT_EQ(BASS_ChannelIsActive(tmp_hStream), BASS_ACTIVE_STOPPED);
    // Played again after its end, it starts over.
    ASSERT_TRUE(BASS_StreamPlay(tmp_hStream, 0, 0));
    EXPECT_NEAR(Rms(Render(4410), 0), kSineRms, 0.01);
    BASS_StreamFree(tmp_hStream);
    EXPECT_EQ(BASS_ChannelIsActive(tmp_hStream), BASS_ACTIVE_STOPPED);
    EXPECT_EQ(BASS_ErrorGetCode(), BASS_ERROR_HANDLE);

    const HSAMPLE tmp_hSample =
        BASS_SampleLoad(0, tmp_strPath.c_str(), tmp_uOffset, tmp_uLength, 1, 0);
    ASSERT_NE(tmp_hSample, 0u) << BASS_ErrorGetCode();
    ASSERT_NE(BASS_SamplePlayEx(tmp_hSample, 0, -1, -1, -101, 0), 0u);
    const auto tmp_vSample = Render(13230);
    EXPECT_NEAR(Rms(tmp_vSample, 1, 0, 4410), kSineRms, 0.01);
    EXPECT_NEAR(double(LastLoud(tmp_vSample)), 8820, 60);
    BASS_SampleFree(tmp_hSample);
  }
}

TEST_F(AudioTest, RegionOfLengthZeroRunsToTheEndAndMemoryRegionsWork) {
  const std::string tmp_strWav = Wav(Sine(441, kRate, 0.1f, 0.5f, 1), 1, kRate);
  DWORD tmp_uOffset = 0;
  const std::string tmp_strPack = Pack(tmp_strWav, &tmp_uOffset, false);
  const std::string tmp_strPath = Put(tmp_strPack);
  const HSAMPLE tmp_hFile = BASS_SampleLoad(0, tmp_strPath.c_str(), tmp_uOffset, 0, 1, 0);
  ASSERT_NE(tmp_hFile, 0u) << BASS_ErrorGetCode();
  const HSAMPLE tmp_hMem = BASS_SampleLoad(1, tmp_strPack.data(), tmp_uOffset,
                                           static_cast<DWORD>(tmp_strWav.size()), 1, 0);
  ASSERT_NE(tmp_hMem, 0u) << BASS_ErrorGetCode();
  for (const HSAMPLE h : {tmp_hFile, tmp_hMem}) {
    BASS_SamplePlayEx(h, 0, -1, -1, -101, 0);
    const auto tmp_v = Render(8820);
    EXPECT_NEAR(Rms(tmp_v, 0, 0, 4410), kSineRms, 0.004);
    EXPECT_NEAR(double(LastLoud(tmp_v)), 4410, 60);
  }
}

TEST_F(AudioTest, ModulesPlayFromTheMiddleOfAPack) {
  const std::string tmp_strMod = Mod(false);
  DWORD tmp_uOffset = 0;
  const std::string tmp_strPath = Put(Pack(tmp_strMod, &tmp_uOffset));
  const HMUSIC tmp_hMusic =
      BASS_MusicLoad(0, tmp_strPath.c_str(), tmp_uOffset, static_cast<DWORD>(tmp_strMod.size()), 0);
  ASSERT_NE(tmp_hMusic, 0u) << BASS_ErrorGetCode();
  EXPECT_EQ(BASS_ChannelIsActive(tmp_hMusic), BASS_ACTIVE_STOPPED);
  ASSERT_TRUE(BASS_MusicPlayEx(tmp_hMusic, 0, 0, 1));
  const auto tmp_v = Render(8820);
  EXPECT_GT(Rms(tmp_v, 0), 0.05);  // channel 1 is on the left,
  EXPECT_GT(Rms(tmp_v, 1), 0.05);  // channel 2 on the right
  EXPECT_GT(Crossings(tmp_v, 0), 20);
  const DWORD tmp_uLevel = BASS_ChannelGetLevel(tmp_hMusic);
  EXPECT_GT(tmp_uLevel & 0xFFFF, 5u);
  EXPECT_GT(tmp_uLevel >> 16, 5u);
  EXPECT_EQ(BASS_ChannelIsActive(tmp_hMusic), BASS_ACTIVE_PLAYING);

  // How the engine ends a preloaded piece and starts it again: a fade to -2,
  // then play with reset and slide back to full volume over 100 ms.
  ASSERT_TRUE(BASS_ChannelSlideAttributes(tmp_hMusic, -1, BASS_VOLUME_FADESTOP, -101, 100));
  Render(4410);
  EXPECT_EQ(BASS_ChannelIsActive(tmp_hMusic), BASS_ACTIVE_STOPPED);
  ASSERT_TRUE(BASS_MusicPlayEx(tmp_hMusic, 0, BASS_PLAY_LOOP, 1));
  ASSERT_TRUE(BASS_ChannelSlideAttributes(tmp_hMusic, BASS_FREQ_ORIGINAL, 100, -101, 100));
  EXPECT_GT(Rms(Render(4410), 0), 0.05);
  DWORD tmp_uFreq = 0, tmp_uVolume = 0;
  ASSERT_TRUE(BASS_ChannelGetAttributes(tmp_hMusic, &tmp_uFreq, &tmp_uVolume, nullptr));
  EXPECT_EQ(tmp_uFreq, kRate);
  EXPECT_EQ(tmp_uVolume, 100u);
  BASS_MusicFree(tmp_hMusic);
  EXPECT_FALSE(BASS_MusicPlayEx(tmp_hMusic, 0, 0, 1));
}

TEST_F(AudioTest, ModulesEndUnlessLooped) {
  const HMUSIC tmp_hMusic = Music(Mod(true));  // about 0.24 s
  ASSERT_NE(tmp_hMusic, 0u) << BASS_ErrorGetCode();
  for (const bool tmp_bLoop : {false, true}) {
    SCOPED_TRACE(tmp_bLoop ? "loop" : "once");
    ASSERT_TRUE(BASS_MusicPlayEx(tmp_hMusic, 0, tmp_bLoop ? int(BASS_PLAY_LOOP) : 0, 1));
    const auto tmp_v = Render(44100);
    EXPECT_EQ(BASS_ChannelIsActive(tmp_hMusic),
              tmp_bLoop ? BASS_ACTIVE_PLAYING : BASS_ACTIVE_STOPPED);
    EXPECT_GT(Rms(tmp_v, 0, 0, 8820), 0.05);
    if (tmp_bLoop)
      EXPECT_GT(Rms(tmp_v, 0, 39690), 0.05);
    else
      EXPECT_LT(LastLoud(tmp_v), 22050);
  }
  // A position outside the song is refused.
  EXPECT_FALSE(BASS_MusicPlayEx(tmp_hMusic, 5, 0, 1));
  EXPECT_EQ(BASS_ErrorGetCode(), BASS_ERROR_POSITION);
}

TEST_F(AudioTest, BadDataFailsWithItsCode) {
  const std::string tmp_strWav = Wav(Sine(441, kRate, 0.1f, 0.5f, 1), 1, kRate);
  const std::string tmp_strMod = Mod(true);
  const auto tmp_uWav = static_cast<DWORD>(tmp_strWav.size());
  struct Case {
    const char* name;
    std::string bytes;
    DWORD offset, length;
    int sample, stream, music;  // expected codes, BASS_OK: it loads
  };
  const Case kCases[] = {
      {"text", std::string(400, 'x') + "not a sound at all", 0, 0, BASS_ERROR_FORMAT,
       BASS_ERROR_FORMAT, BASS_ERROR_FORMAT},
      {"junk", Junk(5000, 7), 0, 0, BASS_ERROR_FORMAT, BASS_ERROR_FORMAT, BASS_ERROR_FORMAT},
      {"truncated header", tmp_strWav.substr(0, 30), 0, 0, BASS_ERROR_FORMAT, BASS_ERROR_FORMAT,
       BASS_ERROR_FORMAT},
      {"header only", tmp_strWav.substr(0, 44), 0, 0, BASS_ERROR_FORMAT, BASS_ERROR_FORMAT,
       BASS_ERROR_FORMAT},
      {"empty file", "", 0, 0, BASS_ERROR_POSITION, BASS_ERROR_POSITION, BASS_ERROR_POSITION},
      {"offset past the end", tmp_strWav, tmp_uWav + 10, 0, BASS_ERROR_POSITION,
       BASS_ERROR_POSITION, BASS_ERROR_POSITION},
      {"offset at the end", tmp_strWav, tmp_uWav, 0, BASS_ERROR_POSITION, BASS_ERROR_POSITION,
       BASS_ERROR_POSITION},
      {"region past the end", tmp_strWav, 10, tmp_uWav, BASS_ERROR_POSITION, BASS_ERROR_POSITION,
       BASS_ERROR_POSITION},
      {"region beyond 4 GB", tmp_strWav, 0xFFFFFFF0u, 0x100u, BASS_ERROR_POSITION,
       BASS_ERROR_POSITION, BASS_ERROR_POSITION},
      {"a sound is no module", tmp_strWav, 0, 0, BASS_OK, BASS_OK, BASS_ERROR_FORMAT},
      {"a module is no sound", tmp_strMod, 0, 0, BASS_ERROR_FORMAT, BASS_ERROR_FORMAT, BASS_OK},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.name);
    const std::string tmp_strPath = Put(c.bytes);
    const char* p = tmp_strPath.c_str();
    const DWORD tmp_hSample = BASS_SampleLoad(0, p, c.offset, c.length, 1, 0);
    EXPECT_EQ(BASS_ErrorGetCode(), c.sample);
    EXPECT_EQ(tmp_hSample != 0, c.sample == BASS_OK);
    const DWORD tmp_hStream =
        BASS_StreamCreateFile(0, p, c.offset, c.length, BASS_STREAM_EXACTSEEK);
    EXPECT_EQ(BASS_ErrorGetCode(), c.stream);
    EXPECT_EQ(tmp_hStream != 0, c.stream == BASS_OK);
    const DWORD tmp_hMusic = BASS_MusicLoad(0, p, c.offset, c.length, 0);
    EXPECT_EQ(BASS_ErrorGetCode(), c.music);
    EXPECT_EQ(tmp_hMusic != 0, c.music == BASS_OK);
  }
  const std::string tmp_strMissing = Dir() + "/no such file.wav";
  EXPECT_EQ(BASS_SampleLoad(0, tmp_strMissing.c_str(), 0, 0, 1, 0), 0u);
  EXPECT_EQ(BASS_ErrorGetCode(), BASS_ERROR_FILEOPEN);
  EXPECT_EQ(BASS_StreamCreateFile(0, Dir().c_str(), 0, 0, 0), 0u);  // a folder is no file
  EXPECT_EQ(BASS_ErrorGetCode(), BASS_ERROR_FILEOPEN);
  EXPECT_EQ(BASS_MusicLoad(0, nullptr, 0, 0, 0), 0u);
  EXPECT_EQ(BASS_ErrorGetCode(), BASS_ERROR_ILLPARAM);
  EXPECT_EQ(BASS_SampleLoad(1, tmp_strWav.data(), 0, 0, 1, 0), 0u);  // memory needs a length
  EXPECT_EQ(BASS_ErrorGetCode(), BASS_ERROR_ILLPARAM);
}

TEST_F(AudioTest, DamagedFilesFailOrPlayButNeverCrash) {
  const std::string kOriginals[] = {
      Wav(Sine(441, kRate, 0.05f, 0.5f, 2), 2, kRate),
      EncodeSound(Sine(441, kRate, 0.05f, 0.5f, 1), 1, kRate, SF_FORMAT_FLAC | SF_FORMAT_PCM_16),
      EncodeSound(Sine(441, kRate, 0.05f, 0.5f, 1), 1, kRate, SF_FORMAT_OGG | SF_FORMAT_VORBIS),
      Mod(true),
      // Float data that is not a number at all.
      EncodeSound({0.5f, NAN, INFINITY, -INFINITY, 1e30f, -0.5f, 0.25f, NAN}, 1, kRate,
                  SF_FORMAT_WAV | SF_FORMAT_FLOAT)};
  std::vector<std::string> tmp_vDamaged;
  for (const std::string& tmp_strOriginal : kOriginals) {
    tmp_vDamaged.push_back(tmp_strOriginal);
    for (std::size_t tmp_uCut :
         {std::size_t(12), std::size_t(50), tmp_strOriginal.size() / 2, tmp_strOriginal.size() - 1})
      tmp_vDamaged.push_back(tmp_strOriginal.substr(0, tmp_uCut));
    for (unsigned tmp_uSeed = 0; tmp_uSeed < 24; ++tmp_uSeed) {
      std::string tmp_str = tmp_strOriginal;
      const std::string tmp_strNoise = Junk(8, tmp_uSeed);
      // Header fields first (sizes, counts, rates), then anywhere.
      const std::size_t tmp_uAt =
          (tmp_uSeed < 16 ? tmp_uSeed * 4 : (tmp_uSeed * 7919u) % tmp_str.size()) %
          (tmp_str.size() - 8);
      tmp_str.replace(tmp_uAt, 8, tmp_strNoise);
      tmp_vDamaged.push_back(tmp_str);
    }
  }
  for (const std::string& tmp_strBytes : tmp_vDamaged) {
    const std::string tmp_strPath = Put(tmp_strBytes);
    const HSAMPLE tmp_hSample = BASS_SampleLoad(0, tmp_strPath.c_str(), 0, 0, 1, 0);
    const HSTREAM tmp_hStream = BASS_StreamCreateFile(0, tmp_strPath.c_str(), 0, 0, 0);
    const HMUSIC tmp_hMusic = BASS_MusicLoad(0, tmp_strPath.c_str(), 0, 0, 0);
    if (tmp_hSample == 0 && tmp_hStream == 0 && tmp_hMusic == 0) {
      EXPECT_NE(BASS_ErrorGetCode(), BASS_OK);
      continue;
    }
    if (tmp_hSample != 0) BASS_SamplePlayEx(tmp_hSample, 0, -1, -1, -101, 0);
    if (tmp_hStream != 0) BASS_StreamPlay(tmp_hStream, 1, BASS_PLAY_LOOP);
    if (tmp_hMusic != 0) BASS_MusicPlayEx(tmp_hMusic, 0, 0, 1);
    for (float s : Render(4410)) ASSERT_TRUE(std::isfinite(s) && s >= -1.0f && s <= 1.0f);
    BASS_SampleFree(tmp_hSample);
    BASS_StreamFree(tmp_hStream);
    BASS_MusicFree(tmp_hMusic);
  }
}

TEST_F(AudioTest, HandlesAndLibraryStateAreChecked) {
  const HSAMPLE tmp_hSample = Sample(Wav(Sine(441, kRate, 0.1f, 0.5f, 1), 1, kRate));
  const HSTREAM tmp_hStream = Stream(Wav(Sine(441, kRate, 0.1f, 0.5f, 1), 1, kRate));
  ASSERT_NE(tmp_hSample, 0u);
  ASSERT_NE(tmp_hStream, 0u);
  const std::function<bool()> kBadCalls[] = {
      [] { return BASS_SamplePlayEx(0, 0, -1, -1, -101, 0) != 0; },
      [&] { return BASS_SamplePlayEx(tmp_hStream, 0, -1, -1, -101, 0) != 0; },
      [&] { return BASS_StreamPlay(tmp_hSample, 1, 0) != 0; },
      [&] { return BASS_MusicPlayEx(tmp_hStream, 0, 0, 1) != 0; },
      [&] { return BASS_SampleStop(tmp_hStream) != 0; },
      [] { return BASS_ChannelStop(0) != 0; },
      [] { return BASS_ChannelPause(0x12345678) != 0; },
      [] { return BASS_ChannelResume(0xFFFFFFFF) != 0; },
      [] { return BASS_ChannelSetAttributes(0, 44100, 100, 0) != 0; },
      [] { return BASS_ChannelSlideAttributes(0x20000000, -1, -2, -101, 100) != 0; },
      [] { return BASS_ChannelGetLevel(0) != BASS_LEVEL_FAILED; },
  };
  for (const auto& tmp_fnCall : kBadCalls) {
    EXPECT_FALSE(tmp_fnCall());
    EXPECT_EQ(BASS_ErrorGetCode(), BASS_ERROR_HANDLE);
  }
  EXPECT_EQ(BASS_ChannelIsActive(0), BASS_ACTIVE_STOPPED);
  EXPECT_EQ(BASS_ErrorGetCode(), BASS_ERROR_HANDLE);
  EXPECT_EQ(BASS_SamplePlayEx(tmp_hSample, 4410, -1, -1, -101, 0), 0u);  // starts past its end
  EXPECT_EQ(BASS_ErrorGetCode(), BASS_ERROR_POSITION);

  // A freed sample's handle stays dead even when its slot is reused.
  BASS_SampleFree(tmp_hSample);
  const HSAMPLE tmp_hNext = Sample(Wav(Sine(441, kRate, 0.1f, 0.5f, 1), 1, kRate));
  ASSERT_NE(tmp_hNext, 0u);
  EXPECT_NE(tmp_hNext, tmp_hSample);
  EXPECT_EQ(BASS_SamplePlayEx(tmp_hSample, 0, -1, -1, -101, 0), 0u);
  EXPECT_EQ(BASS_ErrorGetCode(), BASS_ERROR_HANDLE);
  // A stopped stream still answers; pausing or resuming it changes nothing.
  EXPECT_TRUE(BASS_ChannelPause(tmp_hStream));
  EXPECT_TRUE(BASS_ChannelResume(tmp_hStream));
  EXPECT_EQ(BASS_ChannelIsActive(tmp_hStream), BASS_ACTIVE_STOPPED);
  EXPECT_EQ(BASS_ErrorGetCode(), BASS_OK);

  EXPECT_FALSE(BASS_Init(BASS_DEVICE_SILENT, kRate, 0, nullptr));
  EXPECT_EQ(BASS_ErrorGetCode(), BASS_ERROR_ALREADY);
  BASS_Free();
  EXPECT_EQ(BASS_SampleLoad(0, "x.wav", 0, 0, 1, 0), 0u);
  EXPECT_EQ(BASS_ErrorGetCode(), BASS_ERROR_INIT);
  EXPECT_FALSE(BASS_Init(kAudioDeviceManual, 100, 0, nullptr));
  EXPECT_EQ(BASS_ErrorGetCode(), BASS_ERROR_ILLPARAM);
  EXPECT_FALSE(BASS_Init(-7, kRate, 0, nullptr));
  EXPECT_EQ(BASS_ErrorGetCode(), BASS_ERROR_DEVICE);
  ASSERT_TRUE(BASS_Init(kAudioDeviceManual, kRate, 0, nullptr));  // for TearDown
}
