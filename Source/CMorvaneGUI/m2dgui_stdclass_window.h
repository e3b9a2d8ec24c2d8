// The "window" class, the container of a screen: shown and hidden by
// commands, sliding between three locations and blending between three
// colours on the way; it draws only its children. Also the three-point
// curve that windows and animated tiles follow.
#pragma once

#include <cstdint>

#include "m2dgui_cguielement.h"

// {==== Three-point curve =====================================================
// a (1 - t)^2 + 2 m t (1 - t) + b t^2: begins at a, ends at b, bends towards
// m (reached only when m lies halfway). Points and colours component-wise.
inline float GUI_Curve(float fp_fA, float fp_fM, float fp_fB, float fp_fT) {
  const float tmp_fU = 1.0f - fp_fT;
  return fp_fA * tmp_fU * tmp_fU + 2.0f * fp_fM * fp_fT * tmp_fU + fp_fB * fp_fT * fp_fT;
}
inline GUIPOINT GUI_Curve(const GUIPOINT& fp_rA, const GUIPOINT& fp_rM, const GUIPOINT& fp_rB,
                          float fp_fT) {
  return GUIPOINT{GUI_Curve(fp_rA.x, fp_rM.x, fp_rB.x, fp_fT),
                  GUI_Curve(fp_rA.y, fp_rM.y, fp_rB.y, fp_fT)};
}
inline GUIRECT GUI_Curve(const GUIRECT& fp_rA, const GUIRECT& fp_rM, const GUIRECT& fp_rB,
                         float fp_fT) {
  return GUIRECT{GUI_Curve(fp_rA.x, fp_rM.x, fp_rB.x, fp_fT),
                 GUI_Curve(fp_rA.y, fp_rM.y, fp_rB.y, fp_fT),
                 GUI_Curve(fp_rA.width, fp_rM.width, fp_rB.width, fp_fT),
                 GUI_Curve(fp_rA.height, fp_rM.height, fp_rB.height, fp_fT)};
}
// }====

// Window states.
enum : std::int32_t {
  GUIWINDOW_HIDDEN = 1,
  GUIWINDOW_SHOWING = 2,
  GUIWINDOW_HIDING = 3,
  GUIWINDOW_SHOWN = 4,
};

class CGUIWindow : public CGUIElement {
 public:
  explicit CGUIWindow(const char* fp_pszID);

  // 18 to 30 (colours, locations, time, actions, sounds); the rest to the base.
  void SetParam(std::int32_t fp_iID, const CGUIValue& fp_rValue) override;
  CGUIValue GetParam(std::int32_t fp_iID) override;
  // 1 show, 2 hide (sound and action only on a real change of direction),
  // 3 enable, 4 disable (each with its action); the rest to the base.
  void ExecuteCommand(std::int32_t fp_iCommand) override;
  // Advances the show/hide animation and places the window on its curve;
  // no input reaches the children while it moves.
  void Update(const GUIRECT& fp_rParentRect, const GUIRECT& fp_rParentColor,
              bool fp_bParentVisible, bool fp_bParentEnabled, float fp_fOffsetX,
              float fp_fOffsetY) override;
  // The children, unless hidden.
  void Draw() override;

  GUIRECT colorHidden{1.0f, 1.0f, 1.0f, 0.0f};
  GUIRECT colorMiddle{1.0f, 1.0f, 1.0f, 0.5f};
  GUIRECT colorShown{1.0f, 1.0f, 1.0f, 1.0f};
  GUIPOINT locationHidden;
  GUIPOINT locationMiddle;
  GUIPOINT locationShown;
  float timeShowHide = 0.001f;
  CGUIAction onHide;
  CGUIAction onShow;
  CGUIAction onEnable;
  CGUIAction onDisable;
  std::int32_t soundHide = -1;
  std::int32_t soundShow = -1;
  float animTime = 0.0f;
  std::int32_t windowState = GUIWINDOW_HIDDEN;
};
