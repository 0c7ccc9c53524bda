// Decoding chunks of MFT records into name entries, on the calling thread
// or split over workers. Each worker touches only its own slice of the
// buffer and its own output table, and a chunk's entries are handed out
// only once every slice is done; they come out in record order, exactly as
// a serial decode gives them.
//
// The workers are started at the first chunk that needs them and live until
// the decoder is destroyed, which joins them: starting two threads per
// chunk cost more than a third of the decoding on a loaded machine. One
// mutex guards the hand-over of a chunk and the count of slices still
// being decoded; the slices themselves are decoded outside it.
//
// A chunk goes through three steps, so that the scan thread can read the
// next chunk while the workers decode this one, and copy this one's entries
// into the table while the workers decode the next:
//   Start(chunk k)   hands it to the workers
//   Wait()           until they are done with it; its buffer is free again
//   Collect(table)   appends its entries; chunk k + 1 may be started before
// A chunk too small for workers, or a worker limit of 1, is decoded by
// Collect on the calling thread, straight into the table.
#pragma once

#include <array>
#include <condition_variable>
#include <cstdint>
#include <exception>
#include <mutex>
#include <thread>
#include <vector>

#include "base/thread_starter.h"
#include "core/mft/mft_record.h"

namespace ombrix::core {

// A full chunk of 4096-byte records (1024) still goes to the workers; with
// the workers already running, handing over a chunk costs microseconds.
inline constexpr std::uint64_t kMinRecordsForParallelChunk = 1024;
// Name bytes a record holds on a typical volume (about one name of 40
// units, stored one byte a unit): the first block of a slice's names.
inline constexpr std::uint64_t kNameBytesPerRecordGuess = 48;
inline constexpr std::uint64_t kMaxParseWorkers = 64;
inline constexpr std::uint64_t kMaxAutomaticParseWorkers = 8;

// A worker setting of 0 means automatic: the hardware thread count clamped
// to 1..8. Any other setting is capped at 64.
std::uint64_t ParseWorkerLimit(std::uint64_t workerSetting, std::uint64_t hardwareThreads);

// Owned by one thread (the scan thread). The worker outputs are kept from
// chunk to chunk (two sets: one being filled, one being collected) so that
// their entry vectors are allocated once per scan, not once per chunk;
// their names are handed on whole (the arena blocks move to the table).
class MftChunkDecoder {
 public:
  MftChunkDecoder(std::uint32_t recordLength, std::uint32_t sectorSize, std::uint64_t workerLimit,
                  base::ThreadStarter startWorker = base::StartStdThread);
  // Stops and joins the workers; a chunk that was started and never waited
  // for (a read failed meanwhile) is decoded to its end first, and dropped.
  ~MftChunkDecoder();
  MftChunkDecoder(const MftChunkDecoder&) = delete;
  MftChunkDecoder& operator=(const MftChunkDecoder&) = delete;

  // Starts decoding byteCount / recordLength whole records of buffer, in
  // place. The buffer belongs to the decoder until Wait returns (or, for a
  // chunk decoded serially, until Collect returns).
  void Start(std::uint8_t* buffer, std::uint32_t byteCount, std::uint64_t firstRecordNumber);

  // Waits for the started chunk. True when it was decoded on worker
  // threads; false when it is left to Collect (too few records, one worker)
  // or held no whole record, or when a worker could not be started (its
  // slice is then decoded here). A worker's exception is thrown here.
  bool Wait();

  // Appends the entries (and data sizes, when dataSizes is given) of the
  // chunk last waited for; nothing when there is none.
  void Collect(MftNameTable& table, std::vector<MftRecordData>* dataSizes);

  // Wait and Collect.
  bool Finish(MftNameTable& table, std::vector<MftRecordData>* dataSizes);

 private:
  struct Slice {
    std::uint64_t begin = 0;
    std::uint64_t end = 0;
    MftNameTable table;
    std::vector<MftRecordData> dataSizes;
    std::exception_ptr failure;
  };

  struct Job {
    bool active = false;
    std::uint8_t* buffer = nullptr;
    std::uint64_t recordCount = 0;
    std::uint64_t firstRecordNumber = 0;
    std::size_t slicesUsed = 0;  // 0: decoded serially by Collect
    std::size_t set = 0;         // the slice set that receives its output
  };

  void DecodeRecords(const Job& job, std::uint64_t begin, std::uint64_t end, MftNameTable& table,
                     std::vector<MftRecordData>* dataSizes) const;
  void DecodeSlice(const Job& job, Slice& slice);
  void StartWorkers(std::size_t wanted);
  void RunWorker(std::size_t worker);
  void WaitForSlices();
  void StopWorkers();

  std::uint32_t recordLength_;
  std::uint32_t sectorSize_;
  std::uint64_t workerLimit_;
  base::ThreadStarter startWorker_;

  Job running_;  // started, not yet waited for
  Job ready_;    // waited for, not yet collected
  std::array<std::vector<Slice>, 2> sliceSets_;

  std::vector<std::thread> threads_;  // worker w decodes slice w
  bool startFailed_ = false;          // no further start is tried
  std::mutex mutex_;
  std::condition_variable chunkReady_;
  std::condition_variable slicesDone_;
  // Guarded by mutex_: the job the workers take, numbered so that each
  // takes it once, and how many of its slices are not done yet.
  Job handedOver_;
  std::uint64_t chunkNumber_ = 0;
  std::size_t slicesPending_ = 0;
  bool stopping_ = false;
};

// Start and Finish in one call: decodes a chunk and returns whether it was
// decoded on worker threads.
bool ParseRecordChunk(std::uint8_t* buffer, std::uint32_t recordLength, std::uint32_t byteCount,
                      std::uint64_t firstRecordNumber, std::uint32_t sectorSize,
                      std::uint64_t workerLimit, MftNameTable& table,
                      std::vector<MftRecordData>* dataSizes,
                      const base::ThreadStarter& startWorker = base::StartStdThread);

}  // namespace ombrix::core
