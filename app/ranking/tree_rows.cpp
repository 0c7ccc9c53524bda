#include "app/ranking/tree_rows.h"

#include <algorithm>
#include <string_view>

#include "app/ranking/ranking_size.h"

namespace ombrix::app {

namespace {

std::u16string_view DisplayName(const core::ScanNode& node) {
  return node.name.empty() ? node.path : node.name;
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
  SiblingOrder(const std::vector<core::ScanNode>& nodes, bool descending)
      : nodes_(nodes), descending_(descending) {}

  bool operator()(const SiblingKey& a, const SiblingKey& b) const {
    if (a.size != b.size) return descending_ ? a.size > b.size : a.size < b.size;
    if (a.isFolder != b.isFolder) return a.isFolder;
    // char16_t traits compare code units as unsigned values: ordinal order,
    // a proper prefix first.
    return DisplayName(nodes_[a.node]) < DisplayName(nodes_[b.node]);
  }

 private:
  const std::vector<core::ScanNode>& nodes_;
  bool descending_;
};

SiblingKey KeyOf(const std::vector<core::ScanNode>& nodes, std::uint64_t index) {
  const core::ScanNode& node = nodes[index];
  return {RankingSize(node), index, node.isDirectory != 0};
}

}  // namespace

bool CompareTreeSiblings(const std::vector<core::ScanNode>& nodes, std::uint64_t a, std::uint64_t b,
                         bool descending) {
  if (a >= nodes.size() || b >= nodes.size()) return a < nodes.size() && b >= nodes.size();
  return SiblingOrder(nodes, descending)(KeyOf(nodes, a), KeyOf(nodes, b));
}

void ListTreeRows(const std::vector<core::ScanNode>& nodes, std::uint64_t root,
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
    const core::ScanNode& node = nodes[row.node];
    if (!node.isDirectory || node.children.empty() || !expandedNodes.contains(row.node)) {
      continue;
    }
    siblings.clear();
    for (const std::uint64_t child : node.children) {
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
