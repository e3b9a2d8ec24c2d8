// The engine's small XML reader: elements, double-quoted attributes, <?...?>
// declarations and comments. It is not a general XML parser and never reports
// a syntax error; callers check the root name and the attributes they need.
// Input can be descrambled on load (every byte XORed with 0xB3).
#pragma once

#include <map>
#include <string>
#include <vector>

class CXMLNode {
 public:
  CXMLNode() = default;
  CXMLNode(const CXMLNode&) = delete;
  CXMLNode& operator=(const CXMLNode&) = delete;
  ~CXMLNode();

  const char* GetName() const { return name.c_str(); }
  int GetChildCount() const { return static_cast<int>(children.size()); }
  CXMLNode* GetChild(int index) const;
  // "" for an absent attribute; never null.
  const char* GetAttribute(const char* fp_pszName) const;
  void FirstAttribute();
  void NextAttribute();
  // Null when the cursor is past the last attribute.
  const char* GetAttributeName() const;
  CXMLNode* GetParent() const { return parent; }
  // The attributes in document order (the map keeps them in name order): the
  // name at fp_iIndex, 0 to GetAttributeCount()-1, or null outside. An
  // attribute written twice keeps the place of its first occurrence.
  int GetAttributeCount() const { return static_cast<int>(attributeOrder.size()); }
  const char* GetAttributeNameAt(int fp_iIndex) const;

  void Clear();

  CXMLNode* parent = nullptr;
  std::string name;
  std::map<std::string, std::string> attributes;
  std::map<std::string, std::string>::const_iterator cursor = attributes.end();
  std::vector<std::string> attributeOrder;
  std::vector<CXMLNode*> children;
};

class CXMLDocument {
 public:
  CXMLDocument() = default;
  CXMLDocument(const CXMLDocument&) = delete;
  CXMLDocument& operator=(const CXMLDocument&) = delete;

  // A file that cannot be opened or is empty leaves the text empty.
  void LoadFromFile(const char* fp_pszPath, bool fp_bEncrypted);
  // Raises the plain text exception "XMLERROR: buffer is empty." when nothing
  // is left after dropping carriage returns.
  void LoadFromBuffer(const char* fp_pData, int fp_iSize, bool fp_bEncrypted);
  void Parse();
  CXMLNode* GetRoot() { return &root; }

  const std::string& GetText() const { return text; }
  const std::string& GetDeclarationName() const { return declarationName; }
  const std::map<std::string, std::string>& GetDeclarationAttributes() const {
    return declarationAttributes;
  }

  static constexpr unsigned char kScrambleKey = 0xB3;

 private:
  std::string text;
  std::map<std::string, std::string> declarationAttributes;
  std::string declarationName;
  CXMLNode root;
};
