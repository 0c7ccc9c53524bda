#pragma once

#include <optional>
#include <string>

namespace ombrix::base {

// GetVolumePathNameW: the mount point of the volume that holds path, such
// as C:\ or C:\mnt\data\ for a volume mounted in a folder. Nothing when
// the call fails or answers an empty path.
std::optional<std::u16string> QueryVolumePathName(const std::u16string& path);

}  // namespace ombrix::base
