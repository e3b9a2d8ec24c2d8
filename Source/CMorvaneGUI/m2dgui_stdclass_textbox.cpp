// The "textbox" class: a label that takes the keyboard while it is enabled
// (its enabled flag is the focus). A click on it focuses it, a click
// elsewhere, the right button or Enter unfocuses it; typed characters are
// appended up to maxChars, Backspace deletes, and a caret character blinks.
static constexpr int kM2DFileID = 326;

#include <cmath>

#include "cmorvane.h"
#include "m2dgui_cmorvanegui.h"
#include "m2dgui_stdclass_label.h"
#include "m2dgui_stdclasses.h"

namespace {
constexpr std::int32_t kKeyBackspace = 14;
constexpr std::int32_t kKeyEnter = 28;
}  // namespace

CGUITextBox::CGUITextBox(const char* fp_pszID) : CGUILabel(fp_pszID) { M2D_CHECKPOINT; }

void CGUITextBox::SetShownText(bool fp_bWithCaret) {
  M2D_CHECKPOINT;
  // Assignments into strings that keep their capacity: the caret's blinking
  // allocates nothing once both texts have reached their length.
  shownText = text;
  if (fp_bWithCaret) shownText += blinkChar;
  drawnText = shownText;
}

void CGUITextBox::SetParam(std::int32_t fp_iID, const CGUIValue& fp_rValue) {
  M2D_CHECKPOINT;
  switch (fp_iID) {
    case GUIPARAM_COORDS: {
      const GUIRECT& tmp_rRect = fp_rValue.GetRect();
      if (activeRect.width <= 0.0f || activeRect.height <= 0.0f) {
        activeRect = tmp_rRect;
        activeAbs.width = activeRect.width;
        activeAbs.height = activeRect.height;
      }
      CGUILabel::SetParam(fp_iID, fp_rValue);
      break;
    }
    case GUIPARAM_TEXT: {
      text = fp_rValue.GetString();
      const size_t tmp_uMax = maxChars > 0 ? static_cast<size_t>(maxChars) : 0u;
      if (text.size() > tmp_uMax) text.resize(tmp_uMax);
      SetShownText(false);
      RecomputeTextWidth();
      break;
    }
    case GUIPARAM_ACTIVERECT:
      activeRect = fp_rValue.GetRect();
      activeAbs.width = activeRect.width;
      activeAbs.height = activeRect.height;
      break;
    case GUIPARAM_ON_INPUT: onInput.SetFromValue(fp_rValue); break;
    case GUIPARAM_ON_ENABLE: onEnable.SetFromValue(fp_rValue); break;
    case GUIPARAM_ON_DISABLE: onDisable.SetFromValue(fp_rValue); break;
    case GUIPARAM_BLINK_TIME:
      blinkTime = fp_rValue.GetFloat();
      if (!(blinkTime > 0.0f)) blinkTime = 0.1f;
      blinkTimer = 0.0f;
      caretOn = false;
      SetShownText(false);
      break;
    case GUIPARAM_BLINK_CHAR:
      blinkChar = fp_rValue.GetString();
      break;
    case GUIPARAM_MAXCHARS:
      maxChars = ValueToInt(fp_rValue);
      break;
    case GUIPARAM_LANGUAGE:
      language = ValueToInt(fp_rValue);
      if (language != 1 && language != 2) language = 1;
      break;
    case GUIPARAM_SOUND_INPUT:
      soundInput = ValueToSoundID(fp_rValue);
      break;
    default:
      CGUILabel::SetParam(fp_iID, fp_rValue);
  }
}

CGUIValue CGUITextBox::GetParam(std::int32_t fp_iID) {
  M2D_CHECKPOINT;
  switch (fp_iID) {
    case GUIPARAM_ACTIVERECT: return CGUIValue(activeRect);
    case GUIPARAM_BLINK_TIME: return CGUIValue(blinkTime);
    case GUIPARAM_BLINK_CHAR: return CGUIValue(blinkChar);
    case GUIPARAM_MAXCHARS: return CGUIValue(static_cast<float>(maxChars));
    case GUIPARAM_LANGUAGE: return CGUIValue(static_cast<float>(language));
    case GUIPARAM_SOUND_INPUT: return CGUIValue(static_cast<float>(soundInput));
    default: return CGUILabel::GetParam(fp_iID);
  }
}

void CGUITextBox::ExecuteCommand(std::int32_t fp_iCommand) {
  M2D_CHECKPOINT;
  switch (fp_iCommand) {
    case GUICMD_ENABLE:
      if (onEnable.IsSet()) onEnable.Execute();
      enabled = true;
      absEnabled = true;
      caretOn = false;
      // The caret comes on in the next update.
      blinkTimer = blinkTime;
      break;
    case GUICMD_DISABLE:
      if (onDisable.IsSet()) onDisable.Execute();
      enabled = false;
      absEnabled = false;
      caretOn = false;
      blinkTimer = 0.0f;
      SetShownText(false);
      break;
    default:
      CGUILabel::ExecuteCommand(fp_iCommand);
  }
}

void CGUITextBox::Update(const GUIRECT& fp_rParentRect, const GUIRECT& fp_rParentColor,
                         bool fp_bParentVisible, bool fp_bParentEnabled, float fp_fOffsetX,
                         float fp_fOffsetY) {
  M2D_CHECKPOINT;
  CMorvane* tmp_pEngine = GetEngine();
  ZIZAssert(tmp_pEngine);
  ComputeAbsolute(fp_rParentRect, fp_rParentColor, fp_bParentVisible, fp_bParentEnabled,
                  fp_fOffsetX, fp_fOffsetY);
  absAlpha = fp_rParentColor.height * fontAlpha;
  activeAbs.x = fp_rParentRect.x + activeRect.x - fp_fOffsetX;
  activeAbs.y = fp_rParentRect.y + activeRect.y - fp_fOffsetY;
  const bool tmp_bOver = activeAbs.Contains(GetMousePos());

  if (fp_bParentEnabled) {
    if (!absVisible) return;
    if (tmp_pEngine->INP_MouseIsKeyClicked(1)) ExecuteCommand(tmp_bOver ? GUICMD_ENABLE : GUICMD_DISABLE);
    if (tmp_pEngine->INP_MouseIsKeyClicked(2) || tmp_pEngine->INP_KeyboardIsKeyClicked(kKeyEnter))
      ExecuteCommand(GUICMD_DISABLE);
  }
  if (!absVisible) return;

  if (absEnabled) {
    // Both languages read the keyboard's one character table.
    bool tmp_bChanged = false;
    const char tmp_cTyped = tmp_pEngine->INP_KeyboardGetTypedChar();
    if (tmp_cTyped != 0 && maxChars > 0 && text.size() < static_cast<size_t>(maxChars)) {
      text.push_back(tmp_cTyped);
      tmp_bChanged = true;
    }
    if (tmp_pEngine->INP_KeyboardIsKeyClicked(kKeyBackspace)) {
      if (!text.empty()) text.pop_back();
      tmp_bChanged = true;
    }
    if (tmp_bChanged) {
      PlayGUISound(soundInput);
      if (onInput.IsSet()) onInput.Execute();
      RecomputeTextWidth();
      // The new text shows without the caret until the caret's next change.
      SetShownText(false);
    }
    blinkTimer += CMorvaneGUI::frameDelta;
    if (blinkTimer >= blinkTime) {
      blinkTimer = std::fmod(blinkTimer, blinkTime);
      caretOn = !caretOn;
      SetShownText(caretOn);
    }
  }
  if (tip != -1 && tmp_bOver) {
    CMorvaneGUI* tmp_pGUI = GetGUI();
    ZIZAssert(tmp_pGUI);
    tmp_pGUI->SetCurTip(tip);
  }
}

CGUIElement* M2DGUI_CreateTextBox(const char* fp_pszID) {
  M2D_CHECKPOINT;
  return new CGUITextBox(fp_pszID);
}
