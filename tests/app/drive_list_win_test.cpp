#include "app/drive_list_win.h"

#include <gtest/gtest.h>

namespace ombrix::app {
namespace {

// Wine's own drives: C: is the prefix's drive_c and Z: is the Linux root,
// both fixed.
TEST(DriveListWinTest, ListsWinesFixedDrivesInLetterOrder) {
  const std::vector<DriveInfo> drives = EnumerateDrives();
  const DriveInfo* c = nullptr;
  const DriveInfo* z = nullptr;
  for (std::size_t i = 0; i < drives.size(); ++i) {
    const DriveInfo& drive = drives[i];
    ASSERT_EQ(drive.rootPath.size(), 3u);
    EXPECT_EQ(drive.rootPath.substr(1), u":\\");
    if (i > 0) {
      EXPECT_LT(drives[i - 1].rootPath, drive.rootPath);
    }
    EXPECT_EQ(drive.displayText, DriveCaption(drive.rootPath, drive.volumeLabel, drive.kind));
    if (drive.rootPath == u"C:\\") c = &drive;
    if (drive.rootPath == u"Z:\\") z = &drive;
  }
  ASSERT_NE(c, nullptr);
  ASSERT_NE(z, nullptr);
  EXPECT_EQ(c->kind, DriveKind::Fixed);
  EXPECT_EQ(c->fileSystemName, u"NTFS");
  EXPECT_GT(c->totalBytes, 0u);
  EXPECT_LE(c->freeBytes, c->totalBytes);
  EXPECT_EQ(c->displayText.substr(0, 3), u"C: ");
}

}  // namespace
}  // namespace ombrix::app
