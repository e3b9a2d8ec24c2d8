// Playlists: loading PLAYLIST resources (XML naming MUSIC resources, loaded on
// the way), making one active, and choosing the next piece at random among
// the entries other than the piece that just ended.
static constexpr int kM2DFileID = 135;

#include "cmorvane_sfx_playlists.h"

#include <memory>
#include <new>
#include <sstream>
#include <string>

#include "cmorvane.h"
#include "cmorvane_utils_xml.h"

namespace {

// The tag attribute read with stream extraction: not a number gives 0, a
// number out of range the nearest 32-bit value.
int ReadTag(const char* fp_pszText) {
  M2D_CHECKPOINT;
  std::istringstream tmp_Stream(fp_pszText != nullptr ? fp_pszText : "");
  int tmp_iTag = 0;
  tmp_Stream >> tmp_iTag;
  return tmp_iTag;
}

// The weight every entry gets in the random choice.
constexpr std::int32_t kEntryWeight = 10;

}  // namespace

int CMorvane::SFX_PlaylistLoad(const char* fp_pData, int fp_iSize) {
  M2D_CHECKPOINT;
  if (!SFX_HasOutput()) return -2;
  CXMLDocument tmp_Doc;
  tmp_Doc.LoadFromBuffer(fp_pData, fp_iSize, bXMLEncryptMode == 1);
  tmp_Doc.Parse();

  LogAddBlankLines(1);
  LogAddEntry("Processing playlist file...", LOG_KIND_MINOR);
  CXMLNode* tmp_pRoot = tmp_Doc.GetRoot();
  if (tmp_pRoot == nullptr)
    M2D_THROW(EHS_TYPE_GENERAL, 0, "XML Parser error - root node object is NULL!");
  if (std::string(tmp_pRoot->GetName()) != "playlist")
    M2D_THROW(EHS_TYPE_GAME, 0, "XML file doesn't contain playlist data!");

  const std::string tmp_strID = tmp_pRoot->GetAttribute("id");
  const int tmp_iExisting = playlistsManager->FindItem(tmp_strID.c_str());
  if (playlistsManager->GetItem(tmp_iExisting) != nullptr) {
    LogAddEntry("Warning: Dublicated playlist!", LOG_KIND_FAILED);
    return tmp_iExisting;
  }
  std::unique_ptr<M2DPlaylist> tmp_pPlaylist(new (std::nothrow) M2DPlaylist());
  if (!tmp_pPlaylist) M2D_THROW(EHS_TYPE_GENERAL, 0, "Cannot create playlist object!");

  for (int i = 0; i < tmp_pRoot->GetChildCount(); ++i) {
    CXMLNode* tmp_pChild = tmp_pRoot->GetChild(i);
    if (tmp_pChild == nullptr)
      M2D_THROW(EHS_TYPE_GENERAL, 0, "XML Parser error - child node is NULL");
    const std::string tmp_strMusic = tmp_pChild->GetAttribute("id");
    int tmp_iMusic = SFX_MusicGetIID(tmp_strMusic.c_str());
    if (tmp_iMusic == -1) {
      LoadResource(tmp_strMusic.c_str());
      tmp_iMusic = SFX_MusicGetIID(tmp_strMusic.c_str());
    }
    if (tmp_iMusic >= 0) tmp_pPlaylist->entries.push_back(tmp_iMusic);
  }
  LogAddEntry(
      "New playlist contains " + std::to_string(tmp_pPlaylist->entries.size()) + " entries.",
      LOG_KIND_STEP);

  const int tmp_iTag = ReadTag(tmp_pRoot->GetAttribute("tag"));
  const int tmp_iID = playlistsManager->AddItem(tmp_pPlaylist.get(), tmp_strID.c_str(), tmp_iTag);
  tmp_pPlaylist.release();
  LogAddEntry("Done.", LOG_KIND_SUCCESS);
  LogAddBlankLines(1);
  return tmp_iID;
}

int CMorvane::SFX_PlaylistGetIID(const char* fp_pszID) {
  M2D_CHECKPOINT;
  if (!SFX_HasOutput()) return -2;
  const char* tmp_pszID = fp_pszID != nullptr ? fp_pszID : "";
  const int tmp_iID = playlistsManager->FindItem(tmp_pszID);
  if (playlistsManager->GetItem(tmp_iID) != nullptr) return tmp_iID;
  LogAddEntry(std::string("Cannot find iID of playlist with strID = ") + tmp_pszID,
              LOG_KIND_FAILED);
  return -1;
}

void CMorvane::SFX_PlaylistSet(const char* fp_pszID) {
  M2D_CHECKPOINT;
  if (!SFX_HasOutput()) return;
  const int tmp_iID = playlistsManager->FindItem(fp_pszID != nullptr ? fp_pszID : "");
  if (playlistsManager->GetItem(tmp_iID) == nullptr) return;
  SFX_PlaylistSet(tmp_iID);
}

void CMorvane::SFX_PlaylistSet(int fp_iID) {
  M2D_CHECKPOINT;
  if (!SFX_HasOutput()) return;
  // Any ID that names no playlist is refused here, where it comes in, rather
  // than by the next update.
  if (playlistsManager->GetItem(fp_iID) == nullptr)
    M2D_THROW(EHS_TYPE_GAME, 0, "Invalid playlist ID!");
  if (fp_iID == currentPlaylist) return;
  SFX_MusicStop(3000);
  currentPlaylist = fp_iID;
}

void CMorvane::SFX_PlaylistStop() {
  M2D_CHECKPOINT;
  if (!SFX_HasOutput()) return;
  SFX_MusicStop(3000);
  currentPlaylist = -1;
}

void CMorvane::SFX_PlaylistNext() {
  M2D_CHECKPOINT;
  if (!SFX_HasOutput()) return;
  const M2DPlaylist* tmp_pPlaylist = playlistsManager->GetItem(currentPlaylist);
  if (tmp_pPlaylist == nullptr)
    M2D_THROW(EHS_TYPE_GENERAL, 0, "Internal error - invalid playlist ID!");
  const std::vector<std::int32_t>& tmp_vEntries = tmp_pPlaylist->entries;
  if (tmp_vEntries.empty()) {
    pendingMusic = -1;
    return;
  }
  if (tmp_vEntries.size() == 1) {
    pendingMusic = tmp_vEntries[0];
    return;
  }
  TRandomizer<std::int32_t> tmp_Randomizer;
  for (std::int32_t tmp_iMusic : tmp_vEntries)
    if (tmp_iMusic != currentMusic) tmp_Randomizer.AddValue(tmp_iMusic, kEntryWeight);
  // Every entry is the piece that just ended: there is no other to choose, so
  // it plays again, as the only piece of a one-entry playlist does.
  pendingMusic = tmp_Randomizer.count == 0 ? tmp_vEntries[0] : tmp_Randomizer.GetRandomValue();
}
