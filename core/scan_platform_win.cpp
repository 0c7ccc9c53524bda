#include "core/scan_platform_win.h"

#include <memory>

#include "base/win/disk_space_win.h"
#include "core/mft/ntfs_mft_engine.h"
#include "core/mft/volume_reader_win.h"
#include "core/ntquery/nt_query_engine.h"
#include "core/process_elevation_win.h"
#include "core/volume_root_win.h"
#include "core/walk/directory_finder_win.h"
#include "core/walk/directory_walk_scan_engine.h"

namespace ombrix::core {

ScanPlatform SystemScanPlatform() {
  ScanPlatform platform;
  platform.engines.makeDirectoryWalk = [] {
    return std::make_unique<DirectoryWalkScanEngine>(SystemDirectoryFinder());
  };
  platform.engines.makeNtQueryDirectory = [](std::uint64_t threadsPerDrive) {
    return std::make_unique<NtQueryDirectoryScanEngine>(threadsPerDrive);
  };
  platform.engines.makeNtfsMft = [](std::uint64_t threadsPerDrive) {
    return std::make_unique<NtfsMftScanEngine>(threadsPerDrive);
  };
  platform.isVolumeRoot = IsVolumeRoot;
  platform.isProcessElevated = IsProcessElevated;
  platform.isNtfsMftScanAvailable = IsNtfsMftScanAvailable;
  platform.queryVolumeSpace = base::QueryDiskSpace;
  return platform;
}

}  // namespace ombrix::core
