// The "horscroll" class, the horizontal bar: the slider moves right as the value grows.
// The slider's length shows the page against the whole range; its offset
// along the track shows the value.
static constexpr int kM2DFileID = 336;

#include <cmath>

#include "cmorvane.h"
#include "m2dgui_scrollbar_base.h"
#include "m2dgui_stdclasses.h"

CGUIHorScroll::CGUIHorScroll(const char* fp_pszID) : CGUIScrollBarBase(fp_pszID, false) {
  M2D_CHECKPOINT;
}

void CGUIHorScroll::UpdateSliderLayout() {
  M2D_CHECKPOINT;
  // In double: the difference of two 32-bit limits does not fit 32 bits.
  const double tmp_dRange = static_cast<double>(maxValue) - static_cast<double>(minValue);
  if (slider)
    sliderLength = static_cast<float>(sliderSize);
  else if (tmp_dRange + pageSize < 1.0)
    sliderLength = coords.height;
  else
    sliderLength =
        static_cast<float>(std::floor((1.0 - tmp_dRange / (tmp_dRange + pageSize)) * coords.width));
  if (sliderLength < coords.height) sliderLength = coords.height;
  if (sliderLength > coords.width) sliderLength = coords.width;
  const double tmp_dFraction =
      tmp_dRange > 0.0 ? (static_cast<double>(curValue) - minValue) / tmp_dRange : 0.0;
  sliderOffset = static_cast<float>(tmp_dFraction * (coords.width - sliderLength));
  sliderRect.x = absRect.x + sliderOffset;
  sliderRect.y = absRect.y;
  sliderRect.width = sliderLength;
  sliderRect.height = coords.height;
}

void CGUIHorScroll::ValueFromSlider() {
  M2D_CHECKPOINT;
  const float tmp_fSpan = coords.width - sliderLength;
  if (tmp_fSpan > 0.0f) {
    const double tmp_dRange = static_cast<double>(maxValue) - static_cast<double>(minValue);
    const double tmp_dSteps = static_cast<double>(sliderOffset) / tmp_fSpan * tmp_dRange + 0.5;
    // Truncated toward zero and kept within the limits; NaN counts as 0.
    double tmp_dValue =
        static_cast<double>(minValue) + (tmp_dSteps == tmp_dSteps ? std::trunc(tmp_dSteps) : 0.0);
    if (!(tmp_dValue >= minValue)) tmp_dValue = minValue;
    if (tmp_dValue > maxValue) tmp_dValue = maxValue;
    curValue = static_cast<std::int32_t>(tmp_dValue);
  } else {
    curValue = minValue;
  }
}

void CGUIHorScroll::ClampSlider() {
  M2D_CHECKPOINT;
  const float tmp_fSpan = coords.width - sliderLength;
  if (sliderOffset > tmp_fSpan) sliderOffset = tmp_fSpan;
  // Also for a track shorter than the slider, and for NaN.
  if (!(sliderOffset >= 0.0f)) sliderOffset = 0.0f;
  ValueFromSlider();
  RunOnScroll();
}

CGUIElement* M2DGUI_CreateHorScroll(const char* fp_pszID) {
  M2D_CHECKPOINT;
  return new CGUIHorScroll(fp_pszID);
}
