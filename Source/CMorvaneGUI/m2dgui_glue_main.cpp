// The GUI script API: six functions that create and find elements, set and
// read their parameters, send them commands and choose the tip. Elements and
// parameters are given by integer ID (a number, truncated) or string ID.
static constexpr int kM2DFileID = 345;

#include "m2dgui_glue.h"

#include "cmorvane_scr_glue.h"
#include "m2dgui_cmorvanegui.h"

namespace {

CMorvaneGUI* RequireGUI() {
  M2D_CHECKPOINT;
  CMorvaneGUI* tmp_pGUI = GetGUI();
  ZIZAssert(tmp_pGUI);
  return tmp_pGUI;
}

bool IsNumberOrString(lua_State* fp_pL, int fp_iPos) {
  M2D_CHECKPOINT;
  const int tmp_iType = lua_type(fp_pL, fp_iPos);
  return tmp_iType == LUA_TNUMBER || tmp_iType == LUA_TSTRING;
}

}  // namespace

int glue_M2DGUI_AddNewElement(lua_State* fp_pL) {
  M2D_CHECKPOINT;
  return SCR_GlueRun(fp_pL, [fp_pL] {
    SCR_GlueCheckArgs(fp_pL, "M2DGUI_AddNewElement", "ssi");
    CMorvaneGUI* tmp_pGUI = RequireGUI();
    const char* tmp_pszClass = SCR_GlueToString(fp_pL, 1);
    const char* tmp_pszID = SCR_GlueToString(fp_pL, 2);
    std::int32_t tmp_iNew;
    if (SCR_GlueIsString(fp_pL, 3))
      tmp_iNew = tmp_pGUI->AddNewElement(tmp_pszClass, tmp_pszID, SCR_GlueToString(fp_pL, 3));
    else
      tmp_iNew = tmp_pGUI->AddNewElement(tmp_pszClass, tmp_pszID, SCR_GlueToInt(fp_pL, 3));
    lua_pushnumber(fp_pL, static_cast<lua_Number>(tmp_iNew));
    return 1;
  });
}

int glue_M2DGUI_GetElementID(lua_State* fp_pL) {
  M2D_CHECKPOINT;
  return SCR_GlueRun(fp_pL, [fp_pL] {
    SCR_GlueCheckArgs(fp_pL, "M2DGUI_GetElementID", "s");
    const std::int32_t tmp_iID = RequireGUI()->GetElementID(SCR_GlueToString(fp_pL, 1));
    lua_pushnumber(fp_pL, static_cast<lua_Number>(tmp_iID));
    return 1;
  });
}

int glue_M2DGUI_SetElementParam(lua_State* fp_pL) {
  M2D_CHECKPOINT;
  return SCR_GlueRun(fp_pL, [fp_pL] {
    const int tmp_iCount = lua_gettop(fp_pL);
    bool tmp_bValid = IsNumberOrString(fp_pL, 1) && IsNumberOrString(fp_pL, 2);
    CGUIValue tmp_Value;
    if (tmp_bValid) {
      switch (lua_type(fp_pL, 3)) {
        case LUA_TBOOLEAN:
          tmp_Value.SetBool(SCR_GlueToBool(fp_pL, 3));
          break;
        case LUA_TSTRING:
          tmp_Value.SetString(SCR_GlueToString(fp_pL, 3));
          break;
        case LUA_TNUMBER:
          if (tmp_iCount == 3) {
            tmp_Value.SetFloat(SCR_GlueToFloat(fp_pL, 3));
          } else if (tmp_iCount == 4) {
            tmp_Value.SetPoint(GUIPOINT{SCR_GlueToFloat(fp_pL, 3), SCR_GlueToFloat(fp_pL, 4)});
          } else if (tmp_iCount == 6) {
            tmp_Value.SetRect(GUIRECT{SCR_GlueToFloat(fp_pL, 3), SCR_GlueToFloat(fp_pL, 4),
                                      SCR_GlueToFloat(fp_pL, 5), SCR_GlueToFloat(fp_pL, 6)});
          } else {
            tmp_bValid = false;
          }
          break;
        default:
          tmp_bValid = false;
      }
    }
    if (!tmp_bValid)
      M2D_THROW(EHS_TYPE_GAME, 0,
                "Error in glue function glue_M2DGUI_SetElementParam: invalid combination of "
                "arguments!");

    CMorvaneGUI* tmp_pGUI = RequireGUI();
    const bool tmp_bElementByName = SCR_GlueIsString(fp_pL, 1);
    const bool tmp_bParamByName = SCR_GlueIsString(fp_pL, 2);
    if (tmp_bElementByName && tmp_bParamByName)
      tmp_pGUI->SetElementParam(SCR_GlueToString(fp_pL, 1), SCR_GlueToString(fp_pL, 2), tmp_Value);
    else if (tmp_bElementByName)
      tmp_pGUI->SetElementParam(SCR_GlueToString(fp_pL, 1), SCR_GlueToInt(fp_pL, 2), tmp_Value);
    else if (tmp_bParamByName)
      tmp_pGUI->SetElementParam(SCR_GlueToInt(fp_pL, 1), SCR_GlueToString(fp_pL, 2), tmp_Value);
    else
      tmp_pGUI->SetElementParam(SCR_GlueToInt(fp_pL, 1), SCR_GlueToInt(fp_pL, 2), tmp_Value);
    return 0;
  });
}

int glue_M2DGUI_GetElementParam(lua_State* fp_pL) {
  M2D_CHECKPOINT;
  return SCR_GlueRun(fp_pL, [fp_pL] {
    if (!IsNumberOrString(fp_pL, 1) || !IsNumberOrString(fp_pL, 2))
      M2D_THROW(EHS_TYPE_GAME, 0,
                "Error in glue function glue_M2DGUI_GetElementParam: invalid combination of "
                "arguments!");
    CMorvaneGUI* tmp_pGUI = RequireGUI();
    const bool tmp_bElementByName = SCR_GlueIsString(fp_pL, 1);
    const bool tmp_bParamByName = SCR_GlueIsString(fp_pL, 2);
    CGUIValue tmp_Value;
    if (tmp_bElementByName && tmp_bParamByName)
      tmp_Value = tmp_pGUI->GetElementParam(SCR_GlueToString(fp_pL, 1), SCR_GlueToString(fp_pL, 2));
    else if (tmp_bElementByName)
      tmp_Value = tmp_pGUI->GetElementParam(SCR_GlueToString(fp_pL, 1), SCR_GlueToInt(fp_pL, 2));
    else if (tmp_bParamByName)
      tmp_Value = tmp_pGUI->GetElementParam(SCR_GlueToInt(fp_pL, 1), SCR_GlueToString(fp_pL, 2));
    else
      tmp_Value = tmp_pGUI->GetElementParam(SCR_GlueToInt(fp_pL, 1), SCR_GlueToInt(fp_pL, 2));

    switch (tmp_Value.GetType()) {
      case GUIVALUE_FLOAT:
        lua_pushnumber(fp_pL, static_cast<lua_Number>(tmp_Value.floatValue));
        return 1;
      case GUIVALUE_BOOL:
        lua_pushboolean(fp_pL, tmp_Value.boolValue ? 1 : 0);
        return 1;
      case GUIVALUE_STRING:
        lua_pushstring(fp_pL, tmp_Value.stringValue.c_str());
        return 1;
      case GUIVALUE_POINT:
        lua_pushnumber(fp_pL, static_cast<lua_Number>(tmp_Value.pointValue.x));
        lua_pushnumber(fp_pL, static_cast<lua_Number>(tmp_Value.pointValue.y));
        return 2;
      case GUIVALUE_RECT:
        lua_pushnumber(fp_pL, static_cast<lua_Number>(tmp_Value.rectValue.x));
        lua_pushnumber(fp_pL, static_cast<lua_Number>(tmp_Value.rectValue.y));
        lua_pushnumber(fp_pL, static_cast<lua_Number>(tmp_Value.rectValue.width));
        lua_pushnumber(fp_pL, static_cast<lua_Number>(tmp_Value.rectValue.height));
        return 4;
      default:
        M2D_THROW(EHS_TYPE_GAME, 0,
                  "Error in glue function glue_M2DGUI_GetElementParam: invalid value type!");
    }
  });
}

int glue_M2DGUI_ExecuteElementCommand(lua_State* fp_pL) {
  M2D_CHECKPOINT;
  return SCR_GlueRun(fp_pL, [fp_pL] {
    SCR_GlueCheckArgs(fp_pL, "M2DGUI_ExecuteElementCommand", "inN");
    CMorvaneGUI* tmp_pGUI = RequireGUI();
    const std::int32_t tmp_iCommand = SCR_GlueToInt(fp_pL, 2);
    const float tmp_fDelay = SCR_GlueHasOptArg(fp_pL, 3) ? SCR_GlueToFloat(fp_pL, 3) : 0.0f;
    if (SCR_GlueIsString(fp_pL, 1))
      tmp_pGUI->ExecuteElementCommand(SCR_GlueToString(fp_pL, 1), tmp_iCommand, tmp_fDelay);
    else
      tmp_pGUI->ExecuteElementCommand(SCR_GlueToInt(fp_pL, 1), tmp_iCommand, tmp_fDelay);
    return 0;
  });
}

int glue_M2DGUI_SetCurTip(lua_State* fp_pL) {
  M2D_CHECKPOINT;
  return SCR_GlueRun(fp_pL, [fp_pL] {
    SCR_GlueCheckArgs(fp_pL, "M2DGUI_SetCurTip", "i");
    CMorvaneGUI* tmp_pGUI = RequireGUI();
    if (SCR_GlueIsString(fp_pL, 1))
      tmp_pGUI->SetCurTip(SCR_GlueToString(fp_pL, 1));
    else
      tmp_pGUI->SetCurTip(SCR_GlueToInt(fp_pL, 1));
    return 0;
  });
}
