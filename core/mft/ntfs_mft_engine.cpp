#include "core/mft/ntfs_mft_engine.h"

#include <algorithm>
#include <optional>
#include <utility>
#include <vector>

#include "base/checked_math.h"
#include "base/monotonic_clock.h"
#include "base/scoped_timer.h"
#include "core/mft/mft_entry_mend.h"
#include "core/mft/mft_record.h"
#include "core/mft/mft_run_list.h"
#include "core/mft/mft_stream_reader.h"
#include "core/mft/mft_trace.h"
#include "core/mft/volume_bitmap.h"
#include "core/mft/volume_image.h"
#include "core/mft/mft_tree.h"
#include "core/scan_paths.h"
#include "core/scan_tree_builder.h"

namespace ombrix::core {

namespace {

ScanResult FailedResult(std::u16string rootPath, const char16_t* message,
                        base::MonotonicClock::time_point start) {
  ScanResult result;
  result.status = ScanStatus::Failed;
  result.engine = ScanEngineKind::NtfsMft;
  result.rootPath = std::move(rootPath);
  result.message = message;
  result.rootIndex = kNoNode;
  result.elapsedMs = base::ElapsedMilliseconds(start);
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
  const auto start = base::MonotonicClock::now();
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

  NtfsVolumeGeometry geometry;
  if (!base::TimeInto(stats.queryVolumeMs, [&] { return volume.QueryGeometry(geometry); })) {
    return FailedResult(std::move(rootPath), kMftVolumeQueryMessage, start);
  }
  if (geometry.bytesPerFileRecordSegment == 0 || geometry.bytesPerCluster == 0 ||
      geometry.bytesPerSector == 0 || geometry.totalClusters == 0) {
    return FailedResult(std::move(rootPath), kMftVolumeUnusableMessage, start);
  }

  ScanRootLocation root;
  if (!base::TimeInto(stats.resolveRootMs, [&] { return volume.ResolveRoot(rootPath, root); })) {
    return FailedResult(std::move(rootPath), kMftRootMessage, start);
  }
  root.recordNumber &= kMftReferenceMask;

  std::vector<MftDataRun> runs;
  std::uint64_t dataSize = 0;
  const bool runsRead = base::TimeInto(
      stats.readRunsMs, [&] { return ReadMftRunList(volume, geometry, runs, dataSize); });
  const std::optional<std::uint64_t> streamLength =
      runsRead ? ReadableMftLength(runs, dataSize, geometry) : std::nullopt;
  if (!streamLength || runs.empty() || dataSize == 0) {
    return FailedResult(std::move(rootPath), kMftRunListMessage, start);
  }
  stats.runs = runs.size();
  stats.mftDataSize = dataSize;

  // Every reservation below follows from the checked stream length, never
  // from the size record 0 claims.
  const std::uint64_t expectedRecords = std::min<std::uint64_t>(
      *streamLength / geometry.bytesPerFileRecordSegment, kMaxReservedMftEntries);
  MftNameTable table;
  table.entries.reserve(expectedRecords);
  std::uint64_t indexBytes = 0;
  const bool enumerated = base::TimeInto(stats.enumerateMftMs, [&] {
    std::vector<MftRecordData> dataSizes;
    dataSizes.reserve(expectedRecords);
    if (!EnumerateMftRecords(volume, geometry, runs, *streamLength, token, table, &dataSizes,
                             stats, workerSetting)) {
      return false;
    }
    ApplyFolderFlagMend(table.entries);
    ApplyDataSizeMend(table.entries, dataSizes);
    ApplyAllocationMend(table.entries, dataSizes);
    indexBytes = table.indexBytes;
    return true;
  });
  if (!enumerated) {
    return FailedResult(std::move(rootPath), kMftEnumerateMessage, start);
  }
  stats.nodes = table.entries.size();

  MftChildrenMap children =
      base::TimeInto(stats.buildChildrenMs, [&] {
        return BuildChildrenMap(table.entries, *streamLength / geometry.bytesPerFileRecordSegment);
      });

  if (!root.namesBelow.empty()) {
    const auto folder = base::TimeInto(stats.resolveRootMs, [&] {
      return FindFolderByNames(root.namesBelow, root.recordNumber, table, children);
    });
    if (!folder) {
      return FailedResult(std::move(rootPath), kMftRootMessage, start);
    }
    root.recordNumber = *folder;
  }

  const PathAttributes rootAttributes =
      volume.RootAttributes(rootPath).value_or(PathAttributes{kAttributeDirectory, 0});
  ScanTreeBuilder builder;
  const std::uint64_t rootIndex = builder.AddRoot(LeafName(rootPath), rootPath,
                                                  rootAttributes.attributes,
                                                  rootAttributes.lastWriteTime);
  EngineProgress engineProgress(progress);
  base::TimeInto(stats.populateTreeMs, [&] {
    PopulateMftTree(builder, rootIndex, rootPath, root.recordNumber, std::move(table),
                    std::move(children), token, engineProgress, stats.parseWorkerLimit);
  });
  base::TimeInto(stats.finalizeMs, [&] { builder.ComputeTotals(); });

  // A scan of the whole volume sets what it found beside the volume's used
  // space; the MFT shows every file, so only folders' indexes are left to
  // name as metadata.
  std::optional<VolumeSpace> space;
  if (root.recordNumber == kNtfsRootFolderRecord && !token.IsCancelled()) {
    const std::optional<std::uint64_t> used =
        geometry.freeClusters
            ? std::optional<std::uint64_t>(geometry.totalClusters -
                                           std::min(*geometry.freeClusters, geometry.totalClusters))
            : CountUsedClusters(volume, geometry, runs);
    if (used) {
      const std::uint64_t cluster = geometry.bytesPerCluster;
      space = DescribeSpace(base::SaturatingMultiply(geometry.totalClusters, cluster),
                            base::SaturatingMultiply(*used, cluster),
                            builder.nodes.SizeOnDisk(rootIndex), indexBytes, false);
    }
  }
  const std::int64_t totalMs = base::ElapsedMilliseconds(start);
  WriteMftTrace(stats, totalMs);
  ScanResult result =
      builder.BuildEngineResult(token, ScanEngineKind::NtfsMft, std::move(rootPath), totalMs);
  result.space = space;
  return result;
}

}  // namespace ombrix::core
