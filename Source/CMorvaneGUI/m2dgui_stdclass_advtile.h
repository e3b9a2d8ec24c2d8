// The active tile "advtile": a tile with actions for the mouse entering and
// leaving it, a left click on it and a hot key pressed anywhere.
#pragma once

#include <cstdint>

#include "m2dgui_stdclass_tile.h"

class CGUIAdvTile : public CGUITile {
 public:
  explicit CGUIAdvTile(const char* fp_pszID);

  // 13 to 16 the actions, 17 "hotkey"; the rest to "tile".
  void SetParam(std::int32_t fp_iID, const CGUIValue& fp_rValue) override;
  CGUIValue GetParam(std::int32_t fp_iID) override;
  // ComputeAbsolute, CheckTip, the input step while enabled and visible,
  // UpdateChildren.
  void Update(const GUIRECT& fp_rParentRect, const GUIRECT& fp_rParentColor,
              bool fp_bParentVisible, bool fp_bParentEnabled, float fp_fOffsetX,
              float fp_fOffsetY) override;

  CGUIAction onGotFocus;
  CGUIAction onLostFocus;
  CGUIAction onClick;
  CGUIAction onHotkey;
  // Key code, 0 = none.
  std::uint8_t hotkey = 0;
  bool mouseOver = false;
  bool wasMouseOver = false;
};
