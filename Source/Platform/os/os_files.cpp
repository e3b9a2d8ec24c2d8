// Paths as the data and the game write them, resolved against the disk, and
// the file operations built on them: existence, deletion, listing a folder.
//
// Path rules
// - "\" and "/" both separate components; the result uses "/". Runs of
//   separators count as one; a leading separator makes the path absolute, a
//   trailing one is kept.
// - Components are resolved left to right against the folder reached so far
//   (the current directory for a relative path). "." and ".." are kept as
//   written and followed by the system.
// - A component that exists exactly as written is taken as it is. Otherwise
//   the folder's entries are compared with it ignoring ASCII case (other
//   bytes must match exactly); among several matches the first in bytewise
//   name order wins, so the result does not depend on the directory's order.
// - A component that exists in no spelling is kept as written, and so are
//   all that follow it (they cannot exist): new files can be created under
//   the name the program gave.
// - FindFiles resolves the folder part like any path and lists the regular
//   files (symbolic links are followed) whose names match the last component,
//   "*" any run of bytes and "?" one byte, ignoring ASCII case; the names are
//   sorted bytewise.
#include <dirent.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include "Platform/os/os.h"

namespace os {

namespace {

char LowerAscii(char fp_c) {
  return (fp_c >= 'A' && fp_c <= 'Z') ? static_cast<char>(fp_c - 'A' + 'a') : fp_c;
}

bool EqualNoCase(const std::string& fp_rA, const char* fp_pszB) {
  size_t tmp_uLen = std::strlen(fp_pszB);
  if (tmp_uLen != fp_rA.size()) return false;
  for (size_t i = 0; i < tmp_uLen; ++i) {
    if (LowerAscii(fp_rA[i]) != LowerAscii(fp_pszB[i])) return false;
  }
  return true;
}

// Iterative wildcard match with backtracking to the last "*": linear in
// practice, no recursion whatever the pattern.
bool WildcardMatch(const char* fp_pszPattern, const char* fp_pszName) {
  const char* tmp_pPat = fp_pszPattern;
  const char* tmp_pName = fp_pszName;
  const char* tmp_pStar = nullptr;
  const char* tmp_pStarName = nullptr;
  while (*tmp_pName != '\0') {
    if (*tmp_pPat == '*') {
      tmp_pStar = tmp_pPat++;
      tmp_pStarName = tmp_pName;
    } else if (*tmp_pPat != '\0' &&
               (*tmp_pPat == '?' || LowerAscii(*tmp_pPat) == LowerAscii(*tmp_pName))) {
      ++tmp_pPat;
      ++tmp_pName;
    } else if (tmp_pStar != nullptr) {
      tmp_pPat = tmp_pStar + 1;
      tmp_pName = ++tmp_pStarName;
    } else {
      return false;
    }
  }
  while (*tmp_pPat == '*') ++tmp_pPat;
  return *tmp_pPat == '\0';
}

bool Exists(const std::string& fp_rPath) {
  struct stat tmp_Stat;
  return ::lstat(fp_rPath.c_str(), &tmp_Stat) == 0;
}

// The first entry of fp_rDir, in bytewise order, that equals fp_rName
// ignoring case; empty when there is none.
std::string FindNoCase(const std::string& fp_rDir, const std::string& fp_rName) {
  DIR* tmp_pDir = ::opendir(fp_rDir.empty() ? "." : fp_rDir.c_str());
  if (tmp_pDir == nullptr) return {};
  std::string tmp_strBest;
  while (dirent* tmp_pEntry = ::readdir(tmp_pDir)) {
    if (!EqualNoCase(fp_rName, tmp_pEntry->d_name)) continue;
    if (tmp_strBest.empty() || std::string(tmp_pEntry->d_name) < tmp_strBest) {
      tmp_strBest = tmp_pEntry->d_name;
    }
  }
  ::closedir(tmp_pDir);
  return tmp_strBest;
}

}  // namespace

std::string ResolvePath(const char* fp_pszPath) {
  if (fp_pszPath == nullptr || *fp_pszPath == '\0') return {};
  std::string tmp_strIn(fp_pszPath);
  std::replace(tmp_strIn.begin(), tmp_strIn.end(), '\\', '/');

  std::string tmp_strOut;
  if (tmp_strIn[0] == '/') tmp_strOut.push_back('/');
  bool tmp_bMissing = false;  // a component was not found: keep the rest as written
  size_t tmp_uPos = 0;
  while (tmp_uPos < tmp_strIn.size()) {
    if (tmp_strIn[tmp_uPos] == '/') {
      ++tmp_uPos;
      continue;
    }
    size_t tmp_uEnd = tmp_strIn.find('/', tmp_uPos);
    if (tmp_uEnd == std::string::npos) tmp_uEnd = tmp_strIn.size();
    std::string tmp_strName = tmp_strIn.substr(tmp_uPos, tmp_uEnd - tmp_uPos);
    tmp_uPos = tmp_uEnd;

    std::string tmp_strDir = tmp_strOut;  // the folder reached so far ("" = current)
    if (!tmp_strOut.empty() && tmp_strOut.back() != '/') tmp_strOut += '/';
    if (tmp_bMissing || tmp_strName == "." || tmp_strName == "..") {
      tmp_strOut += tmp_strName;
      continue;
    }
    if (Exists(tmp_strOut + tmp_strName)) {
      tmp_strOut += tmp_strName;
      continue;
    }
    std::string tmp_strFound = FindNoCase(tmp_strDir, tmp_strName);
    if (tmp_strFound.empty()) {
      tmp_bMissing = true;
      tmp_strOut += tmp_strName;
    } else {
      tmp_strOut += tmp_strFound;
    }
  }
  if (tmp_strIn.back() == '/' && !tmp_strOut.empty() && tmp_strOut.back() != '/') {
    tmp_strOut += '/';
  }
  return tmp_strOut;
}

bool FileExists(const char* fp_pszPath) {
  std::string tmp_strPath = ResolvePath(fp_pszPath);
  if (tmp_strPath.empty()) return false;
  struct stat tmp_Stat;
  if (::stat(tmp_strPath.c_str(), &tmp_Stat) != 0) return false;
  return S_ISREG(tmp_Stat.st_mode) || S_ISDIR(tmp_Stat.st_mode);
}

bool DeleteFile(const char* fp_pszPath) {
  std::string tmp_strPath = ResolvePath(fp_pszPath);
  if (tmp_strPath.empty()) return false;
  struct stat tmp_Stat;
  if (::lstat(tmp_strPath.c_str(), &tmp_Stat) != 0 || S_ISDIR(tmp_Stat.st_mode)) return false;
  return ::unlink(tmp_strPath.c_str()) == 0;
}

std::vector<std::string> FindFiles(const char* fp_pszPattern) {
  std::vector<std::string> tmp_vNames;
  if (fp_pszPattern == nullptr || *fp_pszPattern == '\0') return tmp_vNames;
  std::string tmp_strIn(fp_pszPattern);
  std::replace(tmp_strIn.begin(), tmp_strIn.end(), '\\', '/');
  size_t tmp_uSlash = tmp_strIn.rfind('/');
  std::string tmp_strName =
      tmp_uSlash == std::string::npos ? tmp_strIn : tmp_strIn.substr(tmp_uSlash + 1);
  if (tmp_strName.empty()) return tmp_vNames;
  std::string tmp_strDir;
  if (tmp_uSlash != std::string::npos) {
    tmp_strDir = ResolvePath(tmp_strIn.substr(0, tmp_uSlash + 1).c_str());
  }
  DIR* tmp_pDir = ::opendir(tmp_strDir.empty() ? "." : tmp_strDir.c_str());
  if (tmp_pDir == nullptr) return tmp_vNames;
  if (!tmp_strDir.empty() && tmp_strDir.back() != '/') tmp_strDir += '/';
  while (dirent* tmp_pEntry = ::readdir(tmp_pDir)) {
    if (!WildcardMatch(tmp_strName.c_str(), tmp_pEntry->d_name)) continue;
    struct stat tmp_Stat;
    if (::stat((tmp_strDir + tmp_pEntry->d_name).c_str(), &tmp_Stat) != 0) continue;
    if (!S_ISREG(tmp_Stat.st_mode)) continue;
    tmp_vNames.emplace_back(tmp_pEntry->d_name);
  }
  ::closedir(tmp_pDir);
  std::sort(tmp_vNames.begin(), tmp_vNames.end());
  return tmp_vNames;
}

}  // namespace os
