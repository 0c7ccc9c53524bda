// The Folders list: the root, and below every expanded folder its children
// ordered by size (folders first on equal size, then by name), depth first.
// There is no row limit: a folder of 100,000 files lists them all, so the
// siblings are sorted on compact keys and names are read only to break
// ties.
#pragma once

#include <cstdint>
#include <unordered_set>
#include <vector>

#include "app/compare/shown_comparison.h"
#include "core/scan_model.h"

namespace ombrix::app {

struct TreeRow {
  std::uint64_t node = core::kNoNode;
  std::uint32_t depth = 0;  // the root is 0
  // A file or folder of the compared scan that is gone: its index in the
  // comparison's deleted list, with node none.
  std::uint64_t deleted = core::kNoNode;

  bool operator==(const TreeRow&) const = default;
};

// True when sibling a is listed before sibling b: by ranking size in the
// given direction, then a folder before a file, then by display name (the
// name, or the path when the name is empty, as for drive roots) in ordinal
// UTF-16 order, both directions alike. Valid indices come before invalid
// ones, which are never read.
bool CompareTreeSiblings(const core::ScanNodes& nodes, core::SizeBasis basis, std::uint64_t a,
                         std::uint64_t b, bool descending);

// What a comparison adds to the rows: below each expanded folder the files
// and folders it no longer holds (after its children, or before them when
// the largest shrink comes first), and siblings ordered by change instead
// of size when an order by change is chosen.
struct TreeChanges {
  const ShownComparison* comparison = nullptr;
  ChangeOrder order = ChangeOrder::None;
};

// Replaces rows with the visible rows from `root` (rows keeps its capacity:
// a rebuild after every toggle need not grow a list of 100,000 rows again).
void ListTreeRows(const core::ScanNodes& nodes, core::SizeBasis basis, std::uint64_t root,
                  const std::unordered_set<std::uint64_t>& expandedNodes, bool descending,
                  std::vector<TreeRow>& rows, TreeChanges changes = {});

}  // namespace ombrix::app
