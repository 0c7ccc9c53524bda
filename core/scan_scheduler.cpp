#include "core/scan_scheduler.h"

#include <cstdint>
#include <utility>

#include "base/monotonic_clock.h"
#include "core/scan_paths.h"

namespace ombrix::core {
namespace {

ScanResult MakeMergedResult(const std::u16string& label) {
  ScanResult merged;
  merged.status = ScanStatus::Completed;
  merged.engine = ScanEngineKind{0};
  merged.rootPath = label;
  merged.rootIndex = merged.nodes.AddRoot(label, label, kAttributeDirectory, 0);
  return merged;
}

ScanResult NoEngineResult(const std::u16string& path) {
  ScanResult result;
  result.status = ScanStatus::Failed;
  result.rootPath = TrimTrailingSeparators(path);
  result.message = u"No scan engine is available.";
  return result;
}

char16_t AsciiLower(char16_t c) { return (c >= u'A' && c <= u'Z') ? char16_t(c + 32) : c; }

}  // namespace

ScanScheduler::ScanScheduler(std::unique_ptr<IScanEngine> forced, ScanOptions options,
                             ScanPlatform platform)
    : forced_(std::move(forced)), options_(options), platform_(std::move(platform)) {}

ScanResult ScanScheduler::Scan(const std::vector<std::u16string>& paths,
                               const std::u16string& label, ScanCancellationToken& token,
                               const ProgressCallback& progress) {
  if (paths.size() == 1 && paths.front() == label) {
    return ScanPath(paths.front(), token, progress);
  }
  const auto start = base::MonotonicClock::now();
  ScanResult merged = MakeMergedResult(label);
  std::uint64_t filesBase = 0;
  std::uint64_t foldersBase = 0;
  std::uint64_t bytesBase = 0;
  bool engineTaken = false;
  std::optional<VolumeSpace> spaces = paths.empty() ? std::nullopt : std::optional(VolumeSpace{});
  for (const std::u16string& path : paths) {
    if (token.IsCancelled()) {
      merged.status = ScanStatus::Cancelled;
      break;
    }
    // Engines count from zero per path; the caller sees one running count
    // over the whole scan.
    ProgressCallback shifted;
    if (progress) {
      shifted = [filesBase, foldersBase, bytesBase, &progress](const ScanProgress& p) {
        ScanProgress total = p;
        total.filesScanned += filesBase;
        total.foldersScanned += foldersBase;
        total.bytesOnDisk += bytesBase;
        progress(total);
      };
    }
    ScanResult part = ScanPath(path, token, shifted);
    if (!engineTaken) {
      merged.engine = part.engine;
      engineTaken = true;
    } else if (part.engine != merged.engine) {
      merged.engine = ScanEngineKind{0};
    }
    filesBase += part.fileCount;
    foldersBase += part.folderCount;
    if (part.rootIndex < part.nodes.size()) bytesBase += part.nodes.SizeOnDisk(part.rootIndex);
    // Drives add up; a part without the figures (a folder, a drive that
    // could not be asked) leaves the sum unknown.
    spaces = spaces && part.space ? std::optional(AddSpaces(*spaces, *part.space)) : std::nullopt;
    const bool partCancelled = part.status == ScanStatus::Cancelled;
    MergeScanResult(merged, std::move(part));
    if (partCancelled) {
      merged.status = ScanStatus::Cancelled;
      break;
    }
  }
  merged.nodes.RollUpFromChildren(merged.rootIndex);
  if (merged.status != ScanStatus::Cancelled) merged.space = spaces;
  merged.elapsedMs = base::ElapsedMilliseconds(start);
  return merged;
}

ScanResult ScanScheduler::ScanPath(const std::u16string& path, ScanCancellationToken& token,
                                   const ProgressCallback& progress) {
  ScanResult result = ScanWithEngine(path, token, progress);
  AddVolumeSpace(path, result);
  return result;
}

// A scan of a whole volume shows what it found beside the volume's used
// space. The MFT engine reads the volume's own figures; after a directory
// listing the file system is asked. A listing does not show NTFS's
// metadata files, so they stay in the unexplained part, or in the
// unreadable one when folders could not be read.
void ScanScheduler::AddVolumeSpace(const std::u16string& path, ScanResult& result) const {
  if (result.space || result.status != ScanStatus::Completed || result.rootIndex >= result.nodes.size() ||
      !platform_.isVolumeRoot || !platform_.queryVolumeSpace || !platform_.isVolumeRoot(path)) {
    return;
  }
  const std::optional<base::DiskSpace> volume = platform_.queryVolumeSpace(path);
  if (!volume || volume->totalBytes == 0) return;
  result.space = DescribeSpace(volume->totalBytes, volume->totalBytes - std::min(volume->freeBytes, volume->totalBytes),
                               result.nodes.SizeOnDisk(result.rootIndex), 0, result.issueCount != 0);
}

ScanResult ScanScheduler::ScanWithEngine(const std::u16string& path, ScanCancellationToken& token,
                                         const ProgressCallback& progress) {
  if (forced_) {
    return forced_->Scan(path, token, progress);
  }
  const bool mftCandidate = platform_.engines.makeNtfsMft && platform_.isVolumeRoot &&
                            platform_.isVolumeRoot(path) && platform_.isProcessElevated &&
                            platform_.isProcessElevated() && platform_.isNtfsMftScanAvailable &&
                            platform_.isNtfsMftScanAvailable(path);
  if (mftCandidate) {
    std::unique_ptr<IScanEngine> mft = platform_.engines.makeNtfsMft(options_.threadsPerDrive);
    if (mft) {
      ScanResult result = mft->Scan(path, token, progress);
      // A volume the MFT engine cannot read is still scanned, the slower
      // way; but a cancel must not start a second full scan.
      if (result.status != ScanStatus::Failed || token.IsCancelled()) {
        return result;
      }
    }
  }
  if (!platform_.engines.makeNtQueryDirectory) {
    return NoEngineResult(path);
  }
  std::unique_ptr<IScanEngine> engine =
      platform_.engines.makeNtQueryDirectory(options_.threadsPerDrive);
  if (!engine) {
    return NoEngineResult(path);
  }
  return engine->Scan(path, token, progress);
}

void MergeScanResult(ScanResult& merged, ScanResult&& part) {
  if (part.rootIndex == kNoNode || part.rootIndex >= part.nodes.size()) {
    return;
  }
  merged.nodes.Append(std::move(part.nodes), merged.rootIndex);
  merged.issues.reserve(merged.issues.size() + part.issues.size());
  for (ScanIssue& issue : part.issues) {
    merged.issues.push_back(std::move(issue));
  }
  merged.fileCount += part.fileCount;
  merged.folderCount += part.folderCount;
  merged.issueCount += part.issueCount;
}

bool SameVolumePath(std::u16string_view path, std::u16string_view volumePath) {
  const std::u16string a = TrimTrailingSeparators(path);
  const std::u16string b = TrimTrailingSeparators(volumePath);
  if (a.size() != b.size()) {
    return false;
  }
  for (std::size_t i = 0; i < a.size(); ++i) {
    if (AsciiLower(a[i]) != AsciiLower(b[i])) {
      return false;
    }
  }
  return true;
}

}  // namespace ombrix::core
