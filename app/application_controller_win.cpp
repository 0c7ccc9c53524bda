#include "app/application_controller_win.h"

#include <windows.h>

#include "app/drive_list_win.h"
#include "base/monotonic_clock.h"
#include "base/thread_starter.h"
#include "core/scan_platform_win.h"

static_assert(ombrix::app::kScanFinishedMessage == WM_APP + 1);

namespace ombrix::app {

ControllerPlatform SystemControllerPlatform() {
  ControllerPlatform platform;
  platform.scan = core::SystemScanPlatform();
  platform.startThread = base::StartStdThread;
  platform.monotonicNanoseconds = base::MonotonicNanoseconds;
  platform.setThreadPriority = [](ScanThreadPriority priority) {
    ::SetThreadPriority(::GetCurrentThread(), priority == ScanThreadPriority::BelowNormal
                                                  ? THREAD_PRIORITY_BELOW_NORMAL
                                                  : THREAD_PRIORITY_NORMAL);
  };
  // A window that no longer exists simply never gets the message.
  platform.notifyScanFinished = [](WindowHandle window) {
    ::PostMessageW(static_cast<HWND>(window), kScanFinishedMessage, 0, 0);
  };
  platform.enumerateDrives = [] { return EnumerateDrives(); };
  return platform;
}

}  // namespace ombrix::app
