// The files below a node that pass a test, the largest first: what a find
// lists and what a file type lists when it is selected. Runs on whatever
// thread asks (the window's find worker, ombrix-scan) over a result nobody
// changes meanwhile, and gives up early when asked to stop (a newer query
// makes the running one worthless).
//
// Below the root every node is a candidate, and the node arrays are split
// into slices tested on a few threads (the test must be safe to call from
// several at once); below any other folder its subtree is walked on the
// calling thread. Every match is kept as a 32-bit index, then only the
// first `limit` are put in order (nth_element, then a sort of those): a
// pattern that matches millions of files costs one pass and one partial
// sort, not a full sort. Equal sizes rank by node index, as the ranking
// lists do.
#pragma once

#include <cstdint>
#include <functional>
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

// How many slices a pass over every one of nodeCount nodes is split into:
// one per 262,144 nodes, at most one per hardware thread and at most 8.
std::uint64_t SlicesForNodes(std::uint64_t nodeCount);

// Calls visit(i) for every file below `below` (none or the root: every
// file), on the calling thread; false when a stop was requested before the
// visit was complete.
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

// True for a file that matches.
using FileTest = std::function<bool(std::uint64_t node)>;

// The matching files below `below` (none or the root: every file), the
// `limit` largest listed; none when a stop was requested first.
std::optional<FileMatches> CollectLargestFiles(const core::ScanResult& result,
                                               std::uint64_t below, core::SizeBasis basis,
                                               std::uint64_t limit, std::stop_token stop,
                                               const FileTest& test);

}  // namespace ombrix::app
