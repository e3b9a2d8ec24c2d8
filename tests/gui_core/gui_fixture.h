// The fixture of the GUI core tests: an engine started headless (recording
// device, input and clock from a replay the test writes, scripts) with a GUI
// manager, a DATA folder of resources the test writes, two small element
// classes of the tests' own, and the quads the device was asked to draw.
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "Platform/gfx/null/null_device.h"
#include "cmorvane.h"
#include "m2dgui_cmorvanegui.h"
#include "test_support.h"

namespace guitest {

// One resource: its descriptor line and the file written beside it.
struct SRes {
  std::string id, type, file, bytes;
  int tag = 1;
};
// DATA/res.xml listing the resources, and their files.
void WriteRespack(const std::vector<SRes>& fp_vRes);

// Replay frames of fp_iStepMs each after the start-up frame, the clock
// starting at 1000 (the "init" reading); fp_Extra adds records to frame i
// (1-based: the i-th call of Frame or UpdateOnly).
std::string ReplayFrames(int fp_iCount, int fp_iStepMs,
                         const std::function<std::string(int)>& fp_Extra = nullptr);

// An uncompressed 32-bit TGA of one colour.
std::string SolidTGA(int fp_iWidth, int fp_iHeight, std::uint32_t fp_uARGB);

// A drawn quad: the rectangle of its first and third vertices and the
// diffuse colour of the first.
struct SQuad {
  float x, y, width, height;
  std::uint32_t color;
};

// "testbox": draws one untextured quad over its absolute rectangle in its
// absolute colour, then its children; "on_click" (15) is an action that
// command 20 runs, "enum_frames" (42) keeps the enumeration it is given.
class CTestBox : public CGUIElement {
 public:
  explicit CTestBox(const char* fp_pszID) : CGUIElement(fp_pszID) {}
  void SetParam(std::int32_t fp_iID, const CGUIValue& fp_rValue) override;
  void ExecuteCommand(std::int32_t fp_iCommand) override;
  void Update(const GUIRECT& fp_rParentRect, const GUIRECT& fp_rParentColor, bool fp_bVisible,
              bool fp_bEnabled, float fp_fOffsetX, float fp_fOffsetY) override;
  void Draw() override;

  CGUIAction onClick;
  CGUIEnum* frames = nullptr;
};

// "testtip": a tip as the manager sees one: not in its parent's child list,
// placed at the cursor plus its coordinates, counting the show commands.
class CTestTip : public CGUIElement {
 public:
  explicit CTestTip(const char* fp_pszID) : CGUIElement(fp_pszID) {}
  void SetParent(CGUIElement* fp_pParent) override { parent = fp_pParent; }
  void ExecuteCommand(std::int32_t fp_iCommand) override;
  void Update(const GUIRECT&, const GUIRECT&, bool, bool, float, float) override;
  void Draw() override;

  int shows = 0;
  int updates = 0;
};

CGUIElement* CreateTestBox(const char* fp_pszID);
CGUIElement* CreateTestTip(const char* fp_pszID);

class GuiTest : public m2dtest::TempDirTest {
 protected:
  void SetUp() override;
  void TearDown() override;

  // Writes "session.txt" (the header is added) and replays it; before StartEngine.
  void UseReplay(const std::string& fp_strBody);
  // The engine with resources over ./DATA/, graphics on the recording device
  // (800x600), input and scripts; then the GUI manager with the test classes.
  void StartEngine();
  // One frame: messages, timer, input, the GUI's update, then a scene with
  // the GUI drawn. The quads drawn in it replace those of the last frame.
  void Frame();
  // The GUI's update only (no drawing).
  void UpdateOnly();

  gfx::null::CNullDevice* Device() const;
  const std::vector<SQuad>& Quads() const { return quads_; }
  template <class T>
  T* Element(const char* fp_pszID) const {
    return dynamic_cast<T*>(gui->GetElement(gui->GetElementID(fp_pszID)));
  }
  // Runs a Lua chunk (the engine's script loader).
  void RunLua(const std::string& fp_strChunk);
  // How many lines of the game log equal fp_strLine.
  static int CountLog(const std::string& fp_strLine);

  std::unique_ptr<CMorvane> engine;
  std::unique_ptr<CMorvaneGUI> gui;

 private:
  std::vector<SQuad> quads_;
  std::vector<SQuad> pending_;
};

// Runs fp_fn and returns the engine exception it throws (a failed test when
// it throws nothing or something else).
CEHSException Thrown(const std::function<void()>& fp_fn);

}  // namespace guitest
