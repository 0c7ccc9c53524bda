// A realistic volume built in process, for the benchmarks that time what
// the window does with a large result. The tree has the shape of a big
// server volume: a few wide levels of project folders, then folders of a
// handful to a few dozen files, twelve levels deep, found breadth first (so
// a folder's subtree is scattered through the node order, as with the
// directory-query engine's queue), and one folder of 1,000,000 files below
// the root. Names are of real lengths (8 to 40 units, mostly ASCII, one in
// fifty with CJK or Cyrillic units) and of a few common types; files were
// last written over ten years, sizes are mostly small with a few of
// gigabytes.
#pragma once

#include <cstdint>

#include "core/scan_model.h"
#include "core/scan_tree_builder.h"

namespace ombrix::bench {

struct SyntheticVolume {
  core::ScanTreeBuilder builder;
  std::uint64_t wideFolder = core::kNoNode;  // the folder of a million files
};

// Adds nodes to the volume's builder until it holds nodeCount; the same
// count always makes the same tree.
void AddSyntheticNodes(SyntheticVolume& volume, std::uint64_t nodeCount);

// The folder whose subtree size is nearest to `wanted` nodes.
std::uint64_t FolderWithNodesBelow(const core::ScanResult& result, std::uint64_t wanted);

}  // namespace ombrix::bench
