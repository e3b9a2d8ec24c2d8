// XML variables: registration in the process-wide map, the integer and float
// conversions (stream-extraction rules, saturating instead of overflowing) and
// the XMLDATA loader that assigns every attribute of a document.
static constexpr int kM2DFileID = 157;

#include "cmorvane_utils_cxmlvar.h"

#include <cfloat>
#include <charconv>
#include <climits>
#include <cstdint>
#include <new>
#include <string_view>

#include "cmorvane.h"
#include "cmorvane_ehs.h"
#include "cmorvane_utils_xml.h"

namespace {

CXMLVar::XMLVarsMap* g_pXMLVarsMap = nullptr;

bool IsDigit(char fp_c) {
  return fp_c >= '0' && fp_c <= '9';
}

// The whitespace a stream skips before a number (the "C" locale's).
const char* SkipStreamSpace(const char* fp_p) {
  while (*fp_p == ' ' || *fp_p == '\t' || *fp_p == '\n' || *fp_p == '\v' || *fp_p == '\f' ||
         *fp_p == '\r') {
    ++fp_p;
  }
  return fp_p;
}

// False when the text does not begin with a decimal integer.
bool ReadStreamInt(const char* fp_pszText, int* fp_pValue) {
  const char* p = SkipStreamSpace(fp_pszText);
  bool tmp_bNegative = false;
  if (*p == '+' || *p == '-') {
    tmp_bNegative = *p == '-';
    ++p;
  }
  if (!IsDigit(*p)) return false;
  constexpr std::int64_t kLimit = std::int64_t{INT_MAX} + 1;
  std::int64_t tmp_iAcc = 0;
  for (; IsDigit(*p); ++p) {
    if (tmp_iAcc <= kLimit) tmp_iAcc = tmp_iAcc * 10 + (*p - '0');
  }
  if (tmp_bNegative) {
    *fp_pValue = tmp_iAcc >= kLimit ? INT_MIN : static_cast<int>(-tmp_iAcc);
  } else {
    *fp_pValue = tmp_iAcc > INT_MAX ? INT_MAX : static_cast<int>(tmp_iAcc);
  }
  return true;
}

// False when the text does not begin with a floating-point number
// (digits with an optional fraction, or a fraction alone; "inf", "nan" and
// hexadecimal forms are not numbers here). An exponent is taken only when
// digits follow its letter and sign.
bool ReadStreamFloat(const char* fp_pszText, float* fp_pValue) {
  const char* p = SkipStreamSpace(fp_pszText);
  bool tmp_bNegative = false;
  if (*p == '+' || *p == '-') {
    tmp_bNegative = *p == '-';
    ++p;
  }
  const char* const tmp_pMantissa = p;
  // Decimal position of the first non-zero digit, counted from the point
  // (1 for "1", 0 for "0.1", -1 for "0.01"): decides overflow or underflow.
  std::int64_t tmp_iMagnitude = 0;
  bool tmp_bNonZero = false;
  int tmp_iDigits = 0;
  for (; IsDigit(*p); ++p, ++tmp_iDigits) {
    if (tmp_bNonZero) {
      ++tmp_iMagnitude;
    } else if (*p != '0') {
      tmp_bNonZero = true;
      tmp_iMagnitude = 1;
    }
  }
  if (*p == '.') {
    ++p;
    for (; IsDigit(*p); ++p, ++tmp_iDigits) {
      if (!tmp_bNonZero) {
        if (*p != '0') {
          tmp_bNonZero = true;
        } else {
          --tmp_iMagnitude;
        }
      }
    }
  }
  if (tmp_iDigits == 0) return false;
  const char* tmp_pEnd = p;
  if (*p == 'e' || *p == 'E') {
    const char* q = p + 1;
    bool tmp_bExpNegative = false;
    if (*q == '+' || *q == '-') {
      tmp_bExpNegative = *q == '-';
      ++q;
    }
    if (IsDigit(*q)) {
      std::int64_t tmp_iExp = 0;
      for (; IsDigit(*q); ++q) {
        if (tmp_iExp < 1000000000) tmp_iExp = tmp_iExp * 10 + (*q - '0');
      }
      tmp_iMagnitude += tmp_bExpNegative ? -tmp_iExp : tmp_iExp;
      tmp_pEnd = q;
    }
  }

  float tmp_fValue = 0.0f;
  const auto tmp_Result =
      std::from_chars(tmp_pMantissa, tmp_pEnd, tmp_fValue, std::chars_format::general);
  if (tmp_Result.ec == std::errc::result_out_of_range) {
    tmp_fValue = (tmp_bNonZero && tmp_iMagnitude > 0) ? FLT_MAX : 0.0f;
  } else if (tmp_Result.ec != std::errc()) {
    return false;
  }
  *fp_pValue = tmp_bNegative ? -tmp_fValue : tmp_fValue;
  return true;
}

}  // namespace

// {==== CXMLVar ===============================================================

CXMLVar::CXMLVar(const char* fp_pszID) {
  M2D_CHECKPOINT;
  const std::string tmp_strID = fp_pszID != nullptr ? fp_pszID : "";
  XMLVarsMap* tmp_pMap = CreateXMLVarsMap();
  if (tmp_pMap->find(tmp_strID) != tmp_pMap->end()) {
    M2D_THROW(EHS_TYPE_GAME, 0,
              "Error in CXMLVar::CXMLVar(const char* fp_pszID). An object with same ID already "
              "exists! ID = " +
                  tmp_strID);
  }
  tmp_pMap->emplace(tmp_strID, this);
}

// Removes this variable's registration (the name lives only in the map) and
// deletes the map with the last variable, so the others keep receiving data.
CXMLVar::~CXMLVar() {
  M2D_CHECKPOINT;
  if (g_pXMLVarsMap == nullptr) return;
  for (auto tmp_it = g_pXMLVarsMap->begin(); tmp_it != g_pXMLVarsMap->end(); ++tmp_it) {
    if (tmp_it->second == this) {
      g_pXMLVarsMap->erase(tmp_it);
      break;
    }
  }
  if (g_pXMLVarsMap->empty()) {
    delete g_pXMLVarsMap;
    g_pXMLVarsMap = nullptr;
  }
}

CXMLVar::XMLVarsMap* CXMLVar::CreateXMLVarsMap() {
  M2D_CHECKPOINT;
  if (g_pXMLVarsMap == nullptr) {
    g_pXMLVarsMap = new (std::nothrow) XMLVarsMap;
    if (g_pXMLVarsMap == nullptr) {
      M2D_THROW(EHS_TYPE_GENERAL, 0,
                "Error in CXMLVar::CreateXMLVarsMap(). Cannot create IDs map!");
    }
  }
  return g_pXMLVarsMap;
}

CXMLVar::XMLVarsMap* CXMLVar::GetXMLVarsMap() {
  M2D_CHECKPOINT;
  return g_pXMLVarsMap;
}

void CXMLVar::AssignValue(const char* fp_pszName, const char* fp_pszValue) {
  M2D_CHECKPOINT;
  if (g_pXMLVarsMap == nullptr || fp_pszName == nullptr) return;
  auto tmp_it = g_pXMLVarsMap->find(std::string_view(fp_pszName));
  if (tmp_it == g_pXMLVarsMap->end()) {
    CMorvane::LogAddEntry(std::string("Warning: unused xml variable: ") + fp_pszName,
                          LOG_KIND_FAILED);
    return;
  }
  tmp_it->second->SetValue(fp_pszValue);
}

void CXMLVarInt::SetValue(const char* fp_pszText) {
  M2D_CHECKPOINT;
  if (fp_pszText == nullptr) return;
  int tmp_iValue;
  if (ReadStreamInt(fp_pszText, &tmp_iValue)) value = tmp_iValue;
}

void CXMLVarFloat::SetValue(const char* fp_pszText) {
  M2D_CHECKPOINT;
  if (fp_pszText == nullptr) return;
  float tmp_fValue;
  if (ReadStreamFloat(fp_pszText, &tmp_fValue)) value = tmp_fValue;
}

// }====

// {==== XMLDATA loader ========================================================

void RESLOAD_XMLData(const char* data, int size, const char* /*strID*/, int /*tag*/, int /*data1*/,
                     int /*data2*/, int /*data3*/) {
  M2D_CHECKPOINT;
  CMorvane* tmp_pEngine = GetEngine();
  const bool tmp_bEncrypted = tmp_pEngine != nullptr && tmp_pEngine->bXMLEncryptMode == 1;

  CXMLDocument tmp_Doc;
  tmp_Doc.LoadFromBuffer(data, size, tmp_bEncrypted);
  tmp_Doc.Parse();

  CXMLNode* tmp_pRoot = tmp_Doc.GetRoot();
  if (tmp_pRoot == nullptr || std::string_view(tmp_pRoot->GetName()) != "xmldata") {
    M2D_THROW(EHS_TYPE_GENERAL, 0, "Error in loading XMLData: invalid root node name!");
  }
  if (tmp_pRoot->GetChildCount() == 0) {
    CMorvane::LogAddEntry("Warning: empty xmldata file!", LOG_KIND_FAILED);
    return;
  }
  for (int i = 0; i < tmp_pRoot->GetChildCount(); ++i) {
    CXMLNode* tmp_pChild = tmp_pRoot->GetChild(i);
    tmp_pChild->FirstAttribute();
    for (const char* tmp_pszName = tmp_pChild->GetAttributeName(); tmp_pszName != nullptr;
         tmp_pszName = tmp_pChild->GetAttributeName()) {
      CXMLVar::AssignValue(tmp_pszName, tmp_pChild->GetAttribute(tmp_pszName));
      tmp_pChild->NextAttribute();
    }
  }
}

// }====
