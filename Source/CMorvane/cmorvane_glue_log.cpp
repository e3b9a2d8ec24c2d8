// Script API, log function: a script's line goes into the game log as it is.
static constexpr int kM2DFileID = 146;

#include "cmorvane_scr_glue.h"

int glue_M2D_LOG_AddEntry(lua_State* fp_pL) {
  M2D_CHECKPOINT;
  return SCR_GlueRun(fp_pL, [fp_pL] {
    SCR_GlueCheckArgs(fp_pL, "M2D_LOG_AddEntry", "s");
    CMorvane::LogAddLine(SCR_GlueToString(fp_pL, 1));
    return 0;
  });
}
