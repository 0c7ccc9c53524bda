// The location rules on a real process under Wine: the test executable
// stands in for ombrix.exe. Every step shares one test body because the
// marker beside the executable would change the answer for any other test
// running at the same time.
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

std::u16string TestExecutableFolder() {
  wchar_t path[MAX_PATH * 4] = {};
  const DWORD length = ::GetModuleFileNameW(nullptr, path, MAX_PATH * 4);
  std::u16string folder = base::FromWide(path, length);
  return folder.substr(0, folder.find_last_of(u'\\'));
}

// Leaves no marker and the environment as it found them, however the test
// ends.
class MarkerAndEnvironmentGuard {
 public:
  explicit MarkerAndEnvironmentGuard(std::u16string marker)
      : marker_(std::move(marker)), localAppData_(base::ReadEnvironmentVariable(u"LOCALAPPDATA")) {
    RemoveMarker();
  }
  ~MarkerAndEnvironmentGuard() {
    RemoveMarker();
    test::SetEnvironmentVariableForTest(
        "LOCALAPPDATA", localAppData_ ? base::ToUtf8(*localAppData_).c_str() : nullptr);
  }
  void RemoveMarker() const {
    ::DeleteFileW(base::WideView(marker_));
    ::RemoveDirectoryW(base::WideView(marker_));
  }
  const std::optional<std::u16string>& originalLocalAppData() const { return localAppData_; }

 private:
  std::u16string marker_;
  std::optional<std::u16string> localAppData_;
};

std::u16string Lower(std::u16string text) {
  for (char16_t& c : text) c = (c >= u'A' && c <= u'Z') ? c + 32 : c;
  return text;
}

TEST(SettingsLocationWinTest, PicksLocalAppDataOrThePortableFolderBesideTheExecutable) {
  const std::u16string folder = TestExecutableFolder();
  const std::u16string marker = folder + u"\\ombrix.portable";
  const MarkerAndEnvironmentGuard guard(marker);
  const auto settingsPath = [] { return base::ToUtf8(SystemSettingsStore().settingsFilePath()); };

  test::SetEnvironmentVariableForTest("LOCALAPPDATA", "C:\\ombrix-test\\Local");
  EXPECT_EQ(settingsPath(), "C:\\ombrix-test\\Local\\Ombrix\\ombrix.settings.json");

  // Unset, the shell still knows the folder: never a path relative to the
  // current directory.
  test::SetEnvironmentVariableForTest("LOCALAPPDATA", nullptr);
  const std::u16string withoutVariable = SystemSettingsStore().settingsFilePath();
  const std::u16string tail = u"\\Ombrix\\ombrix.settings.json";
  ASSERT_GT(withoutVariable.size(), tail.size() + 3);
  EXPECT_EQ(withoutVariable.substr(1, 2), u":\\");
  EXPECT_EQ(withoutVariable.substr(withoutVariable.size() - tail.size()), tail);
  if (guard.originalLocalAppData()) {
    EXPECT_EQ(Lower(withoutVariable), Lower(*guard.originalLocalAppData() + tail));
  }

  const std::string portable = base::ToUtf8(folder + u"\\ombrix.settings.json");
  const HANDLE file = ::CreateFileW(base::WideView(marker), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                    FILE_ATTRIBUTE_NORMAL, nullptr);
  ASSERT_NE(file, INVALID_HANDLE_VALUE);
  ::CloseHandle(file);
  EXPECT_EQ(settingsPath(), portable);

  guard.RemoveMarker();
  ASSERT_TRUE(::CreateDirectoryW(base::WideView(marker), nullptr));
  EXPECT_EQ(settingsPath(), portable);
}

}  // namespace
}  // namespace ombrix::app
