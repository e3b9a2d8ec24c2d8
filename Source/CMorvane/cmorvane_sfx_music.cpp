// Music: loading MUSIC resources as streamed or preloaded pieces, and the
// queue of one pending piece. A request fades the current piece out; the
// per-frame update starts the pending one once nothing plays any more.
static constexpr int kM2DFileID = 134;

#include <memory>
#include <new>
#include <string>

#include "cmorvane.h"
#include "cmorvane_sfx_classes.h"

namespace {

bool AppInactive() {
  return g_bAppActive == 0;
}

}  // namespace

M2DMusic* CMorvane::SFX_GetCurrentMusic() const {
  M2D_CHECKPOINT;
  return musicManager->GetItem(currentMusic);
}

int CMorvane::SFX_MusicLoad(const char* fp_pszFileName, const char* fp_pszID, int fp_iTag,
                            int fp_iOffset, int fp_iLength, bool fp_bPreloaded) {
  M2D_CHECKPOINT;
  if (!SFX_HasOutput()) return -2;
  const char* tmp_pszID = fp_pszID != nullptr ? fp_pszID : "";
  const int tmp_iExisting = musicManager->FindItem(tmp_pszID);
  if (musicManager->GetItem(tmp_iExisting) != nullptr) return tmp_iExisting;

  LogAddBlankLines(1);
  LogAddEntry(std::string("Loading music: ") + tmp_pszID, LOG_KIND_MINOR);
  std::unique_ptr<M2DMusic> tmp_pMusic;
  if (fp_bPreloaded) {
    tmp_pMusic.reset(new (std::nothrow) M2DPreloadedMusic(fp_pszFileName, fp_iOffset, fp_iLength));
    if (!tmp_pMusic) M2D_THROW(EHS_TYPE_GENERAL, 0, "Cannot create M2DPreloadedMusic object!");
  } else {
    tmp_pMusic.reset(new (std::nothrow) M2DMusic(fp_pszFileName, fp_iOffset, fp_iLength));
    if (!tmp_pMusic) M2D_THROW(EHS_TYPE_GENERAL, 0, "Cannot create M2DMusic object!");
  }
  const int tmp_iID = musicManager->AddItem(tmp_pMusic.get(), tmp_pszID, fp_iTag);
  tmp_pMusic.release();
  LogAddEntry("Done.", LOG_KIND_SUCCESS);
  LogAddBlankLines(1);
  return tmp_iID;
}

int CMorvane::SFX_MusicGetIID(const char* fp_pszID) {
  M2D_CHECKPOINT;
  if (!SFX_HasOutput()) return -2;
  const char* tmp_pszID = fp_pszID != nullptr ? fp_pszID : "";
  const int tmp_iID = musicManager->FindItem(tmp_pszID);
  if (musicManager->GetItem(tmp_iID) != nullptr) return tmp_iID;
  LogAddEntry(std::string("Cannot find iID of music with strID = ") + tmp_pszID, LOG_KIND_FAILED);
  return -1;
}

void CMorvane::SFX_MusicPlay(const char* fp_pszID, std::uint8_t fp_bLoop, int fp_iFadeTime) {
  M2D_CHECKPOINT;
  if (!SFX_HasOutput() || AppInactive()) return;
  int tmp_iID = musicManager->FindItem(fp_pszID != nullptr ? fp_pszID : "");
  if (musicManager->GetItem(tmp_iID) == nullptr) tmp_iID = -1;
  SFX_MusicPlay(tmp_iID, fp_bLoop, fp_iFadeTime);
}

void CMorvane::SFX_MusicPlay(int fp_iID, std::uint8_t fp_bLoop, int fp_iFadeTime) {
  M2D_CHECKPOINT;
  if (!SFX_HasOutput() || AppInactive()) return;
  if (fp_iID == -1) M2D_THROW(EHS_TYPE_GAME, 0, "Invalid music id!");
  if (fp_iID == currentMusic) return;
  pendingMusic = fp_iID;
  pendingLoop = fp_bLoop;
  if (currentMusic != -1) SFX_MusicStop(fp_iFadeTime);
}

void CMorvane::SFX_MusicStop(int fp_iFadeTime) {
  M2D_CHECKPOINT;
  if (!SFX_HasOutput() || AppInactive() || currentMusic == -1) return;
  M2DMusic* tmp_pMusic = SFX_GetCurrentMusic();
  if (tmp_pMusic == nullptr) M2D_THROW(EHS_TYPE_GENERAL, 0, "Cannot stop music - invalid ID!");
  tmp_pMusic->Stop(fp_iFadeTime);
}

std::uint32_t CMorvane::SFX_MusicGetStatus() {
  M2D_CHECKPOINT;
  if (!SFX_HasOutput() || currentMusic == -1) return 0;
  M2DMusic* tmp_pMusic = SFX_GetCurrentMusic();
  if (tmp_pMusic == nullptr)
    M2D_THROW(EHS_TYPE_GENERAL, 0, "Cannot get music status - invalid ID!");
  return tmp_pMusic->GetStatus();
}

void CMorvane::SFX_MusicSetVolume(int fp_iVolume, int fp_iTime) {
  M2D_CHECKPOINT;
  if (!SFX_HasOutput() || AppInactive() || currentMusic == -1) return;
  M2DMusic* tmp_pMusic = SFX_GetCurrentMusic();
  if (tmp_pMusic == nullptr)
    M2D_THROW(EHS_TYPE_GENERAL, 0, "Cannot get music status - invalid ID!");
  tmp_pMusic->SlideVolume(fp_iVolume, fp_iTime);
}
