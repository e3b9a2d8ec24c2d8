// The "scrollbox" class: clips its children to its rectangle and shifts them
// by a scroll offset; children lying entirely outside are updated hidden and
// disabled, so they neither draw nor take input.
#pragma once

#include <cstdint>

#include "m2dgui_cguielement.h"

class CGUIScrollBox : public CGUIElement {
 public:
  explicit CGUIScrollBox(const char* fp_pszID);

  void SetParam(std::int32_t fp_iID, const CGUIValue& fp_rValue) override;
  CGUIValue GetParam(std::int32_t fp_iID) override;
  void Update(const GUIRECT& fp_rParentRect, const GUIRECT& fp_rParentColor, bool fp_bParentVisible,
              bool fp_bParentEnabled, float fp_fOffsetX, float fp_fOffsetY) override;
  void Draw() override;

  float scrollX = 0.0f;
  float scrollY = 0.0f;
};
