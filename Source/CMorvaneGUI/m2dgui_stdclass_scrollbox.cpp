// The "scrollbox" class: children shifted by the scroll offset and clipped to
// the box; a child entirely outside the box is updated hidden and disabled.
static constexpr int kM2DFileID = 340;

#include "m2dgui_stdclass_scrollbox.h"

#include "cmorvane.h"
#include "m2dgui_cmorvanegui.h"
#include "m2dgui_stdclasses.h"

CGUIScrollBox::CGUIScrollBox(const char* fp_pszID) : CGUIElement(fp_pszID) {
  M2D_CHECKPOINT;
  color = GUIRECT{1.0f, 1.0f, 1.0f, 1.0f};
  absColor = color;
}

void CGUIScrollBox::SetParam(std::int32_t fp_iID, const CGUIValue& fp_rValue) {
  M2D_CHECKPOINT;
  switch (fp_iID) {
    case GUIPARAM_SCROLLY: scrollY = fp_rValue.GetFloat(); break;
    case GUIPARAM_SCROLLX: scrollX = fp_rValue.GetFloat(); break;
    default: CGUIElement::SetParam(fp_iID, fp_rValue);
  }
}

CGUIValue CGUIScrollBox::GetParam(std::int32_t fp_iID) {
  M2D_CHECKPOINT;
  switch (fp_iID) {
    case GUIPARAM_SCROLLY: return CGUIValue(scrollY);
    case GUIPARAM_SCROLLX: return CGUIValue(scrollX);
    default: return CGUIElement::GetParam(fp_iID);
  }
}

void CGUIScrollBox::Update(const GUIRECT& fp_rParentRect, const GUIRECT& fp_rParentColor,
                           bool fp_bParentVisible, bool fp_bParentEnabled, float fp_fOffsetX,
                           float fp_fOffsetY) {
  M2D_CHECKPOINT;
  ComputeAbsolute(fp_rParentRect, fp_rParentColor, fp_bParentVisible, fp_bParentEnabled,
                  fp_fOffsetX, fp_fOffsetY);
  if (children.empty() || !(absVisible || absEnabled)) return;
  // Copied: an action run by a child may change this box while the walk goes on.
  const GUIRECT tmp_Rect = absRect;
  const GUIRECT tmp_Color = absColor;
  const bool tmp_bVisible = absVisible;
  const bool tmp_bEnabled = absEnabled;
  const float tmp_fScrollX = scrollX;
  const float tmp_fScrollY = scrollY;
  const GUIRECT tmp_Box{0.0f, 0.0f, coords.width, coords.height};
  // By position, reading the count again: a child added meanwhile is reached.
  for (size_t i = 0; i < children.size(); ++i) {
    CGUIElement* tmp_pChild = children[i];
    GUIRECT tmp_Shifted = tmp_pChild->coords;
    tmp_Shifted.x -= tmp_fScrollX;
    tmp_Shifted.y -= tmp_fScrollY;
    if (tmp_Shifted.Overlaps(tmp_Box))
      tmp_pChild->Update(tmp_Rect, tmp_Color, tmp_bVisible, tmp_bEnabled, tmp_fScrollX,
                         tmp_fScrollY);
    else
      tmp_pChild->Update(tmp_Rect, tmp_Color, false, false, tmp_fScrollX, tmp_fScrollY);
  }
}

void CGUIScrollBox::Draw() {
  M2D_CHECKPOINT;
  if (!absVisible) return;
  CMorvane* tmp_pEngine = GetEngine();
  ZIZAssert(tmp_pEngine);
  tmp_pEngine->GFX_SceneSetViewport(GUI_FloatToInt(absRect.x), GUI_FloatToInt(absRect.y),
                                    GUI_FloatToInt(absRect.width), GUI_FloatToInt(absRect.height));
  DrawChildren();
  tmp_pEngine->GFX_SceneSetViewport(0, 0, CMorvaneGUI::screenWidth, CMorvaneGUI::screenHeight);
}

CGUIElement* M2DGUI_CreateScrollBox(const char* fp_pszID) {
  M2D_CHECKPOINT;
  return new CGUIScrollBox(fp_pszID);
}
