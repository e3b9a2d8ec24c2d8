// CMorvaneGUI, the one GUI manager: the element list ("DESKTOP" at 0), the
// registries of element classes, parameters and native actions, the GUI
// enumerations and styles, the delayed-command queue, the tip logic, the
// native action argument list, and the GUI data loaders.
#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "cmorvane_utils_itemsmanager.h"
#include "m2dgui_cguielement.h"
#include "m2dgui_datatypes.h"
#include "m2dgui_params.h"

class CMorvane;
class CXMLNode;

// Makes a new element of one class with the given string ID; the caller owns it.
using GUIElementFactory = CGUIElement* (*)(const char* fp_pszID);

// A command waiting in the manager's queue.
struct DelayedCommand {
  std::int32_t elementID = 0;
  std::int32_t command = 0;
  float delay = 0.0f;
};

class CMorvaneGUI {
 public:
  // Registers the GUI's resource loaders, the standard classes and
  // parameters and the GUI script functions, and creates "DESKTOP". One
  // manager at a time: a second one, or none without an engine, fails the
  // engine assertion.
  CMorvaneGUI();
  ~CMorvaneGUI();
  CMorvaneGUI(const CMorvaneGUI&) = delete;
  CMorvaneGUI& operator=(const CMorvaneGUI&) = delete;

  // {==== Registration ========================================================
  void RegisterAction(GUIActionFunction fp_pFunction, const char* fp_pszName);
  void RegisterElementClass(GUIElementFactory fp_pFactory, const char* fp_pszClassID);
  void RegisterElementParam(const char* fp_pszStrID, std::int32_t fp_iID, std::int32_t fp_iType);
  // The standard parameters and classes (m2dgui_stdclasses_register).
  void RegisterStandardClasses();

  // The native action of that name, or null.
  GUIActionFunction FindAction(const char* fp_pszName) const;
  // The parameter's integer ID and value type; false when the name is not registered.
  bool FindParam(const char* fp_pszStrID, std::int32_t* fp_piID, std::int32_t* fp_piType) const;
  // The value type of a registered parameter ID, 0 when it has none.
  std::int32_t GetParamType(std::int32_t fp_iID) const;
  // }====

  // {==== Elements ============================================================
  // The first element with this string ID, or -1.
  std::int32_t GetElementID(const char* fp_pszID) const;
  std::int32_t AddNewElement(const char* fp_pszClassID, const char* fp_pszElementID,
                             std::int32_t fp_iParentID);
  std::int32_t AddNewElement(const char* fp_pszClassID, const char* fp_pszElementID,
                             const char* fp_pszParentID);

  void SetElementParam(std::int32_t fp_iElement, std::int32_t fp_iParam,
                       const CGUIValue& fp_rValue);
  void SetElementParam(std::int32_t fp_iElement, const char* fp_pszParam,
                       const CGUIValue& fp_rValue);
  void SetElementParam(const char* fp_pszElement, std::int32_t fp_iParam,
                       const CGUIValue& fp_rValue);
  void SetElementParam(const char* fp_pszElement, const char* fp_pszParam,
                       const CGUIValue& fp_rValue);

  CGUIValue GetElementParam(std::int32_t fp_iElement, std::int32_t fp_iParam);
  CGUIValue GetElementParam(std::int32_t fp_iElement, const char* fp_pszParam);
  CGUIValue GetElementParam(const char* fp_pszElement, std::int32_t fp_iParam);
  CGUIValue GetElementParam(const char* fp_pszElement, const char* fp_pszParam);

  // fp_fDelay > 0 queues the command for that many seconds of frame time;
  // otherwise it runs at once.
  void ExecuteElementCommand(std::int32_t fp_iElement, std::int32_t fp_iCommand,
                             float fp_fDelay = 0.0f);
  void ExecuteElementCommand(const char* fp_pszElement, std::int32_t fp_iCommand,
                             float fp_fDelay = 0.0f);

  // An unknown element is ignored.
  void SetCurTip(std::int32_t fp_iElement);
  void SetCurTip(const char* fp_pszElement);

  std::int32_t GetElementCount() const { return static_cast<std::int32_t>(elements.size()); }
  // Null outside 0 to count-1.
  CGUIElement* GetElement(std::int32_t fp_iElement) const;
  // }====

  // {==== Per frame ===========================================================
  // Delayed commands, the element tree, the tip timer.
  void Update();
  // The element tree, then the current tip over it.
  void Draw();

  std::int32_t GetCurTip() const { return curTip; }
  float GetTipTimer() const { return tipTimer; }
  std::int32_t GetDelayedCommandCount() const { return delayedCount; }
  // }====

  // {==== Native action arguments =============================================
  // An element pushes the arguments, calls the native action, clears them;
  // the action reads them while it runs.
  void PushActionArg(float fp_fValue);
  void PushActionArg(bool fp_bValue);
  void PushActionArg(const GUIPOINT& fp_rValue);
  void PushActionArg(const GUIRECT& fp_rValue);
  void PushActionArg(const CGUIValue& fp_rValue);
  // Empties the list (down to the arguments of an outer action still running).
  void ClearActionArgs();
  // The arguments of the native action that runs now.
  std::int32_t GetActionArgCount() const {
    return static_cast<std::int32_t>(actionArgs.size()) - actionArgBase;
  }
  // An index outside the list throws (type Game) "Invalid action argument
  // index! Index = <n>".
  const CGUIValue& GetActionArg(std::int32_t fp_iIndex) const;
  // A native action that runs while another one is running gets a list of
  // its own on top of the outer one's (CGUIActionArgsFrame).
  std::int32_t BeginActionArgs();
  void EndActionArgs(std::int32_t fp_iSavedBase);
  // }====

  // {==== Data loading (m2dgui_cmorvanegui_xmlload) ===========================
  // The resource loaders of "GUIDATA", "GUIENUMDATA" and "GUISTYLEDATA"
  // (LoadRes functions), working on the current manager. GUI data makes the
  // root's children elements under "DESKTOP"; an enumeration or a style is
  // named by the string ID of its resource.
  static void LoadGUIData(const char* fp_pData, int fp_iSize, const char* fp_pszStrID,
                          int fp_iTag, int fp_iData1, int fp_iData2, int fp_iData3);
  static void LoadGUIEnumData(const char* fp_pData, int fp_iSize, const char* fp_pszStrID,
                              int fp_iTag, int fp_iData1, int fp_iData2, int fp_iData3);
  static void LoadGUIStyleData(const char* fp_pData, int fp_iSize, const char* fp_pszStrID,
                               int fp_iTag, int fp_iData1, int fp_iData2, int fp_iData3);
  // One element declaration and, recursively, its children.
  void ProcessElementNode(CXMLNode* fp_pNode, std::int32_t fp_iParentID);
  // One attribute to a parameter ID and a value; an empty text gives an
  // empty value (logged).
  void ParseParam(const char* fp_pszName, const char* fp_pszValueText, std::int32_t* fp_piID,
                  CGUIValue* fp_pValue);
  // The enumeration or style of that string ID, loading its resource when it
  // is not there yet; throws when it still is not.
  CGUIEnum* DemandEnum(const char* fp_pszID);
  CGUIStyle* DemandStyle(const char* fp_pszID);

  TItemsManager<CGUIEnum>* GetEnumsManager() const { return enumsManager; }
  TItemsManager<CGUIStyle>* GetStylesManager() const { return stylesManager; }
  // }====

  // {==== GUI-wide values =====================================================
  // Seconds of the current frame (the engine's delta, copied by Update); 0.1
  // before the first Update.
  static float frameDelta;
  // The back buffer's size, read by the constructor.
  static std::int32_t screenWidth;
  static std::int32_t screenHeight;
  // }====

 private:
  void ProcessDelayedCommands();
  void UpdateTip();
  void RegisterLoaders();
  void RegisterScriptFunctions();
  CGUIElement* RequireElementForSet(std::int32_t fp_iElement) const;
  CGUIElement* RequireElementForGet(std::int32_t fp_iElement) const;
  std::int32_t RequireParam(const char* fp_pszParam, const char* fp_pszWhat) const;

  // Owned; an element's integer ID is its position.
  std::vector<CGUIElement*> elements;
  std::map<std::string, GUIActionFunction> actions;
  std::map<std::string, GUIElementFactory> classes;
  std::map<std::string, std::int32_t> paramNames;
  std::map<std::int32_t, std::int32_t> paramTypes;

  // Tips.
  std::int32_t curTip = -1;
  std::int32_t prevTip = -1;
  float tipTimer = 1.0f;
  float prevTipTimer = 1.0f;
  float tipDelay = 1.0f;

  // Delayed commands in insertion order.
  std::vector<DelayedCommand> delayedCommands;
  std::int32_t delayedCount = 0;

  std::vector<CGUIValue> actionArgs;
  // Where the running native action's arguments begin.
  std::int32_t actionArgBase = 0;

  TItemsManager<CGUIEnum>* enumsManager = nullptr;
  TItemsManager<CGUIStyle>* stylesManager = nullptr;

  CMorvane* pEngine = nullptr;
  CMorvaneGUI* pGUI = nullptr;
};

// Brackets one native action call with arguments: what is pushed inside it
// is removed when it ends, even by an exception, and an outer action's
// arguments are visible again.
class CGUIActionArgsFrame {
 public:
  explicit CGUIActionArgsFrame(CMorvaneGUI* fp_pGUI)
      : pGUI(fp_pGUI), savedBase(fp_pGUI->BeginActionArgs()) {}
  ~CGUIActionArgsFrame() { pGUI->EndActionArgs(savedBase); }
  CGUIActionArgsFrame(const CGUIActionArgsFrame&) = delete;
  CGUIActionArgsFrame& operator=(const CGUIActionArgsFrame&) = delete;

 private:
  CMorvaneGUI* pGUI;
  std::int32_t savedBase;
};

// The manager, from the end of its construction until its destruction; null
// otherwise.
CMorvaneGUI* GetGUI();
