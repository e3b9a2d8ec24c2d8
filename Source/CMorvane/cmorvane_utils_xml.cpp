// The engine's XML reader: loading (with optional descrambling) and the
// one-pass, five-state parse into a tree of CXMLNode. Every read goes through
// CharAt, which yields 0 at or beyond the end, so no input can make the parser
// read outside its text.
#include "cmorvane_utils_xml.h"

#include <cstdio>
#include <utility>

#include "Platform/os/os.h"

// {==== CXMLNode ==============================================================

CXMLNode::~CXMLNode() {
  Clear();
}

// Deletes the subtree without recursion: a deeply nested document from data
// must not be able to overflow the stack on its way out.
void CXMLNode::Clear() {
  std::vector<CXMLNode*> tmp_vPending;
  tmp_vPending.swap(children);
  while (!tmp_vPending.empty()) {
    CXMLNode* tmp_pNode = tmp_vPending.back();
    tmp_vPending.pop_back();
    for (CXMLNode* tmp_pChild : tmp_pNode->children) tmp_vPending.push_back(tmp_pChild);
    tmp_pNode->children.clear();
    delete tmp_pNode;
  }
  attributes.clear();
  attributeOrder.clear();
  cursor = attributes.end();
  name.clear();
}

CXMLNode* CXMLNode::GetChild(int index) const {
  if (index < 0 || index >= GetChildCount()) return nullptr;
  return children[static_cast<size_t>(index)];
}

const char* CXMLNode::GetAttribute(const char* fp_pszName) const {
  if (fp_pszName == nullptr) return "";
  auto tmp_it = attributes.find(fp_pszName);
  if (tmp_it == attributes.end()) return "";
  return tmp_it->second.c_str();
}

void CXMLNode::FirstAttribute() {
  cursor = attributes.begin();
}

void CXMLNode::NextAttribute() {
  if (cursor != attributes.end()) ++cursor;
}

const char* CXMLNode::GetAttributeNameAt(int fp_iIndex) const {
  if (fp_iIndex < 0 || fp_iIndex >= GetAttributeCount()) return nullptr;
  return attributeOrder[static_cast<size_t>(fp_iIndex)].c_str();
}

const char* CXMLNode::GetAttributeName() const {
  if (cursor == attributes.end()) return nullptr;
  return cursor->first.c_str();
}

// }====

// {==== Loading ===============================================================

void CXMLDocument::LoadFromFile(const char* fp_pszPath, bool fp_bEncrypted) {
  text.clear();
  if (fp_pszPath == nullptr) return;
  const std::string tmp_strPath = os::ResolvePath(fp_pszPath);
  std::FILE* tmp_pFile = std::fopen(tmp_strPath.c_str(), "rb");
  if (tmp_pFile == nullptr) return;
  std::string tmp_strRaw;
  char tmp_aBuf[4096];
  size_t tmp_uRead;
  while ((tmp_uRead = std::fread(tmp_aBuf, 1, sizeof tmp_aBuf, tmp_pFile)) > 0) {
    tmp_strRaw.append(tmp_aBuf, tmp_uRead);
  }
  std::fclose(tmp_pFile);

  // Read as text: a CR LF pair of the file becomes LF, a lone CR stays. The
  // pair is recognised in the stored bytes, before descrambling, as a text
  // stream would do it.
  text.reserve(tmp_strRaw.size());
  for (size_t i = 0; i < tmp_strRaw.size(); ++i) {
    unsigned char tmp_cByte = static_cast<unsigned char>(tmp_strRaw[i]);
    if (tmp_cByte == 13 && i + 1 < tmp_strRaw.size() && tmp_strRaw[i + 1] == '\n') continue;
    if (fp_bEncrypted) tmp_cByte ^= kScrambleKey;
    text.push_back(static_cast<char>(tmp_cByte));
  }
}

void CXMLDocument::LoadFromBuffer(const char* fp_pData, int fp_iSize, bool fp_bEncrypted) {
  text.clear();
  if (fp_pData != nullptr && fp_iSize > 0) {
    text.reserve(static_cast<size_t>(fp_iSize));
    for (int i = 0; i < fp_iSize; ++i) {
      unsigned char tmp_cByte = static_cast<unsigned char>(fp_pData[i]);
      if (fp_bEncrypted) tmp_cByte ^= kScrambleKey;
      if (tmp_cByte == 13) continue;
      text.push_back(static_cast<char>(tmp_cByte));
    }
  }
  if (text.empty()) throw "XMLERROR: buffer is empty.";
}

// }====

// {==== Parsing ===============================================================

namespace {

// The parse state over one text: a position and the reading rules shared by
// the five states.
class CXMLScanner {
 public:
  explicit CXMLScanner(const std::string& fp_strText) : text(fp_strText) {}

  char CharAt(size_t fp_uPos) const { return fp_uPos < text.size() ? text[fp_uPos] : '\0'; }
  char Peek(size_t fp_uAhead = 0) const { return CharAt(pos + fp_uAhead); }
  bool AtEnd() const { return pos >= text.size(); }

  static bool IsSpace(char fp_c) { return fp_c == ' ' || fp_c == '\t' || fp_c == '\n'; }

  void SkipSpace() {
    while (!AtEnd() && IsSpace(text[pos])) ++pos;
  }

  // Moves to the next occurrence of fp_c; false (and at the end) if there is none.
  bool SkipTo(char fp_c) {
    while (!AtEnd() && text[pos] != fp_c) ++pos;
    return !AtEnd();
  }

  // Reads from the position up to (not including) the first whitespace or
  // any of fp_pszStops, or the end of the text.
  std::string ReadName(const char* fp_pszStops) {
    const size_t tmp_uStart = pos;
    while (!AtEnd()) {
      const char tmp_c = text[pos];
      if (IsSpace(tmp_c)) break;
      bool tmp_bStop = false;
      for (const char* p = fp_pszStops; *p != '\0'; ++p) {
        if (*p == tmp_c) tmp_bStop = true;
      }
      if (tmp_bStop) break;
      ++pos;
    }
    return text.substr(tmp_uStart, pos - tmp_uStart);
  }

  // One attribute: the name up to whitespace or '=', everything up to the
  // next double quote skipped, the value taken literally up to the closing
  // quote. False when the text ends before the closing quote; the unfinished
  // attribute is then not stored.
  // fp_pOrder, when given, receives each new name in document order.
  bool ReadAttribute(std::map<std::string, std::string>& fp_rMap,
                     std::vector<std::string>* fp_pOrder = nullptr) {
    std::string tmp_strName = ReadName("=");
    if (!SkipTo('"')) return false;
    ++pos;
    const size_t tmp_uStart = pos;
    if (!SkipTo('"')) return false;
    const bool tmp_bNew =
        fp_rMap.insert_or_assign(tmp_strName, text.substr(tmp_uStart, pos - tmp_uStart)).second;
    if (tmp_bNew && fp_pOrder != nullptr) fp_pOrder->push_back(std::move(tmp_strName));
    ++pos;
    return true;
  }

  const std::string& text;
  size_t pos = 0;
};

}  // namespace

void CXMLDocument::Parse() {
  root.Clear();
  root.parent = nullptr;
  declarationName.clear();
  declarationAttributes.clear();

  CXMLScanner tmp_Scan(text);
  CXMLNode* tmp_pCurrent = nullptr;  // null until the first start tag

  while (true) {
    // Outside markup: text between elements is dropped.
    if (!tmp_Scan.SkipTo('<')) return;
    const char tmp_cNext = tmp_Scan.Peek(1);

    if (tmp_cNext == '!') {
      // Comment (or any "<!" markup): skipped through the first "-->",
      // searched from three characters after the '<'.
      const size_t tmp_uEnd = text.find("-->", tmp_Scan.pos + 3);
      if (tmp_uEnd == std::string::npos) return;
      tmp_Scan.pos = tmp_uEnd + 3;
      continue;
    }

    if (tmp_cNext == '/') {
      // End tag: its name is not compared with the open element.
      if (!tmp_Scan.SkipTo('>')) return;
      ++tmp_Scan.pos;
      if (tmp_pCurrent == nullptr || tmp_pCurrent == &root) return;
      tmp_pCurrent = tmp_pCurrent->parent;
      continue;
    }

    if (tmp_cNext == '?') {
      tmp_Scan.pos += 2;
      declarationName = tmp_Scan.ReadName("?");
      while (true) {
        tmp_Scan.SkipSpace();
        if (tmp_Scan.AtEnd()) return;
        if (tmp_Scan.Peek() == '?' && tmp_Scan.Peek(1) == '>') {
          tmp_Scan.pos += 2;
          break;
        }
        if (!tmp_Scan.ReadAttribute(declarationAttributes)) return;
      }
      continue;
    }

    // Start tag: the first one fills the root, later ones become the last
    // child of the current element and the new current element.
    ++tmp_Scan.pos;
    CXMLNode* tmp_pNode;
    if (tmp_pCurrent == nullptr) {
      tmp_pNode = &root;
    } else {
      tmp_pNode = new CXMLNode;
      tmp_pNode->parent = tmp_pCurrent;
      tmp_pCurrent->children.push_back(tmp_pNode);
    }
    tmp_pCurrent = tmp_pNode;
    tmp_pNode->name = tmp_Scan.ReadName("/>");

    while (true) {
      tmp_Scan.SkipSpace();
      if (tmp_Scan.AtEnd()) return;
      if (tmp_Scan.Peek() == '/' && tmp_Scan.Peek(1) == '>') {
        tmp_Scan.pos += 2;
        if (tmp_pCurrent == &root) return;
        tmp_pCurrent = tmp_pCurrent->parent;
        break;
      }
      if (tmp_Scan.Peek() == '>') {
        ++tmp_Scan.pos;
        break;
      }
      if (!tmp_Scan.ReadAttribute(tmp_pCurrent->attributes, &tmp_pCurrent->attributeOrder))
        return;
    }
  }
}

// }====
