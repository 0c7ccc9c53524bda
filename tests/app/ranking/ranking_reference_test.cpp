// The model against the ranking rules written out as plainly as possible (a
// parent walk per node, a full sort, a recursive tree listing) on a few
// hundred random trees, whole and damaged. Ties may be broken differently:
// a ranking passes when its nodes are distinct, all qualify, and their
// sizes are the reference's row by row. Where a damaged tree's child links
// disagree with its parent links, rankings need only be sound: distinct
// qualifying nodes, largest first.
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <random>
#include <set>
#include <string>
#include <vector>

#include "app/ranking/folder_ranking_model.h"
#include "tests/app/ranking/tree_maker.h"

namespace ombrix::app {
namespace {

using Nodes = std::vector<core::ScanNode>;

std::uint64_t SizeOf(const core::ScanNode& node) {
  return node.isDirectory ? node.totalSize : node.ownSize;
}

bool ReferenceBelow(const core::ScanResult& result, std::uint64_t ranked, std::uint64_t node) {
  if (ranked == core::kNoNode || ranked == result.rootIndex) return true;
  // Damaged chains can cycle: a walk longer than the node count is one.
  for (std::uint64_t at = node, steps = 0; steps <= result.nodes.size(); ++steps) {
    if (at >= result.nodes.size()) return false;
    if (at == ranked) return true;
    at = result.nodes[at].parent;
  }
  return false;
}

std::vector<std::uint64_t> Qualifying(const core::ScanResult& result, std::uint64_t ranked,
                                      bool folders) {
  std::vector<std::uint64_t> found;
  for (std::uint64_t i = 0; i < result.nodes.size(); ++i) {
    if (bool(result.nodes[i].isDirectory) == folders && !(folders && i == ranked) &&
        ReferenceBelow(result, ranked, i)) {
      found.push_back(i);
    }
  }
  return found;
}

std::vector<std::uint64_t> ReferenceRanking(const Nodes& nodes, std::vector<std::uint64_t> found,
                                            std::uint64_t limit) {
  std::sort(found.begin(), found.end(),
            [&](auto a, auto b) { return SizeOf(nodes[a]) > SizeOf(nodes[b]); });
  found.resize(std::min<std::uint64_t>(found.size(), limit));
  return found;
}

void ExpectRanking(const Nodes& nodes, const std::vector<std::uint64_t>& got,
                   const std::vector<std::uint64_t>& want,
                   const std::vector<std::uint64_t>& qualifying, bool exact,
                   const std::string& what) {
  const std::set<std::uint64_t> allowed(qualifying.begin(), qualifying.end());
  if (exact) {
    ASSERT_EQ(got.size(), want.size()) << what;
  }
  ASSERT_LE(got.size(), want.size()) << what;
  EXPECT_EQ(std::set<std::uint64_t>(got.begin(), got.end()).size(), got.size()) << what;
  for (std::size_t i = 0; i < got.size(); ++i) {
    EXPECT_TRUE(allowed.contains(got[i])) << what << " row " << i;
    if (exact) {
      EXPECT_EQ(SizeOf(nodes[got[i]]), SizeOf(nodes[want[i]])) << what << " row " << i;
    }
    if (i > 0) {
      EXPECT_GE(SizeOf(nodes[got[i - 1]]), SizeOf(nodes[got[i]])) << what << " row " << i;
    }
  }
}

void ReferenceRows(const Nodes& nodes, std::uint64_t node, std::uint32_t depth,
                   const std::unordered_set<std::uint64_t>& expanded, bool descending,
                   std::vector<TreeRow>& rows) {
  rows.push_back({node, depth});
  if (!nodes[node].isDirectory || !expanded.contains(node)) return;
  std::vector<std::uint64_t> children = nodes[node].children;
  std::sort(children.begin(), children.end(), [&](auto a, auto b) {
    const auto sa = SizeOf(nodes[a]), sb = SizeOf(nodes[b]);
    if (sa != sb) return descending ? sa > sb : sa < sb;
    if (nodes[a].isDirectory != nodes[b].isDirectory) return bool(nodes[a].isDirectory);
    const auto& na = nodes[a].name.empty() ? nodes[a].path : nodes[a].name;
    return na < (nodes[b].name.empty() ? nodes[b].path : nodes[b].name);
  });
  for (auto child : children) ReferenceRows(nodes, child, depth + 1, expanded, descending, rows);
}

// Many equal sizes; names unique (a numbered suffix) so that sibling order
// is fully defined, some empty as drive roots' are.
core::ScanResult RandomTree(std::mt19937_64& rng) {
  static const std::uint64_t kSizes[] = {0, 1, 3, 3, 7, 50, 1ull << 40};
  static const std::u16string kPrefixes[] = {u"a", u"B", u"ab", u"\u00e9", u"Z"};
  testing::TreeMaker tree(rng() % 4 ? u"X:\\R" : kAllDrivesLabel);
  std::vector<std::uint64_t> folders{tree.root};
  const int count = 1 + static_cast<int>(rng() % 120);
  for (int i = 0; i < count; ++i) {
    const std::uint64_t parent = folders[rng() % folders.size()];
    const std::u16string suffix(1 + i / 26, static_cast<char16_t>(u'a' + i % 26));
    const std::u16string name = kPrefixes[rng() % 5] + suffix;
    if (rng() % 3 == 0) {
      folders.push_back(rng() % 8 ? tree.Folder(parent, name)
                                  : tree.Folder(parent, u"", u"P" + name));
    } else {
      tree.File(parent, name, kSizes[rng() % 7]);
    }
  }
  return tree.Finish();
}

// Links an engine never writes: stray parents, unlisted or doubly listed
// children, invalid indices, cycles, a parent for the root. With
// linksInStep, only moves that keep child and parent links agreeing, into
// the node's own subtree where it has one (a cycle cut off from the root).
void Damage(core::ScanResult& result, std::mt19937_64& rng, bool linksInStep) {
  Nodes& nodes = result.nodes;
  for (int round = 1 + static_cast<int>(rng() % 3); round > 0; --round) {
    const std::uint64_t index = rng() % nodes.size();
    core::ScanNode& node = nodes[index];
    std::uint64_t other = rng() % (nodes.size() + 2);
    for (std::uint64_t i = 0; linksInStep && i < nodes.size(); ++i) {
      if (i != index && ReferenceBelow(result, index, i)) other = i;
    }
    switch (linksInStep ? 5 : rng() % 6) {
      case 0:
        node.parent = other;
        break;
      case 1:
        node.children.push_back(other + nodes.size());
        break;
      case 2:
        if (!node.children.empty()) node.children.push_back(node.children[0]);
        break;
      case 3:
        if (!node.children.empty()) node.children.erase(node.children.begin());
        break;
      case 4:
        if (other < nodes.size()) nodes[other].children.push_back(node.id);
        node.parent = other;
        break;
      default:  // moved with both links kept in step, cycles included
        if (other >= nodes.size() || node.parent >= nodes.size()) break;
        std::erase(nodes[node.parent].children, node.id);
        nodes[other].children.push_back(node.id);
        node.parent = other;
    }
  }
}

TEST(RankingReferenceTest, RandomTreesRankAsTheRulesSay) {
  std::mt19937_64 rng(20240611);
  for (int round = 0; round < 300; ++round) {
    core::ScanResult result = RandomTree(rng);
    const bool damaged = round % 3 == 2;
    const bool exact = !damaged || round % 6 == 5;
    if (damaged) Damage(result, rng, round % 6 == 5);
    FolderRankingModel model;
    model.SetResult(std::move(result));
    const core::ScanResult& r = model.Result();
    const std::uint64_t limit = round % 2 ? kRankingLength : rng() % 12;
    std::vector<std::uint64_t> targets{core::kNoNode};
    for (std::uint64_t i = 0; i <= r.nodes.size() + 1; ++i) targets.push_back(i);
    for (const std::uint64_t ranked : targets) {
      const std::string what = "round " + std::to_string(round) + " node " + std::to_string(ranked);
      const auto files = Qualifying(r, ranked, false);
      const auto folders = Qualifying(r, ranked, true);
      ExpectRanking(r.nodes, model.RankFiles(ranked, limit),
                    ReferenceRanking(r.nodes, files, limit), files, exact, what + " files");
      ExpectRanking(r.nodes, model.RankSubfolders(ranked, limit),
                    ReferenceRanking(r.nodes, folders, limit), folders, exact, what + " folders");
      if (!exact) continue;
      // The window's lists: none ranks the root, and drive roots are not
      // shown below the all-drives root.
      const std::uint64_t node = ranked == core::kNoNode ? r.rootIndex : ranked;
      std::vector<std::uint64_t> shown;
      for (auto f : Qualifying(r, node, true)) {
        if (!model.IsAllDrivesRoot(node) || r.nodes[f].parent != node) shown.push_back(f);
      }
      model.BuildRankings(ranked, limit);
      const double base = node < r.nodes.size() ? double(SizeOf(r.nodes[node])) : 0.0;
      const auto check = [&](const std::vector<RankingRow>& rows,
                             const std::vector<std::uint64_t>& allowed, const char* list) {
        std::vector<std::uint64_t> got;
        for (const RankingRow& row : rows) {
          got.push_back(row.node);
          EXPECT_EQ(row.share, base ? 100.0 * double(SizeOf(r.nodes[row.node])) / base : 0.0);
        }
        ExpectRanking(r.nodes, got, ReferenceRanking(r.nodes, allowed, limit), allowed, true,
                      what + list);
      };
      check(model.fileRows, Qualifying(r, node, false), " file rows");
      check(model.subfolderRows, shown, " subfolder rows");
    }
    for (const bool descending : {true, false}) {
      model.shareDescending = descending;
      for (std::uint64_t i = 0; i < r.nodes.size(); ++i) {
        if (damaged || rng() % 2) model.expandedNodes.insert(i);
      }
      model.RebuildTreeRows();
      if (damaged) {  // every node at most once, however the links loop
        std::set<std::uint64_t> listed;
        for (const TreeRow& row : model.treeRows) EXPECT_TRUE(listed.insert(row.node).second);
        continue;
      }
      std::vector<TreeRow> want;
      ReferenceRows(r.nodes, r.rootIndex, 0, model.expandedNodes, descending, want);
      EXPECT_EQ(model.treeRows, want) << "round " << round;
    }
  }
}

}  // namespace
}  // namespace ombrix::app
