// Decoding one chunk of MFT records into name entries, on the calling
// thread or split over short-lived workers. Each worker touches only its
// own slice of the buffer and its own output table, and all are joined
// before the chunk's entries are handed out, so no locks are needed; the
// entries come out in record order, exactly as a serial decode gives them.
//
// Starting and finishing are separate steps so that the reader can fill
// the next buffer while the workers decode this one. The buffer given to
// Start belongs to the workers until Finish returns.
#pragma once

#include <cstdint>
#include <exception>
#include <thread>
#include <vector>

#include "base/thread_starter.h"
#include "core/mft/mft_record.h"

namespace ombrix::core {

inline constexpr std::uint64_t kMinRecordsForParallelChunk = 2048;
inline constexpr std::uint64_t kMaxParseWorkers = 64;
inline constexpr std::uint64_t kMaxAutomaticParseWorkers = 8;

// A worker setting of 0 means automatic: the hardware thread count clamped
// to 1..8. Any other setting is capped at 64.
std::uint64_t ParseWorkerLimit(std::uint64_t workerSetting, std::uint64_t hardwareThreads);

// One chunk at a time. Owned by one thread (the scan thread); the worker
// outputs are kept from chunk to chunk so that their memory is allocated
// once per scan, not once per chunk.
class MftChunkDecoder {
 public:
  MftChunkDecoder(std::uint32_t recordLength, std::uint32_t sectorSize, std::uint64_t workerLimit,
                  base::ThreadStarter startWorker = base::StartStdThread);
  // Joins workers of a chunk that was started and never finished (a read
  // failed meanwhile); their output is dropped.
  ~MftChunkDecoder();
  MftChunkDecoder(const MftChunkDecoder&) = delete;
  MftChunkDecoder& operator=(const MftChunkDecoder&) = delete;

  // Starts decoding byteCount / recordLength whole records of buffer, in
  // place. A chunk too small for workers (or a worker limit of 1) is left
  // to Finish, which decodes it on the calling thread.
  void Start(std::uint8_t* buffer, std::uint32_t byteCount, std::uint64_t firstRecordNumber);

  // Waits for the chunk and appends its entries (and data sizes, when
  // dataSizes is given) to the outputs. True when the chunk was decoded on
  // worker threads; false when it was decoded serially (too few records,
  // one worker, or a worker that could not be started) or held no whole
  // record. A worker's exception is thrown here, once every worker has
  // joined.
  bool Finish(MftNameTable& table, std::vector<MftDataSize>* dataSizes);

 private:
  struct Slice {
    std::uint64_t begin = 0;
    std::uint64_t end = 0;
    MftNameTable table;
    std::vector<MftDataSize> dataSizes;
    std::exception_ptr failure;
  };

  void DecodeSlice(Slice& slice);
  void JoinStarted();

  std::uint32_t recordLength_;
  std::uint32_t sectorSize_;
  std::uint64_t workerLimit_;
  base::ThreadStarter startWorker_;

  std::uint8_t* buffer_ = nullptr;
  std::uint64_t recordCount_ = 0;
  std::uint64_t firstRecordNumber_ = 0;
  std::vector<Slice> slices_;  // this chunk's first slices_used_ are in use
  std::size_t slicesUsed_ = 0;
  std::vector<std::thread> threads_;
  std::size_t started_ = 0;
};

// Start and Finish in one call: decodes a chunk and returns whether it was
// decoded on worker threads.
bool ParseRecordChunk(std::uint8_t* buffer, std::uint32_t recordLength, std::uint32_t byteCount,
                      std::uint64_t firstRecordNumber, std::uint32_t sectorSize,
                      std::uint64_t workerLimit, MftNameTable& table,
                      std::vector<MftDataSize>* dataSizes,
                      const base::ThreadStarter& startWorker = base::StartStdThread);

}  // namespace ombrix::core
