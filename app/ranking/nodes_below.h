// Which nodes lie below a ranked node R: those from which following parent
// links reaches R, R itself included. Re-ranking runs on every click, so
// this is answered without a parent walk per node:
//   - R is the root (or none): every node qualifies, one pass over the
//     arrays;
//   - otherwise R's subtree is walked through its children, in time
//     proportional to the subtree, not to the volume.
// A result's children are laid out from the parent links themselves, and a
// parent always comes before its children, so the walk meets every node
// below R exactly once and ends. Nothing recurses.
#pragma once

#include <cstdint>
#include <vector>

#include "core/scan_model.h"

namespace ombrix::app {

// Calls visit(index) once for every node below `ranked`, in no particular
// order. `ranked` none or equal to rootIndex means every node; an invalid
// `ranked` has nothing below it.
template <typename Visit>
void ForEachNodeBelow(const core::ScanResult& result, std::uint64_t ranked, Visit&& visit) {
  const core::ScanNodes& nodes = result.nodes;
  const std::uint64_t count = nodes.size();
  if (ranked == core::kNoNode || ranked == result.rootIndex) {
    for (std::uint64_t i = 0; i < count; ++i) visit(i);
    return;
  }
  if (ranked >= count) return;
  visit(ranked);
  std::vector<std::uint64_t> folders{ranked};
  while (!folders.empty()) {
    const std::uint64_t folder = folders.back();
    folders.pop_back();
    for (const std::uint64_t child : nodes.Children(folder)) {
      visit(child);
      if (nodes.IsDirectory(child)) folders.push_back(child);
    }
  }
}

}  // namespace ombrix::app
