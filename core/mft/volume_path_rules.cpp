#include "core/mft/volume_path_rules.h"

#include "core/scan_paths.h"

namespace ombrix::core {

VolumeOpenResult ClassifyVolumePath(const std::optional<std::u16string>& volumePath, bool isNtfs) {
  if (!volumePath || !isNtfs) {
    return VolumeOpenResult::NotAvailable;
  }
  const std::u16string& path = *volumePath;
  const bool driveForm = path.size() >= 3 && path[1] == u':' && IsPathSeparator(path[2]);
  if (!driveForm) {
    return VolumeOpenResult::OpenFailed;
  }
  const bool mountedInFolder = path.size() > 3;
  return mountedInFolder ? VolumeOpenResult::NotAvailable : VolumeOpenResult::Opened;
}

}  // namespace ombrix::core
