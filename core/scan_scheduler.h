// Turns a list of paths into one ScanResult. Per path it uses the forced
// engine when there is one; otherwise the MFT engine for the root of an
// NTFS volume in an elevated process (falling back to the directory-query
// engine when that fails) and the directory-query engine everywhere else.
// Several paths are scanned one after another and hung under a synthetic
// root named by the label.
//
// Runs entirely on the calling thread (the application's scan thread) and
// lives for one Scan; the engines it makes itself live for one path.
#pragma once

#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "core/scan_engine.h"
#include "core/scan_model.h"
#include "core/scan_options.h"
#include "core/scan_platform.h"

namespace ombrix::core {

class ScanScheduler {
 public:
  // forced may be empty: the scheduler then chooses an engine per path.
  ScanScheduler(std::unique_ptr<IScanEngine> forced, ScanOptions options, ScanPlatform platform);

  // A single path equal to the label is scanned directly and its result
  // returned as the engine made it; anything else is merged under a
  // synthetic root whose name and path are the label.
  ScanResult Scan(const std::vector<std::u16string>& paths, const std::u16string& label,
                  ScanCancellationToken& token, const ProgressCallback& progress);

  ScanResult ScanPath(const std::u16string& path, ScanCancellationToken& token,
                      const ProgressCallback& progress);

 private:
  ScanResult ScanWithEngine(const std::u16string& path, ScanCancellationToken& token,
                            const ProgressCallback& progress);
  void AddVolumeSpace(const std::u16string& path, ScanResult& result) const;

  std::unique_ptr<IScanEngine> forced_;
  ScanOptions options_;
  ScanPlatform platform_;
};

// Appends part's tree below merged's root, shifting every index, and adds
// its counts and issues. A part without a tree adds nothing.
void MergeScanResult(ScanResult& merged, ScanResult&& part);

// Whether path names the volume path Windows reported for it (the test
// behind IsVolumeRoot): both trimmed of trailing separators,
// then equal ignoring ASCII case, as _wcsicmp compares in the C locale.
bool SameVolumePath(std::u16string_view path, std::u16string_view volumePath);

}  // namespace ombrix::core
