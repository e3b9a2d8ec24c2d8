// The element class "tip": the tooltip the manager shows over everything
// while it is the current tip. It sits at the cursor plus its offset, flips
// left of or above the cursor at the screen edges and fades in.
static constexpr int kM2DFileID = 315;

#include "cmorvane.h"
#include "m2dgui_cmorvanegui.h"
#include "m2dgui_stdclass_tip.h"
#include "m2dgui_stdclasses.h"

CGUITip::CGUITip(const char* fp_pszID) : CGUITile(fp_pszID) { M2D_CHECKPOINT; }

void CGUITip::SetParent(CGUIElement* fp_pParent) {
  M2D_CHECKPOINT;
  parent = fp_pParent;
}

void CGUITip::SetParam(std::int32_t fp_iID, const CGUIValue& fp_rValue) {
  M2D_CHECKPOINT;
  switch (fp_iID) {
    case GUIPARAM_TIPAPPEARTIME:
      appearTime = fp_rValue.GetFloat();
      // The fade divides by it: zero, negative and NaN all become the shortest fade.
      if (!(appearTime > 0.0f)) appearTime = 0.01f;
      break;
    case GUIPARAM_ON_SHOW: onShow.SetFromValue(fp_rValue); break;
    default: CGUITile::SetParam(fp_iID, fp_rValue);
  }
}

CGUIValue CGUITip::GetParam(std::int32_t fp_iID) {
  M2D_CHECKPOINT;
  if (fp_iID == GUIPARAM_TIPAPPEARTIME) return CGUIValue(appearTime);
  return CGUITile::GetParam(fp_iID);
}

void CGUITip::ExecuteCommand(std::int32_t fp_iCommand) {
  M2D_CHECKPOINT;
  if (fp_iCommand == GUICMD_SHOW) {
    visible = true;
    enabled = true;
    absColor.height = 0.0f;
    fadeTimer = appearTime;
    if (onShow.IsSet()) onShow.Execute();
  }
  CGUITile::ExecuteCommand(fp_iCommand);
}

void CGUITip::Update(const GUIRECT&, const GUIRECT&, bool, bool, float, float) {
  M2D_CHECKPOINT;
  fadeTimer -= CMorvaneGUI::frameDelta;
  if (fadeTimer < 0.0f) fadeTimer = 0.0f;
  absColor = color;
  absColor.height = (1.0f - fadeTimer / appearTime) * color.height;

  CMorvane* tmp_pEngine = GetEngine();
  ZIZAssert(tmp_pEngine);
  std::int32_t tmp_iMouseX = 0;
  std::int32_t tmp_iMouseY = 0;
  tmp_pEngine->INP_MouseGetCursorPos(&tmp_iMouseX, &tmp_iMouseY);
  const float tmp_fMouseX = static_cast<float>(tmp_iMouseX);
  const float tmp_fMouseY = static_cast<float>(tmp_iMouseY);
  absRect.x = tmp_fMouseX + coords.x;
  absRect.y = tmp_fMouseY + coords.y;
  if (static_cast<float>(CMorvaneGUI::screenWidth) < absRect.x + coords.width)
    absRect.x = tmp_fMouseX - coords.x - coords.width;
  if (static_cast<float>(CMorvaneGUI::screenHeight) < absRect.y + coords.height)
    absRect.y = tmp_fMouseY - coords.y - coords.height;
  if (absRect.x < 0.0f) absRect.x = 0.0f;
  if (absRect.y < 0.0f) absRect.y = 0.0f;

  absVisible = visible;
  absEnabled = enabled;
  UpdateChildren();
}

CGUIElement* M2DGUI_CreateTip(const char* fp_pszID) {
  M2D_CHECKPOINT;
  return new CGUITip(fp_pszID);
}
