// Playlists: the PLAYLIST loader with its log (the music it names loaded on
// the way, unknown entries skipped), duplicates, the random choice that never
// repeats the piece that just ended (seeded), one-entry and all-same
// playlists, switching and stopping, bad data, and TRandomizer itself.
#include <climits>
#include <cstdlib>
#include <map>

#include "sound_fixture.h"

using m2dtest::ContainsLines;
using m2dtest::ReadLines;
using m2dtest::WriteFile;
using namespace soundtest;

namespace {

std::string Playlist(const std::string& fp_strID, const std::string& fp_strTag,
                     const std::vector<std::string>& fp_vMusic) {
  std::string tmp_str =
      "<?xml version=\"1.0\"?>\n<playlist id=\"" + fp_strID + "\" tag=\"" + fp_strTag + "\">\n";
  for (const std::string& m : fp_vMusic) tmp_str += "  <piece id=\"" + m + "\"/>\n";
  return tmp_str + "</playlist>\n";
}

// Short pieces (about 0.24 s each, never looped by playlists) so that many
// follow one another in a few seconds of mix.
class PlaylistTest : public SoundTest {
 protected:
  void StartWithPlaylists(
      const std::vector<std::pair<std::string, std::vector<std::string>>>& fp_vLists) {
    WriteFile("DATA/short.mod", audiotest::Mod(true));
    WriteFile("DATA/long.mod", audiotest::Mod(false));
    std::vector<SRes> tmp_vRes = {{"MUS_A", "MUSIC", "short.mod", 2},
                                  {"MUS_B", "MUSIC", "short.mod", 2},
                                  {"MUS_C", "MUSIC", "short.mod", 2},
                                  {"MUS_LONG", "MUSIC", "long.mod", 2}};
    for (const auto& l : fp_vLists) {
      WriteFile("DATA/" + l.first + ".pl", Playlist(l.first, "3", l.second));
      tmp_vRes.push_back({l.first, "PLAYLIST", l.first + ".pl", 1});
    }
    WriteRespack(tmp_vRes);
    Start();
    engine->LoadResources(1);
  }

  // The pieces started over fp_iFrames frames, in order. A streamed piece
  // gets a new module handle each time it starts, so a piece that follows
  // itself counts as a new start too.
  std::vector<std::string> Sequence(int fp_iFrames) {
    std::vector<std::string> tmp_v;
    audio::DWORD tmp_hLast = CurrentHandle();
    for (int i = 0; i < fp_iFrames; ++i) {
      Frame();
      const audio::DWORD tmp_hNow = CurrentHandle();
      if (tmp_hNow != 0 && tmp_hNow != tmp_hLast)
        tmp_v.push_back(engine->musicManager->GetID(engine->currentMusic));
      tmp_hLast = tmp_hNow;
    }
    return tmp_v;
  }
  audio::DWORD CurrentHandle() const {
    return engine->currentMusic == -1 ? 0u : Music(engine->currentMusic)->handle;
  }
};

}  // namespace

TEST_F(PlaylistTest, LoaderLoadsTheNamedMusicAndSkipsUnknownEntries) {
  StartWithPlaylists({{"PL_MAIN", {"MUS_A", "MUS_NONE", "MUS_B", "MUS_A"}}});
  const int tmp_iID = engine->SFX_PlaylistGetIID("PL_MAIN");
  ASSERT_EQ(tmp_iID, 0);
  EXPECT_EQ(engine->playlistsManager->GetTag(tmp_iID), 3);
  const M2DPlaylist* tmp_pList = engine->playlistsManager->GetItem(tmp_iID);
  const int tmp_iA = engine->SFX_MusicGetIID("MUS_A");
  const int tmp_iB = engine->SFX_MusicGetIID("MUS_B");
  EXPECT_EQ(tmp_pList->entries, std::vector<std::int32_t>({tmp_iA, tmp_iB, tmp_iA}));
  EXPECT_TRUE(ContainsLines(
      ReadLines("gamelog.txt"),
      {"", "  -=: Processing playlist file...", " !: Cannot find iID of music with strID = MUS_A",
       "", "  -=: Loading music: MUS_A", "   +: Done.", "",
       " !: Cannot find iID of music with strID = MUS_NONE", "",
       " !: Cannot find resource with ID = MUS_NONE",
       " !: Cannot find iID of music with strID = MUS_NONE",
       " !: Cannot find iID of music with strID = MUS_B", "", "  -=: Loading music: MUS_B",
       "   +: Done.", "", "   =: New playlist contains 3 entries.", "   +: Done.", ""}));

  // Loading it again only warns, loads nothing and gives the same ID.
  const int tmp_iLines = static_cast<int>(ReadLines("gamelog.txt").size());
  engine->LoadResource("PL_MAIN");
  EXPECT_EQ(ReadLines("gamelog.txt").size(), static_cast<std::size_t>(tmp_iLines + 3));
  EXPECT_TRUE(ContainsLines(ReadLines("gamelog.txt"), {"", "  -=: Processing playlist file...",
                                                       " !: Warning: Dublicated playlist!"}));
  EXPECT_EQ(engine->playlistsManager->GetCount(), 1);
  EXPECT_EQ(engine->SFX_PlaylistGetIID("PL_NONE"), -1);
  EXPECT_TRUE(ContainsLines(ReadLines("gamelog.txt"),
                            {" !: Cannot find iID of playlist with strID = PL_NONE"}));
}

TEST_F(PlaylistTest, NextPieceNeverRepeatsTheOneThatJustEnded) {
  StartWithPlaylists(
      {{"PL_ABA", {"MUS_A", "MUS_B", "MUS_A"}}, {"PL_ABC", {"MUS_A", "MUS_B", "MUS_C"}}});
  std::srand(12345);
  engine->SFX_PlaylistSet("PL_ABA");
  // Both A entries are excluded after A: A and B alternate.
  const std::vector<std::string> tmp_vABA = Sequence(200);
  ASSERT_GE(tmp_vABA.size(), 12u);
  for (std::size_t i = 1; i < tmp_vABA.size(); ++i) EXPECT_NE(tmp_vABA[i], tmp_vABA[i - 1]) << i;

  engine->SFX_PlaylistSet("PL_ABC");
  std::map<std::string, int> tmp_mSeen;
  const std::vector<std::string> tmp_vABC = Sequence(600);
  ASSERT_GE(tmp_vABC.size(), 30u);
  for (std::size_t i = 1; i < tmp_vABC.size(); ++i) {
    EXPECT_NE(tmp_vABC[i], tmp_vABC[i - 1]) << i;
    ++tmp_mSeen[tmp_vABC[i]];
  }
  EXPECT_EQ(tmp_mSeen.size(), 3u);
  for (const auto& s : tmp_mSeen) EXPECT_GE(s.second, 5) << s.first;
}

TEST_F(PlaylistTest, OneEntryAndAllSameEntriesRepeatTheirPiece) {
  StartWithPlaylists({{"PL_ONE", {"MUS_A"}}, {"PL_SAME", {"MUS_B", "MUS_B"}}, {"PL_EMPTY", {}}});
  const int tmp_iA = engine->SFX_MusicGetIID("MUS_A");
  const int tmp_iB = engine->SFX_MusicGetIID("MUS_B");
  for (const char* tmp_pszList : {"PL_ONE", "PL_SAME"}) {
    SCOPED_TRACE(tmp_pszList);
    engine->SFX_PlaylistSet(tmp_pszList);
    const std::string tmp_strExpected =
        engine->musicManager->GetID(std::string(tmp_pszList) == "PL_ONE" ? tmp_iA : tmp_iB);
    Frames(20);  // the piece of the playlist before has ended
    const std::vector<std::string> tmp_vStarts = Sequence(150);
    EXPECT_GE(tmp_vStarts.size(), 8u);
    for (const std::string& m : tmp_vStarts) EXPECT_EQ(m, tmp_strExpected);
  }
  // An empty playlist stops the music for good.
  engine->SFX_PlaylistSet("PL_EMPTY");
  Frames(20);
  EXPECT_EQ(engine->currentMusic, -1);
  EXPECT_EQ(engine->pendingMusic, -1);
}

TEST_F(PlaylistTest, SettingTheActivePlaylistChangesNothingAndStopFadesOut) {
  StartWithPlaylists({{"PL_LONG", {"MUS_LONG"}}, {"PL_A", {"MUS_A"}}});
  const int tmp_iLong = engine->SFX_MusicGetIID("MUS_LONG");
  engine->SFX_PlaylistSet("PL_LONG");
  Frames(5);
  ASSERT_EQ(engine->currentMusic, tmp_iLong);
  const audio::DWORD tmp_hHandle = engine->musicManager->GetItem(tmp_iLong)->handle;
  const double tmp_dFull = audiotest::Rms(Frames(5), 0);

  engine->SFX_PlaylistSet("PL_LONG");
  engine->SFX_PlaylistSet(engine->SFX_PlaylistGetIID("PL_LONG"));
  EXPECT_NEAR(audiotest::Rms(Frames(50), 0), tmp_dFull, tmp_dFull * 0.05);
  EXPECT_EQ(engine->musicManager->GetItem(tmp_iLong)->handle, tmp_hHandle);

  // Another playlist: the current piece fades out over 3000 ms first.
  engine->SFX_PlaylistSet("PL_A");
  Frames(140);
  EXPECT_EQ(engine->currentMusic, tmp_iLong);
  Frames(20);
  EXPECT_EQ(engine->currentMusic, engine->SFX_MusicGetIID("MUS_A"));

  // Unknown string IDs are ignored; a stop fades out and nothing follows.
  engine->SFX_PlaylistSet("PL_NONE");
  EXPECT_EQ(engine->currentPlaylist, engine->SFX_PlaylistGetIID("PL_A"));
  engine->SFX_PlaylistStop();
  EXPECT_EQ(engine->currentPlaylist, -1);
  Frames(200);
  EXPECT_EQ(engine->currentMusic, -1);
}

TEST_F(PlaylistTest, BadPlaylistDataAndIDsFailWithTheirTexts) {
  StartWithPlaylists({{"PL_A", {"MUS_A"}}});
  struct SCase {
    std::string xml;
    int type;
    const char* text;
  };
  const SCase kCases[] = {
      {"<xmldata id=\"PL_X\"/>", EHS_TYPE_GAME, "XML file doesn't contain playlist data!"},
      {"just text", EHS_TYPE_GAME, "XML file doesn't contain playlist data!"},
  };
  for (const SCase& c : kCases) {
    const CEHSException e =
        Thrown([&] { engine->SFX_PlaylistLoad(c.xml.data(), static_cast<int>(c.xml.size())); });
    EXPECT_EQ(e.type, c.type);
    EXPECT_EQ(e.code, 0);
    EXPECT_EQ(e.description, c.text);
  }
  // The XML reader's own plain text for an empty buffer.
  try {
    engine->SFX_PlaylistLoad("\r\r", 2);
    ADD_FAILURE() << "nothing thrown";
  } catch (const char* s) {
    EXPECT_STREQ(s, "XMLERROR: buffer is empty.");
  }

  for (int tmp_iBad : {-1, 1, 99, INT_MIN}) {
    const CEHSException e = Thrown([&] { engine->SFX_PlaylistSet(tmp_iBad); });
    EXPECT_EQ(e.type, EHS_TYPE_GAME);
    EXPECT_EQ(e.description, "Invalid playlist ID!");
  }
  engine->currentPlaylist = 5;
  const CEHSException e = Thrown([&] { engine->SFX_PlaylistNext(); });
  EXPECT_EQ(e.type, EHS_TYPE_GENERAL);
  EXPECT_EQ(e.description, "Internal error - invalid playlist ID!");
  engine->currentPlaylist = -1;
}

TEST_F(PlaylistTest, TagsSaturateAndScrambledDataLoads) {
  StartWithPlaylists({});
  const struct {
    const char* tag;
    int expected;
  } kTags[] = {{"7", 7}, {"abc", 0}, {"99999999999", INT_MAX}, {"-99999999999", INT_MIN}, {"", 0}};
  int tmp_iN = 0;
  for (const auto& t : kTags) {
    const std::string tmp_strXml = Playlist("PL_T" + std::to_string(tmp_iN++), t.tag, {"MUS_A"});
    const int tmp_iID =
        engine->SFX_PlaylistLoad(tmp_strXml.data(), static_cast<int>(tmp_strXml.size()));
    EXPECT_EQ(engine->playlistsManager->GetTag(tmp_iID), t.expected) << t.tag;
  }

  // In PAK mode the XML is scrambled.
  std::string tmp_strXml = Playlist("PL_ENC", "2", {"MUS_B", "MUS_C"});
  for (char& ch : tmp_strXml) ch = static_cast<char>(static_cast<unsigned char>(ch) ^ 0xB3);
  engine->bXMLEncryptMode = 1;
  const int tmp_iEnc =
      engine->SFX_PlaylistLoad(tmp_strXml.data(), static_cast<int>(tmp_strXml.size()));
  engine->bXMLEncryptMode = 0;
  EXPECT_EQ(engine->playlistsManager->GetItem(tmp_iEnc)->entries.size(), 2u);
}

// A playlist resource that names itself (directly or through another one) is
// being loaded when its entry asks for it again: a clear error, not an
// endless descent.
TEST_F(PlaylistTest, PlaylistNamingItselfFailsClearly) {
  WriteFile("DATA/short.mod", audiotest::Mod(true));
  WriteFile("DATA/self.pl", Playlist("PL_SELF", "1", {"MUS_A", "PL_OTHER"}));
  WriteFile("DATA/other.pl", Playlist("PL_OTHER", "1", {"PL_SELF"}));
  WriteRespack({{"MUS_A", "MUSIC", "short.mod", 2},
                {"PL_SELF", "PLAYLIST", "self.pl", 1},
                {"PL_OTHER", "PLAYLIST", "other.pl", 1}});
  Start();
  const CEHSException e = Thrown([&] { engine->LoadResource("PL_SELF"); });
  EXPECT_EQ(e.type, EHS_TYPE_GENERAL);
  EXPECT_EQ(e.description, "Internal error in CM2DResource::DataLoad()!");
  EXPECT_EQ(engine->playlistsManager->GetCount(), 0);
}

// {==== TRandomizer ==========================================================

TEST(RandomizerTest, EmptySingleAndWeightedChoices) {
  TRandomizer<int> tmp_Empty;
  try {
    tmp_Empty.GetRandomValue();
    ADD_FAILURE() << "nothing thrown";
  } catch (const char* s) {
    EXPECT_STREQ(s, "No values were thrown in randomizer!");
  }

  TRandomizer<int> tmp_One;
  tmp_One.AddValue(7, 0);
  EXPECT_EQ(tmp_One.GetRandomValue(), 7);
  EXPECT_EQ(tmp_One.count, 1);

  // Weights 10 and 30: about a quarter and three quarters of the draws.
  TRandomizer<int> tmp_Two;
  tmp_Two.AddValue(1, 10);
  tmp_Two.AddValue(2, 30);
  std::srand(99);
  int tmp_iOnes = 0;
  for (int i = 0; i < 4000; ++i) tmp_iOnes += tmp_Two.GetRandomValue() == 1;
  EXPECT_NEAR(tmp_iOnes, 1000, 120);

  // Weights that leave no range to draw from.
  TRandomizer<int> tmp_Zero;
  tmp_Zero.AddValue(1, 0);
  tmp_Zero.AddValue(2, 0);
  try {
    tmp_Zero.GetRandomValue();
    ADD_FAILURE() << "nothing thrown";
  } catch (const char* s) {
    EXPECT_STREQ(s, "Error in TRandomizer::GetRandomValue!");
  }
}

// }====
