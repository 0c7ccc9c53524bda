// Fixed-width integer columns stored byte plane by byte plane: for n
// values of W bytes, first the lowest byte of every value, then the next
// byte of every value, and so on. Sizes, times and parent distances keep
// most of their variety in the low bytes; their high bytes become long
// runs that the compressor all but removes.
#pragma once

#include <cstddef>
#include <cstdint>

namespace ombrix::app {

// Writes value as element i of a column of `count` W-byte values at out.
template <typename T>
inline void PutPlanes(std::uint8_t* out, std::size_t count, std::size_t i, T value) {
  for (std::size_t b = 0; b < sizeof(T); ++b) {
    out[b * count + i] = static_cast<std::uint8_t>(static_cast<std::uint64_t>(value) >> (8 * b));
  }
}

}  // namespace ombrix::app
