#include "ui/dialogs/folder_picker_win.h"

#include <windows.h>

#include <gtest/gtest.h>

#include "base/win/wide_string_win.h"
#include "tests/ui/window_robot_win.h"

namespace ombrix::ui {
namespace {

std::u16string WindowsFolder() {
  wchar_t folder[MAX_PATH] = {};
  ::GetWindowsDirectoryW(folder, MAX_PATH);
  return base::FromWide(folder);
}

// The file-name box of Wine's file dialog (control 1152); the picker takes
// a folder typed there as the choice.
constexpr int kFileNameBox = 1152;

TEST(FolderPickerTest, ReturnsTheFolderChosenOrNothingWhenCancelled) {
  const std::u16string system = WindowsFolder() + u"\\system32";
  struct Case {
    const char* what;
    WPARAM button;
    std::u16string expected;
  };
  const Case cases[] = {
      {"accepted", IDOK, system},
      {"cancelled", IDCANCEL, u""},
  };
  for (const Case& c : cases) {
    WindowRobot robot(L"", L"Pick a test folder", [&](HWND picker) {
      ::SendMessageW(::GetDlgItem(picker, kFileNameBox), WM_SETTEXT, 0,
                     reinterpret_cast<LPARAM>(base::WideView(system)));
      ::PostMessageW(picker, WM_COMMAND, MAKEWPARAM(c.button, BN_CLICKED), 0);
    });
    const std::u16string chosen = ShowFolderPicker(nullptr, u"Pick a test folder", WindowsFolder());
    EXPECT_TRUE(robot.acted()) << c.what;
    EXPECT_STREQ(base::WideView(chosen), base::WideView(c.expected)) << c.what;
  }
}

}  // namespace
}  // namespace ombrix::ui
