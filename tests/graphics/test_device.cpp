// Graphics start-up and the device over scripted adapters: the adapter report
// in the log line by line, the mode and texture-format choice, the windowed
// rule, the initialisation's log and device state, its errors, the device
// check with the reset after a loss, and the shut-down with its checks.
#include <gtest/gtest.h>

#include "Platform/gfx/gfx_device_base.h"
#include "Platform/gfx/gfx_formats.h"
#include "graphics_fixture.h"

namespace {

using namespace gfxtest;
using namespace gfx;
using gfx::null::ECall;

const std::string kSep = "|---------------------------------------------------|";

class DeviceTest : public GfxTest {
 protected:
  // An adapter with exactly the given modes, display formats and texture
  // formats, on a 1024x768 desktop.
  void Script(std::vector<D3DDISPLAYMODE> fp_vModes, std::vector<D3DFORMAT> fp_vDisplay,
              std::vector<D3DFORMAT> fp_vTextures) {
    Adapter().modes = std::move(fp_vModes);
    Adapter().displayFormats = std::move(fp_vDisplay);
    Adapter().textureFormats = std::move(fp_vTextures);
  }
  void PreInit() {
    StartEngine();
    engine->GFX_PreInit(800, 600);
  }
  GfxCaps Caps() const {
    GfxCaps c{};
    engine->GFX_GetCaps(&c);
    return c;
  }
};

TEST_F(DeviceTest, TheAdapterReportListsEverythingThatWasFound) {
  Adapter().description = "Test card";
  Adapter().vendorId = 0x10DE;
  Adapter().deviceId = 0x0250;
  // The first 16-bit and the first 32-bit 800x600 entries win.
  Script({{640, 480, 60, D3DFMT_R5G6B5},
          {800, 600, 75, D3DFMT_X1R5G5B5},
          {800, 600, 60, D3DFMT_R5G6B5},
          {800, 600, 85, D3DFMT_A8R8G8B8},
          {800, 600, 60, D3DFMT_X8R8G8B8}},
         {D3DFMT_X1R5G5B5, D3DFMT_A8R8G8B8, D3DFMT_X8R8G8B8},
         {D3DFMT_R5G6B5, D3DFMT_A4R4G4B4, D3DFMT_A8R8G8B8});
  PreInit();
  const std::vector<std::string> tmp_vWant = {
      kSep,
      "--==: Preinitializing Graphics Subsystem...",
      "   +: Direct3D object created.",
      "  -=: Getting videoadapter capabilities...",
      "     Videocard: Test card",
      "       VendorID: 4318",
      "       DeviceID: 592",
      "       Rating: 5",
      "",
      "   =: Enumerating videomodes...",
      "   +: Done.",
      "   =: Enumerating texture formats...",
      "   +: Done.",
      "",
      "     Mode1:",
      "          Display Mode:",
      "               Surface format: D3DFMT_X1R5G5B5",
      "                        Width: 800",
      "                       Height: 600",
      "                 Refresh Rate: 75",
      "          Texture Formats:",
      "               TextureFormat01: D3DFMT_R5G6B5",
      "               TextureFormat02: D3DFMT_A4R4G4B4",
      "               TextureFormat03: D3DFMT_A8R8G8B8",
      "               TextureFormat04: D3DFMT_A8R8G8B8",
      "",
      "     Mode2:",
      "          Display Mode:",
      "               Surface format: D3DFMT_A8R8G8B8",
      "                        Width: 800",
      "                       Height: 600",
      "                 Refresh Rate: 85",
      "          Texture Formats:",
      "               TextureFormat01: D3DFMT_R5G6B5",
      "               TextureFormat02: D3DFMT_A4R4G4B4",
      "               TextureFormat03: D3DFMT_A8R8G8B8",
      "               TextureFormat04: D3DFMT_A8R8G8B8",
      "",
      "     Mode3:",
      "          Display Mode:",
      "               Surface format: D3DFMT_X8R8G8B8",
      "                        Width: 1024",
      "                       Height: 768",
      "                 Refresh Rate: 60",
      "          Texture Formats:",
      "               TextureFormat01: D3DFMT_R5G6B5",
      "               TextureFormat02: D3DFMT_A4R4G4B4",
      "               TextureFormat03: D3DFMT_A8R8G8B8",
      "               TextureFormat04: D3DFMT_A8R8G8B8",
      "",
      "",
      "          Display Mode 1 is valid.",
      "          Display Mode 2 is valid.",
      "          Display Mode 3 is valid.",
      "",
      "",
      "          Device can render in windowed mode",
      "",
      "",
      "     MaxTextureWidth         = 4096",
      "     MaxTextureHeight        = 4096",
      "     MaxTextureBlendStages   = 2",
      "     MaxSimultaneousTextures = 2",
      "",
      "",
      "     Vertex Fog is available.",
      "     MipMapping is available.",
      "     Dot3 Bump Mapping is available.",
      "",
      "",
      "     Texture addr. mode: Clamp is available.",
      "     Texture addr. mode: Wrap is available.",
      "",
      "",
      "     Dynamic gamma adjusting in full screen is supported.",
      "     Gamma calibrating is not supported.",
      kSep,
      "",
  };
  EXPECT_EQ(LogFrom(kSep).size(), 2u);
  const std::vector<std::string> tmp_vLog = m2dtest::ReadLines("gamelog.txt");
  ASSERT_GE(tmp_vLog.size(), tmp_vWant.size());
  EXPECT_EQ(std::vector<std::string>(tmp_vLog.end() - long(tmp_vWant.size()), tmp_vLog.end()), tmp_vWant);

  const GfxCaps c = Caps();
  EXPECT_EQ(c.Rating, 5u);
  EXPECT_EQ(c.Mode1.Format, DWORD(D3DFMT_X1R5G5B5));
  EXPECT_EQ(c.Mode1.RefreshRate, 75u);
  EXPECT_TRUE(c.Mode1.Valid && c.Mode2.Valid && c.Mode3.Valid);
  EXPECT_TRUE(c.CanRenderWindowed);
  EXPECT_EQ(engine->videoCardName, "Test card");
}

TEST_F(DeviceTest, AModeNeedsItsFormatAndAllFourTextureFormats) {
  struct SCase {
    const char* name;
    std::vector<D3DDISPLAYMODE> modes;
    std::vector<D3DFORMAT> textures;
    bool valid1, valid2, valid3;
    const char* line;  // a line the report must hold
  };
  const SCase tmp_aCases[] = {
      {"800x600 at 32 bits only", {{800, 600, 60, D3DFMT_X8R8G8B8}}, detail::HeldTextureFormats(), false, true,
       true, "               Surface format: D3DFMT_UNKNOWN"},
      {"no 16-bit format with alpha", {{800, 600, 60, D3DFMT_R5G6B5}, {800, 600, 60, D3DFMT_X8R8G8B8}},
       {D3DFMT_R5G6B5, D3DFMT_A8R8G8B8, D3DFMT_X8R8G8B8}, false, false, false,
       "               TextureFormat02: D3DFMT_UNKNOWN"},
      // Chain 1 ends at A1R5G5B5 (into slot 2), chain 4 at X4R4G4B4 (into slot 3).
      {"16-bit textures only", {{800, 600, 60, D3DFMT_R5G6B5}}, {D3DFMT_X4R4G4B4, D3DFMT_A1R5G5B5}, false, false,
       false, "               TextureFormat03: D3DFMT_X4R4G4B4"},
  };
  for (const SCase& c : tmp_aCases) {
    SCOPED_TRACE(c.name);
    Script(c.modes, {D3DFMT_R5G6B5, D3DFMT_X8R8G8B8}, c.textures);
    PreInit();
    const GfxCaps tmp_Caps = Caps();
    EXPECT_EQ(tmp_Caps.Mode1.Valid, c.valid1);
    EXPECT_EQ(tmp_Caps.Mode2.Valid, c.valid2);
    EXPECT_EQ(tmp_Caps.Mode3.Valid, c.valid3);
    const std::vector<std::string> tmp_vLog = m2dtest::ReadLines("gamelog.txt");
    EXPECT_TRUE(m2dtest::ContainsLine(tmp_vLog, c.line));
    EXPECT_EQ(m2dtest::ContainsLine(tmp_vLog, "          Display Mode 2 is valid."), c.valid2);
    engine.reset();
  }
  // Which format each slot got for the last case.
  Script({{800, 600, 60, D3DFMT_R5G6B5}}, {D3DFMT_R5G6B5}, {D3DFMT_X4R4G4B4, D3DFMT_A1R5G5B5});
  PreInit();
  const DisplayModeInfo m = Caps().Mode1;
  EXPECT_EQ(m.TextureFormat01, 0u);
  EXPECT_EQ(m.TextureFormat02, DWORD(D3DFMT_A1R5G5B5));
  EXPECT_EQ(m.TextureFormat03, DWORD(D3DFMT_X4R4G4B4));
  EXPECT_EQ(m.TextureFormat04, 0u);
}

TEST_F(DeviceTest, WindowedRenderingNeedsRoomOnTheDesktopAndTheCapability) {
  struct SCase {
    const char* name;
    D3DDISPLAYMODE desktop;
    bool capability;
    bool want;
  };
  const SCase tmp_aCases[] = {
      {"1024x768 desktop", {1024, 768, 60, D3DFMT_X8R8G8B8}, true, true},
      {"800x600 desktop", {800, 600, 60, D3DFMT_X8R8G8B8}, true, false},
      {"801x600 desktop", {801, 600, 60, D3DFMT_X8R8G8B8}, true, false},
      {"paletted desktop", {1024, 768, 60, D3DFMT_P8}, true, false},
      {"no capability", {1024, 768, 60, D3DFMT_X8R8G8B8}, false, false},
  };
  for (const SCase& c : tmp_aCases) {
    SCOPED_TRACE(c.name);
    Adapter().desktop = c.desktop;
    Adapter().caps = detail::MakeCaps(4096, false);
    if (!c.capability) Adapter().caps.Caps2 &= ~D3DCAPS2_CANRENDERWINDOWED;
    PreInit();
    EXPECT_EQ(Caps().CanRenderWindowed, c.want);
    EXPECT_TRUE(m2dtest::ContainsLine(m2dtest::ReadLines("gamelog.txt"),
                                      c.want ? "          Device can render in windowed mode"
                                             : "          Device cannot render in windowed mode"));
    // Windowed rendering always takes the desktop's mode.
    for (std::uint32_t tmp_uMode : {1u, 2u}) {
      const CEHSException e = Thrown([&] { engine->GFX_Init(tmp_uMode, 1); });
      EXPECT_EQ(e.type, EHS_TYPE_GAME);
      EXPECT_EQ(e.description, c.want ? "Wrong combination of display mode params."
                                      : "Cannot switch to windowed rendering.");
    }
    EXPECT_EQ(engine->pD3DDevice, nullptr);
    engine.reset();
  }
}

TEST_F(DeviceTest, RatingsComeFromTheVendorAndDeviceIDs) {
  struct SCase {
    std::uint32_t vendor, device, want;
  };
  const SCase tmp_aCases[] = {
      {0x10DE, 0x0250, 5}, {0x10DE, 0x0171, 4}, {0x10DE, 0x016F, 3}, {0x10DE, 0x0100, 3}, {0x10DE, 0x0028, 2},
      {0x10DE, 0x0027, 1}, {0x1002, 0x4966, 5}, {0x1002, 0x5144, 4}, {0x1002, 0x5159, 3}, {0x1002, 0x4C4D, 2},
      {0x1002, 0x524C, 1}, {0x1002, 0x1234, 0}, {0x102B, 0x0525, 2}, {0x102B, 0x0521, 1}, {0x1039, 0x6300, 2},
      {0x8086, 0x7800, 1}, {0x104A, 0x0010, 4}, {0x121A, 0x0009, 3}, {0x121A, 0x0005, 2}, {0x1023, 0x8520, 1},
      {0x8086, 0x7801, 0}, {0, 0, 0},
  };
  for (const SCase& c : tmp_aCases)
    EXPECT_EQ(GFX_RateAdapter(c.vendor, c.device), c.want) << std::hex << c.vendor << " " << c.device;
  PreInit();
  EXPECT_TRUE(m2dtest::ContainsLine(m2dtest::ReadLines("gamelog.txt"), "       Rating: Unknown"));
}

TEST_F(DeviceTest, InitialisationCreatesTheWindowDeviceBuffersAndManagers) {
  StartGraphics(2, 0);
  const std::vector<std::string> tmp_vLog = LogFrom("--==: Initializing Graphics Subsystem...");
  const std::vector<std::string> tmp_vWant = {
      "--==: Initializing Graphics Subsystem...",
      "",
      "   =: Creating window...",
      "   +: Done.",
      "   =: Creating D3DDevice...",
      "   +: Done.",
      kSep,
      "   =: Creating Textures Manager...",
      "",
      "   +: Done.",
      "   =: Creating Lights Manager...",
      "",
      "   +: Done.",
      "   =: Creating Techniques Manager...",
      "",
      "   +: Done.",
      "   =: Creating Fonts Manager...",
      "",
      "   +: Done.",
  };
  EXPECT_EQ(tmp_vLog, tmp_vWant);
  EXPECT_EQ(engine->bGfxInitialized, 1);
  EXPECT_NE(engine->hWnd, nullptr);
  std::int32_t w = 0, h = 0;
  engine->GFX_GetScreenSize(&w, &h);
  EXPECT_EQ(std::make_pair(w, h), std::make_pair(800, 600));

  null::CNullDevice* d = Device();
  const D3DPRESENT_PARAMETERS& p = d->PresentParams();
  EXPECT_EQ(p.BackBufferWidth, 800u);
  EXPECT_EQ(p.BackBufferFormat, D3DFMT_X8R8G8B8);
  EXPECT_EQ(p.SwapEffect, D3DSWAPEFFECT_FLIP);
  EXPECT_EQ(p.Windowed, 0);
  DWORD tmp_dwFVF = 0;
  d->GetVertexShader(&tmp_dwFVF);
  EXPECT_EQ(tmp_dwFVF, 0x2C4u);
  EXPECT_EQ(d->RenderState(D3DRS_LIGHTING), 0u);
  EXPECT_FALSE(d->CursorShown());
  D3DVERTEXBUFFER_DESC vb{};
  engine->pVertexBuffer->GetDesc(&vb);
  EXPECT_EQ(vb.Size, 80000u);
  EXPECT_EQ(vb.Pool, D3DPOOL_DEFAULT);
  EXPECT_EQ(vb.Usage, D3DUSAGE_DYNAMIC | D3DUSAGE_WRITEONLY);
  IDirect3DIndexBuffer8* ib = nullptr;
  UINT tmp_uBase = 1;
  d->GetIndices(&ib, &tmp_uBase);
  ASSERT_EQ(ib, engine->pIndexBuffer);
  ib->Release();
  EXPECT_EQ(tmp_uBase, 0u);
  const auto* tmp_pIndices = dynamic_cast<const detail::CIndexBuffer*>(engine->pIndexBuffer);
  ASSERT_NE(tmp_pIndices, nullptr);
  ASSERT_EQ(tmp_pIndices->IndexCount(), 3000u);
  EXPECT_EQ(tmp_pIndices->Pool(), D3DPOOL_MANAGED);
  for (UINT k : {0u, 1u, 499u}) {
    const UINT tmp_auWant[6] = {4 * k, 4 * k + 1, 4 * k + 2, 4 * k, 4 * k + 2, 4 * k + 3};
    for (UINT i = 0; i < 6; ++i) EXPECT_EQ(tmp_pIndices->IndexAt(6 * k + i), tmp_auWant[i]) << k;
  }
  EXPECT_NE(engine->texturesManager, nullptr);
  EXPECT_NE(engine->lightsManager, nullptr);
  EXPECT_NE(engine->techniquesManager, nullptr);
  EXPECT_NE(engine->fontsManager, nullptr);
}

TEST_F(DeviceTest, TheDesktopModeSizesTheScreenInFullScreenOnly) {
  StartGraphics(3, 1);
  std::int32_t w = 0, h = 0;
  engine->GFX_GetScreenSize(&w, &h);
  EXPECT_EQ(std::make_pair(w, h), std::make_pair(800, 600)) << "windowed: the requested size";
  EXPECT_EQ(Device()->PresentParams().SwapEffect, D3DSWAPEFFECT_COPY);
  engine.reset();
  StartGraphics(3, 0);
  engine->GFX_GetScreenSize(&w, &h);
  EXPECT_EQ(std::make_pair(w, h), std::make_pair(1024, 768));
  EXPECT_EQ(Device()->TargetWidth(), 1024u);
}

TEST_F(DeviceTest, StartUpErrorsCarryTheirTypesCodesAndTexts) {
  StartEngine();
  GfxCaps c{};
  CEHSException e = Thrown([&] { engine->GFX_GetCaps(&c); });
  EXPECT_EQ(e.type, EHS_TYPE_GAME);
  EXPECT_EQ(e.description, "Cannot provide videocard caps - GFX system was not initialized!");
  e = Thrown([&] { engine->GFX_Init(2, 0); });
  EXPECT_EQ(e.type, EHS_TYPE_GENERAL);
  EXPECT_EQ(e.description, "Direct3D object was not created!");
  engine.reset();

  Adapter().identifierResult = E_FAIL;
  StartEngine();
  e = Thrown([&] { engine->GFX_PreInit(800, 600); });
  EXPECT_EQ(e.type, EHS_TYPE_GENERAL);
  EXPECT_EQ(e.description, "Cannot get videoadapter identifier");
  engine.reset();

  Adapter().identifierResult = D3D_OK;
  Adapter().createDeviceResult = D3DERR_NOTAVAILABLE;
  PreInit();
  e = Thrown([&] { engine->GFX_Init(2, 0); });
  EXPECT_EQ(e.type, EHS_TYPE_GENERAL);
  EXPECT_EQ(e.code, D3DERR_NOTAVAILABLE);
  EXPECT_EQ(e.description, "Cannot create D3DDevice!");
  for (std::uint32_t tmp_uMode : {0u, 4u}) {
    EXPECT_EQ(Thrown([&] { engine->GFX_Init(tmp_uMode, 0); }).description,
              "Wrong display mode index: must be 1, 2 or 3");
  }
  // The engine's shut-down still gives back what the failed start made.
  engine.reset();
  EXPECT_TRUE(m2dtest::ContainsLines(m2dtest::ReadLines("gamelog.txt"),
                                     {"   =: Destroying Textures Manager...", "   +: Failed."}));
  EXPECT_FALSE(m2dtest::ContainsLine(m2dtest::ReadLines("gamelog.txt"), " !!!: pD3D references left!"));
}

TEST_F(DeviceTest, ALostDeviceSkipsFramesAndIsResetWhenItCanBe) {
  StartGraphics();
  const std::string tmp_strImage = SolidTGA(2, 2, 0xFFFFFFFFu);
  engine->GFX_TexLoadFromMemory(tmp_strImage.data(), int(tmp_strImage.size()), 1, "TEX_A", 1, 0, 0);
  const std::string tmp_strPack = TechPack({"<t id=\"TEQ_A\" alphablending=\"ON\"/>"});
  engine->GFX_TechLoadPack(tmp_strPack.data(), int(tmp_strPack.size()));
  engine->GFX_TexSet(0, 0);
  engine->GFX_TechApply(0);
  EXPECT_TRUE(engine->GFX_CheckDevice());

  Device()->SimulateLoss(true);
  EXPECT_EQ(engine->UpdateAllSystems(), 0);
  EXPECT_FALSE(engine->GFX_CheckDevice());
  EXPECT_EQ(m2dtest::ReadLines("gamelog.txt").back(), "   +: Device is lost and currently cannot be restored.");

  // Restorable, but the first reset fails: the frame is skipped again.
  Device()->SimulateLoss(false);
  Device()->InjectFailure(detail::EFailPoint::Reset, D3DERR_DEVICELOST);
  EXPECT_FALSE(engine->GFX_CheckDevice());
  EXPECT_TRUE(m2dtest::ContainsLines(m2dtest::ReadLines("gamelog.txt"),
                                     {"   =: D3DDevice is lost. Trying to reset...", " !: Failed."}));
  EXPECT_EQ(engine->pVertexBuffer, nullptr);
  const CEHSException e = Thrown([&] { engine->GFX_SceneBegin(); });
  EXPECT_EQ(e.description, "Cannot lock vertex buffer!") << "no drawing without the vertex buffer";
  engine->GFX_SceneEnd();

  Device()->InjectFailure(detail::EFailPoint::Reset, D3D_OK);
  Device()->ClearRecording();
  EXPECT_EQ(engine->UpdateAllSystems(), 1);
  EXPECT_EQ(LogFrom("   =: D3DDevice is lost. Trying to reset...").back(), "   +: Done.");
  EXPECT_EQ(CountEvents(ECall::Reset), 1u);
  EXPECT_NE(engine->pVertexBuffer, nullptr);
  EXPECT_EQ(engine->currentTexture[0], -1);
  EXPECT_EQ(engine->currentTechnique, -1);

  // The caches were reset with the device, so the next calls set it again.
  CaptureDraws();
  Device()->ClearRecording();
  engine->GFX_TexSet(0, 0);
  engine->GFX_TechApply(0);
  EXPECT_EQ(CountEvents(ECall::SetTexture), 1u);
  EXPECT_EQ(Device()->RenderState(D3DRS_ALPHABLENDENABLE), 1u);
  engine->GFX_SceneBegin();
  engine->GFX_SceneRender();
  engine->GFX_SceneEnd();
  EXPECT_EQ(Draws().size(), 1u);
}

TEST_F(DeviceTest, ShutDownReleasesEverythingInOrder) {
  StartGraphics();
  const std::string tmp_strImage = SolidTGA(2, 2, 0xFFFFFFFFu);
  engine->GFX_TexLoadFromMemory(tmp_strImage.data(), int(tmp_strImage.size()), 1, "TEX_A", 1, 0, 0);
  engine->GFX_TexSet(0, 5);  // still set on a stage at the end
  engine->GFX_SceneBegin();  // and a batch left open
  engine->GFX_Shutdown();
  const std::vector<std::string> tmp_vWant = {
      kSep,
      "--==: Deinitializing Graphics Subsystem...",
      "   =: Destroying Textures Manager...",
      "   +: Done.",
      "   =: Destroying Lights Manager...",
      "   +: Done.",
      "   =: Destroying Techniques Manager...",
      "   +: Done.",
      "   =: Destroying Fonts Manager...",
      "   +: Done.",
      "--==: Done.",
      kSep,
      "",
  };
  const std::vector<std::string> tmp_vLog = m2dtest::ReadLines("gamelog.txt");
  ASSERT_GE(tmp_vLog.size(), tmp_vWant.size());
  EXPECT_EQ(std::vector<std::string>(tmp_vLog.end() - long(tmp_vWant.size()), tmp_vLog.end()), tmp_vWant);
  EXPECT_EQ(engine->pD3DDevice, nullptr);
  EXPECT_EQ(engine->pD3D, nullptr);
  EXPECT_EQ(engine->bGfxInitialized, 0);
  EXPECT_EQ(engine->bGfxPreInitialized, 0);
  EXPECT_FALSE(os::IsWindowVisible(engine->hWnd)) << "the window was hidden";
  EXPECT_EQ(null::LastCreatedDevice(), nullptr) << "the device is gone";
}

TEST_F(DeviceTest, ReferencesLeftAtShutDownAreLoggedAndShutDownGoesOn) {
  StartGraphics();
  IDirect3DDevice8* tmp_pKept = engine->pD3DDevice;
  tmp_pKept->AddRef();
  engine.reset();
  const std::vector<std::string> tmp_vLog = m2dtest::ReadLines("gamelog.txt");
  EXPECT_TRUE(m2dtest::ContainsLines(tmp_vLog, {"   +: Done.", " !!!: pD3Device references left!"}));
  EXPECT_TRUE(m2dtest::ContainsLines(tmp_vLog, {" !!!: pD3D references left!", "--==: Done."}));
  EXPECT_EQ(tmp_vLog.end()[-4], "--==: End of log.");
  EXPECT_EQ(tmp_pKept->Release(), 0u);
}

}  // namespace
