// GUI values, actions and enumerations: the tagged value with its typed
// getters, the text forms of points and rectangles, the two ways an action
// gets its arguments (script values or the manager's argument list).
static constexpr int kM2DFileID = 302;

#include "m2dgui_datatypes.h"

#include <cfloat>
#include <cstdlib>
#include <cstring>

#include "cmorvane.h"
#include "m2dgui_cmorvanegui.h"

// {==== Points and rectangles ================================================

bool GUIRECT::Contains(const GUIPOINT& fp_rPoint) const {
  M2D_CHECKPOINT;
  return fp_rPoint.x >= x && fp_rPoint.x < x + width && fp_rPoint.y >= y &&
         fp_rPoint.y < y + height;
}

bool GUIRECT::Overlaps(const GUIRECT& fp_rOther) const {
  M2D_CHECKPOINT;
  return fp_rOther.x + fp_rOther.width > x && fp_rOther.y + fp_rOther.height > y &&
         fp_rOther.x < x + width && fp_rOther.y < y + height;
}

GUIRECT GUI_MultiplyColor(const GUIRECT& fp_rA, const GUIRECT& fp_rB) {
  M2D_CHECKPOINT;
  return GUIRECT{fp_rA.x * fp_rB.x, fp_rA.y * fp_rB.y, fp_rA.width * fp_rB.width,
                 fp_rA.height * fp_rB.height};
}

namespace {

bool IsDigit(char fp_c) { return fp_c >= '0' && fp_c <= '9'; }

// Cuts the text into fp_iCount fields at blanks (character 32 only): a blank
// followed by anything but a blank (the end of the text included) moves on
// to the next field, so a run of blanks is one separator and a blank at the
// start opens the second field. Characters past the last field are dropped.
// Each field is at most 63 characters long; longer ones are cut, which no
// number needs.
void SplitFields(const char* fp_pszText, char (*fp_pFields)[64], int fp_iCount) {
  for (int i = 0; i < fp_iCount; ++i) fp_pFields[i][0] = '\0';
  if (fp_pszText == nullptr) return;
  int tmp_iField = 0;
  int tmp_iLen = 0;
  for (const char* p = fp_pszText; *p != '\0'; ++p) {
    if (*p != ' ') {
      if (tmp_iField < fp_iCount && tmp_iLen < 63) {
        fp_pFields[tmp_iField][tmp_iLen++] = *p;
        fp_pFields[tmp_iField][tmp_iLen] = '\0';
      }
    } else if (p[1] != ' ') {
      ++tmp_iField;
      tmp_iLen = 0;
    }
  }
}

}  // namespace

float GUI_ParseFloat(const char* fp_pszText) {
  M2D_CHECKPOINT;
  if (fp_pszText == nullptr) return 0.0f;
  // A stream skips leading white space first.
  const char* p = fp_pszText;
  while (*p == ' ' || *p == '\t' || *p == '\n' || *p == '\r' || *p == '\v' || *p == '\f') ++p;
  // The longest prefix of the form [sign] digits [. digits] [e [sign] digits]
  // with at least one digit in the mantissa; no "inf", "nan" or hex forms.
  char tmp_szNumber[128];
  int n = 0;
  auto tmp_Put = [&](char c) {
    if (n < static_cast<int>(sizeof(tmp_szNumber)) - 1) tmp_szNumber[n++] = c;
  };
  if (*p == '+' || *p == '-') tmp_Put(*p++);
  int tmp_iDigits = 0;
  while (IsDigit(*p)) {
    tmp_Put(*p++);
    ++tmp_iDigits;
  }
  if (*p == '.') {
    tmp_Put(*p++);
    while (IsDigit(*p)) {
      tmp_Put(*p++);
      ++tmp_iDigits;
    }
  }
  if (tmp_iDigits == 0) return 0.0f;
  if ((*p == 'e' || *p == 'E') &&
      (IsDigit(p[1]) || ((p[1] == '+' || p[1] == '-') && IsDigit(p[2])))) {
    tmp_Put(*p++);
    if (*p == '+' || *p == '-') tmp_Put(*p++);
    while (IsDigit(*p)) tmp_Put(*p++);
  }
  tmp_szNumber[n] = '\0';
  const double tmp_dValue = std::strtod(tmp_szNumber, nullptr);
  // A stream gives the largest finite value of the sign for a number out of
  // the float range.
  if (tmp_dValue > static_cast<double>(FLT_MAX)) return FLT_MAX;
  if (tmp_dValue < -static_cast<double>(FLT_MAX)) return -FLT_MAX;
  return static_cast<float>(tmp_dValue);
}

GUIPOINT ParsePoint(const char* fp_pszText) {
  M2D_CHECKPOINT;
  char tmp_Fields[2][64];
  SplitFields(fp_pszText, tmp_Fields, 2);
  return GUIPOINT{GUI_ParseFloat(tmp_Fields[0]), GUI_ParseFloat(tmp_Fields[1])};
}

GUIRECT ParseRect(const char* fp_pszText) {
  M2D_CHECKPOINT;
  char tmp_Fields[4][64];
  SplitFields(fp_pszText, tmp_Fields, 4);
  return GUIRECT{GUI_ParseFloat(tmp_Fields[0]), GUI_ParseFloat(tmp_Fields[1]),
                 GUI_ParseFloat(tmp_Fields[2]), GUI_ParseFloat(tmp_Fields[3])};
}

// }====

// {==== Values ===============================================================

void CGUIValue::Clear() {
  M2D_CHECKPOINT;
  floatValue = 0.0f;
  boolValue = false;
  stringValue.clear();
  functionValue = nullptr;
  pointValue = GUIPOINT{};
  rectValue = GUIRECT{};
  enumValue = nullptr;
  type = GUIVALUE_NONE;
}

void CGUIValue::SetFloat(float fp_fValue) {
  M2D_CHECKPOINT;
  Clear();
  floatValue = fp_fValue;
  type = GUIVALUE_FLOAT;
}

void CGUIValue::SetBool(bool fp_bValue) {
  M2D_CHECKPOINT;
  Clear();
  boolValue = fp_bValue;
  type = GUIVALUE_BOOL;
}

void CGUIValue::SetString(const char* fp_pszValue) {
  M2D_CHECKPOINT;
  Clear();
  if (fp_pszValue != nullptr) stringValue = fp_pszValue;
  type = GUIVALUE_STRING;
}

void CGUIValue::SetString(const std::string& fp_strValue) {
  M2D_CHECKPOINT;
  Clear();
  stringValue = fp_strValue;
  type = GUIVALUE_STRING;
}

void CGUIValue::SetFunction(GUIActionFunction fp_pFunction) {
  M2D_CHECKPOINT;
  Clear();
  functionValue = fp_pFunction;
  type = GUIVALUE_FUNCTION;
}

void CGUIValue::SetPoint(const GUIPOINT& fp_rValue) {
  M2D_CHECKPOINT;
  Clear();
  pointValue = fp_rValue;
  type = GUIVALUE_POINT;
}

void CGUIValue::SetRect(const GUIRECT& fp_rValue) {
  M2D_CHECKPOINT;
  Clear();
  rectValue = fp_rValue;
  type = GUIVALUE_RECT;
}

void CGUIValue::SetEnum(CGUIEnum* fp_pEnum) {
  M2D_CHECKPOINT;
  Clear();
  enumValue = fp_pEnum;
  type = GUIVALUE_ENUM;
}

const char* CGUIValue::GetTypeName(std::int32_t fp_iType) {
  M2D_CHECKPOINT;
  switch (fp_iType) {
    case GUIVALUE_FLOAT: return "float";
    case GUIVALUE_BOOL: return "boolean";
    case GUIVALUE_STRING: return "string";
    case GUIVALUE_FUNCTION: return "function pointer";
    case GUIVALUE_POINT: return "GUIPOINT";
    case GUIVALUE_RECT: return "GUIRECT";
    case GUIVALUE_ENUM: return "CGUIEnum*";
    default: return "";
  }
}

void CGUIValue::ThrowWrongType(std::int32_t fp_iWanted) const {
  M2D_CHECKPOINT;
  M2D_THROW(EHS_TYPE_GENERAL, 0,
            std::string("CGUIValue error: current type is not ") + GetTypeName(fp_iWanted) + "!");
}

float CGUIValue::GetFloat() const {
  M2D_CHECKPOINT;
  if (type != GUIVALUE_FLOAT) ThrowWrongType(GUIVALUE_FLOAT);
  return floatValue;
}

bool CGUIValue::GetBool() const {
  M2D_CHECKPOINT;
  if (type != GUIVALUE_BOOL) ThrowWrongType(GUIVALUE_BOOL);
  return boolValue;
}

const std::string& CGUIValue::GetString() const {
  M2D_CHECKPOINT;
  if (type != GUIVALUE_STRING) ThrowWrongType(GUIVALUE_STRING);
  return stringValue;
}

GUIActionFunction CGUIValue::GetFunction() const {
  M2D_CHECKPOINT;
  if (type != GUIVALUE_FUNCTION) ThrowWrongType(GUIVALUE_FUNCTION);
  return functionValue;
}

const GUIPOINT& CGUIValue::GetPoint() const {
  M2D_CHECKPOINT;
  if (type != GUIVALUE_POINT) ThrowWrongType(GUIVALUE_POINT);
  return pointValue;
}

const GUIRECT& CGUIValue::GetRect() const {
  M2D_CHECKPOINT;
  if (type != GUIVALUE_RECT) ThrowWrongType(GUIVALUE_RECT);
  return rectValue;
}

CGUIEnum* CGUIValue::GetEnum() const {
  M2D_CHECKPOINT;
  if (type != GUIVALUE_ENUM) ThrowWrongType(GUIVALUE_ENUM);
  return enumValue;
}

// }====

// {==== Actions ==============================================================

void CGUIAction::SetScript(const char* fp_pszName) {
  M2D_CHECKPOINT;
  scriptName = fp_pszName != nullptr ? fp_pszName : "";
  kind = GUIACTION_SCRIPT;
}

void CGUIAction::SetNative(GUIActionFunction fp_pFunction) {
  M2D_CHECKPOINT;
  function = fp_pFunction;
  kind = GUIACTION_NATIVE;
}

void CGUIAction::SetFromValue(const CGUIValue& fp_rValue) {
  M2D_CHECKPOINT;
  if (fp_rValue.GetType() == GUIVALUE_STRING) {
    SetScript(fp_rValue.GetString());
  } else if (fp_rValue.GetType() == GUIVALUE_FUNCTION) {
    SetNative(fp_rValue.GetFunction());
  }
}

void CGUIAction::Execute() {
  M2D_CHECKPOINT;
  if (kind == GUIACTION_SCRIPT) {
    CMorvane* tmp_pEngine = GetEngine();
    ZIZAssert(tmp_pEngine);
    tmp_pEngine->CallScriptFunction(scriptName.c_str(), -1);
  } else if (kind == GUIACTION_NATIVE && function != nullptr) {
    function();
  } else {
    // Kind 0, or a native action bound to no function: nothing to call.
    M2D_THROW(EHS_TYPE_GAME, 0, "Unknown action type!");
  }
}

void CGUIAction::ExecuteWithArgs(const CGUIValue* fp_pArgs, int fp_iCount) {
  M2D_CHECKPOINT;
  if (kind == GUIACTION_SCRIPT) {
    CMorvane* tmp_pEngine = GetEngine();
    ZIZAssert(tmp_pEngine);
    for (int i = 0; i < fp_iCount; ++i) {
      const CGUIValue& a = fp_pArgs[i];
      switch (a.GetType()) {
        case GUIVALUE_FLOAT:
          tmp_pEngine->AddScriptParam(CLuaValue(static_cast<double>(a.floatValue)));
          break;
        case GUIVALUE_BOOL:
          tmp_pEngine->AddScriptParam(CLuaValue(a.boolValue));
          break;
        case GUIVALUE_STRING:
          tmp_pEngine->AddScriptParam(CLuaValue(a.stringValue.c_str()));
          break;
        case GUIVALUE_POINT:
          tmp_pEngine->AddScriptParam(CLuaValue(static_cast<double>(a.pointValue.x)));
          tmp_pEngine->AddScriptParam(CLuaValue(static_cast<double>(a.pointValue.y)));
          break;
        case GUIVALUE_RECT:
          tmp_pEngine->AddScriptParam(CLuaValue(static_cast<double>(a.rectValue.x)));
          tmp_pEngine->AddScriptParam(CLuaValue(static_cast<double>(a.rectValue.y)));
          tmp_pEngine->AddScriptParam(CLuaValue(static_cast<double>(a.rectValue.width)));
          tmp_pEngine->AddScriptParam(CLuaValue(static_cast<double>(a.rectValue.height)));
          break;
        default:
          break;
      }
    }
    Execute();
  } else if (kind == GUIACTION_NATIVE) {
    CMorvaneGUI* tmp_pGUI = GetGUI();
    ZIZAssert(tmp_pGUI);
    // The arguments of this call sit above those of any native action that
    // is still running (an action that makes another element run its
    // action); the outer action finds its own again afterwards.
    CGUIActionArgsFrame tmp_Frame(tmp_pGUI);
    for (int i = 0; i < fp_iCount; ++i) tmp_pGUI->PushActionArg(fp_pArgs[i]);
    Execute();
  }
}

// }====

// {==== Enumerations =========================================================

void CGUIEnum::AddItem(const char* fp_pszName, const char* fp_pszValue) {
  M2D_CHECKPOINT;
  names.emplace_back(fp_pszName != nullptr ? fp_pszName : "");
  values.emplace_back(fp_pszValue != nullptr ? fp_pszValue : "");
}

const std::string& CGUIEnum::GetValue(int fp_iIndex) const {
  M2D_CHECKPOINT;
  if (fp_iIndex < 0 || fp_iIndex >= GetCount())
    M2D_THROW(EHS_TYPE_GENERAL, 0,
              "Invalid GUIEnum item index! Index = " + std::to_string(fp_iIndex));
  return values[static_cast<size_t>(fp_iIndex)];
}

const std::string& CGUIEnum::GetName(int fp_iIndex) const {
  M2D_CHECKPOINT;
  if (fp_iIndex < 0 || fp_iIndex >= GetCount())
    M2D_THROW(EHS_TYPE_GENERAL, 0,
              "Invalid GUIEnum item index! Index = " + std::to_string(fp_iIndex));
  return names[static_cast<size_t>(fp_iIndex)];
}

// }====
