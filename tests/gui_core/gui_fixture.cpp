// The GUI core tests' fixture: engine start-up headless, replay files,
// resource folders, the test element classes and the captured quads.
#include "gui_fixture.h"

#include <cstdlib>
#include <cstring>

#include "Platform/os/os_backend.h"
#include "mrv_window.h"

namespace guitest {

void WriteRespack(const std::vector<SRes>& fp_vRes) {
  std::string tmp_strXml = "<respack>\n";
  for (const SRes& r : fp_vRes) {
    tmp_strXml += "  <res id=\"" + r.id + "\" typeid=\"" + r.type + "\" filename=\"" + r.file +
                  "\" tag=\"" + std::to_string(r.tag) +
                  "\" data1=\"0\" data2=\"0\" data3=\"0\"/>\n";
    m2dtest::WriteFile("DATA/" + r.file, r.bytes);
  }
  tmp_strXml += "</respack>\n";
  m2dtest::WriteFile("DATA/res.xml", tmp_strXml);
}

std::string ReplayFrames(int fp_iCount, int fp_iStepMs,
                         const std::function<std::string(int)>& fp_Extra) {
  // The message pump of graphics start-up takes the first frame.
  std::string tmp_str = "frame\n";
  for (int i = 1; i <= fp_iCount; ++i) {
    tmp_str += "frame\ntime " + std::to_string(1000 + i * fp_iStepMs) + "\n";
    if (fp_Extra) tmp_str += fp_Extra(i);
  }
  return tmp_str;
}

std::string SolidTGA(int fp_iWidth, int fp_iHeight, std::uint32_t fp_uARGB) {
  std::string tmp_strOut(18, '\0');
  tmp_strOut[2] = 2;
  tmp_strOut[12] = static_cast<char>(fp_iWidth & 0xFF);
  tmp_strOut[13] = static_cast<char>(fp_iWidth >> 8);
  tmp_strOut[14] = static_cast<char>(fp_iHeight & 0xFF);
  tmp_strOut[15] = static_cast<char>(fp_iHeight >> 8);
  tmp_strOut[16] = 32;
  tmp_strOut[17] = 0x28;
  for (int i = 0; i < fp_iWidth * fp_iHeight; ++i)
    for (int b = 0; b < 4; ++b) tmp_strOut.push_back(static_cast<char>((fp_uARGB >> (8 * b)) & 0xFF));
  return tmp_strOut;
}

// {==== Test classes ==========================================================

namespace {
void DrawQuad(const GUIRECT& fp_rRect, const GUIRECT& fp_rColor) {
  CMorvane* tmp_pEngine = GetEngine();
  tmp_pEngine->GFX_VQuadSetColor(fp_rColor.x, fp_rColor.y, fp_rColor.width, fp_rColor.height);
  tmp_pEngine->GFX_VQuadSetPos(fp_rRect.x, fp_rRect.y, fp_rRect.width, fp_rRect.height, 0.5f);
  tmp_pEngine->GFX_SceneRender();
}
}  // namespace

void CTestBox::SetParam(std::int32_t fp_iID, const CGUIValue& fp_rValue) {
  if (fp_iID == GUIPARAM_ON_CLICK) {
    onClick.SetFromValue(fp_rValue);
  } else if (fp_iID == GUIPARAM_ENUM_FRAMES) {
    frames = fp_rValue.GetEnum();
  } else {
    CGUIElement::SetParam(fp_iID, fp_rValue);
  }
}

void CTestBox::ExecuteCommand(std::int32_t fp_iCommand) {
  if (fp_iCommand == 20) {
    if (onClick.IsSet()) onClick.Execute();
  } else {
    CGUIElement::ExecuteCommand(fp_iCommand);
  }
}

void CTestBox::Update(const GUIRECT& fp_rParentRect, const GUIRECT& fp_rParentColor,
                      bool fp_bVisible, bool fp_bEnabled, float fp_fOffsetX, float fp_fOffsetY) {
  ComputeAbsolute(fp_rParentRect, fp_rParentColor, fp_bVisible, fp_bEnabled, fp_fOffsetX,
                  fp_fOffsetY);
  CheckTip();
  UpdateChildren();
}

void CTestBox::Draw() {
  if (!absVisible) return;
  DrawQuad(absRect, absColor);
  DrawChildren();
}

void CTestTip::ExecuteCommand(std::int32_t fp_iCommand) {
  if (fp_iCommand == GUICMD_SHOW) ++shows;
  CGUIElement::ExecuteCommand(fp_iCommand);
}

void CTestTip::Update(const GUIRECT&, const GUIRECT&, bool, bool, float, float) {
  ++updates;
  const GUIPOINT tmp_Mouse = GetMousePos();
  absRect.x = tmp_Mouse.x + coords.x;
  absRect.y = tmp_Mouse.y + coords.y;
  absColor = color;
  absVisible = visible;
  absEnabled = enabled;
  UpdateChildren();
}

void CTestTip::Draw() {
  if (!absVisible) return;
  DrawQuad(absRect, absColor);
  DrawChildren();
}

CGUIElement* CreateTestBox(const char* fp_pszID) { return new CTestBox(fp_pszID); }
CGUIElement* CreateTestTip(const char* fp_pszID) { return new CTestTip(fp_pszID); }

// }====

// {==== Fixture ===============================================================

void GuiTest::SetUp() {
  m2dtest::TempDirTest::SetUp();
  ::unsetenv("M2D_RECORD");
  ::unsetenv("M2D_REPLAY");
  ::setenv("M2D_HEADLESS", "1", 1);
  os::SelectBackendForTests(os::Backend::Headless);
  gfx::null::ResetProcessAdapter();
  m2dtest::WriteFile("DATA/.keep", "");
}

void GuiTest::TearDown() {
  gui.reset();
  engine.reset();
  g_bAppActive = 0;
  ::unsetenv("M2D_REPLAY");
  m2dtest::TempDirTest::TearDown();
}

void GuiTest::UseReplay(const std::string& fp_strBody) {
  m2dtest::WriteFile("session.txt", "m2dreplay 1\ninit 1000 1000\n" + fp_strBody);
  ::setenv("M2D_REPLAY", "session.txt", 1);
}

void GuiTest::StartEngine() {
  engine = std::make_unique<CMorvane>();
  engine->Start("GUI test", "1");
  engine->RES_Init();
  engine->GFX_PreInit(800, 600);
  engine->GFX_Init(2, 0);
  engine->INP_Init();
  engine->SCR_Init();
  gui = std::make_unique<CMorvaneGUI>();
  gui->RegisterElementClass(&CreateTestBox, "testbox");
  gui->RegisterElementClass(&CreateTestTip, "testtip");
  // The clock's first reading, so the first frame's delta is its own step.
  engine->UpdateTimer();
  Device()->SetDrawHook([this](const gfx::null::CNullDevice&, const gfx::null::SDrawCall& fp_rCall) {
    const std::uint8_t* tmp_pBytes = fp_rCall.stream->Data();
    for (std::uint32_t q = 0; q < fp_rCall.primitiveCount / 2; ++q) {
      M2DVERTEX v[4];
      std::memcpy(v, tmp_pBytes + static_cast<size_t>(q) * sizeof(v), sizeof(v));
      // The engine shifts positions by half a pixel onto pixel centres.
      pending_.push_back(SQuad{v[0].x + 0.5f, v[0].y + 0.5f, v[2].x - v[0].x, v[2].y - v[0].y,
                               v[0].diffuse});
    }
  });
}

void GuiTest::UpdateOnly() {
  engine->PumpMessages();
  engine->UpdateTimer();
  engine->INP_Update();
  gui->Update();
}

void GuiTest::Frame() {
  UpdateOnly();
  pending_.clear();
  engine->GFX_SceneBegin();
  gui->Draw();
  engine->GFX_SceneEnd();
  quads_ = pending_;
}

gfx::null::CNullDevice* GuiTest::Device() const {
  return engine != nullptr ? gfx::null::AsNullDevice(engine->pD3DDevice) : nullptr;
}

void GuiTest::RunLua(const std::string& fp_strChunk) {
  engine->LoadScript(fp_strChunk.data(), static_cast<int>(fp_strChunk.size()), "test chunk");
}

int GuiTest::CountLog(const std::string& fp_strLine) {
  int tmp_iCount = 0;
  for (const std::string& l : m2dtest::ReadLines("gamelog.txt")) tmp_iCount += l == fp_strLine;
  return tmp_iCount;
}

CEHSException Thrown(const std::function<void()>& fp_fn) {
  try {
    fp_fn();
  } catch (const CEHSException& e) {
    return e;
  } catch (const char* s) {
    ADD_FAILURE() << "plain text exception: " << s;
    return CEHSException(0, 0, s, "", 0);
  } catch (...) {
    ADD_FAILURE() << "an exception of another type";
    return CEHSException(0, 0, "", "", 0);
  }
  ADD_FAILURE() << "nothing was thrown";
  return CEHSException(0, 0, "", "", 0);
}

// }====

}  // namespace guitest
