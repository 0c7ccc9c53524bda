#include "app/find/find_files.h"

namespace ombrix::app {

std::optional<FileMatches> FindFiles(const core::ScanResult& result, std::uint64_t below,
                                     const FindCriteria& criteria, core::SizeBasis basis,
                                     std::uint64_t limit, std::stop_token stop) {
  const core::ScanNodes& nodes = result.nodes;
  // The cheap tests first: a size or a time rules a file out before its
  // name is read.
  return CollectLargestFiles(result, below, basis, limit, std::move(stop), [&](std::uint64_t i) {
    if (nodes.RankingSize(i, basis) < criteria.minimumSize) return false;
    if (criteria.writtenBefore) {
      const std::uint64_t written = nodes.LastWriteTime(i);
      if (written == 0 || written >= *criteria.writtenBefore) return false;
    }
    return criteria.pattern.Matches(nodes.Name(i));
  });
}

}  // namespace ombrix::app
