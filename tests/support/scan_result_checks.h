// Structure every scan result must have, finished or cancelled, whatever
// engine made it.
#pragma once

#include <string>
#include <vector>

#include "core/scan_model.h"

namespace ombrix::test {

// Ids equal positions; every node but the root is reached exactly once
// from the root through children whose parent links agree; only folders
// have children; every folder's totals add up over the nodes present; the
// result's counts match its nodes and issues. Readable lines, at most a
// screenful; empty when the tree is sound. The synthetic root of a merged
// scan is not counted among the result's folders.
enum class RootKind { Scanned, Synthetic };
std::vector<std::string> TreeInconsistencies(const core::ScanResult& result,
                                             RootKind root = RootKind::Scanned);

}  // namespace ombrix::test
