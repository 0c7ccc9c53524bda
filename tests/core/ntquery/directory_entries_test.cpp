#include "core/ntquery/directory_entries.h"

#include <gtest/gtest.h>

#include <vector>

#include "tests/core/ntquery/directory_record_writer.h"

namespace ombrix::core {
namespace {

using test::AppendRecord;
using test::EncodeBatch;
using test::LinkRecords;
using test::PutLittleEndian;
using test::RecordFields;
namespace layout = file_id_both_dir_information;

BatchEnd Parse(const std::vector<std::uint8_t>& bytes, std::size_t bytesReturned,
               std::vector<DirectoryEntry>& entries) {
  return ParseEntries(bytes.data(), bytes.size(), bytesReturned, u"C:\\dir\\", entries);
}

TEST(ParseEntriesTest, DecodesEveryFieldAndSkipsDotEntries) {
  const std::vector<std::uint8_t> bytes = EncodeBatch({
      {u".", 0x10, 0, 0},
      {u"..", 0x10, 0, 0},
      {u"report.txt", 0x21, 1234, 0x01D9000000000001ull, 4096, 55, 0x0005000000001234},
      {u"sub", 0x10, 4096, 77},
      {u"junction", 0x410, 0, 78, 0, 0xA0000003},
      {u"negative", 0x20, -5, 79, -4096},
      {u"\u00e9t\u00e9 \U0001F600", 0x20, 0x123456789ull, 80},
      {u".hidden"},  // names that only start with dots are kept
      {u"..."},
      {u"..x"},
  });
  DirectoryEntry stale;
  stale.name = u"stale";
  std::vector<DirectoryEntry> entries{stale};
  EXPECT_EQ(Parse(bytes, bytes.size(), entries), BatchEnd::LastRecord);
  ASSERT_EQ(entries.size(), 8u);

  EXPECT_EQ(entries[0].name, u"report.txt");
  EXPECT_EQ(entries[0].path, u"C:\\dir\\report.txt");
  EXPECT_EQ(entries[0].attributes, 0x21u);
  EXPECT_EQ(entries[0].size, 1234u);
  EXPECT_EQ(entries[0].lastWriteTime, 0x01D9000000000001ull);
  EXPECT_EQ(entries[0].isDirectory, 0);
  EXPECT_EQ(entries[0].isReparsePoint, 0);
  EXPECT_EQ(entries[0].allocationSize, 4096u);
  EXPECT_EQ(entries[0].fileId, 0x0005000000001234u);
  EXPECT_EQ(entries[0].reparseTag, 0u);  // EaSize is no tag when no reparse point

  EXPECT_EQ(entries[1].isDirectory, 1);
  EXPECT_EQ(entries[1].size, 4096u);  // taken as reported; folders' sizes are never summed

  EXPECT_EQ(entries[2].isDirectory, 1);
  EXPECT_EQ(entries[2].isReparsePoint, 1);
  EXPECT_EQ(entries[2].reparseTag, 0xA0000003u);  // a mount point's tag, from EaSize

  EXPECT_EQ(entries[3].size, 0u);  // a negative EndOfFile counts as 0
  EXPECT_EQ(entries[3].allocationSize, 0u);  // and a negative AllocationSize

  EXPECT_EQ(entries[4].name, u"\u00e9t\u00e9 \U0001F600");
  EXPECT_EQ(entries[4].size, 0x123456789ull);
  EXPECT_EQ(entries[6].name, u"...");
}

TEST(ParseEntriesTest, OnlyTheReturnedBytesAreRead) {
  // Stale records from an earlier, larger batch remain in the buffer after
  // the bytes the call reported; they must not be decoded.
  std::vector<std::size_t> offsets;
  const std::vector<std::uint8_t> bytes = EncodeBatch({{u"a"}, {u"b"}, {u"c"}}, &offsets);
  std::vector<DirectoryEntry> entries;
  EXPECT_EQ(Parse(bytes, offsets[2], entries), BatchEnd::Truncated);
  ASSERT_EQ(entries.size(), 2u);
  EXPECT_EQ(entries[1].name, u"b");
}

TEST(ParseEntriesTest, MalformedRecordsEndTheBatchWithoutLeavingTheBytes) {
  struct Case {
    const char* what;
    std::size_t recordToDamage;
    std::size_t field;
    std::uint32_t value;
    std::size_t expectedEntries;
  };
  // Three records "first", "second", "third".
  const Case cases[] = {
      {"NextEntryOffset past the returned bytes", 1, layout::kNextEntryOffset, 0x10000, 2},
      {"NextEntryOffset near 4 GiB", 0, layout::kNextEntryOffset, 0xFFFFFFF8u, 1},
      {"NextEntryOffset pointing into its own record", 1, layout::kNextEntryOffset, 8, 2},
      {"NextEntryOffset not advancing past the header", 0, layout::kNextEntryOffset, 1, 1},
      {"FileNameLength past the returned bytes", 2, layout::kFileNameLength, 400, 2},
      {"FileNameLength near 4 GiB", 1, layout::kFileNameLength, 0xFFFFFFFEu, 1},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    std::vector<std::size_t> offsets;
    std::vector<std::uint8_t> bytes = EncodeBatch({{u"first"}, {u"second"}, {u"third"}}, &offsets);
    PutLittleEndian(bytes, offsets[c.recordToDamage] + c.field, c.value, 4);
    std::vector<DirectoryEntry> entries;
    EXPECT_EQ(Parse(bytes, bytes.size(), entries), BatchEnd::Truncated);
    EXPECT_EQ(entries.size(), c.expectedEntries);
  }
}

TEST(ParseEntriesTest, ReturnedLengthLargerThanTheBufferIsClamped) {
  std::vector<std::size_t> offsets;
  const std::vector<std::uint8_t> full = EncodeBatch({{u"a"}, {u"bbbbbbbb"}}, &offsets);
  // The buffer ends in the middle of the second record's name.
  const std::vector<std::uint8_t> cut(full.begin(),
                                      full.begin() + offsets[1] + layout::kFileName + 4);
  std::vector<DirectoryEntry> entries;
  EXPECT_EQ(ParseEntries(cut.data(), cut.size(), 65536, u"x\\", entries), BatchEnd::Truncated);
  ASSERT_EQ(entries.size(), 1u);
  EXPECT_EQ(entries[0].path, u"x\\a");
}

TEST(ParseEntriesTest, EmptyAndTinyBatchesYieldNothing) {
  std::vector<DirectoryEntry> entries;
  EXPECT_EQ(ParseEntries(nullptr, 0, 0, u"", entries), BatchEnd::Truncated);
  const std::vector<std::uint8_t> header(layout::kFileName - 1, 0);
  EXPECT_EQ(Parse(header, header.size(), entries), BatchEnd::Truncated);
  EXPECT_TRUE(entries.empty());
}

TEST(ParseEntriesTest, OddNameLengthDropsTheHalfUnit) {
  std::vector<std::uint8_t> bytes;
  const std::size_t offset = AppendRecord(bytes, RecordFields{u"ab"});
  PutLittleEndian(bytes, offset + layout::kFileNameLength, 3, 4);
  std::vector<DirectoryEntry> entries;
  EXPECT_EQ(Parse(bytes, bytes.size(), entries), BatchEnd::LastRecord);
  ASSERT_EQ(entries.size(), 1u);
  EXPECT_EQ(entries[0].name, u"a");
}

TEST(ParseEntriesTest, UnalignedRecordsAreReadByteWise) {
  // Drivers align records to 8 bytes, but nothing may depend on it.
  std::vector<std::uint8_t> bytes;
  const std::size_t first = AppendRecord(bytes, RecordFields{u"one", 0x20, 7, 0});
  bytes.push_back(0);  // shifts the next record to an odd offset
  const std::size_t second = AppendRecord(bytes, RecordFields{u"two", 0x20, 9, 0});
  LinkRecords(bytes, {first, second});
  std::vector<DirectoryEntry> entries;
  EXPECT_EQ(Parse(bytes, bytes.size(), entries), BatchEnd::LastRecord);
  ASSERT_EQ(entries.size(), 2u);
  EXPECT_EQ(entries[1].size, 9u);
}

}  // namespace
}  // namespace ombrix::core
