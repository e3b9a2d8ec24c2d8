// CSmartID: prefix detection, registration in the process-wide IDs map and
// the two static operations the managers use to keep the integer IDs current.
// The map is a plain pointer, so it is usable during static initialisation.
static constexpr int kM2DFileID = 155;

#include "cmorvane_utils_csmartid.h"

#include <cstring>
#include <new>
#include <string_view>

#include "cmorvane_ehs.h"

namespace {

CSmartID::IDsMap* g_pIDsMap = nullptr;

struct SPrefix {
  const char* prefix;
  int resType;
};

constexpr SPrefix kPrefixes[] = {
    {"TEX", SMARTID_RES_TEXTURE},
    {"TEQ", SMARTID_RES_TECHNIQUE},
    {"FNT", SMARTID_RES_FONT},
    {"SND", SMARTID_RES_SOUND},
};

}  // namespace

CSmartID::CSmartID(const char* fp_pszID, int fp_iResType)
    : strID(fp_pszID != nullptr ? fp_pszID : ""), iID(-1), iResType(fp_iResType) {
  M2D_CHECKPOINT;
  if (iResType == SMARTID_RES_DETECT) DetectResType();
  IDsMap* tmp_pMap = CreateIDsMap();
  if (tmp_pMap->find(strID) != tmp_pMap->end()) {
    M2D_THROW(EHS_TYPE_GAME, 0,
              "Error in CSmartID::CSmartID(const char* fp_pszID, int fp_iResType). An object "
              "with same strID already exists! strID = " +
                  strID);
  }
  tmp_pMap->emplace(strID, this);
}

// Removes this object's own registration and deletes the map with the last
// one, so the objects that are still alive stay reachable by SetIID.
CSmartID::~CSmartID() {
  M2D_CHECKPOINT;
  if (g_pIDsMap == nullptr) return;
  auto tmp_it = g_pIDsMap->find(strID);
  if (tmp_it != g_pIDsMap->end() && tmp_it->second == this) g_pIDsMap->erase(tmp_it);
  if (g_pIDsMap->empty()) {
    delete g_pIDsMap;
    g_pIDsMap = nullptr;
  }
}

void CSmartID::DetectResType() {
  M2D_CHECKPOINT;
  if (strID.size() <= 3) {
    M2D_THROW(EHS_TYPE_GENERAL, 0,
              "Error in CSmartID::DetectResType : strID length is too small (<4)!");
  }
  for (const SPrefix& tmp_rPrefix : kPrefixes) {
    if (std::memcmp(strID.data(), tmp_rPrefix.prefix, 3) == 0) {
      iResType = tmp_rPrefix.resType;
      return;
    }
  }
  M2D_THROW(EHS_TYPE_GAME, 0,
            "Error in CSmartID::DetectResType : cannot detect res type! strID = " + strID);
}

CSmartID::IDsMap* CSmartID::CreateIDsMap() {
  M2D_CHECKPOINT;
  if (g_pIDsMap == nullptr) {
    g_pIDsMap = new (std::nothrow) IDsMap;
    if (g_pIDsMap == nullptr) {
      M2D_THROW(EHS_TYPE_GENERAL, 0, "Error in CSmartID::CreateIDsMap(). Cannot create IDs map!");
    }
  }
  return g_pIDsMap;
}

CSmartID::IDsMap* CSmartID::GetIDsMap() {
  M2D_CHECKPOINT;
  return g_pIDsMap;
}

void CSmartID::SetIID(const char* fp_pszID, int fp_iID) {
  M2D_CHECKPOINT;
  if (g_pIDsMap == nullptr || fp_pszID == nullptr) return;
  auto tmp_it = g_pIDsMap->find(std::string_view(fp_pszID));
  if (tmp_it != g_pIDsMap->end()) tmp_it->second->iID = fp_iID;
}

void CSmartID::ResetIID(int fp_iID, int fp_iResType) {
  M2D_CHECKPOINT;
  if (g_pIDsMap == nullptr) return;
  for (auto& tmp_rEntry : *g_pIDsMap) {
    CSmartID* tmp_pObj = tmp_rEntry.second;
    if (tmp_pObj->iID == fp_iID && tmp_pObj->iResType == fp_iResType) {
      tmp_pObj->iID = -1;
      return;
    }
  }
}
