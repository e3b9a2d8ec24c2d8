// What both back ends of the device share: reference counting, the
// resources (buffers, textures, image surfaces, each with a system-memory
// copy of its contents), and a device base class that keeps every state,
// validates every call and enforces the rules callers rely on (the stage
// references, the reset pool rules, device loss), then hands the work to the
// back end through a narrow set of hooks. Every call is also reported to a
// trace hook, which the recording back end keeps.
#pragma once

#include <cstdint>
#include <vector>

#include "Platform/gfx/d3d8.h"

namespace gfx::detail {

class CDeviceBase;

// {==== Reference counting ===================================================

template <class TInterface>
class TRefCounted : public TInterface {
 public:
  ULONG AddRef() override { return ++refs_; }
  ULONG Release() override {
    if (refs_ == 0) return 0;  // over-released: nothing left to give up
    const ULONG tmp_uLeft = --refs_;
    if (tmp_uLeft == 0) delete this;
    return tmp_uLeft;
  }
  ULONG RefCount() const { return refs_; }

 protected:
  ULONG refs_ = 1;
};

// }====

// {==== Trace events =========================================================

enum class ECall : std::uint8_t {
  TestCooperativeLevel,
  Reset,
  BeginScene,
  EndScene,
  Clear,  // a rect count, b flags, c colour, d stencil, f0 z
  Present,
  SetViewport,   // a X, b Y, c width, d height, f0 MinZ, f1 MaxZ
  SetGammaRamp,  // a flags, b red[0], c red[128], d red[255]
  CreateVertexBuffer,  // a length, b usage, c FVF, d pool, f serial
  CreateIndexBuffer,   // a length, b usage, c format, d pool, f serial
  CreateTexture,       // a width, b height, c levels made, d format, e pool, f serial, g usage
  CreateImageSurface,  // a width, b height, c format, f serial
  GetFrontBuffer,      // f serial of the surface
  SetStreamSource,     // a stream, b serial (0 none), c stride
  SetIndices,          // a serial (0 none), b base vertex index
  SetVertexShader,     // a handle
  DrawIndexedPrimitive,  // a type, b min index, c vertices, d start index, e primitives
  DrawPrimitive,         // a type, b start vertex, e primitives
  SetRenderState,        // a state, b value
  SetTextureStageState,  // a stage, b state, c value
  SetTexture,            // a stage, b serial (0 none)
  ShowCursor,            // a show
  LockVertexBuffer,      // a serial, b offset, c size, d flags
  UnlockVertexBuffer,    // a serial
  LockIndexBuffer,       // a serial, b offset, c size, d flags
  UnlockIndexBuffer,     // a serial
  LockTexture,           // a serial, b level, d flags
  UnlockTexture,         // a serial, b level
  LockSurface,           // a serial, d flags
  UnlockSurface,         // a serial
  DestroyResource,       // a serial, b resource type
};

struct SCallEvent {
  ECall call;
  HRESULT result;
  DWORD a, b, c, d, e, f, g;
  float f0, f1;
};

// }====

// {==== Resources ============================================================

// The part every resource shares: the device it belongs to (which it holds a
// reference to, so the device outlives it), its pool and its serial number
// (1, 2, ... per device, for traces), and a slot for the back end's handle.
template <class TInterface>
class TResource : public TRefCounted<TInterface> {
 public:
  // A release that leaves only the device's binding may complete a cycle the
  // device then breaks (see CDeviceBase::CollectIfOnlyBindingsRemain).
  ULONG Release() override;
  HRESULT GetDevice(IDirect3DDevice8** fp_ppDevice) override;
  CDeviceBase* Device() const { return device_; }
  D3DPOOL Pool() const { return pool_; }
  DWORD Serial() const { return serial_; }

  std::uintptr_t backendHandle = 0;

 protected:
  TResource(CDeviceBase* fp_pDevice, D3DPOOL fp_Pool, D3DRESOURCETYPE fp_Type);
  ~TResource() override;

  CDeviceBase* device_;
  D3DPOOL pool_;
  D3DRESOURCETYPE type_;  // kept: the destructor cannot ask the derived class
  DWORD serial_;
};

// A vertex or index buffer: the bytes live in system memory; the back end
// takes from them what a draw call uses.
template <class TInterface, class TDesc>
class TBuffer : public TResource<TInterface> {
 public:
  HRESULT Lock(UINT fp_uOffsetToLock, UINT fp_uSizeToLock, BYTE** fp_ppbData, DWORD fp_dwFlags) override;
  HRESULT Unlock() override;
  HRESULT GetDesc(TDesc* fp_pDesc) override;
  D3DRESOURCETYPE GetType() override;

  const BYTE* Data() const { return bytes_.data(); }
  UINT Size() const { return static_cast<UINT>(bytes_.size()); }
  bool IsLocked() const { return locks_ > 0; }
  // Incremented by every unlock after a writing lock.
  std::uint32_t Version() const { return version_; }
  DWORD Usage() const { return usage_; }

 protected:
  TBuffer(CDeviceBase* fp_pDevice, UINT fp_uLength, DWORD fp_dwUsage, D3DPOOL fp_Pool);

  std::vector<BYTE> bytes_;
  DWORD usage_;
  int locks_ = 0;
  bool writing_ = false;
  std::uint32_t version_ = 0;
};

class CVertexBuffer final : public TBuffer<IDirect3DVertexBuffer8, D3DVERTEXBUFFER_DESC> {
 public:
  CVertexBuffer(CDeviceBase* fp_pDevice, UINT fp_uLength, DWORD fp_dwUsage, DWORD fp_dwFVF, D3DPOOL fp_Pool);
  DWORD FVF() const { return fvf_; }

 private:
  ~CVertexBuffer() override;
  DWORD fvf_;
};

class CIndexBuffer final : public TBuffer<IDirect3DIndexBuffer8, D3DINDEXBUFFER_DESC> {
 public:
  CIndexBuffer(CDeviceBase* fp_pDevice, UINT fp_uLength, DWORD fp_dwUsage, D3DFORMAT fp_Format, D3DPOOL fp_Pool);
  D3DFORMAT Format() const { return format_; }
  UINT IndexSize() const { return format_ == D3DFMT_INDEX32 ? 4u : 2u; }
  UINT IndexCount() const { return Size() / IndexSize(); }
  UINT IndexAt(UINT fp_uPosition) const;

 private:
  ~CIndexBuffer() override;
  D3DFORMAT format_;
};

struct STextureLevel {
  UINT width;
  UINT height;
  UINT pitch;
  size_t offset;  // into the texture's bytes
};

class CTexture final : public TResource<IDirect3DTexture8> {
 public:
  // The levels are laid out by Init; the device calls it before handing the
  // texture to the back end.
  CTexture(CDeviceBase* fp_pDevice, UINT fp_uWidth, UINT fp_uHeight, UINT fp_uLevels, DWORD fp_dwUsage,
           D3DFORMAT fp_Format, D3DPOOL fp_Pool);

  D3DRESOURCETYPE GetType() override { return D3DRTYPE_TEXTURE; }
  DWORD GetLevelCount() override { return static_cast<DWORD>(levels_.size()); }
  HRESULT GetLevelDesc(UINT fp_uLevel, D3DSURFACE_DESC* fp_pDesc) override;
  HRESULT LockRect(UINT fp_uLevel, D3DLOCKED_RECT* fp_pLockedRect, const RECT* fp_pRect, DWORD fp_dwFlags) override;
  HRESULT UnlockRect(UINT fp_uLevel) override;

  D3DFORMAT Format() const { return format_; }
  DWORD Usage() const { return usage_; }
  UINT LevelCount() const { return static_cast<UINT>(levels_.size()); }
  const STextureLevel& Level(UINT fp_uLevel) const { return levels_[fp_uLevel]; }
  const BYTE* LevelBits(UINT fp_uLevel) const { return bytes_.data() + levels_[fp_uLevel].offset; }

 private:
  ~CTexture() override;

  D3DFORMAT format_;
  DWORD usage_;
  std::vector<STextureLevel> levels_;
  std::vector<BYTE> bytes_;
  std::vector<std::uint8_t> locked_;      // per level: 1 while locked
  std::vector<std::uint8_t> lockWrites_;  // per level: the lock may have written
};

class CImageSurface final : public TRefCounted<IDirect3DSurface8> {
 public:
  CImageSurface(CDeviceBase* fp_pDevice, UINT fp_uWidth, UINT fp_uHeight, D3DFORMAT fp_Format);

  HRESULT GetDevice(IDirect3DDevice8** fp_ppDevice) override;
  HRESULT GetDesc(D3DSURFACE_DESC* fp_pDesc) override;
  HRESULT LockRect(D3DLOCKED_RECT* fp_pLockedRect, const RECT* fp_pRect, DWORD fp_dwFlags) override;
  HRESULT UnlockRect() override;

  CDeviceBase* Device() const { return device_; }
  DWORD Serial() const { return serial_; }
  UINT Width() const { return width_; }
  UINT Height() const { return height_; }
  D3DFORMAT Format() const { return format_; }
  UINT Pitch() const { return pitch_; }
  BYTE* Bits() { return bytes_.data(); }
  bool IsLocked() const { return locked_; }

 private:
  ~CImageSurface() override;

  CDeviceBase* device_;
  DWORD serial_;
  UINT width_;
  UINT height_;
  UINT pitch_;
  D3DFORMAT format_;
  std::vector<BYTE> bytes_;
  bool locked_ = false;
};

// }====

// {==== Device base ==========================================================

// One draw call as the back end receives it, already validated: every vertex
// it reads lies in [firstVertex, lastVertex] of the stream, inside the buffer.
struct SDrawCall {
  D3DPRIMITIVETYPE type;
  UINT primitiveCount;
  bool indexed;
  UINT elementCount;        // indices (indexed) or vertices (not indexed) to draw
  UINT startIndex;          // indexed: first index position
  UINT minIndex, maxIndex;  // indexed: smallest and largest index value read
  UINT baseVertexIndex;     // indexed: added to every index
  UINT startVertex;         // not indexed: first vertex
  UINT firstVertex, lastVertex;  // absolute stream vertices read
  const CVertexBuffer* stream;
  UINT stride;
  const CIndexBuffer* indices;  // indexed only
};

// What the Direct3D object hands a device at creation.
struct SDeviceConfig {
  D3DCAPS8 caps;
  D3DDISPLAYMODE desktop;
  std::vector<D3DFORMAT> textureFormats;  // the texture formats it can hold
  UINT maxTargetSize = 4096;              // largest back buffer side
};

// The failures a test can make a device return (see the null back end).
enum class EFailPoint : std::uint8_t {
  CreateVertexBuffer,
  CreateIndexBuffer,
  CreateTexture,
  CreateImageSurface,
  GetFrontBuffer,
  LockVertexBuffer,
  UnlockVertexBuffer,
  LockIndexBuffer,
  LockSurface,
  SetStreamSource,
  SetIndices,
  Reset,
  Present,
  Count
};

class CDeviceBase : public IDirect3DDevice8 {
 public:
  // {==== The device interface
  ULONG AddRef() override;
  ULONG Release() override;

  HRESULT TestCooperativeLevel() override;
  HRESULT Reset(D3DPRESENT_PARAMETERS* fp_pParams) override;
  HRESULT Present(const RECT* fp_pSourceRect, const RECT* fp_pDestRect, HWND fp_hDestWindowOverride,
                  const void* fp_pDirtyRegion) override;
  HRESULT BeginScene() override;
  HRESULT EndScene() override;
  HRESULT Clear(DWORD fp_dwCount, const D3DRECT* fp_pRects, DWORD fp_dwFlags, D3DCOLOR fp_Color, float fp_fZ,
                DWORD fp_dwStencil) override;
  HRESULT SetViewport(const D3DVIEWPORT8* fp_pViewport) override;
  HRESULT GetViewport(D3DVIEWPORT8* fp_pViewport) override;
  void SetGammaRamp(DWORD fp_dwFlags, const D3DGAMMARAMP* fp_pRamp) override;
  void GetGammaRamp(D3DGAMMARAMP* fp_pRamp) override;

  HRESULT CreateVertexBuffer(UINT fp_uLength, DWORD fp_dwUsage, DWORD fp_dwFVF, D3DPOOL fp_Pool,
                             IDirect3DVertexBuffer8** fp_ppVertexBuffer) override;
  HRESULT CreateIndexBuffer(UINT fp_uLength, DWORD fp_dwUsage, D3DFORMAT fp_Format, D3DPOOL fp_Pool,
                            IDirect3DIndexBuffer8** fp_ppIndexBuffer) override;
  HRESULT CreateTexture(UINT fp_uWidth, UINT fp_uHeight, UINT fp_uLevels, DWORD fp_dwUsage, D3DFORMAT fp_Format,
                        D3DPOOL fp_Pool, IDirect3DTexture8** fp_ppTexture) override;
  HRESULT CreateImageSurface(UINT fp_uWidth, UINT fp_uHeight, D3DFORMAT fp_Format,
                             IDirect3DSurface8** fp_ppSurface) override;
  HRESULT GetFrontBuffer(IDirect3DSurface8* fp_pDestSurface) override;

  HRESULT SetStreamSource(UINT fp_uStreamNumber, IDirect3DVertexBuffer8* fp_pStreamData, UINT fp_uStride) override;
  HRESULT GetStreamSource(UINT fp_uStreamNumber, IDirect3DVertexBuffer8** fp_ppStreamData,
                          UINT* fp_puStride) override;
  HRESULT SetIndices(IDirect3DIndexBuffer8* fp_pIndexData, UINT fp_uBaseVertexIndex) override;
  HRESULT GetIndices(IDirect3DIndexBuffer8** fp_ppIndexData, UINT* fp_puBaseVertexIndex) override;
  HRESULT SetVertexShader(DWORD fp_dwHandle) override;
  HRESULT GetVertexShader(DWORD* fp_pdwHandle) override;
  HRESULT DrawIndexedPrimitive(D3DPRIMITIVETYPE fp_Type, UINT fp_uMinIndex, UINT fp_uNumVertices,
                               UINT fp_uStartIndex, UINT fp_uPrimitiveCount) override;
  HRESULT DrawPrimitive(D3DPRIMITIVETYPE fp_Type, UINT fp_uStartVertex, UINT fp_uPrimitiveCount) override;

  HRESULT SetRenderState(D3DRENDERSTATETYPE fp_State, DWORD fp_dwValue) override;
  HRESULT GetRenderState(D3DRENDERSTATETYPE fp_State, DWORD* fp_pdwValue) override;
  HRESULT SetTextureStageState(DWORD fp_dwStage, D3DTEXTURESTAGESTATETYPE fp_Type, DWORD fp_dwValue) override;
  HRESULT GetTextureStageState(DWORD fp_dwStage, D3DTEXTURESTAGESTATETYPE fp_Type, DWORD* fp_pdwValue) override;
  HRESULT SetTexture(DWORD fp_dwStage, IDirect3DBaseTexture8* fp_pTexture) override;
  HRESULT GetTexture(DWORD fp_dwStage, IDirect3DBaseTexture8** fp_ppTexture) override;

  BOOL ShowCursor(BOOL fp_bShow) override;
  HRESULT GetDeviceCaps(D3DCAPS8* fp_pCaps) override;
  HRESULT GetDisplayMode(D3DDISPLAYMODE* fp_pMode) override;
  // }====

  // {==== For the resources
  DWORD NoteResourceCreated(D3DPOOL fp_Pool);  // returns the serial
  void NoteResourceDestroyed(D3DPOOL fp_Pool, DWORD fp_dwSerial, D3DRESOURCETYPE fp_Type);
  HRESULT InjectedFailure(EFailPoint fp_ePoint) const { return failures_[static_cast<int>(fp_ePoint)]; }
  void Trace(ECall fp_eCall, HRESULT fp_hr, DWORD fp_a = 0, DWORD fp_b = 0, DWORD fp_c = 0, DWORD fp_d = 0,
             DWORD fp_e = 0, DWORD fp_f = 0, DWORD fp_g = 0, float fp_f0 = 0.0f, float fp_f1 = 0.0f);
  // Back-end hooks the resources call (defaults do nothing).
  virtual HRESULT OnTextureCreated(CTexture* fp_pTexture);
  virtual void OnTextureDestroyed(CTexture* fp_pTexture);
  virtual void OnTextureLevelWritten(CTexture* fp_pTexture, UINT fp_uLevel);
  virtual HRESULT OnIndexBufferCreated(CIndexBuffer* fp_pBuffer);
  virtual void OnIndexBufferDestroyed(CIndexBuffer* fp_pBuffer);
  virtual void OnIndexBufferWritten(CIndexBuffer* fp_pBuffer);
  // }====

  // Fills in what creation leaves open (the device window, a window-sized
  // back buffer, one back buffer) and checks the rest; D3D_OK or the result
  // to fail with.
  static HRESULT ValidateParams(D3DPRESENT_PARAMETERS* fp_pParams, HWND fp_hFocusWindow,
                                const SDeviceConfig& fp_rConfig);

  // {==== State, for back ends and tests
  const D3DPRESENT_PARAMETERS& PresentParams() const { return params_; }
  HWND Window() const { return window_; }
  UINT TargetWidth() const { return params_.BackBufferWidth; }
  UINT TargetHeight() const { return params_.BackBufferHeight; }
  DWORD RenderState(DWORD fp_dwState) const { return renderStates_[fp_dwState]; }
  DWORD StageState(DWORD fp_dwStage, DWORD fp_dwType) const { return stageStates_[fp_dwStage][fp_dwType]; }
  CTexture* BoundTexture(DWORD fp_dwStage) const { return textures_[fp_dwStage]; }
  const D3DVIEWPORT8& Viewport() const { return viewport_; }
  const D3DGAMMARAMP& GammaRamp() const { return gamma_; }
  bool IsGammaIdentity() const { return gammaIdentity_; }
  bool IsLost() const { return lost_; }
  bool InScene() const { return inScene_; }
  bool CursorShown() const { return cursorShown_ != 0; }
  int LiveResources() const { return liveResources_; }
  bool SupportsTextureFormat(D3DFORMAT fp_Format) const;
  int DefaultPoolResources() const { return defaultPoolResources_; }
  // }====

 protected:
  CDeviceBase(IDirect3D8* fp_pParent, HWND fp_hWindow, const D3DPRESENT_PARAMETERS& fp_rParams,
              const SDeviceConfig& fp_rConfig);
  ~CDeviceBase() override;

  // Whether the window is in a state that loses a full-screen device
  // (minimised). The base asks the os stand-in; tests can force it.
  virtual bool WindowLosesDevice();

  // {==== Back-end hooks (defaults do nothing and succeed)
  virtual void BackendClear(const D3DRECT& fp_rRect, D3DCOLOR fp_Color);
  virtual void BackendDraw(const SDrawCall& fp_rCall);
  virtual HRESULT BackendPresent();
  // Writes the front buffer as A8R8G8B8 rows, top row first.
  virtual void BackendReadFront(BYTE* fp_pBits, UINT fp_uPitch);
  // Called after the states were reset, with the new parameters in place.
  virtual HRESULT BackendReset();
  virtual void OnRenderStateChanged(DWORD fp_dwState);
  virtual void OnStageStateChanged(DWORD fp_dwStage, DWORD fp_dwType);
  virtual void OnTextureBound(DWORD fp_dwStage);
  virtual void OnViewportChanged();
  virtual void OnGammaChanged();
  virtual void OnIndicesBound();
  // Every call made on the device or its resources, with its result.
  virtual void OnTrace(const SCallEvent& fp_rEvent);
  // }====

  void SetForcedLoss(bool fp_bForced) { forcedLoss_ = fp_bForced; }
  void SetFailure(EFailPoint fp_ePoint, HRESULT fp_hr) { failures_[static_cast<int>(fp_ePoint)] = fp_hr; }

  // The device defaults: every render and stage state, full viewport,
  // identity gamma ramp.
  void ResetStates();

 private:
  HRESULT DrawCommon(SDrawCall& fp_rCall);
  void ReleaseBindings();

 public:
  // Breaks the reference cycle of a device and the resources only it keeps
  // bound, once nothing outside holds either: the bindings are dropped, which
  // destroys those resources and then the device.
  void CollectIfOnlyBindingsRemain();

 private:
  bool collecting_ = false;

  IDirect3D8* parent_;
  HWND window_;
  D3DPRESENT_PARAMETERS params_;
  SDeviceConfig config_;
  ULONG refs_ = 1;
  int liveResources_ = 0;
  int defaultPoolResources_ = 0;
  DWORD nextSerial_ = 1;
  bool lost_ = false;
  bool forcedLoss_ = false;
  bool inScene_ = false;
  BOOL cursorShown_ = 1;
  DWORD fvf_ = 0;

  DWORD renderStates_[kRenderStateCount];
  DWORD stageStates_[kTextureStages][kTextureStageStateCount];
  CTexture* textures_[kTextureStages] = {};
  CVertexBuffer* stream_ = nullptr;
  UINT stride_ = 0;
  CIndexBuffer* indices_ = nullptr;
  UINT baseVertexIndex_ = 0;
  D3DVIEWPORT8 viewport_{};
  D3DGAMMARAMP gamma_{};
  bool gammaIdentity_ = true;

  // Smallest and largest index of the last index range drawn, so the same
  // range drawn again is not scanned again.
  DWORD scanSerial_ = 0;
  std::uint32_t scanVersion_ = 0;
  UINT scanStart_ = 0, scanCount_ = 0, scanMin_ = 0, scanMax_ = 0;

  HRESULT failures_[static_cast<int>(EFailPoint::Count)] = {};

  template <class TInterface>
  friend class TResource;
};

// The identity ramp: entry i = i * 257, 0 to 65535.
void FillIdentityGamma(D3DGAMMARAMP* fp_pRamp);

// }====

}  // namespace gfx::detail
