// The "window" class: hidden, showing, shown, hiding. While it moves, its
// position and colour follow the three-point curves over time_showhide
// seconds and its children get a disabled parent; hidden, it freezes them.
static constexpr int kM2DFileID = 320;

#include "cmorvane.h"
#include "m2dgui_cmorvanegui.h"
#include "m2dgui_stdclass_window.h"
#include "m2dgui_stdclasses.h"

CGUIWindow::CGUIWindow(const char* fp_pszID) : CGUIElement(fp_pszID) { M2D_CHECKPOINT; }

void CGUIWindow::SetParam(std::int32_t fp_iID, const CGUIValue& fp_rValue) {
  M2D_CHECKPOINT;
  switch (fp_iID) {
    case GUIPARAM_COLOR_HIDDEN: colorHidden = fp_rValue.GetRect(); break;
    case GUIPARAM_COLOR_MIDDLE: colorMiddle = fp_rValue.GetRect(); break;
    case GUIPARAM_COLOR_SHOWN: colorShown = fp_rValue.GetRect(); break;
    case GUIPARAM_LOCATION_HIDDEN: locationHidden = fp_rValue.GetPoint(); break;
    case GUIPARAM_LOCATION_MIDDLE: locationMiddle = fp_rValue.GetPoint(); break;
    case GUIPARAM_LOCATION_SHOWN: locationShown = fp_rValue.GetPoint(); break;
    case GUIPARAM_TIME_SHOWHIDE:
      timeShowHide = fp_rValue.GetFloat();
      // Also NaN: the time divides the animation's clock.
      if (!(timeShowHide > 0.0f)) timeShowHide = 0.001f;
      break;
    case GUIPARAM_ON_HIDE: onHide.SetFromValue(fp_rValue); break;
    case GUIPARAM_ON_SHOW: onShow.SetFromValue(fp_rValue); break;
    case GUIPARAM_ON_ENABLE: onEnable.SetFromValue(fp_rValue); break;
    case GUIPARAM_ON_DISABLE: onDisable.SetFromValue(fp_rValue); break;
    case GUIPARAM_SOUND_HIDE: soundHide = ValueToSoundID(fp_rValue); break;
    case GUIPARAM_SOUND_SHOW: soundShow = ValueToSoundID(fp_rValue); break;
    default: CGUIElement::SetParam(fp_iID, fp_rValue);
  }
}

CGUIValue CGUIWindow::GetParam(std::int32_t fp_iID) {
  M2D_CHECKPOINT;
  switch (fp_iID) {
    case GUIPARAM_COLOR_HIDDEN: return CGUIValue(colorHidden);
    case GUIPARAM_COLOR_MIDDLE: return CGUIValue(colorMiddle);
    case GUIPARAM_COLOR_SHOWN: return CGUIValue(colorShown);
    case GUIPARAM_LOCATION_HIDDEN: return CGUIValue(locationHidden);
    case GUIPARAM_LOCATION_MIDDLE: return CGUIValue(locationMiddle);
    case GUIPARAM_LOCATION_SHOWN: return CGUIValue(locationShown);
    case GUIPARAM_TIME_SHOWHIDE: return CGUIValue(timeShowHide);
    case GUIPARAM_SOUND_HIDE: return CGUIValue(static_cast<float>(soundHide));
    case GUIPARAM_SOUND_SHOW: return CGUIValue(static_cast<float>(soundShow));
    default: return CGUIElement::GetParam(fp_iID);
  }
}

void CGUIWindow::ExecuteCommand(std::int32_t fp_iCommand) {
  M2D_CHECKPOINT;
  switch (fp_iCommand) {
    case GUICMD_SHOW:
      if (windowState == GUIWINDOW_HIDING || windowState == GUIWINDOW_HIDDEN) {
        PlayGUISound(soundShow);
        if (onShow.IsSet()) onShow.Execute();
      }
      windowState = GUIWINDOW_SHOWING;
      break;
    case GUICMD_HIDE:
      if (windowState == GUIWINDOW_SHOWING || windowState == GUIWINDOW_SHOWN) {
        PlayGUISound(soundHide);
        if (onHide.IsSet()) onHide.Execute();
      }
      windowState = GUIWINDOW_HIDING;
      break;
    case GUICMD_ENABLE:
      if (onEnable.IsSet()) onEnable.Execute();
      enabled = true;
      break;
    case GUICMD_DISABLE:
      if (onDisable.IsSet()) onDisable.Execute();
      enabled = false;
      break;
    default:
      CGUIElement::ExecuteCommand(fp_iCommand);
  }
}

void CGUIWindow::Update(const GUIRECT& fp_rParentRect, const GUIRECT& fp_rParentColor,
                        bool fp_bParentVisible, bool fp_bParentEnabled, float fp_fOffsetX,
                        float fp_fOffsetY) {
  M2D_CHECKPOINT;
  const float tmp_fDelta = CMorvaneGUI::frameDelta;
  if (windowState == GUIWINDOW_HIDING) {
    animTime -= tmp_fDelta;
    if (animTime <= 0.0f) {
      animTime = 0.0f;
      windowState = GUIWINDOW_HIDDEN;
    }
  }
  if (windowState == GUIWINDOW_SHOWING) {
    animTime += tmp_fDelta;
    if (animTime >= timeShowHide) {
      windowState = GUIWINDOW_SHOWN;
      animTime = timeShowHide;
    }
  }
  absVisible = false;
  absEnabled = false;

  if (windowState == GUIWINDOW_SHOWING || windowState == GUIWINDOW_HIDING) {
    // A time shortened while the window was shown leaves animTime above it:
    // the phase stays on the curve's own range.
    float tmp_fT = animTime / timeShowHide;
    if (tmp_fT > 1.0f) tmp_fT = 1.0f;
    if (!(tmp_fT >= 0.0f)) tmp_fT = 0.0f;
    absColor = GUI_MultiplyColor(fp_rParentColor,
                                 GUI_Curve(colorHidden, colorMiddle, colorShown, tmp_fT));
    const GUIPOINT tmp_Loc = GUI_Curve(locationHidden, locationMiddle, locationShown, tmp_fT);
    absRect.x = fp_rParentRect.x + tmp_Loc.x - fp_fOffsetX;
    absRect.y = fp_rParentRect.y + tmp_Loc.y - fp_fOffsetY;
    absEnabled = false;
    absVisible = fp_bParentVisible;
  } else if (windowState == GUIWINDOW_SHOWN) {
    absColor = GUI_MultiplyColor(fp_rParentColor, colorShown);
    absRect.x = fp_rParentRect.x + locationShown.x - fp_fOffsetX;
    absRect.y = fp_rParentRect.y + locationShown.y - fp_fOffsetY;
    absEnabled = enabled && fp_bParentEnabled;
    absVisible = fp_bParentVisible;
  }
  if (windowState != GUIWINDOW_HIDDEN) {
    CheckTip();
    UpdateChildren();
  }
}

void CGUIWindow::Draw() {
  M2D_CHECKPOINT;
  if (absVisible && windowState != GUIWINDOW_HIDDEN) DrawChildren();
}

CGUIElement* M2DGUI_CreateWindow(const char* fp_pszID) {
  M2D_CHECKPOINT;
  return new CGUIWindow(fp_pszID);
}
