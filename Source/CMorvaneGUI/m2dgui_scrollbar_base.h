// The scroll bars: the common base (an integer value between a minimum and a
// maximum, shown as a slider that is dragged, paged by clicks beside it and
// stepped by the wheel and the Page keys) and the classes "horscroll" and
// "verscroll", which lay the slider out along their own axis.
#pragma once

#include <cstdint>

#include "m2dgui_stdclass_tile.h"

class CGUIScrollBarBase : public CGUITile {
 public:
  CGUIScrollBarBase(const char* fp_pszID, bool fp_bVertical);

  void SetParam(std::int32_t fp_iID, const CGUIValue& fp_rValue) override;
  CGUIValue GetParam(std::int32_t fp_iID) override;
  // 9 step forward, 10 step back, 11 page forward, 12 page back (only while
  // enabled and visible); the others go to the tile.
  void ExecuteCommand(std::int32_t fp_iCommand) override;
  void Update(const GUIRECT& fp_rParentRect, const GUIRECT& fp_rParentColor, bool fp_bParentVisible,
              bool fp_bParentEnabled, float fp_fOffsetX, float fp_fOffsetY) override;
  // Only the slider, in the texture of its state; no children.
  void Draw() override;

  // {==== Slider layout (the concrete bars supply these) =====================
  // Slider length, offset and rectangle from the value.
  virtual void UpdateSliderLayout() {}
  // The value from the slider's offset.
  virtual void ValueFromSlider() {}
  // Offset kept on the track, the value from it, then "on_scroll".
  virtual void ClampSlider() {}
  // }====

  std::int32_t minValue = 0;
  std::int32_t maxValue = 0;
  std::int32_t curValue = 0;
  std::int32_t pageSize = 0;
  // Values per second when stepping.
  std::int32_t scrollSpeed = 100;
  // Fixed-size slider mode, with sliderSize as its length.
  bool slider = false;
  std::int32_t sliderSize = 0;
  std::int32_t texNormal = -1;
  std::int32_t texDisabled = -1;
  std::int32_t texSelected = -1;
  std::int32_t texPressed = -1;
  CGUIAction onScroll;
  CGUIAction onGotFocus;
  CGUIAction onLostFocus;
  // The area that takes the wheel and the Page keys, in the parent's
  // coordinates, and its absolute place.
  GUIRECT activeRect;
  GUIRECT activeAbs;

  float sliderLength = 0.0f;
  // Distance of the slider from the start of the track.
  float sliderOffset = 0.0f;
  // Absolute.
  GUIRECT sliderRect;
  bool dragging = false;
  bool sliderHover = false;
  bool mouseOverTrack = false;
  bool wasMouseOverTrack = false;
  // The wheel's steps are three times as long.
  bool fastScroll = false;

 protected:
  // The value moved by a (saturated) amount and kept within the limits.
  void MoveValue(std::int64_t fp_iDelta);
  // The value kept within the limits, from a wide computation.
  void SetValueClamped(std::int64_t fp_iValue);
  void RunOnScroll();
  void WheelAndKeyStep();

  // The axis along which the slider moves.
  const bool vertical;
};

class CGUIHorScroll : public CGUIScrollBarBase {
 public:
  explicit CGUIHorScroll(const char* fp_pszID);
  void UpdateSliderLayout() override;
  void ValueFromSlider() override;
  void ClampSlider() override;
};

class CGUIVerScroll : public CGUIScrollBarBase {
 public:
  explicit CGUIVerScroll(const char* fp_pszID);
  void UpdateSliderLayout() override;
  void ValueFromSlider() override;
  void ClampSlider() override;
};
