#include "app/ranking/nodes_below.h"

namespace ombrix::app {

bool ChildLinksAgree(const std::vector<core::ScanNode>& nodes) {
  const std::uint64_t count = nodes.size();
  std::vector<bool> listed(count);
  std::uint64_t childEntries = 0;
  std::uint64_t nodesWithParent = 0;
  for (std::uint64_t folder = 0; folder < count; ++folder) {
    if (nodes[folder].parent < count) ++nodesWithParent;
    for (const std::uint64_t child : nodes[folder].children) {
      if (child >= count || nodes[child].parent != folder || listed[child]) return false;
      listed[child] = true;
      ++childEntries;
    }
  }
  // Every entry names a distinct node that has a valid parent, so equal
  // counts mean no such node is missing from its parent's list.
  return childEntries == nodesWithParent;
}

std::vector<std::uint8_t> MarkNodesBelow(const std::vector<core::ScanNode>& nodes,
                                         std::uint64_t ranked) {
  enum : std::uint8_t { kUnknown, kBelow, kNotBelow, kOnChain };
  const std::uint64_t count = nodes.size();
  std::vector<std::uint8_t> state(count, kUnknown);
  std::vector<std::uint64_t> chain;
  for (std::uint64_t start = 0; start < count; ++start) {
    if (state[start] != kUnknown) continue;
    std::uint8_t outcome = kNotBelow;
    for (std::uint64_t at = start;; at = nodes[at].parent) {
      if (at == ranked) {
        outcome = kBelow;
        break;
      }
      // A node already on this chain closes a cycle that missed `ranked`.
      if (at >= count || state[at] == kOnChain) break;
      if (state[at] != kUnknown) {
        outcome = state[at];
        break;
      }
      state[at] = kOnChain;
      chain.push_back(at);
    }
    for (const std::uint64_t node : chain) state[node] = outcome;
    chain.clear();
  }
  if (ranked < count) state[ranked] = kBelow;
  for (std::uint8_t& s : state) s = s == kBelow ? 1 : 0;
  return state;
}

}  // namespace ombrix::app
