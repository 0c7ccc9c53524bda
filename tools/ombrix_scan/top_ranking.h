// The largest files and folders of a result, largest first. Equal sizes are
// ordered by path (then by node index), so two runs over the same tree list
// the same entries in the same order whatever order the engine found them.
#pragma once

#include <cstdint>
#include <vector>

#include "core/scan_model.h"

namespace ombrix::scan_tool {

struct TopEntries {
  std::vector<std::uint64_t> files;    // node indices
  std::vector<std::uint64_t> folders;  // node indices; the root is never one
};

// One pass over the nodes keeping at most `count` of each kind, so ranking
// millions of nodes needs no sorted copy of them.
TopEntries RankLargest(const core::ScanResult& result, std::uint64_t count);

}  // namespace ombrix::scan_tool
