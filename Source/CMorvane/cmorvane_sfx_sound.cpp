// The sounds manager's operations: loading a SOUND resource into a sample or
// a stream, looking sounds up, unloading them, and the playback operations
// with their guards (no sound output, window inactive, invalid ID).
static constexpr int kM2DFileID = 133;

#include <memory>
#include <new>
#include <string>

#include "cmorvane.h"
#include "cmorvane_sfx_classes.h"
#include "cmorvane_utils_csmartid.h"

namespace {

// Playback requests are dropped while the game window is inactive.
bool AppInactive() {
  return g_bAppActive == 0;
}

}  // namespace

M2DSound* CMorvane::SFX_GetSound(int fp_iID) const {
  M2D_CHECKPOINT;
  M2DSound* tmp_pSound = soundsManager->GetItem(fp_iID);
  if (tmp_pSound == nullptr)
    M2D_THROW(EHS_TYPE_GAME, 0, "Invalid sound ID: " + std::to_string(fp_iID));
  return tmp_pSound;
}

int CMorvane::SFX_SoundLoad(const char* fp_pszFileName, const char* fp_pszID, int fp_iTag,
                            bool fp_bIsStream, int fp_iMaxPlaybacks, bool fp_bNoOverride,
                            int fp_iOffset, int fp_iLength) {
  M2D_CHECKPOINT;
  if (!SFX_HasOutput()) return -2;
  const char* tmp_pszID = fp_pszID != nullptr ? fp_pszID : "";
  const int tmp_iExisting = soundsManager->FindItem(tmp_pszID);
  if (soundsManager->GetItem(tmp_iExisting) != nullptr) return tmp_iExisting;

  LogAddBlankLines(1);
  LogAddEntry(std::string("Loading sound: ") + tmp_pszID, LOG_KIND_MINOR);
  std::unique_ptr<M2DSound> tmp_pSound(new (std::nothrow) M2DSound());
  if (!tmp_pSound) M2D_THROW(EHS_TYPE_GENERAL, 0, "Cannot create sound object!");
  tmp_pSound->Load(fp_bIsStream, fp_iMaxPlaybacks, fp_bNoOverride, fp_pszFileName, fp_iOffset,
                   fp_iLength);
  const int tmp_iID = soundsManager->AddItem(tmp_pSound.get(), tmp_pszID, fp_iTag);
  tmp_pSound.release();
  CSmartID::SetIID(tmp_pszID, tmp_iID);
  LogAddEntry("Done.", LOG_KIND_SUCCESS);
  LogAddBlankLines(1);
  return tmp_iID;
}

int CMorvane::SFX_SoundGetIID(const char* fp_pszID) {
  M2D_CHECKPOINT;
  if (!SFX_HasOutput()) return -2;
  const char* tmp_pszID = fp_pszID != nullptr ? fp_pszID : "";
  const int tmp_iID = soundsManager->FindItem(tmp_pszID);
  if (soundsManager->GetItem(tmp_iID) != nullptr) return tmp_iID;
  LogAddEntry(std::string("Cannot find iID of sound with strID = ") + tmp_pszID, LOG_KIND_FAILED);
  return -1;
}

void CMorvane::SFX_SoundUnload(const char* fp_pszID) {
  M2D_CHECKPOINT;
  if (!SFX_HasOutput()) return;
  const char* tmp_pszID = fp_pszID != nullptr ? fp_pszID : "";
  LogAddBlankLines(1);
  LogAddEntry(std::string("Unloading sound. strID = ") + tmp_pszID, LOG_KIND_STEP);
  CSmartID::SetIID(tmp_pszID, -1);
  const int tmp_iID = soundsManager->FindItem(tmp_pszID);
  M2DSound* tmp_pSound = soundsManager->GetItem(tmp_iID);
  if (tmp_pSound == nullptr) {
    LogAddEntry("Failed.", LOG_KIND_FAILED);
    return;
  }
  tmp_pSound->Free();
  soundsManager->FreeItem(tmp_iID);
  LogAddEntry("Done.", LOG_KIND_SUCCESS);
}

void CMorvane::SFX_SoundUnload(int fp_iID) {
  M2D_CHECKPOINT;
  if (!SFX_HasOutput()) return;
  LogAddBlankLines(1);
  LogAddEntry("Unloading sound. iID = " + std::to_string(fp_iID), LOG_KIND_STEP);
  M2DSound* tmp_pSound = soundsManager->GetItem(fp_iID);
  if (tmp_pSound == nullptr) {
    LogAddEntry("Failed.", LOG_KIND_FAILED);
    return;
  }
  tmp_pSound->Free();
  soundsManager->FreeItem(fp_iID);
  CSmartID::ResetIID(fp_iID, SMARTID_RES_SOUND);
  LogAddEntry("Done.", LOG_KIND_SUCCESS);
}

// {==== Playback =============================================================

void CMorvane::SFX_SoundPlay(int fp_iID, std::uint8_t fp_bLoop, int fp_iFreq, int fp_iVolume,
                             int fp_iPan) {
  M2D_CHECKPOINT;
  if (!SFX_HasOutput() || AppInactive()) return;
  SFX_GetSound(fp_iID)->Play(fp_bLoop, fp_iFreq, fp_iVolume, fp_iPan);
}

void CMorvane::SFX_SoundPlay(const CSmartID& fp_rID, std::uint8_t fp_bLoop, int fp_iFreq,
                             int fp_iVolume, int fp_iPan) {
  M2D_CHECKPOINT;
  SFX_SoundPlay(fp_rID.iID, fp_bLoop, fp_iFreq, fp_iVolume, fp_iPan);
}

void CMorvane::SFX_SoundStop(int fp_iID) {
  M2D_CHECKPOINT;
  if (!SFX_HasOutput() || AppInactive()) return;
  SFX_GetSound(fp_iID)->Stop();
}

void CMorvane::SFX_SoundStop(const CSmartID& fp_rID) {
  M2D_CHECKPOINT;
  SFX_SoundStop(fp_rID.iID);
}

void CMorvane::SFX_SoundPause(int fp_iID) {
  M2D_CHECKPOINT;
  if (!SFX_HasOutput() || AppInactive()) return;
  SFX_GetSound(fp_iID)->Pause();
}

void CMorvane::SFX_SoundPause(const CSmartID& fp_rID) {
  M2D_CHECKPOINT;
  SFX_SoundPause(fp_rID.iID);
}

void CMorvane::SFX_SoundResume(int fp_iID) {
  M2D_CHECKPOINT;
  if (!SFX_HasOutput() || AppInactive()) return;
  SFX_GetSound(fp_iID)->Resume();
}

void CMorvane::SFX_SoundResume(const CSmartID& fp_rID) {
  M2D_CHECKPOINT;
  SFX_SoundResume(fp_rID.iID);
}

void CMorvane::SFX_SoundSetAttributes(int fp_iID, int fp_iFreq, int fp_iVolume, int fp_iPan) {
  M2D_CHECKPOINT;
  if (!SFX_HasOutput() || AppInactive()) return;
  SFX_GetSound(fp_iID)->SetAttributes(fp_iFreq, fp_iVolume, fp_iPan);
}

void CMorvane::SFX_SoundSetAttributes(const CSmartID& fp_rID, int fp_iFreq, int fp_iVolume,
                                      int fp_iPan) {
  M2D_CHECKPOINT;
  SFX_SoundSetAttributes(fp_rID.iID, fp_iFreq, fp_iVolume, fp_iPan);
}

void CMorvane::SFX_SoundSlideAttributes(int fp_iID, int fp_iFreq, int fp_iVolume, int fp_iPan,
                                        int fp_iTime) {
  M2D_CHECKPOINT;
  if (!SFX_HasOutput() || AppInactive()) return;
  SFX_GetSound(fp_iID)->SlideAttributes(fp_iFreq, fp_iVolume, fp_iPan, fp_iTime);
}

void CMorvane::SFX_SoundSlideAttributes(const CSmartID& fp_rID, int fp_iFreq, int fp_iVolume,
                                        int fp_iPan, int fp_iTime) {
  M2D_CHECKPOINT;
  SFX_SoundSlideAttributes(fp_rID.iID, fp_iFreq, fp_iVolume, fp_iPan, fp_iTime);
}

std::uint32_t CMorvane::SFX_SoundGetStatus(int fp_iID) {
  M2D_CHECKPOINT;
  if (!SFX_HasOutput()) return 0;
  return SFX_GetSound(fp_iID)->GetStatus();
}

std::uint32_t CMorvane::SFX_SoundGetStatus(const CSmartID& fp_rID) {
  M2D_CHECKPOINT;
  return SFX_SoundGetStatus(fp_rID.iID);
}

// }====
