// Dynamic lighting of the quad template just before it is batched: off,
// vertex lighting (ambient colour plus the point lights of the Lights
// Manager, into the diffuse colours) or dot-3 lighting (the direction to one
// light, into the specular colours).
static constexpr int kM2DFileID = 124;

#include <cmath>

#include "Platform/gfx/d3dx8.h"
#include "cmorvane.h"
#include "cmorvane_gfx_internal.h"

using namespace gfx;

void CMorvane::GFX_LightSetMode(std::int32_t fp_iMode) {
  M2D_CHECKPOINT;
  dynLightMode = fp_iMode;
}

void CMorvane::GFX_LightApply() {
  M2D_CHECKPOINT;
  if (dynLightMode != 1 && dynLightMode != 2) return;

  // Depth differences count in pixels: z (0 to 1) is scaled by the mean of
  // the back buffer's sides.
  std::int32_t tmp_iWidth = 0;
  std::int32_t tmp_iHeight = 0;
  GFX_GetScreenSize(&tmp_iWidth, &tmp_iHeight);
  const float tmp_fScale = static_cast<float>(tmp_iWidth + static_cast<std::int64_t>(tmp_iHeight)) / 2.0f;

  if (dynLightMode == 1) {
    float tmp_afColor[4][4];
    for (int v = 0; v < 4; ++v) {
      for (int c = 0; c < 4; ++c) tmp_afColor[v][c] = dynLightAmbient[c];
    }
    if (lightsManager != nullptr) {
      for (const M2DLight* tmp_pLight = lightsManager->FirstItemWithTag(0); tmp_pLight != nullptr;
           tmp_pLight = lightsManager->NextItemWithTag()) {
        if (!tmp_pLight->enabled) continue;
        for (int v = 0; v < 4; ++v) {
          const float tmp_fDX = vquad[v].x - tmp_pLight->x;
          const float tmp_fDY = vquad[v].y - tmp_pLight->y;
          const float tmp_fDZ = tmp_fScale * (vquad[v].z - tmp_pLight->z);
          const float tmp_fDist = std::sqrt(tmp_fDX * tmp_fDX + tmp_fDY * tmp_fDY + tmp_fDZ * tmp_fDZ);
          float tmp_fIntensity = 1.0f;
          if (!(tmp_fDist <= tmp_pLight->innerRadius)) {
            tmp_fIntensity = 1.0f - (tmp_fDist - tmp_pLight->innerRadius) /
                                        (tmp_pLight->outerRadius - tmp_pLight->innerRadius);
            if (!(tmp_fIntensity > 0.0f)) continue;
          }
          tmp_afColor[v][0] += tmp_fIntensity * tmp_pLight->r;
          tmp_afColor[v][1] += tmp_fIntensity * tmp_pLight->g;
          tmp_afColor[v][2] += tmp_fIntensity * tmp_pLight->b;
          tmp_afColor[v][3] += tmp_fIntensity * tmp_pLight->a;
        }
      }
    }
    for (int v = 0; v < 4; ++v) {
      vquad[v].diffuse = GFX_PackARGB(
          GFX_ClampedChannelByte(vquadAlpha[v]), GFX_ClampedChannelByte(tmp_afColor[v][0]),
          GFX_ClampedChannelByte(tmp_afColor[v][1]), GFX_ClampedChannelByte(tmp_afColor[v][2]));
    }
    return;
  }

  // Dot-3: only where the adapter has the operation.
  if (!gfxCaps.Dot3) return;
  const M2DLight* tmp_pLight = lightsManager != nullptr ? lightsManager->GetItem(dot3LightID) : nullptr;
  if (tmp_pLight == nullptr) M2D_THROW(EHS_TYPE_GENERAL, 0, "Wrong Dot3 light specified!");
  for (M2DVERTEX& tmp_rVertex : vquad) {
    const D3DXVECTOR3 tmp_Direction{tmp_pLight->x - tmp_rVertex.x, tmp_pLight->y - tmp_rVertex.y,
                                    tmp_fScale * (tmp_pLight->z - tmp_rVertex.z)};
    D3DXVECTOR3 tmp_Normal{};
    D3DXVec3Normalize(&tmp_Normal, &tmp_Direction);
    auto tmp_Byte = [](float fp_f) {
      return static_cast<std::uint32_t>(GFX_SaturateToInt(fp_f * 127.0f + 128.0f)) & 0xFFu;
    };
    tmp_rVertex.specular =
        GFX_PackARGB(0xFF, tmp_Byte(tmp_Normal.x), tmp_Byte(tmp_Normal.y), tmp_Byte(tmp_Normal.z));
  }
}
