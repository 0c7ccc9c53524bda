#include "core/walk/directory_walk_scan_engine.h"

#include <cstdint>
#include <utility>
#include <vector>

#include "base/checked_math.h"
#include "base/monotonic_clock.h"
#include "base/system_error_codes.h"
#include "core/engine_progress.h"
#include "core/placeholders.h"
#include "core/scan_paths.h"
#include "core/scan_tree_builder.h"

namespace ombrix::core {
namespace {

using base::kErrorAccessDenied;

// A folder still to list: its node, the path its node shows, and the path
// the finder is asked with (system form, see IDirectoryFinder::SystemPath).
struct PendingFolder {
  std::uint64_t index;
  std::u16string path;
  std::u16string systemPath;
};

bool IsDotEntry(const std::u16string& name) { return name == u"." || name == u".."; }

// Lists one folder into the builder and pushes its sub-folders on pending.
// The enumeration (and with it the find handle) closes on every way out,
// a cancel included.
// What a file takes on disk as far as its find data tells (see
// IDirectoryFinder::ClusterLength).
std::uint64_t EstimatedSizeOnDisk(std::uint64_t size, std::uint64_t clusterLength) {
  if (clusterLength == 0) return size;
  const std::uint64_t clusters = size / clusterLength + (size % clusterLength != 0 ? 1 : 0);
  std::uint64_t bytes = 0;
  return base::CheckedMultiply(clusters, clusterLength, bytes) ? bytes : size;
}

void WalkOneFolder(IDirectoryFinder& finder, const PendingFolder& folder, ScanTreeBuilder& builder,
                   std::vector<PendingFolder>& pending, const ScanCancellationToken& token,
                   EngineProgress& progress, std::uint64_t clusterLength) {
  EnumerationOpenResult opened = finder.OpenEnumeration(JoinPath(folder.systemPath, u"*"));
  if (!opened.enumeration) {
    // Only a folder the user may not read is worth telling about; a folder
    // that vanished since it was listed, or a root that is a file, is not.
    if (opened.errorCode == kErrorAccessDenied) {
      builder.AddIssue(folder.path, kErrorAccessDenied);
    }
    return;
  }
  FoundEntry entry;
  while (opened.enumeration->Next(entry)) {
    if (token.IsCancelled()) {
      return;
    }
    if (IsDotEntry(entry.name)) {
      continue;
    }
    std::u16string childPath = JoinPath(folder.path, entry.name);
    if ((entry.attributes & kAttributeDirectory) == 0) {
      // A file, a file symlink included: its own logical size counts.
      const std::uint64_t onDisk =
          DataIsElsewhere(entry.attributes) ? 0 : EstimatedSizeOnDisk(entry.size, clusterLength);
      const bool report = progress.CountFile(childPath, onDisk);
      const std::uint64_t file = builder.AddFile(folder.index, entry.name, entry.attributes,
                                                 entry.size, entry.lastWriteTime, onDisk);
      if (IsPlaceholder(entry.attributes, entry.reparseTag)) builder.nodes.MarkPlaceholder(file);
      if (report) {
        progress.ReportCurrent();
      }
      continue;
    }
    const std::uint64_t child =
        builder.AddDirectory(folder.index, entry.name, entry.attributes, entry.lastWriteTime);
    progress.CountFolder(childPath);
    progress.ReportCurrent();
    if ((entry.attributes & kAttributeReparsePoint) == 0) {
      pending.push_back(
          PendingFolder{child, std::move(childPath), JoinPath(folder.systemPath, entry.name)});
    }
  }
}

void WalkDirectoryTree(IDirectoryFinder& finder, std::uint64_t rootIndex,
                       const std::u16string& rootPath, ScanTreeBuilder& builder,
                       const ScanCancellationToken& token, EngineProgress& progress) {
  const std::uint64_t clusterLength = finder.ClusterLength(rootPath);
  std::vector<PendingFolder> pending;
  pending.push_back(PendingFolder{rootIndex, rootPath, finder.SystemPath(rootPath)});
  while (!pending.empty()) {
    if (token.IsCancelled()) {
      return;
    }
    const PendingFolder folder = std::move(pending.back());
    pending.pop_back();
    WalkOneFolder(finder, folder, builder, pending, token, progress, clusterLength);
  }
}

}  // namespace

ScanResult DirectoryWalkScanEngine::Scan(const std::u16string& path, ScanCancellationToken& token,
                                         const ProgressCallback& progress) {
  const auto start = base::MonotonicClock::now();
  ScanTreeBuilder builder;

  // A root that cannot be queried is still shown, as an empty folder.
  PathAttributes rootAttributes{kAttributeDirectory, 0};
  if (std::optional<PathAttributes> found = finder_->GetPathAttributes(path)) {
    rootAttributes = *found;
  }
  std::u16string root = TrimTrailingSeparators(path);
  const std::uint64_t rootIndex =
      builder.AddRoot(LeafName(root), root, rootAttributes.attributes, rootAttributes.lastWriteTime);

  EngineProgress engineProgress(progress);
  WalkDirectoryTree(*finder_, rootIndex, root, builder, token, engineProgress);

  builder.ComputeTotals();
  return builder.BuildEngineResult(token, ScanEngineKind::DirectoryWalk, std::move(root),
                                   base::ElapsedMilliseconds(start));
}

}  // namespace ombrix::core
