// The OpenGL 3.3 core functions the device uses, loaded through SDL from the
// current context (no loader library): one table per device.
#pragma once

#include <GL/glcorearb.h>

namespace gfx::gl {

#define M2D_GL_FUNCTIONS(X)                                   \
  X(PFNGLGETSTRINGPROC, GetString)                            \
  X(PFNGLGETINTEGERVPROC, GetIntegerv)                        \
  X(PFNGLGETERRORPROC, GetError)                              \
  X(PFNGLENABLEPROC, Enable)                                  \
  X(PFNGLDISABLEPROC, Disable)                                \
  X(PFNGLVIEWPORTPROC, Viewport)                              \
  X(PFNGLSCISSORPROC, Scissor)                                \
  X(PFNGLCLEARCOLORPROC, ClearColor)                          \
  X(PFNGLCLEARPROC, Clear)                                    \
  X(PFNGLCOLORMASKPROC, ColorMask)                            \
  X(PFNGLBLENDFUNCPROC, BlendFunc)                            \
  X(PFNGLBLENDEQUATIONPROC, BlendEquation)                    \
  X(PFNGLCULLFACEPROC, CullFace)                              \
  X(PFNGLFRONTFACEPROC, FrontFace)                            \
  X(PFNGLPIXELSTOREIPROC, PixelStorei)                        \
  X(PFNGLREADPIXELSPROC, ReadPixels)                          \
  X(PFNGLFINISHPROC, Finish)                                  \
  X(PFNGLGENTEXTURESPROC, GenTextures)                        \
  X(PFNGLDELETETEXTURESPROC, DeleteTextures)                  \
  X(PFNGLBINDTEXTUREPROC, BindTexture)                        \
  X(PFNGLTEXIMAGE2DPROC, TexImage2D)                          \
  X(PFNGLTEXSUBIMAGE2DPROC, TexSubImage2D)                    \
  X(PFNGLTEXPARAMETERIPROC, TexParameteri)                    \
  X(PFNGLACTIVETEXTUREPROC, ActiveTexture)                    \
  X(PFNGLGENBUFFERSPROC, GenBuffers)                          \
  X(PFNGLDELETEBUFFERSPROC, DeleteBuffers)                    \
  X(PFNGLBINDBUFFERPROC, BindBuffer)                          \
  X(PFNGLBUFFERDATAPROC, BufferData)                          \
  X(PFNGLBUFFERSUBDATAPROC, BufferSubData)                    \
  X(PFNGLGENVERTEXARRAYSPROC, GenVertexArrays)                \
  X(PFNGLDELETEVERTEXARRAYSPROC, DeleteVertexArrays)          \
  X(PFNGLBINDVERTEXARRAYPROC, BindVertexArray)                \
  X(PFNGLENABLEVERTEXATTRIBARRAYPROC, EnableVertexAttribArray) \
  X(PFNGLVERTEXATTRIBPOINTERPROC, VertexAttribPointer)        \
  X(PFNGLCREATESHADERPROC, CreateShader)                      \
  X(PFNGLSHADERSOURCEPROC, ShaderSource)                      \
  X(PFNGLCOMPILESHADERPROC, CompileShader)                    \
  X(PFNGLGETSHADERIVPROC, GetShaderiv)                        \
  X(PFNGLGETSHADERINFOLOGPROC, GetShaderInfoLog)              \
  X(PFNGLDELETESHADERPROC, DeleteShader)                      \
  X(PFNGLCREATEPROGRAMPROC, CreateProgram)                    \
  X(PFNGLATTACHSHADERPROC, AttachShader)                      \
  X(PFNGLLINKPROGRAMPROC, LinkProgram)                        \
  X(PFNGLGETPROGRAMIVPROC, GetProgramiv)                      \
  X(PFNGLGETPROGRAMINFOLOGPROC, GetProgramInfoLog)            \
  X(PFNGLDELETEPROGRAMPROC, DeleteProgram)                    \
  X(PFNGLUSEPROGRAMPROC, UseProgram)                          \
  X(PFNGLGETUNIFORMLOCATIONPROC, GetUniformLocation)          \
  X(PFNGLUNIFORM1IPROC, Uniform1i)                            \
  X(PFNGLUNIFORM1FPROC, Uniform1f)                            \
  X(PFNGLUNIFORM2FPROC, Uniform2f)                            \
  X(PFNGLUNIFORM3FPROC, Uniform3f)                            \
  X(PFNGLUNIFORM4FPROC, Uniform4f)                            \
  X(PFNGLUNIFORM2IPROC, Uniform2i)                            \
  X(PFNGLUNIFORM3IPROC, Uniform3i)                            \
  X(PFNGLGENFRAMEBUFFERSPROC, GenFramebuffers)                \
  X(PFNGLDELETEFRAMEBUFFERSPROC, DeleteFramebuffers)          \
  X(PFNGLBINDFRAMEBUFFERPROC, BindFramebuffer)                \
  X(PFNGLFRAMEBUFFERTEXTURE2DPROC, FramebufferTexture2D)      \
  X(PFNGLCHECKFRAMEBUFFERSTATUSPROC, CheckFramebufferStatus)  \
  X(PFNGLBLITFRAMEBUFFERPROC, BlitFramebuffer)                \
  X(PFNGLGENSAMPLERSPROC, GenSamplers)                        \
  X(PFNGLDELETESAMPLERSPROC, DeleteSamplers)                  \
  X(PFNGLBINDSAMPLERPROC, BindSampler)                        \
  X(PFNGLSAMPLERPARAMETERIPROC, SamplerParameteri)            \
  X(PFNGLSAMPLERPARAMETERFPROC, SamplerParameterf)            \
  X(PFNGLSAMPLERPARAMETERFVPROC, SamplerParameterfv)          \
  X(PFNGLDRAWELEMENTSBASEVERTEXPROC, DrawElementsBaseVertex)  \
  X(PFNGLDRAWARRAYSPROC, DrawArrays)

struct SGLFunctions {
#define M2D_GL_DECLARE(type, name) type name = nullptr;
  M2D_GL_FUNCTIONS(M2D_GL_DECLARE)
#undef M2D_GL_DECLARE

  // Fills the table from the current context; false (with the name of the
  // first missing function in *fp_ppszMissing) when one is absent.
  bool Load(const char** fp_ppszMissing);
};

}  // namespace gfx::gl
