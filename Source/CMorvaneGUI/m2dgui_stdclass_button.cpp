// The element class "button": state from the mouse over its active
// rectangle each frame, events on the transitions between frames (press on
// release, hold repeat, click, enter, leave, hot key), state textures and
// child colours.
static constexpr int kM2DFileID = 328;

#include "cmorvane.h"
#include "m2dgui_cmorvanegui.h"
#include "m2dgui_stdclass_button.h"
#include "m2dgui_stdclasses.h"

CGUIButton::CGUIButton(const char* fp_pszID) : CGUIAdvTile(fp_pszID) { M2D_CHECKPOINT; }

// {==== Parameters and commands ==============================================

void CGUIButton::SetParam(std::int32_t fp_iID, const CGUIValue& fp_rValue) {
  M2D_CHECKPOINT;
  switch (fp_iID) {
    case GUIPARAM_COORDS:
      CGUIAdvTile::SetParam(fp_iID, fp_rValue);
      // Without an active rectangle of its own the button reacts to its
      // coordinates as first set with a size.
      if (activeRect.width <= 0.0f || activeRect.height <= 0.0f) {
        activeRect = coords;
        activeAbs.width = activeRect.width;
        activeAbs.height = activeRect.height;
      }
      break;
    case GUIPARAM_TEXTURE:
    case GUIPARAM_TEXTURE_NORMAL:
    case GUIPARAM_TEXTURE_DISABLED:
    case GUIPARAM_TEXTURE_SELECTED:
    case GUIPARAM_TEXTURE_PRESSED:
      TGUIStateTextures{&texNormal, &texDisabled, &texSelected, &texPressed}.Set(
          fp_iID, ValueToTextureID(fp_rValue));
      break;
    case GUIPARAM_CHILDSCOLOR_NORMAL: childsColorNormal = fp_rValue.GetRect(); break;
    case GUIPARAM_CHILDSCOLOR_DISABLED: childsColorDisabled = fp_rValue.GetRect(); break;
    case GUIPARAM_CHILDSCOLOR_SELECTED: childsColorSelected = fp_rValue.GetRect(); break;
    case GUIPARAM_CHILDSCOLOR_PRESSED: childsColorPressed = fp_rValue.GetRect(); break;
    case GUIPARAM_ON_ENABLE: onEnable.SetFromValue(fp_rValue); break;
    case GUIPARAM_ON_DISABLE: onDisable.SetFromValue(fp_rValue); break;
    case GUIPARAM_ON_PRESS: onPress.SetFromValue(fp_rValue); break;
    case GUIPARAM_ON_HOLD: onHold.SetFromValue(fp_rValue); break;
    case GUIPARAM_SOUND_PRESS: soundPress = ValueToSoundID(fp_rValue); break;
    case GUIPARAM_SOUND_CLICK: soundClick = ValueToSoundID(fp_rValue); break;
    case GUIPARAM_SOUND_GOTFOCUS: soundGotFocus = ValueToSoundID(fp_rValue); break;
    case GUIPARAM_SOUND_LOSTFOCUS: soundLostFocus = ValueToSoundID(fp_rValue); break;
    case GUIPARAM_SOUND_HOTKEY: soundHotkey = ValueToSoundID(fp_rValue); break;
    case GUIPARAM_ACTIVERECT:
      activeRect = fp_rValue.GetRect();
      activeAbs.width = activeRect.width;
      activeAbs.height = activeRect.height;
      break;
    case GUIPARAM_HOLDTIME_START:
      holdStart = fp_rValue.GetFloat();
      holdTimer = 0.0f;
      holdRepeat = false;
      break;
    case GUIPARAM_HOLDTIME_INTERVAL:
      holdInterval = fp_rValue.GetFloat();
      holdTimer = 0.0f;
      holdRepeat = false;
      break;
    default: CGUIAdvTile::SetParam(fp_iID, fp_rValue);
  }
}

CGUIValue CGUIButton::GetParam(std::int32_t fp_iID) {
  M2D_CHECKPOINT;
  switch (fp_iID) {
    case GUIPARAM_TEXTURE:
    case GUIPARAM_TEXTURE_NORMAL: return CGUIValue(static_cast<float>(texNormal));
    case GUIPARAM_TEXTURE_DISABLED: return CGUIValue(static_cast<float>(texDisabled));
    case GUIPARAM_TEXTURE_SELECTED: return CGUIValue(static_cast<float>(texSelected));
    case GUIPARAM_TEXTURE_PRESSED: return CGUIValue(static_cast<float>(texPressed));
    case GUIPARAM_CHILDSCOLOR_NORMAL: return CGUIValue(childsColorNormal);
    case GUIPARAM_CHILDSCOLOR_DISABLED: return CGUIValue(childsColorDisabled);
    case GUIPARAM_CHILDSCOLOR_SELECTED: return CGUIValue(childsColorSelected);
    case GUIPARAM_CHILDSCOLOR_PRESSED: return CGUIValue(childsColorPressed);
    case GUIPARAM_SOUND_PRESS: return CGUIValue(static_cast<float>(soundPress));
    case GUIPARAM_SOUND_CLICK: return CGUIValue(static_cast<float>(soundClick));
    case GUIPARAM_SOUND_GOTFOCUS: return CGUIValue(static_cast<float>(soundGotFocus));
    case GUIPARAM_SOUND_LOSTFOCUS: return CGUIValue(static_cast<float>(soundLostFocus));
    case GUIPARAM_SOUND_HOTKEY: return CGUIValue(static_cast<float>(soundHotkey));
    case GUIPARAM_ACTIVERECT: return CGUIValue(activeRect);
    case GUIPARAM_HOLDTIME_START: return CGUIValue(holdStart);
    case GUIPARAM_HOLDTIME_INTERVAL: return CGUIValue(holdInterval);
    default: return CGUIAdvTile::GetParam(fp_iID);
  }
}

void CGUIButton::ExecuteCommand(std::int32_t fp_iCommand) {
  M2D_CHECKPOINT;
  switch (fp_iCommand) {
    case GUICMD_ENABLE:
      if (!enabled && onEnable.IsSet()) onEnable.Execute();
      enabled = true;
      break;
    case GUICMD_DISABLE:
      if (enabled && onDisable.IsSet()) onDisable.Execute();
      enabled = false;
      break;
    default: CGUIAdvTile::ExecuteCommand(fp_iCommand);
  }
}

// }====

// {==== Update and events ====================================================

void CGUIButton::PlayElementSound(std::int32_t fp_iSoundID) const {
  M2D_CHECKPOINT;
  if (fp_iSoundID != -1 && absEnabled) PlayGUISound(fp_iSoundID);
}

void CGUIButton::Update(const GUIRECT& fp_rParentRect, const GUIRECT& fp_rParentColor,
                        bool fp_bParentVisible, bool fp_bParentEnabled, float fp_fOffsetX,
                        float fp_fOffsetY) {
  M2D_CHECKPOINT;
  ComputeAbsolute(fp_rParentRect, fp_rParentColor, fp_bParentVisible, fp_bParentEnabled,
                  fp_fOffsetX, fp_fOffsetY);
  activeAbs.x = fp_rParentRect.x + activeRect.x - fp_fOffsetX;
  activeAbs.y = fp_rParentRect.y + activeRect.y - fp_fOffsetY;

  state = GUIBUTTON_NORMAL;
  const bool tmp_bOver = activeAbs.Contains(GetMousePos());

  if (absEnabled && !IgnoresMouse()) {
    // Hidden, it neither reacts nor recolours its children.
    if (!absVisible) {
      UpdateChildrenWithColor(childrenColor);
      return;
    }
    CMorvane* tmp_pEngine = GetEngine();
    ZIZAssert(tmp_pEngine);
    if (tmp_bOver && tmp_pEngine->INP_MouseIsKeyClicked(1)) pressedFlag = true;
    if (!tmp_pEngine->INP_MouseIsKeyPressed(1)) pressedFlag = false;
    if (tmp_bOver)
      state = pressedFlag ? GUIBUTTON_PRESSED : GUIBUTTON_SELECTED;
    else if (pressedFlag)
      state = GUIBUTTON_SELECTED;
    RunEvents();
    prevState = state;
  }

  if (absVisible) {
    childrenColor = GUI_MultiplyColor(absColor, StateChildsColor());
    if (tip != -1 && tmp_bOver) {
      CMorvaneGUI* tmp_pGUI = GetGUI();
      ZIZAssert(tmp_pGUI);
      tmp_pGUI->SetCurTip(tip);
    }
  }
  UpdateChildrenWithColor(childrenColor);
}

void CGUIButton::EventClick() {
  M2D_CHECKPOINT;
  if (state == GUIBUTTON_PRESSED && prevState != GUIBUTTON_PRESSED) {
    PlayElementSound(soundClick);
    if (onClick.IsSet()) onClick.Execute();
  }
}

void CGUIButton::EventGotFocus() {
  M2D_CHECKPOINT;
  if (state != GUIBUTTON_NORMAL && prevState == GUIBUTTON_NORMAL) {
    PlayElementSound(soundGotFocus);
    if (onGotFocus.IsSet()) onGotFocus.Execute();
  }
}

void CGUIButton::EventLostFocus() {
  M2D_CHECKPOINT;
  if (state == GUIBUTTON_NORMAL && prevState != GUIBUTTON_NORMAL) {
    PlayElementSound(soundLostFocus);
    if (onLostFocus.IsSet()) onLostFocus.Execute();
  }
}

void CGUIButton::EventHotkey() {
  M2D_CHECKPOINT;
  CMorvane* tmp_pEngine = GetEngine();
  ZIZAssert(tmp_pEngine);
  if (hotkey != 0 && tmp_pEngine->INP_KeyboardIsKeyClicked(hotkey)) {
    PlayElementSound(soundHotkey);
    if (onHotkey.IsSet()) onHotkey.Execute();
  }
}

void CGUIButton::RunEvents() {
  M2D_CHECKPOINT;
  // Press: released over the button it was pressed on.
  if (IsReleaseOver()) {
    PlayElementSound(soundPress);
    if (onPress.IsSet()) onPress.Execute();
  }
  // Hold: a first wait of holdStart, then one action every holdInterval.
  if (onHold.IsSet()) {
    if (state != GUIBUTTON_PRESSED) {
      holdTimer = 0.0f;
      holdRepeat = false;
    } else if (!holdRepeat) {
      holdTimer += CMorvaneGUI::frameDelta;
      if (holdTimer >= holdStart) {
        holdTimer = 0.0f;
        holdRepeat = true;
      }
    } else {
      holdTimer += CMorvaneGUI::frameDelta;
      if (holdTimer >= holdInterval) {
        holdTimer = 0.0f;
        onHold.Execute();
      }
    }
  }
  EventClick();
  EventGotFocus();
  EventLostFocus();
  EventHotkey();
}

const GUIRECT& CGUIButton::StateChildsColor() const {
  M2D_CHECKPOINT;
  if (!absEnabled) return childsColorDisabled;
  if (state == GUIBUTTON_SELECTED) return childsColorSelected;
  if (state == GUIBUTTON_PRESSED) return childsColorPressed;
  return childsColorNormal;
}

// }====

// {==== Drawing ==============================================================

std::int32_t CGUIButton::StateTexture() const {
  M2D_CHECKPOINT;
  if (!absEnabled) return texDisabled;
  if (state == GUIBUTTON_SELECTED) return texSelected;
  if (state == GUIBUTTON_PRESSED) return texPressed;
  return texNormal;
}

void CGUIButton::Draw() {
  M2D_CHECKPOINT;
  if (!absVisible) return;
  CMorvane* tmp_pEngine = GetEngine();
  ZIZAssert(tmp_pEngine);
  if (technique != -1) tmp_pEngine->GFX_TechApply(technique);
  // Without a normal texture the stage keeps what was selected last.
  if (texNormal != -1) tmp_pEngine->GFX_TexSet(StateTexture(), 0);
  tmp_pEngine->GFX_VQuadSetColor(absColor.x, absColor.y, absColor.width, absColor.height);
  DrawScheme(absRect);
  DrawChildren();
}

// }====

CGUIElement* M2DGUI_CreateButton(const char* fp_pszID) {
  M2D_CHECKPOINT;
  return new CGUIButton(fp_pszID);
}
