// The engine's one exception class, the checkpoints that place a fault in the
// source, the assertion, the fault translator and the crash record.
#pragma once

#include <cstdint>
#include <string>

// Exception types.
constexpr int EHS_TYPE_UNKNOWN = 0;
constexpr int EHS_TYPE_GENERAL = 1;
constexpr int EHS_TYPE_GAME = 2;
constexpr int EHS_TYPE_WIN32 = 3;
constexpr int EHS_TYPE_LUA = 4;
constexpr int EHS_TYPE_LUAGLUE = 5;
constexpr int EHS_TYPE_INSCRIPT = 6;

class CEHSException {
 public:
  CEHSException(int fp_iType, std::int32_t fp_iCode, std::string fp_strDescription,
                std::string fp_strFile, int fp_iLine);

  const char* GetTypeName() const;
  // Appends the crash record to "ehslog.txt"; a file that cannot be opened
  // drops the record.
  void WriteCrashRecord() const;

  int type;
  std::int32_t code;
  std::string description;
  std::string file;
  int line;
};

// The name printed for an exception type ("General.", ..., "Undefined type!").
const char* EHS_GetTypeName(int fp_iType);

// {==== Checkpoints ==========================================================
// Two stores, inline, at the entry of nearly every function. Each source file
// defines its fixed number first:  static constexpr int kM2DFileID = 112;

extern volatile std::int32_t g_iEHSCheckpointFile;
extern volatile std::int32_t g_iEHSCheckpointLine;

inline void Checkpoint(std::int32_t fp_iFile, std::int32_t fp_iLine) {
  g_iEHSCheckpointFile = fp_iFile;
  g_iEHSCheckpointLine = fp_iLine;
}
inline std::int32_t GetCheckpointFile() { return g_iEHSCheckpointFile; }
inline std::int32_t GetCheckpointLine() { return g_iEHSCheckpointLine; }

#define M2D_CHECKPOINT ::Checkpoint(kM2DFileID, __LINE__)

// }====

// Builds the exception with the throw site's file and line and throws it.
#define M2D_THROW(type, code, desc) \
  throw ::CEHSException((type), static_cast<std::int32_t>(code), (desc), __FILE__, __LINE__)

// Throws type 1, code = the value's truth (0), "ZIZ Assertion failed." when the
// value is zero or null.
#define ZIZAssert(value)                                                       \
  do {                                                                         \
    if (!(value)) M2D_THROW(EHS_TYPE_GENERAL, 0, "ZIZ Assertion failed.");    \
  } while (0)

// Turns a fault code into CEHSException (type 3) when the code is in the
// table; returns for any other code.
void TranslateFault(std::uint32_t fp_uCode, const void* fp_pInfo);
// Registers TranslateFault with the platform's fault handlers.
void InstallFaultTranslator();
