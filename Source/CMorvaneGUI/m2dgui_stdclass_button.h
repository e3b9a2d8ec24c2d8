// The element class "button": an active tile with a four-state look
// (normal, selected, pressed, disabled), child colours per state, a hit
// rectangle of its own, event sounds and press, hold, enable and disable
// actions.
#pragma once

#include <cstdint>

#include "m2dgui_stdclass_advtile.h"

// Button states (`state`, `prevState`).
enum : std::int32_t {
  GUIBUTTON_NORMAL = 1,
  GUIBUTTON_SELECTED = 2,
  GUIBUTTON_PRESSED = 3,
};

class CGUIButton : public CGUIAdvTile {
 public:
  explicit CGUIButton(const char* fp_pszID);

  void SetParam(std::int32_t fp_iID, const CGUIValue& fp_rValue) override;
  CGUIValue GetParam(std::int32_t fp_iID) override;
  // 3 and 4 run "on_enable" / "on_disable" on a change; others to the base.
  void ExecuteCommand(std::int32_t fp_iCommand) override;
  void Update(const GUIRECT& fp_rParentRect, const GUIRECT& fp_rParentColor,
              bool fp_bParentVisible, bool fp_bParentEnabled, float fp_fOffsetX,
              float fp_fOffsetY) override;
  void Draw() override;

  // Plays a sound of this element (no loop, its own frequency, volume and
  // pan) when the ID is set and the element is enabled.
  void PlayElementSound(std::int32_t fp_iSoundID) const;

  std::int32_t texNormal = -1;
  std::int32_t texDisabled = -1;
  std::int32_t texSelected = -1;
  std::int32_t texPressed = -1;
  GUIRECT childsColorNormal{1.0f, 1.0f, 1.0f, 1.0f};
  GUIRECT childsColorDisabled{1.0f, 1.0f, 1.0f, 1.0f};
  GUIRECT childsColorSelected{1.0f, 1.0f, 1.0f, 1.0f};
  GUIRECT childsColorPressed{1.0f, 1.0f, 1.0f, 1.0f};
  CGUIAction onPress;
  CGUIAction onHold;
  CGUIAction onEnable;
  CGUIAction onDisable;
  std::int32_t soundPress = -1;
  std::int32_t soundClick = -1;
  std::int32_t soundHotkey = -1;
  std::int32_t soundGotFocus = -1;
  std::int32_t soundLostFocus = -1;
  // In the parent's coordinates, like coords: what reacts to the mouse.
  GUIRECT activeRect;
  float holdStart = 0.0f;
  float holdInterval = 0.0f;
  std::int32_t state = GUIBUTTON_NORMAL;
  std::int32_t prevState = GUIBUTTON_NORMAL;
  float holdTimer = 0.0f;
  bool holdRepeat = false;
  // The left button went down over the button and is still held.
  bool pressedFlag = false;
  GUIRECT activeAbs;
  GUIRECT childrenColor{1.0f, 1.0f, 1.0f, 1.0f};

 protected:
  // What the check box changes in the button's behaviour.
  // True when the mouse step is skipped this frame.
  virtual bool IgnoresMouse() const { return false; }
  // The events of one frame, after the state is known.
  virtual void RunEvents();
  // The child colour of the current state (the disabled one when not enabled).
  virtual const GUIRECT& StateChildsColor() const;
  // The texture of the current state (the disabled one when not enabled).
  virtual std::int32_t StateTexture() const;

  // The events both classes share.
  void EventClick();
  void EventGotFocus();
  void EventLostFocus();
  void EventHotkey();
  // Released over the button after a press on it.
  bool IsReleaseOver() const {
    return state == GUIBUTTON_SELECTED && prevState == GUIBUTTON_PRESSED && !pressedFlag;
  }
};
