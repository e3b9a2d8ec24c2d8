// The sound subsystem's start-up and shut-down: the exact log, the refusal
// before the graphics device, the fall-back to the silent device when no sound
// card opens (every operation then does nothing), the output paused and
// resumed with the window's focus, global volumes and the CPU usage.
#include <cstdlib>

#include "sound_fixture.h"

using m2dtest::ContainsLines;
using m2dtest::ReadLines;
using namespace soundtest;

namespace {

const std::string kSep = "|---------------------------------------------------|";

const std::vector<std::string> kInitLog = {
    kSep,
    "--==: Initializing Sound and Music Subsystem...",
    "",
    "   =: Creating Sounds Manager...",
    "",
    "   +: Done.",
    "",
    "   =: Creating Music Manager...",
    "",
    "   +: Done.",
    "",
    "   =: Creating Playlists Manager...",
    "",
    "   +: Done.",
    "   +: Done.",
    kSep,
    "",
};

const std::vector<std::string> kShutdownLog = {
    kSep,
    "--==: Deinitializing Sound and Music Subsystem...",
    "   =: Destroying Sounds Manager...",
    "   +: Done.",
    "   =: Destroying Music Manager...",
    "   +: Done.",
    "   =: Destroying Playlists Manager...",
    "   +: Done.",
    "   +: Done.",
    kSep,
    "",
};

}  // namespace

TEST_F(SoundTest, InitAndShutdownWriteTheirLogAndTheDestructorShutsDownOnce) {
  Start();
  EXPECT_EQ(engine->bSfxInitialized, 1);
  EXPECT_EQ(engine->noSoundDevice, 0);
  ASSERT_NE(engine->soundsManager, nullptr);
  ASSERT_NE(engine->musicManager, nullptr);
  ASSERT_NE(engine->playlistsManager, nullptr);
  EXPECT_EQ(engine->currentMusic, -1);
  EXPECT_EQ(engine->pendingMusic, -1);
  EXPECT_EQ(engine->currentPlaylist, -1);
  EXPECT_TRUE(ContainsLines(ReadLines("gamelog.txt"), kInitLog));
  EXPECT_EQ(CountLog(" !: No sound card available!"), 0);

  engine.reset();
  const std::vector<std::string> tmp_vLog = ReadLines("gamelog.txt");
  EXPECT_TRUE(ContainsLines(tmp_vLog, kShutdownLog));
  EXPECT_EQ(CountLog("--==: Deinitializing Sound and Music Subsystem..."), 1);
  // The library is closed: a new engine can open it again.
  EXPECT_FALSE(audio::BASS_Start());
  EXPECT_EQ(audio::BASS_ErrorGetCode(), audio::BASS_ERROR_INIT);
}

TEST_F(SoundTest, InitBeforeTheGraphicsDeviceIsRefusedAndStillShutDown) {
  StartEngine(/*fp_bDevice=*/false);
  const CEHSException e = Thrown([&] { engine->SFX_Init(44100); });
  EXPECT_EQ(e.type, EHS_TYPE_GAME);
  EXPECT_EQ(e.code, 0);
  EXPECT_EQ(e.description, "Sound and Music system should be initialized after graphics system!");
  EXPECT_EQ(engine->bSfxInitialized, 1);
  // Nothing was opened: no output, no managers; every operation is a no-op.
  EXPECT_FALSE(audio::BASS_Start());
  EXPECT_EQ(engine->SFX_SoundGetIID("SND_X"), -2);
  EXPECT_NO_THROW(engine->SFX_SoundPlay(-1, 0, -1, -1, -101));
  EXPECT_NO_THROW(engine->SFX_Update());

  engine.reset();
  EXPECT_TRUE(ContainsLines(
      ReadLines("gamelog.txt"),
      {"--==: Deinitializing Sound and Music Subsystem...", "   =: Destroying Sounds Manager...",
       " !: Failed.", "   =: Destroying Music Manager...", " !: Failed.",
       "   =: Destroying Playlists Manager...", " !: Failed.", "   +: Done."}));
}

TEST_F(SoundTest, OperationsBeforeInitAndAfterShutdownDoNothing) {
  StartEngine();
  EXPECT_EQ(engine->SFX_SoundLoad("DATA/x.wav", "SND_X", 1, false, 1, false, 0, 0), -2);
  EXPECT_EQ(engine->SFX_MusicGetStatus(), 0u);
  EXPECT_EQ(engine->SFX_GetCPU(), 0.0f);
  EXPECT_NO_THROW(engine->SFX_MusicPlay(-1, 0, 0));
  EXPECT_NO_THROW(engine->SFX_Pause());
  EXPECT_NO_THROW(engine->SFX_Resume());
  StartSound();
  engine->SFX_Shutdown();
  EXPECT_EQ(engine->bSfxInitialized, 0);
  EXPECT_EQ(engine->soundsManager, nullptr);
  EXPECT_EQ(engine->SFX_PlaylistGetIID("PL_X"), -2);
  EXPECT_NO_THROW(engine->SFX_PlaylistSet(-1));
  EXPECT_NO_THROW(engine->SFX_SoundStop(7));
}

// A machine without a sound card: SDL's audio driver cannot open; the engine
// runs on the silent device, and every sound, music and playlist operation
// returns -2, 0 or nothing, logging nothing and throwing nothing.
TEST_F(SoundTest, WithoutASoundCardEverythingIsSilentAndReturnsMinusTwo) {
  ::setenv("SDL_AUDIODRIVER", "m2d_no_such_driver", 1);
  m2dtest::WriteFile("DATA/beep.wav", SineWav(0.2f));
  m2dtest::WriteFile("DATA/tune.mod", audiotest::Mod(false));
  m2dtest::WriteFile("DATA/list.xml.txt",
                     "<playlist id=\"PL_A\" tag=\"1\"><m id=\"MUS_A\"/></playlist>");
  WriteRespack({{"SND_BEEP", "SOUND", "beep.wav"},
                {"MUS_A", "MUSIC", "tune.mod", 1, 1},
                {"PL_A", "PLAYLIST", "list.xml.txt"}});
  StartEngine();
  StartSound(audio::BASS_DEVICE_DEFAULT);
  EXPECT_EQ(engine->noSoundDevice, 1);
  EXPECT_TRUE(
      ContainsLines(ReadLines("gamelog.txt"),
                    {"--==: Initializing Sound and Music Subsystem...",
                     " !: No sound card available!", "", "   =: Creating Sounds Manager..."}));
  // The managers exist, as on a real output.
  EXPECT_NE(engine->soundsManager, nullptr);

  const std::size_t tmp_uLinesBefore = ReadLines("gamelog.txt").size();
  EXPECT_EQ(engine->SFX_SoundLoad("./DATA/beep.wav", "SND_BEEP", 1, false, 1, false, 0, 0), -2);
  EXPECT_EQ(engine->SFX_SoundGetIID("SND_BEEP"), -2);
  EXPECT_EQ(engine->SFX_MusicLoad("./DATA/tune.mod", "MUS_A", 1, 0, 0, true), -2);
  EXPECT_EQ(engine->SFX_MusicGetIID("MUS_A"), -2);
  const std::string tmp_strList = "<playlist id=\"PL_A\"/>";
  EXPECT_EQ(engine->SFX_PlaylistLoad(tmp_strList.data(), static_cast<int>(tmp_strList.size())), -2);
  EXPECT_EQ(engine->SFX_PlaylistGetIID("PL_A"), -2);
  EXPECT_EQ(ReadLines("gamelog.txt").size(), tmp_uLinesBefore);

  // The guards come first: invalid IDs are not even looked at.
  EXPECT_NO_THROW({
    engine->SFX_SoundPlay(-1, 0, -1, -1, -101);
    engine->SFX_SoundStop(-1);
    engine->SFX_SoundPause(-1);
    engine->SFX_SoundResume(-1);
    engine->SFX_SoundSetAttributes(-1, -1, 50, -101);
    engine->SFX_SoundSlideAttributes(-1, -1, 50, -101, 100);
    EXPECT_EQ(engine->SFX_SoundGetStatus(-1), 0u);
    engine->SFX_SoundUnload("SND_BEEP");
    engine->SFX_SoundUnload(3);
    engine->SFX_MusicPlay(-1, 1, 3000);
    engine->SFX_MusicPlay("MUS_NONE", 1, 3000);
    engine->SFX_MusicStop(0);
    engine->SFX_MusicSetVolume(50, 0);
    engine->SFX_PlaylistSet(-1);
    engine->SFX_PlaylistSet("PL_A");
    engine->SFX_PlaylistStop();
    engine->SFX_PlaylistNext();
    engine->SFX_SetGlobalVolumes(10, 10);
    engine->SFX_Pause();
    engine->SFX_Resume();
  });
  EXPECT_EQ(engine->SFX_MusicGetStatus(), 0u);
  EXPECT_EQ(engine->SFX_GetCPU(), 0.0f);
  EXPECT_EQ(engine->pendingMusic, -1);
  EXPECT_EQ(engine->currentPlaylist, -1);
  EXPECT_EQ(ReadLines("gamelog.txt").size(), tmp_uLinesBefore);

  // Loading every resource through the registered loaders loads no sound.
  engine->LoadResources(0);
  EXPECT_EQ(CountLog("  -=: Loading sound: SND_BEEP"), 0);
  EXPECT_EQ(CountLog("  -=: Loading music: MUS_A"), 0);
  EXPECT_EQ(CountLog("  -=: Processing playlist file..."), 0);
  EXPECT_EQ(engine->soundsManager->GetCount(), 0);
  EXPECT_EQ(engine->UpdateAllSystems(), 1);
}

// Headless runs (the data checker, CI) open SDL's dummy driver as the default
// device: a working output, no fall-back.
TEST_F(SoundTest, DefaultDeviceOpensSdlsDummyDriverHeadless) {
  ::setenv("SDL_AUDIODRIVER", "dummy", 1);
  ::setenv("M2D_HEADLESS", "1", 1);
  Start(audio::BASS_DEVICE_DEFAULT);
  EXPECT_EQ(engine->noSoundDevice, 0);
  EXPECT_EQ(CountLog(" !: No sound card available!"), 0);
  EXPECT_GE(engine->SFX_GetCPU(), 0.0f);
}

TEST_F(SoundTest, FocusLossPausesTheOutputAndFocusGainResumesIt) {
  m2dtest::WriteFile("DATA/beep.wav", SineWav(2.0f));
  WriteRespack({{"SND_BEEP", "SOUND", "beep.wav"}});
  Start();
  engine->LoadResource("SND_BEEP");
  const int tmp_iID = engine->SFX_SoundGetIID("SND_BEEP");
  engine->SFX_SoundPlay(tmp_iID, 0, -1, -1, -101);
  EXPECT_NEAR(audiotest::Rms(audiotest::Render(4410), 0), 0.35355, 0.01);

  GameWindowProc(engine->hWnd, os::WM_ACTIVATE, os::WA_INACTIVE, 0);
  EXPECT_EQ(g_bAppActive, 0);
  EXPECT_EQ(audiotest::Peak(audiotest::Render(4410), 0), 0.0f);
  EXPECT_EQ(engine->SFX_SoundGetStatus(tmp_iID), audio::BASS_ACTIVE_PLAYING);
  // Requests made while inactive are dropped, not queued.
  engine->SFX_SoundStop(tmp_iID);
  EXPECT_EQ(engine->UpdateAllSystems(), 0);

  GameWindowProc(engine->hWnd, os::WM_ACTIVATE, os::WA_ACTIVE, 0);
  EXPECT_EQ(g_bAppActive, 1);
  EXPECT_GT(audiotest::Rms(audiotest::Render(4410), 0), 0.2);
  EXPECT_TRUE(ContainsLines(ReadLines("gamelog.txt"), {"FOCUS LOST"}));
}

TEST_F(SoundTest, GlobalVolumesSetMusicAndBothEffectVolumes) {
  Start();
  engine->SFX_SetGlobalVolumes(30, 70);
  int tmp_iMusic = 0, tmp_iSample = 0, tmp_iStream = 0;
  ASSERT_TRUE(audio::BASS_GetGlobalVolumes(&tmp_iMusic, &tmp_iSample, &tmp_iStream));
  EXPECT_EQ(tmp_iMusic, 30);
  EXPECT_EQ(tmp_iSample, 70);
  EXPECT_EQ(tmp_iStream, 70);
  // Out-of-range values from scripts end up within 0..100.
  engine->SFX_SetGlobalVolumes(1000, -50);
  ASSERT_TRUE(audio::BASS_GetGlobalVolumes(&tmp_iMusic, &tmp_iSample, &tmp_iStream));
  EXPECT_EQ(tmp_iMusic, 100);
  EXPECT_EQ(tmp_iSample, 0);
  EXPECT_GE(engine->SFX_GetCPU(), 0.0f);
}

// A rate no output runs at: the default device and the silent one both
// refuse it, which is fatal with the library's reason.
TEST_F(SoundTest, UnusableFrequencyFailsWithTheLibrarysReason) {
  StartEngine();
  engine->sfxOutputDevice = audio::kAudioDeviceManual;
  for (int tmp_iFrequency : {-44100, 0, 1000000}) {
    const CEHSException e = Thrown([&] { engine->SFX_Init(tmp_iFrequency); });
    EXPECT_EQ(e.type, EHS_TYPE_GENERAL);
    EXPECT_EQ(e.code, audio::BASS_ERROR_ILLPARAM);
    EXPECT_EQ(e.description, "Cannot initialize BASS library!");
  }
  EXPECT_EQ(CountLog(" !: No sound card available!"), 3);
  EXPECT_EQ(engine->soundsManager, nullptr);
}
