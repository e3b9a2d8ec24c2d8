// The script subsystem: start-up and shut-down with their log lines and
// errors, the libraries a script gets, script resources with syntax and
// run-time errors, the panic handler, and engine exceptions raised inside
// glue functions, which must reach the engine's caller unchanged whatever the
// script does to catch them.
#include <cstdint>
#include <string>
#include <vector>

#include "cmorvane_scr_glue.h"
#include "scripting_fixture.h"

using m2dtest::ContainsLines;
using m2dtest::ReadLines;
using scrtest::ScriptTest;
using scrtest::Thrown;

namespace {

const std::string kSep = "|---------------------------------------------------|";

// A glue function of the tests' own that fails with an engine exception and
// remembers where the exception object lives.
const CEHSException* g_pThrown = nullptr;
int glue_TEST_Fail(lua_State* fp_pL) {
  return SCR_GlueRun(fp_pL, [] {
    try {
      M2D_THROW(EHS_TYPE_GAME, 77, "Test failure!");
    } catch (const CEHSException& e) {
      g_pThrown = &e;
      throw;
    }
    return 0;
  });
}

// One that throws something that is not an engine exception at all.
struct STestError {
  int value;
};
int glue_TEST_FailOther(lua_State* fp_pL) {
  return SCR_GlueRun(fp_pL, []() -> int { throw STestError{42}; });
}

// One that faults: a write through a null pointer, which the fault
// translator turns into the engine's exception inside the glue function.
int* volatile g_pNull = nullptr;
__attribute__((noinline)) void WriteThrough(int* fp_pTarget) {
  *static_cast<volatile int*>(fp_pTarget) = 1;
}
int glue_TEST_Fault(lua_State* fp_pL) {
  return SCR_GlueRun(fp_pL, [] {
    WriteThrough(g_pNull);
    return 0;
  });
}

}  // namespace

// {==== Start-up and shut-down ===============================================

TEST_F(ScriptTest, InitAndDeinitWriteTheirLogLines) {
  StartScripts();
  EXPECT_EQ(engine->bScrInitialized, 1);
  ASSERT_NE(engine->SCR_GetState(), nullptr);
  EXPECT_EQ(StackTop(), 0);
  engine->SCR_Deinit();
  EXPECT_EQ(engine->SCR_GetState(), nullptr);

  const std::vector<std::string> tmp_vLog = ReadLines("gamelog.txt");
  EXPECT_TRUE(ContainsLines(tmp_vLog, {kSep, "--==: Initializing Scripts Subsystem...", "",
                                       "   =:    Creating Lua state...", "   +: Done.", "", "",
                                       "   =:    Initializing standart Lua libraries...",
                                       "   +: Done.", "", "   +: Done.", kSep, ""}));
  EXPECT_TRUE(ContainsLines(
      tmp_vLog, {kSep, "--==: Deinitializing Scripts Subsystem...", "   +: Done.", kSep, ""}));
}

TEST_F(ScriptTest, StartAndStopErrors) {
  StartEngine();
  CEHSException e = Thrown([&] { engine->SCR_Deinit(); });
  EXPECT_EQ(e.type, EHS_TYPE_GENERAL);
  EXPECT_EQ(e.description, "Internal error - scripts subsystem was not initialized!");

  e = Thrown([&] { Load("x = 1"); });
  EXPECT_EQ(e.description, "Internal error - scripts subsystem was not initialized!");
  e = Thrown([&] { engine->CallScriptFunction("f", -1); });
  EXPECT_EQ(e.description, "Internal error - scripts subsystem was not initialized!");

  StartScripts();
  e = Thrown([&] { engine->SCR_Init(); });
  EXPECT_EQ(e.type, EHS_TYPE_GENERAL);
  EXPECT_EQ(e.code, 0);
  EXPECT_EQ(e.description, "Script subsystem reinitialization!");

  // A second shut-down is refused instead of closing the state twice.
  engine->SCR_Deinit();
  e = Thrown([&] { engine->SCR_Deinit(); });
  EXPECT_EQ(e.description, "Internal error - scripts subsystem was not initialized!");
}

TEST_F(ScriptTest, TheDestructorStopsScriptsLast) {
  StartScripts();
  engine.reset();
  const std::vector<std::string> tmp_vLog = ReadLines("gamelog.txt");
  EXPECT_TRUE(
      ContainsLines(tmp_vLog, {kSep, "--==: Deinitializing Scripts Subsystem...", "   +: Done.",
                               kSep, "", "", kSep, kSep, "--==: End of log."}));
}

// }====

// {==== Libraries and chunks =================================================

TEST_F(ScriptTest, BaseMathIoAndOsAreOpenStringTableAndDebugAreNot) {
  StartScripts();
  Run("kinds = type(print) .. type(coroutine) .. type(math) .. type(io) .. type(os) ..\n"
      "        type(string) .. type(table) .. type(debug)\n"
      "root = math.sqrt(16)\n");
  EXPECT_EQ(String("kinds"), "functiontabletabletabletablenilnilnil");
  EXPECT_EQ(Number("root"), 4.0);
  EXPECT_EQ(StackTop(), 0);
}

TEST_F(ScriptTest, ScriptErrorsBecomeLuaExceptionsNamingTheChunk) {
  StartScripts();
  struct Case {
    const char* text;
    int code;         // Lua 5.1: 2 run-time error, 3 syntax error
    const char* end;  // how the description ends
  };
  const Case kCases[] = {
      {"x = (", 3, "unexpected symbol near '<eof>'"},
      {"local n = string.len('abc')", 2, "attempt to index global 'string' (a nil value)"},
      {"error('boom')", 2, "boom"},
      {"x = 1\ny = nil + 1", 2, ":2: attempt to perform arithmetic on a nil value"},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.text);
    const CEHSException e = RunThrown(c.text, "SCR_MAIN");
    EXPECT_EQ(e.type, EHS_TYPE_LUA);
    EXPECT_EQ(e.code, c.code);
    EXPECT_EQ(e.description.rfind("[string \"SCR_MAIN\"]:", 0), 0u) << e.description;
    const std::string tmp_strEnd = c.end;
    ASSERT_GE(e.description.size(), tmp_strEnd.size());
    EXPECT_EQ(e.description.substr(e.description.size() - tmp_strEnd.size()), tmp_strEnd)
        << e.description;
    EXPECT_EQ(StackTop(), 0);
  }
  // A non-string error value has no message to carry.
  const CEHSException e = RunThrown("error({})");
  EXPECT_EQ(e.code, 2);
  EXPECT_EQ(e.description, "(error object is not a string)");
  // Globals defined before the failure stay; the state goes on working.
  Run("z = x + 1");
  EXPECT_EQ(Number("z"), 2.0);
}

TEST_F(ScriptTest, ScriptResourcesRunWhenLoadedAndLogTheirName) {
  scrtest::WriteRespack(
      {{"SCR_A", "SCRIPT", "a.lua", "a = 10\nfunction Twice(n) return n * 2 end", 1},
       {"SCR_B", "SCRIPT", "b.lua", "b = Twice(a)", 1},
       {"SCR_MAIN", "SCRIPT", "bad.lua", "x = (", 2}});
  StartResources();
  StartScripts();
  engine->LoadResources(1);
  EXPECT_EQ(Number("b"), 20.0);
  EXPECT_TRUE(ContainsLines(ReadLines("gamelog.txt"),
                            {"", "   =: Loading script from buffer: SCR_A", "   +: Done.", "", "",
                             "   =: Loading script from buffer: SCR_B", "   +: Done.", ""}));

  const CEHSException e = Thrown([&] { engine->LoadResource("SCR_MAIN"); });
  EXPECT_EQ(e.type, EHS_TYPE_LUA);
  EXPECT_EQ(e.code, 3);
  EXPECT_NE(e.description.find("[string \"SCR_MAIN\"]:1:"), std::string::npos) << e.description;
}

TEST_F(ScriptTest, AnEmptyOrBadBufferIsHandled) {
  StartScripts();
  engine->LoadScript(nullptr, 0, "SCR_EMPTY");
  CEHSException e = Thrown([&] { engine->LoadScript(nullptr, 5, "SCR_NULL"); });
  EXPECT_EQ(e.description, "Invalid script buffer. ID = SCR_NULL");
  e = Thrown([&] { engine->LoadScript("x = 1", -1, "SCR_NEG"); });
  EXPECT_EQ(e.description, "Invalid script buffer. ID = SCR_NEG");
  // The size is honoured: the bytes after it are not part of the chunk.
  engine->LoadScript("x = 12 garbage", 6, "SCR_PART");
  EXPECT_EQ(Number("x"), 12.0);
}

// }====

// {==== Panic ================================================================

TEST_F(ScriptTest, AnErrorOutsideAnyProtectedCallRaisesThePanicException) {
  StartScripts();
  lua_State* L = engine->SCR_GetState();
  CEHSException e = Thrown([&] {
    lua_pushstring(L, "unprotected");
    lua_error(L);
  });
  EXPECT_EQ(e.type, EHS_TYPE_GAME);
  EXPECT_EQ(e.code, 0);
  EXPECT_EQ(e.description, "Lua is on panic! Error source is unknown.");
  EXPECT_EQ(StackTop(), 0);

  // A glue function called with no protected call around it: its own
  // failure is what arrives, not the panic.
  e = Thrown([&] {
    lua_getglobal(L, "M2D_LOG_AddEntry");
    lua_call(L, 0, 0);
  });
  EXPECT_EQ(e.description,
            "Error in glue function: glue_M2D_LOG_AddEntry.Invalid argument type. Index = 1");
  EXPECT_EQ(StackTop(), 0);

  Run("after = 5");
  EXPECT_EQ(Number("after"), 5.0);
}

// }====

// {==== Engine exceptions inside glue functions ==============================

TEST_F(ScriptTest, AGlueExceptionReachesTheCallerUnchangedWhateverTheScriptDoes) {
  StartScripts();
  engine->RegisterScriptFunction("TEST_Fail", &glue_TEST_Fail);
  const char* const kScripts[] = {
      "TEST_Fail()",
      "local ok = pcall(TEST_Fail)\nreached = 1",
      "local ok = pcall(function() TEST_Fail() end)\nreached = 1",
      "pcall(pcall, TEST_Fail)\nreached = 1",
      "local ok = xpcall(TEST_Fail, function(m) return 'handled' end)\nreached = 1",
      "local ok = xpcall(TEST_Fail, function(m) return m .. 'x' end)\nreached = 1",
      "local co = coroutine.create(function() TEST_Fail() end)\n"
      "local ok = coroutine.resume(co)\nreached = 1",
      "local f = coroutine.wrap(function() TEST_Fail() end)\npcall(f)\nreached = 1",
      "local ok = load(function() TEST_Fail() end)\nreached = 1",
      "function Deep(n) if n == 0 then TEST_Fail() else pcall(Deep, n - 1) end end\n"
      "Deep(10)\nreached = 1",
  };
  for (const char* tmp_pszScript : kScripts) {
    SCOPED_TRACE(tmp_pszScript);
    g_pThrown = nullptr;
    try {
      Load(tmp_pszScript);
      ADD_FAILURE() << "nothing thrown";
    } catch (const CEHSException& e) {
      // The very object thrown inside the glue function.
      EXPECT_EQ(&e, g_pThrown);
      EXPECT_EQ(e.type, EHS_TYPE_GAME);
      EXPECT_EQ(e.code, 77);
      EXPECT_EQ(e.description, "Test failure!");
      EXPECT_EQ(e.file, "tests/scripting/test_scr_main.cpp");
    }
    EXPECT_FALSE(engine->SCR_HasPendingException());
    EXPECT_EQ(StackTop(), 0);
    EXPECT_EQ(String("reached"), "<not a string>");
  }
  // Still usable, and the same through a call into a script function.
  Run("function CallsFail(a) TEST_Fail() end\nok = 1");
  EXPECT_EQ(Number("ok"), 1.0);
  engine->AddScriptParam(CLuaValue(1.0));
  const CEHSException e = Thrown([&] { engine->CallScriptFunction("CallsFail", -1); });
  EXPECT_EQ(e.description, "Test failure!");
  EXPECT_TRUE(engine->scriptParams.empty());
  EXPECT_EQ(StackTop(), 0);
}

TEST_F(ScriptTest, AnExceptionOfAnyTypeCrossesLuaUnchanged) {
  StartScripts();
  engine->RegisterScriptFunction("TEST_FailOther", &glue_TEST_FailOther);
  try {
    Load("pcall(TEST_FailOther)");
    ADD_FAILURE() << "nothing thrown";
  } catch (const STestError& e) {
    EXPECT_EQ(e.value, 42);
  }
  EXPECT_EQ(StackTop(), 0);
}

TEST_F(ScriptTest, AProcessorFaultInAGlueFunctionComesOutAsTheEngineException) {
  if (m2dtest::kSanitized) GTEST_SKIP() << "faults on purpose";
  InstallFaultTranslator();
  StartScripts();
  engine->RegisterScriptFunction("TEST_Fault", &glue_TEST_Fault);
  for (int tmp_iRound = 0; tmp_iRound < 2; ++tmp_iRound) {
    const CEHSException e = RunThrown("local ok = pcall(TEST_Fault)\nreached = 1");
    EXPECT_EQ(e.type, EHS_TYPE_WIN32);
    EXPECT_EQ(static_cast<std::uint32_t>(e.code), 0xC0000005u);
    EXPECT_EQ(e.description, "Access violation.");
    EXPECT_EQ(String("reached"), "<not a string>");
    EXPECT_EQ(StackTop(), 0);
  }
}

TEST_F(ScriptTest, AnEngineOperationsOwnFailureComesOutOfTheScript) {
  // The resource subsystem was not started: the failure is the one the
  // resource operation raises, from its own source file.
  StartScripts();
  const CEHSException e = RunThrown("local ok = pcall(M2D_RES_LoadResource, 'SCR_X')");
  EXPECT_EQ(e.type, EHS_TYPE_GAME);
  EXPECT_EQ(e.description, "Resources subsystem was not initialized!");
  EXPECT_EQ(e.file, "Source/CMorvane/cmorvane_res_main.cpp");
}

TEST_F(ScriptTest, AFailureInAScriptLoadedByAScriptReachesTheOuterLoader) {
  scrtest::WriteRespack(
      {{"SCR_OUTER", "SCRIPT", "outer.lua",
        "before = 1\nlocal ok = pcall(M2D_RES_LoadResource, 'SCR_INNER')\nafter = 1", 1},
       {"SCR_INNER", "SCRIPT", "inner.lua", "inner = 1\nM2D_LOG_AddEntry(5)", 2},
       {"SCR_NESTED", "SCRIPT", "nested.lua",
        "function Get() return 7 end\nM2D_RES_LoadResource('SCR_USE')\nlast = used", 3},
       {"SCR_USE", "SCRIPT", "use.lua", "used = Get() * 2", 4}});
  StartResources();
  StartScripts();
  const CEHSException e = Thrown([&] { engine->LoadResource("SCR_OUTER"); });
  EXPECT_EQ(e.type, EHS_TYPE_GAME);
  EXPECT_EQ(e.description,
            "Error in glue function: glue_M2D_LOG_AddEntry.Invalid argument type. Index = 1");
  EXPECT_EQ(Number("before"), 1.0);
  EXPECT_EQ(Number("inner"), 1.0);
  EXPECT_EQ(String("after"), "<not a string>");
  EXPECT_EQ(StackTop(), 0);

  // A script that loads another one in the middle of its own run.
  engine->LoadResource("SCR_NESTED");
  EXPECT_EQ(Number("last"), 14.0);
  EXPECT_EQ(StackTop(), 0);
}

TEST_F(ScriptTest, AScriptThatLoadsItselfEndsWithAnExceptionNotACrash) {
  scrtest::WriteRespack(
      {{"SCR_SELF", "SCRIPT", "self.lua", "M2D_RES_LoadResource('SCR_SELF')", 1}});
  StartResources();
  StartScripts();
  // The resource refuses to be loaded while it is being loaded.
  const CEHSException e = Thrown([&] { engine->LoadResource("SCR_SELF"); });
  EXPECT_EQ(e.type, EHS_TYPE_GENERAL);
  EXPECT_EQ(StackTop(), 0);
  EXPECT_EQ(engine->scrCallDepth, 0);
  Run("fine = 1");
  EXPECT_EQ(Number("fine"), 1.0);
}

// }====
