// Which nodes lie below a ranked node R: those from which following parent
// links reaches R (R itself included). Re-ranking runs on every click, so
// the question is answered without a parent walk per node:
//   - R is the root (or none): every node qualifies, one pass over the
//     vector;
//   - the result's child links agree with its parent links (always so for
//     engine-built trees, checked once per result): walking R's subtree
//     through `children` reaches exactly those nodes, in time proportional
//     to the subtree;
//   - otherwise (a damaged result): each node's parent chain is classified
//     once, remembering the outcome along the way, in one linear pass.
// Nothing recurses and no index is read before it is checked.
#pragma once

#include <cstdint>
#include <vector>

#include "core/scan_model.h"

namespace ombrix::app {

// True when every child entry names a valid node whose parent is the
// listing folder, no node is listed twice, and every node with a valid
// parent is listed by it. Then a walk through `children` from any node
// finds exactly the nodes whose parent chain passes through it.
bool ChildLinksAgree(const std::vector<core::ScanNode>& nodes);

// One flag per node: 1 when its parent chain reaches `ranked` (a valid
// index). Chains that end at an invalid index or none, or run into a cycle
// that misses `ranked`, give 0.
std::vector<std::uint8_t> MarkNodesBelow(const std::vector<core::ScanNode>& nodes,
                                         std::uint64_t ranked);

// Calls visit(index, node) once for every node below `ranked`, in no
// particular order. `ranked` none or equal to rootIndex means every node; an
// invalid `ranked` has nothing below it.
template <typename Visit>
void ForEachNodeBelow(const core::ScanResult& result, bool childLinksAgree, std::uint64_t ranked,
                      Visit&& visit) {
  const std::vector<core::ScanNode>& nodes = result.nodes;
  const std::uint64_t count = nodes.size();
  if (ranked == core::kNoNode || ranked == result.rootIndex) {
    for (std::uint64_t i = 0; i < count; ++i) visit(i, nodes[i]);
    return;
  }
  if (ranked >= count) return;
  if (!childLinksAgree) {
    const std::vector<std::uint8_t> below = MarkNodesBelow(nodes, ranked);
    for (std::uint64_t i = 0; i < count; ++i) {
      if (below[i]) visit(i, nodes[i]);
    }
    return;
  }
  visit(ranked, nodes[ranked]);
  // Agreeing links still allow a cycle through `ranked` itself (its parent
  // link is never checked by a walk that starts there), hence the skip.
  std::vector<std::uint64_t> folders{ranked};
  while (!folders.empty()) {
    const std::uint64_t folder = folders.back();
    folders.pop_back();
    for (const std::uint64_t child : nodes[folder].children) {
      if (child >= count || child == ranked) continue;
      const core::ScanNode& node = nodes[child];
      visit(child, node);
      if (!node.children.empty()) folders.push_back(child);
    }
  }
}

}  // namespace ombrix::app
