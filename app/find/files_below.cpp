#include "app/find/files_below.h"

namespace ombrix::app {

void KeepLargest(const core::ScanNodes& nodes, core::SizeBasis basis, std::uint64_t limit,
                 std::vector<std::uint32_t>& found) {
  const auto ranksBefore = [&](std::uint32_t a, std::uint32_t b) {
    const std::uint64_t sizeA = nodes.RankingSize(a, basis);
    const std::uint64_t sizeB = nodes.RankingSize(b, basis);
    return sizeA != sizeB ? sizeA > sizeB : a < b;
  };
  if (found.size() > limit) {
    const auto cut = found.begin() + static_cast<std::ptrdiff_t>(limit);
    std::nth_element(found.begin(), cut, found.end(), ranksBefore);
    found.erase(cut, found.end());
    found.shrink_to_fit();
  }
  std::sort(found.begin(), found.end(), ranksBefore);
}

}  // namespace ombrix::app
