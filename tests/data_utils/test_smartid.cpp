// Smart identifiers: prefix detection and its errors, the duplicate check,
// SetIID/ResetIID through the IDs map, and the map's lifetime. The engine's
// objects are static; the error cases use local objects.
#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "cmorvane_ehs.h"
#include "cmorvane_utils_csmartid.h"

namespace {

// Registered during static initialisation, like the game's.
CSmartID g_StaticID("TEX_STATIC", 0);

TEST(SmartID, StaticObjectIsRegistered) {
  ASSERT_NE(CSmartID::GetIDsMap(), nullptr);
  EXPECT_EQ(g_StaticID.GetResType(), SMARTID_RES_TEXTURE);
  EXPECT_EQ(g_StaticID.GetIID(), -1);
  CSmartID::SetIID("TEX_STATIC", 4);
  EXPECT_EQ(g_StaticID.GetIID(), 4);
  CSmartID::SetIID("TEX_STATIC", -1);
  EXPECT_EQ(g_StaticID.GetIID(), -1);
}

TEST(SmartID, DetectsTheKindOrThrows) {
  struct Case {
    const char* id;
    int resType;    // expected kind when it succeeds
    int errorType;  // 0 when it succeeds
    std::string message;
  };
  const std::string kShort = "Error in CSmartID::DetectResType : strID length is too small (<4)!";
  const std::string kUnknown =
      "Error in CSmartID::DetectResType : cannot detect res type! strID = ";
  const Case kCases[] = {
      {"TEXA", SMARTID_RES_TEXTURE, 0, ""},
      {"TEX_BG", SMARTID_RES_TEXTURE, 0, ""},
      {"TEQ_STD2", SMARTID_RES_TECHNIQUE, 0, ""},
      {"FNT_FONT1", SMARTID_RES_FONT, 0, ""},
      {"SND_PIECEMOVE", SMARTID_RES_SOUND, 0, ""},
      {"TEX", 0, EHS_TYPE_GENERAL, kShort},
      {"", 0, EHS_TYPE_GENERAL, kShort},
      {nullptr, 0, EHS_TYPE_GENERAL, kShort},
      {"tex_bg", 0, EHS_TYPE_GAME, kUnknown + "tex_bg"},
      {"MUS_THEME", 0, EHS_TYPE_GAME, kUnknown + "MUS_THEME"},
      {"TE_X", 0, EHS_TYPE_GAME, kUnknown + "TE_X"},
  };
  for (const Case& c : kCases) {
    const std::string tmp_strLabel = c.id != nullptr ? c.id : "(null)";
    try {
      CSmartID tmp_ID(c.id, 0);
      EXPECT_EQ(c.errorType, 0) << tmp_strLabel << " did not throw";
      EXPECT_EQ(tmp_ID.GetResType(), c.resType) << tmp_strLabel;
      EXPECT_EQ(tmp_ID.GetIID(), -1) << tmp_strLabel;
    } catch (const CEHSException& e) {
      EXPECT_EQ(e.type, c.errorType) << tmp_strLabel;
      EXPECT_EQ(e.code, 0) << tmp_strLabel;
      EXPECT_EQ(e.description, c.message) << tmp_strLabel;
    }
  }
}

TEST(SmartID, GivenKindIsKept) {
  CSmartID tmp_ID("ANY", 3);
  EXPECT_EQ(tmp_ID.GetResType(), 3);
  EXPECT_STREQ(tmp_ID.GetStrID(), "ANY");
}

TEST(SmartID, DuplicateStringIDThrows) {
  auto tmp_pFirst = std::make_unique<CSmartID>("SND_X", 0);
  try {
    CSmartID tmp_Second("SND_X", 0);
    ADD_FAILURE() << "no exception";
  } catch (const CEHSException& e) {
    EXPECT_EQ(e.type, EHS_TYPE_GAME);
    EXPECT_EQ(e.code, 0);
    EXPECT_EQ(e.description,
              "Error in CSmartID::CSmartID(const char* fp_pszID, int fp_iResType). An object with "
              "same strID already exists! strID = SND_X");
  }
  // The failed construction did not disturb the first registration.
  CSmartID::SetIID("SND_X", 2);
  EXPECT_EQ(tmp_pFirst->GetIID(), 2);

  // Once the first is gone the name is free again.
  tmp_pFirst.reset();
  CSmartID tmp_Again("SND_X", 0);
  CSmartID::SetIID("SND_X", 6);
  EXPECT_EQ(tmp_Again.GetIID(), 6);
}

TEST(SmartID, SetAndResetIID) {
  CSmartID tmp_BG("TEX_BG", 0);
  CSmartID tmp_A("TEX_A", 0);
  CSmartID tmp_Snd("SND_A", 0);

  CSmartID::SetIID("TEX_NONE", 5);
  CSmartID::SetIID(nullptr, 5);
  CSmartID::SetIID("TEX_B", 5);  // a prefix of nothing registered
  EXPECT_EQ(tmp_BG.GetIID(), -1);
  EXPECT_EQ(tmp_A.GetIID(), -1);

  CSmartID::SetIID("TEX_BG", 3);
  CSmartID::SetIID("TEX_A", 3);
  CSmartID::SetIID("SND_A", 3);
  CSmartID::ResetIID(3, SMARTID_RES_FONT);
  CSmartID::ResetIID(7, SMARTID_RES_TEXTURE);
  EXPECT_EQ(tmp_BG.GetIID(), 3);
  EXPECT_EQ(tmp_A.GetIID(), 3);
  EXPECT_EQ(tmp_Snd.GetIID(), 3);

  // The first match in string-ID order only: "TEX_A" < "TEX_BG".
  CSmartID::ResetIID(3, SMARTID_RES_TEXTURE);
  EXPECT_EQ(tmp_A.GetIID(), -1);
  EXPECT_EQ(tmp_BG.GetIID(), 3);
  CSmartID::ResetIID(3, SMARTID_RES_TEXTURE);
  EXPECT_EQ(tmp_BG.GetIID(), -1);
  EXPECT_EQ(tmp_Snd.GetIID(), 3);
  CSmartID::ResetIID(3, SMARTID_RES_SOUND);
  EXPECT_EQ(tmp_Snd.GetIID(), -1);
}

// Destroying one object leaves the others registered; the map goes with the
// last one, and the static operations then do nothing.
TEST(SmartID, MapLivesWhileObjectsDo) {
  auto tmp_pA = std::make_unique<CSmartID>("FNT_A", 0);
  auto tmp_pB = std::make_unique<CSmartID>("FNT_B", 0);
  const size_t tmp_uBefore = CSmartID::GetIDsMap()->size();
  tmp_pA.reset();
  ASSERT_NE(CSmartID::GetIDsMap(), nullptr);
  EXPECT_EQ(CSmartID::GetIDsMap()->size(), tmp_uBefore - 1);
  CSmartID::SetIID("FNT_B", 1);
  EXPECT_EQ(tmp_pB->GetIID(), 1);
  CSmartID::SetIID("FNT_A", 1);  // gone: nothing to write to
  tmp_pB.reset();
  EXPECT_EQ(CSmartID::GetIDsMap()->count("FNT_B"), 0u);
  EXPECT_EQ(CSmartID::GetIDsMap()->count("TEX_STATIC"), 1u);
}

}  // namespace
