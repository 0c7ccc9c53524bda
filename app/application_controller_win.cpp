#include <windows.h>

#include "app/application_controller.h"

static_assert(ombrix::app::kScanFinishedMessage == WM_APP + 1);

namespace ombrix::app {

ControllerPlatform SystemControllerPlatform() {
  ControllerPlatform platform;
  platform.scan = core::SystemScanPlatform();
  platform.startThread = StartStdThread;
  platform.monotonicNanoseconds = SteadyClockNanoseconds;
  platform.setThreadPriority = [](ScanThreadPriority priority) {
    ::SetThreadPriority(::GetCurrentThread(), priority == ScanThreadPriority::BelowNormal
                                                  ? THREAD_PRIORITY_BELOW_NORMAL
                                                  : THREAD_PRIORITY_NORMAL);
  };
  // A window that no longer exists simply never gets the message.
  platform.notifyScanFinished = [](WindowHandle window) {
    ::PostMessageW(static_cast<HWND>(window), kScanFinishedMessage, 0, 0);
  };
  platform.enumerateDrives = [] { return ui::EnumerateDrives(); };
  return platform;
}

ApplicationController::ApplicationController()
    : ApplicationController(SystemControllerPlatform()) {}

}  // namespace ombrix::app
