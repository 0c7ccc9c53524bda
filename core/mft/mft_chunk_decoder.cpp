#include "core/mft/mft_chunk_decoder.h"

#include <algorithm>
#include <utility>

namespace ombrix::core {

std::uint64_t ParseWorkerLimit(std::uint64_t workerSetting, std::uint64_t hardwareThreads) {
  if (workerSetting != 0) {
    return std::min(workerSetting, kMaxParseWorkers);
  }
  return std::clamp<std::uint64_t>(hardwareThreads, 1, kMaxAutomaticParseWorkers);
}

MftChunkDecoder::MftChunkDecoder(std::uint32_t recordLength, std::uint32_t sectorSize,
                                 std::uint64_t workerLimit, base::ThreadStarter startWorker)
    : recordLength_(recordLength),
      sectorSize_(sectorSize),
      workerLimit_(workerLimit),
      startWorker_(std::move(startWorker)) {}

MftChunkDecoder::~MftChunkDecoder() { StopWorkers(); }

void MftChunkDecoder::DecodeRecords(const Job& job, std::uint64_t begin, std::uint64_t end,
                                    MftNameTable& table,
                                    std::vector<MftRecordData>* dataSizes) const {
  // A record's header, attributes and sector tails lie in six or seven
  // cache lines out of sixteen, too scattered for the processor to foresee:
  // asking for a record a few ahead took a fifth off the decoding.
  constexpr std::uint64_t kRecordsAhead = 4;
  constexpr std::uint32_t kAttributeBytes = 512;
  for (std::uint64_t i = begin; i < end; ++i) {
    if (i + kRecordsAhead < end) {
      const std::uint8_t* ahead = job.buffer + (i + kRecordsAhead) * recordLength_;
      for (std::uint32_t line = 0; line < kAttributeBytes && line < recordLength_; line += 64) {
        __builtin_prefetch(ahead + line);
      }
      for (std::uint32_t tail = 512; tail <= recordLength_; tail += 512) {
        __builtin_prefetch(ahead + tail - 2);
      }
    }
    ParseFileRecord(job.buffer + i * recordLength_, recordLength_, job.firstRecordNumber + i,
                    sectorSize_, table, dataSizes);
  }
}

void MftChunkDecoder::DecodeSlice(const Job& job, Slice& slice) {
  slice.table.entries.reserve((slice.end - slice.begin) / 2);
  // The names go to the result as they are (Collect adopts the arena), so
  // they start in one block of about what a slice's names take.
  slice.table.names.ReserveBlock((slice.end - slice.begin) * kNameBytesPerRecordGuess);
  slice.dataSizes.reserve(slice.end - slice.begin);
  DecodeRecords(job, slice.begin, slice.end, slice.table, &slice.dataSizes);
}

void MftChunkDecoder::StartWorkers(std::size_t wanted) {
  if (threads_.size() < wanted) threads_.reserve(wanted);
  while (!startFailed_ && threads_.size() < wanted) {
    const std::size_t worker = threads_.size();
    std::thread thread;
    if (!startWorker_([this, worker] { RunWorker(worker); }, thread)) {
      startFailed_ = true;
      break;
    }
    threads_.push_back(std::move(thread));
  }
}

void MftChunkDecoder::RunWorker(std::size_t worker) {
  std::uint64_t chunksSeen = 0;
  while (true) {
    Job job;
    {
      std::unique_lock<std::mutex> lock(mutex_);
      chunkReady_.wait(lock, [&] { return stopping_ || chunkNumber_ != chunksSeen; });
      if (chunkNumber_ == chunksSeen) return;  // stopping, and nothing left to decode
      chunksSeen = chunkNumber_;
      job = handedOver_;
    }
    if (worker >= job.slicesUsed) continue;
    // A worker that fails (out of memory, most likely) must not end the
    // process by letting its exception leave the thread: it is kept and
    // thrown again on the scan thread by Wait.
    Slice& slice = sliceSets_[job.set][worker];
    try {
      DecodeSlice(job, slice);
    } catch (...) {
      slice.failure = std::current_exception();
    }
    {
      const std::lock_guard<std::mutex> lock(mutex_);
      if (--slicesPending_ == 0) slicesDone_.notify_one();
    }
  }
}

void MftChunkDecoder::WaitForSlices() {
  std::unique_lock<std::mutex> lock(mutex_);
  slicesDone_.wait(lock, [&] { return slicesPending_ == 0; });
}

void MftChunkDecoder::StopWorkers() {
  {
    const std::lock_guard<std::mutex> lock(mutex_);
    stopping_ = true;
  }
  chunkReady_.notify_all();
  for (std::thread& thread : threads_) {
    thread.join();
  }
  threads_.clear();
}

void MftChunkDecoder::Start(std::uint8_t* buffer, std::uint32_t byteCount,
                            std::uint64_t firstRecordNumber) {
  if (running_.active) {
    // Started and never waited for: dropped, once its slices are done with
    // their buffer.
    WaitForSlices();
    running_.active = false;
  }
  Job job;
  job.active = true;
  job.buffer = buffer;
  job.recordCount = recordLength_ == 0 ? 0 : byteCount / recordLength_;
  job.firstRecordNumber = firstRecordNumber;
  job.set = ready_.active ? 1 - ready_.set : 0;
  const std::uint64_t workerCount = std::min({workerLimit_, job.recordCount, kMaxParseWorkers});
  if (workerCount <= 1 || job.recordCount < kMinRecordsForParallelChunk) {
    running_ = job;
    return;
  }

  const std::uint64_t sliceLength = (job.recordCount + workerCount - 1) / workerCount;
  while (job.slicesUsed < workerCount && job.slicesUsed * sliceLength < job.recordCount) {
    ++job.slicesUsed;
  }
  std::vector<Slice>& slices = sliceSets_[job.set];
  if (slices.size() < job.slicesUsed) slices.resize(job.slicesUsed);
  for (std::size_t w = 0; w < job.slicesUsed; ++w) {
    Slice& slice = slices[w];
    slice.begin = w * sliceLength;
    slice.end = std::min(job.recordCount, (w + 1) * sliceLength);
    slice.table.Clear();
    slice.dataSizes.clear();
    slice.failure = nullptr;
  }
  StartWorkers(job.slicesUsed);
  running_ = job;
  {
    const std::lock_guard<std::mutex> lock(mutex_);
    handedOver_ = job;
    slicesPending_ = std::min(job.slicesUsed, threads_.size());
    ++chunkNumber_;
  }
  chunkReady_.notify_all();
}

bool MftChunkDecoder::Wait() {
  if (!running_.active) {
    return false;
  }
  const Job job = running_;
  running_.active = false;
  ready_ = job;
  if (job.slicesUsed == 0) {
    return false;
  }
  WaitForSlices();
  const std::size_t withWorker = std::min(job.slicesUsed, threads_.size());
  std::vector<Slice>& slices = sliceSets_[job.set];
  for (std::size_t w = 0; w < withWorker; ++w) {
    if (slices[w].failure) {
      ready_.active = false;
      std::rethrow_exception(slices[w].failure);
    }
  }
  // A worker the system would not start leaves its slice and the ones after
  // it to this thread; the result is the same, only slower.
  for (std::size_t w = withWorker; w < job.slicesUsed; ++w) {
    DecodeSlice(job, slices[w]);
  }
  return withWorker == job.slicesUsed;
}

void MftChunkDecoder::Collect(MftNameTable& table, std::vector<MftRecordData>* dataSizes) {
  if (!ready_.active) {
    return;
  }
  const Job job = ready_;
  ready_.active = false;
  if (job.slicesUsed == 0) {
    DecodeRecords(job, 0, job.recordCount, table, dataSizes);
    return;
  }

  std::vector<Slice>& slices = sliceSets_[job.set];
  std::size_t entryCount = table.entries.size();
  std::size_t sizeCount = dataSizes != nullptr ? dataSizes->size() : 0;
  for (std::size_t w = 0; w < job.slicesUsed; ++w) {
    entryCount += slices[w].table.entries.size();
    sizeCount += slices[w].dataSizes.size();
  }
  // Grow once per chunk, by at least half again, so that a table filled
  // chunk by chunk is copied a few times per scan, not once per chunk.
  if (entryCount > table.entries.capacity()) {
    table.entries.reserve(std::max(entryCount, table.entries.capacity() * 3 / 2));
  }
  if (dataSizes != nullptr && sizeCount > dataSizes->capacity()) {
    dataSizes->reserve(std::max(sizeCount, dataSizes->capacity() * 3 / 2));
  }
  for (std::size_t w = 0; w < job.slicesUsed; ++w) {
    table.Adopt(std::move(slices[w].table));
    if (dataSizes != nullptr) {
      dataSizes->insert(dataSizes->end(), slices[w].dataSizes.begin(), slices[w].dataSizes.end());
    }
    slices[w].dataSizes.clear();
  }
}

bool MftChunkDecoder::Finish(MftNameTable& table, std::vector<MftRecordData>* dataSizes) {
  const bool parallel = Wait();
  Collect(table, dataSizes);
  return parallel;
}

bool ParseRecordChunk(std::uint8_t* buffer, std::uint32_t recordLength, std::uint32_t byteCount,
                      std::uint64_t firstRecordNumber, std::uint32_t sectorSize,
                      std::uint64_t workerLimit, MftNameTable& table,
                      std::vector<MftRecordData>* dataSizes, const base::ThreadStarter& startWorker) {
  MftChunkDecoder decoder(recordLength, sectorSize, workerLimit, startWorker);
  decoder.Start(buffer, byteCount, firstRecordNumber);
  return decoder.Finish(table, dataSizes);
}

}  // namespace ombrix::core
