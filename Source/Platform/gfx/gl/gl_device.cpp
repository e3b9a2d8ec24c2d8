// The OpenGL device. Drawing goes to an off-screen target of the back
// buffer's size (two of them, flipped by Present, or one copied into the
// other for the copy swap effect); vertices are streamed into one ring
// buffer, each draw uploading only the range its indices reach, and the ring
// is orphaned when it wraps, so neither a draw nor a lock allocates. State
// changes only mark what must be sent again; the next draw sends it as
// uniforms and OpenGL state. Textures keep the device's format with a
// matching OpenGL internal format.

#include <SDL.h>

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstring>

#include "Platform/gfx/gfx_formats.h"
#include "Platform/gfx/gl/gl_device.h"
#include "Platform/gfx/gl/gl_functions.h"
#include "Platform/gfx/gl/gl_internal.h"
#include "Platform/gfx/gl/gl_shaders.h"
#include "Platform/os/os_backend.h"

namespace gfx::gl {

namespace {

std::string g_LastError;

// Vertices the ring holds before it wraps: sixteen full batches.
constexpr UINT kRingVertices = 2000 * 16;
constexpr UINT kStride = kFVFPreTransformed2TexStride;
// The texture unit used for uploads, so the stages' bindings stay as they are.
constexpr GLenum kScratchUnit = GL_TEXTURE2;
constexpr GLuint kUnknownBinding = 0xFFFFFFFFu;

enum : std::uint32_t {
  kDirtyBinding = 1u << 0,  // program, vertex array, target, viewport, samplers
  kDirtyTextures = 1u << 1,
  kDirtyStages = 1u << 2,
  kDirtySampler0 = 1u << 3,
  kDirtySampler1 = 1u << 4,
  kDirtyBlend = 1u << 5,
  kDirtyFog = 1u << 6,
  kDirtyRaster = 1u << 7,
  kDirtyAlphaTest = 1u << 8,
  kDirtyScissor = 1u << 9,
  kDirtyAll = 0xFFFFFFFFu,
};

struct SGLFormat {
  GLint internal;
  GLenum format;
  GLenum type;
  GLint swizzle[4];
};

// The OpenGL layout matching a device format: the same bits, so a texture
// holds exactly what its format can.
bool GLFormatOf(D3DFORMAT fp_Format, GLint fp_iRGB565, SGLFormat* fp_pOut) {
  const GLint kRGBA[4] = {GL_RED, GL_GREEN, GL_BLUE, GL_ALPHA};
  const GLint kRGB1[4] = {GL_RED, GL_GREEN, GL_BLUE, GL_ONE};
  auto tmp_Set = [fp_pOut](GLint fp_iInternal, GLenum fp_eFormat, GLenum fp_eType, const GLint* fp_pSwizzle) {
    fp_pOut->internal = fp_iInternal;
    fp_pOut->format = fp_eFormat;
    fp_pOut->type = fp_eType;
    std::memcpy(fp_pOut->swizzle, fp_pSwizzle, sizeof(fp_pOut->swizzle));
  };
  switch (fp_Format) {
    case D3DFMT_R5G6B5:
      tmp_Set(fp_iRGB565, GL_RGB, GL_UNSIGNED_SHORT_5_6_5, kRGB1);
      return true;
    case D3DFMT_A1R5G5B5:
      tmp_Set(GL_RGB5_A1, GL_BGRA, GL_UNSIGNED_SHORT_1_5_5_5_REV, kRGBA);
      return true;
    case D3DFMT_X1R5G5B5:
      tmp_Set(GL_RGB5_A1, GL_BGRA, GL_UNSIGNED_SHORT_1_5_5_5_REV, kRGB1);
      return true;
    case D3DFMT_A4R4G4B4:
      tmp_Set(GL_RGBA4, GL_BGRA, GL_UNSIGNED_SHORT_4_4_4_4_REV, kRGBA);
      return true;
    case D3DFMT_X4R4G4B4:
      tmp_Set(GL_RGBA4, GL_BGRA, GL_UNSIGNED_SHORT_4_4_4_4_REV, kRGB1);
      return true;
    case D3DFMT_A8R8G8B8:
      tmp_Set(GL_RGBA8, GL_BGRA, GL_UNSIGNED_BYTE, kRGBA);
      return true;
    case D3DFMT_X8R8G8B8:
      tmp_Set(GL_RGB8, GL_BGRA, GL_UNSIGNED_BYTE, kRGB1);
      return true;
    case D3DFMT_R8G8B8:
      tmp_Set(GL_RGB8, GL_BGR, GL_UNSIGNED_BYTE, kRGB1);
      return true;
    case D3DFMT_A8: {
      const GLint kA[4] = {GL_ZERO, GL_ZERO, GL_ZERO, GL_RED};
      tmp_Set(GL_R8, GL_RED, GL_UNSIGNED_BYTE, kA);
      return true;
    }
    case D3DFMT_L8: {
      const GLint kL[4] = {GL_RED, GL_RED, GL_RED, GL_ONE};
      tmp_Set(GL_R8, GL_RED, GL_UNSIGNED_BYTE, kL);
      return true;
    }
    case D3DFMT_A8L8: {
      const GLint kLA[4] = {GL_RED, GL_RED, GL_RED, GL_GREEN};
      tmp_Set(GL_RG8, GL_RG, GL_UNSIGNED_BYTE, kLA);
      return true;
    }
    default:
      return false;
  }
}

GLenum BlendFactor(DWORD fp_dwBlend, GLenum fp_eFallback) {
  switch (fp_dwBlend) {
    case D3DBLEND_ZERO:
      return GL_ZERO;
    case D3DBLEND_ONE:
      return GL_ONE;
    case D3DBLEND_SRCCOLOR:
      return GL_SRC_COLOR;
    case D3DBLEND_INVSRCCOLOR:
      return GL_ONE_MINUS_SRC_COLOR;
    case D3DBLEND_SRCALPHA:
      return GL_SRC_ALPHA;
    case D3DBLEND_INVSRCALPHA:
      return GL_ONE_MINUS_SRC_ALPHA;
    case D3DBLEND_DESTALPHA:
      return GL_DST_ALPHA;
    case D3DBLEND_INVDESTALPHA:
      return GL_ONE_MINUS_DST_ALPHA;
    case D3DBLEND_DESTCOLOR:
      return GL_DST_COLOR;
    case D3DBLEND_INVDESTCOLOR:
      return GL_ONE_MINUS_DST_COLOR;
    case D3DBLEND_SRCALPHASAT:
      return GL_SRC_ALPHA_SATURATE;
    default:
      return fp_eFallback;
  }
}

GLenum BlendEquation(DWORD fp_dwOp) {
  switch (fp_dwOp) {
    case D3DBLENDOP_SUBTRACT:
      return GL_FUNC_SUBTRACT;
    case D3DBLENDOP_REVSUBTRACT:
      return GL_FUNC_REVERSE_SUBTRACT;
    case D3DBLENDOP_MIN:
      return GL_MIN;
    case D3DBLENDOP_MAX:
      return GL_MAX;
    default:
      return GL_FUNC_ADD;
  }
}

GLenum WrapMode(DWORD fp_dwAddress) {
  switch (fp_dwAddress) {
    case D3DTADDRESS_MIRROR:
      return GL_MIRRORED_REPEAT;
    case D3DTADDRESS_CLAMP:
    case D3DTADDRESS_MIRRORONCE:
      return GL_CLAMP_TO_EDGE;
    case D3DTADDRESS_BORDER:
      return GL_CLAMP_TO_BORDER;
    default:
      return GL_REPEAT;
  }
}

GLenum PrimitiveMode(D3DPRIMITIVETYPE fp_Type) {
  switch (fp_Type) {
    case D3DPT_POINTLIST:
      return GL_POINTS;
    case D3DPT_LINELIST:
      return GL_LINES;
    case D3DPT_LINESTRIP:
      return GL_LINE_STRIP;
    case D3DPT_TRIANGLESTRIP:
      return GL_TRIANGLE_STRIP;
    case D3DPT_TRIANGLEFAN:
      return GL_TRIANGLE_FAN;
    default:
      return GL_TRIANGLES;
  }
}

void ColorOf(D3DCOLOR fp_Color, float* fp_pOut) {
  fp_pOut[0] = float((fp_Color >> 16) & 255u) / 255.0f;
  fp_pOut[1] = float((fp_Color >> 8) & 255u) / 255.0f;
  fp_pOut[2] = float(fp_Color & 255u) / 255.0f;
  fp_pOut[3] = float(fp_Color >> 24) / 255.0f;
}

// A float state's value, with what is not a finite number read as fp_fDefault.
float FloatState(DWORD fp_dwBits, float fp_fDefault) {
  const float tmp_f = std::bit_cast<float>(fp_dwBits);
  return std::isfinite(tmp_f) ? tmp_f : fp_fDefault;
}

bool ReadsTexture(DWORD fp_dwOp, DWORD fp_dwArg1, DWORD fp_dwArg2) {
  auto tmp_IsTex = [](DWORD fp_dwArg) { return (fp_dwArg & D3DTA_SELECTMASK) == D3DTA_TEXTURE; };
  switch (fp_dwOp) {
    case D3DTOP_DISABLE:
      return false;
    case D3DTOP_SELECTARG1:
      return tmp_IsTex(fp_dwArg1);
    case D3DTOP_SELECTARG2:
      return tmp_IsTex(fp_dwArg2);
    case D3DTOP_BLENDTEXTUREALPHA:
    case D3DTOP_BLENDTEXTUREALPHAPM:
      return true;
    default:
      return tmp_IsTex(fp_dwArg1) || tmp_IsTex(fp_dwArg2);
  }
}

class CGLDevice;
CGLDevice* g_pCurrent = nullptr;

class CGLDevice final : public detail::CDeviceBase, public IGLDeviceTestAccess {
 public:
  CGLDevice(IDirect3D8* fp_pParent, HWND fp_hWindow, const D3DPRESENT_PARAMETERS& fp_rParams,
            const detail::SDeviceConfig& fp_rConfig)
      : CDeviceBase(fp_pParent, fp_hWindow, fp_rParams, fp_rConfig) {}

  HRESULT Init(SDL_Window* fp_pWindow);

  // {==== Test access
  void CaptureNextPresent(std::vector<std::uint8_t>* fp_pPixels, int* fp_piWidth, int* fp_piHeight) override {
    capture_ = fp_pPixels;
    captureW_ = fp_piWidth;
    captureH_ = fp_piHeight;
  }
  void ReadBackBuffer(std::vector<std::uint32_t>* fp_pPixels) override;
  std::string ContextVersion() override { return version_; }
  // }====

  // {==== Resource hooks
  HRESULT OnTextureCreated(detail::CTexture* fp_pTexture) override;
  void OnTextureDestroyed(detail::CTexture* fp_pTexture) override;
  void OnTextureLevelWritten(detail::CTexture* fp_pTexture, UINT fp_uLevel) override;
  HRESULT OnIndexBufferCreated(detail::CIndexBuffer* fp_pBuffer) override;
  void OnIndexBufferDestroyed(detail::CIndexBuffer* fp_pBuffer) override;
  void OnIndexBufferWritten(detail::CIndexBuffer* fp_pBuffer) override;
  // }====

 private:
  ~CGLDevice() override;

  // {==== Back-end hooks
  void BackendClear(const D3DRECT& fp_rRect, D3DCOLOR fp_Color) override;
  void BackendDraw(const detail::SDrawCall& fp_rCall) override;
  HRESULT BackendPresent() override;
  void BackendReadFront(BYTE* fp_pBits, UINT fp_uPitch) override;
  HRESULT BackendReset() override;
  void OnRenderStateChanged(DWORD fp_dwState) override;
  void OnStageStateChanged(DWORD fp_dwStage, DWORD fp_dwType) override;
  void OnTextureBound(DWORD fp_dwStage) override { dirty_ |= fp_dwStage < kBlendStages ? kDirtyTextures | kDirtyStages : 0u; }
  void OnViewportChanged() override { dirty_ |= kDirtyScissor; }
  void OnGammaChanged() override { gammaDirty_ = true; }
  // }====

  bool MakeCurrent();
  HRESULT CreateTargets();
  void DestroyTargets();
  void ApplyState();
  void ApplyStages();
  void ApplySampler(DWORD fp_dwStage);
  void UploadGamma();
  void ReadTarget(GLuint fp_uFbo, BYTE* fp_pBits, size_t fp_uPitch);
  HRESULT CheckError(const char* fp_pszWhat);

  SGLFunctions gl_;
  SDL_GLContext context_ = nullptr;
  std::string version_;
  GLint rgb565_ = GL_RGB565;

  GLuint drawProgram_ = 0;
  GLuint presentProgram_ = 0;
  struct {
    GLint scale, stages, color0, alpha0, color1, alpha1, coord, factor, fog, fogParams, fogColor, specular,
        alphaFunc, alphaRef;
  } u_{};
  GLint uGammaOn_ = -1;
  // The stage uniforms as last sent (the program keeps them).
  struct SStageUniforms {
    GLint stages;
    GLint ops[12];  // per stage: colour op, arg 1, arg 2, alpha op, arg 1, arg 2
    GLint coord[2];
    float factor[4];
  } stageUniforms_{};
  bool stageUniformsValid_ = false;

  GLuint vao_ = 0;
  GLuint presentVao_ = 0;
  GLuint ring_ = 0;
  UINT ringCapacity_ = 0;  // vertices
  UINT ringCursor_ = 0;

  GLuint targetTex_[2] = {};
  GLuint targetFbo_[2] = {};
  int back_ = 0;
  int front_ = 1;
  bool targetAlpha_ = true;
  UINT targetW_ = 0, targetH_ = 0;
  D3DFORMAT targetFormat_ = D3DFMT_UNKNOWN;

  GLuint gammaTex_ = 0;
  bool gammaDirty_ = true;
  GLuint samplers_[kBlendStages] = {};
  GLuint presentSamplers_[2] = {};  // nearest, linear

  std::uint32_t dirty_ = kDirtyAll;
  GLuint boundTex_[kBlendStages] = {kUnknownBinding, kUnknownBinding};
  GLuint elementBuffer_ = kUnknownBinding;

  std::vector<std::uint8_t>* capture_ = nullptr;
  int* captureW_ = nullptr;
  int* captureH_ = nullptr;
};

// {==== Life cycle ===========================================================

HRESULT CGLDevice::CheckError(const char* fp_pszWhat) {
  const GLenum tmp_eError = gl_.GetError();
  if (tmp_eError == GL_NO_ERROR) return D3D_OK;
  while (gl_.GetError() != GL_NO_ERROR) {
  }
  SetLastErrorText(std::string("OpenGL error ") + std::to_string(tmp_eError) + " " + fp_pszWhat);
  return tmp_eError == GL_OUT_OF_MEMORY ? D3DERR_OUTOFVIDEOMEMORY : D3DERR_DRIVERINTERNALERROR;
}

HRESULT CGLDevice::Init(SDL_Window* fp_pWindow) {
  RequestCoreContext();
  context_ = SDL_GL_CreateContext(fp_pWindow);
  if (context_ == nullptr) {
    SetLastErrorText(std::string("cannot create an OpenGL 3.3 core context: ") + SDL_GetError());
    return D3DERR_NOTAVAILABLE;
  }
  if (SDL_GL_MakeCurrent(fp_pWindow, context_) != 0) {
    SetLastErrorText(std::string("cannot make the OpenGL context current: ") + SDL_GetError());
    return D3DERR_NOTAVAILABLE;
  }
  g_pCurrent = this;
  const char* tmp_pszMissing = "";
  if (!gl_.Load(&tmp_pszMissing)) {
    SetLastErrorText(std::string("OpenGL function missing: ") + tmp_pszMissing);
    return D3DERR_NOTAVAILABLE;
  }
  GLint tmp_iMajor = 0, tmp_iMinor = 0;
  gl_.GetIntegerv(GL_MAJOR_VERSION, &tmp_iMajor);
  gl_.GetIntegerv(GL_MINOR_VERSION, &tmp_iMinor);
  const GLubyte* tmp_pVersion = gl_.GetString(GL_VERSION);
  version_ = tmp_pVersion != nullptr ? reinterpret_cast<const char*>(tmp_pVersion) : "";
  if (tmp_iMajor < 3 || (tmp_iMajor == 3 && tmp_iMinor < 3)) {
    SetLastErrorText("OpenGL 3.3 is needed, the context has " + version_);
    return D3DERR_NOTAVAILABLE;
  }
  while (gl_.GetError() != GL_NO_ERROR) {
  }

  // RGB565 is an internal format from OpenGL 4.1 on; older contexts get the
  // closest 3.3 one.
  {
    GLuint tmp_uProbe = 0;
    gl_.GenTextures(1, &tmp_uProbe);
    gl_.ActiveTexture(kScratchUnit);
    gl_.BindTexture(GL_TEXTURE_2D, tmp_uProbe);
    gl_.TexImage2D(GL_TEXTURE_2D, 0, GL_RGB565, 1, 1, 0, GL_RGB, GL_UNSIGNED_SHORT_5_6_5, nullptr);
    if (gl_.GetError() != GL_NO_ERROR) rgb565_ = GL_RGB5;
    gl_.DeleteTextures(1, &tmp_uProbe);
  }

  std::string tmp_Error;
  drawProgram_ = BuildProgram(gl_, kDrawVertexShader, kDrawFragmentShader, &tmp_Error);
  if (drawProgram_ != 0) presentProgram_ = BuildProgram(gl_, kPresentVertexShader, kPresentFragmentShader, &tmp_Error);
  if (drawProgram_ == 0 || presentProgram_ == 0) {
    SetLastErrorText(tmp_Error);
    return D3DERR_DRIVERINTERNALERROR;
  }
  const GLuint p = drawProgram_;
  u_.scale = gl_.GetUniformLocation(p, "uScale");
  u_.stages = gl_.GetUniformLocation(p, "uStages");
  u_.color0 = gl_.GetUniformLocation(p, "uColor0");
  u_.alpha0 = gl_.GetUniformLocation(p, "uAlpha0");
  u_.color1 = gl_.GetUniformLocation(p, "uColor1");
  u_.alpha1 = gl_.GetUniformLocation(p, "uAlpha1");
  u_.coord = gl_.GetUniformLocation(p, "uCoord");
  u_.factor = gl_.GetUniformLocation(p, "uFactor");
  u_.fog = gl_.GetUniformLocation(p, "uFog");
  u_.fogParams = gl_.GetUniformLocation(p, "uFogParams");
  u_.fogColor = gl_.GetUniformLocation(p, "uFogColor");
  u_.specular = gl_.GetUniformLocation(p, "uSpecular");
  u_.alphaFunc = gl_.GetUniformLocation(p, "uAlphaFunc");
  u_.alphaRef = gl_.GetUniformLocation(p, "uAlphaRef");
  gl_.UseProgram(p);
  gl_.Uniform1i(gl_.GetUniformLocation(p, "uTex0"), 0);
  gl_.Uniform1i(gl_.GetUniformLocation(p, "uTex1"), 1);
  gl_.UseProgram(presentProgram_);
  gl_.Uniform1i(gl_.GetUniformLocation(presentProgram_, "uFrame"), 0);
  gl_.Uniform1i(gl_.GetUniformLocation(presentProgram_, "uGamma"), 1);
  uGammaOn_ = gl_.GetUniformLocation(presentProgram_, "uGammaOn");

  // The one vertex layout: x, y, z, rhw floats; diffuse and specular packed
  // ARGB (bytes B, G, R, A in memory); two (u, v) pairs.
  gl_.GenVertexArrays(1, &vao_);
  gl_.GenVertexArrays(1, &presentVao_);
  gl_.BindVertexArray(vao_);
  gl_.GenBuffers(1, &ring_);
  gl_.BindBuffer(GL_ARRAY_BUFFER, ring_);
  ringCapacity_ = kRingVertices;
  gl_.BufferData(GL_ARRAY_BUFFER, GLsizeiptr(ringCapacity_) * kStride, nullptr, GL_STREAM_DRAW);
  for (GLuint i = 0; i < 5; ++i) gl_.EnableVertexAttribArray(i);
  gl_.VertexAttribPointer(0, 4, GL_FLOAT, GL_FALSE, kStride, reinterpret_cast<const void*>(0));
  gl_.VertexAttribPointer(1, GL_BGRA, GL_UNSIGNED_BYTE, GL_TRUE, kStride, reinterpret_cast<const void*>(16));
  gl_.VertexAttribPointer(2, GL_BGRA, GL_UNSIGNED_BYTE, GL_TRUE, kStride, reinterpret_cast<const void*>(20));
  gl_.VertexAttribPointer(3, 2, GL_FLOAT, GL_FALSE, kStride, reinterpret_cast<const void*>(24));
  gl_.VertexAttribPointer(4, 2, GL_FLOAT, GL_FALSE, kStride, reinterpret_cast<const void*>(32));
  elementBuffer_ = 0;

  gl_.GenSamplers(kBlendStages, samplers_);
  gl_.GenSamplers(2, presentSamplers_);
  for (int i = 0; i < 2; ++i) {
    const GLint tmp_iFilter = i == 0 ? GL_NEAREST : GL_LINEAR;
    gl_.SamplerParameteri(presentSamplers_[i], GL_TEXTURE_MIN_FILTER, tmp_iFilter);
    gl_.SamplerParameteri(presentSamplers_[i], GL_TEXTURE_MAG_FILTER, tmp_iFilter);
    gl_.SamplerParameteri(presentSamplers_[i], GL_TEXTURE_WRAP_S, GL_CLAMP_TO_EDGE);
    gl_.SamplerParameteri(presentSamplers_[i], GL_TEXTURE_WRAP_T, GL_CLAMP_TO_EDGE);
  }

  gl_.GenTextures(1, &gammaTex_);
  gl_.ActiveTexture(kScratchUnit);
  gl_.BindTexture(GL_TEXTURE_2D, gammaTex_);
  gl_.TexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAX_LEVEL, 0);
  gl_.TexImage2D(GL_TEXTURE_2D, 0, GL_RGB16, 256, 1, 0, GL_RGB, GL_UNSIGNED_SHORT, nullptr);
  UploadGamma();

  HRESULT tmp_hr = CreateTargets();
  if (tmp_hr != D3D_OK) return tmp_hr;
  // Full screen waits for the display's refresh (the default presentation
  // interval); a window presents at once.
  const bool tmp_bVsync = !PresentParams().Windowed &&
                          PresentParams().FullScreen_PresentationInterval != D3DPRESENT_INTERVAL_IMMEDIATE;
  SDL_GL_SetSwapInterval(tmp_bVsync ? 1 : 0);
  tmp_hr = CheckError("while setting up the device");
  dirty_ = kDirtyAll;
  return tmp_hr;
}

CGLDevice::~CGLDevice() {
  if (context_ == nullptr) return;
  if (MakeCurrent()) {
    DestroyTargets();
    if (drawProgram_ != 0) gl_.DeleteProgram(drawProgram_);
    if (presentProgram_ != 0) gl_.DeleteProgram(presentProgram_);
    if (ring_ != 0) gl_.DeleteBuffers(1, &ring_);
    if (vao_ != 0) gl_.DeleteVertexArrays(1, &vao_);
    if (presentVao_ != 0) gl_.DeleteVertexArrays(1, &presentVao_);
    if (samplers_[0] != 0) gl_.DeleteSamplers(kBlendStages, samplers_);
    if (presentSamplers_[0] != 0) gl_.DeleteSamplers(2, presentSamplers_);
    if (gammaTex_ != 0) gl_.DeleteTextures(1, &gammaTex_);
  }
  if (g_pCurrent == this) g_pCurrent = nullptr;
  SDL_GL_DeleteContext(context_);
}

bool CGLDevice::MakeCurrent() {
  if (g_pCurrent == this) return true;
  SDL_Window* tmp_pWindow = os::GetSDLWindow(Window());
  if (tmp_pWindow == nullptr || context_ == nullptr || SDL_GL_MakeCurrent(tmp_pWindow, context_) != 0) return false;
  g_pCurrent = this;
  dirty_ = kDirtyAll;
  return true;
}

HRESULT CGLDevice::CreateTargets() {
  targetW_ = TargetWidth();
  targetH_ = TargetHeight();
  targetFormat_ = PresentParams().BackBufferFormat;
  // The back buffer keeps its format's precision; without alpha bits the
  // stored alpha stays 1 (writes to it are masked), as destination alpha
  // reads on such a buffer.
  GLint tmp_iInternal = GL_RGBA8;
  if (targetFormat_ == D3DFMT_R5G6B5) tmp_iInternal = rgb565_;
  if (targetFormat_ == D3DFMT_X1R5G5B5) tmp_iInternal = GL_RGB5_A1;
  targetAlpha_ = detail::FormatHasAlpha(targetFormat_);
  for (int i = 0; i < 2; ++i) {
    gl_.GenTextures(1, &targetTex_[i]);
    gl_.ActiveTexture(kScratchUnit);
    gl_.BindTexture(GL_TEXTURE_2D, targetTex_[i]);
    gl_.TexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAX_LEVEL, 0);
    gl_.TexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
    gl_.TexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
    gl_.GenFramebuffers(1, &targetFbo_[i]);
    gl_.BindFramebuffer(GL_FRAMEBUFFER, targetFbo_[i]);
    GLint tmp_iUse = tmp_iInternal;
    for (int tmp_iTry = 0; tmp_iTry < 2; ++tmp_iTry) {
      gl_.TexImage2D(GL_TEXTURE_2D, 0, tmp_iUse, GLsizei(targetW_), GLsizei(targetH_), 0, GL_RGBA, GL_UNSIGNED_BYTE,
                     nullptr);
      gl_.FramebufferTexture2D(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_TEXTURE_2D, targetTex_[i], 0);
      if (gl_.CheckFramebufferStatus(GL_FRAMEBUFFER) == GL_FRAMEBUFFER_COMPLETE) break;
      tmp_iUse = GL_RGBA8;  // the one format every implementation renders to
    }
    if (gl_.CheckFramebufferStatus(GL_FRAMEBUFFER) != GL_FRAMEBUFFER_COMPLETE) {
      SetLastErrorText("the off-screen target cannot be rendered to");
      return D3DERR_NOTAVAILABLE;
    }
    gl_.Disable(GL_SCISSOR_TEST);
    gl_.ColorMask(GL_TRUE, GL_TRUE, GL_TRUE, GL_TRUE);
    gl_.ClearColor(0.0f, 0.0f, 0.0f, 1.0f);
    gl_.Clear(GL_COLOR_BUFFER_BIT);
  }
  back_ = 0;
  front_ = 1;
  dirty_ = kDirtyAll;
  return CheckError("while creating the off-screen target");
}

void CGLDevice::DestroyTargets() {
  for (int i = 0; i < 2; ++i) {
    if (targetFbo_[i] != 0) gl_.DeleteFramebuffers(1, &targetFbo_[i]);
    if (targetTex_[i] != 0) gl_.DeleteTextures(1, &targetTex_[i]);
    targetFbo_[i] = 0;
    targetTex_[i] = 0;
  }
}

HRESULT CGLDevice::BackendReset() {
  if (!MakeCurrent()) return D3DERR_DEVICELOST;
  if (targetW_ != TargetWidth() || targetH_ != TargetHeight() || targetFormat_ != PresentParams().BackBufferFormat) {
    DestroyTargets();
    const HRESULT tmp_hr = CreateTargets();
    if (tmp_hr != D3D_OK) return tmp_hr;
  }
  const bool tmp_bVsync = !PresentParams().Windowed &&
                          PresentParams().FullScreen_PresentationInterval != D3DPRESENT_INTERVAL_IMMEDIATE;
  SDL_GL_SetSwapInterval(tmp_bVsync ? 1 : 0);
  gammaDirty_ = true;
  dirty_ = kDirtyAll;
  return D3D_OK;
}

// }====

// {==== Resources ============================================================

HRESULT CGLDevice::OnTextureCreated(detail::CTexture* fp_pTexture) {
  SGLFormat tmp_Format{};
  if (!GLFormatOf(fp_pTexture->Format(), rgb565_, &tmp_Format)) return D3DERR_INVALIDCALL;
  if (!MakeCurrent()) return D3DERR_DEVICELOST;
  GLuint tmp_uName = 0;
  gl_.GenTextures(1, &tmp_uName);
  gl_.ActiveTexture(kScratchUnit);
  gl_.BindTexture(GL_TEXTURE_2D, tmp_uName);
  gl_.PixelStorei(GL_UNPACK_ALIGNMENT, 1);
  for (UINT i = 0; i < fp_pTexture->LevelCount(); ++i) {
    const detail::STextureLevel& tmp_rLevel = fp_pTexture->Level(i);
    gl_.TexImage2D(GL_TEXTURE_2D, GLint(i), tmp_Format.internal, GLsizei(tmp_rLevel.width),
                   GLsizei(tmp_rLevel.height), 0, tmp_Format.format, tmp_Format.type, fp_pTexture->LevelBits(i));
  }
  gl_.TexParameteri(GL_TEXTURE_2D, GL_TEXTURE_BASE_LEVEL, 0);
  gl_.TexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAX_LEVEL, GLint(fp_pTexture->LevelCount()) - 1);
  gl_.TexParameteri(GL_TEXTURE_2D, GL_TEXTURE_SWIZZLE_R, tmp_Format.swizzle[0]);
  gl_.TexParameteri(GL_TEXTURE_2D, GL_TEXTURE_SWIZZLE_G, tmp_Format.swizzle[1]);
  gl_.TexParameteri(GL_TEXTURE_2D, GL_TEXTURE_SWIZZLE_B, tmp_Format.swizzle[2]);
  gl_.TexParameteri(GL_TEXTURE_2D, GL_TEXTURE_SWIZZLE_A, tmp_Format.swizzle[3]);
  const HRESULT tmp_hr = CheckError("while creating a texture");
  if (tmp_hr != D3D_OK) {
    gl_.DeleteTextures(1, &tmp_uName);
    return tmp_hr;
  }
  fp_pTexture->backendHandle = tmp_uName;
  return D3D_OK;
}

void CGLDevice::OnTextureDestroyed(detail::CTexture* fp_pTexture) {
  const GLuint tmp_uName = static_cast<GLuint>(fp_pTexture->backendHandle);
  if (tmp_uName == 0 || !MakeCurrent()) return;
  gl_.DeleteTextures(1, &tmp_uName);
  for (GLuint& tmp_rBound : boundTex_) {
    if (tmp_rBound == tmp_uName) tmp_rBound = kUnknownBinding;
  }
}

void CGLDevice::OnTextureLevelWritten(detail::CTexture* fp_pTexture, UINT fp_uLevel) {
  SGLFormat tmp_Format{};
  const GLuint tmp_uName = static_cast<GLuint>(fp_pTexture->backendHandle);
  if (tmp_uName == 0 || !GLFormatOf(fp_pTexture->Format(), rgb565_, &tmp_Format) || !MakeCurrent()) return;
  const detail::STextureLevel& tmp_rLevel = fp_pTexture->Level(fp_uLevel);
  gl_.ActiveTexture(kScratchUnit);
  gl_.BindTexture(GL_TEXTURE_2D, tmp_uName);
  gl_.PixelStorei(GL_UNPACK_ALIGNMENT, 1);
  gl_.TexSubImage2D(GL_TEXTURE_2D, GLint(fp_uLevel), 0, 0, GLsizei(tmp_rLevel.width), GLsizei(tmp_rLevel.height),
                    tmp_Format.format, tmp_Format.type, fp_pTexture->LevelBits(fp_uLevel));
}

HRESULT CGLDevice::OnIndexBufferCreated(detail::CIndexBuffer* fp_pBuffer) {
  if (!MakeCurrent()) return D3DERR_DEVICELOST;
  GLuint tmp_uName = 0;
  gl_.GenBuffers(1, &tmp_uName);
  gl_.BindBuffer(GL_COPY_WRITE_BUFFER, tmp_uName);
  gl_.BufferData(GL_COPY_WRITE_BUFFER, GLsizeiptr(fp_pBuffer->Size()), fp_pBuffer->Data(), GL_STATIC_DRAW);
  const HRESULT tmp_hr = CheckError("while creating an index buffer");
  if (tmp_hr != D3D_OK) {
    gl_.DeleteBuffers(1, &tmp_uName);
    return tmp_hr;
  }
  fp_pBuffer->backendHandle = tmp_uName;
  return D3D_OK;
}

void CGLDevice::OnIndexBufferDestroyed(detail::CIndexBuffer* fp_pBuffer) {
  const GLuint tmp_uName = static_cast<GLuint>(fp_pBuffer->backendHandle);
  if (tmp_uName == 0 || !MakeCurrent()) return;
  gl_.DeleteBuffers(1, &tmp_uName);
  if (elementBuffer_ == tmp_uName) elementBuffer_ = kUnknownBinding;
}

void CGLDevice::OnIndexBufferWritten(detail::CIndexBuffer* fp_pBuffer) {
  const GLuint tmp_uName = static_cast<GLuint>(fp_pBuffer->backendHandle);
  if (tmp_uName == 0 || !MakeCurrent()) return;
  gl_.BindBuffer(GL_COPY_WRITE_BUFFER, tmp_uName);
  gl_.BufferSubData(GL_COPY_WRITE_BUFFER, 0, GLsizeiptr(fp_pBuffer->Size()), fp_pBuffer->Data());
}

// }====

// {==== State ================================================================

void CGLDevice::OnRenderStateChanged(DWORD fp_dwState) {
  switch (fp_dwState) {
    case D3DRS_ALPHABLENDENABLE:
    case D3DRS_SRCBLEND:
    case D3DRS_DESTBLEND:
    case D3DRS_BLENDOP:
      dirty_ |= kDirtyBlend;
      break;
    case D3DRS_FOGENABLE:
    case D3DRS_FOGCOLOR:
    case D3DRS_FOGTABLEMODE:
    case D3DRS_FOGSTART:
    case D3DRS_FOGEND:
    case D3DRS_FOGDENSITY:
    case D3DRS_SPECULARENABLE:
      dirty_ |= kDirtyFog;
      break;
    case D3DRS_TEXTUREFACTOR:
      dirty_ |= kDirtyStages;
      break;
    case D3DRS_CULLMODE:
    case D3DRS_DITHERENABLE:
    case D3DRS_COLORWRITEENABLE:
      dirty_ |= kDirtyRaster;
      break;
    case D3DRS_ALPHATESTENABLE:
    case D3DRS_ALPHAFUNC:
    case D3DRS_ALPHAREF:
      dirty_ |= kDirtyAlphaTest;
      break;
    default:
      break;  // no effect on pre-transformed drawing
  }
}

void CGLDevice::OnStageStateChanged(DWORD fp_dwStage, DWORD fp_dwType) {
  if (fp_dwStage >= kBlendStages) return;
  switch (fp_dwType) {
    case D3DTSS_COLOROP:
    case D3DTSS_COLORARG1:
    case D3DTSS_COLORARG2:
    case D3DTSS_ALPHAOP:
    case D3DTSS_ALPHAARG1:
    case D3DTSS_ALPHAARG2:
    case D3DTSS_TEXCOORDINDEX:
      dirty_ |= kDirtyStages;
      break;
    case D3DTSS_ADDRESSU:
    case D3DTSS_ADDRESSV:
    case D3DTSS_BORDERCOLOR:
    case D3DTSS_MAGFILTER:
    case D3DTSS_MINFILTER:
    case D3DTSS_MIPFILTER:
    case D3DTSS_MIPMAPLODBIAS:
    case D3DTSS_MAXMIPLEVEL:
      dirty_ |= fp_dwStage == 0 ? kDirtySampler0 : kDirtySampler1;
      break;
    default:
      break;
  }
}

void CGLDevice::ApplyStages() {
  // The cascade runs up to the first disabled stage; a stage that reads a
  // texture it does not have is disabled too (its output would be the
  // current colour anyway).
  GLint tmp_iStages = 0;
  for (DWORD s = 0; s < kBlendStages; ++s) {
    const DWORD tmp_dwColorOp = StageState(s, D3DTSS_COLOROP);
    if (tmp_dwColorOp == D3DTOP_DISABLE) break;
    const DWORD tmp_dwAlphaOp = StageState(s, D3DTSS_ALPHAOP);
    const bool tmp_bTexture =
        ReadsTexture(tmp_dwColorOp, StageState(s, D3DTSS_COLORARG1), StageState(s, D3DTSS_COLORARG2)) ||
        ReadsTexture(tmp_dwAlphaOp, StageState(s, D3DTSS_ALPHAARG1), StageState(s, D3DTSS_ALPHAARG2));
    if (tmp_bTexture && BoundTexture(s) == nullptr) break;
    ++tmp_iStages;
  }
  // Texture switches mark the stages too (a stage may start or stop reading
  // its texture); what did not change is not sent again.
  auto tmp_Int = [](DWORD fp_dw) { return static_cast<GLint>(fp_dw & 0x7FFFFFFFu); };
  SStageUniforms tmp_New{};
  tmp_New.stages = tmp_iStages;
  for (DWORD s = 0; s < kBlendStages; ++s) {
    for (DWORD i = 0; i < 6; ++i) tmp_New.ops[s * 6 + i] = tmp_Int(StageState(s, D3DTSS_COLOROP + i));
    tmp_New.coord[s] = (StageState(s, D3DTSS_TEXCOORDINDEX) & 0xFFFFu) == 1 ? 1 : 0;
  }
  ColorOf(RenderState(D3DRS_TEXTUREFACTOR), tmp_New.factor);
  if (stageUniformsValid_ && std::memcmp(&tmp_New, &stageUniforms_, sizeof(tmp_New)) == 0) return;
  const GLint* o = tmp_New.ops;
  gl_.Uniform1i(u_.stages, tmp_New.stages);
  gl_.Uniform3i(u_.color0, o[0], o[1], o[2]);
  gl_.Uniform3i(u_.alpha0, o[3], o[4], o[5]);
  gl_.Uniform3i(u_.color1, o[6], o[7], o[8]);
  gl_.Uniform3i(u_.alpha1, o[9], o[10], o[11]);
  gl_.Uniform2i(u_.coord, tmp_New.coord[0], tmp_New.coord[1]);
  gl_.Uniform4f(u_.factor, tmp_New.factor[0], tmp_New.factor[1], tmp_New.factor[2], tmp_New.factor[3]);
  stageUniforms_ = tmp_New;
  stageUniformsValid_ = true;
}

void CGLDevice::ApplySampler(DWORD fp_dwStage) {
  const GLuint s = samplers_[fp_dwStage];
  gl_.SamplerParameteri(s, GL_TEXTURE_WRAP_S, GLint(WrapMode(StageState(fp_dwStage, D3DTSS_ADDRESSU))));
  gl_.SamplerParameteri(s, GL_TEXTURE_WRAP_T, GLint(WrapMode(StageState(fp_dwStage, D3DTSS_ADDRESSV))));
  float tmp_aBorder[4];
  ColorOf(StageState(fp_dwStage, D3DTSS_BORDERCOLOR), tmp_aBorder);
  gl_.SamplerParameterfv(s, GL_TEXTURE_BORDER_COLOR, tmp_aBorder);
  // NONE magnifies and minifies like POINT; the mip filter NONE keeps to the
  // top level.
  const bool tmp_bMagLinear = StageState(fp_dwStage, D3DTSS_MAGFILTER) >= D3DTEXF_LINEAR;
  const bool tmp_bMinLinear = StageState(fp_dwStage, D3DTSS_MINFILTER) >= D3DTEXF_LINEAR;
  const DWORD tmp_dwMip = StageState(fp_dwStage, D3DTSS_MIPFILTER);
  GLint tmp_iMin = tmp_bMinLinear ? GL_LINEAR : GL_NEAREST;
  if (tmp_dwMip == D3DTEXF_POINT) tmp_iMin = tmp_bMinLinear ? GL_LINEAR_MIPMAP_NEAREST : GL_NEAREST_MIPMAP_NEAREST;
  if (tmp_dwMip >= D3DTEXF_LINEAR) tmp_iMin = tmp_bMinLinear ? GL_LINEAR_MIPMAP_LINEAR : GL_NEAREST_MIPMAP_LINEAR;
  gl_.SamplerParameteri(s, GL_TEXTURE_MIN_FILTER, tmp_iMin);
  gl_.SamplerParameteri(s, GL_TEXTURE_MAG_FILTER, tmp_bMagLinear ? GL_LINEAR : GL_NEAREST);
  const float tmp_fBias = std::clamp(FloatState(StageState(fp_dwStage, D3DTSS_MIPMAPLODBIAS), 0.0f), -16.0f, 16.0f);
  gl_.SamplerParameterf(s, GL_TEXTURE_LOD_BIAS, tmp_fBias);
  gl_.SamplerParameterf(s, GL_TEXTURE_MIN_LOD, float(std::min<DWORD>(StageState(fp_dwStage, D3DTSS_MAXMIPLEVEL), 1000)));
}

void CGLDevice::ApplyState() {
  if (dirty_ == 0) return;
  if ((dirty_ & kDirtyBinding) != 0) {
    gl_.UseProgram(drawProgram_);
    gl_.BindVertexArray(vao_);
    gl_.BindBuffer(GL_ARRAY_BUFFER, ring_);
    gl_.BindFramebuffer(GL_FRAMEBUFFER, targetFbo_[back_]);
    gl_.Viewport(0, 0, GLsizei(targetW_), GLsizei(targetH_));
    gl_.Enable(GL_SCISSOR_TEST);
    gl_.Uniform2f(u_.scale, 2.0f / float(targetW_), 2.0f / float(targetH_));
    for (GLuint i = 0; i < kBlendStages; ++i) {
      gl_.BindSampler(i, samplers_[i]);
      boundTex_[i] = kUnknownBinding;
    }
    dirty_ |= kDirtyTextures | kDirtyScissor | kDirtyBlend | kDirtyRaster;
  }
  if ((dirty_ & kDirtyTextures) != 0) {
    for (DWORD s = 0; s < kBlendStages; ++s) {
      const detail::CTexture* tmp_pTexture = BoundTexture(s);
      const GLuint tmp_uName = tmp_pTexture != nullptr ? static_cast<GLuint>(tmp_pTexture->backendHandle) : 0;
      if (boundTex_[s] != tmp_uName) {
        gl_.ActiveTexture(GL_TEXTURE0 + s);
        gl_.BindTexture(GL_TEXTURE_2D, tmp_uName);
        boundTex_[s] = tmp_uName;
      }
    }
  }
  if ((dirty_ & kDirtyScissor) != 0) {
    const D3DVIEWPORT8& v = Viewport();
    gl_.Scissor(GLint(v.X), GLint(targetH_) - GLint(v.Y + v.Height), GLsizei(v.Width), GLsizei(v.Height));
  }
  if ((dirty_ & kDirtyStages) != 0) ApplyStages();
  if ((dirty_ & kDirtySampler0) != 0) ApplySampler(0);
  if ((dirty_ & kDirtySampler1) != 0) ApplySampler(1);
  if ((dirty_ & kDirtyBlend) != 0) {
    if (RenderState(D3DRS_ALPHABLENDENABLE) != 0) {
      gl_.Enable(GL_BLEND);
    } else {
      gl_.Disable(GL_BLEND);
    }
    const DWORD tmp_dwSrc = RenderState(D3DRS_SRCBLEND);
    GLenum tmp_eSrc = BlendFactor(tmp_dwSrc, GL_ONE);
    GLenum tmp_eDst = BlendFactor(RenderState(D3DRS_DESTBLEND), GL_ZERO);
    // The "both" factors set the destination from the source.
    if (tmp_dwSrc == D3DBLEND_BOTHSRCALPHA) {
      tmp_eSrc = GL_SRC_ALPHA;
      tmp_eDst = GL_ONE_MINUS_SRC_ALPHA;
    } else if (tmp_dwSrc == D3DBLEND_BOTHINVSRCALPHA) {
      tmp_eSrc = GL_ONE_MINUS_SRC_ALPHA;
      tmp_eDst = GL_SRC_ALPHA;
    }
    gl_.BlendFunc(tmp_eSrc, tmp_eDst);
    gl_.BlendEquation(BlendEquation(RenderState(D3DRS_BLENDOP)));
  }
  if ((dirty_ & kDirtyFog) != 0) {
    GLint tmp_iFog = 0;
    if (RenderState(D3DRS_FOGENABLE) != 0) {
      // Pre-transformed vertices bring their fog factor in the specular
      // alpha; a table mode computes it per pixel from z instead.
      switch (RenderState(D3DRS_FOGTABLEMODE)) {
        case D3DFOG_LINEAR:
          tmp_iFog = 2;
          break;
        case D3DFOG_EXP:
          tmp_iFog = 3;
          break;
        case D3DFOG_EXP2:
          tmp_iFog = 4;
          break;
        default:
          tmp_iFog = 1;
          break;
      }
    }
    const float tmp_fStart = FloatState(RenderState(D3DRS_FOGSTART), 0.0f);
    const float tmp_fEnd = FloatState(RenderState(D3DRS_FOGEND), 1.0f);
    const float tmp_fRange = tmp_fEnd - tmp_fStart;
    float tmp_aColor[4];
    ColorOf(RenderState(D3DRS_FOGCOLOR), tmp_aColor);
    gl_.Uniform1i(u_.fog, tmp_iFog);
    gl_.Uniform3f(u_.fogParams, tmp_fEnd, tmp_fRange != 0.0f ? 1.0f / tmp_fRange : 0.0f,
                  FloatState(RenderState(D3DRS_FOGDENSITY), 1.0f));
    gl_.Uniform3f(u_.fogColor, tmp_aColor[0], tmp_aColor[1], tmp_aColor[2]);
    gl_.Uniform1i(u_.specular, RenderState(D3DRS_SPECULARENABLE) != 0 ? 1 : 0);
  }
  if ((dirty_ & kDirtyRaster) != 0) {
    // Clockwise on the screen is counter-clockwise once y points up, so the
    // device's clockwise triangles are OpenGL's back faces.
    switch (RenderState(D3DRS_CULLMODE)) {
      case D3DCULL_NONE:
        gl_.Disable(GL_CULL_FACE);
        break;
      case D3DCULL_CW:
        gl_.Enable(GL_CULL_FACE);
        gl_.CullFace(GL_BACK);
        break;
      default:
        gl_.Enable(GL_CULL_FACE);
        gl_.CullFace(GL_FRONT);
        break;
    }
    gl_.FrontFace(GL_CCW);
    if (RenderState(D3DRS_DITHERENABLE) != 0) {
      gl_.Enable(GL_DITHER);
    } else {
      gl_.Disable(GL_DITHER);
    }
    const DWORD tmp_dwMask = RenderState(D3DRS_COLORWRITEENABLE);
    gl_.ColorMask((tmp_dwMask & D3DCOLORWRITEENABLE_RED) != 0, (tmp_dwMask & D3DCOLORWRITEENABLE_GREEN) != 0,
                  (tmp_dwMask & D3DCOLORWRITEENABLE_BLUE) != 0,
                  targetAlpha_ && (tmp_dwMask & D3DCOLORWRITEENABLE_ALPHA) != 0);
  }
  if ((dirty_ & kDirtyAlphaTest) != 0) {
    const DWORD tmp_dwFunc = RenderState(D3DRS_ALPHATESTENABLE) != 0 ? RenderState(D3DRS_ALPHAFUNC) : 0u;
    gl_.Uniform1i(u_.alphaFunc, tmp_dwFunc >= D3DCMP_NEVER && tmp_dwFunc <= D3DCMP_ALWAYS ? GLint(tmp_dwFunc) : 0);
    gl_.Uniform1f(u_.alphaRef, float(RenderState(D3DRS_ALPHAREF) & 0xFFu));
  }
  dirty_ = 0;
}

// }====

// {==== Drawing ==============================================================

void CGLDevice::BackendClear(const D3DRECT& fp_rRect, D3DCOLOR fp_Color) {
  if (!MakeCurrent()) return;
  ApplyState();
  float c[4];
  ColorOf(fp_Color, c);
  gl_.ColorMask(GL_TRUE, GL_TRUE, GL_TRUE, GL_TRUE);
  gl_.Scissor(fp_rRect.x1, GLint(targetH_) - fp_rRect.y2, fp_rRect.x2 - fp_rRect.x1, fp_rRect.y2 - fp_rRect.y1);
  gl_.ClearColor(c[0], c[1], c[2], targetAlpha_ ? c[3] : 1.0f);
  gl_.Clear(GL_COLOR_BUFFER_BIT);
  dirty_ |= kDirtyScissor | kDirtyRaster;
}

void CGLDevice::BackendDraw(const detail::SDrawCall& fp_rCall) {
  if (!MakeCurrent()) return;
  ApplyState();
  // Only the vertices the call reaches go to the ring; when they do not fit
  // behind what is there, the ring's storage is orphaned (the driver keeps
  // the old one until the draws reading it are done) and filling restarts.
  const UINT tmp_uCount = fp_rCall.lastVertex - fp_rCall.firstVertex + 1;
  if (tmp_uCount > ringCapacity_) {
    ringCapacity_ = tmp_uCount;
    gl_.BufferData(GL_ARRAY_BUFFER, GLsizeiptr(ringCapacity_) * kStride, nullptr, GL_STREAM_DRAW);
    ringCursor_ = 0;
  } else if (ringCursor_ + tmp_uCount > ringCapacity_) {
    gl_.BufferData(GL_ARRAY_BUFFER, GLsizeiptr(ringCapacity_) * kStride, nullptr, GL_STREAM_DRAW);
    ringCursor_ = 0;
  }
  gl_.BufferSubData(GL_ARRAY_BUFFER, GLintptr(ringCursor_) * kStride, GLsizeiptr(tmp_uCount) * kStride,
                    fp_rCall.stream->Data() + size_t(fp_rCall.firstVertex) * kStride);
  const GLenum tmp_eMode = PrimitiveMode(fp_rCall.type);
  if (fp_rCall.indexed) {
    const GLuint tmp_uIndices = static_cast<GLuint>(fp_rCall.indices->backendHandle);
    if (elementBuffer_ != tmp_uIndices) {
      gl_.BindBuffer(GL_ELEMENT_ARRAY_BUFFER, tmp_uIndices);
      elementBuffer_ = tmp_uIndices;
    }
    const UINT tmp_uIndexSize = fp_rCall.indices->IndexSize();
    // Index i reads stream vertex i + base, which now sits at
    // cursor + (i + base - firstVertex) = cursor + i - minIndex.
    gl_.DrawElementsBaseVertex(tmp_eMode, GLsizei(fp_rCall.elementCount),
                               tmp_uIndexSize == 4 ? GL_UNSIGNED_INT : GL_UNSIGNED_SHORT,
                               reinterpret_cast<const void*>(std::uintptr_t(fp_rCall.startIndex) * tmp_uIndexSize),
                               GLint(ringCursor_) - GLint(fp_rCall.minIndex));
  } else {
    gl_.DrawArrays(tmp_eMode, GLint(ringCursor_), GLsizei(fp_rCall.elementCount));
  }
  ringCursor_ += tmp_uCount;
}

void CGLDevice::UploadGamma() {
  WORD tmp_aTexels[256 * 3];
  const D3DGAMMARAMP& r = GammaRamp();
  for (int i = 0; i < 256; ++i) {
    tmp_aTexels[i * 3 + 0] = r.red[i];
    tmp_aTexels[i * 3 + 1] = r.green[i];
    tmp_aTexels[i * 3 + 2] = r.blue[i];
  }
  gl_.ActiveTexture(kScratchUnit);
  gl_.BindTexture(GL_TEXTURE_2D, gammaTex_);
  gl_.PixelStorei(GL_UNPACK_ALIGNMENT, 2);
  gl_.TexSubImage2D(GL_TEXTURE_2D, 0, 0, 0, 256, 1, GL_RGB, GL_UNSIGNED_SHORT, tmp_aTexels);
  gammaDirty_ = false;
}

HRESULT CGLDevice::BackendPresent() {
  SDL_Window* tmp_pWindow = os::GetSDLWindow(Window());
  if (tmp_pWindow == nullptr || !MakeCurrent()) return D3DERR_INVALIDCALL;
  // The image just drawn becomes the front buffer.
  const D3DSWAPEFFECT tmp_Swap = PresentParams().SwapEffect;
  if (tmp_Swap == D3DSWAPEFFECT_COPY || tmp_Swap == D3DSWAPEFFECT_COPY_VSYNC) {
    gl_.Disable(GL_SCISSOR_TEST);
    gl_.BindFramebuffer(GL_READ_FRAMEBUFFER, targetFbo_[back_]);
    gl_.BindFramebuffer(GL_DRAW_FRAMEBUFFER, targetFbo_[front_]);
    gl_.BlitFramebuffer(0, 0, GLint(targetW_), GLint(targetH_), 0, 0, GLint(targetW_), GLint(targetH_),
                        GL_COLOR_BUFFER_BIT, GL_NEAREST);
  } else {
    std::swap(back_, front_);
  }
  if (gammaDirty_) UploadGamma();

  int tmp_iWinW = 0, tmp_iWinH = 0, tmp_iDrawW = 0, tmp_iDrawH = 0;
  SDL_GetWindowSize(tmp_pWindow, &tmp_iWinW, &tmp_iWinH);
  SDL_GL_GetDrawableSize(tmp_pWindow, &tmp_iDrawW, &tmp_iDrawH);
  if (tmp_iDrawW > 0 && tmp_iDrawH > 0 && tmp_iWinW > 0 && tmp_iWinH > 0) {
    gl_.BindFramebuffer(GL_FRAMEBUFFER, 0);
    gl_.Disable(GL_SCISSOR_TEST);
    gl_.Disable(GL_BLEND);
    gl_.Disable(GL_CULL_FACE);
    gl_.ColorMask(GL_TRUE, GL_TRUE, GL_TRUE, GL_TRUE);
    gl_.Viewport(0, 0, tmp_iDrawW, tmp_iDrawH);
    gl_.ClearColor(0.0f, 0.0f, 0.0f, 1.0f);
    gl_.Clear(GL_COLOR_BUFFER_BIT);
    // The back buffer scaled into the window with its aspect kept (the os
    // stand-in says where, in window pixels; the drawable may be finer).
    const RECT tmp_Rect = os::GetBackBufferViewport(Window(), int(targetW_), int(targetH_));
    const double tmp_dSX = double(tmp_iDrawW) / tmp_iWinW;
    const double tmp_dSY = double(tmp_iDrawH) / tmp_iWinH;
    const GLint tmp_iX = GLint(std::lround(tmp_Rect.left * tmp_dSX));
    const GLint tmp_iY = GLint(std::lround(tmp_Rect.top * tmp_dSY));
    const GLsizei tmp_iW = GLsizei(std::lround((tmp_Rect.right - tmp_Rect.left) * tmp_dSX));
    const GLsizei tmp_iH = GLsizei(std::lround((tmp_Rect.bottom - tmp_Rect.top) * tmp_dSY));
    if (tmp_iW > 0 && tmp_iH > 0) {
      gl_.Viewport(tmp_iX, tmp_iDrawH - (tmp_iY + tmp_iH), tmp_iW, tmp_iH);
      gl_.UseProgram(presentProgram_);
      gl_.BindVertexArray(presentVao_);
      gl_.ActiveTexture(GL_TEXTURE0);
      gl_.BindTexture(GL_TEXTURE_2D, targetTex_[front_]);
      const bool tmp_bExact = UINT(tmp_iW) == targetW_ && UINT(tmp_iH) == targetH_;
      gl_.BindSampler(0, presentSamplers_[tmp_bExact ? 0 : 1]);
      gl_.ActiveTexture(GL_TEXTURE1);
      gl_.BindTexture(GL_TEXTURE_2D, gammaTex_);
      gl_.BindSampler(1, presentSamplers_[0]);
      gl_.Uniform1i(uGammaOn_, IsGammaIdentity() ? 0 : 1);
      gl_.DrawArrays(GL_TRIANGLES, 0, 3);
    }
    if (capture_ != nullptr) {
      capture_->assign(size_t(tmp_iDrawW) * tmp_iDrawH * 4, 0);
      gl_.PixelStorei(GL_PACK_ALIGNMENT, 1);
      const size_t tmp_uRow = size_t(tmp_iDrawW) * 4;
      for (int y = 0; y < tmp_iDrawH; ++y) {
        gl_.ReadPixels(0, tmp_iDrawH - 1 - y, tmp_iDrawW, 1, GL_RGBA, GL_UNSIGNED_BYTE, capture_->data() + y * tmp_uRow);
      }
      if (captureW_ != nullptr) *captureW_ = tmp_iDrawW;
      if (captureH_ != nullptr) *captureH_ = tmp_iDrawH;
      capture_ = nullptr;
    }
  }
  SDL_GL_SwapWindow(tmp_pWindow);
  dirty_ = kDirtyAll;
  return D3D_OK;
}

void CGLDevice::ReadTarget(GLuint fp_uFbo, BYTE* fp_pBits, size_t fp_uPitch) {
  gl_.BindFramebuffer(GL_READ_FRAMEBUFFER, fp_uFbo);
  gl_.PixelStorei(GL_PACK_ALIGNMENT, 4);
  for (UINT y = 0; y < targetH_; ++y) {
    gl_.ReadPixels(0, GLint(targetH_ - 1 - y), GLsizei(targetW_), 1, GL_BGRA, GL_UNSIGNED_BYTE,
                   fp_pBits + size_t(y) * fp_uPitch);
  }
  dirty_ |= kDirtyBinding;
}

void CGLDevice::BackendReadFront(BYTE* fp_pBits, UINT fp_uPitch) {
  if (!MakeCurrent()) return;
  ReadTarget(targetFbo_[front_], fp_pBits, fp_uPitch);
  // What is on screen is opaque.
  for (UINT y = 0; y < targetH_; ++y) {
    BYTE* tmp_pRow = fp_pBits + size_t(y) * fp_uPitch;
    for (UINT x = 0; x < targetW_; ++x) tmp_pRow[x * 4 + 3] = 0xFF;
  }
}

void CGLDevice::ReadBackBuffer(std::vector<std::uint32_t>* fp_pPixels) {
  fp_pPixels->assign(size_t(targetW_) * targetH_, 0);
  if (!MakeCurrent()) return;
  ReadTarget(targetFbo_[back_], reinterpret_cast<BYTE*>(fp_pPixels->data()), size_t(targetW_) * 4);
}

// }====

}  // namespace

// {==== Shared with the Direct3D object ======================================

void RequestCoreContext() {
  SDL_GL_SetAttribute(SDL_GL_CONTEXT_MAJOR_VERSION, 3);
  SDL_GL_SetAttribute(SDL_GL_CONTEXT_MINOR_VERSION, 3);
  SDL_GL_SetAttribute(SDL_GL_CONTEXT_PROFILE_MASK, SDL_GL_CONTEXT_PROFILE_CORE);
  SDL_GL_SetAttribute(SDL_GL_DOUBLEBUFFER, 1);
}

HRESULT CreateDevice(IDirect3D8* fp_pParent, HWND fp_hWindow, SDL_Window* fp_pWindow,
                     const D3DPRESENT_PARAMETERS& fp_rParams, const detail::SDeviceConfig& fp_rConfig,
                     IDirect3DDevice8** fp_ppDevice) {
  CGLDevice* tmp_pDevice = new CGLDevice(fp_pParent, fp_hWindow, fp_rParams, fp_rConfig);
  const HRESULT tmp_hr = tmp_pDevice->Init(fp_pWindow);
  if (tmp_hr != D3D_OK) {
    tmp_pDevice->Release();
    return tmp_hr;
  }
  *fp_ppDevice = tmp_pDevice;
  return D3D_OK;
}

void ForgetCurrentContext() { g_pCurrent = nullptr; }

void SetLastErrorText(const std::string& fp_rText) { g_LastError = fp_rText; }

std::string LastErrorText() { return g_LastError; }

IGLDeviceTestAccess* AsGLDevice(IDirect3DDevice8* fp_pDevice) { return dynamic_cast<CGLDevice*>(fp_pDevice); }

// }====

}  // namespace gfx::gl
