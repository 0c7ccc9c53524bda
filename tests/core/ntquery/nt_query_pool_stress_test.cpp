// The worker pool under many interleavings: thousands of folders, 1 to 64
// workers, cancellation at random moments. Meant to run under
// ThreadSanitizer as well as plainly; every scan must end, every started
// worker must finish, and no entry may be lost or doubled.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <map>
#include <memory>
#include <random>
#include <set>
#include <string>
#include <thread>
#include <utility>

#include "base/text_encoding.h"
#include "base/thread_starter.h"
#include "core/ntquery/nt_query_engine.h"
#include "core/scan_paths.h"
#include "tests/core/ntquery/fake_directory_lister.h"
#include "tests/support/scan_result_checks.h"
#include "tests/support/test_data.h"

namespace ombrix::core {
namespace {

using test::FakeDirectoryLister;

const std::u16string kRoot = u"S:\\stress";

struct ExpectedEntry {
  bool isDirectory = false;
  std::uint64_t size = 0;
};

// A random tree of folderCount folders and fileCount files, and what each
// path should hold.
std::shared_ptr<FakeDirectoryLister> RandomTree(int folderCount, int fileCount, unsigned seed,
                                                std::map<std::u16string, ExpectedEntry>& expected) {
  auto lister = std::make_shared<FakeDirectoryLister>();
  lister->maxEntriesPerBatch = 7;  // several batches per folder
  std::mt19937 random(seed);
  std::vector<std::u16string> folders{kRoot};
  lister->folders[kRoot];
  for (int i = 0; i < folderCount; ++i) {
    const std::u16string parent = folders[random() % folders.size()];
    const std::u16string name = test::ToU16("d" + std::to_string(i));
    lister->AddFolder(parent, name);
    folders.push_back(JoinPath(parent, name));
    expected[folders.back()] = ExpectedEntry{true, 0};
  }
  for (int i = 0; i < fileCount; ++i) {
    const std::u16string parent = folders[random() % folders.size()];
    const std::u16string name = test::ToU16("f" + std::to_string(i));
    const std::uint64_t size = random() % 100000;
    lister->AddFile(parent, name, size);
    expected[JoinPath(parent, name)] = ExpectedEntry{false, size};
  }
  return lister;
}

// A chain of folders: only one folder is ever queued, so all workers but
// one wait for work nearly all the time.
std::shared_ptr<FakeDirectoryLister> Chain(int depth,
                                           std::map<std::u16string, ExpectedEntry>& expected) {
  auto lister = std::make_shared<FakeDirectoryLister>();
  std::u16string folder = kRoot;
  lister->folders[kRoot];
  for (int i = 0; i < depth; ++i) {
    lister->AddFile(folder, u"f", static_cast<std::uint64_t>(i));
    expected[JoinPath(folder, u"f")] = ExpectedEntry{false, static_cast<std::uint64_t>(i)};
    lister->AddFolder(folder, u"c");
    folder = JoinPath(folder, u"c");
    expected[folder] = ExpectedEntry{true, 0};
  }
  return lister;
}

struct PoolRun {
  ScanResult result;
  int workersStarted = 0;
  int workersFinished = 0;
};

// cancelAfter: 0 runs to the end; otherwise a second thread cancels after
// that many microseconds, or (when cancelOnQuery) the n-th query cancels.
PoolRun RunPool(const std::shared_ptr<FakeDirectoryLister>& lister, std::uint64_t workers,
                unsigned cancelAfter, bool cancelOnQuery) {
  std::atomic<int> started{0};
  std::atomic<int> finished{0};
  NtQueryDirectoryScanEngine engine(workers, lister,
                                    [&](std::function<void()> body, std::thread& thread) {
                                      ++started;
                                      return base::StartStdThread(
                                          [&finished, body = std::move(body)] {
                                            body();
                                            ++finished;
                                          },
                                          thread);
                                    });
  ScanCancellationToken token;
  std::atomic<unsigned> queries{0};
  if (cancelAfter != 0 && cancelOnQuery) {
    lister->onQuery = [&] {
      if (++queries == cancelAfter) token.Cancel();
    };
  }
  std::thread canceller;
  if (cancelAfter != 0 && !cancelOnQuery) {
    canceller = std::thread([&] {
      std::this_thread::sleep_for(std::chrono::microseconds(cancelAfter));
      token.Cancel();
    });
  }
  std::atomic<std::uint64_t> progressCalls{0};
  PoolRun run;
  run.result = engine.Scan(kRoot, token, [&](const ScanProgress&) { ++progressCalls; });
  if (canceller.joinable()) canceller.join();
  lister->onQuery = nullptr;
  run.workersStarted = started.load();
  run.workersFinished = finished.load();
  return run;
}

// Every node is a real entry under its real parent, once; the totals add
// up; a completed scan holds every entry.
void CheckTree(const ScanResult& result, const std::map<std::u16string, ExpectedEntry>& expected) {
  EXPECT_EQ(test::TreeInconsistencies(result), std::vector<std::string>{});
  std::set<std::u16string> seen;
  for (const ScanNode& node : result.nodes) {
    ASSERT_TRUE(seen.insert(node.Path()).second) << "doubled: " << base::ToUtf8(node.Path());
    if (node.Id() == result.rootIndex) continue;
    const auto it = expected.find(node.Path());
    ASSERT_NE(it, expected.end()) << "unknown: " << base::ToUtf8(node.Path());
    EXPECT_EQ(node.IsDirectory() != 0, it->second.isDirectory);
    EXPECT_EQ(node.OwnSize(), it->second.size);
  }
  if (result.status == ScanStatus::Completed) {
    EXPECT_EQ(seen.size(), expected.size() + 1);
  }
}

const std::uint64_t kWorkerCounts[] = {1, 2, 8, 64};

TEST(NtQueryPoolStressTest, CompleteScansFindEveryEntryOnce) {
  std::map<std::u16string, ExpectedEntry> expected;
  auto lister = RandomTree(3000, 12000, 11, expected);
  for (std::uint64_t workers : kWorkerCounts) {
    SCOPED_TRACE(workers);
    PoolRun run = RunPool(lister, workers, 0, false);
    EXPECT_EQ(run.result.status, ScanStatus::Completed);
    EXPECT_EQ(run.workersStarted, static_cast<int>(workers));
    EXPECT_EQ(run.workersFinished, run.workersStarted);
    EXPECT_TRUE(run.result.issues.empty());
    CheckTree(run.result, expected);
    EXPECT_EQ(lister->liveHandles.load(), 0);
  }
}

TEST(NtQueryPoolStressTest, CancellationAtRandomMomentsEndsCleanly) {
  std::map<std::u16string, ExpectedEntry> expected;
  auto lister = RandomTree(2000, 6000, 23, expected);
  std::mt19937 random(5);
  for (std::uint64_t workers : kWorkerCounts) {
    for (int round = 0; round < 6; ++round) {
      const bool onQuery = round % 2 == 0;
      const unsigned cancelAfter = onQuery ? 1 + random() % 3000 : 1 + random() % 20000;
      SCOPED_TRACE(testing::Message() << workers << " workers, cancel after " << cancelAfter
                                      << (onQuery ? " queries" : " us"));
      PoolRun run = RunPool(lister, workers, cancelAfter, onQuery);
      EXPECT_EQ(run.workersFinished, run.workersStarted);
      if (onQuery) {
        EXPECT_EQ(run.result.status, ScanStatus::Cancelled);
      }
      CheckTree(run.result, expected);
      EXPECT_EQ(lister->liveHandles.load(), 0);
    }
  }
}

TEST(NtQueryPoolStressTest, CancellationWhileMostWorkersWait) {
  std::map<std::u16string, ExpectedEntry> expected;
  auto lister = Chain(600, expected);
  std::mt19937 random(9);
  for (std::uint64_t workers : kWorkerCounts) {
    for (int round = 0; round < 3; ++round) {
      const bool onQuery = round != 2;
      const unsigned cancelAfter = onQuery ? 2 + random() % 1000 : 1 + random() % 5000;
      SCOPED_TRACE(testing::Message() << workers << " workers, cancel after " << cancelAfter);
      PoolRun run = RunPool(lister, workers, cancelAfter, onQuery);
      EXPECT_EQ(run.workersFinished, run.workersStarted);
      CheckTree(run.result, expected);
    }
    PoolRun complete = RunPool(lister, workers, 0, false);
    EXPECT_EQ(complete.result.status, ScanStatus::Completed);
    CheckTree(complete.result, expected);
  }
}

}  // namespace
}  // namespace ombrix::core
