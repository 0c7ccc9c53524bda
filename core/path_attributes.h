#pragma once

#include <cstdint>

namespace ombrix::core {

// What every engine records for the scanned path itself.
struct PathAttributes {
  std::uint32_t attributes = 0;     // Win32 file attribute bits
  std::uint64_t lastWriteTime = 0;  // FILETIME
};

}  // namespace ombrix::core
