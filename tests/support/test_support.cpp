// Temporary directories, files and child processes for the tests.
#include "test_support.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

namespace fs = std::filesystem;

namespace m2dtest {

void TempDirTest::SetUp() {
  oldCwd_ = fs::current_path().string();
  std::string tmpl = (fs::temp_directory_path() / "m2dtest-XXXXXX").string();
  char* made = ::mkdtemp(tmpl.data());
  ASSERT_NE(made, nullptr);
  dir_ = made;
  fs::current_path(dir_);
}

void TempDirTest::TearDown() {
  fs::current_path(oldCwd_);
  std::error_code ec;
  if (!HasFailure() || std::getenv("M2D_KEEP_TEST_DIRS") == nullptr) fs::remove_all(dir_, ec);
}

void WriteFile(const std::string& fp_strPath, const std::string& fp_strBytes) {
  fs::path p(fp_strPath);
  if (p.has_parent_path()) fs::create_directories(p.parent_path());
  std::ofstream f(fp_strPath, std::ios::binary | std::ios::trunc);
  f.write(fp_strBytes.data(), static_cast<std::streamsize>(fp_strBytes.size()));
}

std::string ReadFile(const std::string& fp_strPath) {
  std::ifstream f(fp_strPath, std::ios::binary);
  if (!f) return "";
  std::ostringstream ss;
  ss << f.rdbuf();
  return ss.str();
}

bool FileExists(const std::string& fp_strPath) { return fs::exists(fp_strPath); }

std::vector<std::string> ReadLines(const std::string& fp_strPath) {
  std::vector<std::string> lines;
  std::string text = ReadFile(fp_strPath);
  std::string cur;
  for (char c : text) {
    if (c == '\n') {
      lines.push_back(cur);
      cur.clear();
    } else {
      cur += c;
    }
  }
  if (!cur.empty()) lines.push_back(cur);
  return lines;
}

bool ContainsLines(const std::vector<std::string>& fp_vHay,
                   const std::vector<std::string>& fp_vNeedle) {
  if (fp_vNeedle.empty()) return true;
  if (fp_vNeedle.size() > fp_vHay.size()) return false;
  for (size_t i = 0; i + fp_vNeedle.size() <= fp_vHay.size(); ++i) {
    bool ok = true;
    for (size_t j = 0; j < fp_vNeedle.size() && ok; ++j) ok = fp_vHay[i + j] == fp_vNeedle[j];
    if (ok) return true;
  }
  return false;
}

bool ContainsLine(const std::vector<std::string>& fp_vHay, const std::string& fp_strLine) {
  return ContainsLines(fp_vHay, {fp_strLine});
}

std::string BuildPath(const std::string& fp_strName) {
  return std::string(M2D_BUILD_DIR) + "/" + fp_strName;
}

namespace {

void DrainFd(int fd, std::string& out) {
  char buf[4096];
  for (;;) {
    ssize_t n = ::read(fd, buf, sizeof buf);
    if (n <= 0) break;
    out.append(buf, static_cast<size_t>(n));
  }
}

}  // namespace

namespace {
long long NowMs() {
  return std::chrono::duration_cast<std::chrono::milliseconds>(
             std::chrono::steady_clock::now().time_since_epoch())
      .count();
}
}  // namespace

ChildProcess StartProcess(const std::vector<std::string>& fp_vArgv, const std::string& fp_strCwd,
                          const std::map<std::string, std::string>& fp_mEnv) {
  ChildProcess c;
  int outPipe[2], errPipe[2];
  if (::pipe2(outPipe, O_CLOEXEC) != 0) return c;
  if (::pipe2(errPipe, O_CLOEXEC) != 0) return c;
  pid_t pid = ::fork();
  if (pid == 0) {
    ::dup2(outPipe[1], 1);
    ::dup2(errPipe[1], 2);
    if (::chdir(fp_strCwd.c_str()) != 0) ::_exit(126);
    for (const auto& [k, v] : fp_mEnv) {
      if (v == "\x01unset")
        ::unsetenv(k.c_str());
      else
        ::setenv(k.c_str(), v.c_str(), 1);
    }
    std::vector<char*> argv;
    for (const auto& a : fp_vArgv) argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    ::execv(argv[0], argv.data());
    ::_exit(127);
  }
  ::close(outPipe[1]);
  ::close(errPipe[1]);
  ::fcntl(outPipe[0], F_SETFL, O_NONBLOCK);
  ::fcntl(errPipe[0], F_SETFL, O_NONBLOCK);
  c.pid = pid;
  c.outFd = outPipe[0];
  c.errFd = errPipe[0];
  c.startMs = NowMs();
  return c;
}

ProcResult WaitProcess(ChildProcess& fp_rChild, int fp_iTimeoutMs, int fp_iSignalAfterMs,
                       int fp_iSignal) {
  ProcResult r;
  if (fp_rChild.pid <= 0) return r;
  bool signalled = false;
  int status = 0;
  for (;;) {
    pollfd fds[2] = {{fp_rChild.outFd, POLLIN, 0}, {fp_rChild.errFd, POLLIN, 0}};
    ::poll(fds, 2, 20);
    DrainFd(fp_rChild.outFd, r.out);
    DrainFd(fp_rChild.errFd, r.err);
    pid_t w = ::waitpid(fp_rChild.pid, &status, WNOHANG);
    if (w == fp_rChild.pid) break;
    long long ms = NowMs() - fp_rChild.startMs;
    if (fp_iSignalAfterMs > 0 && !signalled && ms >= fp_iSignalAfterMs) {
      ::kill(fp_rChild.pid, fp_iSignal);
      signalled = true;
    }
    if (ms >= fp_iTimeoutMs) {
      r.timedOut = true;
      ::kill(fp_rChild.pid, SIGKILL);
      ::waitpid(fp_rChild.pid, &status, 0);
      break;
    }
  }
  DrainFd(fp_rChild.outFd, r.out);
  DrainFd(fp_rChild.errFd, r.err);
  ::close(fp_rChild.outFd);
  ::close(fp_rChild.errFd);
  fp_rChild.pid = -1;
  if (WIFEXITED(status)) r.exitCode = WEXITSTATUS(status);
  if (WIFSIGNALED(status)) r.signal = WTERMSIG(status);
  return r;
}

ProcResult RunProcess(const std::vector<std::string>& fp_vArgv, const std::string& fp_strCwd,
                      const std::map<std::string, std::string>& fp_mEnv, int fp_iTimeoutMs,
                      int fp_iSignalAfterMs, int fp_iSignal) {
  ChildProcess c = StartProcess(fp_vArgv, fp_strCwd, fp_mEnv);
  return WaitProcess(c, fp_iTimeoutMs, fp_iSignalAfterMs, fp_iSignal);
}

bool WaitForFileText(const std::string& fp_strPath, const std::string& fp_strText,
                     int fp_iTimeoutMs) {
  long long start = NowMs();
  while (NowMs() - start < fp_iTimeoutMs) {
    if (ReadFile(fp_strPath).find(fp_strText) != std::string::npos) return true;
    ::usleep(20000);
  }
  return false;
}

}  // namespace m2dtest
