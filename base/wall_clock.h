// The date of things the user sees (when a scan ended), as Windows writes
// dates: FILETIME, 100 ns units since 1601-01-01 UTC. Durations use the
// monotonic clock instead (monotonic_clock.h).
#pragma once

#include <chrono>
#include <cstdint>

namespace ombrix::base {

// FILETIME of 1970-01-01, the system clock's epoch.
inline constexpr std::uint64_t kUnixEpochAsFileTime = 116'444'736'000'000'000ull;

inline std::uint64_t FileTimeNow() {
  const auto sinceUnixEpoch = std::chrono::duration_cast<std::chrono::nanoseconds>(
      std::chrono::system_clock::now().time_since_epoch());
  return kUnixEpochAsFileTime + static_cast<std::uint64_t>(sinceUnixEpoch.count() / 100);
}

}  // namespace ombrix::base
