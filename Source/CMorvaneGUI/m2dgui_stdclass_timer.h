// The "timer" class: runs actions on time while it and its ancestors are
// enabled: one every frame, one with the progress of a fixed period, and one
// after random delays in steps of 0.1 s.
#pragma once

#include <cstdint>

#include "m2dgui_cguielement.h"

class CGUITimer : public CGUIElement {
 public:
  explicit CGUITimer(const char* fp_pszID);

  // 116 to 122; the rest to the base.
  void SetParam(std::int32_t fp_iID, const CGUIValue& fp_rValue) override;
  CGUIValue GetParam(std::int32_t fp_iID) override;
  // 13 restarts the period and the random delay; the rest to the base.
  void ExecuteCommand(std::int32_t fp_iCommand) override;
  // Only the parent's enabled state matters; nothing is drawn.
  void Update(const GUIRECT& fp_rParentRect, const GUIRECT& fp_rParentColor,
              bool fp_bParentVisible, bool fp_bParentEnabled, float fp_fOffsetX,
              float fp_fOffsetY) override;

  // randomElapsed = 0 and a new target: randomMin plus a multiple of 0.1 s
  // below randomMax - randomMin.
  void NewRandomDelay();

  float factorTime = 1.0f;
  bool factorLooped = false;
  float randomMin = 0.0f;
  float randomMax = 0.1f;
  CGUIAction onPermanent;
  CGUIAction onFactor;
  CGUIAction onRandom;
  float factorElapsed = 0.0f;
  float randomElapsed = 0.0f;
  float randomTarget = 0.1f;
};
