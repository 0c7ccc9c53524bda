#include "base/win/disk_space_win.h"

#include <windows.h>

#include "base/win/wide_string_win.h"

namespace ombrix::base {

std::optional<DiskSpace> QueryDiskSpace(const std::u16string& path) {
  ULARGE_INTEGER total{};
  ULARGE_INTEGER totalFree{};
  if (!::GetDiskFreeSpaceExW(WideView(path), nullptr, &total, &totalFree)) {
    return std::nullopt;
  }
  DiskSpace space;
  space.totalBytes = total.QuadPart;
  space.freeBytes = totalFree.QuadPart;
  // GetDiskFreeSpaceW wants the volume's root, not any folder on it.
  DWORD sectorsPerCluster = 0;
  DWORD bytesPerSector = 0;
  DWORD freeClusters = 0;
  DWORD clusters = 0;
  std::u16string root = path;
  if (root.size() >= 2 && root[1] == u':') root = root.substr(0, 2) + u"\\";
  if (::GetDiskFreeSpaceW(WideView(root), &sectorsPerCluster, &bytesPerSector, &freeClusters,
                          &clusters)) {
    space.clusterLength = std::uint64_t{sectorsPerCluster} * bytesPerSector;
  }
  return space;
}

}  // namespace ombrix::base
