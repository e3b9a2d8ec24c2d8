// Script API, resource functions: load one resource by its string ID, or
// every resource of a tag.
static constexpr int kM2DFileID = 150;

#include "cmorvane_scr_glue.h"

int glue_M2D_RES_LoadResource(lua_State* fp_pL) {
  M2D_CHECKPOINT;
  return SCR_GlueRun(fp_pL, [fp_pL] {
    SCR_GlueCheckArgs(fp_pL, "M2D_RES_LoadResource", "s");
    SCR_GlueEngine()->LoadResource(SCR_GlueToString(fp_pL, 1));
    return 0;
  });
}

int glue_M2D_RES_LoadResources(lua_State* fp_pL) {
  M2D_CHECKPOINT;
  return SCR_GlueRun(fp_pL, [fp_pL] {
    SCR_GlueCheckArgs(fp_pL, "M2D_RES_LoadResources", "n");
    SCR_GlueEngine()->LoadResources(SCR_GlueToInt(fp_pL, 1));
    return 0;
  });
}
