// What the script subsystem's part of CMorvane needs to be declared: the Lua
// state's type (Lua's own headers stay out of cmorvane.h), the type of a C
// function registered with Lua, and the script values.
#pragma once

#include <exception>
#include <string>
#include <vector>

#include "cmorvane_scr_cluaval.h"

struct lua_State;

// A C function callable from Lua: the same shape as Lua's lua_CFunction.
using M2DScriptFunction = int (*)(lua_State* fp_pL);
