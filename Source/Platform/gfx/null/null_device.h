// The recording back end of the device: it rasterises nothing, keeps every
// call made on it (states, textures, draw calls with their primitive counts,
// viewports, gamma ramps) and can write them out as text; its colour buffer
// holds what Clear filled, and GetFrontBuffer reads the last presented one.
// Its adapter is scripted: modes, desktop, texture formats, caps and
// failures come from an SAdapter, so tests can describe any video card.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "Platform/gfx/d3d8.h"
#include "Platform/gfx/gfx_device_base.h"

namespace gfx::null {

using detail::ECall;
using detail::EFailPoint;
using detail::SCallEvent;
using detail::SDrawCall;

// {==== The scripted adapter =================================================

struct SAdapter {
  std::string description = "Morvane2D recording device";
  std::string driver = "null";
  DWORD vendorId = 0;
  DWORD deviceId = 0;
  HRESULT identifierResult = D3D_OK;  // what GetAdapterIdentifier returns
  D3DDISPLAYMODE desktop{1024, 768, 60, D3DFMT_X8R8G8B8};
  // The adapter's mode list, in this order.
  std::vector<D3DDISPLAYMODE> modes;
  // Display formats on which the texture formats below are available.
  std::vector<D3DFORMAT> displayFormats;
  std::vector<D3DFORMAT> textureFormats;
  D3DCAPS8 caps{};
  HRESULT createDeviceResult = D3D_OK;  // what CreateDevice returns
};

// 800x600 in R5G6B5 and X8R8G8B8 plus the 1024x768 X8R8G8B8 desktop, the
// texture formats and capabilities of the OpenGL back end (textures up to
// 4096 pixels).
SAdapter DefaultAdapter();

// The adapter Direct3DCreate8 scripts when the os stand-in runs headless;
// DefaultAdapter() until set.
void SetProcessAdapter(const SAdapter& fp_rAdapter);
void ResetProcessAdapter();
SAdapter ProcessAdapter();

// A new Direct3D object over fp_rAdapter (one reference).
IDirect3D8* CreateDirect3D(const SAdapter& fp_rAdapter);

// }====

// {==== The recording device =================================================

class CNullDevice final : public detail::CDeviceBase {
 public:
  // What the device counts whether or not the events still fit.
  struct SCounters {
    std::uint64_t drawCalls = 0;   // successful DrawIndexedPrimitive / DrawPrimitive
    std::uint64_t primitives = 0;  // their primitives
    std::uint64_t clears = 0;
    std::uint64_t presents = 0;  // successful
    std::uint64_t scenes = 0;    // successful BeginScene
    std::uint64_t texturesCreated = 0;
  };

  CNullDevice(IDirect3D8* fp_pParent, HWND fp_hWindow, const D3DPRESENT_PARAMETERS& fp_rParams,
              const detail::SDeviceConfig& fp_rConfig);

  // {==== Recording
  const std::vector<SCallEvent>& Events() const { return events_; }
  // Events of one kind, in order.
  std::vector<SCallEvent> EventsOf(ECall fp_eCall) const;
  // The ramps of the recorded SetGammaRamp events, in order.
  const std::vector<D3DGAMMARAMP>& GammaRamps() const { return gammaRamps_; }
  const SCounters& Counters() const { return counters_; }
  // Events beyond the capacity are counted here and not kept, so a long
  // headless run does not grow without bound.
  std::uint64_t DroppedEvents() const { return dropped_; }
  void SetRecordCapacity(size_t fp_uEvents) { capacity_ = fp_uEvents; }
  // Forgets the events, ramps and counters.
  void ClearRecording();
  // One line per event (see FormatEvent), each ending in a newline.
  std::string Dump() const;
  static std::string FormatEvent(const SCallEvent& fp_rEvent);
  // }====

  // {==== Pixels: ARGB, top row first
  const std::vector<std::uint32_t>& ColorBuffer() const { return back_; }
  const std::vector<std::uint32_t>& FrontBuffer() const { return front_; }
  // }====

  // Called for every draw that reaches the back end, with the validated call
  // (the vertices are in fp_rCall.stream->Data()).
  using DrawHook = std::function<void(const CNullDevice&, const SDrawCall&)>;
  void SetDrawHook(DrawHook fp_Hook) { drawHook_ = std::move(fp_Hook); }

  // Makes the device behave as if its full-screen window were minimised
  // (lost) until called with false (then it needs a Reset).
  void SimulateLoss(bool fp_bLost) { SetForcedLoss(fp_bLost); }
  // Makes the given operation fail with fp_hr until set back to D3D_OK.
  void InjectFailure(EFailPoint fp_ePoint, HRESULT fp_hr) { SetFailure(fp_ePoint, fp_hr); }

 private:
  ~CNullDevice() override;

  void BackendClear(const D3DRECT& fp_rRect, D3DCOLOR fp_Color) override;
  void BackendDraw(const SDrawCall& fp_rCall) override;
  HRESULT BackendPresent() override;
  void BackendReadFront(BYTE* fp_pBits, UINT fp_uPitch) override;
  HRESULT BackendReset() override;
  void OnTrace(const SCallEvent& fp_rEvent) override;
  void AllocateBuffers();

  std::vector<SCallEvent> events_;
  std::vector<D3DGAMMARAMP> gammaRamps_;
  size_t capacity_ = 1u << 16;
  std::uint64_t dropped_ = 0;
  SCounters counters_;
  std::vector<std::uint32_t> back_;
  std::vector<std::uint32_t> front_;
  DrawHook drawHook_;
};

// The recording device behind an interface pointer, or null for another back
// end's device.
CNullDevice* AsNullDevice(IDirect3DDevice8* fp_pDevice);
// The newest recording device still alive, or null.
CNullDevice* LastCreatedDevice();

// Names of the device's numbers as the dump writes them ("D3DRS_FOGENABLE",
// "D3DTOP_MODULATE", ...); a number without a name is written in decimal.
std::string CallName(ECall fp_eCall);
std::string RenderStateName(DWORD fp_dwState);
std::string StageStateName(DWORD fp_dwType);
std::string StageStateValueName(DWORD fp_dwType, DWORD fp_dwValue);
std::string FormatName(DWORD fp_dwFormat);
std::string ResultName(HRESULT fp_hr);

// }====

}  // namespace gfx::null
