#include "core/scan_paths.h"

#include <gtest/gtest.h>

namespace ombrix::core {
namespace {

struct PathCase {
  std::u16string input;
  std::u16string expected;
};

TEST(ScanPathsTest, TrimTrailingSeparators) {
  const PathCase cases[] = {
      {u"C:\\", u"C:\\"},
      {u"C:/", u"C:/"},
      {u"C:\\\\", u"C:\\"},
      {u"C:\\\\\\", u"C:\\"},
      {u"D:\\Data\\\\", u"D:\\Data"},
      {u"D:\\Data/", u"D:\\Data"},
      {u"\\\\server\\share\\", u"\\\\server\\share"},
      {u"", u""},
      {u"\\\\\\\\", u"\\\\\\"},
      {u"ab", u"ab"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(TrimTrailingSeparators(c.input), c.expected);
  }
}

TEST(ScanPathsTest, JoinPath) {
  EXPECT_EQ(JoinPath(u"C:\\", u"Windows"), u"C:\\Windows");
  EXPECT_EQ(JoinPath(u"C:/", u"Windows"), u"C:/Windows");
  EXPECT_EQ(JoinPath(u"C:\\Users", u"ann"), u"C:\\Users\\ann");
  EXPECT_EQ(JoinPath(u"", u"x"), u"x");
  EXPECT_EQ(JoinPath(u"C:\\x", u""), u"C:\\x");
  // A root given with forward slashes (an image folder, a tree read from
  // an ncdu export) goes on with backslashes, as every path below a root
  // does: "/deep/a" and "\\deep\\a" name the same folder of an image.
  EXPECT_EQ(JoinPath(u"/srv/data", u"logs"), u"/srv/data\\logs");
  EXPECT_EQ(JoinPath(u"/", u"etc"), u"/etc");
}

TEST(ScanPathsTest, LeafName) {
  const PathCase cases[] = {
      {u"C:\\Users\\ann", u"ann"},
      {u"C:\\", u""},
      {u"C:", u""},
      {u"\\\\server", u""},
      {u"\\\\server\\", u""},
      {u"\\\\server\\share", u"share"},
      {u"D:\\a\\b\\", u"b"},
      {u"D:/a/b", u"b"},
      {u"\\\\?\\C:\\x\\y", u"y"},
      {u"\\\\?\\C:\\", u"C:"},
      {u"\\\\.\\PhysicalDrive0", u"PhysicalDrive0"},
      {u"\\??\\C:\\z", u"z"},
      {u"relative\\name", u"name"},
      {u"name", u"name"},
      {u"\\top", u"top"},
      {u"", u""},
      {u"All local drives", u"All local drives"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(LeafName(c.input), c.expected);
  }
}

}  // namespace
}  // namespace ombrix::core
