// The tile-family tests' fixture: headless engine start-up with sound on the
// manual output, replay files, resource folders, the noting native actions
// and the captured quads.
#include "tiles_fixture.h"

#include <cstdlib>
#include <cstring>

#include "Platform/audio/audio.h"
#include "Platform/audio/audio_manual.h"
#include "Platform/os/os_backend.h"
#include "mrv_window.h"

namespace tilestest {

std::vector<std::string> g_vEvents;

void WriteRespack(const std::vector<SRes>& fp_vRes) {
  std::string tmp_strXml = "<respack>\n";
  for (const SRes& r : fp_vRes) {
    tmp_strXml += "  <res id=\"" + r.id + "\" typeid=\"" + r.type + "\" filename=\"" + r.file +
                  "\" tag=\"1\" data1=\"0\" data2=\"" + (r.type == "SOUND" ? "4" : "1") +
                  "\" data3=\"0\"/>\n";
    m2dtest::WriteFile("DATA/" + r.file, r.bytes);
  }
  tmp_strXml += "</respack>\n";
  m2dtest::WriteFile("DATA/res.xml", tmp_strXml);
}

std::string ReplayFrames(int fp_iCount, int fp_iStepMs,
                         const std::function<std::string(int)>& fp_Extra) {
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

namespace {
void PutLE(std::string& fp_rOut, std::uint32_t fp_uValue, int fp_iBytes) {
  for (int i = 0; i < fp_iBytes; ++i) fp_rOut.push_back(static_cast<char>((fp_uValue >> (8 * i)) & 0xFF));
}
}  // namespace

std::string SilentWav(int fp_iSamples) {
  const std::uint32_t tmp_uData = static_cast<std::uint32_t>(fp_iSamples) * 2;
  std::string tmp_str = "RIFF";
  PutLE(tmp_str, 36 + tmp_uData, 4);
  tmp_str += "WAVEfmt ";
  PutLE(tmp_str, 16, 4);
  PutLE(tmp_str, 1, 2);       // PCM
  PutLE(tmp_str, 1, 2);       // mono
  PutLE(tmp_str, 44100, 4);
  PutLE(tmp_str, 88200, 4);
  PutLE(tmp_str, 2, 2);
  PutLE(tmp_str, 16, 2);
  tmp_str += "data";
  PutLE(tmp_str, tmp_uData, 4);
  tmp_str.append(tmp_uData, '\0');
  return tmp_str;
}

// {==== Noting actions =======================================================

namespace {
const char* const kActionNames[] = {"GOT",     "LOST",    "CLICK",   "HOTKEY",
                                    "PRESS",   "HOLD",    "ENABLE",  "DISABLE",
                                    "CHECK",   "UNCHECK", "SHOW"};

template <int N>
void NoteAction() {
  std::string tmp_str = kActionNames[N];
  CMorvaneGUI* tmp_pGUI = GetGUI();
  if (tmp_pGUI->GetActionArgCount() > 0) {
    tmp_str.append(1, '(');
    tmp_str.append(std::to_string(static_cast<int>(tmp_pGUI->GetActionArg(0).GetFloat())));
    tmp_str.append(1, ')');
  }
  g_vEvents.push_back(tmp_str);
}

std::string ActionName(int fp_iIndex) {
  std::string tmp_str(2, 'A');
  tmp_str[1] = '_';
  tmp_str.append(kActionNames[fp_iIndex]);
  return tmp_str;
}

template <int... N>
void RegisterActions(CMorvaneGUI* fp_pGUI, std::integer_sequence<int, N...>) {
  (fp_pGUI->RegisterAction(&NoteAction<N>, ActionName(N).c_str()), ...);
}
}  // namespace

// }====

void TilesTest::SetUp() {
  m2dtest::TempDirTest::SetUp();
  ::unsetenv("M2D_RECORD");
  ::unsetenv("M2D_REPLAY");
  ::setenv("M2D_HEADLESS", "1", 1);
  os::SelectBackendForTests(os::Backend::Headless);
  gfx::null::ResetProcessAdapter();
  m2dtest::WriteFile("DATA/.keep", "");
  g_vEvents.clear();
}

void TilesTest::TearDown() {
  gui.reset();
  engine.reset();
  g_bAppActive = 0;
  ::unsetenv("M2D_REPLAY");
  m2dtest::TempDirTest::TearDown();
}

void TilesTest::UseReplay(const std::string& fp_strBody) {
  m2dtest::WriteFile("session.txt", "m2dreplay 1\ninit 1000 1000\n" + fp_strBody);
  ::setenv("M2D_REPLAY", "session.txt", 1);
}

void TilesTest::StartEngine() {
  engine = std::make_unique<CMorvane>();
  engine->Start("Tiles test", "1");
  engine->RES_Init();
  engine->GFX_PreInit(800, 600);
  engine->GFX_Init(2, 0);
  engine->INP_Init();
  engine->sfxOutputDevice = audio::kAudioDeviceManual;
  engine->SFX_Init(44100);
  engine->SCR_Init();
  gui = std::make_unique<CMorvaneGUI>();
  RegisterActions(gui.get(), std::make_integer_sequence<int, 11>{});
  engine->UpdateTimer();
  gfx::null::AsNullDevice(engine->pD3DDevice)
      ->SetDrawHook([this](const gfx::null::CNullDevice& fp_rDevice,
                           const gfx::null::SDrawCall& fp_rCall) {
        const std::uint8_t* tmp_pBytes = fp_rCall.stream->Data();
        const void* tmp_pTexture = fp_rDevice.BoundTexture(0);
        for (std::uint32_t q = 0; q < fp_rCall.primitiveCount / 2; ++q) {
          M2DVERTEX v[4];
          std::memcpy(v, tmp_pBytes + static_cast<size_t>(q) * sizeof(v), sizeof(v));
          // The engine shifts positions by half a pixel onto pixel centres.
          pending_.push_back(SQuad{v[0].x + 0.5f, v[0].y + 0.5f, v[2].x - v[0].x, v[2].y - v[0].y,
                                   v[0].tu0, v[0].tv0, v[2].tu0, v[2].tv0, v[0].diffuse,
                                   tmp_pTexture});
        }
      });
}

void TilesTest::LoadGui(const std::string& fp_strXml, std::vector<SRes> fp_vMore) {
  fp_vMore.push_back(SRes{"GUI_T", "GUIDATA", "gui.dat", fp_strXml});
  WriteRespack(fp_vMore);
  StartEngine();
  engine->LoadResource("GUI_T");
}

void TilesTest::Frame() {
  engine->PumpMessages();
  engine->UpdateTimer();
  engine->INP_Update();
  gui->Update();
  pending_.clear();
  engine->GFX_SceneBegin();
  gui->Draw();
  engine->GFX_SceneEnd();
  quads_ = pending_;
}

const void* TilesTest::Texture(const char* fp_pszID) const {
  const int tmp_iID = engine->GFX_TexGetIID(fp_pszID);
  return tmp_iID == -1 ? nullptr : static_cast<const void*>(engine->texturesManager->GetItem(tmp_iID));
}

bool TilesTest::TakeSound(const char* fp_pszID) {
  const int tmp_iID = engine->SFX_SoundGetIID(fp_pszID);
  const bool tmp_bPlaying = engine->SFX_SoundGetStatus(tmp_iID) == audio::BASS_ACTIVE_PLAYING;
  engine->SFX_SoundStop(tmp_iID);
  return tmp_bPlaying;
}

std::vector<std::string> TilesTest::TakeEvents() {
  std::vector<std::string> tmp_v;
  tmp_v.swap(g_vEvents);
  return tmp_v;
}

CEHSException Thrown(const std::function<void()>& fp_fn) {
  try {
    fp_fn();
  } catch (const CEHSException& e) {
    return e;
  } catch (...) {
    ADD_FAILURE() << "an exception of another type";
    return CEHSException(0, 0, "", "", 0);
  }
  ADD_FAILURE() << "nothing was thrown";
  return CEHSException(0, 0, "", "", 0);
}

}  // namespace tilestest
