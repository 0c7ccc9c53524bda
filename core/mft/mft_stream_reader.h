// Reading the whole $MFT data stream in 8 MiB chunks and decoding each
// (mft_chunk_decoder.h). Runs on the scan thread. Reading and decoding
// alternate: a chunk's workers are joined before the next read. The
// cancellation flag is read before each chunk only; a started chunk is
// always decoded to its end.
#pragma once

#include <cstdint>
#include <vector>

#include "core/mft/mft_record.h"
#include "core/mft/mft_scan_stats.h"
#include "core/mft/volume_reader.h"
#include "core/scan_model.h"

namespace ombrix::core {

inline constexpr std::uint32_t kMftChunkLength = 8u * 1024u * 1024u;

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
