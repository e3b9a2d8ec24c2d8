// Script API, sound functions: global volumes, sounds by string or integer
// ID, the music volume and playlists.
static constexpr int kM2DFileID = 149;

#include "cmorvane_scr_glue.h"

namespace {

// A sound argument: a string ID is looked up in the sounds manager (-1 when
// absent, which the playback operations refuse; -2 without sound output,
// which they ignore), a number is the integer ID.
int SoundID(CMorvane* fp_pEngine, lua_State* fp_pL, int fp_iPos) {
  M2D_CHECKPOINT;
  if (SCR_GlueIsString(fp_pL, fp_iPos))
    return fp_pEngine->SFX_SoundGetIID(SCR_GlueToString(fp_pL, fp_iPos));
  return SCR_GlueToInt(fp_pL, fp_iPos);
}

}  // namespace

int glue_M2D_SFX_SetGlobalVolumes(lua_State* fp_pL) {
  M2D_CHECKPOINT;
  return SCR_GlueRun(fp_pL, [fp_pL] {
    SCR_GlueCheckArgs(fp_pL, "M2D_SFX_SetGlobalVolumes", "nn");
    SCR_GlueEngine()->SFX_SetGlobalVolumes(SCR_GlueToInt(fp_pL, 1), SCR_GlueToInt(fp_pL, 2));
    return 0;
  });
}

int glue_M2D_SFX_SoundUnload(lua_State* fp_pL) {
  M2D_CHECKPOINT;
  return SCR_GlueRun(fp_pL, [fp_pL] {
    SCR_GlueCheckArgs(fp_pL, "M2D_SFX_SoundUnload", "i");
    CMorvane* tmp_pEngine = SCR_GlueEngine();
    if (SCR_GlueIsString(fp_pL, 1))
      tmp_pEngine->SFX_SoundUnload(SCR_GlueToString(fp_pL, 1));
    else
      tmp_pEngine->SFX_SoundUnload(SCR_GlueToInt(fp_pL, 1));
    return 0;
  });
}

int glue_M2D_SFX_SoundPlay(lua_State* fp_pL) {
  M2D_CHECKPOINT;
  return SCR_GlueRun(fp_pL, [fp_pL] {
    SCR_GlueCheckArgs(fp_pL, "M2D_SFX_SoundPlay", "ibnnn");
    CMorvane* tmp_pEngine = SCR_GlueEngine();
    const int tmp_iID = SoundID(tmp_pEngine, fp_pL, 1);
    tmp_pEngine->SFX_SoundPlay(tmp_iID, SCR_GlueToBool(fp_pL, 2) ? 1 : 0, SCR_GlueToInt(fp_pL, 3),
                               SCR_GlueToInt(fp_pL, 4), SCR_GlueToInt(fp_pL, 5));
    return 0;
  });
}

int glue_M2D_SFX_SoundStop(lua_State* fp_pL) {
  M2D_CHECKPOINT;
  return SCR_GlueRun(fp_pL, [fp_pL] {
    SCR_GlueCheckArgs(fp_pL, "M2D_SFX_SoundStop", "i");
    CMorvane* tmp_pEngine = SCR_GlueEngine();
    tmp_pEngine->SFX_SoundStop(SoundID(tmp_pEngine, fp_pL, 1));
    return 0;
  });
}

int glue_M2D_SFX_SoundPause(lua_State* fp_pL) {
  M2D_CHECKPOINT;
  return SCR_GlueRun(fp_pL, [fp_pL] {
    SCR_GlueCheckArgs(fp_pL, "M2D_SFX_SoundPause", "i");
    CMorvane* tmp_pEngine = SCR_GlueEngine();
    tmp_pEngine->SFX_SoundPause(SoundID(tmp_pEngine, fp_pL, 1));
    return 0;
  });
}

int glue_M2D_SFX_SoundResume(lua_State* fp_pL) {
  M2D_CHECKPOINT;
  return SCR_GlueRun(fp_pL, [fp_pL] {
    SCR_GlueCheckArgs(fp_pL, "M2D_SFX_SoundResume", "i");
    CMorvane* tmp_pEngine = SCR_GlueEngine();
    tmp_pEngine->SFX_SoundResume(SoundID(tmp_pEngine, fp_pL, 1));
    return 0;
  });
}

int glue_M2D_SFX_SoundSetAttributes(lua_State* fp_pL) {
  M2D_CHECKPOINT;
  return SCR_GlueRun(fp_pL, [fp_pL] {
    SCR_GlueCheckArgs(fp_pL, "M2D_SFX_SoundSetAttributes", "innn");
    CMorvane* tmp_pEngine = SCR_GlueEngine();
    const int tmp_iID = SoundID(tmp_pEngine, fp_pL, 1);
    tmp_pEngine->SFX_SoundSetAttributes(tmp_iID, SCR_GlueToInt(fp_pL, 2), SCR_GlueToInt(fp_pL, 3),
                                        SCR_GlueToInt(fp_pL, 4));
    return 0;
  });
}

int glue_M2D_SFX_SoundSlideAttributes(lua_State* fp_pL) {
  M2D_CHECKPOINT;
  return SCR_GlueRun(fp_pL, [fp_pL] {
    SCR_GlueCheckArgs(fp_pL, "M2D_SFX_SoundSlideAttributes", "innnn");
    CMorvane* tmp_pEngine = SCR_GlueEngine();
    const int tmp_iID = SoundID(tmp_pEngine, fp_pL, 1);
    tmp_pEngine->SFX_SoundSlideAttributes(tmp_iID, SCR_GlueToInt(fp_pL, 2), SCR_GlueToInt(fp_pL, 3),
                                          SCR_GlueToInt(fp_pL, 4), SCR_GlueToInt(fp_pL, 5));
    return 0;
  });
}

int glue_M2D_SFX_SoundGetStatus(lua_State* fp_pL) {
  M2D_CHECKPOINT;
  return SCR_GlueRun(fp_pL, [fp_pL] {
    SCR_GlueCheckArgs(fp_pL, "M2D_SFX_SoundGetStatus", "i");
    CMorvane* tmp_pEngine = SCR_GlueEngine();
    const std::uint32_t tmp_uStatus =
        tmp_pEngine->SFX_SoundGetStatus(SoundID(tmp_pEngine, fp_pL, 1));
    lua_pushnumber(fp_pL, static_cast<lua_Number>(tmp_uStatus));
    return 1;
  });
}

int glue_M2D_SFX_MusicSetVolume(lua_State* fp_pL) {
  M2D_CHECKPOINT;
  return SCR_GlueRun(fp_pL, [fp_pL] {
    SCR_GlueCheckArgs(fp_pL, "M2D_SFX_MusicSetVolume", "nn");
    SCR_GlueEngine()->SFX_MusicSetVolume(SCR_GlueToInt(fp_pL, 1), SCR_GlueToInt(fp_pL, 2));
    return 0;
  });
}

int glue_M2D_SFX_PlaylistSet(lua_State* fp_pL) {
  M2D_CHECKPOINT;
  return SCR_GlueRun(fp_pL, [fp_pL] {
    SCR_GlueCheckArgs(fp_pL, "M2D_SFX_PlaylistSet", "i");
    CMorvane* tmp_pEngine = SCR_GlueEngine();
    if (SCR_GlueIsString(fp_pL, 1))
      tmp_pEngine->SFX_PlaylistSet(SCR_GlueToString(fp_pL, 1));
    else
      tmp_pEngine->SFX_PlaylistSet(SCR_GlueToInt(fp_pL, 1));
    return 0;
  });
}

int glue_M2D_SFX_PlaylistStop(lua_State* fp_pL) {
  M2D_CHECKPOINT;
  return SCR_GlueRun(fp_pL, [fp_pL] {
    SCR_GlueEngine()->SFX_PlaylistStop();
    return 0;
  });
}
