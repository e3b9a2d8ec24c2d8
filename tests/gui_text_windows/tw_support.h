// Resources shared by the text and window tests: a bitmap font with known
// widths and palette, its texture and technique, frame textures, a short
// sound, and a fixture that starts the engine (with sound on the manual
// output when asked) and loads one GUI data file.
#pragma once

#include <cmath>
#include <cstdint>
#include <string>
#include <vector>

#include "Platform/audio/audio.h"
#include "Platform/audio/audio_manual.h"
#include "Platform/gfx/null/null_device.h"
#include "gui_fixture.h"

namespace twtest {

// Cell 16 px; every character advances 10 px except "W" (11 px); palette
// entry 3 is green.
inline std::string FontDesc() {
  std::string s =
      "<fontdesc id=\"FNT_A\" textureid=\"TEX_FONT\" techniqueid=\"TEQ_FONT\" "
      "techpackid=\"TP_MAIN\" cellsize=\"16\" tag=\"1\" color3g=\"1\"";
  for (int c = 0; c < 256; ++c) {
    s += " cs";
    s += std::to_string(c);
    s += c == 'W' ? "=\"11\"" : "=\"10\"";
  }
  return s + "/>";
}

// A mono 16-bit WAV of a 441 Hz tone.
inline std::string ToneWav(float fp_fSeconds) {
  const int tmp_iRate = 44100;
  const int tmp_iFrames = static_cast<int>(fp_fSeconds * tmp_iRate);
  auto put = [](std::string* o, std::uint32_t v, int n) {
    for (int i = 0; i < n; ++i) o->push_back(static_cast<char>((v >> (8 * i)) & 0xFF));
  };
  std::string w = "RIFF";
  put(&w, 36 + tmp_iFrames * 2, 4);
  w += "WAVEfmt ";
  put(&w, 16, 4);
  put(&w, 1, 2);
  put(&w, 1, 2);
  put(&w, tmp_iRate, 4);
  put(&w, tmp_iRate * 2, 4);
  put(&w, 2, 2);
  put(&w, 16, 2);
  w += "data";
  put(&w, tmp_iFrames * 2, 4);
  for (int i = 0; i < tmp_iFrames; ++i)
    put(&w, static_cast<std::uint16_t>(static_cast<std::int16_t>(
                16000 * std::sin(2.0 * 3.14159265358979 * 441.0 * i / tmp_iRate))),
        2);
  return w;
}

// The font, its texture and technique pack, four frame textures
// (TEX_F0 to TEX_F3), a sound pair, the frames enumeration and the GUI
// data fp_strGui as GUI_T.
inline void WriteData(const std::string& fp_strGui) {
  std::vector<guitest::SRes> v = {
      {"TEX_FONT", "TEXTURE", "font.tga", guitest::SolidTGA(16, 16, 0xFFFFFFFF)},
      {"TP_MAIN", "TECHNIQUE", "main.tp",
       "<techniquespack><t id=\"TEQ_FONT\" tag=\"1\" alphablending=\"ON\" absrc=\"SRCALPHA\" "
       "abdest=\"INVSRCALPHA\"/><t id=\"TEQ_OWN\" tag=\"1\"/></techniquespack>"},
      {"FNT_A", "FONT", "a.fnt", FontDesc()},
      {"SND_SHOW", "SOUND", "show.wav", ToneWav(0.5f)},
      {"SND_HIDE", "SOUND", "hide.wav", ToneWav(0.5f)},
      {"ENUM_FRAMES", "GUIENUMDATA", "frames.dat",
       "<guienum f0=\"TEX_F0\" f1=\"TEX_F1\" f2=\"TEX_F2\" f3=\"TEX_F3\"/>"},
      {"ENUM_MISSING", "GUIENUMDATA", "missing.dat", "<guienum f0=\"TEX_F0\" f1=\"TEX_NONE\"/>"},
      {"GUI_T", "GUIDATA", "t.dat", fp_strGui}};
  for (int i = 0; i < 4; ++i) {
    const std::string tmp_strN = std::to_string(i);
    std::string tmp_strID = "TEX_F";
    tmp_strID += tmp_strN;
    std::string tmp_strFile = "f";
    tmp_strFile += tmp_strN;
    tmp_strFile += ".tga";
    v.push_back({tmp_strID, "TEXTURE", tmp_strFile,
                 guitest::SolidTGA(8, 8, 0xFF000000u + static_cast<std::uint32_t>(i))});
  }
  // Resources of tag 2 load only when demanded.
  for (auto& r : v) r.tag = 2;
  guitest::WriteRespack(v);
}

class TwTest : public guitest::GuiTest {
 protected:
  // Replay body, data, engine, sound (manual output) and the GUI data.
  void Start(const std::string& fp_strReplay, const std::string& fp_strGui) {
    UseReplay(fp_strReplay);
    WriteData(fp_strGui);
    StartEngine();
    engine->sfxOutputDevice = audio::kAudioDeviceManual;
    engine->SFX_Init(44100);
    g_bAppActive = 1;
    engine->LoadResource("GUI_T");
  }
  // The diffuse colour's alpha byte.
  static int Alpha(std::uint32_t fp_uColor) { return static_cast<int>(fp_uColor >> 24); }
  // Viewport events of the recording device, as (x, y, width, height).
  std::vector<std::vector<std::uint32_t>> Viewports() const {
    std::vector<std::vector<std::uint32_t>> out;
    for (const auto& e : Device()->EventsOf(gfx::detail::ECall::SetViewport))
      out.push_back({e.a, e.b, e.c, e.d});
    return out;
  }
};

}  // namespace twtest
