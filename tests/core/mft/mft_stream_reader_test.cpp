#include "core/mft/mft_stream_reader.h"

#include <gtest/gtest.h>

#include <atomic>
#include <new>
#include <string>

#include "base/thread_starter.h"
#include "core/mft/mft_chunk_decoder.h"
#include "core/mft/mft_run_list.h"
#include "tests/core/mft/engine_test_volume.h"
#include "tests/support/failing_allocator.h"
#include "tests/support/test_data.h"

namespace ombrix::core {
namespace {

using test::FakeVolume;

TEST(MftReadingTest, WorkerLimit) {
  struct Case {
    std::uint64_t setting;
    std::uint64_t hardware;
    std::uint64_t limit;
  };
  const Case cases[] = {{0, 16, 8}, {0, 0, 1}, {0, 1, 1},   {0, 3, 3},   {0, 8, 8},
                        {1, 16, 1}, {5, 2, 5}, {64, 1, 64}, {100, 4, 64}};
  for (const Case& c : cases) {
    EXPECT_EQ(ParseWorkerLimit(c.setting, c.hardware), c.limit) << c.setting << " / " << c.hardware;
  }
}

// count records of 1024 bytes, record i named "r<i>" in folder 5.
std::vector<std::uint8_t> NamedRecords(std::uint64_t count) {
  std::vector<std::uint8_t> bytes(count * 1024);
  for (std::uint64_t i = 0; i < count; ++i) {
    if (i % 3 == 2) continue;  // free slots between, as on a real volume
    test::PlaceRecord(bytes, i * 1024,
                      test::FileRecord(5, u"r" + test::ToU16(std::to_string(i)), 10));
  }
  return bytes;
}

std::vector<std::pair<std::uint64_t, std::u16string>> Summary(const MftNameTable& table) {
  std::vector<std::pair<std::uint64_t, std::u16string>> summary;
  for (const auto& e : table.entries) summary.emplace_back(e.fileReference, table.NameOf(e).ToString());
  return summary;
}

TEST(MftReadingTest, ChunkSizeDecidesSerialOrParallelWithTheSameEntries) {
  struct Case {
    std::uint64_t records;
    std::uint64_t limit;
    bool parallel;
  };
  const Case cases[] = {{8192, 4, true},
                        {kMinRecordsForParallelChunk, 2, true},
                        {kMinRecordsForParallelChunk - 1, 8, false},
                        {8192, 1, false},
                        {0, 8, false}};
  for (const Case& c : cases) {
    std::vector<std::uint8_t> serialBytes = NamedRecords(c.records);
    std::vector<std::uint8_t> parallelBytes = serialBytes;
    MftNameTable serial;
    MftNameTable parallel;
    std::vector<MftRecordData> parallelSizes;
    const auto length = static_cast<std::uint32_t>(serialBytes.size());
    EXPECT_FALSE(ParseRecordChunk(serialBytes.data(), 1024, length, 1000, 512, 1, serial, nullptr));
    EXPECT_EQ(ParseRecordChunk(parallelBytes.data(), 1024, length, 1000, 512, c.limit, parallel,
                               &parallelSizes),
              c.parallel)
        << c.records;
    EXPECT_EQ(serial.entries.size(), c.records - c.records / 3);
    EXPECT_EQ(Summary(serial), Summary(parallel));
    if (!parallel.entries.empty()) {
      EXPECT_EQ(parallel.entries.front().fileReference, 1000u);
      EXPECT_EQ(parallelSizes.size(), parallel.entries.size());
    }
  }
}

TEST(MftReadingTest, WorkerThatCannotStartLeavesItsSliceToTheCallingThread) {
  std::vector<std::uint8_t> bytes = NamedRecords(8192);
  std::vector<std::uint8_t> reference = bytes;
  MftNameTable expected;
  ParseRecordChunk(reference.data(), 1024, 8192 * 1024, 0, 512, 1, expected, nullptr);

  int starts = 0;
  const base::ThreadStarter refuseThird = [&](std::function<void()> work, std::thread& thread) {
    if (++starts == 3) return false;
    return base::StartStdThread(std::move(work), thread);
  };
  MftNameTable entries;
  EXPECT_FALSE(
      ParseRecordChunk(bytes.data(), 1024, 8192 * 1024, 0, 512, 4, entries, nullptr, refuseThird));
  EXPECT_EQ(Summary(entries), Summary(expected));
}

// A decoding worker that runs out of memory is joined with the others and
// its failure thrown on the calling thread, not out of the worker.
TEST(MftReadingTest, WorkerOutOfMemoryIsThrownOnTheCallingThread) {
  std::vector<std::uint8_t> bytes = NamedRecords(8192);
  MftNameTable entries;
  // Workers allocate for their slices' entries, sizes and names; the third
  // allocation fails.
  test::AllocationFailureScope outOfMemory(2, test::FailingThreads::OthersThanArming);
  EXPECT_THROW(ParseRecordChunk(bytes.data(), 1024, 8192 * 1024, 0, 512, 4, entries, nullptr),
               std::bad_alloc);
}

TEST(MftReadingTest, DataSizeEndingInsideARunStopsAtTheLastWholeRecord) {
  FakeVolume volume;
  // Two runs of 64 records each; the data stream ends 10.5 records into the
  // second: the first run, then 10 records, then nothing more.
  std::vector<MftDataRun> runs = {{4, 16}, {100, 16}, {200, 16}};
  volume.bytes.assign(300 * 4096, 0);
  MftScanStats stats;
  MftNameTable entries;
  ScanCancellationToken token;
  ASSERT_TRUE(EnumerateMftRecords(volume, volume.geometry, runs, 74 * 1024 + 512, token, entries,
                                  nullptr, stats, 1));
  ASSERT_EQ(volume.reads.size(), 2u);
  EXPECT_EQ(volume.reads[0], (std::pair<std::uint64_t, std::uint32_t>{4 * 4096, 64 * 1024}));
  EXPECT_EQ(volume.reads[1], (std::pair<std::uint64_t, std::uint32_t>{100 * 4096, 10 * 1024}));
  EXPECT_EQ(stats.records, 74u);
  EXPECT_EQ(stats.chunks, 2u);
  EXPECT_EQ(stats.serialChunks, 2u);
  EXPECT_EQ(stats.parseWorkerLimit, 1u);
}

TEST(MftReadingTest, SkippedRunsDoNotAdvanceTheStreamAndLargeRunsAreChunked) {
  FakeVolume volume;
  volume.geometry.bytesPerFileRecordSegment = 4096;
  // A sparse run and an empty run are skipped; a run of 5320 clusters is read
  // as five 4 MiB chunks and 200 records; a full 4 MiB chunk of 4096-byte
  // records (1024) still qualifies for workers, the rest does not.
  std::vector<MftDataRun> runs = {{-1, 10}, {7, 0}, {1, 5320}};
  volume.bytes.assign(6000 * 4096, 0);
  MftScanStats stats;
  MftNameTable entries;
  ScanCancellationToken token;
  ASSERT_TRUE(EnumerateMftRecords(volume, volume.geometry, runs, 5320ull * 4096, token, entries,
                                  nullptr, stats, 2));
  ASSERT_EQ(volume.reads.size(), 6u);
  EXPECT_EQ(volume.reads[0].first, 4096u);
  EXPECT_EQ(volume.reads[4].second, 4u * 1024 * 1024);
  EXPECT_EQ(volume.reads[5].second, 200u * 4096);
  EXPECT_EQ(stats.parallelChunks, 5u);
  EXPECT_EQ(stats.serialChunks, 1u);
  EXPECT_EQ(stats.records, 5320u);
}

// The next chunk is read while workers decode the current one: a read that
// fails then ends the enumeration only once those workers are done with
// the buffer (the sanitizer builds check that nothing outlives it).
TEST(MftReadingTest, ReadFailingWhileAChunkIsDecodedFails) {
  FakeVolume volume;
  volume.bytes.assign(4 * 4096, 0);
  const std::vector<std::uint8_t> records = NamedRecords(3 * 8192);
  volume.bytes.insert(volume.bytes.end(), records.begin(), records.end());
  volume.failReadAt = 4 * 4096 + 2 * kMftChunkLength;
  MftScanStats stats;
  MftNameTable entries;
  ScanCancellationToken token;
  EXPECT_FALSE(EnumerateMftRecords(volume, volume.geometry, {{4, 6144}}, 3 * 8192 * 1024, token,
                                   entries, nullptr, stats, 2));
  EXPECT_EQ(volume.reads.size(), 3u);
  EXPECT_EQ(stats.parallelChunks, 1u);  // the first chunk, finished before the third read
}

TEST(MftReadingTest, UnusableGeometryIsRefusedBeforeTheLimitIsStored) {
  FakeVolume volume;
  MftScanStats stats;
  MftNameTable entries;
  ScanCancellationToken token;
  NtfsVolumeGeometry geometry = volume.geometry;
  geometry.bytesPerSector = 0;
  EXPECT_FALSE(
      EnumerateMftRecords(volume, geometry, {{4, 1}}, 4096, token, entries, nullptr, stats, 5));
  EXPECT_EQ(stats.parseWorkerLimit, 1u);
  EXPECT_TRUE(volume.reads.empty());
}

TEST(MftReadingTest, HostileRunOffsetFailsInsteadOfWrapping) {
  FakeVolume volume;
  MftScanStats stats;
  MftNameTable entries;
  ScanCancellationToken token;
  const std::vector<MftDataRun> runs = {{INT64_MAX / 2, 1}};
  EXPECT_FALSE(
      EnumerateMftRecords(volume, volume.geometry, runs, 4096, token, entries, nullptr, stats, 1));
  EXPECT_TRUE(volume.reads.empty());
}

}  // namespace
}  // namespace ombrix::core
