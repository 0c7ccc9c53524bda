#include "base/fresh_pages.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

namespace ombrix::base {
namespace {

// Bytes before and after the range may be live data: nothing outside it may
// change, and every page starting inside it is written.
TEST(FreshPagesTest, WritesOnlyPageStartsInsideTheRange) {
  constexpr std::size_t kPage = 4096;
  struct Case {
    std::size_t offset, bytes;
    std::uint64_t workers;
  };
  for (const Case c : {Case{100, 3 * kPage + 7, 2}, Case{0, 5 * kPage, 3}, Case{kPage, 1, 1},
                       Case{kPage + 1, kPage - 2, 2}, Case{50, 0, 4}}) {
    std::vector<unsigned char> block(8 * kPage, 0xAB);
    const auto base = reinterpret_cast<std::uintptr_t>(block.data());
    const std::size_t skip = (kPage - base % kPage) % kPage;  // page-aligned start
    unsigned char* start = block.data() + skip + c.offset;
    FaultInPages(start, c.bytes, c.workers);
    for (std::size_t i = 0; i < block.size(); ++i) {
      unsigned char* at = block.data() + i;
      const bool inside = at >= start && at < start + c.bytes;
      const bool pageStart = reinterpret_cast<std::uintptr_t>(at) % kPage == 0;
      EXPECT_EQ(block[i], inside && pageStart ? 0 : 0xAB)
          << c.offset << "+" << c.bytes << " @" << i;
    }
  }
}

}  // namespace
}  // namespace ombrix::base
