// Calls into scripts: the name of the script function called last, which the
// fatal-error report prints.
#include <string>

#include "mrv_window.h"

static constexpr int kM2DFileID = 139;

namespace {
std::string s_strCurrentScriptFunction;
}

const char* GetCurrentScriptFunction() { return s_strCurrentScriptFunction.c_str(); }
