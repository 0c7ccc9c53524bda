// The files below a node that pass a test, the largest first: what a find
// lists and what a file type lists when it is selected. Runs on whatever
// thread asks (the window's find worker, ombrix-scan) over a result nobody
// changes meanwhile, and gives up early when asked to stop (a newer query
// makes the running one worthless).
//
// Every match is kept as a 32-bit index, then only the first `limit` are
// put in order (nth_element, then a sort of those): a pattern that matches
// millions of files costs one pass and one partial sort, not a full sort.
// Equal sizes rank by node index, as the ranking lists do.
#pragma once

#include <algorithm>
#include <cstdint>
#include <optional>
#include <stop_token>
#include <vector>

#include "app/ranking/nodes_below.h"
#include "core/scan_model.h"

namespace ombrix::app {

struct FileMatches {
  std::vector<std::uint32_t> largest;  // at most the limit asked, largest first
  std::uint64_t count = 0;             // every match
  std::uint64_t size = 0;              // of every match, on the size basis (saturating)
};

// Nodes visited between two looks at the stop request.
inline constexpr std::uint64_t kStopCheckInterval = 1u << 16;

// Calls visit(i) for every file below `below` (none or the root: every
// file); false when a stop was requested before the visit was complete.
template <typename Visit>
bool VisitFilesBelow(const core::ScanResult& result, std::uint64_t below, std::stop_token stop,
                     Visit&& visit) {
  const core::ScanNodes& nodes = result.nodes;
  std::uint64_t untilCheck = kStopCheckInterval;
  bool stopped = false;
  ForEachNodeBelow(result, below, [&](std::uint64_t i) {
    if (stopped) return;
    if (--untilCheck == 0) {
      untilCheck = kStopCheckInterval;
      if (stop.stop_requested()) {
        stopped = true;
        return;
      }
    }
    if (!nodes.IsDirectory(i)) visit(i);
  });
  return !stopped && !stop.stop_requested();
}

// Puts the `limit` largest of `found` first, in order, and drops the rest.
void KeepLargest(const core::ScanNodes& nodes, core::SizeBasis basis, std::uint64_t limit,
                 std::vector<std::uint32_t>& found);

template <typename Test>
std::optional<FileMatches> CollectLargestFiles(const core::ScanResult& result,
                                               std::uint64_t below, core::SizeBasis basis,
                                               std::uint64_t limit, std::stop_token stop,
                                               Test&& test) {
  const core::ScanNodes& nodes = result.nodes;
  FileMatches matches;
  std::vector<std::uint32_t> found;
  const bool complete = VisitFilesBelow(result, below, stop, [&](std::uint64_t i) {
    if (!test(i)) return;
    found.push_back(static_cast<std::uint32_t>(i));
    const std::uint64_t size = nodes.RankingSize(i, basis);
    matches.size = size > ~matches.size ? ~std::uint64_t{0} : matches.size + size;
  });
  if (!complete) return std::nullopt;
  matches.count = found.size();
  KeepLargest(nodes, basis, limit, found);
  matches.largest = std::move(found);
  return matches;
}

}  // namespace ombrix::app
