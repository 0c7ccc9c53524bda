// Structure every scan result must have, finished or cancelled, whatever
// engine made it.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/scan_model.h"

namespace ombrix::test {

// Every parent is a folder before its child; every node but the root is
// reached exactly once from the root through children whose parent links
// agree; only folders
// have children; every folder's totals add up over the nodes present; the
// result's counts match its nodes and issues. Readable lines, at most a
// screenful; empty when the tree is sound. The synthetic root of a merged
// scan is not counted among the result's folders.
enum class RootKind { Scanned, Synthetic };
std::vector<std::string> TreeInconsistencies(const core::ScanResult& result,
                                             RootKind root = RootKind::Scanned);

// A node's children as a vector, for comparisons.
std::vector<std::uint64_t> ChildrenOf(const core::ScanNode& node);

// The first node whose full path is path, if any.
std::optional<core::ScanNode> FindNodeByPath(const core::ScanResult& result,
                                             std::u16string_view path);

}  // namespace ombrix::test
