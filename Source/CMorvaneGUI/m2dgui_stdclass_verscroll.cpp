// The "verscroll" class, the vertical bar: the slider moves down as the value grows.
// The slider's length shows the page against the whole range; its offset
// along the track shows the value.
static constexpr int kM2DFileID = 334;

#include <cmath>

#include "cmorvane.h"
#include "m2dgui_scrollbar_base.h"
#include "m2dgui_stdclasses.h"

CGUIVerScroll::CGUIVerScroll(const char* fp_pszID) : CGUIScrollBarBase(fp_pszID, true) {
  M2D_CHECKPOINT;
}

void CGUIVerScroll::UpdateSliderLayout() {
  M2D_CHECKPOINT;
  // In double: the difference of two 32-bit limits does not fit 32 bits.
  const double tmp_dRange = static_cast<double>(maxValue) - static_cast<double>(minValue);
  if (slider)
    sliderLength = static_cast<float>(sliderSize);
  else if (tmp_dRange + pageSize < 1.0)
    sliderLength = coords.width;
  else
    sliderLength = static_cast<float>(
        std::floor((1.0 - tmp_dRange / (tmp_dRange + pageSize)) * coords.height));
  if (sliderLength < coords.width) sliderLength = coords.width;
  if (sliderLength > coords.height) sliderLength = coords.height;
  const double tmp_dFraction =
      tmp_dRange > 0.0 ? (static_cast<double>(curValue) - minValue) / tmp_dRange : 0.0;
  sliderOffset = static_cast<float>(tmp_dFraction * (coords.height - sliderLength));
  sliderRect.y = absRect.y + sliderOffset;
  sliderRect.x = absRect.x;
  sliderRect.height = sliderLength;
  sliderRect.width = coords.width;
}

void CGUIVerScroll::ValueFromSlider() {
  M2D_CHECKPOINT;
  const float tmp_fSpan = coords.height - sliderLength;
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

void CGUIVerScroll::ClampSlider() {
  M2D_CHECKPOINT;
  const float tmp_fSpan = coords.height - sliderLength;
  if (sliderOffset > tmp_fSpan) sliderOffset = tmp_fSpan;
  // Also for a track shorter than the slider, and for NaN.
  if (!(sliderOffset >= 0.0f)) sliderOffset = 0.0f;
  ValueFromSlider();
  RunOnScroll();
}

CGUIElement* M2DGUI_CreateVerScroll(const char* fp_pszID) {
  M2D_CHECKPOINT;
  return new CGUIVerScroll(fp_pszID);
}
