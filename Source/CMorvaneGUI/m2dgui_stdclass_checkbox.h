// The element class "checkbox": a button that toggles a checked state when
// released over it, with textures and child colours for the checked state;
// as a radio button it stops reacting to the mouse once checked.
#pragma once

#include <cstdint>

#include "m2dgui_stdclass_button.h"

class CGUICheckBox : public CGUIButton {
 public:
  explicit CGUICheckBox(const char* fp_pszID);

  void SetParam(std::int32_t fp_iID, const CGUIValue& fp_rValue) override;
  CGUIValue GetParam(std::int32_t fp_iID) override;
  // 7 check, 8 uncheck; others to "button".
  void ExecuteCommand(std::int32_t fp_iCommand) override;

  bool checked = false;
  bool radiobutton = false;
  std::int32_t texCheckedNormal = -1;
  std::int32_t texCheckedDisabled = -1;
  std::int32_t texCheckedSelected = -1;
  std::int32_t texCheckedPressed = -1;
  GUIRECT childsColorCheckedNormal{1.0f, 1.0f, 1.0f, 1.0f};
  GUIRECT childsColorCheckedDisabled{1.0f, 1.0f, 1.0f, 1.0f};
  GUIRECT childsColorCheckedSelected{1.0f, 1.0f, 1.0f, 1.0f};
  GUIRECT childsColorCheckedPressed{1.0f, 1.0f, 1.0f, 1.0f};
  CGUIAction onCheck;
  CGUIAction onUncheck;
  std::int32_t soundCheck = -1;
  std::int32_t soundUncheck = -1;

 protected:
  bool IgnoresMouse() const override { return checked && radiobutton; }
  void RunEvents() override;
  const GUIRECT& StateChildsColor() const override;
  std::int32_t StateTexture() const override;
};
