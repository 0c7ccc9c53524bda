// The directory finder over the real Win32 find calls.
#pragma once

#include <string>

#include "base/win/extended_path_win.h"
#include "core/walk/directory_finder.h"

namespace ombrix::core {

// Stateless and shared by every scan.
IDirectoryFinder& SystemDirectoryFinder();

}  // namespace ombrix::core
