#pragma once

#include <optional>
#include <string>

#include "base/disk_space.h"

namespace ombrix::base {

// GetDiskFreeSpaceExW for the sizes, GetDiskFreeSpaceW for the cluster
// length, of the volume holding path. Nothing when the sizes cannot be
// asked (a drive without a medium, a share that does not answer).
std::optional<DiskSpace> QueryDiskSpace(const std::u16string& path);

}  // namespace ombrix::base
