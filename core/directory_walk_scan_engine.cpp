#include "core/directory_walk_scan_engine.h"

#include <cstdint>
#include <utility>
#include <vector>

#include "core/monotonic_clock.h"
#include "core/scan_paths.h"
#include "core/scan_tree_builder.h"

namespace ombrix::core {
namespace {

constexpr std::uint32_t kErrorAccessDenied = 5;
constexpr std::uint64_t kFileReportInterval = 128;

struct WalkProgressState {
  const ProgressCallback& callback;
  std::uint64_t fileReportInterval = kFileReportInterval;
  ScanProgress progress;

  void Report() {
    if (callback) {
      callback(progress);
    }
  }
};

struct PendingFolder {
  std::uint64_t index;
  std::u16string path;
};

bool IsDotEntry(const std::u16string& name) { return name == u"." || name == u".."; }

// Lists one folder into the builder and pushes its sub-folders on pending.
// The enumeration (and with it the find handle) closes on every way out,
// a cancel included.
void WalkOneFolder(IDirectoryFinder& finder, const PendingFolder& folder, ScanTreeBuilder& builder,
                   std::vector<PendingFolder>& pending, const ScanCancellationToken& token,
                   WalkProgressState& state) {
  std::u16string pattern = TrimTrailingSeparators(folder.path);
  pattern += u"\\*";
  EnumerationOpenResult opened = finder.OpenEnumeration(pattern);
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
      ++state.progress.filesScanned;
      const bool report = state.progress.filesScanned % state.fileReportInterval == 0;
      if (report) {
        state.progress.currentPath = childPath;
      }
      builder.AddFile(folder.index, entry.name, std::move(childPath), entry.attributes, entry.size,
                      entry.lastWriteTime);
      if (report) {
        state.Report();
      }
      continue;
    }
    const std::uint64_t child = builder.AddDirectory(folder.index, entry.name, childPath,
                                                     entry.attributes, entry.lastWriteTime);
    ++state.progress.foldersScanned;
    state.progress.currentPath = childPath;
    state.Report();
    if ((entry.attributes & kAttributeReparsePoint) == 0) {
      pending.push_back(PendingFolder{child, std::move(childPath)});
    }
  }
}

void WalkDirectoryTree(IDirectoryFinder& finder, std::uint64_t rootIndex,
                       const std::u16string& rootPath, ScanTreeBuilder& builder,
                       const ScanCancellationToken& token, WalkProgressState& state) {
  std::vector<PendingFolder> pending;
  pending.push_back(PendingFolder{rootIndex, rootPath});
  while (!pending.empty()) {
    if (token.IsCancelled()) {
      return;
    }
    const PendingFolder folder = std::move(pending.back());
    pending.pop_back();
    WalkOneFolder(finder, folder, builder, pending, token, state);
  }
}

}  // namespace

ScanResult DirectoryWalkScanEngine::Scan(const std::u16string& path, ScanCancellationToken& token,
                                         const ProgressCallback& progress) {
  const auto start = MonotonicClock::now();
  ScanTreeBuilder builder;

  // A root that cannot be queried is still shown, as an empty folder.
  PathAttributes rootAttributes{kAttributeDirectory, 0};
  if (std::optional<PathAttributes> found = finder_->GetPathAttributes(path)) {
    rootAttributes = *found;
  }
  std::u16string root = TrimTrailingSeparators(path);
  const std::uint64_t rootIndex = builder.AddDirectory(
      kNoNode, LeafName(root), root, rootAttributes.attributes, rootAttributes.lastWriteTime);

  WalkProgressState state{progress, kFileReportInterval, ScanProgress{}};
  WalkDirectoryTree(*finder_, rootIndex, root, builder, token, state);

  builder.ComputeTotals();
  return builder.BuildEngineResult(token, ScanEngineKind::DirectoryWalk, std::move(root),
                                   ElapsedMilliseconds(start));
}

}  // namespace ombrix::core
