// The resource subsystem: the catalogue of every resource in ./DATA/, the two
// registries of loaders by type ID, and loading by string ID or by tag.
//
// Where resources come from
// -------------------------
// The data folder is "./DATA/", matched case-insensitively on disk (a folder
// named "data" or "Data" is the same folder); every path below goes through
// os::ResolvePath before a file is opened. The folder is looked at once, at
// initialisation, and one delivery mode is chosen:
//   1. XML mode when any "*.xml" file is there. Each one is a descriptor with
//      the root "respack"; each child names one loose file relative to
//      ./DATA/ (subfolders allowed) and its id, typeid, tag and data1..3.
//   2. PAK mode only when there is no descriptor and some "*.pak" file. Each
//      pack holds a directory and the bytes of its resources; XML resources
//      in packs are scrambled, so the XML encrypt mode is switched on.
//   3. Otherwise there is no data (logged as a warning, not an error).
// Files are processed in name order. A string ID is unique across all
// descriptors (a second one is an error); across packs the first wins.
// The catalogue is fixed after initialisation; records are only described,
// and their bytes are read each time a loader asks for them.
static constexpr int kM2DFileID = 121;

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <memory>
#include <new>
#include <string>
#include <system_error>
#include <vector>

#include "Platform/os/os.h"
#include "cmorvane.h"
#include "cmorvane_res_cres.h"
#include "cmorvane_utils_xml.h"

namespace {

const char* const kDataFolder = "./DATA/";

// Size of a loose resource file, or -1 when it is not a readable regular file.
// Sizes beyond 32 bits saturate.
std::int64_t LooseFileSize(const std::string& fp_strPath) {
  M2D_CHECKPOINT;
  const std::string tmp_strResolved = os::ResolvePath(fp_strPath.c_str());
  std::error_code tmp_Error;
  if (!std::filesystem::is_regular_file(tmp_strResolved, tmp_Error)) return -1;
  std::FILE* tmp_pFile = std::fopen(tmp_strResolved.c_str(), "rb");
  if (tmp_pFile == nullptr) return -1;
  std::int64_t tmp_iSize = -1;
  if (::fseeko(tmp_pFile, 0, SEEK_END) == 0) tmp_iSize = ::ftello(tmp_pFile);
  std::fclose(tmp_pFile);
  if (tmp_iSize > 0x7FFFFFFF) tmp_iSize = 0x7FFFFFFF;
  return tmp_iSize;
}

}  // namespace

// {==== Initialisation and shut-down ========================================

void CMorvane::RES_Init() {
  M2D_CHECKPOINT;
  if (pResManager != nullptr)
    M2D_THROW(EHS_TYPE_GAME, 0,
              "Error in CMorvane::RES_Init: resources subsystem is already initialized!");
  bResInitialized = 1;
  resMode = RES_MODE_NONE;
  LogAddSeparator(1);
  LogAddBlankLines(1);
  LogAddEntry("Initializing Resources Subsystem...", LOG_KIND_HEADING);
  LogAddBlankLines(1);

  pResManager = new (std::nothrow) TItemsManager<CM2DResource>();
  if (pResManager == nullptr) M2D_THROW(EHS_TYPE_GENERAL, 0, "Cannot create Resources Manager!");
  mapLoadRes.clear();
  mapLoadResEx.clear();

  std::vector<std::string> tmp_vPacks = os::FindFiles("./DATA/*.xml");
  if (!tmp_vPacks.empty()) {
    resMode = RES_MODE_XML;
  } else {
    tmp_vPacks = os::FindFiles("./DATA/*.pak");
    if (!tmp_vPacks.empty()) {
      resMode = RES_MODE_PAK;
      bXMLEncryptMode = 1;
    }
  }

  LogAddBlankLines(1);
  if (resMode == RES_MODE_XML) {
    LogAddEntry("Resources Subsystem operates in XML mode.", LOG_KIND_STEP);
  } else if (resMode == RES_MODE_PAK) {
    LogAddEntry("Resources Subsystem operates in PAK mode.", LOG_KIND_STEP);
  } else {
    LogAddEntry("No resources were found!", LOG_KIND_FAILED);
  }

  if (resMode != RES_MODE_NONE) {
    for (const std::string& tmp_strName : tmp_vPacks) {
      const std::string tmp_strPath = kDataFolder + tmp_strName;
      if (resMode == RES_MODE_XML) {
        RES_ProcessXMLPack(tmp_strPath);
      } else {
        RES_ProcessPakPack(tmp_strPath);
      }
    }
    LogAddBlankLines(1);
    LogAddEntry(std::to_string(tmp_vPacks.size()) + " resource packs found.", LOG_KIND_SUCCESS);
    LogAddBlankLines(1);
  }

  LogAddBlankLines(1);
  LogAddEntry("Registering resources-loading functions for standart resource types...",
              LOG_KIND_MINOR);
  LogAddBlankLines(1);
  RES_RegisterStandardLoaders();
  LogAddBlankLines(1);
  LogAddEntry("Done.", LOG_KIND_SUCCESS);
  LogAddBlankLines(1);

  LogAddEntry("Done.", LOG_KIND_SUCCESS);
  LogAddBlankLines(1);
  LogAddSeparator(1);
  LogAddBlankLines(1);
}

void CMorvane::RES_Deinit() {
  M2D_CHECKPOINT;
  LogAddSeparator(1);
  LogAddBlankLines(1);
  LogAddEntry("Deinitializing Resources Subsystem...", LOG_KIND_HEADING);
  LogAddBlankLines(1);
  if (pResManager != nullptr) {
    pResManager->FreeAllItems();
    delete pResManager;
    pResManager = nullptr;
  }
  // Both registries go with the subsystem, so a later initialisation starts
  // from the standard registrations again.
  mapLoadRes.clear();
  mapLoadResEx.clear();
  LogAddEntry("Done.", LOG_KIND_SUCCESS);
  LogAddBlankLines(1);
  LogAddSeparator(1);
  LogAddBlankLines(1);
}

// }====

// {==== Building the catalogue ==============================================

void CMorvane::RES_ProcessXMLPack(const std::string& fp_strPath) {
  M2D_CHECKPOINT;
  LogAddBlankLines(1);
  LogAddEntry("Processing ResPack: " + fp_strPath, LOG_KIND_STEP);
  LogAddBlankLines(1);

  // Descriptors are plain text whatever the XML encrypt mode says.
  CXMLDocument tmp_Doc;
  tmp_Doc.LoadFromFile(os::ResolvePath(fp_strPath.c_str()).c_str(), false);
  tmp_Doc.Parse();
  CXMLNode* tmp_pRoot = tmp_Doc.GetRoot();
  if (tmp_pRoot == nullptr || std::strcmp(tmp_pRoot->GetName(), "respack") != 0)
    M2D_THROW(EHS_TYPE_GAME, 0, "Wrong XML ResPack descriptor: " + fp_strPath);

  const int tmp_iCount = tmp_pRoot->GetChildCount();
  for (int i = 0; i < tmp_iCount; ++i) {
    CXMLNode* tmp_pNode = tmp_pRoot->GetChild(i);
    if (tmp_pNode == nullptr) continue;
    const char* tmp_pszID = tmp_pNode->GetAttribute("id");
    if (pResManager->FindItem(tmp_pszID) != -1)
      M2D_THROW(EHS_TYPE_GAME, 0, std::string("Dublicated resource. ID = ") + tmp_pszID);

    const char* tmp_pszFile = tmp_pNode->GetAttribute("filename");
    const std::string tmp_strFile = kDataFolder + std::string(tmp_pszFile);
    const std::int64_t tmp_iSize = LooseFileSize(tmp_strFile);
    if (tmp_iSize < 0)
      M2D_THROW(EHS_TYPE_GAME, 0,
                std::string("Cannot find file declared in ResPack. Filename = ") + tmp_pszFile);
    if (tmp_iSize < 1)
      M2D_THROW(EHS_TYPE_GENERAL, 0, "Wrong resource file - check if it exists!");

    const int tmp_iTag = RES_ParseDecimal(tmp_pNode->GetAttribute("tag"));
    const int tmp_iData1 = RES_ParseDecimal(tmp_pNode->GetAttribute("data1"));
    const int tmp_iData2 = RES_ParseDecimal(tmp_pNode->GetAttribute("data2"));
    const int tmp_iData3 = RES_ParseDecimal(tmp_pNode->GetAttribute("data3"));

    std::unique_ptr<CM2DResource> tmp_pRes(new CM2DResource(
        tmp_pszID, tmp_pNode->GetAttribute("typeid"), tmp_iTag, tmp_strFile.c_str(), 0,
        static_cast<int>(tmp_iSize), tmp_iData1, tmp_iData2, tmp_iData3));
    pResManager->AddItem(tmp_pRes.get(), tmp_pszID, tmp_iTag);
    tmp_pRes.release();
  }

  LogAddEntry(std::to_string(tmp_iCount) + " resources found.", LOG_KIND_SUCCESS);
  LogAddBlankLines(1);
}

void CMorvane::RES_ProcessPakPack(const std::string& fp_strPath) {
  M2D_CHECKPOINT;
  LogAddBlankLines(1);
  LogAddEntry("Processing ResPack: " + fp_strPath, LOG_KIND_STEP);
  LogAddBlankLines(1);

  M2DPakDirectory tmp_Dir;
  if (!RES_ReadPakDirectory(os::ResolvePath(fp_strPath.c_str()).c_str(), &tmp_Dir))
    M2D_THROW(EHS_TYPE_GENERAL, 0, "Cannot open ResPack file: " + fp_strPath);

  for (const M2DPakEntry& tmp_rEntry : tmp_Dir.entries) {
    std::unique_ptr<CM2DResource> tmp_pRes(new CM2DResource(
        tmp_rEntry.strID.c_str(), tmp_rEntry.typeID.c_str(), tmp_rEntry.tag, fp_strPath.c_str(),
        tmp_rEntry.offset, tmp_rEntry.size, tmp_rEntry.data1, tmp_rEntry.data2,
        tmp_rEntry.data3));
    // A record must never read outside its pack.
    if (!RES_PakEntryInFile(tmp_rEntry, tmp_Dir.fileSize))
      M2D_THROW(EHS_TYPE_GAME, 0,
                "Invalid resource in ResPack - data lies outside the file. ID = " +
                    tmp_rEntry.strID);
    if (pResManager->FindItem(tmp_rEntry.strID.c_str()) != -1) continue;  // the first one stays
    pResManager->AddItem(tmp_pRes.get(), tmp_rEntry.strID.c_str(), tmp_rEntry.tag);
    tmp_pRes.release();
  }

  if (tmp_Dir.truncated) {
    LogAddEntry("Warning: ResPack ends inside its directory! Entries read = " +
                    std::to_string(tmp_Dir.entries.size()),
                LOG_KIND_FAILED);
  }
  LogAddEntry(std::to_string(tmp_Dir.count) + " resources found.", LOG_KIND_SUCCESS);
  LogAddBlankLines(1);
}

// }====

// {==== Loader registries ===================================================

void CMorvane::RegisterLoadRes(LoadRes fp_pFunction, const char* fp_pszTypeID) {
  M2D_CHECKPOINT;
  if (fp_pFunction == nullptr || fp_pszTypeID == nullptr || fp_pszTypeID[0] == '\0')
    M2D_THROW(EHS_TYPE_GAME, 0, "Invalid arguments in CMorvane::RegisterLoadRes!");
  if (mapLoadRes.find(fp_pszTypeID) != mapLoadRes.end())
    M2D_THROW(EHS_TYPE_GAME, 0,
              std::string("LoadRes function already registered for TypeID = ") + fp_pszTypeID);
  mapLoadRes.emplace(fp_pszTypeID, fp_pFunction);
}

void CMorvane::RegisterLoadResEx(LoadResEx fp_pFunction, const char* fp_pszTypeID) {
  M2D_CHECKPOINT;
  if (fp_pFunction == nullptr || fp_pszTypeID == nullptr || fp_pszTypeID[0] == '\0')
    M2D_THROW(EHS_TYPE_GAME, 0, "Invalid arguments in CMorvane::RegisterLoadResEx!");
  if (mapLoadResEx.find(fp_pszTypeID) != mapLoadResEx.end())
    M2D_THROW(EHS_TYPE_GAME, 0,
              std::string("LoadResEx function already registered for TypeID = ") + fp_pszTypeID);
  mapLoadResEx.emplace(fp_pszTypeID, fp_pFunction);
}

// }====

// {==== Loading =============================================================

void CMorvane::LoadResource(const char* fp_pszID) {
  M2D_CHECKPOINT;
  // After shut-down the catalogue is gone: that counts as not initialised.
  if (!bResInitialized || pResManager == nullptr)
    M2D_THROW(EHS_TYPE_GAME, 0, "Resources subsystem was not initialized!");
  const char* tmp_pszID = fp_pszID != nullptr ? fp_pszID : "";
  const int tmp_iSlot = tmp_pszID[0] != '\0' ? pResManager->FindItem(tmp_pszID) : -1;
  if (tmp_iSlot == -1) {
    LogAddBlankLines(1);
    LogAddEntry(std::string("Cannot find resource with ID = ") + tmp_pszID, LOG_KIND_FAILED);
    return;
  }
  RES_LoadRecord(pResManager->GetItem(tmp_iSlot));
}

void CMorvane::LoadResources(int fp_iTag) {
  M2D_CHECKPOINT;
  if (!bResInitialized || pResManager == nullptr)
    M2D_THROW(EHS_TYPE_GAME, 0, "Resources subsystem was not initialized!");
  const std::string tmp_strTag = std::to_string(fp_iTag);
  LogAddBlankLines(1);
  LogAddEntry("Loading resources with Tag = " + tmp_strTag, LOG_KIND_MINOR);
  LogAddBlankLines(1);

  // The walk keeps its own slot cursor, so a loader that itself loads a tag
  // group (a script calling M2D_RES_LoadResources) cannot disturb it. The
  // catalogue does not change after initialisation.
  int tmp_iLoaded = 0;
  for (int i = 0; i < pResManager->GetCount(); ++i) {
    CM2DResource* tmp_pRes = pResManager->GetItem(i);
    if (tmp_pRes == nullptr) continue;
    if (fp_iTag != 0 && pResManager->GetTag(i) != fp_iTag) continue;
    RES_LoadRecord(tmp_pRes);
    ++tmp_iLoaded;
  }

  LogAddBlankLines(1);
  LogAddEntry(std::to_string(tmp_iLoaded) + " resources with Tag = " + tmp_strTag + " loaded.",
              LOG_KIND_SUCCESS);
  LogAddBlankLines(1);
}

void CMorvane::RES_LoadRecord(CM2DResource* fp_pRes) {
  M2D_CHECKPOINT;
  if (fp_pRes == nullptr) M2D_THROW(EHS_TYPE_GENERAL, 0, "Resource subsystem was not initialized!");

  const auto tmp_itLoadRes = mapLoadRes.find(fp_pRes->GetTypeID());
  if (tmp_itLoadRes != mapLoadRes.end()) {
    const LoadRes tmp_pLoader = tmp_itLoadRes->second;
    fp_pRes->DataLoad();
    // The bytes are released whatever the loader does, so a failed load can
    // be asked for again.
    try {
      tmp_pLoader(fp_pRes->GetData(), fp_pRes->GetSize(), fp_pRes->GetID(), fp_pRes->GetTag(),
                  fp_pRes->GetData1(), fp_pRes->GetData2(), fp_pRes->GetData3());
    } catch (...) {
      fp_pRes->DataUnLoad();
      throw;
    }
    fp_pRes->DataUnLoad();
    return;
  }

  const auto tmp_itLoadResEx = mapLoadResEx.find(fp_pRes->GetTypeID());
  if (tmp_itLoadResEx != mapLoadResEx.end()) {
    // The loader opens the file itself: hand it the name as it lies on disk.
    const std::string tmp_strFile = os::ResolvePath(fp_pRes->GetFileName());
    tmp_itLoadResEx->second(tmp_strFile.c_str(), fp_pRes->GetOffset(), fp_pRes->GetSize(),
                            fp_pRes->GetID(), fp_pRes->GetTag(), fp_pRes->GetData1(),
                            fp_pRes->GetData2(), fp_pRes->GetData3());
    return;
  }

  M2D_THROW(EHS_TYPE_GAME, 0,
            std::string("Cannot load resource: no function registered for Res_Type = ") +
                fp_pRes->GetTypeID());
}

// }====
