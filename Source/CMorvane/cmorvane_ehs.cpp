// The exception class, its type names, the fault translation table and the
// crash record written to "ehslog.txt".
#include "cmorvane_ehs.h"

#include <cstdio>

#include "Platform/os/os.h"

volatile std::int32_t g_iEHSCheckpointFile = 0;
volatile std::int32_t g_iEHSCheckpointLine = 0;

CEHSException::CEHSException(int fp_iType, std::int32_t fp_iCode, std::string fp_strDescription,
                             std::string fp_strFile, int fp_iLine)
    : type(fp_iType),
      code(fp_iCode),
      description(std::move(fp_strDescription)),
      file(std::move(fp_strFile)),
      line(fp_iLine) {}

const char* EHS_GetTypeName(int fp_iType) {
  switch (fp_iType) {
    case EHS_TYPE_UNKNOWN: return "Unknown.";
    case EHS_TYPE_GENERAL: return "General.";
    case EHS_TYPE_GAME: return "Game.";
    case EHS_TYPE_WIN32: return "Win32.";
    case EHS_TYPE_LUA: return "Lua.";
    case EHS_TYPE_LUAGLUE: return "Lua glue function.";
    case EHS_TYPE_INSCRIPT: return "In-script.";
    default: return "Undefined type!";
  }
}

const char* CEHSException::GetTypeName() const { return EHS_GetTypeName(type); }

void CEHSException::WriteCrashRecord() const {
  os::SYSTEMTIME tmp_Time;
  os::GetLocalTime(&tmp_Time);
  std::FILE* tmp_pFile = std::fopen("ehslog.txt", "a");
  if (tmp_pFile == nullptr) return;
  std::fprintf(tmp_pFile, "\n\n\n");
  std::fprintf(tmp_pFile, "Date: %d.%d.%d\n", tmp_Time.wDay, tmp_Time.wMonth, tmp_Time.wYear);
  std::fprintf(tmp_pFile, "Time: %d:%d\n", tmp_Time.wHour, tmp_Time.wMinute);
  std::fprintf(tmp_pFile, "Exception type: %s\n", GetTypeName());
  std::fprintf(tmp_pFile, "Exception code: %d\n", static_cast<int>(code));
  std::fprintf(tmp_pFile, "Exception desc: %s\n", description.c_str());
  std::fprintf(tmp_pFile, "File: %s\n", file.c_str());
  std::fprintf(tmp_pFile, "Line: %d\n", line);
  std::fprintf(tmp_pFile, "Last checkpoint:\n");
  std::fprintf(tmp_pFile, "   FileID: %d\n", static_cast<int>(GetCheckpointFile()));
  std::fprintf(tmp_pFile, "   Line:   %d\n", static_cast<int>(GetCheckpointLine()));
  std::fclose(tmp_pFile);
}

namespace {

struct TFaultName {
  std::uint32_t code;
  const char* description;
};

const TFaultName kFaultTable[] = {
    {0x80000002u, "Data type misalingment."},
    {0x80000003u, "Breakpoint."},
    {0x80000004u,
     "A trace trap or other single-instruction mechanism signaled that one instruction has been "
     "executed."},
    {0xC0000005u, "Access violation."},
    {0xC0000006u, "Page error."},
    {0xC000001Du, "Illegal instruction."},
    {0xC0000025u, "Noncontinuable exception ignored."},
    {0xC0000026u, "Invalid disposition."},
    {0xC000008Cu, "Array bounds exceeded."},
    {0xC000008Du, "Denormal operand (float)."},
    {0xC000008Eu, "Divide by zero (float)."},
    {0xC000008Fu, "Inexact result (float)."},
    {0xC0000090u, "Invalid operation (float)."},
    {0xC0000091u, "Overflow (float)."},
    {0xC0000092u, "Stack overflow or underflow (float)."},
    {0xC0000093u, "Underflow (float)."},
    {0xC0000094u, "Divide by zero (int)."},
    {0xC0000095u, "Overflow (int)."},
    {0xC0000096u,
     "The thread tried to execute an instruction whose operation is not allowed in the current "
     "machine mode."},
    {0xC00000FDu, "Stack overflow."},
};

void TranslatorThunk(std::uint32_t fp_uCode, const os::FaultInfo* fp_pInfo) {
  TranslateFault(fp_uCode, fp_pInfo);
}

}  // namespace

void TranslateFault(std::uint32_t fp_uCode, const void* /*fp_pInfo*/) {
  for (const TFaultName& tmp_rEntry : kFaultTable) {
    if (tmp_rEntry.code == fp_uCode) {
      throw CEHSException(EHS_TYPE_WIN32, static_cast<std::int32_t>(fp_uCode),
                          tmp_rEntry.description, "", 0);
    }
  }
}

void InstallFaultTranslator() { os::SetFaultTranslator(&TranslatorThunk); }
