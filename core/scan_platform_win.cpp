#include <memory>

#include "core/directory_walk_scan_engine.h"
#include "core/mft/ntfs_mft_engine.h"
#include "core/ntquery/nt_query_engine.h"
#include "core/process_elevation.h"
#include "core/scan_platform.h"
#include "core/scan_scheduler.h"

namespace ombrix::core {

ScanPlatform SystemScanPlatform() {
  ScanPlatform platform;
  platform.engines.makeDirectoryWalk = [] { return std::make_unique<DirectoryWalkScanEngine>(); };
  platform.engines.makeNtQueryDirectory = [](std::uint64_t threadsPerDrive) {
    return std::make_unique<NtQueryDirectoryScanEngine>(threadsPerDrive);
  };
  platform.engines.makeNtfsMft = [](std::uint64_t threadsPerDrive) {
    return std::make_unique<NtfsMftScanEngine>(threadsPerDrive);
  };
  platform.isVolumeRoot = IsVolumeRoot;
  platform.isProcessElevated = IsProcessElevated;
  platform.isNtfsMftScanAvailable = IsNtfsMftScanAvailable;
  return platform;
}

}  // namespace ombrix::core
