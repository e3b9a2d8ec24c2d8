// Script API, system functions: the frame time and rate, the XML encrypt
// mode, and the per-frame update of every subsystem.
static constexpr int kM2DFileID = 138;

#include "cmorvane_scr_glue.h"

int glue_M2D_SYS_TimerGetDelta(lua_State* fp_pL) {
  M2D_CHECKPOINT;
  return SCR_GlueRun(fp_pL, [fp_pL] {
    lua_pushnumber(fp_pL, SCR_GlueEngine()->GetTimerDelta());
    return 1;
  });
}

int glue_M2D_SYS_TimerGetFPS(lua_State* fp_pL) {
  M2D_CHECKPOINT;
  return SCR_GlueRun(fp_pL, [fp_pL] {
    lua_pushnumber(fp_pL, SCR_GlueEngine()->GetFPS());
    return 1;
  });
}

int glue_M2D_SYS_SetXMLEncryptMode(lua_State* fp_pL) {
  M2D_CHECKPOINT;
  return SCR_GlueRun(fp_pL, [fp_pL] {
    SCR_GlueCheckArgs(fp_pL, "M2D_SYS_SetXMLEncryptMode", "b");
    SCR_GlueEngine()->bXMLEncryptMode = SCR_GlueToBool(fp_pL, 1) ? 1 : 0;
    return 0;
  });
}

int glue_M2D_SYS_UpdateAllSystems(lua_State* fp_pL) {
  M2D_CHECKPOINT;
  return SCR_GlueRun(fp_pL, [fp_pL] {
    lua_pushnumber(fp_pL, SCR_GlueEngine()->UpdateAllSystems());
    return 1;
  });
}
