// The quad template (position, rotation, scale, colours, texture coordinates
// of the one quad callers fill before rendering it) and the batch that
// collects up to 500 quads in the locked vertex buffer and draws them with
// one indexed draw call per flush.
static constexpr int kM2DFileID = 117;

#include <cmath>
#include <cstring>

#include "Platform/gfx/d3d8.h"
#include "cmorvane.h"
#include "cmorvane_gfx_internal.h"

using namespace gfx;

namespace {

// The colour the fog factor is written with; its alpha is replaced by the
// factor's source (the vertex's z) on every position change.
float g_afFogColor[4] = {1.0f, 1.0f, 1.0f, 1.0f};

constexpr UINT kQuadBytes = 4 * sizeof(M2DVERTEX);

void CheckVertexIndex(std::int32_t fp_iIndex) {
  M2D_CHECKPOINT;
  if (fp_iIndex < 0 || fp_iIndex > 3)
    M2D_THROW(EHS_TYPE_GAME, 0, "Wrong vertex index: must be 0 to 3");
}

}  // namespace

// {==== Template =============================================================

// While the technique applied last turns fog on, the vertex's specular colour
// carries the fog factor in its alpha: the fog colour with fp_fSource as its
// alpha, channel by channel in bytes.
static void FogUpdate(M2DVERTEX* fp_pVertex, float fp_fSource) {
  M2D_CHECKPOINT;
  g_afFogColor[3] = fp_fSource;
  fp_pVertex->specular = GFX_PackARGB(
      GFX_ClampedChannelByte(g_afFogColor[3]), GFX_ClampedChannelByte(g_afFogColor[0]),
      GFX_ClampedChannelByte(g_afFogColor[1]), GFX_ClampedChannelByte(g_afFogColor[2]));
}

void CMorvane::GFX_VQuadSetPos(float fp_fX, float fp_fY, float fp_fWidth, float fp_fHeight,
                               float fp_fZ) {
  M2D_CHECKPOINT;
  vquad[0].x = fp_fX;
  vquad[0].y = fp_fY;
  vquad[1].x = fp_fX + fp_fWidth;
  vquad[1].y = fp_fY;
  vquad[2].x = fp_fX + fp_fWidth;
  vquad[2].y = fp_fY + fp_fHeight;
  vquad[3].x = fp_fX;
  vquad[3].y = fp_fY + fp_fHeight;
  for (M2DVERTEX& tmp_rVertex : vquad) {
    tmp_rVertex.z = fp_fZ;
    if (fogEnabled != 0) FogUpdate(&tmp_rVertex, fp_fZ);
  }
}

void CMorvane::GFX_VQuadSetPosByVertex(std::int32_t fp_iIndex, float fp_fX, float fp_fY,
                                       float fp_fZ) {
  M2D_CHECKPOINT;
  CheckVertexIndex(fp_iIndex);
  M2DVERTEX& tmp_rVertex = vquad[fp_iIndex];
  tmp_rVertex.x = fp_fX;
  tmp_rVertex.y = fp_fY;
  tmp_rVertex.z = fp_fZ;
  if (fogEnabled != 0) FogUpdate(&tmp_rVertex, fp_fZ);
}

void CMorvane::GFX_VQuadRotate(float fp_fCX, float fp_fCY, float fp_fAngle) {
  M2D_CHECKPOINT;
  const float tmp_fAngle = fp_fAngle * 0.017453292f;
  const float tmp_fCos = std::cos(tmp_fAngle);
  const float tmp_fSin = std::sin(tmp_fAngle);
  for (M2DVERTEX& tmp_rVertex : vquad) {
    const float tmp_fDX = tmp_rVertex.x - fp_fCX;
    const float tmp_fDY = tmp_rVertex.y - fp_fCY;
    tmp_rVertex.x = fp_fCX + tmp_fDX * tmp_fCos - tmp_fDY * tmp_fSin;
    tmp_rVertex.y = fp_fCY + tmp_fDX * tmp_fSin + tmp_fDY * tmp_fCos;
  }
}

void CMorvane::GFX_VQuadScale(float fp_fCX, float fp_fCY, float fp_fFactor) {
  M2D_CHECKPOINT;
  for (M2DVERTEX& tmp_rVertex : vquad) {
    tmp_rVertex.x = (tmp_rVertex.x - fp_fCX) * fp_fFactor + fp_fCX;
    tmp_rVertex.y = (tmp_rVertex.y - fp_fCY) * fp_fFactor + fp_fCY;
  }
}

void CMorvane::GFX_VQuadMove(float fp_fDX, float fp_fDY, float fp_fDZ) {
  M2D_CHECKPOINT;
  // Each vertex's fog factor follows its own moved depth (they differ only
  // after GFX_VQuadSetPosByVertex gave them different ones).
  for (M2DVERTEX& tmp_rVertex : vquad) {
    tmp_rVertex.x += fp_fDX;
    tmp_rVertex.y += fp_fDY;
    tmp_rVertex.z += fp_fDZ;
    if (fogEnabled != 0) FogUpdate(&tmp_rVertex, tmp_rVertex.z);
  }
}

void CMorvane::GFX_VQuadSetTexCoords(std::int32_t fp_iSet, float fp_fULeft, float fp_fVTop,
                                     float fp_fURight, float fp_fVBottom) {
  M2D_CHECKPOINT;
  const float tmp_afU[4] = {fp_fULeft, fp_fURight, fp_fURight, fp_fULeft};
  const float tmp_afV[4] = {fp_fVTop, fp_fVTop, fp_fVBottom, fp_fVBottom};
  if (fp_iSet == 1) {
    for (int i = 0; i < 4; ++i) {
      vquad[i].tu0 = tmp_afU[i];
      vquad[i].tv0 = tmp_afV[i];
    }
  } else if (fp_iSet == 2) {
    for (int i = 0; i < 4; ++i) {
      vquad[i].tu1 = tmp_afU[i];
      vquad[i].tv1 = tmp_afV[i];
    }
  } else {
    M2D_THROW(EHS_TYPE_GAME, 0, "Wrong texture coordinates set number: must be 1 or 2");
  }
}

void CMorvane::GFX_VQuadSetColor(float fp_fRed, float fp_fGreen, float fp_fBlue, float fp_fAlpha) {
  M2D_CHECKPOINT;
  const std::uint32_t tmp_uColor =
      GFX_PackARGB(GFX_ChannelByte(fp_fAlpha), GFX_ChannelByte(fp_fRed), GFX_ChannelByte(fp_fGreen),
                   GFX_ChannelByte(fp_fBlue));
  for (int i = 0; i < 4; ++i) {
    vquad[i].diffuse = tmp_uColor;
    vquadAlpha[i] = fp_fAlpha;
  }
}

void CMorvane::GFX_VQuadSetColorByVertex(std::int32_t fp_iIndex, float fp_fRed, float fp_fGreen,
                                         float fp_fBlue, float fp_fAlpha) {
  M2D_CHECKPOINT;
  CheckVertexIndex(fp_iIndex);
  vquad[fp_iIndex].diffuse =
      GFX_PackARGB(GFX_ChannelByte(fp_fAlpha), GFX_ChannelByte(fp_fRed), GFX_ChannelByte(fp_fGreen),
                   GFX_ChannelByte(fp_fBlue));
  vquadAlpha[fp_iIndex] = fp_fAlpha;
}

// }====

// {==== Batch ================================================================

void CMorvane::GFX_BatchOpen() {
  M2D_CHECKPOINT;
  // Opening an open batch starts it afresh: what it held is dropped.
  if (batchData != nullptr) {
    pVertexBuffer->Unlock();
    batchData = nullptr;
  }
  batchQuads = 0;
  if (pVertexBuffer == nullptr) M2D_THROW(EHS_TYPE_GENERAL, 0, "Cannot lock vertex buffer!");
  BYTE* tmp_pData = nullptr;
  if (FAILED(pVertexBuffer->Lock(0, 0, &tmp_pData, D3DLOCK_DISCARD)) || tmp_pData == nullptr)
    M2D_THROW(EHS_TYPE_GENERAL, 0, "Cannot lock vertex buffer!");
  batchData = tmp_pData;
  if (FAILED(pD3DDevice->SetStreamSource(0, pVertexBuffer, sizeof(M2DVERTEX)))) {
    pVertexBuffer->Unlock();
    batchData = nullptr;
    M2D_THROW(EHS_TYPE_GENERAL, 0, "Cannot set stream source!");
  }
}

void CMorvane::GFX_BatchAddQuad() {
  M2D_CHECKPOINT;
  if (batchData == nullptr) return;
  // Pixel centres: the template keeps the shift, so a second copy added
  // without a new position lands half a pixel further up and left.
  for (M2DVERTEX& tmp_rVertex : vquad) {
    tmp_rVertex.x -= 0.5f;
    tmp_rVertex.y -= 0.5f;
  }
  std::memcpy(batchData + static_cast<size_t>(batchQuads) * kQuadBytes, vquad, kQuadBytes);
  ++batchQuads;
  if (batchQuads >= kM2DBatchQuads) GFX_BatchFlush();
}

void CMorvane::GFX_BatchFlush() {
  M2D_CHECKPOINT;
  if (batchData == nullptr || batchQuads < 1) return;
  batchData = nullptr;
  if (FAILED(pVertexBuffer->Unlock()))
    M2D_THROW(EHS_TYPE_GENERAL, 0, "Cannot unlock vertex buffer!");
  const UINT tmp_uQuads = static_cast<UINT>(batchQuads);
  pD3DDevice->DrawIndexedPrimitive(D3DPT_TRIANGLELIST, 0, 4 * tmp_uQuads, 0, 2 * tmp_uQuads);
  batchQuads = 0;
  BYTE* tmp_pData = nullptr;
  if (FAILED(pVertexBuffer->Lock(0, 0, &tmp_pData, D3DLOCK_DISCARD)) || tmp_pData == nullptr)
    M2D_THROW(EHS_TYPE_GENERAL, 0, "Cannot lock vertex buffer!");
  batchData = tmp_pData;
}

void CMorvane::GFX_BatchClose() {
  M2D_CHECKPOINT;
  if (batchData == nullptr) return;
  pVertexBuffer->Unlock();
  batchData = nullptr;
  if (batchQuads > 0) {
    const UINT tmp_uQuads = static_cast<UINT>(batchQuads);
    pD3DDevice->DrawIndexedPrimitive(D3DPT_TRIANGLELIST, 0, 4 * tmp_uQuads, 0, 2 * tmp_uQuads);
  }
  batchQuads = 0;
}

void CMorvane::GFX_BatchDiscard() {
  M2D_CHECKPOINT;
  if (pVertexBuffer == nullptr || batchData == nullptr) return;
  pVertexBuffer->Unlock();
  batchQuads = 0;
  batchData = nullptr;
}

// }====
