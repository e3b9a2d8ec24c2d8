// The recording device: what it records and dumps, its colour and front
// buffers, reference counts and the stage references, the reset rules of the
// pools, device loss on minimising a full-screen window, the validation of
// calls, and the scripted adapter.

#include <gtest/gtest.h>

#include <functional>

#include "Platform/gfx/d3d8.h"
#include "Platform/gfx/null/null_device.h"
#include "Platform/os/os_backend.h"
#include "gfx_test_util.h"
#include "test_support.h"

namespace {

using namespace gfx;
using namespace gfxtest;
using null::ECall;
using null::EFailPoint;
using null::SDrawCall;

class NullDeviceTest : public m2dtest::TempDirTest {
 protected:
  void SetUp() override {
    TempDirTest::SetUp();
    os::SelectBackendForTests(os::Backend::Headless);
    window_ = MakeWindow(os::WS_POPUP, 800, 600);
    ASSERT_NE(window_, nullptr);
  }

  void TearDown() override {
    buffers_.Release(device_);
    if (device_ != nullptr) {
      EXPECT_EQ(device_->Release(), 0u);
    }
    if (d3d_ != nullptr) {
      EXPECT_EQ(d3d_->Release(), 0u);
    }
    os::DestroyWindow(window_);
    TempDirTest::TearDown();
  }

  null::CNullDevice* Create(const null::SAdapter& fp_rAdapter = null::DefaultAdapter(), bool fp_bWindowed = false) {
    d3d_ = null::CreateDirect3D(fp_rAdapter);
    D3DPRESENT_PARAMETERS p = Params(window_, fp_bWindowed, D3DFMT_X8R8G8B8);
    EXPECT_EQ(d3d_->CreateDevice(0, D3DDEVTYPE_HAL, window_, D3DCREATE_SOFTWARE_VERTEXPROCESSING, &p, &device_),
              D3D_OK);
    return null::AsNullDevice(device_);
  }

  os::HWND window_ = nullptr;
  IDirect3D8* d3d_ = nullptr;
  IDirect3DDevice8* device_ = nullptr;
  SSharedBuffers buffers_;
};

TEST_F(NullDeviceTest, RecordsAFrameAndDumpsItAsText) {
  null::CNullDevice* tmp_pNull = Create();
  ASSERT_NE(tmp_pNull, nullptr);
  buffers_.Create(device_);
  tmp_pNull->ClearRecording();

  IDirect3DTexture8* tmp_pTexture = nullptr;
  ASSERT_EQ(device_->CreateTexture(64, 32, 0, 0, D3DFMT_A4R4G4B4, D3DPOOL_MANAGED, &tmp_pTexture), D3D_OK);
  device_->SetRenderState(D3DRS_ALPHABLENDENABLE, 1);
  device_->SetRenderState(D3DRS_SRCBLEND, D3DBLEND_SRCALPHA);
  device_->SetRenderState(D3DRS_FOGEND, 0x3F000000u);  // 0.5f
  device_->SetTextureStageState(0, D3DTSS_COLORARG1, D3DTA_TEXTURE | D3DTA_COMPLEMENT);
  device_->SetTextureStageState(1, D3DTSS_COLOROP, D3DTOP_DOTPRODUCT3);
  device_->SetTexture(0, tmp_pTexture);
  D3DVIEWPORT8 tmp_Viewport{10, 20, 100, 50, 0.0f, 1.0f};
  device_->SetViewport(&tmp_Viewport);
  device_->BeginScene();
  device_->Clear(0, nullptr, D3DCLEAR_TARGET, 0xFF102030u, 0.0f, 0);
  std::vector<SVertex> tmp_Quads;
  AddQuad(&tmp_Quads, 0, 0, 10, 10, 0xFFFFFFFFu);
  AddQuad(&tmp_Quads, 10, 0, 10, 10, 0xFFFFFFFFu);
  ASSERT_EQ(buffers_.Draw(device_, tmp_Quads), D3D_OK);
  device_->EndScene();
  device_->Present(nullptr, nullptr, nullptr, nullptr);
  device_->DrawPrimitive(D3DPT_TRIANGLELIST, 0, 1);  // outside the scene: refused
  device_->SetTexture(0, nullptr);
  tmp_pTexture->Release();

  const std::string tmp_Expected =
      "CreateTexture 64x32 levels=7 D3DFMT_A4R4G4B4 D3DPOOL_MANAGED usage=0x00000000 -> #3\n"
      "SetRenderState D3DRS_ALPHABLENDENABLE 1\n"
      "SetRenderState D3DRS_SRCBLEND D3DBLEND_SRCALPHA\n"
      "SetRenderState D3DRS_FOGEND 0.5\n"
      "SetTextureStageState 0 D3DTSS_COLORARG1 D3DTA_TEXTURE|D3DTA_COMPLEMENT\n"
      "SetTextureStageState 1 D3DTSS_COLOROP D3DTOP_DOTPRODUCT3\n"
      "SetTexture 0 #3\n"
      "SetViewport 10 20 100 50 0 1\n"
      "BeginScene\n"
      "Clear rects=0 flags=1 0xFF102030\n"
      "LockVertexBuffer #2 offset=0 size=0 flags=0x00002000\n"
      "UnlockVertexBuffer #2\n"
      "DrawIndexedPrimitive D3DPT_TRIANGLELIST min=0 vertices=8 start=0 primitives=4\n"
      "EndScene\n"
      "Present\n"
      "DrawPrimitive D3DPT_TRIANGLELIST start=0 primitives=1 -> D3DERR_INVALIDCALL\n"
      "SetTexture 0 none\n"
      "DestroyResource #3\n";
  EXPECT_EQ(tmp_pNull->Dump(), tmp_Expected);
  EXPECT_EQ(tmp_pNull->Counters().drawCalls, 1u);
  EXPECT_EQ(tmp_pNull->Counters().primitives, 4u);
  EXPECT_EQ(tmp_pNull->Counters().presents, 1u);
  ASSERT_EQ(tmp_pNull->EventsOf(ECall::DrawIndexedPrimitive).size(), 1u);
}

TEST_F(NullDeviceTest, RecordingIsBoundedAndCountersKeepCounting) {
  null::CNullDevice* tmp_pNull = Create();
  tmp_pNull->ClearRecording();
  tmp_pNull->SetRecordCapacity(3);
  for (int i = 0; i < 5; ++i) {
    device_->BeginScene();
    device_->EndScene();
  }
  EXPECT_EQ(tmp_pNull->Events().size(), 3u);
  EXPECT_EQ(tmp_pNull->DroppedEvents(), 7u);
  EXPECT_EQ(tmp_pNull->Counters().scenes, 5u);
}

TEST_F(NullDeviceTest, ClearFillsTheViewportAndPresentMakesItTheFrontBuffer) {
  null::CNullDevice* tmp_pNull = Create();
  D3DVIEWPORT8 tmp_Viewport{790, 0, 100, 5, 0.0f, 1.0f};  // reaches past the right edge: cut to 10 wide
  device_->SetViewport(&tmp_Viewport);
  D3DVIEWPORT8 tmp_Got{};
  device_->GetViewport(&tmp_Got);
  EXPECT_EQ(tmp_Got.Width, 10u);
  ASSERT_EQ(device_->Clear(0, nullptr, D3DCLEAR_TARGET, 0x00112233u, 0.0f, 0), D3D_OK);
  const std::vector<std::uint32_t>& tmp_rBack = tmp_pNull->ColorBuffer();
  EXPECT_EQ(tmp_rBack[4 * 800 + 795], 0xFF112233u);  // no alpha in an X8R8G8B8 buffer
  EXPECT_EQ(tmp_rBack[4 * 800 + 789], 0xFF000000u);
  EXPECT_EQ(tmp_rBack[5 * 800 + 795], 0xFF000000u);
  // A rectangle is cut to the viewport too.
  const D3DRECT tmp_Rect{0, 0, 795, 2};
  device_->Clear(1, &tmp_Rect, D3DCLEAR_TARGET, 0xFF0000FFu, 0.0f, 0);
  EXPECT_EQ(tmp_rBack[1 * 800 + 794], 0xFF0000FFu);
  EXPECT_EQ(tmp_rBack[1 * 800 + 795], 0xFF112233u);

  std::vector<std::uint32_t> tmp_Front = ReadFront(device_);
  EXPECT_EQ(tmp_Front[4 * 800 + 795], 0xFF000000u) << "nothing presented yet";
  ASSERT_EQ(device_->Present(nullptr, nullptr, nullptr, nullptr), D3D_OK);
  tmp_Front = ReadFront(device_);
  EXPECT_EQ(tmp_Front[4 * 800 + 795], 0xFF112233u);
  EXPECT_EQ(tmp_Front[1 * 800 + 794], 0xFF0000FFu);

  IDirect3DSurface8* tmp_pSmall = nullptr;
  ASSERT_EQ(device_->CreateImageSurface(640, 480, D3DFMT_A8R8G8B8, &tmp_pSmall), D3D_OK);
  EXPECT_EQ(device_->GetFrontBuffer(tmp_pSmall), D3DERR_INVALIDCALL);
  tmp_pSmall->Release();
}

TEST_F(NullDeviceTest, ReleaseReturnsWhatIsLeftAndStagesHoldTheirTextures) {
  Create();
  EXPECT_EQ(d3d_->AddRef(), 3u);  // ours, the device's, this one
  EXPECT_EQ(d3d_->Release(), 2u);

  IDirect3DTexture8* tmp_pTexture = nullptr;
  ASSERT_EQ(device_->CreateTexture(8, 8, 1, 0, D3DFMT_A8R8G8B8, D3DPOOL_MANAGED, &tmp_pTexture), D3D_OK);
  ASSERT_EQ(device_->SetTexture(3, tmp_pTexture), D3D_OK);
  EXPECT_EQ(tmp_pTexture->Release(), 1u) << "the stage keeps its reference";
  IDirect3DBaseTexture8* tmp_pGot = nullptr;
  ASSERT_EQ(device_->GetTexture(3, &tmp_pGot), D3D_OK);
  EXPECT_EQ(tmp_pGot, tmp_pTexture);
  EXPECT_EQ(tmp_pGot->Release(), 1u);
  null::CNullDevice* tmp_pNull = null::AsNullDevice(device_);
  tmp_pNull->ClearRecording();
  ASSERT_EQ(device_->SetTexture(3, nullptr), D3D_OK);
  EXPECT_EQ(tmp_pNull->EventsOf(ECall::DestroyResource).size(), 1u) << "unbinding gave up the last reference";

  // Resources hold the device: a device released while one lives reports it.
  IDirect3DTexture8* tmp_pKept = nullptr;
  ASSERT_EQ(device_->CreateTexture(8, 8, 1, 0, D3DFMT_A8R8G8B8, D3DPOOL_MANAGED, &tmp_pKept), D3D_OK);
  EXPECT_EQ(device_->Release(), 1u);
  device_ = nullptr;
  EXPECT_EQ(tmp_pKept->Release(), 0u);  // the device goes with it, and gives up the Direct3D object
  EXPECT_EQ(d3d_->AddRef(), 2u);
  d3d_->Release();
}

TEST_F(NullDeviceTest, StreamAndIndicesHoldTheirBuffers) {
  Create();
  IDirect3DVertexBuffer8* tmp_pVB = nullptr;
  ASSERT_EQ(device_->CreateVertexBuffer(400, 0, kFVFPreTransformed2Tex, D3DPOOL_DEFAULT, &tmp_pVB), D3D_OK);
  ASSERT_EQ(device_->SetStreamSource(0, tmp_pVB, 40), D3D_OK);
  EXPECT_EQ(tmp_pVB->Release(), 1u);
  IDirect3DVertexBuffer8* tmp_pGot = nullptr;
  UINT tmp_uStride = 0;
  ASSERT_EQ(device_->GetStreamSource(0, &tmp_pGot, &tmp_uStride), D3D_OK);
  EXPECT_EQ(tmp_pGot, tmp_pVB);
  EXPECT_EQ(tmp_uStride, 40u);
  EXPECT_EQ(tmp_pGot->Release(), 1u);
  ASSERT_EQ(device_->SetStreamSource(0, nullptr, 0), D3D_OK);
  EXPECT_EQ(null::AsNullDevice(device_)->LiveResources(), 0);
}

// A device and the resources only it keeps bound hold each other; once
// nothing outside holds any of them, they go together, in either order of
// release.
TEST_F(NullDeviceTest, DeviceAndItsBoundTexturesDoNotKeepEachOtherAlive) {
  for (int tmp_iOrder = 0; tmp_iOrder < 2; ++tmp_iOrder) {
    SCOPED_TRACE(tmp_iOrder);
    Create();
    IDirect3DTexture8* tmp_pTexture = nullptr;
    ASSERT_EQ(device_->CreateTexture(8, 8, 1, 0, D3DFMT_A8R8G8B8, D3DPOOL_MANAGED, &tmp_pTexture), D3D_OK);
    device_->SetTexture(0, tmp_pTexture);
    device_->SetTexture(1, tmp_pTexture);
    if (tmp_iOrder == 0) {
      EXPECT_EQ(tmp_pTexture->Release(), 2u);
      EXPECT_EQ(device_->Release(), 1u) << "the texture's reference is left, and reported";
    } else {
      EXPECT_EQ(device_->Release(), 1u);
      EXPECT_EQ(tmp_pTexture->Release(), 2u);
    }
    device_ = nullptr;
    EXPECT_EQ(d3d_->Release(), 0u) << "the device was destroyed and gave up the Direct3D object";
    d3d_ = nullptr;
  }
}

TEST_F(NullDeviceTest, ResetNeedsTheDefaultPoolReleasedAndKeepsTheManagedOne) {
  null::CNullDevice* tmp_pNull = Create();
  buffers_.Create(device_);
  IDirect3DTexture8* tmp_pTexture = nullptr;
  ASSERT_EQ(device_->CreateTexture(4, 4, 1, 0, D3DFMT_A8R8G8B8, D3DPOOL_MANAGED, &tmp_pTexture), D3D_OK);
  device_->SetTexture(0, tmp_pTexture);
  device_->SetRenderState(D3DRS_ALPHABLENDENABLE, 1);
  D3DVIEWPORT8 tmp_Viewport{1, 2, 3, 4, 0.0f, 1.0f};
  device_->SetViewport(&tmp_Viewport);
  D3DGAMMARAMP tmp_Ramp{};
  device_->SetGammaRamp(D3DSGR_NO_CALIBRATION, &tmp_Ramp);

  D3DPRESENT_PARAMETERS p = Params(window_, false, D3DFMT_X8R8G8B8);
  EXPECT_EQ(device_->Reset(&p), D3DERR_INVALIDCALL) << "the default-pool vertex buffer is still alive";
  EXPECT_EQ(device_->TestCooperativeLevel(), D3DERR_DEVICENOTRESET);
  EXPECT_EQ(device_->Present(nullptr, nullptr, nullptr, nullptr), D3DERR_DEVICELOST);

  // As the engine does: release the vertex buffer, clear stream 0, reset.
  buffers_.vb->Release();
  buffers_.vb = nullptr;
  device_->SetStreamSource(0, nullptr, 0);
  ASSERT_EQ(device_->Reset(&p), D3D_OK);
  EXPECT_EQ(device_->TestCooperativeLevel(), D3D_OK);

  DWORD tmp_dwValue = 1;
  device_->GetRenderState(D3DRS_ALPHABLENDENABLE, &tmp_dwValue);
  EXPECT_EQ(tmp_dwValue, 0u);
  device_->GetTextureStageState(0, D3DTSS_COLOROP, &tmp_dwValue);
  EXPECT_EQ(tmp_dwValue, DWORD(D3DTOP_MODULATE));
  device_->GetViewport(&tmp_Viewport);
  EXPECT_EQ(tmp_Viewport.Width, 800u);
  EXPECT_TRUE(tmp_pNull->IsGammaIdentity());
  IDirect3DBaseTexture8* tmp_pBound = nullptr;
  device_->GetTexture(0, &tmp_pBound);
  EXPECT_EQ(tmp_pBound, nullptr) << "a reset unbinds the stages";
  IDirect3DIndexBuffer8* tmp_pIndices = nullptr;
  UINT tmp_uBase = 0;
  device_->GetIndices(&tmp_pIndices, &tmp_uBase);
  EXPECT_EQ(tmp_pIndices, nullptr);

  // The managed pool survived, and works.
  EXPECT_EQ(tmp_pTexture->Release(), 0u);
  EXPECT_EQ(device_->SetIndices(buffers_.ib, 0), D3D_OK);
  ASSERT_EQ(device_->CreateVertexBuffer(80000, D3DUSAGE_DYNAMIC | D3DUSAGE_WRITEONLY, kFVFPreTransformed2Tex,
                                        D3DPOOL_DEFAULT, &buffers_.vb),
            D3D_OK);
  device_->SetStreamSource(0, buffers_.vb, 40);
  device_->SetVertexShader(kFVFPreTransformed2Tex);
  device_->BeginScene();
  std::vector<SVertex> tmp_Quads;
  AddQuad(&tmp_Quads, 0, 0, 4, 4, 0xFFFFFFFFu);
  EXPECT_EQ(buffers_.Draw(device_, tmp_Quads), D3D_OK);
  device_->EndScene();
}

TEST_F(NullDeviceTest, MinimisingTheFullScreenWindowLosesTheDeviceUntilReset) {
  Create();
  buffers_.Create(device_);
  ASSERT_EQ(device_->TestCooperativeLevel(), D3D_OK);
  os::ShowWindow(window_, os::SW_MINIMIZE);
  EXPECT_EQ(device_->TestCooperativeLevel(), D3DERR_DEVICELOST);
  D3DPRESENT_PARAMETERS p = Params(window_, false, D3DFMT_X8R8G8B8);
  buffers_.vb->Release();
  buffers_.vb = nullptr;
  device_->SetStreamSource(0, nullptr, 0);
  EXPECT_EQ(device_->Reset(&p), D3DERR_DEVICELOST) << "cannot be restored while minimised";
  EXPECT_EQ(device_->Present(nullptr, nullptr, nullptr, nullptr), D3DERR_DEVICELOST);
  EXPECT_EQ(device_->Clear(0, nullptr, D3DCLEAR_TARGET, 0, 0.0f, 0), D3D_OK) << "drawing goes on, to no effect";

  os::ShowWindow(window_, os::SW_RESTORE);
  EXPECT_EQ(device_->TestCooperativeLevel(), D3DERR_DEVICENOTRESET);
  EXPECT_EQ(device_->Reset(&p), D3D_OK);
  EXPECT_EQ(device_->TestCooperativeLevel(), D3D_OK);
  EXPECT_EQ(device_->Present(nullptr, nullptr, nullptr, nullptr), D3D_OK);
}

TEST_F(NullDeviceTest, AWindowedDeviceIsNotLostByMinimising) {
  os::DestroyWindow(window_);
  window_ = MakeWindow(os::WS_OVERLAPPED, 640, 480);
  Create(null::DefaultAdapter(), true);
  D3DDISPLAYMODE tmp_Mode{};
  device_->GetDisplayMode(&tmp_Mode);
  EXPECT_EQ(tmp_Mode.Width, 1024u) << "a windowed device shows on the desktop";
  os::ShowWindow(window_, os::SW_MINIMIZE);
  EXPECT_EQ(device_->TestCooperativeLevel(), D3D_OK);
  // And a simulated loss works for either kind.
  null::AsNullDevice(device_)->SimulateLoss(true);
  EXPECT_EQ(device_->TestCooperativeLevel(), D3DERR_DEVICELOST);
  null::AsNullDevice(device_)->SimulateLoss(false);
  EXPECT_EQ(device_->TestCooperativeLevel(), D3DERR_DEVICENOTRESET);
}

TEST_F(NullDeviceTest, RefusesCallsOutsideItsRules) {
  null::CNullDevice* tmp_pNull = Create();
  buffers_.Create(device_);
  IDirect3DTexture8* tmp_pTexture = nullptr;
  IDirect3DVertexBuffer8* tmp_pVB = nullptr;
  IDirect3DIndexBuffer8* tmp_pIB = nullptr;
  ASSERT_EQ(device_->CreateIndexBuffer(12, 0, D3DFMT_INDEX16, D3DPOOL_MANAGED, &tmp_pIB), D3D_OK);
  BYTE* tmp_p = nullptr;
  tmp_pIB->Lock(0, 0, &tmp_p, 0);
  const std::uint16_t tmp_aFar[6] = {0, 1, 2, 0, 2, 1999 + 1};  // one past the 2000 vertices
  std::memcpy(tmp_p, tmp_aFar, sizeof(tmp_aFar));
  tmp_pIB->Unlock();

  struct SCase {
    const char* what;
    std::function<HRESULT()> call;
  };
  const std::vector<SCase> tmp_Cases = {
      {"draw outside a scene", [&] { return device_->DrawIndexedPrimitive(D3DPT_TRIANGLELIST, 0, 4, 0, 2); }},
      {"draw from a locked buffer",
       [&] {
         device_->BeginScene();
         buffers_.vb->Lock(0, 0, &tmp_p, D3DLOCK_DISCARD);
         const HRESULT hr = device_->DrawIndexedPrimitive(D3DPT_TRIANGLELIST, 0, 4, 0, 2);
         buffers_.vb->Unlock();
         device_->EndScene();
         return hr;
       }},
      {"indices past the index buffer",
       [&] {
         device_->BeginScene();
         const HRESULT hr = device_->DrawIndexedPrimitive(D3DPT_TRIANGLELIST, 0, 4, 2998, 1);
         device_->EndScene();
         return hr;
       }},
      {"an index past the vertex buffer",
       [&] {
         device_->SetIndices(tmp_pIB, 0);
         device_->BeginScene();
         const HRESULT hr = device_->DrawIndexedPrimitive(D3DPT_TRIANGLELIST, 0, 3, 0, 2);
         device_->EndScene();
         device_->SetIndices(buffers_.ib, 0);
         return hr;
       }},
      {"a base vertex past the vertex buffer",
       [&] {
         device_->SetIndices(buffers_.ib, 1997);
         device_->BeginScene();
         const HRESULT hr = device_->DrawIndexedPrimitive(D3DPT_TRIANGLELIST, 0, 4, 0, 2);
         device_->EndScene();
         device_->SetIndices(buffers_.ib, 0);
         return hr;
       }},
      {"no primitives",
       [&] {
         device_->BeginScene();
         const HRESULT hr = device_->DrawIndexedPrimitive(D3DPT_TRIANGLELIST, 0, 4, 0, 0);
         device_->EndScene();
         return hr;
       }},
      {"another vertex format", [&] { return device_->SetVertexShader(0x142); }},
      {"stage 8", [&] { return device_->SetTexture(8, nullptr); }},
      {"stage state of stage 8", [&] { return device_->SetTextureStageState(8, D3DTSS_COLOROP, 1); }},
      {"render state 300", [&] { return device_->SetRenderState(static_cast<D3DRENDERSTATETYPE>(300), 1); }},
      {"clearing a depth buffer", [&] { return device_->Clear(0, nullptr, D3DCLEAR_ZBUFFER, 0, 1.0f, 0); }},
      {"a texture larger than the caps",
       [&] { return device_->CreateTexture(8192, 8, 1, 0, D3DFMT_A8R8G8B8, D3DPOOL_MANAGED, &tmp_pTexture); }},
      {"more levels than the chain",
       [&] { return device_->CreateTexture(8, 8, 5, 0, D3DFMT_A8R8G8B8, D3DPOOL_MANAGED, &tmp_pTexture); }},
      {"a format it cannot hold",
       [&] { return device_->CreateTexture(8, 8, 1, 0, D3DFMT_P8, D3DPOOL_MANAGED, &tmp_pTexture); }},
      {"a lock past the end", [&] { return buffers_.vb->Lock(79990, 20, &tmp_p, 0); }},
      {"an unlock without a lock", [&] { return buffers_.vb->Unlock(); }},
      {"a second BeginScene",
       [&] {
         device_->BeginScene();
         const HRESULT hr = device_->BeginScene();
         device_->EndScene();
         return hr;
       }},
      {"a zero-sized buffer",
       [&] { return device_->CreateVertexBuffer(0, 0, kFVFPreTransformed2Tex, D3DPOOL_DEFAULT, &tmp_pVB); }},
  };
  for (const SCase& tmp_rCase : tmp_Cases) {
    EXPECT_EQ(tmp_rCase.call(), D3DERR_INVALIDCALL) << tmp_rCase.what;
  }
  EXPECT_EQ(tmp_pTexture, nullptr);
  EXPECT_EQ(tmp_pNull->Counters().drawCalls, 0u);
  tmp_pIB->Release();
}

TEST_F(NullDeviceTest, DrawHookSeesTheVerticesTheCallReaches) {
  null::CNullDevice* tmp_pNull = Create();
  buffers_.Create(device_);
  std::vector<std::pair<UINT, UINT>> tmp_Ranges;
  float tmp_fFirstX = 0.0f;
  tmp_pNull->SetDrawHook([&](const null::CNullDevice&, const SDrawCall& fp_rCall) {
    tmp_Ranges.emplace_back(fp_rCall.firstVertex, fp_rCall.lastVertex);
    const SVertex* tmp_pV = reinterpret_cast<const SVertex*>(fp_rCall.stream->Data());
    tmp_fFirstX = tmp_pV[fp_rCall.firstVertex].x;
  });
  std::vector<SVertex> tmp_Quads;
  for (int i = 0; i < 3; ++i) AddQuad(&tmp_Quads, float(10 * i), 0, 10, 10, 0xFFFFFFFFu);
  device_->BeginScene();
  ASSERT_EQ(buffers_.Draw(device_, tmp_Quads), D3D_OK);
  // The second and third quad: indices from position 6, base vertex 0.
  ASSERT_EQ(device_->DrawIndexedPrimitive(D3DPT_TRIANGLELIST, 4, 8, 6, 4), D3D_OK);
  device_->EndScene();
  ASSERT_EQ(tmp_Ranges.size(), 2u);
  EXPECT_EQ(tmp_Ranges[0], std::make_pair(0u, 11u));
  EXPECT_EQ(tmp_Ranges[1], std::make_pair(4u, 11u));
  EXPECT_FLOAT_EQ(tmp_fFirstX, 9.5f);
}

TEST_F(NullDeviceTest, TheAdapterAnswersFromItsScript) {
  null::SAdapter tmp_Adapter = null::DefaultAdapter();
  tmp_Adapter.description = "Scripted card";
  tmp_Adapter.vendorId = 0x10DE;
  tmp_Adapter.deviceId = 0x0250;
  tmp_Adapter.desktop = D3DDISPLAYMODE{800, 600, 75, D3DFMT_X8R8G8B8};
  tmp_Adapter.modes = {{640, 480, 60, D3DFMT_R5G6B5}, {800, 600, 85, D3DFMT_X8R8G8B8}, {800, 600, 60, D3DFMT_X8R8G8B8}};
  tmp_Adapter.textureFormats = {D3DFMT_R5G6B5, D3DFMT_A8R8G8B8};
  tmp_Adapter.caps.MaxTextureWidth = 256;
  tmp_Adapter.caps.Caps2 &= ~D3DCAPS2_CANRENDERWINDOWED;
  IDirect3D8* tmp_pD3D = null::CreateDirect3D(tmp_Adapter);

  D3DADAPTER_IDENTIFIER8 tmp_Id{};
  ASSERT_EQ(tmp_pD3D->GetAdapterIdentifier(0, D3DENUM_NO_WHQL_LEVEL, &tmp_Id), D3D_OK);
  EXPECT_STREQ(tmp_Id.Description, "Scripted card");
  EXPECT_EQ(tmp_Id.VendorId, 0x10DEu);
  EXPECT_EQ(tmp_Id.DeviceId, 0x0250u);
  ASSERT_EQ(tmp_pD3D->GetAdapterModeCount(0), 3u);
  D3DDISPLAYMODE tmp_Mode{};
  ASSERT_EQ(tmp_pD3D->EnumAdapterModes(0, 1, &tmp_Mode), D3D_OK);
  EXPECT_EQ(tmp_Mode.RefreshRate, 85u);
  EXPECT_EQ(tmp_pD3D->EnumAdapterModes(0, 3, &tmp_Mode), D3DERR_INVALIDCALL);
  ASSERT_EQ(tmp_pD3D->GetAdapterDisplayMode(0, &tmp_Mode), D3D_OK);
  EXPECT_EQ(tmp_Mode.RefreshRate, 75u);
  EXPECT_EQ(tmp_pD3D->CheckDeviceFormat(0, D3DDEVTYPE_HAL, D3DFMT_X8R8G8B8, 0, D3DRTYPE_TEXTURE, D3DFMT_R5G6B5),
            D3D_OK);
  EXPECT_EQ(tmp_pD3D->CheckDeviceFormat(0, D3DDEVTYPE_HAL, D3DFMT_X8R8G8B8, 0, D3DRTYPE_TEXTURE, D3DFMT_A4R4G4B4),
            D3DERR_NOTAVAILABLE);
  EXPECT_EQ(tmp_pD3D->CheckDeviceFormat(0, D3DDEVTYPE_HAL, D3DFMT_P8, 0, D3DRTYPE_TEXTURE, D3DFMT_R5G6B5),
            D3DERR_NOTAVAILABLE);
  D3DCAPS8 tmp_Caps{};
  ASSERT_EQ(tmp_pD3D->GetDeviceCaps(0, D3DDEVTYPE_HAL, &tmp_Caps), D3D_OK);
  EXPECT_EQ(tmp_Caps.MaxTextureWidth, 256u);
  EXPECT_EQ(tmp_Caps.Caps2 & D3DCAPS2_CANRENDERWINDOWED, 0u);
  EXPECT_NE(tmp_Caps.TextureOpCaps & D3DTEXOPCAPS_DOTPRODUCT3, 0u);
  tmp_pD3D->Release();

  tmp_Adapter.identifierResult = D3DERR_NOTAVAILABLE;
  tmp_Adapter.createDeviceResult = D3DERR_OUTOFVIDEOMEMORY;
  tmp_pD3D = null::CreateDirect3D(tmp_Adapter);
  EXPECT_EQ(tmp_pD3D->GetAdapterIdentifier(0, D3DENUM_NO_WHQL_LEVEL, &tmp_Id), D3DERR_NOTAVAILABLE);
  D3DPRESENT_PARAMETERS p = Params(window_, false, D3DFMT_X8R8G8B8);
  IDirect3DDevice8* tmp_pDevice = nullptr;
  EXPECT_EQ(tmp_pD3D->CreateDevice(0, D3DDEVTYPE_HAL, window_, 0, &p, &tmp_pDevice), D3DERR_OUTOFVIDEOMEMORY);
  EXPECT_EQ(tmp_pDevice, nullptr);
  tmp_pD3D->Release();

  // A device of the script refuses the formats the script leaves out.
  tmp_Adapter.createDeviceResult = D3D_OK;
  Create(tmp_Adapter);
  IDirect3DTexture8* tmp_pTexture = nullptr;
  EXPECT_EQ(device_->CreateTexture(8, 8, 1, 0, D3DFMT_A4R4G4B4, D3DPOOL_MANAGED, &tmp_pTexture), D3DERR_INVALIDCALL);
  EXPECT_EQ(device_->CreateTexture(512, 8, 1, 0, D3DFMT_R5G6B5, D3DPOOL_MANAGED, &tmp_pTexture), D3DERR_INVALIDCALL);
}

TEST_F(NullDeviceTest, InjectedFailuresAreReturned) {
  null::CNullDevice* tmp_pNull = Create();
  tmp_pNull->InjectFailure(EFailPoint::CreateVertexBuffer, D3DERR_OUTOFVIDEOMEMORY);
  IDirect3DVertexBuffer8* tmp_pVB = nullptr;
  EXPECT_EQ(device_->CreateVertexBuffer(80000, 0, kFVFPreTransformed2Tex, D3DPOOL_DEFAULT, &tmp_pVB),
            D3DERR_OUTOFVIDEOMEMORY);
  EXPECT_EQ(tmp_pVB, nullptr);
  tmp_pNull->InjectFailure(EFailPoint::CreateVertexBuffer, D3D_OK);
  buffers_.Create(device_);
  tmp_pNull->InjectFailure(EFailPoint::LockVertexBuffer, E_FAIL);
  BYTE* tmp_p = reinterpret_cast<BYTE*>(1);
  EXPECT_EQ(buffers_.vb->Lock(0, 0, &tmp_p, D3DLOCK_DISCARD), E_FAIL);
  EXPECT_EQ(tmp_p, nullptr);
  tmp_pNull->InjectFailure(EFailPoint::GetFrontBuffer, E_FAIL);
  IDirect3DSurface8* tmp_pSurface = nullptr;
  ASSERT_EQ(device_->CreateImageSurface(800, 600, D3DFMT_A8R8G8B8, &tmp_pSurface), D3D_OK);
  EXPECT_EQ(device_->GetFrontBuffer(tmp_pSurface), E_FAIL);
  tmp_pSurface->Release();
}

TEST_F(NullDeviceTest, Direct3DCreate8PicksTheRecordingDeviceWhenHeadless) {
  EXPECT_EQ(Direct3DCreate8(121), nullptr);
  null::SAdapter tmp_Adapter = null::DefaultAdapter();
  tmp_Adapter.description = "Process card";
  null::SetProcessAdapter(tmp_Adapter);
  d3d_ = Direct3DCreate8(D3D_SDK_VERSION);
  null::ResetProcessAdapter();
  ASSERT_NE(d3d_, nullptr);
  D3DADAPTER_IDENTIFIER8 tmp_Id{};
  ASSERT_EQ(d3d_->GetAdapterIdentifier(0, D3DENUM_NO_WHQL_LEVEL, &tmp_Id), D3D_OK);
  EXPECT_STREQ(tmp_Id.Description, "Process card");
  D3DPRESENT_PARAMETERS p = Params(window_, false, D3DFMT_X8R8G8B8);
  ASSERT_EQ(d3d_->CreateDevice(0, D3DDEVTYPE_HAL, window_, D3DCREATE_SOFTWARE_VERTEXPROCESSING, &p, &device_), D3D_OK);
  EXPECT_NE(null::AsNullDevice(device_), nullptr);
  EXPECT_EQ(null::LastCreatedDevice(), null::AsNullDevice(device_));
}

}  // namespace
