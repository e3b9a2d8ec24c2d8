// The GUI script API: the six C functions behind "M2DGUI_AddNewElement",
// "M2DGUI_GetElementID", "M2DGUI_SetElementParam", "M2DGUI_GetElementParam",
// "M2DGUI_ExecuteElementCommand" and "M2DGUI_SetCurTip".
#pragma once

struct lua_State;

int glue_M2DGUI_AddNewElement(lua_State* fp_pL);
int glue_M2DGUI_GetElementID(lua_State* fp_pL);
int glue_M2DGUI_SetElementParam(lua_State* fp_pL);
int glue_M2DGUI_GetElementParam(lua_State* fp_pL);
int glue_M2DGUI_ExecuteElementCommand(lua_State* fp_pL);
int glue_M2DGUI_SetCurTip(lua_State* fp_pL);
