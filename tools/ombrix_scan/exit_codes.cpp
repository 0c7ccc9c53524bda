#include "tools/ombrix_scan/exit_codes.h"

namespace ombrix::scan_tool {

int ExitCodeForStatus(core::ScanStatus status) {
  switch (status) {
    case core::ScanStatus::Completed:
      return kExitCompleted;
    case core::ScanStatus::Cancelled:
      return kExitCancelled;
    case core::ScanStatus::Failed:
      break;
  }
  return kExitFailedOrBadUsage;
}

}  // namespace ombrix::scan_tool
