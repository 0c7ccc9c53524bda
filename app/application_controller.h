// The bridge between the window thread and the scan core. It owns the scan
// thread (one at a time, always joined), the current cancellation token, the
// options copied into each scan, the latest progress and the finished
// result; the last three are shared with the window under scanMutex, which
// is held only for short copies and moves and never around a callback.
//
// The scan thread runs ScanScheduler::Scan at below-normal priority, stores
// progress at most every 200 ms, then stores the result, clears `scanning`
// and notifies the window (WM_APP + 1 on Windows). The window polls the
// progress on its own timer and takes the result when notified.
#pragma once

#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "app/drive_list.h"
#include "base/thread_starter.h"
#include "core/scan_model.h"
#include "core/scan_options.h"
#include "core/scan_platform.h"

namespace ombrix::app {

// The window that hears about finished scans (an HWND on Windows).
using WindowHandle = void*;

// WM_APP + 1, wParam 0, lParam 0: latestResult holds a finished scan.
inline constexpr std::uint32_t kScanFinishedMessage = 0x8001;

enum class ScanThreadPriority {
  BelowNormal,
  Normal,
};

// Everything the controller asks of the operating system, so its logic can
// run on fakes (natively and under ThreadSanitizer). SystemControllerPlatform
// (application_controller_win.h) gives the real table.
struct ControllerPlatform {
  core::ScanPlatform scan;
  base::ThreadStarter startThread;
  std::function<std::int64_t()> monotonicNanoseconds;
  // Applies to the calling thread.
  std::function<void(ScanThreadPriority)> setThreadPriority;
  std::function<void(WindowHandle)> notifyScanFinished;
  std::function<std::vector<DriveInfo>()> enumerateDrives;
};

enum class ScanStart {
  Started,
  NothingToScan,    // no non-empty path
  AlreadyScanning,  // the running scan continues undisturbed
  // The scan thread could not be created; `scanning` is false again and
  // the controller can start later.
  ThreadUnavailable,
};

inline constexpr std::int64_t kProgressStoreIntervalNs = 200'000'000;

// What a scan that ended with an exception leaves in latestResult: status
// Failed, no tree, one of these messages.
inline constexpr char16_t kScanOutOfMemoryMessage[] = u"Not enough memory to finish the scan.";
inline constexpr char16_t kScanStoppedMessage[] = u"The scan stopped unexpectedly.";

class ApplicationController {
 public:
  // Empty startThread and monotonicNanoseconds take the standard ones.
  explicit ApplicationController(ControllerPlatform platform);
  // Cancels a running scan and waits for its thread.
  ~ApplicationController();

  ApplicationController(const ApplicationController&) = delete;
  ApplicationController& operator=(const ApplicationController&) = delete;

  // One path, labelled by itself, so the scheduler scans it without a
  // synthetic root.
  ScanStart StartScan(std::u16string path, WindowHandle window);
  ScanStart StartScanPaths(std::vector<std::u16string> paths, std::u16string label,
                           WindowHandle window);

  void RefreshDrives();
  // The platform's drive listing, for a caller that lists the drives on a
  // thread of its own and then sets `drives`; it gives an empty list when
  // the platform has none.
  std::function<std::vector<DriveInfo>()> DriveEnumerator() const;

  // Window-thread conveniences over the shared fields below.
  bool IsScanning() const { return scanning.load(); }
  void CancelScan();
  core::ScanResult TakeLatestResult();
  core::ScanProgress LatestProgress();
  void SetThreadsPerDrive(std::uint64_t threadsPerDrive);

  // Guarded by scanMutex: options, latestResult, latestProgress.
  core::ScanOptions options;
  std::vector<DriveInfo> drives;  // window thread only
  std::mutex scanMutex;
  core::ScanResult latestResult;
  core::ScanProgress latestProgress;
  // Replaced at each start, after the previous scan thread has been joined,
  // so no thread polls a freed token.
  std::unique_ptr<core::ScanCancellationToken> cancelToken;
  // True from a start until the scan thread has stored its result.
  std::atomic<bool> scanning{false};

 private:
  void RunScan(std::vector<std::u16string> paths, std::u16string label, WindowHandle window,
               core::ScanOptions scanOptions, core::ScanCancellationToken& token);
  core::ScanResult ScanWithScheduler(const std::vector<std::u16string>& paths,
                                     const std::u16string& label, core::ScanOptions scanOptions,
                                     core::ScanCancellationToken& token);
  void JoinScanThread();

  ControllerPlatform platform_;
  std::thread scanThread_;
};

}  // namespace ombrix::app
