#include <windows.h>

#include <gtest/gtest.h>

#include "core/process_elevation.h"
#include "core/scan_scheduler.h"
#include "tests/support/test_data.h"

namespace ombrix::core {
namespace {

TEST(IsVolumeRootWinTest, DriveRootsAreRootsAndFoldersAreNot) {
  EXPECT_TRUE(IsVolumeRoot(u"C:\\"));
  EXPECT_TRUE(IsVolumeRoot(u"c:\\"));
  EXPECT_TRUE(IsVolumeRoot(u"C:\\\\"));
  EXPECT_TRUE(IsVolumeRoot(u"Z:\\"));
  EXPECT_FALSE(IsVolumeRoot(u"C:\\windows"));
  EXPECT_FALSE(IsVolumeRoot(test::ToU16(test::TestDataDir())));
}

// Wine runs every program with an administrator token, which is what makes
// automatic mode try the MFT engine on C:\ there.
TEST(IsProcessElevatedWinTest, WineCountsAsElevated) { EXPECT_TRUE(IsProcessElevated()); }

}  // namespace
}  // namespace ombrix::core
