// Textures: the TEXTURE loader (image bytes in memory to a managed texture in
// the Textures Manager), lookup, unloading by string or integer ID, and the
// selection of a texture on a stage with the cache that skips redundant
// device calls.
static constexpr int kM2DFileID = 118;

#include <string>

#include "Platform/gfx/d3d8.h"
#include "Platform/gfx/d3dx8.h"
#include "cmorvane.h"
#include "cmorvane_utils_csmartid.h"

using namespace gfx;

namespace {

constexpr int kTextureStageCount = 8;

void CheckStage(int fp_iStage) {
  M2D_CHECKPOINT;
  if (fp_iStage < 0 || fp_iStage >= kTextureStageCount)
    M2D_THROW(EHS_TYPE_GAME, 0, "Cannot set texture - invalid stage number!");
}

}  // namespace

int CMorvane::GFX_TexLoadFromMemory(const char* fp_pData, int fp_iSize, int fp_iFormatSlot,
                                    const char* fp_pszID, int fp_iMipLevels, int fp_iTag,
                                    int fp_iTextureSize) {
  M2D_CHECKPOINT;
  GFX_RequireDevice();
  if (texturesManager == nullptr) M2D_THROW(EHS_TYPE_GENERAL, 0, "Cannot create texture object!");
  const char* tmp_pszID = fp_pszID != nullptr ? fp_pszID : "";
  const int tmp_iExisting = texturesManager->FindItem(tmp_pszID);
  if (tmp_iExisting != -1) return tmp_iExisting;

  // The size is capped by the adapter; 0 keeps the image's own size.
  UINT tmp_uSize = D3DX_DEFAULT;
  if (fp_iTextureSize != 0) {
    std::int64_t tmp_iSize = fp_iTextureSize;
    if (tmp_iSize > static_cast<std::int64_t>(static_cast<std::int32_t>(gfxCaps.MaxTextureWidth)))
      tmp_iSize = static_cast<std::int32_t>(gfxCaps.MaxTextureWidth);
    // A negative size has no meaning for the image; it keeps the image's size.
    tmp_uSize = tmp_iSize > 0 ? static_cast<UINT>(tmp_iSize) : D3DX_DEFAULT;
  }

  LogAddBlankLines(1);
  LogAddEntry(std::string("Loading texture from memory. ID = ") + tmp_pszID, LOG_KIND_STEP);

  const int tmp_iSlot = fp_iFormatSlot >= 1 && fp_iFormatSlot <= 4 ? fp_iFormatSlot : 1;
  std::uint32_t tmp_uFormat = 0;
  if (const DisplayModeInfo* tmp_pMode = GFX_CurrentMode()) {
    const std::uint32_t tmp_auFormats[4] = {tmp_pMode->TextureFormat01, tmp_pMode->TextureFormat02,
                                            tmp_pMode->TextureFormat03, tmp_pMode->TextureFormat04};
    tmp_uFormat = tmp_auFormats[tmp_iSlot - 1];
  }
  const UINT tmp_uMipLevels =
      gfxCaps.MipMapping && fp_iMipLevels >= 1 ? static_cast<UINT>(fp_iMipLevels) : 1u;

  IDirect3DTexture8* tmp_pTexture = nullptr;
  const UINT tmp_uBytes = fp_pData != nullptr && fp_iSize > 0 ? static_cast<UINT>(fp_iSize) : 0u;
  D3DXCreateTextureFromFileInMemoryEx(pD3DDevice, fp_pData, tmp_uBytes, tmp_uSize, tmp_uSize,
                                      tmp_uMipLevels, 0, static_cast<D3DFORMAT>(tmp_uFormat),
                                      D3DPOOL_MANAGED, D3DX_DEFAULT, D3DX_FILTER_BOX, 0, nullptr,
                                      nullptr, &tmp_pTexture);
  if (tmp_pTexture == nullptr) M2D_THROW(EHS_TYPE_GENERAL, 0, "Cannot create texture object!");

  int tmp_iID = -1;
  try {
    tmp_iID = texturesManager->AddItem(tmp_pTexture, tmp_pszID, fp_iTag);
  } catch (...) {
    tmp_pTexture->Release();
    throw;
  }
  LogAddEntry("Done.", LOG_KIND_STEP);
  LogAddBlankLines(1);
  CSmartID::SetIID(tmp_pszID, tmp_iID);
  return tmp_iID;
}

int CMorvane::GFX_TexGetIID(const char* fp_pszID) {
  M2D_CHECKPOINT;
  const char* tmp_pszID = fp_pszID != nullptr ? fp_pszID : "";
  const int tmp_iID = texturesManager != nullptr ? texturesManager->FindItem(tmp_pszID) : -1;
  if (tmp_iID == -1)
    LogAddEntry(std::string("Cannot find iID of texture with strID = ") + tmp_pszID, LOG_KIND_FAILED);
  return tmp_iID;
}

void CMorvane::GFX_TexUnloadByID(const char* fp_pszID) {
  M2D_CHECKPOINT;
  const char* tmp_pszID = fp_pszID != nullptr ? fp_pszID : "";
  LogAddBlankLines(1);
  LogAddEntry(std::string("Unloading texture, strID = ") + tmp_pszID, LOG_KIND_STEP);
  CSmartID::SetIID(tmp_pszID, -1);
  const int tmp_iID = texturesManager != nullptr ? texturesManager->FindItem(tmp_pszID) : -1;
  if (tmp_iID != -1 && texturesManager->GetItem(tmp_iID) != nullptr) {
    GFX_TexFree(tmp_iID);
    LogAddEntry("Done.", LOG_KIND_SUCCESS);
  } else {
    LogAddEntry("Failed.", LOG_KIND_FAILED);
  }
}

void CMorvane::GFX_TexUnloadByID(int fp_iID) {
  M2D_CHECKPOINT;
  LogAddBlankLines(1);
  LogAddEntry("Unloading texture, iID = " + std::to_string(fp_iID), LOG_KIND_STEP);
  CSmartID::ResetIID(fp_iID, SMARTID_RES_TEXTURE);
  if (texturesManager != nullptr && texturesManager->GetItem(fp_iID) != nullptr) {
    GFX_TexFree(fp_iID);
    LogAddEntry("Done.", LOG_KIND_SUCCESS);
  } else {
    LogAddEntry("Failed.", LOG_KIND_FAILED);
  }
}

void CMorvane::GFX_TexFree(int fp_iID) {
  M2D_CHECKPOINT;
  IDirect3DTexture8* tmp_pTexture = texturesManager->GetItem(fp_iID);
  // A texture still set on a stage is also held by the device: giving up the
  // manager's reference then would leave the slot pointing at an object only
  // the device keeps alive. It stays loaded, untouched, and the caller hears
  // why.
  if (pD3DDevice != nullptr) {
    for (DWORD i = 0; i < static_cast<DWORD>(kTextureStageCount); ++i) {
      IDirect3DBaseTexture8* tmp_pBound = nullptr;
      if (FAILED(pD3DDevice->GetTexture(i, &tmp_pBound)) || tmp_pBound == nullptr) continue;
      const bool tmp_bSame = tmp_pBound == tmp_pTexture;
      tmp_pBound->Release();
      if (tmp_bSame) M2D_THROW(EHS_TYPE_GENERAL, 0, "Unreleased object references left!");
    }
  }
  try {
    texturesManager->FreeItem(fp_iID);
  } catch (const char* tmp_pszError) {
    M2D_THROW(EHS_TYPE_GENERAL, 0, tmp_pszError);
  }
}

void CMorvane::GFX_TexSet(int fp_iID, int fp_iStage) {
  M2D_CHECKPOINT;
  CheckStage(fp_iStage);
  if (currentTexture[fp_iStage] == fp_iID) return;
  // The queued quads were meant for the texture set so far.
  GFX_BatchFlush();
  IDirect3DTexture8* tmp_pTexture =
      texturesManager != nullptr ? texturesManager->GetItem(fp_iID) : nullptr;
  if (tmp_pTexture == nullptr) M2D_THROW(EHS_TYPE_GENERAL, 0, "Cannot set texture - invalid ID!");
  GFX_RequireDevice();
  pD3DDevice->SetTexture(static_cast<DWORD>(fp_iStage), tmp_pTexture);
  currentTexture[fp_iStage] = fp_iID;
}

void CMorvane::GFX_TexSet(const char* fp_pszID, int fp_iStage) {
  M2D_CHECKPOINT;
  const char* tmp_pszID = fp_pszID != nullptr ? fp_pszID : "";
  const int tmp_iID = texturesManager != nullptr ? texturesManager->FindItem(tmp_pszID) : -1;
  GFX_TexSet(tmp_iID, fp_iStage);
}

void CMorvane::GFX_TexSet(const CSmartID& fp_rID, int fp_iStage) {
  M2D_CHECKPOINT;
  GFX_TexSet(fp_rID.iID, fp_iStage);
}

void CMorvane::GFX_TexSetNoTexture(int fp_iStage) {
  M2D_CHECKPOINT;
  CheckStage(fp_iStage);
  GFX_RequireDevice();
  GFX_BatchFlush();
  pD3DDevice->SetTexture(static_cast<DWORD>(fp_iStage), nullptr);
  currentTexture[fp_iStage] = -1;
}
