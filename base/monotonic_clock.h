// Durations are measured on the monotonic clock, never on wall time, so a
// clock change during a scan cannot make it look negative or hours long.
#pragma once

#include <chrono>
#include <cstdint>

namespace ombrix::base {

using MonotonicClock = std::chrono::steady_clock;

// Whole milliseconds since start, truncated.
inline std::int64_t ElapsedMilliseconds(MonotonicClock::time_point start) {
  return std::chrono::duration_cast<std::chrono::milliseconds>(MonotonicClock::now() - start)
      .count();
}

// The clock's current reading in nanoseconds, for code that keeps times as
// plain numbers (and lets tests hand in their own).
inline std::int64_t MonotonicNanoseconds() {
  return std::chrono::duration_cast<std::chrono::nanoseconds>(
             MonotonicClock::now().time_since_epoch())
      .count();
}

}  // namespace ombrix::base
