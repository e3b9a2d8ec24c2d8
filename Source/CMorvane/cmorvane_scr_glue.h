// The common frame of the glue functions (the C functions behind the script
// API): argument type checks, conversions, and the wrapper that keeps C++
// exceptions out of Lua's frames. Also the prototypes of the engine's glue.
#pragma once

#include <exception>
#include <lua.hpp>
#include <utility>

#include "cmorvane.h"

// {==== Argument checks and conversions ======================================
// A signature has one letter per argument position: 'n' number, 's' string,
// 'b' boolean, 'i' ID (string or number). An upper-case letter marks an
// optional argument: it is checked, and read, only when the number of
// arguments equals its position exactly.

// Throws the glue error (type Game) naming the lowest position whose Lua type
// does not match: "Error in glue function: glue_<name>.Invalid argument
// type. Index = <n>". Extra arguments are ignored.
void SCR_GlueCheckArgs(lua_State* fp_pL, const char* fp_pszName, const char* fp_pszSignature);
// True when the optional argument at fp_iPos is to be used.
inline bool SCR_GlueHasOptArg(lua_State* fp_pL, int fp_iPos) {
  return lua_gettop(fp_pL) == fp_iPos;
}
// The number at fp_iPos truncated toward zero, saturated to 32 bits; NaN 0.
int SCR_GlueToInt(lua_State* fp_pL, int fp_iPos);
// The number at fp_iPos as a float; beyond the float range it becomes an
// infinity of its sign.
float SCR_GlueToFloat(lua_State* fp_pL, int fp_iPos);
inline bool SCR_GlueToBool(lua_State* fp_pL, int fp_iPos) {
  return lua_toboolean(fp_pL, fp_iPos) != 0;
}
// The string at fp_iPos (checked to be a string). It stays valid while the
// argument is on the stack, which nested engine calls into Lua preserve.
inline const char* SCR_GlueToString(lua_State* fp_pL, int fp_iPos) {
  return lua_tostring(fp_pL, fp_iPos);
}
inline bool SCR_GlueIsString(lua_State* fp_pL, int fp_iPos) {
  return lua_type(fp_pL, fp_iPos) == LUA_TSTRING;
}

// The engine object; the engine assertion fails when there is none.
inline CMorvane* SCR_GlueEngine() {
  CMorvane* tmp_pEngine = GetEngine();
  ZIZAssert(tmp_pEngine);
  return tmp_pEngine;
}
// }====

// {==== Exceptions and Lua ===================================================

// True while handling an exception that is Lua's own error (its C++ build
// raises errors as exceptions): that one must go on through Lua's frames.
bool SCR_IsLuaOwnException();
// Stores the exception in the engine and raises the glue marker as a Lua
// error (it does not return). The engine rethrows the stored exception where
// it called into Lua; the script API's protected calls re-raise the marker.
int SCR_RaiseStoredException(lua_State* fp_pL, std::exception_ptr fp_pException);

// Runs a glue function's body (which returns the number of results it
// pushed). An exception from the body is caught, the catch block is left, and
// only then is the Lua error raised.
template <class TBody>
int SCR_GlueRun(lua_State* fp_pL, TBody&& fp_Body) {
  std::exception_ptr tmp_pException;
  try {
    return std::forward<TBody>(fp_Body)();
  } catch (...) {
    if (SCR_IsLuaOwnException()) throw;
    tmp_pException = std::current_exception();
  }
  return SCR_RaiseStoredException(fp_pL, std::move(tmp_pException));
}

// }====

// Counts an engine call into Lua for as long as it runs.
class CScrCallDepth {
 public:
  explicit CScrCallDepth(int* fp_piDepth) : piDepth(fp_piDepth) { ++*piDepth; }
  ~CScrCallDepth() { --*piDepth; }
  CScrCallDepth(const CScrCallDepth&) = delete;
  CScrCallDepth& operator=(const CScrCallDepth&) = delete;

 private:
  int* piDepth;
};

// {==== The engine's glue functions, by module ===============================
// cmorvane_glue_sys
int glue_M2D_SYS_TimerGetDelta(lua_State* fp_pL);
int glue_M2D_SYS_TimerGetFPS(lua_State* fp_pL);
int glue_M2D_SYS_SetXMLEncryptMode(lua_State* fp_pL);
int glue_M2D_SYS_UpdateAllSystems(lua_State* fp_pL);
// cmorvane_glue_log
int glue_M2D_LOG_AddEntry(lua_State* fp_pL);
// cmorvane_glue_gfx
int glue_M2D_GFX_SceneBegin(lua_State* fp_pL);
int glue_M2D_GFX_SceneEnd(lua_State* fp_pL);
int glue_M2D_GFX_SceneClearScreen(lua_State* fp_pL);
int glue_M2D_GFX_SceneRender(lua_State* fp_pL);
int glue_M2D_GFX_ScenePresent(lua_State* fp_pL);
int glue_M2D_GFX_SceneSetViewport(lua_State* fp_pL);
int glue_M2D_GFX_SceneMakeScreenshot(lua_State* fp_pL);
int glue_M2D_GFX_SceneSetGamma(lua_State* fp_pL);
int glue_M2D_GFX_VQuadSetPos(lua_State* fp_pL);
int glue_M2D_GFX_VQuadSetPosByVertex(lua_State* fp_pL);
int glue_M2D_GFX_VQuadRotate(lua_State* fp_pL);
int glue_M2D_GFX_VQuadScale(lua_State* fp_pL);
int glue_M2D_GFX_VQuadMove(lua_State* fp_pL);
int glue_M2D_GFX_VQuadSetTexCoords(lua_State* fp_pL);
int glue_M2D_GFX_VQuadSetColor(lua_State* fp_pL);
int glue_M2D_GFX_VQuadSetColorByVertex(lua_State* fp_pL);
int glue_M2D_GFX_TexUnloadByID(lua_State* fp_pL);
int glue_M2D_GFX_TexSet(lua_State* fp_pL);
int glue_M2D_GFX_TexSetNoTexture(lua_State* fp_pL);
int glue_M2D_GFX_TechApply(lua_State* fp_pL);
int glue_M2D_GFX_FontSet(lua_State* fp_pL);
int glue_M2D_GFX_FontDrawText(lua_State* fp_pL);
// cmorvane_glue_inp
int glue_M2D_INP_KeyboardGetAnyPressedKey(lua_State* fp_pL);
int glue_M2D_INP_KeyboardIsKeyPressed(lua_State* fp_pL);
int glue_M2D_INP_KeyboardIsKeyClicked(lua_State* fp_pL);
int glue_M2D_INP_KeyboardSetTextBufferStatus(lua_State* fp_pL);
int glue_M2D_INP_KeyboardSetTextInBuffer(lua_State* fp_pL);
int glue_M2D_INP_KeyboardGetTextInBuffer(lua_State* fp_pL);
int glue_M2D_INP_KeyboardSetTextBufferSize(lua_State* fp_pL);
int glue_M2D_INP_MouseGetAnyPressedKey(lua_State* fp_pL);
int glue_M2D_INP_MouseIsKeyPressed(lua_State* fp_pL);
int glue_M2D_INP_MouseIsKeyClicked(lua_State* fp_pL);
int glue_M2D_INP_MouseGetDeltaX(lua_State* fp_pL);
int glue_M2D_INP_MouseGetDeltaY(lua_State* fp_pL);
int glue_M2D_INP_MouseGetWheelDelta(lua_State* fp_pL);
int glue_M2D_INP_MouseGetCursorPos(lua_State* fp_pL);
int glue_M2D_INP_MouseGetCursorStatus(lua_State* fp_pL);
// cmorvane_glue_sfx
int glue_M2D_SFX_SetGlobalVolumes(lua_State* fp_pL);
int glue_M2D_SFX_SoundUnload(lua_State* fp_pL);
int glue_M2D_SFX_SoundPlay(lua_State* fp_pL);
int glue_M2D_SFX_SoundStop(lua_State* fp_pL);
int glue_M2D_SFX_SoundPause(lua_State* fp_pL);
int glue_M2D_SFX_SoundResume(lua_State* fp_pL);
int glue_M2D_SFX_SoundSetAttributes(lua_State* fp_pL);
int glue_M2D_SFX_SoundSlideAttributes(lua_State* fp_pL);
int glue_M2D_SFX_SoundGetStatus(lua_State* fp_pL);
int glue_M2D_SFX_MusicSetVolume(lua_State* fp_pL);
int glue_M2D_SFX_PlaylistSet(lua_State* fp_pL);
int glue_M2D_SFX_PlaylistStop(lua_State* fp_pL);
// cmorvane_glue_res
int glue_M2D_RES_LoadResource(lua_State* fp_pL);
int glue_M2D_RES_LoadResources(lua_State* fp_pL);
// cmorvane_glue_util
int glue_M2DUTIL_DemandTexture(lua_State* fp_pL);
int glue_M2DUTIL_DemandTechnique(lua_State* fp_pL);
int glue_M2DUTIL_DemandFont(lua_State* fp_pL);
int glue_M2DUTIL_DemandSound(lua_State* fp_pL);
int glue_M2DUTIL_DemandMusic(lua_State* fp_pL);
int glue_M2DUTIL_DemandPlaylist(lua_State* fp_pL);
// }====
