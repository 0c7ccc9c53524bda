#include "app/find/files_below.h"

#include <algorithm>
#include <atomic>
#include <thread>

#include "base/checked_math.h"
#include "base/parallel_slices.h"

namespace ombrix::app {
namespace {

constexpr std::uint64_t kMaxSlices = 8;
// A million nodes are two slices on two cores: the filter box's answer
// comes in half the time.
constexpr std::uint64_t kNodesPerSlice = 1u << 18;

struct SliceMatches {
  std::vector<std::uint32_t> found;  // only the `limit` largest, once the slice is done
  std::uint64_t count = 0;
  std::uint64_t size = 0;
};

// Whether a ranks before b: larger first, equal sizes by node index.
struct RanksBefore {
  const core::ScanNodes& nodes;
  core::SizeBasis basis;
  bool operator()(std::uint32_t a, std::uint32_t b) const {
    const std::uint64_t sizeA = nodes.RankingSize(a, basis);
    const std::uint64_t sizeB = nodes.RankingSize(b, basis);
    return sizeA != sizeB ? sizeA > sizeB : a < b;
  }
};

// Drops all but the `limit` largest of `found`, left in no order.
void DropAllButLargest(const RanksBefore& ranksBefore, std::uint64_t limit,
                       std::vector<std::uint32_t>& found) {
  if (found.size() <= limit) return;
  const auto cut = found.begin() + static_cast<std::ptrdiff_t>(limit);
  std::nth_element(found.begin(), cut, found.end(), ranksBefore);
  found.erase(cut, found.end());
  found.shrink_to_fit();
}

// Every node of the result, in slices on several threads. Each slice keeps
// only its `limit` largest (a pattern that matches millions of files is cut
// down on every thread at once), the merge the `limit` largest of those.
bool CollectFromEveryNode(const core::ScanNodes& nodes, core::SizeBasis basis,
                          std::uint64_t limit, std::stop_token stop, const FileTest& test,
                          SliceMatches& matches) {
  const std::uint64_t slices = SlicesForNodes(nodes.size());
  std::vector<SliceMatches> parts(slices);
  std::atomic<std::uint64_t> nextPart{0};
  std::atomic<bool> stopped{false};
  base::RunInSlices(nodes.size(), slices, [&](std::uint64_t begin, std::uint64_t end) {
    SliceMatches& part = parts[nextPart.fetch_add(1)];
    for (std::uint64_t i = begin; i < end; ++i) {
      if ((i - begin) % kStopCheckInterval == 0 && stop.stop_requested()) {
        stopped = true;
        return;
      }
      if (nodes.IsDirectory(i) || !test(i)) continue;
      part.found.push_back(static_cast<std::uint32_t>(i));
      part.size = base::SaturatingAdd(part.size, nodes.RankingSize(i, basis));
    }
    part.count = part.found.size();
    DropAllButLargest(RanksBefore{nodes, basis}, limit, part.found);
  });
  if (stopped || stop.stop_requested()) return false;
  std::size_t total = 0;
  for (const SliceMatches& part : parts) total += part.found.size();
  matches.found.reserve(total);
  for (const SliceMatches& part : parts) {
    matches.found.insert(matches.found.end(), part.found.begin(), part.found.end());
    matches.count += part.count;
    matches.size = base::SaturatingAdd(matches.size, part.size);
  }
  return true;
}

}  // namespace

std::uint64_t SlicesForNodes(std::uint64_t nodeCount) {
  const std::uint64_t hardware = std::max<std::uint64_t>(1, std::thread::hardware_concurrency());
  return std::clamp<std::uint64_t>(nodeCount / kNodesPerSlice, 1, std::min(kMaxSlices, hardware));
}

std::optional<FileMatches> CollectLargestFiles(const core::ScanResult& result,
                                               std::uint64_t below, core::SizeBasis basis,
                                               std::uint64_t limit, std::stop_token stop,
                                               const FileTest& test) {
  const core::ScanNodes& nodes = result.nodes;
  SliceMatches matches;
  if (below == core::kNoNode || below == result.rootIndex) {
    if (!CollectFromEveryNode(nodes, basis, limit, std::move(stop), test, matches)) {
      return std::nullopt;
    }
  } else {
    const bool complete = VisitFilesBelow(result, below, std::move(stop), [&](std::uint64_t i) {
      if (!test(i)) return;
      matches.found.push_back(static_cast<std::uint32_t>(i));
      matches.size = base::SaturatingAdd(matches.size, nodes.RankingSize(i, basis));
    });
    if (!complete) return std::nullopt;
    matches.count = matches.found.size();
  }
  FileMatches files;
  files.count = matches.count;
  files.size = matches.size;
  const RanksBefore ranksBefore{nodes, basis};
  DropAllButLargest(ranksBefore, limit, matches.found);
  std::sort(matches.found.begin(), matches.found.end(), ranksBefore);
  files.largest = std::move(matches.found);
  return files;
}

}  // namespace ombrix::app
