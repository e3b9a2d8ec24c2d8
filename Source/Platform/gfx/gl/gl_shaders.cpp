// Shader sources of the OpenGL device. The drawing program takes the
// pre-transformed vertices as they are (screen pixels, pixel centres on
// integer coordinates) and evaluates two texture stages with the colour and
// alpha operations and arguments of the stage states, then specular, fog and
// the alpha test; blending is left to the fixed blending unit.

#include "Platform/gfx/gl/gl_shaders.h"

#include <vector>

namespace gfx::gl {

// Pixel centres of the device sit on integer coordinates, OpenGL's on
// half-integers: x + 0.5 maps one onto the other, so a quad drawn at integer
// positions shifted by -0.5 covers exactly its pixels. The screen's y runs
// down, OpenGL's up. 1/rhw is w, for perspective-correct interpolation.
const char* const kDrawVertexShader = R"(#version 330 core
layout(location = 0) in vec4 aPos;
layout(location = 1) in vec4 aDiffuse;
layout(location = 2) in vec4 aSpecular;
layout(location = 3) in vec2 aTex0;
layout(location = 4) in vec2 aTex1;
uniform vec2 uScale;
out vec4 vDiffuse;
out vec4 vSpecular;
out vec2 vTex0;
out vec2 vTex1;
out float vZ;
void main() {
  float w = (aPos.w > 0.0 && aPos.w < 1.0e30) ? 1.0 / aPos.w : 1.0;
  vec2 ndc = vec2((aPos.x + 0.5) * uScale.x - 1.0, 1.0 - (aPos.y + 0.5) * uScale.y);
  gl_Position = vec4(ndc * w, 0.0, w);
  vDiffuse = aDiffuse;
  vSpecular = aSpecular;
  vTex0 = aTex0;
  vTex1 = aTex1;
  vZ = aPos.z;
}
)";

// Stage uniforms: (operation, argument 1, argument 2) for colour and alpha;
// uStages is how many stages run (the first disabled one ends the cascade,
// and a stage that reads a texture it does not have counts as disabled).
const char* const kDrawFragmentShader = R"(#version 330 core
in vec4 vDiffuse;
in vec4 vSpecular;
in vec2 vTex0;
in vec2 vTex1;
in float vZ;
uniform sampler2D uTex0;
uniform sampler2D uTex1;
uniform int uStages;
uniform ivec3 uColor0;
uniform ivec3 uAlpha0;
uniform ivec3 uColor1;
uniform ivec3 uAlpha1;
uniform ivec2 uCoord;
uniform vec4 uFactor;
uniform int uFog;          // 0 off, 1 vertex (specular alpha), 2 linear, 3 exp, 4 exp2 on z
uniform vec3 uFogParams;   // end, 1 / (end - start), density
uniform vec3 uFogColor;
uniform int uSpecular;
uniform int uAlphaFunc;    // 0 when the alpha test is off
uniform float uAlphaRef;   // 0 to 255
out vec4 oColor;

vec4 Arg(int a, vec4 cur, vec4 tex) {
  int s = a & 15;
  vec4 v;
  if (s == 0) v = vDiffuse;
  else if (s == 1) v = cur;
  else if (s == 2) v = tex;
  else if (s == 3) v = uFactor;
  else if (s == 4) v = vSpecular;
  else v = vec4(0.0);
  if ((a & 32) != 0) v = v.aaaa;
  if ((a & 16) != 0) v = vec4(1.0) - v;
  return v;
}

vec4 Op(int op, vec4 a1, vec4 a2, vec4 cur, vec4 tex) {
  switch (op) {
    case 2: return a1;
    case 3: return a2;
    case 4: return a1 * a2;
    case 5: return 2.0 * a1 * a2;
    case 6: return 4.0 * a1 * a2;
    case 7: return a1 + a2;
    case 8: return a1 + a2 - 0.5;
    case 9: return 2.0 * (a1 + a2 - 0.5);
    case 10: return a1 - a2;
    case 11: return a1 + a2 - a1 * a2;
    case 12: return mix(a2, a1, vDiffuse.a);
    case 13: return mix(a2, a1, tex.a);
    case 14: return mix(a2, a1, uFactor.a);
    case 15: return a1 + a2 * (1.0 - tex.a);
    case 16: return mix(a2, a1, cur.a);
    case 24: return vec4(clamp(4.0 * dot(a1.rgb - 0.5, a2.rgb - 0.5), 0.0, 1.0));
    default: return cur;
  }
}

vec4 Stage(ivec3 c, ivec3 a, vec4 cur, vec4 tex) {
  vec4 col = Op(c.x, Arg(c.y, cur, tex), Arg(c.z, cur, tex), cur, tex);
  if (c.x == 24) return col;  // the dot product goes to alpha too
  float alpha = (a.x == 1) ? cur.a : Op(a.x, Arg(a.y, cur, tex), Arg(a.z, cur, tex), cur, tex).a;
  return clamp(vec4(col.rgb, alpha), 0.0, 1.0);
}

bool AlphaPasses(float a) {
  float v = floor(a * 255.0 + 0.5);
  switch (uAlphaFunc) {
    case 1: return false;
    case 2: return v < uAlphaRef;
    case 3: return v == uAlphaRef;
    case 4: return v <= uAlphaRef;
    case 5: return v > uAlphaRef;
    case 6: return v != uAlphaRef;
    case 7: return v >= uAlphaRef;
    default: return true;
  }
}

void main() {
  vec4 cur = vDiffuse;
  if (uStages > 0) cur = Stage(uColor0, uAlpha0, cur, texture(uTex0, uCoord.x == 1 ? vTex1 : vTex0));
  if (uStages > 1) cur = Stage(uColor1, uAlpha1, cur, texture(uTex1, uCoord.y == 1 ? vTex1 : vTex0));
  if (uSpecular != 0) cur.rgb = min(cur.rgb + vSpecular.rgb, vec3(1.0));
  if (!AlphaPasses(cur.a)) discard;
  if (uFog != 0) {
    float f;
    if (uFog == 1) f = vSpecular.a;
    else if (uFog == 2) f = (uFogParams.x - vZ) * uFogParams.y;
    else if (uFog == 3) f = exp(-uFogParams.z * vZ);
    else f = exp(-(uFogParams.z * vZ) * (uFogParams.z * vZ));
    cur.rgb = mix(uFogColor, cur.rgb, clamp(f, 0.0, 1.0));
  }
  oColor = cur;
}
)";

// A triangle covering the viewport, with texture coordinates 0 to 1 over it.
const char* const kPresentVertexShader = R"(#version 330 core
out vec2 vUV;
void main() {
  vec2 p = vec2(gl_VertexID == 1 ? 3.0 : -1.0, gl_VertexID == 2 ? 3.0 : -1.0);
  vUV = (p + 1.0) * 0.5;
  gl_Position = vec4(p, 0.0, 1.0);
}
)";

// The gamma ramp is a 256 x 1 texture of 16-bit entries, looked up exactly.
const char* const kPresentFragmentShader = R"(#version 330 core
in vec2 vUV;
uniform sampler2D uFrame;
uniform sampler2D uGamma;
uniform int uGammaOn;
out vec4 oColor;
void main() {
  vec3 c = texture(uFrame, vUV).rgb;
  if (uGammaOn != 0) {
    ivec3 i = ivec3(clamp(c, 0.0, 1.0) * 255.0 + 0.5);
    c = vec3(texelFetch(uGamma, ivec2(i.r, 0), 0).r, texelFetch(uGamma, ivec2(i.g, 0), 0).g,
             texelFetch(uGamma, ivec2(i.b, 0), 0).b);
  }
  oColor = vec4(c, 1.0);
}
)";

namespace {

GLuint Compile(const SGLFunctions& gl, GLenum fp_eType, const char* fp_pszSource, std::string* fp_pError) {
  const GLuint tmp_uShader = gl.CreateShader(fp_eType);
  gl.ShaderSource(tmp_uShader, 1, &fp_pszSource, nullptr);
  gl.CompileShader(tmp_uShader);
  GLint tmp_iOk = 0;
  gl.GetShaderiv(tmp_uShader, GL_COMPILE_STATUS, &tmp_iOk);
  if (tmp_iOk == 0) {
    GLint tmp_iLength = 0;
    gl.GetShaderiv(tmp_uShader, GL_INFO_LOG_LENGTH, &tmp_iLength);
    std::vector<char> tmp_Log(static_cast<size_t>(tmp_iLength > 0 ? tmp_iLength : 1), '\0');
    gl.GetShaderInfoLog(tmp_uShader, static_cast<GLsizei>(tmp_Log.size()), nullptr, tmp_Log.data());
    *fp_pError = std::string("shader compilation failed: ") + tmp_Log.data();
    gl.DeleteShader(tmp_uShader);
    return 0;
  }
  return tmp_uShader;
}

}  // namespace

GLuint BuildProgram(const SGLFunctions& gl, const char* fp_pszVertex, const char* fp_pszFragment,
                    std::string* fp_pError) {
  const GLuint tmp_uVertex = Compile(gl, GL_VERTEX_SHADER, fp_pszVertex, fp_pError);
  if (tmp_uVertex == 0) return 0;
  const GLuint tmp_uFragment = Compile(gl, GL_FRAGMENT_SHADER, fp_pszFragment, fp_pError);
  if (tmp_uFragment == 0) {
    gl.DeleteShader(tmp_uVertex);
    return 0;
  }
  const GLuint tmp_uProgram = gl.CreateProgram();
  gl.AttachShader(tmp_uProgram, tmp_uVertex);
  gl.AttachShader(tmp_uProgram, tmp_uFragment);
  gl.LinkProgram(tmp_uProgram);
  gl.DeleteShader(tmp_uVertex);
  gl.DeleteShader(tmp_uFragment);
  GLint tmp_iOk = 0;
  gl.GetProgramiv(tmp_uProgram, GL_LINK_STATUS, &tmp_iOk);
  if (tmp_iOk == 0) {
    GLint tmp_iLength = 0;
    gl.GetProgramiv(tmp_uProgram, GL_INFO_LOG_LENGTH, &tmp_iLength);
    std::vector<char> tmp_Log(static_cast<size_t>(tmp_iLength > 0 ? tmp_iLength : 1), '\0');
    gl.GetProgramInfoLog(tmp_uProgram, static_cast<GLsizei>(tmp_Log.size()), nullptr, tmp_Log.data());
    *fp_pError = std::string("program link failed: ") + tmp_Log.data();
    gl.DeleteProgram(tmp_uProgram);
    return 0;
  }
  return tmp_uProgram;
}

}  // namespace gfx::gl
