// The "listbox" class: selection under the mouse, the checked cell by click
// or arrow keys, the scroll limit, and drawing the visible cells through the
// "on_redrawcell" action inside the box's viewport.
static constexpr int kM2DFileID = 338;

#include "m2dgui_stdclass_listbox.h"

#include <algorithm>

#include "cmorvane.h"
#include "m2dgui_cmorvanegui.h"
#include "m2dgui_stdclasses.h"

namespace {
// DirectInput key codes of the arrow keys.
constexpr std::int32_t kKeyUp = 200;
constexpr std::int32_t kKeyDown = 208;
}  // namespace

CGUIListBox::CGUIListBox(const char* fp_pszID) : CGUIElement(fp_pszID) {
  M2D_CHECKPOINT;
  color = GUIRECT{1.0f, 1.0f, 1.0f, 1.0f};
  absColor = color;
}

// {==== Parameters ===========================================================

void CGUIListBox::SetParam(std::int32_t fp_iID, const CGUIValue& fp_rValue) {
  M2D_CHECKPOINT;
  switch (fp_iID) {
    case GUIPARAM_CELLHEIGHT: {
      const float tmp_fHeight = fp_rValue.GetFloat();
      // NaN counts as below 1: every cell computation divides by the height.
      cellHeight = tmp_fHeight >= 1.0f ? tmp_fHeight : 1.0f;
      break;
    }
    case GUIPARAM_CELLSCOUNT:
      cellsCount = std::max<std::int32_t>(ValueToInt(fp_rValue), 0);
      if (selectedCell >= cellsCount) selectedCell = -1;
      if (checkedCell >= cellsCount) checkedCell = -1;
      break;
    case GUIPARAM_SELECTEDCELL: SelectCell(ValueToInt(fp_rValue)); break;
    case GUIPARAM_CHECKEDCELL: CheckCell(ValueToInt(fp_rValue)); break;
    case GUIPARAM_SCROLLY: {
      float tmp_fScroll = fp_rValue.GetFloat();
      const float tmp_fLimit = static_cast<float>(cellsCount) * cellHeight - coords.height;
      if (tmp_fScroll > tmp_fLimit) tmp_fScroll = tmp_fLimit;
      // NaN becomes 0 too.
      if (!(tmp_fScroll >= 0.0f)) tmp_fScroll = 0.0f;
      scrollY = tmp_fScroll;
      break;
    }
    case GUIPARAM_ON_SELECTCELL: onSelectCell.SetFromValue(fp_rValue); break;
    case GUIPARAM_ON_CHECKCELL: onCheckCell.SetFromValue(fp_rValue); break;
    case GUIPARAM_ON_REDRAWCELL: onRedrawCell.SetFromValue(fp_rValue); break;
    case GUIPARAM_ON_PREPAREFRAME: onPrepareFrame.SetFromValue(fp_rValue); break;
    case GUIPARAM_SOUND_SELECTCELL: soundSelectCell = ValueToSoundID(fp_rValue); break;
    case GUIPARAM_SOUND_CHECKCELL: soundCheckCell = ValueToSoundID(fp_rValue); break;
    case GUIPARAM_ON_SCROLLSHIFT: onScrollShift.SetFromValue(fp_rValue); break;
    case GUIPARAM_SCROLL_ENABLED: scrollEnabled = fp_rValue.GetBool(); break;
    default: CGUIElement::SetParam(fp_iID, fp_rValue);
  }
}

CGUIValue CGUIListBox::GetParam(std::int32_t fp_iID) {
  M2D_CHECKPOINT;
  switch (fp_iID) {
    case GUIPARAM_CELLHEIGHT: return CGUIValue(cellHeight);
    case GUIPARAM_CELLSCOUNT: return CGUIValue(static_cast<float>(cellsCount));
    case GUIPARAM_SELECTEDCELL: return CGUIValue(static_cast<float>(selectedCell));
    case GUIPARAM_CHECKEDCELL: return CGUIValue(static_cast<float>(checkedCell));
    case GUIPARAM_SCROLLY: return CGUIValue(scrollY);
    case GUIPARAM_SOUND_SELECTCELL: return CGUIValue(static_cast<float>(soundSelectCell));
    case GUIPARAM_SOUND_CHECKCELL: return CGUIValue(static_cast<float>(soundCheckCell));
    case GUIPARAM_SCROLL_ENABLED: return CGUIValue(scrollEnabled);
    default: return CGUIElement::GetParam(fp_iID);
  }
}

// }====

// {==== Cells ================================================================

void CGUIListBox::PlayCellSound(std::int32_t fp_iSoundID) const {
  M2D_CHECKPOINT;
  if (fp_iSoundID != -1 && absEnabled) PlayGUISound(fp_iSoundID);
}

void CGUIListBox::SelectCell(std::int32_t fp_iCell) {
  M2D_CHECKPOINT;
  if (fp_iCell < 0 || fp_iCell >= cellsCount) fp_iCell = -1;
  if (fp_iCell == selectedCell) return;
  selectedCell = fp_iCell;
  if (onSelectCell.IsSet()) onSelectCell.Execute();
  if (fp_iCell != -1) PlayCellSound(soundSelectCell);
}

void CGUIListBox::CheckCell(std::int32_t fp_iCell) {
  M2D_CHECKPOINT;
  if (fp_iCell < 0 || fp_iCell >= cellsCount) fp_iCell = -1;
  checkedCell = fp_iCell;
  if (onCheckCell.IsSet()) onCheckCell.Execute();
  if (fp_iCell != -1) PlayCellSound(soundCheckCell);
}

void CGUIListBox::KeyboardStep() {
  M2D_CHECKPOINT;
  if (checkedCell == -1) return;
  CMorvane* tmp_pEngine = GetEngine();
  ZIZAssert(tmp_pEngine);
  const bool tmp_bUp = tmp_pEngine->INP_KeyboardIsKeyClicked(kKeyUp);
  const bool tmp_bDown = tmp_pEngine->INP_KeyboardIsKeyClicked(kKeyDown);
  if (tmp_bUp) {
    selectedCell = std::max<std::int32_t>(selectedCell - 1, 0);
    checkedCell = std::max<std::int32_t>(checkedCell - 1, 0);
  }
  if (tmp_bDown) {
    selectedCell = std::min<std::int32_t>(selectedCell + 1, cellsCount - 1);
    checkedCell = std::min<std::int32_t>(checkedCell + 1, cellsCount - 1);
  }
  if (!tmp_bUp && !tmp_bDown) return;
  // Keep the checked cell inside the box.
  const float tmp_fTop = static_cast<float>(checkedCell) * cellHeight;
  if (tmp_fTop < scrollY) scrollY = tmp_fTop;
  if (tmp_fTop > absRect.height + scrollY - cellHeight)
    scrollY = cellHeight + tmp_fTop - absRect.height;
  onScrollShift.ExecuteWithArgs({CGUIValue(scrollY)});
  CheckCell(checkedCell);
}

// }====

// {==== Frame ================================================================

void CGUIListBox::Update(const GUIRECT& fp_rParentRect, const GUIRECT& fp_rParentColor,
                         bool fp_bParentVisible, bool fp_bParentEnabled, float fp_fOffsetX,
                         float fp_fOffsetY) {
  M2D_CHECKPOINT;
  ComputeAbsolute(fp_rParentRect, fp_rParentColor, fp_bParentVisible, fp_bParentEnabled,
                  fp_fOffsetX, fp_fOffsetY);
  if (!absVisible) return;
  if (absEnabled && cellsCount > 0) {
    if (scrollEnabled) KeyboardStep();
    if (IsMouseOver()) {
      float tmp_fCell = (GetMousePos().y + scrollY - absRect.y) / cellHeight;
      // Below the last cell nothing is selected...
      SelectCell(GUI_FloatToInt(tmp_fCell));
      // ...but a click there checks the last cell.
      if (!(tmp_fCell < static_cast<float>(cellsCount)))
        tmp_fCell = static_cast<float>(cellsCount - 1);
      CMorvane* tmp_pEngine = GetEngine();
      ZIZAssert(tmp_pEngine);
      if (tmp_pEngine->INP_MouseIsKeyClicked(1)) CheckCell(GUI_FloatToInt(tmp_fCell));
    } else {
      SelectCell(-1);
    }
  }
  onPrepareFrame.ExecuteWithArgs({CGUIValue(static_cast<float>(selectedCell)),
                                  CGUIValue(static_cast<float>(checkedCell)), CGUIValue(absColor),
                                  CGUIValue(absEnabled)});
}

void CGUIListBox::Draw() {
  M2D_CHECKPOINT;
  if (!absVisible || cellsCount == 0) return;
  CMorvane* tmp_pEngine = GetEngine();
  ZIZAssert(tmp_pEngine);
  tmp_pEngine->GFX_SceneSetViewport(GUI_FloatToInt(absRect.x), GUI_FloatToInt(absRect.y),
                                    GUI_FloatToInt(absRect.width), GUI_FloatToInt(absRect.height));
  const std::int32_t tmp_iFirst = std::max<std::int32_t>(GUI_FloatToInt(scrollY / cellHeight), 0);
  if (tmp_iFirst < cellsCount) {
    // In 64 bits: the "+ 1" must not overflow a saturated count.
    const std::int64_t tmp_iVisible = static_cast<std::int64_t>(GUI_FloatToInt(
                                          (cellHeight * 0.5f + absRect.height) / cellHeight)) +
                                      1;
    const std::int64_t tmp_iEnd =
        tmp_iFirst + std::min<std::int64_t>(tmp_iVisible, cellsCount - tmp_iFirst);
    for (std::int64_t i = tmp_iFirst; i < tmp_iEnd; ++i) {
      const GUIPOINT tmp_Pos{absRect.x, static_cast<float>(i) * cellHeight + absRect.y - scrollY};
      onRedrawCell.ExecuteWithArgs({CGUIValue(static_cast<float>(i)), CGUIValue(tmp_Pos)});
    }
  }
  tmp_pEngine->GFX_SceneSetViewport(0, 0, CMorvaneGUI::screenWidth, CMorvaneGUI::screenHeight);
}

// }====

CGUIElement* M2DGUI_CreateListBox(const char* fp_pszID) {
  M2D_CHECKPOINT;
  return new CGUIListBox(fp_pszID);
}
