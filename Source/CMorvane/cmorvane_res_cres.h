// CM2DResource, one entry of the resource catalogue: where the bytes of a
// resource lie (a loose file or a stretch of a pack file), its identity and its
// loader parameters. Also the pack-file directory reader and the integer
// reading rules shared by the catalogue and the mkpak tool.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

class CM2DResource {
 public:
  // Raises CEHSException (General) for an empty ID, type ID or file name and
  // for a size of 0 or less.
  CM2DResource(const char* fp_pszID, const char* fp_pszTypeID, int fp_iTag,
               const char* fp_pszFileName, int fp_iOffset, int fp_iSize, int fp_iData1,
               int fp_iData2, int fp_iData3);
  ~CM2DResource();
  CM2DResource(const CM2DResource&) = delete;
  CM2DResource& operator=(const CM2DResource&) = delete;

  // Reads the size bytes at offset of the file into a buffer of the record's
  // own; the file is opened anew each time. A file that cannot be opened or
  // ends before offset + size raises CEHSException (General).
  void DataLoad();
  // Releases the buffer of DataLoad.
  void DataUnLoad();

  // The buffer while loaded, else null.
  const char* GetData() const { return loaded ? data : nullptr; }
  const char* GetFileName() const { return fileName.c_str(); }
  const char* GetID() const { return strID.c_str(); }
  const char* GetTypeID() const { return typeID.c_str(); }
  int GetTag() const { return tag; }
  int GetOffset() const { return offset; }
  int GetSize() const { return size; }
  int GetData1() const { return data1; }
  int GetData2() const { return data2; }
  int GetData3() const { return data3; }
  bool IsLoaded() const { return loaded; }

 private:
  std::string strID;
  std::string typeID;
  int tag;
  std::string fileName;
  int data1;
  int data2;
  int data3;
  int offset;
  int size;
  bool loaded = false;
  char* data = nullptr;
};

// {==== Shared reading rules ================================================

// A decimal integer at the start of the text (leading blanks, optional sign,
// digits up to the first non-digit), saturated to 32 bits; 0 when the text
// does not begin with a number.
std::int32_t RES_ParseDecimal(const char* fp_pszText);

// One directory entry of a pack file.
struct M2DPakEntry {
  std::string strID;
  std::string typeID;
  std::int32_t offset = 0;
  std::int32_t size = 0;
  std::int32_t tag = 0;
  std::int32_t data1 = 0;
  std::int32_t data2 = 0;
  std::int32_t data3 = 0;
};

// The directory of a pack file: the entry count N from the file, the entries
// that could be read (all N unless the file ends inside its directory) and
// the length of the file.
struct M2DPakDirectory {
  std::int32_t count = 0;
  std::vector<M2DPakEntry> entries;
  bool truncated = false;
  std::int64_t fileSize = 0;
};

// Reads the directory of the pack file at fp_pszPath (a path already resolved
// on disk). Returns false when the file cannot be opened.
bool RES_ReadPakDirectory(const char* fp_pszPath, M2DPakDirectory* fp_pDir);

// True when the entry's bytes lie inside a file of fp_iFileSize bytes.
bool RES_PakEntryInFile(const M2DPakEntry& fp_rEntry, std::int64_t fp_iFileSize);

// }====
