#include "core/mft/mft_run_list.h"

#include <algorithm>

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

std::optional<std::uint64_t> ReadableMftLength(const std::vector<MftDataRun>& runs,
                                               std::uint64_t dataSize,
                                               const NtfsVolumeGeometry& geometry) {
  std::uint64_t covered = 0;
  for (const MftDataRun& run : runs) {
    std::uint64_t end = 0;
    std::uint64_t length = 0;
    if (run.lcn < 0 ||
        !base::CheckedAdd(static_cast<std::uint64_t>(run.lcn), run.clusterCount, end) ||
        end > geometry.totalClusters ||
        !base::CheckedMultiply(run.clusterCount, geometry.bytesPerCluster, length)) {
      return std::nullopt;
    }
    covered = base::SaturatingAdd(covered, length);
  }
  return std::min(dataSize, covered);
}

}  // namespace ombrix::core
