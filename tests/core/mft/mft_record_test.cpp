// The record decoder on hand-built records: what real volumes rarely or
// never show (damage, odd namespaces, 4096-byte records, hostile mapping
// pairs).
#include "core/mft/mft_record.h"

#include <gtest/gtest.h>

#include "tests/core/mft/test_file_record.h"

namespace ombrix::core {
namespace {

using test::TestFileRecord;

constexpr std::uint64_t kRecordNumber = 77;

struct Parsed {
  std::vector<MftNameEntry> entries;
  NameArena names;
  std::vector<MftRecordData> dataSizes;

  std::u16string Name(std::size_t index) const {
    return names.At(entries.at(index).nameOffset).ToString();
  }
};

Parsed Parse(std::vector<std::uint8_t> bytes, std::uint32_t sectorSize = 512,
             std::uint64_t recordNumber = kRecordNumber) {
  Parsed parsed;
  MftNameTable table;
  ParseFileRecord(bytes.data(), bytes.size(), recordNumber, sectorSize, table, &parsed.dataSizes);
  parsed.entries = std::move(table.entries);
  parsed.names = std::move(table.names);
  return parsed;
}

// ---- update sequence -------------------------------------------------------

TEST(MftUpdateSequenceTest, RepairsEveryStrideOfTheRecord) {
  for (const std::uint32_t length : {1024u, 4096u}) {
    TestFileRecord builder(length);
    builder.FileName(5, u"x");
    std::vector<std::uint8_t> bytes = builder.Bytes();
    // Put known values under the protected tails, then protect again.
    for (std::uint32_t tail = 510; tail < length; tail += 512) {
      bytes[tail] = static_cast<std::uint8_t>(tail);
      bytes[tail + 1] = 0xAB;
    }
    const std::vector<std::uint8_t> expected = bytes;
    const std::uint16_t count = static_cast<std::uint16_t>(length / 512 + 1);
    for (std::uint32_t i = 1; i < count; ++i) {
      bytes[0x30 + 2 * i] = bytes[512 * i - 2];
      bytes[0x30 + 2 * i + 1] = bytes[512 * i - 1];
      bytes[512 * i - 2] = 0x07;
      bytes[512 * i - 1] = 0x00;
    }
    ASSERT_TRUE(ApplyUpdateSequence(bytes.data(), bytes.size(), 512)) << length;
    for (std::uint32_t tail = 510; tail < length; tail += 512) {
      EXPECT_EQ(bytes[tail], expected[tail]) << tail;
      EXPECT_EQ(bytes[tail + 1], 0xAB) << tail;
    }
  }
}

TEST(MftUpdateSequenceTest, RejectsWhatIsNotAProtectedRecord) {
  struct Case {
    const char* what;
    std::uint32_t length;
    std::uint16_t count;  // 0: the right one
    std::uint32_t sectorSize;
    std::size_t corruptAt;  // 0: nothing
    bool truncateTo41;
  };
  const Case cases[] = {
      {"1024-byte record needs count 3, not 2", 1024, 2, 512, 0, false},
      {"1024-byte record needs count 3, not 4", 1024, 4, 512, 0, false},
      {"4096-byte record needs count 9, not 3", 4096, 3, 512, 0, false},
      {"count 0", 1024, 0xFFFF, 512, 0, false},
      {"second sector's tail differs", 1024, 0, 512, 1022, false},
      {"last sector of a 4096-byte record differs", 4096, 0, 512, 4094, false},
      {"sector size below 2", 1024, 0, 1, 0, false},
      {"shorter than a record header", 1024, 0, 512, 0, true},
      {"bad signature", 1024, 0xFFFE, 512, 0, false},
      {"array outside the record", 1024, 0xFFFD, 512, 0, false},
  };
  for (const Case& c : cases) {
    TestFileRecord builder(c.length);
    builder.FileName(5, u"x");
    if (c.count != 0 && c.count < 0xFFFD) builder.UpdateSequenceCount(c.count);
    std::vector<std::uint8_t> bytes = builder.Bytes();
    if (c.count == 0xFFFF) TestFileRecord::Put(bytes, 0x06, 0, 2);
    if (c.count == 0xFFFE) bytes[0] = 'B';
    if (c.count == 0xFFFD) TestFileRecord::Put(bytes, 0x04, 1020, 2);  // 3 entries from 1020
    if (c.corruptAt != 0) bytes[c.corruptAt] ^= 0x40;
    if (c.truncateTo41) bytes.resize(41);
    EXPECT_FALSE(ApplyUpdateSequence(bytes.data(), bytes.size(), c.sectorSize)) << c.what;
    EXPECT_TRUE(Parse(bytes, c.sectorSize).entries.empty()) << c.what;
  }
}

TEST(MftUpdateSequenceTest, AcceptsHalfKilobyteStridesOnLargeSectorDisks) {
  Parsed parsed = Parse(TestFileRecord(4096, 512).FileName(5, u"big sector").Bytes(), 4096);
  ASSERT_EQ(parsed.entries.size(), 1u);
  EXPECT_EQ(parsed.Name(0), u"big sector");
  // A record protected in 4096-byte strides (count 2) is taken as reported.
  EXPECT_EQ(Parse(TestFileRecord(4096, 4096).FileName(5, u"y").Bytes(), 4096).entries.size(), 1u);
  // The fallback never widens what 512-byte sectors accept.
  EXPECT_TRUE(Parse(TestFileRecord(4096, 4096).FileName(5, u"y").Bytes(), 512).entries.empty());
}

// ---- file records ------------------------------------------------------------

TEST(MftFileRecordTest, DecodesAFileName) {
  const std::uint64_t parentWithSequence = 0x0003000000000123ull;
  Parsed parsed =
      Parse(TestFileRecord().FileName(parentWithSequence, u"report.txt", 1, 1500, 0x20).Bytes());
  ASSERT_EQ(parsed.entries.size(), 1u);
  const MftNameEntry& entry = parsed.entries[0];
  EXPECT_EQ(entry.fileReference, kRecordNumber);
  EXPECT_EQ(entry.parentReference, 0x123u);
  EXPECT_EQ(parsed.Name(0), u"report.txt");
  EXPECT_EQ(entry.size, 1500u);
  EXPECT_EQ(entry.attributes, 0x20u);
  EXPECT_FALSE(entry.isDirectory);
  EXPECT_FALSE(entry.hasOwnDataSize);
  EXPECT_TRUE(parsed.dataSizes.empty());
}

// Free slots yield nothing; hard links and names moved to an extension
// record belong to the base record; names keep every code unit (Windows
// allows unpaired surrogates); entries are appended to what is there.
TEST(MftFileRecordTest, WhoOwnsEachName) {
  EXPECT_TRUE(Parse(std::vector<std::uint8_t>(1024)).entries.empty());
  Parsed free = Parse(TestFileRecord().Flags(0).FileName(5, u"old name").ResidentData(10).Bytes());
  EXPECT_TRUE(free.entries.empty());
  EXPECT_TRUE(free.dataSizes.empty());

  Parsed links = Parse(TestFileRecord().FileName(40, u"a.txt").FileName(41, u"b.txt").Bytes());
  ASSERT_EQ(links.entries.size(), 2u);
  EXPECT_EQ(links.entries[1].fileReference, kRecordNumber);
  EXPECT_EQ(links.entries[1].parentReference, 41u);

  Parsed moved =
      Parse(TestFileRecord().BaseReference(0x0009000000000042ull).FileName(5, u"moved").Bytes());
  EXPECT_EQ(moved.entries.at(0).fileReference, 0x42u);

  for (const std::u16string& name :
       {std::u16string{u'a', 0xD800, u'b', 0xDC00, 0xD83D, 0xDE00, 0x00E9},
        std::u16string(255, u'z')}) {
    EXPECT_EQ(Parse(TestFileRecord().FileName(5, name).Bytes()).Name(0), name);
  }

  MftNameTable table;
  table.Add(MftNameEntry{}, u"first");
  table.Add(MftNameEntry{}, u"");
  std::vector<std::uint8_t> bytes = TestFileRecord().FileName(5, u"third").Bytes();
  ParseFileRecord(bytes.data(), bytes.size(), 9, 512, table);
  ASSERT_EQ(table.entries.size(), 3u);
  EXPECT_EQ(table.NameAt(2), u"third");
  EXPECT_EQ(table.NameAt(0), u"first");
  EXPECT_TRUE(table.NameAt(1).empty());
}

TEST(MftFileRecordTest, KeepsEveryNamespaceButDosOnly) {
  Parsed parsed = Parse(TestFileRecord()
                            .FileName(5, u"posix name", 0)
                            .FileName(5, u"Long Win32 Name.txt", 1)
                            .FileName(5, u"LONGWI~1.TXT", 2)
                            .FileName(5, u"BOTH.TXT", 3)
                            .Bytes());
  ASSERT_EQ(parsed.entries.size(), 3u);
  EXPECT_EQ(parsed.Name(0), u"posix name");
  EXPECT_EQ(parsed.Name(1), u"Long Win32 Name.txt");
  EXPECT_EQ(parsed.Name(2), u"BOTH.TXT");
}

TEST(MftFileRecordTest, AttributeBits) {
  struct Case {
    const char* what;
    std::uint16_t recordFlags;
    std::uint32_t stored;
    bool reparseAttribute;
    std::uint32_t expected;
  };
  const Case cases[] = {
      {"file without flags becomes normal", TestFileRecord::kInUse, 0, false, 0x80},
      {"file keeps its flags", TestFileRecord::kInUse, 0x21, false, 0x21},
      {"folder gains the directory bit", TestFileRecord::kInUse | TestFileRecord::kDirectory, 0x02,
       false, 0x12},
      {"stale reparse bit is dropped", TestFileRecord::kInUse, 0x420, false, 0x20},
      {"stale reparse bit alone leaves normal", TestFileRecord::kInUse, 0x400, false, 0x80},
      {"reparse attribute sets the bit", TestFileRecord::kInUse, 0x20, true, 0x420},
      {"reparse folder", TestFileRecord::kInUse | TestFileRecord::kDirectory, 0, true, 0x410},
  };
  for (const Case& c : cases) {
    TestFileRecord builder;
    builder.Flags(c.recordFlags).FileName(5, u"n", 1, 0, c.stored);
    if (c.reparseAttribute) builder.Resident(0xC0, std::vector<std::uint8_t>(16, 1));
    Parsed parsed = Parse(builder.Bytes());
    ASSERT_EQ(parsed.entries.size(), 1u) << c.what;
    EXPECT_EQ(parsed.entries[0].attributes, c.expected) << c.what;
    EXPECT_EQ(parsed.entries[0].isDirectory, (c.recordFlags & TestFileRecord::kDirectory) != 0);
  }
}

TEST(MftFileRecordTest, SizeRules) {
  struct Case {
    const char* what;
    TestFileRecord record;
    std::uint64_t size;
    bool hasOwnDataSize;
  };
  const std::u16string name = u"f.bin";
  const Case cases[] = {
      {"resident data wins over the name's size",
       TestFileRecord().FileName(5, name, 1, 999).ResidentData(300), 300, true},
      {"empty resident data leaves the name's size",
       TestFileRecord().FileName(5, name, 1, 999).ResidentData(0), 999, true},
      {"non-resident data size",
       TestFileRecord().FileName(5, name, 1, 1).NonResidentData(123456789), 123456789, true},
      {"negative data size counts as none",
       TestFileRecord().FileName(5, name, 1, 44).NonResidentData(-5), 44, true},
      {"negative name size counts as 0", TestFileRecord().FileName(5, name, 1, -8), 0, false},
      {"named stream ignored",
       TestFileRecord().FileName(5, name, 1, 10).ResidentData(500, u"Zone.Identifier"), 10, false},
      {"named non-resident stream ignored",
       TestFileRecord().FileName(5, name, 1, 10).NonResidentData(5000, 0, u"ads"), 10, false},
      {"data before the name counts too",
       TestFileRecord().ResidentData(77).FileName(5, name, 1, 10), 77, true},
      {"last qualifying data decides",
       TestFileRecord().FileName(5, name).ResidentData(70).NonResidentData(8000), 8000, true},
      // Later extents of a fragmented stream carry no valid size.
      {"later extent does not count",
       TestFileRecord().FileName(5, name, 1, 31).NonResidentData(4096, 16), 31, false},
      {"later extent does not undo the first",
       TestFileRecord().FileName(5, name).NonResidentData(65536).NonResidentData(0, 16), 65536,
       true},
      {"folders are 0", TestFileRecord().Flags(3).FileName(5, name, 1, 4096).ResidentData(50), 0,
       true},
  };
  for (const Case& c : cases) {
    Parsed parsed = Parse(c.record.Bytes());
    ASSERT_EQ(parsed.entries.size(), 1u) << c.what;
    EXPECT_EQ(parsed.entries[0].size, c.size) << c.what;
    EXPECT_EQ(parsed.entries[0].hasOwnDataSize, c.hasOwnDataSize) << c.what;
    // A record reports its file's data when it holds the unnamed stream's
    // size or any stream's clusters.
    const bool reports = c.hasOwnDataSize || parsed.entries[0].allocated != 0;
    ASSERT_EQ(parsed.dataSizes.size(), reports ? 1u : 0u) << c.what;
    if (reports) {
      EXPECT_EQ(parsed.dataSizes[0].hasSize, c.hasOwnDataSize) << c.what;
    }
  }
}

// Names and data do not always share a record; the record holding the data
// reports its size under the file's base reference.
TEST(MftFileRecordTest, ReportsDataSizeForOtherRecordsOfTheFile) {
  Parsed extension =
      Parse(TestFileRecord().BaseReference(0x0001000000000030ull).NonResidentData(2936012).Bytes());
  EXPECT_TRUE(extension.entries.empty());
  ASSERT_EQ(extension.dataSizes.size(), 1u);
  EXPECT_EQ(extension.dataSizes[0].fileReference, 0x30u);
  EXPECT_EQ(extension.dataSizes[0].size, 2936012u);

  Parsed laterExtent = Parse(TestFileRecord().BaseReference(0x30).NonResidentData(0, 700).Bytes());
  EXPECT_TRUE(laterExtent.dataSizes.empty());

  Parsed empty = Parse(TestFileRecord().FileName(5, u"e", 1, 12).ResidentData(0).Bytes());
  ASSERT_EQ(empty.dataSizes.size(), 1u);
  EXPECT_EQ(empty.dataSizes[0].fileReference, kRecordNumber);
  EXPECT_EQ(empty.dataSizes[0].size, 0u);

  // The output is optional.
  std::vector<std::uint8_t> bytes = TestFileRecord().FileName(5, u"e").ResidentData(3).Bytes();
  MftNameTable table;
  ParseFileRecord(bytes.data(), bytes.size(), 1, 512, table);
  ASSERT_EQ(table.entries.size(), 1u);
  EXPECT_EQ(table.entries[0].size, 3u);
}

TEST(MftFileRecordTest, RejectsMalformedFileNamesOneByOne) {
  auto attribute = [](std::uint16_t valueOffset, std::uint32_t valueLength, std::uint8_t nameLength,
                      std::uint32_t attributeLength, std::uint8_t nonResident = 0) {
    std::vector<std::uint8_t> bytes(attributeLength, 0);
    TestFileRecord::Put(bytes, 0, 0x30, 4);
    TestFileRecord::Put(bytes, 4, attributeLength, 4);
    bytes[8] = nonResident;
    if (attributeLength >= 0x18) {
      TestFileRecord::Put(bytes, 0x10, valueLength, 4);
      TestFileRecord::Put(bytes, 0x14, valueOffset, 2);
    }
    if (valueOffset + 0x42u <= attributeLength) {
      bytes[valueOffset + 0x40] = nameLength;
      bytes[valueOffset + 0x41] = 1;
    }
    return bytes;
  };
  struct Case {
    const char* what;
    std::vector<std::uint8_t> attribute;
  };
  const Case cases[] = {
      {"non-resident", attribute(0x18, 0x44, 1, 0x60, 1)},
      {"attribute shorter than a resident header", attribute(0x18, 0x44, 1, 0x10)},
      {"value beyond the attribute", attribute(0x18, 0x50, 1, 0x60)},
      {"value offset beyond the attribute", attribute(0x68, 0x44, 1, 0x60)},
      {"value shorter than a file name", attribute(0x18, 0x41, 0, 0x60)},
      {"name beyond the value", attribute(0x18, 0x44, 2, 0x60)},
  };
  for (const Case& c : cases) {
    Parsed parsed = Parse(
        TestFileRecord().FileName(5, u"good").Raw(c.attribute).FileName(6, u"also good").Bytes());
    ASSERT_EQ(parsed.entries.size(), 2u) << c.what;
    EXPECT_EQ(parsed.Name(1), u"also good") << c.what;
  }
  EXPECT_EQ(Parse(TestFileRecord().Raw(attribute(0x18, 0x44, 1, 0x60)).Bytes()).entries.size(), 1u);
}

TEST(MftFileRecordTest, BrokenAttributeLengthDiscardsTheWholeRecord) {
  for (const std::uint32_t length : {0u, 8u, 15u, 2000u, 0x80000000u}) {
    Parsed parsed = Parse(TestFileRecord()
                              .FileName(5, u"before")
                              .ResidentData(10)
                              .BareAttribute(0x40, length)
                              .FileName(5, u"after")
                              .Bytes());
    EXPECT_TRUE(parsed.entries.empty()) << length;
    EXPECT_TRUE(parsed.dataSizes.empty()) << length;
  }
  // Entries and names already in the output table stay.
  MftNameTable table;
  table.Add(MftNameEntry{}, u"kept");
  std::vector<std::uint8_t> bytes =
      TestFileRecord().FileName(5, u"before").BareAttribute(0x40, 8).Bytes();
  ParseFileRecord(bytes.data(), bytes.size(), 1, 512, table);
  EXPECT_EQ(table.entries.size(), 1u);
  EXPECT_EQ(table.NameAt(0), u"kept");
  EXPECT_EQ(table.names.UsedBytes(), 5u);  // the header and "kept": the rolled-back name is gone
}

// A file's size on disk is the clusters of all its streams: a compressed
// or sparse stream's total allocated instead of its allocated size (which
// counts the holes), nothing for data resident in the record, later
// extents counting nothing. Folders take none. The modification time of
// $STANDARD_INFORMATION and a cloud tag come with every name.
TEST(MftFileRecordTest, AllocationTimeAndPlaceholders) {
  const std::u16string name = u"f.bin";
  const std::vector<std::uint8_t> time = {0, 0, 0, 0, 0, 0, 0, 0, 0x10, 0x20, 0x30, 0x40, 0, 0, 0, 1};
  struct Case {
    const char* what;
    TestFileRecord record;
    std::uint64_t allocated;
    bool placeholder;
  };
  const Case cases[] = {
      {"resident data takes no clusters", TestFileRecord().FileName(5, name).ResidentData(600), 0,
       false},
      {"allocated size", TestFileRecord().FileName(5, name).NonResidentData(5000, 0, u"", {8192}),
       8192, false},
      {"sparse: the total allocated",
       TestFileRecord().FileName(5, name).NonResidentData(1 << 30, 0, u"", {1 << 30, 0x8000, 1 << 20}),
       1u << 20, false},
      {"compressed: the total allocated",
       TestFileRecord().FileName(5, name).NonResidentData(100000, 0, u"", {102400, 0x0001, 36864}),
       36864, false},
      {"an alternate stream adds its clusters",
       TestFileRecord().FileName(5, name).NonResidentData(5000, 0, u"", {8192})
           .NonResidentData(9000, 0, u"ads", {12288}),
       20480, false},
      {"holes without the sparse flag are taken off ($BadClus)",
       TestFileRecord().FileName(5, name).NonResident(0x80, 1 << 24, {0x03, 0x00, 0x10, 0x00, 0x00}, 0,
                                                      u"", {1 << 24}),
       0, false},
      {"some holes without the flag",
       TestFileRecord().FileName(5, name).NonResident(0x80, 32768, {0x11, 0x02, 0x20, 0x01, 0x06, 0x00}, 0,
                                                      u"", {32768}),
       8192, false},
      {"a later extent adds nothing",
       TestFileRecord().FileName(5, name).NonResidentData(0, 16, u"", {65536}), 0, false},
      {"the overlay filter's compressed file: its WofCompressedData stream",
       TestFileRecord().FileName(5, name)
           .NonResidentData(100000, 0, u"", {102400, 0x8000, 0})
           .NonResidentData(30000, 0, u"WofCompressedData", {32768})
           .Resident(0xC0, {0x17, 0x00, 0x00, 0x80, 0, 0, 0, 0}),
       32768, false},
      {"a cloud placeholder holds what is stored",
       TestFileRecord().FileName(5, name)
           .NonResidentData(700000, 0, u"", {704512, 0x8000, 0})
           .Resident(0xC0, {0x1A, 0x40, 0x00, 0x90, 0, 0, 0, 0}),
       0, true},
      {"folders take none", TestFileRecord().Flags(3).FileName(5, name).NonResident(0xA0, 4096, {0x11, 0x01, 0x20, 0x00}), 0,
       false},
  };
  for (const Case& c : cases) {
    const std::vector<std::uint8_t> bytes = TestFileRecord(c.record).Resident(0x10, time).Bytes();
    Parsed parsed = Parse(bytes);
    ASSERT_EQ(parsed.entries.size(), 1u) << c.what;
    EXPECT_EQ(parsed.entries[0].allocated, c.allocated) << c.what;
    EXPECT_EQ(parsed.entries[0].isPlaceholder, c.placeholder) << c.what;
    EXPECT_EQ(parsed.entries[0].lastWriteTime, 0x0100000040302010u) << c.what;
  }
}

TEST(MftFileRecordTest, WalkEndsAtBytesInUse) {
  // Attributes filling the record up to bytes in use, without an end marker.
  TestFileRecord noMarker;
  noMarker.FileName(5, u"no end marker").ResidentData(20).WithoutEndMarker();
  Parsed parsed = Parse(noMarker.Bytes());
  ASSERT_EQ(parsed.entries.size(), 1u);
  EXPECT_EQ(parsed.entries[0].size, 20u);

  // An attribute reaching past bytes in use is damage.
  std::vector<std::uint8_t> cut = TestFileRecord().FileName(5, u"x").FileName(5, u"y").Bytes();
  TestFileRecord::Put(cut, 0x18, 0x98 + 0x20, 4);  // y's header fits, its body does not
  EXPECT_TRUE(Parse(cut).entries.empty());

  // Bytes in use of 0 or beyond the record mean the whole record.
  for (const std::uint32_t bytesInUse : {0u, 5000u}) {
    EXPECT_EQ(
        Parse(TestFileRecord().FileName(5, u"x").BytesInUse(bytesInUse).Bytes()).entries.size(),
        1u);
  }
  // A first attribute offset past the limit emits nothing.
  std::vector<std::uint8_t> late = TestFileRecord().FileName(5, u"x").Bytes();
  TestFileRecord::Put(late, 0x14, 1020, 2);
  EXPECT_TRUE(Parse(late).entries.empty());
}

// ---- $MFT run list -----------------------------------------------------------

std::vector<std::uint8_t> Record0(const std::vector<std::uint8_t>& pairs,
                                  std::int64_t dataSize = 262144) {
  std::vector<std::uint8_t> bytes = TestFileRecord()
                                        .Resident(0x10, std::vector<std::uint8_t>(0x48))
                                        .FileName(5, u"$MFT")
                                        .ResidentData(4, u"named")
                                        .NonResident(0x80, dataSize, pairs)
                                        .NonResident(0xB0, 16, {0x11, 0x01, 0x02, 0x00})
                                        .Bytes();
  EXPECT_TRUE(ApplyUpdateSequence(bytes.data(), bytes.size(), 512));
  return bytes;
}

struct Decoded {
  bool ok = false;
  std::vector<MftDataRun> runs;
  std::uint64_t dataSize = 0;
};

Decoded Decode(const std::vector<std::uint8_t>& record0) {
  Decoded decoded;
  decoded.ok = DecodeMftDataRuns(record0, decoded.runs, decoded.dataSize);
  return decoded;
}

std::vector<std::pair<std::int64_t, std::uint64_t>> Pairs(const std::vector<MftDataRun>& runs) {
  std::vector<std::pair<std::int64_t, std::uint64_t>> pairs;
  for (const MftDataRun& run : runs) pairs.emplace_back(run.lcn, run.clusterCount);
  return pairs;
}

TEST(MftDataRunsTest, DecodesMappingPairs) {
  using Runs = std::vector<std::pair<std::int64_t, std::uint64_t>>;
  struct Case {
    const char* what;
    std::vector<std::uint8_t> pairs;
    Runs runs;
  };
  const Case cases[] = {
      {"one run", {0x31, 0x20, 0x00, 0x10, 0x00, 0x00}, {{4096, 32}}},
      {"negative delta back to cluster 0",
       {0x31, 0x20, 0x00, 0x10, 0x00, 0x21, 0x10, 0x00, 0xF0, 0x00},
       {{4096, 32}, {0, 16}}},
      {"negative delta", {0x21, 0x08, 0x00, 0x20, 0x11, 0x04, 0xF0, 0x00}, {{8192, 8}, {8176, 4}}},
      {"running number below 0 skips the run",
       {0x11, 0x02, 0x05, 0x11, 0x02, 0xF0, 0x11, 0x03, 0x20, 0x00},
       {{5, 2}, {21, 3}}},
      {"zero count skips the run", {0x11, 0x00, 0x05, 0x11, 0x03, 0x01, 0x00}, {{6, 3}}},
      {"no offset keeps the running number",
       {0x11, 0x02, 0x09, 0x01, 0x05, 0x00},
       {{9, 2}, {9, 5}}},
      {"eight-byte fields",
       {0x88, 0x01, 0, 0, 0, 0, 0, 0, 0, 0x00, 0, 0, 0, 0x01, 0, 0, 0, 0x00},
       {{0x100000000ll, 1}}},
      {"empty list", {0x00}, {}},
  };
  for (const Case& c : cases) {
    const Decoded decoded = Decode(Record0(c.pairs, 4096 * 3));
    EXPECT_TRUE(decoded.ok) << c.what;
    EXPECT_EQ(Pairs(decoded.runs), c.runs) << c.what;
    EXPECT_EQ(decoded.dataSize, 4096u * 3) << c.what;
  }
}

TEST(MftDataRunsTest, FailsOnBrokenMappingPairs) {
  struct Case {
    const char* what;
    std::vector<std::uint8_t> pairs;
  };
  const Case cases[] = {
      // The attribute's padding is zero, so fill the region completely.
      {"missing end marker", {0x31, 0x20, 0x00, 0x10, 0x00, 0x11, 0x01, 0x01}},
      {"pair cut by the region's end", {0x31, 0x20, 0x00, 0x10, 0x00, 0x21, 0x01, 0x01}},
      {"length size 0", {0x10, 0x05, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00}},
      {"length wider than 8 bytes", {0x09, 1, 2, 3, 4, 5, 6, 7, 8, 9, 0, 0, 0, 0, 0, 0}},
      {"offset wider than 8 bytes", {0x91, 1, 1, 2, 3, 4, 5, 6, 7, 8, 9, 0, 0, 0, 0, 0}},
      {"running number overflows",
       {0x81, 0x01, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0x7F, 0x11, 0x01, 0x7F, 0x00, 0x00,
        0x00}},
  };
  for (const Case& c : cases) {
    std::vector<MftDataRun> runs = {{1, 1}};
    std::uint64_t dataSize = 77;
    EXPECT_FALSE(DecodeMftDataRuns(Record0(c.pairs, 8192), runs, dataSize)) << c.what;
    EXPECT_EQ(runs.size(), 1u) << c.what << ": a failed decode leaves the runs as they were";
    EXPECT_EQ(dataSize, 77u) << c.what << ": and the size too";
  }
}

TEST(MftDataRunsTest, FailsWithoutAUsableDataAttribute) {
  std::vector<std::uint8_t> onlyResident =
      TestFileRecord().FileName(5, u"$MFT").ResidentData(100).Bytes();
  ASSERT_TRUE(ApplyUpdateSequence(onlyResident.data(), onlyResident.size(), 512));
  EXPECT_FALSE(Decode(onlyResident).ok);

  std::vector<std::uint8_t> onlyNamed =
      TestFileRecord().NonResidentData(4096, 0, u"stream").Bytes();
  EXPECT_FALSE(Decode(onlyNamed).ok);

  std::vector<std::uint8_t> broken =
      TestFileRecord().BareAttribute(0x10, 8).NonResidentData(4096).Bytes();
  EXPECT_FALSE(Decode(broken).ok);

  // Mapping pairs offset at or past the attribute's end.
  std::vector<std::uint8_t> record0 = Record0({0x11, 0x01, 0x01, 0x00});
  std::size_t data = 0;
  for (std::size_t p = 0x38; p + 8 < record0.size(); p += 8) {
    if (record0[p] == 0x80 && record0[p + 8] == 1) {
      data = p;
      break;
    }
  }
  ASSERT_NE(data, 0u);
  std::vector<std::uint8_t> badOffset = record0;
  TestFileRecord::Put(badOffset, data + 0x20, 0x48, 2);  // attribute is 0x48 long
  EXPECT_FALSE(Decode(badOffset).ok);
  std::vector<std::uint8_t> shortAttribute = record0;
  TestFileRecord::Put(shortAttribute, data + 4, 0x38, 4);
  EXPECT_FALSE(Decode(shortAttribute).ok);

  EXPECT_FALSE(Decode({}).ok);
  EXPECT_FALSE(
      Decode(std::vector<std::uint8_t>(record0.begin(), record0.begin() + data + 0x30)).ok);
}

}  // namespace
}  // namespace ombrix::core
