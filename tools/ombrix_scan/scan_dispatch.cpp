#include "tools/ombrix_scan/scan_dispatch.h"

#include <filesystem>
#include <memory>

#include "core/mft/ntfs_mft_engine.h"
#include "core/mft/volume_image.h"
#include "core/ntquery/nt_query_engine.h"
#include "core/scan_engine.h"

#if defined(_WIN32)
#include "core/directory_walk_scan_engine.h"
#endif

namespace ombrix::scan_tool {

namespace {

// Every folder engine reads the file system through Win32; the native build
// exists for the platform-neutral code and, later, volume images.
#if defined(_WIN32)
constexpr bool kCanScanFolders = true;
#else
constexpr bool kCanScanFolders = false;
#endif

ScanOutcome Unavailable(std::string why) { return {std::nullopt, std::move(why)}; }

// Null, with the reason in `error`, when this build lacks the engine.
std::unique_ptr<core::IScanEngine> MakeFolderEngine(const ScanRequest& request,
                                                    std::string& error) {
  switch (request.engine) {
    // Until the native directory-query engine and the scheduler exist, the
    // walk is the best this build can do for "auto".
    case EngineRequest::Automatic:
    case EngineRequest::Walk:
#if defined(_WIN32)
      return std::make_unique<core::DirectoryWalkScanEngine>();
#else
      error = "the directory-walk engine needs Windows";
      return nullptr;
#endif
    case EngineRequest::NtQuery:
      // 0 lets the engine pick its default worker count.
      return std::make_unique<core::NtQueryDirectoryScanEngine>(request.threads.value_or(0));
    case EngineRequest::Mft:
      // Fails with "NTFS MFT scan is not available for this path." where no
      // volume can be read raw (the native build, non-NTFS paths).
      return std::make_unique<core::NtfsMftScanEngine>(request.threads.value_or(0));
  }
  error = "unknown engine";
  return nullptr;
}

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
  if (!kCanScanFolders) {
    return Unavailable(
        "scanning folders needs Windows: this native build of ombrix-scan can only scan NTFS "
        "volume images (--image)");
  }
  if (request.allDrives) {
    return Unavailable("scanning all local drives (--all-drives) is not available in this build yet");
  }
  if (request.paths.size() != 1 || request.label) {
    return Unavailable(
        "scanning several paths under one root (--label) is not available in this build yet");
  }
  std::string error;
  const std::unique_ptr<core::IScanEngine> engine = MakeFolderEngine(request, error);
  if (!engine) return Unavailable(std::move(error));
  return {engine->Scan(request.paths.front(), token, progress), {}};
}

}  // namespace ombrix::scan_tool
