#include "core/mft/mft_reading.h"

#include <algorithm>
#include <cstring>
#include <memory>
#include <new>
#include <system_error>
#include <utility>

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
  auto* bytes = static_cast<std::uint8_t*>(
      ::operator new[](length, std::align_val_t{kReadBufferAlignment}));
  std::memset(bytes, 0, length);
  return AlignedBuffer(bytes);
}

// Cluster arithmetic on values from disk: a hostile run must not wrap.
bool CheckedMultiply(std::uint64_t a, std::uint64_t b, std::uint64_t& product) {
  return !__builtin_mul_overflow(a, b, &product);
}

std::uint64_t SaturatingAdd(std::uint64_t a, std::uint64_t b) {
  std::uint64_t sum = 0;
  return __builtin_add_overflow(a, b, &sum) ? ~std::uint64_t{0} : sum;
}

void DecodeRecords(std::uint8_t* buffer, std::uint32_t recordLength, std::uint64_t begin,
                   std::uint64_t end, std::uint64_t firstRecordNumber, std::uint32_t sectorSize,
                   std::vector<MftNameEntry>& entries, std::vector<MftDataSize>* dataSizes) {
  for (std::uint64_t i = begin; i < end; ++i) {
    ParseFileRecord(buffer + i * recordLength, recordLength, firstRecordNumber + i, sectorSize,
                    entries, dataSizes);
  }
}

template <typename T>
void AppendMoved(std::vector<T>& target, std::vector<std::vector<T>>& parts) {
  std::size_t total = target.size();
  for (const auto& part : parts) total += part.size();
  target.reserve(total);
  for (auto& part : parts) {
    std::move(part.begin(), part.end(), std::back_inserter(target));
  }
}

}  // namespace

std::uint64_t ParseWorkerLimit(std::uint64_t workerSetting, std::uint64_t hardwareThreads) {
  if (workerSetting != 0) {
    return std::min(workerSetting, kMaxParseWorkers);
  }
  return std::clamp<std::uint64_t>(hardwareThreads, 1, kMaxAutomaticParseWorkers);
}

bool ReadMftRunList(IVolumeReader& volume, const NtfsVolumeGeometry& geometry,
                    std::vector<MftDataRun>& runs, std::uint64_t& dataSize) {
  const std::uint32_t recordLength = geometry.bytesPerFileRecordSegment;
  if (recordLength == 0 || geometry.mftStartLcn < 0) {
    return false;
  }
  std::uint64_t offset = 0;
  if (!CheckedMultiply(geometry.bytesPerCluster, static_cast<std::uint64_t>(geometry.mftStartLcn),
                       offset)) {
    return false;
  }
  std::vector<std::uint8_t> record(recordLength, 0);
  std::uint32_t bytesRead = 0;
  if (!volume.ReadAt(offset, record.data(), recordLength, bytesRead) || bytesRead < recordLength) {
    return false;
  }
  if (!ApplyUpdateSequence(record.data(), record.size(), geometry.bytesPerSector)) {
    return false;
  }
  return DecodeMftDataRuns(record, runs, dataSize);
}

bool StartWorkerThread(std::thread& thread, std::function<void()> work) {
  try {
    thread = std::thread(std::move(work));
    return true;
  } catch (const std::system_error&) {
    return false;
  }
}

bool ParseRecordChunk(std::uint8_t* buffer, std::uint32_t recordLength, std::uint32_t byteCount,
                      std::uint64_t firstRecordNumber, std::uint32_t sectorSize,
                      std::uint64_t workerLimit, std::vector<MftNameEntry>& entries,
                      std::vector<MftDataSize>* dataSizes, const WorkerStarter& startWorker) {
  if (recordLength == 0) {
    return false;
  }
  const std::uint64_t recordCount = byteCount / recordLength;
  if (recordCount == 0) {
    return false;
  }
  const std::uint64_t workerCount = std::min({workerLimit, recordCount, kMaxParseWorkers});
  if (workerCount <= 1 || recordCount < kMinRecordsForParallelChunk) {
    DecodeRecords(buffer, recordLength, 0, recordCount, firstRecordNumber, sectorSize, entries,
                  dataSizes);
    return false;
  }

  const std::uint64_t sliceLength = (recordCount + workerCount - 1) / workerCount;
  struct Slice {
    std::uint64_t begin;
    std::uint64_t end;
  };
  std::vector<Slice> slices;
  for (std::uint64_t w = 0; w < workerCount && w * sliceLength < recordCount; ++w) {
    slices.push_back({w * sliceLength, std::min(recordCount, (w + 1) * sliceLength)});
  }
  std::vector<std::vector<MftNameEntry>> workerEntries(slices.size());
  std::vector<std::vector<MftDataSize>> workerSizes(dataSizes != nullptr ? slices.size() : 0);

  auto decodeSlice = [&](std::size_t w) {
    const Slice slice = slices[w];
    workerEntries[w].reserve((slice.end - slice.begin) / 2);
    std::vector<MftDataSize>* sizes = nullptr;
    if (dataSizes != nullptr) {
      sizes = &workerSizes[w];
      sizes->reserve(slice.end - slice.begin);
    }
    DecodeRecords(buffer, recordLength, slice.begin, slice.end, firstRecordNumber, sectorSize,
                  workerEntries[w], sizes);
  };

  std::vector<std::thread> threads(slices.size());
  std::size_t started = 0;
  while (started < slices.size()) {
    const std::size_t w = started;
    if (!startWorker(threads[w], [&decodeSlice, w] { decodeSlice(w); })) {
      break;
    }
    ++started;
  }
  for (std::size_t w = 0; w < started; ++w) {
    threads[w].join();
  }
  // A worker the system would not start leaves its slice and the ones after
  // it to this thread; the result is the same, only slower.
  for (std::size_t w = started; w < slices.size(); ++w) {
    decodeSlice(w);
  }

  AppendMoved(entries, workerEntries);
  if (dataSizes != nullptr) {
    AppendMoved(*dataSizes, workerSizes);
  }
  return started == slices.size();
}

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
    if (!CheckedMultiply(run.clusterCount, clusterLength, runLength)) {
      runLength = ~std::uint64_t{0};
    }
    std::uint64_t volumeOffset = 0;
    const bool volumeOffsetValid =
        CheckedMultiply(static_cast<std::uint64_t>(run.lcn), clusterLength, volumeOffset);

    std::uint64_t runPosition = 0;
    do {
      const std::uint64_t position = SaturatingAdd(streamOffset, runPosition);
      if (position >= dataSize) {
        break;
      }
      if (token.IsCancelled()) {
        return true;
      }
      std::uint64_t wanted = std::min<std::uint64_t>(
          {kMftChunkLength, runLength - runPosition, dataSize - position});
      wanted -= wanted % recordLength;
      if (wanted == 0) {
        break;
      }
      std::uint64_t readOffset = 0;
      if (!volumeOffsetValid || __builtin_add_overflow(volumeOffset, runPosition, &readOffset)) {
        return false;
      }
      std::uint32_t bytesRead = 0;
      if (!volume.ReadAt(readOffset, buffer.get(), static_cast<std::uint32_t>(wanted),
                         bytesRead)) {
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
    streamOffset = SaturatingAdd(streamOffset, runLength);
  }
  return true;
}

}  // namespace ombrix::core
