#include "core/mft/mft_stream_reader.h"

#include <algorithm>
#include <cstring>
#include <memory>
#include <new>
#include <thread>

#include "base/checked_math.h"
#include "core/mft/mft_chunk_decoder.h"

namespace ombrix::core {

namespace {

constexpr std::size_t kReadBufferAlignment = 32;

struct AlignedFree {
  void operator()(std::uint8_t* bytes) const {
    ::operator delete[](bytes, std::align_val_t{kReadBufferAlignment});
  }
};
using AlignedBuffer = std::unique_ptr<std::uint8_t[], AlignedFree>;

AlignedBuffer MakeZeroedBuffer(std::size_t length) {
  auto* bytes =
      static_cast<std::uint8_t*>(::operator new[](length, std::align_val_t{kReadBufferAlignment}));
  std::memset(bytes, 0, length);
  return AlignedBuffer(bytes);
}

}  // namespace

bool EnumerateMftRecords(IVolumeReader& volume, const NtfsVolumeGeometry& geometry,
                         const std::vector<MftDataRun>& runs, std::uint64_t dataSize,
                         const ScanCancellationToken& token, std::vector<MftNameEntry>& entries,
                         std::vector<MftDataSize>* dataSizes, MftScanStats& stats,
                         std::uint64_t workerSetting) {
  const std::uint32_t recordLength = geometry.bytesPerFileRecordSegment;
  const std::uint64_t clusterLength = geometry.bytesPerCluster;
  if (recordLength == 0 || geometry.bytesPerSector == 0 || clusterLength == 0) {
    return false;
  }
  AlignedBuffer buffer = MakeZeroedBuffer(kMftChunkLength);
  const std::uint64_t workerLimit =
      ParseWorkerLimit(workerSetting, std::thread::hardware_concurrency());
  stats.parseWorkerLimit = workerLimit;

  std::uint64_t streamOffset = 0;  // where the current run starts in the data stream
  for (const MftDataRun& run : runs) {
    if (run.lcn < 0 || run.clusterCount == 0) {
      continue;
    }
    std::uint64_t runLength = 0;
    if (!base::CheckedMultiply(run.clusterCount, clusterLength, runLength)) {
      runLength = ~std::uint64_t{0};
    }
    std::uint64_t volumeOffset = 0;
    const bool volumeOffsetValid =
        base::CheckedMultiply(static_cast<std::uint64_t>(run.lcn), clusterLength, volumeOffset);

    std::uint64_t runPosition = 0;
    do {
      const std::uint64_t position = base::SaturatingAdd(streamOffset, runPosition);
      if (position >= dataSize) {
        break;
      }
      if (token.IsCancelled()) {
        return true;
      }
      std::uint64_t wanted =
          std::min<std::uint64_t>({kMftChunkLength, runLength - runPosition, dataSize - position});
      wanted -= wanted % recordLength;
      if (wanted == 0) {
        break;
      }
      std::uint64_t readOffset = 0;
      if (!volumeOffsetValid || !base::CheckedAdd(volumeOffset, runPosition, readOffset)) {
        return false;
      }
      std::uint32_t bytesRead = 0;
      if (!volume.ReadAt(readOffset, buffer.get(), static_cast<std::uint32_t>(wanted), bytesRead)) {
        return false;
      }
      bytesRead = std::min<std::uint32_t>(bytesRead, static_cast<std::uint32_t>(wanted));
      const std::uint32_t wholeBytes = bytesRead - bytesRead % recordLength;
      stats.chunks += 1;
      stats.bytes += wholeBytes;
      stats.records += wholeBytes / recordLength;
      const bool parallel =
          ParseRecordChunk(buffer.get(), recordLength, wholeBytes, position / recordLength,
                           geometry.bytesPerSector, workerLimit, entries, dataSizes);
      if (parallel) {
        stats.parallelChunks += 1;
      } else {
        stats.serialChunks += 1;
      }
      if (bytesRead < wanted) {
        break;
      }
      runPosition += bytesRead;
    } while (runPosition < runLength);
    streamOffset = base::SaturatingAdd(streamOffset, runLength);
  }
  return true;
}

}  // namespace ombrix::core
