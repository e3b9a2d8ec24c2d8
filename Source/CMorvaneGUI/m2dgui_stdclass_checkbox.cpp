// The element class "checkbox": a button toggled on release, with its own
// textures and child colours while checked, check and uncheck actions and
// sounds, and the radio mode that ignores the mouse once checked.
static constexpr int kM2DFileID = 330;

#include "cmorvane.h"
#include "m2dgui_cmorvanegui.h"
#include "m2dgui_stdclass_checkbox.h"
#include "m2dgui_stdclasses.h"

CGUICheckBox::CGUICheckBox(const char* fp_pszID) : CGUIButton(fp_pszID) { M2D_CHECKPOINT; }

void CGUICheckBox::SetParam(std::int32_t fp_iID, const CGUIValue& fp_rValue) {
  M2D_CHECKPOINT;
  switch (fp_iID) {
    // Setting the state directly runs no action.
    case GUIPARAM_CHECKED: checked = fp_rValue.GetBool(); break;
    case GUIPARAM_RADIOBUTTON: radiobutton = fp_rValue.GetBool(); break;
    case GUIPARAM_TEXTURE_CHECKED_NORMAL: texCheckedNormal = ValueToTextureID(fp_rValue); break;
    case GUIPARAM_TEXTURE_CHECKED_DISABLED:
      texCheckedDisabled = ValueToTextureID(fp_rValue);
      break;
    case GUIPARAM_TEXTURE_CHECKED_SELECTED:
      texCheckedSelected = ValueToTextureID(fp_rValue);
      break;
    case GUIPARAM_TEXTURE_CHECKED_PRESSED: texCheckedPressed = ValueToTextureID(fp_rValue); break;
    case GUIPARAM_CHILDSCOLOR_CHECKED_NORMAL: childsColorCheckedNormal = fp_rValue.GetRect(); break;
    case GUIPARAM_CHILDSCOLOR_CHECKED_DISABLED:
      childsColorCheckedDisabled = fp_rValue.GetRect();
      break;
    case GUIPARAM_CHILDSCOLOR_CHECKED_SELECTED:
      childsColorCheckedSelected = fp_rValue.GetRect();
      break;
    case GUIPARAM_CHILDSCOLOR_CHECKED_PRESSED:
      childsColorCheckedPressed = fp_rValue.GetRect();
      break;
    case GUIPARAM_ON_CHECK: onCheck.SetFromValue(fp_rValue); break;
    case GUIPARAM_ON_UNCHECK: onUncheck.SetFromValue(fp_rValue); break;
    case GUIPARAM_SOUND_CHECK: soundCheck = ValueToSoundID(fp_rValue); break;
    case GUIPARAM_SOUND_UNCHECK: soundUncheck = ValueToSoundID(fp_rValue); break;
    default: CGUIButton::SetParam(fp_iID, fp_rValue);
  }
}

CGUIValue CGUICheckBox::GetParam(std::int32_t fp_iID) {
  M2D_CHECKPOINT;
  switch (fp_iID) {
    case GUIPARAM_CHECKED: return CGUIValue(checked);
    case GUIPARAM_RADIOBUTTON: return CGUIValue(radiobutton);
    case GUIPARAM_TEXTURE_CHECKED_NORMAL: return CGUIValue(static_cast<float>(texCheckedNormal));
    case GUIPARAM_TEXTURE_CHECKED_DISABLED:
      return CGUIValue(static_cast<float>(texCheckedDisabled));
    case GUIPARAM_TEXTURE_CHECKED_SELECTED:
      return CGUIValue(static_cast<float>(texCheckedSelected));
    case GUIPARAM_TEXTURE_CHECKED_PRESSED: return CGUIValue(static_cast<float>(texCheckedPressed));
    case GUIPARAM_CHILDSCOLOR_CHECKED_NORMAL: return CGUIValue(childsColorCheckedNormal);
    case GUIPARAM_CHILDSCOLOR_CHECKED_DISABLED: return CGUIValue(childsColorCheckedDisabled);
    case GUIPARAM_CHILDSCOLOR_CHECKED_SELECTED: return CGUIValue(childsColorCheckedSelected);
    case GUIPARAM_CHILDSCOLOR_CHECKED_PRESSED: return CGUIValue(childsColorCheckedPressed);
    case GUIPARAM_SOUND_CHECK: return CGUIValue(static_cast<float>(soundCheck));
    case GUIPARAM_SOUND_UNCHECK: return CGUIValue(static_cast<float>(soundUncheck));
    default: return CGUIButton::GetParam(fp_iID);
  }
}

void CGUICheckBox::ExecuteCommand(std::int32_t fp_iCommand) {
  M2D_CHECKPOINT;
  switch (fp_iCommand) {
    case GUICMD_CHECK:
      if (!checked) {
        onCheck.ExecuteWithArgs({CGUIValue(static_cast<float>(tag))});
        PlayElementSound(soundCheck);
      }
      checked = true;
      break;
    case GUICMD_UNCHECK:
      if (checked) {
        onUncheck.ExecuteWithArgs({CGUIValue(static_cast<float>(tag))});
        PlayElementSound(soundUncheck);
      }
      checked = false;
      break;
    default: CGUIButton::ExecuteCommand(fp_iCommand);
  }
}

void CGUICheckBox::RunEvents() {
  M2D_CHECKPOINT;
  EventClick();
  EventGotFocus();
  EventLostFocus();
  EventHotkey();
  // Toggle on release over the box; no press or hold events.
  if (IsReleaseOver()) ExecuteCommand(checked ? GUICMD_UNCHECK : GUICMD_CHECK);
}

const GUIRECT& CGUICheckBox::StateChildsColor() const {
  M2D_CHECKPOINT;
  if (!checked) return CGUIButton::StateChildsColor();
  if (!absEnabled) return childsColorCheckedDisabled;
  if (state == GUIBUTTON_SELECTED) return childsColorCheckedSelected;
  if (state == GUIBUTTON_PRESSED) return childsColorCheckedPressed;
  return childsColorCheckedNormal;
}

std::int32_t CGUICheckBox::StateTexture() const {
  M2D_CHECKPOINT;
  if (!checked) return CGUIButton::StateTexture();
  if (!absEnabled) return texCheckedDisabled;
  if (state == GUIBUTTON_SELECTED) return texCheckedSelected;
  if (state == GUIBUTTON_PRESSED) return texCheckedPressed;
  return texCheckedNormal;
}

CGUIElement* M2DGUI_CreateCheckBox(const char* fp_pszID) {
  M2D_CHECKPOINT;
  return new CGUICheckBox(fp_pszID);
}
