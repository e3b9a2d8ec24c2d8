// Black-box runs: the game headless over small DATA folders, the data checker,
// the single-instance rule, and the fatal-error report, crash record and
// orderly shut-down of a probe that fails on purpose.
#include <signal.h>
#include <unistd.h>

#include <algorithm>
#include <map>

#include <string>
#include <vector>

#include "test_support.h"

using m2dtest::BuildPath;
using m2dtest::ContainsLine;
using m2dtest::ContainsLines;
using m2dtest::ProcResult;
using m2dtest::ReadLines;
using m2dtest::RunProcess;
using m2dtest::WriteFile;

namespace {

const std::string kSep1 = "|---------------------------------------------------|";
const std::string kSep3 = "|:::::::::::::::::::::::::::::::::::::::::::::::::::|";

const std::vector<std::string> kFooter = {"", kSep1, kSep1, "--==: End of log.", kSep1, kSep1, ""};

std::map<std::string, std::string> HeadlessEnv() {
  return {{"M2D_HEADLESS", "1"}, {"M2D_REPLAY", "\x01unset"}, {"M2D_RECORD", "\x01unset"}};
}

void WriteGoodData(const std::string& fp_strDir) {
  WriteFile(fp_strDir + "/DATA/main.xml",
            "<respack>\n"
            "  <res id=\"XML_SETTINGS\" typeid=\"XMLDATA\" filename=\"settings.dat\" tag=\"1\"/>\n"
            "</respack>\n");
  WriteFile(fp_strDir + "/DATA/settings.dat", "<xmldata><v speed=\"3\"/></xmldata>\n");
}

bool EndsWith(const std::vector<std::string>& fp_vLines, const std::vector<std::string>& fp_vEnd) {
  if (fp_vLines.size() < fp_vEnd.size()) return false;
  return std::equal(fp_vEnd.begin(), fp_vEnd.end(), fp_vLines.end() - static_cast<long>(fp_vEnd.size()));
}

int IndexOf(const std::vector<std::string>& fp_vLines, const std::string& fp_strLine) {
  for (size_t i = 0; i < fp_vLines.size(); ++i)
    if (fp_vLines[i] == fp_strLine) return static_cast<int>(i);
  return -1;
}

class BlackBoxTest : public m2dtest::TempDirTest {};

}  // namespace

TEST_F(BlackBoxTest, HeadlessGameCataloguesItsDataAndShutsDownInOrderOnSigterm) {
  WriteGoodData(Dir());
  m2dtest::ChildProcess game = m2dtest::StartProcess({BuildPath("vantrel")}, Dir(), HeadlessEnv());
  ASSERT_TRUE(m2dtest::WaitForFileText(Dir() + "/gamelog.txt",
                                       "Resources Subsystem operates in XML mode."));
  // Give the game time to reach its frame loop, then ask it to stop.
  ASSERT_TRUE(m2dtest::WaitForFileText(Dir() + "/gamelog.txt", "1 resource packs found."));
  ::usleep(300000);
  ::kill(game.pid, SIGTERM);
  ProcResult r = m2dtest::WaitProcess(game, 20000);
  EXPECT_FALSE(r.timedOut);
  EXPECT_EQ(r.exitCode, 0) << r.err;
  std::vector<std::string> lines = ReadLines(Dir() + "/gamelog.txt");
  EXPECT_TRUE(ContainsLines(lines, {"", "", kSep1, "--==: Starting Vantrel v. 1.0",
                                    "--==: Powered by Morvane2D Engine v.1.0"}));
  EXPECT_TRUE(ContainsLine(lines, "   +: Callback function for termination registered."));
  EXPECT_TRUE(ContainsLine(lines, "   =: Processing ResPack: ./DATA/main.xml"));
  EXPECT_TRUE(ContainsLine(lines, "   +: 1 resources found."));
  EXPECT_TRUE(ContainsLine(lines, "--==: Deinitializing Resources Subsystem..."));
  EXPECT_TRUE(EndsWith(lines, kFooter));
  EXPECT_FALSE(m2dtest::FileExists(Dir() + "/ehslog.txt"));
}

TEST_F(BlackBoxTest, SecondInstanceExitsAtOnceWithoutALog) {
  WriteGoodData(Dir() + "/first");
  WriteGoodData(Dir() + "/second");
  m2dtest::ChildProcess first =
      m2dtest::StartProcess({BuildPath("vantrel")}, Dir() + "/first", HeadlessEnv());
  ASSERT_TRUE(m2dtest::WaitForFileText(Dir() + "/first/gamelog.txt", "Starting Vantrel"));
  ProcResult second = RunProcess({BuildPath("vantrel")}, Dir() + "/second", HeadlessEnv(), 20000);
  EXPECT_EQ(second.exitCode, 0);
  EXPECT_FALSE(m2dtest::FileExists(Dir() + "/second/gamelog.txt"));
  ::kill(first.pid, SIGTERM);
  ProcResult r = m2dtest::WaitProcess(first, 20000);
  EXPECT_EQ(r.exitCode, 0);
  EXPECT_TRUE(EndsWith(ReadLines(Dir() + "/first/gamelog.txt"), kFooter));
}

TEST_F(BlackBoxTest, BadDataEndsTheGameWithTheFatalReportAndTheCrashRecord) {
  WriteFile(Dir() + "/DATA/main.xml", "<notrespack/>");
  ProcResult r = RunProcess({BuildPath("vantrel")}, Dir(), HeadlessEnv(), 20000);
  EXPECT_EQ(r.exitCode, 0);
  std::vector<std::string> lines = ReadLines(Dir() + "/gamelog.txt");
  const int report = IndexOf(lines, " !!!: Fatal error!");
  ASSERT_GE(report, 3);
  EXPECT_EQ(lines[static_cast<size_t>(report - 1)], kSep3);
  EXPECT_TRUE(ContainsLines(lines, {" !!!: Fatal error!", " !!!: Error type: Game.",
                                    " !!!: Error code: 0",
                                    " !!!: Error desc: Wrong XML ResPack descriptor: ./DATA/main.xml",
                                    " !!!: Error location: "}));
  EXPECT_TRUE(ContainsLine(lines, " !!!: Last called Lua function name: "));
  EXPECT_TRUE(EndsWith(lines, kFooter));
  std::vector<std::string> ehs = ReadLines(Dir() + "/ehslog.txt");
  EXPECT_TRUE(ContainsLines(ehs, {"Exception type: Game.", "Exception code: 0",
                                  "Exception desc: Wrong XML ResPack descriptor: ./DATA/main.xml"}));
}

TEST_F(BlackBoxTest, CheckerLoadsAGoodFolderAndExitsZero) {
  WriteGoodData(Dir() + "/data folder");
  ProcResult r = RunProcess({BuildPath("m2dcheck"), Dir() + "/data folder"}, Dir(), {}, 20000);
  EXPECT_EQ(r.exitCode, 0) << r.err;
  std::vector<std::string> lines = ReadLines(Dir() + "/data folder/gamelog.txt");
  EXPECT_TRUE(ContainsLine(lines, "--==: Starting m2dcheck v. 1.0"));
  EXPECT_TRUE(ContainsLine(lines, "  -=: Loading resources with Tag = 0"));
  EXPECT_TRUE(ContainsLine(lines, "   +: 1 resources with Tag = 0 loaded."));
  EXPECT_TRUE(EndsWith(lines, kFooter));
}

TEST_F(BlackBoxTest, CheckerReportsAMissingFileAndExitsOne) {
  WriteFile(Dir() + "/DATA/main.xml",
            "<respack><r id=\"TEX_A\" typeid=\"TEXTURE\" filename=\"a.png\" tag=\"1\"/></respack>");
  ProcResult r = RunProcess({BuildPath("m2dcheck"), Dir()}, Dir(), {}, 20000);
  EXPECT_EQ(r.exitCode, 1);
  std::vector<std::string> lines = ReadLines(Dir() + "/gamelog.txt");
  EXPECT_TRUE(ContainsLine(
      lines, " !!!: Error desc: Cannot find file declared in ResPack. Filename = a.png"));
  EXPECT_TRUE(EndsWith(lines, kFooter));
  EXPECT_TRUE(m2dtest::FileExists(Dir() + "/ehslog.txt"));
}

TEST_F(BlackBoxTest, CheckerUsage) {
  EXPECT_EQ(RunProcess({BuildPath("m2dcheck")}, Dir()).exitCode, 2);
  EXPECT_EQ(RunProcess({BuildPath("m2dcheck"), Dir() + "/absent"}, Dir()).exitCode, 2);
}

namespace {

struct FaultCase {
  const char* mode;
  bool processorFault;
  std::vector<std::string> report;  // consecutive lines expected in the log
};

void RunProbe(const std::string& fp_strDir, const FaultCase& fp_rCase) {
  SCOPED_TRACE(fp_rCase.mode);
  ProcResult r = RunProcess({M2D_CRASHPROBE, fp_rCase.mode}, fp_strDir, HeadlessEnv(), 20000);
  EXPECT_EQ(r.exitCode, 0) << r.err;
  EXPECT_EQ(r.out.find("result"), std::string::npos) << "the failure must not return";
  const size_t at = r.out.find("checkpoint ");
  ASSERT_NE(at, std::string::npos);
  const std::string cpLine = std::to_string(std::stoi(r.out.substr(at + 11)));
  std::vector<std::string> lines = ReadLines(fp_strDir + "/gamelog.txt");
  EXPECT_TRUE(ContainsLines(lines, fp_rCase.report));
  if (fp_rCase.processorFault) {
    EXPECT_TRUE(ContainsLines(lines, {" !!!: Error location: ", " !!!:    FileID: 999",
                                      " !!!:    Line: " + cpLine}));
    std::vector<std::string> ehs = ReadLines(fp_strDir + "/ehslog.txt");
    EXPECT_TRUE(ContainsLines(ehs, {"File: ", "Line: 0", "Last checkpoint:", "   FileID: 999",
                                    "   Line:   " + cpLine}));
  }
  // The clean-up runs once, as the termination callback, before the subsystems stop.
  int cleanups = 0;
  for (const auto& l : lines) cleanups += l == "PROBE CLEANUP";
  EXPECT_EQ(cleanups, 1);
  const int cleanup = IndexOf(lines, "PROBE CLEANUP");
  const int deinit = IndexOf(lines, "--==: Deinitializing Resources Subsystem...");
  EXPECT_GE(cleanup, 0);
  EXPECT_GT(deinit, cleanup);
  EXPECT_TRUE(EndsWith(lines, kFooter));
}

}  // namespace

TEST_F(BlackBoxTest, ProcessorFaultsGiveTheCrashRecordAndTheCheckpoint) {
  if (m2dtest::kSanitized) GTEST_SKIP() << "faults on purpose";
  const FaultCase cases[] = {
      {"intdiv", true,
       {" !!!: Fatal error!", " !!!: Error type: Win32.", " !!!: Error code: -1073741676",
        " !!!: Error desc: Divide by zero (int).", " !!!: Error location: "}},
      {"nullwrite", true,
       {" !!!: Fatal error!", " !!!: Error type: Win32.", " !!!: Error code: -1073741819",
        " !!!: Error desc: Access violation.", " !!!: Error location: "}},
  };
  for (const FaultCase& c : cases) {
    const std::string dir = Dir() + "/" + c.mode;
    WriteFile(dir + "/keep", "");
    RunProbe(dir, c);
    std::vector<std::string> ehs = ReadLines(dir + "/ehslog.txt");
    EXPECT_TRUE(ContainsLine(ehs, "Exception type: Win32."));
  }
}

TEST_F(BlackBoxTest, OtherExceptionsReachTheTopLevelHandlers) {
  const FaultCase cases[] = {
      {"game", false,
       {" !!!: Error type: Game.", " !!!: Error code: 7", " !!!: Error desc: Invalid probe request!",
        " !!!: Error location: "}},
      {"string", false, {" !!!: Error in T2DSafeArray<T, tOutOfBoundsValue>::At"}},
      {"unknown", false, {" !!!: EXCEPTION OF UNKNOWN TYPE!"}},
  };
  for (const FaultCase& c : cases) {
    const std::string dir = Dir() + "/" + c.mode;
    WriteFile(dir + "/keep", "");
    RunProbe(dir, c);
    // Only an engine exception leaves a crash record.
    EXPECT_EQ(m2dtest::FileExists(dir + "/ehslog.txt"), std::string(c.mode) == "game");
  }
}
