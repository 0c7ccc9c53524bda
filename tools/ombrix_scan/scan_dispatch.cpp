#include "tools/ombrix_scan/scan_dispatch.h"

#include <filesystem>

#include "app/saved/scan_files.h"
#include "base/text_encoding.h"
#include "base/wall_clock.h"
#include "core/mft/ntfs_mft_engine.h"
#include "core/mft/volume_image.h"
#include "tools/ombrix_scan/folder_scan.h"

namespace ombrix::scan_tool {

namespace {

ScanOutcome Scan(const ScanRequest& request, core::ScanCancellationToken& token,
                 const core::ProgressCallback& progress) {
  if (request.imageFile) {
    // Images are read by the MFT engine on every platform, whatever --engine
    // says: it is the only engine that reads a volume's own structures.
    core::NtfsImageVolumeReader image{std::filesystem::path(*request.imageFile)};
    return {core::ScanNtfsVolume(image, request.imageRoot.value_or(u"\\"),
                                 request.threads.value_or(0), token, progress),
            {}};
  }
  return ScanFolders(request, token, progress);
}

}  // namespace

ScanOutcome OpenScan(const std::u16string& path) {
  app::OpenedScan opened = app::OpenScanFile(app::SystemSettingsFiles(), path);
  if (!opened.result) {
    return {std::nullopt, "'" + base::ToUtf8(path) + "': " +
                              std::string(app::SavedScanErrorText(opened.error))};
  }
  return {std::move(opened.result), {}};
}

ScanOutcome RunScanRequest(const ScanRequest& request, core::ScanCancellationToken& token,
                           const core::ProgressCallback& progress) {
  if (request.loadFile) return OpenScan(*request.loadFile);
  ScanOutcome outcome = Scan(request, token, progress);
  // A saved scan keeps when it was made; an opened one keeps its own date.
  if (outcome.result) outcome.result->scanTime = base::FileTimeNow();
  return outcome;
}

}  // namespace ombrix::scan_tool
