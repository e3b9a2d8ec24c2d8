// The mkpak tool, run as a process: the exact pack layout, a folder packed
// and then catalogued and loaded by the engine in PAK mode, unpacked back into
// an equivalent XML-mode folder, and the errors for bad input.
#include <algorithm>
#include <cstdint>
#include <filesystem>
#include <map>
#include <string>
#include <vector>

#include "cmorvane.h"
#include "cmorvane_res_cres.h"
#include "cmorvane_utils_cxmlvar.h"
#include "cmorvane_utils_xml.h"
#include "test_support.h"

using m2dtest::ReadFile;
using m2dtest::RunProcess;
using m2dtest::WriteFile;

namespace fs = std::filesystem;

namespace {

struct SCall {
  std::string id;
  std::string bytes;
  int tag, data1, data2, data3;
};
std::vector<SCall> g_vCalls;

void RecordLoadRes(const char* data, int size, const char* strID, int tag, int data1, int data2,
                   int data3) {
  g_vCalls.push_back({strID, std::string(data, static_cast<size_t>(size)), tag, data1, data2, data3});
}

m2dtest::ProcResult Mkpak(const std::vector<std::string>& fp_vArgs, const std::string& fp_strCwd) {
  std::vector<std::string> tmp_vArgv = {m2dtest::BuildPath("mkpak")};
  tmp_vArgv.insert(tmp_vArgv.end(), fp_vArgs.begin(), fp_vArgs.end());
  return RunProcess(tmp_vArgv, fp_strCwd);
}

std::string Xor(const std::string& fp_str) {
  std::string tmp_str(fp_str);
  for (char& c : tmp_str) c = static_cast<char>(static_cast<unsigned char>(c) ^ 0xB3);
  return tmp_str;
}

std::string NoCRLF(const std::string& fp_str) {
  std::string tmp_str;
  for (size_t i = 0; i < fp_str.size(); ++i) {
    if (fp_str[i] == '\r' && i + 1 < fp_str.size() && fp_str[i + 1] == '\n') continue;
    tmp_str.push_back(fp_str[i]);
  }
  return tmp_str;
}

std::string Int32(std::int32_t fp_i) {
  std::string tmp_str;
  for (int i = 0; i < 4; ++i) tmp_str.push_back(static_cast<char>((static_cast<std::uint32_t>(fp_i) >> (8 * i)) & 0xFF));
  return tmp_str;
}

std::vector<std::string> FilesUnder(const std::string& fp_strDir) {
  std::vector<std::string> tmp_v;
  for (const auto& e : fs::recursive_directory_iterator(fp_strDir))
    if (e.is_regular_file()) tmp_v.push_back(fs::relative(e.path(), fp_strDir).generic_string());
  std::sort(tmp_v.begin(), tmp_v.end());
  return tmp_v;
}

// A source folder with two descriptors: binary bytes with NUL and CR LF kept
// as they are, XML with CR LF line ends, a script with CR LF (not XML, so
// untouched), a loose file in a subfolder, numbers in every field.
const std::string kPng = std::string("\x89PNG\r\n\x1a\n\0\0\0\rIHDR", 16) + "\r\nmore";
const std::string kVars = "<xmldata>\r\n  <v mkpaktestvar=\"17\"/>\r\n</xmldata>\r\n";
const std::string kScript = "-- a script\r\nx = 1\r\n";
const std::string kGui = "<desktop>\r\n  <window id=\"WND_A\"/>\r\n</desktop>\r\n";

void WriteSourceFolder(const std::string& fp_strDir) {
  WriteFile(fp_strDir + "/main.xml",
            "<?xml version=\"1.0\"?>\r\n<respack>\r\n"
            "  <texture id=\"TEX_A\" typeid=\"TEXTURE\" filename=\"img\\A.png\" tag=\"1\" data1=\"2\" data2=\"-3\" data3=\"4\"/>\r\n"
            "  <vars id=\"XML_V\" typeid=\"XMLDATA\" filename=\"vars.dat\" tag=\"2\"/>\r\n"
            "  <script id=\"SCR_S\" typeid=\"SCRIPT\" filename=\"s.lua\" tag=\"3\" data1=\"99999999999\"/>\r\n"
            "</respack>\r\n");
  WriteFile(fp_strDir + "/second.xml",
            "<respack><gui id=\"GUI_D\" typeid=\"GUIDATA\" filename=\"gui/d.txt\" tag=\"4\"/></respack>");
  WriteFile(fp_strDir + "/img/A.png", kPng);
  WriteFile(fp_strDir + "/vars.dat", kVars);
  WriteFile(fp_strDir + "/s.lua", kScript);
  WriteFile(fp_strDir + "/gui/d.txt", kGui);
}

class MkpakTest : public m2dtest::TempDirTest {
 protected:
  void SetUp() override {
    m2dtest::TempDirTest::SetUp();
    g_vCalls.clear();
  }
};

}  // namespace

TEST_F(MkpakTest, PackLayoutIsDirectoryThenScrambledBytes) {
  WriteFile("src/p.xml", "<respack><r id=\"X\" typeid=\"XMLDATA\" filename=\"a.txt\" tag=\"5\" data1=\"6\" data2=\"7\" data3=\"8\"/>"
                         "<r id=\"B\" typeid=\"BLOB\" filename=\"b.bin\"/></respack>");
  WriteFile("src/a.txt", "<a/>");
  WriteFile("src/b.bin", "\r\n");
  const m2dtest::ProcResult r = Mkpak({"pack", "src", "out"}, Dir());
  ASSERT_EQ(r.exitCode, 0) << r.err;
  EXPECT_EQ(FilesUnder("out"), (std::vector<std::string>{"p.pak"}));
  const std::int32_t tmp_iData = 4 + (2 + 8 + 24) + (2 + 5 + 24);
  const std::string tmp_strExpected = Int32(2) + std::string("X\0XMLDATA\0", 10) + Int32(tmp_iData) +
                                      Int32(4) + Int32(5) + Int32(6) + Int32(7) + Int32(8) +
                                      std::string("B\0BLOB\0", 7) + Int32(tmp_iData + 4) + Int32(2) +
                                      Int32(0) + Int32(0) + Int32(0) + Int32(0) +
                                      Xor("<a/>") + "\r\n";
  EXPECT_EQ(ReadFile("out/p.pak"), tmp_strExpected);
}

TEST_F(MkpakTest, PackedFolderLoadsThroughTheEngineAndUnpacksToAnEquivalentFolder) {
  WriteSourceFolder("src");
  m2dtest::ProcResult r = Mkpak({"pack", "src", "game/DATA"}, Dir());
  ASSERT_EQ(r.exitCode, 0) << r.err;
  EXPECT_EQ(FilesUnder("game/DATA"), (std::vector<std::string>{"main.pak", "second.pak"}));

  static CXMLVarInt s_Var("mkpaktestvar");
  fs::current_path("game");
  {
    CMorvane tmp_Engine;
    tmp_Engine.RES_Init();
    ASSERT_EQ(tmp_Engine.RES_GetMode(), RES_MODE_PAK);
    ASSERT_EQ(tmp_Engine.bXMLEncryptMode, 1);
    // TEXTURE and SCRIPT are standard types whose loaders need graphics and
    // scripts; what they would be handed is read from the records instead.
    for (const char* tmp_pszID : {"TEX_A", "SCR_S"}) {
      CM2DResource* tmp_pRes =
          tmp_Engine.RES_GetManager()->GetItem(tmp_Engine.RES_GetManager()->FindItem(tmp_pszID));
      ASSERT_NE(tmp_pRes, nullptr) << tmp_pszID;
      tmp_pRes->DataLoad();
      RecordLoadRes(tmp_pRes->GetData(), tmp_pRes->GetSize(), tmp_pszID, tmp_pRes->GetTag(),
                    tmp_pRes->GetData1(), tmp_pRes->GetData2(), tmp_pRes->GetData3());
      tmp_pRes->DataUnLoad();
    }
    tmp_Engine.RegisterLoadRes(&RecordLoadRes, "GUIDATA");
    tmp_Engine.LoadResource("XML_V");
    tmp_Engine.LoadResource("GUI_D");
  }
  fs::current_path(Dir());
  EXPECT_EQ(s_Var.GetValue(), 17);
  ASSERT_EQ(g_vCalls.size(), 3u);
  EXPECT_EQ(g_vCalls[0].id, "TEX_A");
  EXPECT_EQ(g_vCalls[0].bytes, kPng);
  EXPECT_EQ(g_vCalls[0].tag * 1000 + g_vCalls[0].data1 * 100 + g_vCalls[0].data3, 1204);
  EXPECT_EQ(g_vCalls[0].data2, -3);
  EXPECT_EQ(g_vCalls[1].id, "SCR_S");
  EXPECT_EQ(g_vCalls[1].bytes, kScript);
  EXPECT_EQ(g_vCalls[1].data1, 2147483647);
  EXPECT_EQ(g_vCalls[2].id, "GUI_D");
  EXPECT_EQ(g_vCalls[2].tag, 4);
  EXPECT_EQ(g_vCalls[2].bytes, Xor(NoCRLF(kGui)));
  CXMLDocument tmp_Doc;
  tmp_Doc.LoadFromBuffer(g_vCalls[2].bytes.data(), static_cast<int>(g_vCalls[2].bytes.size()), true);
  tmp_Doc.Parse();
  ASSERT_STREQ(tmp_Doc.GetRoot()->GetName(), "desktop");
  EXPECT_STREQ(tmp_Doc.GetRoot()->GetChild(0)->GetAttribute("id"), "WND_A");

  // Back to XML mode.
  r = Mkpak({"unpack", "game/DATA", "back/DATA"}, Dir());
  ASSERT_EQ(r.exitCode, 0) << r.err;
  EXPECT_EQ(FilesUnder("back/DATA"),
            (std::vector<std::string>{"main.xml", "main/SCR_S.lua", "main/TEX_A.png", "main/XML_V.xml",
                                      "second.xml", "second/GUI_D.xml"}));
  EXPECT_EQ(ReadFile("back/DATA/main/TEX_A.png"), kPng);
  EXPECT_EQ(ReadFile("back/DATA/main/XML_V.xml"), NoCRLF(kVars));
  EXPECT_EQ(ReadFile("back/DATA/main/SCR_S.lua"), kScript);
  EXPECT_EQ(ReadFile("back/DATA/second/GUI_D.xml"), NoCRLF(kGui));

  CXMLDocument tmp_Desc;
  tmp_Desc.LoadFromFile("back/DATA/main.xml", false);
  tmp_Desc.Parse();
  CXMLNode* tmp_pRoot = tmp_Desc.GetRoot();
  ASSERT_STREQ(tmp_pRoot->GetName(), "respack");
  ASSERT_EQ(tmp_pRoot->GetChildCount(), 3);
  const std::map<std::string, std::string> tmp_mExpected = {
      {"id", "TEX_A"}, {"typeid", "TEXTURE"}, {"filename", "main/TEX_A.png"},
      {"tag", "1"},    {"data1", "2"},        {"data2", "-3"}, {"data3", "4"}};
  for (const auto& [name, value] : tmp_mExpected)
    EXPECT_EQ(std::string(tmp_pRoot->GetChild(0)->GetAttribute(name.c_str())), value) << name;
  EXPECT_STREQ(tmp_pRoot->GetChild(2)->GetAttribute("data1"), "2147483647");

  // The unpacked folder is a working XML-mode folder, and packing it again
  // gives the same packs byte for byte.
  r = Mkpak({"pack", "back/DATA", "again"}, Dir());
  ASSERT_EQ(r.exitCode, 0) << r.err;
  EXPECT_EQ(ReadFile("again/main.pak"), ReadFile("game/DATA/main.pak"));
  EXPECT_EQ(ReadFile("again/second.pak"), ReadFile("game/DATA/second.pak"));
}

TEST_F(MkpakTest, BadInputIsRefusedWithExitStatusOneAndNoOutput) {
  const std::string tmp_strGood = "<respack><r id=\"A\" typeid=\"BLOB\" filename=\"a.bin\"/></respack>";
  std::string tmp_strTruncated = Int32(2) + std::string("A\0BLOB\0", 7) + Int32(0) + Int32(4);
  std::string tmp_strOutside = Int32(1) + std::string("A\0BLOB\0", 7) + Int32(20) + Int32(100) +
                               Int32(0) + Int32(0) + Int32(0) + Int32(0);
  const std::string tmp_strPakA = Int32(1) + std::string("A\0BLOB\0", 7) + Int32(35) + Int32(1) +
                                  Int32(0) + Int32(0) + Int32(0) + Int32(0) + "x";
  struct {
    const char* name;
    const char* command;
    std::vector<std::pair<std::string, std::string>> files;
    std::string error;
  } const cases[] = {
      {"no source folder", "pack", {}, "no such folder: src"},
      {"no descriptors", "pack", {{"src/a.bin", "x"}}, "no resource pack descriptors (*.xml) in src"},
      {"wrong root", "pack", {{"src/p.xml", "<resources/>"}}, "not a resource pack descriptor"},
      {"duplicate id", "pack",
       {{"src/p.xml", tmp_strGood}, {"src/q.xml", tmp_strGood}, {"src/a.bin", "x"}}, "duplicate id A"},
      {"missing file", "pack", {{"src/p.xml", tmp_strGood}}, "cannot read file a.bin"},
      {"empty file", "pack", {{"src/p.xml", tmp_strGood}, {"src/a.bin", ""}}, "file is empty: a.bin"},
      {"no id", "pack", {{"src/p.xml", "<respack><r typeid=\"T\" filename=\"a.bin\"/></respack>"}}, "no id"},
      {"no typeid", "pack", {{"src/p.xml", "<respack><r id=\"A\" filename=\"a.bin\"/></respack>"}}, "no typeid"},
      {"no packs", "unpack", {{"src/p.xml", tmp_strGood}}, "no pack files (*.pak) in src"},
      {"truncated pack", "unpack", {{"src/p.pak", tmp_strTruncated}}, "ends inside its directory (0 of 2 entries)"},
      {"data outside the pack", "unpack", {{"src/p.pak", tmp_strOutside}}, "data lies outside the file"},
      {"duplicate id in packs", "unpack", {{"src/p.pak", tmp_strPakA}, {"src/q.pak", tmp_strPakA}},
       "duplicate id A"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    fs::remove_all("src");
    for (const auto& [path, bytes] : c.files) WriteFile(path, bytes);
    const m2dtest::ProcResult r = Mkpak({c.command, "src", "out"}, Dir());
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_NE(r.err.find("mkpak: error: "), std::string::npos) << r.err;
    EXPECT_NE(r.err.find(c.error), std::string::npos) << r.err;
    EXPECT_FALSE(fs::exists("out"));
  }
  EXPECT_EQ(Mkpak({}, Dir()).exitCode, 2);
  EXPECT_EQ(Mkpak({"squash", "src", "out"}, Dir()).exitCode, 2);
}
