// The "label" class: one line of bitmap-font text at the element's position,
// left, centred or right inside its rectangle, optionally clipped to it.
// The width of the text is measured when it or the font settings change.
static constexpr int kM2DFileID = 324;

#include <cmath>

#include "cmorvane.h"
#include "m2dgui_cmorvanegui.h"
#include "m2dgui_stdclass_label.h"
#include "m2dgui_stdclasses.h"

CGUILabel::CGUILabel(const char* fp_pszID) : CGUIElement(fp_pszID) {
  M2D_CHECKPOINT;
  color = GUIRECT{1.0f, 1.0f, 1.0f, 1.0f};
  absColor = color;
}

void CGUILabel::RecomputeTextWidth() {
  M2D_CHECKPOINT;
  if (font == -1 || alignment == GUILABEL_ALIGN_LEFT) {
    textWidth = 0.0f;
    return;
  }
  CMorvane* tmp_pEngine = GetEngine();
  ZIZAssert(tmp_pEngine);
  textWidth = tmp_pEngine->GFX_FontGetStringWidth(text.c_str(), font, fontScale, fontShiftX);
}

void CGUILabel::SetParam(std::int32_t fp_iID, const CGUIValue& fp_rValue) {
  M2D_CHECKPOINT;
  switch (fp_iID) {
    case GUIPARAM_FONT:
      font = ValueToFontID(fp_rValue);
      break;
    case GUIPARAM_FONT_COLOR:
      fontColor = ValueToInt(fp_rValue);
      return;
    case GUIPARAM_FONT_ALPHA:
      fontAlpha = fp_rValue.GetFloat();
      return;
    case GUIPARAM_FONT_SETDEFAULTTECHNIQUE:
      fontSetDefaultTechnique = fp_rValue.GetBool();
      return;
    case GUIPARAM_FONT_SCALE:
      fontScale = fp_rValue.GetFloat();
      break;
    case GUIPARAM_FONT_SHIFTX:
      fontShiftX = fp_rValue.GetFloat();
      break;
    case GUIPARAM_FONT_SHIFTY:
      fontShiftY = fp_rValue.GetFloat();
      break;
    case GUIPARAM_TEXT:
      text = fp_rValue.GetString();
      drawnText = text;
      break;
    case GUIPARAM_ALIGNMENT:
      alignment = ValueToInt(fp_rValue);
      if (alignment < GUILABEL_ALIGN_LEFT || alignment > GUILABEL_ALIGN_RIGHT)
        alignment = GUILABEL_ALIGN_LEFT;
      break;
    case GUIPARAM_LIMITVIEWPORT:
      limitViewport = fp_rValue.GetBool();
      return;
    default:
      CGUIElement::SetParam(fp_iID, fp_rValue);
      return;
  }
  // Only the cases that change what the text measures get here.
  RecomputeTextWidth();
}

CGUIValue CGUILabel::GetParam(std::int32_t fp_iID) {
  M2D_CHECKPOINT;
  switch (fp_iID) {
    case GUIPARAM_FONT: return CGUIValue(static_cast<float>(font));
    case GUIPARAM_FONT_COLOR: return CGUIValue(static_cast<float>(fontColor));
    case GUIPARAM_FONT_ALPHA: return CGUIValue(fontAlpha);
    case GUIPARAM_FONT_SETDEFAULTTECHNIQUE: return CGUIValue(fontSetDefaultTechnique);
    case GUIPARAM_FONT_SCALE: return CGUIValue(fontScale);
    case GUIPARAM_FONT_SHIFTX: return CGUIValue(fontShiftX);
    case GUIPARAM_FONT_SHIFTY: return CGUIValue(fontShiftY);
    case GUIPARAM_TEXT: return CGUIValue(text);
    case GUIPARAM_ALIGNMENT: return CGUIValue(static_cast<float>(alignment));
    case GUIPARAM_LIMITVIEWPORT: return CGUIValue(limitViewport);
    default: return CGUIElement::GetParam(fp_iID);
  }
}

void CGUILabel::Update(const GUIRECT& fp_rParentRect, const GUIRECT& fp_rParentColor,
                       bool fp_bParentVisible, bool fp_bParentEnabled, float fp_fOffsetX,
                       float fp_fOffsetY) {
  M2D_CHECKPOINT;
  ComputeAbsolute(fp_rParentRect, fp_rParentColor, fp_bParentVisible, fp_bParentEnabled,
                  fp_fOffsetX, fp_fOffsetY);
  absAlpha = fp_rParentColor.height * fontAlpha;
  CheckTip();
}

void CGUILabel::Draw() {
  M2D_CHECKPOINT;
  if (!absVisible) return;
  CMorvane* tmp_pEngine = GetEngine();
  ZIZAssert(tmp_pEngine);
  if (technique != -1 && !fontSetDefaultTechnique) tmp_pEngine->GFX_TechApply(technique);
  // Palette colours 0 to 9 are the font's own; any other number draws in the
  // element's colour, set on the quad here.
  if (fontColor < 0 || fontColor > 9)
    tmp_pEngine->GFX_VQuadSetColor(absColor.x, absColor.y, absColor.width, absColor.height);
  if (font == -1) return;

  float tmp_fX = absRect.x;
  if (alignment == GUILABEL_ALIGN_CENTER)
    tmp_fX += std::floor(absRect.width * 0.5f - textWidth * 0.5f);
  else if (alignment == GUILABEL_ALIGN_RIGHT)
    tmp_fX += std::floor(absRect.width - textWidth);
  const float tmp_fY = absRect.y;

  tmp_pEngine->GFX_FontSet(font);
  if (limitViewport)
    tmp_pEngine->GFX_SceneSetViewport(GUI_FloatToInt(absRect.x), GUI_FloatToInt(absRect.y),
                                      GUI_FloatToInt(absRect.width),
                                      GUI_FloatToInt(absRect.height));
  tmp_pEngine->GFX_FontDrawTextEx(drawnText.c_str(), tmp_fX, tmp_fY, 0, fontColor, absAlpha,
                                  fontSetDefaultTechnique, fontScale, fontShiftX, fontShiftY);
  if (limitViewport)
    tmp_pEngine->GFX_SceneSetViewport(0, 0, CMorvaneGUI::screenWidth, CMorvaneGUI::screenHeight);
}

CGUIElement* M2DGUI_CreateLabel(const char* fp_pszID) {
  M2D_CHECKPOINT;
  return new CGUILabel(fp_pszID);
}
