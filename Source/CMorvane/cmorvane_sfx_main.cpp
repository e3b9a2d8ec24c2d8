// The sound subsystem's start-up and shut-down, the whole-output operations
// (pause, resume, global volumes, CPU usage) and the per-frame update that
// advances playlists and starts the pending piece of music.
static constexpr int kM2DFileID = 130;

#include <new>

#include "Platform/audio/audio.h"
#include "cmorvane.h"
#include "cmorvane_sfx_classes.h"
#include "cmorvane_sfx_playlists.h"

namespace {

// Creates one of the three managers with its log lines; a manager that cannot
// be created is fatal.
template <class T>
TItemsManager<T>* CreateManager(const char* fp_pszStep, const char* fp_pszError) {
  M2D_CHECKPOINT;
  CMorvane::LogAddBlankLines(1);
  CMorvane::LogAddEntry(fp_pszStep, LOG_KIND_STEP);
  TItemsManager<T>* tmp_pManager = new (std::nothrow) TItemsManager<T>();
  if (tmp_pManager == nullptr) M2D_THROW(EHS_TYPE_GENERAL, 0, fp_pszError);
  CMorvane::LogAddBlankLines(1);
  CMorvane::LogAddEntry("Done.", LOG_KIND_SUCCESS);
  return tmp_pManager;
}

// Frees every item of a manager and deletes it, with its log lines.
template <class T>
void DestroyManager(TItemsManager<T>*& fp_rpManager, const char* fp_pszStep) {
  M2D_CHECKPOINT;
  CMorvane::LogAddEntry(fp_pszStep, LOG_KIND_STEP);
  if (fp_rpManager == nullptr) {
    CMorvane::LogAddEntry("Failed.", LOG_KIND_FAILED);
    return;
  }
  TItemsManager<T>* tmp_pManager = fp_rpManager;
  // Nothing can reach the items any more once the pointer is cleared, even if
  // freeing one of them fails.
  fp_rpManager = nullptr;
  try {
    tmp_pManager->FreeAllItems();
  } catch (...) {
    delete tmp_pManager;
    throw;
  }
  delete tmp_pManager;
  CMorvane::LogAddEntry("Done.", LOG_KIND_SUCCESS);
}

}  // namespace

bool CMorvane::SFX_HasOutput() const {
  M2D_CHECKPOINT;
  return noSoundDevice == 0 && soundsManager != nullptr && musicManager != nullptr &&
         playlistsManager != nullptr;
}

void CMorvane::SFX_Init(int fp_iFrequency) {
  M2D_CHECKPOINT;
  bSfxInitialized = 1;
  LogAddSeparator(1);
  LogAddEntry("Initializing Sound and Music Subsystem...", LOG_KIND_HEADING);

  if (pD3DDevice == nullptr)
    M2D_THROW(EHS_TYPE_GAME, 0,
              "Sound and Music system should be initialized after graphics system!");

  // The frequency is handed on as the library's unsigned value; the library
  // refuses rates outside what an output can run at (a negative one too).
  const audio::DWORD tmp_uFrequency =
      fp_iFrequency > 0 ? static_cast<audio::DWORD>(fp_iFrequency) : 0u;
  if (audio::BASS_Init(sfxOutputDevice, tmp_uFrequency, audio::BASS_DEVICE_KEEPVOLUME, hWnd)) {
    noSoundDevice = 0;
  } else {
    noSoundDevice = 1;
    const audio::BOOL tmp_bSilent = audio::BASS_Init(audio::BASS_DEVICE_SILENT, tmp_uFrequency,
                                                     audio::BASS_DEVICE_KEEPVOLUME, hWnd);
    LogAddEntry("No sound card available!", LOG_KIND_FAILED);
    if (!tmp_bSilent)
      M2D_THROW(EHS_TYPE_GENERAL, audio::BASS_ErrorGetCode(), "Cannot initialize BASS library!");
  }

  if (!audio::BASS_Start())
    M2D_THROW(EHS_TYPE_GENERAL, audio::BASS_ErrorGetCode(), "Cannot start digital output!");

  soundsManager =
      CreateManager<M2DSound>("Creating Sounds Manager...", "Cannot create Sounds Manager!");
  musicManager =
      CreateManager<M2DMusic>("Creating Music Manager...", "Cannot create Music Manager!");
  playlistsManager = CreateManager<M2DPlaylist>("Creating Playlists Manager...",
                                                "Cannot create Playlists Manager!");

  currentMusic = -1;
  pendingMusic = -1;
  pendingLoop = 0;
  currentPlaylist = -1;
  LogAddEntry("Done.", LOG_KIND_SUCCESS);
  LogAddSeparator(1);
  LogAddBlankLines(1);
}

void CMorvane::SFX_Shutdown() {
  M2D_CHECKPOINT;
  LogAddSeparator(1);
  LogAddEntry("Deinitializing Sound and Music Subsystem...", LOG_KIND_HEADING);
  // The music stops with its objects; nothing may start it again afterwards.
  currentMusic = -1;
  pendingMusic = -1;
  pendingLoop = 0;
  currentPlaylist = -1;
  DestroyManager(soundsManager, "Destroying Sounds Manager...");
  DestroyManager(musicManager, "Destroying Music Manager...");
  DestroyManager(playlistsManager, "Destroying Playlists Manager...");
  audio::BASS_Stop();
  audio::BASS_Free();
  // Shut down once: the destructor does not run it a second time.
  bSfxInitialized = 0;
  LogAddEntry("Done.", LOG_KIND_SUCCESS);
  LogAddSeparator(1);
  LogAddBlankLines(1);
}

void CMorvane::SFX_Update() {
  M2D_CHECKPOINT;
  if (bSfxInitialized != 1 || !SFX_HasOutput()) return;
  // The piece that just ended is still currentMusic while the playlist picks
  // the next one, so the choice can avoid it.
  if (SFX_MusicGetStatus() == 0 && currentPlaylist != -1) SFX_PlaylistNext();
  if (SFX_MusicGetStatus() == 0) currentMusic = -1;
  if (pendingMusic != -1 && currentMusic == -1) {
    currentMusic = pendingMusic;
    pendingMusic = -1;
    M2DMusic* tmp_pMusic = SFX_GetCurrentMusic();
    if (tmp_pMusic == nullptr) M2D_THROW(EHS_TYPE_GENERAL, 0, "Cannot play music - invalid ID!");
    tmp_pMusic->Play(pendingLoop);
  }
}

void CMorvane::SFX_Pause() {
  M2D_CHECKPOINT;
  if (!SFX_HasOutput()) return;
  audio::BASS_Pause();
}

void CMorvane::SFX_Resume() {
  M2D_CHECKPOINT;
  if (!SFX_HasOutput()) return;
  audio::BASS_Start();
}

void CMorvane::SFX_SetGlobalVolumes(int fp_iMusic, int fp_iEffects) {
  M2D_CHECKPOINT;
  if (!SFX_HasOutput()) return;
  audio::BASS_SetGlobalVolumes(fp_iMusic, fp_iEffects, fp_iEffects);
}

float CMorvane::SFX_GetCPU() {
  M2D_CHECKPOINT;
  if (!SFX_HasOutput()) return 0.0f;
  return audio::BASS_GetCPU();
}
