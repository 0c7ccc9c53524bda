#include "core/scan_scheduler.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <string>
#include <vector>

#include "base/text_encoding.h"
#include "tests/support/fake_scan_engine.h"
#include "tests/support/scan_result_checks.h"

namespace ombrix::core {
namespace {

using test::FakeScanEngine;
using test::FakeTree;
using test::RootKind;
using test::TreeInconsistencies;
using Log = std::vector<std::string>;

// A made-up machine: per path, what each engine returns and what the three
// questions answer; every engine made and every question asked is logged.
struct FakeMachine {
  std::map<std::u16string, std::vector<std::uint64_t>> files;
  std::vector<std::u16string> volumeRoots;
  bool elevated = false;
  bool mftAvailable = true;
  bool mftFails = false;
  ScanCancellationToken* cancelDuringMft = nullptr;
  // Size and free space of volumes; none: the question is not in the table.
  std::map<std::u16string, base::DiskSpace> volumes;
  Log log;

  std::unique_ptr<IScanEngine> Engine(ScanEngineKind kind) {
    return std::make_unique<FakeScanEngine>([this, kind](const std::u16string& path,
                                                         ScanCancellationToken&,
                                                         const ProgressCallback& progress) {
      log.push_back(std::string("scan ") + ScanEngineKindName(kind) + " " + base::ToUtf8(path));
      if (kind == ScanEngineKind::NtfsMft && mftFails) {
        if (cancelDuringMft) cancelDuringMft->Cancel();
        return test::FailedScan(path, kind);
      }
      return FakeTree(path, kind, files[path], progress);
    });
  }

  ScanPlatform Platform() {
    ScanPlatform platform;
    platform.engines.makeDirectoryWalk = [this] {
      log.push_back("make DirectoryWalk");
      return Engine(ScanEngineKind::DirectoryWalk);
    };
    platform.engines.makeNtQueryDirectory = [this](std::uint64_t threads) {
      log.push_back("make NtQueryDirectory " + std::to_string(threads));
      return Engine(ScanEngineKind::NtQueryDirectory);
    };
    platform.engines.makeNtfsMft = [this](std::uint64_t threads) {
      log.push_back("make NtfsMft " + std::to_string(threads));
      return Engine(ScanEngineKind::NtfsMft);
    };
    platform.isVolumeRoot = [this](const std::u16string& path) {
      log.push_back("root? " + base::ToUtf8(path));
      return std::find(volumeRoots.begin(), volumeRoots.end(), path) != volumeRoots.end();
    };
    platform.isProcessElevated = [this] {
      log.push_back("elevated?");
      return elevated;
    };
    platform.isNtfsMftScanAvailable = [this](const std::u16string& path) {
      log.push_back("ntfs? " + base::ToUtf8(path));
      return mftAvailable;
    };
    if (!volumes.empty()) {
      platform.queryVolumeSpace = [this](const std::u16string& path) {
        const auto volume = volumes.find(path);
        return volume == volumes.end() ? std::nullopt : std::optional(volume->second);
      };
    }
    return platform;
  }

  ScanResult Scan(const std::vector<std::u16string>& paths, const std::u16string& label,
                  ScanCancellationToken& token, const ProgressCallback& progress = {}) {
    ScanScheduler scheduler(nullptr, ScanOptions{ScanEngineChoice::Automatic, 8}, Platform());
    return scheduler.Scan(paths, label, token, progress);
  }
};

TEST(ScanSchedulerTest, SinglePathEqualToLabelIsTheEnginesResultUnchanged) {
  FakeMachine machine;
  machine.files[u"D:\\Data\\"] = {10, 20, 30};
  ScanCancellationToken token;
  ScanResult result = machine.Scan({u"D:\\Data\\"}, u"D:\\Data\\", token);
  EXPECT_EQ(result.engine, ScanEngineKind::NtQueryDirectory);
  EXPECT_EQ(result.rootPath, u"D:\\Data");
  EXPECT_EQ(result.elapsedMs, 1234);  // the engine's own, not the scheduler's
  EXPECT_EQ(result.nodes[result.rootIndex].Name(), u"Data");
  EXPECT_EQ(TreeInconsistencies(result), Log{});

  // The same path under another label gets a synthetic root.
  ScanResult labelled = machine.Scan({u"D:\\Data\\"}, u"d:\\data\\", token);
  EXPECT_EQ(labelled.nodes[0].Name(), u"d:\\data\\");
  EXPECT_EQ(test::ChildrenOf(labelled.nodes[0]), std::vector<std::uint64_t>{1});
  EXPECT_EQ(TreeInconsistencies(labelled, RootKind::Synthetic), Log{});
}

TEST(ScanSchedulerTest, PathsHangUnderTheLabelInPathOrderWithShiftedIndices) {
  FakeMachine machine;
  machine.files[u"D:\\"] = {100, 200, 300};
  machine.files[u"C:\\"] = {7, 8};
  ScanCancellationToken token;
  ScanResult result = machine.Scan({u"D:\\", u"C:\\"}, u"All local drives", token);
  EXPECT_EQ(TreeInconsistencies(result, RootKind::Synthetic), Log{});
  EXPECT_EQ(result.status, ScanStatus::Completed);
  EXPECT_EQ(result.rootPath, u"All local drives");
  EXPECT_EQ(result.engine, ScanEngineKind::NtQueryDirectory);
  const ScanNode root = result.nodes[0];
  EXPECT_EQ(root.Name(), u"All local drives");
  EXPECT_EQ(root.Path(), u"All local drives");
  EXPECT_EQ(root.Attributes(), kAttributeDirectory);
  // D:\ has its root, sub and three files: nodes 1-5; C:\ starts at 6.
  ASSERT_EQ(test::ChildrenOf(root), (std::vector<std::uint64_t>{1, 6}));
  EXPECT_EQ(result.nodes[7].Path(), u"C:\\sub");
  EXPECT_EQ(result.folderCount, 4u);
  EXPECT_EQ(root.TotalSize(), 615u);
  ASSERT_EQ(result.issues.size(), 2u);
  EXPECT_EQ(result.issues[1].path, u"C:\\locked");

  ScanResult none = machine.Scan({}, u"All", token);
  EXPECT_EQ(none.nodes.size(), 1u);
  EXPECT_EQ(none.status, ScanStatus::Completed);
}

// A drive's scan sets what it found beside the drive's used space; the
// fake trees hold a folder that could not be read, so the rest of the
// difference is named unreadable. Drives add up under "All local drives";
// a folder, or a drive that cannot be asked, has no such figures.
TEST(ScanSchedulerTest, VolumeSpaceOfDrivesAndTheirSum) {
  FakeMachine machine;
  machine.files[u"C:\\"] = {7, 8};
  machine.files[u"D:\\"] = {100};
  machine.files[u"D:\\Data"] = {1};
  machine.volumeRoots = {u"C:\\", u"D:\\", u"E:\\"};
  machine.volumes[u"C:\\"] = {1000, 400, 512};
  machine.volumes[u"D:\\"] = {5000, 5000, 512};
  ScanCancellationToken token;
  const ScanResult c = machine.Scan({u"C:\\"}, u"C:\\", token);
  ASSERT_TRUE(c.space);
  EXPECT_EQ(c.space->volumeSize, 1000u);
  EXPECT_EQ(c.space->usedSpace, 600u);
  EXPECT_EQ(c.space->filesOnDisk, c.nodes.SizeOnDisk(c.rootIndex));
  EXPECT_EQ(c.space->unreadable, 600u - c.space->filesOnDisk);
  EXPECT_EQ(c.space->unexplained, 0u);

  const ScanResult all = machine.Scan({u"C:\\", u"D:\\"}, u"All local drives", token);
  ASSERT_TRUE(all.space);
  EXPECT_EQ(all.space->volumeSize, 6000u);
  EXPECT_EQ(all.space->usedSpace, 600u);
  EXPECT_EQ(all.space->freeSpace, 5400u);
  EXPECT_FALSE(machine.Scan({u"D:\\Data"}, u"D:\\Data", token).space);
  EXPECT_FALSE(machine.Scan({u"C:\\", u"E:\\"}, u"All local drives", token).space);
}

// Two drives whose totals each come close to the 64-bit limit (damaged
// records can claim that much) must not wrap around in the merged total.
TEST(ScanSchedulerTest, MergedTotalSaturates) {
  FakeMachine machine;
  machine.files[u"C:\\"] = {~std::uint64_t{0} - 1};
  machine.files[u"D:\\"] = {~std::uint64_t{0} - 1};
  ScanCancellationToken token;
  ScanResult result = machine.Scan({u"C:\\", u"D:\\"}, u"All", token);
  EXPECT_EQ(result.nodes[0].TotalSize(), ~std::uint64_t{0});
}

TEST(ScanSchedulerTest, SecondPathsProgressStartsAtTheFirstPathsFinalCounts) {
  FakeMachine machine;
  machine.files[u"C:\\"] = {1, 2, 3};
  machine.files[u"D:\\"] = {4, 5};
  std::vector<ScanProgress> seen;
  ScanCancellationToken token;
  machine.Scan({u"C:\\", u"D:\\"}, u"All", token,
               [&](const ScanProgress& p) { seen.push_back(p); });
  ASSERT_EQ(seen.size(), 5u);
  // The first path ended with 3 files and 2 folders.
  EXPECT_EQ(seen[3].filesScanned, 3u + 1u);
  EXPECT_EQ(seen[3].foldersScanned, 2u + 2u);
  EXPECT_EQ(seen[3].currentPath, u"D:\\sub\\f0");
}

// A cancel ends the loop: no later path is scanned, what was merged stays.
TEST(ScanSchedulerTest, CancelKeepsWhatWasMergedAndScansNoFurther) {
  FakeMachine machine;
  machine.files[u"C:\\"] = {1, 2};
  ScanCancellationToken token;
  token.Cancel();
  EXPECT_EQ(machine.Scan({u"C:\\", u"D:\\"}, u"All", token).nodes.size(), 1u);
  EXPECT_TRUE(machine.log.empty());

  // The user cancels just as the first path finishes.
  ScanCancellationToken later;
  ScanPlatform platform = machine.Platform();
  platform.engines.makeNtQueryDirectory = [&](std::uint64_t) {
    return std::make_unique<FakeScanEngine>(
        [&](const std::u16string& path, ScanCancellationToken&, const ProgressCallback&) {
          later.Cancel();
          return FakeTree(path, ScanEngineKind::NtQueryDirectory, machine.files[path], {});
        });
  };
  ScanResult result =
      ScanScheduler(nullptr, ScanOptions{}, platform).Scan({u"C:\\", u"D:\\"}, u"All", later, {});
  EXPECT_EQ(TreeInconsistencies(result, RootKind::Synthetic), Log{});
  EXPECT_EQ(result.status, ScanStatus::Cancelled);
  ASSERT_EQ(result.nodes[0].Children().size(), 1u);
  EXPECT_EQ(result.nodes[0].FileCount(), 2u);

  // A part that comes back cancelled is merged and ends the loop too.
  int scans = 0;
  platform.engines.makeNtQueryDirectory = [&](std::uint64_t) {
    return std::make_unique<FakeScanEngine>([&](const std::u16string& path, ScanCancellationToken&,
                                                const ProgressCallback&) {
      ++scans;
      return FakeTree(path, ScanEngineKind::NtQueryDirectory, {5, 6}, {}, ScanStatus::Cancelled);
    });
  };
  ScanCancellationToken unset;
  result =
      ScanScheduler(nullptr, ScanOptions{}, platform).Scan({u"C:\\", u"D:\\"}, u"All", unset, {});
  EXPECT_EQ(scans, 1);
  EXPECT_EQ(result.status, ScanStatus::Cancelled);
  EXPECT_EQ(result.nodes[0].TotalSize(), 11u);
}

TEST(ScanSchedulerTest, AutomaticChoicePerPath) {
  struct Case {
    const char* name;
    bool volumeRoot, elevated, mftAvailable, mftFails, cancelDuringMft;
    Log expectedLog;
    ScanStatus status;
    ScanEngineKind engine;
  };
  const Log query = {"make NtQueryDirectory 8", "scan NtQueryDirectory C:\\Users"};
  const Log askAll = {"root? C:\\Users", "elevated?", "ntfs? C:\\Users"};
  const Log mft = {"make NtfsMft 8", "scan NtfsMft C:\\Users"};
  auto join = [](std::initializer_list<Log> parts) {
    Log joined;
    for (const Log& part : parts) joined.insert(joined.end(), part.begin(), part.end());
    return joined;
  };
  const Case cases[] = {
      {"not a volume root", false, true, true, false, false, join({{"root? C:\\Users"}, query}),
       ScanStatus::Completed, ScanEngineKind::NtQueryDirectory},
      {"not elevated", true, false, true, false, false,
       join({{"root? C:\\Users", "elevated?"}, query}), ScanStatus::Completed,
       ScanEngineKind::NtQueryDirectory},
      {"not NTFS", true, true, false, false, false, join({askAll, query}), ScanStatus::Completed,
       ScanEngineKind::NtQueryDirectory},
      {"MFT works", true, true, true, false, false, join({askAll, mft}), ScanStatus::Completed,
       ScanEngineKind::NtfsMft},
      {"MFT fails and falls back", true, true, true, true, false, join({askAll, mft, query}),
       ScanStatus::Completed, ScanEngineKind::NtQueryDirectory},
      {"MFT fails while cancelled: no second scan", true, true, true, true, true,
       join({askAll, mft}), ScanStatus::Failed, ScanEngineKind::NtfsMft},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    FakeMachine machine;
    ScanCancellationToken token;
    if (c.volumeRoot) machine.volumeRoots = {u"C:\\Users"};
    machine.elevated = c.elevated;
    machine.mftAvailable = c.mftAvailable;
    machine.mftFails = c.mftFails;
    if (c.cancelDuringMft) machine.cancelDuringMft = &token;
    ScanResult result = machine.Scan({u"C:\\Users"}, u"C:\\Users", token);
    EXPECT_EQ(machine.log, c.expectedLog);
    EXPECT_EQ(result.status, c.status);
    EXPECT_EQ(result.engine, c.engine);
  }
}

// In a merged scan a failed MFT part falls back like a single path; when a
// cancel stops the fall-back, the failed part adds nothing.
TEST(ScanSchedulerTest, FailedMftPartsOfAMergedScan) {
  for (const bool cancel : {false, true}) {
    SCOPED_TRACE(cancel);
    FakeMachine machine;
    machine.files[u"C:\\"] = {9};
    machine.files[u"D:\\"] = {1};
    machine.volumeRoots = {u"C:\\", u"D:\\"};
    machine.elevated = true;
    machine.mftFails = true;
    ScanCancellationToken token;
    if (cancel) machine.cancelDuringMft = &token;
    ScanResult result = machine.Scan({u"C:\\", u"D:\\"}, u"All", token);
    EXPECT_EQ(TreeInconsistencies(result, RootKind::Synthetic), Log{});
    EXPECT_TRUE(result.message.empty());
    EXPECT_EQ(result.status, cancel ? ScanStatus::Cancelled : ScanStatus::Completed);
    EXPECT_EQ(result.nodes[0].TotalSize(), cancel ? 0u : 10u);
    EXPECT_EQ(result.engine, cancel ? ScanEngineKind::NtfsMft : ScanEngineKind::NtQueryDirectory);
  }
  FakeMachine mixed;
  mixed.elevated = true;
  mixed.volumeRoots = {u"C:\\"};
  ScanCancellationToken token;
  EXPECT_EQ(mixed.Scan({u"C:\\", u"C:\\Users"}, u"All", token).engine, ScanEngineKind{0});
}

TEST(ScanSchedulerTest, ForcedEngineScansEveryPathWithoutAskingAnything) {
  FakeMachine machine;
  machine.elevated = true;
  machine.volumeRoots = {u"C:\\"};
  ScanPlatform platform = machine.Platform();
  ScanScheduler scheduler(MakeForcedEngine(ScanEngineChoice::DirectoryWalk, 4, platform.engines),
                          ScanOptions{ScanEngineChoice::DirectoryWalk, 4}, platform);
  ScanCancellationToken token;
  EXPECT_EQ(scheduler.Scan({u"C:\\", u"D:\\"}, u"All", token, {}).engine,
            ScanEngineKind::DirectoryWalk);
  EXPECT_EQ(machine.log,
            (Log{"make DirectoryWalk", "scan DirectoryWalk C:\\", "scan DirectoryWalk D:\\"}));

  const std::pair<std::uint32_t, std::string> choices[] = {{1, "make DirectoryWalk"},
                                                           {2, "make NtQueryDirectory 3"},
                                                           {3, "make NtfsMft 3"},
                                                           {77, "make DirectoryWalk"}};
  EXPECT_EQ(MakeForcedEngine(ScanEngineChoice::Automatic, 3, platform.engines), nullptr);
  for (const auto& [choice, made] : choices) {
    machine.log.clear();
    EXPECT_NE(MakeForcedEngine(ScanEngineChoice{choice}, 3, platform.engines), nullptr);
    EXPECT_EQ(machine.log, Log{made}) << choice;
  }
}

TEST(ScanSchedulerTest, MissingEnginesAndBrokenPartsAreFailuresNotCrashes) {
  ScanScheduler scheduler(nullptr, ScanOptions{}, ScanPlatform{});
  ScanCancellationToken token;
  ScanResult result = scheduler.ScanPath(u"C:\\", token, {});
  EXPECT_EQ(result.status, ScanStatus::Failed);
  EXPECT_FALSE(result.message.empty());

  ScanResult merged = scheduler.Scan({}, u"All", token, {});
  ScanResult bogus = FakeTree(u"C:\\", ScanEngineKind::NtQueryDirectory, {1}, {});
  bogus.rootIndex = bogus.nodes.size();
  MergeScanResult(merged, std::move(bogus));
  EXPECT_EQ(merged.nodes.size(), 1u);
  EXPECT_EQ(merged.issueCount, 0u);
}

TEST(SameVolumePathTest, ComparesTrimmedPathsIgnoringCase) {
  const struct {
    const char16_t* path;
    const char16_t* volume;
    bool same;
  } cases[] = {
      {u"c:\\", u"C:\\", true},         {u"C:", u"C:\\", false},
      {u"C:\\Data", u"C:\\", false},    {u"D:\\Mount\\Disk2\\\\", u"d:\\mount\\DISK2\\", true},
      {u"C:\\Data", u"C:\\Dat", false},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(SameVolumePath(c.path, c.volume), c.same) << base::ToUtf8(c.path);
  }
}

}  // namespace
}  // namespace ombrix::core
