// The "listbox" class: a virtual list of cells (a count, a cell height and a
// vertical scroll position) that tracks the cell under the mouse and the
// clicked cell, steps through the cells with the arrow keys and has each
// visible cell drawn by its "on_redrawcell" action inside its rectangle.
#pragma once

#include <cstdint>

#include "m2dgui_cguielement.h"

class CGUIListBox : public CGUIElement {
 public:
  explicit CGUIListBox(const char* fp_pszID);

  void SetParam(std::int32_t fp_iID, const CGUIValue& fp_rValue) override;
  CGUIValue GetParam(std::int32_t fp_iID) override;
  void Update(const GUIRECT& fp_rParentRect, const GUIRECT& fp_rParentColor, bool fp_bParentVisible,
              bool fp_bParentEnabled, float fp_fOffsetX, float fp_fOffsetY) override;
  void Draw() override;

  // The cell under the mouse: a cell outside the list becomes -1; a change
  // runs "on_selectcell" and plays the select sound for a real cell.
  void SelectCell(std::int32_t fp_iCell);
  // The clicked cell: out of range becomes -1; "on_checkcell" runs even when
  // the cell did not change; a real cell plays the check sound.
  void CheckCell(std::int32_t fp_iCell);

  float cellHeight = 1.0f;
  std::int32_t cellsCount = 0;
  std::int32_t selectedCell = -1;
  std::int32_t checkedCell = -1;
  float scrollY = 0.0f;
  CGUIAction onSelectCell;
  CGUIAction onCheckCell;
  CGUIAction onRedrawCell;
  CGUIAction onPrepareFrame;
  CGUIAction onScrollShift;
  std::int32_t soundSelectCell = -1;
  std::int32_t soundCheckCell = -1;
  // Arrow-key navigation through the cells.
  bool scrollEnabled = false;

 private:
  // Up / Down move the checked cell (only once a cell is checked) and keep it
  // in view, reporting the new scroll position through "on_scrollshift".
  void KeyboardStep();
  void PlayCellSound(std::int32_t fp_iSoundID) const;
};
