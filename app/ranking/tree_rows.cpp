#include "app/ranking/tree_rows.h"

#include <algorithm>
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

// Size in the list's direction, then a folder before a file.
bool SizeAndKindBefore(const SiblingKey& a, const SiblingKey& b, bool descending) {
  if (a.size != b.size) return descending ? a.size > b.size : a.size < b.size;
  return a.isFolder && !b.isFolder;
}

bool SameSizeAndKind(const SiblingKey& a, const SiblingKey& b) {
  return a.size == b.size && a.isFolder == b.isFolder;
}

// The first eight units of a node's display name, as two numbers that
// order as the units do (a shorter name padded with the smallest unit, so
// a proper prefix still comes first). Equal prefixes say nothing: the
// names are then compared whole.
struct NamePrefix {
  std::uint64_t high = 0;
  std::uint64_t low = 0;
  std::uint64_t node = 0;
};

NamePrefix PrefixOf(const core::ScanNodes& nodes, std::uint64_t node) {
  NamePrefix prefix;
  prefix.node = node;
  const core::NodeName name = nodes.Name(node);
  const std::u16string path = name.empty() ? nodes.Path(node) : std::u16string();
  const std::size_t length = name.empty() ? path.size() : name.size();
  for (std::size_t i = 0; i < 8; ++i) {
    const std::uint64_t unit = i >= length ? 0 : (name.empty() ? path[i] : name[i]);
    std::uint64_t& half = i < 4 ? prefix.high : prefix.low;
    half |= unit << (48 - 16 * (i % 4));
  }
  return prefix;
}

// Sorts a folder's children into list order. Names are read only among
// children of equal size and kind, run by run, and then first by their
// first eight units, gathered once per child: a folder of a million files
// sorts on compact keys, and the arena is read again only for names that
// begin alike.
void SortSiblings(const core::ScanNodes& nodes, std::vector<SiblingKey>& siblings,
                  bool descending) {
  std::sort(siblings.begin(), siblings.end(),
            [descending](const SiblingKey& a, const SiblingKey& b) {
              return SizeAndKindBefore(a, b, descending);
            });
  std::vector<NamePrefix> prefixes;
  for (auto run = siblings.begin(); run != siblings.end();) {
    const auto end = std::find_if_not(
        run + 1, siblings.end(), [&](const SiblingKey& key) { return SameSizeAndKind(key, *run); });
    if (end - run > 1) {
      prefixes.clear();
      for (auto it = run; it != end; ++it) prefixes.push_back(PrefixOf(nodes, it->node));
      std::sort(prefixes.begin(), prefixes.end(), [&](const NamePrefix& a, const NamePrefix& b) {
        if (a.high != b.high) return a.high < b.high;
        if (a.low != b.low) return a.low < b.low;
        return DisplayNameBefore(nodes, a.node, b.node);
      });
      for (std::size_t i = 0; i < prefixes.size(); ++i) run[i].node = prefixes[i].node;
    }
    run = end;
  }
}

SiblingKey KeyOf(const core::ScanNodes& nodes, core::SizeBasis basis, std::uint64_t index) {
  return {nodes.RankingSize(index, basis), index, nodes.IsDirectory(index)};
}

// The sibling key in change order: the change where the comparison has
// one for the node, nothing otherwise.
SiblingKey ChangeKeyOf(const core::ScanNodes& nodes, const TreeChanges& changes,
                       std::uint64_t index) {
  const NodeChange* change = changes.comparison->ChangeOf(index);
  return {ChangeRankKey(change != nullptr ? change->bytes : 0, changes.order), index,
          nodes.IsDirectory(index)};
}

}  // namespace

bool CompareTreeSiblings(const core::ScanNodes& nodes, core::SizeBasis basis, std::uint64_t a,
                         std::uint64_t b, bool descending) {
  if (a >= nodes.size() || b >= nodes.size()) return a < nodes.size() && b >= nodes.size();
  const SiblingKey keyA = KeyOf(nodes, basis, a);
  const SiblingKey keyB = KeyOf(nodes, basis, b);
  if (!SameSizeAndKind(keyA, keyB)) return SizeAndKindBefore(keyA, keyB, descending);
  return DisplayNameBefore(nodes, a, b);
}

void ListTreeRows(const core::ScanNodes& nodes, core::SizeBasis basis, std::uint64_t root,
                  const std::unordered_set<std::uint64_t>& expandedNodes, bool descending,
                  std::vector<TreeRow>& rows, TreeChanges changes) {
  rows.clear();
  if (root >= nodes.size()) return;
  const bool byChange = changes.comparison != nullptr && changes.order != ChangeOrder::None;
  // Change keys rank the listed-first change highest, whichever order.
  const bool keysDescending = byChange ? true : descending;
  std::vector<SiblingKey> siblings;
  // Rows still to list, the next one on top: an explicit stack, since
  // expanded chains can be 100,000 folders deep.
  std::vector<TreeRow> pending{{root, 0}};
  while (!pending.empty()) {
    const TreeRow row = pending.back();
    pending.pop_back();
    rows.push_back(row);
    if (row.deleted != core::kNoNode) continue;
    const std::span<const std::uint32_t> children = nodes.Children(row.node);
    const std::span<const std::uint32_t> gone =
        changes.comparison != nullptr ? changes.comparison->DeletedIn(row.node)
                                      : std::span<const std::uint32_t>();
    if ((children.empty() && gone.empty()) || !expandedNodes.contains(row.node)) {
      continue;
    }
    siblings.clear();
    for (const std::uint64_t child : children) {
      siblings.push_back(byChange ? ChangeKeyOf(nodes, changes, child)
                                  : KeyOf(nodes, basis, child));
    }
    SortSiblings(nodes, siblings, keysDescending);
    // Pushed in reverse: the top of the stack is listed first.
    const bool goneFirst = changes.order == ChangeOrder::ShrinkFirst;
    const auto pushGone = [&] {
      for (auto it = gone.rbegin(); it != gone.rend(); ++it) {
        pending.push_back({core::kNoNode, row.depth + 1, *it});
      }
    };
    if (!goneFirst) pushGone();
    for (auto it = siblings.rbegin(); it != siblings.rend(); ++it) {
      pending.push_back({it->node, row.depth + 1});
    }
    if (goneFirst) pushGone();
  }
}

}  // namespace ombrix::app
