// The device's resources: vertex and index buffers, textures with their mip
// levels and system-memory image surfaces. Each keeps its contents in system
// memory; the device's back end is told when a lock has written to them.

#include <type_traits>

#include "Platform/gfx/gfx_device_base.h"
#include "Platform/gfx/gfx_formats.h"

namespace gfx::detail {

// {==== TResource ============================================================

template <class TInterface>
TResource<TInterface>::TResource(CDeviceBase* fp_pDevice, D3DPOOL fp_Pool, D3DRESOURCETYPE fp_Type)
    : device_(fp_pDevice), pool_(fp_Pool), type_(fp_Type) {
  device_->AddRef();
  serial_ = device_->NoteResourceCreated(fp_Pool);
}

template <class TInterface>
TResource<TInterface>::~TResource() {
  CDeviceBase* tmp_pDevice = device_;
  tmp_pDevice->NoteResourceDestroyed(pool_, serial_, type_);
  tmp_pDevice->Release();
}

template <class TInterface>
ULONG TResource<TInterface>::Release() {
  CDeviceBase* tmp_pDevice = device_;
  const ULONG tmp_uLeft = TRefCounted<TInterface>::Release();
  // Only the device's bindings may be left; keep the device alive while it
  // looks, since breaking the cycle may destroy both.
  if (tmp_uLeft > 0) tmp_pDevice->CollectIfOnlyBindingsRemain();
  return tmp_uLeft;
}

template <class TInterface>
HRESULT TResource<TInterface>::GetDevice(IDirect3DDevice8** fp_ppDevice) {
  if (fp_ppDevice == nullptr) return D3DERR_INVALIDCALL;
  device_->AddRef();
  *fp_ppDevice = device_;
  return D3D_OK;
}

template class TResource<IDirect3DVertexBuffer8>;
template class TResource<IDirect3DIndexBuffer8>;
template class TResource<IDirect3DTexture8>;

// }====

// {==== Buffers ==============================================================

namespace {

constexpr ECall LockCallOf(D3DRESOURCETYPE fp_Type) {
  return fp_Type == D3DRTYPE_VERTEXBUFFER ? ECall::LockVertexBuffer : ECall::LockIndexBuffer;
}
constexpr ECall UnlockCallOf(D3DRESOURCETYPE fp_Type) {
  return fp_Type == D3DRTYPE_VERTEXBUFFER ? ECall::UnlockVertexBuffer : ECall::UnlockIndexBuffer;
}

}  // namespace

template <class TInterface, class TDesc>
TBuffer<TInterface, TDesc>::TBuffer(CDeviceBase* fp_pDevice, UINT fp_uLength, DWORD fp_dwUsage, D3DPOOL fp_Pool)
    : TResource<TInterface>(fp_pDevice, fp_Pool,
                            std::is_same_v<TInterface, IDirect3DVertexBuffer8> ? D3DRTYPE_VERTEXBUFFER
                                                                               : D3DRTYPE_INDEXBUFFER),
      bytes_(fp_uLength, 0),
      usage_(fp_dwUsage) {}

template <class TInterface, class TDesc>
D3DRESOURCETYPE TBuffer<TInterface, TDesc>::GetType() {
  return this->type_;
}

template <class TInterface, class TDesc>
HRESULT TBuffer<TInterface, TDesc>::Lock(UINT fp_uOffsetToLock, UINT fp_uSizeToLock, BYTE** fp_ppbData,
                                         DWORD fp_dwFlags) {
  const D3DRESOURCETYPE tmp_Type = GetType();
  HRESULT tmp_hr = D3D_OK;
  const UINT tmp_uSize = Size();
  const std::uint64_t tmp_uEnd =
      std::uint64_t(fp_uOffsetToLock) + (fp_uSizeToLock == 0 ? 0u : std::uint64_t(fp_uSizeToLock));
  if (fp_ppbData == nullptr || fp_uOffsetToLock > tmp_uSize || tmp_uEnd > tmp_uSize) {
    tmp_hr = D3DERR_INVALIDCALL;
  } else {
    tmp_hr = this->device_->InjectedFailure(tmp_Type == D3DRTYPE_VERTEXBUFFER ? EFailPoint::LockVertexBuffer
                                                                                : EFailPoint::LockIndexBuffer);
  }
  if (tmp_hr == D3D_OK) {
    *fp_ppbData = bytes_.data() + fp_uOffsetToLock;
    ++locks_;
    if ((fp_dwFlags & D3DLOCK_READONLY) == 0) writing_ = true;
  } else if (fp_ppbData != nullptr) {
    *fp_ppbData = nullptr;
  }
  this->device_->Trace(LockCallOf(tmp_Type), tmp_hr, this->serial_, fp_uOffsetToLock, fp_uSizeToLock, fp_dwFlags);
  return tmp_hr;
}

template <class TInterface, class TDesc>
HRESULT TBuffer<TInterface, TDesc>::Unlock() {
  const D3DRESOURCETYPE tmp_Type = GetType();
  HRESULT tmp_hr = locks_ > 0 ? D3D_OK : D3DERR_INVALIDCALL;
  if (tmp_hr == D3D_OK && tmp_Type == D3DRTYPE_VERTEXBUFFER) {
    tmp_hr = this->device_->InjectedFailure(EFailPoint::UnlockVertexBuffer);
  }
  if (tmp_hr == D3D_OK && --locks_ == 0 && writing_) {
    writing_ = false;
    ++version_;
    if constexpr (std::is_same_v<TInterface, IDirect3DIndexBuffer8>) {
      this->device_->OnIndexBufferWritten(static_cast<CIndexBuffer*>(this));
    }
  }
  this->device_->Trace(UnlockCallOf(tmp_Type), tmp_hr, this->serial_);
  return tmp_hr;
}

template <class TInterface, class TDesc>
HRESULT TBuffer<TInterface, TDesc>::GetDesc(TDesc* fp_pDesc) {
  if (fp_pDesc == nullptr) return D3DERR_INVALIDCALL;
  if constexpr (std::is_same_v<TInterface, IDirect3DVertexBuffer8>) {
    fp_pDesc->Format = D3DFMT_VERTEXDATA;
    fp_pDesc->FVF = static_cast<CVertexBuffer*>(this)->FVF();
  } else {
    fp_pDesc->Format = static_cast<CIndexBuffer*>(this)->Format();
  }
  fp_pDesc->Type = GetType();
  fp_pDesc->Usage = usage_;
  fp_pDesc->Pool = this->pool_;
  fp_pDesc->Size = Size();
  return D3D_OK;
}

template class TBuffer<IDirect3DVertexBuffer8, D3DVERTEXBUFFER_DESC>;
template class TBuffer<IDirect3DIndexBuffer8, D3DINDEXBUFFER_DESC>;

CVertexBuffer::CVertexBuffer(CDeviceBase* fp_pDevice, UINT fp_uLength, DWORD fp_dwUsage, DWORD fp_dwFVF,
                             D3DPOOL fp_Pool)
    : TBuffer(fp_pDevice, fp_uLength, fp_dwUsage, fp_Pool), fvf_(fp_dwFVF) {}

CVertexBuffer::~CVertexBuffer() = default;

CIndexBuffer::CIndexBuffer(CDeviceBase* fp_pDevice, UINT fp_uLength, DWORD fp_dwUsage, D3DFORMAT fp_Format,
                           D3DPOOL fp_Pool)
    : TBuffer(fp_pDevice, fp_uLength, fp_dwUsage, fp_Pool), format_(fp_Format) {}

CIndexBuffer::~CIndexBuffer() { device_->OnIndexBufferDestroyed(this); }

UINT CIndexBuffer::IndexAt(UINT fp_uPosition) const {
  const BYTE* tmp_p = bytes_.data() + size_t(fp_uPosition) * IndexSize();
  if (format_ == D3DFMT_INDEX32) {
    return UINT(tmp_p[0]) | (UINT(tmp_p[1]) << 8) | (UINT(tmp_p[2]) << 16) | (UINT(tmp_p[3]) << 24);
  }
  return UINT(tmp_p[0]) | (UINT(tmp_p[1]) << 8);
}

// }====

// {==== Textures =============================================================

CTexture::CTexture(CDeviceBase* fp_pDevice, UINT fp_uWidth, UINT fp_uHeight, UINT fp_uLevels, DWORD fp_dwUsage,
                   D3DFORMAT fp_Format, D3DPOOL fp_Pool)
    : TResource(fp_pDevice, fp_Pool, D3DRTYPE_TEXTURE), format_(fp_Format), usage_(fp_dwUsage) {
  const UINT tmp_uBpp = BytesPerPixel(fp_Format);
  UINT tmp_uW = fp_uWidth;
  UINT tmp_uH = fp_uHeight;
  size_t tmp_uOffset = 0;
  levels_.reserve(fp_uLevels);
  for (UINT i = 0; i < fp_uLevels; ++i) {
    STextureLevel tmp_Level{tmp_uW, tmp_uH, tmp_uW * tmp_uBpp, tmp_uOffset};
    levels_.push_back(tmp_Level);
    tmp_uOffset += size_t(tmp_Level.pitch) * tmp_uH;
    tmp_uW = tmp_uW > 1 ? tmp_uW / 2 : 1;
    tmp_uH = tmp_uH > 1 ? tmp_uH / 2 : 1;
  }
  bytes_.assign(tmp_uOffset, 0);
  locked_.assign(fp_uLevels, 0);
  lockWrites_.assign(fp_uLevels, 0);
}

CTexture::~CTexture() { device_->OnTextureDestroyed(this); }

HRESULT CTexture::GetLevelDesc(UINT fp_uLevel, D3DSURFACE_DESC* fp_pDesc) {
  if (fp_pDesc == nullptr || fp_uLevel >= levels_.size()) return D3DERR_INVALIDCALL;
  const STextureLevel& tmp_rLevel = levels_[fp_uLevel];
  fp_pDesc->Format = format_;
  fp_pDesc->Type = D3DRTYPE_SURFACE;
  fp_pDesc->Usage = usage_;
  fp_pDesc->Pool = pool_;
  fp_pDesc->Size = tmp_rLevel.pitch * tmp_rLevel.height;
  fp_pDesc->MultiSampleType = D3DMULTISAMPLE_NONE;
  fp_pDesc->Width = tmp_rLevel.width;
  fp_pDesc->Height = tmp_rLevel.height;
  return D3D_OK;
}

namespace {

// A lock rectangle inside a w x h area: null for the whole area; otherwise
// left < right <= w and top < bottom <= h.
bool ValidLockRect(const RECT* fp_pRect, UINT fp_uWidth, UINT fp_uHeight) {
  if (fp_pRect == nullptr) return true;
  return fp_pRect->left >= 0 && fp_pRect->top >= 0 && fp_pRect->left < fp_pRect->right &&
         fp_pRect->top < fp_pRect->bottom && UINT(fp_pRect->right) <= fp_uWidth &&
         UINT(fp_pRect->bottom) <= fp_uHeight;
}

}  // namespace

HRESULT CTexture::LockRect(UINT fp_uLevel, D3DLOCKED_RECT* fp_pLockedRect, const RECT* fp_pRect, DWORD fp_dwFlags) {
  HRESULT tmp_hr = D3D_OK;
  if (fp_pLockedRect == nullptr || fp_uLevel >= levels_.size() || locked_[fp_uLevel] != 0 ||
      !ValidLockRect(fp_pRect, levels_[fp_uLevel].width, levels_[fp_uLevel].height)) {
    tmp_hr = D3DERR_INVALIDCALL;
  }
  if (tmp_hr == D3D_OK) {
    const STextureLevel& tmp_rLevel = levels_[fp_uLevel];
    size_t tmp_uOffset = tmp_rLevel.offset;
    if (fp_pRect != nullptr) {
      tmp_uOffset += size_t(fp_pRect->top) * tmp_rLevel.pitch + size_t(fp_pRect->left) * BytesPerPixel(format_);
    }
    fp_pLockedRect->Pitch = static_cast<INT>(tmp_rLevel.pitch);
    fp_pLockedRect->pBits = bytes_.data() + tmp_uOffset;
    locked_[fp_uLevel] = 1;
    lockWrites_[fp_uLevel] = (fp_dwFlags & D3DLOCK_READONLY) == 0 ? 1 : 0;
  } else if (fp_pLockedRect != nullptr) {
    fp_pLockedRect->Pitch = 0;
    fp_pLockedRect->pBits = nullptr;
  }
  device_->Trace(ECall::LockTexture, tmp_hr, serial_, fp_uLevel, 0, fp_dwFlags);
  return tmp_hr;
}

HRESULT CTexture::UnlockRect(UINT fp_uLevel) {
  HRESULT tmp_hr = fp_uLevel < levels_.size() && locked_[fp_uLevel] != 0 ? D3D_OK : D3DERR_INVALIDCALL;
  if (tmp_hr == D3D_OK) {
    locked_[fp_uLevel] = 0;
    if (lockWrites_[fp_uLevel] != 0) device_->OnTextureLevelWritten(this, fp_uLevel);
  }
  device_->Trace(ECall::UnlockTexture, tmp_hr, serial_, fp_uLevel);
  return tmp_hr;
}

// }====

// {==== Image surfaces =======================================================

CImageSurface::CImageSurface(CDeviceBase* fp_pDevice, UINT fp_uWidth, UINT fp_uHeight, D3DFORMAT fp_Format)
    : device_(fp_pDevice),
      width_(fp_uWidth),
      height_(fp_uHeight),
      pitch_(fp_uWidth * BytesPerPixel(fp_Format)),
      format_(fp_Format),
      bytes_(size_t(fp_uWidth) * BytesPerPixel(fp_Format) * fp_uHeight, 0) {
  device_->AddRef();
  serial_ = device_->NoteResourceCreated(D3DPOOL_SYSTEMMEM);
}

CImageSurface::~CImageSurface() {
  CDeviceBase* tmp_pDevice = device_;
  tmp_pDevice->NoteResourceDestroyed(D3DPOOL_SYSTEMMEM, serial_, D3DRTYPE_SURFACE);
  tmp_pDevice->Release();
}

HRESULT CImageSurface::GetDevice(IDirect3DDevice8** fp_ppDevice) {
  if (fp_ppDevice == nullptr) return D3DERR_INVALIDCALL;
  device_->AddRef();
  *fp_ppDevice = device_;
  return D3D_OK;
}

HRESULT CImageSurface::GetDesc(D3DSURFACE_DESC* fp_pDesc) {
  if (fp_pDesc == nullptr) return D3DERR_INVALIDCALL;
  fp_pDesc->Format = format_;
  fp_pDesc->Type = D3DRTYPE_SURFACE;
  fp_pDesc->Usage = 0;
  fp_pDesc->Pool = D3DPOOL_SYSTEMMEM;
  fp_pDesc->Size = pitch_ * height_;
  fp_pDesc->MultiSampleType = D3DMULTISAMPLE_NONE;
  fp_pDesc->Width = width_;
  fp_pDesc->Height = height_;
  return D3D_OK;
}

HRESULT CImageSurface::LockRect(D3DLOCKED_RECT* fp_pLockedRect, const RECT* fp_pRect, DWORD fp_dwFlags) {
  HRESULT tmp_hr = D3D_OK;
  if (fp_pLockedRect == nullptr || locked_ || !ValidLockRect(fp_pRect, width_, height_)) {
    tmp_hr = D3DERR_INVALIDCALL;
  } else {
    tmp_hr = device_->InjectedFailure(EFailPoint::LockSurface);
  }
  if (tmp_hr == D3D_OK) {
    size_t tmp_uOffset = 0;
    if (fp_pRect != nullptr) {
      tmp_uOffset = size_t(fp_pRect->top) * pitch_ + size_t(fp_pRect->left) * BytesPerPixel(format_);
    }
    fp_pLockedRect->Pitch = static_cast<INT>(pitch_);
    fp_pLockedRect->pBits = bytes_.data() + tmp_uOffset;
    locked_ = true;
  } else if (fp_pLockedRect != nullptr) {
    fp_pLockedRect->Pitch = 0;
    fp_pLockedRect->pBits = nullptr;
  }
  device_->Trace(ECall::LockSurface, tmp_hr, serial_, 0, 0, fp_dwFlags);
  return tmp_hr;
}

HRESULT CImageSurface::UnlockRect() {
  const HRESULT tmp_hr = locked_ ? D3D_OK : D3DERR_INVALIDCALL;
  locked_ = false;
  device_->Trace(ECall::UnlockSurface, tmp_hr, serial_);
  return tmp_hr;
}

// }====

}  // namespace gfx::detail
