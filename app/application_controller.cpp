#include "app/application_controller.h"

#include <algorithm>
#include <new>
#include <optional>
#include <utility>

#include "base/monotonic_clock.h"
#include "base/thread_starter.h"
#include "base/wall_clock.h"
#include "core/scan_scheduler.h"

namespace ombrix::app {

ApplicationController::ApplicationController(ControllerPlatform platform)
    : platform_(std::move(platform)) {
  if (!platform_.startThread) {
    platform_.startThread = base::StartStdThread;
  }
  if (!platform_.monotonicNanoseconds) {
    platform_.monotonicNanoseconds = base::MonotonicNanoseconds;
  }
  RefreshDrives();
}

ApplicationController::~ApplicationController() {
  if (cancelToken) {
    cancelToken->Cancel();
  }
  JoinScanThread();
}

ScanStart ApplicationController::StartScan(std::u16string path, WindowHandle window) {
  std::u16string label = path;
  std::vector<std::u16string> paths;
  paths.push_back(std::move(path));
  return StartScanPaths(std::move(paths), std::move(label), window);
}

ScanStart ApplicationController::StartScanPaths(std::vector<std::u16string> paths,
                                                std::u16string label, WindowHandle window) {
  std::erase_if(paths, [](const std::u16string& path) { return path.empty(); });
  if (paths.empty()) {
    return ScanStart::NothingToScan;
  }
  if (scanning.load()) {
    return ScanStart::AlreadyScanning;
  }
  // The previous thread has stored its result already; joining it here
  // keeps exactly one scan thread object alive.
  JoinScanThread();
  cancelToken = std::make_unique<core::ScanCancellationToken>();
  {
    std::lock_guard lock(scanMutex);
    latestProgress = core::ScanProgress{};
  }
  core::ScanOptions scanOptions;
  {
    std::lock_guard lock(scanMutex);
    scanOptions = options;
  }
  scanning.store(true);
  core::ScanCancellationToken& token = *cancelToken;
  const bool started = platform_.startThread(
      [this, paths = std::move(paths), label = std::move(label), window, scanOptions,
       &token]() mutable {
        RunScan(std::move(paths), std::move(label), window, scanOptions, token);
      },
      scanThread_);
  if (!started) {
    // Left set, `scanning` would refuse every later start and the window
    // would wait for a message that never comes.
    scanning.store(false);
    return ScanStart::ThreadUnavailable;
  }
  return ScanStart::Started;
}

namespace {

core::ScanResult FailedScan(const std::u16string& label, const char16_t* message) {
  core::ScanResult result;
  result.status = core::ScanStatus::Failed;
  result.rootPath = label;
  result.message = message;
  return result;
}

}  // namespace

void ApplicationController::RunScan(std::vector<std::u16string> paths, std::u16string label,
                                    WindowHandle window, core::ScanOptions scanOptions,
                                    core::ScanCancellationToken& token) {
  if (platform_.setThreadPriority) {
    platform_.setThreadPriority(ScanThreadPriority::BelowNormal);
  }
  core::ScanResult result;
  // An exception leaving this thread would end the program and lose the
  // window with it. By the time it arrives here the partial tree is gone,
  // so there is room again for the small failed result.
  try {
    result = ScanWithScheduler(paths, label, scanOptions, token);
  } catch (const std::bad_alloc&) {
    result = FailedScan(label, kScanOutOfMemoryMessage);
  } catch (...) {
    result = FailedScan(label, kScanStoppedMessage);
  }
  if (platform_.setThreadPriority) {
    platform_.setThreadPriority(ScanThreadPriority::Normal);
  }
  // When the scan was made, as a saved scan and a kept one tell it: the
  // tree is as the disk was when the scan ended.
  result.scanTime = base::FileTimeNow();
  {
    std::lock_guard lock(scanMutex);
    latestResult = std::move(result);
    scanning.store(false);
  }
  if (platform_.notifyScanFinished) {
    platform_.notifyScanFinished(window);
  }
}

core::ScanResult ApplicationController::ScanWithScheduler(const std::vector<std::u16string>& paths,
                                                          const std::u16string& label,
                                                          core::ScanOptions scanOptions,
                                                          core::ScanCancellationToken& token) {
  core::ScanScheduler scheduler(core::MakeForcedEngine(scanOptions.choice,
                                                       scanOptions.threadsPerDrive,
                                                       platform_.scan.engines),
                                scanOptions, platform_.scan);
  // Engines report one call at a time, so this needs no lock of its own.
  std::optional<std::int64_t> lastStoreTime;
  const core::ProgressCallback storeProgress = [this,
                                                &lastStoreTime](const core::ScanProgress& p) {
    const std::int64_t now = platform_.monotonicNanoseconds();
    if (lastStoreTime && now - *lastStoreTime < kProgressStoreIntervalNs) {
      return;
    }
    {
      std::lock_guard lock(scanMutex);
      latestProgress.currentPath = p.currentPath;
      latestProgress.filesScanned = p.filesScanned;
      latestProgress.foldersScanned = p.foldersScanned;
    }
    lastStoreTime = now;
  };
  return scheduler.Scan(paths, label, token, storeProgress);
}

void ApplicationController::JoinScanThread() {
  if (scanThread_.joinable()) {
    scanThread_.join();
  }
}

void ApplicationController::RefreshDrives() {
  if (platform_.enumerateDrives) {
    drives = platform_.enumerateDrives();
  } else {
    drives.clear();
  }
}

std::function<std::vector<DriveInfo>()> ApplicationController::DriveEnumerator() const {
  if (platform_.enumerateDrives) return platform_.enumerateDrives;
  return [] { return std::vector<DriveInfo>{}; };
}

void ApplicationController::CancelScan() {
  if (cancelToken) {
    cancelToken->Cancel();
  }
}

core::ScanResult ApplicationController::TakeLatestResult() {
  std::lock_guard lock(scanMutex);
  return std::exchange(latestResult, core::ScanResult{});
}

core::ScanProgress ApplicationController::LatestProgress() {
  std::lock_guard lock(scanMutex);
  return latestProgress;
}

void ApplicationController::SetThreadsPerDrive(std::uint64_t threadsPerDrive) {
  std::lock_guard lock(scanMutex);
  options.threadsPerDrive = threadsPerDrive;
}

}  // namespace ombrix::app
