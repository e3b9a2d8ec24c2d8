// The fixture of the tile-family tests: a headless engine (recording device,
// input and clock from a replay the test writes, sound on the manual output)
// with a GUI manager, a DATA folder the test writes, native actions that
// note their calls, and the quads drawn in the last frame with their texture
// coordinates and the texture bound while they were drawn.
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "Platform/gfx/null/null_device.h"
#include "cmorvane.h"
#include "m2dgui_cmorvanegui.h"
#include "test_support.h"

namespace tilestest {

struct SRes {
  std::string id, type, file, bytes;
};
// DATA/res.xml listing the resources (tag 1), and their files.
void WriteRespack(const std::vector<SRes>& fp_vRes);

// Replay frames of fp_iStepMs each after the start-up frame, the clock
// starting at 1000; fp_Extra adds records to frame i (1-based).
std::string ReplayFrames(int fp_iCount, int fp_iStepMs,
                         const std::function<std::string(int)>& fp_Extra = nullptr);

// A 32-bit TGA of one colour; a mono 16-bit WAV of silence.
std::string SolidTGA(int fp_iWidth, int fp_iHeight, std::uint32_t fp_uARGB);
std::string SilentWav(int fp_iSamples);

// A drawn quad: the positions and set-1 texture coordinates of its first and
// third vertices, the diffuse colour of the first, and the stage-0 texture.
struct SQuad {
  float x, y, width, height;
  float u0, v0, u1, v1;
  std::uint32_t color;
  const void* texture;
};

// The calls of the native actions "A_<name>" registered by StartEngine, in
// order; an action that got arguments notes the first one: "CHECK(7)".
extern std::vector<std::string> g_vEvents;

class TilesTest : public m2dtest::TempDirTest {
 protected:
  void SetUp() override;
  void TearDown() override;

  // Writes "session.txt" and replays it; before StartEngine.
  void UseReplay(const std::string& fp_strBody);
  // Engine, resources over ./DATA/, graphics, input, sound, scripts, the GUI
  // manager and the test actions.
  void StartEngine();
  // Loads a GUIDATA resource written as DATA/gui.dat with the given tree.
  void LoadGui(const std::string& fp_strXml, std::vector<SRes> fp_vMore = {});
  // One frame: messages, timer, input, GUI update, a scene with the GUI drawn.
  void Frame();

  const std::vector<SQuad>& Quads() const { return quads_; }
  template <class T>
  T* Element(const char* fp_pszID) const {
    return dynamic_cast<T*>(gui->GetElement(gui->GetElementID(fp_pszID)));
  }
  // The device texture behind an engine texture ID.
  const void* Texture(const char* fp_pszID) const;
  // True when the sound is playing; stops it so the next play shows again.
  bool TakeSound(const char* fp_pszID);
  // The events noted since the last call.
  static std::vector<std::string> TakeEvents();

  std::unique_ptr<CMorvane> engine;
  std::unique_ptr<CMorvaneGUI> gui;

 private:
  std::vector<SQuad> quads_;
  std::vector<SQuad> pending_;
};

CEHSException Thrown(const std::function<void()>& fp_fn);

}  // namespace tilestest
