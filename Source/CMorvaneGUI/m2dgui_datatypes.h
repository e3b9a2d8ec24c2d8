// The GUI's small value types: points and rectangles with their text forms,
// the tagged parameter value CGUIValue, actions (a Lua function by name or a
// native function of the game), enumerations (string lists) and styles
// (parameter lists applied to elements).
#pragma once

#include <climits>
#include <cstdint>
#include <initializer_list>
#include <string>
#include <vector>

class CGUIEnum;

// A native action: a function of the game, no arguments, no result.
using GUIActionFunction = void (*)();

// A float from data or scripts as an integer: truncated toward zero,
// saturated to 32 bits; NaN gives 0.
inline std::int32_t GUI_FloatToInt(float fp_fValue) {
  if (fp_fValue != fp_fValue) return 0;
  if (fp_fValue >= 2147483648.0f) return INT_MAX;
  if (fp_fValue <= -2147483648.0f) return INT_MIN;
  return static_cast<std::int32_t>(fp_fValue);
}

// {==== Points and rectangles ================================================

struct GUIPOINT {
  float x = 0.0f;
  float y = 0.0f;
};

// Positions and sizes in pixels (x, y, width, height); the same type holds
// colours (red, green, blue, alpha in 0 to 1) and texture coordinates
// (uLeft, vTop, uRight, vBottom).
struct GUIRECT {
  float x = 0.0f;
  float y = 0.0f;
  float width = 0.0f;
  float height = 0.0f;

  // Left and top edges inside, right and bottom edges outside.
  bool Contains(const GUIPOINT& fp_rPoint) const;
  // Touching edges do not overlap.
  bool Overlaps(const GUIRECT& fp_rOther) const;
};

// Component-by-component product (colours).
GUIRECT GUI_MultiplyColor(const GUIRECT& fp_rA, const GUIRECT& fp_rB);

// Text forms: numbers separated by blanks (character 32 only). A run of
// blanks is one separator; a blank at the very start opens the second field;
// fields beyond the last are dropped. A missing or unreadable field reads 0.
GUIPOINT ParsePoint(const char* fp_pszText);
GUIRECT ParseRect(const char* fp_pszText);
// A decimal number as a standard input stream reads a float (reading stops at
// the first character that does not fit); 0 when the text does not start
// with a number.
float GUI_ParseFloat(const char* fp_pszText);

// }====

// {==== Values ===============================================================

constexpr std::int32_t GUIVALUE_NONE = 0;
constexpr std::int32_t GUIVALUE_FLOAT = 1;
constexpr std::int32_t GUIVALUE_BOOL = 2;
constexpr std::int32_t GUIVALUE_STRING = 3;
constexpr std::int32_t GUIVALUE_FUNCTION = 4;
constexpr std::int32_t GUIVALUE_POINT = 5;
constexpr std::int32_t GUIVALUE_RECT = 6;
constexpr std::int32_t GUIVALUE_ENUM = 7;

// One parameter value. The getters throw (type General) "CGUIValue error:
// current type is not <name>!" unless the value holds that type; an empty
// value (type 0) fails every getter.
class CGUIValue {
 public:
  CGUIValue() = default;
  CGUIValue(float fp_fValue) { SetFloat(fp_fValue); }
  CGUIValue(bool fp_bValue) { SetBool(fp_bValue); }
  CGUIValue(const char* fp_pszValue) { SetString(fp_pszValue); }
  CGUIValue(const std::string& fp_strValue) { SetString(fp_strValue); }
  CGUIValue(const GUIPOINT& fp_rValue) { SetPoint(fp_rValue); }
  CGUIValue(const GUIRECT& fp_rValue) { SetRect(fp_rValue); }

  // Each setter clears every field first, then stores its own and the type.
  void SetFloat(float fp_fValue);
  void SetBool(bool fp_bValue);
  void SetString(const char* fp_pszValue);  // null stores ""
  void SetString(const std::string& fp_strValue);
  void SetFunction(GUIActionFunction fp_pFunction);
  void SetPoint(const GUIPOINT& fp_rValue);
  void SetRect(const GUIRECT& fp_rValue);
  void SetEnum(CGUIEnum* fp_pEnum);
  // Back to the empty value (type 0).
  void Clear();

  std::int32_t GetType() const { return type; }

  float GetFloat() const;
  bool GetBool() const;
  const std::string& GetString() const;
  GUIActionFunction GetFunction() const;
  const GUIPOINT& GetPoint() const;
  const GUIRECT& GetRect() const;
  CGUIEnum* GetEnum() const;

  // The name of a type in the getters' messages ("float", ..., "CGUIEnum*").
  static const char* GetTypeName(std::int32_t fp_iType);

  float floatValue = 0.0f;
  bool boolValue = false;
  std::string stringValue;
  GUIActionFunction functionValue = nullptr;
  GUIPOINT pointValue;
  GUIRECT rectValue;
  CGUIEnum* enumValue = nullptr;
  std::int32_t type = GUIVALUE_NONE;

 private:
  void ThrowWrongType(std::int32_t fp_iWanted) const;
};

// }====

// {==== Actions ==============================================================

constexpr std::int32_t GUIACTION_NONE = 0;
constexpr std::int32_t GUIACTION_SCRIPT = 1;
constexpr std::int32_t GUIACTION_NATIVE = 2;

// What data attaches to an element's event: a Lua function by name (looked
// up only when the action runs) or a native function the game registered.
class CGUIAction {
 public:
  void SetScript(const char* fp_pszName);
  void SetScript(const std::string& fp_strName) { SetScript(fp_strName.c_str()); }
  void SetNative(GUIActionFunction fp_pFunction);
  // A string value makes a script action, a function pointer value a native
  // one; any other value leaves the action as it was.
  void SetFromValue(const CGUIValue& fp_rValue);

  // Runs the action without arguments (a script action gets whatever script
  // parameters were queued just before). Kind 0 throws (type Game)
  // "Unknown action type!".
  void Execute();
  // Runs the action with arguments, in the form its kind takes: a script
  // action gets each float and boolean as one script value, each point as
  // two numbers and each rectangle as four, in field order; a native action
  // finds the values, one each, in the GUI manager's action argument list
  // while it runs (cleared afterwards). An unset action does nothing.
  void ExecuteWithArgs(const CGUIValue* fp_pArgs, int fp_iCount);
  void ExecuteWithArgs(std::initializer_list<CGUIValue> fp_Args) {
    ExecuteWithArgs(fp_Args.begin(), static_cast<int>(fp_Args.size()));
  }

  bool IsSet() const { return kind != GUIACTION_NONE; }

  std::string scriptName;
  GUIActionFunction function = nullptr;
  std::int32_t kind = GUIACTION_NONE;
};

// }====

// {==== Enumerations and styles ==============================================

// A list of named strings (GUIENUMDATA), in the order they were added.
class CGUIEnum {
 public:
  void AddItem(const char* fp_pszName, const char* fp_pszValue);
  int GetCount() const { return static_cast<int>(values.size()); }
  // An index outside 0 to count-1 throws (type General) "Invalid GUIEnum
  // item index! Index = <n>".
  const std::string& GetValue(int fp_iIndex) const;
  const std::string& GetName(int fp_iIndex) const;

  std::vector<std::string> names;
  std::vector<std::string> values;
};

// A list of parameter values (GUISTYLEDATA) applied to an element in the
// order the style file gave them.
class CGUIStyle {
 public:
  void AddParam(std::int32_t fp_iID, const CGUIValue& fp_rValue);
  // Sets every parameter on the element through the GUI manager; an empty
  // style only writes "Warning: an empty GUI style!" to the log.
  void ApplyTo(int fp_iElementID) const;
  int GetCount() const { return static_cast<int>(values.size()); }

  std::vector<CGUIValue> values;
  std::vector<std::int32_t> paramIDs;
};

// }====
