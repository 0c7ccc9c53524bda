#include "base/growing_buffer.h"

namespace ombrix::base {

namespace {
constexpr std::size_t kFirstUnits = 260;
constexpr std::size_t kLastUnits = 65536;
}  // namespace

std::u16string ReadIntoGrowingBuffer(
    const std::function<std::uint32_t(std::u16string& buffer)>& query) {
  for (std::size_t units = kFirstUnits; units <= kLastUnits; units *= 2) {
    std::u16string buffer(units, u'\0');
    const std::uint32_t length = query(buffer);
    if (length == 0) {
      return std::u16string();
    }
    // A full buffer may hold a cut path: only a shorter answer is whole.
    if (length < units - 1) {
      buffer.resize(length);
      return buffer;
    }
  }
  return std::u16string();
}

}  // namespace ombrix::base
