#pragma once

#include <vector>

#include "app/drive_list.h"

namespace ombrix::app {

// The machine's drives, asked of Windows.
DriveQueries SystemDriveQueries();
std::vector<DriveInfo> EnumerateDrives();

}  // namespace ombrix::app
