// The fixture of the input tests: an engine with a headless game window and a
// recording graphics device, input fed from a replay file the test writes,
// and one call that runs a frame's message pump and input read.
#pragma once

#include <memory>
#include <string>

#include "Platform/gfx/d3d8.h"
#include "cmorvane.h"
#include "test_support.h"

namespace inputtest {

// The first line of every gamelog separator of style 1.
extern const char* const kSeparator;

class InputTest : public m2dtest::TempDirTest {
 protected:
  void SetUp() override;
  void TearDown() override;

  // Writes "session.txt" from fp_strBody (the header is added) and replays
  // it. Must come before StartEngine: the replay is chosen at the first read
  // of the clock.
  void UseReplay(const std::string& fp_strBody);
  // Creates the engine, the full-screen game window and the device, then
  // starts input unless told not to.
  void StartEngine(bool fp_bInitInput = true);
  // One frame: the message pump (the replay's next frame), then the input read.
  void Frame();
  // Destroys the engine (input shuts down in its destructor).
  void StopEngine();

  std::unique_ptr<CMorvane> engine_;
  gfx::IDirect3D8* d3d_ = nullptr;
  gfx::IDirect3DDevice8* device_ = nullptr;
};

}  // namespace inputtest
