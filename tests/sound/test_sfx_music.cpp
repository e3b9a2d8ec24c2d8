// Music on a controlled clock (20 ms of mix per frame): the MUSIC loader,
// streamed and preloaded pieces, the fade-out-then-start cross-fade with its
// queue of one pending piece, restarting a preloaded piece at full volume,
// stopping, volume slides, levels, the guards and bad module data.
#include "sound_fixture.h"

using m2dtest::ContainsLines;
using m2dtest::ReadLines;
using m2dtest::WriteFile;
using namespace soundtest;

namespace {

// Square-wave modules: MUS_A, MUS_B, MUS_C streamed, MUS_P preloaded; all
// run for 7.68 s unless looped.
class MusicTest : public SoundTest {
 protected:
  void StartWithMusic() {
    WriteFile("DATA/long.mod", audiotest::Mod(false));
    WriteFile("DATA/short.mod", audiotest::Mod(true));
    WriteRespack({{"MUS_A", "MUSIC", "long.mod", 4},
                  {"MUS_B", "MUSIC", "long.mod", 4},
                  {"MUS_C", "MUSIC", "long.mod", 4},
                  {"MUS_P", "MUSIC", "long.mod", 4, 1},
                  {"MUS_SHORT", "MUSIC", "short.mod", 4}});
    Start();
    engine->LoadResources(4);
    a = engine->SFX_MusicGetIID("MUS_A");
    b = engine->SFX_MusicGetIID("MUS_B");
    c = engine->SFX_MusicGetIID("MUS_C");
    p = engine->SFX_MusicGetIID("MUS_P");
  }
  bool Active(int fp_iID) const {
    return Music(fp_iID)->loaded == 1 &&
           audio::BASS_ChannelIsActive(Music(fp_iID)->handle) == audio::BASS_ACTIVE_PLAYING;
  }
  audio::DWORD Volume(int fp_iID) const {
    audio::DWORD tmp_uVolume = 0;
    EXPECT_TRUE(
        audio::BASS_ChannelGetAttributes(Music(fp_iID)->handle, nullptr, &tmp_uVolume, nullptr));
    return tmp_uVolume;
  }
  int a = -1, b = -1, c = -1, p = -1;
};

}  // namespace

TEST_F(MusicTest, LoaderMakesStreamedAndPreloadedPiecesOnce) {
  StartWithMusic();
  EXPECT_EQ(std::vector<int>({a, b, c, p}), std::vector<int>({0, 1, 2, 3}));
  EXPECT_TRUE(ContainsLines(ReadLines("gamelog.txt"),
                            {"", "  -=: Loading music: MUS_A", "   +: Done.", "", "",
                             "  -=: Loading music: MUS_B", "   +: Done.", ""}));
  // A streamed piece loads its module when it starts; a preloaded one now.
  EXPECT_EQ(Music(a)->loaded, 0);
  EXPECT_EQ(Music(a)->handle, 0u);
  EXPECT_EQ(Music(a)->fileName, "./DATA/long.mod");
  EXPECT_EQ(Music(p)->loaded, 1);
  EXPECT_NE(Music(p)->handle, 0u);
  EXPECT_NE(dynamic_cast<M2DPreloadedMusic*>(Music(p)), nullptr);
  EXPECT_EQ(dynamic_cast<M2DPreloadedMusic*>(Music(a)), nullptr);
  EXPECT_EQ(engine->musicManager->GetTag(p), 4);

  engine->LoadResource("MUS_P");
  EXPECT_EQ(CountLog("  -=: Loading music: MUS_P"), 1);
  EXPECT_EQ(engine->SFX_MusicLoad("./DATA/none.mod", "MUS_A", 9, 0, 0, true), a);
  EXPECT_EQ(engine->SFX_MusicGetIID("MUS_NONE"), -1);
  EXPECT_TRUE(ContainsLines(ReadLines("gamelog.txt"),
                            {" !: Cannot find iID of music with strID = MUS_NONE"}));
}

// The cross-fade: the current piece fades out, the pending one starts only
// once nothing plays, and a second request replaces the pending piece and
// restarts the fade with its own time.
TEST_F(MusicTest, CrossFadeFadesOutThenStartsTheLastRequestedPiece) {
  StartWithMusic();
  engine->SFX_MusicPlay("MUS_A", 1, 3000);
  EXPECT_EQ(engine->pendingMusic, a);
  EXPECT_EQ(engine->currentMusic, -1);
  Frame();
  EXPECT_EQ(engine->currentMusic, a);
  EXPECT_EQ(engine->pendingMusic, -1);
  EXPECT_TRUE(Active(a));
  const std::vector<float> tmp_vFull = Frames(10);
  EXPECT_GT(audiotest::Rms(tmp_vFull, 0), 0.05);

  engine->SFX_MusicPlay("MUS_B", 0, 3000);
  engine->SFX_MusicPlay("MUS_C", 1, 500);
  EXPECT_EQ(engine->pendingMusic, c);
  EXPECT_EQ(engine->pendingLoop, 1);
  int tmp_iFrames = 0;
  std::vector<float> tmp_vFade;
  while (engine->currentMusic == a && tmp_iFrames < 200) {
    EXPECT_EQ(Music(c)->loaded, 0);  // nothing overlaps the fading piece
    const std::vector<float> tmp_v = Frame();
    tmp_vFade.insert(tmp_vFade.end(), tmp_v.begin(), tmp_v.end());
    ++tmp_iFrames;
  }
  // 500 ms, not 3000: 25 frames, and the frame that saw A stopped started C.
  EXPECT_GE(tmp_iFrames, 24);
  EXPECT_LE(tmp_iFrames, 27);
  EXPECT_EQ(engine->currentMusic, c);
  EXPECT_EQ(Music(a)->loaded, 0);  // released as soon as it stopped
  EXPECT_EQ(Music(a)->handle, 0u);
  EXPECT_TRUE(Active(c));
  EXPECT_EQ(Music(b)->loaded, 0);  // the replaced request never started
  // The fade goes down: the last 100 ms are much quieter than the first.
  const std::size_t tmp_uFadeFrames = tmp_vFade.size() / 2;
  EXPECT_LT(audiotest::Rms(tmp_vFade, 0, tmp_uFadeFrames - 4410, tmp_uFadeFrames - 882),
            audiotest::Rms(tmp_vFade, 0, 0, 4410) * 0.4);
  // C is looped (its request's flag) and keeps playing past its 7.68 s.
  Frames(420);
  EXPECT_EQ(engine->currentMusic, c);
  EXPECT_TRUE(Active(c));
  EXPECT_EQ(Music(b)->loaded, 0);
}

TEST_F(MusicTest, PreloadedPieceStaysLoadedAndRestartsAtFullVolume) {
  StartWithMusic();
  const audio::DWORD tmp_hHandle = Music(p)->handle;
  engine->SFX_MusicPlay(p, 1, 0);
  Frame();
  EXPECT_EQ(engine->currentMusic, p);
  Frames(10);
  EXPECT_EQ(Volume(p), 100u);
  const double tmp_dFull = audiotest::Rms(Frames(5), 0);
  engine->SFX_MusicSetVolume(30, 0);
  EXPECT_EQ(Volume(p), 30u);
  EXPECT_NEAR(audiotest::Rms(Frames(5), 0), tmp_dFull * 0.3, tmp_dFull * 0.05);

  engine->SFX_MusicStop(200);
  Frames(12);
  EXPECT_EQ(engine->currentMusic, -1);
  EXPECT_EQ(Music(p)->loaded, 1);
  EXPECT_EQ(Music(p)->handle, tmp_hHandle);

  engine->SFX_MusicPlay("MUS_P", 1, 3000);
  Frame();
  EXPECT_EQ(engine->currentMusic, p);
  Frames(6);  // the 100 ms slide back to full volume is over
  EXPECT_EQ(Volume(p), 100u);
  EXPECT_NEAR(audiotest::Rms(Frames(5), 0), tmp_dFull, tmp_dFull * 0.05);
  EXPECT_GT(Music(p)->GetLevelLeft(), 0.1f);
  EXPECT_GT(Music(p)->GetLevelRight(), 0.1f);
  Music(p)->Pause();
  EXPECT_EQ(Music(p)->GetLevelLeft(), 0.0f);
  EXPECT_EQ(audiotest::Peak(Frames(2), 0), 0.0f);
  Music(p)->Resume();
  EXPECT_GT(audiotest::Rms(Frames(2), 0), 0.05);
}

TEST_F(MusicTest, StopAtOnceSamePieceAndPiecesThatEndByThemselves) {
  StartWithMusic();
  engine->SFX_MusicSetVolume(50, 0);  // no current piece: nothing
  EXPECT_EQ(engine->SFX_MusicGetStatus(), 0u);
  engine->SFX_MusicPlay(a, 0, 3000);
  Frames(3);
  // The current piece is not restarted, whatever its loop flag.
  engine->SFX_MusicPlay("MUS_A", 1, 3000);
  EXPECT_EQ(engine->pendingMusic, -1);
  EXPECT_EQ(engine->SFX_MusicGetStatus(), audio::BASS_ACTIVE_PLAYING);

  engine->SFX_MusicStop(0);
  EXPECT_EQ(Music(a)->loaded, 0);  // released at once
  EXPECT_EQ(engine->currentMusic, a);
  Frame();
  EXPECT_EQ(engine->currentMusic, -1);
  // A negative fade time (from a script) stops at once as well.
  engine->SFX_MusicPlay(b, 0, 0);
  Frame();
  engine->SFX_MusicStop(-3000);
  EXPECT_EQ(Music(b)->loaded, 0);

  // A piece played without loop ends, is released and leaves no current piece.
  engine->SFX_MusicPlay("MUS_SHORT", 0, 0);
  Frame();
  const int tmp_iShort = engine->currentMusic;
  ASSERT_GE(tmp_iShort, 0);
  Frames(30);
  EXPECT_EQ(engine->currentMusic, -1);
  EXPECT_EQ(Music(tmp_iShort)->loaded, 0);
}

TEST_F(MusicTest, RequestsWhileInactiveAreDroppedAndBadIDsAreFatal) {
  StartWithMusic();
  g_bAppActive = 0;
  engine->SFX_MusicPlay("MUS_A", 1, 0);
  engine->SFX_MusicPlay(-1, 1, 0);
  EXPECT_EQ(engine->pendingMusic, -1);
  g_bAppActive = 1;

  for (const char* tmp_pszID : {"MUS_NONE", ""}) {
    const CEHSException e = Thrown([&] { engine->SFX_MusicPlay(tmp_pszID, 1, 0); });
    EXPECT_EQ(e.type, EHS_TYPE_GAME);
    EXPECT_EQ(e.code, 0);
    EXPECT_EQ(e.description, "Invalid music id!");
  }
  // An ID outside the manager is refused when the update tries to start it.
  engine->SFX_MusicPlay(42, 0, 0);
  CEHSException e = Thrown([&] { engine->SFX_Update(); });
  EXPECT_EQ(e.type, EHS_TYPE_GENERAL);
  EXPECT_EQ(e.description, "Cannot play music - invalid ID!");
  EXPECT_EQ(Thrown([&] { engine->SFX_MusicGetStatus(); }).description,
            "Cannot get music status - invalid ID!");
  EXPECT_EQ(Thrown([&] { engine->SFX_MusicSetVolume(10, 0); }).description,
            "Cannot get music status - invalid ID!");
  EXPECT_EQ(Thrown([&] { engine->SFX_MusicStop(0); }).description,
            "Cannot stop music - invalid ID!");
}

TEST_F(MusicTest, BadModuleDataFailsWithTheLibrarysReason) {
  WriteFile("DATA/junk.mod", audiotest::Junk(3000, 3));
  WriteRespack({{"MUS_JUNK", "MUSIC", "junk.mod", 1, 0}, {"MUS_JUNKP", "MUSIC", "junk.mod", 1, 1}});
  Start();
  // Preloaded: at loading; nothing is stored.
  CEHSException e = Thrown([&] { engine->LoadResource("MUS_JUNKP"); });
  EXPECT_EQ(e.type, EHS_TYPE_GENERAL);
  EXPECT_EQ(e.code, audio::BASS_ERROR_FORMAT);
  EXPECT_EQ(e.description, "Cannot load music!");
  EXPECT_EQ(engine->musicManager->GetCount(), 0);
  // Streamed: when the update starts it.
  engine->LoadResource("MUS_JUNK");
  engine->SFX_MusicPlay("MUS_JUNK", 1, 0);
  e = Thrown([&] { Frame(); });
  EXPECT_EQ(e.code, audio::BASS_ERROR_FORMAT);
  EXPECT_EQ(e.description, "Cannot load music!");
  e = Thrown([&] { engine->SFX_MusicLoad("./DATA/none.mod", "MUS_NONE", 1, 0, 0, true); });
  EXPECT_EQ(e.code, audio::BASS_ERROR_FILEOPEN);
  EXPECT_EQ(e.description, "Cannot load music!");
}
