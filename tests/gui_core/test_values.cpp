// GUI values: the text forms of points and rectangles with their blank rules,
// the number reading, Contains and Overlaps at their edges, the typed getters
// and their messages, and how an action takes a value.
#include <cfloat>
#include <cmath>
#include <string>

#include "gui_fixture.h"
#include "m2dgui_datatypes.h"

using guitest::Thrown;

TEST(GuiValues, RectAndPointTextForms) {
  struct Case {
    const char* text;
    GUIRECT rect;
  };
  const Case kCases[] = {
      {"10 20 200 32", {10, 20, 200, 32}},
      {"1  2   3    4", {1, 2, 3, 4}},
      {" 5 6 7 8", {0, 5, 6, 7}},           // a leading blank opens the second field
      {"1 2 3 4 5 6", {1, 2, 3, 4}},        // beyond the fourth field: dropped
      {"1 1 1 0.5", {1, 1, 1, 0.5f}},
      {"-1.5 +2e1 3.25E-1 .5", {-1.5f, 20, 0.325f, 0.5f}},
      {"12px 7,5 x 4", {12, 7, 0, 4}},      // reading stops at the first misfit
      {"1 2 3", {1, 2, 3, 0}},              // a missing field reads 0
      {"", {0, 0, 0, 0}},
      {"1\t2 3 4", {1, 3, 4, 0}},           // only character 32 separates
      {"1e 2e+ 1e400 -1e400", {1, 2, FLT_MAX, -FLT_MAX}},
      {"nan inf 0x10 4", {0, 0, 0, 4}},     // no special or hex forms
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(std::string("\"") + c.text + "\"");
    const GUIRECT r = ParseRect(c.text);
    EXPECT_FLOAT_EQ(r.x, c.rect.x);
    EXPECT_FLOAT_EQ(r.y, c.rect.y);
    EXPECT_FLOAT_EQ(r.width, c.rect.width);
    EXPECT_FLOAT_EQ(r.height, c.rect.height);
  }
  const GUIPOINT p = ParsePoint("7 8 9");
  EXPECT_FLOAT_EQ(p.x, 7);
  EXPECT_FLOAT_EQ(p.y, 8);
  const GUIPOINT q = ParsePoint("  3");
  EXPECT_FLOAT_EQ(q.x, 0);
  EXPECT_FLOAT_EQ(q.y, 3);
  // A very long field is cut, never read past.
  EXPECT_FLOAT_EQ(ParseRect((std::string(500, '7') + " 2").c_str()).y, 2);
}

TEST(GuiValues, ContainsAndOverlapsAtTheEdges) {
  const GUIRECT r{10, 10, 20, 20};
  EXPECT_TRUE(r.Contains({10, 10}));
  EXPECT_TRUE(r.Contains({29.9f, 29.9f}));
  EXPECT_FALSE(r.Contains({30, 15}));
  EXPECT_FALSE(r.Contains({15, 30}));
  EXPECT_FALSE(r.Contains({9.99f, 15}));

  const GUIRECT a{0, 0, 10, 10};
  EXPECT_FALSE(a.Overlaps({10, 0, 10, 10}));
  EXPECT_TRUE(a.Overlaps({9, 0, 10, 10}));
  EXPECT_FALSE(a.Overlaps({0, -10, 10, 10}));
  EXPECT_TRUE(a.Overlaps({-5, -5, 6, 6}));
}

TEST(GuiValues, GettersRefuseOtherTypes) {
  CGUIValue v;
  v.SetString("abc");
  v.SetFloat(2.0f);
  EXPECT_EQ(v.GetType(), GUIVALUE_FLOAT);
  EXPECT_EQ(v.stringValue, "");
  EXPECT_FLOAT_EQ(v.GetFloat(), 2.0f);

  struct Case {
    int type;
    std::function<void(const CGUIValue&)> get;
  };
  const Case kGetters[] = {
      {GUIVALUE_FLOAT, [](const CGUIValue& x) { x.GetFloat(); }},
      {GUIVALUE_BOOL, [](const CGUIValue& x) { x.GetBool(); }},
      {GUIVALUE_STRING, [](const CGUIValue& x) { x.GetString(); }},
      {GUIVALUE_FUNCTION, [](const CGUIValue& x) { x.GetFunction(); }},
      {GUIVALUE_POINT, [](const CGUIValue& x) { x.GetPoint(); }},
      {GUIVALUE_RECT, [](const CGUIValue& x) { x.GetRect(); }},
      {GUIVALUE_ENUM, [](const CGUIValue& x) { x.GetEnum(); }},
  };
  const char* kNames[] = {"", "float", "boolean", "string", "function pointer",
                          "GUIPOINT", "GUIRECT", "CGUIEnum*"};
  // The empty value fails every getter; a value of one type fails all the others.
  const CGUIValue kValues[] = {CGUIValue(), CGUIValue(1.0f), CGUIValue(true), CGUIValue("s"),
                               CGUIValue(GUIPOINT{1, 2}), CGUIValue(GUIRECT{1, 2, 3, 4})};
  for (const CGUIValue& value : kValues) {
    for (const Case& g : kGetters) {
      SCOPED_TRACE(std::to_string(value.GetType()) + " read as " + std::to_string(g.type));
      if (value.GetType() == g.type) {
        EXPECT_NO_THROW(g.get(value));
        continue;
      }
      const CEHSException e = Thrown([&] { g.get(value); });
      EXPECT_EQ(e.type, EHS_TYPE_GENERAL);
      EXPECT_EQ(e.code, 0);
      EXPECT_EQ(e.description,
                std::string("CGUIValue error: current type is not ") + kNames[g.type] + "!");
    }
  }
}

namespace {
void NativeA() {}
}  // namespace

TEST(GuiValues, ActionsTakeOnlyStringsAndFunctions) {
  CGUIAction a;
  EXPECT_FALSE(a.IsSet());
  a.SetFromValue(CGUIValue(true));
  a.SetFromValue(CGUIValue(3.0f));
  a.SetFromValue(CGUIValue());
  EXPECT_EQ(a.kind, GUIACTION_NONE);
  const CEHSException e = Thrown([&] { a.Execute(); });
  EXPECT_EQ(e.type, EHS_TYPE_GAME);
  EXPECT_EQ(e.description, "Unknown action type!");

  a.SetFromValue(CGUIValue("OnSomething"));
  EXPECT_EQ(a.kind, GUIACTION_SCRIPT);
  EXPECT_EQ(a.scriptName, "OnSomething");
  CGUIValue f;
  f.SetFunction(&NativeA);
  a.SetFromValue(f);
  EXPECT_EQ(a.kind, GUIACTION_NATIVE);
  EXPECT_EQ(a.function, &NativeA);
  a.SetFromValue(CGUIValue(GUIRECT{}));
  EXPECT_EQ(a.kind, GUIACTION_NATIVE);
}

TEST(GuiValues, EnumItemsKeepTheirOrderAndCheckTheIndex) {
  CGUIEnum tmp_Enum;
  tmp_Enum.AddItem("b", "TEX_2");
  tmp_Enum.AddItem("a", "TEX_1");
  ASSERT_EQ(tmp_Enum.GetCount(), 2);
  EXPECT_EQ(tmp_Enum.GetValue(0), "TEX_2");
  EXPECT_EQ(tmp_Enum.GetName(1), "a");
  EXPECT_EQ(Thrown([&] { tmp_Enum.GetValue(2); }).description,
            "Invalid GUIEnum item index! Index = 2");
  EXPECT_EQ(Thrown([&] { tmp_Enum.GetValue(-1); }).description,
            "Invalid GUIEnum item index! Index = -1");
}

TEST(GuiValues, FloatToIntSaturates) {
  EXPECT_EQ(GUI_FloatToInt(2.9f), 2);
  EXPECT_EQ(GUI_FloatToInt(-1.5f), -1);
  EXPECT_EQ(GUI_FloatToInt(NAN), 0);
  EXPECT_EQ(GUI_FloatToInt(INFINITY), INT_MAX);
  EXPECT_EQ(GUI_FloatToInt(-INFINITY), INT_MIN);
  EXPECT_EQ(GUI_FloatToInt(3e9f), INT_MAX);
  EXPECT_EQ(GUI_FloatToInt(-3e9f), INT_MIN);
}
