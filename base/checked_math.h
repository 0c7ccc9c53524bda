// Arithmetic on values that came from outside the process (cluster numbers,
// run lengths, sizes read from disk). A hostile or damaged value must not
// wrap around to a small, plausible number, so these report overflow
// instead of producing the wrapped result. Portable C++: no compiler
// builtins, so every compiler that builds the neutral code agrees.
#pragma once

#include <cstdint>
#include <limits>

namespace ombrix::base {

inline constexpr std::uint64_t kMaxU64 = std::numeric_limits<std::uint64_t>::max();

// False (sum untouched) when a + b does not fit.
constexpr bool CheckedAdd(std::uint64_t a, std::uint64_t b, std::uint64_t& sum) noexcept {
  if (a > kMaxU64 - b) return false;
  sum = a + b;
  return true;
}

// False (product untouched) when a * b does not fit.
constexpr bool CheckedMultiply(std::uint64_t a, std::uint64_t b, std::uint64_t& product) noexcept {
  if (a != 0 && b > kMaxU64 / a) return false;
  product = a * b;
  return true;
}

// a + b, or the largest value when the sum does not fit.
constexpr std::uint64_t SaturatingAdd(std::uint64_t a, std::uint64_t b) noexcept {
  return a > kMaxU64 - b ? kMaxU64 : a + b;
}

// a * b, or the largest value when the product does not fit.
constexpr std::uint64_t SaturatingMultiply(std::uint64_t a, std::uint64_t b) noexcept {
  return a != 0 && b > kMaxU64 / a ? kMaxU64 : a * b;
}

// start + signed delta; false (result untouched) when the sum leaves the
// signed 64-bit range. NTFS run offsets are deltas from the previous run.
constexpr bool CheckedAddSigned(std::int64_t start, std::int64_t delta,
                                std::int64_t& result) noexcept {
  constexpr std::int64_t kMax = std::numeric_limits<std::int64_t>::max();
  constexpr std::int64_t kMin = std::numeric_limits<std::int64_t>::min();
  if ((delta > 0 && start > kMax - delta) || (delta < 0 && start < kMin - delta)) return false;
  result = start + delta;
  return true;
}

}  // namespace ombrix::base
