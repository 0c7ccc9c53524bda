#include "core/mft/volume_bitmap.h"

#include <algorithm>
#include <bit>
#include <memory>

#include "base/checked_math.h"
#include "core/mft/mft_run_list.h"

namespace ombrix::core {

namespace {

constexpr std::uint32_t kReadLength = 1u << 20;

// The volume offset of byte `streamOffset` of a stream laid out in runs.
std::optional<std::uint64_t> VolumeOffsetOf(const std::vector<MftDataRun>& runs,
                                            std::uint64_t clusterLength,
                                            std::uint64_t streamOffset) {
  std::uint64_t runStart = 0;
  for (const MftDataRun& run : runs) {
    std::uint64_t runLength = 0;
    std::uint64_t runOffset = 0;
    if (!base::CheckedMultiply(run.clusterCount, clusterLength, runLength) ||
        !base::CheckedMultiply(static_cast<std::uint64_t>(run.lcn), clusterLength, runOffset)) {
      return std::nullopt;
    }
    if (streamOffset - runStart < runLength) return runOffset + (streamOffset - runStart);
    runStart += runLength;
  }
  return std::nullopt;
}

bool ReadWhole(IVolumeReader& volume, std::uint64_t offset, std::uint8_t* buffer,
               std::uint32_t length) {
  std::uint32_t read = 0;
  return volume.ReadAt(offset, buffer, length, read) && read == length;
}

}  // namespace

std::optional<std::uint64_t> CountUsedClusters(IVolumeReader& volume,
                                               const NtfsVolumeGeometry& geometry,
                                               const std::vector<MftDataRun>& mftRuns) {
  const std::uint32_t recordLength = geometry.bytesPerFileRecordSegment;
  const std::uint64_t clusters = geometry.totalClusters;
  if (recordLength == 0 || geometry.bytesPerCluster == 0 || clusters == 0) return std::nullopt;
  const std::optional<std::uint64_t> recordOffset =
      VolumeOffsetOf(mftRuns, geometry.bytesPerCluster, kBitmapRecord * recordLength);
  if (!recordOffset) return std::nullopt;
  std::vector<std::uint8_t> record(recordLength);
  if (!ReadWhole(volume, *recordOffset, record.data(), recordLength) ||
      !ApplyUpdateSequence(record.data(), record.size(), geometry.bytesPerSector)) {
    return std::nullopt;
  }
  std::vector<MftDataRun> runs;
  std::uint64_t bitmapLength = 0;
  if (!DecodeMftDataRuns(record, runs, bitmapLength)) return std::nullopt;
  // One bit a cluster, the file rounded up to whole 8-byte words: a bitmap
  // that claims more is damaged, and its length must not size a read.
  const std::uint64_t needed = (clusters + 7) / 8;
  const std::optional<std::uint64_t> readable = ReadableMftLength(runs, bitmapLength, geometry);
  if (!readable || *readable < needed || bitmapLength > needed + 8) return std::nullopt;

  // Bits past the last cluster are padding, set or not: the last byte
  // counts only its low bits.
  const unsigned lastBits = static_cast<unsigned>(clusters - (needed - 1) * 8);
  const auto lastMask = static_cast<std::uint8_t>((1u << lastBits) - 1);
  std::unique_ptr<std::uint8_t[]> buffer(new std::uint8_t[kReadLength]);
  std::uint64_t used = 0;
  std::uint64_t done = 0;
  for (const MftDataRun& run : runs) {
    std::uint64_t runLength = 0;
    std::uint64_t runOffset = 0;
    if (!base::CheckedMultiply(run.clusterCount, geometry.bytesPerCluster, runLength) ||
        !base::CheckedMultiply(static_cast<std::uint64_t>(run.lcn), geometry.bytesPerCluster,
                               runOffset)) {
      return std::nullopt;
    }
    for (std::uint64_t position = 0; position < runLength && done < needed;) {
      const auto length = static_cast<std::uint32_t>(
          std::min<std::uint64_t>({kReadLength, runLength - position, needed - done}));
      if (!ReadWhole(volume, runOffset + position, buffer.get(), length)) return std::nullopt;
      if (done + length == needed) buffer[length - 1] &= lastMask;
      for (std::uint32_t i = 0; i < length; ++i) used += std::popcount(buffer[i]);
      position += length;
      done += length;
    }
  }
  if (done < needed) return std::nullopt;
  return used;
}

}  // namespace ombrix::core
