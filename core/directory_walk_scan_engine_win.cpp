#include "core/directory_finder_win.h"
#include "core/directory_walk_scan_engine.h"

namespace ombrix::core {

DirectoryWalkScanEngine::DirectoryWalkScanEngine()
    : DirectoryWalkScanEngine(SystemDirectoryFinder()) {}

}  // namespace ombrix::core
