// The whole progress chain with real threads: directory-query workers report
// through the scheduler, which shifts the counts of later paths, into the
// controller's throttle, while the window thread reads the stored copy. The
// controller's throttle keeps its last store time without a lock because
// engines report one call at a time; ThreadSanitizer sees any break in
// that chain (a worker calling the callback outside the pool's callback
// lock, a store outside the scan mutex) as a race.
#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <string>
#include <thread>

#include "app/application_controller.h"
#include "base/text_encoding.h"
#include "core/ntquery/nt_query_engine.h"
#include "tests/core/ntquery/fake_directory_lister.h"

namespace ombrix::app {
namespace {

constexpr int kFoldersPerPath = 40;
constexpr int kFilesPerFolder = 50;
constexpr std::uint64_t kFilesPerPath = kFoldersPerPath * kFilesPerFolder;

std::shared_ptr<test::FakeDirectoryLister> TwoTrees() {
  auto lister = std::make_shared<test::FakeDirectoryLister>();
  for (const std::u16string root : {u"P:\\a", u"P:\\b"}) {
    lister->folders[root];
    for (int d = 0; d < kFoldersPerPath; ++d) {
      const std::u16string folder = u"d" + base::FromUtf8(std::to_string(d));
      lister->AddFolder(root, folder);
      for (int f = 0; f < kFilesPerFolder; ++f) {
        lister->AddFile(root + u"\\" + folder, u"f" + base::FromUtf8(std::to_string(f)), 3);
      }
    }
  }
  lister->maxEntriesPerBatch = 16;
  lister->onQuery = [] { std::this_thread::sleep_for(std::chrono::microseconds(50)); };
  return lister;
}

TEST(ProgressChainTest, WorkersSchedulerAndThrottleUnderRealThreads) {
  auto lister = TwoTrees();
  std::mutex finishedMutex;
  std::condition_variable finishedChanged;
  int finished = 0;
  ControllerPlatform platform;
  platform.scan.engines.makeNtQueryDirectory = [lister](std::uint64_t threads) {
    return std::make_unique<core::NtQueryDirectoryScanEngine>(threads, lister);
  };
  // A clock that moves 300 ms per reading, so every report is stored, and
  // whose reading takes a moment, so reports from different workers would
  // overlap if the pool let them. Relaxed on purpose: the clock must not
  // order the callers itself.
  std::atomic<std::int64_t> clock{1};
  platform.monotonicNanoseconds = [&clock] {
    std::this_thread::sleep_for(std::chrono::microseconds(100));
    return clock.fetch_add(300'000'000, std::memory_order_relaxed) + 300'000'000;
  };
  platform.notifyScanFinished = [&](WindowHandle) {
    std::lock_guard lock(finishedMutex);
    ++finished;
    finishedChanged.notify_all();
  };
  ApplicationController controller(std::move(platform));
  controller.SetThreadsPerDrive(8);
  ASSERT_EQ(controller.StartScanPaths({u"P:\\a", u"P:\\b"}, u"All local drives", nullptr),
            ScanStart::Started);

  // The window thread polls, as its timer would, until the scan is done;
  // a few queries of the fake lister wait a little so the two overlap.
  std::uint64_t polls = 0;
  const auto giveUp = std::chrono::steady_clock::now() + std::chrono::seconds(30);
  for (bool done = false; !done && std::chrono::steady_clock::now() < giveUp; ++polls) {
    const core::ScanProgress seen = controller.LatestProgress();
    EXPECT_LE(seen.filesScanned, 2 * kFilesPerPath);
    EXPECT_LE(seen.foldersScanned, 2u * (kFoldersPerPath + 1));  // a path's count includes its root
    std::unique_lock lock(finishedMutex);
    done = finishedChanged.wait_for(lock, std::chrono::microseconds(200),
                                    [&] { return finished != 0; });
  }
  EXPECT_FALSE(controller.IsScanning());
  const core::ScanResult result = controller.TakeLatestResult();
  EXPECT_EQ(result.status, core::ScanStatus::Completed);
  EXPECT_EQ(result.fileCount, 2 * kFilesPerPath);
  EXPECT_EQ(result.nodes[0].TotalSize(), 2 * kFilesPerPath * 3);
  // The stored copy ends on some report of the scan: counts of the second
  // path are shifted by the first path's.
  const core::ScanProgress last = controller.LatestProgress();
  EXPECT_GT(last.filesScanned, kFilesPerPath);
  EXPECT_GT(last.foldersScanned, std::uint64_t{kFoldersPerPath});
  EXPECT_LE(last.filesScanned, 2 * kFilesPerPath);
  EXPECT_GT(polls, 1u);
}

}  // namespace
}  // namespace ombrix::app
