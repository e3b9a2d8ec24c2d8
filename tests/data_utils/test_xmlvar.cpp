// XML variables: the integer and float conversions (a table of texts), the
// duplicate declaration, the map's lifetime, and the XMLDATA loader with its
// warnings checked in the real gamelog.txt of the test's directory.
#include <gtest/gtest.h>

#include <cfloat>
#include <climits>
#include <cmath>
#include <memory>
#include <string>

#include "cmorvane.h"
#include "cmorvane_ehs.h"
#include "cmorvane_utils_cxmlvar.h"
#include "test_support.h"

namespace {

constexpr int kKeep = 4242;  // marks "value left unchanged"

TEST(XMLVar, IntConversion) {
  struct Case {
    const char* text;
    int value;
  };
  const Case kCases[] = {
      {"12", 12},
      {"12px", 12},
      {"  -7", -7},
      {"+5", 5},
      {"\t\n\r 3 4", 3},
      {"007", 7},
      {"1.9", 1},
      {"0x10", 0},
      {"2147483647", INT_MAX},
      {"-2147483648", INT_MIN},
      {"2147483648", INT_MAX},
      {"99999999999", INT_MAX},
      {"-99999999999", INT_MIN},
      {"123456789012345678901234567890", INT_MAX},
      {"abc", kKeep},
      {"", kKeep},
      {"-", kKeep},
      {"- 5", kKeep},
      {"+-5", kKeep},
      {" x1", kKeep},
  };
  for (const Case& c : kCases) {
    CXMLVarInt tmp_Var("v");
    EXPECT_EQ(tmp_Var.GetValue(), 0);
    tmp_Var.SetValue("4242");
    tmp_Var.SetValue(c.text);
    EXPECT_EQ(tmp_Var.GetValue(), c.value) << '"' << c.text << '"';
  }
  CXMLVarInt tmp_Var("v");
  tmp_Var.SetValue(nullptr);
  EXPECT_EQ(tmp_Var.GetValue(), 0);
}

TEST(XMLVar, FloatConversion) {
  struct Case {
    const char* text;
    float value;
  };
  const Case kCases[] = {
      {"0.5", 0.5f},          {"0.25xyz", 0.25f},
      {"  -0.25e1", -2.5f},   {"+.5", 0.5f},
      {"5.", 5.0f},           {"12", 12.0f},
      {"1E+2x", 100.0f},      {"1e", 1.0f},
      {"1e+", 1.0f},          {"2.5e-1", 0.25f},
      {"0x1p3", 0.0f},        {"1e999", FLT_MAX},
      {"-1e999", -FLT_MAX},   {"1000000000000000000000000000000000000000000000000", FLT_MAX},
      {"1e-999", 0.0f},       {"0.0000000000000000000000000000000000000000000000000001", 0.0f},
      {"0e99999", 0.0f},      {"abc", float(kKeep)},
      {"", float(kKeep)},     {".", float(kKeep)},
      {"-.e1", float(kKeep)}, {"inf", float(kKeep)},
      {"nan", float(kKeep)},  {"e5", float(kKeep)},
  };
  for (const Case& c : kCases) {
    CXMLVarFloat tmp_Var("f");
    EXPECT_EQ(tmp_Var.GetValue(), 0.0f);
    tmp_Var.SetValue("4242");
    tmp_Var.SetValue(c.text);
    EXPECT_FLOAT_EQ(tmp_Var.GetValue(), c.value) << '"' << c.text << '"';
    EXPECT_TRUE(std::isfinite(tmp_Var.GetValue())) << '"' << c.text << '"';
  }
}

TEST(XMLVar, DuplicateNameThrows) {
  CXMLVarInt tmp_First("sizex");
  try {
    CXMLVarFloat tmp_Second("sizex");
    ADD_FAILURE() << "no exception";
  } catch (const CEHSException& e) {
    EXPECT_EQ(e.type, EHS_TYPE_GAME);
    EXPECT_EQ(e.code, 0);
    EXPECT_EQ(e.description,
              "Error in CXMLVar::CXMLVar(const char* fp_pszID). An object with same ID already "
              "exists! ID = sizex");
  }
  ASSERT_NE(CXMLVar::GetXMLVarsMap(), nullptr);
  EXPECT_EQ(CXMLVar::GetXMLVarsMap()->at("sizex"), &tmp_First);
}

TEST(XMLVar, MapLivesWhileVariablesDo) {
  EXPECT_EQ(CXMLVar::GetXMLVarsMap(), nullptr);
  auto tmp_pA = std::make_unique<CXMLVarInt>("a");
  auto tmp_pB = std::make_unique<CXMLVarInt>("b");
  tmp_pA.reset();
  ASSERT_NE(CXMLVar::GetXMLVarsMap(), nullptr);
  EXPECT_EQ(CXMLVar::GetXMLVarsMap()->size(), 1u);
  CXMLVar::AssignValue("b", "9");
  EXPECT_EQ(tmp_pB->GetValue(), 9);
  tmp_pB.reset();
  EXPECT_EQ(CXMLVar::GetXMLVarsMap(), nullptr);
  CXMLVarFloat tmp_Again("a");  // a new declaration starts a new map
  EXPECT_NE(CXMLVar::GetXMLVarsMap(), nullptr);
}

class XMLDataLoad : public m2dtest::TempDirTest {
 protected:
  static void Load(const std::string& fp_strText) {
    RESLOAD_XMLData(fp_strText.data(), static_cast<int>(fp_strText.size()), "XML_VARS", 1, 0, 0, 0);
  }
  static std::vector<std::string> Log() { return m2dtest::ReadLines("gamelog.txt"); }
};

TEST_F(XMLDataLoad, AssignsDeclaredVariables) {
  CXMLVarInt tmp_SizeX("sizex");
  CXMLVarInt tmp_SizeY("sizey");
  CXMLVarInt tmp_GameID("vtgameid");
  CXMLVarFloat tmp_Red("color1r");
  Load(
      "<?xml version=\"1.0\"?>\r\n<xmldata>\r\n  <v sizex=\"12\" sizey=\"8\"/>\r\n"
      "  <a color1r=\"0.5\"/><b color1r=\"0.25\" sizex=\"12px\"/>\r\n</xmldata>\r\n");
  EXPECT_EQ(tmp_SizeX.GetValue(), 12);
  EXPECT_EQ(tmp_SizeY.GetValue(), 8);
  EXPECT_FLOAT_EQ(tmp_Red.GetValue(), 0.25f);
  EXPECT_EQ(tmp_GameID.GetValue(), 0);               // not in the data: keeps its value
  EXPECT_FALSE(m2dtest::FileExists("gamelog.txt"));  // nothing to warn about

  Load("<xmldata><v sizex=\"wide\"/></xmldata>");
  EXPECT_EQ(tmp_SizeX.GetValue(), 12);
}

TEST_F(XMLDataLoad, WarnsAboutUnusedNamesInNameOrder) {
  CXMLVarInt tmp_SizeX("sizex");
  Load("<xmldata><v speed=\"3\" sizex=\"4\" alpha=\"1\"/><w speed=\"5\"/></xmldata>");
  EXPECT_EQ(tmp_SizeX.GetValue(), 4);
  EXPECT_EQ(Log(), (std::vector<std::string>{" !: Warning: unused xml variable: alpha",
                                             " !: Warning: unused xml variable: speed",
                                             " !: Warning: unused xml variable: speed"}));
}

TEST_F(XMLDataLoad, NothingHappensWithoutVariables) {
  Load("<xmldata><v speed=\"3\"/></xmldata>");
  EXPECT_FALSE(m2dtest::FileExists("gamelog.txt"));
}

TEST_F(XMLDataLoad, EmptyDataWarns) {
  CXMLVarInt tmp_SizeX("sizex");
  Load("<xmldata/>");
  Load("<xmldata>text only</xmldata>");
  EXPECT_EQ(Log(), (std::vector<std::string>{" !: Warning: empty xmldata file!",
                                             " !: Warning: empty xmldata file!"}));
}

TEST_F(XMLDataLoad, WrongDocumentThrows) {
  CXMLVarInt tmp_X("x");
  for (const char* tmp_pszText :
       {"<data x=\"1\"/>", "<XMLDATA><v x=\"1\"/></XMLDATA>", "no xml here"}) {
    try {
      Load(tmp_pszText);
      ADD_FAILURE() << tmp_pszText << ": no exception";
    } catch (const CEHSException& e) {
      EXPECT_EQ(e.type, EHS_TYPE_GENERAL) << tmp_pszText;
      EXPECT_EQ(e.code, 0) << tmp_pszText;
      EXPECT_EQ(e.description, "Error in loading XMLData: invalid root node name!") << tmp_pszText;
    }
  }
  EXPECT_EQ(tmp_X.GetValue(), 0);

  try {
    RESLOAD_XMLData("", 0, "XML_VARS", 1, 0, 0, 0);
    ADD_FAILURE() << "empty block: no exception";
  } catch (const char* e) {
    EXPECT_STREQ(e, "XMLERROR: buffer is empty.");
  }
}

TEST_F(XMLDataLoad, FollowsTheEnginesEncryptMode) {
  CXMLVarInt tmp_SizeX("sizex");
  std::string tmp_strStored = "<xmldata>\r\n<v sizex=\"21\"/>\r\n</xmldata>\r\n";
  for (char& c : tmp_strStored) c = static_cast<char>(static_cast<unsigned char>(c) ^ 0xB3);

  CMorvane tmp_Engine;
  ASSERT_EQ(GetEngine(), &tmp_Engine);
  tmp_Engine.bXMLEncryptMode = 1;
  Load(tmp_strStored);
  EXPECT_EQ(tmp_SizeX.GetValue(), 21);

  // Only the value 1 descrambles; scrambled bytes read as plain are no xmldata.
  tmp_Engine.bXMLEncryptMode = 2;
  EXPECT_THROW(Load(tmp_strStored), CEHSException);
  tmp_Engine.bXMLEncryptMode = 0;
  Load("<xmldata><v sizex=\"22\"/></xmldata>");
  EXPECT_EQ(tmp_SizeX.GetValue(), 22);
}

}  // namespace
