// The model against the ranking rules written out as plainly as possible (a
// parent walk per node, a full sort) on a few hundred random trees. Ties
// may be broken differently: a ranking passes when its nodes are distinct,
// all qualify, and their sizes are the reference's row by row.
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
  return node.IsDirectory() ? node.TotalSize() : node.OwnSize();
}

bool Below(const core::ScanResult& result, std::uint64_t ranked, std::uint64_t node) {
  if (ranked == core::kNoNode || ranked == result.rootIndex) return true;
  for (; node < result.nodes.size(); node = result.nodes[node].Parent()) {
    if (node == ranked) return true;
  }
  return false;
}

// Qualifying files (folders: other than `ranked`), largest first, all.
Indices Candidates(const core::ScanResult& result, std::uint64_t ranked, bool folders) {
  Indices found;
  for (std::uint64_t i = 0; i < result.nodes.size(); ++i) {
    if (bool(result.nodes[i].IsDirectory()) == folders && !(folders && i == ranked) &&
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

TEST(RankingReferenceTest, RandomTreesRankAsTheRulesSay) {
  std::mt19937_64 rng(20240611);
  for (int round = 0; round < 300; ++round) {
    core::ScanResult result = RandomTree(rng);
    const bool exact = true;
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
      // The window's rows: shares of the ranked node, no drive roots below
      // the all-drives root.
      if (model.IsAllDrivesRoot(ranked)) {
        std::erase_if(folders, [&](auto f) { return r.nodes[f].Parent() == ranked; });
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
    // With every folder expanded, every node is listed exactly once.
    for (std::uint64_t i = 0; i < r.nodes.size(); ++i) model.expandedNodes.insert(i);
    model.RebuildTreeRows();
    std::set<std::uint64_t> listed;
    for (const TreeRow& row : model.treeRows) EXPECT_TRUE(listed.insert(row.node).second);
    EXPECT_EQ(listed.size(), r.nodes.size());
  }
}

}  // namespace
}  // namespace ombrix::app
