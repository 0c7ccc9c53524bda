// The size a node is ranked and shared by: a folder's whole subtree, a
// file's own bytes. For a file the two totals are equal, but a folder's
// ownSize is always 0, so the distinction matters.
#pragma once

#include <cstdint>

#include "core/scan_model.h"

namespace ombrix::app {

inline std::uint64_t RankingSize(const core::ScanNode& node) {
  return node.isDirectory ? node.totalSize : node.ownSize;
}

}  // namespace ombrix::app
