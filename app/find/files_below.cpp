#include "app/find/files_below.h"

#include <algorithm>
#include <atomic>
#include <thread>

#include "base/parallel_slices.h"

namespace ombrix::app {
namespace {

constexpr std::uint64_t kMaxSlices = 8;
// Below this many nodes a slice costs more in starting a thread than it
// saves.
constexpr std::uint64_t kNodesPerSlice = 1u << 20;

std::uint64_t SaturatingAdd(std::uint64_t a, std::uint64_t b) {
  return a > ~b ? ~std::uint64_t{0} : a + b;
}

struct SliceMatches {
  std::vector<std::uint32_t> found;
  std::uint64_t size = 0;
};

// Puts the `limit` largest of `found` first, in order, and drops the rest.
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

// Every node of the result, in slices on several threads.
bool CollectFromEveryNode(const core::ScanNodes& nodes, core::SizeBasis basis,
                          std::stop_token stop, const FileTest& test, SliceMatches& matches) {
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
      part.size = SaturatingAdd(part.size, nodes.RankingSize(i, basis));
    }
  });
  if (stopped || stop.stop_requested()) return false;
  std::size_t total = 0;
  for (const SliceMatches& part : parts) total += part.found.size();
  matches.found.reserve(total);
  for (const SliceMatches& part : parts) {
    matches.found.insert(matches.found.end(), part.found.begin(), part.found.end());
    matches.size = SaturatingAdd(matches.size, part.size);
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
    if (!CollectFromEveryNode(nodes, basis, std::move(stop), test, matches)) return std::nullopt;
  } else {
    const bool complete = VisitFilesBelow(result, below, std::move(stop), [&](std::uint64_t i) {
      if (!test(i)) return;
      matches.found.push_back(static_cast<std::uint32_t>(i));
      matches.size = SaturatingAdd(matches.size, nodes.RankingSize(i, basis));
    });
    if (!complete) return std::nullopt;
  }
  FileMatches files;
  files.count = matches.found.size();
  files.size = matches.size;
  KeepLargest(nodes, basis, limit, matches.found);
  files.largest = std::move(matches.found);
  return files;
}

}  // namespace ombrix::app
