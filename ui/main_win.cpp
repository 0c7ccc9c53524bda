// ombrix.exe's entry point. No command-line argument is read.
#include <windows.h>

#include "base/win/dll_search_win.h"
#include "base/win/ntdll_functions_win.h"
#include "ui/window/main_window_state_win.h"
#include "ui/startup/startup_win.h"

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int showCommand) {
  ombrix::base::RestrictDllSearchToSystem32();
  ombrix::base::ExposePlaceholders();
  return ombrix::ui::RunOmbrix(instance, showCommand, ombrix::ui::SystemStartupSeams());
}
