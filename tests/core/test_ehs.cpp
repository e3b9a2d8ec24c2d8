// The exception class: type names, the fault translation table, the
// assertion and the crash record written to ehslog.txt.
#include <string>
#include <vector>

#include "Platform/os/os.h"
#include "cmorvane_ehs.h"
#include "test_support.h"

using m2dtest::ReadLines;

static constexpr int kM2DFileID = 999;

class EHSTest : public m2dtest::TempDirTest {};

TEST(EHSTypeNames, EveryTypeHasItsName) {
  const std::pair<int, const char*> cases[] = {
      {0, "Unknown."}, {1, "General."},          {2, "Game."},       {3, "Win32."},
      {4, "Lua."},     {5, "Lua glue function."}, {6, "In-script."}, {7, "Undefined type!"},
      {-1, "Undefined type!"}};
  for (const auto& [type, name] : cases) {
    EXPECT_STREQ(CEHSException(type, 0, "", "", 0).GetTypeName(), name) << type;
  }
}

TEST(EHSTranslateFault, KnownCodesBecomeWin32ExceptionsOthersReturn) {
  const std::pair<std::uint32_t, const char*> known[] = {
      {0xC0000005u, "Access violation."},
      {0xC0000094u, "Divide by zero (int)."},
      {0x80000002u, "Data type misalingment."},
      {0xC00000FDu, "Stack overflow."},
      {0xC000008Eu, "Divide by zero (float)."},
      {0xC0000096u,
       "The thread tried to execute an instruction whose operation is not allowed in the "
       "current machine mode."}};
  for (const auto& [code, desc] : known) {
    try {
      TranslateFault(code, nullptr);
      ADD_FAILURE() << "no exception for " << code;
    } catch (const CEHSException& e) {
      EXPECT_EQ(e.type, EHS_TYPE_WIN32);
      EXPECT_EQ(static_cast<std::uint32_t>(e.code), code);
      EXPECT_EQ(e.description, desc);
      EXPECT_EQ(e.file, "");
      EXPECT_EQ(e.line, 0);
    }
  }
  // A guard-page violation is not in the table.
  EXPECT_NO_THROW(TranslateFault(0x80000001u, nullptr));
}

TEST(EHSAssert, ZeroThrowsGeneralWithTheCallersLocation) {
  void* tmp_pNull = nullptr;
  int tmp_iLine = 0;
  try {
    tmp_iLine = __LINE__ + 1;
    ZIZAssert(tmp_pNull);
    FAIL();
  } catch (const CEHSException& e) {
    EXPECT_EQ(e.type, EHS_TYPE_GENERAL);
    EXPECT_EQ(e.code, 0);
    EXPECT_EQ(e.description, "ZIZ Assertion failed.");
    EXPECT_EQ(e.line, tmp_iLine);
    EXPECT_NE(e.file.find("test_ehs.cpp"), std::string::npos);
  }
  EXPECT_NO_THROW(ZIZAssert(&tmp_iLine));
}

TEST_F(EHSTest, CrashRecordsAccumulateWithTheLastCheckpoint) {
  os::SYSTEMTIME t;
  os::GetLocalTime(&t);
  M2D_CHECKPOINT;
  const int cpLine = __LINE__ - 1;
  CEHSException(EHS_TYPE_WIN32, static_cast<std::int32_t>(0xC0000005u), "Access violation.", "", 0)
      .WriteCrashRecord();
  CEHSException(2, 7, "", "game.cpp", 12).WriteCrashRecord();
  std::vector<std::string> lines = ReadLines("ehslog.txt");
  ASSERT_EQ(lines.size(), 26u);
  const std::string date = "Date: " + std::to_string(t.wDay) + "." + std::to_string(t.wMonth) +
                           "." + std::to_string(t.wYear);
  const std::vector<std::string> first = {"", "", "", date};
  EXPECT_EQ(std::vector<std::string>(lines.begin(), lines.begin() + 4), first);
  EXPECT_EQ(lines[4].rfind("Time: ", 0), 0u);
  const std::vector<std::string> rest = {"Exception type: Win32.",
                                         "Exception code: -1073741819",
                                         "Exception desc: Access violation.",
                                         "File: ",
                                         "Line: 0",
                                         "Last checkpoint:",
                                         "   FileID: 999",
                                         "   Line:   " + std::to_string(cpLine)};
  EXPECT_EQ(std::vector<std::string>(lines.begin() + 5, lines.begin() + 13), rest);
  EXPECT_EQ(lines[18], "Exception type: Game.");
  EXPECT_EQ(lines[20], "Exception desc: ");
  EXPECT_EQ(lines[21], "File: game.cpp");
}
