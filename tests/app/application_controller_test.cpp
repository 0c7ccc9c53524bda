#include "app/application_controller.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <stdexcept>
#include <string>
#include <vector>

#include "base/wall_clock.h"
#include "core/ntquery/nt_query_engine.h"
#include "core/scan_tree_builder.h"
#include "tests/core/ntquery/fake_directory_lister.h"
#include "tests/support/failing_allocator.h"
#include "tests/support/fake_scan_engine.h"

namespace ombrix::app {
namespace {

using core::ScanCancellationToken;
using core::ScanEngineKind;
using core::ScanProgress;
using core::ScanResult;
using core::ScanStatus;
using namespace std::chrono_literals;

// Holds a fake scan until the test opens it or the scan is cancelled.
class Gate {
 public:
  void Open() {
    std::lock_guard lock(mutex_);
    open_ = true;
    changed_.notify_all();
  }
  void Enter(const ScanCancellationToken& token) {
    std::unique_lock lock(mutex_);
    entered_ = true;
    changed_.notify_all();
    // The cancel flag has no wake-up of its own, so it is re-read often. A
    // scan nobody opens or cancels gives up, so a broken cancel fails the
    // test instead of hanging it.
    const auto giveUp = std::chrono::steady_clock::now() + 10s;
    while (!open_ && !token.IsCancelled() && std::chrono::steady_clock::now() < giveUp) {
      changed_.wait_for(lock, 1ms);
    }
  }
  bool WaitEntered() {
    std::unique_lock lock(mutex_);
    return changed_.wait_for(lock, 10s, [this] { return entered_; });
  }

 private:
  std::mutex mutex_;
  std::condition_variable changed_;
  bool open_ = false;
  bool entered_ = false;
};

// Everything the controller tells the outside world, in order.
class Recorder {
 public:
  void Add(std::string event) {
    std::lock_guard lock(mutex_);
    events_.push_back(std::move(event));
    changed_.notify_all();
  }
  bool WaitForNotifications(int count) {
    std::unique_lock lock(mutex_);
    return changed_.wait_for(lock, 10s, [&] { return CountLocked("notify") >= count; });
  }
  int Count(const std::string& event) {
    std::lock_guard lock(mutex_);
    return CountLocked(event);
  }
  std::vector<std::string> Events() {
    std::lock_guard lock(mutex_);
    return events_;
  }

 private:
  int CountLocked(const std::string& event) const {
    int n = 0;
    for (const auto& e : events_) n += e.rfind(event, 0) == 0 ? 1 : 0;
    return n;
  }
  std::mutex mutex_;
  std::condition_variable changed_;
  std::vector<std::string> events_;
};

WindowHandle const kWindow = reinterpret_cast<WindowHandle>(std::uintptr_t{0x1234});

struct Harness {
  Recorder recorder;
  Gate gate;
  bool holdScans = false;
  std::atomic<bool> threadsAvailable{true};
  std::atomic<std::int64_t> clock{1'000'000'000};
  std::function<void(const core::ProgressCallback&)> reportProgress;
  std::vector<std::uint64_t> storedAfterEachReport;  // scan thread only

  ControllerPlatform Platform() {
    ControllerPlatform platform;
    platform.scan.engines.makeNtQueryDirectory = [this](std::uint64_t threads) {
      recorder.Add("engine threads=" + std::to_string(threads));
      return std::make_unique<test::FakeScanEngine>([this](const std::u16string& path,
                                                           ScanCancellationToken& token,
                                                           const core::ProgressCallback& progress) {
        if (holdScans) gate.Enter(token);
        if (token.IsCancelled()) recorder.Add("engine saw cancel");
        if (reportProgress) reportProgress(progress);
        if (token.IsCancelled()) {
          // Stopped before the first folder: no tree at all.
          ScanResult cancelled;
          cancelled.status = ScanStatus::Cancelled;
          cancelled.engine = ScanEngineKind::NtQueryDirectory;
          cancelled.rootPath = path;
          return cancelled;
        }
        return test::FakeTree(path, ScanEngineKind::NtQueryDirectory, {1, 2, 3},
                              reportProgress ? core::ProgressCallback{} : progress);
      });
    };
    platform.startThread = [this](std::function<void()> body, std::thread& thread) {
      recorder.Add("start thread");
      if (!threadsAvailable.load()) return false;
      thread = std::thread(std::move(body));
      return true;
    };
    platform.monotonicNanoseconds = [this] { return clock.load(); };
    platform.setThreadPriority = [this](ScanThreadPriority priority) {
      recorder.Add(priority == ScanThreadPriority::BelowNormal ? "priority below normal"
                                                               : "priority normal");
    };
    platform.notifyScanFinished = [this](WindowHandle window) {
      recorder.Add(window == kWindow ? "notify" : "notify wrong window");
    };
    platform.enumerateDrives = [this] {
      recorder.Add("enumerate drives");
      app::DriveInfo drive;
      drive.rootPath = u"C:\\";
      drive.displayText = u"C: Local Disk";
      return std::vector<app::DriveInfo>{drive};
    };
    return platform;
  }
};

TEST(ApplicationControllerTest, ScanRunsBelowNormalPriorityAndNotifiesOnceWithTheResult) {
  Harness h;
  ApplicationController controller(h.Platform());
  ASSERT_EQ(controller.drives.size(), 1u);
  controller.SetThreadsPerDrive(5);
  const std::uint64_t before = base::FileTimeNow();
  ASSERT_EQ(controller.StartScan(u"D:\\Data", kWindow), ScanStart::Started);
  ASSERT_TRUE(h.recorder.WaitForNotifications(1));
  EXPECT_FALSE(controller.IsScanning());
  ScanResult result = controller.TakeLatestResult();
  EXPECT_EQ(result.status, ScanStatus::Completed);
  // Dated, so a saved or kept scan says when it was made.
  EXPECT_GE(result.scanTime, before);
  EXPECT_LE(result.scanTime, base::FileTimeNow());
  // Labelled by itself: the engine's own root, no synthetic one.
  EXPECT_EQ(result.rootPath, u"D:\\Data");
  EXPECT_EQ(result.nodes[result.rootIndex].Name(), u"Data");
  EXPECT_EQ(result.fileCount, 3u);
  EXPECT_TRUE(controller.TakeLatestResult().nodes.empty());
  EXPECT_EQ(h.recorder.Events(),
            (std::vector<std::string>{"enumerate drives", "start thread", "priority below normal",
                                      "engine threads=5", "priority normal", "notify"}));
}

TEST(ApplicationControllerTest, SeveralPathsMergeUnderTheLabel) {
  Harness h;
  ApplicationController controller(h.Platform());
  ASSERT_EQ(controller.StartScanPaths({u"C:\\", u"", u"D:\\"}, u"All local drives", kWindow),
            ScanStart::Started);
  ASSERT_TRUE(h.recorder.WaitForNotifications(1));
  ScanResult result = controller.TakeLatestResult();
  EXPECT_EQ(result.rootPath, u"All local drives");
  EXPECT_EQ(result.nodes[0].Children().size(), 2u);
  EXPECT_EQ(result.fileCount, 6u);

  // Only empty paths start nothing, not even a token.
  EXPECT_EQ(controller.StartScanPaths({u"", u""}, u"All local drives", kWindow),
            ScanStart::NothingToScan);
  EXPECT_EQ(controller.StartScan(u"", kWindow), ScanStart::NothingToScan);
  EXPECT_EQ(h.recorder.Count("start thread"), 1);
}

TEST(ApplicationControllerTest, CancelBeforeTheFirstFolderStillNotifiesExactlyOnce) {
  Harness h;
  h.holdScans = true;
  {
    ApplicationController controller(h.Platform());
    ASSERT_EQ(controller.StartScan(u"C:\\", kWindow), ScanStart::Started);
    ASSERT_TRUE(h.gate.WaitEntered());
    controller.CancelScan();
    ASSERT_TRUE(h.recorder.WaitForNotifications(1));
    ScanResult result = controller.TakeLatestResult();
    EXPECT_EQ(result.status, ScanStatus::Cancelled);
    EXPECT_FALSE(controller.IsScanning());
  }
  EXPECT_EQ(h.recorder.Count("notify"), 1);
}

TEST(ApplicationControllerTest, StartWhileScanningIsIgnored) {
  Harness h;
  h.holdScans = true;
  ApplicationController controller(h.Platform());
  ASSERT_EQ(controller.StartScan(u"C:\\", kWindow), ScanStart::Started);
  ASSERT_TRUE(h.gate.WaitEntered());
  const ScanCancellationToken* token = controller.cancelToken.get();
  EXPECT_TRUE(controller.IsScanning());
  EXPECT_EQ(controller.StartScan(u"D:\\", kWindow), ScanStart::AlreadyScanning);
  EXPECT_EQ(controller.cancelToken.get(), token);
  EXPECT_FALSE(token->IsCancelled());
  h.gate.Open();
  ASSERT_TRUE(h.recorder.WaitForNotifications(1));
  EXPECT_EQ(controller.TakeLatestResult().rootPath, u"C:\\");
  EXPECT_EQ(h.recorder.Count("start thread"), 1);
}

TEST(ApplicationControllerTest, ThreadFailureLeavesTheControllerUsableAndRestartsJoin) {
  Harness h;
  h.threadsAvailable = false;
  ApplicationController controller(h.Platform());
  EXPECT_EQ(controller.StartScan(u"C:\\", kWindow), ScanStart::ThreadUnavailable);
  EXPECT_FALSE(controller.IsScanning());
  EXPECT_EQ(h.recorder.Count("notify"), 0);

  h.threadsAvailable = true;
  ASSERT_EQ(controller.StartScan(u"C:\\", kWindow), ScanStart::Started);
  ASSERT_TRUE(h.recorder.WaitForNotifications(1));
  // The first thread may still be on its way out; the next start must join
  // it, and its result replaces the untaken one.
  ASSERT_EQ(controller.StartScan(u"D:\\", kWindow), ScanStart::Started);
  ASSERT_TRUE(h.recorder.WaitForNotifications(2));
  const ScanResult result = controller.TakeLatestResult();
  EXPECT_EQ(result.status, ScanStatus::Completed);
  EXPECT_EQ(result.rootPath, u"D:\\");
  EXPECT_EQ(h.recorder.Count("notify"), 2);
}

TEST(ApplicationControllerTest, ProgressEvery10MsIsStoredAtMostOncePer200Ms) {
  Harness h;
  ApplicationController* controllerSeen = nullptr;
  h.reportProgress = [&h, &controllerSeen](const core::ProgressCallback& progress) {
    for (std::uint64_t i = 0; i < 100; ++i) {
      ScanProgress p;
      p.currentPath = u"C:\\f" + std::u16string(1, char16_t(u'a' + i % 26));
      p.filesScanned = i + 1;
      p.foldersScanned = 2 * (i + 1);
      progress(p);
      h.storedAfterEachReport.push_back(controllerSeen->LatestProgress().filesScanned);
      h.clock += 10'000'000;
    }
  };
  ApplicationController controller(h.Platform());
  controllerSeen = &controller;
  ASSERT_EQ(controller.StartScan(u"C:\\", kWindow), ScanStart::Started);
  ASSERT_TRUE(h.recorder.WaitForNotifications(1));
  ASSERT_EQ(h.storedAfterEachReport.size(), 100u);
  // Stored at once, then again each time 200 ms have passed: reports 0, 20,
  // 40, 60 and 80.
  for (std::uint64_t i = 0; i < 100; ++i) {
    EXPECT_EQ(h.storedAfterEachReport[i], (i / 20) * 20 + 1) << i;
  }
  const ScanProgress last = controller.LatestProgress();
  EXPECT_EQ(last.filesScanned, 81u);
  EXPECT_EQ(last.foldersScanned, 162u);

  // A new scan starts from empty progress.
  h.reportProgress = nullptr;
  h.holdScans = true;
  ASSERT_EQ(controller.StartScan(u"D:\\", kWindow), ScanStart::Started);
  EXPECT_EQ(controller.LatestProgress().filesScanned, 0u);
  EXPECT_TRUE(controller.LatestProgress().currentPath.empty());
  h.gate.Open();
}

TEST(ApplicationControllerTest, DestroyingDuringAScanCancelsAndJoins) {
  Harness h;
  h.holdScans = true;
  {
    ApplicationController controller(h.Platform());
    ASSERT_EQ(controller.StartScan(u"C:\\", kWindow), ScanStart::Started);
    ASSERT_TRUE(h.gate.WaitEntered());
  }
  // The thread ran to its end before the controller was gone.
  EXPECT_EQ(h.recorder.Count("engine saw cancel"), 1);
  EXPECT_EQ(h.recorder.Count("notify"), 1);
  EXPECT_EQ(h.recorder.Events().back(), "notify");
}

// Running out of memory (or any other exception) on the scan thread or in
// an engine's workers ends the scan, not the program: the window gets a
// Failed result without a tree and a fixed message, exactly once.
TEST(ApplicationControllerTest, ExceptionsDuringAScanBecomeAFailedResult) {
  struct Case {
    const char* point;
    std::function<std::unique_ptr<core::IScanEngine>()> engine;
    const char16_t* message;
  };
  auto lister = std::make_shared<test::FakeDirectoryLister>();
  for (int i = 0; i < 300; ++i)
    lister->AddFile(
        u"D:\\",
        u"file number " + std::u16string(1, char16_t(u'a' + i % 26)) + std::u16string(20, u'x'), 1);
  auto throwing = [](auto makeException) {
    return [makeException] {
      return std::make_unique<test::FakeScanEngine>(
          [makeException](const std::u16string&, ScanCancellationToken&,
                          const core::ProgressCallback&) -> ScanResult { throw makeException(); });
    };
  };
  const Case cases[] = {
      {"engine worker",
       [lister] {
         test::ArmAllocationFailure(3, test::FailingThreads::OthersThanArming);
         return std::make_unique<core::NtQueryDirectoryScanEngine>(4, lister);
       },
       kScanOutOfMemoryMessage},
      {"tree building",
       [] {
         return std::make_unique<test::FakeScanEngine>(
             [](const std::u16string& path, ScanCancellationToken&, const core::ProgressCallback&) {
               core::ScanTreeBuilder builder;
               const auto root = builder.AddRoot(u"", path, 0x10, 0);
               test::ArmAllocationFailure(5, test::FailingThreads::Any, 1);
               for (int i = 0; i < 1000; ++i) builder.AddFile(root, u"f", 0x20, 1, 0);
               return builder.BuildResult(ScanStatus::Completed, path, 0);
             });
       },
       kScanOutOfMemoryMessage},
      {"merging",
       [] {
         return std::make_unique<test::FakeScanEngine>(
             [](const std::u16string& path, ScanCancellationToken&, const core::ProgressCallback&) {
               ScanResult result = test::FakeTree(path, ScanEngineKind::NtQueryDirectory, {1}, {});
               // The next allocation on this thread is the scheduler's merge.
               test::ArmAllocationFailure(0, test::FailingThreads::Any, 1);
               return result;
             });
       },
       kScanOutOfMemoryMessage},
      {"anything else", throwing([] { return std::runtime_error("driver bug"); }),
       kScanStoppedMessage},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.point);
    Harness h;
    ControllerPlatform platform = h.Platform();
    platform.scan.engines.makeNtQueryDirectory = [&c](std::uint64_t) { return c.engine(); };
    ApplicationController controller(std::move(platform));
    ASSERT_EQ(controller.StartScanPaths({u"D:\\", u"E:\\"}, u"All local drives", kWindow),
              ScanStart::Started);
    ASSERT_TRUE(h.recorder.WaitForNotifications(1));
    test::DisarmAllocationFailure();
    EXPECT_GE(test::RefusedAllocations() + (c.message == kScanStoppedMessage ? 1 : 0), 1u);
    const ScanResult result = controller.TakeLatestResult();
    EXPECT_EQ(result.status, ScanStatus::Failed);
    EXPECT_EQ(result.message, c.message);
    EXPECT_TRUE(result.nodes.empty());
    EXPECT_EQ(result.rootIndex, core::kNoNode);
    EXPECT_FALSE(controller.IsScanning());
    EXPECT_EQ(h.recorder.Count("notify"), 1);
  }
}

}  // namespace
}  // namespace ombrix::app
