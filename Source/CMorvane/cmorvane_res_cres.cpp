// Resource records: identity, location and loader parameters of one resource,
// and reading its bytes for the time a loader needs them. Also the reader of
// pack-file directories and the decimal reading rule of the descriptors.
static constexpr int kM2DFileID = 122;

#include "cmorvane_res_cres.h"

#include <cstdio>
#include <limits>
#include <memory>
#include <new>
#include <utility>

#include "Platform/os/os.h"
#include "cmorvane_ehs.h"

CM2DResource::CM2DResource(const char* fp_pszID, const char* fp_pszTypeID, int fp_iTag,
                           const char* fp_pszFileName, int fp_iOffset, int fp_iSize,
                           int fp_iData1, int fp_iData2, int fp_iData3)
    : tag(fp_iTag),
      data1(fp_iData1),
      data2(fp_iData2),
      data3(fp_iData3),
      offset(fp_iOffset),
      size(fp_iSize) {
  M2D_CHECKPOINT;
  if (fp_pszID == nullptr || fp_pszID[0] == '\0')
    M2D_THROW(EHS_TYPE_GENERAL, 0, "Invalid resource ID!");
  if (fp_pszTypeID == nullptr || fp_pszTypeID[0] == '\0')
    M2D_THROW(EHS_TYPE_GENERAL, 0, "Invalid resource type ID!");
  if (fp_pszFileName == nullptr || fp_pszFileName[0] == '\0')
    M2D_THROW(EHS_TYPE_GENERAL, 0, "Invalid resource filename!");
  if (fp_iSize <= 0)
    M2D_THROW(EHS_TYPE_GENERAL, 0, "Invalide resource name - check if resource file exist!");
  strID = fp_pszID;
  typeID = fp_pszTypeID;
  fileName = fp_pszFileName;
}

CM2DResource::~CM2DResource() {
  M2D_CHECKPOINT;
  // Loaded implies a buffer, so this never raises.
  if (loaded) DataUnLoad();
}

void CM2DResource::DataLoad() {
  M2D_CHECKPOINT;
  if (loaded) M2D_THROW(EHS_TYPE_GENERAL, 0, "Internal error in CM2DResource::DataLoad()!");

  const std::string tmp_strPath = os::ResolvePath(fileName.c_str());
  std::FILE* tmp_pFile = std::fopen(tmp_strPath.c_str(), "rb");
  if (tmp_pFile == nullptr)
    M2D_THROW(EHS_TYPE_GENERAL, 0, "Cannot read resource data. ID = " + strID);

  std::unique_ptr<char[]> tmp_pBuffer(new (std::nothrow) char[static_cast<size_t>(size)]);
  if (!tmp_pBuffer) {
    std::fclose(tmp_pFile);
    M2D_THROW(EHS_TYPE_GENERAL, 0, "Cannot create resource data buffer!");
  }

  // A record never reads outside its file: a negative offset, a failed seek
  // or a file that ends early is an error, not a partly filled buffer.
  bool tmp_bOK = offset >= 0 && ::fseeko(tmp_pFile, static_cast<off_t>(offset), SEEK_SET) == 0;
  if (tmp_bOK) {
    tmp_bOK = std::fread(tmp_pBuffer.get(), 1, static_cast<size_t>(size), tmp_pFile) ==
              static_cast<size_t>(size);
  }
  std::fclose(tmp_pFile);
  if (!tmp_bOK) M2D_THROW(EHS_TYPE_GENERAL, 0, "Cannot read resource data. ID = " + strID);

  data = tmp_pBuffer.release();
  loaded = true;
}

void CM2DResource::DataUnLoad() {
  M2D_CHECKPOINT;
  if (!loaded) M2D_THROW(EHS_TYPE_GENERAL, 0, "Internal error in CM2DResource::DataUnLoad()!");
  if (data == nullptr) M2D_THROW(EHS_TYPE_GENERAL, 0, "Internal error in CM2DResource::DataUnLoad()!");
  delete[] data;
  data = nullptr;
  loaded = false;
}

// {==== Shared reading rules ================================================

std::int32_t RES_ParseDecimal(const char* fp_pszText) {
  M2D_CHECKPOINT;
  if (fp_pszText == nullptr) return 0;
  const char* tmp_p = fp_pszText;
  while (*tmp_p == ' ' || *tmp_p == '\t' || *tmp_p == '\n' || *tmp_p == '\r' || *tmp_p == '\v' ||
         *tmp_p == '\f')
    ++tmp_p;
  bool tmp_bNegative = false;
  if (*tmp_p == '+' || *tmp_p == '-') {
    tmp_bNegative = *tmp_p == '-';
    ++tmp_p;
  }
  // Accumulate in 64 bits and stop growing once past the 32-bit range, so
  // any number of digits saturates instead of overflowing.
  constexpr std::int64_t kLimit = static_cast<std::int64_t>(std::numeric_limits<std::int32_t>::max()) + 1;
  std::int64_t tmp_iValue = 0;
  while (*tmp_p >= '0' && *tmp_p <= '9') {
    if (tmp_iValue <= kLimit) tmp_iValue = tmp_iValue * 10 + (*tmp_p - '0');
    ++tmp_p;
  }
  if (tmp_bNegative) tmp_iValue = -tmp_iValue;
  if (tmp_iValue > std::numeric_limits<std::int32_t>::max()) return std::numeric_limits<std::int32_t>::max();
  if (tmp_iValue < std::numeric_limits<std::int32_t>::min()) return std::numeric_limits<std::int32_t>::min();
  return static_cast<std::int32_t>(tmp_iValue);
}

namespace {

// Sequential reader over an open pack file; every read reports whether the
// file still had the bytes.
class CPakReader {
 public:
  explicit CPakReader(std::FILE* fp_pFile) : file(fp_pFile) {}

  bool ReadInt(std::int32_t* fp_pValue) {
    M2D_CHECKPOINT;
    unsigned char tmp_aBytes[4];
    if (std::fread(tmp_aBytes, 1, 4, file) != 4) return false;
    const std::uint32_t tmp_uValue = static_cast<std::uint32_t>(tmp_aBytes[0]) |
                                     (static_cast<std::uint32_t>(tmp_aBytes[1]) << 8) |
                                     (static_cast<std::uint32_t>(tmp_aBytes[2]) << 16) |
                                     (static_cast<std::uint32_t>(tmp_aBytes[3]) << 24);
    *fp_pValue = static_cast<std::int32_t>(tmp_uValue);
    return true;
  }

  // Bytes up to a 0 byte, which is consumed; false when the file ends first.
  bool ReadString(std::string* fp_pValue) {
    M2D_CHECKPOINT;
    fp_pValue->clear();
    for (;;) {
      const int tmp_iChar = std::fgetc(file);
      if (tmp_iChar == EOF) return false;
      if (tmp_iChar == 0) return true;
      fp_pValue->push_back(static_cast<char>(tmp_iChar));
    }
  }

 private:
  std::FILE* file;
};

}  // namespace

bool RES_ReadPakDirectory(const char* fp_pszPath, M2DPakDirectory* fp_pDir) {
  M2D_CHECKPOINT;
  *fp_pDir = M2DPakDirectory();
  std::FILE* tmp_pFile = std::fopen(fp_pszPath, "rb");
  if (tmp_pFile == nullptr) return false;

  if (::fseeko(tmp_pFile, 0, SEEK_END) == 0) {
    const off_t tmp_iEnd = ::ftello(tmp_pFile);
    fp_pDir->fileSize = tmp_iEnd < 0 ? 0 : static_cast<std::int64_t>(tmp_iEnd);
  }
  std::rewind(tmp_pFile);

  CPakReader tmp_Reader(tmp_pFile);
  if (!tmp_Reader.ReadInt(&fp_pDir->count)) {
    fp_pDir->truncated = true;
  } else {
    for (std::int32_t i = 0; i < fp_pDir->count; ++i) {
      M2DPakEntry tmp_Entry;
      const bool tmp_bOK =
          tmp_Reader.ReadString(&tmp_Entry.strID) && tmp_Reader.ReadString(&tmp_Entry.typeID) &&
          tmp_Reader.ReadInt(&tmp_Entry.offset) && tmp_Reader.ReadInt(&tmp_Entry.size) &&
          tmp_Reader.ReadInt(&tmp_Entry.tag) && tmp_Reader.ReadInt(&tmp_Entry.data1) &&
          tmp_Reader.ReadInt(&tmp_Entry.data2) && tmp_Reader.ReadInt(&tmp_Entry.data3);
      if (!tmp_bOK) {
        fp_pDir->truncated = true;
        break;
      }
      fp_pDir->entries.push_back(std::move(tmp_Entry));
    }
  }
  std::fclose(tmp_pFile);
  return true;
}

bool RES_PakEntryInFile(const M2DPakEntry& fp_rEntry, std::int64_t fp_iFileSize) {
  M2D_CHECKPOINT;
  return fp_rEntry.offset >= 0 && fp_rEntry.size > 0 &&
         static_cast<std::int64_t>(fp_rEntry.offset) + fp_rEntry.size <= fp_iFileSize;
}

// }====
