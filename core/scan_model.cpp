#include "core/scan_model.h"

namespace ombrix::core {

const char* ScanStatusName(ScanStatus status) {
  switch (status) {
    case ScanStatus::Completed:
      return "Completed";
    case ScanStatus::Cancelled:
      return "Cancelled";
    case ScanStatus::Failed:
      return "Failed";
  }
  return "None";
}

const char* ScanEngineKindName(ScanEngineKind engine) {
  switch (engine) {
    case ScanEngineKind::DirectoryWalk:
      return "DirectoryWalk";
    case ScanEngineKind::NtQueryDirectory:
      return "NtQueryDirectory";
    case ScanEngineKind::NtfsMft:
      return "NtfsMft";
    case ScanEngineKind::NcduExport:
      return "NcduExport";
  }
  return "Unknown";
}

}  // namespace ombrix::core
