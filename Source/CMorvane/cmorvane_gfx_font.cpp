// Bitmap fonts: the FONT loader (an XML description, root "fontdesc", naming
// the texture of 16 x 16 character cells, the technique, the palette and the
// 256 advances), the current font, drawing text one character quad at a time
// (basic and extended, with colour codes) and measuring a string.
static constexpr int kM2DFileID = 126;

#include <cmath>
#include <cstring>
#include <memory>
#include <new>
#include <string>

#include "cmorvane.h"
#include "cmorvane_gfx_internal.h"
#include "cmorvane_res_cres.h"
#include "cmorvane_utils_csmartid.h"
#include "cmorvane_utils_xml.h"

namespace {

constexpr int kPaletteSize = 10;

// A colour index outside the palette keeps the quad's colour, like -1.
bool IsPaletteIndex(int fp_iIndex) {
  M2D_CHECKPOINT;
  return fp_iIndex >= 0 && fp_iIndex < kPaletteSize;
}

bool IsColorCode(const unsigned char* fp_pText) {
  M2D_CHECKPOINT;
  return fp_pText[0] == '%' && fp_pText[1] >= '0' && fp_pText[1] <= '9';
}

}  // namespace

// {==== Loading ==============================================================

int CMorvane::GFX_FontLoadFromMemory(const char* fp_pData, int fp_iSize) {
  M2D_CHECKPOINT;
  LogAddBlankLines(1);
  LogAddEntry("Loading font description from memory...", LOG_KIND_MINOR);
  if (fontsManager == nullptr)
    M2D_THROW(EHS_TYPE_GENERAL, 0, "Cannot load font: graphics system was not initialized!");
  CXMLDocument tmp_Doc;
  try {
    tmp_Doc.LoadFromBuffer(fp_pData, fp_iSize, bXMLEncryptMode == 1);
  } catch (const char* tmp_pszError) {
    M2D_THROW(EHS_TYPE_GENERAL, 0, tmp_pszError);
  }
  tmp_Doc.Parse();

  const CXMLNode* tmp_pRoot = tmp_Doc.GetRoot();
  if (tmp_pRoot == nullptr || tmp_pRoot->GetName()[0] == '\0')
    M2D_THROW(EHS_TYPE_GENERAL, 0, "Parsing error during loading the font data!");
  if (std::strcmp(tmp_pRoot->GetName(), "fontdesc") != 0)
    M2D_THROW(EHS_TYPE_GAME, 0, "XML file doesn't contain font description!");
  const std::string tmp_strID = tmp_pRoot->GetAttribute("id");
  if (tmp_strID.empty()) M2D_THROW(EHS_TYPE_GENERAL, 0, "Invalid font ID");

  const int tmp_iExisting = fontsManager->FindItem(tmp_strID.c_str());
  if (tmp_iExisting != -1) {
    LogAddEntry("Warning: Dublicated font!", LOG_KIND_FAILED);
    return tmp_iExisting;
  }

  std::unique_ptr<M2DFont> tmp_pFont(new (std::nothrow) M2DFont());
  if (!tmp_pFont) M2D_THROW(EHS_TYPE_GENERAL, 0, "Cannot create font object!");

  // The texture and the technique are loaded on demand when missing.
  const std::string tmp_strTexture = tmp_pRoot->GetAttribute("textureid");
  if (tmp_strTexture.empty()) M2D_THROW(EHS_TYPE_GENERAL, 0, "Invalid font texture ID!");
  tmp_pFont->texture = GFX_TexGetIID(tmp_strTexture.c_str());
  if (tmp_pFont->texture == -1) {
    LoadResource(tmp_strTexture.c_str());
    tmp_pFont->texture = GFX_TexGetIID(tmp_strTexture.c_str());
    if (tmp_pFont->texture == -1) M2D_THROW(EHS_TYPE_GENERAL, 0, "Cannot load font texture!");
  }

  const std::string tmp_strTechnique = tmp_pRoot->GetAttribute("techniqueid");
  if (tmp_strTechnique.empty()) M2D_THROW(EHS_TYPE_GENERAL, 0, "Invalid font technique ID!");
  const std::string tmp_strPack = tmp_pRoot->GetAttribute("techpackid");
  if (tmp_strPack.empty()) M2D_THROW(EHS_TYPE_GENERAL, 0, "Invalid font technique pack ID!");
  tmp_pFont->technique = GFX_TechGetIID(tmp_strTechnique.c_str());
  if (tmp_pFont->technique == -1) {
    LoadResource(tmp_strPack.c_str());
    tmp_pFont->technique = GFX_TechGetIID(tmp_strTechnique.c_str());
    if (tmp_pFont->technique == -1) M2D_THROW(EHS_TYPE_GENERAL, 0, "Cannot load font technique!");
  }

  const char* tmp_pszCellSize = tmp_pRoot->GetAttribute("cellsize");
  if (tmp_pszCellSize[0] == '\0') M2D_THROW(EHS_TYPE_GENERAL, 0, "Invalid font cell size!");
  tmp_pFont->cellSize = GFX_ParseFloat(tmp_pszCellSize);

  static const char* const kChannels[3] = {"r", "g", "b"};
  for (int i = 0; i < kPaletteSize; ++i) {
    for (int c = 0; c < 3; ++c) {
      const std::string tmp_strName = "color" + std::to_string(i) + kChannels[c];
      tmp_pFont->colors[i][c] = GFX_ParseFloat(tmp_pRoot->GetAttribute(tmp_strName.c_str()));
    }
    tmp_pFont->colors[i][3] = 1.0f;
  }
  for (int tmp_iCode = 0; tmp_iCode < 256; ++tmp_iCode) {
    const std::string tmp_strName = "cs" + std::to_string(tmp_iCode);
    const char* tmp_pszWidth = tmp_pRoot->GetAttribute(tmp_strName.c_str());
    if (tmp_pszWidth[0] == '\0') M2D_THROW(EHS_TYPE_GENERAL, 0, "Invalid character length!");
    tmp_pFont->widths[tmp_iCode] = GFX_ParseFloat(tmp_pszWidth);
  }

  const int tmp_iTag = RES_ParseDecimal(tmp_pRoot->GetAttribute("tag"));
  const int tmp_iID = fontsManager->AddItem(tmp_pFont.get(), tmp_strID.c_str(), tmp_iTag);
  tmp_pFont.release();
  CSmartID::SetIID(tmp_strID.c_str(), tmp_iID);
  if (tmp_iID == 0) currentFont = 0;
  LogAddEntry("Done.", LOG_KIND_SUCCESS);
  LogAddBlankLines(1);
  return tmp_iID;
}

int CMorvane::GFX_FontGetIID(const char* fp_pszID) {
  M2D_CHECKPOINT;
  const char* tmp_pszID = fp_pszID != nullptr ? fp_pszID : "";
  const int tmp_iID = fontsManager != nullptr ? fontsManager->FindItem(tmp_pszID) : -1;
  if (tmp_iID == -1)
    LogAddEntry(std::string("Cannot find iID of font with strID = ") + tmp_pszID, LOG_KIND_FAILED);
  return tmp_iID;
}

// }====

// {==== Current font =========================================================

void CMorvane::GFX_FontSet(int fp_iID) {
  M2D_CHECKPOINT;
  if (fp_iID == -1)
    M2D_THROW(EHS_TYPE_GAME, 0, "Cannot set current font: invalid ID. ID = " + std::to_string(fp_iID));
  // Any other value is checked when text is drawn.
  currentFont = fp_iID;
}

void CMorvane::GFX_FontSet(const char* fp_pszID) {
  M2D_CHECKPOINT;
  const char* tmp_pszID = fp_pszID != nullptr ? fp_pszID : "";
  const int tmp_iID = fontsManager != nullptr ? fontsManager->FindItem(tmp_pszID) : -1;
  if (tmp_iID == -1)
    M2D_THROW(EHS_TYPE_GAME, 0, std::string("Cannot set current font: invalid ID. strID = ") + tmp_pszID);
  currentFont = tmp_iID;
}

void CMorvane::GFX_FontSet(const CSmartID& fp_rID) {
  M2D_CHECKPOINT;
  currentFont = fp_rID.iID;
}

// }====

// {==== Drawing and measuring ================================================

void CMorvane::GFX_FontDrawText(const char* fp_pszText, float fp_fX, float fp_fY, int fp_iMaxChars,
                                int fp_iColorIndex, float fp_fAlpha) {
  M2D_CHECKPOINT;
  GFX_FontDraw(fp_pszText, fp_fX, fp_fY, fp_iMaxChars, fp_iColorIndex, fp_fAlpha, true, 1.0f, 0.0f,
               0.0f, false);
}

void CMorvane::GFX_FontDrawTextEx(const char* fp_pszText, float fp_fX, float fp_fY, int fp_iMaxChars,
                                  int fp_iColorIndex, float fp_fAlpha, bool fp_bApplyTechnique,
                                  float fp_fScale, float fp_fLetterSpacing, float fp_fLineSpacing) {
  M2D_CHECKPOINT;
  GFX_FontDraw(fp_pszText, fp_fX, fp_fY, fp_iMaxChars, fp_iColorIndex, fp_fAlpha, fp_bApplyTechnique,
               fp_fScale, fp_fLetterSpacing, fp_fLineSpacing, true);
}

void CMorvane::GFX_FontDraw(const char* fp_pszText, float fp_fX, float fp_fY, int fp_iMaxChars,
                            int fp_iColorIndex, float fp_fAlpha, bool fp_bApplyTechnique,
                            float fp_fScale, float fp_fLetterSpacing, float fp_fLineSpacing,
                            bool fp_bExtended) {
  M2D_CHECKPOINT;
  if (currentFont == -1) currentFont = 0;
  const M2DFont* tmp_pFont = fontsManager != nullptr ? fontsManager->GetItem(currentFont) : nullptr;
  if (tmp_pFont == nullptr)
    M2D_THROW(EHS_TYPE_GAME, 0,
              "Cannot draw text: invalid current font id. ID = " + std::to_string(currentFont));

  GFX_TexSet(tmp_pFont->texture, 0);
  if (fp_bApplyTechnique) GFX_TechApply(tmp_pFont->technique);
  const bool tmp_bColored = IsPaletteIndex(fp_iColorIndex);
  if (tmp_bColored) {
    const float* c = tmp_pFont->colors[fp_iColorIndex];
    GFX_VQuadSetColor(c[0], c[1], c[2], fp_fAlpha);
  }

  const float tmp_fCell = fp_bExtended ? fp_fScale * tmp_pFont->cellSize : tmp_pFont->cellSize;
  const unsigned char* tmp_pText =
      reinterpret_cast<const unsigned char*>(fp_pszText != nullptr ? fp_pszText : "");
  float tmp_fPenX = fp_fX;
  float tmp_fPenY = fp_fY;
  // A colour code takes two characters: the limit is a bound, not a mark.
  for (int i = 0; fp_iMaxChars <= 0 || i < fp_iMaxChars; ++i) {
    const unsigned char c = tmp_pText[i];
    if (c == 0) break;
    if (fp_bExtended && tmp_bColored && IsColorCode(tmp_pText + i)) {
      const float* tmp_pColor = tmp_pFont->colors[tmp_pText[i + 1] - '0'];
      GFX_VQuadSetColor(tmp_pColor[0], tmp_pColor[1], tmp_pColor[2], fp_fAlpha);
      ++i;
      continue;
    }
    if (c == 10) {
      tmp_fPenX = fp_fX;
      tmp_fPenY += fp_bExtended ? std::floor(tmp_fCell * 1.1f + fp_fLineSpacing)
                                : std::floor(tmp_fCell * 1.1f);
    } else if (c == 32 || c == 9) {
      tmp_fPenX += fp_bExtended ? std::floor(fp_fScale * tmp_pFont->widths[c] + fp_fLetterSpacing)
                                : std::floor(tmp_pFont->widths[c]);
    } else if (c >= 33) {
      const float tmp_fU = static_cast<float>(c % 16) * 0.0625f;
      const float tmp_fV = static_cast<float>(c - c % 16) * 0.00390625f;
      GFX_VQuadSetTexCoords(1, tmp_fU, tmp_fV, tmp_fU + 0.0625f, tmp_fV + 0.0625f);
      GFX_VQuadSetPos(tmp_fPenX, tmp_fPenY, tmp_fCell, tmp_fCell, 0.5f);
      GFX_SceneRender();
      tmp_fPenX += fp_bExtended ? std::floor(fp_fScale * tmp_pFont->widths[c] + fp_fLetterSpacing)
                                : tmp_pFont->widths[c];
    }
  }
}

float CMorvane::GFX_FontGetStringWidth(const char* fp_pszText, int fp_iFontID, float fp_fScale,
                                       float fp_fLetterSpacing) {
  M2D_CHECKPOINT;
  const M2DFont* tmp_pFont = fontsManager != nullptr ? fontsManager->GetItem(fp_iFontID) : nullptr;
  if (tmp_pFont == nullptr)
    M2D_THROW(EHS_TYPE_GAME, 0,
              "Cannot calculate string width: invalid font id. ID = " + std::to_string(fp_iFontID));
  const unsigned char* tmp_pText =
      reinterpret_cast<const unsigned char*>(fp_pszText != nullptr ? fp_pszText : "");
  float tmp_fWidth = 0.0f;
  for (int i = 0; tmp_pText[i] != 0 && tmp_pText[i] != 10; ++i) {
    const unsigned char c = tmp_pText[i];
    if (IsColorCode(tmp_pText + i)) {
      ++i;
      continue;
    }
    if (c == 32 || c == 9 || c >= 33)
      tmp_fWidth += std::floor(fp_fScale * tmp_pFont->widths[c] + fp_fLetterSpacing);
  }
  return tmp_fWidth;
}

// }====
