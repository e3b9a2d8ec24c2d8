// XML variables: named, typed game settings (CXMLVarInt, CXMLVarFloat) that
// register in a process-wide map and receive their values from XMLDATA
// resources, whose loader RESLOAD_XMLData is declared here.
#pragma once

#include <functional>
#include <map>
#include <string>

class CXMLVar {
 public:
  // Byte-wise ordered by name, non-owning.
  using XMLVarsMap = std::map<std::string, CXMLVar*, std::less<>>;

  // Registers the variable under fp_pszID; a name can be registered once.
  explicit CXMLVar(const char* fp_pszID);
  CXMLVar(const CXMLVar&) = delete;
  CXMLVar& operator=(const CXMLVar&) = delete;

  // Converts the text and stores the value; text that does not begin with a
  // number leaves the value as it was.
  virtual void SetValue(const char* fp_pszText) = 0;
  virtual ~CXMLVar();

  // Creates the map if there is none; returns it.
  static XMLVarsMap* CreateXMLVarsMap();
  // The map, or null when no variable exists.
  static XMLVarsMap* GetXMLVarsMap();
  // One assignment from data: SetValue on the variable of that name, a
  // warning in the log for an undeclared name (nothing at all when no
  // variable exists).
  static void AssignValue(const char* fp_pszName, const char* fp_pszValue);
};

// Decimal integer read like stream extraction: leading whitespace, optional
// sign, digits up to the first non-digit. Values beyond the 32-bit range
// saturate to INT_MAX / INT_MIN.
class CXMLVarInt : public CXMLVar {
 public:
  explicit CXMLVarInt(const char* fp_pszID) : CXMLVar(fp_pszID) {}
  void SetValue(const char* fp_pszText) override;
  int GetValue() const { return value; }

 private:
  int value = 0;
};

// Floating-point number read like stream extraction: leading whitespace,
// optional sign, digits, optional fraction and exponent. Values beyond the
// float range become +-FLT_MAX, values too small for it 0.
class CXMLVarFloat : public CXMLVar {
 public:
  explicit CXMLVarFloat(const char* fp_pszID) : CXMLVar(fp_pszID) {}
  void SetValue(const char* fp_pszText) override;
  float GetValue() const { return value; }

 private:
  float value = 0.0f;
};

// The loader registered for resources of type "XMLDATA": an XML text whose
// root is "xmldata"; every attribute of every child assigns one variable.
// Only data and size are used.
void RESLOAD_XMLData(const char* data, int size, const char* strID, int tag, int data1, int data2,
                     int data3);
