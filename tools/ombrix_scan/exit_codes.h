#pragma once

#include "core/scan_model.h"

namespace ombrix::scan_tool {

inline constexpr int kExitCompleted = 0;
inline constexpr int kExitCancelled = 1;
inline constexpr int kExitFailedOrBadUsage = 2;

// Anything but Completed and Cancelled (Failed, or a status no scan should
// produce) counts as a failure, so a script never mistakes it for success.
int ExitCodeForStatus(core::ScanStatus status);

}  // namespace ombrix::scan_tool
