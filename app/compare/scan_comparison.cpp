#include "app/compare/scan_comparison.h"

#include <algorithm>
#include <utility>

#include "base/name_case.h"

namespace ombrix::app {
namespace {

// What a node is matched by: its own path where it keeps one (a drive
// root under "All local drives"), its name otherwise.
std::u16string MatchKey(const core::ScanNodes& nodes, std::uint64_t i) {
  if (const std::u16string* path = nodes.RootPath(i)) return *path;
  return nodes.Name(i).ToString();
}

std::uint64_t FilesIn(const core::ScanNodes& nodes, std::uint64_t i) {
  return nodes.IsDirectory(i) ? nodes.FileCount(i) : 1;
}

// The earlier folder's children, ordered by folded key then exact key, so
// each later child finds its match by a binary search.
class ChildIndex {
 public:
  ChildIndex(const core::ScanNodes& nodes, std::uint64_t folder) {
    for (const std::uint32_t child : nodes.Children(folder)) {
      entries_.push_back({MatchKey(nodes, child), child, false});
    }
    std::sort(entries_.begin(), entries_.end(), [](const Entry& a, const Entry& b) {
      const int folded = base::CompareFolded(a.key, b.key);
      return folded != 0 ? folded < 0 : a.key < b.key;
    });
  }

  // The unmatched child named key (ignoring case, the exact name first),
  // now matched; kNoNode when there is none.
  std::uint64_t Take(const std::u16string& key) {
    auto first = std::lower_bound(entries_.begin(), entries_.end(), key,
                                  [](const Entry& e, const std::u16string& k) {
                                    return base::CompareFolded(e.key, k) < 0;
                                  });
    Entry* chosen = nullptr;
    for (auto it = first; it != entries_.end() && base::CompareFolded(it->key, key) == 0; ++it) {
      if (it->taken) continue;
      if (chosen == nullptr || it->key == key) chosen = &*it;
      if (it->key == key) break;
    }
    if (chosen == nullptr) return core::kNoNode;
    chosen->taken = true;
    return chosen->node;
  }

  template <typename Visit>
  void ForEachUntaken(Visit visit) const {
    for (const Entry& e : entries_) {
      if (!e.taken) visit(e.node);
    }
  }

 private:
  struct Entry {
    std::u16string key;
    std::uint64_t node;
    bool taken;
  };
  std::vector<Entry> entries_;
};

}  // namespace

ScanComparison CompareScans(const core::ScanResult& later, const core::ScanResult& earlier) {
  const core::ScanNodes& now = later.nodes;
  const core::ScanNodes& then = earlier.nodes;
  ScanComparison comparison;
  comparison.changes.resize(now.size());
  // Everything is new until matched; a match fixes the node's change.
  for (std::uint64_t i = 0; i < now.size(); ++i) {
    comparison.changes[i] = {static_cast<std::int64_t>(now.TotalSize(i)),
                             static_cast<std::int64_t>(FilesIn(now, i)), ChangeKind::Added};
  }
  if (later.rootIndex >= now.size() || earlier.rootIndex >= then.size()) return comparison;

  auto match = [&](std::uint64_t i, std::uint64_t j) {
    const std::int64_t bytes =
        static_cast<std::int64_t>(now.TotalSize(i)) - static_cast<std::int64_t>(then.TotalSize(j));
    const std::int64_t files =
        static_cast<std::int64_t>(FilesIn(now, i)) - static_cast<std::int64_t>(FilesIn(then, j));
    comparison.changes[i] = {bytes, files,
                             bytes == 0 && files == 0 ? ChangeKind::Unchanged : ChangeKind::Changed};
  };
  // Matched folder pairs still to descend into; a stack, not recursion.
  std::vector<std::pair<std::uint64_t, std::uint64_t>> pending;
  if (now.IsDirectory(later.rootIndex) == then.IsDirectory(earlier.rootIndex)) {
    match(later.rootIndex, earlier.rootIndex);
    if (now.IsDirectory(later.rootIndex)) pending.emplace_back(later.rootIndex, earlier.rootIndex);
  }
  while (!pending.empty()) {
    // Plain names, not a structured binding: the lambda below captures them.
    const std::uint64_t folder = pending.back().first;
    const std::uint64_t earlierFolder = pending.back().second;
    pending.pop_back();
    ChildIndex earlierChildren(then, earlierFolder);
    for (const std::uint32_t child : now.Children(folder)) {
      const std::uint64_t earlierChild = earlierChildren.Take(MatchKey(now, child));
      if (earlierChild == core::kNoNode) continue;
      if (now.IsDirectory(child) != then.IsDirectory(earlierChild)) {
        // A file where a folder was (or the reverse): the old one is gone
        // and the new one is new.
        comparison.deleted.push_back({folder, then.Path(earlierChild),
                                      then.IsDirectory(earlierChild), then.TotalSize(earlierChild),
                                      FilesIn(then, earlierChild)});
        continue;
      }
      match(child, earlierChild);
      if (now.IsDirectory(child)) pending.emplace_back(child, earlierChild);
    }
    earlierChildren.ForEachUntaken([&](std::uint64_t gone) {
      comparison.deleted.push_back({folder, then.Path(gone), then.IsDirectory(gone),
                                    then.TotalSize(gone), FilesIn(then, gone)});
    });
  }
  return comparison;
}

}  // namespace ombrix::app
