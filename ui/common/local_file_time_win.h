// FILETIMEs between UTC, as scans store them, and the clock the window
// shows. Either way a time that cannot be shifted stays as it was.
#pragma once

#include <cstdint>

namespace ombrix::ui {

std::uint64_t LocalFromUtcFileTime(std::uint64_t utc);
std::uint64_t UtcFromLocalFileTime(std::uint64_t local);

}  // namespace ombrix::ui
