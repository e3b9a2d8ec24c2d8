// The data checker run as a separate process over DATA folders of graphics,
// sound and script resources written here: what it logs while loading good
// data, and the fatal report it leaves for bad data.
#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "Platform/audio/audio.h"
#include "audio_test_data.h"
#include "test_support.h"

using m2dtest::BuildPath;
using m2dtest::ContainsLine;
using m2dtest::ContainsLines;
using m2dtest::ProcResult;
using m2dtest::ReadLines;
using m2dtest::RunProcess;
using m2dtest::WriteFile;

namespace {

using Lines = std::vector<std::string>;

const std::string kSep1 = "|---------------------------------------------------|";
const Lines kFooter = {"", kSep1, kSep1, "--==: End of log.", kSep1, kSep1, ""};

// One entry of a resource descriptor.
struct SRes {
  std::string id, type, file;
  int data1 = 0, data2 = 0, data3 = 0;
};

// DATA/main.xml listing fp_vRes in this order, plus the files fp_mFiles
// (names relative to DATA/).
void WriteData(const std::string& fp_strDir, const std::vector<SRes>& fp_vRes,
               const std::map<std::string, std::string>& fp_mFiles) {
  std::string tmp_strXml = "<respack>\n";
  for (const SRes& r : fp_vRes)
    tmp_strXml += "  <res id=\"" + r.id + "\" typeid=\"" + r.type + "\" filename=\"" + r.file +
                  "\" tag=\"1\" data1=\"" + std::to_string(r.data1) + "\" data2=\"" +
                  std::to_string(r.data2) + "\" data3=\"" + std::to_string(r.data3) + "\"/>\n";
  tmp_strXml += "</respack>\n";
  WriteFile(fp_strDir + "/DATA/main.xml", tmp_strXml);
  for (const auto& [name, bytes] : fp_mFiles) WriteFile(fp_strDir + "/DATA/" + name, bytes);
}

void Put32(std::string& fp_s, std::uint32_t fp_u) {
  for (int i = 0; i < 4; ++i) fp_s += static_cast<char>((fp_u >> (8 * i)) & 0xFF);
}
void Put16(std::string& fp_s, std::uint32_t fp_u) {
  fp_s += static_cast<char>(fp_u & 0xFF);
  fp_s += static_cast<char>((fp_u >> 8) & 0xFF);
}

// A 24-bit uncompressed BMP of fp_iSize x fp_iSize pixels in two colours
// (checkered by 8-pixel cells).
std::string CheckerBMP(int fp_iSize) {
  const std::uint32_t tmp_uRow = static_cast<std::uint32_t>(fp_iSize) * 3u;
  const std::uint32_t tmp_uPadded = (tmp_uRow + 3u) & ~3u;
  const std::uint32_t tmp_uPixels = tmp_uPadded * static_cast<std::uint32_t>(fp_iSize);
  std::string tmp_s = "BM";
  Put32(tmp_s, 54 + tmp_uPixels);
  Put32(tmp_s, 0);
  Put32(tmp_s, 54);
  Put32(tmp_s, 40);
  Put32(tmp_s, static_cast<std::uint32_t>(fp_iSize));
  Put32(tmp_s, static_cast<std::uint32_t>(fp_iSize));
  Put16(tmp_s, 1);
  Put16(tmp_s, 24);
  Put32(tmp_s, 0);
  Put32(tmp_s, tmp_uPixels);
  Put32(tmp_s, 2835);
  Put32(tmp_s, 2835);
  Put32(tmp_s, 0);
  Put32(tmp_s, 0);
  for (int y = 0; y < fp_iSize; ++y) {
    for (int x = 0; x < fp_iSize; ++x) {
      const bool tmp_bLight = ((x / 8) + (y / 8)) % 2 == 0;
      tmp_s += static_cast<char>(tmp_bLight ? 0xF0 : 0x20);  // blue
      tmp_s += static_cast<char>(tmp_bLight ? 0xE0 : 0x40);  // green
      tmp_s += static_cast<char>(tmp_bLight ? 0xD0 : 0x60);  // red
    }
    tmp_s.append(tmp_uPadded - tmp_uRow, '\0');
  }
  return tmp_s;
}

// Two techniques: TEQ_FONT (blending, stages, filters) and TEQ_ALPHA.
std::string TechPack() {
  return "<techniquespack>\n"
         "  <t id=\"TEQ_FONT\" tag=\"1\" alphablending=\"ON\" absrc=\"SRCALPHA\""
         " abdest=\"INVSRCALPHA\" s0_colorop=\"MODULATE\" s0_colorarg1=\"TEXTURE\""
         " s0_colorarg2=\"DIFFUSE\" s0_alphaop=\"MODULATE\" s0_alphaarg1=\"TEXTURE\""
         " s0_alphaarg2=\"DIFFUSE\" s0_address=\"CLAMP\" s1_colorop=\"DISABLE\""
         " s0_minfilter=\"LINEAR\" s0_magfilter=\"LINEAR\" s0_mipfilter=\"NONE\"/>\n"
         "  <t id=\"TEQ_ALPHA\" tag=\"1\" alphablending=\"OFF\"/>\n"
         "</techniquespack>\n";
}

// A font description with every width 10 except those in fp_mWidths, and
// without "cs" + fp_iSkip.
std::string FontDesc(const std::string& fp_strRoot, const std::string& fp_strTexture,
                     const std::map<int, std::string>& fp_mWidths = {}, int fp_iSkip = -1) {
  std::string tmp_s = "<" + fp_strRoot + " id=\"FNT_MAIN\" textureid=\"" + fp_strTexture +
                      "\" techniqueid=\"TEQ_FONT\" techpackid=\"TECH_PACK\" cellsize=\"16\""
                      " color0r=\"1\" color0g=\"1\" color0b=\"1\" color2r=\"0.5\" tag=\"1\"";
  for (int c = 0; c < 256; ++c) {
    if (c == fp_iSkip) continue;
    const auto it = fp_mWidths.find(c);
    tmp_s += " cs" + std::to_string(c) + "=\"" + (it != fp_mWidths.end() ? it->second : "10") +
             "\"";
  }
  return tmp_s + "/>\n";
}

// The graphics resources of a folder, the font first so that it loads its
// texture and its technique pack on demand.
const std::vector<SRes> kGfxRes = {
    {"TEX_SPLASH", "TEXTURE", "splash.bmp", 4, 1, 0},
    {"FNT_MAIN", "FONT", "font.dat"},
    {"TECH_PACK", "TECHNIQUE", "techs.dat"},
    {"TEX_FONT", "TEXTURE", "font.bmp", 2, 1, 0},
};

std::map<std::string, std::string> GfxFiles() {
  return {{"splash.bmp", CheckerBMP(64)},
          {"font.bmp", CheckerBMP(128)},
          {"techs.dat", TechPack()},
          {"font.dat", FontDesc("fontdesc", "TEX_FONT")}};
}

std::string ShortSine() {
  return audiotest::Wav(audiotest::Sine(441, audiotest::kRate, 0.1f, 0.5f, 1), 1, audiotest::kRate);
}

// The sound resources of a folder, the playlist before the music it names.
const std::vector<SRes> kSfxRes = {
    {"SND_CLICK", "SOUND", "click.wav", 0, 2, 0},
    {"SND_LOOP", "SOUND", "loop.wav", 1, 1, 1},
    {"PL_MAIN", "PLAYLIST", "playlist.dat"},
    {"MUS_A", "MUSIC", "a.mod", 1},
    {"MUS_B", "MUSIC", "b.mod", 0},
};

std::map<std::string, std::string> SfxFiles() {
  return {{"click.wav", ShortSine()},
          {"loop.wav", ShortSine()},
          {"a.mod", audiotest::Mod(true)},
          {"b.mod", audiotest::Mod(false)},
          {"playlist.dat",
           "<playlist id=\"PL_MAIN\" tag=\"3\">\n"
           "  <entry id=\"MUS_A\"/>\n  <entry id=\"MUS_NONE\"/>\n  <entry id=\"MUS_B\"/>\n"
           "</playlist>\n"}};
}

ProcResult RunChecker(const std::string& fp_strDir) {
  return RunProcess({BuildPath("m2dcheck"), fp_strDir}, fp_strDir,
                    {{"M2D_REPLAY", "\x01unset"}, {"M2D_RECORD", "\x01unset"}}, 60000);
}

// The lines that follow fp_strFirst (inclusive) up to the end of the log.
Lines From(const Lines& fp_vLines, const std::string& fp_strFirst) {
  for (size_t i = 0; i < fp_vLines.size(); ++i)
    if (fp_vLines[i] == fp_strFirst) return Lines(fp_vLines.begin() + static_cast<long>(i), fp_vLines.end());
  return {};
}

bool EndsWith(const Lines& fp_vLines, const Lines& fp_vEnd) {
  return fp_vLines.size() >= fp_vEnd.size() &&
         Lines(fp_vLines.end() - static_cast<long>(fp_vEnd.size()), fp_vLines.end()) == fp_vEnd;
}

Lines FatalReport(const std::string& fp_strType, int fp_iCode, const std::string& fp_strDesc) {
  return {" !!!: Fatal error!", " !!!: Error type: " + fp_strType,
          " !!!: Error code: " + std::to_string(fp_iCode), " !!!: Error desc: " + fp_strDesc,
          " !!!: Error location: "};
}

// A folder that must fail: the checker exits 1, the log holds the fatal
// report and ends with the footer, and the crash record is written.
struct SFailCase {
  const char* name;
  std::vector<SRes> res;
  std::map<std::string, std::string> files;
  std::string type;
  int code;
  std::string desc;
};

void ExpectFailure(const std::string& fp_strDir, const SFailCase& fp_rCase) {
  SCOPED_TRACE(fp_rCase.name);
  const std::string tmp_strDir = fp_strDir + "/" + fp_rCase.name;
  WriteData(tmp_strDir, fp_rCase.res, fp_rCase.files);
  const ProcResult r = RunChecker(tmp_strDir);
  EXPECT_FALSE(r.timedOut);
  EXPECT_EQ(r.exitCode, 1) << r.err;
  const Lines tmp_vLog = ReadLines(tmp_strDir + "/gamelog.txt");
  EXPECT_TRUE(ContainsLines(tmp_vLog, FatalReport(fp_rCase.type, fp_rCase.code, fp_rCase.desc)))
      << m2dtest::ReadFile(tmp_strDir + "/gamelog.txt");
  EXPECT_TRUE(EndsWith(tmp_vLog, kFooter));
  EXPECT_TRUE(ContainsLines(ReadLines(tmp_strDir + "/ehslog.txt"),
                            {"Exception type: " + fp_rCase.type,
                             "Exception code: " + std::to_string(fp_rCase.code),
                             "Exception desc: " + fp_rCase.desc}));
}

class BlackBoxDataTest : public m2dtest::TempDirTest {};

}  // namespace

// {==== Graphics ============================================================

TEST_F(BlackBoxDataTest, GraphicsFolderLoadsWithTheAdapterReportAndTheLoaderLines) {
  WriteData(Dir(), kGfxRes, GfxFiles());
  const ProcResult r = RunChecker(Dir());
  ASSERT_EQ(r.exitCode, 0) << r.err << m2dtest::ReadFile(Dir() + "/gamelog.txt");
  const Lines tmp_vLog = ReadLines(Dir() + "/gamelog.txt");

  // The headless adapter: no PCI IDs (so no rating), 800x600 at 16 and 32
  // bits, a 1024x768 desktop.
  const Lines tmp_vTexFormats = {"          Texture Formats:",
                                 "               TextureFormat01: D3DFMT_R5G6B5",
                                 "               TextureFormat02: D3DFMT_A4R4G4B4",
                                 "               TextureFormat03: D3DFMT_A8R8G8B8",
                                 "               TextureFormat04: D3DFMT_A8R8G8B8"};
  Lines tmp_vReport = {kSep1,
                       "--==: Preinitializing Graphics Subsystem...",
                       "   +: Direct3D object created.",
                       "  -=: Getting videoadapter capabilities...",
                       "     Videocard: Morvane2D recording device",
                       "       VendorID: 0",
                       "       DeviceID: 0",
                       "       Rating: Unknown",
                       "",
                       "   =: Enumerating videomodes...",
                       "   +: Done.",
                       "   =: Enumerating texture formats...",
                       "   +: Done.",
                       ""};
  const struct {
    const char* name;
    const char* format;
    const char* width;
    const char* height;
  } kModes[] = {{"Mode1", "D3DFMT_R5G6B5", "800", "600"},
                {"Mode2", "D3DFMT_X8R8G8B8", "800", "600"},
                {"Mode3", "D3DFMT_X8R8G8B8", "1024", "768"}};
  for (const auto& m : kModes) {
    tmp_vReport.insert(tmp_vReport.end(),
                       {std::string("     ") + m.name + ":", "          Display Mode:",
                        std::string("               Surface format: ") + m.format,
                        std::string("                        Width: ") + m.width,
                        std::string("                       Height: ") + m.height,
                        "                 Refresh Rate: 60"});
    tmp_vReport.insert(tmp_vReport.end(), tmp_vTexFormats.begin(), tmp_vTexFormats.end());
    tmp_vReport.push_back("");
  }
  tmp_vReport.insert(tmp_vReport.end(),
                     {"", "          Display Mode 1 is valid.", "          Display Mode 2 is valid.",
                      "          Display Mode 3 is valid.", "", ""});
  EXPECT_TRUE(ContainsLines(tmp_vLog, tmp_vReport)) << m2dtest::ReadFile(Dir() + "/gamelog.txt");
  EXPECT_TRUE(ContainsLines(tmp_vLog, {"     MaxTextureWidth         = 4096",
                                       "     MaxTextureHeight        = 4096"}));

  // The catalogue is loaded in order: the font asks for its texture and its
  // technique pack, which therefore load inside the font's lines; loading
  // them again later gives nothing new.
  const Lines tmp_vLoading = {
      "  -=: Loading resources with Tag = 0",
      "",
      "",
      "   =: Loading texture from memory. ID = TEX_SPLASH",
      "   =: Done.",
      "",
      "",
      "  -=: Loading font description from memory...",
      " !: Cannot find iID of texture with strID = TEX_FONT",
      "",
      "   =: Loading texture from memory. ID = TEX_FONT",
      "   =: Done.",
      "",
      " !: Cannot find iID of technique with strID = TEQ_FONT",
      "",
      "  -=: Processing techniques pack...",
      "   +: 2 techniques loaded.",
      "",
      "   +: Done.",
      "",
      "",
      "  -=: Processing techniques pack...",
      "   +: 0 techniques loaded.",
      "",
      "",
      "   +: 4 resources with Tag = 0 loaded.",
      "",
  };
  EXPECT_TRUE(ContainsLines(tmp_vLog, tmp_vLoading)) << m2dtest::ReadFile(Dir() + "/gamelog.txt");
  EXPECT_TRUE(ContainsLines(tmp_vLog, {"   =: Destroying Fonts Manager...", "   +: Done."}));
  EXPECT_TRUE(EndsWith(tmp_vLog, kFooter));
  EXPECT_FALSE(m2dtest::FileExists(Dir() + "/ehslog.txt"));
}

TEST_F(BlackBoxDataTest, BrokenGraphicsDataEndsTheCheckWithTheLoadersError) {
  const std::vector<SRes> kTech = {{"TECH_PACK", "TECHNIQUE", "techs.dat"}};
  const std::vector<SRes> kFont = {{"FNT_MAIN", "FONT", "font.dat"},
                                   {"TECH_PACK", "TECHNIQUE", "techs.dat"},
                                   {"TEX_FONT", "TEXTURE", "font.bmp"}};
  auto FontFiles = [](const std::string& fp_strDesc) {
    return std::map<std::string, std::string>{
        {"font.dat", fp_strDesc}, {"techs.dat", TechPack()}, {"font.bmp", CheckerBMP(32)}};
  };
  const SFailCase kCases[] = {
      {"techroot", kTech, {{"techs.dat", "<techniques><t id=\"TEQ_A\"/></techniques>"}},
       "General.", 0, "Wrong XML root node name: must be techniquespack!"},
      {"techid", kTech,
       {{"techs.dat", "<techniquespack><t id=\"TEQ_A\"/><t tag=\"1\"/></techniquespack>"}},
       "General.", 0, "Ivanlid technique ID!"},
      {"fontroot", kFont, FontFiles(FontDesc("font", "TEX_FONT")), "Game.", 0,
       "XML file doesn't contain font description!"},
      {"fontwidth", kFont, FontFiles(FontDesc("fontdesc", "TEX_FONT", {}, 200)), "General.", 0,
       "Invalid character length!"},
      {"fonttexture", kFont, FontFiles(FontDesc("fontdesc", "TEX_NONE")), "General.", 0,
       "Cannot load font texture!"},
      {"texture", {{"TEX_BAD", "TEXTURE", "bad.bmp"}},
       {{"bad.bmp", audiotest::Junk(300, 3)}}, "General.", 0, "Cannot create texture object!"},
  };
  for (const SFailCase& c : kCases) ExpectFailure(Dir(), c);
  // The missing font texture was looked for in the catalogue first.
  EXPECT_TRUE(ContainsLines(ReadLines(Dir() + "/fonttexture/gamelog.txt"),
                            {" !: Cannot find iID of texture with strID = TEX_NONE", "",
                             " !: Cannot find resource with ID = TEX_NONE",
                             " !: Cannot find iID of texture with strID = TEX_NONE"}));
}

// }====

// {==== Sound ===============================================================

TEST_F(BlackBoxDataTest, SoundFolderLoadsSoundsMusicAndThePlaylistWithItsMusic) {
  WriteData(Dir(), kSfxRes, SfxFiles());
  const ProcResult r = RunChecker(Dir());
  ASSERT_EQ(r.exitCode, 0) << r.err << m2dtest::ReadFile(Dir() + "/gamelog.txt");
  const Lines tmp_vLog = ReadLines(Dir() + "/gamelog.txt");
  EXPECT_FALSE(ContainsLine(tmp_vLog, " !: No sound card available!"));
  EXPECT_TRUE(ContainsLines(tmp_vLog, {"--==: Initializing Sound and Music Subsystem...", "",
                                       "   =: Creating Sounds Manager...", "", "   +: Done.", "",
                                       "   =: Creating Music Manager...", "", "   +: Done.", "",
                                       "   =: Creating Playlists Manager...", "", "   +: Done.",
                                       "   +: Done.", kSep1, ""}));
  // The playlist loads the music it names on demand and skips the entry
  // that names no resource; the music resources then load nothing new.
  const Lines tmp_vLoading = {
      "  -=: Loading resources with Tag = 0",
      "",
      "",
      "  -=: Loading sound: SND_CLICK",
      "   +: Done.",
      "",
      "",
      "  -=: Loading sound: SND_LOOP",
      "   +: Done.",
      "",
      "",
      "  -=: Processing playlist file...",
      " !: Cannot find iID of music with strID = MUS_A",
      "",
      "  -=: Loading music: MUS_A",
      "   +: Done.",
      "",
      " !: Cannot find iID of music with strID = MUS_NONE",
      "",
      " !: Cannot find resource with ID = MUS_NONE",
      " !: Cannot find iID of music with strID = MUS_NONE",
      " !: Cannot find iID of music with strID = MUS_B",
      "",
      "  -=: Loading music: MUS_B",
      "   +: Done.",
      "",
      "   =: New playlist contains 2 entries.",
      "   +: Done.",
      "",
      "",
      "   +: 5 resources with Tag = 0 loaded.",
      "",
  };
  EXPECT_TRUE(ContainsLines(tmp_vLog, tmp_vLoading)) << m2dtest::ReadFile(Dir() + "/gamelog.txt");
  EXPECT_TRUE(ContainsLines(tmp_vLog, {"   =: Destroying Sounds Manager...", "   +: Done.",
                                       "   =: Destroying Music Manager...", "   +: Done.",
                                       "   =: Destroying Playlists Manager...", "   +: Done."}));
  EXPECT_TRUE(EndsWith(tmp_vLog, kFooter));
}

TEST_F(BlackBoxDataTest, BadAudioDataEndsTheCheckWithTheLibrarysReason) {
  const std::string tmp_strJunk = audiotest::Junk(4000, 11);
  const SFailCase kCases[] = {
      {"sample", {{"SND_BAD", "SOUND", "bad.wav", 0, 1, 0}}, {{"bad.wav", tmp_strJunk}},
       "General.", audio::BASS_ERROR_FORMAT, "Cannot load sample!"},
      {"stream", {{"SND_BAD", "SOUND", "bad.wav", 1, 1, 0}}, {{"bad.wav", tmp_strJunk}},
       "General.", audio::BASS_ERROR_FORMAT, "Cannot create stream!"},
      {"module", {{"MUS_BAD", "MUSIC", "bad.mod", 1}}, {{"bad.mod", tmp_strJunk}}, "General.",
       audio::BASS_ERROR_FORMAT, "Cannot load music!"},
      {"playlist", {{"PL_BAD", "PLAYLIST", "pl.dat"}},
       {{"pl.dat", "<songs id=\"PL_BAD\"><e id=\"MUS_A\"/></songs>"}}, "Game.", 0,
       "XML file doesn't contain playlist data!"},
  };
  for (const SFailCase& c : kCases) ExpectFailure(Dir(), c);
}

// }====

// {==== Scripts =============================================================

TEST_F(BlackBoxDataTest, ScriptComputesValuesThroughTheEngineAPIAndLogsThem) {
  std::vector<SRes> tmp_vRes = {{"SCR_MAIN", "SCRIPT", "main.lua"}};
  tmp_vRes.insert(tmp_vRes.end(), kGfxRes.begin(), kGfxRes.end());
  tmp_vRes.insert(tmp_vRes.end(), kSfxRes.begin(), kSfxRes.end());
  std::map<std::string, std::string> tmp_mFiles = GfxFiles();
  tmp_mFiles.merge(SfxFiles());
  // The script runs first, so every demand loads its resource.
  tmp_mFiles["main.lua"] =
      "local tex = M2DUTIL_DemandTexture(\"TEX_FONT\")\n"
      "M2D_LOG_AddEntry(\"tex=\" .. tex)\n"
      "M2D_LOG_AddEntry(\"tex again=\" .. M2DUTIL_DemandTexture(\"TEX_FONT\"))\n"
      "M2D_LOG_AddEntry(\"splash=\" .. M2DUTIL_DemandTexture(\"TEX_SPLASH\"))\n"
      "M2D_LOG_AddEntry(\"teq=\" .. M2DUTIL_DemandTechnique(\"TEQ_ALPHA\", \"TECH_PACK\"))\n"
      "M2D_LOG_AddEntry(\"font=\" .. M2DUTIL_DemandFont(\"FNT_MAIN\"))\n"
      "M2D_LOG_AddEntry(\"snd=\" .. M2DUTIL_DemandSound(\"SND_LOOP\"))\n"
      "M2D_LOG_AddEntry(\"mus=\" .. M2DUTIL_DemandMusic(\"MUS_B\"))\n"
      "M2D_LOG_AddEntry(\"pl=\" .. M2DUTIL_DemandPlaylist(\"PL_MAIN\"))\n"
      "M2D_LOG_AddEntry(\"key=\" .. tostring(M2D_INP_KeyboardIsKeyPressed(30)))\n"
      "M2D_LOG_AddEntry(\"status=\" .. M2D_SFX_SoundGetStatus(\"SND_LOOP\"))\n"
      "M2D_GFX_FontSet(\"FNT_MAIN\")\n"
      "M2D_GFX_TechApply(\"TEQ_ALPHA\")\n"
      "M2D_GFX_TexSet(tex, 1)\n"
      "M2D_GFX_TexSetNoTexture(1)\n"
      "M2D_LOG_AddEntry(\"floor=\" .. math.floor(7.9) .. \" max=\" .. math.max(2, 5.5))\n";
  WriteData(Dir(), tmp_vRes, tmp_mFiles);
  const ProcResult r = RunChecker(Dir());
  ASSERT_EQ(r.exitCode, 0) << r.err << m2dtest::ReadFile(Dir() + "/gamelog.txt");
  const Lines tmp_vLog = ReadLines(Dir() + "/gamelog.txt");

  // A demand of an unloaded resource leaves the lookup's warning and the
  // loader's lines; a second demand logs nothing.
  EXPECT_TRUE(ContainsLines(tmp_vLog, {"   =: Loading script from buffer: SCR_MAIN",
                                       " !: Cannot find iID of texture with strID = TEX_FONT", "",
                                       "   =: Loading texture from memory. ID = TEX_FONT",
                                       "   =: Done.", "", "tex=0", "tex again=0"}))
      << m2dtest::ReadFile(Dir() + "/gamelog.txt");
  EXPECT_TRUE(ContainsLines(tmp_vLog, {"   =: Done.", "", "splash=1"}));
  EXPECT_TRUE(ContainsLines(tmp_vLog, {"   +: 2 techniques loaded.", "", "teq=1"}));
  EXPECT_TRUE(ContainsLines(tmp_vLog, {"   +: Done.", "", "font=0"}));
  EXPECT_TRUE(ContainsLines(tmp_vLog, {" !: Cannot find iID of sound with strID = SND_LOOP", "",
                                       "  -=: Loading sound: SND_LOOP", "   +: Done.", "",
                                       "snd=0"}));
  EXPECT_TRUE(ContainsLines(tmp_vLog, {"  -=: Loading music: MUS_B", "   +: Done.", "", "mus=0"}));
  // The playlist finds MUS_B loaded already and loads MUS_A after it.
  EXPECT_TRUE(ContainsLines(tmp_vLog, {"   =: New playlist contains 2 entries.", "   +: Done.", "",
                                       "pl=0", "key=false", "status=0", "floor=7 max=5.5", "   +: Done.",
                                       ""}));
  // Loading the catalogue afterwards adds only the second sound and reruns
  // nothing else but the technique pack (which finds both techniques loaded).
  const Lines tmp_vAfter = From(tmp_vLog, "floor=7 max=5.5");
  EXPECT_TRUE(ContainsLines(tmp_vAfter, {"  -=: Loading sound: SND_CLICK"}));
  EXPECT_TRUE(ContainsLine(tmp_vAfter, "   +: 0 techniques loaded."));
  EXPECT_FALSE(ContainsLine(tmp_vAfter, "   =: Loading texture from memory. ID = TEX_FONT"));
  EXPECT_FALSE(ContainsLine(tmp_vAfter, "  -=: Loading music: MUS_A"));
  EXPECT_TRUE(ContainsLine(tmp_vAfter, "   +: 10 resources with Tag = 0 loaded."));
  EXPECT_TRUE(EndsWith(tmp_vLog, kFooter));
}

TEST_F(BlackBoxDataTest, FailingScriptsGiveTheErrorReportOfLuaOrOfTheEngine) {
  auto Script = [](const std::string& fp_strText) {
    return std::map<std::string, std::string>{{"bad.lua", fp_strText}};
  };
  const std::vector<SRes> kRes = {{"SCR_BAD", "SCRIPT", "bad.lua"}};
  const SFailCase kCases[] = {
      {"syntax", kRes, Script("x = ("), "Lua.", 3,
       "[string \"SCR_BAD\"]:1: unexpected symbol near '<eof>'"},
      {"runtime", kRes, Script("local a = 1\nerror(\"boom\")\n"), "Lua.", 2,
       "[string \"SCR_BAD\"]:2: boom"},
      {"nostringlib", kRes, Script("M2D_LOG_AddEntry(string.len(\"abc\"))"), "Lua.", 2,
       "[string \"SCR_BAD\"]:1: attempt to index global 'string' (a nil value)"},
      {"glueargs", kRes, Script("M2D_RES_LoadResource()"), "Game.", 0,
       "Error in glue function: glue_M2D_RES_LoadResource.Invalid argument type. Index = 1"},
      {"demand", kRes, Script("M2DUTIL_DemandTexture(\"TEX_NONE\")"), "Game.", 0,
       "Invalid texture demand. ID = TEX_NONE"},
  };
  for (const SFailCase& c : kCases) ExpectFailure(Dir(), c);
  // Lines the script wrote before it failed stay in the log.
  const std::string tmp_strDir = Dir() + "/late";
  ExpectFailure(Dir(), {"late", kRes,
                        Script("M2D_LOG_AddEntry(\"before\")\nM2D_GFX_FontSet(\"FNT_NONE\")\n"),
                        "Game.", 0, "Cannot set current font: invalid ID. strID = FNT_NONE"});
  EXPECT_TRUE(ContainsLines(ReadLines(tmp_strDir + "/gamelog.txt"),
                            {"   =: Loading script from buffer: SCR_BAD", "before"}));
}

// }====
