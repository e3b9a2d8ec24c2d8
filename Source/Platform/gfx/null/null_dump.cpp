// The text form of the recording device's events: one line per call, the
// device's numbers written by their names, so a test can compare a frame's
// calls with a short golden text.

#include <bit>
#include <cstdio>
#include <string>

#include "Platform/gfx/null/null_device.h"

namespace gfx::null {

namespace {

struct SName {
  DWORD value;
  const char* name;
};

template <size_t N>
std::string Lookup(const SName (&fp_aTable)[N], DWORD fp_dwValue) {
  for (const SName& tmp_rEntry : fp_aTable) {
    if (tmp_rEntry.value == fp_dwValue) return tmp_rEntry.name;
  }
  return std::to_string(fp_dwValue);
}

std::string Hex(DWORD fp_dwValue) {
  char tmp_szBuffer[16];
  std::snprintf(tmp_szBuffer, sizeof(tmp_szBuffer), "0x%08X", static_cast<unsigned>(fp_dwValue));
  return tmp_szBuffer;
}

std::string Float(float fp_f) {
  char tmp_szBuffer[32];
  std::snprintf(tmp_szBuffer, sizeof(tmp_szBuffer), "%g", static_cast<double>(fp_f));
  return tmp_szBuffer;
}

#define M2D_NAME(x) {x, #x}

const SName kRenderStates[] = {
    M2D_NAME(D3DRS_ZENABLE),          M2D_NAME(D3DRS_FILLMODE),          M2D_NAME(D3DRS_SHADEMODE),
    M2D_NAME(D3DRS_LINEPATTERN),      M2D_NAME(D3DRS_ZWRITEENABLE),      M2D_NAME(D3DRS_ALPHATESTENABLE),
    M2D_NAME(D3DRS_LASTPIXEL),        M2D_NAME(D3DRS_SRCBLEND),          M2D_NAME(D3DRS_DESTBLEND),
    M2D_NAME(D3DRS_CULLMODE),         M2D_NAME(D3DRS_ZFUNC),             M2D_NAME(D3DRS_ALPHAREF),
    M2D_NAME(D3DRS_ALPHAFUNC),        M2D_NAME(D3DRS_DITHERENABLE),      M2D_NAME(D3DRS_ALPHABLENDENABLE),
    M2D_NAME(D3DRS_FOGENABLE),        M2D_NAME(D3DRS_SPECULARENABLE),    M2D_NAME(D3DRS_ZVISIBLE),
    M2D_NAME(D3DRS_FOGCOLOR),         M2D_NAME(D3DRS_FOGTABLEMODE),      M2D_NAME(D3DRS_FOGSTART),
    M2D_NAME(D3DRS_FOGEND),           M2D_NAME(D3DRS_FOGDENSITY),        M2D_NAME(D3DRS_EDGEANTIALIAS),
    M2D_NAME(D3DRS_ZBIAS),            M2D_NAME(D3DRS_RANGEFOGENABLE),    M2D_NAME(D3DRS_STENCILENABLE),
    M2D_NAME(D3DRS_STENCILFAIL),      M2D_NAME(D3DRS_STENCILZFAIL),      M2D_NAME(D3DRS_STENCILPASS),
    M2D_NAME(D3DRS_STENCILFUNC),      M2D_NAME(D3DRS_STENCILREF),        M2D_NAME(D3DRS_STENCILMASK),
    M2D_NAME(D3DRS_STENCILWRITEMASK), M2D_NAME(D3DRS_TEXTUREFACTOR),     M2D_NAME(D3DRS_WRAP0),
    M2D_NAME(D3DRS_WRAP1),            M2D_NAME(D3DRS_CLIPPING),          M2D_NAME(D3DRS_LIGHTING),
    M2D_NAME(D3DRS_AMBIENT),          M2D_NAME(D3DRS_FOGVERTEXMODE),     M2D_NAME(D3DRS_COLORVERTEX),
    M2D_NAME(D3DRS_LOCALVIEWER),      M2D_NAME(D3DRS_NORMALIZENORMALS),  M2D_NAME(D3DRS_DIFFUSEMATERIALSOURCE),
    M2D_NAME(D3DRS_SPECULARMATERIALSOURCE), M2D_NAME(D3DRS_AMBIENTMATERIALSOURCE),
    M2D_NAME(D3DRS_EMISSIVEMATERIALSOURCE), M2D_NAME(D3DRS_VERTEXBLEND), M2D_NAME(D3DRS_CLIPPLANEENABLE),
    M2D_NAME(D3DRS_SOFTWAREVERTEXPROCESSING), M2D_NAME(D3DRS_POINTSIZE), M2D_NAME(D3DRS_POINTSIZE_MIN),
    M2D_NAME(D3DRS_POINTSPRITEENABLE), M2D_NAME(D3DRS_POINTSCALEENABLE), M2D_NAME(D3DRS_MULTISAMPLEANTIALIAS),
    M2D_NAME(D3DRS_MULTISAMPLEMASK),  M2D_NAME(D3DRS_POINTSIZE_MAX),     M2D_NAME(D3DRS_COLORWRITEENABLE),
    M2D_NAME(D3DRS_TWEENFACTOR),      M2D_NAME(D3DRS_BLENDOP),
};

const SName kStageStates[] = {
    M2D_NAME(D3DTSS_COLOROP),        M2D_NAME(D3DTSS_COLORARG1),      M2D_NAME(D3DTSS_COLORARG2),
    M2D_NAME(D3DTSS_ALPHAOP),        M2D_NAME(D3DTSS_ALPHAARG1),      M2D_NAME(D3DTSS_ALPHAARG2),
    M2D_NAME(D3DTSS_BUMPENVMAT00),   M2D_NAME(D3DTSS_BUMPENVMAT01),   M2D_NAME(D3DTSS_BUMPENVMAT10),
    M2D_NAME(D3DTSS_BUMPENVMAT11),   M2D_NAME(D3DTSS_TEXCOORDINDEX),  M2D_NAME(D3DTSS_ADDRESSU),
    M2D_NAME(D3DTSS_ADDRESSV),       M2D_NAME(D3DTSS_BORDERCOLOR),    M2D_NAME(D3DTSS_MAGFILTER),
    M2D_NAME(D3DTSS_MINFILTER),      M2D_NAME(D3DTSS_MIPFILTER),      M2D_NAME(D3DTSS_MIPMAPLODBIAS),
    M2D_NAME(D3DTSS_MAXMIPLEVEL),    M2D_NAME(D3DTSS_MAXANISOTROPY),  M2D_NAME(D3DTSS_BUMPENVLSCALE),
    M2D_NAME(D3DTSS_BUMPENVLOFFSET), M2D_NAME(D3DTSS_TEXTURETRANSFORMFLAGS), M2D_NAME(D3DTSS_ADDRESSW),
    M2D_NAME(D3DTSS_COLORARG0),      M2D_NAME(D3DTSS_ALPHAARG0),      M2D_NAME(D3DTSS_RESULTARG),
};

const SName kOps[] = {
    M2D_NAME(D3DTOP_DISABLE),          M2D_NAME(D3DTOP_SELECTARG1),         M2D_NAME(D3DTOP_SELECTARG2),
    M2D_NAME(D3DTOP_MODULATE),         M2D_NAME(D3DTOP_MODULATE2X),         M2D_NAME(D3DTOP_MODULATE4X),
    M2D_NAME(D3DTOP_ADD),              M2D_NAME(D3DTOP_ADDSIGNED),          M2D_NAME(D3DTOP_ADDSIGNED2X),
    M2D_NAME(D3DTOP_SUBTRACT),         M2D_NAME(D3DTOP_ADDSMOOTH),          M2D_NAME(D3DTOP_BLENDDIFFUSEALPHA),
    M2D_NAME(D3DTOP_BLENDTEXTUREALPHA), M2D_NAME(D3DTOP_BLENDFACTORALPHA),  M2D_NAME(D3DTOP_BLENDTEXTUREALPHAPM),
    M2D_NAME(D3DTOP_BLENDCURRENTALPHA), M2D_NAME(D3DTOP_PREMODULATE),       M2D_NAME(D3DTOP_MODULATEALPHA_ADDCOLOR),
    M2D_NAME(D3DTOP_MODULATECOLOR_ADDALPHA), M2D_NAME(D3DTOP_MODULATEINVALPHA_ADDCOLOR),
    M2D_NAME(D3DTOP_MODULATEINVCOLOR_ADDALPHA), M2D_NAME(D3DTOP_BUMPENVMAP), M2D_NAME(D3DTOP_BUMPENVMAPLUMINANCE),
    M2D_NAME(D3DTOP_DOTPRODUCT3),      M2D_NAME(D3DTOP_MULTIPLYADD),        M2D_NAME(D3DTOP_LERP),
};

const SName kArgs[] = {
    M2D_NAME(D3DTA_DIFFUSE), M2D_NAME(D3DTA_CURRENT),  M2D_NAME(D3DTA_TEXTURE),
    M2D_NAME(D3DTA_TFACTOR), M2D_NAME(D3DTA_SPECULAR), M2D_NAME(D3DTA_TEMP),
};

const SName kAddress[] = {
    M2D_NAME(D3DTADDRESS_WRAP),   M2D_NAME(D3DTADDRESS_MIRROR),     M2D_NAME(D3DTADDRESS_CLAMP),
    M2D_NAME(D3DTADDRESS_BORDER), M2D_NAME(D3DTADDRESS_MIRRORONCE),
};

const SName kFilters[] = {
    M2D_NAME(D3DTEXF_NONE),        M2D_NAME(D3DTEXF_POINT),     M2D_NAME(D3DTEXF_LINEAR),
    M2D_NAME(D3DTEXF_ANISOTROPIC), M2D_NAME(D3DTEXF_FLATCUBIC), M2D_NAME(D3DTEXF_GAUSSIANCUBIC),
};

const SName kBlends[] = {
    M2D_NAME(D3DBLEND_ZERO),         M2D_NAME(D3DBLEND_ONE),          M2D_NAME(D3DBLEND_SRCCOLOR),
    M2D_NAME(D3DBLEND_INVSRCCOLOR),  M2D_NAME(D3DBLEND_SRCALPHA),     M2D_NAME(D3DBLEND_INVSRCALPHA),
    M2D_NAME(D3DBLEND_DESTALPHA),    M2D_NAME(D3DBLEND_INVDESTALPHA), M2D_NAME(D3DBLEND_DESTCOLOR),
    M2D_NAME(D3DBLEND_INVDESTCOLOR), M2D_NAME(D3DBLEND_SRCALPHASAT),  M2D_NAME(D3DBLEND_BOTHSRCALPHA),
    M2D_NAME(D3DBLEND_BOTHINVSRCALPHA),
};

const SName kFogModes[] = {
    M2D_NAME(D3DFOG_NONE), M2D_NAME(D3DFOG_EXP), M2D_NAME(D3DFOG_EXP2), M2D_NAME(D3DFOG_LINEAR),
};

const SName kCullModes[] = {M2D_NAME(D3DCULL_NONE), M2D_NAME(D3DCULL_CW), M2D_NAME(D3DCULL_CCW)};

const SName kFormats[] = {
    M2D_NAME(D3DFMT_UNKNOWN),  M2D_NAME(D3DFMT_R8G8B8),   M2D_NAME(D3DFMT_A8R8G8B8), M2D_NAME(D3DFMT_X8R8G8B8),
    M2D_NAME(D3DFMT_R5G6B5),   M2D_NAME(D3DFMT_X1R5G5B5), M2D_NAME(D3DFMT_A1R5G5B5), M2D_NAME(D3DFMT_A4R4G4B4),
    M2D_NAME(D3DFMT_R3G3B2),   M2D_NAME(D3DFMT_A8),       M2D_NAME(D3DFMT_A8R3G3B2), M2D_NAME(D3DFMT_X4R4G4B4),
    M2D_NAME(D3DFMT_A8P8),     M2D_NAME(D3DFMT_P8),       M2D_NAME(D3DFMT_L8),       M2D_NAME(D3DFMT_A8L8),
    M2D_NAME(D3DFMT_A4L4),     M2D_NAME(D3DFMT_V8U8),     M2D_NAME(D3DFMT_L6V5U5),   M2D_NAME(D3DFMT_X8L8V8U8),
    M2D_NAME(D3DFMT_Q8W8V8U8), M2D_NAME(D3DFMT_V16U16),   M2D_NAME(D3DFMT_W11V11U10), M2D_NAME(D3DFMT_D16_LOCKABLE),
    M2D_NAME(D3DFMT_D32),      M2D_NAME(D3DFMT_D15S1),    M2D_NAME(D3DFMT_D24S8),    M2D_NAME(D3DFMT_D24X8),
    M2D_NAME(D3DFMT_D24X4S4),  M2D_NAME(D3DFMT_D16),      M2D_NAME(D3DFMT_VERTEXDATA), M2D_NAME(D3DFMT_INDEX16),
    M2D_NAME(D3DFMT_INDEX32),
};

const SName kPools[] = {
    M2D_NAME(D3DPOOL_DEFAULT), M2D_NAME(D3DPOOL_MANAGED), M2D_NAME(D3DPOOL_SYSTEMMEM), M2D_NAME(D3DPOOL_SCRATCH),
};

const SName kPrimitives[] = {
    M2D_NAME(D3DPT_POINTLIST),     M2D_NAME(D3DPT_LINELIST),      M2D_NAME(D3DPT_LINESTRIP),
    M2D_NAME(D3DPT_TRIANGLELIST),  M2D_NAME(D3DPT_TRIANGLESTRIP), M2D_NAME(D3DPT_TRIANGLEFAN),
};

const SName kResults[] = {
    {static_cast<DWORD>(D3DERR_DEVICELOST), "D3DERR_DEVICELOST"},
    {static_cast<DWORD>(D3DERR_DEVICENOTRESET), "D3DERR_DEVICENOTRESET"},
    {static_cast<DWORD>(D3DERR_INVALIDCALL), "D3DERR_INVALIDCALL"},
    {static_cast<DWORD>(D3DERR_NOTAVAILABLE), "D3DERR_NOTAVAILABLE"},
    {static_cast<DWORD>(D3DERR_OUTOFVIDEOMEMORY), "D3DERR_OUTOFVIDEOMEMORY"},
    {static_cast<DWORD>(D3DERR_DRIVERINTERNALERROR), "D3DERR_DRIVERINTERNALERROR"},
    {static_cast<DWORD>(E_OUTOFMEMORY), "E_OUTOFMEMORY"},
    {static_cast<DWORD>(E_FAIL), "E_FAIL"},
};

#undef M2D_NAME

const char* const kCallNames[] = {
    "TestCooperativeLevel", "Reset",           "BeginScene",         "EndScene",
    "Clear",                "Present",         "SetViewport",        "SetGammaRamp",
    "CreateVertexBuffer",   "CreateIndexBuffer", "CreateTexture",    "CreateImageSurface",
    "GetFrontBuffer",       "SetStreamSource", "SetIndices",         "SetVertexShader",
    "DrawIndexedPrimitive", "DrawPrimitive",   "SetRenderState",     "SetTextureStageState",
    "SetTexture",           "ShowCursor",      "LockVertexBuffer",   "UnlockVertexBuffer",
    "LockIndexBuffer",      "UnlockIndexBuffer", "LockTexture",      "UnlockTexture",
    "LockSurface",          "UnlockSurface",   "DestroyResource",
};
static_assert(sizeof(kCallNames) / sizeof(kCallNames[0]) == static_cast<size_t>(ECall::DestroyResource) + 1);

std::string ArgName(DWORD fp_dwValue) {
  std::string tmp_Name = Lookup(kArgs, fp_dwValue & D3DTA_SELECTMASK);
  if ((fp_dwValue & D3DTA_COMPLEMENT) != 0) tmp_Name += "|D3DTA_COMPLEMENT";
  if ((fp_dwValue & D3DTA_ALPHAREPLICATE) != 0) tmp_Name += "|D3DTA_ALPHAREPLICATE";
  return tmp_Name;
}

std::string RenderStateValue(DWORD fp_dwState, DWORD fp_dwValue) {
  switch (fp_dwState) {
    case D3DRS_SRCBLEND:
    case D3DRS_DESTBLEND:
      return Lookup(kBlends, fp_dwValue);
    case D3DRS_FOGTABLEMODE:
    case D3DRS_FOGVERTEXMODE:
      return Lookup(kFogModes, fp_dwValue);
    case D3DRS_CULLMODE:
      return Lookup(kCullModes, fp_dwValue);
    case D3DRS_FOGCOLOR:
    case D3DRS_TEXTUREFACTOR:
    case D3DRS_AMBIENT:
      return Hex(fp_dwValue);
    case D3DRS_FOGSTART:
    case D3DRS_FOGEND:
    case D3DRS_FOGDENSITY:
      return Float(std::bit_cast<float>(fp_dwValue));
    default:
      return std::to_string(fp_dwValue);
  }
}

std::string Serial(DWORD fp_dwSerial) {
  if (fp_dwSerial == 0) return "none";
  std::string tmp_Text(1, '#');
  tmp_Text += std::to_string(fp_dwSerial);
  return tmp_Text;
}

}  // namespace

std::string CallName(ECall fp_eCall) { return kCallNames[static_cast<size_t>(fp_eCall)]; }
std::string RenderStateName(DWORD fp_dwState) { return Lookup(kRenderStates, fp_dwState); }
std::string StageStateName(DWORD fp_dwType) { return Lookup(kStageStates, fp_dwType); }
std::string FormatName(DWORD fp_dwFormat) { return Lookup(kFormats, fp_dwFormat); }

std::string ResultName(HRESULT fp_hr) {
  if (fp_hr == D3D_OK) return "D3D_OK";
  const std::string tmp_Name = Lookup(kResults, static_cast<DWORD>(fp_hr));
  return tmp_Name == std::to_string(static_cast<DWORD>(fp_hr)) ? Hex(static_cast<DWORD>(fp_hr)) : tmp_Name;
}

std::string StageStateValueName(DWORD fp_dwType, DWORD fp_dwValue) {
  switch (fp_dwType) {
    case D3DTSS_COLOROP:
    case D3DTSS_ALPHAOP:
      return Lookup(kOps, fp_dwValue);
    case D3DTSS_COLORARG0:
    case D3DTSS_COLORARG1:
    case D3DTSS_COLORARG2:
    case D3DTSS_ALPHAARG0:
    case D3DTSS_ALPHAARG1:
    case D3DTSS_ALPHAARG2:
    case D3DTSS_RESULTARG:
      return ArgName(fp_dwValue);
    case D3DTSS_ADDRESSU:
    case D3DTSS_ADDRESSV:
    case D3DTSS_ADDRESSW:
      return Lookup(kAddress, fp_dwValue);
    case D3DTSS_MAGFILTER:
    case D3DTSS_MINFILTER:
    case D3DTSS_MIPFILTER:
      return Lookup(kFilters, fp_dwValue);
    case D3DTSS_BORDERCOLOR:
      return Hex(fp_dwValue);
    case D3DTSS_MIPMAPLODBIAS:
      return Float(std::bit_cast<float>(fp_dwValue));
    default:
      return std::to_string(fp_dwValue);
  }
}

std::string CNullDevice::FormatEvent(const SCallEvent& e) {
  std::string s = CallName(e.call);
  auto tmp_Add = [&s](const std::string& fp_rPart) {
    s += ' ';
    s += fp_rPart;
  };
  auto tmp_Kv = [&s](const char* fp_pszKey, const std::string& fp_rValue) {
    s += ' ';
    s += fp_pszKey;
    s += fp_rValue;
  };
  auto tmp_Num = [](DWORD fp_dw) { return std::to_string(fp_dw); };
  switch (e.call) {
    case ECall::Reset:
      tmp_Add(tmp_Num(e.a));
      s += 'x';
      s += tmp_Num(e.b);
      tmp_Add(FormatName(e.c));
      tmp_Add(e.d != 0 ? "windowed" : "fullscreen");
      break;
    case ECall::Clear:
      tmp_Kv("rects=", tmp_Num(e.a));
      tmp_Kv("flags=", tmp_Num(e.b));
      tmp_Add(Hex(e.c));
      break;
    case ECall::SetViewport:
      tmp_Add(tmp_Num(e.a));
      tmp_Add(tmp_Num(e.b));
      tmp_Add(tmp_Num(e.c));
      tmp_Add(tmp_Num(e.d));
      tmp_Add(Float(e.f0));
      tmp_Add(Float(e.f1));
      break;
    case ECall::SetGammaRamp:
      tmp_Kv("flags=", tmp_Num(e.a));
      tmp_Kv("red[0]=", tmp_Num(e.b));
      tmp_Kv("red[128]=", tmp_Num(e.c));
      tmp_Kv("red[255]=", tmp_Num(e.d));
      break;
    case ECall::CreateVertexBuffer:
      tmp_Add(tmp_Num(e.a));
      s += " bytes";
      tmp_Kv("usage=", Hex(e.b));
      tmp_Kv("fvf=", Hex(e.c));
      tmp_Add(Lookup(kPools, e.d));
      tmp_Kv("-> ", Serial(e.f));
      break;
    case ECall::CreateIndexBuffer:
      tmp_Add(tmp_Num(e.a));
      s += " bytes";
      tmp_Kv("usage=", Hex(e.b));
      tmp_Add(FormatName(e.c));
      tmp_Add(Lookup(kPools, e.d));
      tmp_Kv("-> ", Serial(e.f));
      break;
    case ECall::CreateTexture:
      tmp_Add(tmp_Num(e.a));
      s += 'x';
      s += tmp_Num(e.b);
      tmp_Kv("levels=", tmp_Num(e.c));
      tmp_Add(FormatName(e.d));
      tmp_Add(Lookup(kPools, e.e));
      tmp_Kv("usage=", Hex(e.g));
      tmp_Kv("-> ", Serial(e.f));
      break;
    case ECall::CreateImageSurface:
      tmp_Add(tmp_Num(e.a));
      s += 'x';
      s += tmp_Num(e.b);
      tmp_Add(FormatName(e.c));
      tmp_Kv("-> ", Serial(e.f));
      break;
    case ECall::GetFrontBuffer:
      tmp_Add(Serial(e.f));
      break;
    case ECall::SetStreamSource:
      tmp_Add(tmp_Num(e.a));
      tmp_Add(Serial(e.b));
      tmp_Kv("stride=", tmp_Num(e.c));
      break;
    case ECall::SetIndices:
      tmp_Add(Serial(e.a));
      tmp_Kv("base=", tmp_Num(e.b));
      break;
    case ECall::SetVertexShader:
      tmp_Add(Hex(e.a));
      break;
    case ECall::DrawIndexedPrimitive:
      tmp_Add(Lookup(kPrimitives, e.a));
      tmp_Kv("min=", tmp_Num(e.b));
      tmp_Kv("vertices=", tmp_Num(e.c));
      tmp_Kv("start=", tmp_Num(e.d));
      tmp_Kv("primitives=", tmp_Num(e.e));
      break;
    case ECall::DrawPrimitive:
      tmp_Add(Lookup(kPrimitives, e.a));
      tmp_Kv("start=", tmp_Num(e.b));
      tmp_Kv("primitives=", tmp_Num(e.e));
      break;
    case ECall::SetRenderState:
      tmp_Add(RenderStateName(e.a));
      tmp_Add(RenderStateValue(e.a, e.b));
      break;
    case ECall::SetTextureStageState:
      tmp_Add(tmp_Num(e.a));
      tmp_Add(StageStateName(e.b));
      tmp_Add(StageStateValueName(e.b, e.c));
      break;
    case ECall::SetTexture:
      tmp_Add(tmp_Num(e.a));
      tmp_Add(Serial(e.b));
      break;
    case ECall::ShowCursor:
      tmp_Add(tmp_Num(e.a));
      break;
    case ECall::LockVertexBuffer:
    case ECall::LockIndexBuffer:
      tmp_Add(Serial(e.a));
      tmp_Kv("offset=", tmp_Num(e.b));
      tmp_Kv("size=", tmp_Num(e.c));
      tmp_Kv("flags=", Hex(e.d));
      break;
    case ECall::LockTexture:
      tmp_Add(Serial(e.a));
      tmp_Kv("level=", tmp_Num(e.b));
      tmp_Kv("flags=", Hex(e.d));
      break;
    case ECall::UnlockTexture:
      tmp_Add(Serial(e.a));
      tmp_Kv("level=", tmp_Num(e.b));
      break;
    case ECall::LockSurface:
      tmp_Add(Serial(e.a));
      tmp_Kv("flags=", Hex(e.d));
      break;
    case ECall::UnlockVertexBuffer:
    case ECall::UnlockIndexBuffer:
    case ECall::UnlockSurface:
      tmp_Add(Serial(e.a));
      break;
    case ECall::DestroyResource:
      tmp_Add(Serial(e.a));
      break;
    case ECall::TestCooperativeLevel:
    case ECall::BeginScene:
    case ECall::EndScene:
    case ECall::Present:
      break;
  }
  if (e.result != D3D_OK) tmp_Kv("-> ", ResultName(e.result));
  return s;
}

}  // namespace gfx::null
