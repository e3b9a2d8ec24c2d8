// The entry point of the device: the recording back end when the os
// stand-in runs headless, OpenGL otherwise.

#include "Platform/gfx/d3d8.h"
#include "Platform/gfx/gl/gl_device.h"
#include "Platform/gfx/null/null_device.h"
#include "Platform/os/os_backend.h"

namespace gfx {

IDirect3D8* Direct3DCreate8(UINT fp_uSDKVersion) {
  if (fp_uSDKVersion != D3D_SDK_VERSION) return nullptr;
  if (os::GetBackend() == os::Backend::Headless) return null::CreateDirect3D(null::ProcessAdapter());
  return gl::CreateDirect3D();
}

}  // namespace gfx
