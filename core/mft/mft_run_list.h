// Where $MFT itself lies on the volume: record 0 describes the MFT's own
// data stream, whose run list is read before anything else.
#pragma once

#include <cstdint>
#include <vector>

#include "core/mft/mft_record.h"
#include "core/mft/volume_reader.h"

namespace ombrix::core {

// Reads and repairs record 0 at the MFT's first cluster and decodes the run
// list and size of $MFT's data stream. runs and dataSize are appended to
// and set only by a successful decode.
bool ReadMftRunList(IVolumeReader& volume, const NtfsVolumeGeometry& geometry,
                    std::vector<MftDataRun>& runs, std::uint64_t& dataSize);

}  // namespace ombrix::core
