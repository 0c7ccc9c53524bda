#include "core/ntquery/nt_query_engine.h"

#include <algorithm>
#include <utility>

#include "base/monotonic_clock.h"
#include "base/system_error_codes.h"
#include "base/thread_starter.h"
#include "core/ntquery/nt_query_walk.h"
#include "core/scan_paths.h"
#include "core/scan_tree_builder.h"

namespace ombrix::core {

NtQueryDirectoryScanEngine::NtQueryDirectoryScanEngine(std::uint64_t threadsPerDrive)
    : NtQueryDirectoryScanEngine(threadsPerDrive, MakeSystemDirectoryLister()) {}

NtQueryDirectoryScanEngine::NtQueryDirectoryScanEngine(
    std::uint64_t threadsPerDrive, std::shared_ptr<const IDirectoryLister> lister,
    base::ThreadStarter startThread)
    : threadsPerDrive_(threadsPerDrive),
      lister_(std::move(lister)),
      startThread_(std::move(startThread)) {}

std::uint64_t NtQueryDirectoryScanEngine::WorkerCount(std::uint64_t threadsPerDrive) {
  if (threadsPerDrive == 0) return kDefaultWorkerCount;
  return std::min(threadsPerDrive, kMaxWorkerCount);
}

bool NtQueryDirectoryScanEngine::IsDriveRoot(const std::u16string& trimmedPath) {
  if (trimmedPath.size() == 2) return trimmedPath[1] == u':';
  return trimmedPath.size() == 3 && trimmedPath[1] == u':' && IsPathSeparator(trimmedPath[2]);
}

ScanResult NtQueryDirectoryScanEngine::Scan(const std::u16string& path,
                                            ScanCancellationToken& token,
                                            const ProgressCallback& progress) {
  const base::MonotonicClock::time_point start = base::MonotonicClock::now();
  ScanTreeBuilder builder;

  // Unreadable attributes do not stop the scan: opening the folder decides.
  const PathAttributes rootAttributes =
      lister_->ReadAttributes(path).value_or(PathAttributes{kAttributeDirectory, 0});
  std::u16string rootPath = TrimTrailingSeparators(path);
  builder.nodes.Reserve(IsDriveRoot(rootPath) ? kDriveRootReserve : kFolderReserve);
  const std::uint64_t root = builder.AddRoot(LeafName(rootPath), rootPath,
                                             rootAttributes.attributes, rootAttributes.lastWriteTime);

  if (!lister_->HasQueryCall()) {
    builder.AddIssue(rootPath, base::kErrorProcNotFound);
  } else {
    NtQueryWalk walk(builder, *lister_, token, progress, WorkerCount(threadsPerDrive_),
                     startThread_);
    walk.PushWorkItem(DirectoryWorkItem{root, rootPath, lister_->SystemPath(rootPath)});
    walk.RunWorkers();
  }

  builder.ComputeTotals();
  return builder.BuildEngineResult(token, ScanEngineKind::NtQueryDirectory, std::move(rootPath),
                                   base::ElapsedMilliseconds(start));
}

}  // namespace ombrix::core
