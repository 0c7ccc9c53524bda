#include "core/mft/mft_entry_mend.h"

#include <gtest/gtest.h>

namespace ombrix::core {
namespace {

MftNameEntry Name(std::uint64_t reference, std::uint64_t size, bool ownData, bool folder = false) {
  MftNameEntry e;
  e.fileReference = reference;
  e.size = size;
  e.hasOwnDataSize = ownData;
  e.isDirectory = folder;
  return e;
}

TEST(MftEntryMendTest, NamesWithoutOwnDataTakeTheSizeAnotherRecordReported) {
  std::vector<MftNameEntry> entries = {
      Name(40, 0, false),        // names in the base record, data in an extension record
      Name(40, 0, false),        // its second hard link
      Name(41, 777, true),       // data beside the names: left alone
      Name(42, 55, false),       // nothing reported for it: keeps its $FILE_NAME size
      Name(43, 0, false, true),  // folders never take a size
      Name(44, 9, false),        // names in an extension record, data in the base record
  };
  const std::vector<MftDataSize> sizes = {{41, 1}, {43, 12}, {44, 3000000}, {40, 2900000}, {40, 1}};
  ApplyDataSizeMend(entries, sizes);
  EXPECT_EQ(entries[0].size, 2900000u);
  EXPECT_EQ(entries[1].size, 2900000u);
  EXPECT_EQ(entries[2].size, 777u);
  EXPECT_EQ(entries[3].size, 55u);
  EXPECT_EQ(entries[4].size, 0u);
  EXPECT_EQ(entries[5].size, 3000000u);
}

TEST(MftEntryMendTest, ReportedZeroIsTheTrueSize) {
  std::vector<MftNameEntry> entries = {Name(40, 123, false)};
  ApplyDataSizeMend(entries, {{40, 0}});
  EXPECT_EQ(entries[0].size, 0u);
}

TEST(MftEntryMendTest, NameWithAFileNameIndexIsAFolder) {
  std::vector<MftNameEntry> entries = {Name(40, 12, false), Name(41, 0, false)};
  entries[0].attributes = 0x10000020;  // names moved to an extension record of a big folder
  entries[1].attributes = 0x20;
  ApplyFolderFlagMend(entries);
  EXPECT_TRUE(entries[0].isDirectory);
  EXPECT_EQ(entries[0].attributes, 0x10000030u);
  EXPECT_EQ(entries[0].size, 0u);
  EXPECT_FALSE(entries[1].isDirectory);
}

}  // namespace
}  // namespace ombrix::core
