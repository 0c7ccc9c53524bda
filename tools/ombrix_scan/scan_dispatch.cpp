#include "tools/ombrix_scan/scan_dispatch.h"

#include <filesystem>
#include <memory>
#include <utility>
#include <vector>

#include "core/mft/ntfs_mft_engine.h"
#include "core/mft/volume_image.h"
#include "core/scan_engine.h"
#include "core/scan_platform.h"
#include "core/scan_scheduler.h"
#include "tools/ombrix_scan/scan_plan.h"
#include "ui/drive_list.h"

namespace ombrix::scan_tool {

namespace {

ScanOutcome Unavailable(std::string why) { return {std::nullopt, std::move(why)}; }

#if defined(_WIN32)
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
#endif

}  // namespace

ScanOutcome RunScanRequest(const ScanRequest& request, core::ScanCancellationToken& token,
                           const core::ProgressCallback& progress) {
  if (request.imageFile) {
    // Images are read by the MFT engine on every platform, whatever --engine
    // says: it is the only engine that reads a volume's own structures.
    core::NtfsImageVolumeReader image{std::filesystem::path(*request.imageFile)};
    return {core::ScanNtfsVolume(image, request.imageRoot.value_or(u"\\"),
                                 request.threads.value_or(0), token, progress),
            {}};
  }
#if defined(_WIN32)
  // Several paths, --label, --all-drives and --engine auto all go through
  // the scheduler, exactly as the window's scans do.
  const ScanPlan plan =
      PlanScan(request, request.allDrives ? ui::EnumerateDrives() : std::vector<ui::DriveInfo>{});
  const core::ScanOptions options{plan.choice, request.threads.value_or(0)};
  core::ScanPlatform platform = core::SystemScanPlatform();
  std::unique_ptr<core::IScanEngine> forced =
      core::MakeForcedEngine(options.choice, options.threadsPerDrive, platform.engines);
  if (options.choice != core::ScanEngineChoice::Automatic && !forced) {
    return Unavailable(EngineUnavailableText(options.choice));
  }
  core::ScanScheduler scheduler(std::move(forced), options, std::move(platform));
  return {scheduler.Scan(plan.paths, plan.label, token, progress), {}};
#else
  // Every folder engine reads the file system through Win32; the native
  // build exists for the platform-neutral code and, later, volume images.
  (void)token;
  (void)progress;
  return Unavailable(
      "scanning folders needs Windows: this native build of ombrix-scan can only scan NTFS "
      "volume images (--image)");
#endif
}

}  // namespace ombrix::scan_tool
