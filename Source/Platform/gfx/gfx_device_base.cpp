// The device logic both back ends share: state tables with their defaults,
// validation of every call, reference counting of the device and of what it
// binds, the reset rules of the pools and the simulation of device loss.
// The back ends only rasterise (or record) what passes.

#include "Platform/gfx/gfx_device_base.h"

#include <algorithm>
#include <bit>
#include <cstring>
#include <new>

#include "Platform/gfx/gfx_formats.h"
#include "Platform/os/os_backend.h"

namespace gfx::detail {

namespace {

constexpr DWORD FloatBits(float fp_f) { return std::bit_cast<DWORD>(fp_f); }

// Largest buffer the device creates: far above what the engine asks
// (80000 bytes), low enough that a bad length cannot exhaust memory.
constexpr UINT kMaxBufferBytes = 64u << 20;

bool ValidPool(D3DPOOL fp_Pool) { return fp_Pool <= D3DPOOL_SCRATCH; }

// Indices a draw of fp_uCount primitives reads, or 0 for an unknown type.
std::uint64_t ElementsFor(D3DPRIMITIVETYPE fp_Type, UINT fp_uCount) {
  const std::uint64_t tmp_u = fp_uCount;
  switch (fp_Type) {
    case D3DPT_POINTLIST:
      return tmp_u;
    case D3DPT_LINELIST:
      return tmp_u * 2;
    case D3DPT_LINESTRIP:
      return tmp_u + 1;
    case D3DPT_TRIANGLELIST:
      return tmp_u * 3;
    case D3DPT_TRIANGLESTRIP:
    case D3DPT_TRIANGLEFAN:
      return tmp_u + 2;
    default:
      return 0;
  }
}

}  // namespace

void FillIdentityGamma(D3DGAMMARAMP* fp_pRamp) {
  for (int i = 0; i < 256; ++i) {
    const WORD tmp_w = static_cast<WORD>(i * 257);
    fp_pRamp->red[i] = tmp_w;
    fp_pRamp->green[i] = tmp_w;
    fp_pRamp->blue[i] = tmp_w;
  }
}

// {==== Life cycle ===========================================================

CDeviceBase::CDeviceBase(IDirect3D8* fp_pParent, HWND fp_hWindow, const D3DPRESENT_PARAMETERS& fp_rParams,
                         const SDeviceConfig& fp_rConfig)
    : parent_(fp_pParent), window_(fp_hWindow), params_(fp_rParams), config_(fp_rConfig) {
  if (parent_ != nullptr) parent_->AddRef();
  ResetStates();
}

CDeviceBase::~CDeviceBase() {
  if (parent_ != nullptr) parent_->Release();
}

ULONG CDeviceBase::AddRef() { return ++refs_; }

ULONG CDeviceBase::Release() {
  if (refs_ == 0) return 0;
  const ULONG tmp_uLeft = --refs_;
  if (tmp_uLeft == 0) {
    delete this;
    return 0;
  }
  CollectIfOnlyBindingsRemain();
  return tmp_uLeft;
}

DWORD CDeviceBase::NoteResourceCreated(D3DPOOL fp_Pool) {
  ++liveResources_;
  if (fp_Pool == D3DPOOL_DEFAULT) ++defaultPoolResources_;
  return nextSerial_++;
}

void CDeviceBase::NoteResourceDestroyed(D3DPOOL fp_Pool, DWORD fp_dwSerial, D3DRESOURCETYPE fp_Type) {
  --liveResources_;
  if (fp_Pool == D3DPOOL_DEFAULT) --defaultPoolResources_;
  Trace(ECall::DestroyResource, D3D_OK, fp_dwSerial, static_cast<DWORD>(fp_Type));
}

void CDeviceBase::CollectIfOnlyBindingsRemain() {
  if (collecting_ || refs_ == 0 || refs_ != static_cast<ULONG>(liveResources_)) return;
  // Every remaining reference to the device comes from a live resource. If
  // each of them is bound and held only by its bindings, nothing outside can
  // reach any of them any more.
  IUnknown* tmp_aBound[kTextureStages + 2];
  ULONG tmp_aBindings[kTextureStages + 2];
  int tmp_iDistinct = 0;
  auto tmp_Note = [&](IUnknown* fp_p) {
    if (fp_p == nullptr) return;
    for (int i = 0; i < tmp_iDistinct; ++i) {
      if (tmp_aBound[i] == fp_p) {
        ++tmp_aBindings[i];
        return;
      }
    }
    tmp_aBound[tmp_iDistinct] = fp_p;
    tmp_aBindings[tmp_iDistinct] = 1;
    ++tmp_iDistinct;
  };
  for (CTexture* tmp_pTexture : textures_) tmp_Note(tmp_pTexture);
  tmp_Note(stream_);
  tmp_Note(indices_);
  if (tmp_iDistinct != liveResources_) return;
  for (int i = 0; i < tmp_iDistinct; ++i) {
    ULONG tmp_uRefs = 0;
    if (tmp_aBound[i] == stream_) {
      tmp_uRefs = stream_->RefCount();
    } else if (tmp_aBound[i] == indices_) {
      tmp_uRefs = indices_->RefCount();
    } else {
      tmp_uRefs = static_cast<CTexture*>(tmp_aBound[i])->RefCount();
    }
    if (tmp_uRefs != tmp_aBindings[i]) return;
  }
  collecting_ = true;
  ++refs_;  // keeps this alive until the bindings are gone
  ReleaseBindings();
  collecting_ = false;
  Release();
}

void CDeviceBase::ReleaseBindings() {
  for (DWORD i = 0; i < kTextureStages; ++i) {
    CTexture* tmp_pTexture = textures_[i];
    textures_[i] = nullptr;
    if (tmp_pTexture != nullptr) {
      OnTextureBound(i);
      tmp_pTexture->Release();
    }
  }
  CVertexBuffer* tmp_pStream = stream_;
  stream_ = nullptr;
  stride_ = 0;
  if (tmp_pStream != nullptr) tmp_pStream->Release();
  CIndexBuffer* tmp_pIndices = indices_;
  indices_ = nullptr;
  baseVertexIndex_ = 0;
  if (tmp_pIndices != nullptr) {
    OnIndicesBound();
    tmp_pIndices->Release();
  }
}

void CDeviceBase::ResetStates() {
  std::fill(std::begin(renderStates_), std::end(renderStates_), 0u);
  DWORD* rs = renderStates_;
  rs[D3DRS_ZENABLE] = params_.EnableAutoDepthStencil ? D3DZB_TRUE : D3DZB_FALSE;
  rs[D3DRS_FILLMODE] = D3DFILL_SOLID;
  rs[D3DRS_SHADEMODE] = D3DSHADE_GOURAUD;
  rs[D3DRS_ZWRITEENABLE] = 1;
  rs[D3DRS_LASTPIXEL] = 1;
  rs[D3DRS_SRCBLEND] = D3DBLEND_ONE;
  rs[D3DRS_DESTBLEND] = D3DBLEND_ZERO;
  rs[D3DRS_CULLMODE] = D3DCULL_CCW;
  rs[D3DRS_ZFUNC] = D3DCMP_LESSEQUAL;
  rs[D3DRS_ALPHAFUNC] = D3DCMP_ALWAYS;
  rs[D3DRS_FOGTABLEMODE] = D3DFOG_NONE;
  rs[D3DRS_FOGSTART] = FloatBits(0.0f);
  rs[D3DRS_FOGEND] = FloatBits(1.0f);
  rs[D3DRS_FOGDENSITY] = FloatBits(1.0f);
  rs[D3DRS_STENCILFAIL] = 1;  // KEEP
  rs[D3DRS_STENCILZFAIL] = 1;
  rs[D3DRS_STENCILPASS] = 1;
  rs[D3DRS_STENCILFUNC] = D3DCMP_ALWAYS;
  rs[D3DRS_STENCILMASK] = 0xFFFFFFFFu;
  rs[D3DRS_STENCILWRITEMASK] = 0xFFFFFFFFu;
  rs[D3DRS_TEXTUREFACTOR] = 0xFFFFFFFFu;
  rs[D3DRS_CLIPPING] = 1;
  rs[D3DRS_LIGHTING] = 1;
  rs[D3DRS_FOGVERTEXMODE] = D3DFOG_NONE;
  rs[D3DRS_COLORVERTEX] = 1;
  rs[D3DRS_LOCALVIEWER] = 1;
  rs[D3DRS_DIFFUSEMATERIALSOURCE] = 1;   // COLOR1
  rs[D3DRS_SPECULARMATERIALSOURCE] = 2;  // COLOR2
  rs[D3DRS_SOFTWAREVERTEXPROCESSING] = 1;
  rs[D3DRS_POINTSIZE] = FloatBits(1.0f);
  rs[D3DRS_POINTSIZE_MIN] = FloatBits(1.0f);
  rs[158] = FloatBits(1.0f);  // POINTSCALE_A
  rs[D3DRS_MULTISAMPLEANTIALIAS] = 1;
  rs[D3DRS_MULTISAMPLEMASK] = 0xFFFFFFFFu;
  rs[164] = FloatBits(1.0f);  // PATCHSEGMENTS
  rs[D3DRS_POINTSIZE_MAX] = FloatBits(64.0f);
  rs[D3DRS_COLORWRITEENABLE] = 0xFu;
  rs[D3DRS_BLENDOP] = D3DBLENDOP_ADD;

  for (DWORD s = 0; s < kTextureStages; ++s) {
    DWORD* ts = stageStates_[s];
    std::fill(ts, ts + kTextureStageStateCount, 0u);
    ts[D3DTSS_COLOROP] = s == 0 ? D3DTOP_MODULATE : D3DTOP_DISABLE;
    ts[D3DTSS_COLORARG1] = D3DTA_TEXTURE;
    ts[D3DTSS_COLORARG2] = D3DTA_CURRENT;
    ts[D3DTSS_ALPHAOP] = s == 0 ? D3DTOP_SELECTARG1 : D3DTOP_DISABLE;
    ts[D3DTSS_ALPHAARG1] = D3DTA_TEXTURE;
    ts[D3DTSS_ALPHAARG2] = D3DTA_CURRENT;
    ts[D3DTSS_TEXCOORDINDEX] = s;
    ts[D3DTSS_ADDRESSU] = D3DTADDRESS_WRAP;
    ts[D3DTSS_ADDRESSV] = D3DTADDRESS_WRAP;
    ts[D3DTSS_ADDRESSW] = D3DTADDRESS_WRAP;
    ts[D3DTSS_MAGFILTER] = D3DTEXF_POINT;
    ts[D3DTSS_MINFILTER] = D3DTEXF_POINT;
    ts[D3DTSS_MIPFILTER] = D3DTEXF_NONE;
    ts[D3DTSS_MAXANISOTROPY] = 1;
    ts[D3DTSS_COLORARG0] = D3DTA_CURRENT;
    ts[D3DTSS_ALPHAARG0] = D3DTA_CURRENT;
    ts[D3DTSS_RESULTARG] = D3DTA_CURRENT;
  }
  viewport_ = D3DVIEWPORT8{0, 0, params_.BackBufferWidth, params_.BackBufferHeight, 0.0f, 1.0f};
  FillIdentityGamma(&gamma_);
  gammaIdentity_ = true;
  fvf_ = 0;
}

HRESULT CDeviceBase::ValidateParams(D3DPRESENT_PARAMETERS* fp_pParams, HWND fp_hFocusWindow,
                                    const SDeviceConfig& fp_rConfig) {
  if (fp_pParams == nullptr) return D3DERR_INVALIDCALL;
  D3DPRESENT_PARAMETERS& p = *fp_pParams;
  if (p.hDeviceWindow == nullptr) p.hDeviceWindow = fp_hFocusWindow;
  if (p.hDeviceWindow == nullptr) return D3DERR_INVALIDCALL;
  if (p.Windowed) {
    // A windowed back buffer of size 0 takes the window's client size, and
    // must have the desktop's format.
    if (p.BackBufferWidth == 0 || p.BackBufferHeight == 0) {
      RECT tmp_Client{0, 0, 0, 0};
      if (!os::GetClientRect(p.hDeviceWindow, &tmp_Client)) return D3DERR_INVALIDCALL;
      if (p.BackBufferWidth == 0) p.BackBufferWidth = static_cast<UINT>(std::max(tmp_Client.right, 1));
      if (p.BackBufferHeight == 0) p.BackBufferHeight = static_cast<UINT>(std::max(tmp_Client.bottom, 1));
    }
    if (p.BackBufferFormat != fp_rConfig.desktop.Format) return D3DERR_INVALIDCALL;
    if (p.FullScreen_RefreshRateInHz != 0 || p.FullScreen_PresentationInterval != D3DPRESENT_INTERVAL_DEFAULT) {
      return D3DERR_INVALIDCALL;
    }
  } else if (p.BackBufferWidth == 0 || p.BackBufferHeight == 0) {
    return D3DERR_INVALIDCALL;
  }
  if (!IsDisplayFormat(p.BackBufferFormat)) return D3DERR_INVALIDCALL;
  if (p.BackBufferWidth > fp_rConfig.maxTargetSize || p.BackBufferHeight > fp_rConfig.maxTargetSize) {
    return D3DERR_NOTAVAILABLE;
  }
  if (p.BackBufferCount == 0) p.BackBufferCount = 1;
  if (p.BackBufferCount > 3) return D3DERR_INVALIDCALL;
  if (p.SwapEffect < D3DSWAPEFFECT_DISCARD || p.SwapEffect > D3DSWAPEFFECT_COPY_VSYNC) return D3DERR_INVALIDCALL;
  if (p.MultiSampleType != D3DMULTISAMPLE_NONE) return D3DERR_NOTAVAILABLE;
  if (p.EnableAutoDepthStencil) return D3DERR_NOTAVAILABLE;  // no depth buffers
  return D3D_OK;
}

// }====

// {==== Trace ================================================================

void CDeviceBase::Trace(ECall fp_eCall, HRESULT fp_hr, DWORD fp_a, DWORD fp_b, DWORD fp_c, DWORD fp_d, DWORD fp_e,
                        DWORD fp_f, DWORD fp_g, float fp_f0, float fp_f1) {
  const SCallEvent tmp_Event{fp_eCall, fp_hr, fp_a, fp_b, fp_c, fp_d, fp_e, fp_f, fp_g, fp_f0, fp_f1};
  OnTrace(tmp_Event);
}

// }====

// {==== Cooperative level, reset, present ====================================

bool CDeviceBase::WindowLosesDevice() {
  if (forcedLoss_) return true;
  return !params_.Windowed && os::IsMinimized(window_);
}

HRESULT CDeviceBase::TestCooperativeLevel() {
  HRESULT tmp_hr = D3D_OK;
  if (WindowLosesDevice()) {
    lost_ = true;
    tmp_hr = D3DERR_DEVICELOST;
  } else if (lost_) {
    tmp_hr = D3DERR_DEVICENOTRESET;
  }
  Trace(ECall::TestCooperativeLevel, tmp_hr);
  return tmp_hr;
}

HRESULT CDeviceBase::Reset(D3DPRESENT_PARAMETERS* fp_pParams) {
  HRESULT tmp_hr = D3D_OK;
  D3DPRESENT_PARAMETERS tmp_Params{};
  if (fp_pParams == nullptr || inScene_) {
    tmp_hr = D3DERR_INVALIDCALL;
  } else if (WindowLosesDevice()) {
    tmp_hr = D3DERR_DEVICELOST;
  } else if (defaultPoolResources_ > 0) {
    // Default-pool resources do not survive a reset: the caller must have
    // released them all.
    tmp_hr = D3DERR_INVALIDCALL;
  } else {
    tmp_Params = *fp_pParams;
    if (tmp_Params.hDeviceWindow == nullptr) tmp_Params.hDeviceWindow = window_;
    tmp_hr = ValidateParams(&tmp_Params, window_, config_);
    if (tmp_hr == D3D_OK) tmp_hr = InjectedFailure(EFailPoint::Reset);
  }
  if (tmp_hr == D3D_OK) {
    ReleaseBindings();
    params_ = tmp_Params;
    window_ = tmp_Params.hDeviceWindow;
    fp_pParams->BackBufferWidth = params_.BackBufferWidth;
    fp_pParams->BackBufferHeight = params_.BackBufferHeight;
    fp_pParams->BackBufferCount = params_.BackBufferCount;
    ResetStates();
    tmp_hr = BackendReset();
  }
  // A failed reset leaves the device lost; a successful one restores it.
  lost_ = tmp_hr != D3D_OK;
  const D3DPRESENT_PARAMETERS& tmp_rShown = tmp_hr == D3D_OK ? params_ : tmp_Params;
  Trace(ECall::Reset, tmp_hr, tmp_rShown.BackBufferWidth, tmp_rShown.BackBufferHeight,
        static_cast<DWORD>(tmp_rShown.BackBufferFormat), static_cast<DWORD>(tmp_rShown.Windowed));
  return tmp_hr;
}

HRESULT CDeviceBase::Present(const RECT* fp_pSourceRect, const RECT* fp_pDestRect, HWND fp_hDestWindowOverride,
                             const void* fp_pDirtyRegion) {
  HRESULT tmp_hr = D3D_OK;
  if (fp_pSourceRect != nullptr || fp_pDestRect != nullptr || fp_pDirtyRegion != nullptr ||
      (fp_hDestWindowOverride != nullptr && fp_hDestWindowOverride != window_) || inScene_) {
    tmp_hr = D3DERR_INVALIDCALL;
  } else {
    if (WindowLosesDevice()) lost_ = true;
    if (lost_) {
      tmp_hr = D3DERR_DEVICELOST;
    } else {
      tmp_hr = InjectedFailure(EFailPoint::Present);
      if (tmp_hr == D3D_OK) tmp_hr = BackendPresent();
    }
  }
  Trace(ECall::Present, tmp_hr);
  return tmp_hr;
}

HRESULT CDeviceBase::BeginScene() {
  const HRESULT tmp_hr = inScene_ ? D3DERR_INVALIDCALL : D3D_OK;
  if (tmp_hr == D3D_OK) inScene_ = true;
  Trace(ECall::BeginScene, tmp_hr);
  return tmp_hr;
}

HRESULT CDeviceBase::EndScene() {
  const HRESULT tmp_hr = inScene_ ? D3D_OK : D3DERR_INVALIDCALL;
  inScene_ = false;
  Trace(ECall::EndScene, tmp_hr);
  return tmp_hr;
}

// }====

// {==== Clear, viewport, gamma ===============================================

HRESULT CDeviceBase::Clear(DWORD fp_dwCount, const D3DRECT* fp_pRects, DWORD fp_dwFlags, D3DCOLOR fp_Color,
                           float fp_fZ, DWORD fp_dwStencil) {
  HRESULT tmp_hr = D3D_OK;
  constexpr DWORD kKnown = D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER | D3DCLEAR_STENCIL;
  if ((fp_dwFlags & ~kKnown) != 0 || (fp_dwFlags & (D3DCLEAR_ZBUFFER | D3DCLEAR_STENCIL)) != 0 ||
      (fp_dwCount > 0 && fp_pRects == nullptr)) {
    // There is no depth or stencil buffer to clear.
    tmp_hr = D3DERR_INVALIDCALL;
  } else if (!lost_ && (fp_dwFlags & D3DCLEAR_TARGET) != 0) {
    // Clearing is limited to the viewport, with or without rectangles.
    const LONG tmp_iVX1 = static_cast<LONG>(viewport_.X);
    const LONG tmp_iVY1 = static_cast<LONG>(viewport_.Y);
    const LONG tmp_iVX2 = static_cast<LONG>(viewport_.X + viewport_.Width);
    const LONG tmp_iVY2 = static_cast<LONG>(viewport_.Y + viewport_.Height);
    const DWORD tmp_dwRects = fp_dwCount == 0 ? 1 : fp_dwCount;
    for (DWORD i = 0; i < tmp_dwRects; ++i) {
      D3DRECT tmp_Rect{tmp_iVX1, tmp_iVY1, tmp_iVX2, tmp_iVY2};
      if (fp_dwCount > 0) {
        tmp_Rect.x1 = std::max(tmp_Rect.x1, fp_pRects[i].x1);
        tmp_Rect.y1 = std::max(tmp_Rect.y1, fp_pRects[i].y1);
        tmp_Rect.x2 = std::min(tmp_Rect.x2, fp_pRects[i].x2);
        tmp_Rect.y2 = std::min(tmp_Rect.y2, fp_pRects[i].y2);
      }
      if (tmp_Rect.x1 < tmp_Rect.x2 && tmp_Rect.y1 < tmp_Rect.y2) BackendClear(tmp_Rect, fp_Color);
    }
  }
  Trace(ECall::Clear, tmp_hr, fp_dwCount, fp_dwFlags, fp_Color, fp_dwStencil, 0, 0, 0, fp_fZ);
  return tmp_hr;
}

HRESULT CDeviceBase::SetViewport(const D3DVIEWPORT8* fp_pViewport) {
  if (fp_pViewport == nullptr) {
    Trace(ECall::SetViewport, D3DERR_INVALIDCALL);
    return D3DERR_INVALIDCALL;
  }
  // Kept inside the target: a rectangle reaching past it is cut, and one
  // that starts outside it becomes empty (it then clips everything away).
  const UINT tmp_uW = TargetWidth();
  const UINT tmp_uH = TargetHeight();
  D3DVIEWPORT8 tmp_Vp = *fp_pViewport;
  tmp_Vp.X = std::min(tmp_Vp.X, tmp_uW);
  tmp_Vp.Y = std::min(tmp_Vp.Y, tmp_uH);
  tmp_Vp.Width = std::min(tmp_Vp.Width, tmp_uW - tmp_Vp.X);
  tmp_Vp.Height = std::min(tmp_Vp.Height, tmp_uH - tmp_Vp.Y);
  viewport_ = tmp_Vp;
  OnViewportChanged();
  Trace(ECall::SetViewport, D3D_OK, fp_pViewport->X, fp_pViewport->Y, fp_pViewport->Width, fp_pViewport->Height, 0,
        0, 0, fp_pViewport->MinZ, fp_pViewport->MaxZ);
  return D3D_OK;
}

HRESULT CDeviceBase::GetViewport(D3DVIEWPORT8* fp_pViewport) {
  if (fp_pViewport == nullptr) return D3DERR_INVALIDCALL;
  *fp_pViewport = viewport_;
  return D3D_OK;
}

void CDeviceBase::SetGammaRamp(DWORD fp_dwFlags, const D3DGAMMARAMP* fp_pRamp) {
  if (fp_pRamp == nullptr) {
    Trace(ECall::SetGammaRamp, D3DERR_INVALIDCALL, fp_dwFlags);
    return;
  }
  gamma_ = *fp_pRamp;
  D3DGAMMARAMP tmp_Identity;
  FillIdentityGamma(&tmp_Identity);
  gammaIdentity_ = std::memcmp(&tmp_Identity, &gamma_, sizeof(gamma_)) == 0;
  OnGammaChanged();
  Trace(ECall::SetGammaRamp, D3D_OK, fp_dwFlags, gamma_.red[0], gamma_.red[128], gamma_.red[255]);
}

void CDeviceBase::GetGammaRamp(D3DGAMMARAMP* fp_pRamp) {
  if (fp_pRamp != nullptr) *fp_pRamp = gamma_;
}

// }====

// {==== Resource creation ====================================================

HRESULT CDeviceBase::CreateVertexBuffer(UINT fp_uLength, DWORD fp_dwUsage, DWORD fp_dwFVF, D3DPOOL fp_Pool,
                                        IDirect3DVertexBuffer8** fp_ppVertexBuffer) {
  HRESULT tmp_hr = D3D_OK;
  CVertexBuffer* tmp_pBuffer = nullptr;
  if (fp_ppVertexBuffer == nullptr || fp_uLength == 0 || !ValidPool(fp_Pool) ||
      (fp_dwFVF == kFVFPreTransformed2Tex && fp_uLength < kFVFPreTransformed2TexStride)) {
    tmp_hr = D3DERR_INVALIDCALL;
  } else if (fp_uLength > kMaxBufferBytes) {
    tmp_hr = D3DERR_OUTOFVIDEOMEMORY;
  } else {
    tmp_hr = InjectedFailure(EFailPoint::CreateVertexBuffer);
  }
  if (tmp_hr == D3D_OK) {
    try {
      tmp_pBuffer = new CVertexBuffer(this, fp_uLength, fp_dwUsage, fp_dwFVF, fp_Pool);
    } catch (const std::bad_alloc&) {
      tmp_hr = E_OUTOFMEMORY;
    }
  }
  if (fp_ppVertexBuffer != nullptr) *fp_ppVertexBuffer = tmp_pBuffer;
  Trace(ECall::CreateVertexBuffer, tmp_hr, fp_uLength, fp_dwUsage, fp_dwFVF, static_cast<DWORD>(fp_Pool), 0,
        tmp_pBuffer != nullptr ? tmp_pBuffer->Serial() : 0);
  return tmp_hr;
}

HRESULT CDeviceBase::CreateIndexBuffer(UINT fp_uLength, DWORD fp_dwUsage, D3DFORMAT fp_Format, D3DPOOL fp_Pool,
                                       IDirect3DIndexBuffer8** fp_ppIndexBuffer) {
  HRESULT tmp_hr = D3D_OK;
  CIndexBuffer* tmp_pBuffer = nullptr;
  const UINT tmp_uIndexSize = fp_Format == D3DFMT_INDEX32 ? 4u : 2u;
  if (fp_ppIndexBuffer == nullptr || !ValidPool(fp_Pool) ||
      (fp_Format != D3DFMT_INDEX16 && fp_Format != D3DFMT_INDEX32) || fp_uLength < tmp_uIndexSize) {
    tmp_hr = D3DERR_INVALIDCALL;
  } else if (fp_uLength > kMaxBufferBytes) {
    tmp_hr = D3DERR_OUTOFVIDEOMEMORY;
  } else {
    tmp_hr = InjectedFailure(EFailPoint::CreateIndexBuffer);
  }
  if (tmp_hr == D3D_OK) {
    try {
      tmp_pBuffer = new CIndexBuffer(this, fp_uLength, fp_dwUsage, fp_Format, fp_Pool);
      tmp_hr = OnIndexBufferCreated(tmp_pBuffer);
    } catch (const std::bad_alloc&) {
      tmp_hr = E_OUTOFMEMORY;
    }
    if (tmp_hr != D3D_OK && tmp_pBuffer != nullptr) {
      tmp_pBuffer->Release();
      tmp_pBuffer = nullptr;
    }
  }
  if (fp_ppIndexBuffer != nullptr) *fp_ppIndexBuffer = tmp_pBuffer;
  Trace(ECall::CreateIndexBuffer, tmp_hr, fp_uLength, fp_dwUsage, static_cast<DWORD>(fp_Format),
        static_cast<DWORD>(fp_Pool), 0, tmp_pBuffer != nullptr ? tmp_pBuffer->Serial() : 0);
  return tmp_hr;
}

HRESULT CDeviceBase::CreateTexture(UINT fp_uWidth, UINT fp_uHeight, UINT fp_uLevels, DWORD fp_dwUsage,
                                   D3DFORMAT fp_Format, D3DPOOL fp_Pool, IDirect3DTexture8** fp_ppTexture) {
  HRESULT tmp_hr = D3D_OK;
  CTexture* tmp_pTexture = nullptr;
  const UINT tmp_uFull = FullMipCount(fp_uWidth, fp_uHeight);
  const UINT tmp_uLevels = fp_uLevels == 0 ? tmp_uFull : fp_uLevels;
  const bool tmp_bFormat = SupportsTextureFormat(fp_Format) && IsLayoutFormat(fp_Format);
  if (fp_ppTexture == nullptr || fp_uWidth == 0 || fp_uHeight == 0 || fp_uWidth > config_.caps.MaxTextureWidth ||
      fp_uHeight > config_.caps.MaxTextureHeight || tmp_uLevels > tmp_uFull || !ValidPool(fp_Pool) || !tmp_bFormat ||
      (fp_dwUsage & (D3DUSAGE_RENDERTARGET | D3DUSAGE_DEPTHSTENCIL)) != 0 ||
      ((fp_dwUsage & D3DUSAGE_DYNAMIC) != 0 && fp_Pool == D3DPOOL_MANAGED)) {
    tmp_hr = D3DERR_INVALIDCALL;
  } else {
    tmp_hr = InjectedFailure(EFailPoint::CreateTexture);
  }
  if (tmp_hr == D3D_OK) {
    try {
      tmp_pTexture = new CTexture(this, fp_uWidth, fp_uHeight, tmp_uLevels, fp_dwUsage, fp_Format, fp_Pool);
      tmp_hr = OnTextureCreated(tmp_pTexture);
    } catch (const std::bad_alloc&) {
      tmp_hr = E_OUTOFMEMORY;
    }
    if (tmp_hr != D3D_OK && tmp_pTexture != nullptr) {
      tmp_pTexture->Release();
      tmp_pTexture = nullptr;
    }
  }
  if (fp_ppTexture != nullptr) *fp_ppTexture = tmp_pTexture;
  Trace(ECall::CreateTexture, tmp_hr, fp_uWidth, fp_uHeight, tmp_uLevels, static_cast<DWORD>(fp_Format),
        static_cast<DWORD>(fp_Pool), tmp_pTexture != nullptr ? tmp_pTexture->Serial() : 0, fp_dwUsage);
  return tmp_hr;
}

HRESULT CDeviceBase::CreateImageSurface(UINT fp_uWidth, UINT fp_uHeight, D3DFORMAT fp_Format,
                                        IDirect3DSurface8** fp_ppSurface) {
  HRESULT tmp_hr = D3D_OK;
  CImageSurface* tmp_pSurface = nullptr;
  if (fp_ppSurface == nullptr || fp_uWidth == 0 || fp_uHeight == 0 || !IsLayoutFormat(fp_Format) ||
      fp_uWidth > config_.maxTargetSize || fp_uHeight > config_.maxTargetSize) {
    tmp_hr = D3DERR_INVALIDCALL;
  } else {
    tmp_hr = InjectedFailure(EFailPoint::CreateImageSurface);
  }
  if (tmp_hr == D3D_OK) {
    try {
      tmp_pSurface = new CImageSurface(this, fp_uWidth, fp_uHeight, fp_Format);
    } catch (const std::bad_alloc&) {
      tmp_hr = E_OUTOFMEMORY;
    }
  }
  if (fp_ppSurface != nullptr) *fp_ppSurface = tmp_pSurface;
  Trace(ECall::CreateImageSurface, tmp_hr, fp_uWidth, fp_uHeight, static_cast<DWORD>(fp_Format), 0, 0,
        tmp_pSurface != nullptr ? tmp_pSurface->Serial() : 0);
  return tmp_hr;
}

HRESULT CDeviceBase::GetFrontBuffer(IDirect3DSurface8* fp_pDestSurface) {
  HRESULT tmp_hr = D3D_OK;
  CImageSurface* tmp_pSurface = dynamic_cast<CImageSurface*>(fp_pDestSurface);
  if (tmp_pSurface == nullptr || tmp_pSurface->Device() != this || tmp_pSurface->Format() != D3DFMT_A8R8G8B8 ||
      tmp_pSurface->Width() != TargetWidth() || tmp_pSurface->Height() != TargetHeight() ||
      tmp_pSurface->IsLocked()) {
    tmp_hr = D3DERR_INVALIDCALL;
  } else if (lost_) {
    tmp_hr = D3DERR_DEVICELOST;
  } else {
    tmp_hr = InjectedFailure(EFailPoint::GetFrontBuffer);
  }
  if (tmp_hr == D3D_OK) BackendReadFront(tmp_pSurface->Bits(), tmp_pSurface->Pitch());
  Trace(ECall::GetFrontBuffer, tmp_hr, 0, 0, 0, 0, 0, tmp_pSurface != nullptr ? tmp_pSurface->Serial() : 0);
  return tmp_hr;
}

// }====

// {==== Stream, indices, vertex format =======================================

HRESULT CDeviceBase::SetStreamSource(UINT fp_uStreamNumber, IDirect3DVertexBuffer8* fp_pStreamData,
                                     UINT fp_uStride) {
  HRESULT tmp_hr = D3D_OK;
  CVertexBuffer* tmp_pBuffer = dynamic_cast<CVertexBuffer*>(fp_pStreamData);
  if (fp_uStreamNumber != 0 || (fp_pStreamData != nullptr && (tmp_pBuffer == nullptr || tmp_pBuffer->Device() != this))) {
    tmp_hr = D3DERR_INVALIDCALL;
  } else {
    tmp_hr = InjectedFailure(EFailPoint::SetStreamSource);
  }
  if (tmp_hr == D3D_OK) {
    if (tmp_pBuffer != nullptr) tmp_pBuffer->AddRef();
    CVertexBuffer* tmp_pOld = stream_;
    stream_ = tmp_pBuffer;
    stride_ = tmp_pBuffer != nullptr ? fp_uStride : 0;
    if (tmp_pOld != nullptr) tmp_pOld->Release();
  }
  Trace(ECall::SetStreamSource, tmp_hr, fp_uStreamNumber, tmp_pBuffer != nullptr ? tmp_pBuffer->Serial() : 0,
        fp_uStride);
  return tmp_hr;
}

HRESULT CDeviceBase::GetStreamSource(UINT fp_uStreamNumber, IDirect3DVertexBuffer8** fp_ppStreamData,
                                     UINT* fp_puStride) {
  if (fp_uStreamNumber != 0 || fp_ppStreamData == nullptr || fp_puStride == nullptr) return D3DERR_INVALIDCALL;
  if (stream_ != nullptr) stream_->AddRef();
  *fp_ppStreamData = stream_;
  *fp_puStride = stride_;
  return D3D_OK;
}

HRESULT CDeviceBase::SetIndices(IDirect3DIndexBuffer8* fp_pIndexData, UINT fp_uBaseVertexIndex) {
  HRESULT tmp_hr = D3D_OK;
  CIndexBuffer* tmp_pBuffer = dynamic_cast<CIndexBuffer*>(fp_pIndexData);
  if (fp_pIndexData != nullptr && (tmp_pBuffer == nullptr || tmp_pBuffer->Device() != this)) {
    tmp_hr = D3DERR_INVALIDCALL;
  } else {
    tmp_hr = InjectedFailure(EFailPoint::SetIndices);
  }
  if (tmp_hr == D3D_OK) {
    if (tmp_pBuffer != nullptr) tmp_pBuffer->AddRef();
    CIndexBuffer* tmp_pOld = indices_;
    indices_ = tmp_pBuffer;
    baseVertexIndex_ = fp_uBaseVertexIndex;
    OnIndicesBound();
    if (tmp_pOld != nullptr) tmp_pOld->Release();
  }
  Trace(ECall::SetIndices, tmp_hr, tmp_pBuffer != nullptr ? tmp_pBuffer->Serial() : 0, fp_uBaseVertexIndex);
  return tmp_hr;
}

HRESULT CDeviceBase::GetIndices(IDirect3DIndexBuffer8** fp_ppIndexData, UINT* fp_puBaseVertexIndex) {
  if (fp_ppIndexData == nullptr || fp_puBaseVertexIndex == nullptr) return D3DERR_INVALIDCALL;
  if (indices_ != nullptr) indices_->AddRef();
  *fp_ppIndexData = indices_;
  *fp_puBaseVertexIndex = baseVertexIndex_;
  return D3D_OK;
}

HRESULT CDeviceBase::SetVertexShader(DWORD fp_dwHandle) {
  // One vertex layout is drawn: pre-transformed, two colours, two sets of
  // texture coordinates.
  const HRESULT tmp_hr = fp_dwHandle == kFVFPreTransformed2Tex ? D3D_OK : D3DERR_INVALIDCALL;
  if (tmp_hr == D3D_OK) fvf_ = fp_dwHandle;
  Trace(ECall::SetVertexShader, tmp_hr, fp_dwHandle);
  return tmp_hr;
}

HRESULT CDeviceBase::GetVertexShader(DWORD* fp_pdwHandle) {
  if (fp_pdwHandle == nullptr) return D3DERR_INVALIDCALL;
  *fp_pdwHandle = fvf_;
  return D3D_OK;
}

// }====

// {==== Drawing ==============================================================

HRESULT CDeviceBase::DrawCommon(SDrawCall& fp_rCall) {
  if (!inScene_ || fvf_ != kFVFPreTransformed2Tex || stream_ == nullptr || stride_ != kFVFPreTransformed2TexStride ||
      stream_->IsLocked() || fp_rCall.primitiveCount == 0) {
    return D3DERR_INVALIDCALL;
  }
  const std::uint64_t tmp_uElements = ElementsFor(fp_rCall.type, fp_rCall.primitiveCount);
  if (tmp_uElements == 0) return D3DERR_INVALIDCALL;
  const std::uint64_t tmp_uStreamVertices = stream_->Size() / stride_;
  std::uint64_t tmp_uFirst = 0;
  std::uint64_t tmp_uLast = 0;
  if (fp_rCall.indexed) {
    if (indices_ == nullptr || indices_->IsLocked()) return D3DERR_INVALIDCALL;
    if (std::uint64_t(fp_rCall.startIndex) + tmp_uElements > indices_->IndexCount()) return D3DERR_INVALIDCALL;
    const UINT tmp_uCount = static_cast<UINT>(tmp_uElements);
    // The range of vertices the indices actually reach: what is read must lie
    // inside the stream, whatever the caller said about it.
    if (scanSerial_ != indices_->Serial() || scanVersion_ != indices_->Version() ||
        scanStart_ != fp_rCall.startIndex || scanCount_ != tmp_uCount) {
      UINT tmp_uMin = 0xFFFFFFFFu;
      UINT tmp_uMax = 0;
      for (UINT i = 0; i < tmp_uCount; ++i) {
        const UINT tmp_uIndex = indices_->IndexAt(fp_rCall.startIndex + i);
        tmp_uMin = std::min(tmp_uMin, tmp_uIndex);
        tmp_uMax = std::max(tmp_uMax, tmp_uIndex);
      }
      scanSerial_ = indices_->Serial();
      scanVersion_ = indices_->Version();
      scanStart_ = fp_rCall.startIndex;
      scanCount_ = tmp_uCount;
      scanMin_ = tmp_uMin;
      scanMax_ = tmp_uMax;
    }
    fp_rCall.minIndex = scanMin_;
    fp_rCall.maxIndex = scanMax_;
    fp_rCall.baseVertexIndex = baseVertexIndex_;
    fp_rCall.indices = indices_;
    tmp_uFirst = std::uint64_t(scanMin_) + baseVertexIndex_;
    tmp_uLast = std::uint64_t(scanMax_) + baseVertexIndex_;
  } else {
    tmp_uFirst = fp_rCall.startVertex;
    tmp_uLast = tmp_uFirst + tmp_uElements - 1;
  }
  if (tmp_uLast >= tmp_uStreamVertices) return D3DERR_INVALIDCALL;
  fp_rCall.elementCount = static_cast<UINT>(tmp_uElements);
  fp_rCall.firstVertex = static_cast<UINT>(tmp_uFirst);
  fp_rCall.lastVertex = static_cast<UINT>(tmp_uLast);
  fp_rCall.stream = stream_;
  fp_rCall.stride = stride_;
  // A lost device accepts drawing and does nothing.
  if (!lost_) BackendDraw(fp_rCall);
  return D3D_OK;
}

HRESULT CDeviceBase::DrawIndexedPrimitive(D3DPRIMITIVETYPE fp_Type, UINT fp_uMinIndex, UINT fp_uNumVertices,
                                          UINT fp_uStartIndex, UINT fp_uPrimitiveCount) {
  SDrawCall tmp_Call{};
  tmp_Call.type = fp_Type;
  tmp_Call.primitiveCount = fp_uPrimitiveCount;
  tmp_Call.indexed = true;
  tmp_Call.startIndex = fp_uStartIndex;
  const HRESULT tmp_hr = DrawCommon(tmp_Call);
  Trace(ECall::DrawIndexedPrimitive, tmp_hr, static_cast<DWORD>(fp_Type), fp_uMinIndex, fp_uNumVertices,
        fp_uStartIndex, fp_uPrimitiveCount);
  return tmp_hr;
}

HRESULT CDeviceBase::DrawPrimitive(D3DPRIMITIVETYPE fp_Type, UINT fp_uStartVertex, UINT fp_uPrimitiveCount) {
  SDrawCall tmp_Call{};
  tmp_Call.type = fp_Type;
  tmp_Call.primitiveCount = fp_uPrimitiveCount;
  tmp_Call.indexed = false;
  tmp_Call.startVertex = fp_uStartVertex;
  const HRESULT tmp_hr = DrawCommon(tmp_Call);
  Trace(ECall::DrawPrimitive, tmp_hr, static_cast<DWORD>(fp_Type), fp_uStartVertex, 0, 0, fp_uPrimitiveCount);
  return tmp_hr;
}

// }====

// {==== States and textures ==================================================

HRESULT CDeviceBase::SetRenderState(D3DRENDERSTATETYPE fp_State, DWORD fp_dwValue) {
  const HRESULT tmp_hr = fp_State < kRenderStateCount ? D3D_OK : D3DERR_INVALIDCALL;
  if (tmp_hr == D3D_OK && renderStates_[fp_State] != fp_dwValue) {
    renderStates_[fp_State] = fp_dwValue;
    OnRenderStateChanged(fp_State);
  }
  Trace(ECall::SetRenderState, tmp_hr, static_cast<DWORD>(fp_State), fp_dwValue);
  return tmp_hr;
}

HRESULT CDeviceBase::GetRenderState(D3DRENDERSTATETYPE fp_State, DWORD* fp_pdwValue) {
  if (fp_State >= kRenderStateCount || fp_pdwValue == nullptr) return D3DERR_INVALIDCALL;
  *fp_pdwValue = renderStates_[fp_State];
  return D3D_OK;
}

HRESULT CDeviceBase::SetTextureStageState(DWORD fp_dwStage, D3DTEXTURESTAGESTATETYPE fp_Type, DWORD fp_dwValue) {
  const HRESULT tmp_hr = fp_dwStage < kTextureStages && fp_Type > 0 && fp_Type < kTextureStageStateCount
                             ? D3D_OK
                             : D3DERR_INVALIDCALL;
  if (tmp_hr == D3D_OK && stageStates_[fp_dwStage][fp_Type] != fp_dwValue) {
    stageStates_[fp_dwStage][fp_Type] = fp_dwValue;
    OnStageStateChanged(fp_dwStage, fp_Type);
  }
  Trace(ECall::SetTextureStageState, tmp_hr, fp_dwStage, static_cast<DWORD>(fp_Type), fp_dwValue);
  return tmp_hr;
}

HRESULT CDeviceBase::GetTextureStageState(DWORD fp_dwStage, D3DTEXTURESTAGESTATETYPE fp_Type, DWORD* fp_pdwValue) {
  if (fp_dwStage >= kTextureStages || fp_Type == 0 || fp_Type >= kTextureStageStateCount || fp_pdwValue == nullptr) {
    return D3DERR_INVALIDCALL;
  }
  *fp_pdwValue = stageStates_[fp_dwStage][fp_Type];
  return D3D_OK;
}

HRESULT CDeviceBase::SetTexture(DWORD fp_dwStage, IDirect3DBaseTexture8* fp_pTexture) {
  HRESULT tmp_hr = D3D_OK;
  CTexture* tmp_pTexture = dynamic_cast<CTexture*>(fp_pTexture);
  if (fp_dwStage >= kTextureStages ||
      (fp_pTexture != nullptr &&
       (tmp_pTexture == nullptr || tmp_pTexture->Device() != this ||
        (tmp_pTexture->Pool() != D3DPOOL_DEFAULT && tmp_pTexture->Pool() != D3DPOOL_MANAGED)))) {
    tmp_hr = D3DERR_INVALIDCALL;
  }
  if (tmp_hr == D3D_OK) {
    // The device holds its own reference while the texture is set.
    if (tmp_pTexture != nullptr) tmp_pTexture->AddRef();
    CTexture* tmp_pOld = textures_[fp_dwStage];
    textures_[fp_dwStage] = tmp_pTexture;
    OnTextureBound(fp_dwStage);
    if (tmp_pOld != nullptr) tmp_pOld->Release();
  }
  Trace(ECall::SetTexture, tmp_hr, fp_dwStage, tmp_pTexture != nullptr ? tmp_pTexture->Serial() : 0);
  return tmp_hr;
}

HRESULT CDeviceBase::GetTexture(DWORD fp_dwStage, IDirect3DBaseTexture8** fp_ppTexture) {
  if (fp_dwStage >= kTextureStages || fp_ppTexture == nullptr) return D3DERR_INVALIDCALL;
  if (textures_[fp_dwStage] != nullptr) textures_[fp_dwStage]->AddRef();
  *fp_ppTexture = textures_[fp_dwStage];
  return D3D_OK;
}

BOOL CDeviceBase::ShowCursor(BOOL fp_bShow) {
  const BOOL tmp_bOld = cursorShown_;
  cursorShown_ = fp_bShow != 0 ? 1 : 0;
  Trace(ECall::ShowCursor, D3D_OK, static_cast<DWORD>(cursorShown_));
  return tmp_bOld;
}

bool CDeviceBase::SupportsTextureFormat(D3DFORMAT fp_Format) const {
  return std::find(config_.textureFormats.begin(), config_.textureFormats.end(), fp_Format) !=
         config_.textureFormats.end();
}

HRESULT CDeviceBase::GetDeviceCaps(D3DCAPS8* fp_pCaps) {
  if (fp_pCaps == nullptr) return D3DERR_INVALIDCALL;
  *fp_pCaps = config_.caps;
  return D3D_OK;
}

HRESULT CDeviceBase::GetDisplayMode(D3DDISPLAYMODE* fp_pMode) {
  if (fp_pMode == nullptr) return D3DERR_INVALIDCALL;
  if (params_.Windowed) {
    *fp_pMode = config_.desktop;
  } else {
    *fp_pMode = D3DDISPLAYMODE{params_.BackBufferWidth, params_.BackBufferHeight, params_.FullScreen_RefreshRateInHz,
                               params_.BackBufferFormat};
  }
  return D3D_OK;
}

// }====

// {==== Default hooks ========================================================

HRESULT CDeviceBase::OnTextureCreated(CTexture*) { return D3D_OK; }
void CDeviceBase::OnTextureDestroyed(CTexture*) {}
void CDeviceBase::OnTextureLevelWritten(CTexture*, UINT) {}
HRESULT CDeviceBase::OnIndexBufferCreated(CIndexBuffer*) { return D3D_OK; }
void CDeviceBase::OnIndexBufferDestroyed(CIndexBuffer*) {}
void CDeviceBase::OnIndexBufferWritten(CIndexBuffer*) {}
void CDeviceBase::BackendClear(const D3DRECT&, D3DCOLOR) {}
void CDeviceBase::BackendDraw(const SDrawCall&) {}
HRESULT CDeviceBase::BackendPresent() { return D3D_OK; }
void CDeviceBase::BackendReadFront(BYTE* fp_pBits, UINT fp_uPitch) {
  for (UINT y = 0; y < TargetHeight(); ++y) std::memset(fp_pBits + size_t(y) * fp_uPitch, 0, size_t(TargetWidth()) * 4);
}
HRESULT CDeviceBase::BackendReset() { return D3D_OK; }
void CDeviceBase::OnRenderStateChanged(DWORD) {}
void CDeviceBase::OnStageStateChanged(DWORD, DWORD) {}
void CDeviceBase::OnTextureBound(DWORD) {}
void CDeviceBase::OnViewportChanged() {}
void CDeviceBase::OnGammaChanged() {}
void CDeviceBase::OnIndicesBound() {}
void CDeviceBase::OnTrace(const SCallEvent&) {}

// }====

}  // namespace gfx::detail
