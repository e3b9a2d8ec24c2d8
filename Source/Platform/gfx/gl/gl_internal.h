// What the OpenGL Direct3D object and the OpenGL device share: device
// creation, the context request, the tracking of the current context and
// the last error text.
#pragma once

#include <string>

#include "Platform/gfx/d3d8.h"
#include "Platform/gfx/gfx_device_base.h"

struct SDL_Window;

namespace gfx::gl {

// Sets SDL's attributes for the next context: OpenGL 3.3 core, double
// buffered (a later version is accepted).
void RequestCoreContext();

// Creates a device on fp_pWindow; D3D_OK and *fp_ppDevice, or the failure
// (with LastErrorText telling why).
HRESULT CreateDevice(IDirect3D8* fp_pParent, HWND fp_hWindow, SDL_Window* fp_pWindow,
                     const D3DPRESENT_PARAMETERS& fp_rParams, const detail::SDeviceConfig& fp_rConfig,
                     IDirect3DDevice8** fp_ppDevice);

// Another context was made current (the adapter probe): the device makes its
// own current again before its next OpenGL call.
void ForgetCurrentContext();

void SetLastErrorText(const std::string& fp_rText);

}  // namespace gfx::gl
