// Which nodes lie below a ranked node R: those from which following parent
// links reaches R, R itself included. Re-ranking runs on every click, so
// this is answered without a parent walk per node:
//   - R is the root (or none): every node qualifies, one pass over the
//     vector;
//   - otherwise R's subtree is walked through `children`, in time
//     proportional to the subtree, not to the volume.
// In an engine-built tree every node is listed exactly once, by the folder
// its parent link names, so the walk finds exactly the nodes below R. A
// damaged result can list a node under a folder its parent link does not
// name, twice, or in a cycle: the walk takes a listed node only when its
// parent link confirms the listing, and only once, so whatever it visits
// does lie below R and it always ends. (A node that names a parent which
// does not list it is not found; engines never write one.) Nothing
// recurses and no index is read before it is checked.
#pragma once

#include <cstdint>
#include <vector>

#include "core/scan_model.h"

namespace ombrix::app {

// Calls visit(index, node) once for every node below `ranked`, in no
// particular order. `ranked` none or equal to rootIndex means every node; an
// invalid `ranked` has nothing below it.
template <typename Visit>
void ForEachNodeBelow(const core::ScanResult& result, std::uint64_t ranked, Visit&& visit) {
  const std::vector<core::ScanNode>& nodes = result.nodes;
  const std::uint64_t count = nodes.size();
  if (ranked == core::kNoNode || ranked == result.rootIndex) {
    for (std::uint64_t i = 0; i < count; ++i) visit(i, nodes[i]);
    return;
  }
  if (ranked >= count) return;
  std::vector<bool> visited(count);
  visited[ranked] = true;
  visit(ranked, nodes[ranked]);
  std::vector<std::uint64_t> folders{ranked};
  while (!folders.empty()) {
    const std::uint64_t folder = folders.back();
    folders.pop_back();
    for (const std::uint64_t child : nodes[folder].children) {
      if (child >= count || visited[child] || nodes[child].parent != folder) continue;
      visited[child] = true;
      const core::ScanNode& node = nodes[child];
      visit(child, node);
      if (!node.children.empty()) folders.push_back(child);
    }
  }
}

}  // namespace ombrix::app
