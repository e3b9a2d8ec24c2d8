// The fixture of the scripting tests: an engine in a temporary directory with
// the script subsystem started, helpers that run a chunk or write a DATA
// folder of resources, and a helper that returns the engine exception an
// action throws.
#pragma once

#include <cstdlib>
#include <lua.hpp>
#include <memory>
#include <string>
#include <vector>

#include "Platform/gfx/d3d8.h"
#include "Platform/os/os.h"
#include "Platform/os/os_backend.h"
#include "cmorvane.h"
#include "mrv_window.h"
#include "test_support.h"

namespace scrtest {

// One resource of a descriptor; the file is written beside it.
struct SRes {
  std::string id, type, file, bytes;
  int tag = 1;
  int data1 = 0, data2 = 0, data3 = 0;
};

inline void WriteRespack(const std::vector<SRes>& fp_vRes) {
  std::string tmp_strXml = "<respack>\n";
  for (const SRes& r : fp_vRes) {
    tmp_strXml += "  <res id=\"" + r.id + "\" typeid=\"" + r.type + "\" filename=\"" + r.file +
                  "\" tag=\"" + std::to_string(r.tag) + "\" data1=\"" + std::to_string(r.data1) +
                  "\" data2=\"" + std::to_string(r.data2) + "\" data3=\"" +
                  std::to_string(r.data3) + "\"/>\n";
    m2dtest::WriteFile("DATA/" + r.file, r.bytes);
  }
  tmp_strXml += "</respack>\n";
  m2dtest::WriteFile("DATA/res.xml", tmp_strXml);
}

// Runs fp_fn and returns the engine exception it throws (a failed test when
// it throws nothing or something else).
template <class F>
CEHSException Thrown(F&& fp_fn) {
  try {
    fp_fn();
  } catch (const CEHSException& e) {
    return e;
  } catch (...) {
    ADD_FAILURE() << "an exception of another type";
    return CEHSException(-1, 0, "", "", 0);
  }
  ADD_FAILURE() << "nothing thrown";
  return CEHSException(-1, 0, "", "", 0);
}

class ScriptTest : public m2dtest::TempDirTest {
 protected:
  void SetUp() override {
    m2dtest::TempDirTest::SetUp();
    ::unsetenv("M2D_RECORD");
    ::unsetenv("M2D_REPLAY");
    os::SelectBackendForTests(os::Backend::Headless);
    m2dtest::WriteFile("DATA/.keep", "");
  }
  void TearDown() override {
    if (engine != nullptr && device != nullptr) {
      // The device is the test's, not the graphics subsystem's.
      engine->pD3DDevice = nullptr;
      engine->pD3D = nullptr;
    }
    engine.reset();
    if (device != nullptr) device->Release();
    if (d3d != nullptr) d3d->Release();
    device = nullptr;
    d3d = nullptr;
    g_bAppActive = 0;
    ::unsetenv("M2D_REPLAY");
    m2dtest::TempDirTest::TearDown();
  }

  // The engine (its log header written); a replay must be chosen before.
  void StartEngine() {
    if (engine != nullptr) return;
    engine = std::make_unique<CMorvane>();
    engine->Start("Script test", "1");
  }
  void StartScripts() {
    StartEngine();
    engine->SCR_Init();
  }
  // Resources over ./DATA/ as the test wrote it.
  void StartResources() {
    StartEngine();
    try {
      engine->RES_Init();
    } catch (const CEHSException& e) {
      ADD_FAILURE() << "resources failed to start: " << e.description;
      throw;
    }
  }
  // A game window and a device of the test's own (the recording device),
  // which input and sound require to exist.
  void StartDevice() {
    StartEngine();
    CreateGameWindow(&engine->hWnd, 800, 600, 1);
    d3d = gfx::Direct3DCreate8(gfx::D3D_SDK_VERSION);
    ASSERT_NE(d3d, nullptr);
    gfx::D3DPRESENT_PARAMETERS tmp_Params{};
    tmp_Params.BackBufferWidth = 800;
    tmp_Params.BackBufferHeight = 600;
    tmp_Params.BackBufferFormat = gfx::D3DFMT_X8R8G8B8;
    tmp_Params.BackBufferCount = 1;
    tmp_Params.SwapEffect = gfx::D3DSWAPEFFECT_DISCARD;
    tmp_Params.hDeviceWindow = engine->hWnd;
    tmp_Params.Windowed = 1;
    ASSERT_EQ(d3d->CreateDevice(gfx::D3DADAPTER_DEFAULT, gfx::D3DDEVTYPE_HAL, engine->hWnd,
                                gfx::D3DCREATE_SOFTWARE_VERTEXPROCESSING, &tmp_Params, &device),
              gfx::D3D_OK);
    engine->pD3D = d3d;
    engine->pD3DDevice = device;
  }
  // Graphics started for 800x600 in mode 2 on the recording device (the
  // headless os stand-in's), full screen.
  void StartGraphics() {
    StartEngine();
    engine->GFX_PreInit(800, 600);
    engine->GFX_Init(2, 0);
  }
  // Writes "session.txt" (the header is added) and replays it.
  void UseReplay(const std::string& fp_strBody) {
    m2dtest::WriteFile("session.txt", "m2dreplay 1\ninit 1000 1000\n" + fp_strBody);
    ::setenv("M2D_REPLAY", "session.txt", 1);
  }

  // Compiles and runs fp_strText as the chunk fp_pszName.
  void Load(const std::string& fp_strText, const char* fp_pszName = "SCR_TEST") {
    engine->LoadScript(fp_strText.data(), static_cast<int>(fp_strText.size()), fp_pszName);
  }
  // The same where the script must succeed: an engine exception fails the
  // test with its description.
  void Run(const std::string& fp_strText, const char* fp_pszName = "SCR_TEST") {
    try {
      Load(fp_strText, fp_pszName);
    } catch (const CEHSException& e) {
      ADD_FAILURE() << "script failed: " << e.description;
    }
  }
  CEHSException RunThrown(const std::string& fp_strText, const char* fp_pszName = "SCR_TEST") {
    return Thrown([&] { Load(fp_strText, fp_pszName); });
  }
  // The global fp_pszName read back from Lua as a number / string / bool.
  double Number(const char* fp_pszName) {
    lua_State* L = engine->SCR_GetState();
    lua_getglobal(L, fp_pszName);
    const double d = lua_tonumber(L, -1);
    lua_settop(L, 0);
    return d;
  }
  std::string String(const char* fp_pszName) {
    lua_State* L = engine->SCR_GetState();
    lua_getglobal(L, fp_pszName);
    const char* s = lua_tostring(L, -1);
    std::string tmp_str = s != nullptr ? s : "<not a string>";
    lua_settop(L, 0);
    return tmp_str;
  }
  int StackTop() { return lua_gettop(engine->SCR_GetState()); }

  static int CountLog(const std::string& fp_strLine) {
    int tmp_iCount = 0;
    for (const std::string& l : m2dtest::ReadLines("gamelog.txt")) tmp_iCount += l == fp_strLine;
    return tmp_iCount;
  }

  std::unique_ptr<CMorvane> engine;
  gfx::IDirect3D8* d3d = nullptr;
  gfx::IDirect3DDevice8* device = nullptr;
};

}  // namespace scrtest
