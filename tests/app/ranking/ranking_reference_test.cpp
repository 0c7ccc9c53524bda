// The model against the ranking rules written out as plainly as possible (a
// parent walk per node, a full sort) on a few hundred random trees, whole
// and damaged. Ties may be broken differently: a ranking passes when its
// nodes are distinct, all qualify, and their sizes are the reference's row
// by row. Where a damaged tree's child links disagree with its parent
// links, a ranking need only be sound: distinct qualifying nodes, largest
// first.
#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <set>
#include <string>
#include <vector>

#include "app/ranking/folder_ranking_model.h"
#include "tests/app/ranking/tree_maker.h"

namespace ombrix::app {
namespace {

using Indices = std::vector<std::uint64_t>;

std::uint64_t SizeOf(const core::ScanNode& node) {
  return node.isDirectory ? node.totalSize : node.ownSize;
}

bool Below(const core::ScanResult& result, std::uint64_t ranked, std::uint64_t node) {
  if (ranked == core::kNoNode || ranked == result.rootIndex) return true;
  // Damaged chains can cycle: a walk longer than the node count is one.
  for (std::uint64_t steps = 0; steps <= result.nodes.size() && node < result.nodes.size();
       ++steps, node = result.nodes[node].parent) {
    if (node == ranked) return true;
  }
  return false;
}

// Qualifying files (folders: other than `ranked`), largest first, all.
Indices Candidates(const core::ScanResult& result, std::uint64_t ranked, bool folders) {
  Indices found;
  for (std::uint64_t i = 0; i < result.nodes.size(); ++i) {
    if (bool(result.nodes[i].isDirectory) == folders && !(folders && i == ranked) &&
        Below(result, ranked, i)) {
      found.push_back(i);
    }
  }
  std::sort(found.begin(), found.end(),
            [&](auto a, auto b) { return SizeOf(result.nodes[a]) > SizeOf(result.nodes[b]); });
  return found;
}

void ExpectRanking(const core::ScanResult& result, const Indices& got, const Indices& candidates,
                   std::uint64_t limit, bool exact, const std::string& what) {
  const auto& nodes = result.nodes;
  const std::set<std::uint64_t> allowed(candidates.begin(), candidates.end());
  ASSERT_LE(got.size(), std::min<std::uint64_t>(limit, candidates.size())) << what;
  if (exact) {
    ASSERT_EQ(got.size(), std::min<std::uint64_t>(limit, candidates.size())) << what;
  }
  EXPECT_EQ(std::set<std::uint64_t>(got.begin(), got.end()).size(), got.size()) << what;
  for (std::size_t i = 0; i < got.size(); ++i) {
    EXPECT_TRUE(allowed.contains(got[i])) << what << " row " << i;
    const std::uint64_t expected = exact ? SizeOf(nodes[candidates[i]]) : SizeOf(nodes[got[i]]);
    EXPECT_EQ(SizeOf(nodes[got[i]]), expected) << what << " row " << i;
    if (i > 0) {
      EXPECT_GE(SizeOf(nodes[got[i - 1]]), expected) << what << " row " << i;
    }
  }
}

// Many equal sizes; some folders named by their path only, as drive roots.
core::ScanResult RandomTree(std::mt19937_64& rng) {
  static const std::uint64_t kSizes[] = {0, 1, 3, 3, 7, 50, 1ull << 40};
  testing::TreeMaker tree(rng() % 4 ? u"X:\\R" : kAllDrivesLabel);
  Indices folders{tree.root};
  for (int i = 0, count = 1 + static_cast<int>(rng() % 120); i < count; ++i) {
    const std::uint64_t parent = folders[rng() % folders.size()];
    const std::u16string name(1 + rng() % 2, static_cast<char16_t>(u'a' + i % 26));
    if (rng() % 3) {
      tree.File(parent, name, kSizes[rng() % 7]);
    } else {
      folders.push_back(rng() % 8 ? tree.Folder(parent, name) : tree.Folder(parent, u"", name));
    }
  }
  return tree.Finish();
}

// Links an engine never writes. inStep moves a node into its own subtree
// where it has one, keeping child and parent links agreeing (a cycle).
void Damage(core::ScanResult& result, std::mt19937_64& rng, bool inStep) {
  auto& nodes = result.nodes;
  for (int round = 1 + static_cast<int>(rng() % 3); round > 0; --round) {
    const std::uint64_t index = rng() % nodes.size();
    std::uint64_t other = rng() % (nodes.size() + 2);
    for (std::uint64_t i = 0; inStep && i < nodes.size(); ++i) {
      if (i != index && Below(result, index, i)) other = i;
    }
    core::ScanNode& node = nodes[index];
    const int kind = inStep ? 3 : static_cast<int>(rng() % 3);
    if (kind == 0) node.parent = other;             // a stray parent link
    if (kind == 1) node.children.push_back(other);  // listed twice, or invalid
    if (kind == 2 && other < nodes.size()) nodes[other].children.push_back(index);
    if (kind == 3 && other < nodes.size() && node.parent < nodes.size()) {
      std::erase(nodes[node.parent].children, index);
      nodes[other].children.push_back(index);
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
    if (damaged) Damage(result, rng, exact);
    FolderRankingModel model;
    model.SetResult(std::move(result));
    const core::ScanResult& r = model.Result();
    const std::uint64_t limit = round % 2 ? kRankingLength : rng() % 12;
    for (std::uint64_t ranked = 0; ranked <= r.nodes.size() + 1; ++ranked) {
      const std::string what = "round " + std::to_string(round) + " node " + std::to_string(ranked);
      Indices files = Candidates(r, ranked, false);
      Indices folders = Candidates(r, ranked, true);
      ExpectRanking(r, model.RankFiles(ranked, limit), files, limit, exact, what + " files");
      ExpectRanking(r, model.RankSubfolders(ranked, limit), folders, limit, exact, what);
      if (!exact) continue;
      // The window's rows: shares of the ranked node, no drive roots below
      // the all-drives root.
      if (model.IsAllDrivesRoot(ranked)) {
        std::erase_if(folders, [&](auto f) { return r.nodes[f].parent == ranked; });
      }
      model.BuildRankings(ranked, limit);
      const double base = ranked < r.nodes.size() ? double(SizeOf(r.nodes[ranked])) : 0.0;
      for (const auto& [rows, candidates] :
           {std::pair{&model.fileRows, &files}, std::pair{&model.subfolderRows, &folders}}) {
        Indices got;
        for (const RankingRow& row : *rows) {
          got.push_back(row.node);
          EXPECT_EQ(row.share, base ? 100.0 * double(SizeOf(r.nodes[row.node])) / base : 0.0);
        }
        ExpectRanking(r, got, *candidates, limit, true, what + " rows");
      }
    }
    // Every node listed at most once, however the links loop.
    for (std::uint64_t i = 0; i < r.nodes.size(); ++i) model.expandedNodes.insert(i);
    model.RebuildTreeRows();
    std::set<std::uint64_t> listed;
    for (const TreeRow& row : model.treeRows) EXPECT_TRUE(listed.insert(row.node).second);
    if (!damaged) {
      EXPECT_EQ(listed.size(), r.nodes.size());
    }
  }
}

}  // namespace
}  // namespace ombrix::app
