#include "ui/modal_dialog_win.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "i18n/language_strings.h"
#include "tests/support/temporary_folder.h"
#include "tests/ui/window_robot_win.h"
#include "ui/about_dialog_win.h"
#include "ui/scan_settings_dialog_win.h"
#include "ui/startup_privilege_dialog_win.h"

namespace ombrix::ui {
namespace {

// Whether the owner was enabled when the dialog window was destroyed.
struct DestroyWatch {
  HWND owner = nullptr;
  const wchar_t* dialogClass = nullptr;
  int destroyed = 0;
  bool ownerEnabled = false;
};
DestroyWatch watch;

LRESULT CALLBACK WatchDestroy(int code, WPARAM wParam, LPARAM lParam) {
  const auto* call = reinterpret_cast<const CWPSTRUCT*>(lParam);
  wchar_t className[64] = {};
  if (code == HC_ACTION && call->message == WM_DESTROY &&
      ::GetClassNameW(call->hwnd, className, 64) && std::wstring(className) == watch.dialogClass) {
    ++watch.destroyed;
    watch.ownerEnabled = ::IsWindowEnabled(watch.owner) != FALSE;
  }
  return ::CallNextHookEx(nullptr, code, wParam, lParam);
}

// Windows activates another window when the active one goes; a dialog
// whose owner is still disabled then lets another program's window come
// forward first. Each dialog enables its owner before it is destroyed.
TEST(ModalDialogTest, OwnerIsEnabledBeforeTheDialogIsDestroyed) {
  test::TemporaryFolder folder;  // no language files: every text is its key
  i18n::LanguageStrings language(
      {[] { return std::vector<std::u16string>{}; }, [&] { return folder.Path(); }});
  const HINSTANCE instance = ::GetModuleHandleW(nullptr);
  watch.owner = ::CreateWindowExW(0, L"Static", L"owner", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0,
                                  640, 480, nullptr, nullptr, instance, nullptr);
  ASSERT_NE(watch.owner, nullptr);
  const HHOOK hook = ::SetWindowsHookExW(WH_CALLWNDPROC, WatchDestroy, nullptr,
                                         ::GetCurrentThreadId());
  ScanSettingsValues values;
  values.threadsPerDrive = 2;
  values.maxThreadsPerDrive = 4;
  const struct {
    const wchar_t* className;
    const wchar_t* title;
    int button;
    std::function<void()> show;
  } dialogs[] = {
      {L"Ombrix.AboutDialog", L"dialog.about.title", IDOK,
       [&] { ShowAboutDialog(instance, watch.owner, language); }},
      {L"Ombrix.ScanSettingsDialog", L"dialog.scan_settings.title", IDCANCEL,
       [&] { ShowScanSettingsDialog(instance, watch.owner, &language, values); }},
      {L"Ombrix.StartupPrivilegeDialog", L"dialog.startup.title", 2052,
       [&] { ShowStartupPrivilegeDialog(instance, watch.owner, language); }},
  };
  for (const auto& dialog : dialogs) {
    watch.dialogClass = dialog.className;
    watch.destroyed = 0;
    WindowRobot robot(dialog.className, dialog.title, [&](HWND window) {
      ::PostMessageW(::GetDlgItem(window, dialog.button), BM_CLICK, 0, 0);
    });
    dialog.show();
    EXPECT_EQ(watch.destroyed, 1) << dialog.title;
    EXPECT_TRUE(watch.ownerEnabled) << dialog.title;
  }
  ::UnhookWindowsHookEx(hook);
  ::DestroyWindow(watch.owner);
}

}  // namespace
}  // namespace ombrix::ui
