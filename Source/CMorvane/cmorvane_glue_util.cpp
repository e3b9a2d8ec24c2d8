// Script API, demand functions: the integer ID of a resource, loaded first if
// necessary.
static constexpr int kM2DFileID = 151;

#include "cmorvane_scr_glue.h"
#include "cmorvane_utils_demand.h"

int glue_M2DUTIL_DemandTexture(lua_State* fp_pL) {
  M2D_CHECKPOINT;
  return SCR_GlueRun(fp_pL, [fp_pL] {
    SCR_GlueCheckArgs(fp_pL, "M2DUTIL_DemandTexture", "s");
    lua_pushnumber(fp_pL, M2DUTIL_DemandTexture(SCR_GlueToString(fp_pL, 1)));
    return 1;
  });
}

int glue_M2DUTIL_DemandTechnique(lua_State* fp_pL) {
  M2D_CHECKPOINT;
  return SCR_GlueRun(fp_pL, [fp_pL] {
    SCR_GlueCheckArgs(fp_pL, "M2DUTIL_DemandTechnique", "ss");
    lua_pushnumber(fp_pL,
                   M2DUTIL_DemandTechnique(SCR_GlueToString(fp_pL, 1), SCR_GlueToString(fp_pL, 2)));
    return 1;
  });
}

int glue_M2DUTIL_DemandFont(lua_State* fp_pL) {
  M2D_CHECKPOINT;
  return SCR_GlueRun(fp_pL, [fp_pL] {
    SCR_GlueCheckArgs(fp_pL, "M2DUTIL_DemandFont", "s");
    lua_pushnumber(fp_pL, M2DUTIL_DemandFont(SCR_GlueToString(fp_pL, 1)));
    return 1;
  });
}

int glue_M2DUTIL_DemandSound(lua_State* fp_pL) {
  M2D_CHECKPOINT;
  return SCR_GlueRun(fp_pL, [fp_pL] {
    SCR_GlueCheckArgs(fp_pL, "M2DUTIL_DemandSound", "s");
    lua_pushnumber(fp_pL, M2DUTIL_DemandSound(SCR_GlueToString(fp_pL, 1)));
    return 1;
  });
}

int glue_M2DUTIL_DemandMusic(lua_State* fp_pL) {
  M2D_CHECKPOINT;
  return SCR_GlueRun(fp_pL, [fp_pL] {
    SCR_GlueCheckArgs(fp_pL, "M2DUTIL_DemandMusic", "s");
    lua_pushnumber(fp_pL, M2DUTIL_DemandMusic(SCR_GlueToString(fp_pL, 1)));
    return 1;
  });
}

int glue_M2DUTIL_DemandPlaylist(lua_State* fp_pL) {
  M2D_CHECKPOINT;
  return SCR_GlueRun(fp_pL, [fp_pL] {
    SCR_GlueCheckArgs(fp_pL, "M2DUTIL_DemandPlaylist", "s");
    lua_pushnumber(fp_pL, M2DUTIL_DemandPlaylist(SCR_GlueToString(fp_pL, 1)));
    return 1;
  });
}
