// The game log: prefixes, separators, blank lines, the header and the footer,
// read back from the real gamelog.txt.
#include <string>
#include <vector>

#include "Platform/os/os.h"
#include "cmorvane.h"
#include "test_support.h"

using m2dtest::ReadFile;
using m2dtest::ReadLines;

class LogTest : public m2dtest::TempDirTest {};

// True when fp_strText has the shape of fp_strShape: 'A' an upper-case
// letter, 'a' a lower-case one, '9' a digit or a blank (the compiler pads
// one-digit days with a blank), anything else itself.
bool MatchesShape(const std::string& fp_strText, const std::string& fp_strShape) {
  if (fp_strText.size() != fp_strShape.size()) return false;
  for (size_t i = 0; i < fp_strText.size(); ++i) {
    const char c = fp_strText[i];
    switch (fp_strShape[i]) {
      case 'A': if (c < 'A' || c > 'Z') return false; break;
      case 'a': if (c < 'a' || c > 'z') return false; break;
      case '9': if ((c < '0' || c > '9') && c != ' ') return false; break;
      default: if (c != fp_strShape[i]) return false;
    }
  }
  return true;
}

TEST_F(LogTest, EntriesCarryTheirKindsPrefixAndBadKindsWriteNothing) {
  for (int kind = -1; kind <= 7; ++kind) CMorvane::LogAddEntry("x", kind);
  CMorvane::LogAddEntry("", 3);
  EXPECT_EQ(ReadFile("gamelog.txt"),
            "? x\n   =: x\n  -=: x\n--==: x\n   +: x\n !: x\n !!!: x\n--==: \n");
}

TEST_F(LogTest, SeparatorsBlankLinesAndPlainLines) {
  for (int style = 0; style <= 5; ++style) CMorvane::LogAddSeparator(style);
  CMorvane::LogAddBlankLines(0);
  CMorvane::LogAddBlankLines(-3);
  CMorvane::LogAddBlankLines(2);
  CMorvane::LogAddLine("FOCUS LOST");
  const std::vector<std::string> expected = {
      "|---------------------------------------------------|",
      "|===================================================|",
      "|:::::::::::::::::::::::::::::::::::::::::::::::::::|",
      "|!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!|",
      "",
      "",
      "FOCUS LOST",
  };
  EXPECT_EQ(ReadLines("gamelog.txt"), expected);
  for (int i = 0; i < 4; ++i) EXPECT_EQ(expected[static_cast<size_t>(i)].size(), 53u);
}

TEST_F(LogTest, InvalidKindStillCreatesTheFile) {
  CMorvane::LogAddEntry("nothing", 7);
  EXPECT_TRUE(m2dtest::FileExists("gamelog.txt"));
  EXPECT_EQ(ReadFile("gamelog.txt"), "");
}

TEST_F(LogTest, EngineStartsAFreshLogWithHeaderAndEndsWithFooter) {
  m2dtest::WriteFile("gamelog.txt", "old run\n");
  os::SYSTEMTIME before;
  os::GetLocalTime(&before);
  {
    CMorvane engine;
    EXPECT_FALSE(m2dtest::FileExists("gamelog.txt"));
    engine.Start("Vantrel", "v. 1.0");
  }
  os::SYSTEMTIME after;
  os::GetLocalTime(&after);
  std::vector<std::string> lines = ReadLines("gamelog.txt");
  ASSERT_GE(lines.size(), 19u);
  const std::string sep = "|---------------------------------------------------|";
  EXPECT_EQ(lines[0], "");
  EXPECT_EQ(lines[1], "");
  EXPECT_EQ(lines[2], sep);
  EXPECT_EQ(lines[3], "--==: Starting Vantrel v. 1.0");
  EXPECT_EQ(lines[4], "--==: Powered by Morvane2D Engine v.1.0");
  // The engine's build date and time, in the compiler's forms "Feb 16 2005" and "20:45:28".
  EXPECT_TRUE(MatchesShape(lines[5], "--==: Built: Aaa 99 9999   99:99:99")) << lines[5];
  EXPECT_EQ(lines[6], "");
  auto dateOf = [](const os::SYSTEMTIME& t) {
    return "--==: Execution date: " + std::to_string(t.wDay) + "." + std::to_string(t.wMonth) +
           "." + std::to_string(t.wYear);
  };
  auto timeOf = [](const os::SYSTEMTIME& t) {
    return "--==: Execution time: " + std::to_string(t.wHour) + ":" + std::to_string(t.wMinute);
  };
  EXPECT_TRUE(lines[7] == dateOf(before) || lines[7] == dateOf(after)) << lines[7];
  EXPECT_TRUE(lines[8] == timeOf(before) || lines[8] == timeOf(after)) << lines[8];
  EXPECT_EQ(lines[9], sep);
  EXPECT_EQ(lines[10], "");
  EXPECT_EQ(lines[11], "");
  const std::vector<std::string> footer = {"", sep, sep, "--==: End of log.", sep, sep, ""};
  ASSERT_EQ(lines.size(), 12u + footer.size());
  EXPECT_EQ(std::vector<std::string>(lines.begin() + 12, lines.end()), footer);
}
