#include "core/ntquery/nt_query_engine.h"

#include <gtest/gtest.h>

#include <atomic>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "base/system_error_codes.h"
#include "base/text_encoding.h"
#include "base/thread_starter.h"
#include "tests/core/ntquery/fake_directory_lister.h"
#include "tests/support/test_data.h"

namespace ombrix::core {
namespace {

using test::FakeDirectoryLister;

std::u16string Numbered(const char* stem, int i, std::size_t padTo = 0) {
  std::string text = std::to_string(i);
  if (text.size() < padTo) text.insert(0, padTo - text.size(), '0');
  return test::ToU16(stem + text);
}

const ScanNode* FindNode(const ScanResult& result, const std::u16string& path) {
  for (const ScanNode& node : result.nodes) {
    if (node.path == path) return &node;
  }
  return nullptr;
}

ScanResult ScanWith(std::shared_ptr<FakeDirectoryLister> lister, const std::u16string& path,
                    std::uint64_t threads = 1, ProgressCallback progress = {}) {
  NtQueryDirectoryScanEngine engine(threads, lister);
  ScanCancellationToken token;
  return engine.Scan(path, token, progress);
}

// R holds a.txt (10), sub\ (b.bin 20, deeper\ (c 5)), empty\.
std::shared_ptr<FakeDirectoryLister> SmallTree(const std::u16string& root = u"R:\\data") {
  auto lister = std::make_shared<FakeDirectoryLister>();
  lister->AddFile(root, u"a.txt", 10);
  lister->AddFolder(root, u"sub");
  lister->AddFolder(root, u"empty");
  lister->AddFile(root + u"\\sub", u"b.bin", 20);
  lister->AddFolder(root + u"\\sub", u"deeper");
  lister->AddFile(root + u"\\sub\\deeper", u"c", 5);
  return lister;
}

TEST(NtQueryEngineTest, WorkerCountDefaultsAndCaps) {
  const std::pair<std::uint64_t, std::uint64_t> cases[] = {{0, 8},   {1, 1},   {8, 8},
                                                           {64, 64}, {65, 64}, {200, 64}};
  for (const auto& [setting, workers] : cases) {
    EXPECT_EQ(NtQueryDirectoryScanEngine::WorkerCount(setting), workers) << setting;
  }
}

TEST(NtQueryEngineTest, RecognisesDriveRoots) {
  const std::pair<std::u16string, bool> cases[] = {
      {u"C:", true},   {u"C:\\", true},  {u"z:/", true},   {u"C:\\a", false},
      {u"C:a", false}, {u"\\\\", false}, {u"CC\\", false}, {u"", false},
  };
  for (const auto& [path, isRoot] : cases) {
    EXPECT_EQ(NtQueryDirectoryScanEngine::IsDriveRoot(path), isRoot) << base::ToUtf8(path);
  }
}

TEST(NtQueryEngineTest, BuildsTheTreeWithTotals) {
  for (std::uint64_t threads : {1, 3, 8}) {
    SCOPED_TRACE(threads);
    auto lister = SmallTree();
    const ScanResult result = ScanWith(lister, u"R:\\data", threads);
    EXPECT_EQ(result.status, ScanStatus::Completed);
    EXPECT_EQ(result.engine, ScanEngineKind::NtQueryDirectory);
    EXPECT_EQ(result.rootPath, u"R:\\data");
    EXPECT_TRUE(result.issues.empty());
    ASSERT_EQ(result.nodes.size(), 7u);  // no "." or ".." nodes
    EXPECT_EQ(result.fileCount, 3u);
    EXPECT_EQ(result.folderCount, 4u);

    const ScanNode& root = result.nodes[result.rootIndex];
    EXPECT_EQ(root.name, u"data");
    EXPECT_EQ(root.attributes, 0x10u);
    EXPECT_EQ(root.lastWriteTime, 42u);
    EXPECT_EQ(root.totalSize, 35u);
    EXPECT_EQ(root.directFilesSize, 10u);
    EXPECT_EQ(root.fileCount, 3u);
    EXPECT_EQ(root.folderCount, 3u);

    const ScanNode* deeper = FindNode(result, u"R:\\data\\sub\\deeper");
    ASSERT_NE(deeper, nullptr);
    EXPECT_EQ(deeper->name, u"deeper");
    EXPECT_EQ(deeper->totalSize, 5u);
    EXPECT_EQ(result.nodes[deeper->parent].path, u"R:\\data\\sub");
    const ScanNode* b = FindNode(result, u"R:\\data\\sub\\b.bin");
    ASSERT_NE(b, nullptr);
    EXPECT_EQ(b->ownSize, 20u);
    EXPECT_EQ(b->attributes, 0x20u);
    EXPECT_EQ(lister->liveHandles.load(), 0);
  }
}

TEST(NtQueryEngineTest, TrailingSeparatorsAreTrimmedButEntryPathsStayClean) {
  auto lister = SmallTree();
  const ScanResult result = ScanWith(lister, u"R:\\data\\\\");
  EXPECT_EQ(result.rootPath, u"R:\\data");
  EXPECT_EQ(result.nodes[result.rootIndex].name, u"data");
  EXPECT_NE(FindNode(result, u"R:\\data\\sub\\deeper\\c"), nullptr);
}

TEST(NtQueryEngineTest, DriveRootHasAnEmptyNameAndTheLargeReserve) {
  auto lister = SmallTree(u"R:\\");
  // The fake stores children of the root under "R:\"; the engine lists
  // "R:\" and builds entry paths without doubling the separator.
  const ScanResult result = ScanWith(lister, u"R:\\");
  EXPECT_EQ(result.rootPath, u"R:\\");
  EXPECT_EQ(result.nodes[result.rootIndex].name, u"");
  EXPECT_NE(FindNode(result, u"R:\\a.txt"), nullptr);
  EXPECT_GE(result.nodes.capacity(), NtQueryDirectoryScanEngine::kDriveRootReserve);

  const ScanResult folder = ScanWith(SmallTree(), u"R:\\data");
  EXPECT_GE(folder.nodes.capacity(), NtQueryDirectoryScanEngine::kFolderReserve);
  EXPECT_LT(folder.nodes.capacity(), NtQueryDirectoryScanEngine::kDriveRootReserve);
}

TEST(NtQueryEngineTest, UnreadableRootAttributesDefaultToAFolder) {
  auto lister = SmallTree();
  lister->rootAttributes.reset();
  const ScanResult result = ScanWith(lister, u"R:\\data");
  EXPECT_EQ(result.nodes[result.rootIndex].attributes, 0x10u);
  EXPECT_EQ(result.nodes[result.rootIndex].lastWriteTime, 0u);
  EXPECT_EQ(result.nodes.size(), 7u);
}

TEST(NtQueryEngineTest, FolderThatCannotBeOpenedStaysWithoutChildren) {
  auto lister = SmallTree();
  lister->openErrors[u"R:\\data\\sub"] = base::kErrorAccessDenied;
  const ScanResult result = ScanWith(lister, u"R:\\data", 4);
  EXPECT_EQ(result.status, ScanStatus::Completed);
  ASSERT_EQ(result.issues.size(), 1u);
  EXPECT_EQ(result.issues[0].path, u"R:\\data\\sub");
  EXPECT_EQ(result.issues[0].errorCode, 5u);
  EXPECT_EQ(result.issueCount, 1u);
  const ScanNode* sub = FindNode(result, u"R:\\data\\sub");
  ASSERT_NE(sub, nullptr);
  EXPECT_TRUE(sub->children.empty());
  EXPECT_EQ(result.nodes.size(), 4u);
}

TEST(NtQueryEngineTest, ListingThatFailsPartWayKeepsWhatWasAdded) {
  for (bool hasMapper : {true, false}) {
    SCOPED_TRACE(hasMapper);
    auto lister = std::make_shared<FakeDirectoryLister>();
    for (int i = 0; i < 10; ++i) lister->AddFile(u"R:\\d", Numbered("f", i), 1);
    lister->maxEntriesPerBatch = 4;
    lister->listingFailures[u"R:\\d"] = test::FakeListingFailure{2, test::kStatusIoDeviceError};
    lister->hasMapper = hasMapper;
    const ScanResult result = ScanWith(lister, u"R:\\d", 2);
    EXPECT_EQ(result.status, ScanStatus::Completed);
    EXPECT_EQ(result.fileCount, 8u);
    ASSERT_EQ(result.issues.size(), 1u);
    EXPECT_EQ(result.issues[0].path, u"R:\\d");
    EXPECT_EQ(result.issues[0].errorCode, hasMapper ? test::kErrorIoDevice : 5u);
  }
}

TEST(NtQueryEngineTest, WarningStatusesAreFailuresToo) {
  auto lister = SmallTree();
  // STATUS_BUFFER_OVERFLOW is a warning, not success: nothing usable came back.
  lister->listingFailures[u"R:\\data\\sub"] = test::FakeListingFailure{0, 0x80000005};
  const ScanResult result = ScanWith(lister, u"R:\\data");
  ASSERT_EQ(result.issues.size(), 1u);
  EXPECT_EQ(result.issues[0].errorCode, 317u);
  EXPECT_TRUE(FindNode(result, u"R:\\data\\sub")->children.empty());
}

TEST(NtQueryEngineTest, MalformedBatchKeepsDecodedEntriesAndEndsTheListing) {
  auto lister = std::make_shared<FakeDirectoryLister>();
  for (int i = 0; i < 9; ++i) lister->AddFile(u"R:\\d", Numbered("f", i), 1);
  lister->maxEntriesPerBatch = 3;
  lister->malformedFolders.insert(u"R:\\d");
  const ScanResult result = ScanWith(lister, u"R:\\d");
  // Batch 1 whole, batch 2 without its damaged last record, batch 3 never asked for.
  EXPECT_EQ(result.fileCount, 5u);
  ASSERT_EQ(result.issues.size(), 1u);
  EXPECT_EQ(result.issues[0].errorCode, 13u);
}

TEST(NtQueryEngineTest, MissingQueryCallLeavesTheRootAndOneIssue) {
  auto lister = SmallTree();
  lister->hasQueryCall = false;
  std::atomic<int> started{0};
  NtQueryDirectoryScanEngine engine(8, lister, [&](std::function<void()> body, std::thread& t) {
    ++started;
    return base::StartStdThread(std::move(body), t);
  });
  ScanCancellationToken token;
  const ScanResult result = engine.Scan(u"R:\\data", token, {});
  EXPECT_EQ(result.status, ScanStatus::Completed);
  EXPECT_EQ(result.nodes.size(), 1u);
  ASSERT_EQ(result.issues.size(), 1u);
  EXPECT_EQ(result.issues[0].path, u"R:\\data");
  EXPECT_EQ(result.issues[0].errorCode, 127u);
  EXPECT_EQ(started.load(), 0);
  EXPECT_EQ(lister->openCount.load(), 0u);
}

TEST(NtQueryEngineTest, JunctionsAreLeavesAndNeverListed) {
  auto lister = SmallTree();
  lister->AddFolder(u"R:\\data", u"link", kAttributeReparsePoint);
  // Even if the target were listable, it must not be opened through the link.
  lister->folders[u"R:\\data\\link"] = {test::FakeEntry{u"target-file", false, 999}};
  const ScanResult result = ScanWith(lister, u"R:\\data", 4);
  const ScanNode* link = FindNode(result, u"R:\\data\\link");
  ASSERT_NE(link, nullptr);
  EXPECT_EQ(link->isDirectory, 1);
  EXPECT_EQ(link->isReparsePoint, 1);
  EXPECT_TRUE(link->children.empty());
  EXPECT_FALSE(lister->WasOpened(u"R:\\data\\link"));
  EXPECT_EQ(result.nodes[result.rootIndex].totalSize, 35u);
}

TEST(NtQueryEngineTest, LargeFolderIsListedAcrossBatchesWithoutLossOrRepeat) {
  auto lister = std::make_shared<FakeDirectoryLister>();
  const std::u16string longTail(110, u'x');
  for (int i = 0; i < 5000; ++i) {
    lister->AddFile(u"R:\\wide", Numbered("f", i, 5) + longTail, static_cast<std::uint64_t>(i));
  }
  const ScanResult result = ScanWith(lister, u"R:\\wide", 8);
  ASSERT_EQ(result.fileCount, 5000u);
  std::set<std::u16string> names;
  std::uint64_t total = 0;
  for (const ScanNode& node : result.nodes) {
    if (node.isDirectory == 0) {
      names.insert(node.name);
      total += node.ownSize;
    }
  }
  EXPECT_EQ(names.size(), 5000u);
  EXPECT_EQ(total, 4999u * 5000u / 2);
  EXPECT_EQ(lister->restartQueries.load(), 1u);  // one restart, then continuation calls
}

TEST(NtQueryEngineTest, ProgressAfterEvery128thFileAcrossFoldersAndEveryFolder) {
  auto lister = std::make_shared<FakeDirectoryLister>();
  for (int i = 0; i < 600; ++i) lister->AddFile(u"R:\\p", Numbered("a", i), 1);
  lister->AddFolder(u"R:\\p", u"s");
  for (int i = 0; i < 400; ++i) lister->AddFile(u"R:\\p\\s", Numbered("b", i), 1);
  std::vector<ScanProgress> reports;
  const ScanResult result =
      ScanWith(lister, u"R:\\p", 1, [&](const ScanProgress& p) { reports.push_back(p); });
  std::vector<std::uint64_t> fileReports;
  std::uint64_t folderReports = 0;
  std::uint64_t previousFolders = 0;
  for (const ScanProgress& report : reports) {
    if (report.foldersScanned != previousFolders) {
      ++folderReports;
      previousFolders = report.foldersScanned;
      EXPECT_EQ(report.currentPath, u"R:\\p\\s");
    } else {
      fileReports.push_back(report.filesScanned);
    }
  }
  EXPECT_EQ(fileReports, (std::vector<std::uint64_t>{128, 256, 384, 512, 640, 768, 896}));
  EXPECT_EQ(folderReports, 1u);
  EXPECT_EQ(result.fileCount, 1000u);
}

TEST(NtQueryEngineTest, NoWorkerThreadListsOnTheScanThread) {
  auto lister = SmallTree();
  std::atomic<int> attempts{0};
  NtQueryDirectoryScanEngine engine(8, lister, [&](std::function<void()>, std::thread&) {
    ++attempts;
    return false;
  });
  ScanCancellationToken token;
  const ScanResult result = engine.Scan(u"R:\\data", token, {});
  EXPECT_EQ(attempts.load(), 1);  // the first failure stops further attempts
  EXPECT_EQ(result.status, ScanStatus::Completed);
  EXPECT_EQ(result.nodes.size(), 7u);
  EXPECT_EQ(result.nodes[result.rootIndex].totalSize, 35u);
}

TEST(NtQueryEngineTest, RunsWithTheWorkersThatStarted) {
  auto lister = SmallTree();
  std::atomic<int> started{0};
  NtQueryDirectoryScanEngine engine(8, lister, [&](std::function<void()> body, std::thread& t) {
    if (started == 2) return false;
    ++started;
    return base::StartStdThread(std::move(body), t);
  });
  ScanCancellationToken token;
  const ScanResult result = engine.Scan(u"R:\\data", token, {});
  EXPECT_EQ(started.load(), 2);
  EXPECT_EQ(result.nodes.size(), 7u);
  EXPECT_EQ(result.nodes[result.rootIndex].totalSize, 35u);
}

TEST(NtQueryEngineTest, CancelledBeforeTheStartListsNothingButTheRoot) {
  auto lister = SmallTree();
  NtQueryDirectoryScanEngine engine(4, lister);
  ScanCancellationToken token;
  token.Cancel();
  const ScanResult result = engine.Scan(u"R:\\data", token, {});
  EXPECT_EQ(result.status, ScanStatus::Cancelled);
  EXPECT_EQ(result.engine, ScanEngineKind::NtQueryDirectory);
  EXPECT_EQ(result.nodes.size(), 1u);
  EXPECT_EQ(lister->liveHandles.load(), 0);
}

}  // namespace
}  // namespace ombrix::core
