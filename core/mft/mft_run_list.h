// Where $MFT itself lies on the volume: record 0 describes the MFT's own
// data stream, whose run list is read before anything else.
#pragma once

#include <cstdint>
#include <optional>
#include <vector>

#include "core/mft/mft_record.h"
#include "core/mft/volume_reader.h"

namespace ombrix::core {

// Reads and repairs record 0 at the MFT's first cluster and decodes the run
// list and size of $MFT's data stream. runs and dataSize are appended to
// and set only by a successful decode.
bool ReadMftRunList(IVolumeReader& volume, const NtfsVolumeGeometry& geometry,
                    std::vector<MftDataRun>& runs, std::uint64_t& dataSize);

// The bytes of $MFT's data stream that can really be read: the data size
// record 0 claims, cut to what its runs cover. Record 0 of a fragmented
// $MFT may describe only the first extents, so a claim beyond the runs is
// not an error; but a run outside the volume is, and gives nothing: its
// numbers come from damaged bytes and must not size any allocation.
std::optional<std::uint64_t> ReadableMftLength(const std::vector<MftDataRun>& runs,
                                               std::uint64_t dataSize,
                                               const NtfsVolumeGeometry& geometry);

}  // namespace ombrix::core
