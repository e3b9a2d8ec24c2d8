// The common part of the scroll bars: value limits and paging, the slider's
// textures, dragging, clicks beside the slider, the wheel and the Page keys.
// The concrete bars lay the slider out along their own axis.
static constexpr int kM2DFileID = 332;

#include "m2dgui_scrollbar_base.h"

#include <algorithm>

#include "cmorvane.h"
#include "m2dgui_cmorvanegui.h"

namespace {
// DirectInput key codes of the Page keys.
constexpr std::int32_t kKeyPageUp = 201;
constexpr std::int32_t kKeyPageDown = 209;
}  // namespace

CGUIScrollBarBase::CGUIScrollBarBase(const char* fp_pszID, bool fp_bVertical)
    : CGUITile(fp_pszID), vertical(fp_bVertical) {
  M2D_CHECKPOINT;
}

// {==== Parameters ===========================================================

void CGUIScrollBarBase::SetParam(std::int32_t fp_iID, const CGUIValue& fp_rValue) {
  M2D_CHECKPOINT;
  switch (fp_iID) {
    case GUIPARAM_COORDS:
      CGUITile::SetParam(fp_iID, fp_rValue);
      if (activeRect.width <= 0.0f || activeRect.height <= 0.0f) {
        activeRect = coords;
        activeAbs.width = activeRect.width;
        activeAbs.height = activeRect.height;
      }
      UpdateSliderLayout();
      break;
    case GUIPARAM_TEXTURE:
    case GUIPARAM_TEXTURE_NORMAL:
    case GUIPARAM_TEXTURE_DISABLED:
    case GUIPARAM_TEXTURE_SELECTED:
    case GUIPARAM_TEXTURE_PRESSED:
      TGUIStateTextures{&texNormal, &texDisabled, &texSelected, &texPressed}.Set(
          fp_iID, ValueToTextureID(fp_rValue));
      break;
    case GUIPARAM_ON_GOTFOCUS: onGotFocus.SetFromValue(fp_rValue); break;
    case GUIPARAM_ON_LOSTFOCUS: onLostFocus.SetFromValue(fp_rValue); break;
    case GUIPARAM_ACTIVERECT:
      activeRect = fp_rValue.GetRect();
      activeAbs.width = activeRect.width;
      activeAbs.height = activeRect.height;
      break;
    case GUIPARAM_MINVALUE:
      minValue = ValueToInt(fp_rValue);
      if (maxValue < minValue) maxValue = minValue;
      if (curValue < minValue) curValue = minValue;
      UpdateSliderLayout();
      break;
    case GUIPARAM_MAXVALUE:
      maxValue = std::max(ValueToInt(fp_rValue), minValue);
      if (curValue > maxValue) curValue = maxValue;
      UpdateSliderLayout();
      break;
    case GUIPARAM_CURVALUE:
      curValue = std::min(std::max(ValueToInt(fp_rValue), minValue), maxValue);
      RunOnScroll();
      UpdateSliderLayout();
      break;
    case GUIPARAM_PAGESIZE:
      pageSize = std::max<std::int32_t>(ValueToInt(fp_rValue), 1);
      UpdateSliderLayout();
      break;
    case GUIPARAM_SCROLLSPEED: scrollSpeed = ValueToInt(fp_rValue); break;
    case GUIPARAM_SLIDER:
      slider = fp_rValue.GetBool();
      UpdateSliderLayout();
      break;
    case GUIPARAM_SLIDERSIZE:
      sliderSize = ValueToInt(fp_rValue);
      UpdateSliderLayout();
      break;
    case GUIPARAM_ON_SCROLL: onScroll.SetFromValue(fp_rValue); break;
    default: CGUITile::SetParam(fp_iID, fp_rValue);
  }
}

CGUIValue CGUIScrollBarBase::GetParam(std::int32_t fp_iID) {
  M2D_CHECKPOINT;
  switch (fp_iID) {
    case GUIPARAM_TEXTURE:
    case GUIPARAM_TEXTURE_NORMAL: return CGUIValue(static_cast<float>(texNormal));
    case GUIPARAM_TEXTURE_DISABLED: return CGUIValue(static_cast<float>(texDisabled));
    case GUIPARAM_TEXTURE_SELECTED: return CGUIValue(static_cast<float>(texSelected));
    case GUIPARAM_TEXTURE_PRESSED: return CGUIValue(static_cast<float>(texPressed));
    case GUIPARAM_MINVALUE: return CGUIValue(static_cast<float>(minValue));
    case GUIPARAM_MAXVALUE: return CGUIValue(static_cast<float>(maxValue));
    case GUIPARAM_CURVALUE: return CGUIValue(static_cast<float>(curValue));
    case GUIPARAM_PAGESIZE: return CGUIValue(static_cast<float>(pageSize));
    case GUIPARAM_SCROLLSPEED: return CGUIValue(static_cast<float>(scrollSpeed));
    case GUIPARAM_SLIDER: return CGUIValue(slider);
    case GUIPARAM_SLIDERSIZE: return CGUIValue(static_cast<float>(sliderSize));
    case GUIPARAM_ACTIVERECT: return CGUIValue(activeRect);
    default: return CGUITile::GetParam(fp_iID);
  }
}

// }====

// {==== Value ================================================================

void CGUIScrollBarBase::SetValueClamped(std::int64_t fp_iValue) {
  M2D_CHECKPOINT;
  curValue = static_cast<std::int32_t>(std::clamp<std::int64_t>(fp_iValue, minValue, maxValue));
}

void CGUIScrollBarBase::MoveValue(std::int64_t fp_iDelta) {
  M2D_CHECKPOINT;
  SetValueClamped(static_cast<std::int64_t>(curValue) + fp_iDelta);
}

void CGUIScrollBarBase::RunOnScroll() {
  M2D_CHECKPOINT;
  if (onScroll.IsSet()) onScroll.Execute();
}

void CGUIScrollBarBase::ExecuteCommand(std::int32_t fp_iCommand) {
  M2D_CHECKPOINT;
  switch (fp_iCommand) {
    case GUICMD_STEP_FORWARD:
    case GUICMD_STEP_BACK:
    case GUICMD_PAGE_FORWARD:
    case GUICMD_PAGE_BACK: break;
    default: CGUITile::ExecuteCommand(fp_iCommand); return;
  }
  if (!absEnabled || !absVisible) return;
  if (fp_iCommand == GUICMD_STEP_FORWARD || fp_iCommand == GUICMD_STEP_BACK) {
    std::int64_t tmp_iStep =
        GUI_FloatToInt(static_cast<float>(scrollSpeed) * CMorvaneGUI::frameDelta);
    if (fastScroll) tmp_iStep *= 3;
    tmp_iStep = std::max<std::int64_t>(tmp_iStep, 1);
    MoveValue(fp_iCommand == GUICMD_STEP_FORWARD ? tmp_iStep : -tmp_iStep);
  } else {
    // A page is at least 1 once set (0 before): the value only moves towards
    // the limit named, and the clamp keeps it there.
    MoveValue(fp_iCommand == GUICMD_PAGE_FORWARD ? pageSize : -static_cast<std::int64_t>(pageSize));
  }
  UpdateSliderLayout();
  RunOnScroll();
}

// }====

// {==== Frame ================================================================

void CGUIScrollBarBase::WheelAndKeyStep() {
  M2D_CHECKPOINT;
  CMorvane* tmp_pEngine = GetEngine();
  ZIZAssert(tmp_pEngine);
  const std::int32_t tmp_iWheel = tmp_pEngine->INP_MouseGetWheelDelta();
  std::int32_t tmp_iCommand = 0;
  if (tmp_pEngine->INP_KeyboardIsKeyClicked(kKeyPageDown))
    tmp_iCommand = GUICMD_PAGE_FORWARD;
  else if (tmp_iWheel < 0)
    tmp_iCommand = GUICMD_STEP_FORWARD;
  else if (tmp_pEngine->INP_KeyboardIsKeyClicked(kKeyPageUp))
    tmp_iCommand = GUICMD_PAGE_BACK;
  else if (tmp_iWheel > 0)
    tmp_iCommand = GUICMD_STEP_BACK;
  if (tmp_iCommand == 0) return;
  fastScroll = tmp_iWheel != 0;
  try {
    ExecuteCommand(tmp_iCommand);
  } catch (...) {
    fastScroll = false;
    throw;
  }
  fastScroll = false;
}

void CGUIScrollBarBase::Update(const GUIRECT& fp_rParentRect, const GUIRECT& fp_rParentColor,
                               bool fp_bParentVisible, bool fp_bParentEnabled, float fp_fOffsetX,
                               float fp_fOffsetY) {
  M2D_CHECKPOINT;
  ComputeAbsolute(fp_rParentRect, fp_rParentColor, fp_bParentVisible, fp_bParentEnabled,
                  fp_fOffsetX, fp_fOffsetY);
  activeAbs.x = fp_rParentRect.x + activeRect.x - fp_fOffsetX;
  activeAbs.y = fp_rParentRect.y + activeRect.y - fp_fOffsetY;
  if (vertical) {
    sliderRect.x = absRect.x;
    sliderRect.y = absRect.y + sliderOffset;
  } else {
    sliderRect.x = absRect.x + sliderOffset;
    sliderRect.y = absRect.y;
  }
  if (minValue == maxValue) absEnabled = false;

  const GUIPOINT tmp_Mouse = GetMousePos();
  const bool tmp_bOverActive = activeAbs.Contains(tmp_Mouse);
  const bool tmp_bOverTrack = absRect.Contains(tmp_Mouse);
  const bool tmp_bOverSlider = sliderRect.Contains(tmp_Mouse);

  if (absEnabled && absVisible) {
    CMorvane* tmp_pEngine = GetEngine();
    ZIZAssert(tmp_pEngine);
    mouseOverTrack = tmp_bOverTrack;
    if (mouseOverTrack && !wasMouseOverTrack && onGotFocus.IsSet()) onGotFocus.Execute();
    if (!mouseOverTrack && wasMouseOverTrack && onLostFocus.IsSet()) onLostFocus.Execute();
    sliderHover = tmp_bOverSlider;
    wasMouseOverTrack = mouseOverTrack;

    const float tmp_fMouse = vertical ? tmp_Mouse.y : tmp_Mouse.x;
    if (tmp_pEngine->INP_MouseIsKeyClicked(1)) {
      if (tmp_bOverSlider) {
        dragging = true;
      } else if (tmp_bOverTrack) {
        if (slider) {
          // A fixed-size slider jumps to the click and is dragged from there.
          sliderOffset = tmp_fMouse - (vertical ? absRect.y : absRect.x) - sliderLength * 0.5f;
          ClampSlider();
          dragging = true;
        } else {
          ExecuteCommand(tmp_fMouse >= (vertical ? sliderRect.y : sliderRect.x)
                             ? GUICMD_PAGE_FORWARD
                             : GUICMD_PAGE_BACK);
        }
      }
    }
    if (!tmp_pEngine->INP_MouseIsKeyPressed(1)) dragging = false;
    if (dragging) {
      const std::int32_t tmp_iDelta = vertical ? tmp_pEngine->INP_MouseGetCursorDeltaY()
                                               : tmp_pEngine->INP_MouseGetCursorDeltaX();
      if (tmp_iDelta != 0) {
        sliderOffset += static_cast<float>(tmp_iDelta);
        ClampSlider();
      }
    }
    if (tmp_bOverActive) WheelAndKeyStep();
  }
  CheckTip();
}

void CGUIScrollBarBase::Draw() {
  M2D_CHECKPOINT;
  if (!absVisible) return;
  CMorvane* tmp_pEngine = GetEngine();
  ZIZAssert(tmp_pEngine);
  if (technique != -1) tmp_pEngine->GFX_TechApply(technique);
  if (texNormal != -1) {
    std::int32_t tmp_iTex = texNormal;
    if (!absEnabled)
      tmp_iTex = texDisabled;
    else if (dragging)
      tmp_iTex = texPressed;
    else if (sliderHover)
      tmp_iTex = texSelected;
    tmp_pEngine->GFX_TexSet(tmp_iTex, 0);
  }
  tmp_pEngine->GFX_VQuadSetColor(absColor.x, absColor.y, absColor.width, absColor.height);
  DrawScheme(sliderRect);
}

// }====
