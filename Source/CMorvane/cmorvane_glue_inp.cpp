// Script API, input functions: keyboard keys and the text-entry buffer, mouse
// buttons, motion, wheel and cursor.
static constexpr int kM2DFileID = 148;

#include <cstdint>

#include "cmorvane_scr_glue.h"

// {==== Keyboard =============================================================

int glue_M2D_INP_KeyboardGetAnyPressedKey(lua_State* fp_pL) {
  M2D_CHECKPOINT;
  return SCR_GlueRun(fp_pL, [fp_pL] {
    lua_pushnumber(fp_pL, SCR_GlueEngine()->INP_KeyboardGetAnyPressedKey());
    return 1;
  });
}

int glue_M2D_INP_KeyboardIsKeyPressed(lua_State* fp_pL) {
  M2D_CHECKPOINT;
  return SCR_GlueRun(fp_pL, [fp_pL] {
    SCR_GlueCheckArgs(fp_pL, "M2D_INP_KeyboardIsKeyPressed", "n");
    lua_pushboolean(fp_pL, SCR_GlueEngine()->INP_KeyboardIsKeyPressed(SCR_GlueToInt(fp_pL, 1)));
    return 1;
  });
}

int glue_M2D_INP_KeyboardIsKeyClicked(lua_State* fp_pL) {
  M2D_CHECKPOINT;
  return SCR_GlueRun(fp_pL, [fp_pL] {
    SCR_GlueCheckArgs(fp_pL, "M2D_INP_KeyboardIsKeyClicked", "n");
    lua_pushboolean(fp_pL, SCR_GlueEngine()->INP_KeyboardIsKeyClicked(SCR_GlueToInt(fp_pL, 1)));
    return 1;
  });
}

int glue_M2D_INP_KeyboardSetTextBufferStatus(lua_State* fp_pL) {
  M2D_CHECKPOINT;
  return SCR_GlueRun(fp_pL, [fp_pL] {
    SCR_GlueCheckArgs(fp_pL, "M2D_INP_KeyboardSetTextBufferStatus", "b");
    SCR_GlueEngine()->INP_KeyboardSetTextBufferStatus(SCR_GlueToBool(fp_pL, 1));
    return 0;
  });
}

int glue_M2D_INP_KeyboardSetTextInBuffer(lua_State* fp_pL) {
  M2D_CHECKPOINT;
  return SCR_GlueRun(fp_pL, [fp_pL] {
    SCR_GlueCheckArgs(fp_pL, "M2D_INP_KeyboardSetTextInBuffer", "s");
    SCR_GlueEngine()->INP_KeyboardSetTextInBuffer(SCR_GlueToString(fp_pL, 1));
    return 0;
  });
}

int glue_M2D_INP_KeyboardGetTextInBuffer(lua_State* fp_pL) {
  M2D_CHECKPOINT;
  return SCR_GlueRun(fp_pL, [fp_pL] {
    const std::string& tmp_rText = SCR_GlueEngine()->INP_KeyboardGetTextInBuffer();
    lua_pushlstring(fp_pL, tmp_rText.data(), tmp_rText.size());
    return 1;
  });
}

int glue_M2D_INP_KeyboardSetTextBufferSize(lua_State* fp_pL) {
  M2D_CHECKPOINT;
  return SCR_GlueRun(fp_pL, [fp_pL] {
    SCR_GlueCheckArgs(fp_pL, "M2D_INP_KeyboardSetTextBufferSize", "n");
    // The size is unsigned: a negative one saturates at 0 instead of
    // wrapping round to a huge maximum.
    const int tmp_iSize = SCR_GlueToInt(fp_pL, 1);
    SCR_GlueEngine()->INP_KeyboardSetTextBufferSize(
        static_cast<std::uint32_t>(tmp_iSize < 0 ? 0 : tmp_iSize));
    return 0;
  });
}

// }====

// {==== Mouse ================================================================

int glue_M2D_INP_MouseGetAnyPressedKey(lua_State* fp_pL) {
  M2D_CHECKPOINT;
  return SCR_GlueRun(fp_pL, [fp_pL] {
    lua_pushnumber(fp_pL, SCR_GlueEngine()->INP_MouseGetAnyPressedKey());
    return 1;
  });
}

int glue_M2D_INP_MouseIsKeyPressed(lua_State* fp_pL) {
  M2D_CHECKPOINT;
  return SCR_GlueRun(fp_pL, [fp_pL] {
    SCR_GlueCheckArgs(fp_pL, "M2D_INP_MouseIsKeyPressed", "n");
    lua_pushboolean(fp_pL, SCR_GlueEngine()->INP_MouseIsKeyPressed(SCR_GlueToInt(fp_pL, 1)));
    return 1;
  });
}

int glue_M2D_INP_MouseIsKeyClicked(lua_State* fp_pL) {
  M2D_CHECKPOINT;
  return SCR_GlueRun(fp_pL, [fp_pL] {
    SCR_GlueCheckArgs(fp_pL, "M2D_INP_MouseIsKeyClicked", "n");
    lua_pushboolean(fp_pL, SCR_GlueEngine()->INP_MouseIsKeyClicked(SCR_GlueToInt(fp_pL, 1)));
    return 1;
  });
}

int glue_M2D_INP_MouseGetDeltaX(lua_State* fp_pL) {
  M2D_CHECKPOINT;
  return SCR_GlueRun(fp_pL, [fp_pL] {
    lua_pushnumber(fp_pL, SCR_GlueEngine()->INP_MouseGetDeltaX());
    return 1;
  });
}

int glue_M2D_INP_MouseGetDeltaY(lua_State* fp_pL) {
  M2D_CHECKPOINT;
  return SCR_GlueRun(fp_pL, [fp_pL] {
    lua_pushnumber(fp_pL, SCR_GlueEngine()->INP_MouseGetDeltaY());
    return 1;
  });
}

int glue_M2D_INP_MouseGetWheelDelta(lua_State* fp_pL) {
  M2D_CHECKPOINT;
  return SCR_GlueRun(fp_pL, [fp_pL] {
    lua_pushnumber(fp_pL, SCR_GlueEngine()->INP_MouseGetWheelDelta());
    return 1;
  });
}

int glue_M2D_INP_MouseGetCursorPos(lua_State* fp_pL) {
  M2D_CHECKPOINT;
  return SCR_GlueRun(fp_pL, [fp_pL] {
    std::int32_t tmp_iX = 0;
    std::int32_t tmp_iY = 0;
    SCR_GlueEngine()->INP_MouseGetCursorPos(&tmp_iX, &tmp_iY);
    lua_pushnumber(fp_pL, tmp_iX);
    lua_pushnumber(fp_pL, tmp_iY);
    return 2;
  });
}

int glue_M2D_INP_MouseGetCursorStatus(lua_State* fp_pL) {
  M2D_CHECKPOINT;
  return SCR_GlueRun(fp_pL, [fp_pL] {
    lua_pushboolean(fp_pL, SCR_GlueEngine()->INP_MouseGetCursorStatus());
    return 1;
  });
}

// }====
