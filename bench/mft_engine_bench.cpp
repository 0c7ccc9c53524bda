// Times the MFT engine's phases on an NTFS image, natively:
//   mft_engine_bench IMAGE [REPEATS]
//   mft_engine_bench --runs IMAGE     prints "byte-offset byte-length" per
//                                     $MFT extent (for reading them with dd)
//   mft_engine_bench --scan IMAGE     one whole scan with 2 workers, nothing
//                                     printed (end to end; the trace works)
// prints, as medians over REPEATS runs (warm cache), the decode of the whole
// $MFT (enumeration) with 1 and with 2 workers, and the whole scan end to
// end, with the node count and the bytes the tree holds per node.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "base/monotonic_clock.h"
#include "core/mft/mft_chunk_decoder.h"
#include "core/mft/mft_run_list.h"
#include "core/mft/mft_stream_reader.h"
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

// Reads and decodes the whole $MFT; returns seconds, or a negative value.
double TimeEnumeration(const char* image, std::uint64_t workers, std::uint64_t& entryCount) {
  NtfsImageVolumeReader reader(image);
  NtfsVolumeGeometry geometry;
  std::vector<MftDataRun> runs;
  std::uint64_t dataSize = 0;
  if (reader.Open(u"\\") != VolumeOpenResult::Opened || !reader.QueryGeometry(geometry) ||
      !ReadMftRunList(reader, geometry, runs, dataSize)) {
    return -1;
  }
  std::vector<MftNameEntry> entries;
  entries.reserve(std::min<std::uint64_t>(dataSize / geometry.bytesPerFileRecordSegment,
                                          kMaxReservedMftEntries));
  std::vector<MftDataSize> sizes;
  sizes.reserve(entries.capacity());
  MftScanStats stats;
  ScanCancellationToken token;
  const auto start = base::MonotonicClock::now();
  if (!EnumerateMftRecords(reader, geometry, runs, dataSize, token, entries, &sizes, stats,
                           workers)) {
    return -1;
  }
  const double seconds = Seconds(start);
  entryCount = entries.size();
  return seconds;
}

// The whole $MFT in memory, then decoded chunk by chunk with the given
// worker count: the CPU part of enumeration without the reads. Returns
// seconds spent in the decoder only.
double TimeDecodeFromMemory(const std::vector<std::uint8_t>& mft, std::uint32_t recordLength,
                            std::uint32_t sectorLength, std::uint64_t workers) {
  std::vector<std::uint8_t> chunk(kMftChunkLength);
  std::vector<MftNameEntry> entries;
  entries.reserve(mft.size() / recordLength);
  std::vector<MftDataSize> sizes;
  sizes.reserve(mft.size() / recordLength);
  double seconds = 0;
  for (std::size_t offset = 0; offset < mft.size(); offset += kMftChunkLength) {
    const std::size_t length = std::min<std::size_t>(kMftChunkLength, mft.size() - offset);
    std::copy(mft.begin() + offset, mft.begin() + offset + length, chunk.begin());
    const auto start = base::MonotonicClock::now();
    ParseRecordChunk(chunk.data(), recordLength, static_cast<std::uint32_t>(length),
                     offset / recordLength, sectorLength, workers, entries, &sizes);
    seconds += Seconds(start);
  }
  return seconds;
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

std::uint64_t TreeBytes(const ScanResult& result) {
  std::uint64_t bytes = result.nodes.capacity() * sizeof(ScanNode);
  for (const ScanNode& node : result.nodes) {
    // Heap parts of the strings (beyond the small-string buffer) and the
    // child lists.
    if (node.name.capacity() > 7) bytes += (node.name.capacity() + 1) * sizeof(char16_t);
    if (node.path.capacity() > 7) bytes += (node.path.capacity() + 1) * sizeof(char16_t);
    bytes += node.children.capacity() * sizeof(std::uint64_t);
  }
  return bytes;
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
  std::vector<double> memoryOne;
  std::vector<double> memoryTwo;
  for (int i = 0; i < repeats; ++i) {
    memoryOne.push_back(
        TimeDecodeFromMemory(mft, geometry.bytesPerFileRecordSegment, geometry.bytesPerSector, 1));
    memoryTwo.push_back(
        TimeDecodeFromMemory(mft, geometry.bytesPerFileRecordSegment, geometry.bytesPerSector, 2));
  }
  std::vector<uint8_t>().swap(mft);
  std::vector<double> one;
  std::vector<double> two;
  std::vector<double> whole;
  std::uint64_t entries = 0;
  std::uint64_t nodes = 0;
  std::uint64_t treeBytes = 0;
  for (int i = 0; i < repeats; ++i) {
    one.push_back(TimeEnumeration(image, 1, entries));
    two.push_back(TimeEnumeration(image, 2, entries));
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
    treeBytes = TreeBytes(result);
  }
  if (Median(one) < 0 || Median(two) < 0) {
    std::fprintf(stderr, "could not read the image's $MFT\n");
    return 1;
  }
  std::printf("entries decoded                %llu\n", static_cast<unsigned long long>(entries));
  std::printf("decode from memory, 1 worker   %.3f s (median of %d)\n", Median(memoryOne), repeats);
  std::printf("decode from memory, 2 workers  %.3f s  -> %.2fx faster\n", Median(memoryTwo),
              Median(memoryOne) / Median(memoryTwo));
  std::printf("read+decode, 1 worker          %.3f s\n", Median(one));
  std::printf("read+decode, 2 workers         %.3f s  -> %.2fx faster\n", Median(two),
              Median(one) / Median(two));
  std::printf("scan end to end, 2 workers     %.3f s\n", Median(whole));
  std::printf("tree nodes                     %llu, %.0f bytes per node in the result\n",
              static_cast<unsigned long long>(nodes),
              nodes != 0 ? static_cast<double>(treeBytes) / static_cast<double>(nodes) : 0.0);
  return 0;
}
