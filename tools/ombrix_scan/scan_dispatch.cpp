#include "tools/ombrix_scan/scan_dispatch.h"

#include <memory>

#include "core/scan_engine.h"

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
std::unique_ptr<core::IScanEngine> MakeFolderEngine(EngineRequest engine, std::string& error) {
  switch (engine) {
    case EngineRequest::Automatic:
    case EngineRequest::Walk:
      error = "the directory-walk engine (--engine walk) is not available in this build yet";
      return nullptr;
    case EngineRequest::NtQuery:
      error = "the NtQueryDirectory engine (--engine ntquery) is not available in this build yet";
      return nullptr;
    case EngineRequest::Mft:
      error = "the NTFS MFT engine (--engine mft) is not available in this build yet";
      return nullptr;
  }
  error = "unknown engine";
  return nullptr;
}

}  // namespace

ScanOutcome RunScanRequest(const ScanRequest& request, core::ScanCancellationToken& token,
                           const core::ProgressCallback& progress) {
  if (request.imageFile) {
    return Unavailable("scanning NTFS volume images (--image) is not available in this build yet");
  }
  if (!kCanScanFolders) {
    return Unavailable(
        "scanning folders needs Windows: this native build of ombrix-scan can only scan NTFS "
        "volume images (--image), which is not available yet");
  }
  if (request.allDrives) {
    return Unavailable("scanning all local drives (--all-drives) is not available in this build yet");
  }
  if (request.paths.size() != 1 || request.label) {
    return Unavailable(
        "scanning several paths under one root (--label) is not available in this build yet");
  }
  std::string error;
  const std::unique_ptr<core::IScanEngine> engine = MakeFolderEngine(request.engine, error);
  if (!engine) return Unavailable(std::move(error));
  return {engine->Scan(request.paths.front(), token, progress), {}};
}

}  // namespace ombrix::scan_tool
