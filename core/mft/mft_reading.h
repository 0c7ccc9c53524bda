// Reading a volume's master file table: the $MFT run list from record 0,
// then the whole data stream in 8 MiB chunks, each decoded into name entries
// either on the calling thread or on short-lived workers.
//
// Runs on the scan thread. Reading and decoding alternate: the workers of a
// chunk are joined before the next read, and each worker touches only its
// own slice of the read buffer and its own output vectors, so no locks are
// needed. The cancellation flag is read before each chunk only; a started
// chunk is always decoded to its end.
#pragma once

#include <cstdint>
#include <functional>
#include <thread>
#include <vector>

#include "core/mft/mft_record.h"
#include "core/mft/volume_reader.h"
#include "core/scan_model.h"

namespace ombrix::core {

inline constexpr std::uint32_t kMftChunkLength = 8u * 1024u * 1024u;
inline constexpr std::uint64_t kMinRecordsForParallelChunk = 2048;
inline constexpr std::uint64_t kMaxParseWorkers = 64;
inline constexpr std::uint64_t kMaxAutomaticParseWorkers = 8;

// Counters of one scan, in the order the trace prints them (apart from
// parseWorkerLimit, which the trace puts last).
struct MftScanStats {
  std::uint64_t chunks = 0;
  std::uint64_t bytes = 0;    // whole records handed to the decoder
  std::uint64_t records = 0;  // record slots handed to the decoder, in use or not
  std::uint64_t nodes = 0;
  std::uint64_t parallelChunks = 0;
  std::uint64_t serialChunks = 0;
  std::uint64_t runs = 0;
  std::uint64_t mftDataSize = 0;
  std::uint64_t parseWorkerLimit = 1;
  std::int64_t queryVolumeMs = 0;
  std::int64_t resolveRootMs = 0;
  std::int64_t readRunsMs = 0;
  std::int64_t enumerateMftMs = 0;
  std::int64_t buildChildrenMs = 0;
  std::int64_t populateTreeMs = 0;
  std::int64_t finalizeMs = 0;
};

// A worker setting of 0 means automatic: the hardware thread count clamped
// to 1..8. Any other setting is capped at 64.
std::uint64_t ParseWorkerLimit(std::uint64_t workerSetting, std::uint64_t hardwareThreads);

// Reads and repairs record 0 at the MFT's first cluster and decodes the run
// list and size of $MFT's data stream. runs and dataSize are appended to
// and set only by the decoder.
bool ReadMftRunList(IVolumeReader& volume, const NtfsVolumeGeometry& geometry,
                    std::vector<MftDataRun>& runs, std::uint64_t& dataSize);

// Starts one decoding worker. Tests replace it to see how a chunk fares
// when the system refuses a thread.
using WorkerStarter = std::function<bool(std::thread& thread, std::function<void()> work)>;
bool StartWorkerThread(std::thread& thread, std::function<void()> work);

// Decodes byteCount / recordLength whole records of buffer, in place.
// True when the chunk was decoded on worker threads; false when it was
// decoded serially (too few records, one worker, or a worker that could
// not be started) or held no whole record. Either way the entries and data
// sizes come out in record order, exactly as a serial decode gives them.
bool ParseRecordChunk(std::uint8_t* buffer, std::uint32_t recordLength, std::uint32_t byteCount,
                      std::uint64_t firstRecordNumber, std::uint32_t sectorSize,
                      std::uint64_t workerLimit, std::vector<MftNameEntry>& entries,
                      std::vector<MftDataSize>* dataSizes,
                      const WorkerStarter& startWorker = StartWorkerThread);

// Reads the whole data stream described by runs, chunk by chunk. Record
// numbers follow the position in the data stream, so a run cut short by a
// short read does not shift the numbers of later runs. True on success and
// also when stopped by cancellation; false when a positioning or read call
// fails.
bool EnumerateMftRecords(IVolumeReader& volume, const NtfsVolumeGeometry& geometry,
                         const std::vector<MftDataRun>& runs, std::uint64_t dataSize,
                         const ScanCancellationToken& token, std::vector<MftNameEntry>& entries,
                         std::vector<MftDataSize>* dataSizes, MftScanStats& stats,
                         std::uint64_t workerSetting);

}  // namespace ombrix::core
