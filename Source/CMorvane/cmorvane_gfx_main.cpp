// Graphics start-up and the device: pre-initialisation with the adapter probe
// and its report in the log, the capability record, initialisation (window,
// device, shared buffers, managers), the per-frame device check with the
// reset after a loss, and the shut-down with its reference checks.
static constexpr int kM2DFileID = 113;

#include <algorithm>
#include <cstring>
#include <iterator>
#include <new>
#include <string>

#include "Platform/gfx/d3d8.h"
#include "cmorvane.h"
#include "mrv_window.h"

using namespace gfx;

namespace {

std::string FormatText(std::uint32_t fp_uFormat) {
  M2D_CHECKPOINT;
  return CMorvane::GFX_GetFormatName(fp_uFormat);
}

// Logs one mode of the probe report.
void LogMode(const char* fp_pszTitle, const DisplayModeInfo& fp_rMode) {
  M2D_CHECKPOINT;
  CMorvane::LogAddLine(fp_pszTitle);
  CMorvane::LogAddLine("          Display Mode:");
  CMorvane::LogAddLine("               Surface format: " + FormatText(fp_rMode.Format));
  CMorvane::LogAddLine("                        Width: " + std::to_string(fp_rMode.Width));
  CMorvane::LogAddLine("                       Height: " + std::to_string(fp_rMode.Height));
  CMorvane::LogAddLine("                 Refresh Rate: " + std::to_string(fp_rMode.RefreshRate));
  CMorvane::LogAddLine("          Texture Formats:");
  CMorvane::LogAddLine("               TextureFormat01: " + FormatText(fp_rMode.TextureFormat01));
  CMorvane::LogAddLine("               TextureFormat02: " + FormatText(fp_rMode.TextureFormat02));
  CMorvane::LogAddLine("               TextureFormat03: " + FormatText(fp_rMode.TextureFormat03));
  CMorvane::LogAddLine("               TextureFormat04: " + FormatText(fp_rMode.TextureFormat04));
}

void LogAvailability(bool fp_bAvailable, const char* fp_pszYes, const char* fp_pszNo) {
  M2D_CHECKPOINT;
  CMorvane::LogAddLine(fp_bAvailable ? fp_pszYes : fp_pszNo);
}

// Creates one of the four managers with its log lines.
template <class TManager>
TManager* CreateManager(const char* fp_pszStep, const char* fp_pszError) {
  M2D_CHECKPOINT;
  CMorvane::LogAddEntry(fp_pszStep, LOG_KIND_STEP);
  TManager* tmp_pManager = new (std::nothrow) TManager();
  if (tmp_pManager == nullptr) M2D_THROW(EHS_TYPE_GENERAL, 0, fp_pszError);
  CMorvane::LogAddBlankLines(1);
  CMorvane::LogAddEntry("Done.", LOG_KIND_SUCCESS);
  return tmp_pManager;
}

// Frees every item of a manager and deletes it, with its log lines. The
// managers' own plain-text errors reach the caller as the engine's exception.
template <class TManager>
void DestroyManager(TManager*& fp_rpManager, const char* fp_pszStep) {
  M2D_CHECKPOINT;
  CMorvane::LogAddEntry(fp_pszStep, LOG_KIND_STEP);
  if (fp_rpManager == nullptr) {
    CMorvane::LogAddEntry("Failed.", LOG_KIND_SUCCESS);
    return;
  }
  TManager* tmp_pManager = fp_rpManager;
  fp_rpManager = nullptr;
  try {
    tmp_pManager->FreeAllItems();
  } catch (const char* tmp_pszError) {
    delete tmp_pManager;
    M2D_THROW(EHS_TYPE_GENERAL, 0, tmp_pszError);
  } catch (...) {
    delete tmp_pManager;
    throw;
  }
  delete tmp_pManager;
  CMorvane::LogAddEntry("Done.", LOG_KIND_SUCCESS);
}

std::int32_t ToInt32(std::uint32_t fp_uValue) {
  M2D_CHECKPOINT;
  return fp_uValue > 0x7FFFFFFFu ? 0x7FFFFFFF : static_cast<std::int32_t>(fp_uValue);
}

}  // namespace

// {==== Format names =========================================================

const char* CMorvane::GFX_GetFormatName(std::uint32_t fp_uFormat) {
  M2D_CHECKPOINT;
  switch (fp_uFormat) {
    case 0: return "D3DFMT_UNKNOWN";
    case 20: return "D3DFMT_R8G8B8";
    case 21: return "D3DFMT_A8R8G8B8";
    case 22: return "D3DFMT_X8R8G8B8";
    case 23: return "D3DFMT_R5G6B5";
    case 24: return "D3DFMT_X1R5G5B5";
    case 25: return "D3DFMT_A1R5G5B5";
    case 26: return "D3DFMT_A4R4G4B4";
    case 27: return "D3DFMT_R3G3B2";
    case 28: return "D3DFMT_A8";
    case 29: return "D3DFMT_A8R3G3B2";
    case 30: return "D3DFMT_X4R4G4B4";
    case 40: return "D3DFMT_A8P8";
    case 41: return "D3DFMT_P8";
    case 50: return "D3DFMT_L8";
    case 51: return "D3DFMT_A8L8";
    case 52: return "D3DFMT_A4L4";
    case 60: return "D3DFMT_V8U8";
    case 61: return "D3DFMT_L6V5U5";
    case 62: return "D3DFMT_X8L8V8U8";
    case 63: return "D3DFMT_Q8W8V8U8";
    case 64: return "D3DFMT_V16U16";
    case 65: return "D3DFMT_W11V11U10";
    case 70: return "D3DFMT_D16_LOCKABLE";
    case 71: return "D3DFMT_D32";
    case 73: return "D3DFMT_D15S1";
    case 75: return "D3DFMT_D24S8";
    case 77: return "D3DFMT_D24X8";
    case 79: return "D3DFMT_D24X4S4";
    case 80: return "D3DFMT_D16";
    case 100: return "D3DFMT_VERTEXDATA";
    case 101: return "D3DFMT_INDEX16";
    case 102: return "D3DFMT_INDEX32";
    default: return "Unknown format!";
  }
}

// }====

// {==== Pre-initialisation and the adapter probe ============================

void CMorvane::GFX_PreInit(std::uint32_t fp_uWidth, std::uint32_t fp_uHeight) {
  M2D_CHECKPOINT;
  LogAddSeparator(1);
  LogAddEntry("Preinitializing Graphics Subsystem...", LOG_KIND_HEADING);
  bGfxPreInitialized = 1;
  gfxRequestedWidth = fp_uWidth;
  gfxRequestedHeight = fp_uHeight;

  // A second pre-initialisation starts from a new object.
  if (pD3D != nullptr && pD3DDevice == nullptr) {
    pD3D->Release();
    pD3D = nullptr;
  }
  if (pD3D == nullptr) pD3D = Direct3DCreate8(D3D_SDK_VERSION);
  if (pD3D == nullptr) M2D_THROW(EHS_TYPE_GENERAL, 0, "Cannot create Direct3D object!");

  LogAddEntry("Direct3D object created.", LOG_KIND_SUCCESS);
  GFX_ProbeAdapter(fp_uWidth, fp_uHeight);
  LogAddSeparator(1);
  LogAddBlankLines(1);
}

void CMorvane::GFX_ProbeAdapter(std::uint32_t fp_uWidth, std::uint32_t fp_uHeight) {
  M2D_CHECKPOINT;
  LogAddEntry("Getting videoadapter capabilities...", LOG_KIND_MINOR);
  D3DADAPTER_IDENTIFIER8 tmp_Identifier;
  std::memset(&tmp_Identifier, 0, sizeof(tmp_Identifier));
  if (FAILED(pD3D->GetAdapterIdentifier(D3DADAPTER_DEFAULT, D3DENUM_NO_WHQL_LEVEL, &tmp_Identifier)))
    M2D_THROW(EHS_TYPE_GENERAL, 0, "Cannot get videoadapter identifier");
  // The description is a fixed-size field: never read past it.
  videoCardName.assign(tmp_Identifier.Description,
                       strnlen(tmp_Identifier.Description, sizeof(tmp_Identifier.Description)));
  LogAddLine("     Videocard: " + videoCardName);
  LogAddLine("       VendorID: " + std::to_string(tmp_Identifier.VendorId));
  LogAddLine("       DeviceID: " + std::to_string(tmp_Identifier.DeviceId));

  gfxCaps = GfxCaps{};
  gfxCaps.Rating = GFX_RateAdapter(tmp_Identifier.VendorId, tmp_Identifier.DeviceId);
  if (gfxCaps.Rating == 0)
    LogAddLine("       Rating: Unknown");
  else
    LogAddLine("       Rating: " + std::to_string(gfxCaps.Rating));
  LogAddBlankLines(1);

  // The modes: the desktop's, then the first 16-bit and the first 32-bit
  // entry of the requested size in the adapter's list.
  LogAddEntry("Enumerating videomodes...", LOG_KIND_STEP);
  DisplayModeInfo& tmp_rMode1 = gfxCaps.Mode1;
  DisplayModeInfo& tmp_rMode2 = gfxCaps.Mode2;
  DisplayModeInfo& tmp_rMode3 = gfxCaps.Mode3;
  D3DDISPLAYMODE tmp_Mode{};
  if (SUCCEEDED(pD3D->GetAdapterDisplayMode(D3DADAPTER_DEFAULT, &tmp_Mode))) {
    tmp_rMode3.Width = tmp_Mode.Width;
    tmp_rMode3.Height = tmp_Mode.Height;
    tmp_rMode3.RefreshRate = tmp_Mode.RefreshRate;
    tmp_rMode3.Format = tmp_Mode.Format;
  }
  const UINT tmp_uModes = pD3D->GetAdapterModeCount(D3DADAPTER_DEFAULT);
  for (UINT i = 0; i < tmp_uModes; ++i) {
    if (FAILED(pD3D->EnumAdapterModes(D3DADAPTER_DEFAULT, i, &tmp_Mode))) continue;
    if (tmp_Mode.Width != fp_uWidth || tmp_Mode.Height != fp_uHeight) continue;
    DisplayModeInfo* tmp_pTarget = nullptr;
    if (tmp_Mode.Format == D3DFMT_R5G6B5 || tmp_Mode.Format == D3DFMT_X1R5G5B5)
      tmp_pTarget = &tmp_rMode1;
    else if (tmp_Mode.Format == D3DFMT_X8R8G8B8 || tmp_Mode.Format == D3DFMT_A8R8G8B8)
      tmp_pTarget = &tmp_rMode2;
    if (tmp_pTarget == nullptr || tmp_pTarget->Format != 0) continue;
    tmp_pTarget->Width = tmp_Mode.Width;
    tmp_pTarget->Height = tmp_Mode.Height;
    tmp_pTarget->RefreshRate = tmp_Mode.RefreshRate;
    tmp_pTarget->Format = tmp_Mode.Format;
  }
  LogAddEntry("Done.", LOG_KIND_SUCCESS);

  LogAddEntry("Enumerating texture formats...", LOG_KIND_STEP);
  GFX_ChooseTextureFormats(&tmp_rMode1);
  GFX_ChooseTextureFormats(&tmp_rMode2);
  GFX_ChooseTextureFormats(&tmp_rMode3);
  LogAddEntry("Done.", LOG_KIND_SUCCESS);
  LogAddBlankLines(1);

  LogMode("     Mode1:", tmp_rMode1);
  LogAddBlankLines(1);
  LogMode("     Mode2:", tmp_rMode2);
  LogAddBlankLines(1);
  LogMode("     Mode3:", tmp_rMode3);
  LogAddBlankLines(2);

  DisplayModeInfo* const tmp_apModes[3] = {&tmp_rMode1, &tmp_rMode2, &tmp_rMode3};
  for (int i = 0; i < 3; ++i) {
    DisplayModeInfo& tmp_rMode = *tmp_apModes[i];
    tmp_rMode.Valid = tmp_rMode.Format != 0 && tmp_rMode.TextureFormat01 != 0 &&
                      tmp_rMode.TextureFormat02 != 0 && tmp_rMode.TextureFormat03 != 0 &&
                      tmp_rMode.TextureFormat04 != 0;
    if (tmp_rMode.Valid)
      LogAddLine("          Display Mode " + std::to_string(i + 1) + " is valid.");
  }
  LogAddBlankLines(2);

  D3DCAPS8 tmp_Caps;
  std::memset(&tmp_Caps, 0, sizeof(tmp_Caps));
  pD3D->GetDeviceCaps(D3DADAPTER_DEFAULT, D3DDEVTYPE_HAL, &tmp_Caps);
  gfxCaps.CanRenderWindowed = (tmp_Caps.Caps2 & D3DCAPS2_CANRENDERWINDOWED) != 0 &&
                              fp_uWidth < tmp_rMode3.Width && fp_uHeight < tmp_rMode3.Height &&
                              tmp_rMode3.Format != D3DFMT_P8 && tmp_rMode3.Format != D3DFMT_A8P8;
  LogAvailability(gfxCaps.CanRenderWindowed, "          Device can render in windowed mode",
                  "          Device cannot render in windowed mode");
  LogAddBlankLines(2);

  gfxCaps.MaxTextureWidth = tmp_Caps.MaxTextureWidth;
  gfxCaps.MaxTextureHeight = tmp_Caps.MaxTextureHeight;
  gfxCaps.MaxTextureBlendStages = tmp_Caps.MaxTextureBlendStages;
  gfxCaps.MaxSimultaneousTextures = tmp_Caps.MaxSimultaneousTextures;
  LogAddLine("     MaxTextureWidth         = " + std::to_string(gfxCaps.MaxTextureWidth));
  LogAddLine("     MaxTextureHeight        = " + std::to_string(gfxCaps.MaxTextureHeight));
  LogAddLine("     MaxTextureBlendStages   = " + std::to_string(gfxCaps.MaxTextureBlendStages));
  LogAddLine("     MaxSimultaneousTextures = " + std::to_string(gfxCaps.MaxSimultaneousTextures));
  LogAddBlankLines(2);

  gfxCaps.VertexFog = (tmp_Caps.RasterCaps & D3DPRASTERCAPS_FOGVERTEX) != 0;
  gfxCaps.MipMapping = (tmp_Caps.TextureCaps & D3DPTEXTURECAPS_MIPMAP) != 0;
  gfxCaps.Dot3 = (tmp_Caps.TextureOpCaps & D3DTEXOPCAPS_DOTPRODUCT3) != 0;
  gfxCaps.AddressClamp = (tmp_Caps.TextureAddressCaps & D3DPTADDRESSCAPS_CLAMP) != 0;
  gfxCaps.AddressWrap = (tmp_Caps.TextureAddressCaps & D3DPTADDRESSCAPS_WRAP) != 0;
  gfxCaps.FullscreenGamma = (tmp_Caps.Caps2 & D3DCAPS2_FULLSCREENGAMMA) != 0;
  gfxCaps.CanCalibrateGamma = (tmp_Caps.Caps2 & D3DCAPS2_CANCALIBRATEGAMMA) != 0;
  LogAvailability(gfxCaps.VertexFog, "     Vertex Fog is available.",
                  "     Vertex Fog is not available.");
  LogAvailability(gfxCaps.MipMapping, "     MipMapping is available.",
                  "     MipMapping is not available.");
  LogAvailability(gfxCaps.Dot3, "     Dot3 Bump Mapping is available.",
                  "     Dot3 Bump Mapping is not available.");
  LogAddBlankLines(2);
  LogAvailability(gfxCaps.AddressClamp, "     Texture addr. mode: Clamp is available.",
                  "     Texture addr. mode: Clamp is not available.");
  LogAvailability(gfxCaps.AddressWrap, "     Texture addr. mode: Wrap is available.",
                  "     Texture addr. mode: Wrap is not available.");
  LogAddBlankLines(2);
  LogAvailability(gfxCaps.FullscreenGamma,
                  "     Dynamic gamma adjusting in full screen is supported.",
                  "     Dynamic gamma adjusting in full screen is not supported.");
  LogAvailability(gfxCaps.CanCalibrateGamma, "     Gamma calibrating is supported.",
                  "     Gamma calibrating is not supported.");
}

void CMorvane::GFX_ChooseTextureFormats(DisplayModeInfo* fp_pMode) {
  M2D_CHECKPOINT;
  // Each chain takes its first candidate the adapter supports on this
  // mode's display format; a candidate may fill another slot than the
  // chain's own.
  struct SCandidate {
    D3DFORMAT format;
    int slot;
  };
  static constexpr SCandidate kChain1[] = {{D3DFMT_R5G6B5, 1},
                                           {D3DFMT_X1R5G5B5, 1},
                                           {D3DFMT_A1R5G5B5, 2},
                                           {D3DFMT_X4R4G4B4, 1},
                                           {D3DFMT_A4R4G4B4, 2}};
  static constexpr SCandidate kChain2[] = {
      {D3DFMT_A4R4G4B4, 2}, {D3DFMT_A1R5G5B5, 2}, {D3DFMT_A8R3G3B2, 2}};
  static constexpr SCandidate kChain3[] = {{D3DFMT_A8R8G8B8, 3}, {D3DFMT_A4R4G4B4, 3}};
  static constexpr SCandidate kChain4[] = {
      {D3DFMT_A8R8G8B8, 4}, {D3DFMT_X8R8G8B8, 4}, {D3DFMT_X4R4G4B4, 3}, {D3DFMT_A4R4G4B4, 2}};
  struct SChain {
    const SCandidate* candidates;
    size_t count;
  };
  const SChain tmp_aChains[] = {{kChain1, std::size(kChain1)},
                                {kChain2, std::size(kChain2)},
                                {kChain3, std::size(kChain3)},
                                {kChain4, std::size(kChain4)}};
  std::uint32_t* const tmp_apSlots[5] = {nullptr, &fp_pMode->TextureFormat01,
                                         &fp_pMode->TextureFormat02, &fp_pMode->TextureFormat03,
                                         &fp_pMode->TextureFormat04};
  const D3DFORMAT tmp_DisplayFormat = static_cast<D3DFORMAT>(fp_pMode->Format);
  for (const SChain& tmp_rChain : tmp_aChains) {
    for (size_t i = 0; i < tmp_rChain.count; ++i) {
      const SCandidate& tmp_rCandidate = tmp_rChain.candidates[i];
      if (SUCCEEDED(pD3D->CheckDeviceFormat(D3DADAPTER_DEFAULT, D3DDEVTYPE_HAL, tmp_DisplayFormat, 0,
                                            D3DRTYPE_TEXTURE, tmp_rCandidate.format))) {
        *tmp_apSlots[tmp_rCandidate.slot] = tmp_rCandidate.format;
        break;
      }
    }
  }
}

void CMorvane::GFX_GetCaps(GfxCaps* fp_pCaps) const {
  M2D_CHECKPOINT;
  if (bGfxPreInitialized == 0)
    M2D_THROW(EHS_TYPE_GAME, 0, "Cannot provide videocard caps - GFX system was not initialized!");
  ZIZAssert(fp_pCaps);
  *fp_pCaps = gfxCaps;
}

// }====

// {==== Initialisation =======================================================

const DisplayModeInfo* CMorvane::GFX_CurrentMode() const {
  M2D_CHECKPOINT;
  switch (gfxModeIndex) {
    case 1: return &gfxCaps.Mode1;
    case 2: return &gfxCaps.Mode2;
    case 3: return &gfxCaps.Mode3;
    default: return nullptr;
  }
}

void CMorvane::GFX_GetScreenSize(std::int32_t* fp_piWidth, std::int32_t* fp_piHeight) const {
  M2D_CHECKPOINT;
  std::uint32_t tmp_uWidth = gfxRequestedWidth;
  std::uint32_t tmp_uHeight = gfxRequestedHeight;
  if (gfxModeIndex == 3 && gfxWindowed == 0) {
    tmp_uWidth = gfxCaps.Mode3.Width;
    tmp_uHeight = gfxCaps.Mode3.Height;
  }
  if (fp_piWidth != nullptr) *fp_piWidth = ToInt32(tmp_uWidth);
  if (fp_piHeight != nullptr) *fp_piHeight = ToInt32(tmp_uHeight);
}

void CMorvane::GFX_Init(std::uint32_t fp_uModeIndex, std::uint8_t fp_bWindowed) {
  M2D_CHECKPOINT;
  LogAddSeparator(1);
  LogAddEntry("Initializing Graphics Subsystem...", LOG_KIND_HEADING);
  if (pD3D == nullptr) M2D_THROW(EHS_TYPE_GENERAL, 0, "Direct3D object was not created!");
  if (pD3DDevice != nullptr) M2D_THROW(EHS_TYPE_GAME, 0, "Graphics system is already initialized!");

  const std::uint8_t tmp_bWindowed = fp_bWindowed != 0 ? 1 : 0;
  if (tmp_bWindowed == 1) {
    if (!gfxCaps.CanRenderWindowed)
      M2D_THROW(EHS_TYPE_GAME, 0, "Cannot switch to windowed rendering.");
    if (fp_uModeIndex == 1 || fp_uModeIndex == 2)
      M2D_THROW(EHS_TYPE_GAME, 0, "Wrong combination of display mode params.");
  }
  if (fp_uModeIndex < 1 || fp_uModeIndex > 3)
    M2D_THROW(EHS_TYPE_GAME, 0, "Wrong display mode index: must be 1, 2 or 3");

  gfxModeIndex = fp_uModeIndex;
  gfxWindowed = tmp_bWindowed;
  LogAddBlankLines(1);
  LogAddEntry("Creating window...", LOG_KIND_STEP);
  std::int32_t tmp_iWidth = 0;
  std::int32_t tmp_iHeight = 0;
  GFX_GetScreenSize(&tmp_iWidth, &tmp_iHeight);
  CreateGameWindow(&hWnd, tmp_iWidth, tmp_iHeight, tmp_bWindowed);
  PumpMessages();
  LogAddEntry("Done.", LOG_KIND_SUCCESS);

  const DisplayModeInfo* tmp_pMode = GFX_CurrentMode();
  std::memset(&gfxPresentParams, 0, sizeof(gfxPresentParams));
  gfxPresentParams.BackBufferWidth = static_cast<UINT>(tmp_iWidth);
  gfxPresentParams.BackBufferHeight = static_cast<UINT>(tmp_iHeight);
  gfxPresentParams.BackBufferFormat = static_cast<D3DFORMAT>(tmp_pMode->Format);
  gfxPresentParams.BackBufferCount = 1;
  gfxPresentParams.MultiSampleType = D3DMULTISAMPLE_NONE;
  gfxPresentParams.SwapEffect = tmp_bWindowed == 1 ? D3DSWAPEFFECT_COPY : D3DSWAPEFFECT_FLIP;
  gfxPresentParams.hDeviceWindow = hWnd;
  gfxPresentParams.Windowed = tmp_bWindowed;
  gfxPresentParams.EnableAutoDepthStencil = 0;
  gfxPresentParams.Flags = 0;
  gfxPresentParams.FullScreen_RefreshRateInHz = D3DPRESENT_RATE_DEFAULT;
  gfxPresentParams.FullScreen_PresentationInterval = D3DPRESENT_INTERVAL_DEFAULT;

  LogAddEntry("Creating D3DDevice...", LOG_KIND_STEP);
  const HRESULT tmp_hrDevice =
      pD3D->CreateDevice(D3DADAPTER_DEFAULT, D3DDEVTYPE_HAL, hWnd,
                         D3DCREATE_SOFTWARE_VERTEXPROCESSING, &gfxPresentParams, &pD3DDevice);
  if (FAILED(tmp_hrDevice) || pD3DDevice == nullptr) {
    pD3DDevice = nullptr;
    M2D_THROW(EHS_TYPE_GENERAL, tmp_hrDevice, "Cannot create D3DDevice!");
  }
  LogAddEntry("Done.", LOG_KIND_SUCCESS);

  // The indices of 500 quads, written once: quad k uses the vertices 4k to
  // 4k+3 as the triangles (0, 1, 2) and (0, 2, 3).
  HRESULT tmp_hr = pD3DDevice->CreateIndexBuffer(kM2DBatchQuads * 6 * 2, D3DUSAGE_WRITEONLY,
                                                 D3DFMT_INDEX16, D3DPOOL_MANAGED, &pIndexBuffer);
  if (FAILED(tmp_hr) || pIndexBuffer == nullptr) {
    pIndexBuffer = nullptr;
    M2D_THROW(EHS_TYPE_GENERAL, tmp_hr, "Cannot create Index Buffer!");
  }
  BYTE* tmp_pIndices = nullptr;
  tmp_hr = pIndexBuffer->Lock(0, 0, &tmp_pIndices, 0);
  if (FAILED(tmp_hr) || tmp_pIndices == nullptr)
    M2D_THROW(EHS_TYPE_GENERAL, tmp_hr, "Cannot create Index Buffer!");
  for (int k = 0; k < kM2DBatchQuads; ++k) {
    const std::uint16_t tmp_uBase = static_cast<std::uint16_t>(4 * k);
    const std::uint16_t tmp_aQuad[6] = {
        tmp_uBase, static_cast<std::uint16_t>(tmp_uBase + 1), static_cast<std::uint16_t>(tmp_uBase + 2),
        tmp_uBase, static_cast<std::uint16_t>(tmp_uBase + 2), static_cast<std::uint16_t>(tmp_uBase + 3)};
    std::memcpy(tmp_pIndices + static_cast<size_t>(k) * sizeof(tmp_aQuad), tmp_aQuad, sizeof(tmp_aQuad));
  }
  pIndexBuffer->Unlock();

  LogAddSeparator(1);
  GFX_SetupVertexBuffer();

  texturesManager = CreateManager<TItemsManagerCOM<IDirect3DTexture8>>(
      "Creating Textures Manager...", "Cannot create Textures Manager!");
  lightsManager = CreateManager<TItemsManager<M2DLight>>("Creating Lights Manager...",
                                                         "Cannot create Lights Manager!");
  techniquesManager = CreateManager<TItemsManager<M2DTECHNIQUE>>(
      "Creating Techniques Manager...", "Cannot create Techniques Manager!");
  fontsManager = CreateManager<TItemsManager<M2DFont>>("Creating Fonts Manager...",
                                                       "Cannot create Fonts Manager!");
  bGfxInitialized = 1;
}

void CMorvane::GFX_SetupVertexBuffer() {
  M2D_CHECKPOINT;
  pD3DDevice->SetVertexShader(kM2DVertexFVF);
  pD3DDevice->SetRenderState(D3DRS_LIGHTING, 0);
  pD3DDevice->ShowCursor(0);

  for (M2DVERTEX& tmp_rVertex : vquad) {
    tmp_rVertex.z = 0.5f;
    tmp_rVertex.rhw = 0.5f;
  }
  std::fill(std::begin(currentTexture), std::end(currentTexture), -1);
  dynLightMode = 0;
  dynLightAmbient[0] = 0.0f;
  dynLightAmbient[1] = 0.0f;
  dynLightAmbient[2] = 0.0f;
  dynLightAmbient[3] = 1.0f;
  currentTechnique = -1;
  currentFont = -1;

  const HRESULT tmp_hr = pD3DDevice->CreateVertexBuffer(
      kM2DBatchQuads * 4 * sizeof(M2DVERTEX), D3DUSAGE_DYNAMIC | D3DUSAGE_WRITEONLY, kM2DVertexFVF,
      D3DPOOL_DEFAULT, &pVertexBuffer);
  if (FAILED(tmp_hr) || pVertexBuffer == nullptr) {
    pVertexBuffer = nullptr;
    M2D_THROW(EHS_TYPE_GAME, 0, "Cannot create Vertex Buffer!");
  }
  if (FAILED(pD3DDevice->SetIndices(pIndexBuffer, 0)))
    M2D_THROW(EHS_TYPE_GENERAL, 0, "Cannot process index buffer!");
}

// }====

// {==== Device check =========================================================

bool CMorvane::GFX_CheckDevice() {
  M2D_CHECKPOINT;
  if (pD3DDevice == nullptr) return false;
  const HRESULT tmp_hr = pD3DDevice->TestCooperativeLevel();
  if (tmp_hr == D3DERR_DEVICELOST) {
    LogAddEntry("Device is lost and currently cannot be restored.", LOG_KIND_SUCCESS);
    return false;
  }
  if (tmp_hr == D3DERR_DEVICENOTRESET) {
    LogAddEntry("D3DDevice is lost. Trying to reset...", LOG_KIND_STEP);
    // The vertex buffer is in the default pool: it must be gone before the
    // reset, and a batch left open must not keep writing into it.
    GFX_BatchDiscard();
    if (pVertexBuffer != nullptr) {
      pVertexBuffer->Release();
      pVertexBuffer = nullptr;
    }
    pD3DDevice->SetStreamSource(0, nullptr, 0);
    if (FAILED(pD3DDevice->Reset(&gfxPresentParams))) {
      LogAddEntry("Failed.", LOG_KIND_FAILED);
      return false;
    }
    LogAddEntry("Done.", LOG_KIND_SUCCESS);
    GFX_SetupVertexBuffer();
    return true;
  }
  return SUCCEEDED(tmp_hr);
}

// }====

// {==== Shut-down ============================================================

void CMorvane::GFX_Shutdown() {
  M2D_CHECKPOINT;
  LogAddSeparator(1);
  LogAddEntry("Deinitializing Graphics Subsystem...", LOG_KIND_HEADING);

  // A start that failed half-way still gives back what it created.
  if (bGfxInitialized == 1 || pD3DDevice != nullptr || hWnd != nullptr) {
    GFX_BatchDiscard();
    if (pD3DDevice != nullptr) {
      pD3DDevice->SetStreamSource(0, nullptr, 0);
      pD3DDevice->SetIndices(nullptr, 0);
      // The device holds a reference to every texture set on a stage; the
      // textures can only be freed once it lets them go.
      for (DWORD i = 0; i < kTextureStages; ++i) pD3DDevice->SetTexture(i, nullptr);
      std::fill(std::begin(currentTexture), std::end(currentTexture), -1);
    }
    if (pVertexBuffer != nullptr) {
      pVertexBuffer->Release();
      pVertexBuffer = nullptr;
    }
    if (pIndexBuffer != nullptr) {
      pIndexBuffer->Release();
      pIndexBuffer = nullptr;
    }
    DestroyManager(texturesManager, "Destroying Textures Manager...");
    DestroyManager(lightsManager, "Destroying Lights Manager...");
    DestroyManager(techniquesManager, "Destroying Techniques Manager...");
    DestroyManager(fontsManager, "Destroying Fonts Manager...");
    if (pD3DDevice != nullptr) {
      if (pD3DDevice->Release() > 0) LogAddEntry("pD3Device references left!", LOG_KIND_SEVERE);
      pD3DDevice = nullptr;
    }
    if (hWnd != nullptr) DestroyGameWindow(hWnd);
  }
  bGfxInitialized = 0;

  if (pD3D != nullptr) {
    if (pD3D->Release() > 0) LogAddEntry("pD3D references left!", LOG_KIND_SEVERE);
    pD3D = nullptr;
  }
  bGfxPreInitialized = 0;
  LogAddEntry("Done.", LOG_KIND_HEADING);
  LogAddSeparator(1);
  LogAddBlankLines(1);
}

// }====
