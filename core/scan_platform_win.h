#pragma once

#include "core/scan_platform.h"

namespace ombrix::core {

// The real engines and Win32 queries.
ScanPlatform SystemScanPlatform();

}  // namespace ombrix::core
