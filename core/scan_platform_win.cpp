#include <memory>

#include "core/directory_walk_scan_engine.h"
#include "core/process_elevation.h"
#include "core/scan_platform.h"
#include "core/scan_scheduler.h"

namespace ombrix::core {

ScanPlatform SystemScanPlatform() {
  ScanPlatform platform;
  platform.engines.makeDirectoryWalk = [] { return std::make_unique<DirectoryWalkScanEngine>(); };
  platform.isVolumeRoot = IsVolumeRoot;
  platform.isProcessElevated = IsProcessElevated;
  return platform;
}

}  // namespace ombrix::core
