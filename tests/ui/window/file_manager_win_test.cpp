#include "ui/window/file_manager_win.h"

#include <windows.h>

#include <gtest/gtest.h>

#include "base/win/wide_string_win.h"

namespace ombrix::ui {
namespace {

// Explorer by its full path, never by a bare name the search order resolves.
TEST(FileManagerTest, ExplorerIsRunByItsFullPathUnderTheWindowsFolder) {
  const std::u16string explorer = ExplorerPath();
  wchar_t windows[MAX_PATH] = {};
  ASSERT_GT(::GetWindowsDirectoryW(windows, MAX_PATH), 0u);
  std::u16string expected = base::FromWide(windows);
  if (expected.back() != u'\\') expected += u'\\';
  EXPECT_EQ(explorer, expected + u"explorer.exe");
  EXPECT_EQ(explorer.substr(1, 2), u":\\");
  EXPECT_NE(::GetFileAttributesW(base::WideView(explorer)), INVALID_FILE_ATTRIBUTES);
}

TEST(FileManagerTest, NothingToOpenFails) { EXPECT_FALSE(OpenInFileManager(nullptr, u"", true)); }

}  // namespace
}  // namespace ombrix::ui
