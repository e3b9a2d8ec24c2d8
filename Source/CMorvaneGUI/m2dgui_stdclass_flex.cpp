// The "flex" class: hands its absolute state to an update action every
// frame and its place in the drawing order to a redraw action, so custom
// drawing sits between the elements drawn before and after it.
static constexpr int kM2DFileID = 342;

#include "cmorvane.h"
#include "m2dgui_stdclass_flex.h"
#include "m2dgui_stdclasses.h"

CGUIFlex::CGUIFlex(const char* fp_pszID) : CGUIElement(fp_pszID) { M2D_CHECKPOINT; }

void CGUIFlex::SetParam(std::int32_t fp_iID, const CGUIValue& fp_rValue) {
  M2D_CHECKPOINT;
  switch (fp_iID) {
    case GUIPARAM_ON_UPDATE: onUpdate.SetFromValue(fp_rValue); break;
    case GUIPARAM_ON_REDRAW: onRedraw.SetFromValue(fp_rValue); break;
    default: CGUIElement::SetParam(fp_iID, fp_rValue);
  }
}

void CGUIFlex::Update(const GUIRECT& fp_rParentRect, const GUIRECT& fp_rParentColor,
                      bool fp_bParentVisible, bool fp_bParentEnabled, float fp_fOffsetX,
                      float fp_fOffsetY) {
  M2D_CHECKPOINT;
  ComputeAbsolute(fp_rParentRect, fp_rParentColor, fp_bParentVisible, fp_bParentEnabled,
                  fp_fOffsetX, fp_fOffsetY);
  if (!onUpdate.IsSet()) return;
  // A script gets ten values (the rectangle and the colour as four numbers
  // each, then two booleans); a native action four arguments.
  const CGUIValue tmp_aArgs[4] = {CGUIValue(absRect), CGUIValue(absColor), CGUIValue(absVisible),
                                  CGUIValue(absEnabled)};
  onUpdate.ExecuteWithArgs(tmp_aArgs, 4);
}

void CGUIFlex::Draw() {
  M2D_CHECKPOINT;
  if (absVisible && onRedraw.IsSet()) onRedraw.Execute();
}

CGUIElement* M2DGUI_CreateFlex(const char* fp_pszID) {
  M2D_CHECKPOINT;
  return new CGUIFlex(fp_pszID);
}
