#include "app/ranking/tree_rows.h"

#include <algorithm>
#include <string_view>

#include <span>
#include <string>

namespace ombrix::app {

namespace {

// Names in ordinal UTF-16 order; a node without a name (a drive root) is
// shown, and so compared, by its path.
bool DisplayNameBefore(const core::ScanNodes& nodes, std::uint64_t a, std::uint64_t b) {
  const core::NodeName nameA = nodes.Name(a);
  const core::NodeName nameB = nodes.Name(b);
  if (!nameA.empty() && !nameB.empty()) return nameA.Compare(nameB) < 0;
  const std::u16string textA = nameA.empty() ? nodes.Path(a) : nameA.ToString();
  const std::u16string textB = nameB.empty() ? nodes.Path(b) : nameB.ToString();
  return textA < textB;
}

// What sibling order compares, gathered once per child so that sorting a
// huge folder touches one small array instead of the nodes.
struct SiblingKey {
  std::uint64_t size;
  std::uint64_t node;
  bool isFolder;
};

class SiblingOrder {
 public:
  SiblingOrder(const core::ScanNodes& nodes, bool descending)
      : nodes_(nodes), descending_(descending) {}

  bool operator()(const SiblingKey& a, const SiblingKey& b) const {
    if (a.size != b.size) return descending_ ? a.size > b.size : a.size < b.size;
    if (a.isFolder != b.isFolder) return a.isFolder;
    return DisplayNameBefore(nodes_, a.node, b.node);
  }

 private:
  const core::ScanNodes& nodes_;
  bool descending_;
};

SiblingKey KeyOf(const core::ScanNodes& nodes, std::uint64_t index) {
  return {nodes.RankingSize(index), index, nodes.IsDirectory(index)};
}

}  // namespace

bool CompareTreeSiblings(const core::ScanNodes& nodes, std::uint64_t a, std::uint64_t b,
                         bool descending) {
  if (a >= nodes.size() || b >= nodes.size()) return a < nodes.size() && b >= nodes.size();
  return SiblingOrder(nodes, descending)(KeyOf(nodes, a), KeyOf(nodes, b));
}

void ListTreeRows(const core::ScanNodes& nodes, std::uint64_t root,
                  const std::unordered_set<std::uint64_t>& expandedNodes, bool descending,
                  std::vector<TreeRow>& rows) {
  rows.clear();
  const std::uint64_t count = nodes.size();
  if (root >= count) return;
  std::vector<bool> listed(count);
  const SiblingOrder order(nodes, descending);
  std::vector<SiblingKey> siblings;
  // Rows still to list, the next one on top: an explicit stack, since
  // expanded chains can be 100,000 folders deep.
  std::vector<TreeRow> pending{{root, 0}};
  listed[root] = true;
  while (!pending.empty()) {
    const TreeRow row = pending.back();
    pending.pop_back();
    rows.push_back(row);
    const std::span<const std::uint32_t> children = nodes.Children(row.node);
    if (children.empty() || !expandedNodes.contains(row.node)) {
      continue;
    }
    siblings.clear();
    for (const std::uint64_t child : children) {
      if (child >= count || listed[child]) continue;
      listed[child] = true;
      siblings.push_back(KeyOf(nodes, child));
    }
    std::sort(siblings.begin(), siblings.end(), order);
    for (auto it = siblings.rbegin(); it != siblings.rend(); ++it) {
      pending.push_back({it->node, row.depth + 1});
    }
  }
}

}  // namespace ombrix::app
