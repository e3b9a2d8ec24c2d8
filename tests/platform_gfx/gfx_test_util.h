// What the device tests share: the engine's vertex layout, quads built the
// way the engine's batch builds them, the shared buffers it creates, and a
// window from the os stand-in.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <vector>

#include "Platform/gfx/d3d8.h"
#include "Platform/os/os.h"

namespace gfxtest {

using namespace gfx;

struct SVertex {
  float x, y, z, rhw;
  std::uint32_t diffuse;
  std::uint32_t specular;
  float u0, v0, u1, v1;
};
static_assert(sizeof(SVertex) == 40);

// A quad at (x, y) of w x h pixels, shifted by -0.5 as the engine's batch
// does, texture coordinates (u0, v0)-(u1, v1) in both sets.
inline void AddQuad(std::vector<SVertex>* fp_pOut, float x, float y, float w, float h, std::uint32_t fp_uDiffuse,
                    std::uint32_t fp_uSpecular = 0xFFFFFFFFu, float u0 = 0.0f, float v0 = 0.0f, float u1 = 1.0f,
                    float v1 = 1.0f) {
  const float l = x - 0.5f, t = y - 0.5f, r = x + w - 0.5f, b = y + h - 0.5f;
  fp_pOut->push_back({l, t, 0.5f, 0.5f, fp_uDiffuse, fp_uSpecular, u0, v0, u0, v0});
  fp_pOut->push_back({r, t, 0.5f, 0.5f, fp_uDiffuse, fp_uSpecular, u1, v0, u1, v0});
  fp_pOut->push_back({r, b, 0.5f, 0.5f, fp_uDiffuse, fp_uSpecular, u1, v1, u1, v1});
  fp_pOut->push_back({l, b, 0.5f, 0.5f, fp_uDiffuse, fp_uSpecular, u0, v1, u0, v1});
}

// The engine's shared buffers: 2000 dynamic vertices in the default pool and
// the managed index buffer for 500 quads, selected on the device.
struct SSharedBuffers {
  IDirect3DVertexBuffer8* vb = nullptr;
  IDirect3DIndexBuffer8* ib = nullptr;

  void Create(IDirect3DDevice8* fp_pDevice) {
    ASSERT_EQ(fp_pDevice->SetVertexShader(kFVFPreTransformed2Tex), D3D_OK);
    ASSERT_EQ(fp_pDevice->CreateIndexBuffer(6000, D3DUSAGE_WRITEONLY, D3DFMT_INDEX16, D3DPOOL_MANAGED, &ib), D3D_OK);
    BYTE* tmp_p = nullptr;
    ASSERT_EQ(ib->Lock(0, 0, &tmp_p, 0), D3D_OK);
    std::uint16_t* tmp_pIdx = reinterpret_cast<std::uint16_t*>(tmp_p);
    for (int k = 0; k < 500; ++k) {
      const std::uint16_t b = static_cast<std::uint16_t>(4 * k);
      const std::uint16_t tmp_aQuad[6] = {b, std::uint16_t(b + 1), std::uint16_t(b + 2),
                                          b, std::uint16_t(b + 2), std::uint16_t(b + 3)};
      std::memcpy(tmp_pIdx + 6 * k, tmp_aQuad, sizeof(tmp_aQuad));
    }
    ASSERT_EQ(ib->Unlock(), D3D_OK);
    ASSERT_EQ(fp_pDevice->CreateVertexBuffer(80000, D3DUSAGE_DYNAMIC | D3DUSAGE_WRITEONLY, kFVFPreTransformed2Tex,
                                             D3DPOOL_DEFAULT, &vb),
              D3D_OK);
    ASSERT_EQ(fp_pDevice->SetIndices(ib, 0), D3D_OK);
    ASSERT_EQ(fp_pDevice->SetStreamSource(0, vb, 40), D3D_OK);
  }

  // Locks with discard, copies the quads, unlocks, draws them in one call.
  HRESULT Draw(IDirect3DDevice8* fp_pDevice, const std::vector<SVertex>& fp_rQuads) {
    BYTE* tmp_p = nullptr;
    HRESULT tmp_hr = vb->Lock(0, 0, &tmp_p, D3DLOCK_DISCARD);
    if (FAILED(tmp_hr)) return tmp_hr;
    std::memcpy(tmp_p, fp_rQuads.data(), fp_rQuads.size() * sizeof(SVertex));
    tmp_hr = vb->Unlock();
    if (FAILED(tmp_hr)) return tmp_hr;
    const UINT n = static_cast<UINT>(fp_rQuads.size() / 4);
    return fp_pDevice->DrawIndexedPrimitive(D3DPT_TRIANGLELIST, 0, 4 * n, 0, 2 * n);
  }

  void Release(IDirect3DDevice8* fp_pDevice) {
    if (fp_pDevice != nullptr) {
      fp_pDevice->SetStreamSource(0, nullptr, 0);
      fp_pDevice->SetIndices(nullptr, 0);
    }
    if (vb != nullptr) vb->Release();
    if (ib != nullptr) ib->Release();
    vb = nullptr;
    ib = nullptr;
  }
};

inline os::HWND MakeWindow(std::uint32_t fp_uStyle, int fp_iWidth, int fp_iHeight) {
  os::WNDCLASSEX tmp_Class{};
  tmp_Class.lpfnWndProc = &os::DefWindowProc;
  tmp_Class.hInstance = os::GetModuleHandle();
  tmp_Class.lpszClassName = "gfx_test_window";
  os::RegisterClassEx(tmp_Class);  // already registered by an earlier test of the process: fine
  os::HWND tmp_hWnd = os::CreateWindowEx(0, "gfx_test_window", "gfx test", fp_uStyle, 0, 0, fp_iWidth, fp_iHeight,
                                         nullptr, nullptr, os::GetModuleHandle(), nullptr);
  if (tmp_hWnd != nullptr) os::ShowWindow(tmp_hWnd, os::SW_SHOW);
  return tmp_hWnd;
}

inline D3DPRESENT_PARAMETERS Params(os::HWND fp_hWnd, bool fp_bWindowed, D3DFORMAT fp_Format, UINT fp_uWidth = 800,
                                    UINT fp_uHeight = 600) {
  D3DPRESENT_PARAMETERS p{};
  p.BackBufferWidth = fp_uWidth;
  p.BackBufferHeight = fp_uHeight;
  p.BackBufferFormat = fp_Format;
  p.BackBufferCount = 1;
  p.MultiSampleType = D3DMULTISAMPLE_NONE;
  p.SwapEffect = fp_bWindowed ? D3DSWAPEFFECT_COPY : D3DSWAPEFFECT_FLIP;
  p.hDeviceWindow = fp_hWnd;
  p.Windowed = fp_bWindowed ? 1 : 0;
  return p;
}

// The front buffer through an image surface, as the engine's screenshot
// reads it: 0xAARRGGBB, top row first.
inline std::vector<std::uint32_t> ReadFront(IDirect3DDevice8* fp_pDevice, UINT fp_uWidth = 800, UINT fp_uHeight = 600) {
  std::vector<std::uint32_t> tmp_Pixels;
  IDirect3DSurface8* tmp_pSurface = nullptr;
  EXPECT_EQ(fp_pDevice->CreateImageSurface(fp_uWidth, fp_uHeight, D3DFMT_A8R8G8B8, &tmp_pSurface), D3D_OK);
  if (tmp_pSurface == nullptr) return tmp_Pixels;
  EXPECT_EQ(fp_pDevice->GetFrontBuffer(tmp_pSurface), D3D_OK);
  D3DLOCKED_RECT tmp_Locked{};
  EXPECT_EQ(tmp_pSurface->LockRect(&tmp_Locked, nullptr, D3DLOCK_READONLY), D3D_OK);
  tmp_Pixels.resize(size_t(fp_uWidth) * fp_uHeight);
  for (UINT y = 0; y < fp_uHeight; ++y) {
    std::memcpy(&tmp_Pixels[size_t(y) * fp_uWidth], static_cast<BYTE*>(tmp_Locked.pBits) + size_t(y) * tmp_Locked.Pitch,
                size_t(fp_uWidth) * 4);
  }
  tmp_pSurface->UnlockRect();
  tmp_pSurface->Release();
  return tmp_Pixels;
}

}  // namespace gfxtest
