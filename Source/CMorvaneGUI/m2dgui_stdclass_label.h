// The text classes: "label" draws one line of a bitmap font aligned inside
// its rectangle, optionally clipped to it; "textbox" is a label the player
// types into (focus by click, maximum length, Backspace, blinking caret).
#pragma once

#include <cstdint>
#include <string>

#include "m2dgui_cguielement.h"

// Text alignment inside the label's rectangle ("alignment").
enum : std::int32_t {
  GUILABEL_ALIGN_LEFT = 1,
  GUILABEL_ALIGN_CENTER = 2,
  GUILABEL_ALIGN_RIGHT = 3,
};

class CGUILabel : public CGUIElement {
 public:
  explicit CGUILabel(const char* fp_pszID);

  // 46 to 55 (font, its colour, alpha, technique, scale and spacing, text,
  // alignment, viewport clipping); the rest to the base.
  void SetParam(std::int32_t fp_iID, const CGUIValue& fp_rValue) override;
  CGUIValue GetParam(std::int32_t fp_iID) override;
  // ComputeAbsolute, the text's alpha, the tip; the children are not updated.
  void Update(const GUIRECT& fp_rParentRect, const GUIRECT& fp_rParentColor,
              bool fp_bParentVisible, bool fp_bParentEnabled, float fp_fOffsetX,
              float fp_fOffsetY) override;
  // drawnText at the aligned position; no texture, no children.
  void Draw() override;

  // textWidth for the current text, font, scale and spacing (0 when left
  // aligned or without a font: the width is only needed to align).
  void RecomputeTextWidth();

  std::int32_t font = -1;
  // Palette entry of the font (0 to 9); any other number keeps the quad's
  // colour, the element's absolute colour.
  std::int32_t fontColor = -1;
  float fontAlpha = 1.0f;
  bool fontSetDefaultTechnique = true;
  float fontScale = 1.0f;
  float fontShiftX = 0.0f;
  float fontShiftY = 0.0f;
  std::string text;
  std::int32_t alignment = GUILABEL_ALIGN_LEFT;
  bool limitViewport = false;
  float textWidth = 0.0f;
  // What Draw writes: the text, or for a text box the text with or without
  // its caret.
  std::string drawnText;
  float absAlpha = 1.0f;
};

class CGUITextBox : public CGUILabel {
 public:
  explicit CGUITextBox(const char* fp_pszID);

  // 2 (also the active rectangle while it has no size), 53 (cut to
  // maxChars), 56 to 62, 27 and 28; the rest to the label.
  void SetParam(std::int32_t fp_iID, const CGUIValue& fp_rValue) override;
  CGUIValue GetParam(std::int32_t fp_iID) override;
  // 3 focuses, 4 unfocuses (each runs its action every time); the rest to
  // the label.
  void ExecuteCommand(std::int32_t fp_iCommand) override;
  // Focus by the mouse and Enter, typing, Backspace, the caret, the tip.
  void Update(const GUIRECT& fp_rParentRect, const GUIRECT& fp_rParentColor,
              bool fp_bParentVisible, bool fp_bParentEnabled, float fp_fOffsetX,
              float fp_fOffsetY) override;

  // shownText and drawnText = the text, plus the caret character when on.
  void SetShownText(bool fp_bWithCaret);

  GUIRECT activeRect;
  GUIRECT activeAbs;
  float blinkTime = 0.4f;
  std::string blinkChar = "_";
  std::int32_t maxChars = 100;
  CGUIAction onEnable;
  CGUIAction onDisable;
  CGUIAction onInput;
  std::int32_t soundInput = -1;
  // 1 or 2; both take the keyboard's typed character.
  std::int32_t language = 1;
  std::string shownText;
  float blinkTimer = 0.0f;
  bool caretOn = false;
};
