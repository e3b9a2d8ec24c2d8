// Script API, graphics functions: the scene, the quad template, textures,
// techniques and bitmap fonts.
static constexpr int kM2DFileID = 147;

#include "cmorvane_scr_glue.h"

// {==== Scene ================================================================

int glue_M2D_GFX_SceneBegin(lua_State* fp_pL) {
  M2D_CHECKPOINT;
  return SCR_GlueRun(fp_pL, [] {
    SCR_GlueEngine()->GFX_SceneBegin();
    return 0;
  });
}

int glue_M2D_GFX_SceneEnd(lua_State* fp_pL) {
  M2D_CHECKPOINT;
  return SCR_GlueRun(fp_pL, [] {
    SCR_GlueEngine()->GFX_SceneEnd();
    return 0;
  });
}

int glue_M2D_GFX_SceneClearScreen(lua_State* fp_pL) {
  M2D_CHECKPOINT;
  return SCR_GlueRun(fp_pL, [fp_pL] {
    SCR_GlueCheckArgs(fp_pL, "M2D_GFX_SceneClearScreen", "nnn");
    SCR_GlueEngine()->GFX_SceneClearScreen(SCR_GlueToFloat(fp_pL, 1), SCR_GlueToFloat(fp_pL, 2),
                                           SCR_GlueToFloat(fp_pL, 3));
    return 0;
  });
}

int glue_M2D_GFX_SceneRender(lua_State* fp_pL) {
  M2D_CHECKPOINT;
  return SCR_GlueRun(fp_pL, [] {
    SCR_GlueEngine()->GFX_SceneRender();
    return 0;
  });
}

int glue_M2D_GFX_ScenePresent(lua_State* fp_pL) {
  M2D_CHECKPOINT;
  return SCR_GlueRun(fp_pL, [] {
    SCR_GlueEngine()->GFX_ScenePresent();
    return 0;
  });
}

int glue_M2D_GFX_SceneSetViewport(lua_State* fp_pL) {
  M2D_CHECKPOINT;
  return SCR_GlueRun(fp_pL, [fp_pL] {
    SCR_GlueCheckArgs(fp_pL, "M2D_GFX_SceneSetViewport", "nnnn");
    SCR_GlueEngine()->GFX_SceneSetViewport(SCR_GlueToInt(fp_pL, 1), SCR_GlueToInt(fp_pL, 2),
                                           SCR_GlueToInt(fp_pL, 3), SCR_GlueToInt(fp_pL, 4));
    return 0;
  });
}

int glue_M2D_GFX_SceneMakeScreenshot(lua_State* fp_pL) {
  M2D_CHECKPOINT;
  return SCR_GlueRun(fp_pL, [] {
    SCR_GlueEngine()->GFX_SceneMakeScreenshot();
    return 0;
  });
}

int glue_M2D_GFX_SceneSetGamma(lua_State* fp_pL) {
  M2D_CHECKPOINT;
  return SCR_GlueRun(fp_pL, [fp_pL] {
    SCR_GlueCheckArgs(fp_pL, "M2D_GFX_SceneSetGamma", "nn");
    SCR_GlueEngine()->GFX_SceneSetGamma(SCR_GlueToFloat(fp_pL, 1), SCR_GlueToFloat(fp_pL, 2));
    return 0;
  });
}

// }====

// {==== Quad template ========================================================

int glue_M2D_GFX_VQuadSetPos(lua_State* fp_pL) {
  M2D_CHECKPOINT;
  return SCR_GlueRun(fp_pL, [fp_pL] {
    SCR_GlueCheckArgs(fp_pL, "M2D_GFX_VQuadSetPos", "nnnnN");
    const float tmp_fZ = SCR_GlueHasOptArg(fp_pL, 5) ? SCR_GlueToFloat(fp_pL, 5) : 0.5f;
    SCR_GlueEngine()->GFX_VQuadSetPos(SCR_GlueToFloat(fp_pL, 1), SCR_GlueToFloat(fp_pL, 2),
                                      SCR_GlueToFloat(fp_pL, 3), SCR_GlueToFloat(fp_pL, 4), tmp_fZ);
    return 0;
  });
}

int glue_M2D_GFX_VQuadSetPosByVertex(lua_State* fp_pL) {
  M2D_CHECKPOINT;
  return SCR_GlueRun(fp_pL, [fp_pL] {
    SCR_GlueCheckArgs(fp_pL, "M2D_GFX_VQuadSetPosByVertex", "nnnN");
    const float tmp_fZ = SCR_GlueHasOptArg(fp_pL, 4) ? SCR_GlueToFloat(fp_pL, 4) : 0.5f;
    SCR_GlueEngine()->GFX_VQuadSetPosByVertex(SCR_GlueToInt(fp_pL, 1), SCR_GlueToFloat(fp_pL, 2),
                                              SCR_GlueToFloat(fp_pL, 3), tmp_fZ);
    return 0;
  });
}

int glue_M2D_GFX_VQuadRotate(lua_State* fp_pL) {
  M2D_CHECKPOINT;
  return SCR_GlueRun(fp_pL, [fp_pL] {
    SCR_GlueCheckArgs(fp_pL, "M2D_GFX_VQuadRotate", "nnn");
    SCR_GlueEngine()->GFX_VQuadRotate(SCR_GlueToFloat(fp_pL, 1), SCR_GlueToFloat(fp_pL, 2),
                                      SCR_GlueToFloat(fp_pL, 3));
    return 0;
  });
}

int glue_M2D_GFX_VQuadScale(lua_State* fp_pL) {
  M2D_CHECKPOINT;
  return SCR_GlueRun(fp_pL, [fp_pL] {
    SCR_GlueCheckArgs(fp_pL, "M2D_GFX_VQuadScale", "nnn");
    SCR_GlueEngine()->GFX_VQuadScale(SCR_GlueToFloat(fp_pL, 1), SCR_GlueToFloat(fp_pL, 2),
                                     SCR_GlueToFloat(fp_pL, 3));
    return 0;
  });
}

int glue_M2D_GFX_VQuadMove(lua_State* fp_pL) {
  M2D_CHECKPOINT;
  return SCR_GlueRun(fp_pL, [fp_pL] {
    SCR_GlueCheckArgs(fp_pL, "M2D_GFX_VQuadMove", "nnN");
    const float tmp_fDZ = SCR_GlueHasOptArg(fp_pL, 3) ? SCR_GlueToFloat(fp_pL, 3) : 0.0f;
    SCR_GlueEngine()->GFX_VQuadMove(SCR_GlueToFloat(fp_pL, 1), SCR_GlueToFloat(fp_pL, 2), tmp_fDZ);
    return 0;
  });
}

int glue_M2D_GFX_VQuadSetTexCoords(lua_State* fp_pL) {
  M2D_CHECKPOINT;
  return SCR_GlueRun(fp_pL, [fp_pL] {
    SCR_GlueCheckArgs(fp_pL, "M2D_GFX_VQuadSetTexCoords", "nnnnn");
    SCR_GlueEngine()->GFX_VQuadSetTexCoords(SCR_GlueToInt(fp_pL, 1), SCR_GlueToFloat(fp_pL, 2),
                                            SCR_GlueToFloat(fp_pL, 3), SCR_GlueToFloat(fp_pL, 4),
                                            SCR_GlueToFloat(fp_pL, 5));
    return 0;
  });
}

int glue_M2D_GFX_VQuadSetColor(lua_State* fp_pL) {
  M2D_CHECKPOINT;
  return SCR_GlueRun(fp_pL, [fp_pL] {
    SCR_GlueCheckArgs(fp_pL, "M2D_GFX_VQuadSetColor", "nnnN");
    const float tmp_fAlpha = SCR_GlueHasOptArg(fp_pL, 4) ? SCR_GlueToFloat(fp_pL, 4) : 1.0f;
    SCR_GlueEngine()->GFX_VQuadSetColor(SCR_GlueToFloat(fp_pL, 1), SCR_GlueToFloat(fp_pL, 2),
                                        SCR_GlueToFloat(fp_pL, 3), tmp_fAlpha);
    return 0;
  });
}

int glue_M2D_GFX_VQuadSetColorByVertex(lua_State* fp_pL) {
  M2D_CHECKPOINT;
  return SCR_GlueRun(fp_pL, [fp_pL] {
    SCR_GlueCheckArgs(fp_pL, "M2D_GFX_VQuadSetColorByVertex", "nnnnN");
    const float tmp_fAlpha = SCR_GlueHasOptArg(fp_pL, 5) ? SCR_GlueToFloat(fp_pL, 5) : 0.0f;
    SCR_GlueEngine()->GFX_VQuadSetColorByVertex(SCR_GlueToInt(fp_pL, 1), SCR_GlueToFloat(fp_pL, 2),
                                                SCR_GlueToFloat(fp_pL, 3),
                                                SCR_GlueToFloat(fp_pL, 4), tmp_fAlpha);
    return 0;
  });
}

// }====

// {==== Textures, techniques, fonts ==========================================

int glue_M2D_GFX_TexUnloadByID(lua_State* fp_pL) {
  M2D_CHECKPOINT;
  return SCR_GlueRun(fp_pL, [fp_pL] {
    SCR_GlueCheckArgs(fp_pL, "M2D_GFX_TexUnloadByID", "i");
    CMorvane* tmp_pEngine = SCR_GlueEngine();
    if (SCR_GlueIsString(fp_pL, 1))
      tmp_pEngine->GFX_TexUnloadByID(SCR_GlueToString(fp_pL, 1));
    else
      tmp_pEngine->GFX_TexUnloadByID(SCR_GlueToInt(fp_pL, 1));
    return 0;
  });
}

int glue_M2D_GFX_TexSet(lua_State* fp_pL) {
  M2D_CHECKPOINT;
  return SCR_GlueRun(fp_pL, [fp_pL] {
    SCR_GlueCheckArgs(fp_pL, "M2D_GFX_TexSet", "iN");
    const int tmp_iStage = SCR_GlueHasOptArg(fp_pL, 2) ? SCR_GlueToInt(fp_pL, 2) : 0;
    CMorvane* tmp_pEngine = SCR_GlueEngine();
    if (SCR_GlueIsString(fp_pL, 1))
      tmp_pEngine->GFX_TexSet(SCR_GlueToString(fp_pL, 1), tmp_iStage);
    else
      tmp_pEngine->GFX_TexSet(SCR_GlueToInt(fp_pL, 1), tmp_iStage);
    return 0;
  });
}

int glue_M2D_GFX_TexSetNoTexture(lua_State* fp_pL) {
  M2D_CHECKPOINT;
  return SCR_GlueRun(fp_pL, [fp_pL] {
    SCR_GlueCheckArgs(fp_pL, "M2D_GFX_TexSetNoTexture", "N");
    const int tmp_iStage = SCR_GlueHasOptArg(fp_pL, 1) ? SCR_GlueToInt(fp_pL, 1) : 0;
    SCR_GlueEngine()->GFX_TexSetNoTexture(tmp_iStage);
    return 0;
  });
}

int glue_M2D_GFX_TechApply(lua_State* fp_pL) {
  M2D_CHECKPOINT;
  return SCR_GlueRun(fp_pL, [fp_pL] {
    SCR_GlueCheckArgs(fp_pL, "M2D_GFX_TechApply", "i");
    CMorvane* tmp_pEngine = SCR_GlueEngine();
    if (SCR_GlueIsString(fp_pL, 1))
      tmp_pEngine->GFX_TechApply(SCR_GlueToString(fp_pL, 1));
    else
      tmp_pEngine->GFX_TechApply(SCR_GlueToInt(fp_pL, 1));
    return 0;
  });
}

int glue_M2D_GFX_FontSet(lua_State* fp_pL) {
  M2D_CHECKPOINT;
  return SCR_GlueRun(fp_pL, [fp_pL] {
    SCR_GlueCheckArgs(fp_pL, "M2D_GFX_FontSet", "i");
    CMorvane* tmp_pEngine = SCR_GlueEngine();
    if (SCR_GlueIsString(fp_pL, 1))
      tmp_pEngine->GFX_FontSet(SCR_GlueToString(fp_pL, 1));
    else
      tmp_pEngine->GFX_FontSet(SCR_GlueToInt(fp_pL, 1));
    return 0;
  });
}

int glue_M2D_GFX_FontDrawText(lua_State* fp_pL) {
  M2D_CHECKPOINT;
  return SCR_GlueRun(fp_pL, [fp_pL] {
    SCR_GlueCheckArgs(fp_pL, "M2D_GFX_FontDrawText", "snnnnn");
    SCR_GlueEngine()->GFX_FontDrawText(SCR_GlueToString(fp_pL, 1), SCR_GlueToFloat(fp_pL, 2),
                                       SCR_GlueToFloat(fp_pL, 3), SCR_GlueToInt(fp_pL, 4),
                                       SCR_GlueToInt(fp_pL, 5), SCR_GlueToFloat(fp_pL, 6));
    return 0;
  });
}

// }====
