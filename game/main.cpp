// The process entry of Vantrel: hands the game's entry function to the
// engine's WinMain.
#include "gameinit_routine.h"
#include "mrv_window.h"

int main() { return WinMain(os::GetModuleHandle(), nullptr, "", os::SW_SHOW, &GameMain); }
