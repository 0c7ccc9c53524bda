#include "core/process_elevation.h"
#include "core/scan_platform.h"
#include "core/scan_scheduler.h"

namespace ombrix::core {

ScanPlatform SystemScanPlatform() {
  ScanPlatform platform;
  platform.isVolumeRoot = IsVolumeRoot;
  platform.isProcessElevated = IsProcessElevated;
  return platform;
}

}  // namespace ombrix::core
