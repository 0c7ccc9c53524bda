#include "ui/dialogs/modal_dialog_win.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <string>
#include <vector>

#include "base/text_encoding.h"
#include "i18n/language_environment.h"
#include "i18n/language_strings.h"
#include "i18n/language_table.h"
#include "tests/support/temporary_folder.h"
#include "tests/ui/window_robot_win.h"
#include "ui/dialogs/about_dialog_win.h"
#include "ui/dialogs/scan_settings_dialog_win.h"
#include "ui/dialogs/startup_privilege_dialog_win.h"

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

struct ButtonCheck {
  int id;
  RECT rect;
  int captionWidth;
};

// Every push button of a dialog, with its caption's width in its own font.
std::vector<ButtonCheck> PushButtons(HWND dialog, const std::vector<int>& ids) {
  std::vector<ButtonCheck> buttons;
  for (const int id : ids) {
    const HWND button = ::GetDlgItem(dialog, id);
    ButtonCheck check{id, {}, 0};
    ::GetWindowRect(button, &check.rect);
    ::MapWindowPoints(HWND_DESKTOP, dialog, reinterpret_cast<POINT*>(&check.rect), 2);
    wchar_t caption[256] = {};
    const int length = ::GetWindowTextW(button, caption, 256);
    const HDC dc = ::GetDC(button);
    const HGDIOBJ old = ::SelectObject(
        dc, reinterpret_cast<HFONT>(::SendMessageW(button, WM_GETFONT, 0, 0)));
    SIZE size{};
    ::GetTextExtentPoint32W(dc, caption, length, &size);
    ::SelectObject(dc, old);
    ::ReleaseDC(button, dc);
    check.captionWidth = size.cx;
    buttons.push_back(check);
  }
  return buttons;
}

// The dialogs' buttons hold their captions (the administrator button's text
// in Russian, Belarusian, Ukrainian and Italian was wider than its fixed
// width), side by side inside the dialog: the start-up prompt in every
// language, the others in the languages with the longest texts. (Wine
// takes seconds to show a window, so not every dialog in every language.)
TEST(ModalDialogTest, ButtonsFitTheirCaptions) {
  i18n::LanguageStrings language(i18n::SystemLanguageEnvironment());
  const HINSTANCE instance = ::GetModuleHandleW(nullptr);
  const HWND owner = ::CreateWindowExW(0, L"Static", L"owner", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0,
                                       0, 800, 600, nullptr, nullptr, instance, nullptr);
  ScanSettingsValues values;
  values.maxThreadsPerDrive = 8;
  struct Dialog {
    const char* titleKey;
    std::vector<int> buttons;
    int close;
    std::function<void()> show;
    bool everyLanguage = false;
  };
  const Dialog dialogs[] = {
      {"dialog.startup.title", {2051, 2052}, 2052,
       [&] { ShowStartupPrivilegeDialog(instance, owner, language); }, true},
      {"dialog.scan_settings.title", {IDOK, IDCANCEL}, IDCANCEL,
       [&] { ShowScanSettingsDialog(instance, owner, &language, values); }},
      {"dialog.about.title", {IDOK}, IDOK, [&] { ShowAboutDialog(instance, owner, language); }},
  };
  const std::vector<std::u16string_view> longest = {u"ru-RU", u"uk-UA", u"de-DE"};
  for (const i18n::LanguageInfo& info : i18n::kLanguages) {
    language.SetLanguage(info.locale);
    const bool longTexts =
        std::find(longest.begin(), longest.end(), info.locale) != longest.end();
    for (const Dialog& dialog : dialogs) {
      if (!dialog.everyLanguage && !longTexts) continue;
      const std::u16string title = language.Translate(dialog.titleKey);
      std::vector<ButtonCheck> buttons;
      RECT client{};
      {
        WindowRobot robot(L"", reinterpret_cast<const wchar_t*>(title.c_str()), [&](HWND window) {
          buttons = PushButtons(window, dialog.buttons);
          ::GetClientRect(window, &client);
          ::PostMessageW(::GetDlgItem(window, dialog.close), BM_CLICK, 0, 0);
        });
        dialog.show();
      }
      ASSERT_EQ(buttons.size(), dialog.buttons.size());
      for (std::size_t i = 0; i < buttons.size(); ++i) {
        const ButtonCheck& b = buttons[i];
        SCOPED_TRACE(base::ToUtf8(std::u16string(info.locale)) + " " + dialog.titleKey + " button " +
                     std::to_string(b.id));
        EXPECT_GE(b.rect.right - b.rect.left, b.captionWidth + 16);
        EXPECT_GE(b.rect.left, 0);
        EXPECT_LE(b.rect.right, client.right);
        if (i > 0) {
          EXPECT_LT(buttons[i - 1].rect.right, b.rect.left);
        }
      }
    }
  }
  ::DestroyWindow(owner);
}

}  // namespace
}  // namespace ombrix::ui
