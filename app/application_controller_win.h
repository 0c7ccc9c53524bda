#pragma once

#include "app/application_controller.h"

namespace ombrix::app {

// The real engines, drive queries and Win32 calls: the scan thread's
// priority, and WM_APP + 1 posted to the window when a scan finishes.
ControllerPlatform SystemControllerPlatform();

}  // namespace ombrix::app
