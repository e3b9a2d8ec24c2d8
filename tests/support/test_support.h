// Helpers shared by the test executables: a fixture that runs each test in a
// fresh temporary directory, file helpers, and a way to run the project's
// executables as child processes.
#pragma once

#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

namespace m2dtest {

// Runs every test in its own empty temporary directory (the engine writes its
// log into the current directory) and removes it afterwards.
class TempDirTest : public ::testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;
  const std::string& Dir() const { return dir_; }

 private:
  std::string dir_;
  std::string oldCwd_;
};

void WriteFile(const std::string& fp_strPath, const std::string& fp_strBytes);
std::string ReadFile(const std::string& fp_strPath);  // "" when absent
bool FileExists(const std::string& fp_strPath);
// The file's lines without their newlines.
std::vector<std::string> ReadLines(const std::string& fp_strPath);
// True when fp_vNeedle occurs as consecutive lines of fp_vHay.
bool ContainsLines(const std::vector<std::string>& fp_vHay,
                   const std::vector<std::string>& fp_vNeedle);
bool ContainsLine(const std::vector<std::string>& fp_vHay, const std::string& fp_strLine);

// Path of an executable of the build ("vantrel", "m2dcheck", "mkpak").
std::string BuildPath(const std::string& fp_strName);

struct ProcResult {
  int exitCode = -1;  // -1 when killed by a signal
  int signal = 0;     // the signal that ended it, or 0
  bool timedOut = false;
  std::string out;
  std::string err;
};

// Runs argv[0] with its arguments in fp_strCwd, the environment extended (or
// overridden) by fp_mEnv; a value of "\x01unset" removes a variable. When
// fp_iSignalAfterMs > 0 the child is sent fp_iSignal after that many ms.
// The child is killed after fp_iTimeoutMs.
ProcResult RunProcess(const std::vector<std::string>& fp_vArgv, const std::string& fp_strCwd,
                      const std::map<std::string, std::string>& fp_mEnv = {},
                      int fp_iTimeoutMs = 30000, int fp_iSignalAfterMs = 0,
                      int fp_iSignal = 15);

// The same in two steps: start the child, then wait for it (with the same
// timeout and capture rules). Lets a test act on the child while it runs.
struct ChildProcess {
  int pid = -1;
  int outFd = -1;
  int errFd = -1;
  long long startMs = 0;
};
ChildProcess StartProcess(const std::vector<std::string>& fp_vArgv, const std::string& fp_strCwd,
                          const std::map<std::string, std::string>& fp_mEnv = {});
ProcResult WaitProcess(ChildProcess& fp_rChild, int fp_iTimeoutMs = 30000,
                       int fp_iSignalAfterMs = 0, int fp_iSignal = 15);
// Polls until the file holds fp_strText (true) or fp_iTimeoutMs passed.
bool WaitForFileText(const std::string& fp_strPath, const std::string& fp_strText,
                     int fp_iTimeoutMs = 20000);

// True when built with the sanitizers (tests that fault on purpose skip).
constexpr bool kSanitized =
#ifdef M2D_SANITIZE
    true;
#else
    false;
#endif

}  // namespace m2dtest
