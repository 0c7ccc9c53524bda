#include "core/volume_root_win.h"

#include "base/win/volume_path_win.h"
#include "core/scan_scheduler.h"

namespace ombrix::core {

bool IsVolumeRoot(const std::u16string& path) {
  const std::optional<std::u16string> volumePath = base::QueryVolumePathName(path);
  return volumePath && SameVolumePath(path, *volumePath);
}

}  // namespace ombrix::core
