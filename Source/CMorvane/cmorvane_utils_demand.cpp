// Resource demands: look the string ID up in the owning manager, load the
// resource on a miss (for a technique: its pack), look again. Only -1 is a
// miss; the sound lookups' -2 (no sound output) is returned as it is.
#include "cmorvane_utils_demand.h"

#include <string>

#include "cmorvane.h"

namespace {

using Lookup = int (CMorvane::*)(const char*);

// Look up, load fp_pszID on a miss, look up again.
int Demand(Lookup fp_pLookup, const char* fp_pszID, const char* fp_pszWhat) {
  CMorvane* tmp_pEngine = GetEngine();
  ZIZAssert(tmp_pEngine);
  const char* tmp_pszID = fp_pszID != nullptr ? fp_pszID : "";
  int tmp_iID = (tmp_pEngine->*fp_pLookup)(tmp_pszID);
  if (tmp_iID != -1) return tmp_iID;
  tmp_pEngine->LoadResource(tmp_pszID);
  tmp_iID = (tmp_pEngine->*fp_pLookup)(tmp_pszID);
  if (tmp_iID == -1)
    M2D_THROW(EHS_TYPE_GAME, 0,
              std::string("Invalid ") + fp_pszWhat + " demand. ID = " + tmp_pszID);
  return tmp_iID;
}

}  // namespace

int M2DUTIL_DemandTexture(const char* fp_pszID) {
  return Demand(&CMorvane::GFX_TexGetIID, fp_pszID, "texture");
}

int M2DUTIL_DemandTechnique(const char* fp_pszID, const char* fp_pszTechPackID) {
  const char* tmp_pszID = fp_pszID != nullptr ? fp_pszID : "";
  const char* tmp_pszPackID = fp_pszTechPackID != nullptr ? fp_pszTechPackID : "";
  CMorvane* tmp_pEngine = GetEngine();
  ZIZAssert(tmp_pEngine);
  int tmp_iID = tmp_pEngine->GFX_TechGetIID(tmp_pszID);
  if (tmp_iID != -1) return tmp_iID;
  tmp_pEngine->LoadResource(tmp_pszPackID);
  tmp_iID = tmp_pEngine->GFX_TechGetIID(tmp_pszID);
  if (tmp_iID == -1)
    M2D_THROW(EHS_TYPE_GAME, 0,
              std::string("Invalid technique demand. ID = ") + tmp_pszID +
                  "  TechPackID = " + tmp_pszPackID);
  return tmp_iID;
}

int M2DUTIL_DemandFont(const char* fp_pszID) {
  return Demand(&CMorvane::GFX_FontGetIID, fp_pszID, "font");
}

int M2DUTIL_DemandSound(const char* fp_pszID) {
  return Demand(&CMorvane::SFX_SoundGetIID, fp_pszID, "sound");
}

int M2DUTIL_DemandMusic(const char* fp_pszID) {
  return Demand(&CMorvane::SFX_MusicGetIID, fp_pszID, "music");
}

int M2DUTIL_DemandPlaylist(const char* fp_pszID) {
  return Demand(&CMorvane::SFX_PlaylistGetIID, fp_pszID, "playlist");
}
