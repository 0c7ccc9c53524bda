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

MftChunkDecoder::~MftChunkDecoder() { JoinStarted(); }

void MftChunkDecoder::DecodeSlice(Slice& slice) {
  for (std::uint64_t i = slice.begin; i < slice.end; ++i) {
    ParseFileRecord(buffer_ + i * recordLength_, recordLength_, firstRecordNumber_ + i, sectorSize_,
                    slice.table, &slice.dataSizes);
  }
}

void MftChunkDecoder::JoinStarted() {
  for (std::size_t w = 0; w < started_; ++w) {
    threads_[w].join();
  }
  started_ = 0;
}

void MftChunkDecoder::Start(std::uint8_t* buffer, std::uint32_t byteCount,
                            std::uint64_t firstRecordNumber) {
  JoinStarted();
  buffer_ = buffer;
  firstRecordNumber_ = firstRecordNumber;
  recordCount_ = recordLength_ == 0 ? 0 : byteCount / recordLength_;
  slicesUsed_ = 0;
  const std::uint64_t workerCount = std::min({workerLimit_, recordCount_, kMaxParseWorkers});
  if (workerCount <= 1 || recordCount_ < kMinRecordsForParallelChunk) {
    return;
  }

  const std::uint64_t sliceLength = (recordCount_ + workerCount - 1) / workerCount;
  while (slicesUsed_ < workerCount && slicesUsed_ * sliceLength < recordCount_) {
    ++slicesUsed_;
  }
  if (slices_.size() < slicesUsed_) slices_.resize(slicesUsed_);
  if (threads_.size() < slicesUsed_) threads_.resize(slicesUsed_);
  for (std::size_t w = 0; w < slicesUsed_; ++w) {
    Slice& slice = slices_[w];
    slice.begin = w * sliceLength;
    slice.end = std::min(recordCount_, (w + 1) * sliceLength);
    slice.table.Clear();
    slice.dataSizes.clear();
    slice.failure = nullptr;
  }
  // A worker that fails (out of memory, most likely) must not end the
  // process by letting its exception leave the thread: it is kept and
  // thrown again on the scan thread by Finish.
  while (started_ < slicesUsed_) {
    Slice* slice = &slices_[started_];
    const auto work = [this, slice] {
      try {
        const std::uint64_t records = slice->end - slice->begin;
        slice->table.entries.reserve(records / 2);
        slice->dataSizes.reserve(records);
        DecodeSlice(*slice);
      } catch (...) {
        slice->failure = std::current_exception();
      }
    };
    if (!startWorker_(work, threads_[started_])) {
      break;
    }
    ++started_;
  }
}

bool MftChunkDecoder::Finish(MftNameTable& table, std::vector<MftDataSize>* dataSizes) {
  if (slicesUsed_ == 0) {
    for (std::uint64_t i = 0; i < recordCount_; ++i) {
      ParseFileRecord(buffer_ + i * recordLength_, recordLength_, firstRecordNumber_ + i,
                      sectorSize_, table, dataSizes);
    }
    recordCount_ = 0;
    return false;
  }
  const std::size_t started = started_;
  const std::size_t used = slicesUsed_;
  JoinStarted();
  for (std::size_t w = 0; w < started; ++w) {
    if (slices_[w].failure) std::rethrow_exception(slices_[w].failure);
  }
  // A worker the system would not start leaves its slice and the ones after
  // it to this thread; the result is the same, only slower.
  for (std::size_t w = started; w < slicesUsed_; ++w) {
    DecodeSlice(slices_[w]);
  }

  std::size_t entryCount = table.entries.size();
  std::size_t nameUnits = table.names.size();
  std::size_t sizeCount = dataSizes != nullptr ? dataSizes->size() : 0;
  for (std::size_t w = 0; w < slicesUsed_; ++w) {
    entryCount += slices_[w].table.entries.size();
    nameUnits += slices_[w].table.names.size();
    sizeCount += slices_[w].dataSizes.size();
  }
  // Grow once per chunk, by at least half again, so that a table filled
  // chunk by chunk is copied a few times per scan, not once per chunk.
  if (entryCount > table.entries.capacity()) {
    table.entries.reserve(std::max(entryCount, table.entries.capacity() * 3 / 2));
  }
  if (nameUnits > table.names.capacity()) {
    table.names.reserve(std::max(nameUnits, table.names.capacity() * 3 / 2));
  }
  if (dataSizes != nullptr && sizeCount > dataSizes->capacity()) {
    dataSizes->reserve(std::max(sizeCount, dataSizes->capacity() * 3 / 2));
  }
  for (std::size_t w = 0; w < slicesUsed_; ++w) {
    table.AppendAndClear(slices_[w].table);
    if (dataSizes != nullptr) {
      dataSizes->insert(dataSizes->end(), slices_[w].dataSizes.begin(), slices_[w].dataSizes.end());
    }
    slices_[w].dataSizes.clear();
  }
  slicesUsed_ = 0;
  recordCount_ = 0;
  return started == used;
}

bool ParseRecordChunk(std::uint8_t* buffer, std::uint32_t recordLength, std::uint32_t byteCount,
                      std::uint64_t firstRecordNumber, std::uint32_t sectorSize,
                      std::uint64_t workerLimit, MftNameTable& table,
                      std::vector<MftDataSize>* dataSizes, const base::ThreadStarter& startWorker) {
  MftChunkDecoder decoder(recordLength, sectorSize, workerLimit, startWorker);
  decoder.Start(buffer, byteCount, firstRecordNumber);
  return decoder.Finish(table, dataSizes);
}

}  // namespace ombrix::core
