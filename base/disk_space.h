// A volume's size, free space and cluster length, as Windows reports them
// for a path on it (disk_space_win.h asks).
#pragma once

#include <cstdint>

namespace ombrix::base {

struct DiskSpace {
  std::uint64_t totalBytes = 0;
  std::uint64_t freeBytes = 0;      // all free bytes, not only those the caller may use
  std::uint64_t clusterLength = 0;  // 0 when it could not be asked
};

}  // namespace ombrix::base
