// Calls into scripts and script values: CLuaValue's kinds and checked
// getters, parameters in order, results from the last to the first, names
// not bound to a function, the result and parameter type errors, and the
// name of the function called last.
#include <atomic>
#include <cstdlib>
#include <new>
#include <string>
#include <vector>

#include "scripting_fixture.h"

// Counts the C++ heap allocations while a test asks for it.
namespace {
std::atomic<bool> g_bCountNews{false};
std::atomic<long> g_lNews{0};
}  // namespace

// Every plain form is replaced, so each allocation is paired with its own
// release; out of line, so the compiler does not pair malloc and free across
// the replaced operators.
namespace {
void* CountedAlloc(std::size_t fp_uSize) noexcept {
  if (g_bCountNews) ++g_lNews;
  return std::malloc(fp_uSize != 0 ? fp_uSize : 1);
}
}  // namespace
__attribute__((noinline)) void* operator new(std::size_t fp_uSize) {
  void* tmp_p = CountedAlloc(fp_uSize);
  if (tmp_p == nullptr) throw std::bad_alloc();
  return tmp_p;
}
__attribute__((noinline)) void* operator new[](std::size_t fp_uSize) {
  void* tmp_p = CountedAlloc(fp_uSize);
  if (tmp_p == nullptr) throw std::bad_alloc();
  return tmp_p;
}
__attribute__((noinline)) void* operator new(std::size_t fp_uSize, const std::nothrow_t&) noexcept {
  return CountedAlloc(fp_uSize);
}
__attribute__((noinline)) void* operator new[](std::size_t fp_uSize,
                                               const std::nothrow_t&) noexcept {
  return CountedAlloc(fp_uSize);
}
__attribute__((noinline)) void operator delete(void* fp_p) noexcept {
  std::free(fp_p);
}
__attribute__((noinline)) void operator delete[](void* fp_p) noexcept {
  std::free(fp_p);
}
__attribute__((noinline)) void operator delete(void* fp_p, std::size_t) noexcept {
  std::free(fp_p);
}
__attribute__((noinline)) void operator delete[](void* fp_p, std::size_t) noexcept {
  std::free(fp_p);
}
__attribute__((noinline)) void operator delete(void* fp_p, const std::nothrow_t&) noexcept {
  std::free(fp_p);
}
__attribute__((noinline)) void operator delete[](void* fp_p, const std::nothrow_t&) noexcept {
  std::free(fp_p);
}

using scrtest::ScriptTest;
using scrtest::Thrown;

namespace {

// The result list as "kind:value" texts, in list order.
std::vector<std::string> Describe(const std::vector<CLuaValue>& fp_vValues) {
  std::vector<std::string> tmp_v;
  for (const CLuaValue& v : fp_vValues) {
    switch (v.GetStatus()) {
      case LUAVAL_NUMBER: tmp_v.push_back("n:" + std::to_string(v.GetNumber())); break;
      case LUAVAL_BOOLEAN: tmp_v.push_back(v.GetBoolean() ? "b:true" : "b:false"); break;
      case LUAVAL_STRING: tmp_v.push_back(std::string("s:") + v.GetString()); break;
      default: tmp_v.push_back("?"); break;
    }
  }
  return tmp_v;
}

}  // namespace

TEST(CLuaValueTest, KindsAndCheckedGetters) {
  const CLuaValue tmp_Number(2.5);
  const CLuaValue tmp_Bool(true);
  const CLuaValue tmp_String("abc", false);
  const CLuaValue tmp_Function("OnClick", true);
  const CLuaValue tmp_Plain("plain");
  EXPECT_EQ(tmp_Number.GetStatus(), 1);
  EXPECT_EQ(tmp_Bool.GetStatus(), 2);
  EXPECT_EQ(tmp_String.GetStatus(), 3);
  EXPECT_EQ(tmp_Function.GetStatus(), 4);
  EXPECT_EQ(tmp_Plain.GetStatus(), 3);
  EXPECT_EQ(tmp_Number.GetNumber(), 2.5);
  EXPECT_TRUE(tmp_Bool.GetBoolean());
  EXPECT_STREQ(tmp_String.GetString(), "abc");
  EXPECT_STREQ(tmp_Function.GetFunction(), "OnClick");
  // Fields of the other kinds stay empty.
  EXPECT_EQ(tmp_Bool.number, 0.0);
  EXPECT_EQ(tmp_Number.text, "");
  EXPECT_FALSE(tmp_String.boolean);
  EXPECT_STREQ(CLuaValue(nullptr, false).GetString(), "");

  struct Case {
    const CLuaValue* value;
    int getter;  // 0 number, 1 boolean, 2 string, 3 function
    const char* message;
  };
  const Case kCases[] = {
      {&tmp_Bool, 0, "CLuaValue error: cannot return number because of different status!"},
      {&tmp_Number, 1, "CLuaValue error: cannot return boolean because of different status!"},
      {&tmp_Function, 2, "CLuaValue error: cannot return string because of different status!"},
      {&tmp_String, 3, "CLuaValue error: cannot return function because of different status!"},
  };
  for (const Case& c : kCases) {
    const CEHSException e = Thrown([&] {
      switch (c.getter) {
        case 0: (void)c.value->GetNumber(); break;
        case 1: (void)c.value->GetBoolean(); break;
        case 2: (void)c.value->GetString(); break;
        default: (void)c.value->GetFunction(); break;
      }
    });
    EXPECT_EQ(e.type, EHS_TYPE_GENERAL);
    EXPECT_EQ(e.code, 0);
    EXPECT_EQ(e.description, c.message);
  }
}

TEST_F(ScriptTest, ParametersArriveInOrderAndResultsComeBackLastToFirst) {
  StartScripts();
  Run("function f(a, b, c, d)\n"
      "  got = type(a) .. ':' .. tostring(a) .. ',' .. type(b) .. ':' .. tostring(b) .. ',' ..\n"
      "        type(c) .. ':' .. c .. ',' .. type(d) .. ':' .. d\n"
      "  return 1, 'x', false\n"
      "end\n");
  engine->AddScriptParam(CLuaValue(2.0));
  engine->AddScriptParam(CLuaValue(true));
  engine->AddScriptParam(CLuaValue("abc", false));
  engine->AddScriptParam(CLuaValue("OnClick", true));
  engine->CallScriptFunction("f", -1);
  EXPECT_EQ(String("got"), "number:2,boolean:true,string:abc,string:OnClick");
  EXPECT_EQ(Describe(engine->GetScriptResults()),
            (std::vector<std::string>{"b:false", "s:x", "n:1.000000"}));
  EXPECT_TRUE(engine->scriptParams.empty());
  EXPECT_STREQ(engine->GetCurrentScriptFunction(), "f");
  EXPECT_STREQ(GetCurrentScriptFunction(), "f");
  EXPECT_EQ(StackTop(), 0);

  // A fixed result count cuts or pads: two of three, last first.
  for (int i = 0; i < 4; ++i) engine->AddScriptParam(CLuaValue("p", false));
  engine->CallScriptFunction("f", 2);
  EXPECT_EQ(Describe(engine->GetScriptResults()), (std::vector<std::string>{"s:x", "n:1.000000"}));
}

TEST_F(ScriptTest, NamesNotBoundToAFunctionReturnQuietly) {
  StartScripts();
  EXPECT_STREQ(GetCurrentScriptFunction(), "");
  Run("number = 5\nfunction g() return 1 end");
  engine->CallScriptFunction("g", -1);
  ASSERT_EQ(engine->GetScriptResults().size(), 1u);
  const size_t tmp_uLogLines = m2dtest::ReadLines("gamelog.txt").size();
  for (const char* tmp_pszName : {"number", "missing", ""}) {
    SCOPED_TRACE(tmp_pszName);
    engine->AddScriptParam(CLuaValue(1.0));
    engine->CallScriptFunction(tmp_pszName, -1);
    EXPECT_TRUE(engine->scriptParams.empty());
    EXPECT_TRUE(engine->GetScriptResults().empty());
    EXPECT_STREQ(engine->GetCurrentScriptFunction(), tmp_pszName);
    EXPECT_EQ(StackTop(), 0);
  }
  engine->CallScriptFunction(nullptr, -1);
  EXPECT_EQ(m2dtest::ReadLines("gamelog.txt").size(), tmp_uLogLines);
}

TEST_F(ScriptTest, ResultAndParameterTypeErrors) {
  StartScripts();
  Run("function none() end\n"
      "function tbl() return {} end\n"
      "function fn() return print end\n"
      "function co() return coroutine.create(function() end) end\n"
      "function mixed() return {}, 3 end\n"
      "function boom() error('bad call') end\n");
  struct Case {
    const char* name;
    int results;
    int type;
    int code;
    std::string description;
  };
  const Case kCases[] = {
      {"none", 1, EHS_TYPE_GAME, 0, "Function: none returned result of invalid type. Type id = 0"},
      {"tbl", -1, EHS_TYPE_GAME, 0, "Function: tbl returned result of invalid type. Type id = 5"},
      {"fn", -1, EHS_TYPE_GAME, 0, "Function: fn returned result of invalid type. Type id = 6"},
      {"co", -1, EHS_TYPE_GAME, 0, "Function: co returned result of invalid type. Type id = 8"},
      {"mixed", -1, EHS_TYPE_GAME, 0,
       "Function: mixed returned result of invalid type. Type id = 5"},
      {"boom", -1, EHS_TYPE_LUA, 2, "[string \"SCR_TEST\"]:6: bad call"},
      {"none", -2, EHS_TYPE_GAME, 0, "Function: none Invalid number of results. Count = -2"},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.name);
    engine->AddScriptParam(CLuaValue(1.0));
    const CEHSException e = Thrown([&] { engine->CallScriptFunction(c.name, c.results); });
    EXPECT_EQ(e.type, c.type);
    EXPECT_EQ(e.code, c.code);
    EXPECT_EQ(e.description, c.description);
    EXPECT_TRUE(engine->scriptParams.empty());
    EXPECT_EQ(StackTop(), 0);
  }
  engine->CallScriptFunction("none", -1);
  EXPECT_TRUE(engine->GetScriptResults().empty());

  // A parameter whose status is none of the four kinds.
  CLuaValue tmp_Bad(1.0);
  tmp_Bad.status = 9;
  engine->AddScriptParam(CLuaValue(1.0));
  engine->AddScriptParam(tmp_Bad);
  const CEHSException e = Thrown([&] { engine->CallScriptFunction("none", -1); });
  EXPECT_EQ(e.type, EHS_TYPE_GAME);
  EXPECT_EQ(e.description, "Function: none Wrong parameter type. Type id = 9");
  EXPECT_TRUE(engine->scriptParams.empty());
  EXPECT_EQ(StackTop(), 0);
}

TEST_F(ScriptTest, ACallFromInsideAScriptKeepsTheCallersArguments) {
  // A glue function's string argument must survive a nested call into Lua
  // that the engine makes before it is done with it.
  scrtest::WriteRespack(
      {{"SCR_NEXT", "SCRIPT", "next.lua", "function Inner(x) return x + 1 end", 1}});
  StartResources();
  StartScripts();
  Run("function Outer(id)\n"
      "  M2D_RES_LoadResource(id)\n"
      "  return Inner(41), id\n"
      "end\n");
  engine->AddScriptParam(CLuaValue("SCR_NEXT", false));
  engine->CallScriptFunction("Outer", -1);
  EXPECT_EQ(Describe(engine->GetScriptResults()),
            (std::vector<std::string>{"s:SCR_NEXT", "n:42.000000"}));
  EXPECT_EQ(StackTop(), 0);
}

TEST_F(ScriptTest, ManyParametersAndResults) {
  StartScripts();
  Run("function count(...) return select('#', ...) end\n"
      "function many() local t = {} for i = 1, 300 do t[i] = i end return unpack(t) end\n");
  for (int i = 0; i < 500; ++i) engine->AddScriptParam(CLuaValue(static_cast<double>(i)));
  engine->CallScriptFunction("count", -1);
  ASSERT_EQ(engine->GetScriptResults().size(), 1u);
  EXPECT_EQ(engine->GetScriptResults()[0].GetNumber(), 500.0);
  engine->CallScriptFunction("many", -1);
  ASSERT_EQ(engine->GetScriptResults().size(), 300u);
  EXPECT_EQ(engine->GetScriptResults().front().GetNumber(), 300.0);
  EXPECT_EQ(engine->GetScriptResults().back().GetNumber(), 1.0);

  for (int i = 0; i < 9000; ++i) engine->AddScriptParam(CLuaValue(1.0));
  const CEHSException e = Thrown([&] { engine->CallScriptFunction("count", -1); });
  EXPECT_EQ(e.description, "Function: count Too many parameters or results.");
  EXPECT_TRUE(engine->scriptParams.empty());
  EXPECT_EQ(StackTop(), 0);
}

TEST_F(ScriptTest, AScriptCallEveryFrameAllocatesNothingOnceWarm) {
  StartScripts();
  Run("function OnUpdate(x, y, w, h, r, g, b, a, visible, enabled)\n"
      "  local cx, cy = M2D_INP_MouseGetCursorPos()\n"
      "  local d = M2D_SYS_TimerGetDelta()\n"
      "  if visible and enabled then return x + w + cx + d, true, 'ok' end\n"
      "  return 0\n"
      "end\n");
  auto tmp_Frame = [&] {
    for (int i = 0; i < 8; ++i) engine->AddScriptParam(CLuaValue(static_cast<double>(i)));
    engine->AddScriptParam(CLuaValue(true));
    engine->AddScriptParam(CLuaValue(true));
    engine->CallScriptFunction("OnUpdate", -1);
  };
  for (int i = 0; i < 10; ++i) tmp_Frame();
  g_lNews = 0;
  g_bCountNews = true;
  for (int i = 0; i < 100; ++i) tmp_Frame();
  g_bCountNews = false;
  EXPECT_EQ(g_lNews.load(), 0);
  // The counter does count: a long string parameter needs the heap.
  g_bCountNews = true;
  engine->AddScriptParam(CLuaValue(std::string(64, 'x').c_str(), false));
  g_bCountNews = false;
  EXPECT_GT(g_lNews.load(), 0);
  engine->scriptParams.clear();
  ASSERT_EQ(engine->GetScriptResults().size(), 3u);
  EXPECT_STREQ(engine->GetScriptResults()[0].GetString(), "ok");
}
