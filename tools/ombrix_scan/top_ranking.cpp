#include "tools/ombrix_scan/top_ranking.h"

#include <algorithm>

namespace ombrix::scan_tool {

namespace {

class LargestKeeper {
 public:
  LargestKeeper(const std::vector<core::ScanNode>& nodes, std::uint64_t limit)
      : nodes_(nodes), limit_(limit) {}

  void Offer(std::uint64_t index) {
    if (limit_ == 0) return;
    const auto ranksBefore = [this](std::uint64_t a, std::uint64_t b) { return RanksBefore(a, b); };
    if (heap_.size() < limit_) {
      heap_.push_back(index);
      std::push_heap(heap_.begin(), heap_.end(), ranksBefore);
    } else if (RanksBefore(index, heap_.front())) {
      // The heap's front is the entry that ranks last among those kept.
      std::pop_heap(heap_.begin(), heap_.end(), ranksBefore);
      heap_.back() = index;
      std::push_heap(heap_.begin(), heap_.end(), ranksBefore);
    }
  }

  std::vector<std::uint64_t> TakeRanked() {
    std::sort_heap(heap_.begin(), heap_.end(),
                   [this](std::uint64_t a, std::uint64_t b) { return RanksBefore(a, b); });
    return std::move(heap_);
  }

 private:
  bool RanksBefore(std::uint64_t a, std::uint64_t b) const {
    const core::ScanNode& left = nodes_[a];
    const core::ScanNode& right = nodes_[b];
    if (left.totalSize != right.totalSize) return left.totalSize > right.totalSize;
    if (const int order = left.path.compare(right.path); order != 0) return order < 0;
    return a < b;
  }

  const std::vector<core::ScanNode>& nodes_;
  std::uint64_t limit_;
  std::vector<std::uint64_t> heap_;
};

}  // namespace

TopEntries RankLargest(const core::ScanResult& result, std::uint64_t count) {
  LargestKeeper files(result.nodes, count);
  LargestKeeper folders(result.nodes, count);
  for (std::uint64_t i = 0; i < result.nodes.size(); ++i) {
    if (!result.nodes[i].isDirectory) {
      files.Offer(i);
    } else if (i != result.rootIndex) {
      folders.Offer(i);
    }
  }
  return {files.TakeRanked(), folders.TakeRanked()};
}

}  // namespace ombrix::scan_tool
