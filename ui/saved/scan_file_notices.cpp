#include "ui/saved/scan_file_notices.h"

namespace ombrix::ui {

const char* OpenFailureNotice(app::SavedScanError error) {
  switch (error) {
    case app::SavedScanError::NotAScan:
      return "status.scan_not_a_scan";
    case app::SavedScanError::Truncated:
      return "status.scan_truncated";
    case app::SavedScanError::Corrupted:
      return "status.scan_corrupted";
    case app::SavedScanError::NewerVersion:
      return "status.scan_newer";
    case app::SavedScanError::OutOfMemory:
      return "status.scan_out_of_memory";
    case app::SavedScanError::None:
    case app::SavedScanError::Unreadable:
      break;
  }
  return "status.scan_unreadable";
}

}  // namespace ombrix::ui
