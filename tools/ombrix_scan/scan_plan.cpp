#include "tools/ombrix_scan/scan_plan.h"

namespace ombrix::scan_tool {

core::ScanEngineChoice EngineChoiceFor(EngineRequest engine) {
  switch (engine) {
    case EngineRequest::Walk:
      return core::ScanEngineChoice::DirectoryWalk;
    case EngineRequest::NtQuery:
      return core::ScanEngineChoice::NtQueryDirectory;
    case EngineRequest::Mft:
      return core::ScanEngineChoice::NtfsMft;
    case EngineRequest::Automatic:
      break;
  }
  return core::ScanEngineChoice::Automatic;
}

ScanPlan PlanScan(const ScanRequest& request, const std::vector<app::DriveInfo>& drives) {
  ScanPlan plan;
  plan.choice = EngineChoiceFor(request.engine);
  if (request.allDrives) {
    for (const app::DriveInfo& drive : drives) {
      plan.paths.push_back(drive.rootPath);
    }
  } else {
    plan.paths = request.paths;
  }
  if (request.label) {
    plan.label = *request.label;
  } else if (!request.allDrives && plan.paths.size() == 1) {
    plan.label = plan.paths.front();
  } else {
    plan.label = app::kAllDrivesLabel;
  }
  return plan;
}

}  // namespace ombrix::scan_tool
