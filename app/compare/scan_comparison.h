// What changed between an earlier scan and a later one of the same root,
// node by node: "what took the space since last week?". Nodes are matched
// by path, name by name from the roots down, ignoring case as Windows does
// (base/name_case.h); where a folder holds two names that differ only in
// case (a Linux tree read from an export), the exact name is preferred.
// Sizes compared are logical sizes. Reads both results only; any thread.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "core/scan_model.h"

namespace ombrix::app {

enum class ChangeKind : std::uint8_t {
  Unchanged,  // in both scans, same size and file count
  Changed,    // in both scans, grown or shrunk
  Added,      // not in the earlier scan (nor is anything below it)
};

struct NodeChange {
  std::int64_t bytes = 0;  // later total size - earlier total size
  std::int64_t files = 0;  // the same for the files below (a file counts as one)
  ChangeKind kind = ChangeKind::Unchanged;
};

// A file or folder of the earlier scan that is gone, where its parent is
// still there (what is below a deleted folder is not listed again).
struct DeletedNode {
  std::uint64_t parent = 0;  // the parent's index in the later scan
  std::u16string path;       // as the earlier scan had it
  bool isDirectory = false;
  std::uint64_t bytes = 0;   // its total size then
  std::uint64_t files = 0;   // the files it held then (a file: one)
};

struct ScanComparison {
  std::vector<NodeChange> changes;  // one per node of the later scan
  std::vector<DeletedNode> deleted;  // in the earlier scan's order
};

// The later scan's roots are matched with the earlier scan's root; nothing
// matches when either has no tree.
ScanComparison CompareScans(const core::ScanResult& later, const core::ScanResult& earlier);

}  // namespace ombrix::app
