// The directory finder over the real Win32 find calls.
#pragma once

#include <string>

#include "core/directory_finder.h"
#include "core/system_paths_win.h"

namespace ombrix::core {

// Stateless and shared by every scan.
IDirectoryFinder& SystemDirectoryFinder();

}  // namespace ombrix::core
