// The Direct3D object of the OpenGL back end: the adapter as OpenGL and the
// system describe it. Its name and largest texture come from a hidden probe
// context (made once, when first needed), its PCI IDs from sysfs, its modes
// from the desktop: 800x600 in a 16-bit and a 32-bit format, and the
// desktop's own mode.

#include <SDL.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>

#include "Platform/gfx/gfx_device_base.h"
#include "Platform/gfx/gfx_formats.h"
#include "Platform/gfx/gl/gl_device.h"
#include "Platform/gfx/gl/gl_functions.h"
#include "Platform/gfx/gl/gl_internal.h"
#include "Platform/os/os_backend.h"

namespace gfx::gl {

namespace {

// Textures are held twice (the system-memory copy and OpenGL's), so their
// side is kept to this even where OpenGL allows more.
constexpr UINT kMaxTextureSide = 4096;

// The desktop's format as a display format: 8-bit desktops are paletted,
// 15- and 16-bit ones 5-6-5 or 5-5-5, everything deeper 32-bit.
D3DFORMAT FormatOfSDL(Uint32 fp_uFormat) {
  if (SDL_BITSPERPIXEL(fp_uFormat) <= 8) return D3DFMT_P8;
  if (fp_uFormat == SDL_PIXELFORMAT_RGB565 || fp_uFormat == SDL_PIXELFORMAT_BGR565) return D3DFMT_R5G6B5;
  if (SDL_BITSPERPIXEL(fp_uFormat) <= 16) return D3DFMT_X1R5G5B5;
  return D3DFMT_X8R8G8B8;
}

// The PCI IDs of the first graphics card sysfs lists, 0 where unreadable.
void ReadPciIds(DWORD* fp_pVendor, DWORD* fp_pDevice) {
  *fp_pVendor = 0;
  *fp_pDevice = 0;
  std::error_code tmp_Error;
  std::vector<std::string> tmp_Cards;
  for (const auto& tmp_rEntry : std::filesystem::directory_iterator("/sys/class/drm", tmp_Error)) {
    const std::string tmp_Name = tmp_rEntry.path().filename().string();
    // "card0", not "card0-HDMI-A-1" (a connector) or "renderD128".
    if (tmp_Name.size() > 4 && tmp_Name.compare(0, 4, "card") == 0 &&
        tmp_Name.find_first_not_of("0123456789", 4) == std::string::npos) {
      tmp_Cards.push_back(tmp_rEntry.path().string());
    }
  }
  std::sort(tmp_Cards.begin(), tmp_Cards.end());
  auto tmp_Read = [](const std::string& fp_rPath, DWORD* fp_pValue) {
    std::ifstream tmp_File(fp_rPath);
    std::string tmp_Text;
    if (!(tmp_File >> tmp_Text)) return false;
    char* tmp_pEnd = nullptr;
    const unsigned long tmp_ul = std::strtoul(tmp_Text.c_str(), &tmp_pEnd, 16);
    if (tmp_pEnd == tmp_Text.c_str() || tmp_ul > 0xFFFFul) return false;
    *fp_pValue = static_cast<DWORD>(tmp_ul);
    return true;
  };
  for (const std::string& tmp_rCard : tmp_Cards) {
    DWORD tmp_dwVendor = 0, tmp_dwDevice = 0;
    if (tmp_Read(tmp_rCard + "/device/vendor", &tmp_dwVendor) && tmp_Read(tmp_rCard + "/device/device", &tmp_dwDevice)) {
      *fp_pVendor = tmp_dwVendor;
      *fp_pDevice = tmp_dwDevice;
      return;
    }
  }
}

bool IsSoftwareRenderer(const std::string& fp_rRenderer) {
  for (const char* tmp_pszName : {"llvmpipe", "softpipe", "swrast", "Software Rasterizer"}) {
    if (fp_rRenderer.find(tmp_pszName) != std::string::npos) return true;
  }
  return false;
}

class CGLDirect3D final : public detail::TRefCounted<IDirect3D8> {
 public:
  ~CGLDirect3D() override { SDL_QuitSubSystem(SDL_INIT_VIDEO); }

  UINT GetAdapterCount() override { return 1; }

  HRESULT GetAdapterIdentifier(UINT fp_uAdapter, DWORD, D3DADAPTER_IDENTIFIER8* fp_pIdentifier) override {
    if (fp_uAdapter != 0 || fp_pIdentifier == nullptr) return D3DERR_INVALIDCALL;
    if (!Probe()) return D3DERR_NOTAVAILABLE;
    std::memset(fp_pIdentifier, 0, sizeof(*fp_pIdentifier));
    const std::string tmp_Driver = vendor_ + ", OpenGL " + version_;
    const size_t tmp_uMax = MAX_DEVICE_IDENTIFIER_STRING - 1;
    std::memcpy(fp_pIdentifier->Driver, tmp_Driver.data(), std::min(tmp_Driver.size(), tmp_uMax));
    std::memcpy(fp_pIdentifier->Description, renderer_.data(), std::min(renderer_.size(), tmp_uMax));
    fp_pIdentifier->VendorId = vendorId_;
    fp_pIdentifier->DeviceId = deviceId_;
    return D3D_OK;
  }

  UINT GetAdapterModeCount(UINT fp_uAdapter) override {
    if (fp_uAdapter != 0) return 0;
    D3DDISPLAYMODE tmp_aModes[3];
    return Modes(tmp_aModes);
  }

  HRESULT EnumAdapterModes(UINT fp_uAdapter, UINT fp_uMode, D3DDISPLAYMODE* fp_pMode) override {
    if (fp_uAdapter != 0 || fp_pMode == nullptr) return D3DERR_INVALIDCALL;
    D3DDISPLAYMODE tmp_aModes[3];
    if (fp_uMode >= Modes(tmp_aModes)) return D3DERR_INVALIDCALL;
    *fp_pMode = tmp_aModes[fp_uMode];
    return D3D_OK;
  }

  HRESULT GetAdapterDisplayMode(UINT fp_uAdapter, D3DDISPLAYMODE* fp_pMode) override {
    if (fp_uAdapter != 0 || fp_pMode == nullptr) return D3DERR_INVALIDCALL;
    *fp_pMode = Desktop();
    return D3D_OK;
  }

  HRESULT CheckDeviceFormat(UINT fp_uAdapter, D3DDEVTYPE fp_DeviceType, D3DFORMAT fp_AdapterFormat, DWORD fp_dwUsage,
                            D3DRESOURCETYPE fp_RType, D3DFORMAT fp_CheckFormat) override {
    if (fp_uAdapter != 0) return D3DERR_INVALIDCALL;
    if (fp_DeviceType != D3DDEVTYPE_HAL || !detail::IsDisplayFormat(fp_AdapterFormat)) return D3DERR_NOTAVAILABLE;
    if ((fp_dwUsage & (D3DUSAGE_RENDERTARGET | D3DUSAGE_DEPTHSTENCIL)) != 0) return D3DERR_NOTAVAILABLE;
    switch (fp_RType) {
      case D3DRTYPE_TEXTURE:
      case D3DRTYPE_SURFACE: {
        const std::vector<D3DFORMAT>& tmp_rHeld = detail::HeldTextureFormats();
        return std::find(tmp_rHeld.begin(), tmp_rHeld.end(), fp_CheckFormat) != tmp_rHeld.end() ? D3D_OK
                                                                                               : D3DERR_NOTAVAILABLE;
      }
      case D3DRTYPE_VERTEXBUFFER:
        return fp_CheckFormat == D3DFMT_VERTEXDATA ? D3D_OK : D3DERR_NOTAVAILABLE;
      case D3DRTYPE_INDEXBUFFER:
        return fp_CheckFormat == D3DFMT_INDEX16 || fp_CheckFormat == D3DFMT_INDEX32 ? D3D_OK : D3DERR_NOTAVAILABLE;
      default:
        return D3DERR_NOTAVAILABLE;
    }
  }

  HRESULT GetDeviceCaps(UINT fp_uAdapter, D3DDEVTYPE fp_DeviceType, D3DCAPS8* fp_pCaps) override {
    if (fp_uAdapter != 0 || fp_pCaps == nullptr) return D3DERR_INVALIDCALL;
    if (fp_DeviceType != D3DDEVTYPE_HAL || !Probe()) return D3DERR_NOTAVAILABLE;
    *fp_pCaps = Caps();
    return D3D_OK;
  }

  HRESULT CreateDevice(UINT fp_uAdapter, D3DDEVTYPE fp_DeviceType, HWND fp_hFocusWindow, DWORD,
                       D3DPRESENT_PARAMETERS* fp_pParams, IDirect3DDevice8** fp_ppDevice) override {
    if (fp_ppDevice == nullptr) return D3DERR_INVALIDCALL;
    *fp_ppDevice = nullptr;
    if (fp_uAdapter != 0) return D3DERR_INVALIDCALL;
    if (fp_DeviceType != D3DDEVTYPE_HAL || !Probe()) return D3DERR_NOTAVAILABLE;
    detail::SDeviceConfig tmp_Config;
    tmp_Config.caps = Caps();
    tmp_Config.desktop = Desktop();
    tmp_Config.textureFormats = detail::HeldTextureFormats();
    tmp_Config.maxTargetSize = maxTarget_;
    HRESULT tmp_hr = detail::CDeviceBase::ValidateParams(fp_pParams, fp_hFocusWindow, tmp_Config);
    if (tmp_hr != D3D_OK) return tmp_hr;
    SDL_Window* tmp_pWindow = os::GetSDLWindow(fp_pParams->hDeviceWindow);
    if (tmp_pWindow == nullptr) {
      SetLastErrorText("the device window has no system window behind it");
      return D3DERR_INVALIDCALL;
    }
    if ((SDL_GetWindowFlags(tmp_pWindow) & SDL_WINDOW_OPENGL) == 0) {
      SetLastErrorText("the device window was not created for OpenGL");
      return D3DERR_NOTAVAILABLE;
    }
    tmp_hr = gl::CreateDevice(this, fp_pParams->hDeviceWindow, tmp_pWindow, *fp_pParams, tmp_Config, fp_ppDevice);
    return tmp_hr;
  }

 private:
  D3DDISPLAYMODE Desktop() const {
    SDL_DisplayMode tmp_Mode{};
    if (SDL_GetDesktopDisplayMode(0, &tmp_Mode) != 0) return D3DDISPLAYMODE{800, 600, 0, D3DFMT_X8R8G8B8};
    return D3DDISPLAYMODE{static_cast<UINT>(std::max(tmp_Mode.w, 1)), static_cast<UINT>(std::max(tmp_Mode.h, 1)),
                          static_cast<UINT>(std::max(tmp_Mode.refresh_rate, 0)), FormatOfSDL(tmp_Mode.format)};
  }

  // 800x600 at 16 and 32 bits, and the desktop's mode when it is another.
  UINT Modes(D3DDISPLAYMODE* fp_pModes) const {
    const D3DDISPLAYMODE tmp_Desktop = Desktop();
    UINT n = 0;
    fp_pModes[n++] = D3DDISPLAYMODE{800, 600, tmp_Desktop.RefreshRate, D3DFMT_R5G6B5};
    fp_pModes[n++] = D3DDISPLAYMODE{800, 600, tmp_Desktop.RefreshRate, D3DFMT_X8R8G8B8};
    const bool tmp_bListed = tmp_Desktop.Width == 800 && tmp_Desktop.Height == 600 &&
                             (tmp_Desktop.Format == D3DFMT_R5G6B5 || tmp_Desktop.Format == D3DFMT_X8R8G8B8);
    if (!tmp_bListed) fp_pModes[n++] = tmp_Desktop;
    return n;
  }

  D3DCAPS8 Caps() const { return detail::MakeCaps(std::min(maxTexture_, kMaxTextureSide), !software_); }

  bool Probe() {
    if (probed_) return probeOk_;
    probed_ = true;
    RequestCoreContext();
    // Keep the GL library loaded for the rest of the process. Otherwise SDL
    // unloads it when the probe window, the only GL window so far, goes, and
    // the driver's state is lost (and reported as leaked) before the game
    // window loads it again.
    static const bool s_bLibraryKept = SDL_GL_LoadLibrary(nullptr) == 0;
    (void)s_bLibraryKept;
    SDL_Window* tmp_pWindow =
        SDL_CreateWindow("", SDL_WINDOWPOS_UNDEFINED, SDL_WINDOWPOS_UNDEFINED, 16, 16, SDL_WINDOW_OPENGL | SDL_WINDOW_HIDDEN);
    if (tmp_pWindow == nullptr) {
      SetLastErrorText(std::string("cannot create the probe window: ") + SDL_GetError());
      return false;
    }
    SDL_GLContext tmp_Context = SDL_GL_CreateContext(tmp_pWindow);
    ForgetCurrentContext();
    if (tmp_Context == nullptr) {
      SetLastErrorText(std::string("cannot create an OpenGL 3.3 core context: ") + SDL_GetError());
      SDL_DestroyWindow(tmp_pWindow);
      return false;
    }
    auto tmp_pGetString = reinterpret_cast<PFNGLGETSTRINGPROC>(SDL_GL_GetProcAddress("glGetString"));
    auto tmp_pGetIntegerv = reinterpret_cast<PFNGLGETINTEGERVPROC>(SDL_GL_GetProcAddress("glGetIntegerv"));
    if (tmp_pGetString != nullptr && tmp_pGetIntegerv != nullptr) {
      auto tmp_Text = [&](GLenum fp_eName) {
        const GLubyte* tmp_p = tmp_pGetString(fp_eName);
        return std::string(tmp_p != nullptr ? reinterpret_cast<const char*>(tmp_p) : "");
      };
      vendor_ = tmp_Text(GL_VENDOR);
      renderer_ = tmp_Text(GL_RENDERER);
      version_ = tmp_Text(GL_VERSION);
      GLint tmp_iMax = 0;
      tmp_pGetIntegerv(GL_MAX_TEXTURE_SIZE, &tmp_iMax);
      maxTexture_ = tmp_iMax > 0 ? static_cast<UINT>(tmp_iMax) : 0;
      GLint tmp_iRender = 0;
      tmp_pGetIntegerv(GL_MAX_RENDERBUFFER_SIZE, &tmp_iRender);
      maxTarget_ = std::min(maxTexture_, tmp_iRender > 0 ? static_cast<UINT>(tmp_iRender) : maxTexture_);
      probeOk_ = maxTexture_ >= 64 && !renderer_.empty();
    }
    SDL_GL_DeleteContext(tmp_Context);
    SDL_DestroyWindow(tmp_pWindow);
    if (!probeOk_) {
      SetLastErrorText("the OpenGL context does not describe itself");
      return false;
    }
    software_ = IsSoftwareRenderer(renderer_);
    // A software renderer runs on the processor: the PCI IDs of whatever
    // graphics card the machine has would describe another device.
    if (!software_) ReadPciIds(&vendorId_, &deviceId_);
    return true;
  }

  bool probed_ = false;
  bool probeOk_ = false;
  bool software_ = true;
  std::string vendor_, renderer_, version_;
  UINT maxTexture_ = 0;
  UINT maxTarget_ = 0;
  DWORD vendorId_ = 0;
  DWORD deviceId_ = 0;
};

}  // namespace

IDirect3D8* CreateDirect3D() {
  if (!os::HasDisplay()) {
    SetLastErrorText("no display");
    return nullptr;
  }
  if (SDL_InitSubSystem(SDL_INIT_VIDEO) != 0) {
    SetLastErrorText(std::string("cannot start SDL's video: ") + SDL_GetError());
    return nullptr;
  }
  return new CGLDirect3D();
}

}  // namespace gfx::gl
