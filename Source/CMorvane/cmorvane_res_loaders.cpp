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

// {==== Graphics adapters (TEXTURE, TECHNIQUE, FONT) ==========================

void RESLOAD_Texture(const char* data, int size, const char* strID, int tag, int data1, int data2,
                     int data3) {
  M2D_CHECKPOINT;
  GetEngine()->GFX_TexLoadFromMemory(data, size, data1, strID, data2, tag, data3);
}

void RESLOAD_Technique(const char* data, int size, const char* /*strID*/, int /*tag*/,
                       int /*data1*/, int /*data2*/, int /*data3*/) {
  M2D_CHECKPOINT;
  GetEngine()->GFX_TechLoadPack(data, size);
}

void RESLOAD_Font(const char* data, int size, const char* /*strID*/, int /*tag*/, int /*data1*/,
                  int /*data2*/, int /*data3*/) {
  M2D_CHECKPOINT;
  GetEngine()->GFX_FontLoadFromMemory(data, size);
}

// }====

// {==== Sound adapters (SOUND, MUSIC, PLAYLIST) ===============================

void RESLOAD_Sound(const char* fileName, int offset, int size, const char* strID, int tag,
                   int data1, int data2, int data3) {
  M2D_CHECKPOINT;
  GetEngine()->SFX_SoundLoad(fileName, strID, tag, data1 == 1, data2 < 1 ? 1 : data2, data3 == 1,
                             offset, size);
}

void RESLOAD_Music(const char* fileName, int offset, int size, const char* strID, int tag,
                   int data1, int /*data2*/, int /*data3*/) {
  M2D_CHECKPOINT;
  GetEngine()->SFX_MusicLoad(fileName, strID, tag, offset, size, data1 == 1);
}

void RESLOAD_Playlist(const char* data, int size, const char* /*strID*/, int /*tag*/,
                      int /*data1*/, int /*data2*/, int /*data3*/) {
  M2D_CHECKPOINT;
  GetEngine()->SFX_PlaylistLoad(data, size);
}

// }====

// {==== Script adapter (SCRIPT) ==============================================

void RESLOAD_Script(const char* data, int size, const char* strID, int /*tag*/, int /*data1*/,
                    int /*data2*/, int /*data3*/) {
  M2D_CHECKPOINT;
  GetEngine()->LoadScript(data, size, strID);
}

// }====

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
    {"TEXTURE", &RESLOAD_Texture, nullptr},
    {"TECHNIQUE", &RESLOAD_Technique, nullptr},
    {"FONT", &RESLOAD_Font, nullptr},
    {"SOUND", nullptr, &RESLOAD_Sound},
    {"MUSIC", nullptr, &RESLOAD_Music},
    {"PLAYLIST", &RESLOAD_Playlist, nullptr},
    {"SCRIPT", &RESLOAD_Script, nullptr},
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
