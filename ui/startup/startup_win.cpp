#include "ui/startup/startup_win.h"

#include <windows.h>

#include <commctrl.h>
#include <memory>
#include <utility>

#include "app/settings/settings_location_win.h"
#include "base/win/executable_path_win.h"
#include "ui/window/main_window_win.h"
#include "ui/startup/startup_elevation.h"
#include "ui/dialogs/startup_privilege_dialog_win.h"
#include "ui/window/status_bar_win.h"

namespace ombrix::ui {
namespace {

constexpr DWORD kAllCommonControlClasses = 0xFF;

int RunMessageLoop(HWND mainWindow) {
  MSG message{};
  BOOL got;
  while ((got = ::GetMessageW(&message, nullptr, 0, 0)) != 0 && got != -1) {
    if (HandleMainWindowKeys(mainWindow, message)) continue;
    ::TranslateMessage(&message);
    ::DispatchMessageW(&message);
  }
  return got == 0 ? static_cast<int>(message.wParam) : 1;
}

}  // namespace

bool RelaunchElevated(MainWindowState& state) {
  const std::u16string path = base::GetExecutablePath();
  const DWORD outcome = path.empty() || !state.seams.launchElevated
                            ? ERROR_FILE_NOT_FOUND
                            : state.seams.launchElevated(path);
  if (outcome != ERROR_SUCCESS) {
    // This instance goes on without the rights; the status bar says why.
    ShowNotice(state, outcome == ERROR_CANCELLED ? kNoticeAdminCancelled : kNoticeAdminFailed);
    return true;
  }
  ::DestroyWindow(state.window);
  return false;
}

bool ResolveStartupElevation(MainWindowState& state, bool processElevated) {
  switch (DecideStartupElevation(processElevated, state.settings)) {
    case StartupElevation::Continue:
      return true;
    case StartupElevation::Relaunch:
      return RelaunchElevated(state);
    case StartupElevation::Ask:
      break;
  }
  const StartupPrivilegeResult result =
      ShowStartupPrivilegeDialog(state.instance, state.window, state.language);
  const StartupPromptAnswer answer{result.elevationChoice == 1, result.dontShowAgain};
  // Saved before any restart, so the elevated instance already reads it; a
  // failed save changes nothing else.
  if (ApplyStartupPromptAnswer(answer, state.settings)) {
    state.settingsStore.SaveSettings(state.settings);
  }
  return answer.relaunchElevated ? RelaunchElevated(state) : true;
}

int RunOmbrix(HINSTANCE instance, int showCommand, StartupSeams seams) {
  ::SetProcessDpiAwarenessContext(DPI_AWARENESS_CONTEXT_PER_MONITOR_AWARE_V2);
  INITCOMMONCONTROLSEX controls{sizeof(controls), kAllCommonControlClasses};
  ::InitCommonControlsEx(&controls);

  // The state outlives the window; its destruction joins a running scan.
  auto state =
      std::make_unique<MainWindowState>(instance, app::SystemSettingsStore(), std::move(seams));
  if (!RegisterMainWindowClass(*state)) return 1;
  const bool elevated = state->seams.isProcessElevated && state->seams.isProcessElevated();
  if (CreateMainWindow(*state, elevated ? u"Ombrix [Administrator]" : u"Ombrix") == nullptr) {
    return 1;
  }
  PlaceOnMonitorWorkArea(state->window);
  ::ShowWindow(state->window, showCommand);
  ::UpdateWindow(state->window);
  if (!ResolveStartupElevation(*state, elevated)) return 0;
  const int exitCode = RunMessageLoop(state->window);
  // Only a failed loop leaves the window behind; it must not outlive the
  // state its procedure uses.
  if (::IsWindow(state->window)) ::DestroyWindow(state->window);
  return exitCode;
}

}  // namespace ombrix::ui
