// The "timer" class: a permanent action every frame, a factor action with
// the elapsed part of a period (once or looped), a random action after
// delays drawn from the runtime's standard generator.
static constexpr int kM2DFileID = 344;

#include <cstdlib>

#include "cmorvane.h"
#include "m2dgui_cmorvanegui.h"
#include "m2dgui_stdclass_timer.h"
#include "m2dgui_stdclasses.h"

CGUITimer::CGUITimer(const char* fp_pszID) : CGUIElement(fp_pszID) { M2D_CHECKPOINT; }

void CGUITimer::NewRandomDelay() {
  M2D_CHECKPOINT;
  randomElapsed = 0.0f;
  const std::int32_t tmp_iSteps = GUI_FloatToInt((randomMax - randomMin) * 10.0f);
  const std::int32_t tmp_iK = tmp_iSteps > 0 ? std::rand() % tmp_iSteps : 0;
  randomTarget = static_cast<float>(tmp_iK) * 0.1f + randomMin;
}

void CGUITimer::SetParam(std::int32_t fp_iID, const CGUIValue& fp_rValue) {
  M2D_CHECKPOINT;
  switch (fp_iID) {
    case GUIPARAM_FACTORACTION_TIME: factorTime = fp_rValue.GetFloat(); break;
    case GUIPARAM_FACTORACTION_LOOPED: factorLooped = fp_rValue.GetBool(); break;
    case GUIPARAM_RANDOMACTION_MINTIME:
      randomMin = fp_rValue.GetFloat();
      if (randomMin < 0.0f) randomMin = 0.0f;
      if (randomMin >= randomMax) randomMax += 1.0f;
      NewRandomDelay();
      break;
    case GUIPARAM_RANDOMACTION_MAXTIME:
      randomMax = fp_rValue.GetFloat();
      if (!(randomMax > randomMin)) randomMax = randomMin + 1.0f;
      NewRandomDelay();
      break;
    case GUIPARAM_ON_PERMANENTACTION: onPermanent.SetFromValue(fp_rValue); break;
    case GUIPARAM_ON_FACTORACTION: onFactor.SetFromValue(fp_rValue); break;
    case GUIPARAM_ON_RANDOMACTION: onRandom.SetFromValue(fp_rValue); break;
    default: CGUIElement::SetParam(fp_iID, fp_rValue);
  }
}

CGUIValue CGUITimer::GetParam(std::int32_t fp_iID) {
  M2D_CHECKPOINT;
  switch (fp_iID) {
    case GUIPARAM_FACTORACTION_TIME: return CGUIValue(factorTime);
    case GUIPARAM_FACTORACTION_LOOPED: return CGUIValue(factorLooped);
    case GUIPARAM_RANDOMACTION_MINTIME: return CGUIValue(randomMin);
    case GUIPARAM_RANDOMACTION_MAXTIME: return CGUIValue(randomMax);
    default: return CGUIElement::GetParam(fp_iID);
  }
}

void CGUITimer::ExecuteCommand(std::int32_t fp_iCommand) {
  M2D_CHECKPOINT;
  if (fp_iCommand == GUICMD_RESTART) {
    factorElapsed = 0.0f;
    NewRandomDelay();
    return;
  }
  CGUIElement::ExecuteCommand(fp_iCommand);
}

void CGUITimer::Update(const GUIRECT&, const GUIRECT&, bool, bool fp_bParentEnabled, float,
                       float) {
  M2D_CHECKPOINT;
  absEnabled = enabled && fp_bParentEnabled;
  if (!absEnabled) return;
  if (onPermanent.IsSet()) onPermanent.Execute();

  const float tmp_fDelta = CMorvaneGUI::frameDelta;
  factorElapsed += tmp_fDelta;
  bool tmp_bReport = true;
  if (factorElapsed >= factorTime) {
    if (factorLooped) {
      factorElapsed = 0.0f;
    } else {
      factorElapsed = factorTime;
      tmp_bReport = false;
    }
  }
  if (tmp_bReport) {
    // A period of 0 or less (or NaN) has nothing to divide by: it is always
    // complete.
    const float tmp_fFactor = factorTime > 0.0f ? factorElapsed / factorTime : 1.0f;
    const CGUIValue tmp_Arg(tmp_fFactor);
    onFactor.ExecuteWithArgs(&tmp_Arg, 1);
  }

  randomElapsed += tmp_fDelta;
  if (randomElapsed >= randomTarget) {
    if (onRandom.IsSet()) onRandom.Execute();
    NewRandomDelay();
  }
}

CGUIElement* M2DGUI_CreateTimer(const char* fp_pszID) {
  M2D_CHECKPOINT;
  return new CGUITimer(fp_pszID);
}
