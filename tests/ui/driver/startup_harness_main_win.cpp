// ombrix-startup-harness: ombrix.exe as a process without administrator
// rights would run it. Under Wine every process is elevated and "runas"
// never asks, so the GUI checks start this instead to see the start-up
// privilege dialog and both roads of the elevated restart. Test code only.
//
// OMBRIX_TEST_CONSENT=decline answers the consent prompt with "no"
// (ERROR_CANCELLED); otherwise the real "runas" launch runs (Wine starts
// the harness again). Each launch attempt appends a line, "declined" or
// "launched", to launch-attempts.txt beside the executable.
#include <windows.h>

#include <fstream>
#include <string>

#include "base/win/executable_path_win.h"
#include "ui/startup/elevation_win.h"
#include "ui/window/main_window_state_win.h"
#include "ui/startup/startup_win.h"

namespace {

void RecordAttempt(const std::u16string& executablePath, const char* outcome) {
  std::u16string log = executablePath.substr(0, executablePath.find_last_of(u'\\') + 1);
  log += u"launch-attempts.txt";
  std::ofstream(reinterpret_cast<const wchar_t*>(log.c_str()), std::ios::app) << outcome << "\n";
}

bool ConsentDeclined() {
  wchar_t value[16] = {};
  const DWORD length = ::GetEnvironmentVariableW(L"OMBRIX_TEST_CONSENT", value, 16);
  return length > 0 && length < 16 && std::wstring(value) == L"decline";
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int showCommand) {
  ombrix::ui::StartupSeams seams = ombrix::ui::SystemStartupSeams();
  seams.isProcessElevated = [] { return false; };
  if (ConsentDeclined()) {
    seams.launchElevated = [](const std::u16string& path) -> DWORD {
      RecordAttempt(path, "declined");
      return ERROR_CANCELLED;
    };
  } else {
    seams.launchElevated = [](const std::u16string& path) {
      RecordAttempt(path, "launched");
      return ombrix::ui::LaunchElevated(path);
    };
  }
  return ombrix::ui::RunOmbrix(instance, showCommand, std::move(seams));
}
