#pragma once

#include <chrono>
#include <cstdint>

namespace ombrix::core {

using MonotonicClock = std::chrono::steady_clock;

// Whole milliseconds since start, truncated.
inline std::int64_t ElapsedMilliseconds(MonotonicClock::time_point start) {
  return std::chrono::duration_cast<std::chrono::milliseconds>(MonotonicClock::now() - start)
      .count();
}

}  // namespace ombrix::core
