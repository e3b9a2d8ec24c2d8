// The input tests' fixture: engine, headless window, recording device, replay.
#include "input_fixture.h"

#include <cstdlib>

#include "Platform/os/os_backend.h"
#include "mrv_window.h"

namespace inputtest {

const char* const kSeparator = "|---------------------------------------------------|";

void InputTest::SetUp() {
  TempDirTest::SetUp();
  ::unsetenv("M2D_RECORD");
  ::unsetenv("M2D_REPLAY");
  os::SelectBackendForTests(os::Backend::Headless);
}

void InputTest::TearDown() {
  StopEngine();
  TempDirTest::TearDown();
}

void InputTest::UseReplay(const std::string& fp_strBody) {
  m2dtest::WriteFile("session.txt", "m2dreplay 1\ninit 1000 1000\n" + fp_strBody);
  ::setenv("M2D_REPLAY", "session.txt", 1);
}

void InputTest::StartEngine(bool fp_bInitInput) {
  engine_ = std::make_unique<CMorvane>();
  CreateGameWindow(&engine_->hWnd, 800, 600, 0);
  d3d_ = gfx::Direct3DCreate8(gfx::D3D_SDK_VERSION);
  ASSERT_NE(d3d_, nullptr);
  gfx::D3DPRESENT_PARAMETERS tmp_Params{};
  tmp_Params.BackBufferWidth = 800;
  tmp_Params.BackBufferHeight = 600;
  tmp_Params.BackBufferFormat = gfx::D3DFMT_X8R8G8B8;
  tmp_Params.BackBufferCount = 1;
  tmp_Params.SwapEffect = gfx::D3DSWAPEFFECT_DISCARD;
  tmp_Params.hDeviceWindow = engine_->hWnd;
  tmp_Params.Windowed = 0;
  ASSERT_EQ(d3d_->CreateDevice(gfx::D3DADAPTER_DEFAULT, gfx::D3DDEVTYPE_HAL, engine_->hWnd,
                               gfx::D3DCREATE_SOFTWARE_VERTEXPROCESSING, &tmp_Params, &device_),
            gfx::D3D_OK);
  engine_->pD3D = d3d_;
  engine_->pD3DDevice = device_;
  if (fp_bInitInput) engine_->INP_Init();
}

void InputTest::Frame() {
  engine_->PumpMessages();
  engine_->INP_Update();
}

void InputTest::StopEngine() {
  if (engine_ == nullptr) return;
  // The device is the test's, not the graphics subsystem's.
  engine_->pD3DDevice = nullptr;
  engine_->pD3D = nullptr;
  engine_.reset();
  if (device_ != nullptr) device_->Release();
  if (d3d_ != nullptr) d3d_->Release();
  device_ = nullptr;
  d3d_ = nullptr;
}

}  // namespace inputtest
