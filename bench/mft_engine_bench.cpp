// Times the MFT engine's phases on an NTFS image, natively:
//   mft_engine_bench IMAGE [REPEATS]
//   mft_engine_bench --runs IMAGE     prints "byte-offset byte-length" per
//                                     $MFT extent (for reading them with dd)
//   mft_engine_bench --scan IMAGE     one whole scan with 2 workers, nothing
//                                     printed (end to end; the trace works)
// prints, as medians over REPEATS runs (warm cache):
//  - the decode of the whole $MFT from memory with 1 and with 2 workers:
//    wall time, CPU time of all threads, and the critical path in CPU time
//    (per chunk the busiest worker plus the scan thread's own share), which
//    is what the wall time would be with a free core per worker; on a
//    shared machine it is the figure that shows whether the split works;
//  - reading and decoding together with 1 and 2 workers, and with 2 workers
//    at several chunk lengths (how kMftChunkLength was chosen);
//  - the whole scan end to end, and where the result's bytes go per node.
#include <algorithm>
#include <array>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <mutex>
#include <string>
#include <tuple>
#include <vector>

#include "base/monotonic_clock.h"
#include "bench/result_memory.h"
#include "core/mft/mft_chunk_decoder.h"
#include "core/mft/mft_entry_mend.h"
#include "core/mft/mft_run_list.h"
#include "core/mft/mft_stream_reader.h"
#include "core/mft/mft_tree.h"
#include "core/mft/ntfs_mft_engine.h"
#include "core/mft/volume_image.h"

namespace {

using namespace ombrix::core;
namespace base = ombrix::base;

double Median(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  return values[values.size() / 2];
}

double Seconds(base::MonotonicClock::time_point start) {
  return std::chrono::duration<double>(base::MonotonicClock::now() - start).count();
}

double CpuSeconds(clockid_t clock) {
  timespec now{};
  clock_gettime(clock, &now);
  return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) * 1e-9;
}

double ThreadCpuSeconds() { return CpuSeconds(CLOCK_THREAD_CPUTIME_ID); }

// Reads and decodes the whole $MFT of the image into `table` and `sizes`;
// returns the seconds the enumeration took, or a negative value. The
// records the stream holds go to recordCount when given.
double DecodeImage(const char* image, std::uint64_t workers, std::uint32_t chunkLength,
                   MftNameTable& table, std::vector<MftRecordData>& sizes,
                   std::uint64_t* recordCount = nullptr) {
  NtfsImageVolumeReader reader(image);
  NtfsVolumeGeometry geometry;
  std::vector<MftDataRun> runs;
  std::uint64_t dataSize = 0;
  if (reader.Open(u"\\") != VolumeOpenResult::Opened || !reader.QueryGeometry(geometry) ||
      !ReadMftRunList(reader, geometry, runs, dataSize)) {
    return -1;
  }
  const std::uint64_t records = std::min<std::uint64_t>(
      dataSize / geometry.bytesPerFileRecordSegment, kMaxReservedMftEntries);
  table.entries.reserve(records);
  sizes.reserve(records);
  if (recordCount != nullptr) *recordCount = dataSize / geometry.bytesPerFileRecordSegment;
  MftScanStats stats;
  ScanCancellationToken token;
  const auto start = base::MonotonicClock::now();
  if (!EnumerateMftRecords(reader, geometry, runs, dataSize, token, table, &sizes, stats, workers,
                           chunkLength)) {
    return -1;
  }
  return Seconds(start);
}

// Reads and decodes the whole $MFT; returns seconds, or a negative value.
double TimeEnumeration(const char* image, std::uint64_t workers, std::uint32_t chunkLength,
                       std::uint64_t& entryCount) {
  MftNameTable table;
  std::vector<MftRecordData> sizes;
  const double seconds = DecodeImage(image, workers, chunkLength, table, sizes);
  entryCount = table.entries.size();
  return seconds;
}

struct TreeTiming {
  double wall = -1;
  double cpu = 0;  // every thread's CPU time (the string passes use two)
  double scanThreadCpu = 0;
  std::uint64_t nodes = 0;
};

// Children map, walk with names and paths, and totals, from a decoded
// table: what the trace reports as buildChildrenMs + populateTreeMs +
// finalizeMs, here with the CPU time beside the wall time.
TreeTiming TimeTreeBuilding(const char* image) {
  MftNameTable table;
  std::vector<MftRecordData> sizes;
  std::uint64_t records = 0;
  if (DecodeImage(image, 2, kMftChunkLength, table, sizes, &records) < 0) return {};
  ScanCancellationToken token;
  ApplyFolderFlagMend(table.entries);
  ApplyDataSizeMend(table.entries, sizes);
  std::vector<MftRecordData>().swap(sizes);

  TreeTiming timing;
  const auto start = base::MonotonicClock::now();
  const double cpuStart = CpuSeconds(CLOCK_PROCESS_CPUTIME_ID);
  const double threadStart = ThreadCpuSeconds();
  MftChildrenMap children = BuildChildrenMap(table.entries, records);
  ScanTreeBuilder builder;
  const std::uint64_t root = builder.AddRoot(u"", u"\\", kAttributeDirectory, 0);
  const ProgressCallback none;
  EngineProgress progress(none);
  PopulateMftTree(builder, root, u"\\", kNtfsRootFolderRecord, std::move(table),
                  std::move(children), token, progress, 2);
  builder.ComputeTotals();
  builder.nodes.LinkChildren();
  timing.cpu = CpuSeconds(CLOCK_PROCESS_CPUTIME_ID) - cpuStart;
  timing.scanThreadCpu = ThreadCpuSeconds() - threadStart;
  timing.wall = Seconds(start);
  timing.nodes = builder.nodes.size();
  return timing;
}

struct DecodeTiming {
  double wall = 0;
  double cpu = 0;            // every thread's CPU time
  double scanThreadCpu = 0;  // copying chunks in, handing them over, collecting entries
  double busiestWorkerCpu = 0;
  // The shortest wall time two free cores allow: neither less than half the
  // CPU time nor less than the busiest thread's.
  double twoCoreBound() const { return std::max({cpu / 2, scanThreadCpu, busiestWorkerCpu}); }
};

// The whole $MFT in memory, then decoded chunk by chunk with the given
// worker count the way the engine does it (chunk k handed over, then chunk
// k - 1's entries collected while the workers decode it): the CPU part of
// enumeration without the reads. Each worker measures its own CPU time
// through the thread-starter seam.
DecodeTiming TimeDecodeFromMemory(const std::vector<std::uint8_t>& mft, std::uint32_t recordLength,
                                  std::uint32_t sectorLength, std::uint64_t workers) {
  // Decoding repairs records in place: a fresh copy for every run.
  std::vector<std::uint8_t> work = mft;
  MftNameTable table;
  table.entries.reserve(mft.size() / recordLength);
  std::vector<MftRecordData> sizes;
  sizes.reserve(mft.size() / recordLength);
  std::mutex workerCpuMutex;
  std::vector<double> workerCpu;
  const base::ThreadStarter measuredStart = [&](std::function<void()> body, std::thread& thread) {
    return base::StartStdThread(
        [&, body = std::move(body)] {
          const double start = ThreadCpuSeconds();
          body();
          const double used = ThreadCpuSeconds() - start;
          const std::lock_guard<std::mutex> lock(workerCpuMutex);
          workerCpu.push_back(used);
        },
        thread);
  };
  DecodeTiming timing;
  const auto start = base::MonotonicClock::now();
  const double processStart = CpuSeconds(CLOCK_PROCESS_CPUTIME_ID);
  const double scanThreadStart = ThreadCpuSeconds();
  {
    MftChunkDecoder decoder(recordLength, sectorLength, workers, measuredStart);
    bool decoding = false;
    for (std::size_t offset = 0; offset < work.size(); offset += kMftChunkLength) {
      const std::size_t length = std::min<std::size_t>(kMftChunkLength, work.size() - offset);
      if (decoding) decoder.Wait();
      decoder.Start(work.data() + offset, static_cast<std::uint32_t>(length),
                    offset / recordLength);
      decoding = true;
      decoder.Collect(table, &sizes);
    }
    decoder.Finish(table, &sizes);
  }
  timing.wall = Seconds(start);
  timing.cpu = CpuSeconds(CLOCK_PROCESS_CPUTIME_ID) - processStart;
  timing.scanThreadCpu = ThreadCpuSeconds() - scanThreadStart;
  for (double used : workerCpu) timing.busiestWorkerCpu = std::max(timing.busiestWorkerCpu, used);
  return timing;
}

bool ReadWholeMft(const char* image, std::vector<std::uint8_t>& mft, NtfsVolumeGeometry& geometry) {
  NtfsImageVolumeReader reader(image);
  std::vector<MftDataRun> runs;
  std::uint64_t dataSize = 0;
  if (reader.Open(u"\\") != VolumeOpenResult::Opened || !reader.QueryGeometry(geometry) ||
      !ReadMftRunList(reader, geometry, runs, dataSize)) {
    return false;
  }
  mft.clear();
  for (const MftDataRun& run : runs) {
    std::uint64_t length =
        std::min<std::uint64_t>(run.clusterCount * geometry.bytesPerCluster, dataSize - mft.size());
    const std::uint64_t at = mft.size();
    mft.resize(at + length);
    for (std::uint64_t done = 0; done < length;) {
      std::uint32_t got = 0;
      const auto part =
          static_cast<std::uint32_t>(std::min<std::uint64_t>(length - done, kMftChunkLength));
      if (!reader.ReadAt(run.lcn * geometry.bytesPerCluster + done, mft.data() + at + done, part,
                         got) ||
          got == 0) {
        return false;
      }
      done += got;
    }
    if (mft.size() >= dataSize) break;
  }
  mft.resize(mft.size() - mft.size() % geometry.bytesPerFileRecordSegment);
  return true;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) {
    std::fprintf(stderr, "usage: %s IMAGE [REPEATS]\n", argv[0]);
    return 2;
  }
  if (std::string(argv[1]) == "--runs" && argc > 2) {
    NtfsImageVolumeReader reader(argv[2]);
    NtfsVolumeGeometry geometry;
    std::vector<MftDataRun> runs;
    std::uint64_t dataSize = 0;
    if (reader.Open(u"\\") != VolumeOpenResult::Opened || !reader.QueryGeometry(geometry) ||
        !ReadMftRunList(reader, geometry, runs, dataSize)) {
      return 1;
    }
    std::uint64_t left = dataSize;
    for (const MftDataRun& run : runs) {
      const std::uint64_t length =
          std::min<std::uint64_t>(left, run.clusterCount * geometry.bytesPerCluster);
      std::printf("%llu %llu\n",
                  static_cast<unsigned long long>(run.lcn) * geometry.bytesPerCluster,
                  static_cast<unsigned long long>(length));
      left -= length;
      if (left == 0) break;
    }
    return 0;
  }
  if (std::string(argv[1]) == "--scan" && argc > 2) {
    NtfsImageVolumeReader reader(argv[2]);
    ScanCancellationToken token;
    const ScanResult result = ScanNtfsVolume(reader, u"\\", 2, token, {});
    return result.status == ScanStatus::Completed ? 0 : 1;
  }
  const char* image = argv[1];
  const int repeats = argc > 2 ? std::max(1, std::atoi(argv[2])) : 5;
  std::vector<std::uint8_t> mft;
  NtfsVolumeGeometry geometry;
  if (!ReadWholeMft(image, mft, geometry)) {
    std::fprintf(stderr, "could not read the image's $MFT\n");
    return 1;
  }
  const std::uint64_t records = mft.size() / geometry.bytesPerFileRecordSegment;
  std::vector<DecodeTiming> memoryOne;
  std::vector<DecodeTiming> memoryTwo;
  for (int i = 0; i < repeats; ++i) {
    memoryOne.push_back(
        TimeDecodeFromMemory(mft, geometry.bytesPerFileRecordSegment, geometry.bytesPerSector, 1));
    memoryTwo.push_back(
        TimeDecodeFromMemory(mft, geometry.bytesPerFileRecordSegment, geometry.bytesPerSector, 2));
  }
  std::vector<uint8_t>().swap(mft);
  const auto median = [](const std::vector<DecodeTiming>& timings, double DecodeTiming::*field) {
    std::vector<double> values;
    for (const DecodeTiming& t : timings) values.push_back(t.*field);
    return Median(values);
  };

  constexpr std::uint32_t kMiB = 1024 * 1024;
  const std::vector<std::uint32_t> chunkLengths = {2 * kMiB, 4 * kMiB, 8 * kMiB, 16 * kMiB,
                                                   32 * kMiB};
  std::vector<double> one;
  std::vector<double> two;
  std::vector<std::vector<double>> byChunk(chunkLengths.size());
  std::vector<double> whole;
  std::vector<double> treeWall;
  std::vector<double> treeCpu;
  std::vector<double> treeThreadCpu;
  std::uint64_t treeNodes = 0;
  std::uint64_t entries = 0;
  std::uint64_t nodes = 0;
  ScanNodesMemory treeBytes;
  for (int i = 0; i < repeats; ++i) {
    one.push_back(TimeEnumeration(image, 1, kMftChunkLength, entries));
    two.push_back(TimeEnumeration(image, 2, kMftChunkLength, entries));
    for (std::size_t c = 0; c < chunkLengths.size(); ++c) {
      byChunk[c].push_back(TimeEnumeration(image, 2, chunkLengths[c], entries));
    }
    const TreeTiming tree = TimeTreeBuilding(image);
    treeWall.push_back(tree.wall);
    treeCpu.push_back(tree.cpu);
    treeThreadCpu.push_back(tree.scanThreadCpu);
    treeNodes = tree.nodes;
    NtfsImageVolumeReader reader(image);
    ScanCancellationToken token;
    const auto start = base::MonotonicClock::now();
    ScanResult result = ScanNtfsVolume(reader, u"\\", 2, token, {});
    whole.push_back(Seconds(start));
    if (result.status != ScanStatus::Completed) {
      std::fprintf(stderr, "scan failed\n");
      return 1;
    }
    nodes = result.nodes.size();
    treeBytes = result.nodes.Memory();
  }
  if (Median(one) < 0 || Median(two) < 0) {
    std::fprintf(stderr, "could not read the image's $MFT\n");
    return 1;
  }
  const double wallOne = median(memoryOne, &DecodeTiming::wall);
  const double wallTwo = median(memoryTwo, &DecodeTiming::wall);
  std::vector<double> boundOne;
  std::vector<double> boundTwo;
  for (const DecodeTiming& t : memoryOne) boundOne.push_back(t.twoCoreBound());
  for (const DecodeTiming& t : memoryTwo) boundTwo.push_back(t.twoCoreBound());
  std::printf("records %llu, entries decoded %llu\n", static_cast<unsigned long long>(records),
              static_cast<unsigned long long>(entries));
  std::printf(
      "decode from memory (median of %d)  wall     CPU: all threads  scan thread  busiest worker"
      "  -> wall on 2 free cores\n",
      repeats);
  for (const auto& [label, timings, wall, bound] :
       {std::tuple{"1 worker ", &memoryOne, wallOne, Median(boundOne)},
        std::tuple{"2 workers", &memoryTwo, wallTwo, Median(boundTwo)}}) {
    std::printf(
        "  %s                        %.3f s       %.3f s      %.3f s      %.3f s  -> %.3f s\n",
        label, wall, median(*timings, &DecodeTiming::cpu),
        median(*timings, &DecodeTiming::scanThreadCpu),
        median(*timings, &DecodeTiming::busiestWorkerCpu), bound);
  }
  std::printf("  2 workers vs 1: %.2fx by wall time, %.2fx on 2 free cores (by CPU times)\n",
              wallOne / wallTwo, Median(boundOne) / Median(boundTwo));
  std::printf("  decode CPU per record: %.0f ns\n",
              median(memoryOne, &DecodeTiming::cpu) * 1e9 / static_cast<double>(records));
  std::printf("read+decode, 1 worker          %.3f s\n", Median(one));
  std::printf("read+decode, 2 workers         %.3f s  -> %.2fx faster\n", Median(two),
              Median(one) / Median(two));
  std::printf("read+decode, 2 workers, by chunk length:");
  for (std::size_t c = 0; c < chunkLengths.size(); ++c) {
    std::printf("  %u MiB %.3f s", chunkLengths[c] / kMiB, Median(byChunk[c]));
  }
  std::printf("\n");
  std::printf("scan end to end, 2 workers     %.3f s\n", Median(whole));
  const double millions = static_cast<double>(treeNodes) / 1e6;
  std::printf(
      "tree building (children map, walk, nodes, totals, child index): %.0f ms wall, %.0f ms CPU "
      "of all threads, %.0f ms CPU of the scan thread, per million nodes\n",
      Median(treeWall) * 1e3 / millions, Median(treeCpu) * 1e3 / millions,
      Median(treeThreadCpu) * 1e3 / millions);
  ombrix::bench::PrintResultMemory(treeBytes, nodes);
  return 0;
}
