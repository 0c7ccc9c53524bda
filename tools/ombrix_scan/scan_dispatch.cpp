#include "tools/ombrix_scan/scan_dispatch.h"

#include <filesystem>

#include "core/mft/ntfs_mft_engine.h"
#include "core/mft/volume_image.h"
#include "tools/ombrix_scan/folder_scan.h"

namespace ombrix::scan_tool {

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
  return ScanFolders(request, token, progress);
}

}  // namespace ombrix::scan_tool
