// The location rules on a real process under Wine, with the test program
// standing in for ombrix.exe. One test body for every step: a marker beside
// the executable would change the answer for any test running beside it.
#include "app/settings/settings_location_win.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <optional>
#include <string>

#include "base/environment.h"
#include "base/text_encoding.h"
#include "base/win/wide_string_win.h"
#include "tests/support/test_environment.h"

namespace ombrix::app {
namespace {

// Leaves no marker and LOCALAPPDATA as it was, however the test ends.
struct MarkerAndVariableGuard {
  std::u16string marker;
  std::optional<std::u16string> localAppData = base::ReadEnvironmentVariable(u"LOCALAPPDATA");

  void RemoveMarker() const {
    ::DeleteFileW(base::WideView(marker));
    ::RemoveDirectoryW(base::WideView(marker));
  }
  ~MarkerAndVariableGuard() {
    RemoveMarker();
    test::SetEnvironmentVariableForTest(
        "LOCALAPPDATA", localAppData ? base::ToUtf8(*localAppData).c_str() : nullptr);
  }
};

TEST(SettingsLocationWinTest, LocalAppDataOrThePortableFolderBesideTheExecutable) {
  wchar_t module[4 * MAX_PATH] = {};
  const std::u16string exe =
      base::FromWide(module, ::GetModuleFileNameW(nullptr, module, 4 * MAX_PATH));
  const std::u16string folder = exe.substr(0, exe.find_last_of(u'\\'));
  const MarkerAndVariableGuard guard{folder + u"\\ombrix.portable"};
  guard.RemoveMarker();
  const auto settingsPath = [] { return SystemSettingsStore().settingsFilePath(); };

  test::SetEnvironmentVariableForTest("LOCALAPPDATA", "C:\\ombrix-test\\Local");
  EXPECT_EQ(settingsPath(), u"C:\\ombrix-test\\Local\\Ombrix\\ombrix.settings.json");

  // Unset, the shell still knows the folder (Wine's variable names it too):
  // never a path relative to the current directory.
  test::SetEnvironmentVariableForTest("LOCALAPPDATA", nullptr);
  ASSERT_TRUE(guard.localAppData.has_value());
  const std::u16string expected = *guard.localAppData + u"\\Ombrix\\ombrix.settings.json";
  EXPECT_EQ(::CompareStringOrdinal(base::WideView(settingsPath()), -1, base::WideView(expected), -1,
                                   TRUE),
            CSTR_EQUAL)
      << base::ToUtf8(settingsPath());

  const HANDLE file = ::CreateFileW(base::WideView(guard.marker), GENERIC_WRITE, 0, nullptr,
                                    CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
  ASSERT_NE(file, INVALID_HANDLE_VALUE);
  ::CloseHandle(file);
  EXPECT_EQ(settingsPath(), folder + u"\\ombrix.settings.json");

  guard.RemoveMarker();
  ASSERT_TRUE(::CreateDirectoryW(base::WideView(guard.marker), nullptr));
  EXPECT_EQ(settingsPath(), folder + u"\\ombrix.settings.json");
}

}  // namespace
}  // namespace ombrix::app
