#include "core/mft/mft_chunk_decoder.h"

#include <algorithm>
#include <exception>
#include <iterator>
#include <thread>
#include <utility>

#include "base/thread_starter.h"

namespace ombrix::core {

namespace {

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

bool ParseRecordChunk(std::uint8_t* buffer, std::uint32_t recordLength, std::uint32_t byteCount,
                      std::uint64_t firstRecordNumber, std::uint32_t sectorSize,
                      std::uint64_t workerLimit, std::vector<MftNameEntry>& entries,
                      std::vector<MftDataSize>* dataSizes, const base::ThreadStarter& startWorker) {
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

  // A worker that fails (out of memory, most likely) must not end the
  // process by letting its exception leave the thread: it is kept and
  // thrown again on this thread once every worker has joined.
  std::vector<std::exception_ptr> failures(slices.size());
  std::vector<std::thread> threads(slices.size());
  std::size_t started = 0;
  while (started < slices.size()) {
    const std::size_t w = started;
    const auto work = [&decodeSlice, &failures, w] {
      try {
        decodeSlice(w);
      } catch (...) {
        failures[w] = std::current_exception();
      }
    };
    if (!startWorker(work, threads[w])) {
      break;
    }
    ++started;
  }
  for (std::size_t w = 0; w < started; ++w) {
    threads[w].join();
  }
  for (const std::exception_ptr& failure : failures) {
    if (failure) std::rethrow_exception(failure);
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

}  // namespace ombrix::core
