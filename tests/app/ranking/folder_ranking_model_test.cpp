#include "app/ranking/folder_ranking_model.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/app/ranking/tree_maker.h"

namespace ombrix::app {
namespace {

using testing::TreeMaker;
using Rows = std::vector<RankingRow>;
using Names = std::vector<std::u16string>;

// Each row's display name behind one dot per level of depth.
Names RowNames(const FolderRankingModel& model) {
  Names names;
  for (const TreeRow& row : model.treeRows) {
    const core::ScanNode node = model.Result().nodes[row.node];
    names.push_back(std::u16string(row.depth, u'.') +
                    (node.Name().empty() ? node.Path() : node.Name().ToString()));
  }
  return names;
}

TEST(FolderRankingModelTest, EmptyResultsZeroBasesAndCancelledScans) {
  FolderRankingModel model;
  model.SetResult(core::ScanResult{});
  EXPECT_TRUE(model.treeRows.empty() && model.fileRows.empty() && model.subfolderRows.empty());
  EXPECT_EQ(model.selectedNode, core::kNoNode);
  EXPECT_EQ(model.ShareOf(0, core::kNoNode), 0.0);

  TreeMaker tree;
  const auto empty = tree.Folder(tree.root, u"empty");
  const auto zero = tree.File(tree.root, u"zero", 0);
  model.SetResult(tree.Finish());
  EXPECT_EQ(model.fileRows, (Rows{{zero, 0.0}}));
  EXPECT_EQ(model.subfolderRows, (Rows{{empty, 0.0}}));
  model.BuildRankings(core::kNoNode);  // none ranks the root
  EXPECT_EQ(model.subfolderRows, (Rows{{empty, 0.0}}));

  // The old rows must not survive into a result they do not index.
  TreeMaker partial;
  partial.File(partial.Folder(partial.root, u"A"), u"f", 3);
  model.SetResult(partial.Finish(core::ScanStatus::Cancelled));
  EXPECT_EQ(RowNames(model), (Names{u"R", u".A"}));
  EXPECT_TRUE(model.fileRows.empty() && model.subfolderRows.empty());
}

// A sparse file is large but holds little; small files fill whole
// clusters. The other basis reorders the tree, the rankings and the shares,
// and keeps the selection.
TEST(FolderRankingModelTest, SizeBasisOrdersRanksAndShares) {
  TreeMaker tree;
  const auto sparse = tree.Folder(tree.root, u"sparse");
  const auto big = tree.File(sparse, u"vm.img", 1000, 10);
  const auto small = tree.Folder(tree.root, u"small");
  const auto a = tree.File(small, u"a", 1, 40);
  const auto b = tree.File(small, u"b", 2, 50);
  FolderRankingModel model;
  model.SetResult(tree.Finish());
  EXPECT_EQ(RowNames(model), (Names{u"R", u".sparse", u".small"}));
  model.SelectNode(small);
  const std::uint64_t revision = model.RankingsRevision();

  EXPECT_EQ(model.SetSizeBasis(core::SizeBasis::OnDisk), std::optional<std::size_t>{1});
  EXPECT_EQ(model.Basis(), core::SizeBasis::OnDisk);
  EXPECT_EQ(RowNames(model), (Names{u"R", u".small", u".sparse"}));
  EXPECT_EQ(model.selectedNode, small);
  EXPECT_NE(model.RankingsRevision(), revision);
  EXPECT_EQ(model.fileRows, (Rows{{b, 100.0 * 50 / 90}, {a, 100.0 * 40 / 90}}));
  EXPECT_DOUBLE_EQ(model.ShareOf(sparse, core::kNoNode), 10.0);
  model.BuildRankings(core::kNoNode);
  EXPECT_EQ(model.fileRows, (Rows{{b, 50.0}, {a, 40.0}, {big, 10.0}}));

  model.SetSizeBasis(core::SizeBasis::Logical);
  EXPECT_EQ(RowNames(model), (Names{u"R", u".sparse", u".small"}));
  EXPECT_EQ(model.fileRows, (Rows{{b, 200.0 / 3}, {a, 100.0 / 3}}));  // the selection, again
}

TEST(FolderRankingModelTest, SelectedFileRanksOnlyItself) {
  for (const auto& [size, share] : {std::pair<std::uint64_t, double>{7, 100.0}, {0, 0.0}}) {
    TreeMaker tree;
    const auto folder = tree.Folder(tree.root, u"A");
    const auto file = tree.File(folder, u"f", size);
    tree.File(folder, u"g", 9);
    FolderRankingModel model;
    model.SetResult(tree.Finish());
    model.activeRankingList = RankingList::Files;
    model.SelectNode(file);
    EXPECT_EQ(model.fileRows, (Rows{{file, share}})) << size;
    EXPECT_TRUE(model.subfolderRows.empty());
    EXPECT_EQ(model.activeRankingList, RankingList::None);
  }
}

TEST(FolderRankingModelTest, ThirtyOfThirtyOneSubfoldersNeverTheSelectedOne) {
  TreeMaker tree;
  const auto selected = tree.Folder(tree.root, u"S");
  std::uint64_t parent = selected;
  for (int i = 1; i <= 31; ++i) {  // nested in pairs: 2 in 1, 4 in 3, ...
    parent = tree.Folder(i % 2 ? selected : parent, u"d" + std::u16string(i, u'x'));
    tree.File(parent, u"f", 100);
  }
  FolderRankingModel model;
  model.SetResult(tree.Finish());
  model.SelectNode(selected);
  ASSERT_EQ(model.subfolderRows.size(), 30u);
  // 15 folders of 200 bytes first, then 15 of the 16 of 100 bytes.
  for (std::size_t i = 0; i < 30; ++i) {
    EXPECT_NE(model.subfolderRows[i].node, selected);
    EXPECT_DOUBLE_EQ(model.subfolderRows[i].share, (i < 15 ? 200.0 : 100.0) / 3100 * 100) << i;
  }
  model.BuildRankings(selected, 100);  // ombrix-scan's limit may exceed the window's
  EXPECT_EQ(model.subfolderRows.size(), 31u);
  EXPECT_EQ(model.fileRows.size(), 31u);
}

// Three drives of 12 folders: the drive roots are the largest folders but
// are never rows below the all-drives root (the label must match exactly).
TEST(FolderRankingModelTest, AllDrivesRootRanksAcrossTheDrives) {
  for (const std::u16string label : {u"All local drives", u"all local drives"}) {
    TreeMaker tree(label);
    for (const char16_t letter : std::u16string(u"CDE")) {
      const auto drive = tree.Folder(tree.root, u"", std::u16string(1, letter) + u":\\");
      for (int i = 0; i < 12; ++i) {
        tree.File(tree.Folder(drive, u"d" + std::u16string(i + 1, letter)), u"f", 10 + i);
      }
    }
    FolderRankingModel model;
    model.SetResult(tree.Finish());
    const auto& nodes = model.Result().nodes;
    const bool allDrives = label == kAllDrivesLabel;
    ASSERT_EQ(model.subfolderRows.size(), 30u);
    for (std::size_t i = 0; i < 30; ++i) {
      const RankingRow& row = model.subfolderRows[i];
      EXPECT_EQ(nodes[row.node].Parent() == tree.root, !allDrives && i < 3) << i;
      EXPECT_DOUBLE_EQ(row.share, 100.0 * nodes[row.node].TotalSize() / nodes[tree.root].TotalSize());
    }
    for (const std::uint64_t limit : {std::uint64_t{100}, ~std::uint64_t{0}}) {
      model.BuildRankings(tree.root, limit);
      EXPECT_EQ(model.subfolderRows.size(), allDrives ? 36u : 39u) << limit;
    }
  }
}

TEST(FolderRankingModelTest, SiblingOrderBothWaysAndFlippingBack) {
  TreeMaker tree;
  const auto big = tree.Folder(tree.root, u"b");
  const auto inBig = tree.File(big, u"x", 20);
  for (const std::u16string name : {u"ab", u"a", u"Z"}) {
    tree.File(tree.Folder(tree.root, name), u"x", 10);
  }
  tree.File(tree.root, u"B", 10);
  tree.File(tree.Folder(tree.root, u"", u"C:\\"), u"x", 10);  // sorted by its path
  FolderRankingModel model;
  model.SetResult(tree.Finish());
  const Names descending{u"R", u".b", u".C:\\", u".Z", u".a", u".ab", u".B"};
  EXPECT_EQ(RowNames(model), descending);
  EXPECT_TRUE(model.CompareTreeSiblings(big, 100, true));  // invalid indices last
  EXPECT_FALSE(model.CompareTreeSiblings(100, big, false));

  model.SelectNode(big);
  EXPECT_EQ(model.FlipShareOrder(), 6u);
  EXPECT_EQ(RowNames(model), (Names{u"R", u".C:\\", u".Z", u".a", u".ab", u".B", u".b"}));
  EXPECT_EQ(model.FlipShareOrder(), 1u);
  EXPECT_EQ(RowNames(model), descending);
  EXPECT_EQ(model.selectedNode, big);
  EXPECT_EQ(model.fileRows, (Rows{{inBig, 100.0}}));
}

TEST(FolderRankingModelTest, ToggleListsChildrenBelowAndSelectsTheFolder) {
  TreeMaker tree;
  const auto a = tree.Folder(tree.root, u"A");
  const auto x = tree.File(a, u"x", 5);
  const auto y = tree.File(a, u"y", 15);
  tree.File(tree.root, u"z", 1);
  FolderRankingModel model;
  model.SetResult(tree.Finish());
  EXPECT_FALSE(model.ToggleExpanded(x));  // files are never expanded
  ASSERT_TRUE(model.ToggleExpanded(a));
  model.RebuildTreeRows();
  EXPECT_EQ(model.SelectTreeNode(a), 1u);
  EXPECT_EQ(RowNames(model), (Names{u"R", u".A", u"..y", u"..x", u".z"}));
  EXPECT_EQ(model.selectedNode, a);
  EXPECT_EQ(model.fileRows, (Rows{{y, 75.0}, {x, 25.0}}));
  ASSERT_TRUE(model.ToggleExpanded(a));
  model.RebuildTreeRows();
  EXPECT_EQ(RowNames(model), (Names{u"R", u".A", u".z"}));
}

// Ranking walks every node below the selection: it runs when the selection
// changes, not again for the node already ranked (the click that selected a
// row and then its box, an order flip), and the user's choice of a
// right-hand list stays.
TEST(FolderRankingModelTest, RanksOncePerChangeOfTheSelection) {
  TreeMaker tree;
  const auto a = tree.Folder(tree.root, u"A");
  tree.File(a, u"x", 5);
  tree.File(tree.root, u"z", 1);
  FolderRankingModel model;
  model.SetResult(tree.Finish());
  // The rankings as they stand, with the user's choice of the Files list.
  std::uint64_t revision = 0;
  const auto keep = [&] {
    revision = model.RankingsRevision();
    model.activeRankingList = RankingList::Files;
  };
  const auto expectKept = [&](const char* what) {
    EXPECT_EQ(model.RankingsRevision(), revision) << what;
    EXPECT_EQ(model.activeRankingList, RankingList::Files) << what;
  };
  keep();
  model.SelectNode(tree.root);
  expectKept("the root selected after the scan had ranked it");

  model.SelectNode(a);
  EXPECT_NE(model.RankingsRevision(), revision);
  EXPECT_EQ(model.activeRankingList, RankingList::None);
  keep();
  ASSERT_TRUE(model.ToggleExpanded(a));
  model.RebuildTreeRows();
  EXPECT_EQ(model.SelectTreeNode(a), 1u);
  expectKept("A's box clicked after the click had selected A");
  EXPECT_EQ(model.FlipShareOrder(), 2u);
  expectKept("the order flipped");

  // ombrix-scan's longer rankings are not the window's.
  model.BuildRankings(a, 100);
  revision = model.RankingsRevision();
  model.SelectNode(a);
  EXPECT_NE(model.RankingsRevision(), revision);
  // After a cancelled scan nothing is ranked; selecting the root ranks it.
  TreeMaker partial;
  partial.File(partial.root, u"x", 5);
  partial.File(partial.root, u"y", 6);
  model.SetResult(partial.Finish(core::ScanStatus::Cancelled));
  revision = model.RankingsRevision();
  model.SelectNode(model.Result().rootIndex);
  EXPECT_NE(model.RankingsRevision(), revision);
  EXPECT_EQ(model.fileRows.size(), 2u);
}

// A new scan's start hands the old tree over to be freed elsewhere: whole,
// with the model left as empty as a new empty result leaves it.
TEST(FolderRankingModelTest, ReleasedResultLeavesTheModelEmpty) {
  TreeMaker tree;
  const auto a = tree.Folder(tree.root, u"A");
  tree.File(a, u"x", 5);
  FolderRankingModel model;
  model.SetResult(tree.Finish());
  ASSERT_TRUE(model.ToggleExpanded(a));
  model.RebuildTreeRows();
  const core::ScanResult released = model.ReleaseResult();
  EXPECT_EQ(released.nodes.size(), 3u);
  EXPECT_EQ(released.rootPath, u"X:\\R");
  EXPECT_TRUE(model.Result().nodes.empty());
  EXPECT_TRUE(model.treeRows.empty() && model.fileRows.empty() && model.subfolderRows.empty());
  EXPECT_TRUE(model.expandedNodes.empty());
  EXPECT_EQ(model.selectedNode, core::kNoNode);
}

TEST(FolderRankingModelTest, HundredThousandNestedFoldersNeedNoRecursion) {
  TreeMaker tree;
  std::uint64_t folder = tree.root;
  // Short paths of their own: joined ones would grow to 200,000 characters.
  for (int i = 0; i < 100000; ++i) folder = tree.Folder(folder, u"d", u"d");
  const auto file = tree.File(folder, u"f", 1);
  FolderRankingModel model;
  model.SetResult(tree.Finish());
  for (std::uint64_t node = tree.root; node < file; ++node) model.expandedNodes.insert(node);
  model.RebuildTreeRows();
  ASSERT_EQ(model.treeRows.size(), 100002u);
  EXPECT_EQ(model.treeRows.back(), (TreeRow{file, 100001}));
  model.SelectNode(50000);
  EXPECT_EQ(model.subfolderRows.size(), 30u);
  EXPECT_EQ(model.fileRows, (Rows{{file, 100.0}}));
}

}  // namespace
}  // namespace ombrix::app
