// Where a result's bytes go, by structure, as every benchmark prints it.
#pragma once

#include <cstdint>
#include <cstdio>

#include "core/scan_nodes.h"

namespace ombrix::bench {

inline void PrintResultMemory(const core::ScanNodesMemory& memory, std::uint64_t nodes) {
  const auto perNode = [nodes](std::uint64_t bytes) {
    return nodes != 0 ? static_cast<double>(bytes) / static_cast<double>(nodes) : 0.0;
  };
  std::printf(
      "result: %llu nodes, bytes per node: %.1f per-node arrays + %.1f per-folder arrays + %.1f "
      "child index + %.1f names (%.1f with the arena's unused tail) + %.2f root paths = %.1f\n",
      static_cast<unsigned long long>(nodes), perNode(memory.perNodeArrays),
      perNode(memory.folderArrays), perNode(memory.childIndex), perNode(memory.nameBytes),
      perNode(memory.nameArenaAllocated), perNode(memory.rootPaths), perNode(memory.Total()));
}

}  // namespace ombrix::bench
