#include "core/scan_scheduler.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <string>
#include <vector>

#include "base/text_encoding.h"
#include "tests/support/fake_scan_engine.h"
#include "tests/support/test_data.h"

namespace ombrix::core {
namespace {

using test::FakeScanEngine;
using test::FakeTree;
using test::TreeProblem;

// A made-up machine: per path, what each engine returns and what the three
// questions answer; every engine made and every question asked is logged.
struct FakeMachine {
  std::map<std::u16string, std::vector<std::uint64_t>> files;
  std::vector<std::u16string> volumeRoots;
  bool elevated = false;
  bool mftAvailable = true;
  bool mftFails = false;
  ScanCancellationToken* cancelDuringMft = nullptr;
  std::vector<std::string> log;

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
      for (const auto& root : volumeRoots) {
        if (root == path) return true;
      }
      return false;
    };
    platform.isProcessElevated = [this] {
      log.push_back("elevated?");
      return elevated;
    };
    platform.isNtfsMftScanAvailable = [this](const std::u16string& path) {
      log.push_back("ntfs? " + base::ToUtf8(path));
      return mftAvailable;
    };
    return platform;
  }

  ScanScheduler Scheduler(std::uint64_t threads = 8) {
    return ScanScheduler(nullptr, ScanOptions{ScanEngineChoice::Automatic, threads}, Platform());
  }
};

TEST(ScanSchedulerTest, SinglePathEqualToLabelIsTheEnginesResultUnchanged) {
  FakeMachine machine;
  machine.files[u"D:\\Data\\"] = {10, 20, 30};
  ScanCancellationToken token;
  ScanResult result = machine.Scheduler().Scan({u"D:\\Data\\"}, u"D:\\Data\\", token, {});
  EXPECT_EQ(result.status, ScanStatus::Completed);
  EXPECT_EQ(result.engine, ScanEngineKind::NtQueryDirectory);
  EXPECT_EQ(result.rootPath, u"D:\\Data");
  EXPECT_EQ(result.elapsedMs, 1234);
  ASSERT_EQ(result.rootIndex, 0u);
  EXPECT_EQ(result.nodes[0].name, u"Data");
  EXPECT_EQ(result.nodes.size(), 5u);
  EXPECT_EQ(result.fileCount, 3u);
  EXPECT_EQ(result.folderCount, 2u);
  EXPECT_EQ(result.nodes[0].totalSize, 60u);
}

TEST(ScanSchedulerTest, OnePathUnderAnotherLabelGetsASyntheticRoot) {
  FakeMachine machine;
  machine.files[u"C:\\Users"] = {1, 2};
  ScanCancellationToken token;
  ScanResult result = machine.Scheduler().Scan({u"C:\\Users"}, u"C:\\users", token, {});
  ASSERT_EQ(TreeProblem(result), "");
  ASSERT_EQ(result.nodes[0].children, std::vector<std::uint64_t>{1});
  EXPECT_EQ(result.nodes[0].name, u"C:\\users");
  EXPECT_EQ(result.nodes[0].folderCount, result.nodes[1].folderCount + 1);
  EXPECT_EQ(result.nodes[0].fileCount, 2u);
  EXPECT_EQ(result.nodes[0].totalSize, 3u);
}

TEST(ScanSchedulerTest, TwoPathsHangUnderTheLabelInPathOrderWithShiftedIndices) {
  FakeMachine machine;
  machine.files[u"D:\\"] = {100, 200, 300};
  machine.files[u"C:\\"] = {7, 8};
  ScanCancellationToken token;
  ScanResult result = machine.Scheduler().Scan({u"D:\\", u"C:\\"}, u"All local drives", token, {});
  ASSERT_EQ(TreeProblem(result), "");
  EXPECT_EQ(result.status, ScanStatus::Completed);
  EXPECT_EQ(result.rootIndex, 0u);
  EXPECT_EQ(result.rootPath, u"All local drives");
  EXPECT_TRUE(result.message.empty());

  const ScanNode& root = result.nodes[0];
  EXPECT_EQ(root.name, u"All local drives");
  EXPECT_EQ(root.path, u"All local drives");
  EXPECT_EQ(root.parent, kNoNode);
  EXPECT_EQ(root.isDirectory, 1);
  EXPECT_EQ(root.attributes, kAttributeDirectory);
  EXPECT_EQ(root.ownSize, 0u);
  EXPECT_EQ(root.directFilesSize, 0u);
  // D:\ has its root, sub and three files: nodes 1-5; C:\ starts at 6.
  ASSERT_EQ(root.children, (std::vector<std::uint64_t>{1, 6}));
  EXPECT_EQ(result.nodes[1].path, u"D:\\");
  EXPECT_EQ(result.nodes[1].parent, 0u);
  EXPECT_EQ(result.nodes[6].path, u"C:\\");
  EXPECT_EQ(result.nodes[7].path, u"C:\\sub");
  EXPECT_EQ(result.nodes[7].parent, 6u);
  EXPECT_EQ(result.nodes.size(), 10u);

  EXPECT_EQ(result.fileCount, 5u);
  EXPECT_EQ(result.folderCount, 4u);  // the synthetic root is not counted
  EXPECT_EQ(result.issueCount, 2u);
  ASSERT_EQ(result.issues.size(), 2u);
  EXPECT_EQ(result.issues[0].path, u"D:\\locked");
  EXPECT_EQ(result.issues[1].path, u"C:\\locked");
  EXPECT_EQ(root.totalSize, 615u);
  EXPECT_EQ(root.fileCount, 5u);
  EXPECT_EQ(root.folderCount, 4u);
  EXPECT_EQ(result.engine, ScanEngineKind::NtQueryDirectory);
}

TEST(ScanSchedulerTest, EmptyPathListGivesTheSyntheticRootAlone) {
  FakeMachine machine;
  ScanCancellationToken token;
  ScanResult result = machine.Scheduler().Scan({}, u"All local drives", token, {});
  EXPECT_EQ(result.status, ScanStatus::Completed);
  EXPECT_EQ(result.rootIndex, 0u);
  ASSERT_EQ(result.nodes.size(), 1u);
  EXPECT_TRUE(result.nodes[0].children.empty());
  EXPECT_EQ(result.fileCount, 0u);
  EXPECT_EQ(result.folderCount, 0u);
  EXPECT_TRUE(machine.log.empty());
}

TEST(ScanSchedulerTest, SecondPathsProgressStartsAtTheFirstPathsFinalCounts) {
  FakeMachine machine;
  machine.files[u"C:\\"] = {1, 2, 3};
  machine.files[u"D:\\"] = {4, 5};
  std::vector<ScanProgress> seen;
  ScanCancellationToken token;
  machine.Scheduler().Scan({u"C:\\", u"D:\\"}, u"All", token,
                           [&seen](const ScanProgress& p) { seen.push_back(p); });
  ASSERT_EQ(seen.size(), 5u);
  EXPECT_EQ(seen[2].filesScanned, 3u);
  EXPECT_EQ(seen[2].foldersScanned, 2u);
  // The first path ended with 3 files and 2 folders.
  EXPECT_EQ(seen[3].filesScanned, 3u + 1u);
  EXPECT_EQ(seen[3].foldersScanned, 2u + 2u);
  EXPECT_EQ(seen[3].currentPath, u"D:\\sub\\f0");
  EXPECT_EQ(seen[4].filesScanned, 5u);
}

TEST(ScanSchedulerTest, CancelBeforeTheFirstPathGivesTheRootAlone) {
  FakeMachine machine;
  ScanCancellationToken token;
  token.Cancel();
  ScanResult result = machine.Scheduler().Scan({u"C:\\", u"D:\\"}, u"All", token, {});
  EXPECT_EQ(result.status, ScanStatus::Cancelled);
  EXPECT_EQ(result.nodes.size(), 1u);
  EXPECT_TRUE(machine.log.empty());
}

TEST(ScanSchedulerTest, CancelBetweenPathsKeepsWhatWasMerged) {
  FakeMachine machine;
  machine.files[u"C:\\"] = {1, 2};
  ScanCancellationToken token;
  auto platform = machine.Platform();
  auto makeQuery = platform.engines.makeNtQueryDirectory;
  // The user cancels just as the first path finishes.
  platform.engines.makeNtQueryDirectory =
      [&](std::uint64_t threads) -> std::unique_ptr<IScanEngine> {
    auto inner = std::shared_ptr<IScanEngine>(makeQuery(threads));
    return std::make_unique<FakeScanEngine>([inner, &token](const std::u16string& path,
                                                            ScanCancellationToken& t,
                                                            const ProgressCallback& progress) {
      ScanResult r = inner->Scan(path, t, progress);
      token.Cancel();
      return r;
    });
  };
  ScanScheduler scheduler(nullptr, ScanOptions{}, platform);
  ScanResult result = scheduler.Scan({u"C:\\", u"D:\\", u"E:\\"}, u"All", token, {});
  ASSERT_EQ(TreeProblem(result), "");
  EXPECT_EQ(result.status, ScanStatus::Cancelled);
  ASSERT_EQ(result.nodes[0].children.size(), 1u);
  EXPECT_EQ(result.nodes[1].path, u"C:\\");
  EXPECT_EQ(result.fileCount, 2u);
  EXPECT_EQ(result.nodes[0].fileCount, 2u);
  EXPECT_EQ(
      std::count(machine.log.begin(), machine.log.end(), std::string("scan NtQueryDirectory D:\\")),
      0);
}

TEST(ScanSchedulerTest, CancelledPartIsMergedAndEndsTheLoop) {
  ScanCancellationToken token;
  ScanPlatform platform;
  int scans = 0;
  platform.engines.makeNtQueryDirectory = [&scans](std::uint64_t) {
    return std::make_unique<FakeScanEngine>([&scans](const std::u16string& path,
                                                     ScanCancellationToken&,
                                                     const ProgressCallback& progress) {
      ++scans;
      return FakeTree(path, ScanEngineKind::NtQueryDirectory, {5, 6}, progress,
                      ScanStatus::Cancelled);
    });
  };
  ScanScheduler scheduler(nullptr, ScanOptions{}, platform);
  ScanResult result = scheduler.Scan({u"C:\\", u"D:\\"}, u"All", token, {});
  EXPECT_EQ(scans, 1);
  EXPECT_EQ(result.status, ScanStatus::Cancelled);
  EXPECT_EQ(result.nodes[0].children.size(), 1u);
  EXPECT_EQ(result.nodes[0].totalSize, 11u);
}

TEST(ScanSchedulerTest, DifferentEnginesGiveEngineZero) {
  FakeMachine machine;
  machine.elevated = true;
  machine.volumeRoots = {u"C:\\"};
  ScanCancellationToken token;
  ScanResult mixed = machine.Scheduler().Scan({u"C:\\", u"C:\\Users"}, u"All", token, {});
  EXPECT_EQ(mixed.engine, ScanEngineKind{0});
  ScanResult same = machine.Scheduler().Scan({u"C:\\", u"C:\\"}, u"All", token, {});
  EXPECT_EQ(same.engine, ScanEngineKind::NtfsMft);
}

struct ChoiceCase {
  const char* name;
  bool volumeRoot;
  bool elevated;
  bool mftAvailable;
  bool mftFails;
  bool cancelDuringMft;
  std::vector<std::string> expectedLog;
  ScanStatus expectedStatus;
  ScanEngineKind expectedEngine;
};

TEST(ScanSchedulerTest, AutomaticChoicePerPath) {
  const std::vector<ChoiceCase> cases = {
      {"not a volume root",
       false,
       true,
       true,
       false,
       false,
       {"root? C:\\Users", "make NtQueryDirectory 8", "scan NtQueryDirectory C:\\Users"},
       ScanStatus::Completed,
       ScanEngineKind::NtQueryDirectory},
      {"not elevated",
       true,
       false,
       true,
       false,
       false,
       {"root? C:\\Users", "elevated?", "make NtQueryDirectory 8",
        "scan NtQueryDirectory C:\\Users"},
       ScanStatus::Completed,
       ScanEngineKind::NtQueryDirectory},
      {"not NTFS",
       true,
       true,
       false,
       false,
       false,
       {"root? C:\\Users", "elevated?", "ntfs? C:\\Users", "make NtQueryDirectory 8",
        "scan NtQueryDirectory C:\\Users"},
       ScanStatus::Completed,
       ScanEngineKind::NtQueryDirectory},
      {"MFT works",
       true,
       true,
       true,
       false,
       false,
       {"root? C:\\Users", "elevated?", "ntfs? C:\\Users", "make NtfsMft 8",
        "scan NtfsMft C:\\Users"},
       ScanStatus::Completed,
       ScanEngineKind::NtfsMft},
      {"MFT fails and falls back",
       true,
       true,
       true,
       true,
       false,
       {"root? C:\\Users", "elevated?", "ntfs? C:\\Users", "make NtfsMft 8",
        "scan NtfsMft C:\\Users", "make NtQueryDirectory 8", "scan NtQueryDirectory C:\\Users"},
       ScanStatus::Completed,
       ScanEngineKind::NtQueryDirectory},
      {"MFT fails while cancelled: no second scan",
       true,
       true,
       true,
       true,
       true,
       {"root? C:\\Users", "elevated?", "ntfs? C:\\Users", "make NtfsMft 8",
        "scan NtfsMft C:\\Users"},
       ScanStatus::Failed,
       ScanEngineKind::NtfsMft},
  };
  for (const ChoiceCase& c : cases) {
    SCOPED_TRACE(c.name);
    FakeMachine machine;
    ScanCancellationToken token;
    if (c.volumeRoot) machine.volumeRoots = {u"C:\\Users"};
    machine.elevated = c.elevated;
    machine.mftAvailable = c.mftAvailable;
    machine.mftFails = c.mftFails;
    if (c.cancelDuringMft) machine.cancelDuringMft = &token;
    ScanResult result = machine.Scheduler().ScanPath(u"C:\\Users", token, {});
    EXPECT_EQ(machine.log, c.expectedLog);
    EXPECT_EQ(result.status, c.expectedStatus);
    EXPECT_EQ(result.engine, c.expectedEngine);
  }
}

TEST(ScanSchedulerTest, FailedMftPartOfAMergedScanFallsBack) {
  FakeMachine machine;
  machine.files[u"C:\\"] = {9};
  machine.files[u"D:\\"] = {1};
  machine.volumeRoots = {u"C:\\", u"D:\\"};
  machine.elevated = true;
  machine.mftFails = true;
  ScanCancellationToken token;
  ScanResult result = machine.Scheduler().Scan({u"C:\\", u"D:\\"}, u"All", token, {});
  ASSERT_EQ(TreeProblem(result), "");
  EXPECT_EQ(result.status, ScanStatus::Completed);
  EXPECT_TRUE(result.message.empty());
  EXPECT_EQ(result.engine, ScanEngineKind::NtQueryDirectory);
  EXPECT_EQ(result.nodes[0].children.size(), 2u);
  EXPECT_EQ(result.nodes[0].totalSize, 10u);
}

TEST(ScanSchedulerTest, FailedPartWithoutTreeAddsNothingAndCancelEndsTheScan) {
  FakeMachine machine;
  machine.files[u"D:\\"] = {1};
  machine.volumeRoots = {u"C:\\"};
  machine.elevated = true;
  machine.mftFails = true;
  ScanCancellationToken token;
  machine.cancelDuringMft = &token;
  ScanResult result = machine.Scheduler().Scan({u"C:\\", u"D:\\"}, u"All", token, {});
  ASSERT_EQ(TreeProblem(result), "");
  EXPECT_EQ(result.status, ScanStatus::Cancelled);
  EXPECT_EQ(result.nodes.size(), 1u);
  EXPECT_TRUE(result.message.empty());
  EXPECT_EQ(result.engine, ScanEngineKind::NtfsMft);
}

TEST(ScanSchedulerTest, ForcedEngineScansEveryPathWithoutAskingAnything) {
  FakeMachine machine;
  machine.elevated = true;
  machine.volumeRoots = {u"C:\\"};
  auto platform = machine.Platform();
  ScanScheduler scheduler(MakeForcedEngine(ScanEngineChoice::DirectoryWalk, 4, platform.engines),
                          ScanOptions{ScanEngineChoice::DirectoryWalk, 4}, platform);
  ScanCancellationToken token;
  ScanResult result = scheduler.Scan({u"C:\\", u"D:\\"}, u"All", token, {});
  EXPECT_EQ(result.engine, ScanEngineKind::DirectoryWalk);
  EXPECT_EQ(machine.log, (std::vector<std::string>{"make DirectoryWalk", "scan DirectoryWalk C:\\",
                                                   "scan DirectoryWalk D:\\"}));
}

TEST(ScanSchedulerTest, ForcedEngineForEachChoice) {
  FakeMachine machine;
  const auto engines = machine.Platform().engines;
  EXPECT_EQ(MakeForcedEngine(ScanEngineChoice::Automatic, 3, engines), nullptr);
  const std::vector<std::pair<std::uint32_t, std::string>> cases = {
      {1, "make DirectoryWalk"}, {2, "make NtQueryDirectory 3"}, {3, "make NtfsMft 3"},
      {4, "make DirectoryWalk"}, {77, "make DirectoryWalk"},
  };
  for (const auto& [choice, expected] : cases) {
    machine.log.clear();
    EXPECT_NE(MakeForcedEngine(ScanEngineChoice{choice}, 3, engines), nullptr);
    EXPECT_EQ(machine.log, std::vector<std::string>{expected}) << choice;
  }
}

TEST(ScanSchedulerTest, NoDirectoryQueryEngineIsAFailedPathNotACrash) {
  ScanScheduler scheduler(nullptr, ScanOptions{}, ScanPlatform{});
  ScanCancellationToken token;
  ScanResult result = scheduler.ScanPath(u"C:\\", token, {});
  EXPECT_EQ(result.status, ScanStatus::Failed);
  EXPECT_FALSE(result.message.empty());
}

TEST(MergeScanResultTest, PartWithoutValidRootAddsNothing) {
  ScanCancellationToken token;
  ScanScheduler scheduler(nullptr, ScanOptions{}, ScanPlatform{});
  ScanResult merged = scheduler.Scan({}, u"All", token, {});
  ScanResult bogus = FakeTree(u"C:\\", ScanEngineKind::NtQueryDirectory, {1}, {});
  bogus.rootIndex = bogus.nodes.size();
  MergeScanResult(merged, std::move(bogus));
  EXPECT_EQ(merged.nodes.size(), 1u);
  EXPECT_EQ(merged.fileCount, 0u);
  EXPECT_EQ(merged.issueCount, 0u);
  EXPECT_TRUE(merged.issues.empty());
}

TEST(SameVolumePathTest, ComparesTrimmedPathsIgnoringCase) {
  const struct {
    const char16_t* path;
    const char16_t* volume;
    bool same;
  } cases[] = {
      {u"C:\\", u"C:\\", true},
      {u"c:\\", u"C:\\", true},
      {u"C:", u"C:\\", false},
      {u"C:\\Data", u"C:\\", false},
      {u"D:\\Mount\\Disk2\\\\", u"d:\\mount\\DISK2\\", true},
      {u"C:\\Data", u"C:\\Dat", false},
      {u"\\\\server\\share\\", u"\\\\SERVER\\share\\", true},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(SameVolumePath(c.path, c.volume), c.same) << base::ToUtf8(c.path);
  }
}

}  // namespace
}  // namespace ombrix::core
