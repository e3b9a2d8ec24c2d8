// m2dcheck DIR: checks a data folder the way the game would load it. It
// changes into DIR (which holds DATA/), starts the engine headless, catalogues
// and loads every resource, shuts down and leaves DIR/gamelog.txt (and, after
// a fatal error, DIR/ehslog.txt). Exit status 0 when nothing failed, 1 after a
// fatal error, 2 for bad usage.
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "cmorvane.h"
#include "cmorvane_gfx_types.h"
#include "m2dgui_cmorvanegui.h"
#include "mrv_window.h"


namespace {

CMorvaneGUI* s_pGUI = nullptr;

void DestroyGUI() {
  CMorvaneGUI* tmp_pGUI = s_pGUI;
  s_pGUI = nullptr;
  delete tmp_pGUI;
}

// The game's start-up order, headless: resources, graphics on the recording
// device, input on the scripted device, sound on SDL's dummy driver, scripts
// and the GUI; then every catalogued resource is loaded.
void CheckMain(CMorvane* fp_pEngine) {
  fp_pEngine->Start("m2dcheck", "v. 1.0");
  fp_pEngine->RegisterCallback(&DestroyGUI, 3);
  fp_pEngine->RES_Init();
  fp_pEngine->GFX_PreInit(800, 600);
  GfxCaps tmp_Caps{};
  fp_pEngine->GFX_GetCaps(&tmp_Caps);
  fp_pEngine->GFX_Init(tmp_Caps.Mode2.Valid ? 2 : 1, 0);
  fp_pEngine->INP_Init();
  fp_pEngine->SFX_Init(44100);
  fp_pEngine->SCR_Init();
  s_pGUI = new CMorvaneGUI();
  fp_pEngine->LoadResources(0);
  DestroyGUI();
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2 || std::strcmp(argv[1], "--help") == 0 || std::strcmp(argv[1], "-h") == 0) {
    std::fprintf(stderr,
                 "usage: m2dcheck DIR\n"
                 "  loads every resource of DIR/DATA through the engine, headless;\n"
                 "  the report is DIR/gamelog.txt (and DIR/ehslog.txt after a fatal error)\n");
    return 2;
  }
  if (::chdir(argv[1]) != 0) {
    std::fprintf(stderr, "m2dcheck: cannot enter folder %s\n", argv[1]);
    return 2;
  }
  // The checker never opens a window or a sound card; SDL's dummy audio
  // driver still decodes everything.
  ::setenv("M2D_HEADLESS", "1", 1);
  ::setenv("SDL_AUDIODRIVER", "dummy", 0);

  const bool tmp_bFailed = M2D_RunProtected(os::GetModuleHandle(), &CheckMain);
  if (tmp_bFailed) {
    std::fprintf(stderr, "m2dcheck: %s: failed, see %s/gamelog.txt\n", argv[1], argv[1]);
    return 1;
  }
  std::printf("m2dcheck: %s: all resources loaded\n", argv[1]);
  return 0;
}
