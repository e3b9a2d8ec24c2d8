// The resource subsystem over real data folders in a temporary directory:
// the catalogue in XML and PAK mode, the exact lines in gamelog.txt, every
// error, pack parsing, loading by ID and by tag, the loader registries, and
// the resource records themselves.
#include <climits>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <iterator>
#include <memory>
#include <string>
#include <vector>

#include "cmorvane.h"
#include "cmorvane_res_cres.h"
#include "cmorvane_utils_cxmlvar.h"
#include "test_support.h"

using m2dtest::ReadLines;
using m2dtest::WriteFile;

namespace {

const std::string kSep = "|---------------------------------------------------|";

// {==== Recording loaders ====================================================

struct SCall {
  std::string kind;  // "LoadRes" or "LoadResEx"
  std::string bytes;
  std::string fileName;
  int offset = 0;
  int size = 0;
  std::string id;
  int tag = 0;
  int data1 = 0;
  int data2 = 0;
  int data3 = 0;
};
std::vector<SCall> g_vCalls;

void RecordLoadRes(const char* data, int size, const char* strID, int tag, int data1, int data2,
                   int data3) {
  g_vCalls.push_back({"LoadRes", std::string(data, static_cast<size_t>(size)), "", 0, size, strID,
                      tag, data1, data2, data3});
}

void RecordLoadResEx(const char* fileName, int offset, int size, const char* strID, int tag,
                     int data1, int data2, int data3) {
  g_vCalls.push_back({"LoadResEx", "", fileName, offset, size, strID, tag, data1, data2, data3});
}

// Fails on its first call only.
int g_iThrowingCalls = 0;
void ThrowOnceLoadRes(const char* data, int size, const char* strID, int tag, int data1,
                      int data2, int data3) {
  if (g_iThrowingCalls++ == 0) M2D_THROW(EHS_TYPE_GAME, 0, "loader failed");
  RecordLoadRes(data, size, strID, tag, data1, data2, data3);
}

std::vector<std::string> CalledIDs() {
  std::vector<std::string> tmp_v;
  for (const SCall& c : g_vCalls) tmp_v.push_back(c.id);
  return tmp_v;
}

// }====

// {==== Pack files ===========================================================

void PutInt(std::string* fp_pOut, std::int32_t fp_iValue) {
  const auto tmp_u = static_cast<std::uint32_t>(fp_iValue);
  for (int i = 0; i < 4; ++i) fp_pOut->push_back(static_cast<char>((tmp_u >> (8 * i)) & 0xFF));
}

struct SRawEntry {
  std::string id, type;
  std::int32_t offset, size, tag, data1, data2, data3;
};

std::string RawDirectory(std::int32_t fp_iCount, const std::vector<SRawEntry>& fp_vEntries) {
  std::string tmp_str;
  PutInt(&tmp_str, fp_iCount);
  for (const SRawEntry& e : fp_vEntries) {
    tmp_str += e.id;
    tmp_str.push_back('\0');
    tmp_str += e.type;
    tmp_str.push_back('\0');
    for (std::int32_t v : {e.offset, e.size, e.tag, e.data1, e.data2, e.data3}) PutInt(&tmp_str, v);
  }
  return tmp_str;
}

struct SPakRes {
  std::string id, type, bytes;
  std::int32_t tag = 0, data1 = 0, data2 = 0, data3 = 0;
};

// A well-formed pack: directory, then the bytes in order.
std::string MakePak(const std::vector<SPakRes>& fp_vRes) {
  std::int32_t tmp_iOffset = 4;
  for (const SPakRes& r : fp_vRes) tmp_iOffset += static_cast<std::int32_t>(r.id.size() + r.type.size() + 2 + 24);
  std::vector<SRawEntry> tmp_vEntries;
  std::string tmp_strData;
  for (const SPakRes& r : fp_vRes) {
    tmp_vEntries.push_back({r.id, r.type, tmp_iOffset, static_cast<std::int32_t>(r.bytes.size()),
                            r.tag, r.data1, r.data2, r.data3});
    tmp_iOffset += static_cast<std::int32_t>(r.bytes.size());
    tmp_strData += r.bytes;
  }
  return RawDirectory(static_cast<std::int32_t>(fp_vRes.size()), tmp_vEntries) + tmp_strData;
}

std::string Scramble(const std::string& fp_strPlain) {
  std::string tmp_str(fp_strPlain);
  for (char& c : tmp_str) c = static_cast<char>(static_cast<unsigned char>(c) ^ 0xB3);
  return tmp_str;
}

// }====

// A descriptor child line.
std::string Res(const std::string& fp_strID, const std::string& fp_strType,
                const std::string& fp_strFile, const std::string& fp_strExtra = "") {
  return "  <res id=\"" + fp_strID + "\" typeid=\"" + fp_strType + "\" filename=\"" + fp_strFile +
         "\" " + fp_strExtra + "/>\n";
}

std::string Respack(const std::string& fp_strChildren) {
  return "<?xml version=\"1.0\"?>\n<respack>\n" + fp_strChildren + "</respack>\n";
}

// Runs fp_fn and returns the CEHSException it throws.
CEHSException Catch(const std::function<void()>& fp_fn) {
  try {
    fp_fn();
  } catch (const CEHSException& e) {
    return e;
  }
  ADD_FAILURE() << "no CEHSException was thrown";
  return CEHSException(-99, 0, "<none>", "", 0);
}

// The log without the engine's footer (blank, two separators, "End of log.",
// two separators, blank), which the engine's destructor appends last.
std::vector<std::string> LogWithoutFooter() {
  std::vector<std::string> tmp_v = ReadLines("gamelog.txt");
  EXPECT_GE(tmp_v.size(), 7u);
  if (tmp_v.size() >= 7 && tmp_v[tmp_v.size() - 4] == "--==: End of log.") tmp_v.resize(tmp_v.size() - 7);
  return tmp_v;
}

const std::vector<std::string> kRegistrationTail = {
    "",
    "  -=: Registering resources-loading functions for standart resource types...",
    "",
    "",
    "   +: Done.",
    "",
    "   +: Done.",
    "",
    kSep,
    ""};

const std::vector<std::string> kDeinitLines = {
    kSep, "", "--==: Deinitializing Resources Subsystem...", "", "   +: Done.", "", kSep, ""};

std::vector<std::string> Concat(std::initializer_list<std::vector<std::string>> fp_vParts) {
  std::vector<std::string> tmp_v;
  for (const auto& p : fp_vParts) tmp_v.insert(tmp_v.end(), p.begin(), p.end());
  return tmp_v;
}

class ResourcesTest : public m2dtest::TempDirTest {
 protected:
  void SetUp() override {
    m2dtest::TempDirTest::SetUp();
    g_vCalls.clear();
    g_iThrowingCalls = 0;
  }
};

}  // namespace

// {==== XML mode ===============================================================

TEST_F(ResourcesTest, XmlModeCataloguesDescriptorsAndLogsEveryStepInOrder) {
  WriteFile("DATA/a.xml", Respack(Res("TEX_A", "REC", "a.bin", "tag=\"1\" data1=\"7\" data2=\"-3\"") +
                                  "  <!-- a comment is not a resource -->\n" +
                                  Res("SND_B", "RECEX", "sub/b.wav", "tag=\"2\" data3=\"9\"")));
  WriteFile("DATA/b.xml", Respack(Res("SCR_C", "REC", "c.lua", "tag=\"1\"")));
  WriteFile("DATA/a.bin", "AAAA");
  WriteFile("DATA/sub/b.wav", "RIFFxxxxWAVE");
  WriteFile("DATA/c.lua", "print(1)");
  WriteFile("DATA/ignored.pak", MakePak({{"PAK_X", "REC", "x"}}));
  {
    CMorvane tmp_Engine;
    tmp_Engine.RES_Init();
    EXPECT_EQ(tmp_Engine.RES_GetMode(), RES_MODE_XML);
    EXPECT_EQ(tmp_Engine.bXMLEncryptMode, 0);
    tmp_Engine.RegisterLoadRes(&RecordLoadRes, "REC");
    tmp_Engine.RegisterLoadResEx(&RecordLoadResEx, "RECEX");
    tmp_Engine.LoadResources(0);
    tmp_Engine.LoadResource("NOPE");

    TItemsManager<CM2DResource>* tmp_pMan = tmp_Engine.RES_GetManager();
    ASSERT_NE(tmp_pMan, nullptr);
    ASSERT_EQ(tmp_pMan->GetCount(), 3);
    EXPECT_EQ(tmp_pMan->GetID(0), "TEX_A");
    EXPECT_EQ(tmp_pMan->GetID(2), "SCR_C");
    EXPECT_EQ(tmp_pMan->GetTag(1), 2);
    EXPECT_STREQ(tmp_pMan->GetItem(1)->GetFileName(), "./DATA/sub/b.wav");
    EXPECT_EQ(tmp_pMan->GetItem(1)->GetSize(), 12);
    EXPECT_EQ(tmp_pMan->FindItem("PAK_X"), -1);
  }

  ASSERT_EQ(g_vCalls.size(), 3u);
  EXPECT_EQ(g_vCalls[0].kind, "LoadRes");
  EXPECT_EQ(g_vCalls[0].bytes, "AAAA");
  EXPECT_EQ(g_vCalls[0].id, "TEX_A");
  EXPECT_EQ(g_vCalls[0].tag, 1);
  EXPECT_EQ(g_vCalls[0].data1, 7);
  EXPECT_EQ(g_vCalls[0].data2, -3);
  EXPECT_EQ(g_vCalls[0].data3, 0);
  EXPECT_EQ(g_vCalls[1].kind, "LoadResEx");
  EXPECT_EQ(g_vCalls[1].fileName, "./DATA/sub/b.wav");
  EXPECT_EQ(g_vCalls[1].offset, 0);
  EXPECT_EQ(g_vCalls[1].size, 12);
  EXPECT_EQ(g_vCalls[1].data3, 9);
  EXPECT_EQ(g_vCalls[2].bytes, "print(1)");

  const std::vector<std::string> tmp_vExpected = Concat(
      {{kSep, "", "--==: Initializing Resources Subsystem...", "", "",
        "   =: Resources Subsystem operates in XML mode.",
        "", "   =: Processing ResPack: ./DATA/a.xml", "", "   +: 2 resources found.", "",
        "", "   =: Processing ResPack: ./DATA/b.xml", "", "   +: 1 resources found.", "",
        "", "   +: 2 resource packs found.", ""},
       kRegistrationTail,
       {"", "  -=: Loading resources with Tag = 0", "", "", "   +: 3 resources with Tag = 0 loaded.",
        "", "", " !: Cannot find resource with ID = NOPE"},
       kDeinitLines});
  EXPECT_EQ(LogWithoutFooter(), tmp_vExpected);
}

TEST_F(ResourcesTest, DescriptorNumbersDefaultToZeroAndSaturate) {
  struct {
    const char* extra;
    int tag, data1, data2, data3;
  } const cases[] = {
      {"", 0, 0, 0, 0},
      {"tag=\"abc\" data1=\"\" data2=\"x1\" data3=\" \"", 0, 0, 0, 0},
      {"tag=\"12px\" data1=\"+5\" data2=\"-5\" data3=\"  42\"", 12, 5, -5, 42},
      {"tag=\"99999999999\" data1=\"-99999999999\" data2=\"2147483647\" data3=\"-2147483648\"",
       INT_MAX, INT_MIN, INT_MAX, INT_MIN},
  };
  std::string tmp_strChildren;
  for (size_t i = 0; i < std::size(cases); ++i)
    tmp_strChildren += Res(std::string(1, static_cast<char>('a' + i)), "REC", "r.bin", cases[i].extra);
  WriteFile("DATA/a.xml", Respack(tmp_strChildren));
  WriteFile("DATA/r.bin", "r");
  CMorvane tmp_Engine;
  tmp_Engine.RES_Init();
  tmp_Engine.RegisterLoadRes(&RecordLoadRes, "REC");
  tmp_Engine.LoadResources(0);
  ASSERT_EQ(g_vCalls.size(), std::size(cases));
  for (size_t i = 0; i < std::size(cases); ++i) {
    SCOPED_TRACE(cases[i].extra);
    EXPECT_EQ(g_vCalls[i].tag, cases[i].tag);
    EXPECT_EQ(g_vCalls[i].data1, cases[i].data1);
    EXPECT_EQ(g_vCalls[i].data2, cases[i].data2);
    EXPECT_EQ(g_vCalls[i].data3, cases[i].data3);
    EXPECT_EQ(tmp_Engine.RES_GetManager()->GetTag(static_cast<int>(i)), cases[i].tag);
  }
}

TEST_F(ResourcesTest, LowerCaseDataFolderAndMixedCaseNamesAreFound) {
  WriteFile("data/Main.XML", Respack(Res("TEX_A", "REC", "Sub\\Pic.BIN")));
  WriteFile("data/sub/pic.bin", "pixels");
  CMorvane tmp_Engine;
  tmp_Engine.RES_Init();
  EXPECT_EQ(tmp_Engine.RES_GetMode(), RES_MODE_XML);
  tmp_Engine.RegisterLoadRes(&RecordLoadRes, "REC");
  tmp_Engine.LoadResource("TEX_A");
  ASSERT_EQ(g_vCalls.size(), 1u);
  EXPECT_EQ(g_vCalls[0].bytes, "pixels");
  EXPECT_TRUE(m2dtest::ContainsLine(ReadLines("gamelog.txt"), "   =: Processing ResPack: ./DATA/Main.XML"));
}

TEST_F(ResourcesTest, XmlModeErrorsStopInitialisation) {
  struct {
    const char* name;
    std::vector<std::pair<std::string, std::string>> files;
    int type;
    std::string message;
  } const cases[] = {
      {"wrong root", {{"DATA/a.xml", "<resources><r id=\"A\"/></resources>"}}, EHS_TYPE_GAME,
       "Wrong XML ResPack descriptor: ./DATA/a.xml"},
      {"empty descriptor", {{"DATA/a.xml", ""}}, EHS_TYPE_GAME, "Wrong XML ResPack descriptor: ./DATA/a.xml"},
      {"duplicate across descriptors",
       {{"DATA/a.xml", Respack(Res("TEX_A", "REC", "f.bin"))},
        {"DATA/b.xml", Respack(Res("TEX_A", "REC", "f.bin"))},
        {"DATA/f.bin", "f"}},
       EHS_TYPE_GAME, "Dublicated resource. ID = TEX_A"},
      {"duplicate in one descriptor",
       {{"DATA/a.xml", Respack(Res("TEX_A", "REC", "f.bin") + Res("TEX_A", "REC", "f.bin"))},
        {"DATA/f.bin", "f"}},
       EHS_TYPE_GAME, "Dublicated resource. ID = TEX_A"},
      {"missing file", {{"DATA/a.xml", Respack(Res("TEX_A", "REC", "missing.bin"))}}, EHS_TYPE_GAME,
       "Cannot find file declared in ResPack. Filename = missing.bin"},
      {"folder instead of file",
       {{"DATA/a.xml", Respack(Res("TEX_A", "REC", "sub"))}, {"DATA/sub/x", "x"}},
       EHS_TYPE_GAME, "Cannot find file declared in ResPack. Filename = sub"},
      {"no filename", {{"DATA/a.xml", Respack("<r id=\"TEX_A\" typeid=\"REC\"/>")}}, EHS_TYPE_GAME,
       "Cannot find file declared in ResPack. Filename = "},
      {"empty file", {{"DATA/a.xml", Respack(Res("TEX_A", "REC", "e.bin"))}, {"DATA/e.bin", ""}},
       EHS_TYPE_GENERAL, "Wrong resource file - check if it exists!"},
      {"empty id", {{"DATA/a.xml", Respack(Res("", "REC", "f.bin"))}, {"DATA/f.bin", "f"}},
       EHS_TYPE_GENERAL, "Invalid resource ID!"},
      {"empty type id", {{"DATA/a.xml", Respack(Res("TEX_A", "", "f.bin"))}, {"DATA/f.bin", "f"}},
       EHS_TYPE_GENERAL, "Invalid resource type ID!"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    std::filesystem::remove_all("DATA");
    for (const auto& [path, bytes] : c.files) WriteFile(path, bytes);
    CMorvane tmp_Engine;
    const CEHSException e = Catch([&] { tmp_Engine.RES_Init(); });
    EXPECT_EQ(e.type, c.type);
    EXPECT_EQ(e.code, 0);
    EXPECT_EQ(e.description, c.message);
    EXPECT_EQ(tmp_Engine.bResInitialized, 1);  // so the destructor shuts it down
  }
}

// }====

// {==== PAK mode ===============================================================

TEST_F(ResourcesTest, PakModeFirstEntryWinsAcrossPacksAndXmlEncryptModeIsOn) {
  WriteFile("DATA/p1.pak", MakePak({{"TEX_A", "REC", "first", 3, 1, 2, 3},
                                    {"SND_B", "RECEX", "soundbytes", 4, 0, 5, 0}}));
  WriteFile("DATA/p2.pak", MakePak({{"TEX_A", "REC", "second", 3}, {"XML_C", "REC", "<c/>", 3}}));
  WriteFile("DATA/readme.txt", "not a pack");
  {
    CMorvane tmp_Engine;
    tmp_Engine.RES_Init();
    EXPECT_EQ(tmp_Engine.RES_GetMode(), RES_MODE_PAK);
    EXPECT_EQ(tmp_Engine.bXMLEncryptMode, 1);
    tmp_Engine.RegisterLoadRes(&RecordLoadRes, "REC");
    tmp_Engine.RegisterLoadResEx(&RecordLoadResEx, "RECEX");
    tmp_Engine.LoadResources(3);
    tmp_Engine.LoadResource("SND_B");
    EXPECT_EQ(tmp_Engine.RES_GetManager()->GetCount(), 3);
    EXPECT_STREQ(tmp_Engine.RES_GetManager()->GetItem(2)->GetFileName(), "./DATA/p2.pak");
  }
  ASSERT_EQ(g_vCalls.size(), 3u);
  EXPECT_EQ(CalledIDs(), (std::vector<std::string>{"TEX_A", "XML_C", "SND_B"}));
  EXPECT_EQ(g_vCalls[0].bytes, "first");
  EXPECT_EQ(g_vCalls[0].data1, 1);
  EXPECT_EQ(g_vCalls[0].data3, 3);
  EXPECT_EQ(g_vCalls[1].bytes, "<c/>");
  EXPECT_EQ(g_vCalls[2].fileName, "./DATA/p1.pak");
  EXPECT_EQ(g_vCalls[2].size, 10);
  EXPECT_EQ(g_vCalls[2].tag, 4);
  EXPECT_EQ(g_vCalls[2].data2, 5);
  // The entry's bytes really are at the offset handed to the LoadResEx loader.
  EXPECT_EQ(m2dtest::ReadFile("DATA/p1.pak").substr(static_cast<size_t>(g_vCalls[2].offset), 10), "soundbytes");

  const std::vector<std::string> tmp_vExpected = Concat(
      {{kSep, "", "--==: Initializing Resources Subsystem...", "", "",
        "   =: Resources Subsystem operates in PAK mode.",
        "", "   =: Processing ResPack: ./DATA/p1.pak", "", "   +: 2 resources found.", "",
        "", "   =: Processing ResPack: ./DATA/p2.pak", "", "   +: 2 resources found.", "",
        "", "   +: 2 resource packs found.", ""},
       kRegistrationTail,
       {"", "  -=: Loading resources with Tag = 3", "", "", "   +: 2 resources with Tag = 3 loaded.", ""},
       kDeinitLines});
  EXPECT_EQ(LogWithoutFooter(), tmp_vExpected);
}

TEST_F(ResourcesTest, PakEntryAtOffset100DeliversBytes100To104) {
  std::string tmp_strPak = RawDirectory(1, {{"TEX_A", "REC", 100, 5, 0, 0, 0, 0}});
  while (tmp_strPak.size() < 110) tmp_strPak.push_back(static_cast<char>('A' + tmp_strPak.size() % 26));
  WriteFile("DATA/p.pak", tmp_strPak);
  CMorvane tmp_Engine;
  tmp_Engine.RES_Init();
  tmp_Engine.RegisterLoadRes(&RecordLoadRes, "REC");
  tmp_Engine.LoadResource("TEX_A");
  ASSERT_EQ(g_vCalls.size(), 1u);
  EXPECT_EQ(g_vCalls[0].size, 5);
  EXPECT_EQ(g_vCalls[0].bytes, tmp_strPak.substr(100, 5));
}

TEST_F(ResourcesTest, TruncatedDirectoryKeepsTheEntriesReadSoFar) {
  // Three entries announced; the file ends in the middle of the second.
  const std::string tmp_strFull = RawDirectory(
      3, {{"TEX_A", "REC", 0, 4, 0, 0, 0, 0}, {"TEX_B", "REC", 0, 4, 0, 0, 0, 0}});
  const size_t tmp_uCut = 4 + (5 + 1 + 3 + 1 + 24) + 8;
  WriteFile("DATA/p.pak", tmp_strFull.substr(0, tmp_uCut));
  WriteFile("DATA/q.pak", "\x02");  // not even the entry count
  CMorvane tmp_Engine;
  tmp_Engine.RES_Init();
  ASSERT_EQ(tmp_Engine.RES_GetManager()->GetCount(), 1);
  EXPECT_EQ(tmp_Engine.RES_GetManager()->GetID(0), "TEX_A");
  tmp_Engine.RegisterLoadRes(&RecordLoadRes, "REC");
  tmp_Engine.LoadResource("TEX_A");
  ASSERT_EQ(g_vCalls.size(), 1u);
  EXPECT_EQ(g_vCalls[0].bytes, tmp_strFull.substr(0, 4));
  EXPECT_TRUE(m2dtest::ContainsLines(ReadLines("gamelog.txt"),
                                     {"   =: Processing ResPack: ./DATA/p.pak", "",
                                      " !: Warning: ResPack ends inside its directory! Entries read = 1",
                                      "   +: 3 resources found.", ""}));
  EXPECT_TRUE(m2dtest::ContainsLines(ReadLines("gamelog.txt"),
                                     {"   =: Processing ResPack: ./DATA/q.pak", "",
                                      " !: Warning: ResPack ends inside its directory! Entries read = 0",
                                      "   +: 0 resources found.", ""}));
}

TEST_F(ResourcesTest, PakEntriesThatReadOutsideTheFileAreRejected) {
  struct {
    const char* name;
    std::int32_t offset, size;
    int type;
    std::string message;
  } const cases[] = {
      {"past the end", 60, 100, EHS_TYPE_GAME,
       "Invalid resource in ResPack - data lies outside the file. ID = TEX_A"},
      {"negative offset", -4, 2, EHS_TYPE_GAME,
       "Invalid resource in ResPack - data lies outside the file. ID = TEX_A"},
      {"offset overflowing 32 bits", INT_MAX, INT_MAX, EHS_TYPE_GAME,
       "Invalid resource in ResPack - data lies outside the file. ID = TEX_A"},
      {"size 0", 0, 0, EHS_TYPE_GENERAL, "Invalide resource name - check if resource file exist!"},
      {"negative size", 0, -1, EHS_TYPE_GENERAL, "Invalide resource name - check if resource file exist!"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    std::string tmp_strPak = RawDirectory(1, {{"TEX_A", "REC", c.offset, c.size, 0, 0, 0, 0}});
    tmp_strPak.append(64, 'x');
    WriteFile("DATA/p.pak", tmp_strPak);
    CMorvane tmp_Engine;
    const CEHSException e = Catch([&] { tmp_Engine.RES_Init(); });
    EXPECT_EQ(e.type, c.type);
    EXPECT_EQ(e.description, c.message);
  }
  // An empty ID in a pack is refused like any other record.
  WriteFile("DATA/p.pak", MakePak({{"", "REC", "x"}}));
  CMorvane tmp_Engine;
  EXPECT_EQ(Catch([&] { tmp_Engine.RES_Init(); }).description, "Invalid resource ID!");
}

TEST_F(ResourcesTest, DescriptorsWinOverPacksAndLeaveTheEncryptModeAlone) {
  WriteFile("DATA/a.xml", Respack(Res("TEX_A", "REC", "a.bin")));
  WriteFile("DATA/a.bin", "a");
  WriteFile("DATA/b.pak", MakePak({{"PAK_B", "REC", "b"}}));
  for (std::uint8_t tmp_uBefore : {0, 1}) {
    CMorvane tmp_Engine;
    tmp_Engine.bXMLEncryptMode = tmp_uBefore;
    tmp_Engine.RES_Init();
    EXPECT_EQ(tmp_Engine.RES_GetMode(), RES_MODE_XML);
    EXPECT_EQ(tmp_Engine.bXMLEncryptMode, tmp_uBefore);
    EXPECT_EQ(tmp_Engine.RES_GetManager()->GetCount(), 1);
  }
}

TEST_F(ResourcesTest, ScrambledXmlDataInAPackReachesTheXmlVariables) {
  static CXMLVarInt s_ResVar("restestvar");
  // Written with CR LF line ends, scrambled byte by byte: the reader drops the
  // CRs after descrambling.
  WriteFile("DATA/v.pak", MakePak({{"XML_VARS", "XMLDATA",
                                    Scramble("<xmldata>\r\n  <v restestvar=\"42\"/>\r\n</xmldata>\r\n")}}));
  CMorvane tmp_Engine;
  tmp_Engine.RES_Init();
  ASSERT_EQ(tmp_Engine.bXMLEncryptMode, 1);
  tmp_Engine.LoadResources(0);
  EXPECT_EQ(s_ResVar.GetValue(), 42);
}

// }====

// {==== No data ================================================================

TEST_F(ResourcesTest, NoDataFolderIsAWarningNotAnError) {
  {
    CMorvane tmp_Engine;
    tmp_Engine.RES_Init();
    EXPECT_EQ(tmp_Engine.RES_GetMode(), RES_MODE_NONE);
    tmp_Engine.LoadResources(0);
  }
  const std::vector<std::string> tmp_vExpected = Concat(
      {{kSep, "", "--==: Initializing Resources Subsystem...", "", "", " !: No resources were found!"},
       kRegistrationTail,
       {"", "  -=: Loading resources with Tag = 0", "", "", "   +: 0 resources with Tag = 0 loaded.", ""},
       kDeinitLines});
  EXPECT_EQ(LogWithoutFooter(), tmp_vExpected);
}

// }====

// {==== Loading ================================================================

TEST_F(ResourcesTest, LoadResourcesVisitsSlotsInOrderFilteredByTag) {
  WriteFile("DATA/a.xml", Respack(Res("R1", "REC", "f.bin", "tag=\"1\"") + Res("R2", "REC", "f.bin", "tag=\"2\"")));
  WriteFile("DATA/b.xml", Respack(Res("R3", "REC", "f.bin", "tag=\"1\"") + Res("R4", "REC", "f.bin", "tag=\"-1\"")));
  WriteFile("DATA/f.bin", "f");
  CMorvane tmp_Engine;
  tmp_Engine.RES_Init();
  tmp_Engine.RegisterLoadRes(&RecordLoadRes, "REC");

  const std::pair<int, std::vector<std::string>> cases[] = {
      {1, {"R1", "R3"}}, {2, {"R2"}}, {-1, {"R4"}}, {5, {}}, {0, {"R1", "R2", "R3", "R4"}}};
  for (const auto& [tag, ids] : cases) {
    SCOPED_TRACE(tag);
    g_vCalls.clear();
    tmp_Engine.LoadResources(tag);
    EXPECT_EQ(CalledIDs(), ids);
    EXPECT_TRUE(m2dtest::ContainsLine(ReadLines("gamelog.txt"),
                                      "   +: " + std::to_string(ids.size()) + " resources with Tag = " +
                                          std::to_string(tag) + " loaded."));
  }
  // Every request loads again: the catalogue does not remember.
  g_vCalls.clear();
  tmp_Engine.LoadResource("R2");
  tmp_Engine.LoadResource("R2");
  EXPECT_EQ(CalledIDs(), (std::vector<std::string>{"R2", "R2"}));
}

TEST_F(ResourcesTest, NotInitialisedAndUnknownTypeErrors) {
  WriteFile("DATA/a.xml", Respack(Res("TEX_A", "WHAT", "f.bin")));
  WriteFile("DATA/f.bin", "f");
  CMorvane tmp_Engine;
  for (const auto& call : std::vector<std::function<void()>>{
           [&] { tmp_Engine.LoadResource("TEX_A"); }, [&] { tmp_Engine.LoadResources(0); }}) {
    const CEHSException e = Catch(call);
    EXPECT_EQ(e.type, EHS_TYPE_GAME);
    EXPECT_EQ(e.description, "Resources subsystem was not initialized!");
  }

  tmp_Engine.RES_Init();
  CEHSException e = Catch([&] { tmp_Engine.LoadResource("TEX_A"); });
  EXPECT_EQ(e.type, EHS_TYPE_GAME);
  EXPECT_EQ(e.description, "Cannot load resource: no function registered for Res_Type = WHAT");
  EXPECT_EQ(Catch([&] { tmp_Engine.LoadResources(0); }).description,
            "Cannot load resource: no function registered for Res_Type = WHAT");
  // The bytes are released even though no loader took them.
  EXPECT_FALSE(tmp_Engine.RES_GetManager()->GetItem(0)->IsLoaded());

  e = Catch([&] { tmp_Engine.RES_Init(); });
  EXPECT_EQ(e.description, "Error in CMorvane::RES_Init: resources subsystem is already initialized!");

  // After shut-down the catalogue is gone: asking for it is refused, not a crash.
  tmp_Engine.RES_Deinit();
  EXPECT_EQ(Catch([&] { tmp_Engine.LoadResource("TEX_A"); }).description,
            "Resources subsystem was not initialized!");
  EXPECT_EQ(Catch([&] { tmp_Engine.LoadResources(1); }).description,
            "Resources subsystem was not initialized!");
}

TEST_F(ResourcesTest, RegistriesRefuseDuplicatesAndLoadResComesFirst) {
  WriteFile("DATA/a.xml", Respack(Res("TEX_A", "GAMETYPE", "f.bin")));
  WriteFile("DATA/f.bin", "f");
  CMorvane tmp_Engine;
  tmp_Engine.RES_Init();
  tmp_Engine.RegisterLoadRes(&RecordLoadRes, "GAMETYPE");
  CEHSException e = Catch([&] { tmp_Engine.RegisterLoadRes(&RecordLoadRes, "GAMETYPE"); });
  EXPECT_EQ(e.type, EHS_TYPE_GAME);
  EXPECT_EQ(e.code, 0);
  EXPECT_EQ(e.description, "LoadRes function already registered for TypeID = GAMETYPE");
  // TEXTURE and XMLDATA are standard types registered by the initialisation.
  EXPECT_EQ(Catch([&] { tmp_Engine.RegisterLoadRes(&RecordLoadRes, "TEXTURE"); }).description,
            "LoadRes function already registered for TypeID = TEXTURE");
  EXPECT_EQ(Catch([&] { tmp_Engine.RegisterLoadRes(&RecordLoadRes, "XMLDATA"); }).description,
            "LoadRes function already registered for TypeID = XMLDATA");

  tmp_Engine.RegisterLoadResEx(&RecordLoadResEx, "GAMETYPE");
  e = Catch([&] { tmp_Engine.RegisterLoadResEx(&RecordLoadResEx, "GAMETYPE"); });
  EXPECT_EQ(e.type, EHS_TYPE_GAME);
  EXPECT_EQ(e.description, "LoadResEx function already registered for TypeID = GAMETYPE");

  tmp_Engine.LoadResource("TEX_A");
  ASSERT_EQ(g_vCalls.size(), 1u);
  EXPECT_EQ(g_vCalls[0].kind, "LoadRes");

  EXPECT_EQ(Catch([&] { tmp_Engine.RegisterLoadRes(nullptr, "NULLFN"); }).description,
            "Invalid arguments in CMorvane::RegisterLoadRes!");
  EXPECT_EQ(Catch([&] { tmp_Engine.RegisterLoadResEx(&RecordLoadResEx, nullptr); }).description,
            "Invalid arguments in CMorvane::RegisterLoadResEx!");
}

TEST_F(ResourcesTest, RegistrationsBeforeInitialisationAreReplaced) {
  CMorvane tmp_Engine;
  tmp_Engine.RegisterLoadRes(&RecordLoadRes, "XMLDATA");
  EXPECT_NO_THROW(tmp_Engine.RES_Init());
}

TEST_F(ResourcesTest, AFailingLoaderReleasesTheBytesSoTheResourceCanBeLoadedAgain) {
  WriteFile("DATA/a.xml", Respack(Res("TEX_A", "REC", "f.bin")));
  WriteFile("DATA/f.bin", "data");
  CMorvane tmp_Engine;
  tmp_Engine.RES_Init();
  tmp_Engine.RegisterLoadRes(&ThrowOnceLoadRes, "REC");
  EXPECT_EQ(Catch([&] { tmp_Engine.LoadResource("TEX_A"); }).description, "loader failed");
  EXPECT_FALSE(tmp_Engine.RES_GetManager()->GetItem(0)->IsLoaded());
  tmp_Engine.LoadResource("TEX_A");
  ASSERT_EQ(g_vCalls.size(), 1u);
  EXPECT_EQ(g_vCalls[0].bytes, "data");
}

TEST_F(ResourcesTest, ResourceFileRemovedAfterCataloguingIsAClearError) {
  WriteFile("DATA/a.xml", Respack(Res("TEX_A", "REC", "f.bin") + Res("TEX_B", "REC", "g.bin")));
  WriteFile("DATA/f.bin", "data");
  WriteFile("DATA/g.bin", "longer data");
  CMorvane tmp_Engine;
  tmp_Engine.RES_Init();
  tmp_Engine.RegisterLoadRes(&RecordLoadRes, "REC");
  std::filesystem::remove("DATA/f.bin");
  WriteFile("DATA/g.bin", "short");
  for (const char* tmp_pszID : {"TEX_A", "TEX_B"}) {
    const CEHSException e = Catch([&] { tmp_Engine.LoadResource(tmp_pszID); });
    EXPECT_EQ(e.type, EHS_TYPE_GENERAL);
    EXPECT_EQ(e.code, 0);
    EXPECT_EQ(e.description, std::string("Cannot read resource data. ID = ") + tmp_pszID);
  }
  EXPECT_TRUE(g_vCalls.empty());
}

// }====

// {==== Resource records =======================================================

TEST_F(ResourcesTest, RecordConstructionChecksItsFieldsInOrder) {
  struct {
    const char *id, *type, *file;
    int size;
    const char* message;
  } const cases[] = {
      {"", "", "", 0, "Invalid resource ID!"},
      {nullptr, "T", "f", 1, "Invalid resource ID!"},
      {"A", "", "", 0, "Invalid resource type ID!"},
      {"A", "T", "", 0, "Invalid resource filename!"},
      {"A", "T", "f", 0, "Invalide resource name - check if resource file exist!"},
      {"A", "T", "f", -7, "Invalide resource name - check if resource file exist!"},
  };
  for (const auto& c : cases) {
    const CEHSException e = Catch([&] { CM2DResource tmp_Res(c.id, c.type, 0, c.file, 0, c.size, 0, 0, 0); });
    EXPECT_EQ(e.type, EHS_TYPE_GENERAL) << c.message;
    EXPECT_EQ(e.description, c.message);
  }
  const CM2DResource tmp_Res("A", "T", 4, "./DATA/f", 8, 16, 1, 2, 3);
  EXPECT_STREQ(tmp_Res.GetID(), "A");
  EXPECT_STREQ(tmp_Res.GetTypeID(), "T");
  EXPECT_STREQ(tmp_Res.GetFileName(), "./DATA/f");
  EXPECT_EQ(tmp_Res.GetTag(), 4);
  EXPECT_EQ(tmp_Res.GetOffset(), 8);
  EXPECT_EQ(tmp_Res.GetSize(), 16);
  EXPECT_EQ(tmp_Res.GetData1() * 100 + tmp_Res.GetData2() * 10 + tmp_Res.GetData3(), 123);
  EXPECT_FALSE(tmp_Res.IsLoaded());
  EXPECT_EQ(tmp_Res.GetData(), nullptr);
}

TEST_F(ResourcesTest, RecordLoadsAndUnloadsInTurn) {
  WriteFile("data/blob.bin", "0123456789");
  auto tmp_pRes = std::make_unique<CM2DResource>("B", "T", 0, "./DATA/blob.bin", 3, 4, 0, 0, 0);
  CEHSException e = Catch([&] { tmp_pRes->DataUnLoad(); });
  EXPECT_EQ(e.type, EHS_TYPE_GENERAL);
  EXPECT_EQ(e.description, "Internal error in CM2DResource::DataUnLoad()!");

  tmp_pRes->DataLoad();
  ASSERT_TRUE(tmp_pRes->IsLoaded());
  const char* tmp_pFirst = tmp_pRes->GetData();
  EXPECT_EQ(std::string(tmp_pFirst, 4), "3456");
  e = Catch([&] { tmp_pRes->DataLoad(); });
  EXPECT_EQ(e.description, "Internal error in CM2DResource::DataLoad()!");
  EXPECT_EQ(tmp_pRes->GetData(), tmp_pFirst);  // the first buffer stays valid
  EXPECT_EQ(std::string(tmp_pRes->GetData(), 4), "3456");

  tmp_pRes->DataUnLoad();
  EXPECT_EQ(tmp_pRes->GetData(), nullptr);
  tmp_pRes->DataLoad();  // as often as asked
  tmp_pRes.reset();      // destroying a loaded record releases its buffer

  // Reading past the end of the file, or from a file that is gone.
  for (const char* tmp_pszFile : {"./DATA/blob.bin", "./DATA/gone.bin"}) {
    CM2DResource tmp_Res("LATE", "T", 0, tmp_pszFile, 8, 4, 0, 0, 0);
    e = Catch([&] { tmp_Res.DataLoad(); });
    EXPECT_EQ(e.type, EHS_TYPE_GENERAL);
    EXPECT_EQ(e.description, "Cannot read resource data. ID = LATE");
    EXPECT_FALSE(tmp_Res.IsLoaded());
  }
}

// }====
