// The element base: the common parameters and commands, the absolute state
// handed down the tree, the z-order sort, the child walks and the tip check.
// Child walks go by position and read the count again before every step, so
// a child appended by an action during the walk is reached in the same walk.
static constexpr int kM2DFileID = 307;

#include "m2dgui_cguielement.h"

#include "cmorvane.h"
#include "cmorvane_utils_demand.h"
#include "m2dgui_cmorvanegui.h"

CGUIElement::CGUIElement(const char* fp_pszID) : id(fp_pszID != nullptr ? fp_pszID : "") {
  M2D_CHECKPOINT;
}

CGUIElement::~CGUIElement() = default;

// {==== Tree ==================================================================

void CGUIElement::SetParent(CGUIElement* fp_pParent) {
  M2D_CHECKPOINT;
  if (parent != nullptr && parent != fp_pParent)
    M2D_THROW(EHS_TYPE_GAME, 0,
              "Error in setting GUI element parent: possible element dublication!");
  parent = fp_pParent;
  if (fp_pParent != nullptr) fp_pParent->children.push_back(this);
}

CGUIElement* CGUIElement::GetChild(int fp_iIndex) const {
  M2D_CHECKPOINT;
  if (fp_iIndex < 0 || fp_iIndex >= GetChildCount()) return nullptr;
  return children[static_cast<size_t>(fp_iIndex)];
}

void CGUIElement::SortChildren() {
  M2D_CHECKPOINT;
  bool tmp_bSwapped = true;
  while (tmp_bSwapped) {
    tmp_bSwapped = false;
    for (size_t i = 1; i < children.size(); ++i) {
      if (children[i]->zorder < children[i - 1]->zorder) {
        CGUIElement* tmp_pChild = children[i];
        children[i] = children[i - 1];
        children[i - 1] = tmp_pChild;
        tmp_bSwapped = true;
      }
    }
  }
}

void CGUIElement::UpdateChildren() {
  M2D_CHECKPOINT;
  UpdateChildrenWithColor(absColor);
}

void CGUIElement::UpdateChildrenWithColor(const GUIRECT& fp_rColor) {
  M2D_CHECKPOINT;
  if (children.empty() || !(absVisible || absEnabled)) return;
  // The rectangle and colour are copied: an action run by a child may change
  // this element's parameters while the walk goes on.
  const GUIRECT tmp_Rect = absRect;
  const GUIRECT tmp_Color = fp_rColor;
  const bool tmp_bVisible = absVisible;
  const bool tmp_bEnabled = absEnabled;
  for (size_t i = 0; i < children.size(); ++i)
    children[i]->Update(tmp_Rect, tmp_Color, tmp_bVisible, tmp_bEnabled, 0.0f, 0.0f);
}

void CGUIElement::DrawChildren() {
  M2D_CHECKPOINT;
  if (!absVisible) return;
  for (size_t i = 0; i < children.size(); ++i) children[i]->Draw();
}

// }====

// {==== Absolute state, mouse and tip =======================================

void CGUIElement::ComputeAbsolute(const GUIRECT& fp_rParentRect, const GUIRECT& fp_rParentColor,
                                  bool fp_bParentVisible, bool fp_bParentEnabled,
                                  float fp_fOffsetX, float fp_fOffsetY) {
  M2D_CHECKPOINT;
  absColor = GUI_MultiplyColor(color, fp_rParentColor);
  absRect.x = fp_rParentRect.x + coords.x - fp_fOffsetX;
  absRect.y = fp_rParentRect.y + coords.y - fp_fOffsetY;
  absVisible = visible && fp_bParentVisible;
  absEnabled = enabled && fp_bParentEnabled;
}

GUIPOINT CGUIElement::GetMousePos() {
  M2D_CHECKPOINT;
  std::int32_t tmp_iX = 0;
  std::int32_t tmp_iY = 0;
  CMorvane* tmp_pEngine = GetEngine();
  ZIZAssert(tmp_pEngine);
  tmp_pEngine->INP_MouseGetCursorPos(&tmp_iX, &tmp_iY);
  return GUIPOINT{static_cast<float>(tmp_iX), static_cast<float>(tmp_iY)};
}

bool CGUIElement::IsMouseOver() const {
  M2D_CHECKPOINT;
  return absRect.Contains(GetMousePos());
}

void CGUIElement::CheckTip() {
  M2D_CHECKPOINT;
  if (absVisible && tip != -1 && IsMouseOver()) {
    CMorvaneGUI* tmp_pGUI = GetGUI();
    ZIZAssert(tmp_pGUI);
    tmp_pGUI->SetCurTip(tip);
  }
}

// }====

// {==== Parameters and commands ==============================================

std::int32_t CGUIElement::ValueToInt(const CGUIValue& fp_rValue) {
  M2D_CHECKPOINT;
  return GUI_FloatToInt(fp_rValue.GetFloat());
}

std::int32_t CGUIElement::ValueToTextureID(const CGUIValue& fp_rValue) {
  M2D_CHECKPOINT;
  if (fp_rValue.GetType() == GUIVALUE_STRING)
    return M2DUTIL_DemandTexture(fp_rValue.GetString().c_str());
  return ValueToInt(fp_rValue);
}

std::int32_t CGUIElement::ValueToSoundID(const CGUIValue& fp_rValue) {
  M2D_CHECKPOINT;
  if (fp_rValue.GetType() == GUIVALUE_STRING)
    return M2DUTIL_DemandSound(fp_rValue.GetString().c_str());
  return ValueToInt(fp_rValue);
}

std::int32_t CGUIElement::ValueToFontID(const CGUIValue& fp_rValue) {
  M2D_CHECKPOINT;
  if (fp_rValue.GetType() == GUIVALUE_STRING)
    return M2DUTIL_DemandFont(fp_rValue.GetString().c_str());
  return ValueToInt(fp_rValue);
}

std::int32_t CGUIElement::ValueToTechniqueID(const CGUIValue& fp_rValue) {
  M2D_CHECKPOINT;
  if (fp_rValue.GetType() == GUIVALUE_STRING) {
    CMorvane* tmp_pEngine = GetEngine();
    ZIZAssert(tmp_pEngine);
    return tmp_pEngine->GFX_TechGetIID(fp_rValue.GetString().c_str());
  }
  return ValueToInt(fp_rValue);
}

void CGUIElement::PlayGUISound(std::int32_t fp_iSoundID) {
  M2D_CHECKPOINT;
  if (fp_iSoundID == -1) return;
  CMorvane* tmp_pEngine = GetEngine();
  ZIZAssert(tmp_pEngine);
  tmp_pEngine->SFX_SoundPlay(fp_iSoundID, 0, -1, -1, -101);
}

void CGUIElement::ThrowUnknownParam(std::int32_t fp_iID) const {
  M2D_CHECKPOINT;
  M2D_THROW(EHS_TYPE_GAME, 0,
            "Cannot set GUI element param: unknown ID! ID = " + std::to_string(fp_iID) +
                "  Element ID = " + id);
}

void CGUIElement::ThrowUnreadableParam(std::int32_t fp_iID) const {
  M2D_CHECKPOINT;
  M2D_THROW(EHS_TYPE_GAME, 0,
            "Cannot get GUI element param: unknown ID! ID = " + std::to_string(fp_iID) +
                "  Element ID = " + id);
}

void CGUIElement::ThrowUnknownCommand(std::int32_t fp_iCommand) const {
  M2D_CHECKPOINT;
  M2D_THROW(EHS_TYPE_GAME, 0,
            "Cannot execute GUI element command: unknown ID! ID = " +
                std::to_string(fp_iCommand) + "  Element ID = " + id);
}

void CGUIElement::SetParam(std::int32_t fp_iID, const CGUIValue& fp_rValue) {
  M2D_CHECKPOINT;
  switch (fp_iID) {
    case GUIPARAM_ZORDER:
      zorder = ValueToInt(fp_rValue);
      if (parent != nullptr) parent->SortChildren();
      break;
    case GUIPARAM_COORDS:
      coords = fp_rValue.GetRect();
      absRect = coords;
      break;
    case GUIPARAM_TECHNIQUE:
      technique = ValueToTechniqueID(fp_rValue);
      break;
    case GUIPARAM_TEXTURE:
      texture = ValueToTextureID(fp_rValue);
      break;
    case GUIPARAM_COLOR:
      color = fp_rValue.GetRect();
      absColor = color;
      break;
    case GUIPARAM_VISIBLE:
      visible = fp_rValue.GetBool();
      break;
    case GUIPARAM_ENABLED:
      enabled = fp_rValue.GetBool();
      break;
    case GUIPARAM_TIP:
      if (fp_rValue.GetType() == GUIVALUE_STRING) {
        CMorvaneGUI* tmp_pGUI = GetGUI();
        ZIZAssert(tmp_pGUI);
        const char* tmp_pszTip = fp_rValue.GetString().c_str();
        std::int32_t tmp_iTip = tmp_pGUI->GetElementID(tmp_pszTip);
        if (tmp_iTip == -1) tmp_iTip = tmp_pGUI->AddNewElement("tip", tmp_pszTip, 0);
        tip = tmp_iTip;
      } else {
        tip = ValueToInt(fp_rValue);
      }
      break;
    case GUIPARAM_TAG:
      tag = ValueToInt(fp_rValue);
      break;
    default:
      ThrowUnknownParam(fp_iID);
  }
}

CGUIValue CGUIElement::GetParam(std::int32_t fp_iID) {
  M2D_CHECKPOINT;
  switch (fp_iID) {
    case GUIPARAM_ZORDER: return CGUIValue(static_cast<float>(zorder));
    case GUIPARAM_COORDS: return CGUIValue(coords);
    case GUIPARAM_TECHNIQUE: return CGUIValue(static_cast<float>(technique));
    case GUIPARAM_TEXTURE: return CGUIValue(static_cast<float>(texture));
    case GUIPARAM_COLOR: return CGUIValue(color);
    case GUIPARAM_VISIBLE: return CGUIValue(visible);
    case GUIPARAM_ENABLED: return CGUIValue(enabled);
    case GUIPARAM_TAG: return CGUIValue(static_cast<float>(tag));
    default: ThrowUnreadableParam(fp_iID);
  }
}

void CGUIElement::ExecuteCommand(std::int32_t fp_iCommand) {
  M2D_CHECKPOINT;
  switch (fp_iCommand) {
    case GUICMD_SHOW: visible = true; break;
    case GUICMD_HIDE: visible = false; break;
    case GUICMD_ENABLE: enabled = true; break;
    case GUICMD_DISABLE: enabled = false; break;
    default: ThrowUnknownCommand(fp_iCommand);
  }
}

void CGUIElement::Update(const GUIRECT&, const GUIRECT&, bool, bool, float, float) {
  M2D_CHECKPOINT;
}

void CGUIElement::Draw() { M2D_CHECKPOINT; }

// }====
