// Calls into scripts: the parameter list for the next call, calling a global
// Lua function by name, the result list of the last call, and the name of the
// function called last (printed by the fatal-error report).
static constexpr int kM2DFileID = 139;

#include <lua.hpp>
#include <string>

#include "cmorvane.h"
#include "cmorvane_scr_glue.h"
#include "mrv_window.h"

const char* GetCurrentScriptFunction() {
  M2D_CHECKPOINT;
  CMorvane* tmp_pEngine = GetEngine();
  return tmp_pEngine != nullptr ? tmp_pEngine->GetCurrentScriptFunction() : "";
}

void CMorvane::AddScriptParam(const CLuaValue& fp_rValue) {
  M2D_CHECKPOINT;
  scriptParams.push_back(fp_rValue);
}

void CMorvane::CallScriptFunction(const char* fp_pszName, int fp_iResultCount) {
  M2D_CHECKPOINT;
  if (pLuaState == nullptr)
    M2D_THROW(EHS_TYPE_GENERAL, 0, "Internal error - scripts subsystem was not initialized!");
  const char* tmp_pszName = fp_pszName != nullptr ? fp_pszName : "";
  lua_State* tmp_pL = pLuaState;

  // At the top level the stack is emptied; a call made from inside a script
  // call keeps the frame of the function that made it.
  const int tmp_iBase = scrCallDepth == 0 ? 0 : lua_gettop(tmp_pL);
  lua_settop(tmp_pL, tmp_iBase);
  currentScriptFunction = tmp_pszName;
  scriptResults.clear();

  // However the call ends, the parameter list is emptied and the stack is
  // back at its base; but while Lua's own error passes through, the state is
  // Lua's to restore.
  try {
    CScrCallDepth tmp_Depth(&scrCallDepth);
    SCR_CallFunction(tmp_pszName, fp_iResultCount, tmp_iBase);
  } catch (...) {
    scriptParams.clear();
    if (!SCR_IsLuaOwnException()) lua_settop(tmp_pL, tmp_iBase);
    throw;
  }
  scriptParams.clear();
  lua_settop(tmp_pL, tmp_iBase);
}

void CMorvane::SCR_CallFunction(const char* fp_pszName, int fp_iResultCount, int fp_iBase) {
  M2D_CHECKPOINT;
  lua_State* tmp_pL = pLuaState;
  if (fp_iResultCount < -1 || fp_iResultCount > LUAI_MAXCSTACK)
    M2D_THROW(EHS_TYPE_GAME, 0,
              std::string("Function: ") + fp_pszName +
                  " Invalid number of results. Count = " + std::to_string(fp_iResultCount));

  lua_getglobal(tmp_pL, fp_pszName);
  if (!lua_isfunction(tmp_pL, -1)) return;

  const int tmp_iParams = static_cast<int>(scriptParams.size() > static_cast<size_t>(LUAI_MAXCSTACK)
                                               ? LUAI_MAXCSTACK + 1
                                               : scriptParams.size());
  const int tmp_iNeeded = tmp_iParams > fp_iResultCount ? tmp_iParams : fp_iResultCount;
  if (tmp_iParams > LUAI_MAXCSTACK || !lua_checkstack(tmp_pL, tmp_iNeeded + 1))
    M2D_THROW(EHS_TYPE_GAME, 0,
              std::string("Function: ") + fp_pszName + " Too many parameters or results.");
  for (const CLuaValue& tmp_rParam : scriptParams) {
    switch (tmp_rParam.status) {
      case LUAVAL_NUMBER: lua_pushnumber(tmp_pL, tmp_rParam.number); break;
      case LUAVAL_BOOLEAN: lua_pushboolean(tmp_pL, tmp_rParam.boolean ? 1 : 0); break;
      case LUAVAL_STRING:
      case LUAVAL_FUNCTION:
        // A function travels by its name, as a string.
        lua_pushlstring(tmp_pL, tmp_rParam.text.data(), tmp_rParam.text.size());
        break;
      default:
        M2D_THROW(EHS_TYPE_GAME, 0,
                  std::string("Function: ") + fp_pszName +
                      " Wrong parameter type. Type id = " + std::to_string(tmp_rParam.status));
    }
  }

  const int tmp_iStatus = lua_pcall(tmp_pL, tmp_iParams, fp_iResultCount, 0);
  SCR_RethrowPendingException();
  if (tmp_iStatus != 0) {
    const char* tmp_pszError = lua_tostring(tmp_pL, -1);
    M2D_THROW(EHS_TYPE_LUA, tmp_iStatus,
              tmp_pszError != nullptr ? std::string(tmp_pszError)
                                      : std::string("(error object is not a string)"));
  }

  // From the top down: the result list holds the results last to first.
  while (lua_gettop(tmp_pL) > fp_iBase) {
    const int tmp_iType = lua_type(tmp_pL, -1);
    switch (tmp_iType) {
      case LUA_TNUMBER:
        scriptResults.emplace_back(static_cast<double>(lua_tonumber(tmp_pL, -1)));
        break;
      case LUA_TBOOLEAN: scriptResults.emplace_back(lua_toboolean(tmp_pL, -1) != 0); break;
      case LUA_TSTRING: scriptResults.emplace_back(lua_tostring(tmp_pL, -1), false); break;
      default:
        // A function result has no name that could be kept: it is refused
        // like the other kinds.
        M2D_THROW(EHS_TYPE_GAME, 0,
                  std::string("Function: ") + fp_pszName +
                      " returned result of invalid type. Type id = " + std::to_string(tmp_iType));
    }
    lua_pop(tmp_pL, 1);
  }
}
