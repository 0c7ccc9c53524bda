#include "ui/window/folder_queries.h"

#include <gtest/gtest.h>

#include <set>
#include <string>

namespace ombrix::ui {
namespace {

TEST(FolderQueriesTest, PathRootOfDrivesSharesAndExtendedPaths) {
  const struct {
    const char16_t* path;
    const char16_t* root;
  } cases[] = {
      {u"C:\\Data\\x", u"C:\\"},
      {u"z:", u"z:\\"},
      {u"\\\\server\\share\\Data", u"\\\\server\\share\\"},
      {u"\\\\server\\share", u"\\\\server\\share\\"},
      {u"//server/share/Data", u"//server/share/"},
      {u"\\\\?\\C:\\Data", u"\\\\?\\C:\\"},
      {u"\\\\?\\UNC\\server\\share\\Data", u"\\\\?\\UNC\\server\\share\\"},
      {u"\\\\server", u""},
      {u"\\\\?\\UNC\\server", u""},
      {u"relative\\Data", u""},
      {u"", u""},
  };
  for (const auto& c : cases) EXPECT_EQ(PathRoot(c.path), c.root) << std::u16string(c.path).size();
}

// A folder on a drive or share that does not answer (a drive mapped for the
// user but not for the elevated process, an offline share) is not known to
// be gone.
TEST(FolderQueriesTest, MissingOnlyWhenItsDriveAnswers) {
  const std::set<std::u16string> folders = {u"C:\\", u"C:\\Data", u"\\\\server\\share\\"};
  const auto isFolder = [&](const std::u16string& path) { return folders.contains(path); };
  EXPECT_EQ(ProbeFolder(u"C:\\Data", isFolder), FolderState::Folder);
  EXPECT_EQ(ProbeFolder(u"C:\\Gone", isFolder), FolderState::Missing);
  EXPECT_EQ(ProbeFolder(u"\\\\server\\share\\Gone", isFolder), FolderState::Missing);
  EXPECT_EQ(ProbeFolder(u"Z:\\Mapped", isFolder), FolderState::Unreachable);
  EXPECT_EQ(ProbeFolder(u"\\\\offline\\share\\Data", isFolder), FolderState::Unreachable);
  EXPECT_EQ(ProbeFolder(u"relative", isFolder), FolderState::Missing);
}

}  // namespace
}  // namespace ombrix::ui
