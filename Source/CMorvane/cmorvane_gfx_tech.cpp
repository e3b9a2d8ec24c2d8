// Techniques: the TECHNIQUE loader that reads a techniques pack (XML, root
// "techniquespack", one technique per child) into the Techniques Manager,
// lookup, and applying a technique, which sets exactly the groups of device
// states it declares and nothing when it is already the current one.
static constexpr int kM2DFileID = 125;

#include <cstring>
#include <new>
#include <string>

#include "Platform/gfx/d3d8.h"
#include "cmorvane.h"
#include "cmorvane_gfx_internal.h"
#include "cmorvane_res_cres.h"
#include "cmorvane_utils_csmartid.h"
#include "cmorvane_utils_xml.h"

using namespace gfx;

namespace {

struct SKeyword {
  const char* name;
  std::uint32_t value;
};

constexpr SKeyword kBlends[] = {
    {"ZERO", D3DBLEND_ZERO},           {"ONE", D3DBLEND_ONE},
    {"SRCCOLOR", D3DBLEND_SRCCOLOR},   {"INVSRCCOLOR", D3DBLEND_INVSRCCOLOR},
    {"SRCALPHA", D3DBLEND_SRCALPHA},   {"INVSRCALPHA", D3DBLEND_INVSRCALPHA},
    {"DESTALPHA", D3DBLEND_DESTALPHA}, {"INVDESTALPHA", D3DBLEND_INVDESTALPHA},
    {"DESTCOLOR", D3DBLEND_DESTCOLOR}, {"INVDESTCOLOR", D3DBLEND_INVDESTCOLOR},
    {"SRCALPHASAT", D3DBLEND_SRCALPHASAT},
};
constexpr SKeyword kOperations[] = {
    {"DISABLE", D3DTOP_DISABLE}, {"SELECTARG1", D3DTOP_SELECTARG1}, {"SELECTARG2", D3DTOP_SELECTARG2},
    {"MODULATE", D3DTOP_MODULATE}, {"ADD", D3DTOP_ADD},             {"SUBTRACT", D3DTOP_SUBTRACT},
    {"DOTPRODUCT3", D3DTOP_DOTPRODUCT3},
};
constexpr SKeyword kArguments[] = {
    {"DIFFUSE", D3DTA_DIFFUSE}, {"CURRENT", D3DTA_CURRENT},   {"TEXTURE", D3DTA_TEXTURE},
    {"TFACTOR", D3DTA_TFACTOR}, {"SPECULAR", D3DTA_SPECULAR},
};
constexpr SKeyword kAddresses[] = {{"WRAP", D3DTADDRESS_WRAP}, {"CLAMP", D3DTADDRESS_CLAMP}};
constexpr SKeyword kFilters[] = {
    {"NONE", D3DTEXF_NONE}, {"POINT", D3DTEXF_POINT}, {"LINEAR", D3DTEXF_LINEAR}};
constexpr SKeyword kDynLightModes[] = {{"DISABLED", 0}, {"VERTEX", 1}, {"DOT3", 2}};

// The value of an exact, case-sensitive keyword; the default for anything
// else (an empty or missing attribute included).
template <size_t N>
std::uint32_t Keyword(const SKeyword (&fp_rTable)[N], const char* fp_pszText,
                      std::uint32_t fp_uDefault) {
  M2D_CHECKPOINT;
  for (const SKeyword& tmp_rKeyword : fp_rTable) {
    if (std::strcmp(tmp_rKeyword.name, fp_pszText) == 0) return tmp_rKeyword.value;
  }
  return fp_uDefault;
}

bool IsOn(const char* fp_pszText) {
  M2D_CHECKPOINT;
  return std::strcmp(fp_pszText, "ON") == 0;
}

bool IsDeclared(const CXMLNode* fp_pNode, const char* fp_pszAttribute) {
  M2D_CHECKPOINT;
  return fp_pNode->GetAttribute(fp_pszAttribute)[0] != '\0';
}

// A colour from three channel attributes "<prefix>r", "g", "b" and alpha.
std::uint32_t ReadColor(const CXMLNode* fp_pNode, const std::string& fp_strPrefix,
                        std::uint32_t fp_uAlpha) {
  M2D_CHECKPOINT;
  return GFX_PackARGB(fp_uAlpha,
                      GFX_ChannelByte(GFX_ParseFloat(fp_pNode->GetAttribute((fp_strPrefix + "r").c_str()))),
                      GFX_ChannelByte(GFX_ParseFloat(fp_pNode->GetAttribute((fp_strPrefix + "g").c_str()))),
                      GFX_ChannelByte(GFX_ParseFloat(fp_pNode->GetAttribute((fp_strPrefix + "b").c_str()))));
}

void ReadStage(const CXMLNode* fp_pNode, const char* fp_pszPrefix, M2DTECHNIQUE::SStage* fp_pStage) {
  M2D_CHECKPOINT;
  const std::string tmp_strPrefix = fp_pszPrefix;
  auto tmp_Attr = [&](const char* fp_pszName) {
    return fp_pNode->GetAttribute((tmp_strPrefix + fp_pszName).c_str());
  };
  fp_pStage->colorOp = Keyword(kOperations, tmp_Attr("colorop"), D3DTOP_DISABLE);
  fp_pStage->colorArg1 = Keyword(kArguments, tmp_Attr("colorarg1"), D3DTA_CURRENT);
  fp_pStage->colorArg2 = Keyword(kArguments, tmp_Attr("colorarg2"), D3DTA_CURRENT);
  fp_pStage->alphaOp = Keyword(kOperations, tmp_Attr("alphaop"), D3DTOP_DISABLE);
  fp_pStage->alphaArg1 = Keyword(kArguments, tmp_Attr("alphaarg1"), D3DTA_CURRENT);
  fp_pStage->alphaArg2 = Keyword(kArguments, tmp_Attr("alphaarg2"), D3DTA_CURRENT);
  fp_pStage->address = Keyword(kAddresses, tmp_Attr("address"), D3DTADDRESS_WRAP);
}

void ReadFilters(const CXMLNode* fp_pNode, const char* fp_pszPrefix,
                 M2DTECHNIQUE::SFilters* fp_pFilters) {
  M2D_CHECKPOINT;
  const std::string tmp_strPrefix = fp_pszPrefix;
  fp_pFilters->minFilter =
      Keyword(kFilters, fp_pNode->GetAttribute((tmp_strPrefix + "minfilter").c_str()), D3DTEXF_NONE);
  fp_pFilters->magFilter =
      Keyword(kFilters, fp_pNode->GetAttribute((tmp_strPrefix + "magfilter").c_str()), D3DTEXF_NONE);
  fp_pFilters->mipFilter =
      Keyword(kFilters, fp_pNode->GetAttribute((tmp_strPrefix + "mipfilter").c_str()), D3DTEXF_NONE);
}

// The declared groups of one technique element.
void ReadTechnique(const CXMLNode* fp_pNode, M2DTECHNIQUE* fp_pTech) {
  M2D_CHECKPOINT;
  if (IsDeclared(fp_pNode, "alphablending")) {
    fp_pTech->hasAlphaBlending = true;
    fp_pTech->alphaBlendEnabled = IsOn(fp_pNode->GetAttribute("alphablending"));
    fp_pTech->srcBlend = Keyword(kBlends, fp_pNode->GetAttribute("absrc"), D3DBLEND_ZERO);
    fp_pTech->destBlend = Keyword(kBlends, fp_pNode->GetAttribute("abdest"), D3DBLEND_ZERO);
  }
  if (IsDeclared(fp_pNode, "fog")) {
    fp_pTech->hasFog = true;
    fp_pTech->fogEnabled = IsOn(fp_pNode->GetAttribute("fog"));
    fp_pTech->fogStart = GFX_ParseFloat(fp_pNode->GetAttribute("fogstart"));
    fp_pTech->fogEnd = GFX_ParseFloat(fp_pNode->GetAttribute("fogend"));
    fp_pTech->fogColor = ReadColor(fp_pNode, "fogcolor", 0xFF);
  }
  if (IsDeclared(fp_pNode, "texturefactorr")) {
    fp_pTech->hasTextureFactor = true;
    fp_pTech->textureFactor =
        ReadColor(fp_pNode, "texturefactor",
                  GFX_ChannelByte(GFX_ParseFloat(fp_pNode->GetAttribute("texturefactora"))));
  }
  if (IsDeclared(fp_pNode, "s0_colorop")) {
    fp_pTech->hasStages = true;
    ReadStage(fp_pNode, "s0_", &fp_pTech->stages[0]);
    ReadStage(fp_pNode, "s1_", &fp_pTech->stages[1]);
  }
  if (IsDeclared(fp_pNode, "s0_minfilter")) {
    fp_pTech->hasFilters = true;
    ReadFilters(fp_pNode, "s0_", &fp_pTech->filters[0]);
    ReadFilters(fp_pNode, "s1_", &fp_pTech->filters[1]);
  }
  if (IsDeclared(fp_pNode, "dynlightmode")) {
    fp_pTech->hasDynLight = true;
    fp_pTech->dynLightMode = Keyword(kDynLightModes, fp_pNode->GetAttribute("dynlightmode"), 0);
    fp_pTech->dynLightAmbient = ReadColor(fp_pNode, "dynlightambientcolor", 0xFF);
  }
}

DWORD FloatBits(float fp_fValue) {
  M2D_CHECKPOINT;
  DWORD tmp_dwBits;
  std::memcpy(&tmp_dwBits, &fp_fValue, sizeof(tmp_dwBits));
  return tmp_dwBits;
}

}  // namespace

void CMorvane::GFX_TechLoadPack(const char* fp_pData, int fp_iSize) {
  M2D_CHECKPOINT;
  if (techniquesManager == nullptr)
    M2D_THROW(EHS_TYPE_GENERAL, 0,
              "Cannot process techniques pack: graphics system was not initialized!");
  CXMLDocument tmp_Doc;
  try {
    tmp_Doc.LoadFromBuffer(fp_pData, fp_iSize, bXMLEncryptMode == 1);
  } catch (const char* tmp_pszError) {
    M2D_THROW(EHS_TYPE_GENERAL, 0, tmp_pszError);
  }
  tmp_Doc.Parse();

  LogAddBlankLines(1);
  LogAddEntry("Processing techniques pack...", LOG_KIND_MINOR);
  CXMLNode* tmp_pRoot = tmp_Doc.GetRoot();
  if (tmp_pRoot == nullptr || tmp_pRoot->GetName()[0] == '\0')
    M2D_THROW(EHS_TYPE_GENERAL, 0, "Error in XML parser: Root node is NULL!");
  if (std::strcmp(tmp_pRoot->GetName(), "techniquespack") != 0)
    M2D_THROW(EHS_TYPE_GENERAL, 0, "Wrong XML root node name: must be techniquespack!");

  int tmp_iLoaded = 0;
  for (int i = 0; i < tmp_pRoot->GetChildCount(); ++i) {
    const CXMLNode* tmp_pChild = tmp_pRoot->GetChild(i);
    if (tmp_pChild == nullptr)
      M2D_THROW(EHS_TYPE_GENERAL, 0, "Error in XML parser - child node is NULL!");
    const char* tmp_pszID = tmp_pChild->GetAttribute("id");
    if (tmp_pszID[0] == '\0') M2D_THROW(EHS_TYPE_GENERAL, 0, "Ivanlid technique ID!");
    // A technique already loaded stays as it is.
    if (techniquesManager->FindItem(tmp_pszID) != -1) continue;

    M2DTECHNIQUE* tmp_pTech = new (std::nothrow) M2DTECHNIQUE();
    if (tmp_pTech == nullptr) M2D_THROW(EHS_TYPE_GENERAL, 0, "Cannot create M2DTECHNIQUE object!");
    int tmp_iID = -1;
    try {
      ReadTechnique(tmp_pChild, tmp_pTech);
      const int tmp_iTag = RES_ParseDecimal(tmp_pChild->GetAttribute("tag"));
      tmp_iID = techniquesManager->AddItem(tmp_pTech, tmp_pszID, tmp_iTag);
    } catch (...) {
      delete tmp_pTech;
      throw;
    }
    CSmartID::SetIID(tmp_pszID, tmp_iID);
    ++tmp_iLoaded;
  }
  LogAddEntry(std::to_string(tmp_iLoaded) + " techniques loaded.", LOG_KIND_SUCCESS);
  LogAddBlankLines(1);
}

int CMorvane::GFX_TechGetIID(const char* fp_pszID) {
  M2D_CHECKPOINT;
  const char* tmp_pszID = fp_pszID != nullptr ? fp_pszID : "";
  const int tmp_iID = techniquesManager != nullptr ? techniquesManager->FindItem(tmp_pszID) : -1;
  if (tmp_iID == -1)
    LogAddEntry(std::string("Cannot find iID of technique with strID = ") + tmp_pszID,
                LOG_KIND_FAILED);
  return tmp_iID;
}

void CMorvane::GFX_TechApply(int fp_iID) {
  M2D_CHECKPOINT;
  if (fp_iID == currentTechnique) return;
  // The queued quads were meant for the states set so far.
  GFX_BatchFlush();
  const M2DTECHNIQUE* tmp_pTech =
      techniquesManager != nullptr ? techniquesManager->GetItem(fp_iID) : nullptr;
  if (tmp_pTech == nullptr)
    M2D_THROW(EHS_TYPE_GAME, 0, "Invalid technique ID! ID = " + std::to_string(fp_iID));
  GFX_RequireDevice();
  IDirect3DDevice8* const tmp_pDev = pD3DDevice;

  if (tmp_pTech->hasAlphaBlending) {
    tmp_pDev->SetRenderState(D3DRS_ALPHABLENDENABLE, tmp_pTech->alphaBlendEnabled ? 1 : 0);
    tmp_pDev->SetRenderState(D3DRS_SRCBLEND, tmp_pTech->srcBlend);
    tmp_pDev->SetRenderState(D3DRS_DESTBLEND, tmp_pTech->destBlend);
  }
  if (tmp_pTech->hasFog) {
    fogEnabled = tmp_pTech->fogEnabled ? 1 : 0;
    tmp_pDev->SetRenderState(D3DRS_FOGENABLE, tmp_pTech->fogEnabled ? 1 : 0);
    tmp_pDev->SetRenderState(D3DRS_FOGVERTEXMODE, D3DFOG_LINEAR);
    tmp_pDev->SetRenderState(D3DRS_FOGSTART, FloatBits(tmp_pTech->fogStart));
    tmp_pDev->SetRenderState(D3DRS_FOGEND, FloatBits(tmp_pTech->fogEnd));
    tmp_pDev->SetRenderState(D3DRS_FOGCOLOR, tmp_pTech->fogColor);
  }
  if (tmp_pTech->hasTextureFactor)
    tmp_pDev->SetRenderState(D3DRS_TEXTUREFACTOR, tmp_pTech->textureFactor);
  if (tmp_pTech->hasStages) {
    for (DWORD tmp_dwStage = 0; tmp_dwStage < 2; ++tmp_dwStage) {
      const M2DTECHNIQUE::SStage& s = tmp_pTech->stages[tmp_dwStage];
      tmp_pDev->SetTextureStageState(tmp_dwStage, D3DTSS_COLOROP, s.colorOp);
      // A disabled second stage needs nothing else.
      if (tmp_dwStage == 1 && s.colorOp == D3DTOP_DISABLE) break;
      tmp_pDev->SetTextureStageState(tmp_dwStage, D3DTSS_COLORARG1, s.colorArg1);
      tmp_pDev->SetTextureStageState(tmp_dwStage, D3DTSS_COLORARG2, s.colorArg2);
      tmp_pDev->SetTextureStageState(tmp_dwStage, D3DTSS_ALPHAOP, s.alphaOp);
      tmp_pDev->SetTextureStageState(tmp_dwStage, D3DTSS_ALPHAARG1, s.alphaArg1);
      tmp_pDev->SetTextureStageState(tmp_dwStage, D3DTSS_ALPHAARG2, s.alphaArg2);
      tmp_pDev->SetTextureStageState(tmp_dwStage, D3DTSS_ADDRESSU, s.address);
      tmp_pDev->SetTextureStageState(tmp_dwStage, D3DTSS_ADDRESSV, s.address);
    }
  }
  if (tmp_pTech->hasFilters) {
    for (DWORD tmp_dwStage = 0; tmp_dwStage < 2; ++tmp_dwStage) {
      const M2DTECHNIQUE::SFilters& f = tmp_pTech->filters[tmp_dwStage];
      tmp_pDev->SetTextureStageState(tmp_dwStage, D3DTSS_MINFILTER, f.minFilter);
      tmp_pDev->SetTextureStageState(tmp_dwStage, D3DTSS_MAGFILTER, f.magFilter);
      tmp_pDev->SetTextureStageState(tmp_dwStage, D3DTSS_MIPFILTER, f.mipFilter);
    }
  }
  if (tmp_pTech->hasDynLight) {
    GFX_LightSetMode(static_cast<std::int32_t>(tmp_pTech->dynLightMode));
    const std::uint32_t c = tmp_pTech->dynLightAmbient;
    dynLightAmbient[0] = static_cast<float>((c >> 16) & 0xFF) / 255.0f;
    dynLightAmbient[1] = static_cast<float>((c >> 8) & 0xFF) / 255.0f;
    dynLightAmbient[2] = static_cast<float>(c & 0xFF) / 255.0f;
    dynLightAmbient[3] = static_cast<float>((c >> 24) & 0xFF) / 255.0f;
  }
  currentTechnique = fp_iID;
}

void CMorvane::GFX_TechApply(const char* fp_pszID) {
  M2D_CHECKPOINT;
  const char* tmp_pszID = fp_pszID != nullptr ? fp_pszID : "";
  GFX_TechApply(techniquesManager != nullptr ? techniquesManager->FindItem(tmp_pszID) : -1);
}

void CMorvane::GFX_TechApply(const CSmartID& fp_rID) {
  M2D_CHECKPOINT;
  GFX_TechApply(fp_rID.iID);
}
