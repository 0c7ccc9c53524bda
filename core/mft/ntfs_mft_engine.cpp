#include "core/mft/ntfs_mft_engine.h"

#include <algorithm>
#include <utility>
#include <vector>

#include "core/mft/mft_reading.h"
#include "core/mft/mft_record.h"
#include "core/mft/mft_entry_mend.h"
#include "core/mft/mft_trace.h"
#include "core/mft/mft_tree.h"
#include "core/monotonic_clock.h"
#include "core/scan_paths.h"
#include "core/scan_tree_builder.h"

namespace ombrix::core {

namespace {

ScanResult FailedResult(std::u16string rootPath, const char16_t* message,
                        MonotonicClock::time_point start) {
  ScanResult result;
  result.status = ScanStatus::Failed;
  result.engine = ScanEngineKind::NtfsMft;
  result.rootPath = std::move(rootPath);
  result.message = message;
  result.rootIndex = kNoNode;
  result.elapsedMs = ElapsedMilliseconds(start);
  return result;
}

}  // namespace

NtfsMftScanEngine::NtfsMftScanEngine(std::uint64_t threadsPerDrive)
    : threadsPerDrive_(threadsPerDrive) {}

ScanResult NtfsMftScanEngine::Scan(const std::u16string& path, ScanCancellationToken& token,
                                   const ProgressCallback& progress) {
  std::unique_ptr<IVolumeReader> volume = MakeLiveVolumeReader();
  return ScanNtfsVolume(*volume, path, threadsPerDrive_, token, progress);
}

ScanResult ScanNtfsVolume(IVolumeReader& volume, const std::u16string& path,
                          std::uint64_t workerSetting, ScanCancellationToken& token,
                          const ProgressCallback& progress) {
  const auto start = MonotonicClock::now();
  std::u16string rootPath = TrimTrailingSeparators(path);
  MftScanStats stats;

  switch (volume.Open(rootPath)) {
    case VolumeOpenResult::Opened:
      break;
    case VolumeOpenResult::NotAvailable:
      return FailedResult(std::move(rootPath), kMftNotAvailableMessage, start);
    case VolumeOpenResult::OpenFailed:
      return FailedResult(std::move(rootPath), kMftVolumeOpenMessage, start);
  }

  auto phaseStart = MonotonicClock::now();
  NtfsVolumeGeometry geometry;
  const bool queried = volume.QueryGeometry(geometry);
  stats.queryVolumeMs = ElapsedMilliseconds(phaseStart);
  if (!queried) {
    return FailedResult(std::move(rootPath), kMftVolumeQueryMessage, start);
  }
  if (geometry.bytesPerFileRecordSegment == 0 || geometry.bytesPerCluster == 0 ||
      geometry.bytesPerSector == 0) {
    return FailedResult(std::move(rootPath), kMftVolumeUnusableMessage, start);
  }

  phaseStart = MonotonicClock::now();
  ScanRootLocation root;
  const bool resolved = volume.ResolveRoot(rootPath, root);
  stats.resolveRootMs = ElapsedMilliseconds(phaseStart);
  if (!resolved) {
    return FailedResult(std::move(rootPath), kMftRootMessage, start);
  }
  root.recordNumber &= kMftReferenceMask;

  phaseStart = MonotonicClock::now();
  std::vector<MftDataRun> runs;
  std::uint64_t dataSize = 0;
  const bool runsRead = ReadMftRunList(volume, geometry, runs, dataSize);
  stats.readRunsMs = ElapsedMilliseconds(phaseStart);
  if (!runsRead || runs.empty() || dataSize == 0) {
    return FailedResult(std::move(rootPath), kMftRunListMessage, start);
  }
  stats.runs = runs.size();
  stats.mftDataSize = dataSize;

  const std::uint64_t expectedRecords = std::min<std::uint64_t>(
      dataSize / geometry.bytesPerFileRecordSegment, kMaxReservedMftEntries);
  std::vector<MftNameEntry> entries;
  entries.reserve(expectedRecords);
  std::vector<MftDataSize> dataSizes;
  dataSizes.reserve(expectedRecords);

  phaseStart = MonotonicClock::now();
  const bool enumerated = EnumerateMftRecords(volume, geometry, runs, dataSize, token, entries,
                                              &dataSizes, stats, workerSetting);
  if (enumerated) {
    ApplyFolderFlagMend(entries);
    ApplyDataSizeMend(entries, dataSizes);
  }
  stats.enumerateMftMs = ElapsedMilliseconds(phaseStart);
  if (!enumerated) {
    return FailedResult(std::move(rootPath), kMftEnumerateMessage, start);
  }
  std::vector<MftDataSize>().swap(dataSizes);
  stats.nodes = entries.size();

  phaseStart = MonotonicClock::now();
  const MftChildrenMap children = BuildChildrenMap(entries);
  stats.buildChildrenMs = ElapsedMilliseconds(phaseStart);

  if (!root.namesBelow.empty()) {
    phaseStart = MonotonicClock::now();
    const auto folder = FindFolderByNames(root.namesBelow, root.recordNumber, entries, children);
    stats.resolveRootMs += ElapsedMilliseconds(phaseStart);
    if (!folder) {
      return FailedResult(std::move(rootPath), kMftRootMessage, start);
    }
    root.recordNumber = *folder;
  }

  std::uint32_t rootAttributes = kAttributeDirectory;
  std::uint64_t rootLastWrite = 0;
  if (!volume.RootAttributes(rootPath, rootAttributes, rootLastWrite)) {
    rootAttributes = kAttributeDirectory;
    rootLastWrite = 0;
  }
  ScanTreeBuilder builder;
  // Each entry normally becomes one node (only damaged folder references make
  // more): one allocation instead of a million-node vector growing by moves.
  builder.nodes.reserve(entries.size() + 1);
  const std::uint64_t rootIndex =
      builder.AddDirectory(kNoNode, LeafName(rootPath), rootPath, rootAttributes, rootLastWrite);
  MftProgressState progressState(progress);

  phaseStart = MonotonicClock::now();
  PopulateMftTree(builder, rootIndex, rootPath, root.recordNumber, entries, children, token,
                  progressState);
  stats.populateTreeMs = ElapsedMilliseconds(phaseStart);

  phaseStart = MonotonicClock::now();
  builder.ComputeTotals();
  stats.finalizeMs = ElapsedMilliseconds(phaseStart);

  const std::int64_t totalMs = ElapsedMilliseconds(start);
  WriteMftTrace(stats, totalMs);
  return builder.BuildEngineResult(token, ScanEngineKind::NtfsMft, std::move(rootPath), totalMs);
}

}  // namespace ombrix::core
