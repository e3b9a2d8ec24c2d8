// The OpenGL back end of the device: an OpenGL 3.3 (or later) core context
// on the game window, drawing into an off-screen target of the back buffer's
// size with one shader program that follows the fixed-function states the
// engine sets; Present scales the target into the window (letterboxed) and
// applies the gamma ramp. The window comes from the os stand-in.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "Platform/gfx/d3d8.h"

namespace gfx::gl {

// The Direct3D object of this back end, or null when the os stand-in has no
// display. The adapter (its name, the largest texture) is probed with a
// hidden window and context the first time it is asked.
IDirect3D8* CreateDirect3D();

// What the last failure of this back end was about ("" when none), for
// diagnostics: the device's results only carry a code.
std::string LastErrorText();

// Test access to a device of this back end.
class IGLDeviceTestAccess {
 public:
  // At the next successful Present, the window's pixels as drawn (after
  // scaling and the gamma ramp) are copied to *fp_pPixels as RGBA bytes, top
  // row first, with their size in *fp_piWidth and *fp_piHeight.
  virtual void CaptureNextPresent(std::vector<std::uint8_t>* fp_pPixels, int* fp_piWidth, int* fp_piHeight) = 0;
  // The back buffer as drawn so far, ARGB, top row first.
  virtual void ReadBackBuffer(std::vector<std::uint32_t>* fp_pPixels) = 0;
  // The OpenGL version string of the context.
  virtual std::string ContextVersion() = 0;

 protected:
  ~IGLDeviceTestAccess() = default;
};

// The test access of an OpenGL device, or null for another back end's device.
IGLDeviceTestAccess* AsGLDevice(IDirect3DDevice8* fp_pDevice);

}  // namespace gfx::gl
