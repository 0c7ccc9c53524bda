#pragma once

#include <cstdint>

namespace ombrix::core {

// What the engines learn about a scanned path itself before listing it.
struct PathAttributes {
  std::uint32_t attributes = 0;     // Win32 file attribute bits
  std::uint64_t lastWriteTime = 0;  // FILETIME
};

}  // namespace ombrix::core
