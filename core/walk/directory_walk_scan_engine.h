// The plainest engine: one thread, a depth-first walk with the find calls,
// on any file system and with no special rights. Sub-folders wait on an
// explicit heap stack, never on the call stack, so a hierarchy thousands of
// levels deep cannot overflow the scan thread. Reparse-point folders
// (junctions, folder symlinks, mount points) are recorded but never
// entered, which also rules out cycles.
#pragma once

#include <string>

#include "core/scan_engine.h"
#include "core/walk/directory_finder.h"

namespace ombrix::core {

class DirectoryWalkScanEngine final : public IScanEngine {
 public:
  // Every find call goes to finder, which must outlive the engine: the
  // system's (SystemDirectoryFinder) or a test's.
  explicit DirectoryWalkScanEngine(IDirectoryFinder& finder) : finder_(&finder) {}

  ScanResult Scan(const std::u16string& path, ScanCancellationToken& token,
                  const ProgressCallback& progress) override;

 private:
  IDirectoryFinder* finder_;
};

}  // namespace ombrix::core
