// A small GUI screen on the OpenGL device: a window fading in that holds a
// nine-slice tile, a button (normal, then pressed by the replayed mouse) and
// a label, loaded from GUI data and checked by the pixels of the engine's
// own screenshots.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "Platform/gfx/gl/gl_device.h"
#include "Platform/os/os_backend.h"
#include "cmorvane.h"
#include "m2dgui_cmorvanegui.h"
#include "test_support.h"

namespace {

constexpr std::uint32_t kRed = 0xFFFF0000u, kGreen = 0xFF00FF00u, kBlue = 0xFF0000FFu;
constexpr std::uint32_t kNormal = 0xFF00C000u, kPressed = 0xFFC000C0u;

// An uncompressed 32-bit TGA of ARGB texels, top row first.
std::string EncodeTGA(int w, int h, const std::vector<std::uint32_t>& fp_rARGB) {
  std::string tmp_str(18, '\0');
  tmp_str[2] = 2;
  tmp_str[12] = static_cast<char>(w & 0xFF);
  tmp_str[13] = static_cast<char>(w >> 8);
  tmp_str[14] = static_cast<char>(h & 0xFF);
  tmp_str[15] = static_cast<char>(h >> 8);
  tmp_str[16] = 32;
  tmp_str[17] = 0x28;
  for (std::uint32_t c : fp_rARGB)
    for (int b = 0; b < 4; ++b) tmp_str.push_back(static_cast<char>((c >> (8 * b)) & 0xFF));
  return tmp_str;
}

// 4 x 4 texels: red corners, green edges, a blue centre of 2 x 2.
std::string NineSliceTGA() {
  std::vector<std::uint32_t> tmp_v;
  for (int y = 0; y < 4; ++y)
    for (int x = 0; x < 4; ++x) {
      const int tmp_iBorders = (x == 0 || x == 3) + (y == 0 || y == 3);
      tmp_v.push_back(tmp_iBorders == 2 ? kRed : tmp_iBorders == 1 ? kGreen : kBlue);
    }
  return EncodeTGA(4, 4, tmp_v);
}

// 256 x 256: the cell of 'A' opaque white, the rest transparent.
std::string FontTGA() {
  std::vector<std::uint32_t> tmp_v(256 * 256, 0u);
  const int tmp_iCellX = ('A' % 16) * 16, tmp_iCellY = ('A' / 16) * 16;
  for (int y = 0; y < 16; ++y)
    for (int x = 0; x < 16; ++x) tmp_v[size_t(tmp_iCellY + y) * 256 + size_t(tmp_iCellX + x)] = 0xFFFFFFFFu;
  return EncodeTGA(256, 256, tmp_v);
}

std::string FontDesc() {
  std::string tmp_str =
      "<fontdesc id=\"FNT_A\" textureid=\"TEX_FONT\" techniqueid=\"TEQ_BLEND\" "
      "techpackid=\"TP_MAIN\" cellsize=\"16\" tag=\"1\"";
  for (int c = 0; c < 256; ++c) tmp_str += " cs" + std::to_string(c) + "=\"16\"";
  return tmp_str + "/>";
}

const char* const kTechniques =
    "<techniquespack><t id=\"TEQ_BLEND\" tag=\"1\" alphablending=\"ON\" absrc=\"SRCALPHA\" "
    "abdest=\"INVSRCALPHA\" s0_colorop=\"MODULATE\" s0_colorarg1=\"TEXTURE\" s0_colorarg2=\"DIFFUSE\" "
    "s0_alphaop=\"MODULATE\" s0_alphaarg1=\"TEXTURE\" s0_alphaarg2=\"DIFFUSE\" s0_address=\"CLAMP\" "
    "s1_colorop=\"DISABLE\" s0_minfilter=\"POINT\" s0_magfilter=\"POINT\" s0_mipfilter=\"NONE\" "
    "fog=\"OFF\"/></techniquespack>";

// The window at (100, 50): the tile over (100, 50)-(300, 150) with 20-pixel
// borders (the 4 x 4 texture described as 80 x 80, so a border is a quarter
// of it), the button over (100, 200)-(200, 240), the label's text at
// (100, 300), three 16-pixel letters.
const char* const kScreen =
    "<desktop><window id=\"W_MAIN\" coords=\"0 0 400 300\" location_hidden=\"100 50\" "
    "location_middle=\"100 50\" location_shown=\"100 50\" time_showhide=\"0.2\" enabled=\"1\">"
    "<tile id=\"T_FRAME\" coords=\"0 0 200 100\" technique=\"TEQ_BLEND\" texture=\"TEX_NINE\" "
    "drawscheme=\"4\" drawparams=\"80 80 20 20\" visible=\"1\" enabled=\"1\"/>"
    "<button id=\"B_OK\" coords=\"0 150 100 40\" technique=\"TEQ_BLEND\" texture=\"TEX_BN\" "
    "texture_pressed=\"TEX_BP\" visible=\"1\" enabled=\"1\"/>"
    "<label id=\"L_TEXT\" coords=\"0 250 200 20\" font=\"FNT_A\" text=\"AAA\" color=\"1 1 0 1\" "
    "visible=\"1\" enabled=\"1\"/>"
    "</window></desktop>";

struct SPixels {
  int width = 0, height = 0;
  std::vector<std::uint32_t> rgb;
  std::uint32_t At(int x, int y) const { return rgb[size_t(y) * size_t(width) + size_t(x)]; }
};

::testing::AssertionResult Near(std::uint32_t fp_uGot, std::uint32_t fp_uWant, int fp_iTolerance = 2) {
  for (int tmp_iShift : {16, 8, 0}) {
    const int g = int((fp_uGot >> tmp_iShift) & 255u), w = int((fp_uWant >> tmp_iShift) & 255u);
    if (std::abs(g - w) > fp_iTolerance)
      return ::testing::AssertionFailure() << std::hex << "got " << (fp_uGot & 0xFFFFFFu) << ", want "
                                           << (fp_uWant & 0xFFFFFFu);
  }
  return ::testing::AssertionSuccess();
}

// SDL unloads the GL driver with its last GL window and Mesa's EGL leaves
// state behind when unloaded; the device's adapter probe makes and destroys
// a window of its own, so a window kept for the process holds the driver.
void KeepGLLoaded() {
  static const os::HWND s_hKeeper = [] {
    os::WNDCLASSEX tmp_Class{};
    tmp_Class.lpfnWndProc = &os::DefWindowProc;
    tmp_Class.hInstance = os::GetModuleHandle();
    tmp_Class.lpszClassName = "gui_gl_keeper_window";
    os::RegisterClassEx(tmp_Class);
    return os::CreateWindowEx(0, "gui_gl_keeper_window", "", os::WS_OVERLAPPED, 0, 0, 16, 16, nullptr,
                              nullptr, os::GetModuleHandle(), nullptr);
  }();
  ASSERT_NE(s_hKeeper, nullptr);
}

class GuiGLTest : public m2dtest::TempDirTest {
 protected:
  void TearDown() override {
    gui.reset();
    engine.reset();
    g_bAppActive = 0;
    ::unsetenv("M2D_REPLAY");
    m2dtest::TempDirTest::TearDown();
  }

  // Replay frames of 50 ms, the clock starting at 1000; fp_vExtra[i] is added
  // to frame i + 1.
  void Start(const std::vector<std::string>& fp_vExtra) {
    std::string tmp_strReplay = "m2dreplay 1\ninit 1000 1000\nframe\n";
    for (size_t i = 0; i < fp_vExtra.size(); ++i)
      tmp_strReplay += "frame\ntime " + std::to_string(1000 + 50 * (i + 1)) + "\n" + fp_vExtra[i];
    m2dtest::WriteFile("session.txt", tmp_strReplay);
    ::setenv("M2D_REPLAY", "session.txt", 1);
    ::setenv("SDL_VIDEODRIVER", "offscreen", 1);
    ::unsetenv("M2D_HEADLESS");
    struct SRes {
      const char *id, *type, *file;
      std::string bytes;
    };
    const SRes kRes[] = {
        {"TEX_NINE", "TEXTURE", "nine.tga", NineSliceTGA()},
        {"TEX_BN", "TEXTURE", "bn.tga", EncodeTGA(2, 2, std::vector<std::uint32_t>(4, kNormal))},
        {"TEX_BP", "TEXTURE", "bp.tga", EncodeTGA(2, 2, std::vector<std::uint32_t>(4, kPressed))},
        {"TEX_FONT", "TEXTURE", "font.tga", FontTGA()},
        {"TP_MAIN", "TECHNIQUE", "main.tp", kTechniques},
        {"FNT_A", "FONT", "a.fnt", FontDesc()},
        {"GUI_MAIN", "GUIDATA", "main.dat", kScreen},
    };
    std::string tmp_strPack = "<respack>\n";
    for (const SRes& r : kRes) {
      tmp_strPack += std::string("<res id=\"") + r.id + "\" typeid=\"" + r.type + "\" filename=\"" + r.file +
                     "\" tag=\"1\" data1=\"4\" data2=\"1\" data3=\"0\"/>\n";
      m2dtest::WriteFile(std::string("DATA/") + r.file, r.bytes);
    }
    m2dtest::WriteFile("DATA/res.xml", tmp_strPack + "</respack>\n");

    os::SelectBackendForTests(os::Backend::Real);
    KeepGLLoaded();
    engine = std::make_unique<CMorvane>();
    engine->Start("GUI on OpenGL", "1");
    engine->RES_Init();
    engine->GFX_PreInit(800, 600);
    engine->GFX_Init(2, 0);
    ASSERT_NE(gfx::gl::AsGLDevice(engine->pD3DDevice), nullptr) << "not the OpenGL device";
    engine->INP_Init();
    engine->SCR_Init();
    gui = std::make_unique<CMorvaneGUI>();
    g_bAppActive = 1;
    engine->LoadResources(1);
    ASSERT_NE(gui->GetElementID("L_TEXT"), -1);
  }

  // One frame of the game's loop, presented over a black screen.
  void Frame() {
    engine->PumpMessages();
    engine->UpdateTimer();
    engine->INP_Update();
    gui->Update();
    engine->GFX_SceneBegin();
    engine->GFX_SceneClearScreen(0, 0, 0);
    gui->Draw();
    engine->GFX_SceneEnd();
    engine->GFX_ScenePresent();
  }

  // The engine's screenshot of the last presented frame, decoded.
  SPixels Shot() {
    engine->GFX_SceneMakeScreenshot();
    const std::string f = m2dtest::ReadFile("screenshot" + std::to_string(engine->screenshotCounter) + ".bmp");
    SPixels p;
    if (f.size() < 54) return p;
    auto U32 = [&](size_t at) {
      return std::uint32_t(std::uint8_t(f[at])) | std::uint32_t(std::uint8_t(f[at + 1])) << 8 |
             std::uint32_t(std::uint8_t(f[at + 2])) << 16 | std::uint32_t(std::uint8_t(f[at + 3])) << 24;
    };
    p.width = int(U32(18));
    p.height = int(U32(22));
    const size_t tmp_uRow = (size_t(p.width) * 3 + 3) & ~size_t(3);
    if (f.size() != 54 + tmp_uRow * size_t(p.height)) return SPixels{};
    p.rgb.resize(size_t(p.width) * size_t(p.height));
    for (int y = 0; y < p.height; ++y)
      for (int x = 0; x < p.width; ++x) {
        const size_t at = 54 + size_t(p.height - 1 - y) * tmp_uRow + size_t(x) * 3;
        p.rgb[size_t(y) * size_t(p.width) + size_t(x)] = std::uint32_t(std::uint8_t(f[at + 2])) << 16 |
                                                         std::uint32_t(std::uint8_t(f[at + 1])) << 8 |
                                                         std::uint32_t(std::uint8_t(f[at]));
      }
    return p;
  }

  std::unique_ptr<CMorvane> engine;
  std::unique_ptr<CMorvaneGUI> gui;
};

}  // namespace

TEST_F(GuiGLTest, AWindowFadesInWithItsTileButtonAndLabelAndTheButtonShowsItsPress) {
  // Frames 1 to 6 with the cursor away, frame 7 with the left button down
  // over the button.
  Start({"", "", "", "", "", "", "cursor 150 220\nmouse 0 0 0 1\n"});
  struct SPoint {
    int x, y;
    std::uint32_t rgb;
  };
  // The nine slices sampled in every piece, the button's middle, inside the
  // first and the last letter, and just past the text.
  const std::vector<SPoint> kTile = {
      {105, 55, kRed},   {200, 55, kGreen}, {295, 55, kRed},   {105, 100, kGreen}, {200, 100, kBlue},
      {295, 100, kGreen}, {105, 145, kRed}, {200, 145, kGreen}, {295, 145, kRed},
      // Exactly the borders: 20 pixels of corner, the centre from 120 and 70.
      {119, 69, kRed},   {120, 70, kBlue},  {279, 129, kBlue}, {280, 130, kRed}};
  auto tmp_Check = [](const SPixels& p, const std::vector<SPoint>& fp_v, float fp_fAlpha) {
    ASSERT_EQ(p.width, 800);
    for (const SPoint& s : fp_v) {
      std::uint32_t tmp_uWant = 0;
      for (int tmp_iShift : {16, 8, 0})
        tmp_uWant |= std::uint32_t(float((s.rgb >> tmp_iShift) & 255u) * fp_fAlpha + 0.5f) << tmp_iShift;
      EXPECT_TRUE(Near(p.At(s.x, s.y), tmp_uWant, 3)) << s.x << "," << s.y;
    }
  };

  // Hidden: nothing of the window is drawn.
  Frame();
  Frame();
  tmp_Check(Shot(), {{200, 100, 0}, {150, 220, 0}, {108, 308, 0}}, 1.0f);

  // Halfway through 0.2 s of showing, the default colours give alpha 0.5.
  gui->ExecuteElementCommand("W_MAIN", 1, 0.0f);
  Frame();
  Frame();
  SPixels p = Shot();
  tmp_Check(p, kTile, 0.5f);
  tmp_Check(p, {{150, 220, kNormal}, {108, 308, 0xFFFF00u}}, 0.5f);

  // Shown: opaque; the button in its normal look, the label's letters in its
  // colour and nothing past them.
  Frame();
  Frame();
  p = Shot();
  tmp_Check(p, kTile, 1.0f);
  tmp_Check(p,
            {{150, 220, kNormal}, {101, 201, kNormal}, {198, 238, kNormal}, {150, 241, 0}, {99, 220, 0},
             {108, 308, 0xFFFF00u}, {140, 312, 0xFFFF00u}, {152, 308, 0}, {108, 318, 0}},
            1.0f);

  // Pressed: the pressed texture; the rest unchanged.
  Frame();
  p = Shot();
  tmp_Check(p, kTile, 1.0f);
  tmp_Check(p, {{150, 220, kPressed}, {101, 201, kPressed}, {108, 308, 0xFFFF00u}}, 1.0f);
}
