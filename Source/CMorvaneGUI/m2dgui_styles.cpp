// GUI styles: a list of parameter values kept in the order of the style file
// and set on an element through the manager, so a later value for the same
// parameter overrides an earlier one.
static constexpr int kM2DFileID = 349;

#include "cmorvane.h"
#include "m2dgui_cmorvanegui.h"
#include "m2dgui_datatypes.h"

void CGUIStyle::AddParam(std::int32_t fp_iID, const CGUIValue& fp_rValue) {
  M2D_CHECKPOINT;
  values.push_back(fp_rValue);
  paramIDs.push_back(fp_iID);
}

void CGUIStyle::ApplyTo(int fp_iElementID) const {
  M2D_CHECKPOINT;
  if (values.empty()) {
    CMorvane::LogAddEntry("Warning: an empty GUI style!", LOG_KIND_FAILED);
    return;
  }
  CMorvaneGUI* tmp_pGUI = GetGUI();
  ZIZAssert(tmp_pGUI);
  for (size_t i = 0; i < values.size(); ++i)
    tmp_pGUI->SetElementParam(fp_iElementID, paramIDs[i], values[i]);
}
