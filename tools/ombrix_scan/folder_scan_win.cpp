#include <memory>
#include <utility>
#include <vector>

#include "app/drive_list_win.h"
#include "core/scan_engine.h"
#include "core/scan_platform_win.h"
#include "core/scan_scheduler.h"
#include "tools/ombrix_scan/folder_scan.h"
#include "tools/ombrix_scan/scan_plan.h"

namespace ombrix::scan_tool {

namespace {

const char* EngineUnavailableText(core::ScanEngineChoice choice) {
  switch (choice) {
    case core::ScanEngineChoice::NtQueryDirectory:
      return "the NtQueryDirectory engine (--engine ntquery) is not available in this build";
    case core::ScanEngineChoice::NtfsMft:
      return "the NTFS MFT engine (--engine mft) is not available in this build";
    default:
      return "the directory-walk engine (--engine walk) is not available in this build";
  }
}

}  // namespace

ScanOutcome ScanFolders(const ScanRequest& request, core::ScanCancellationToken& token,
                        const core::ProgressCallback& progress) {
  // Several paths, --label, --all-drives and --engine auto all go through
  // the scheduler, exactly as the window's scans do.
  const ScanPlan plan =
      PlanScan(request, request.allDrives ? app::EnumerateDrives() : std::vector<app::DriveInfo>{});
  const core::ScanOptions options{plan.choice, request.threads.value_or(0)};
  core::ScanPlatform platform = core::SystemScanPlatform();
  std::unique_ptr<core::IScanEngine> forced =
      core::MakeForcedEngine(options.choice, options.threadsPerDrive, platform.engines);
  if (options.choice != core::ScanEngineChoice::Automatic && !forced) {
    return {std::nullopt, EngineUnavailableText(options.choice)};
  }
  core::ScanScheduler scheduler(std::move(forced), options, std::move(platform));
  return {scheduler.Scan(plan.paths, plan.label, token, progress), {}};
}

}  // namespace ombrix::scan_tool
