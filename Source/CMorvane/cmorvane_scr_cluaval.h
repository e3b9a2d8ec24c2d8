// CLuaValue: the small tagged value (number, boolean, string, or a global
// function given by its name) that carries parameters into a script call and
// results out of it.
#pragma once

#include <cstdint>
#include <string>

// Status of a CLuaValue.
constexpr int LUAVAL_NUMBER = 1;
constexpr int LUAVAL_BOOLEAN = 2;
constexpr int LUAVAL_STRING = 3;
constexpr int LUAVAL_FUNCTION = 4;

class CLuaValue {
 public:
  explicit CLuaValue(double fp_dNumber);
  explicit CLuaValue(bool fp_bBoolean);
  // A string, or with fp_bIsFunction the name of a global function; the text
  // is copied (null reads as ""). The default keeps CLuaValue("abc") a
  // string instead of letting the pointer convert to a boolean.
  CLuaValue(const char* fp_pszText, bool fp_bIsFunction = false);

  int GetStatus() const { return status; }
  // Each getter throws (type General) unless the status matches.
  double GetNumber() const;
  bool GetBoolean() const;
  const char* GetString() const;
  const char* GetFunction() const;

  // Fields that do not belong to the status are 0, false or "".
  double number = 0.0;
  bool boolean = false;
  std::string text;
  std::int32_t status = 0;
};
