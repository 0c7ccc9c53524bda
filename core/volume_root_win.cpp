#include <windows.h>

#include "core/scan_scheduler.h"
#include "core/wide_string_win.h"

namespace ombrix::core {

bool IsVolumeRoot(const std::u16string& path) {
  wchar_t volumePath[MAX_PATH] = {};
  if (!::GetVolumePathNameW(WideView(path), volumePath, MAX_PATH)) {
    return false;
  }
  return SameVolumePath(path, FromWide(volumePath));
}

}  // namespace ombrix::core
