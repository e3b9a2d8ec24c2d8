// CLuaValue: construction by kind and the checked getters.
#include "cmorvane_scr_cluaval.h"

#include "cmorvane_ehs.h"

CLuaValue::CLuaValue(double fp_dNumber) : number(fp_dNumber), status(LUAVAL_NUMBER) {}

CLuaValue::CLuaValue(bool fp_bBoolean) : boolean(fp_bBoolean), status(LUAVAL_BOOLEAN) {}

CLuaValue::CLuaValue(const char* fp_pszText, bool fp_bIsFunction)
    : text(fp_pszText != nullptr ? fp_pszText : ""),
      status(fp_bIsFunction ? LUAVAL_FUNCTION : LUAVAL_STRING) {}

double CLuaValue::GetNumber() const {
  if (status != LUAVAL_NUMBER)
    M2D_THROW(EHS_TYPE_GENERAL, 0,
              "CLuaValue error: cannot return number because of different status!");
  return number;
}

bool CLuaValue::GetBoolean() const {
  if (status != LUAVAL_BOOLEAN)
    M2D_THROW(EHS_TYPE_GENERAL, 0,
              "CLuaValue error: cannot return boolean because of different status!");
  return boolean;
}

const char* CLuaValue::GetString() const {
  if (status != LUAVAL_STRING)
    M2D_THROW(EHS_TYPE_GENERAL, 0,
              "CLuaValue error: cannot return string because of different status!");
  return text.c_str();
}

const char* CLuaValue::GetFunction() const {
  if (status != LUAVAL_FUNCTION)
    M2D_THROW(EHS_TYPE_GENERAL, 0,
              "CLuaValue error: cannot return function because of different status!");
  return text.c_str();
}
