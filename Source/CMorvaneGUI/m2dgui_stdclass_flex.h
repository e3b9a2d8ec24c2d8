// The "flex" class: a place in the tree where game code or a script draws by
// itself. It reports its absolute state to "on_update" every frame and calls
// "on_redraw" at its own place in the drawing order.
#pragma once

#include <cstdint>

#include "m2dgui_cguielement.h"

class CGUIFlex : public CGUIElement {
 public:
  explicit CGUIFlex(const char* fp_pszID);

  // 114 "on_update", 115 "on_redraw"; the rest to the base.
  void SetParam(std::int32_t fp_iID, const CGUIValue& fp_rValue) override;
  // ComputeAbsolute, then "on_update" with the absolute rectangle, colour,
  // visibility and enabled state, whatever they are. No children, no tip.
  void Update(const GUIRECT& fp_rParentRect, const GUIRECT& fp_rParentColor,
              bool fp_bParentVisible, bool fp_bParentEnabled, float fp_fOffsetX,
              float fp_fOffsetY) override;
  // "on_redraw" when visible.
  void Draw() override;

  CGUIAction onUpdate;
  CGUIAction onRedraw;
};
