// The textured rectangle "tile", the base of most visible element classes:
// texture, technique and colour over the absolute rectangle, drawn with one
// of eight schemes (whole, three slices, nine slices, frame, nothing).
#pragma once

#include <cstdint>

#include "m2dgui_cguielement.h"

// The drawing scheme numbers ("drawscheme").
enum : std::int32_t {
  GUITILE_SCHEME_WHOLE = 1,          // texcoords over the whole rectangle
  GUITILE_SCHEME_HORZ3 = 2,          // left border, stretched middle, right border
  GUITILE_SCHEME_VERT3 = 3,          // top border, stretched middle, bottom border
  GUITILE_SCHEME_NINE = 4,           // corners, edges and centre
  GUITILE_SCHEME_FRAME = 5,          // nine slices without the centre
  GUITILE_SCHEME_NONE = 6,           // nothing of the tile (children still drawn)
  GUITILE_SCHEME_HORZ3_MIDDLE = 7,   // three horizontal slices of the middle band
  GUITILE_SCHEME_VERT3_MIDDLE = 8,   // three vertical slices of the middle column
};

class CGUITile : public CGUIElement {
 public:
  explicit CGUITile(const char* fp_pszID);

  // 9 "drawscheme", 10 "drawparams", 11 "texcoords"; the rest to the base.
  void SetParam(std::int32_t fp_iID, const CGUIValue& fp_rValue) override;
  CGUIValue GetParam(std::int32_t fp_iID) override;
  // ComputeAbsolute, CheckTip, UpdateChildren.
  void Update(const GUIRECT& fp_rParentRect, const GUIRECT& fp_rParentColor,
              bool fp_bParentVisible, bool fp_bParentEnabled, float fp_fOffsetX,
              float fp_fOffsetY) override;
  // Technique, texture (when set), colour, the scheme over absRect, children.
  void Draw() override;

  // Draws the pieces of drawscheme over a rectangle with the texture and
  // colour already selected: per piece texture coordinates (set 1), position
  // (depth 0.5) and a render call. An unknown scheme throws (type Game)
  // "Invalid drawing scheme. Scheme ID = <n> Element ID = <id>".
  void DrawScheme(const GUIRECT& fp_rRect);

  std::int32_t drawscheme = GUITILE_SCHEME_WHOLE;
  float textureWidth = 64.0f;
  float textureHeight = 64.0f;
  float borderX = 16.0f;
  float borderY = 16.0f;
  // uLeft, vTop, uRight, vBottom for scheme 1.
  GUIRECT texcoords{0.0f, 0.0f, 1.0f, 1.0f};
  // The borders as fractions of the texture, from "drawparams".
  float borderU = 0.25f;
  float borderV = 0.25f;
};
