// CSmartID: a named resource handle. The game declares one per resource its
// code uses ("TEX_BG", "SND_PIECEMOVE"); the managers write the integer ID
// (the slot number, -1 while not loaded) into it through the process-wide
// IDs map when the resource is loaded or unloaded.
#pragma once

#include <map>
#include <string>

// Resource kinds, from the first three characters of the string ID.
constexpr int SMARTID_RES_DETECT = 0;
constexpr int SMARTID_RES_TEXTURE = 1;    // "TEX"
constexpr int SMARTID_RES_TECHNIQUE = 2;  // "TEQ"
constexpr int SMARTID_RES_FONT = 3;       // "FNT"
constexpr int SMARTID_RES_SOUND = 4;      // "SND"

class CSmartID {
 public:
  // Byte-wise ordered, non-owning.
  using IDsMap = std::map<std::string, CSmartID*, std::less<>>;

  // fp_iResType 0 detects the kind from the prefix. Throws on a bad prefix or
  // a string ID that is already registered.
  CSmartID(const char* fp_pszID, int fp_iResType);
  ~CSmartID();
  CSmartID(const CSmartID&) = delete;
  CSmartID& operator=(const CSmartID&) = delete;

  void DetectResType();

  // Creates the IDs map if there is none; returns it.
  static IDsMap* CreateIDsMap();
  // The map, or null when no CSmartID exists.
  static IDsMap* GetIDsMap();
  // Writes fp_iID into the object registered under fp_pszID, if any.
  static void SetIID(const char* fp_pszID, int fp_iID);
  // Sets to -1 the first object, in string-ID order, holding fp_iID for
  // resource kind fp_iResType.
  static void ResetIID(int fp_iID, int fp_iResType);

  int GetIID() const { return iID; }
  int GetResType() const { return iResType; }
  const char* GetStrID() const { return strID.c_str(); }

  std::string strID;
  int iID = -1;
  int iResType = SMARTID_RES_DETECT;
};
