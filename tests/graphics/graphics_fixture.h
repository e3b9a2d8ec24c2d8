// The fixture of the graphics subsystem tests: an engine started on the
// headless os stand-in with the recording device (over a scripted adapter),
// the resource subsystem over a DATA folder the test writes, image files and
// resource descriptions built here, and the quads the device was asked to
// draw, read back from its vertex stream.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "Platform/gfx/null/null_device.h"
#include "cmorvane.h"
#include "test_support.h"

namespace gfxtest {

// One resource of a descriptor.
struct SRes {
  std::string id, type, file;
  int tag = 1;
  int data1 = 0, data2 = 0, data3 = 0;
};

// DATA/res.xml listing the resources (their files are written by the test).
void WriteRespack(const std::vector<SRes>& fp_vRes);

// An uncompressed 32-bit TGA, top row first, of ARGB pixels.
std::string EncodeTGA(int fp_iWidth, int fp_iHeight, const std::vector<std::uint32_t>& fp_rARGB);
std::string SolidTGA(int fp_iWidth, int fp_iHeight, std::uint32_t fp_uARGB);

// A techniques pack of the given technique elements (each "<t .../>").
std::string TechPack(const std::vector<std::string>& fp_vTechniques);

// A font description: every width is fp_fWidth unless fp_rWidths names it;
// palette entry i is given by fp_vPalette[i] (r, g, b) when present;
// fp_strExtra is added to the root's attributes, and fp_iSkipWidth leaves
// "cs" + that code out.
std::string FontDesc(const std::string& fp_strID, const std::string& fp_strTexture,
                     const std::string& fp_strTechnique, const std::string& fp_strPack,
                     float fp_fCellSize, float fp_fWidth,
                     const std::vector<std::pair<int, float>>& fp_rWidths = {},
                     const std::vector<std::vector<float>>& fp_vPalette = {},
                     const std::string& fp_strExtra = "", int fp_iSkipWidth = -1);

// One drawn quad: its four vertices as the device received them.
struct SQuad {
  M2DVERTEX v[4];
};
// One draw call and the quads it drew.
struct SDraw {
  std::uint32_t triangles = 0;
  std::vector<SQuad> quads;
};

class GfxTest : public m2dtest::TempDirTest {
 protected:
  void SetUp() override;
  void TearDown() override;

  // The adapter the next Direct3D object is made over (null::DefaultAdapter
  // until a test changes it).
  gfx::null::SAdapter& Adapter() { return adapter_; }

  // The engine with its log header and the resource subsystem over ./DATA/.
  void StartEngine();
  // StartEngine, then graphics pre-initialised for 800x600 and initialised
  // in fp_uMode, full screen unless fp_bWindowed.
  void StartGraphics(std::uint32_t fp_uMode = 2, std::uint8_t fp_bWindowed = 0);

  gfx::null::CNullDevice* Device() const;
  // Records from here on the quads of every draw call.
  void CaptureDraws();
  const std::vector<SDraw>& Draws() const { return draws_; }
  // The number of recorded events of one kind.
  size_t CountEvents(gfx::null::ECall fp_eCall) const;

  // The log lines from the last one equal to fp_strFrom on.
  static std::vector<std::string> LogFrom(const std::string& fp_strFrom);
  static int CountLog(const std::string& fp_strLine);

  std::unique_ptr<CMorvane> engine;

 private:
  gfx::null::SAdapter adapter_;
  std::vector<SDraw> draws_;
};

// Runs fp_fn and returns the engine exception it throws (a failed test when it
// throws nothing or something else).
CEHSException Thrown(const std::function<void()>& fp_fn);

}  // namespace gfxtest
