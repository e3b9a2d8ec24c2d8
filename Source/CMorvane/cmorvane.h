// CMorvane, the engine: one object per process holding the state of every
// subsystem. This header declares the core (start, log, timer, callbacks,
// message pump, per-frame update, focus), and each subsystem's operations,
// which are implemented in that subsystem's own module.
#pragma once

#include <cstdint>
#include <map>
#include <string>

#include "Platform/os/os.h"
#include "cmorvane_ehs.h"
#include "cmorvane_utils_itemsmanager.h"
#include "cmorvane_gfx_types.h"
#include "cmorvane_scr_types.h"

class CM2DResource;
class CSmartID;
// Sound objects (cmorvane_sfx_classes, cmorvane_sfx_playlists).
class M2DSound;
class M2DMusic;
class M2DPlaylist;

namespace gfx {
class IDirect3D8;
class IDirect3DDevice8;
}  // namespace gfx

namespace input {
class IDirectInput8;
class IDirectInputDevice8;
}  // namespace input

// Resource loaders: LoadRes gets the bytes in memory for the time of the call;
// LoadResEx gets the file and the position and reads the bytes itself.
using LoadRes = void (*)(const char* data, int size, const char* strID, int tag, int data1,
                         int data2, int data3);
using LoadResEx = void (*)(const char* fileName, int offset, int size, const char* strID,
                           int tag, int data1, int data2, int data3);

using M2DCallback = void (*)();

// Log entry kinds and separator styles.
constexpr int LOG_KIND_UNKNOWN = 0;
constexpr int LOG_KIND_STEP = 1;
constexpr int LOG_KIND_MINOR = 2;
constexpr int LOG_KIND_HEADING = 3;
constexpr int LOG_KIND_SUCCESS = 4;
constexpr int LOG_KIND_FAILED = 5;
constexpr int LOG_KIND_SEVERE = 6;

// Resource delivery modes.
constexpr int RES_MODE_NONE = 0;
constexpr int RES_MODE_XML = 1;
constexpr int RES_MODE_PAK = 2;

class CMorvane {
 public:
  CMorvane();
  ~CMorvane() noexcept(false);
  CMorvane(const CMorvane&) = delete;
  CMorvane& operator=(const CMorvane&) = delete;

  // {==== Core ===============================================================
  void Start(const char* fp_pszTitle, const char* fp_pszVersion);
  void RegisterCallback(M2DCallback fp_pFunction, int fp_iKind);
  int PumpMessages();
  void UpdateTimer();
  int UpdateAllSystems();
  float GetTimerDelta() const { return deltaSec; }
  int GetFPS() const { return fps; }
  void OnFocusGained();
  void OnFocusLost();
  // }====

  // {==== Log ("gamelog.txt"; every call opens, appends, closes) ============
  static void LogAddEntry(const std::string& fp_strText, int fp_iKind);
  static void LogAddSeparator(int fp_iStyle);
  static void LogAddBlankLines(int fp_iCount);
  static void LogAddLine(const std::string& fp_strText);
  // }====

  // {==== Resources (cmorvane_res_main) =====================================
  void RES_Init();
  void RES_Deinit();
  void RegisterLoadRes(LoadRes fp_pFunction, const char* fp_pszTypeID);
  void RegisterLoadResEx(LoadResEx fp_pFunction, const char* fp_pszTypeID);
  void LoadResource(const char* fp_pszID);
  void LoadResources(int fp_iTag);
  int RES_GetMode() const { return resMode; }
  TItemsManager<CM2DResource>* RES_GetManager() const { return pResManager; }
  // }====

  // Initialised flags, in this order.
  std::uint8_t bGfxPreInitialized = 0;
  std::uint8_t bResInitialized = 0;
  std::uint8_t bInpInitialized = 0;
  std::uint8_t bSfxInitialized = 0;
  std::uint8_t bScrInitialized = 0;
  std::uint8_t bGfxInitialized = 0;

  std::string title;
  std::string version;

  // Timer.
  std::uint32_t timeNow = 0;
  std::uint32_t timeLast = 0;
  std::int32_t deltaMs = 1;
  float deltaSec = 0.0f;
  std::int32_t fpsAccumMs = 0;
  std::int32_t fpsFrames = 1;
  std::int32_t fps = 1;

  M2DCallback onFocusLost = nullptr;
  M2DCallback onFocusRestored = nullptr;
  M2DCallback onTermination = nullptr;

  std::uint8_t bXMLEncryptMode = 0;
  std::uint8_t fatalError = 0;

  // Each subsystem declares its operations and its state in its own part of
  // the class: graphics (cmorvane_gfx_*), input (cmorvane_inp_*), sound
  // (cmorvane_sfx_*), scripts (cmorvane_scr_*).
#include "cmorvane_gfx_members.inc"
#include "cmorvane_inp_members.inc"
#include "cmorvane_sfx_members.inc"
#include "cmorvane_scr_members.inc"

 public:

 private:
  void RES_ProcessXMLPack(const std::string& fp_strPath);
  void RES_ProcessPakPack(const std::string& fp_strPath);
  void RES_LoadRecord(CM2DResource* fp_pRes);
  // Registers the loaders of the standard type IDs (cmorvane_res_loaders).
  void RES_RegisterStandardLoaders();

  // Resources.
  int resMode = RES_MODE_NONE;
  TItemsManager<CM2DResource>* pResManager = nullptr;
  std::map<std::string, LoadRes> mapLoadRes;
  std::map<std::string, LoadResEx> mapLoadResEx;
};

CMorvane* GetEngine();

// 1 while the game window is the active window (owned by the window
// procedure, mrv_window).
extern std::uint8_t g_bAppActive;
