#pragma once

#include <windows.h>

#include <cstdint>

namespace ombrix::base {

// A FILETIME as the one 64-bit count of 100 ns units that the scan model
// keeps.
inline std::uint64_t FileTimeValue(const FILETIME& time) {
  return (std::uint64_t{time.dwHighDateTime} << 32) | time.dwLowDateTime;
}

}  // namespace ombrix::base
