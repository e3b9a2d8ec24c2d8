// The element class "advtile": a tile that runs actions when the mouse
// enters or leaves it, when it is clicked with the left button and when its
// hot key goes down.
static constexpr int kM2DFileID = 318;

#include "cmorvane.h"
#include "m2dgui_stdclass_advtile.h"
#include "m2dgui_stdclasses.h"

CGUIAdvTile::CGUIAdvTile(const char* fp_pszID) : CGUITile(fp_pszID) { M2D_CHECKPOINT; }

void CGUIAdvTile::SetParam(std::int32_t fp_iID, const CGUIValue& fp_rValue) {
  M2D_CHECKPOINT;
  switch (fp_iID) {
    case GUIPARAM_ON_GOTFOCUS: onGotFocus.SetFromValue(fp_rValue); break;
    case GUIPARAM_ON_LOSTFOCUS: onLostFocus.SetFromValue(fp_rValue); break;
    case GUIPARAM_ON_CLICK: onClick.SetFromValue(fp_rValue); break;
    case GUIPARAM_ON_HOTKEY: onHotkey.SetFromValue(fp_rValue); break;
    case GUIPARAM_HOTKEY:
      // A key name (unknown names give 0, no hot key) or the code itself;
      // only the low eight bits are kept.
      if (fp_rValue.GetType() == GUIVALUE_STRING)
        hotkey = CMorvane::INP_KeyNameToCode(fp_rValue.GetString().c_str());
      else
        hotkey = static_cast<std::uint8_t>(static_cast<std::uint32_t>(ValueToInt(fp_rValue)) & 0xFFu);
      break;
    default: CGUITile::SetParam(fp_iID, fp_rValue);
  }
}

CGUIValue CGUIAdvTile::GetParam(std::int32_t fp_iID) {
  M2D_CHECKPOINT;
  if (fp_iID == GUIPARAM_HOTKEY) return CGUIValue(static_cast<float>(hotkey));
  return CGUITile::GetParam(fp_iID);
}

void CGUIAdvTile::Update(const GUIRECT& fp_rParentRect, const GUIRECT& fp_rParentColor,
                         bool fp_bParentVisible, bool fp_bParentEnabled, float fp_fOffsetX,
                         float fp_fOffsetY) {
  M2D_CHECKPOINT;
  ComputeAbsolute(fp_rParentRect, fp_rParentColor, fp_bParentVisible, fp_bParentEnabled,
                  fp_fOffsetX, fp_fOffsetY);
  CheckTip();
  // Hidden or disabled, nothing runs and wasMouseOver keeps its value: an
  // element enabled under the mouse sees no enter event.
  if (absEnabled && absVisible) {
    CMorvane* tmp_pEngine = GetEngine();
    ZIZAssert(tmp_pEngine);
    mouseOver = IsMouseOver();
    if (mouseOver && !wasMouseOver && onGotFocus.IsSet()) onGotFocus.Execute();
    if (!mouseOver && wasMouseOver && onLostFocus.IsSet()) onLostFocus.Execute();
    wasMouseOver = mouseOver;
    if (onClick.IsSet() && mouseOver && tmp_pEngine->INP_MouseIsKeyClicked(1)) onClick.Execute();
    if (onHotkey.IsSet() && hotkey != 0 && tmp_pEngine->INP_KeyboardIsKeyClicked(hotkey))
      onHotkey.Execute();
  }
  UpdateChildren();
}

CGUIElement* M2DGUI_CreateAdvTile(const char* fp_pszID) {
  M2D_CHECKPOINT;
  return new CGUIAdvTile(fp_pszID);
}
