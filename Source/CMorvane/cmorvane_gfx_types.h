// The graphics subsystem's records: the candidate display modes and the
// capability record that pre-initialisation fills, the engine's 40-byte
// vertex, and the items of the lights, techniques and fonts managers.
#pragma once

#include <cstdint>

#include "Platform/gfx/d3d8.h"

// One candidate display mode with the texture formats chosen for it. A format
// of 0 means "not found" (the mode) or "none" (a texture format slot).
struct DisplayModeInfo {
  std::uint32_t Width;
  std::uint32_t Height;
  std::uint32_t RefreshRate;
  std::uint32_t Format;
  std::uint32_t TextureFormat01;  // opaque 16-bit
  std::uint32_t TextureFormat02;  // 16-bit with alpha
  std::uint32_t TextureFormat03;  // alpha, best quality
  std::uint32_t TextureFormat04;  // 32-bit
  bool Valid;
};
static_assert(sizeof(DisplayModeInfo) == 36);

// What pre-initialisation learnt about the adapter; GFX_GetCaps copies it out
// whole.
struct GfxCaps {
  DisplayModeInfo Mode1;  // the requested size, 16-bit
  DisplayModeInfo Mode2;  // the requested size, 32-bit
  DisplayModeInfo Mode3;  // the desktop's current mode
  bool CanRenderWindowed;
  std::uint32_t MaxTextureWidth;
  std::uint32_t MaxTextureHeight;
  std::uint32_t MaxTextureBlendStages;
  std::uint32_t MaxSimultaneousTextures;
  bool VertexFog;
  bool Dot3;
  bool MipMapping;
  bool AddressClamp;
  bool AddressWrap;
  bool FullscreenGamma;
  bool CanCalibrateGamma;
  std::uint32_t Rating;  // 0 not rated, 1 (weakest) to 5 (strongest)
};
static_assert(sizeof(GfxCaps) == 140);

// The engine's one vertex layout: pre-transformed position, diffuse,
// specular (its alpha is the fog factor) and two texture-coordinate sets.
struct M2DVERTEX {
  float x, y, z, rhw;
  std::uint32_t diffuse;
  std::uint32_t specular;
  float tu0, tv0;
  float tu1, tv1;
};
static_assert(sizeof(M2DVERTEX) == 40);

// The flexible vertex format of M2DVERTEX and the batch's capacity.
constexpr std::uint32_t kM2DVertexFVF = 0x2C4;
constexpr int kM2DBatchQuads = 500;

// A named bundle of device states. Each group is applied only when its
// presence flag is set.
struct M2DTECHNIQUE {
  struct SStage {
    std::uint32_t colorOp;
    std::uint32_t colorArg1;
    std::uint32_t colorArg2;
    std::uint32_t alphaOp;
    std::uint32_t alphaArg1;
    std::uint32_t alphaArg2;
    std::uint32_t address;
  };
  struct SFilters {
    std::uint32_t minFilter;
    std::uint32_t magFilter;
    std::uint32_t mipFilter;
  };

  bool hasAlphaBlending = false;
  bool alphaBlendEnabled = false;
  std::uint32_t srcBlend = 1;
  std::uint32_t destBlend = 1;

  bool hasFog = false;
  bool fogEnabled = false;
  float fogStart = 0.0f;
  float fogEnd = 0.0f;
  std::uint32_t fogColor = 0;

  bool hasTextureFactor = false;
  std::uint32_t textureFactor = 0;

  bool hasStages = false;
  SStage stages[2] = {};

  bool hasFilters = false;
  SFilters filters[2] = {};

  bool hasDynLight = false;
  std::uint32_t dynLightMode = 0;
  std::uint32_t dynLightAmbient = 0;
};

// A point light for the vertex-lighting mode.
struct M2DLight {
  float innerRadius = 0.0f;
  float outerRadius = 0.0f;
  float r = 0.0f, g = 0.0f, b = 0.0f, a = 0.0f;
  float x = 0.0f, y = 0.0f, z = 0.0f;
  bool enabled = false;
};

// A bitmap font: 256 cells in a 16 x 16 texture, the technique to draw them,
// a palette of ten colours and the advance of every character code.
struct M2DFont {
  std::int32_t texture = -1;
  std::int32_t technique = -1;
  float colors[10][4] = {};
  float cellSize = 0.0f;
  float widths[256] = {};
};

// The rating of an adapter from its PCI vendor and device IDs: 1 (weakest)
// to 5 (strongest), 0 for a card that is not in the table.
std::uint32_t GFX_RateAdapter(std::uint32_t fp_uVendorID, std::uint32_t fp_uDeviceID);
