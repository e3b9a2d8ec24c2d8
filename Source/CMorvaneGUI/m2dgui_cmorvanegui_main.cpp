// The GUI manager: construction (loaders, classes, parameters, "DESKTOP",
// script functions), the registries, element access by integer or string ID,
// the delayed-command queue, the tip timer, Update and Draw, and the native
// action argument list.
static constexpr int kM2DFileID = 304;

#include "m2dgui_cmorvanegui.h"

#include <cstring>

#include "cmorvane.h"
#include "m2dgui_glue.h"
#include "m2dgui_stdclasses.h"

float CMorvaneGUI::frameDelta = 0.1f;
std::int32_t CMorvaneGUI::screenWidth = 0;
std::int32_t CMorvaneGUI::screenHeight = 0;

namespace {

CMorvaneGUI* s_pGUI = nullptr;
// The engine the GUI's resource loaders were last registered with: a later
// manager in the same engine finds them there and keeps them (they reach the
// current manager through GetGUI()).
CMorvane* s_pLoadersEngine = nullptr;

const char* OrEmpty(const char* fp_psz) {
  M2D_CHECKPOINT;
  return fp_psz != nullptr ? fp_psz : "";
}

}  // namespace

CMorvaneGUI* GetGUI() {
  M2D_CHECKPOINT;
  return s_pGUI;
}

// {==== Construction and destruction =========================================

CMorvaneGUI::CMorvaneGUI() {
  M2D_CHECKPOINT;
  curTip = -1;
  ZIZAssert(s_pGUI == nullptr);
  s_pGUI = this;
  try {
    ZIZAssert(GetEngine());
    pEngine = GetEngine();
    RegisterLoaders();
    pGUI = this;
    pEngine->GFX_GetScreenSize(&screenWidth, &screenHeight);
    frameDelta = 0.1f;
    RegisterStandardClasses();

    elements.clear();
    auto tmp_It = classes.find("desktop");
    ZIZAssert(tmp_It != classes.end());
    CGUIElement* tmp_pDesktop = tmp_It->second("DESKTOP");
    ZIZAssert(tmp_pDesktop);
    elements.push_back(tmp_pDesktop);

    tipDelay = 1.0f;
    tipTimer = tipDelay;
    prevTipTimer = tipDelay;

    enumsManager = new TItemsManager<CGUIEnum>;
    if (enumsManager == nullptr) M2D_THROW(EHS_TYPE_GENERAL, 0, "Cannot create GUIEnums manager!");
    stylesManager = new TItemsManager<CGUIStyle>;
    if (stylesManager == nullptr)
      M2D_THROW(EHS_TYPE_GENERAL, 0, "Cannot create GUIStyles manager!");

    RegisterScriptFunctions();
  } catch (...) {
    // The destructor does not run for an object that was not constructed:
    // give back what was made and let another manager be created later.
    for (CGUIElement* tmp_pElement : elements) delete tmp_pElement;
    elements.clear();
    delete enumsManager;
    delete stylesManager;
    enumsManager = nullptr;
    stylesManager = nullptr;
    s_pGUI = nullptr;
    throw;
  }
}

CMorvaneGUI::~CMorvaneGUI() {
  M2D_CHECKPOINT;
  for (CGUIElement* tmp_pElement : elements) delete tmp_pElement;
  elements.clear();
  delayedCommands.clear();
  delayedCount = 0;
  if (enumsManager != nullptr) {
    enumsManager->FreeAllItems();
    delete enumsManager;
    enumsManager = nullptr;
  }
  if (stylesManager != nullptr) {
    stylesManager->FreeAllItems();
    delete stylesManager;
    stylesManager = nullptr;
  }
  actionArgs.clear();
  actions.clear();
  classes.clear();
  paramNames.clear();
  paramTypes.clear();
  if (s_pGUI == this) s_pGUI = nullptr;
}

void CMorvaneGUI::RegisterLoaders() {
  M2D_CHECKPOINT;
  static const struct {
    const char* typeID;
    LoadRes function;
  } kLoaders[] = {
      {"GUIDATA", &CMorvaneGUI::LoadGUIData},
      {"GUIENUMDATA", &CMorvaneGUI::LoadGUIEnumData},
      {"GUISTYLEDATA", &CMorvaneGUI::LoadGUIStyleData},
  };
  for (const auto& tmp_rLoader : kLoaders) {
    try {
      pEngine->RegisterLoadRes(tmp_rLoader.function, tmp_rLoader.typeID);
    } catch (const CEHSException& e) {
      // An earlier manager of this engine registered the same loaders.
      const bool tmp_bOurs =
          s_pLoadersEngine == pEngine &&
          e.description.rfind("LoadRes function already registered", 0) == 0;
      if (!tmp_bOurs) throw;
    }
  }
  s_pLoadersEngine = pEngine;
}

void CMorvaneGUI::RegisterScriptFunctions() {
  M2D_CHECKPOINT;
  pEngine->RegisterScriptFunction("M2DGUI_AddNewElement", &glue_M2DGUI_AddNewElement);
  pEngine->RegisterScriptFunction("M2DGUI_GetElementID", &glue_M2DGUI_GetElementID);
  pEngine->RegisterScriptFunction("M2DGUI_SetElementParam", &glue_M2DGUI_SetElementParam);
  pEngine->RegisterScriptFunction("M2DGUI_GetElementParam", &glue_M2DGUI_GetElementParam);
  pEngine->RegisterScriptFunction("M2DGUI_ExecuteElementCommand",
                                  &glue_M2DGUI_ExecuteElementCommand);
  pEngine->RegisterScriptFunction("M2DGUI_SetCurTip", &glue_M2DGUI_SetCurTip);
}

// }====

// {==== Registries ============================================================

void CMorvaneGUI::RegisterAction(GUIActionFunction fp_pFunction, const char* fp_pszName) {
  M2D_CHECKPOINT;
  const char* tmp_pszName = OrEmpty(fp_pszName);
  if (actions.find(tmp_pszName) != actions.end())
    M2D_THROW(EHS_TYPE_GAME, 0, std::string("Dublicated C++ Action function! ID = ") + tmp_pszName);
  actions.emplace(tmp_pszName, fp_pFunction);
}

void CMorvaneGUI::RegisterElementClass(GUIElementFactory fp_pFactory, const char* fp_pszClassID) {
  M2D_CHECKPOINT;
  const char* tmp_pszClass = OrEmpty(fp_pszClassID);
  if (classes.find(tmp_pszClass) != classes.end())
    M2D_THROW(EHS_TYPE_GAME, 0,
              std::string("Dublicated GUI Element class !ID = ") + tmp_pszClass);
  if (fp_pFactory == nullptr)
    M2D_THROW(EHS_TYPE_GAME, 0,
              std::string("Invalid GUI Element class factory! ID = ") + tmp_pszClass);
  classes.emplace(tmp_pszClass, fp_pFactory);
}

void CMorvaneGUI::RegisterElementParam(const char* fp_pszStrID, std::int32_t fp_iID,
                                       std::int32_t fp_iType) {
  M2D_CHECKPOINT;
  const std::string tmp_strID = OrEmpty(fp_pszStrID);
  for (const auto& tmp_rEntry : paramNames) {
    if (tmp_rEntry.first == tmp_strID)
      M2D_THROW(EHS_TYPE_GAME, 0,
                "Dublicated GUI Element parameter(strID)! strID = " + tmp_strID +
                    " iID = " + std::to_string(fp_iID));
    if (tmp_rEntry.second == fp_iID)
      M2D_THROW(EHS_TYPE_GAME, 0,
                "Dublicated GUI Element parameter(iID)! strID = " + tmp_strID +
                    " iID = " + std::to_string(fp_iID));
  }
  paramNames.emplace(tmp_strID, fp_iID);
  paramTypes[fp_iID] = fp_iType;
}

GUIActionFunction CMorvaneGUI::FindAction(const char* fp_pszName) const {
  M2D_CHECKPOINT;
  auto tmp_It = actions.find(OrEmpty(fp_pszName));
  return tmp_It != actions.end() ? tmp_It->second : nullptr;
}

bool CMorvaneGUI::FindParam(const char* fp_pszStrID, std::int32_t* fp_piID,
                            std::int32_t* fp_piType) const {
  M2D_CHECKPOINT;
  auto tmp_It = paramNames.find(OrEmpty(fp_pszStrID));
  if (tmp_It == paramNames.end()) return false;
  if (fp_piID != nullptr) *fp_piID = tmp_It->second;
  if (fp_piType != nullptr) *fp_piType = GetParamType(tmp_It->second);
  return true;
}

std::int32_t CMorvaneGUI::GetParamType(std::int32_t fp_iID) const {
  M2D_CHECKPOINT;
  auto tmp_It = paramTypes.find(fp_iID);
  return tmp_It != paramTypes.end() ? tmp_It->second : 0;
}

// }====

// {==== Elements ==============================================================

std::int32_t CMorvaneGUI::GetElementID(const char* fp_pszID) const {
  M2D_CHECKPOINT;
  if (fp_pszID == nullptr) return -1;
  for (size_t i = 0; i < elements.size(); ++i) {
    if (elements[i]->id == fp_pszID) return static_cast<std::int32_t>(i);
  }
  return -1;
}

CGUIElement* CMorvaneGUI::GetElement(std::int32_t fp_iElement) const {
  M2D_CHECKPOINT;
  if (fp_iElement < 0 || fp_iElement >= GetElementCount()) return nullptr;
  return elements[static_cast<size_t>(fp_iElement)];
}

std::int32_t CMorvaneGUI::AddNewElement(const char* fp_pszClassID, const char* fp_pszElementID,
                                        std::int32_t fp_iParentID) {
  M2D_CHECKPOINT;
  const char* tmp_pszClass = OrEmpty(fp_pszClassID);
  const char* tmp_pszID = OrEmpty(fp_pszElementID);
  if (fp_iParentID < 0 || fp_iParentID >= GetElementCount())
    M2D_THROW(EHS_TYPE_GAME, 0,
              "Cannot add GUI element: invalid parent ID! Parent ID = " +
                  std::to_string(fp_iParentID) + " Element ID = " + tmp_pszID);
  auto tmp_It = classes.find(tmp_pszClass);
  if (tmp_It == classes.end())
    M2D_THROW(EHS_TYPE_GAME, 0,
              std::string("Cannot add GUI element: invalid class! Class ID = ") + tmp_pszClass +
                  " Element ID = " + tmp_pszID);
  if (GetElementID(tmp_pszID) != -1)
    M2D_THROW(EHS_TYPE_GAME, 0,
              std::string("Cannot add GUI element: dublicated element ID! Element ID = ") +
                  tmp_pszID);
  if (tmp_pszID[0] == '\0')
    M2D_THROW(EHS_TYPE_GAME, 0, "Cannot add GUI element: element ID is null string!");

  CGUIElement* tmp_pElement = tmp_It->second(tmp_pszID);
  ZIZAssert(tmp_pElement);
  elements.push_back(tmp_pElement);
  tmp_pElement->SetParent(elements[static_cast<size_t>(fp_iParentID)]);
  return GetElementCount() - 1;
}

std::int32_t CMorvaneGUI::AddNewElement(const char* fp_pszClassID, const char* fp_pszElementID,
                                        const char* fp_pszParentID) {
  M2D_CHECKPOINT;
  return AddNewElement(fp_pszClassID, fp_pszElementID, GetElementID(fp_pszParentID));
}

CGUIElement* CMorvaneGUI::RequireElementForSet(std::int32_t fp_iElement) const {
  M2D_CHECKPOINT;
  CGUIElement* tmp_pElement = GetElement(fp_iElement);
  if (tmp_pElement == nullptr)
    M2D_THROW(EHS_TYPE_GAME, 0,
              "Cannot set element param: invalid element ID! Element ID = " +
                  std::to_string(fp_iElement));
  return tmp_pElement;
}

CGUIElement* CMorvaneGUI::RequireElementForGet(std::int32_t fp_iElement) const {
  M2D_CHECKPOINT;
  CGUIElement* tmp_pElement = GetElement(fp_iElement);
  if (tmp_pElement == nullptr)
    M2D_THROW(EHS_TYPE_GAME, 0,
              "Cannot get element param: invalid element ID! Element ID = " +
                  std::to_string(fp_iElement));
  return tmp_pElement;
}

std::int32_t CMorvaneGUI::RequireParam(const char* fp_pszParam, const char* fp_pszWhat) const {
  M2D_CHECKPOINT;
  std::int32_t tmp_iID = 0;
  if (!FindParam(fp_pszParam, &tmp_iID, nullptr))
    M2D_THROW(EHS_TYPE_GAME, 0, std::string(fp_pszWhat) + OrEmpty(fp_pszParam));
  return tmp_iID;
}

void CMorvaneGUI::SetElementParam(std::int32_t fp_iElement, std::int32_t fp_iParam,
                                  const CGUIValue& fp_rValue) {
  M2D_CHECKPOINT;
  RequireElementForSet(fp_iElement)->SetParam(fp_iParam, fp_rValue);
}

void CMorvaneGUI::SetElementParam(std::int32_t fp_iElement, const char* fp_pszParam,
                                  const CGUIValue& fp_rValue) {
  M2D_CHECKPOINT;
  CGUIElement* tmp_pElement = RequireElementForSet(fp_iElement);
  tmp_pElement->SetParam(
      RequireParam(fp_pszParam, "Cannot set element param: invalid param ID! Param ID = "),
      fp_rValue);
}

void CMorvaneGUI::SetElementParam(const char* fp_pszElement, std::int32_t fp_iParam,
                                  const CGUIValue& fp_rValue) {
  M2D_CHECKPOINT;
  const std::int32_t tmp_iElement = GetElementID(fp_pszElement);
  if (tmp_iElement == -1)
    M2D_THROW(EHS_TYPE_GAME, 0,
              std::string("Cannot set element param: invalid element ID! Element ID = ") +
                  OrEmpty(fp_pszElement));
  SetElementParam(tmp_iElement, fp_iParam, fp_rValue);
}

void CMorvaneGUI::SetElementParam(const char* fp_pszElement, const char* fp_pszParam,
                                  const CGUIValue& fp_rValue) {
  M2D_CHECKPOINT;
  const std::int32_t tmp_iElement = GetElementID(fp_pszElement);
  if (tmp_iElement == -1)
    M2D_THROW(EHS_TYPE_GAME, 0,
              std::string("Cannot set element param: invalid element ID! Element ID = ") +
                  OrEmpty(fp_pszElement));
  SetElementParam(tmp_iElement, fp_pszParam, fp_rValue);
}

CGUIValue CMorvaneGUI::GetElementParam(std::int32_t fp_iElement, std::int32_t fp_iParam) {
  M2D_CHECKPOINT;
  return RequireElementForGet(fp_iElement)->GetParam(fp_iParam);
}

CGUIValue CMorvaneGUI::GetElementParam(std::int32_t fp_iElement, const char* fp_pszParam) {
  M2D_CHECKPOINT;
  CGUIElement* tmp_pElement = RequireElementForGet(fp_iElement);
  return tmp_pElement->GetParam(
      RequireParam(fp_pszParam, "Cannot get element param: invalid param ID! Param ID = "));
}

CGUIValue CMorvaneGUI::GetElementParam(const char* fp_pszElement, std::int32_t fp_iParam) {
  M2D_CHECKPOINT;
  const std::int32_t tmp_iElement = GetElementID(fp_pszElement);
  if (tmp_iElement == -1)
    M2D_THROW(EHS_TYPE_GAME, 0,
              std::string("Cannot get element param: invalid element ID! Element ID = ") +
                  OrEmpty(fp_pszElement));
  return GetElementParam(tmp_iElement, fp_iParam);
}

CGUIValue CMorvaneGUI::GetElementParam(const char* fp_pszElement, const char* fp_pszParam) {
  M2D_CHECKPOINT;
  const std::int32_t tmp_iElement = GetElementID(fp_pszElement);
  if (tmp_iElement == -1)
    M2D_THROW(EHS_TYPE_GAME, 0,
              std::string("Cannot get element param: invalid element ID! Element ID = ") +
                  OrEmpty(fp_pszElement));
  return GetElementParam(tmp_iElement, fp_pszParam);
}

void CMorvaneGUI::ExecuteElementCommand(std::int32_t fp_iElement, std::int32_t fp_iCommand,
                                        float fp_fDelay) {
  M2D_CHECKPOINT;
  CGUIElement* tmp_pElement = GetElement(fp_iElement);
  if (tmp_pElement == nullptr)
    M2D_THROW(EHS_TYPE_GAME, 0,
              "Cannot pass command to element: invalid element ID! Element ID = " +
                  std::to_string(fp_iElement));
  if (fp_fDelay > 0.0f) {
    delayedCommands.push_back(DelayedCommand{fp_iElement, fp_iCommand, fp_fDelay});
    ++delayedCount;
    return;
  }
  tmp_pElement->ExecuteCommand(fp_iCommand);
}

void CMorvaneGUI::ExecuteElementCommand(const char* fp_pszElement, std::int32_t fp_iCommand,
                                        float fp_fDelay) {
  M2D_CHECKPOINT;
  const std::int32_t tmp_iElement = GetElementID(fp_pszElement);
  if (tmp_iElement == -1)
    M2D_THROW(EHS_TYPE_GAME, 0,
              std::string("Cannot pass command to element: invalid element ID! Element ID = ") +
                  OrEmpty(fp_pszElement));
  ExecuteElementCommand(tmp_iElement, fp_iCommand, fp_fDelay);
}

void CMorvaneGUI::SetCurTip(std::int32_t fp_iElement) {
  M2D_CHECKPOINT;
  if (fp_iElement >= 0 && fp_iElement < GetElementCount()) curTip = fp_iElement;
}

void CMorvaneGUI::SetCurTip(const char* fp_pszElement) {
  M2D_CHECKPOINT;
  SetCurTip(GetElementID(fp_pszElement));
}

// }====

// {==== Per frame =============================================================

void CMorvaneGUI::ProcessDelayedCommands() {
  M2D_CHECKPOINT;
  // By position, reading the size again at every step: a command may queue
  // another one, which is then reached in this same walk.
  size_t i = 0;
  while (i < delayedCommands.size()) {
    delayedCommands[i].delay -= frameDelta;
    if (delayedCommands[i].delay > 0.0f) {
      ++i;
      continue;
    }
    const DelayedCommand tmp_Command = delayedCommands[i];
    elements[static_cast<size_t>(tmp_Command.elementID)]->ExecuteCommand(tmp_Command.command);
    delayedCommands.erase(delayedCommands.begin() + static_cast<std::ptrdiff_t>(i));
    --delayedCount;
  }
}

void CMorvaneGUI::UpdateTip() {
  M2D_CHECKPOINT;
  if (curTip != prevTip) tipTimer = tipDelay;
  if (curTip == -1) {
    tipTimer = tipDelay;
  } else {
    if (pEngine->INP_MouseGetDeltaX() != 0 || pEngine->INP_MouseGetDeltaY() != 0)
      tipTimer = tipDelay;
    if (pEngine->INP_MouseIsKeyPressed(2)) tipTimer = 0.0f;
    tipTimer -= frameDelta;
    if (tipTimer < 0.0f) tipTimer = 0.0f;
  }
  if (curTip != -1 && tipTimer == 0.0f) {
    CGUIElement* tmp_pTip = elements[static_cast<size_t>(curTip)];
    if (prevTipTimer > 0.0f || (prevTip != curTip && prevTip != -1))
      tmp_pTip->ExecuteCommand(GUICMD_SHOW);
    tmp_pTip->Update(GUIRECT{}, GUIRECT{1.0f, 1.0f, 1.0f, 1.0f}, true, true, 0.0f, 0.0f);
  }
  prevTipTimer = tipTimer;
  prevTip = curTip;
}

void CMorvaneGUI::Update() {
  M2D_CHECKPOINT;
  frameDelta = pEngine->GetTimerDelta();
  curTip = -1;
  if (!delayedCommands.empty()) ProcessDelayedCommands();
  elements[0]->Update(GUIRECT{}, GUIRECT{1.0f, 1.0f, 1.0f, 1.0f}, true, true, 0.0f, 0.0f);
  UpdateTip();
}

void CMorvaneGUI::Draw() {
  M2D_CHECKPOINT;
  elements[0]->Draw();
  if (curTip != -1 && tipTimer == 0.0f) elements[static_cast<size_t>(curTip)]->Draw();
}

// }====

// {==== Native action arguments ==============================================

void CMorvaneGUI::PushActionArg(float fp_fValue) {
  M2D_CHECKPOINT;
  actionArgs.emplace_back(fp_fValue);
}

void CMorvaneGUI::PushActionArg(bool fp_bValue) {
  M2D_CHECKPOINT;
  actionArgs.emplace_back(fp_bValue);
}

void CMorvaneGUI::PushActionArg(const GUIPOINT& fp_rValue) {
  M2D_CHECKPOINT;
  actionArgs.emplace_back(fp_rValue);
}

void CMorvaneGUI::PushActionArg(const GUIRECT& fp_rValue) {
  M2D_CHECKPOINT;
  actionArgs.emplace_back(fp_rValue);
}

void CMorvaneGUI::PushActionArg(const CGUIValue& fp_rValue) {
  M2D_CHECKPOINT;
  actionArgs.push_back(fp_rValue);
}

void CMorvaneGUI::ClearActionArgs() {
  M2D_CHECKPOINT;
  // Shrinking keeps the capacity: no allocation in the next frame's pushes.
  actionArgs.resize(static_cast<size_t>(actionArgBase));
}

const CGUIValue& CMorvaneGUI::GetActionArg(std::int32_t fp_iIndex) const {
  M2D_CHECKPOINT;
  if (fp_iIndex < 0 || fp_iIndex >= GetActionArgCount())
    M2D_THROW(EHS_TYPE_GAME, 0,
              "Invalid action argument index! Index = " + std::to_string(fp_iIndex));
  return actionArgs[static_cast<size_t>(actionArgBase + fp_iIndex)];
}

std::int32_t CMorvaneGUI::BeginActionArgs() {
  M2D_CHECKPOINT;
  const std::int32_t tmp_iSaved = actionArgBase;
  actionArgBase = static_cast<std::int32_t>(actionArgs.size());
  return tmp_iSaved;
}

void CMorvaneGUI::EndActionArgs(std::int32_t fp_iSavedBase) {
  M2D_CHECKPOINT;
  if (static_cast<size_t>(actionArgBase) < actionArgs.size())
    actionArgs.resize(static_cast<size_t>(actionArgBase));
  actionArgBase = fp_iSavedBase;
}

// }====
