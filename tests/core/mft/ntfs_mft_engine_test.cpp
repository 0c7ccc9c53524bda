#include "core/mft/ntfs_mft_engine.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <optional>
#include <regex>
#include <string>

#include "core/mft/mft_chunk_decoder.h"
#include "core/mft/mft_run_list.h"
#include "core/mft/mft_stream_reader.h"
#include "tests/core/mft/engine_test_volume.h"
#include "tests/support/scan_result_checks.h"
#include "tests/support/test_environment.h"

namespace ombrix::core {
namespace {

using test::FakeVolume;
using test::FileRecord;
using test::FolderRecord;
using test::TestFileRecord;

void SetTraceVariable(const char* value) {
  test::SetEnvironmentVariableForTest("OMBRIX_MFT_TRACE", value);
}

struct TraceOn {
  TraceOn() { SetTraceVariable("1"); }
  ~TraceOn() { SetTraceVariable("0"); }
};

ScanResult ScanFake(FakeVolume& volume, const std::u16string& path = u"X:\\",
                    std::uint64_t workers = 1, ScanCancellationToken* token = nullptr,
                    const ProgressCallback& progress = {}) {
  ScanCancellationToken own;
  return ScanNtfsVolume(volume, path, workers, token != nullptr ? *token : own, progress);
}

std::optional<ScanNode> FindByPath(const ScanResult& result, const std::u16string& path) {
  return test::FindNodeByPath(result, path);
}

// A small volume: root folder (5), a folder with a file, a file in the root.
std::map<std::uint64_t, TestFileRecord> SmallTree() {
  std::map<std::uint64_t, TestFileRecord> records;
  records.emplace(5, FolderRecord(5, u"."));
  records.emplace(30, FolderRecord(5, u"Data"));
  records.emplace(31, FileRecord(30, u"inner.txt", 100));
  records.emplace(32, FileRecord(5, u"top.txt", 7));
  return records;
}

void ExpectFailed(const ScanResult& r, const std::u16string& message, const std::u16string& root) {
  EXPECT_EQ(r.status, ScanStatus::Failed);
  EXPECT_EQ(r.engine, ScanEngineKind::NtfsMft);
  EXPECT_EQ(r.message, message);
  EXPECT_EQ(r.rootPath, root);
  EXPECT_TRUE(r.nodes.empty());
  EXPECT_TRUE(r.issues.empty());
  EXPECT_EQ(r.rootIndex, kNoNode);
  EXPECT_EQ(r.fileCount, 0u);
  EXPECT_EQ(r.folderCount, 0u);
  EXPECT_EQ(r.issueCount, 0u);
  EXPECT_GE(r.elapsedMs, 0);
}

TEST(NtfsMftEngineTest, EveryFailureHasItsMessageAndWritesNoTrace) {
  struct Case {
    const char* what;
    std::function<void(FakeVolume&)> stage;
    const char16_t* message;
  };
  const Case cases[] = {
      {"not NTFS", [](FakeVolume& v) { v.openResult = VolumeOpenResult::NotAvailable; },
       kMftNotAvailableMessage},
      {"device refuses", [](FakeVolume& v) { v.openResult = VolumeOpenResult::OpenFailed; },
       kMftVolumeOpenMessage},
      {"query fails", [](FakeVolume& v) { v.queryOk = false; }, kMftVolumeQueryMessage},
      {"0 bytes per sector", [](FakeVolume& v) { v.geometry.bytesPerSector = 0; },
       kMftVolumeUnusableMessage},
      {"0 bytes per cluster", [](FakeVolume& v) { v.geometry.bytesPerCluster = 0; },
       kMftVolumeUnusableMessage},
      {"0 bytes per record", [](FakeVolume& v) { v.geometry.bytesPerFileRecordSegment = 0; },
       kMftVolumeUnusableMessage},
      {"root unresolved", [](FakeVolume& v) { v.resolveOk = false; }, kMftRootMessage},
      {"root name missing",
       [](FakeVolume& v) {
         v.root.namesBelow = {u"Data", u"nowhere"};
       },
       kMftRootMessage},
      {"root name is a file", [](FakeVolume& v) { v.root.namesBelow = {u"top.txt"}; },
       kMftRootMessage},
      {"record 0 read fails", [](FakeVolume& v) { v.failReadAt = 4 * 4096; }, kMftRunListMessage},
      {"record 0 short", [](FakeVolume& v) { v.shortReads[4 * 4096] = 1000; }, kMftRunListMessage},
      {"record 0 torn", [](FakeVolume& v) { v.bytes[4 * 4096 + 1022] ^= 0xFF; },
       kMftRunListMessage},
      {"record 0 without run list",
       [](FakeVolume& v) { test::PlaceRecord(v.bytes, 4 * 4096, FileRecord(5, u"$MFT", 10)); },
       kMftRunListMessage},
      {"$MFT of size 0",
       [](FakeVolume& v) {
         test::PlaceRecord(v.bytes, 4 * 4096,
                           test::MftRecord(0, test::EncodeMappingPairs({{16, 4}})));
       },
       kMftRunListMessage},
      // A damaged record 0 whose runs reach past the volume's last cluster:
      // nothing it claims may size a buffer.
      {"run past the volume",
       [](FakeVolume& v) {
         test::PlaceRecord(v.bytes, 4 * 4096,
                           test::MftRecord(64 * 1024, test::EncodeMappingPairs({{1u << 30, 4}})));
       },
       kMftRunListMessage},
      {"run beyond any volume",
       [](FakeVolume& v) {
         test::PlaceRecord(v.bytes, 4 * 4096,
                           test::MftRecord(64 * 1024, test::EncodeMappingPairs({{16, 4}, {16, INT64_MAX - 8}})));
       },
       kMftRunListMessage},
      {"volume of unknown size", [](FakeVolume& v) { v.geometry.totalClusters = 0; v.bytes.clear(); },
       kMftVolumeUnusableMessage},
      // Record 0 reads fine, the first chunk at the same place not.
      {"first chunk read fails",
       [](FakeVolume& v) {
         v.onRead = [&v, reads = 0](std::uint64_t offset) mutable {
           if (++reads == 2) v.failReadAt = offset;
         };
       },
       kMftEnumerateMessage},
  };
  TraceOn trace;
  for (const Case& c : cases) {
    if (c.message == nullptr) continue;
    FakeVolume volume;
    volume.LayOutMft(64, SmallTree());
    c.stage(volume);
    testing::internal::CaptureStderr();
    const ScanResult r = ScanFake(volume, u"X:\\Data\\\\\\");
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "") << c.what;
    SCOPED_TRACE(c.what);
    ExpectFailed(r, c.message, u"X:\\Data");
  }
}

// The root takes the attributes the volume reports for it; $MFT's own name
// lies in the volume root like any other file.
TEST(NtfsMftEngineTest, VolumeRootWithItsAttributesAndTheMftItself) {
  FakeVolume volume;
  volume.LayOutMft(64, SmallTree());
  volume.rootAttributesOk = true;
  const ScanResult r = ScanFake(volume, u"X:\\");
  ASSERT_EQ(r.status, ScanStatus::Completed);
  EXPECT_EQ(r.nodes[r.rootIndex].Attributes(), 0x16u);
  EXPECT_EQ(r.nodes[r.rootIndex].LastWriteTime(), 1234u);
  const std::optional<ScanNode> mft = FindByPath(r, u"X:\\$MFT");
  ASSERT_TRUE(mft.has_value());
  EXPECT_EQ(mft->OwnSize(), 64u * 1024u);
}

TEST(NtfsMftEngineTest, SubFolderRootFoundByNameAmongDecodedEntries) {
  FakeVolume volume;
  volume.LayOutMft(64, SmallTree());
  volume.root = {5, {u"DATA"}};
  const ScanResult r = ScanFake(volume, u"\\data");
  ASSERT_EQ(r.status, ScanStatus::Completed);
  EXPECT_EQ(r.fileCount, 1u);
  EXPECT_TRUE(FindByPath(r, u"\\data\\inner.txt").has_value());
}

// Record 0 damaged on disk so that it claims a data stream of an exabyte
// while its two runs cover 128 records: the scan reads what the runs hold
// and sizes nothing by the claim. (Projecting the names of the first run
// onto the claimed stream once threw std::bad_alloc out of the engine.)
TEST(NtfsMftEngineTest, ClaimedStreamSizeBeyondTheRunsSizesNothing) {
  FakeVolume volume;
  volume.bytes.assign(200 * 4096, 0);
  const auto at = [](std::uint64_t record) {
    return record < 64 ? 4 * 4096 + record * 1024 : 100 * 4096 + (record - 64) * 1024;
  };
  test::PlaceRecord(volume.bytes, at(0),
                    test::MftRecord(std::int64_t{1} << 60,
                                    test::EncodeMappingPairs({{16, 4}, {16, 100}})));
  test::PlaceRecord(volume.bytes, at(5), FolderRecord(5, u"."));
  test::PlaceRecord(volume.bytes, at(20), FileRecord(5, u"in the first run", 1));
  test::PlaceRecord(volume.bytes, at(70), FileRecord(5, u"in the second run", 1));
  TraceOn trace;
  testing::internal::CaptureStderr();
  const ScanResult r = ScanFake(volume, u"X:\\", 2);
  const std::string line = testing::internal::GetCapturedStderr();
  ASSERT_EQ(r.status, ScanStatus::Completed);
  EXPECT_EQ(r.fileCount, 3u);  // $MFT and the two files
  EXPECT_NE(line.find("chunks=2, bytes=131072, records=128, nodes=4,"), std::string::npos)
      << line;
  EXPECT_NE(line.find("mftDataSize=1152921504606846976,"), std::string::npos) << line;
}

TEST(NtfsMftEngineTest, TraceOfAnMftOfFourChunksAndARestInOneRun) {
  FakeVolume volume;
  // Four full 4 MiB chunks, then 1000 records: too few for the workers.
  const std::uint64_t records = 4 * 4096 + 1000;
  volume.LayOutMft(records, SmallTree());
  TraceOn trace;
  testing::internal::CaptureStderr();
  const ScanResult r = ScanFake(volume, u"X:\\", 8);
  const std::string line = testing::internal::GetCapturedStderr();
  ASSERT_EQ(r.status, ScanStatus::Completed);
  const std::regex expected(
      "\\[OmbrixPerf\\] NtfsMftScanEngine::Scan detail: chunks=5, bytes=17801216, "
      "records=17384, nodes=5, parallelChunks=4, serialChunks=1, runs=1, mftDataSize=17801216, "
      "queryVolumeMs=\\d+, resolveRootMs=\\d+, readRunsMs=\\d+, enumerateMftMs=\\d+, "
      "buildChildrenMs=\\d+, populateTreeMs=\\d+, finalizeMs=\\d+, totalMs=\\d+, "
      "parseWorkerLimit=8\n");
  EXPECT_TRUE(std::regex_match(line, expected)) << line;
}

TEST(NtfsMftEngineTest, CancelledBeforeTheFirstChunkGivesTheRootOnly) {
  FakeVolume volume;
  volume.LayOutMft(64, SmallTree());
  ScanCancellationToken token;
  token.Cancel();
  TraceOn trace;
  testing::internal::CaptureStderr();
  const ScanResult r = ScanFake(volume, u"X:\\", 1, &token);
  const std::string line = testing::internal::GetCapturedStderr();
  EXPECT_EQ(r.status, ScanStatus::Cancelled);
  EXPECT_EQ(r.nodes.size(), 1u);
  EXPECT_NE(line.find("chunks=0, bytes=0, records=0, nodes=0,"), std::string::npos) << line;
  EXPECT_EQ(volume.reads.size(), 1u);  // record 0 only
}

TEST(NtfsMftEngineTest, CancelDuringEnumerationStopsBeforeTheNextChunk) {
  FakeVolume volume;
  // Five chunks; the first is decoded, later ones are never read.
  std::map<std::uint64_t, TestFileRecord> records = SmallTree();
  records.emplace(9000, FileRecord(5, u"in a later chunk", 1));
  volume.LayOutMft(17408, records);
  ScanCancellationToken token;
  int reads = 0;
  volume.onRead = [&](std::uint64_t) {
    if (++reads == 2) token.Cancel();  // while the first chunk is read
  };
  TraceOn trace;
  testing::internal::CaptureStderr();
  const ScanResult r = ScanFake(volume, u"X:\\", 2, &token);
  const std::string line = testing::internal::GetCapturedStderr();
  EXPECT_EQ(r.status, ScanStatus::Cancelled);
  EXPECT_EQ(reads, 2);
  // The started chunk was decoded to its end; the walk, seeing the flag,
  // adds nothing below the root.
  EXPECT_NE(line.find("chunks=1, bytes=4194304, records=4096, nodes=5, parallelChunks=1,"),
            std::string::npos)
      << line;
  EXPECT_EQ(r.nodes.size(), 1u);
}

// Two runs, far apart on the volume. A short read in the first must not
// shift the record numbers of the second.
TEST(NtfsMftEngineTest, ShortReadSkipsTheRestOfItsRunAndKeepsLaterRecordNumbers) {
  FakeVolume volume;
  const std::uint32_t r = 1024;
  const std::uint64_t firstRunClusters = 16;   // records 0..63
  const std::uint64_t secondRunClusters = 16;  // records 64..127
  const std::int64_t firstLcn = 4;
  const std::int64_t secondLcn = 100;
  volume.bytes.assign(200 * 4096, 0);
  const TestFileRecord mft = test::MftRecord(
      128 * r,
      test::EncodeMappingPairs({{firstRunClusters, firstLcn}, {secondRunClusters, secondLcn}}));
  auto at = [&](std::uint64_t record) {
    return record < 64 ? firstLcn * 4096 + record * r : secondLcn * 4096 + (record - 64) * r;
  };
  test::PlaceRecord(volume.bytes, at(0), mft);
  test::PlaceRecord(volume.bytes, at(5), FolderRecord(5, u"."));
  test::PlaceRecord(volume.bytes, at(20), FileRecord(5, u"before cut", 1));
  test::PlaceRecord(volume.bytes, at(40), FileRecord(5, u"after cut", 1));
  test::PlaceRecord(volume.bytes, at(70), FolderRecord(5, u"late folder"));
  test::PlaceRecord(volume.bytes, at(71), FileRecord(70, u"late file", 1));
  volume.shortReads[at(0)] = 30 * r + 100;  // 30 whole records, then a partial one
  const ScanResult result = ScanFake(volume);
  ASSERT_EQ(result.status, ScanStatus::Completed);
  EXPECT_TRUE(FindByPath(result, u"X:\\before cut").has_value());
  EXPECT_FALSE(FindByPath(result, u"X:\\after cut").has_value());
  EXPECT_TRUE(FindByPath(result, u"X:\\late folder\\late file").has_value());
}

TEST(NtfsMftEngineTest, NamesMovedOutOfTheBaseRecordTakeTheSizeOfItsData) {
  FakeVolume volume;
  std::map<std::uint64_t, TestFileRecord> records = SmallTree();
  // Base record 40 holds the data; its name sits in extension record 41
  // with a stale real size of 0.
  records.emplace(40, TestFileRecord().ResidentData(500));
  records.emplace(
      41,
      TestFileRecord().BaseReference(40 | (std::uint64_t{3} << 48)).FileName(5, u"moved name.txt"));
  volume.LayOutMft(64, records);
  const ScanResult r = ScanFake(volume);
  const std::optional<ScanNode> moved = FindByPath(r, u"X:\\moved name.txt");
  ASSERT_TRUE(moved.has_value());
  EXPECT_EQ(moved->OwnSize(), 500u);
}

}  // namespace
}  // namespace ombrix::core
