// GUI data loading: the three resource loaders (element trees, enumerations,
// styles), the element declarations with their attributes in document order,
// styles and enumerations loaded on demand, and the translation of an
// attribute's text into a parameter value.
static constexpr int kM2DFileID = 313;

#include <cstring>
#include <memory>
#include <vector>

#include "cmorvane.h"
#include "cmorvane_utils_xml.h"
#include "m2dgui_cmorvanegui.h"

namespace {

const char* OrEmpty(const char* fp_psz) {
  M2D_CHECKPOINT;
  return fp_psz != nullptr ? fp_psz : "";
}

// The current manager, which the loaders work on.
CMorvaneGUI* RequireGUI() {
  M2D_CHECKPOINT;
  CMorvaneGUI* tmp_pGUI = GetGUI();
  ZIZAssert(tmp_pGUI);
  return tmp_pGUI;
}

// Fills and parses the document from a resource's bytes. The reader's own
// plain-text failure (an empty buffer) becomes the engine's exception.
void LoadDocument(CXMLDocument* fp_pDoc, const char* fp_pData, int fp_iSize) {
  M2D_CHECKPOINT;
  CMorvane* tmp_pEngine = GetEngine();
  ZIZAssert(tmp_pEngine);
  try {
    fp_pDoc->LoadFromBuffer(fp_pData, fp_iSize, tmp_pEngine->bXMLEncryptMode == 1);
  } catch (const char* tmp_pszError) {
    M2D_THROW(EHS_TYPE_GENERAL, 0, tmp_pszError);
  }
  fp_pDoc->Parse();
}

bool IsRoot(CXMLNode* fp_pRoot, const char* fp_pszName) {
  M2D_CHECKPOINT;
  return fp_pRoot != nullptr && std::strcmp(fp_pRoot->GetName(), fp_pszName) == 0;
}

}  // namespace

// {==== Loaders ===============================================================

void CMorvaneGUI::LoadGUIData(const char* fp_pData, int fp_iSize, const char*, int, int, int,
                              int) {
  M2D_CHECKPOINT;
  CMorvaneGUI* tmp_pGUI = RequireGUI();
  CXMLDocument tmp_Doc;
  LoadDocument(&tmp_Doc, fp_pData, fp_iSize);
  CXMLNode* tmp_pRoot = tmp_Doc.GetRoot();
  if (!IsRoot(tmp_pRoot, "desktop"))
    M2D_THROW(EHS_TYPE_GAME, 0, "Cannot load GUI data from XML file: invalid root node name!");
  for (int i = 0; i < tmp_pRoot->GetChildCount(); ++i)
    tmp_pGUI->ProcessElementNode(tmp_pRoot->GetChild(i), 0);
}

void CMorvaneGUI::LoadGUIEnumData(const char* fp_pData, int fp_iSize, const char* fp_pszStrID,
                                  int, int, int, int) {
  M2D_CHECKPOINT;
  CMorvaneGUI* tmp_pGUI = RequireGUI();
  const char* tmp_pszID = OrEmpty(fp_pszStrID);
  CXMLDocument tmp_Doc;
  LoadDocument(&tmp_Doc, fp_pData, fp_iSize);
  CXMLNode* tmp_pRoot = tmp_Doc.GetRoot();
  if (!IsRoot(tmp_pRoot, "guienum"))
    M2D_THROW(EHS_TYPE_GAME, 0,
              "Cannot load GUIENUM data from XML file: invalid root node name!");
  if (tmp_pGUI->enumsManager->FindItem(tmp_pszID) != -1) return;

  auto tmp_pEnum = std::make_unique<CGUIEnum>();
  for (int i = 0; i < tmp_pRoot->GetAttributeCount(); ++i) {
    const char* tmp_pszName = tmp_pRoot->GetAttributeNameAt(i);
    tmp_pEnum->AddItem(tmp_pszName, tmp_pRoot->GetAttribute(tmp_pszName));
  }
  tmp_pGUI->enumsManager->AddItem(tmp_pEnum.get(), tmp_pszID, 0);
  tmp_pEnum.release();
}

void CMorvaneGUI::LoadGUIStyleData(const char* fp_pData, int fp_iSize, const char* fp_pszStrID,
                                   int, int, int, int) {
  M2D_CHECKPOINT;
  CMorvaneGUI* tmp_pGUI = RequireGUI();
  const char* tmp_pszID = OrEmpty(fp_pszStrID);
  CXMLDocument tmp_Doc;
  LoadDocument(&tmp_Doc, fp_pData, fp_iSize);
  CXMLNode* tmp_pRoot = tmp_Doc.GetRoot();
  if (!IsRoot(tmp_pRoot, "guistyle"))
    M2D_THROW(EHS_TYPE_GAME, 0,
              "Cannot load GUISTYLE data from XML file: invalid root node name!");
  if (tmp_pGUI->stylesManager->FindItem(tmp_pszID) != -1) return;

  auto tmp_pStyle = std::make_unique<CGUIStyle>();
  for (int i = 0; i < tmp_pRoot->GetAttributeCount(); ++i) {
    const char* tmp_pszName = tmp_pRoot->GetAttributeNameAt(i);
    std::int32_t tmp_iID = 0;
    CGUIValue tmp_Value;
    tmp_pGUI->ParseParam(tmp_pszName, tmp_pRoot->GetAttribute(tmp_pszName), &tmp_iID,
                         &tmp_Value);
    tmp_pStyle->AddParam(tmp_iID, tmp_Value);
  }
  tmp_pGUI->stylesManager->AddItem(tmp_pStyle.get(), tmp_pszID, 0);
  tmp_pStyle.release();
}

// }====

// {==== Element declarations =================================================

void CMorvaneGUI::ProcessElementNode(CXMLNode* fp_pNode, std::int32_t fp_iParentID) {
  M2D_CHECKPOINT;
  // Depth first, each element before its children and the children in
  // document order, as a recursion would go, but with a stack of our own:
  // nesting from data must not be able to exhaust the call stack.
  struct SPending {
    CXMLNode* node;
    std::int32_t parentID;
  };
  std::vector<SPending> tmp_vPending{{fp_pNode, fp_iParentID}};
  while (!tmp_vPending.empty()) {
    const SPending tmp_Item = tmp_vPending.back();
    tmp_vPending.pop_back();
    CXMLNode* tmp_pNode = tmp_Item.node;
    if (tmp_pNode == nullptr) continue;

    // An existing element of this string ID is reused as it is: its class
    // and parent are neither checked nor changed.
    const char* tmp_pszID = tmp_pNode->GetAttribute("id");
    std::int32_t tmp_iIndex = GetElementID(tmp_pszID);
    if (tmp_iIndex == -1)
      tmp_iIndex = AddNewElement(tmp_pNode->GetName(), tmp_pszID, tmp_Item.parentID);

    for (int i = 0; i < tmp_pNode->GetAttributeCount(); ++i) {
      const char* tmp_pszName = tmp_pNode->GetAttributeNameAt(i);
      const char* tmp_pszValue = tmp_pNode->GetAttribute(tmp_pszName);
      if (std::strcmp(tmp_pszName, "id") == 0) continue;
      if (std::strncmp(tmp_pszName, "style", 5) == 0) {
        DemandStyle(tmp_pszValue)->ApplyTo(tmp_iIndex);
        continue;
      }
      std::int32_t tmp_iID = 0;
      CGUIValue tmp_Value;
      ParseParam(tmp_pszName, tmp_pszValue, &tmp_iID, &tmp_Value);
      SetElementParam(tmp_iIndex, tmp_iID, tmp_Value);
    }

    for (int i = tmp_pNode->GetChildCount() - 1; i >= 0; --i)
      tmp_vPending.push_back(SPending{tmp_pNode->GetChild(i), tmp_iIndex});
  }
}

void CMorvaneGUI::ParseParam(const char* fp_pszName, const char* fp_pszValueText,
                             std::int32_t* fp_piID, CGUIValue* fp_pValue) {
  M2D_CHECKPOINT;
  const char* tmp_pszName = OrEmpty(fp_pszName);
  const char* tmp_pszText = OrEmpty(fp_pszValueText);
  std::int32_t tmp_iID = 0;
  std::int32_t tmp_iType = 0;
  if (!FindParam(tmp_pszName, &tmp_iID, &tmp_iType))
    M2D_THROW(EHS_TYPE_GAME, 0,
              std::string("Cannot process GUI element param: invalid param name! Param name = ") +
                  tmp_pszName);
  *fp_piID = tmp_iID;
  fp_pValue->Clear();
  if (tmp_pszText[0] == '\0') {
    CMorvane::LogAddEntry("Cannot process GUI element param: value string is empty!",
                          LOG_KIND_FAILED);
    return;
  }
  switch (tmp_iType) {
    case GUIVALUE_FLOAT:
      fp_pValue->SetFloat(GUI_ParseFloat(tmp_pszText));
      break;
    case GUIVALUE_BOOL:
      fp_pValue->SetBool(std::strcmp(tmp_pszText, "1") == 0 ||
                         std::strcmp(tmp_pszText, "true") == 0);
      break;
    case GUIVALUE_STRING:
      fp_pValue->SetString(tmp_pszText);
      break;
    case GUIVALUE_FUNCTION: {
      // A registered native action binds its function; any other name is a
      // Lua function, looked up only when the action runs.
      GUIActionFunction tmp_pFunction = FindAction(tmp_pszText);
      if (tmp_pFunction != nullptr)
        fp_pValue->SetFunction(tmp_pFunction);
      else
        fp_pValue->SetString(tmp_pszText);
      break;
    }
    case GUIVALUE_POINT:
      fp_pValue->SetPoint(ParsePoint(tmp_pszText));
      break;
    case GUIVALUE_RECT:
      fp_pValue->SetRect(ParseRect(tmp_pszText));
      break;
    case GUIVALUE_ENUM:
      fp_pValue->SetEnum(DemandEnum(tmp_pszText));
      break;
    default:
      M2D_THROW(EHS_TYPE_GAME, 0, "Cannot process GUI element param: invalid param type id!");
  }
}

// }====

// {==== On-demand enumerations and styles ===================================

CGUIEnum* CMorvaneGUI::DemandEnum(const char* fp_pszID) {
  M2D_CHECKPOINT;
  const char* tmp_pszID = OrEmpty(fp_pszID);
  int tmp_iSlot = enumsManager->FindItem(tmp_pszID);
  if (tmp_iSlot == -1) {
    pEngine->LoadResource(tmp_pszID);
    tmp_iSlot = enumsManager->FindItem(tmp_pszID);
  }
  CGUIEnum* tmp_pEnum = enumsManager->GetItem(tmp_iSlot);
  if (tmp_pEnum == nullptr)
    M2D_THROW(EHS_TYPE_GAME, 0, std::string("Cannot find GUIENUM data! ID = ") + tmp_pszID);
  return tmp_pEnum;
}

CGUIStyle* CMorvaneGUI::DemandStyle(const char* fp_pszID) {
  M2D_CHECKPOINT;
  const char* tmp_pszID = OrEmpty(fp_pszID);
  int tmp_iSlot = stylesManager->FindItem(tmp_pszID);
  if (tmp_iSlot == -1) {
    pEngine->LoadResource(tmp_pszID);
    tmp_iSlot = stylesManager->FindItem(tmp_pszID);
  }
  CGUIStyle* tmp_pStyle = stylesManager->GetItem(tmp_iSlot);
  if (tmp_pStyle == nullptr)
    M2D_THROW(EHS_TYPE_GAME, 0, std::string("Cannot find GUISTYLE data! ID = ") + tmp_pszID);
  return tmp_pStyle;
}

// }====
