// The recording device and its scripted Direct3D object: calls are kept as
// events, Clear fills a colour buffer, Present turns it into the front
// buffer; the adapter answers from an SAdapter.

#include "Platform/gfx/null/null_device.h"

#include <algorithm>
#include <cstring>
#include <new>

#include "Platform/gfx/gfx_formats.h"

namespace gfx::null {

namespace {

CNullDevice* g_pLastDevice = nullptr;

SAdapter& ProcessAdapterStorage() {
  static SAdapter s_Adapter = DefaultAdapter();
  return s_Adapter;
}

}  // namespace

// {==== Adapter ==============================================================

SAdapter DefaultAdapter() {
  SAdapter tmp_Adapter;
  tmp_Adapter.modes = {
      D3DDISPLAYMODE{800, 600, 60, D3DFMT_R5G6B5},
      D3DDISPLAYMODE{800, 600, 60, D3DFMT_X8R8G8B8},
      D3DDISPLAYMODE{1024, 768, 60, D3DFMT_X8R8G8B8},
  };
  tmp_Adapter.displayFormats = {D3DFMT_R5G6B5, D3DFMT_X1R5G5B5, D3DFMT_X8R8G8B8, D3DFMT_A8R8G8B8};
  tmp_Adapter.textureFormats = detail::HeldTextureFormats();
  tmp_Adapter.caps = detail::MakeCaps(4096, false);
  return tmp_Adapter;
}

void SetProcessAdapter(const SAdapter& fp_rAdapter) { ProcessAdapterStorage() = fp_rAdapter; }
void ResetProcessAdapter() { ProcessAdapterStorage() = DefaultAdapter(); }
SAdapter ProcessAdapter() { return ProcessAdapterStorage(); }

namespace {

class CNullDirect3D final : public detail::TRefCounted<IDirect3D8> {
 public:
  explicit CNullDirect3D(const SAdapter& fp_rAdapter) : adapter_(fp_rAdapter) {}

  UINT GetAdapterCount() override { return 1; }

  HRESULT GetAdapterIdentifier(UINT fp_uAdapter, DWORD, D3DADAPTER_IDENTIFIER8* fp_pIdentifier) override {
    if (fp_uAdapter != 0 || fp_pIdentifier == nullptr) return D3DERR_INVALIDCALL;
    if (adapter_.identifierResult != D3D_OK) return adapter_.identifierResult;
    std::memset(fp_pIdentifier, 0, sizeof(*fp_pIdentifier));
    const size_t tmp_uMax = MAX_DEVICE_IDENTIFIER_STRING - 1;
    std::memcpy(fp_pIdentifier->Driver, adapter_.driver.data(), std::min(adapter_.driver.size(), tmp_uMax));
    std::memcpy(fp_pIdentifier->Description, adapter_.description.data(),
                std::min(adapter_.description.size(), tmp_uMax));
    fp_pIdentifier->VendorId = adapter_.vendorId;
    fp_pIdentifier->DeviceId = adapter_.deviceId;
    return D3D_OK;
  }

  UINT GetAdapterModeCount(UINT fp_uAdapter) override {
    return fp_uAdapter == 0 ? static_cast<UINT>(adapter_.modes.size()) : 0;
  }

  HRESULT EnumAdapterModes(UINT fp_uAdapter, UINT fp_uMode, D3DDISPLAYMODE* fp_pMode) override {
    if (fp_uAdapter != 0 || fp_pMode == nullptr || fp_uMode >= adapter_.modes.size()) return D3DERR_INVALIDCALL;
    *fp_pMode = adapter_.modes[fp_uMode];
    return D3D_OK;
  }

  HRESULT GetAdapterDisplayMode(UINT fp_uAdapter, D3DDISPLAYMODE* fp_pMode) override {
    if (fp_uAdapter != 0 || fp_pMode == nullptr) return D3DERR_INVALIDCALL;
    *fp_pMode = adapter_.desktop;
    return D3D_OK;
  }

  HRESULT CheckDeviceFormat(UINT fp_uAdapter, D3DDEVTYPE fp_DeviceType, D3DFORMAT fp_AdapterFormat, DWORD fp_dwUsage,
                            D3DRESOURCETYPE fp_RType, D3DFORMAT fp_CheckFormat) override {
    if (fp_uAdapter != 0) return D3DERR_INVALIDCALL;
    if (fp_DeviceType != D3DDEVTYPE_HAL) return D3DERR_NOTAVAILABLE;
    if (!Contains(adapter_.displayFormats, fp_AdapterFormat)) return D3DERR_NOTAVAILABLE;
    if ((fp_dwUsage & (D3DUSAGE_RENDERTARGET | D3DUSAGE_DEPTHSTENCIL)) != 0) return D3DERR_NOTAVAILABLE;
    switch (fp_RType) {
      case D3DRTYPE_TEXTURE:
      case D3DRTYPE_SURFACE:
        return Contains(adapter_.textureFormats, fp_CheckFormat) ? D3D_OK : D3DERR_NOTAVAILABLE;
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
    if (fp_DeviceType != D3DDEVTYPE_HAL) return D3DERR_NOTAVAILABLE;
    *fp_pCaps = adapter_.caps;
    return D3D_OK;
  }

  HRESULT CreateDevice(UINT fp_uAdapter, D3DDEVTYPE fp_DeviceType, HWND fp_hFocusWindow, DWORD,
                       D3DPRESENT_PARAMETERS* fp_pParams, IDirect3DDevice8** fp_ppDevice) override {
    if (fp_ppDevice == nullptr) return D3DERR_INVALIDCALL;
    *fp_ppDevice = nullptr;
    if (fp_uAdapter != 0) return D3DERR_INVALIDCALL;
    if (fp_DeviceType != D3DDEVTYPE_HAL) return D3DERR_NOTAVAILABLE;
    if (adapter_.createDeviceResult != D3D_OK) return adapter_.createDeviceResult;
    detail::SDeviceConfig tmp_Config;
    tmp_Config.caps = adapter_.caps;
    tmp_Config.desktop = adapter_.desktop;
    // Only formats with a known pixel layout can be held.
    for (D3DFORMAT tmp_Format : adapter_.textureFormats) {
      if (detail::IsLayoutFormat(tmp_Format)) tmp_Config.textureFormats.push_back(tmp_Format);
    }
    tmp_Config.maxTargetSize = 16384;
    const HRESULT tmp_hr = detail::CDeviceBase::ValidateParams(fp_pParams, fp_hFocusWindow, tmp_Config);
    if (tmp_hr != D3D_OK) return tmp_hr;
    try {
      *fp_ppDevice = new CNullDevice(this, fp_pParams->hDeviceWindow, *fp_pParams, tmp_Config);
    } catch (const std::bad_alloc&) {
      return E_OUTOFMEMORY;
    }
    return D3D_OK;
  }

 private:
  static bool Contains(const std::vector<D3DFORMAT>& fp_rList, D3DFORMAT fp_Format) {
    return std::find(fp_rList.begin(), fp_rList.end(), fp_Format) != fp_rList.end();
  }

  SAdapter adapter_;
};

}  // namespace

IDirect3D8* CreateDirect3D(const SAdapter& fp_rAdapter) { return new CNullDirect3D(fp_rAdapter); }

// }====

// {==== Device ===============================================================

CNullDevice::CNullDevice(IDirect3D8* fp_pParent, HWND fp_hWindow, const D3DPRESENT_PARAMETERS& fp_rParams,
                         const detail::SDeviceConfig& fp_rConfig)
    : CDeviceBase(fp_pParent, fp_hWindow, fp_rParams, fp_rConfig) {
  AllocateBuffers();
  g_pLastDevice = this;
}

CNullDevice::~CNullDevice() {
  if (g_pLastDevice == this) g_pLastDevice = nullptr;
}

void CNullDevice::AllocateBuffers() {
  const size_t tmp_uPixels = size_t(TargetWidth()) * TargetHeight();
  back_.assign(tmp_uPixels, 0xFF000000u);
  front_.assign(tmp_uPixels, 0xFF000000u);
}

std::vector<SCallEvent> CNullDevice::EventsOf(ECall fp_eCall) const {
  std::vector<SCallEvent> tmp_Result;
  for (const SCallEvent& tmp_rEvent : events_) {
    if (tmp_rEvent.call == fp_eCall) tmp_Result.push_back(tmp_rEvent);
  }
  return tmp_Result;
}

void CNullDevice::ClearRecording() {
  events_.clear();
  gammaRamps_.clear();
  dropped_ = 0;
  counters_ = SCounters{};
}

std::string CNullDevice::Dump() const {
  std::string tmp_Text;
  for (const SCallEvent& tmp_rEvent : events_) {
    tmp_Text += FormatEvent(tmp_rEvent);
    tmp_Text += '\n';
  }
  return tmp_Text;
}

void CNullDevice::OnTrace(const SCallEvent& fp_rEvent) {
  const bool tmp_bOk = fp_rEvent.result == D3D_OK;
  switch (fp_rEvent.call) {
    case ECall::DrawIndexedPrimitive:
    case ECall::DrawPrimitive:
      if (tmp_bOk) {
        ++counters_.drawCalls;
        counters_.primitives += fp_rEvent.e;
      }
      break;
    case ECall::Clear:
      if (tmp_bOk) ++counters_.clears;
      break;
    case ECall::Present:
      if (tmp_bOk) ++counters_.presents;
      break;
    case ECall::BeginScene:
      if (tmp_bOk) ++counters_.scenes;
      break;
    case ECall::CreateTexture:
      if (tmp_bOk) ++counters_.texturesCreated;
      break;
    default:
      break;
  }
  if (events_.size() >= capacity_) {
    ++dropped_;
    return;
  }
  events_.push_back(fp_rEvent);
  if (fp_rEvent.call == ECall::SetGammaRamp && tmp_bOk) gammaRamps_.push_back(GammaRamp());
}

void CNullDevice::BackendClear(const D3DRECT& fp_rRect, D3DCOLOR fp_Color) {
  // The back buffer keeps no alpha of its own unless its format has some.
  const D3DCOLOR tmp_Color = detail::FormatHasAlpha(PresentParams().BackBufferFormat) ? fp_Color
                                                                                      : (fp_Color | 0xFF000000u);
  const size_t tmp_uWidth = TargetWidth();
  for (LONG y = fp_rRect.y1; y < fp_rRect.y2; ++y) {
    std::uint32_t* tmp_pRow = back_.data() + size_t(y) * tmp_uWidth;
    std::fill(tmp_pRow + fp_rRect.x1, tmp_pRow + fp_rRect.x2, tmp_Color);
  }
}

void CNullDevice::BackendDraw(const SDrawCall& fp_rCall) {
  if (drawHook_) drawHook_(*this, fp_rCall);
}

HRESULT CNullDevice::BackendPresent() {
  // Flipping exchanges the buffers; copying keeps the back buffer as it was.
  if (PresentParams().SwapEffect == D3DSWAPEFFECT_COPY || PresentParams().SwapEffect == D3DSWAPEFFECT_COPY_VSYNC) {
    std::copy(back_.begin(), back_.end(), front_.begin());
  } else {
    back_.swap(front_);
  }
  return D3D_OK;
}

void CNullDevice::BackendReadFront(BYTE* fp_pBits, UINT fp_uPitch) {
  const size_t tmp_uWidth = TargetWidth();
  for (UINT y = 0; y < TargetHeight(); ++y) {
    BYTE* tmp_pRow = fp_pBits + size_t(y) * fp_uPitch;
    const std::uint32_t* tmp_pSrc = front_.data() + y * tmp_uWidth;
    for (size_t x = 0; x < tmp_uWidth; ++x) {
      // What is on screen is opaque.
      const std::uint32_t tmp_u = tmp_pSrc[x] | 0xFF000000u;
      std::memcpy(tmp_pRow + x * 4, &tmp_u, 4);
    }
  }
}

HRESULT CNullDevice::BackendReset() {
  try {
    AllocateBuffers();
  } catch (const std::bad_alloc&) {
    return E_OUTOFMEMORY;
  }
  return D3D_OK;
}

CNullDevice* AsNullDevice(IDirect3DDevice8* fp_pDevice) { return dynamic_cast<CNullDevice*>(fp_pDevice); }
CNullDevice* LastCreatedDevice() { return g_pLastDevice; }

// }====

}  // namespace gfx::null
