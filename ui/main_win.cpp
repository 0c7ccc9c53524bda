// ombrix.exe's entry point. No command-line argument is read.
#include <windows.h>

#include "ui/main_window_state_win.h"
#include "ui/startup_win.h"

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int showCommand) {
  return ombrix::ui::RunOmbrix(instance, showCommand, ombrix::ui::SystemStartupSeams());
}
