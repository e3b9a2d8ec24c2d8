// The root class "desktop": the element "DESKTOP" at position 0 of the
// manager's list, covering the whole screen, visible and enabled; it passes
// its own state to its children whatever it is handed.
static constexpr int kM2DFileID = 310;

#include "cmorvane.h"
#include "m2dgui_cguielement.h"
#include "m2dgui_cmorvanegui.h"
#include "m2dgui_stdclasses.h"

CGUIDesktop::CGUIDesktop(const char* fp_pszID) : CGUIElement(fp_pszID) {
  M2D_CHECKPOINT;
  color = GUIRECT{1.0f, 1.0f, 1.0f, 1.0f};
  coords = GUIRECT{0.0f, 0.0f, static_cast<float>(CMorvaneGUI::screenWidth),
                   static_cast<float>(CMorvaneGUI::screenHeight)};
  absRect = coords;
  absColor = color;
  visible = true;
  enabled = true;
}

void CGUIDesktop::Update(const GUIRECT&, const GUIRECT&, bool, bool, float, float) {
  M2D_CHECKPOINT;
  absColor = color;
  absRect = coords;
  absVisible = visible;
  absEnabled = enabled;
  UpdateChildren();
}

void CGUIDesktop::Draw() {
  M2D_CHECKPOINT;
  DrawChildren();
}

CGUIElement* M2DGUI_CreateDesktop(const char* fp_pszID) {
  M2D_CHECKPOINT;
  return new CGUIDesktop(fp_pszID);
}
