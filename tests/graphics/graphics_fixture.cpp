// The graphics test fixture: engine start-up over the recording device,
// resource descriptions and image files, and the captured draw calls.
#include "graphics_fixture.h"

#include <cstring>
#include <sstream>

#include "Platform/os/os_backend.h"

namespace gfxtest {

void WriteRespack(const std::vector<SRes>& fp_vRes) {
  std::string tmp_strXml = "<respack>\n";
  for (const SRes& r : fp_vRes) {
    tmp_strXml += "  <res id=\"" + r.id + "\" typeid=\"" + r.type + "\" filename=\"" + r.file +
                  "\" tag=\"" + std::to_string(r.tag) + "\" data1=\"" + std::to_string(r.data1) +
                  "\" data2=\"" + std::to_string(r.data2) + "\" data3=\"" +
                  std::to_string(r.data3) + "\"/>\n";
  }
  tmp_strXml += "</respack>\n";
  m2dtest::WriteFile("DATA/res.xml", tmp_strXml);
}

std::string EncodeTGA(int fp_iWidth, int fp_iHeight, const std::vector<std::uint32_t>& fp_rARGB) {
  std::string tmp_strOut(18, '\0');
  tmp_strOut[2] = 2;  // uncompressed true colour
  tmp_strOut[12] = static_cast<char>(fp_iWidth & 0xFF);
  tmp_strOut[13] = static_cast<char>(fp_iWidth >> 8);
  tmp_strOut[14] = static_cast<char>(fp_iHeight & 0xFF);
  tmp_strOut[15] = static_cast<char>(fp_iHeight >> 8);
  tmp_strOut[16] = 32;
  tmp_strOut[17] = 0x28;  // 8 alpha bits, top-left origin
  for (std::uint32_t c : fp_rARGB) {
    tmp_strOut.push_back(static_cast<char>(c & 0xFF));
    tmp_strOut.push_back(static_cast<char>((c >> 8) & 0xFF));
    tmp_strOut.push_back(static_cast<char>((c >> 16) & 0xFF));
    tmp_strOut.push_back(static_cast<char>(c >> 24));
  }
  return tmp_strOut;
}

std::string SolidTGA(int fp_iWidth, int fp_iHeight, std::uint32_t fp_uARGB) {
  return EncodeTGA(fp_iWidth, fp_iHeight,
                   std::vector<std::uint32_t>(static_cast<size_t>(fp_iWidth * fp_iHeight), fp_uARGB));
}

std::string TechPack(const std::vector<std::string>& fp_vTechniques) {
  std::string tmp_strXml = "<techniquespack>\n";
  for (const std::string& t : fp_vTechniques) tmp_strXml += "  " + t + "\n";
  return tmp_strXml + "</techniquespack>\n";
}

std::string FontDesc(const std::string& fp_strID, const std::string& fp_strTexture,
                     const std::string& fp_strTechnique, const std::string& fp_strPack,
                     float fp_fCellSize, float fp_fWidth,
                     const std::vector<std::pair<int, float>>& fp_rWidths,
                     const std::vector<std::vector<float>>& fp_vPalette,
                     const std::string& fp_strExtra, int fp_iSkipWidth) {
  std::ostringstream s;
  s << "<fontdesc id=\"" << fp_strID << "\" textureid=\"" << fp_strTexture << "\" techniqueid=\""
    << fp_strTechnique << "\" techpackid=\"" << fp_strPack << "\" cellsize=\"" << fp_fCellSize
    << "\" tag=\"3\" " << fp_strExtra;
  for (size_t i = 0; i < fp_vPalette.size(); ++i) {
    const char* tmp_apszChannels[3] = {"r", "g", "b"};
    for (size_t c = 0; c < 3 && c < fp_vPalette[i].size(); ++c)
      s << " color" << i << tmp_apszChannels[c] << "=\"" << fp_vPalette[i][c] << "\"";
  }
  for (int tmp_iCode = 0; tmp_iCode < 256; ++tmp_iCode) {
    if (tmp_iCode == fp_iSkipWidth) continue;
    float tmp_fWidth = fp_fWidth;
    for (const auto& [tmp_iWhich, tmp_fGiven] : fp_rWidths)
      if (tmp_iWhich == tmp_iCode) tmp_fWidth = tmp_fGiven;
    s << " cs" << tmp_iCode << "=\"" << tmp_fWidth << "\"";
  }
  s << "/>\n";
  return s.str();
}

void GfxTest::SetUp() {
  m2dtest::TempDirTest::SetUp();
  os::SelectBackendForTests(os::Backend::Headless);
  adapter_ = gfx::null::DefaultAdapter();
  m2dtest::WriteFile("DATA/.keep", "");
}

void GfxTest::TearDown() {
  engine.reset();
  gfx::null::ResetProcessAdapter();
  g_bAppActive = 0;
  m2dtest::TempDirTest::TearDown();
}

void GfxTest::StartEngine() {
  gfx::null::SetProcessAdapter(adapter_);
  engine = std::make_unique<CMorvane>();
  engine->Start("Graphics test", "1");
  engine->RES_Init();
}

void GfxTest::StartGraphics(std::uint32_t fp_uMode, std::uint8_t fp_bWindowed) {
  StartEngine();
  engine->GFX_PreInit(800, 600);
  engine->GFX_Init(fp_uMode, fp_bWindowed);
  ASSERT_NE(Device(), nullptr);
}

gfx::null::CNullDevice* GfxTest::Device() const {
  return engine != nullptr ? gfx::null::AsNullDevice(engine->pD3DDevice) : nullptr;
}

void GfxTest::CaptureDraws() {
  draws_.clear();
  Device()->SetDrawHook([this](const gfx::null::CNullDevice&, const gfx::null::SDrawCall& fp_rCall) {
    SDraw tmp_Draw;
    tmp_Draw.triangles = fp_rCall.primitiveCount;
    const std::uint8_t* tmp_pBytes = fp_rCall.stream->Data();
    for (std::uint32_t q = 0; q < fp_rCall.primitiveCount / 2; ++q) {
      SQuad tmp_Quad;
      std::memcpy(tmp_Quad.v, tmp_pBytes + static_cast<size_t>(q) * 4 * sizeof(M2DVERTEX), sizeof(tmp_Quad.v));
      tmp_Draw.quads.push_back(tmp_Quad);
    }
    draws_.push_back(std::move(tmp_Draw));
  });
}

size_t GfxTest::CountEvents(gfx::null::ECall fp_eCall) const { return Device()->EventsOf(fp_eCall).size(); }

std::vector<std::string> GfxTest::LogFrom(const std::string& fp_strFrom) {
  const std::vector<std::string> tmp_v = m2dtest::ReadLines("gamelog.txt");
  for (size_t i = tmp_v.size(); i-- > 0;)
    if (tmp_v[i] == fp_strFrom) return {tmp_v.begin() + static_cast<long>(i), tmp_v.end()};
  return {};
}

int GfxTest::CountLog(const std::string& fp_strLine) {
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

}  // namespace gfxtest
