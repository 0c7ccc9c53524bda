// How many clusters of an NTFS volume are in use, from its $Bitmap file
// (record 6): one bit a cluster. An image has no volume data query to ask,
// and this is what the file system itself counts.
#pragma once

#include <cstdint>
#include <optional>
#include <vector>

#include "core/mft/mft_record.h"
#include "core/mft/volume_reader.h"

namespace ombrix::core {

inline constexpr std::uint64_t kBitmapRecord = 6;

// The clusters in use. mftRuns and mftLength locate record 6 in $MFT's
// data stream. Nothing when the record or the bitmap cannot be read or
// claims more than the volume's clusters need.
std::optional<std::uint64_t> CountUsedClusters(IVolumeReader& volume,
                                               const NtfsVolumeGeometry& geometry,
                                               const std::vector<MftDataRun>& mftRuns);

}  // namespace ombrix::core
