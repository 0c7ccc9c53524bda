#include "core/mft/mft_entry_mend.h"

#include <gtest/gtest.h>

namespace ombrix::core {
namespace {

MftNameEntry Name(MftRecordNumber reference, std::uint64_t size, bool ownData,
                  bool folder = false) {
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
  // Records that reported the unnamed stream's size, in record order; the
  // one without a size (an extension holding another stream) is passed over.
  const std::vector<MftRecordData> sizes = {
      {41, true, false, 1},       {43, true, false, 12},     {44, true, false, 3000000},
      {40, false, false, 0, 64},  {40, true, true, 2900000}, {40, true, true, 1}};
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
  ApplyDataSizeMend(entries, {{40, true, true, 0}});
  EXPECT_EQ(entries[0].size, 0u);
}

// A file's streams spread over records add up on every name: a name in the
// base record adds its extensions'; a name moved to an extension record
// takes the base record's and all extensions'.
TEST(MftEntryMendTest, NamesTakeTheAllocationOfEveryRecordOfTheirFile) {
  std::vector<MftNameEntry> entries = {Name(40, 0, true), Name(40, 0, true), Name(41, 0, true),
                                       Name(42, 0, false), Name(43, 0, false, true)};
  entries[0].allocated = 4096;  // the base record's own streams
  entries[1].allocated = 4096;
  entries[2].allocated = 8192;  // a file of one record: left alone
  entries[3].inExtensionRecord = true;
  entries[3].allocated = 100;  // its own extension record's, counted in the sum below
  const std::vector<MftRecordData> facts = {
      {40, true, false, 9, 4096}, {41, true, false, 9, 8192}, {42, true, false, 9, 65536},
      {40, false, true, 0, 1000}, {40, false, true, 0, 20},   {42, false, true, 0, 100},
      {43, false, true, 0, 7}};
  ApplyAllocationMend(entries, facts);
  EXPECT_EQ(entries[0].allocated, 4096u + 1000 + 20);
  EXPECT_EQ(entries[1].allocated, 4096u + 1000 + 20);
  EXPECT_EQ(entries[2].allocated, 8192u);
  EXPECT_EQ(entries[3].allocated, 65536u + 100);
  EXPECT_EQ(entries[4].allocated, 0u);  // folders take none
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
