#include "app/drive_list.h"

#include <gtest/gtest.h>

#include <map>
#include <string>

namespace ombrix::app {
namespace {

struct FakeDrive {
  std::uint32_t type = kDriveTypeFixed;
  bool readable = true;
  std::u16string label;
  std::u16string fileSystem = u"NTFS";
  std::uint64_t total = 0;
  std::uint64_t free = 0;
};

DriveQueries FakeQueries(const std::map<char, FakeDrive>& drives) {
  DriveQueries queries;
  queries.logicalDriveMask = [drives] {
    std::uint32_t mask = 0;
    for (const auto& [letter, drive] : drives) mask |= std::uint32_t{1} << (letter - 'A');
    return mask;
  };
  queries.driveType = [drives](const std::u16string& root) {
    return drives.at(static_cast<char>(root[0])).type;
  };
  queries.volumeInformation = [drives](const std::u16string& root, std::u16string& label,
                                       std::u16string& fileSystem) {
    const FakeDrive& drive = drives.at(static_cast<char>(root[0]));
    if (!drive.readable) return false;
    label = drive.label;
    fileSystem = drive.fileSystem;
    return true;
  };
  queries.diskSpace = [drives](const std::u16string& root, std::uint64_t& total,
                               std::uint64_t& free) {
    const FakeDrive& drive = drives.at(static_cast<char>(root[0]));
    if (!drive.readable) return false;
    total = drive.total;
    free = drive.free;
    return true;
  };
  return queries;
}

TEST(DriveListTest, ListsFixedAndRemovableDrivesInLetterOrderWithTheirCaptions) {
  std::map<char, FakeDrive> machine;
  machine['D'] = FakeDrive{kDriveTypeFixed, true, u"", u"exFAT", 500, 100};
  machine['C'] = FakeDrive{kDriveTypeFixed, true, u"System", u"NTFS", 1000, 250};
  machine['E'] = FakeDrive{kDriveTypeRemovable, true, u"Backup", u"FAT32", 64, 32};
  machine['F'] = FakeDrive{kDriveTypeRemovable, true, u"", u"FAT32", 8, 8};
  machine['G'] = FakeDrive{4, true, u"Share", u"NTFS", 1, 1};  // network
  machine['H'] = FakeDrive{5, true, u"DVD", u"UDF", 1, 1};     // optical
  machine['I'] = FakeDrive{6, true, u"Ram", u"NTFS", 1, 1};    // RAM disk
  machine['J'] = FakeDrive{0, true, u"", u"", 0, 0};           // unknown
  machine['K'] = FakeDrive{1, true, u"", u"", 0, 0};           // no root directory
  // A card reader without a card: listed with the fallback caption.
  machine['Z'] = FakeDrive{kDriveTypeRemovable, false, u"ignored", u"ignored", 9, 9};

  const std::vector<DriveInfo> drives = EnumerateDrives(FakeQueries(machine));
  ASSERT_EQ(drives.size(), 5u);
  const struct {
    const char16_t* root;
    const char16_t* caption;
    DriveKind kind;
    const char16_t* label;
    const char16_t* fileSystem;
    std::uint64_t total;
    std::uint64_t free;
  } expected[] = {
      {u"C:\\", u"C: System", DriveKind::Fixed, u"System", u"NTFS", 1000, 250},
      {u"D:\\", u"D: Local Disk", DriveKind::Fixed, u"", u"exFAT", 500, 100},
      {u"E:\\", u"E: Backup", DriveKind::Removable, u"Backup", u"FAT32", 64, 32},
      {u"F:\\", u"F: Removable Disk", DriveKind::Removable, u"", u"FAT32", 8, 8},
      {u"Z:\\", u"Z: Removable Disk", DriveKind::Removable, u"", u"", 0, 0},
  };
  for (std::size_t i = 0; i < drives.size(); ++i) {
    SCOPED_TRACE(i);
    EXPECT_EQ(drives[i].rootPath, expected[i].root);
    EXPECT_EQ(drives[i].displayText, expected[i].caption);
    EXPECT_EQ(drives[i].kind, expected[i].kind);
    EXPECT_EQ(drives[i].volumeLabel, expected[i].label);
    EXPECT_EQ(drives[i].fileSystemName, expected[i].fileSystem);
    EXPECT_EQ(drives[i].totalBytes, expected[i].total);
    EXPECT_EQ(drives[i].freeBytes, expected[i].free);
  }
}

}  // namespace
}  // namespace ombrix::app
