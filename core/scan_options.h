// What the owner of a scan asks of the scheduler: which engine to use (the
// application always leaves it on Automatic) and how many worker threads
// the engines that take a thread count get per path.
#pragma once

#include <cstdint>

namespace ombrix::core {

enum class ScanEngineChoice : std::uint32_t {
  Automatic = 0,
  DirectoryWalk = 1,
  NtQueryDirectory = 2,
  NtfsMft = 3,
};

struct ScanOptions {
  ScanEngineChoice choice = ScanEngineChoice::Automatic;
  // 0 lets each engine pick its own default.
  std::uint64_t threadsPerDrive = 0;
};

}  // namespace ombrix::core
