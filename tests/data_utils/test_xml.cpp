// The XML reader: the parse rules as a table of documents and expected trees
// (a compact dump), the attribute walk, loading from memory and from files,
// descrambling and the empty-buffer error.
#include <gtest/gtest.h>

#include <string>

#include "cmorvane_utils_xml.h"
#include "test_support.h"

namespace {

// name{attr=value,...}(child child ...); children and attributes only when present.
std::string Dump(const CXMLNode& fp_rNode) {
  std::string tmp_str = fp_rNode.name;
  if (!fp_rNode.attributes.empty()) {
    tmp_str += '{';
    bool tmp_bFirst = true;
    for (const auto& [tmp_k, tmp_v] : fp_rNode.attributes) {
      if (!tmp_bFirst) tmp_str += ',';
      tmp_bFirst = false;
      tmp_str += tmp_k + "=" + tmp_v;
    }
    tmp_str += '}';
  }
  if (!fp_rNode.children.empty()) {
    tmp_str += '(';
    for (size_t i = 0; i < fp_rNode.children.size(); ++i) {
      if (i > 0) tmp_str += ' ';
      EXPECT_EQ(fp_rNode.children[i]->parent, &fp_rNode);
      tmp_str += Dump(*fp_rNode.children[i]);
    }
    tmp_str += ')';
  }
  return tmp_str;
}

std::string ParseDump(const std::string& fp_strText) {
  CXMLDocument tmp_Doc;
  tmp_Doc.LoadFromBuffer(fp_strText.data(), static_cast<int>(fp_strText.size()), false);
  tmp_Doc.Parse();
  EXPECT_EQ(tmp_Doc.GetRoot()->parent, nullptr);
  return Dump(*tmp_Doc.GetRoot());
}

std::string Scramble(const std::string& fp_strPlain) {
  std::string tmp_str = fp_strPlain;
  for (char& c : tmp_str) c = static_cast<char>(static_cast<unsigned char>(c) ^ 0xB3);
  return tmp_str;
}

struct ParseCase {
  const char* label;
  std::string text;
  std::string tree;
};

TEST(XMLReader, ParseRules) {
  const ParseCase kCases[] = {
      {"repeated attribute: last wins", R"(<a x="1" x="2"/>)", "a{x=2}"},
      {"attributes kept in name order", R"(<a b="1" a="2">)", "a{a=2,b=1}"},
      {"blanks around =", R"(<item name = "v w">)", "item{name=v w}"},
      {"tab and line feed around =", "<r a\n=\t\"1\"\n\tb=\"2\"\n/>", "r{a=1,b=2}"},
      {"single quotes do not delimit", R"(<item name='v'><c k="1"/></item>)", "item{name=1}"},
      {"values taken literally", R"(<t v="a &amp; b" w="x>y<z" u="l1
l2	t"/>)",
       "t{u=l1\nl2\tt,v=a &amp; b,w=x>y<z}"},
      {"element text dropped", R"(<r>text<c/>more</r>)", "r(c)"},
      {"end tag closes whatever is open", R"(<r><a></b><c/></r>)", "r(a c)"},
      {"nesting", R"(<r><a><b/><b x="1"></b></a><c /></r>)", "r(a(b b{x=1}) c)"},
      {"nothing after the root is read", R"(<r><a/></r><s/><t>)", "r(a)"},
      {"empty root ends the parse", R"(<r/><s/>)", "r"},
      {"declaration and comment before the root", R"(<?xml version="1.0"?><!-- c --><r/>)", "r"},
      {"declaration inside an element", R"(<r><?pi a="1"?><c/></r>)", "r(c)"},
      {"comment hides markup", R"(<r><!-- <x/> --><c/></r>)", "r(c)"},
      {"comment search starts three after <", R"(<!--><r/>--><s/>)", "s"},
      {"shortest closed comment", R"(<!---><r/>)", "r"},
      {"doctype is a comment without end", R"(<!DOCTYPE r><r/>)", ""},
      {"end tag before the first start tag ends the parse", R"(</x><r/>)", ""},
      {"no markup at all", "just text", ""},
      {"ends inside a value", R"(<r><a x="1"><b y="2)", "r(a{x=1}(b))"},
      {"ends inside a comment", R"(<r><a/><!-- <b/>)", "r(a)"},
      {"ends inside a start tag", R"(<r a="1")", "r{a=1}"},
      {"ends after <", "<r><", "r()"},
      {"malformed name swallows / and >", R"(<r a/><c/>)", "r"},
      {"quotes can be part of a name", R"(<r "a"="1"/>)", "r{\"a\"=1}"},
      {"lone / is an attribute name", R"(<r / x="1"><c/></r>)", "r{/=1}(c)"},
      {"name ends at tab, line feed, / or >", "<r\tx=\"1\"><a\n/><b/><c></c></r>", "r{x=1}(a b c)"},
  };
  for (const ParseCase& tmp_rCase : kCases) {
    EXPECT_EQ(ParseDump(tmp_rCase.text), tmp_rCase.tree) << tmp_rCase.label;
  }
}

TEST(XMLReader, DeclarationIsStored) {
  const std::string tmp_strText = R"(<?xml version="1.0" encoding = "x y"?><!-- c --><r/>)";
  CXMLDocument tmp_Doc;
  tmp_Doc.LoadFromBuffer(tmp_strText.data(), static_cast<int>(tmp_strText.size()), false);
  tmp_Doc.Parse();
  EXPECT_EQ(tmp_Doc.GetDeclarationName(), "xml");
  const std::map<std::string, std::string> tmp_mExpected = {{"encoding", "x y"},
                                                            {"version", "1.0"}};
  EXPECT_EQ(tmp_Doc.GetDeclarationAttributes(), tmp_mExpected);
  EXPECT_STREQ(tmp_Doc.GetRoot()->GetName(), "r");
  EXPECT_EQ(tmp_Doc.GetRoot()->GetChildCount(), 0);
}

TEST(XMLReader, NodeAccessors) {
  const std::string tmp_strText = R"(<r zeta="3" alpha="1" mid="" ><c1/><c2/></r>)";
  CXMLDocument tmp_Doc;
  tmp_Doc.LoadFromBuffer(tmp_strText.data(), static_cast<int>(tmp_strText.size()), false);
  tmp_Doc.Parse();
  CXMLNode* tmp_pRoot = tmp_Doc.GetRoot();

  ASSERT_EQ(tmp_pRoot->GetChildCount(), 2);
  EXPECT_STREQ(tmp_pRoot->GetChild(1)->GetName(), "c2");
  EXPECT_EQ(tmp_pRoot->GetChild(-1), nullptr);
  EXPECT_EQ(tmp_pRoot->GetChild(2), nullptr);
  EXPECT_EQ(tmp_pRoot->GetChild(0)->GetChild(0), nullptr);
  EXPECT_EQ(tmp_pRoot->GetChild(0)->GetParent(), tmp_pRoot);

  EXPECT_STREQ(tmp_pRoot->GetAttribute("alpha"), "1");
  EXPECT_STREQ(tmp_pRoot->GetAttribute("Alpha"), "");
  EXPECT_STREQ(tmp_pRoot->GetAttribute("missing"), "");
  EXPECT_STREQ(tmp_pRoot->GetAttribute(nullptr), "");
  EXPECT_STREQ(tmp_pRoot->GetAttribute("mid"), "");

  std::string tmp_strWalk;
  tmp_pRoot->FirstAttribute();
  for (const char* n = tmp_pRoot->GetAttributeName(); n != nullptr;
       n = tmp_pRoot->GetAttributeName()) {
    tmp_strWalk += std::string(n) + "=" + tmp_pRoot->GetAttribute(n) + ";";
    tmp_pRoot->NextAttribute();
  }
  EXPECT_EQ(tmp_strWalk, "alpha=1;mid=;zeta=3;");
  tmp_pRoot->NextAttribute();  // past the end: stays there
  EXPECT_EQ(tmp_pRoot->GetAttributeName(), nullptr);

  CXMLNode* tmp_pChild = tmp_pRoot->GetChild(0);
  tmp_pChild->FirstAttribute();
  EXPECT_EQ(tmp_pChild->GetAttributeName(), nullptr);
  // A node that was never walked has its cursor past the end.
  EXPECT_EQ(tmp_pRoot->GetChild(1)->GetAttributeName(), nullptr);
}

TEST(XMLReader, ParseTwiceRebuildsTheTree) {
  const std::string tmp_strText = R"(<?a x="1"?><r k="v"><c/></r>)";
  CXMLDocument tmp_Doc;
  tmp_Doc.LoadFromBuffer(tmp_strText.data(), static_cast<int>(tmp_strText.size()), false);
  tmp_Doc.Parse();
  tmp_Doc.Parse();
  EXPECT_EQ(Dump(*tmp_Doc.GetRoot()), "r{k=v}(c)");
  EXPECT_EQ(tmp_Doc.GetDeclarationAttributes().size(), 1u);
}

// Nesting deep enough that a recursive walk would run out of stack.
TEST(XMLReader, DeepNestingParsesAndFrees) {
  constexpr int kDepth = 300000;
  std::string tmp_strText;
  tmp_strText.reserve(kDepth * 3);
  for (int i = 0; i < kDepth; ++i) tmp_strText += "<a>";
  CXMLDocument* tmp_pDoc = new CXMLDocument;
  tmp_pDoc->LoadFromBuffer(tmp_strText.data(), static_cast<int>(tmp_strText.size()), false);
  tmp_pDoc->Parse();
  int tmp_iDepth = 1;
  for (CXMLNode* n = tmp_pDoc->GetRoot(); n->GetChildCount() == 1; n = n->GetChild(0)) ++tmp_iDepth;
  EXPECT_EQ(tmp_iDepth, kDepth);
  delete tmp_pDoc;
}

TEST(XMLReader, LoadFromBufferDropsCarriageReturns) {
  const std::string tmp_strText = "<r\r\n a=\"1\r2\"\r\n/>\r\n";
  CXMLDocument tmp_Doc;
  tmp_Doc.LoadFromBuffer(tmp_strText.data(), static_cast<int>(tmp_strText.size()), false);
  EXPECT_EQ(tmp_Doc.GetText(), "<r\n a=\"12\"\n/>\n");
  tmp_Doc.Parse();
  EXPECT_EQ(Dump(*tmp_Doc.GetRoot()), "r{a=12}");
}

TEST(XMLReader, LoadFromBufferDescrambles) {
  // 0xBE scrambles to 13: a stored 13 is data, only a descrambled 13 is dropped.
  const std::string tmp_strPlain = "<r a=\"\xBE\">\r\n<c/>\r\n</r>\r\n";
  const std::string tmp_strStored = Scramble(tmp_strPlain);
  ASSERT_NE(tmp_strStored.find('\r'), std::string::npos);

  CXMLDocument tmp_Doc;
  tmp_Doc.LoadFromBuffer(tmp_strStored.data(), static_cast<int>(tmp_strStored.size()), true);
  EXPECT_EQ(tmp_Doc.GetText(), "<r a=\"\xBE\">\n<c/>\n</r>\n");
  tmp_Doc.Parse();
  EXPECT_EQ(Dump(*tmp_Doc.GetRoot()), "r{a=\xBE}(c)");

  // Read without descrambling, the same bytes are no document.
  CXMLDocument tmp_Plain;
  tmp_Plain.LoadFromBuffer(tmp_strStored.data(), static_cast<int>(tmp_strStored.size()), false);
  tmp_Plain.Parse();
  EXPECT_STREQ(tmp_Plain.GetRoot()->GetName(), "");
}

TEST(XMLReader, EmptyBufferThrowsPlainText) {
  const std::string tmp_strCRs = "\r\r\r";
  const std::string tmp_strScrambledCRs = Scramble("\r\r");
  struct Case {
    const char* label;
    const char* data;
    int size;
    bool encrypted;
  };
  const Case kCases[] = {
      {"size 0", "<r/>", 0, false},
      {"negative size", "<r/>", -5, false},
      {"null data", nullptr, 10, false},
      {"only carriage returns", tmp_strCRs.data(), 3, false},
      {"only scrambled carriage returns", tmp_strScrambledCRs.data(), 2, true},
  };
  for (const Case& c : kCases) {
    CXMLDocument tmp_Doc;
    const std::string tmp_strOld = "<old/>";
    tmp_Doc.LoadFromBuffer(tmp_strOld.data(), 6, false);
    try {
      tmp_Doc.LoadFromBuffer(c.data, c.size, c.encrypted);
      ADD_FAILURE() << c.label << ": no exception";
    } catch (const char* e) {
      EXPECT_STREQ(e, "XMLERROR: buffer is empty.") << c.label;
    }
    EXPECT_EQ(tmp_Doc.GetText(), "") << c.label;
  }
}

class XMLReaderFile : public m2dtest::TempDirTest {};

TEST_F(XMLReaderFile, ReadsCRLFAsLineFeed) {
  m2dtest::WriteFile("DATA/pack.xml", "<r>\r\n  <c a=\"x\ry\"/>\r\n</r>\r\n");
  CXMLDocument tmp_Doc;
  tmp_Doc.LoadFromFile("./DATA/pack.xml", false);
  EXPECT_EQ(tmp_Doc.GetText(), "<r>\n  <c a=\"x\ry\"/>\n</r>\n");
  tmp_Doc.Parse();
  EXPECT_EQ(Dump(*tmp_Doc.GetRoot()), "r(c{a=x\ry})");
}

TEST_F(XMLReaderFile, DescramblesWhenAsked) {
  m2dtest::WriteFile("DATA/s.xml", Scramble("<r a=\"1\"><c/></r>"));
  CXMLDocument tmp_Doc;
  tmp_Doc.LoadFromFile("./DATA/s.xml", true);
  tmp_Doc.Parse();
  EXPECT_EQ(Dump(*tmp_Doc.GetRoot()), "r{a=1}(c)");

  CXMLDocument tmp_Raw;
  tmp_Raw.LoadFromFile("./DATA/s.xml", false);
  EXPECT_EQ(tmp_Raw.GetText(), Scramble("<r a=\"1\"><c/></r>"));
}

TEST_F(XMLReaderFile, MissingOrEmptyFileLeavesDocumentEmpty) {
  m2dtest::WriteFile("empty.xml", "");
  for (const char* tmp_pszPath : {"empty.xml", "missing.xml", "nodir/x.xml"}) {
    CXMLDocument tmp_Doc;
    const std::string tmp_strOld = "<old/>";
    tmp_Doc.LoadFromBuffer(tmp_strOld.data(), 6, false);
    tmp_Doc.LoadFromFile(tmp_pszPath, false);
    EXPECT_EQ(tmp_Doc.GetText(), "") << tmp_pszPath;
    tmp_Doc.Parse();
    EXPECT_STREQ(tmp_Doc.GetRoot()->GetName(), "") << tmp_pszPath;
  }
}

TEST_F(XMLReaderFile, PathIsResolvedLikeTheData) {
  m2dtest::WriteFile("DATA/Pack.xml", "<respack/>");
  CXMLDocument tmp_Doc;
  tmp_Doc.LoadFromFile(".\\data\\PACK.XML", false);
  tmp_Doc.Parse();
  EXPECT_STREQ(tmp_Doc.GetRoot()->GetName(), "respack");
}

}  // namespace
