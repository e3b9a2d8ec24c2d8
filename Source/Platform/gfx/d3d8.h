// The graphics device the engine draws through: result codes, formats, pools,
// usages, render and texture-stage states with their numbers, the
// records the device fills, and the abstract Direct3D object, device,
// buffers, textures and image surfaces. Two back ends implement it: gl/
// (OpenGL 3.3 core through SDL2) and null/ (records what it is asked).
//
// Index:
//   Scalar types and result codes
//   Enumerations (formats, pools, usages, states and their values)
//   Capability flags
//   Records (identifier, display mode, caps, presentation, viewport, ...)
//   Objects (Direct3D, device, buffers, textures, surfaces)
#pragma once

#include <cstdint>

#include "Platform/os/os.h"

namespace gfx {

// {==== Scalar types and result codes ========================================

using BYTE = std::uint8_t;
using WORD = std::uint16_t;
using DWORD = std::uint32_t;
using UINT = std::uint32_t;
using ULONG = std::uint32_t;
using INT = std::int32_t;
using LONG = std::int32_t;
using BOOL = std::int32_t;
using HRESULT = std::int32_t;
using D3DCOLOR = std::uint32_t;  // 0xAARRGGBB
using HWND = os::HWND;
using RECT = os::RECT;

constexpr HRESULT MakeResult(std::uint32_t fp_uCode) { return static_cast<HRESULT>(fp_uCode); }

constexpr HRESULT D3D_OK = 0;
constexpr HRESULT E_FAIL = MakeResult(0x80004005u);
constexpr HRESULT E_NOTIMPL = MakeResult(0x80004001u);
constexpr HRESULT E_OUTOFMEMORY = MakeResult(0x8007000Eu);
constexpr HRESULT E_INVALIDARG = MakeResult(0x80070057u);
constexpr HRESULT D3DERR_WRONGTEXTUREFORMAT = MakeResult(0x88760818u);
constexpr HRESULT D3DERR_UNSUPPORTEDCOLOROPERATION = MakeResult(0x88760819u);
constexpr HRESULT D3DERR_UNSUPPORTEDCOLORARG = MakeResult(0x8876081Au);
constexpr HRESULT D3DERR_UNSUPPORTEDALPHAOPERATION = MakeResult(0x8876081Bu);
constexpr HRESULT D3DERR_UNSUPPORTEDALPHAARG = MakeResult(0x8876081Cu);
constexpr HRESULT D3DERR_TOOMANYOPERATIONS = MakeResult(0x8876081Du);
constexpr HRESULT D3DERR_CONFLICTINGTEXTUREFILTER = MakeResult(0x8876081Eu);
constexpr HRESULT D3DERR_UNSUPPORTEDFACTORVALUE = MakeResult(0x8876081Fu);
constexpr HRESULT D3DERR_CONFLICTINGRENDERSTATE = MakeResult(0x88760821u);
constexpr HRESULT D3DERR_UNSUPPORTEDTEXTUREFILTER = MakeResult(0x88760822u);
constexpr HRESULT D3DERR_DRIVERINTERNALERROR = MakeResult(0x88760827u);
constexpr HRESULT D3DERR_OUTOFVIDEOMEMORY = MakeResult(0x8876017Cu);
constexpr HRESULT D3DERR_WASSTILLDRAWING = MakeResult(0x8876021Cu);
constexpr HRESULT D3DERR_INVALIDDEVICE = MakeResult(0x88760865u);
constexpr HRESULT D3DERR_NOTFOUND = MakeResult(0x88760866u);
constexpr HRESULT D3DERR_MOREDATA = MakeResult(0x88760867u);
constexpr HRESULT D3DERR_DEVICELOST = MakeResult(0x88760868u);
constexpr HRESULT D3DERR_DEVICENOTRESET = MakeResult(0x88760869u);
constexpr HRESULT D3DERR_NOTAVAILABLE = MakeResult(0x8876086Au);
constexpr HRESULT D3DERR_INVALIDCALL = MakeResult(0x8876086Cu);
constexpr HRESULT D3DERR_DRIVERINVALIDCALL = MakeResult(0x8876086Du);

constexpr bool SUCCEEDED(HRESULT fp_hr) { return fp_hr >= 0; }
constexpr bool FAILED(HRESULT fp_hr) { return fp_hr < 0; }

// The one interface version this device implements.
constexpr UINT D3D_SDK_VERSION = 120;
constexpr UINT D3DADAPTER_DEFAULT = 0;

// }====

// {==== Enumerations =========================================================

enum D3DFORMAT : DWORD {
  D3DFMT_UNKNOWN = 0,
  D3DFMT_R8G8B8 = 20,
  D3DFMT_A8R8G8B8 = 21,
  D3DFMT_X8R8G8B8 = 22,
  D3DFMT_R5G6B5 = 23,
  D3DFMT_X1R5G5B5 = 24,
  D3DFMT_A1R5G5B5 = 25,
  D3DFMT_A4R4G4B4 = 26,
  D3DFMT_R3G3B2 = 27,
  D3DFMT_A8 = 28,
  D3DFMT_A8R3G3B2 = 29,
  D3DFMT_X4R4G4B4 = 30,
  D3DFMT_A8P8 = 40,
  D3DFMT_P8 = 41,
  D3DFMT_L8 = 50,
  D3DFMT_A8L8 = 51,
  D3DFMT_A4L4 = 52,
  D3DFMT_V8U8 = 60,
  D3DFMT_L6V5U5 = 61,
  D3DFMT_X8L8V8U8 = 62,
  D3DFMT_Q8W8V8U8 = 63,
  D3DFMT_V16U16 = 64,
  D3DFMT_W11V11U10 = 65,
  D3DFMT_D16_LOCKABLE = 70,
  D3DFMT_D32 = 71,
  D3DFMT_D15S1 = 73,
  D3DFMT_D24S8 = 75,
  D3DFMT_D24X8 = 77,
  D3DFMT_D24X4S4 = 79,
  D3DFMT_D16 = 80,
  D3DFMT_VERTEXDATA = 100,
  D3DFMT_INDEX16 = 101,
  D3DFMT_INDEX32 = 102,
};

enum D3DDEVTYPE : DWORD { D3DDEVTYPE_HAL = 1, D3DDEVTYPE_REF = 2, D3DDEVTYPE_SW = 3 };

enum D3DPOOL : DWORD {
  D3DPOOL_DEFAULT = 0,    // lost on Reset: must be released before it
  D3DPOOL_MANAGED = 1,    // survives Reset
  D3DPOOL_SYSTEMMEM = 2,  // survives Reset
  D3DPOOL_SCRATCH = 3,
};

enum D3DRESOURCETYPE : DWORD {
  D3DRTYPE_SURFACE = 1,
  D3DRTYPE_VOLUME = 2,
  D3DRTYPE_TEXTURE = 3,
  D3DRTYPE_VOLUMETEXTURE = 4,
  D3DRTYPE_CUBETEXTURE = 5,
  D3DRTYPE_VERTEXBUFFER = 6,
  D3DRTYPE_INDEXBUFFER = 7,
};

// Usage flags.
constexpr DWORD D3DUSAGE_RENDERTARGET = 0x00000001;
constexpr DWORD D3DUSAGE_DEPTHSTENCIL = 0x00000002;
constexpr DWORD D3DUSAGE_WRITEONLY = 0x00000008;
constexpr DWORD D3DUSAGE_SOFTWAREPROCESSING = 0x00000010;
constexpr DWORD D3DUSAGE_DONOTCLIP = 0x00000020;
constexpr DWORD D3DUSAGE_POINTS = 0x00000040;
constexpr DWORD D3DUSAGE_DYNAMIC = 0x00000200;

// Lock flags.
constexpr DWORD D3DLOCK_READONLY = 0x00000010;
constexpr DWORD D3DLOCK_NOSYSLOCK = 0x00000800;
constexpr DWORD D3DLOCK_NOOVERWRITE = 0x00001000;
constexpr DWORD D3DLOCK_DISCARD = 0x00002000;

// Device creation flags.
constexpr DWORD D3DCREATE_FPU_PRESERVE = 0x00000002;
constexpr DWORD D3DCREATE_MULTITHREADED = 0x00000004;
constexpr DWORD D3DCREATE_PUREDEVICE = 0x00000010;
constexpr DWORD D3DCREATE_SOFTWARE_VERTEXPROCESSING = 0x00000020;
constexpr DWORD D3DCREATE_HARDWARE_VERTEXPROCESSING = 0x00000040;
constexpr DWORD D3DCREATE_MIXED_VERTEXPROCESSING = 0x00000080;

// GetAdapterIdentifier flag: leave out the WHQL level.
constexpr DWORD D3DENUM_NO_WHQL_LEVEL = 0x00000002;

enum D3DSWAPEFFECT : DWORD {
  D3DSWAPEFFECT_DISCARD = 1,
  D3DSWAPEFFECT_FLIP = 2,
  D3DSWAPEFFECT_COPY = 3,
  D3DSWAPEFFECT_COPY_VSYNC = 4,
};

enum D3DMULTISAMPLE_TYPE : DWORD { D3DMULTISAMPLE_NONE = 0 };

// Presentation intervals.
constexpr UINT D3DPRESENT_INTERVAL_DEFAULT = 0x00000000;
constexpr UINT D3DPRESENT_INTERVAL_ONE = 0x00000001;
constexpr UINT D3DPRESENT_INTERVAL_IMMEDIATE = 0x80000000;
constexpr UINT D3DPRESENT_RATE_DEFAULT = 0;

// Clear flags.
constexpr DWORD D3DCLEAR_TARGET = 0x00000001;
constexpr DWORD D3DCLEAR_ZBUFFER = 0x00000002;
constexpr DWORD D3DCLEAR_STENCIL = 0x00000004;

// Gamma ramp flags.
constexpr DWORD D3DSGR_NO_CALIBRATION = 0x00000000;
constexpr DWORD D3DSGR_CALIBRATE = 0x00000001;

enum D3DPRIMITIVETYPE : DWORD {
  D3DPT_POINTLIST = 1,
  D3DPT_LINELIST = 2,
  D3DPT_LINESTRIP = 3,
  D3DPT_TRIANGLELIST = 4,
  D3DPT_TRIANGLESTRIP = 5,
  D3DPT_TRIANGLEFAN = 6,
};

// Flexible vertex format bits. The device draws one layout:
// XYZRHW | DIFFUSE | SPECULAR | TEX2 = 0x2C4, 40 bytes a vertex.
constexpr DWORD D3DFVF_XYZ = 0x002;
constexpr DWORD D3DFVF_XYZRHW = 0x004;
constexpr DWORD D3DFVF_NORMAL = 0x010;
constexpr DWORD D3DFVF_DIFFUSE = 0x040;
constexpr DWORD D3DFVF_SPECULAR = 0x080;
constexpr DWORD D3DFVF_TEX1 = 0x100;
constexpr DWORD D3DFVF_TEX2 = 0x200;
constexpr DWORD kFVFPreTransformed2Tex = D3DFVF_XYZRHW | D3DFVF_DIFFUSE | D3DFVF_SPECULAR | D3DFVF_TEX2;
constexpr UINT kFVFPreTransformed2TexStride = 40;

enum D3DRENDERSTATETYPE : DWORD {
  D3DRS_ZENABLE = 7,
  D3DRS_FILLMODE = 8,
  D3DRS_SHADEMODE = 9,
  D3DRS_LINEPATTERN = 10,
  D3DRS_ZWRITEENABLE = 14,
  D3DRS_ALPHATESTENABLE = 15,
  D3DRS_LASTPIXEL = 16,
  D3DRS_SRCBLEND = 19,
  D3DRS_DESTBLEND = 20,
  D3DRS_CULLMODE = 22,
  D3DRS_ZFUNC = 23,
  D3DRS_ALPHAREF = 24,
  D3DRS_ALPHAFUNC = 25,
  D3DRS_DITHERENABLE = 26,
  D3DRS_ALPHABLENDENABLE = 27,
  D3DRS_FOGENABLE = 28,
  D3DRS_SPECULARENABLE = 29,
  D3DRS_ZVISIBLE = 30,
  D3DRS_FOGCOLOR = 34,
  D3DRS_FOGTABLEMODE = 35,
  D3DRS_FOGSTART = 36,  // float bits
  D3DRS_FOGEND = 37,    // float bits
  D3DRS_FOGDENSITY = 38,
  D3DRS_EDGEANTIALIAS = 40,
  D3DRS_ZBIAS = 47,
  D3DRS_RANGEFOGENABLE = 48,
  D3DRS_STENCILENABLE = 52,
  D3DRS_STENCILFAIL = 53,
  D3DRS_STENCILZFAIL = 54,
  D3DRS_STENCILPASS = 55,
  D3DRS_STENCILFUNC = 56,
  D3DRS_STENCILREF = 57,
  D3DRS_STENCILMASK = 58,
  D3DRS_STENCILWRITEMASK = 59,
  D3DRS_TEXTUREFACTOR = 60,
  D3DRS_WRAP0 = 128,
  D3DRS_WRAP1 = 129,
  D3DRS_CLIPPING = 136,
  D3DRS_LIGHTING = 137,
  D3DRS_AMBIENT = 139,
  D3DRS_FOGVERTEXMODE = 140,
  D3DRS_COLORVERTEX = 141,
  D3DRS_LOCALVIEWER = 142,
  D3DRS_NORMALIZENORMALS = 143,
  D3DRS_DIFFUSEMATERIALSOURCE = 145,
  D3DRS_SPECULARMATERIALSOURCE = 146,
  D3DRS_AMBIENTMATERIALSOURCE = 147,
  D3DRS_EMISSIVEMATERIALSOURCE = 148,
  D3DRS_VERTEXBLEND = 151,
  D3DRS_CLIPPLANEENABLE = 152,
  D3DRS_SOFTWAREVERTEXPROCESSING = 153,
  D3DRS_POINTSIZE = 154,
  D3DRS_POINTSIZE_MIN = 155,
  D3DRS_POINTSPRITEENABLE = 156,
  D3DRS_POINTSCALEENABLE = 157,
  D3DRS_MULTISAMPLEANTIALIAS = 161,
  D3DRS_MULTISAMPLEMASK = 162,
  D3DRS_POINTSIZE_MAX = 166,
  D3DRS_COLORWRITEENABLE = 168,
  D3DRS_TWEENFACTOR = 170,
  D3DRS_BLENDOP = 171,
};
// Render states are kept in a table of this many entries; larger numbers are
// refused.
constexpr DWORD kRenderStateCount = 256;

enum D3DTEXTURESTAGESTATETYPE : DWORD {
  D3DTSS_COLOROP = 1,
  D3DTSS_COLORARG1 = 2,
  D3DTSS_COLORARG2 = 3,
  D3DTSS_ALPHAOP = 4,
  D3DTSS_ALPHAARG1 = 5,
  D3DTSS_ALPHAARG2 = 6,
  D3DTSS_BUMPENVMAT00 = 7,
  D3DTSS_BUMPENVMAT01 = 8,
  D3DTSS_BUMPENVMAT10 = 9,
  D3DTSS_BUMPENVMAT11 = 10,
  D3DTSS_TEXCOORDINDEX = 11,
  D3DTSS_ADDRESSU = 13,
  D3DTSS_ADDRESSV = 14,
  D3DTSS_BORDERCOLOR = 15,
  D3DTSS_MAGFILTER = 16,
  D3DTSS_MINFILTER = 17,
  D3DTSS_MIPFILTER = 18,
  D3DTSS_MIPMAPLODBIAS = 19,  // float bits
  D3DTSS_MAXMIPLEVEL = 20,
  D3DTSS_MAXANISOTROPY = 21,
  D3DTSS_BUMPENVLSCALE = 22,
  D3DTSS_BUMPENVLOFFSET = 23,
  D3DTSS_TEXTURETRANSFORMFLAGS = 24,
  D3DTSS_ADDRESSW = 25,
  D3DTSS_COLORARG0 = 26,
  D3DTSS_ALPHAARG0 = 27,
  D3DTSS_RESULTARG = 28,
};
constexpr DWORD kTextureStageStateCount = 32;
// Texture stages addressable through the interface; the pipeline blends the
// first kBlendStages of them.
constexpr DWORD kTextureStages = 8;
constexpr DWORD kBlendStages = 2;

enum D3DTEXTUREOP : DWORD {
  D3DTOP_DISABLE = 1,
  D3DTOP_SELECTARG1 = 2,
  D3DTOP_SELECTARG2 = 3,
  D3DTOP_MODULATE = 4,
  D3DTOP_MODULATE2X = 5,
  D3DTOP_MODULATE4X = 6,
  D3DTOP_ADD = 7,
  D3DTOP_ADDSIGNED = 8,
  D3DTOP_ADDSIGNED2X = 9,
  D3DTOP_SUBTRACT = 10,
  D3DTOP_ADDSMOOTH = 11,
  D3DTOP_BLENDDIFFUSEALPHA = 12,
  D3DTOP_BLENDTEXTUREALPHA = 13,
  D3DTOP_BLENDFACTORALPHA = 14,
  D3DTOP_BLENDTEXTUREALPHAPM = 15,
  D3DTOP_BLENDCURRENTALPHA = 16,
  D3DTOP_PREMODULATE = 17,
  D3DTOP_MODULATEALPHA_ADDCOLOR = 18,
  D3DTOP_MODULATECOLOR_ADDALPHA = 19,
  D3DTOP_MODULATEINVALPHA_ADDCOLOR = 20,
  D3DTOP_MODULATEINVCOLOR_ADDALPHA = 21,
  D3DTOP_BUMPENVMAP = 22,
  D3DTOP_BUMPENVMAPLUMINANCE = 23,
  D3DTOP_DOTPRODUCT3 = 24,
  D3DTOP_MULTIPLYADD = 25,
  D3DTOP_LERP = 26,
};

// Texture arguments: a selector in the low bits plus modifiers.
constexpr DWORD D3DTA_SELECTMASK = 0x0000000F;
constexpr DWORD D3DTA_DIFFUSE = 0x00000000;
constexpr DWORD D3DTA_CURRENT = 0x00000001;
constexpr DWORD D3DTA_TEXTURE = 0x00000002;
constexpr DWORD D3DTA_TFACTOR = 0x00000003;
constexpr DWORD D3DTA_SPECULAR = 0x00000004;
constexpr DWORD D3DTA_TEMP = 0x00000005;
constexpr DWORD D3DTA_COMPLEMENT = 0x00000010;
constexpr DWORD D3DTA_ALPHAREPLICATE = 0x00000020;

enum D3DTEXTUREADDRESS : DWORD {
  D3DTADDRESS_WRAP = 1,
  D3DTADDRESS_MIRROR = 2,
  D3DTADDRESS_CLAMP = 3,
  D3DTADDRESS_BORDER = 4,
  D3DTADDRESS_MIRRORONCE = 5,
};

enum D3DTEXTUREFILTERTYPE : DWORD {
  D3DTEXF_NONE = 0,
  D3DTEXF_POINT = 1,
  D3DTEXF_LINEAR = 2,
  D3DTEXF_ANISOTROPIC = 3,
  D3DTEXF_FLATCUBIC = 4,
  D3DTEXF_GAUSSIANCUBIC = 5,
};

enum D3DBLEND : DWORD {
  D3DBLEND_ZERO = 1,
  D3DBLEND_ONE = 2,
  D3DBLEND_SRCCOLOR = 3,
  D3DBLEND_INVSRCCOLOR = 4,
  D3DBLEND_SRCALPHA = 5,
  D3DBLEND_INVSRCALPHA = 6,
  D3DBLEND_DESTALPHA = 7,
  D3DBLEND_INVDESTALPHA = 8,
  D3DBLEND_DESTCOLOR = 9,
  D3DBLEND_INVDESTCOLOR = 10,
  D3DBLEND_SRCALPHASAT = 11,
  D3DBLEND_BOTHSRCALPHA = 12,
  D3DBLEND_BOTHINVSRCALPHA = 13,
};

enum D3DBLENDOP : DWORD {
  D3DBLENDOP_ADD = 1,
  D3DBLENDOP_SUBTRACT = 2,
  D3DBLENDOP_REVSUBTRACT = 3,
  D3DBLENDOP_MIN = 4,
  D3DBLENDOP_MAX = 5,
};

enum D3DFOGMODE : DWORD { D3DFOG_NONE = 0, D3DFOG_EXP = 1, D3DFOG_EXP2 = 2, D3DFOG_LINEAR = 3 };

enum D3DCULL : DWORD { D3DCULL_NONE = 1, D3DCULL_CW = 2, D3DCULL_CCW = 3 };

enum D3DCMPFUNC : DWORD {
  D3DCMP_NEVER = 1,
  D3DCMP_LESS = 2,
  D3DCMP_EQUAL = 3,
  D3DCMP_LESSEQUAL = 4,
  D3DCMP_GREATER = 5,
  D3DCMP_NOTEQUAL = 6,
  D3DCMP_GREATEREQUAL = 7,
  D3DCMP_ALWAYS = 8,
};

enum D3DSHADEMODE : DWORD { D3DSHADE_FLAT = 1, D3DSHADE_GOURAUD = 2, D3DSHADE_PHONG = 3 };
enum D3DFILLMODE : DWORD { D3DFILL_POINT = 1, D3DFILL_WIREFRAME = 2, D3DFILL_SOLID = 3 };
enum D3DZBUFFERTYPE : DWORD { D3DZB_FALSE = 0, D3DZB_TRUE = 1, D3DZB_USEW = 2 };

// Colour write mask bits.
constexpr DWORD D3DCOLORWRITEENABLE_RED = 1;
constexpr DWORD D3DCOLORWRITEENABLE_GREEN = 2;
constexpr DWORD D3DCOLORWRITEENABLE_BLUE = 4;
constexpr DWORD D3DCOLORWRITEENABLE_ALPHA = 8;

// }====

// {==== Capability flags =====================================================

constexpr DWORD D3DCAPS2_NO2DDURING3DSCENE = 0x00000002;
constexpr DWORD D3DCAPS2_FULLSCREENGAMMA = 0x00020000;
constexpr DWORD D3DCAPS2_CANRENDERWINDOWED = 0x00080000;
constexpr DWORD D3DCAPS2_CANCALIBRATEGAMMA = 0x00100000;
constexpr DWORD D3DCAPS2_CANMANAGERESOURCE = 0x10000000;
constexpr DWORD D3DCAPS2_DYNAMICTEXTURES = 0x20000000;

constexpr DWORD D3DDEVCAPS_EXECUTESYSTEMMEMORY = 0x00000010;
constexpr DWORD D3DDEVCAPS_TLVERTEXSYSTEMMEMORY = 0x00000040;
constexpr DWORD D3DDEVCAPS_TEXTURESYSTEMMEMORY = 0x00000100;
constexpr DWORD D3DDEVCAPS_DRAWPRIMTLVERTEX = 0x00000400;
constexpr DWORD D3DDEVCAPS_CANRENDERAFTERFLIP = 0x00000800;
constexpr DWORD D3DDEVCAPS_HWRASTERIZATION = 0x00080000;

constexpr DWORD D3DPMISCCAPS_MASKZ = 0x00000002;
constexpr DWORD D3DPMISCCAPS_CULLNONE = 0x00000010;
constexpr DWORD D3DPMISCCAPS_CULLCW = 0x00000020;
constexpr DWORD D3DPMISCCAPS_CULLCCW = 0x00000040;
constexpr DWORD D3DPMISCCAPS_COLORWRITEENABLE = 0x00000080;
constexpr DWORD D3DPMISCCAPS_TSSARGTEMP = 0x00000400;
constexpr DWORD D3DPMISCCAPS_BLENDOP = 0x00000800;

constexpr DWORD D3DPRASTERCAPS_FOGVERTEX = 0x00000080;
constexpr DWORD D3DPRASTERCAPS_FOGTABLE = 0x00000100;
constexpr DWORD D3DPRASTERCAPS_MIPMAPLODBIAS = 0x00002000;

constexpr DWORD D3DPCMPCAPS_ALL = 0x000000FF;

constexpr DWORD D3DPBLENDCAPS_ZERO = 0x00000001;
constexpr DWORD D3DPBLENDCAPS_ONE = 0x00000002;
constexpr DWORD D3DPBLENDCAPS_SRCCOLOR = 0x00000004;
constexpr DWORD D3DPBLENDCAPS_INVSRCCOLOR = 0x00000008;
constexpr DWORD D3DPBLENDCAPS_SRCALPHA = 0x00000010;
constexpr DWORD D3DPBLENDCAPS_INVSRCALPHA = 0x00000020;
constexpr DWORD D3DPBLENDCAPS_DESTALPHA = 0x00000040;
constexpr DWORD D3DPBLENDCAPS_INVDESTALPHA = 0x00000080;
constexpr DWORD D3DPBLENDCAPS_DESTCOLOR = 0x00000100;
constexpr DWORD D3DPBLENDCAPS_INVDESTCOLOR = 0x00000200;
constexpr DWORD D3DPBLENDCAPS_SRCALPHASAT = 0x00000400;
constexpr DWORD D3DPBLENDCAPS_BOTHSRCALPHA = 0x00000800;
constexpr DWORD D3DPBLENDCAPS_BOTHINVSRCALPHA = 0x00001000;

constexpr DWORD D3DPSHADECAPS_COLORGOURAUDRGB = 0x00000008;
constexpr DWORD D3DPSHADECAPS_SPECULARGOURAUDRGB = 0x00000200;
constexpr DWORD D3DPSHADECAPS_ALPHAGOURAUDBLEND = 0x00004000;
constexpr DWORD D3DPSHADECAPS_FOGGOURAUD = 0x00080000;

constexpr DWORD D3DPTEXTURECAPS_PERSPECTIVE = 0x00000001;
constexpr DWORD D3DPTEXTURECAPS_POW2 = 0x00000002;
constexpr DWORD D3DPTEXTURECAPS_ALPHA = 0x00000004;
constexpr DWORD D3DPTEXTURECAPS_SQUAREONLY = 0x00000020;
constexpr DWORD D3DPTEXTURECAPS_MIPMAP = 0x00004000;

constexpr DWORD D3DPTFILTERCAPS_MINFPOINT = 0x00000100;
constexpr DWORD D3DPTFILTERCAPS_MINFLINEAR = 0x00000200;
constexpr DWORD D3DPTFILTERCAPS_MIPFPOINT = 0x00010000;
constexpr DWORD D3DPTFILTERCAPS_MIPFLINEAR = 0x00020000;
constexpr DWORD D3DPTFILTERCAPS_MAGFPOINT = 0x01000000;
constexpr DWORD D3DPTFILTERCAPS_MAGFLINEAR = 0x02000000;

constexpr DWORD D3DPTADDRESSCAPS_WRAP = 0x00000001;
constexpr DWORD D3DPTADDRESSCAPS_MIRROR = 0x00000002;
constexpr DWORD D3DPTADDRESSCAPS_CLAMP = 0x00000004;
constexpr DWORD D3DPTADDRESSCAPS_BORDER = 0x00000008;
constexpr DWORD D3DPTADDRESSCAPS_INDEPENDENTUV = 0x00000010;

constexpr DWORD D3DTEXOPCAPS_DISABLE = 0x00000001;
constexpr DWORD D3DTEXOPCAPS_SELECTARG1 = 0x00000002;
constexpr DWORD D3DTEXOPCAPS_SELECTARG2 = 0x00000004;
constexpr DWORD D3DTEXOPCAPS_MODULATE = 0x00000008;
constexpr DWORD D3DTEXOPCAPS_MODULATE2X = 0x00000010;
constexpr DWORD D3DTEXOPCAPS_MODULATE4X = 0x00000020;
constexpr DWORD D3DTEXOPCAPS_ADD = 0x00000040;
constexpr DWORD D3DTEXOPCAPS_ADDSIGNED = 0x00000080;
constexpr DWORD D3DTEXOPCAPS_ADDSIGNED2X = 0x00000100;
constexpr DWORD D3DTEXOPCAPS_SUBTRACT = 0x00000200;
constexpr DWORD D3DTEXOPCAPS_ADDSMOOTH = 0x00000400;
constexpr DWORD D3DTEXOPCAPS_BLENDDIFFUSEALPHA = 0x00000800;
constexpr DWORD D3DTEXOPCAPS_BLENDTEXTUREALPHA = 0x00001000;
constexpr DWORD D3DTEXOPCAPS_BLENDFACTORALPHA = 0x00002000;
constexpr DWORD D3DTEXOPCAPS_BLENDTEXTUREALPHAPM = 0x00004000;
constexpr DWORD D3DTEXOPCAPS_BLENDCURRENTALPHA = 0x00008000;
constexpr DWORD D3DTEXOPCAPS_DOTPRODUCT3 = 0x00800000;

constexpr DWORD D3DFVFCAPS_TEXCOORDCOUNTMASK = 0x0000FFFF;

// }====

// {==== Records ==============================================================

constexpr int MAX_DEVICE_IDENTIFIER_STRING = 512;

struct D3DADAPTER_IDENTIFIER8 {
  char Driver[MAX_DEVICE_IDENTIFIER_STRING];
  char Description[MAX_DEVICE_IDENTIFIER_STRING];
  std::int64_t DriverVersion;
  DWORD VendorId;  // PCI vendor ID, 0 when unknown
  DWORD DeviceId;  // PCI device ID, 0 when unknown
  DWORD SubSysId;
  DWORD Revision;
  BYTE DeviceIdentifier[16];
  DWORD WHQLLevel;
};

struct D3DDISPLAYMODE {
  UINT Width;
  UINT Height;
  UINT RefreshRate;  // 0 = the adapter's default / not known
  D3DFORMAT Format;
};

struct D3DCAPS8 {
  D3DDEVTYPE DeviceType;
  UINT AdapterOrdinal;
  DWORD Caps;
  DWORD Caps2;
  DWORD Caps3;
  DWORD PresentationIntervals;
  DWORD CursorCaps;
  DWORD DevCaps;
  DWORD PrimitiveMiscCaps;
  DWORD RasterCaps;
  DWORD ZCmpCaps;
  DWORD SrcBlendCaps;
  DWORD DestBlendCaps;
  DWORD AlphaCmpCaps;
  DWORD ShadeCaps;
  DWORD TextureCaps;
  DWORD TextureFilterCaps;
  DWORD CubeTextureFilterCaps;
  DWORD VolumeTextureFilterCaps;
  DWORD TextureAddressCaps;
  DWORD VolumeTextureAddressCaps;
  DWORD LineCaps;
  DWORD MaxTextureWidth;
  DWORD MaxTextureHeight;
  DWORD MaxVolumeExtent;
  DWORD MaxTextureRepeat;
  DWORD MaxTextureAspectRatio;
  DWORD MaxAnisotropy;
  float MaxVertexW;
  float GuardBandLeft;
  float GuardBandTop;
  float GuardBandRight;
  float GuardBandBottom;
  float ExtentsAdjust;
  DWORD StencilCaps;
  DWORD FVFCaps;
  DWORD TextureOpCaps;
  DWORD MaxTextureBlendStages;
  DWORD MaxSimultaneousTextures;
  DWORD VertexProcessingCaps;
  DWORD MaxActiveLights;
  DWORD MaxUserClipPlanes;
  DWORD MaxVertexBlendMatrices;
  DWORD MaxVertexBlendMatrixIndex;
  float MaxPointSize;
  DWORD MaxPrimitiveCount;
  DWORD MaxVertexIndex;
  DWORD MaxStreams;
  DWORD MaxStreamStride;
  DWORD VertexShaderVersion;
  DWORD MaxVertexShaderConst;
  DWORD PixelShaderVersion;
  float MaxPixelShaderValue;
};

struct D3DPRESENT_PARAMETERS {
  UINT BackBufferWidth;
  UINT BackBufferHeight;
  D3DFORMAT BackBufferFormat;
  UINT BackBufferCount;
  D3DMULTISAMPLE_TYPE MultiSampleType;
  D3DSWAPEFFECT SwapEffect;
  HWND hDeviceWindow;
  BOOL Windowed;
  BOOL EnableAutoDepthStencil;
  D3DFORMAT AutoDepthStencilFormat;
  DWORD Flags;
  UINT FullScreen_RefreshRateInHz;
  UINT FullScreen_PresentationInterval;
};

struct D3DVIEWPORT8 {
  DWORD X;
  DWORD Y;
  DWORD Width;
  DWORD Height;
  float MinZ;
  float MaxZ;
};

struct D3DGAMMARAMP {
  WORD red[256];
  WORD green[256];
  WORD blue[256];
};

struct D3DRECT {
  LONG x1, y1, x2, y2;
};

struct D3DLOCKED_RECT {
  INT Pitch;
  void* pBits;
};

struct D3DSURFACE_DESC {
  D3DFORMAT Format;
  D3DRESOURCETYPE Type;
  DWORD Usage;
  D3DPOOL Pool;
  UINT Size;
  D3DMULTISAMPLE_TYPE MultiSampleType;
  UINT Width;
  UINT Height;
};

struct D3DVERTEXBUFFER_DESC {
  D3DFORMAT Format;
  D3DRESOURCETYPE Type;
  DWORD Usage;
  D3DPOOL Pool;
  UINT Size;
  DWORD FVF;
};

struct D3DINDEXBUFFER_DESC {
  D3DFORMAT Format;
  D3DRESOURCETYPE Type;
  DWORD Usage;
  D3DPOOL Pool;
  UINT Size;
};

// }====

// {==== Objects ==============================================================
//
// Every object is reference counted: it is created with one reference,
// AddRef and Release return the count after the call, and the object is
// destroyed when the count reaches 0. Resources (buffers, textures, surfaces)
// and the device hold a reference to the object that created them, so a
// device (or the Direct3D object) released while such objects live reports a
// count left over and stays alive until they are gone. The device holds a
// reference to what it has bound: the textures set on its stages, the stream
// source and the index buffer.

class IUnknown {
 public:
  virtual ULONG AddRef() = 0;
  virtual ULONG Release() = 0;

 protected:
  virtual ~IUnknown() = default;
};

class IDirect3DDevice8;

class IDirect3DResource8 : public IUnknown {
 public:
  virtual D3DRESOURCETYPE GetType() = 0;
  virtual HRESULT GetDevice(IDirect3DDevice8** fp_ppDevice) = 0;  // adds a reference
};

class IDirect3DVertexBuffer8 : public IDirect3DResource8 {
 public:
  // A size of 0 locks from the offset to the end. DISCARD gives the caller a
  // buffer whose old contents it must not rely on.
  virtual HRESULT Lock(UINT fp_uOffsetToLock, UINT fp_uSizeToLock, BYTE** fp_ppbData, DWORD fp_dwFlags) = 0;
  virtual HRESULT Unlock() = 0;
  virtual HRESULT GetDesc(D3DVERTEXBUFFER_DESC* fp_pDesc) = 0;
};

class IDirect3DIndexBuffer8 : public IDirect3DResource8 {
 public:
  virtual HRESULT Lock(UINT fp_uOffsetToLock, UINT fp_uSizeToLock, BYTE** fp_ppbData, DWORD fp_dwFlags) = 0;
  virtual HRESULT Unlock() = 0;
  virtual HRESULT GetDesc(D3DINDEXBUFFER_DESC* fp_pDesc) = 0;
};

class IDirect3DSurface8 : public IUnknown {
 public:
  virtual HRESULT GetDevice(IDirect3DDevice8** fp_ppDevice) = 0;
  virtual HRESULT GetDesc(D3DSURFACE_DESC* fp_pDesc) = 0;
  // fp_pRect null locks the whole surface.
  virtual HRESULT LockRect(D3DLOCKED_RECT* fp_pLockedRect, const RECT* fp_pRect, DWORD fp_dwFlags) = 0;
  virtual HRESULT UnlockRect() = 0;
};

class IDirect3DBaseTexture8 : public IDirect3DResource8 {
 public:
  virtual DWORD GetLevelCount() = 0;
};

class IDirect3DTexture8 : public IDirect3DBaseTexture8 {
 public:
  virtual HRESULT GetLevelDesc(UINT fp_uLevel, D3DSURFACE_DESC* fp_pDesc) = 0;
  virtual HRESULT LockRect(UINT fp_uLevel, D3DLOCKED_RECT* fp_pLockedRect, const RECT* fp_pRect,
                           DWORD fp_dwFlags) = 0;
  virtual HRESULT UnlockRect(UINT fp_uLevel) = 0;
};

class IDirect3DDevice8 : public IUnknown {
 public:
  // Success, D3DERR_DEVICELOST (cannot be restored now) or
  // D3DERR_DEVICENOTRESET (Reset may restore it).
  virtual HRESULT TestCooperativeLevel() = 0;
  // Fails with D3DERR_INVALIDCALL while default-pool resources exist, and
  // with D3DERR_DEVICELOST while the device cannot be restored. Success puts
  // every state back to its default and unbinds textures, stream and indices.
  virtual HRESULT Reset(D3DPRESENT_PARAMETERS* fp_pParams) = 0;
  virtual HRESULT Present(const RECT* fp_pSourceRect, const RECT* fp_pDestRect, HWND fp_hDestWindowOverride,
                          const void* fp_pDirtyRegion) = 0;
  virtual HRESULT BeginScene() = 0;
  virtual HRESULT EndScene() = 0;
  // With no rectangles the whole viewport is cleared.
  virtual HRESULT Clear(DWORD fp_dwCount, const D3DRECT* fp_pRects, DWORD fp_dwFlags, D3DCOLOR fp_Color,
                        float fp_fZ, DWORD fp_dwStencil) = 0;
  // Pre-transformed vertices are not moved by the viewport: it clips.
  virtual HRESULT SetViewport(const D3DVIEWPORT8* fp_pViewport) = 0;
  virtual HRESULT GetViewport(D3DVIEWPORT8* fp_pViewport) = 0;
  virtual void SetGammaRamp(DWORD fp_dwFlags, const D3DGAMMARAMP* fp_pRamp) = 0;
  virtual void GetGammaRamp(D3DGAMMARAMP* fp_pRamp) = 0;

  virtual HRESULT CreateVertexBuffer(UINT fp_uLength, DWORD fp_dwUsage, DWORD fp_dwFVF, D3DPOOL fp_Pool,
                                     IDirect3DVertexBuffer8** fp_ppVertexBuffer) = 0;
  virtual HRESULT CreateIndexBuffer(UINT fp_uLength, DWORD fp_dwUsage, D3DFORMAT fp_Format, D3DPOOL fp_Pool,
                                    IDirect3DIndexBuffer8** fp_ppIndexBuffer) = 0;
  // fp_uLevels 0 makes the whole chain down to 1x1.
  virtual HRESULT CreateTexture(UINT fp_uWidth, UINT fp_uHeight, UINT fp_uLevels, DWORD fp_dwUsage,
                                D3DFORMAT fp_Format, D3DPOOL fp_Pool, IDirect3DTexture8** fp_ppTexture) = 0;
  // A system-memory surface (any format the device knows the layout of).
  virtual HRESULT CreateImageSurface(UINT fp_uWidth, UINT fp_uHeight, D3DFORMAT fp_Format,
                                     IDirect3DSurface8** fp_ppSurface) = 0;
  // Copies the last presented image into an A8R8G8B8 surface of the back
  // buffer's size.
  virtual HRESULT GetFrontBuffer(IDirect3DSurface8* fp_pDestSurface) = 0;

  virtual HRESULT SetStreamSource(UINT fp_uStreamNumber, IDirect3DVertexBuffer8* fp_pStreamData,
                                  UINT fp_uStride) = 0;
  virtual HRESULT GetStreamSource(UINT fp_uStreamNumber, IDirect3DVertexBuffer8** fp_ppStreamData,
                                  UINT* fp_puStride) = 0;
  virtual HRESULT SetIndices(IDirect3DIndexBuffer8* fp_pIndexData, UINT fp_uBaseVertexIndex) = 0;
  virtual HRESULT GetIndices(IDirect3DIndexBuffer8** fp_ppIndexData, UINT* fp_puBaseVertexIndex) = 0;
  // The fixed-function "shader" is a vertex format; only 0x2C4 is drawn.
  virtual HRESULT SetVertexShader(DWORD fp_dwHandle) = 0;
  virtual HRESULT GetVertexShader(DWORD* fp_pdwHandle) = 0;
  // Vertex fetched for index i: stream[i + base vertex index of SetIndices].
  virtual HRESULT DrawIndexedPrimitive(D3DPRIMITIVETYPE fp_Type, UINT fp_uMinIndex, UINT fp_uNumVertices,
                                       UINT fp_uStartIndex, UINT fp_uPrimitiveCount) = 0;
  virtual HRESULT DrawPrimitive(D3DPRIMITIVETYPE fp_Type, UINT fp_uStartVertex, UINT fp_uPrimitiveCount) = 0;

  virtual HRESULT SetRenderState(D3DRENDERSTATETYPE fp_State, DWORD fp_dwValue) = 0;
  virtual HRESULT GetRenderState(D3DRENDERSTATETYPE fp_State, DWORD* fp_pdwValue) = 0;
  virtual HRESULT SetTextureStageState(DWORD fp_dwStage, D3DTEXTURESTAGESTATETYPE fp_Type, DWORD fp_dwValue) = 0;
  virtual HRESULT GetTextureStageState(DWORD fp_dwStage, D3DTEXTURESTAGESTATETYPE fp_Type, DWORD* fp_pdwValue) = 0;
  // The device keeps a reference to the texture while it is set.
  virtual HRESULT SetTexture(DWORD fp_dwStage, IDirect3DBaseTexture8* fp_pTexture) = 0;
  virtual HRESULT GetTexture(DWORD fp_dwStage, IDirect3DBaseTexture8** fp_ppTexture) = 0;  // adds a reference

  // Returns the previous visibility. The device draws no cursor of its own.
  virtual BOOL ShowCursor(BOOL fp_bShow) = 0;
  virtual HRESULT GetDeviceCaps(D3DCAPS8* fp_pCaps) = 0;
  virtual HRESULT GetDisplayMode(D3DDISPLAYMODE* fp_pMode) = 0;
};

class IDirect3D8 : public IUnknown {
 public:
  virtual UINT GetAdapterCount() = 0;
  virtual HRESULT GetAdapterIdentifier(UINT fp_uAdapter, DWORD fp_dwFlags,
                                       D3DADAPTER_IDENTIFIER8* fp_pIdentifier) = 0;
  virtual UINT GetAdapterModeCount(UINT fp_uAdapter) = 0;
  virtual HRESULT EnumAdapterModes(UINT fp_uAdapter, UINT fp_uMode, D3DDISPLAYMODE* fp_pMode) = 0;
  virtual HRESULT GetAdapterDisplayMode(UINT fp_uAdapter, D3DDISPLAYMODE* fp_pMode) = 0;
  // D3D_OK when a resource of fp_CheckFormat can be created on a display in
  // fp_AdapterFormat, D3DERR_NOTAVAILABLE otherwise.
  virtual HRESULT CheckDeviceFormat(UINT fp_uAdapter, D3DDEVTYPE fp_DeviceType, D3DFORMAT fp_AdapterFormat,
                                    DWORD fp_dwUsage, D3DRESOURCETYPE fp_RType, D3DFORMAT fp_CheckFormat) = 0;
  virtual HRESULT GetDeviceCaps(UINT fp_uAdapter, D3DDEVTYPE fp_DeviceType, D3DCAPS8* fp_pCaps) = 0;
  virtual HRESULT CreateDevice(UINT fp_uAdapter, D3DDEVTYPE fp_DeviceType, HWND fp_hFocusWindow,
                               DWORD fp_dwBehaviorFlags, D3DPRESENT_PARAMETERS* fp_pPresentationParameters,
                               IDirect3DDevice8** fp_ppReturnedDeviceInterface) = 0;
};

// The Direct3D object for interface version fp_uSDKVersion (120), or null:
// for another version, or when the OpenGL back end has no display. The null
// back end is used when the os stand-in runs headless, OpenGL otherwise.
IDirect3D8* Direct3DCreate8(UINT fp_uSDKVersion);

// }====

}  // namespace gfx
