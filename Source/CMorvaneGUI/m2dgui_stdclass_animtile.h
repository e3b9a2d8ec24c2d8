// The "animtile" class: a tile that plays a list of texture frames over a
// cycle while its colour, position, scale and rotation follow three-point
// curves; it loops, holds its last frame, or plays once and hides itself.
#pragma once

#include <cstdint>
#include <vector>

#include "m2dgui_stdclass_tile.h"

class CGUIAnimTile : public CGUITile {
 public:
  explicit CGUIAnimTile(const char* fp_pszID);

  // 31 to 45 with 19 and 22 (the middle colour and location); the rest to
  // the tile.
  void SetParam(std::int32_t fp_iID, const CGUIValue& fp_rValue) override;
  CGUIValue GetParam(std::int32_t fp_iID) override;
  // 3 enable (ends a one-shot run), 5 play once, 6 play once unless a
  // one-shot run is going; the rest to the tile.
  void ExecuteCommand(std::int32_t fp_iCommand) override;
  // Advances the cycle while enabled and places the tile on its curves.
  void Update(const GUIRECT& fp_rParentRect, const GUIRECT& fp_rParentColor,
              bool fp_bParentVisible, bool fp_bParentEnabled, float fp_fOffsetX,
              float fp_fOffsetY) override;
  // The current frame; scheme 1 scaled and rotated about the centre.
  void Draw() override;

  GUIRECT colorBegin{1.0f, 1.0f, 1.0f, 0.0f};
  GUIRECT colorMiddle{1.0f, 1.0f, 1.0f, 0.5f};
  GUIRECT colorEnd{1.0f, 1.0f, 1.0f, 1.0f};
  GUIPOINT locationBegin;
  GUIPOINT locationMiddle;
  GUIPOINT locationEnd;
  // Pivot of scaling and rotation, relative to the current position.
  GUIPOINT locationCenter;
  float scaleBegin = 1.0f;
  float scaleMiddle = 1.0f;
  float scaleEnd = 1.0f;
  float angleBegin = 0.0f;
  float angleMiddle = 0.0f;
  float angleEnd = 0.0f;
  // Texture integer IDs, in playing order.
  std::vector<std::int32_t> frames;
  float cycleTime = 0.1f;
  bool looped = false;
  bool noParentEnabled = true;
  bool playOnce = false;

  float animTimer = 0.0f;
  float phase = 0.0f;
  GUIPOINT centerAbs;
  float scale = 1.0f;
  float angle = 0.0f;
  // Always inside the frame list when it is not empty.
  std::int32_t frameIndex = 0;
};
