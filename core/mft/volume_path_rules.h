// Which volumes the MFT engine reads, decided from the volume path Windows
// reports for the scan path. Kept apart from the Win32 calls so that every
// rule is tested natively.
#pragma once

#include <optional>
#include <string>

#include "core/mft/volume_reader.h"

namespace ombrix::core {

// Opened means "go ahead and open the drive letter's device". A volume
// mounted in a folder of another drive (C:\mnt\data\) is refused: the device
// named by the path's first letter would be the drive holding the mount
// folder, not the mounted volume, while the root's file index comes from
// the mounted volume, so the engine would read the wrong MFT. Refusing lets
// the scheduler fall back to a directory engine. A volume without a drive
// letter (\\?\Volume{...}\) has no device path this engine can build.
VolumeOpenResult ClassifyVolumePath(const std::optional<std::u16string>& volumePath, bool isNtfs);

}  // namespace ombrix::core
