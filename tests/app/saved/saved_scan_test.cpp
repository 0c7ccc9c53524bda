#include <gtest/gtest.h>

#include <string>

#include "app/saved/saved_scan_format.h"
#include "app/saved/saved_scan_reader.h"
#include "app/saved/saved_scan_writer.h"
#include "app/saved/zstd_frame.h"
#include "core/scan_tree_builder.h"
#include "tests/support/result_equality.h"

namespace ombrix::app {
namespace {

std::string Saved(const core::ScanResult& result) {
  return EncodeSavedScan(result, result.nodes.size(), kSavedScanCompressionLevel).value();
}

// The checksum made right again after a deliberate change, so the check
// behind it is reached.
void Reseal(std::string& file) {
  const std::uint64_t sum = Checksum64(std::string_view(file).substr(0, file.size() - 8));
  for (int b = 0; b < 8; ++b) file[file.size() - 8 + b] = static_cast<char>(sum >> (8 * b));
}

void PutU32(std::string& file, std::size_t at, std::uint32_t value) {
  for (int b = 0; b < 4; ++b) file[at + b] = static_cast<char>(value >> (8 * b));
}

TEST(SavedScanTest, EveryKindOfNodeComesBackAsItWasScanned) {
  const core::ScanResult original = test::EveryKindOfNode();
  const OpenedScan decoded = DecodeSavedScan(Saved(original));
  ASSERT_EQ(decoded.error, SavedScanError::None);
  ASSERT_TRUE(decoded.result);
  EXPECT_EQ(test::ResultDifferences(original, *decoded.result), std::vector<std::string>{});
}

// Short names are copied as stored; long ones (a header of two bytes) are
// read unit by unit: both come back whole, one byte a unit or two.
TEST(SavedScanTest, NamesOfEveryLengthComeBack) {
  core::ScanTreeBuilder builder;
  const auto root = builder.AddRoot(u"names", u"D:\\names", 0x10, 0);
  for (const std::size_t length : {1u, 63u, 64u, 300u, 4000u}) {
    builder.AddFile(root, std::u16string(length, u'n'), 0x20, length, 0, 0);
    builder.AddFile(root, std::u16string(length - 1, u'w') + u"\u0416", 0x20, length, 0, 0);
    builder.AddDirectory(root, std::u16string(length, u'\u00e9'), 0x10, 0);
  }
  builder.ComputeTotals();
  const core::ScanResult original =
      builder.BuildResult(core::ScanStatus::Completed, u"D:\\names", 0);
  const OpenedScan decoded = DecodeSavedScan(Saved(original));
  ASSERT_TRUE(decoded.result);
  EXPECT_EQ(test::ResultDifferences(original, *decoded.result), std::vector<std::string>{});
}

// More names than one block of the result's arena holds (16 MiB): names
// are decompressed straight into the blocks, and the one a block's end
// cuts moves whole to the next.
TEST(SavedScanTest, NamesBeyondOneArenaBlockComeBackWhole) {
  core::ScanTreeBuilder builder;
  const auto root = builder.AddRoot(u"many", u"D:\\many", 0x10, 0);
  std::uint64_t nameBytes = 0;
  for (int i = 0; nameBytes < (std::uint64_t{17} << 20); ++i) {
    // Lengths vary so that the cut falls inside a name, header or units.
    std::u16string name = std::u16string(200 + i % 57, static_cast<char16_t>(u'a' + i % 26)) +
                          std::u16string(1, static_cast<char16_t>(u'0' + i % 10));
    const bool wide = i % 5 == 0;
    if (wide) name += u"\u0436";  // two bytes a unit
    nameBytes += name.size() * (wide ? 2 : 1);
    builder.AddFile(root, name, 0x20, static_cast<std::uint64_t>(i), 0, 0);
  }
  builder.ComputeTotals();
  const core::ScanResult original =
      builder.BuildResult(core::ScanStatus::Completed, u"D:\\many", 0);
  const OpenedScan decoded = DecodeSavedScan(Saved(original));
  ASSERT_TRUE(decoded.result);
  EXPECT_EQ(test::ResultDifferences(original, *decoded.result), std::vector<std::string>{});
}

// Another writer may store a name in a longer form than ours: two bytes a
// unit that would fit in one, a header longer than it needs. Such names
// are rewritten into the result's own form, between names that are not.
TEST(SavedScanTest, NamesStoredInALongerFormComeBack) {
  core::ScanTreeBuilder builder;
  const auto root = builder.AddRoot(u"R", u"D:\\R", 0x10, 0);
  for (const char16_t* name : {u"ab", u"cd", u"ef", u"gh"})
    builder.AddFile(root, name, 0x20, 1, 0, 1);
  builder.ComputeTotals();
  const core::ScanResult original = builder.BuildResult(core::ScanStatus::Completed, u"D:\\R", 0);
  const std::string file = Saved(original);
  // The payload, taken out of its frame.
  const auto u64At = [&file](std::size_t at) {
    std::uint64_t value = 0;
    for (int b = 7; b >= 0; --b) value = value << 8 | static_cast<std::uint8_t>(file[at + b]);
    return value;
  };
  const std::uint64_t metadataLength = u64At(12) & 0xFFFFFFFF;
  const std::uint64_t payloadLength = u64At(16);
  std::string raw(u64At(24), '\0');
  FrameReader frame(
      std::string_view(file).substr(kSavedScanHeaderLength + metadataLength, payloadLength),
      raw.size());
  ASSERT_TRUE(frame.Read(reinterpret_cast<std::uint8_t*>(raw.data()), raw.size()));
  // "ab" two bytes a unit, "ef" with a two-byte header.
  const std::size_t names = original.nodes.size() * kFixedBytesPerNode;
  ASSERT_EQ(raw.substr(names, 14), std::string("\x02R\x04"
                                               "ab\x04"
                                               "cd\x04"
                                               "ef\x04"
                                               "gh"));
  raw.replace(names + 2, 9,
              std::string("\x05"
                          "a\0b\0"
                          "\x04"
                          "cd"
                          "\x84\x00"
                          "ef",
                          12));
  // The header, metadata and checksum made to fit.
  std::string changed = file.substr(0, kSavedScanHeaderLength + metadataLength);
  const std::size_t nameBytesAt = kSavedScanHeaderLength + 80;
  changed[nameBytesAt] = static_cast<char>(changed[nameBytesAt] + 3);
  const std::string compressed = CompressFrame(raw, 1).value();
  for (int b = 0; b < 8; ++b) {
    changed[16 + b] = static_cast<char>(compressed.size() >> (8 * b));
    changed[24 + b] = static_cast<char>(raw.size() >> (8 * b));
  }
  changed += compressed + std::string(8, '\0');
  Reseal(changed);
  const OpenedScan decoded = DecodeSavedScan(changed);
  ASSERT_EQ(decoded.error, SavedScanError::None);
  EXPECT_EQ(test::ResultDifferences(original, *decoded.result), std::vector<std::string>{});
}

TEST(SavedScanTest, AnEmptyFailedScanComesBack) {
  core::ScanResult failed;
  failed.status = core::ScanStatus::Failed;
  failed.rootPath = u"D:\\";
  failed.message = u"NTFS volume could not be opened.";
  const OpenedScan decoded = DecodeSavedScan(Saved(failed));
  ASSERT_TRUE(decoded.result);
  EXPECT_EQ(test::ResultDifferences(failed, *decoded.result), std::vector<std::string>{});
}

TEST(SavedScanTest, RowsHungInAfterTheScanAreNotSaved) {
  core::ScanResult result = test::EveryKindOfNode();
  const std::uint64_t scanned = result.nodes.size();
  result.nodes.AddFile(result.rootIndex, u"ghost", 0, 0, 0, 0);
  result.nodes.LinkChildren();
  const OpenedScan decoded =
      DecodeSavedScan(EncodeSavedScan(result, scanned, kSavedScanCompressionLevel).value());
  ASSERT_TRUE(decoded.result);
  EXPECT_EQ(decoded.result->nodes.size(), scanned);
  const core::ScanResult original = test::EveryKindOfNode();
  EXPECT_EQ(test::ResultDifferences(original, *decoded.result), std::vector<std::string>{});
}

TEST(SavedScanTest, TheSummaryIsReadWithoutThePayload) {
  const core::ScanResult original = test::EveryKindOfNode();
  const std::optional<SavedScanSummary> summary = ReadSavedScanSummary(Saved(original));
  ASSERT_TRUE(summary);
  EXPECT_EQ(summary->rootPath, original.rootPath);
  EXPECT_EQ(summary->scanTime, original.scanTime);
  EXPECT_EQ(summary->nodeCount, original.nodes.size());
}

TEST(SavedScanTest, EveryShorterFileIsRefusedAsIncompleteOrDamaged) {
  const std::string file = Saved(test::EveryKindOfNode());
  for (std::size_t length = 0; length < file.size(); ++length) {
    const OpenedScan decoded = DecodeSavedScan(std::string_view(file).substr(0, length));
    ASSERT_FALSE(decoded.result) << length;
    const SavedScanError error = decoded.error;
    EXPECT_TRUE(length < kSavedScanMagic.size()
                    ? error == SavedScanError::NotAScan
                    : error == SavedScanError::Truncated || error == SavedScanError::Corrupted)
        << length;
  }
}

TEST(SavedScanTest, AnyChangedByteIsCaughtByTheChecksum) {
  const std::string file = Saved(test::EveryKindOfNode());
  for (std::size_t at = kSavedScanMagic.size(); at < file.size(); at += 7) {
    std::string damaged = file;
    damaged[at] = static_cast<char>(damaged[at] ^ 0x20);
    const OpenedScan decoded = DecodeSavedScan(damaged);
    EXPECT_FALSE(decoded.result) << at;
    EXPECT_NE(decoded.error, SavedScanError::None) << at;
  }
}

TEST(SavedScanTest, BadFilesGetTheirOwnError) {
  const std::string good = Saved(test::EveryKindOfNode());
  std::string newer = good;
  PutU32(newer, 8, kSavedScanVersion + 1);
  Reseal(newer);
  // The counts say one file more than the tree holds: a tree shown as
  // complete must be one.
  std::string miscounted = good;
  const std::size_t fileCountAt = kSavedScanHeaderLength + 4 + 4 + 8 + 8;
  miscounted[fileCountAt] = static_cast<char>(miscounted[fileCountAt] + 1);
  Reseal(miscounted);
  std::string flipped = good;
  flipped[good.size() / 2] = static_cast<char>(flipped[good.size() / 2] ^ 1);
  const struct {
    const char* what;
    std::string bytes;
    SavedScanError expected;
  } cases[] = {
      {"a text file", "hello, world\n", SavedScanError::NotAScan},
      {"nothing", "", SavedScanError::NotAScan},
      {"newer version", newer, SavedScanError::NewerVersion},
      {"miscounted", miscounted, SavedScanError::Corrupted},
      {"one bit flipped", flipped, SavedScanError::Corrupted},
      {"cut short", good.substr(0, good.size() - 100), SavedScanError::Truncated},
      {"longer than it should be", good + "x", SavedScanError::Corrupted},
  };
  for (const auto& c : cases) {
    const OpenedScan decoded = DecodeSavedScan(c.bytes);
    EXPECT_FALSE(decoded.result) << c.what;
    EXPECT_EQ(decoded.error, c.expected) << c.what;
  }
}

TEST(SavedScanTest, AHundredThousandNodesTakeFewBytesEach) {
  // Sizes, names and times as varied as a real volume's are; the bench
  // measures the real thing (bench/bench_saved_scans.sh).
  core::ScanTreeBuilder builder;
  const auto root = builder.AddRoot(u"data", u"D:\\data", 0x10, 0);
  std::uint64_t seed = 12345;
  auto next = [&seed] {
    seed = seed * 6364136223846793005ull + 1442695040888963407ull;
    return seed >> 33;
  };
  constexpr int kFolders = 2000;
  constexpr int kFilesPerFolder = 50;
  for (int f = 0; f < kFolders; ++f) {
    const auto folder = builder.AddDirectory(
        root, u"folder-" + std::u16string(1, u'a' + f % 26) + std::u16string(1, u'0' + f % 10),
        0x10, 133'000'000'000'000'000ull + next());
    for (int i = 0; i < kFilesPerFolder; ++i) {
      const std::uint64_t size = next() % 5'000'000;
      builder.AddFile(folder, u"file-" + std::u16string(1, u'a' + i % 26) + u".dat", 0x20, size,
                      133'000'000'000'000'000ull + next() * 1000, (size + 4095) / 4096 * 4096);
    }
  }
  builder.ComputeTotals();
  const core::ScanResult result = builder.BuildResult(core::ScanStatus::Completed, u"D:\\data", 0);
  const std::string file = Saved(result);
  EXPECT_LT(file.size(), result.nodes.size() * 30);
  const OpenedScan decoded = DecodeSavedScan(file);
  ASSERT_TRUE(decoded.result);
  EXPECT_EQ(decoded.result->nodes.size(), result.nodes.size());
}

}  // namespace
}  // namespace ombrix::app
