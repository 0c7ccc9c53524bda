#include "core/mft/mft_run_list.h"

#include "base/checked_math.h"

namespace ombrix::core {

bool ReadMftRunList(IVolumeReader& volume, const NtfsVolumeGeometry& geometry,
                    std::vector<MftDataRun>& runs, std::uint64_t& dataSize) {
  const std::uint32_t recordLength = geometry.bytesPerFileRecordSegment;
  if (recordLength == 0 || geometry.mftStartLcn < 0) {
    return false;
  }
  std::uint64_t offset = 0;
  if (!base::CheckedMultiply(geometry.bytesPerCluster,
                             static_cast<std::uint64_t>(geometry.mftStartLcn), offset)) {
    return false;
  }
  std::vector<std::uint8_t> record(recordLength, 0);
  std::uint32_t bytesRead = 0;
  if (!volume.ReadAt(offset, record.data(), recordLength, bytesRead) || bytesRead < recordLength) {
    return false;
  }
  if (!ApplyUpdateSequence(record.data(), record.size(), geometry.bytesPerSector)) {
    return false;
  }
  return DecodeMftDataRuns(record, runs, dataSize);
}

}  // namespace ombrix::core
