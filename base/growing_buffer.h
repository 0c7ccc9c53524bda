// Win32 calls that copy a path into a caller's buffer (GetModuleFileNameW
// and its kind) answer a cut path when the buffer is too small, and say so
// only by filling it. This asks again with twice the room until the answer
// fits.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

namespace ombrix::base {

// query fills buffer and returns the units written, 0 on failure. Starts
// at 260 units and stops doubling at 65,536, past the longest path Windows
// can hold (32,767 units): a query that still claims to be cut short is
// not answering. Empty when the call fails or never fits.
std::u16string ReadIntoGrowingBuffer(
    const std::function<std::uint32_t(std::u16string& buffer)>& query);

}  // namespace ombrix::base
