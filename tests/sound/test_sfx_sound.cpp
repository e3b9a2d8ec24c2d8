// Sounds: the SOUND loader with its exact log and its arguments, samples and
// streams from loose files and from inside a pack, the playback guards, the
// override rule, pause and resume, attributes, unloading with the smart IDs,
// bad audio data, and one sound played through SDL's disk driver and found in
// the file it wrote.
#include <chrono>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <thread>

#include "cmorvane_utils_csmartid.h"
#include "sound_fixture.h"

using m2dtest::ContainsLines;
using m2dtest::ReadLines;
using m2dtest::WriteFile;
using namespace soundtest;

namespace {

void PutInt(std::string* fp_pOut, std::int32_t fp_iValue) {
  const auto tmp_u = static_cast<std::uint32_t>(fp_iValue);
  for (int i = 0; i < 4; ++i) fp_pOut->push_back(static_cast<char>((tmp_u >> (8 * i)) & 0xFF));
}

// A pack holding one resource after a few bytes of padding.
std::string PackOf(const std::string& fp_strID, const std::string& fp_strType,
                   const std::string& fp_strBytes, std::int32_t fp_iData1) {
  const std::string tmp_strPadding = "padding!";
  std::string tmp_strDir;
  PutInt(&tmp_strDir, 1);
  tmp_strDir += fp_strID + '\0' + fp_strType + '\0';
  const auto tmp_iOffset =
      static_cast<std::int32_t>(tmp_strDir.size() + 24 + tmp_strPadding.size());
  for (std::int32_t v :
       {tmp_iOffset, static_cast<std::int32_t>(fp_strBytes.size()), 1, fp_iData1, 1, 0})
    PutInt(&tmp_strDir, v);
  return tmp_strDir + tmp_strPadding + fp_strBytes;
}

using SoundOp = std::function<void(CMorvane&, int)>;
struct SNamedOp {
  const char* name;
  SoundOp op;
};
const SNamedOp kPlaybackOps[] = {
    {"Play", [](CMorvane& e, int id) { e.SFX_SoundPlay(id, 0, -1, -1, -101); }},
    {"Stop", [](CMorvane& e, int id) { e.SFX_SoundStop(id); }},
    {"Pause", [](CMorvane& e, int id) { e.SFX_SoundPause(id); }},
    {"Resume", [](CMorvane& e, int id) { e.SFX_SoundResume(id); }},
    {"SetAttributes", [](CMorvane& e, int id) { e.SFX_SoundSetAttributes(id, -1, 50, -101); }},
    {"SlideAttributes",
     [](CMorvane& e, int id) { e.SFX_SoundSlideAttributes(id, -1, 50, -101, 100); }},
};

}  // namespace

TEST_F(SoundTest, LoaderLogsOnceAndTellsTheSmartIDAndTheArguments) {
  CSmartID tmp_SmartA("SND_A", 0);
  WriteFile("DATA/a.wav", SineWav(0.1f));
  WriteFile("DATA/b.wav", SineWav(0.1f));
  WriteFile("DATA/c.wav", SineWav(0.1f));
  // data1 = 1: stream; data2: playbacks, at least 1; data3 = 1: no override.
  WriteRespack({{"SND_A", "SOUND", "a.wav", 1, 0, -3, 2},
                {"SND_B", "SOUND", "b.wav", 2, 1, 5, 1},
                {"SND_C", "SOUND", "c.wav", 3, 2, 3, 1}});
  Start();
  engine->LoadResource("SND_A");
  engine->LoadResource("SND_A");
  EXPECT_TRUE(ContainsLines(ReadLines("gamelog.txt"),
                            {"", "  -=: Loading sound: SND_A", "   +: Done.", ""}));
  EXPECT_EQ(CountLog("  -=: Loading sound: SND_A"), 1);
  EXPECT_EQ(tmp_SmartA.iID, 0);
  engine->LoadResources(0);

  struct SExpect {
    const char* id;
    int tag;
    std::uint8_t isStream;
    int maxPlaybacks;
    std::uint8_t noOverride;
  };
  const SExpect kExpect[] = {{"SND_A", 1, 0, 1, 0}, {"SND_B", 2, 1, 5, 1}, {"SND_C", 3, 0, 3, 1}};
  for (const SExpect& x : kExpect) {
    SCOPED_TRACE(x.id);
    const int tmp_iID = engine->SFX_SoundGetIID(x.id);
    ASSERT_GE(tmp_iID, 0);
    M2DSound* tmp_pSound = Sound(tmp_iID);
    EXPECT_EQ(engine->soundsManager->GetTag(tmp_iID), x.tag);
    EXPECT_EQ(tmp_pSound->isStream, x.isStream);
    EXPECT_EQ(tmp_pSound->maxPlaybacks, x.maxPlaybacks);
    EXPECT_EQ(tmp_pSound->noOverride, x.noOverride);
    EXPECT_NE(tmp_pSound->isStream == 1 ? tmp_pSound->stream : tmp_pSound->sample, 0u);
    EXPECT_EQ(tmp_pSound->isStream == 1 ? tmp_pSound->sample : tmp_pSound->stream, 0u);
    EXPECT_EQ(tmp_pSound->offset, 0);
    EXPECT_EQ(tmp_pSound->length, 8864);  // the whole file
  }
  EXPECT_EQ(Sound(0)->fileName, "./DATA/a.wav");
  EXPECT_EQ(engine->SFX_SoundGetIID("SND_NONE"), -1);
  EXPECT_TRUE(ContainsLines(ReadLines("gamelog.txt"),
                            {" !: Cannot find iID of sound with strID = SND_NONE"}));
}

// In PAK mode the loader gets the pack's name and the sound's region in it.
class PackSoundTest : public SoundTest, public ::testing::WithParamInterface<int> {};

TEST_P(PackSoundTest, SoundInsideAPackPlaysFromItsRegion) {
  const int tmp_iStream = GetParam();
  WriteFile("DATA/sounds.pak", PackOf("SND_IN", "SOUND", SineWav(0.5f), tmp_iStream));
  Start();
  EXPECT_EQ(engine->RES_GetMode(), RES_MODE_PAK);
  engine->LoadResource("SND_IN");
  const int tmp_iID = engine->SFX_SoundGetIID("SND_IN");
  ASSERT_GE(tmp_iID, 0);
  EXPECT_EQ(Sound(tmp_iID)->isStream, tmp_iStream);
  EXPECT_EQ(Sound(tmp_iID)->offset, 49);
  engine->SFX_SoundPlay(tmp_iID, 0, -1, -1, 100);
  const std::vector<float> tmp_v = audiotest::Render(11025);
  EXPECT_EQ(audiotest::Peak(tmp_v, 0), 0.0f);
  EXPECT_NEAR(audiotest::Rms(tmp_v, 1), 0.35355, 0.01);
  EXPECT_EQ(engine->SFX_SoundGetStatus(tmp_iID), audio::BASS_ACTIVE_PLAYING);
  audiotest::Render(22050);
  EXPECT_EQ(engine->SFX_SoundGetStatus(tmp_iID), audio::BASS_ACTIVE_STOPPED);
}

INSTANTIATE_TEST_SUITE_P(SampleAndStream, PackSoundTest, ::testing::Values(0, 1));

TEST_F(SoundTest, PlaybackGuardsInvalidIDsAndTheInactiveWindow) {
  WriteFile("DATA/a.wav", SineWav(0.5f));
  WriteFile("DATA/b.wav", SineWav(0.5f));
  WriteRespack({{"SND_A", "SOUND", "a.wav"}, {"SND_B", "SOUND", "b.wav"}});
  Start();
  engine->LoadResources(0);
  engine->SFX_SoundUnload("SND_A");  // slot 0 is free now
  const int tmp_iB = engine->SFX_SoundGetIID("SND_B");
  ASSERT_EQ(tmp_iB, 1);

  for (const SNamedOp& o : kPlaybackOps) {
    SCOPED_TRACE(o.name);
    for (int tmp_iBad : {-1, 0, 2, 1 << 30}) {
      const CEHSException e = Thrown([&] { o.op(*engine, tmp_iBad); });
      EXPECT_EQ(e.type, EHS_TYPE_GAME);
      EXPECT_EQ(e.code, 0);
      EXPECT_EQ(e.description, "Invalid sound ID: " + std::to_string(tmp_iBad));
    }
    EXPECT_NO_THROW(o.op(*engine, tmp_iB));
    // While the window is inactive the request is dropped before the ID is
    // looked at.
    g_bAppActive = 0;
    EXPECT_NO_THROW(o.op(*engine, -1));
    g_bAppActive = 1;
  }
  EXPECT_EQ(Thrown([&] { engine->SFX_SoundGetStatus(-1); }).description, "Invalid sound ID: -1");
  g_bAppActive = 0;
  EXPECT_EQ(Thrown([&] { engine->SFX_SoundGetStatus(0); }).description, "Invalid sound ID: 0");

  // Requests made while the window is inactive are dropped, not queued.
  g_bAppActive = 1;
  engine->SFX_SoundPlay(tmp_iB, 0, -1, -1, -101);
  g_bAppActive = 0;
  engine->SFX_SoundStop(tmp_iB);
  EXPECT_EQ(engine->SFX_SoundGetStatus(tmp_iB), audio::BASS_ACTIVE_PLAYING);
  g_bAppActive = 1;
  engine->SFX_SoundStop(tmp_iB);
  g_bAppActive = 0;
  engine->SFX_SoundPlay(tmp_iB, 0, -1, -1, -101);
  EXPECT_EQ(engine->SFX_SoundGetStatus(tmp_iB), audio::BASS_ACTIVE_STOPPED);
}

TEST_F(SoundTest, OverrideCutsTheOldestPlaybackAndNoOverrideFailsTheGame) {
  WriteFile("DATA/a.wav", SineWav(1.0f));
  WriteRespack(
      {{"SND_OVER", "SOUND", "a.wav", 1, 0, 1, 0}, {"SND_KEEP", "SOUND", "a.wav", 1, 0, 1, 1}});
  Start();
  engine->LoadResources(0);
  const int tmp_iOver = engine->SFX_SoundGetIID("SND_OVER");
  const int tmp_iKeep = engine->SFX_SoundGetIID("SND_KEEP");
  engine->SFX_SoundPlay(tmp_iOver, 0, -1, -1, -101);
  audiotest::Render(4410);
  EXPECT_NO_THROW(engine->SFX_SoundPlay(tmp_iOver, 0, -1, -1, -101));
  // One playback at a time: the output is one sine, not two.
  EXPECT_NEAR(audiotest::Rms(audiotest::Render(4410), 0), 0.35355, 0.01);

  engine->SFX_SoundPlay(tmp_iKeep, 0, -1, -1, -101);
  const CEHSException e = Thrown([&] { engine->SFX_SoundPlay(tmp_iKeep, 0, -1, -1, -101); });
  EXPECT_EQ(e.type, EHS_TYPE_GENERAL);
  EXPECT_EQ(e.code, audio::BASS_ERROR_NOCHAN);
  EXPECT_EQ(e.description, "Cannot playback sample!");
}

TEST_F(SoundTest, PauseTwiceResumeOnceAndLoopedSamplesKeepPlaying) {
  WriteFile("DATA/a.wav", SineWav(0.2f));
  WriteRespack({{"SND_A", "SOUND", "a.wav"}});
  Start();
  engine->LoadResource("SND_A");
  const int tmp_iID = engine->SFX_SoundGetIID("SND_A");
  engine->SFX_SoundResume(tmp_iID);  // not paused: nothing
  EXPECT_EQ(Sound(tmp_iID)->paused, 0);
  engine->SFX_SoundPlay(tmp_iID, 1, -1, -1, -101);
  engine->SFX_SoundPause(tmp_iID);
  engine->SFX_SoundPause(tmp_iID);
  EXPECT_EQ(Sound(tmp_iID)->paused, 1);
  EXPECT_EQ(engine->SFX_SoundGetStatus(tmp_iID), audio::BASS_ACTIVE_PAUSED);
  EXPECT_EQ(audiotest::Peak(audiotest::Render(2205), 0), 0.0f);
  engine->SFX_SoundResume(tmp_iID);
  EXPECT_EQ(Sound(tmp_iID)->paused, 0);
  // Looped: still playing long after the 0.2 s of the sample.
  EXPECT_NEAR(audiotest::Rms(audiotest::Render(44100), 0), 0.35355, 0.01);
  EXPECT_EQ(engine->SFX_SoundGetStatus(tmp_iID), audio::BASS_ACTIVE_PLAYING);
  engine->SFX_SoundStop(tmp_iID);
  EXPECT_EQ(engine->SFX_SoundGetStatus(tmp_iID), audio::BASS_ACTIVE_STOPPED);
}

TEST_F(SoundTest, StreamAttributesAreSetAfterStartingOnlyWhenNotAllDefaults) {
  WriteFile("DATA/s.wav", SineWav(2.0f));
  WriteRespack({{"SND_S", "SOUND", "s.wav", 1, 1}});
  Start();
  engine->LoadResource("SND_S");
  const int tmp_iID = engine->SFX_SoundGetIID("SND_S");
  const audio::DWORD tmp_hStream = Sound(tmp_iID)->stream;
  audio::DWORD tmp_uFreq = 0, tmp_uVolume = 0;
  int tmp_iPan = 0;

  engine->SFX_SoundSetAttributes(tmp_iID, -1, 30, -101);
  engine->SFX_SoundPlay(tmp_iID, 0, -1, -1, -101);
  ASSERT_TRUE(audio::BASS_ChannelGetAttributes(tmp_hStream, &tmp_uFreq, &tmp_uVolume, &tmp_iPan));
  EXPECT_EQ(tmp_uVolume, 30u);
  EXPECT_NEAR(audiotest::Rms(audiotest::Render(4410), 0), 0.35355 * 0.3, 0.01);

  engine->SFX_SoundPlay(tmp_iID, 0, -1, 80, -101);
  ASSERT_TRUE(audio::BASS_ChannelGetAttributes(tmp_hStream, &tmp_uFreq, &tmp_uVolume, &tmp_iPan));
  EXPECT_EQ(tmp_uVolume, 80u);
  EXPECT_EQ(tmp_uFreq, 44100u);
  EXPECT_NEAR(audiotest::Rms(audiotest::Render(4410), 0), 0.35355 * 0.8, 0.01);

  // A slide over a negative time (from a script) takes no time at all.
  engine->SFX_SoundSlideAttributes(tmp_iID, -1, 20, -101, -5);
  ASSERT_TRUE(audio::BASS_ChannelGetAttributes(tmp_hStream, &tmp_uFreq, &tmp_uVolume, &tmp_iPan));
  EXPECT_EQ(tmp_uVolume, 20u);
  // A slide to -2 fades out and stops the stream.
  engine->SFX_SoundSlideAttributes(tmp_iID, -1, -2, -101, 100);
  EXPECT_EQ(engine->SFX_SoundGetStatus(tmp_iID), audio::BASS_ACTIVE_PLAYING);
  audiotest::Render(6615);
  EXPECT_EQ(engine->SFX_SoundGetStatus(tmp_iID), audio::BASS_ACTIVE_STOPPED);
}

TEST_F(SoundTest, UnloadByStringAndByIntegerIDLogsAndResetsTheSmartIDs) {
  CSmartID tmp_SmartA("SND_A", 0);
  CSmartID tmp_SmartB("SND_B", 0);
  WriteFile("DATA/a.wav", SineWav(0.3f));
  WriteRespack({{"SND_A", "SOUND", "a.wav"}, {"SND_B", "SOUND", "a.wav"}});
  Start();
  engine->LoadResources(0);
  EXPECT_EQ(tmp_SmartA.iID, 0);
  EXPECT_EQ(tmp_SmartB.iID, 1);
  engine->SFX_SoundPlay(tmp_SmartA, 1, -1, -1, -101);

  engine->SFX_SoundUnload("SND_A");
  EXPECT_EQ(tmp_SmartA.iID, -1);
  EXPECT_EQ(Sound(0), nullptr);
  EXPECT_EQ(audiotest::Peak(audiotest::Render(2205), 0), 0.0f);  // stopped with it
  engine->SFX_SoundUnload(1);
  EXPECT_EQ(tmp_SmartB.iID, -1);
  engine->SFX_SoundUnload("SND_A");
  engine->SFX_SoundUnload(7);
  engine->SFX_SoundUnload(-1);
  EXPECT_TRUE(ContainsLines(
      ReadLines("gamelog.txt"),
      {"", "   =: Unloading sound. strID = SND_A", "   +: Done.", "",
       "   =: Unloading sound. iID = 1", "   +: Done.", "", "   =: Unloading sound. strID = SND_A",
       " !: Failed.", "", "   =: Unloading sound. iID = 7", " !: Failed.", "",
       "   =: Unloading sound. iID = -1", " !: Failed."}));
  // A free slot's empty string ID is no sound.
  EXPECT_EQ(engine->SFX_SoundGetIID(""), -1);
  // The freed slots are reused and the smart IDs follow.
  engine->LoadResource("SND_B");
  EXPECT_EQ(tmp_SmartB.iID, 0);
  EXPECT_EQ(Thrown([&] { engine->SFX_SoundPlay(tmp_SmartA, 0, -1, -1, -101); }).description,
            "Invalid sound ID: -1");
}

TEST_F(SoundTest, BadAudioDataFailsWithTheLibrarysReason) {
  WriteFile("DATA/junk.wav", audiotest::Junk(4000, 7));
  WriteFile("DATA/a.wav", SineWav(0.1f));
  Start();
  struct SCase {
    const char* file;
    bool stream;
    int offset, length;
    const char* text;
    int code;
  };
  const SCase kCases[] = {
      {"./DATA/junk.wav", false, 0, 0, "Cannot load sample!", audio::BASS_ERROR_FORMAT},
      {"./DATA/junk.wav", true, 0, 0, "Cannot create stream!", audio::BASS_ERROR_FORMAT},
      {"./DATA/none.wav", false, 0, 0, "Cannot load sample!", audio::BASS_ERROR_FILEOPEN},
      {"./DATA/none.wav", true, 0, 0, "Cannot create stream!", audio::BASS_ERROR_FILEOPEN},
      {"./DATA/a.wav", false, 100000, 10, "Cannot load sample!", audio::BASS_ERROR_POSITION},
      {"./DATA/a.wav", false, -4, 10, "Cannot load sample!", audio::BASS_ERROR_POSITION},
      {"./DATA/a.wav", true, 0, -1, "Cannot create stream!", audio::BASS_ERROR_POSITION},
      {"./DATA/a.wav", false, 0, 20, "Cannot load sample!", audio::BASS_ERROR_FORMAT},
  };
  for (const SCase& c : kCases) {
    SCOPED_TRACE(std::string(c.file) + " " + std::to_string(c.offset) + " " +
                 std::to_string(c.length));
    const CEHSException e = Thrown([&] {
      engine->SFX_SoundLoad(c.file, "SND_BAD", 1, c.stream, 1, false, c.offset, c.length);
    });
    EXPECT_EQ(e.type, EHS_TYPE_GENERAL);
    EXPECT_EQ(e.code, c.code);
    EXPECT_EQ(e.description, c.text);
  }
  EXPECT_EQ(engine->soundsManager->GetCount(), 0);
  // Paths are resolved as the data writes them.
  EXPECT_GE(engine->SFX_SoundLoad(".\\data\\A.WAV", "SND_OK", 1, false, 1, false, 0, 0), 0);
}

// The real output with SDL's disk driver: the sound played through the engine
// is in the file the driver wrote, on the right side only.
TEST_F(SoundTest, DiskDriverWritesTheSoundPlayedThroughTheEngine) {
  const std::string tmp_strOut = Dir() + "/played.raw";
  ::setenv("SDL_AUDIODRIVER", "disk", 1);
  ::setenv("SDL_DISKAUDIOFILE", tmp_strOut.c_str(), 1);
  WriteFile("DATA/a.wav", SineWav(0.3f));
  WriteRespack({{"SND_A", "SOUND", "a.wav"}});
  Start(audio::BASS_DEVICE_DEFAULT);
  ASSERT_EQ(engine->noSoundDevice, 0);
  engine->LoadResource("SND_A");
  const int tmp_iID = engine->SFX_SoundGetIID("SND_A");
  engine->SFX_SoundPlay(tmp_iID, 0, -1, -1, 100);
  const auto tmp_tStart = std::chrono::steady_clock::now();
  while (engine->SFX_SoundGetStatus(tmp_iID) != audio::BASS_ACTIVE_STOPPED &&
         std::chrono::steady_clock::now() - tmp_tStart < std::chrono::seconds(5))
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  EXPECT_EQ(engine->SFX_SoundGetStatus(tmp_iID), audio::BASS_ACTIVE_STOPPED);
  std::this_thread::sleep_for(std::chrono::milliseconds(100));
  engine.reset();

  const std::string tmp_strRaw = m2dtest::ReadFile(tmp_strOut);
  ASSERT_GT(tmp_strRaw.size(), 8u * 13230);
  std::vector<float> tmp_vFrames(tmp_strRaw.size() / sizeof(float) / 2 * 2);
  std::memcpy(tmp_vFrames.data(), tmp_strRaw.data(), tmp_vFrames.size() * sizeof(float));
  EXPECT_EQ(audiotest::Peak(tmp_vFrames, 0), 0.0f);
  EXPECT_NEAR(audiotest::Peak(tmp_vFrames, 1), 0.5f, 0.01f);
  // 0.3 s of a 441 Hz sine: 264 sign changes, around silence.
  EXPECT_NEAR(audiotest::Crossings(tmp_vFrames, 1), 264, 6);
}
