// The tooltip element "tip": a tile that follows the cursor at an offset,
// flips to stay on screen and fades in when the manager shows it.
#pragma once

#include <cstdint>

#include "m2dgui_stdclass_tile.h"

class CGUITip : public CGUITile {
 public:
  explicit CGUITip(const char* fp_pszID);

  // Stores the parent only: the tree never updates or draws a tip, the
  // manager does while it is the current tip.
  void SetParent(CGUIElement* fp_pParent) override;
  // 12 "tipappeartime", 26 "on_show"; the rest to "tile".
  void SetParam(std::int32_t fp_iID, const CGUIValue& fp_rValue) override;
  CGUIValue GetParam(std::int32_t fp_iID) override;
  // 1 (show) restarts the fade-in and runs "on_show" before the base handling.
  void ExecuteCommand(std::int32_t fp_iCommand) override;
  // Fade, placement at the cursor; the arguments are ignored.
  void Update(const GUIRECT& fp_rParentRect, const GUIRECT& fp_rParentColor,
              bool fp_bParentVisible, bool fp_bParentEnabled, float fp_fOffsetX,
              float fp_fOffsetY) override;

  // Seconds of the fade-in.
  float appearTime = 0.3f;
  CGUIAction onShow;
  // Seconds left in the fade-in.
  float fadeTimer = 0.3f;
};
