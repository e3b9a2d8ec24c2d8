// The two shader programs of the OpenGL device: the one that follows the
// fixed-function states for drawing, and the one that shows the back buffer
// in the window through the gamma ramp.
#pragma once

#include <string>

#include "Platform/gfx/gl/gl_functions.h"

namespace gfx::gl {

extern const char* const kDrawVertexShader;
extern const char* const kDrawFragmentShader;
extern const char* const kPresentVertexShader;
extern const char* const kPresentFragmentShader;

// Compiles and links a program; 0 (with the compiler's words in *fp_pError)
// on failure.
GLuint BuildProgram(const SGLFunctions& fp_rGL, const char* fp_pszVertex, const char* fp_pszFragment,
                    std::string* fp_pError);

}  // namespace gfx::gl
