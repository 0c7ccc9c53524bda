// The live volume reader on real paths under Wine. Wine opens \\.\C: but
// lacks FSCTL_GET_NTFS_VOLUME_DATA, so a whole scan stops at the geometry
// query (tests/tools/image_scan_check.py runs that through ombrix-scan);
// what the reader does past it - resolving the scan root to its record with
// GetFileInformationByHandle and reading the root's attributes - is called
// directly here, on the test trees.
#include "core/mft/volume_reader_win.h"

#include <gtest/gtest.h>

#include <memory>
#include <optional>
#include <string>

#include "base/text_encoding.h"
#include "core/mft/volume_reader.h"
#include "core/scan_model.h"
#include "tests/support/test_data.h"

namespace ombrix::core {
namespace {

std::u16string BasicTree() { return test::ToU16(test::TestDataDir() + "\\trees\\basic"); }

TEST(LiveVolumeReaderWinTest, OpensDriveCButCannotQueryItsGeometry) {
  const std::unique_ptr<IVolumeReader> reader = MakeLiveVolumeReader();
  ASSERT_EQ(reader->Open(u"C:\\windows"), VolumeOpenResult::Opened);
  NtfsVolumeGeometry geometry;
  EXPECT_FALSE(reader->QueryGeometry(geometry));
  EXPECT_FALSE(IsNtfsMftScanAvailable(u"Q:\\nowhere"));
}

TEST(LiveVolumeReaderWinTest, ResolvesAFolderToItsOwnRecord) {
  const std::unique_ptr<IVolumeReader> reader = MakeLiveVolumeReader();
  ScanRootLocation a;
  ScanRootLocation again;
  ScanRootLocation viaParent;
  ScanRootLocation viaLink;
  ScanRootLocation below;
  ASSERT_TRUE(reader->ResolveRoot(BasicTree() + u"\\a", a));
  ASSERT_TRUE(reader->ResolveRoot(BasicTree() + u"\\a", again));
  ASSERT_TRUE(reader->ResolveRoot(BasicTree() + u"\\a\\b\\..", viaParent));
  // Opened without FILE_FLAG_OPEN_REPARSE_POINT, a link opens its target.
  ASSERT_TRUE(reader->ResolveRoot(BasicTree() + u"\\links\\to a", viaLink));
  ASSERT_TRUE(reader->ResolveRoot(BasicTree() + u"\\a\\b", below));
  EXPECT_NE(a.recordNumber, 0u);
  EXPECT_EQ(again.recordNumber, a.recordNumber);
  EXPECT_EQ(viaParent.recordNumber, a.recordNumber);
  EXPECT_EQ(viaLink.recordNumber, a.recordNumber);
  EXPECT_NE(below.recordNumber, a.recordNumber);
  EXPECT_TRUE(a.namesBelow.empty());

  ScanRootLocation missing;
  EXPECT_FALSE(reader->ResolveRoot(BasicTree() + u"\\no-such-folder", missing));
}

TEST(LiveVolumeReaderWinTest, RootAttributesAreThePathsOwn) {
  const std::unique_ptr<IVolumeReader> reader = MakeLiveVolumeReader();
  struct Case {
    std::u16string path;
    std::uint32_t set;
    std::uint32_t clear;
  };
  const Case cases[] = {
      {BasicTree() + u"\\a", kAttributeDirectory, kAttributeReparsePoint},
      {BasicTree() + u"\\links\\to a", kAttributeDirectory | kAttributeReparsePoint, 0},
      {BasicTree() + u"\\top.txt", 0, kAttributeDirectory | kAttributeReparsePoint},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(base::ToUtf8(c.path));
    const std::optional<PathAttributes> attributes = reader->RootAttributes(c.path);
    ASSERT_TRUE(attributes.has_value());
    EXPECT_EQ(attributes->attributes & c.set, c.set);
    EXPECT_EQ(attributes->attributes & c.clear, 0u);
    EXPECT_NE(attributes->lastWriteTime, 0u);
  }
  EXPECT_FALSE(reader->RootAttributes(BasicTree() + u"\\no-such-folder").has_value());
}

}  // namespace
}  // namespace ombrix::core
