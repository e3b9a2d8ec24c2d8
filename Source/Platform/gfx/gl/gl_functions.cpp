// Loads the OpenGL function table from the current context through SDL.

#include "Platform/gfx/gl/gl_functions.h"

#include <SDL.h>

namespace gfx::gl {

bool SGLFunctions::Load(const char** fp_ppszMissing) {
#define M2D_GL_LOAD(type, name)                                                 \
  name = reinterpret_cast<type>(SDL_GL_GetProcAddress("gl" #name));             \
  if (name == nullptr) {                                                        \
    if (fp_ppszMissing != nullptr) *fp_ppszMissing = "gl" #name;                \
    return false;                                                               \
  }
  M2D_GL_FUNCTIONS(M2D_GL_LOAD)
#undef M2D_GL_LOAD
  return true;
}

}  // namespace gfx::gl
