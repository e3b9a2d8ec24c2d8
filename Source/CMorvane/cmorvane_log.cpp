// The game log "gamelog.txt": every operation opens the file in append mode,
// writes its line(s) and closes it again, so everything logged before a crash
// is on disk. An unwritable file silently drops the output.
#include <cstdio>

#include "cmorvane.h"

namespace {

const char* const kLogFileName = "gamelog.txt";

const char* const kPrefixes[7] = {"? ", "   =: ", "  -=: ", "--==: ", "   +: ", " !: ", " !!!: "};

const char* const kSeparators[4] = {
    "|---------------------------------------------------|",
    "|===================================================|",
    "|:::::::::::::::::::::::::::::::::::::::::::::::::::|",
    "|!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!|",
};

std::FILE* OpenLog() { return std::fopen(kLogFileName, "a"); }

}  // namespace

void CMorvane::LogAddEntry(const std::string& fp_strText, int fp_iKind) {
  std::FILE* tmp_pFile = OpenLog();
  if (tmp_pFile == nullptr) return;
  if (fp_iKind >= 0 && fp_iKind <= 6) {
    std::fputs(kPrefixes[fp_iKind], tmp_pFile);
    std::fwrite(fp_strText.data(), 1, fp_strText.size(), tmp_pFile);
    std::fputc('\n', tmp_pFile);
  }
  std::fclose(tmp_pFile);
}

void CMorvane::LogAddSeparator(int fp_iStyle) {
  std::FILE* tmp_pFile = OpenLog();
  if (tmp_pFile == nullptr) return;
  if (fp_iStyle >= 1 && fp_iStyle <= 4) {
    std::fputs(kSeparators[fp_iStyle - 1], tmp_pFile);
    std::fputc('\n', tmp_pFile);
  }
  std::fclose(tmp_pFile);
}

void CMorvane::LogAddBlankLines(int fp_iCount) {
  std::FILE* tmp_pFile = OpenLog();
  if (tmp_pFile == nullptr) return;
  for (int i = 0; i < fp_iCount; ++i) std::fputc('\n', tmp_pFile);
  std::fclose(tmp_pFile);
}

void CMorvane::LogAddLine(const std::string& fp_strText) {
  std::FILE* tmp_pFile = OpenLog();
  if (tmp_pFile == nullptr) return;
  std::fwrite(fp_strText.data(), 1, fp_strText.size(), tmp_pFile);
  std::fputc('\n', tmp_pFile);
  std::fclose(tmp_pFile);
}
