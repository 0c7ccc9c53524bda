// Decoding one chunk of MFT records into name entries, on the calling
// thread or split over short-lived workers. Each worker touches only its
// own slice of the buffer and its own output vectors, and all are joined
// before the call returns, so no locks are needed; the entries come out in
// record order, exactly as a serial decode gives them.
#pragma once

#include <cstdint>
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

// Decodes byteCount / recordLength whole records of buffer, in place.
// True when the chunk was decoded on worker threads; false when it was
// decoded serially (too few records, one worker, or a worker that could
// not be started) or held no whole record.
bool ParseRecordChunk(std::uint8_t* buffer, std::uint32_t recordLength, std::uint32_t byteCount,
                      std::uint64_t firstRecordNumber, std::uint32_t sectorSize,
                      std::uint64_t workerLimit, std::vector<MftNameEntry>& entries,
                      std::vector<MftDataSize>* dataSizes,
                      const base::ThreadStarter& startWorker = base::StartStdThread);

}  // namespace ombrix::core
