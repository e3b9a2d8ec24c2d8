// The engine's script API: every function's argument type checks with the
// index in the error text, optional arguments, integer truncation and
// saturation, the system and log functions, input through the replay device,
// sounds, music and playlists on the silent output, and resource demands.
#include <climits>
#include <cstdint>
#include <cstring>
#include <set>
#include <string>
#include <vector>

#include "Platform/audio/audio.h"
#include "Platform/os/os.h"
#include "audio_test_data.h"
#include "cmorvane_utils_demand.h"
#include "scripting_fixture.h"

using m2dtest::ContainsLines;
using m2dtest::ReadLines;
using scrtest::ScriptTest;
using scrtest::Thrown;

namespace {

// {==== The script API's signatures ==========================================
// One letter per argument: n number, s string, b boolean, i ID (string or
// number); upper case: optional, used only when the count equals its place.
struct SGlue {
  const char* name;
  const char* signature;
};
const SGlue kScriptAPI[] = {
    {"M2D_SYS_TimerGetDelta", ""},
    {"M2D_SYS_TimerGetFPS", ""},
    {"M2D_SYS_SetXMLEncryptMode", "b"},
    {"M2D_SYS_UpdateAllSystems", ""},
    {"M2D_LOG_AddEntry", "s"},
    {"M2D_GFX_SceneBegin", ""},
    {"M2D_GFX_SceneEnd", ""},
    {"M2D_GFX_SceneClearScreen", "nnn"},
    {"M2D_GFX_SceneRender", ""},
    {"M2D_GFX_ScenePresent", ""},
    {"M2D_GFX_SceneSetViewport", "nnnn"},
    {"M2D_GFX_SceneMakeScreenshot", ""},
    {"M2D_GFX_SceneSetGamma", "nn"},
    {"M2D_GFX_VQuadSetPos", "nnnnN"},
    {"M2D_GFX_VQuadSetPosByVertex", "nnnN"},
    {"M2D_GFX_VQuadRotate", "nnn"},
    {"M2D_GFX_VQuadScale", "nnn"},
    {"M2D_GFX_VQuadMove", "nnN"},
    {"M2D_GFX_VQuadSetTexCoords", "nnnnn"},
    {"M2D_GFX_VQuadSetColor", "nnnN"},
    {"M2D_GFX_VQuadSetColorByVertex", "nnnnN"},
    {"M2D_GFX_TexUnloadByID", "i"},
    {"M2D_GFX_TexSet", "iN"},
    {"M2D_GFX_TexSetNoTexture", "N"},
    {"M2D_GFX_TechApply", "i"},
    {"M2D_GFX_FontSet", "i"},
    {"M2D_GFX_FontDrawText", "snnnnn"},
    {"M2D_INP_KeyboardGetAnyPressedKey", ""},
    {"M2D_INP_KeyboardIsKeyPressed", "n"},
    {"M2D_INP_KeyboardIsKeyClicked", "n"},
    {"M2D_INP_KeyboardSetTextBufferStatus", "b"},
    {"M2D_INP_KeyboardSetTextInBuffer", "s"},
    {"M2D_INP_KeyboardGetTextInBuffer", ""},
    {"M2D_INP_KeyboardSetTextBufferSize", "n"},
    {"M2D_INP_MouseGetAnyPressedKey", ""},
    {"M2D_INP_MouseIsKeyPressed", "n"},
    {"M2D_INP_MouseIsKeyClicked", "n"},
    {"M2D_INP_MouseGetDeltaX", ""},
    {"M2D_INP_MouseGetDeltaY", ""},
    {"M2D_INP_MouseGetWheelDelta", ""},
    {"M2D_INP_MouseGetCursorPos", ""},
    {"M2D_INP_MouseGetCursorStatus", ""},
    {"M2D_SFX_SetGlobalVolumes", "nn"},
    {"M2D_SFX_SoundUnload", "i"},
    {"M2D_SFX_SoundPlay", "ibnnn"},
    {"M2D_SFX_SoundStop", "i"},
    {"M2D_SFX_SoundPause", "i"},
    {"M2D_SFX_SoundResume", "i"},
    {"M2D_SFX_SoundSetAttributes", "innn"},
    {"M2D_SFX_SoundSlideAttributes", "innnn"},
    {"M2D_SFX_SoundGetStatus", "i"},
    {"M2D_SFX_MusicSetVolume", "nn"},
    {"M2D_SFX_PlaylistSet", "i"},
    {"M2D_SFX_PlaylistStop", ""},
    {"M2D_RES_LoadResource", "s"},
    {"M2D_RES_LoadResources", "n"},
    {"M2DUTIL_DemandTexture", "s"},
    {"M2DUTIL_DemandTechnique", "ss"},
    {"M2DUTIL_DemandFont", "s"},
    {"M2DUTIL_DemandSound", "s"},
    {"M2DUTIL_DemandMusic", "s"},
    {"M2DUTIL_DemandPlaylist", "s"},
};

// A value of the right kind, and one of a wrong kind (numbers are refused as
// numeric strings, booleans as 1).
const char* Good(char fp_cKind) {
  switch (fp_cKind | 0x20) {
    case 'n': return "1";
    case 'b': return "true";
    default: return "'S'";
  }
}
const char* Bad(char fp_cKind) {
  switch (fp_cKind | 0x20) {
    case 'n': return "'800'";
    case 's': return "5";
    case 'b': return "1";
    default: return "true";
  }
}
bool Optional(char fp_cKind) {
  return fp_cKind >= 'A' && fp_cKind <= 'Z';
}

std::string GlueError(const char* fp_pszName, int fp_iIndex) {
  return std::string("Error in glue function: glue_") + fp_pszName +
         ".Invalid argument type. Index = " + std::to_string(fp_iIndex);
}

// }====

// A mono 16-bit WAV of fp_iFrames frames at 44100 Hz (a quiet square wave).
std::string Wav(int fp_iFrames) {
  std::string tmp_str;
  auto tmp_Put = [&](std::uint32_t v, int n) {
    for (int i = 0; i < n; ++i) tmp_str.push_back(static_cast<char>((v >> (8 * i)) & 0xFF));
  };
  const std::uint32_t tmp_uData = static_cast<std::uint32_t>(fp_iFrames) * 2;
  tmp_str += "RIFF";
  tmp_Put(36 + tmp_uData, 4);
  tmp_str += "WAVEfmt ";
  tmp_Put(16, 4);
  tmp_Put(1, 2);
  tmp_Put(1, 2);
  tmp_Put(44100, 4);
  tmp_Put(88200, 4);
  tmp_Put(2, 2);
  tmp_Put(16, 2);
  tmp_str += "data";
  tmp_Put(tmp_uData, 4);
  for (int i = 0; i < fp_iFrames; ++i) tmp_Put((i / 50) % 2 == 0 ? 3000 : 0x10000 - 3000, 2);
  return tmp_str;
}

}  // namespace

// {==== The common frame =====================================================

TEST_F(ScriptTest, EveryFunctionOfTheAPIIsRegisteredAndNoOther) {
  StartScripts();
  std::set<std::string> tmp_setExpected;
  for (const SGlue& g : kScriptAPI) tmp_setExpected.insert(g.name);
  ASSERT_EQ(tmp_setExpected.size(), std::size(kScriptAPI));

  std::set<std::string> tmp_setFound;
  lua_State* L = engine->SCR_GetState();
  lua_pushnil(L);
  while (lua_next(L, LUA_GLOBALSINDEX) != 0) {
    if (lua_type(L, -2) == LUA_TSTRING && std::strncmp(lua_tostring(L, -2), "M2D", 3) == 0) {
      EXPECT_TRUE(lua_iscfunction(L, -1)) << lua_tostring(L, -2);
      tmp_setFound.insert(lua_tostring(L, -2));
    }
    lua_pop(L, 1);
  }
  lua_settop(L, 0);
  EXPECT_EQ(tmp_setFound, tmp_setExpected);
}

TEST_F(ScriptTest, WrongArgumentTypesNameTheLowestFailingPosition) {
  StartScripts();
  int tmp_iCalls = 0;
  for (const SGlue& g : kScriptAPI) {
    const std::string tmp_strSig = g.signature;
    std::vector<std::pair<std::string, int>> tmp_vCalls;  // arguments, expected index
    int tmp_iFirstRequired = 0;
    for (size_t i = 0; i < tmp_strSig.size(); ++i)
      if (!Optional(tmp_strSig[i]) && tmp_iFirstRequired == 0)
        tmp_iFirstRequired = static_cast<int>(i) + 1;
    // No argument at all: the first required position has no type.
    if (tmp_iFirstRequired != 0) tmp_vCalls.push_back({"", tmp_iFirstRequired});

    for (size_t p = 0; p < tmp_strSig.size(); ++p) {
      const int tmp_iPos = static_cast<int>(p) + 1;
      // Only position p wrong; then p and every later required one wrong.
      for (int tmp_iVariant = 0; tmp_iVariant < 2; ++tmp_iVariant) {
        std::string tmp_strArgs;
        const size_t tmp_uCount = Optional(tmp_strSig[p]) ? p + 1 : tmp_strSig.size();
        for (size_t a = 0; a < tmp_uCount; ++a) {
          if (Optional(tmp_strSig[a]) && a != p) break;
          const bool tmp_bWrong = a == p || (tmp_iVariant == 1 && a > p);
          if (!tmp_strArgs.empty()) tmp_strArgs += ", ";
          tmp_strArgs += tmp_bWrong ? Bad(tmp_strSig[a]) : Good(tmp_strSig[a]);
        }
        tmp_vCalls.push_back({tmp_strArgs, tmp_iPos});
      }
    }

    for (const auto& c : tmp_vCalls) {
      const std::string tmp_strCall = std::string(g.name) + "(" + c.first + ")";
      SCOPED_TRACE(tmp_strCall);
      const CEHSException e = Thrown([&] { Load(tmp_strCall); });
      EXPECT_EQ(e.type, EHS_TYPE_GAME);
      EXPECT_EQ(e.code, 0);
      EXPECT_EQ(e.description, GlueError(g.name, c.second));
      ++tmp_iCalls;
    }
  }
  EXPECT_EQ(StackTop(), 0);
  EXPECT_GT(tmp_iCalls, 150);
}

// }====

// {==== System, log, resources, conversions ==================================

TEST_F(ScriptTest, SystemAndLogFunctions) {
  StartScripts();
  g_bAppActive = 0;
  Run("fps = M2D_SYS_TimerGetFPS()\n"
      "delta = M2D_SYS_TimerGetDelta()\n"
      "inactive = M2D_SYS_UpdateAllSystems()\n"
      "M2D_SYS_SetXMLEncryptMode(true)\n"
      "M2D_LOG_AddEntry('  a line from a script')\n");
  EXPECT_EQ(Number("fps"), 1.0);
  EXPECT_EQ(Number("delta"), 0.0);
  EXPECT_EQ(Number("inactive"), 0.0);
  EXPECT_EQ(engine->bXMLEncryptMode, 1);
  EXPECT_TRUE(m2dtest::ContainsLine(ReadLines("gamelog.txt"), "  a line from a script"));

  g_bAppActive = 1;
  Run("M2D_SYS_SetXMLEncryptMode(false)\nactive = M2D_SYS_UpdateAllSystems()\n"
      "delta = M2D_SYS_TimerGetDelta()");
  EXPECT_EQ(engine->bXMLEncryptMode, 0);
  EXPECT_EQ(Number("active"), 1.0);
  EXPECT_FLOAT_EQ(static_cast<float>(Number("delta")), engine->GetTimerDelta());
  os::PostQuitMessage(0);
  Run("quit = M2D_SYS_UpdateAllSystems()");
  EXPECT_EQ(Number("quit"), -1.0);
}

TEST_F(ScriptTest, NumbersBecomeIntegersByTruncationAndSaturate) {
  scrtest::WriteRespack({{"SCR_NONE", "SCRIPT", "none.lua", "-- nothing", 5}});
  StartResources();
  StartScripts();
  struct Case {
    const char* value;
    const char* tag;
  };
  const Case kCases[] = {
      {"3.7", "3"},           {"-3.7", "-3"},
      {"-0.5", "0"},          {"2147483647.9", "2147483647"},
      {"1e10", "2147483647"}, {"-1e10", "-2147483648"},
      {"1/0", "2147483647"},  {"-1/0", "-2147483648"},
      {"0/0", "0"},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.value);
    Run(std::string("M2D_RES_LoadResources(") + c.value + ")");
    EXPECT_EQ(ReadLines("gamelog.txt").size() > 0, true);
    EXPECT_TRUE(ContainsLines(ReadLines("gamelog.txt"),
                              {"", std::string("  -=: Loading resources with Tag = ") + c.tag}));
  }

  // An unsigned size: negative ones stop at 0 instead of wrapping round.
  struct SizeCase {
    const char* size;
    const char* text;
  };
  const SizeCase kSizes[] = {{"3.9", "abc"}, {"1e12", "abcdef"}, {"-1", ""}, {"0/0", ""}};
  for (const SizeCase& c : kSizes) {
    SCOPED_TRACE(c.size);
    Run(std::string("M2D_INP_KeyboardSetTextBufferSize(1000)\n"
                    "M2D_INP_KeyboardSetTextInBuffer('abcdef')\n"
                    "M2D_INP_KeyboardSetTextBufferSize(") +
        c.size +
        ")\n"
        "text = M2D_INP_KeyboardGetTextInBuffer()");
    EXPECT_EQ(String("text"), c.text);
  }
}

// }====

// {==== Input through the replay device ======================================

TEST_F(ScriptTest, ScriptsReadKeyboardAndMouseFromTheReplay) {
  UseReplay(
      "frame\nkeys 30\nmouse 5 -7 120 1\ncursor 100 200\n"
      "frame\nkeys 30 48\nmouse 0 0 -1 2\n"
      "frame\nkeys\nmouse 0 0 0\ncursor 900 200\n");
  StartDevice();
  engine->INP_Init();
  StartScripts();
  g_bAppActive = 1;
  Run("log = ''\n"
      "function b(v) if v then return 'T' else return 'F' end end\n"
      "function Frame()\n"
      "  local x, y = M2D_INP_MouseGetCursorPos()\n"
      "  log = log .. M2D_INP_KeyboardGetAnyPressedKey() .. b(M2D_INP_KeyboardIsKeyPressed(30)) "
      "..\n"
      "        b(M2D_INP_KeyboardIsKeyClicked(30)) .. b(M2D_INP_KeyboardIsKeyClicked(48.9)) .. ' ' "
      "..\n"
      "        M2D_INP_MouseGetAnyPressedKey() .. b(M2D_INP_MouseIsKeyPressed(1)) ..\n"
      "        b(M2D_INP_MouseIsKeyClicked(2)) .. ' ' .. M2D_INP_MouseGetDeltaX() .. ',' ..\n"
      "        M2D_INP_MouseGetDeltaY() .. ',' .. M2D_INP_MouseGetWheelDelta() .. ' ' ..\n"
      "        x .. ',' .. y .. b(M2D_INP_MouseGetCursorStatus()) ..\n"
      "        b(M2D_INP_KeyboardIsKeyPressed(1e300)) .. b(M2D_INP_MouseIsKeyPressed(-1/0)) .. "
      "';'\n"
      "end\n");
  for (int i = 0; i < 3; ++i) {
    ASSERT_EQ(engine->UpdateAllSystems(), 1);
    engine->CallScriptFunction("Frame", 0);
  }
  EXPECT_EQ(String("log"),
            "30TTF 1TF 5,-7,1 100,200TFF;"
            "30TFT 2FT 0,0,-1 100,200TFF;"
            "0FFF 0FF 0,0,0 900,200FFF;");
}

TEST_F(ScriptTest, TextEntryBufferFromScripts) {
  UseReplay("frame\nkeys 30\nframe\nkeys\nframe\nkeys 48\nframe\nkeys\n");
  StartDevice();
  engine->INP_Init();
  StartScripts();
  g_bAppActive = 1;
  Run("M2D_INP_KeyboardSetTextBufferSize(8)\n"
      "M2D_INP_KeyboardSetTextInBuffer('x')\n"
      "M2D_INP_KeyboardSetTextBufferStatus(true)\n");
  for (int i = 0; i < 4; ++i) ASSERT_EQ(engine->UpdateAllSystems(), 1);
  Run("M2D_INP_KeyboardSetTextBufferStatus(false)\ntext = M2D_INP_KeyboardGetTextInBuffer()");
  EXPECT_EQ(String("text"), "xab");
}

// }====

// {==== Sound, music and playlists on the silent output ======================

class ScriptSoundTest : public ScriptTest {
 protected:
  // Resources over the written DATA, a device, sound on fp_iOutput, scripts.
  void StartAll(int fp_iOutput) {
    StartResources();
    StartDevice();
    engine->sfxOutputDevice = fp_iOutput;
    try {
      engine->SFX_Init(44100);
    } catch (const CEHSException& e) {
      ADD_FAILURE() << "sound failed to start: " << e.description;
      throw;
    }
    StartScripts();
    g_bAppActive = 1;
  }
  void WriteSoundData() {
    scrtest::WriteRespack(
        {{"SND_A", "SOUND", "a.wav", Wav(44100), 1, 0, 2, 0},
         {"MUS_A", "MUSIC", "m.mod", audiotest::Mod(false), 1},
         {"MUS_B", "MUSIC", "n.mod", audiotest::Mod(false), 1, 1},
         {"PL_A", "PLAYLIST", "a.pl",
          "<playlist id=\"PL_A\" tag=\"3\"><e id=\"MUS_A\"/><e id=\"MUS_B\"/></playlist>", 1},
         {"PL_BAD", "PLAYLIST", "bad.pl", "<playlist id=\"PL_OTHER\" tag=\"3\"></playlist>", 1}});
  }
};

TEST_F(ScriptSoundTest, ScriptsPlaySoundsByStringAndIntegerID) {
  WriteSoundData();
  StartAll(audio::BASS_DEVICE_SILENT);
  Run("id = M2DUTIL_DemandSound('SND_A')\n"
      "again = M2DUTIL_DemandSound('SND_A')\n"
      "M2D_SFX_SetGlobalVolumes(80, 90)\n"
      "M2D_SFX_SoundPlay('SND_A', true, -1, -1, -101)\n"
      "s1 = M2D_SFX_SoundGetStatus(id)\n"
      "M2D_SFX_SoundPause(id)\n"
      "s2 = M2D_SFX_SoundGetStatus('SND_A')\n"
      "M2D_SFX_SoundResume('SND_A')\n"
      "s3 = M2D_SFX_SoundGetStatus(id + 0.5)\n"
      "M2D_SFX_SoundSetAttributes('SND_A', 22050, 50, -20)\n"
      "M2D_SFX_SoundSlideAttributes(id, -1, 10, -101, 100)\n"
      "M2D_SFX_SoundStop('SND_A')\n"
      "s4 = M2D_SFX_SoundGetStatus(id)\n");
  EXPECT_EQ(Number("id"), 0.0);
  EXPECT_EQ(Number("again"), 0.0);
  EXPECT_EQ(CountLog("  -=: Loading sound: SND_A"), 1);
  EXPECT_EQ(Number("s1"), 1.0);
  EXPECT_EQ(Number("s2"), 3.0);
  EXPECT_EQ(Number("s3"), 1.0);
  EXPECT_EQ(Number("s4"), 0.0);

  // A string ID that names no sound is refused by the playback operation.
  CEHSException e = Thrown([&] { Load("M2D_SFX_SoundPlay('SND_NONE', false, -1, -1, -101)"); });
  EXPECT_EQ(e.type, EHS_TYPE_GAME);
  EXPECT_EQ(e.description, "Invalid sound ID: -1");
  EXPECT_TRUE(m2dtest::ContainsLine(ReadLines("gamelog.txt"),
                                    " !: Cannot find iID of sound with strID = SND_NONE"));
  e = Thrown([&] { Load("M2D_SFX_SoundStop(7)"); });
  EXPECT_EQ(e.description, "Invalid sound ID: 7");

  Run("M2D_SFX_SoundUnload('SND_A')");
  EXPECT_EQ(engine->soundsManager->GetItem(0), nullptr);
  Run("M2D_SFX_SoundUnload(M2DUTIL_DemandSound('SND_A'))");
  EXPECT_EQ(engine->soundsManager->GetItem(0), nullptr);
  EXPECT_EQ(CountLog("  -=: Loading sound: SND_A"), 2);
}

TEST_F(ScriptSoundTest, MusicAndPlaylistsFromScripts) {
  WriteSoundData();
  StartAll(audio::BASS_DEVICE_SILENT);
  Run("pl = M2DUTIL_DemandPlaylist('PL_A')\n"
      "mus = M2DUTIL_DemandMusic('MUS_A')\n"
      "musb = M2DUTIL_DemandMusic('MUS_B')\n"
      "M2D_SFX_PlaylistSet('PL_A')\n");
  EXPECT_EQ(Number("pl"), 0.0);
  EXPECT_EQ(Number("mus"), 0.0);
  EXPECT_EQ(Number("musb"), 1.0);
  EXPECT_EQ(engine->currentPlaylist, 0);
  // The update starts a piece of the playlist.
  ASSERT_EQ(engine->UpdateAllSystems(), 1);
  EXPECT_TRUE(engine->currentMusic == 0 || engine->currentMusic == 1) << engine->currentMusic;
  Run("M2D_SFX_MusicSetVolume(50, 0)\nM2D_SFX_PlaylistStop()");
  EXPECT_EQ(engine->currentPlaylist, -1);
  Run("M2D_SFX_PlaylistSet(pl)");
  EXPECT_EQ(engine->currentPlaylist, 0);
  const CEHSException e = Thrown([&] { Load("M2D_SFX_PlaylistSet(-1)"); });
  EXPECT_EQ(e.description, "Invalid playlist ID!");
}

// }====

// {==== Demands ==============================================================

TEST_F(ScriptSoundTest, InvalidDemandsNameTheID) {
  WriteSoundData();
  StartAll(audio::BASS_DEVICE_SILENT);
  struct Case {
    const char* call;
    const char* message;
  };
  const Case kCases[] = {
      {"M2DUTIL_DemandSound('SND_NONE')", "Invalid sound demand. ID = SND_NONE"},
      {"M2DUTIL_DemandMusic('MUS_NONE')", "Invalid music demand. ID = MUS_NONE"},
      {"M2DUTIL_DemandPlaylist('PL_NONE')", "Invalid playlist demand. ID = PL_NONE"},
      // Catalogued, but the pack registers another ID.
      {"M2DUTIL_DemandPlaylist('PL_BAD')", "Invalid playlist demand. ID = PL_BAD"},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.call);
    const CEHSException e = Thrown([&] { Load(c.call); });
    EXPECT_EQ(e.type, EHS_TYPE_GAME);
    EXPECT_EQ(e.code, 0);
    EXPECT_EQ(e.description, c.message);
  }
  EXPECT_TRUE(ContainsLines(ReadLines("gamelog.txt"),
                            {" !: Cannot find iID of sound with strID = SND_NONE", "",
                             " !: Cannot find resource with ID = SND_NONE",
                             " !: Cannot find iID of sound with strID = SND_NONE"}));
}

TEST_F(ScriptSoundTest, WithoutSoundOutputSoundDemandsGiveMinusTwoAndLoadNothing) {
  WriteSoundData();
  // An output that does not exist: the subsystem runs without sound.
  StartAll(99);
  ASSERT_EQ(engine->noSoundDevice, 1);
  Run("s = M2DUTIL_DemandSound('SND_A')\nm = M2DUTIL_DemandMusic('MUS_NONE')\n"
      "p = M2DUTIL_DemandPlaylist('PL_A')\n"
      "M2D_SFX_SoundPlay('SND_A', false, -1, -1, -101)\nst = M2D_SFX_SoundGetStatus('SND_A')");
  EXPECT_EQ(Number("s"), -2.0);
  EXPECT_EQ(Number("m"), -2.0);
  EXPECT_EQ(Number("p"), -2.0);
  EXPECT_EQ(Number("st"), 0.0);
  EXPECT_EQ(CountLog(" !: Cannot find resource with ID = MUS_NONE"), 0);
  EXPECT_EQ(CountLog("  -=: Processing playlist file..."), 0);
}

TEST_F(ScriptTest, DemandsNeedTheEngine) {
  const CEHSException e = Thrown([] { M2DUTIL_DemandSound("SND_A"); });
  EXPECT_EQ(e.type, EHS_TYPE_GENERAL);
  EXPECT_EQ(e.description, "ZIZ Assertion failed.");
}

// }====
