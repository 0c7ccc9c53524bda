// Reading the whole $MFT data stream in large chunks and decoding each
// (mft_chunk_decoder.h). Runs on the scan thread, with two buffers: while
// the workers decode one chunk, this thread reads the next into the other
// buffer, so the time of a scan is the longer of reading and decoding
// rather than their sum. The cancellation flag is read before each read
// only; a started chunk is always decoded to its end.
#pragma once

#include <cstdint>
#include <vector>

#include "core/mft/mft_record.h"
#include "core/mft/mft_scan_stats.h"
#include "core/mft/volume_reader.h"
#include "core/scan_model.h"

namespace ombrix::core {

// Measured on a million-record $MFT read from the page cache (bench/
// bench_mft_engine.sh): reading and decoding took 0.43 s with 2 MiB chunks,
// 0.50 s with 4 MiB, 0.69 s with 8 MiB and 0.93 s with 32 MiB, as a chunk
// just read is decoded while it is still in the processor's cache. 4 MiB
// keeps reads large enough for a real device's throughput at a small cost.
inline constexpr std::uint32_t kMftChunkLength = 4u * 1024u * 1024u;

// Reads the whole data stream described by runs, chunk by chunk. Record
// numbers follow the position in the data stream, so a run cut short by a
// short read does not shift the numbers of later runs. True on success and
// also when stopped by cancellation; false when a positioning or read call
// fails. chunkLength is there for the benchmark that chose kMftChunkLength.
bool EnumerateMftRecords(IVolumeReader& volume, const NtfsVolumeGeometry& geometry,
                         const std::vector<MftDataRun>& runs, std::uint64_t dataSize,
                         const ScanCancellationToken& token, MftNameTable& table,
                         std::vector<MftRecordData>* dataSizes, MftScanStats& stats,
                         std::uint64_t workerSetting, std::uint32_t chunkLength = kMftChunkLength);

}  // namespace ombrix::core
