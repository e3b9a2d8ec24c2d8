// The loaders of the standard resource type IDs, registered when the resource
// subsystem starts. Each entry is a thin adapter that hands the resource on to
// the operation of the subsystem that owns that kind of object.
static constexpr int kM2DFileID = 123;

#include "cmorvane.h"
#include "cmorvane_utils_cxmlvar.h"

namespace {

// One standard type ID and its loader: either a LoadRes (bytes in memory) or
// a LoadResEx (file name and position).
struct SStandardLoader {
  const char* typeID;
  LoadRes pLoadRes;
  LoadResEx pLoadResEx;
};

// The standard types, registered in this fixed order. Each subsystem slots
// its adapter in at its own line:
//   "TEXTURE"   LoadRes    GFX_TexLoadFromMemory (data, size, data1, strID, data2, tag, data3)
//   "TECHNIQUE" LoadRes    GFX_TechLoadPack (data, size)
//   "FONT"      LoadRes    GFX_FontLoadFromMemory (data, size)
//   "SOUND"     LoadResEx  sound loader (fileName, strID, tag, data1 == 1, max(data2, 1),
//                          data3 == 1, offset, size)
//   "MUSIC"     LoadResEx  music loader (fileName, strID, tag, offset, size, data1)
//   "PLAYLIST"  LoadRes    playlist loader (data, size)
//   "SCRIPT"    LoadRes    LoadScript (data, size, strID)
//   "XMLDATA"   LoadRes    RESLOAD_XMLData itself
const SStandardLoader kStandardLoaders[] = {
    {"XMLDATA", &RESLOAD_XMLData, nullptr},
};

}  // namespace

void CMorvane::RES_RegisterStandardLoaders() {
  M2D_CHECKPOINT;
  for (const SStandardLoader& tmp_rLoader : kStandardLoaders) {
    if (tmp_rLoader.pLoadRes != nullptr) RegisterLoadRes(tmp_rLoader.pLoadRes, tmp_rLoader.typeID);
    if (tmp_rLoader.pLoadResEx != nullptr)
      RegisterLoadResEx(tmp_rLoader.pLoadResEx, tmp_rLoader.typeID);
  }
}
