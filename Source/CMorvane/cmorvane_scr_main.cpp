// The script subsystem: the one Lua state with its libraries and panic
// handler, registration of C functions as globals, running script resources,
// and the bridge that carries engine exceptions across Lua's frames.
static constexpr int kM2DFileID = 137;

#include <cxxabi.h>

#include <cfloat>
#include <climits>
#include <cmath>
#include <cstring>
#include <exception>
#include <lua.hpp>
#include <string>
#include <typeinfo>

#include "cmorvane.h"
#include "cmorvane_scr_glue.h"

namespace {

// The address of this object is the Lua error value ("marker") that carries a
// stored engine exception out of Lua. A light userdata: scripts cannot make
// one, and Lua's error paths that decorate string messages leave it alone.
const int s_iGlueMarker = 0;

void PushGlueMarker(lua_State* fp_pL) {
  M2D_CHECKPOINT;
  lua_pushlightuserdata(fp_pL, const_cast<int*>(&s_iGlueMarker));
}

// Raises the marker again when an engine exception is waiting: used after
// every base-library function that runs Lua code in protected mode, so that a
// script's own pcall cannot swallow an engine failure.
void ReraiseIfPending(lua_State* fp_pL) {
  M2D_CHECKPOINT;
  CMorvane* tmp_pEngine = GetEngine();
  if (tmp_pEngine != nullptr && tmp_pEngine->SCR_HasPendingException()) {
    PushGlueMarker(fp_pL);
    lua_error(fp_pL);
  }
}

// Stands in for a protected base-library function (its original is upvalue
// 1): calls it with all the arguments, re-raises the marker if an engine
// exception was caught inside, otherwise returns all its results.
int ReraisingWrapper(lua_State* fp_pL) {
  M2D_CHECKPOINT;
  lua_pushvalue(fp_pL, lua_upvalueindex(1));
  lua_insert(fp_pL, 1);
  lua_call(fp_pL, lua_gettop(fp_pL) - 1, LUA_MULTRET);
  ReraiseIfPending(fp_pL);
  return lua_gettop(fp_pL);
}

// Replaces fp_pszName of the table on the top of the stack by the wrapper.
void WrapProtectedFunction(lua_State* fp_pL, const char* fp_pszName) {
  M2D_CHECKPOINT;
  lua_getfield(fp_pL, -1, fp_pszName);
  if (lua_isfunction(fp_pL, -1)) {
    lua_pushcclosure(fp_pL, &ReraisingWrapper, 1);
    lua_setfield(fp_pL, -2, fp_pszName);
  } else {
    lua_pop(fp_pL, 1);
  }
}

// Lua calls this for an error outside any protected call. It must not return
// into Lua (Lua would end the process): it throws, and the exception leaves
// the Lua state like any engine error. Lua has already unwound its call
// stack to the base level; the stack is emptied so the state stays usable.
int LuaPanic(lua_State* fp_pL) {
  M2D_CHECKPOINT;
  lua_settop(fp_pL, 0);
  // The marker of a glue function that failed with no protected call around
  // it: the stored exception is the real failure.
  CMorvane* tmp_pEngine = GetEngine();
  if (tmp_pEngine != nullptr) tmp_pEngine->SCR_RethrowPendingException();
  M2D_THROW(EHS_TYPE_GAME, 0, "Lua is on panic! Error source is unknown.");
}

// The libraries scripts get, opened in this order. Lua's own opening
// functions must be called through Lua, not directly.
struct SLuaLibrary {
  const char* name;
  lua_CFunction open;
};
const SLuaLibrary kLuaLibraries[] = {
    {"", &luaopen_base},
    {LUA_MATHLIBNAME, &luaopen_math},
    {LUA_IOLIBNAME, &luaopen_io},
    {LUA_OSLIBNAME, &luaopen_os},
};

// The engine's script API, in registration order.
struct SScriptAPIEntry {
  const char* name;
  M2DScriptFunction function;
};
const SScriptAPIEntry kEngineScriptAPI[] = {
    {"M2D_SYS_TimerGetDelta", &glue_M2D_SYS_TimerGetDelta},
    {"M2D_SYS_TimerGetFPS", &glue_M2D_SYS_TimerGetFPS},
    {"M2D_SYS_SetXMLEncryptMode", &glue_M2D_SYS_SetXMLEncryptMode},
    {"M2D_SYS_UpdateAllSystems", &glue_M2D_SYS_UpdateAllSystems},
    {"M2D_LOG_AddEntry", &glue_M2D_LOG_AddEntry},
    {"M2D_GFX_SceneBegin", &glue_M2D_GFX_SceneBegin},
    {"M2D_GFX_SceneEnd", &glue_M2D_GFX_SceneEnd},
    {"M2D_GFX_SceneClearScreen", &glue_M2D_GFX_SceneClearScreen},
    {"M2D_GFX_SceneRender", &glue_M2D_GFX_SceneRender},
    {"M2D_GFX_ScenePresent", &glue_M2D_GFX_ScenePresent},
    {"M2D_GFX_SceneSetViewport", &glue_M2D_GFX_SceneSetViewport},
    {"M2D_GFX_SceneMakeScreenshot", &glue_M2D_GFX_SceneMakeScreenshot},
    {"M2D_GFX_SceneSetGamma", &glue_M2D_GFX_SceneSetGamma},
    {"M2D_GFX_VQuadSetPos", &glue_M2D_GFX_VQuadSetPos},
    {"M2D_GFX_VQuadSetPosByVertex", &glue_M2D_GFX_VQuadSetPosByVertex},
    {"M2D_GFX_VQuadRotate", &glue_M2D_GFX_VQuadRotate},
    {"M2D_GFX_VQuadScale", &glue_M2D_GFX_VQuadScale},
    {"M2D_GFX_VQuadMove", &glue_M2D_GFX_VQuadMove},
    {"M2D_GFX_VQuadSetTexCoords", &glue_M2D_GFX_VQuadSetTexCoords},
    {"M2D_GFX_VQuadSetColor", &glue_M2D_GFX_VQuadSetColor},
    {"M2D_GFX_VQuadSetColorByVertex", &glue_M2D_GFX_VQuadSetColorByVertex},
    {"M2D_GFX_TexUnloadByID", &glue_M2D_GFX_TexUnloadByID},
    {"M2D_GFX_TexSet", &glue_M2D_GFX_TexSet},
    {"M2D_GFX_TexSetNoTexture", &glue_M2D_GFX_TexSetNoTexture},
    {"M2D_GFX_TechApply", &glue_M2D_GFX_TechApply},
    {"M2D_GFX_FontSet", &glue_M2D_GFX_FontSet},
    {"M2D_GFX_FontDrawText", &glue_M2D_GFX_FontDrawText},
    {"M2D_INP_KeyboardGetAnyPressedKey", &glue_M2D_INP_KeyboardGetAnyPressedKey},
    {"M2D_INP_KeyboardIsKeyPressed", &glue_M2D_INP_KeyboardIsKeyPressed},
    {"M2D_INP_KeyboardIsKeyClicked", &glue_M2D_INP_KeyboardIsKeyClicked},
    {"M2D_INP_KeyboardSetTextBufferStatus", &glue_M2D_INP_KeyboardSetTextBufferStatus},
    {"M2D_INP_KeyboardSetTextInBuffer", &glue_M2D_INP_KeyboardSetTextInBuffer},
    {"M2D_INP_KeyboardGetTextInBuffer", &glue_M2D_INP_KeyboardGetTextInBuffer},
    {"M2D_INP_KeyboardSetTextBufferSize", &glue_M2D_INP_KeyboardSetTextBufferSize},
    {"M2D_INP_MouseGetAnyPressedKey", &glue_M2D_INP_MouseGetAnyPressedKey},
    {"M2D_INP_MouseIsKeyPressed", &glue_M2D_INP_MouseIsKeyPressed},
    {"M2D_INP_MouseIsKeyClicked", &glue_M2D_INP_MouseIsKeyClicked},
    {"M2D_INP_MouseGetDeltaX", &glue_M2D_INP_MouseGetDeltaX},
    {"M2D_INP_MouseGetDeltaY", &glue_M2D_INP_MouseGetDeltaY},
    {"M2D_INP_MouseGetWheelDelta", &glue_M2D_INP_MouseGetWheelDelta},
    {"M2D_INP_MouseGetCursorPos", &glue_M2D_INP_MouseGetCursorPos},
    {"M2D_INP_MouseGetCursorStatus", &glue_M2D_INP_MouseGetCursorStatus},
    {"M2D_SFX_SetGlobalVolumes", &glue_M2D_SFX_SetGlobalVolumes},
    {"M2D_SFX_SoundUnload", &glue_M2D_SFX_SoundUnload},
    {"M2D_SFX_SoundPlay", &glue_M2D_SFX_SoundPlay},
    {"M2D_SFX_SoundStop", &glue_M2D_SFX_SoundStop},
    {"M2D_SFX_SoundPause", &glue_M2D_SFX_SoundPause},
    {"M2D_SFX_SoundResume", &glue_M2D_SFX_SoundResume},
    {"M2D_SFX_SoundSetAttributes", &glue_M2D_SFX_SoundSetAttributes},
    {"M2D_SFX_SoundSlideAttributes", &glue_M2D_SFX_SoundSlideAttributes},
    {"M2D_SFX_SoundGetStatus", &glue_M2D_SFX_SoundGetStatus},
    {"M2D_SFX_MusicSetVolume", &glue_M2D_SFX_MusicSetVolume},
    {"M2D_SFX_PlaylistSet", &glue_M2D_SFX_PlaylistSet},
    {"M2D_SFX_PlaylistStop", &glue_M2D_SFX_PlaylistStop},
    {"M2D_RES_LoadResource", &glue_M2D_RES_LoadResource},
    {"M2D_RES_LoadResources", &glue_M2D_RES_LoadResources},
    {"M2DUTIL_DemandTexture", &glue_M2DUTIL_DemandTexture},
    {"M2DUTIL_DemandTechnique", &glue_M2DUTIL_DemandTechnique},
    {"M2DUTIL_DemandFont", &glue_M2DUTIL_DemandFont},
    {"M2DUTIL_DemandSound", &glue_M2DUTIL_DemandSound},
    {"M2DUTIL_DemandMusic", &glue_M2DUTIL_DemandMusic},
    {"M2DUTIL_DemandPlaylist", &glue_M2DUTIL_DemandPlaylist},
};

// The Lua error message on the top of the stack, as text.
std::string LuaErrorText(lua_State* fp_pL) {
  M2D_CHECKPOINT;
  const char* tmp_pszText = lua_tostring(fp_pL, -1);
  return tmp_pszText != nullptr ? std::string(tmp_pszText) : "(error object is not a string)";
}

}  // namespace

// {==== Exceptions and Lua ===================================================

bool SCR_IsLuaOwnException() {
  M2D_CHECKPOINT;
  // Lua's C++ build throws a pointer to its internal jump record.
  const std::type_info* tmp_pType = abi::__cxa_current_exception_type();
  return tmp_pType != nullptr && std::strcmp(tmp_pType->name(), "P11lua_longjmp") == 0;
}

int SCR_RaiseStoredException(lua_State* fp_pL, std::exception_ptr fp_pException) {
  M2D_CHECKPOINT;
  CMorvane* tmp_pEngine = GetEngine();
  if (tmp_pEngine == nullptr) {
    lua_pushstring(fp_pL, "Engine object does not exist!");
    return lua_error(fp_pL);
  }
  tmp_pEngine->SCR_StorePendingException(std::move(fp_pException));
  PushGlueMarker(fp_pL);
  return lua_error(fp_pL);
}

void CMorvane::SCR_StorePendingException(std::exception_ptr fp_pException) {
  M2D_CHECKPOINT;
  if (!scrPendingException) scrPendingException = std::move(fp_pException);
}

void CMorvane::SCR_RethrowPendingException() {
  M2D_CHECKPOINT;
  if (!scrPendingException) return;
  std::exception_ptr tmp_pException = std::move(scrPendingException);
  scrPendingException = nullptr;
  std::rethrow_exception(tmp_pException);
}

// }====

// {==== Glue argument frame ==================================================

void SCR_GlueCheckArgs(lua_State* fp_pL, const char* fp_pszName, const char* fp_pszSignature) {
  M2D_CHECKPOINT;
  const int tmp_iCount = lua_gettop(fp_pL);
  int tmp_iBadIndex = 0;
  for (int i = 0; fp_pszSignature[i] != '\0' && tmp_iBadIndex == 0; ++i) {
    const int tmp_iPos = i + 1;
    char tmp_cKind = fp_pszSignature[i];
    if (tmp_cKind >= 'A' && tmp_cKind <= 'Z') {
      if (tmp_iCount != tmp_iPos) continue;
      tmp_cKind = static_cast<char>(tmp_cKind - 'A' + 'a');
    }
    const int tmp_iType = lua_type(fp_pL, tmp_iPos);
    bool tmp_bMatches = false;
    switch (tmp_cKind) {
      case 'n': tmp_bMatches = tmp_iType == LUA_TNUMBER; break;
      case 's': tmp_bMatches = tmp_iType == LUA_TSTRING; break;
      case 'b': tmp_bMatches = tmp_iType == LUA_TBOOLEAN; break;
      case 'i': tmp_bMatches = tmp_iType == LUA_TSTRING || tmp_iType == LUA_TNUMBER; break;
      default: break;
    }
    if (!tmp_bMatches) tmp_iBadIndex = tmp_iPos;
  }
  if (tmp_iBadIndex != 0)
    M2D_THROW(EHS_TYPE_GAME, 0,
              std::string("Error in glue function: ") + "glue_" + fp_pszName + "." +
                  "Invalid argument type. Index = " + std::to_string(tmp_iBadIndex));
}

int SCR_GlueToInt(lua_State* fp_pL, int fp_iPos) {
  M2D_CHECKPOINT;
  const double tmp_dValue = lua_tonumber(fp_pL, fp_iPos);
  if (tmp_dValue != tmp_dValue) return 0;
  if (tmp_dValue >= static_cast<double>(INT_MAX)) return INT_MAX;
  if (tmp_dValue <= static_cast<double>(INT_MIN)) return INT_MIN;
  return static_cast<int>(tmp_dValue);
}

float SCR_GlueToFloat(lua_State* fp_pL, int fp_iPos) {
  M2D_CHECKPOINT;
  const double tmp_dValue = lua_tonumber(fp_pL, fp_iPos);
  if (tmp_dValue > static_cast<double>(FLT_MAX)) return HUGE_VALF;
  if (tmp_dValue < -static_cast<double>(FLT_MAX)) return -HUGE_VALF;
  return static_cast<float>(tmp_dValue);
}

// }====

// {==== Start-up and shut-down ===============================================

void CMorvane::SCR_Init() {
  M2D_CHECKPOINT;
  if (bScrInitialized == 1) M2D_THROW(EHS_TYPE_GENERAL, 0, "Script subsystem reinitialization!");
  bScrInitialized = 1;
  LogAddSeparator(1);
  LogAddEntry("Initializing Scripts Subsystem...", LOG_KIND_HEADING);
  LogAddBlankLines(1);

  LogAddEntry("   Creating Lua state...", LOG_KIND_STEP);
  pLuaState = luaL_newstate();
  if (pLuaState == nullptr) M2D_THROW(EHS_TYPE_GENERAL, 0, "Cannot create lua state!");
  // At once, so that even a failure while the libraries open reaches the
  // engine instead of ending the process.
  lua_atpanic(pLuaState, &LuaPanic);
  LogAddEntry("Done.", LOG_KIND_SUCCESS);
  LogAddBlankLines(2);

  LogAddEntry("   Initializing standart Lua libraries...", LOG_KIND_STEP);
  for (const SLuaLibrary& tmp_rLib : kLuaLibraries) {
    lua_pushcfunction(pLuaState, tmp_rLib.open);
    lua_pushstring(pLuaState, tmp_rLib.name);
    lua_call(pLuaState, 1, 0);
  }
  // The functions that run Lua code in protected mode must not let a script
  // swallow an engine exception.
  lua_pushvalue(pLuaState, LUA_GLOBALSINDEX);
  WrapProtectedFunction(pLuaState, "pcall");
  WrapProtectedFunction(pLuaState, "xpcall");
  WrapProtectedFunction(pLuaState, "load");
  lua_getfield(pLuaState, -1, "coroutine");
  if (lua_istable(pLuaState, -1)) WrapProtectedFunction(pLuaState, "resume");
  lua_settop(pLuaState, 0);
  LogAddEntry("Done.", LOG_KIND_SUCCESS);
  LogAddBlankLines(1);

  lua_atpanic(pLuaState, &LuaPanic);

  for (const SScriptAPIEntry& tmp_rEntry : kEngineScriptAPI)
    RegisterScriptFunction(tmp_rEntry.name, tmp_rEntry.function);

  LogAddEntry("Done.", LOG_KIND_SUCCESS);
  LogAddSeparator(1);
  LogAddBlankLines(1);
}

void CMorvane::SCR_Deinit() {
  M2D_CHECKPOINT;
  if (bScrInitialized != 1)
    M2D_THROW(EHS_TYPE_GENERAL, 0, "Internal error - scripts subsystem was not initialized!");
  bScrInitialized = 0;
  LogAddSeparator(1);
  LogAddEntry("Deinitializing Scripts Subsystem...", LOG_KIND_HEADING);
  if (pLuaState != nullptr) {
    lua_State* tmp_pL = pLuaState;
    pLuaState = nullptr;
    lua_close(tmp_pL);
  }
  scriptParams.clear();
  scriptResults.clear();
  LogAddEntry("Done.", LOG_KIND_SUCCESS);
  LogAddSeparator(1);
  LogAddBlankLines(1);
  // A glue function that failed while the state was closing (a finalizer).
  SCR_RethrowPendingException();
}

// }====

// {==== Registration and script resources ====================================

void CMorvane::RegisterScriptFunction(const char* fp_pszName, M2DScriptFunction fp_pFunction) {
  M2D_CHECKPOINT;
  if (pLuaState == nullptr)
    M2D_THROW(EHS_TYPE_GENERAL, 0, "Internal error - scripts subsystem was not initialized!");
  if (fp_pszName == nullptr || fp_pFunction == nullptr)
    M2D_THROW(EHS_TYPE_GENERAL, 0, "Cannot register script function: no name or no function!");
  const int tmp_iBase = scrCallDepth == 0 ? 0 : lua_gettop(pLuaState);
  lua_settop(pLuaState, tmp_iBase);
  lua_pushstring(pLuaState, fp_pszName);
  lua_pushcfunction(pLuaState, fp_pFunction);
  lua_settable(pLuaState, LUA_GLOBALSINDEX);
  lua_settop(pLuaState, tmp_iBase);
}

void CMorvane::LoadScript(const char* fp_pData, int fp_iSize, const char* fp_pszName) {
  M2D_CHECKPOINT;
  const char* tmp_pszName = fp_pszName != nullptr ? fp_pszName : "";
  if (pLuaState == nullptr)
    M2D_THROW(EHS_TYPE_GENERAL, 0, "Internal error - scripts subsystem was not initialized!");
  if (fp_iSize < 0 || (fp_pData == nullptr && fp_iSize != 0))
    M2D_THROW(EHS_TYPE_GAME, 0, std::string("Invalid script buffer. ID = ") + tmp_pszName);
  LogAddBlankLines(1);
  LogAddEntry(std::string("Loading script from buffer: ") + tmp_pszName, LOG_KIND_STEP);

  lua_State* tmp_pL = pLuaState;
  // At the top level the stack is emptied; a script loaded from inside a
  // script call keeps the frame of the function that asked for it.
  const int tmp_iBase = scrCallDepth == 0 ? 0 : lua_gettop(tmp_pL);
  lua_settop(tmp_pL, tmp_iBase);
  CScrCallDepth tmp_Depth(&scrCallDepth);

  int tmp_iStatus = luaL_loadbuffer(tmp_pL, fp_pData != nullptr ? fp_pData : "",
                                    static_cast<size_t>(fp_iSize), tmp_pszName);
  if (tmp_iStatus != 0) {
    const std::string tmp_strError = LuaErrorText(tmp_pL);
    lua_settop(tmp_pL, tmp_iBase);
    M2D_THROW(EHS_TYPE_LUA, tmp_iStatus, tmp_strError);
  }

  tmp_iStatus = lua_pcall(tmp_pL, 0, 0, 0);
  if (SCR_HasPendingException()) {
    lua_settop(tmp_pL, tmp_iBase);
    SCR_RethrowPendingException();
  }
  if (tmp_iStatus != 0) {
    const std::string tmp_strError = LuaErrorText(tmp_pL);
    lua_settop(tmp_pL, tmp_iBase);
    M2D_THROW(EHS_TYPE_LUA, tmp_iStatus, tmp_strError);
  }

  lua_settop(tmp_pL, tmp_iBase);
  LogAddEntry("Done.", LOG_KIND_SUCCESS);
  LogAddBlankLines(1);
}

// }====
