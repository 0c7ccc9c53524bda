// Keeps the `limit` largest of the nodes offered to it, in a heap of at most
// `limit` entries: ranking millions of candidates needs neither a list of
// them nor a sort of it. Equal sizes rank by node index, so the outcome does
// not depend on the order in which candidates arrive (a subtree walk and a
// pass over the node vector give the same rows).
#pragma once

#include <algorithm>
#include <cstdint>
#include <vector>

namespace ombrix::app {

class LargestNodes {
 public:
  explicit LargestNodes(std::uint64_t limit) : limit_(limit) {}

  void Offer(std::uint64_t node, std::uint64_t size) {
    if (limit_ == 0) return;
    const Entry entry{size, node};
    if (kept_.size() < limit_) {
      kept_.push_back(entry);
      std::push_heap(kept_.begin(), kept_.end(), RanksBefore);
      return;
    }
    // The heap's front ranks last among those kept; most candidates of a
    // large tree are smaller and stop here.
    if (!RanksBefore(entry, kept_.front())) return;
    std::pop_heap(kept_.begin(), kept_.end(), RanksBefore);
    kept_.back() = entry;
    std::push_heap(kept_.begin(), kept_.end(), RanksBefore);
  }

  // Node indices, largest first. Leaves the keeper empty.
  std::vector<std::uint64_t> TakeRanked() {
    std::sort_heap(kept_.begin(), kept_.end(), RanksBefore);
    std::vector<std::uint64_t> nodes;
    nodes.reserve(kept_.size());
    for (const Entry& entry : kept_) nodes.push_back(entry.node);
    kept_.clear();
    return nodes;
  }

 private:
  struct Entry {
    std::uint64_t size;
    std::uint64_t node;
  };

  static bool RanksBefore(const Entry& a, const Entry& b) {
    return a.size != b.size ? a.size > b.size : a.node < b.node;
  }

  std::uint64_t limit_;
  std::vector<Entry> kept_;
};

}  // namespace ombrix::app
