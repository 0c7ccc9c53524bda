#include "app/ranking/folder_ranking_model.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/app/ranking/tree_maker.h"

namespace ombrix::app {
namespace {

using testing::TreeMaker;

std::vector<std::u16string> RowNames(const FolderRankingModel& model) {
  std::vector<std::u16string> names;
  for (const TreeRow& row : model.treeRows) {
    const core::ScanNode& node = model.Result().nodes[row.node];
    names.push_back(std::u16string(row.depth, u'.') + (node.name.empty() ? node.path : node.name));
  }
  return names;
}

std::vector<std::uint64_t> Nodes(const std::vector<RankingRow>& rows) {
  std::vector<std::uint64_t> nodes;
  for (const RankingRow& row : rows) nodes.push_back(row.node);
  return nodes;
}

TEST(FolderRankingModelTest, EmptyResultAndZeroSizedBase) {
  FolderRankingModel model;
  model.SetResult(core::ScanResult{});
  EXPECT_TRUE(model.treeRows.empty());
  EXPECT_TRUE(model.fileRows.empty() && model.subfolderRows.empty());
  EXPECT_EQ(model.selectedNode, core::kNoNode);
  EXPECT_EQ(model.ShareOf(0, core::kNoNode), 0.0);

  TreeMaker tree;
  const auto empty = tree.Folder(tree.root, u"empty");
  const auto zero = tree.File(tree.root, u"zero", 0);
  model.SetResult(tree.Finish());
  EXPECT_EQ(model.fileRows, (std::vector<RankingRow>{{zero, 0.0}}));
  EXPECT_EQ(model.subfolderRows, (std::vector<RankingRow>{{empty, 0.0}}));
  EXPECT_EQ(model.ShareOf(zero, core::kNoNode), 0.0);
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
    EXPECT_EQ(model.fileRows, (std::vector<RankingRow>{{file, share}})) << size;
    EXPECT_TRUE(model.subfolderRows.empty());
    EXPECT_EQ(model.activeRankingList, RankingList::None);
  }
}

// 31 folders below S, in a chain and a fan, each with a file of its own size.
TEST(FolderRankingModelTest, ThirtySubfoldersNeverTheSelectedOne) {
  TreeMaker tree;
  const auto selected = tree.Folder(tree.root, u"S");
  std::uint64_t chain = selected;
  for (int i = 1; i <= 31; ++i) {
    const auto folder = tree.Folder(i % 2 ? selected : chain, u"d" + std::u16string(i, u'x'));
    tree.File(folder, u"f", static_cast<std::uint64_t>(i) * 100);
    chain = folder;
  }
  FolderRankingModel model;
  model.SetResult(tree.Finish());
  model.SelectNode(selected);
  ASSERT_EQ(model.subfolderRows.size(), 30u);
  const auto& nodes = model.Result().nodes;
  for (std::size_t i = 0; i < 30; ++i) {
    const RankingRow& row = model.subfolderRows[i];
    EXPECT_NE(row.node, selected);
    if (i > 0) {
      EXPECT_GE(nodes[model.subfolderRows[i - 1].node].totalSize, nodes[row.node].totalSize);
    }
    EXPECT_DOUBLE_EQ(row.share, 100.0 * nodes[row.node].totalSize / nodes[selected].totalSize);
  }
  EXPECT_EQ(model.fileRows.size(), 30u);
  EXPECT_EQ(nodes[model.fileRows.front().node].ownSize, 3100u);
  // ombrix-scan's own limit may exceed the window's.
  model.BuildRankings(selected, 100);
  EXPECT_EQ(model.subfolderRows.size(), 31u);
  EXPECT_EQ(model.fileRows.size(), 31u);
}

// Three drives of 12 folders each; the drive roots are larger than any of
// them but are never rows below the all-drives root.
TEST(FolderRankingModelTest, AllDrivesRootListsFoldersAcrossDrives) {
  for (const std::u16string label : {u"All local drives", u"all local drives"}) {
    TreeMaker tree(label);
    for (char16_t letter : std::u16string(u"CDE")) {
      const auto drive = tree.Folder(tree.root, u"", std::u16string(1, letter) + u":\\");
      for (int i = 0; i < 12; ++i) {
        tree.File(tree.Folder(drive, u"d" + std::u16string(i + 1, letter)), u"f", 10 + i);
      }
    }
    FolderRankingModel model;
    model.SetResult(tree.Finish());
    const auto& nodes = model.Result().nodes;
    const bool allDrives = label == kAllDrivesLabel;
    EXPECT_EQ(model.IsAllDrivesRoot(tree.root), allDrives);
    ASSERT_EQ(model.subfolderRows.size(), 30u);
    for (const RankingRow& row : model.subfolderRows) {
      EXPECT_EQ(nodes[row.node].parent == tree.root, !allDrives && &row < &model.subfolderRows[3]);
      EXPECT_DOUBLE_EQ(row.share, 100.0 * nodes[row.node].totalSize / nodes[tree.root].totalSize);
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
  tree.File(big, u"x", 20);
  for (const std::u16string name : {u"ab", u"a", u"Z"})
    tree.File(tree.Folder(tree.root, name), u"x", 10);
  tree.File(tree.root, u"B", 10);
  tree.File(tree.Folder(tree.root, u"", u"C:\\"), u"x", 10);  // shown and sorted by its path
  FolderRankingModel model;
  model.SetResult(tree.Finish());
  const std::vector<std::u16string> descending{u"R", u".b", u".C:\\", u".Z", u".a", u".ab", u".B"};
  EXPECT_EQ(RowNames(model), descending);
  EXPECT_TRUE(model.CompareTreeSiblings(big, tree.root + 100, true));  // invalid ones last
  EXPECT_FALSE(model.CompareTreeSiblings(tree.root + 100, big, false));

  model.SelectNode(big);
  EXPECT_EQ(model.FlipShareOrder(), 6u);
  EXPECT_EQ(RowNames(model),
            (std::vector<std::u16string>{u"R", u".C:\\", u".Z", u".a", u".ab", u".B", u".b"}));
  EXPECT_EQ(model.FlipShareOrder(), 1u);
  EXPECT_EQ(RowNames(model), descending);
  EXPECT_EQ(model.selectedNode, big);
  EXPECT_EQ(Nodes(model.fileRows), std::vector<std::uint64_t>{big + 1});
}

TEST(FolderRankingModelTest, ToggleListsChildrenBelowAndSelectsTheFolder) {
  TreeMaker tree;
  const auto a = tree.Folder(tree.root, u"A");
  const auto x = tree.File(a, u"x", 5);
  tree.File(a, u"y", 7);
  tree.File(tree.root, u"z", 1);
  FolderRankingModel model;
  model.SetResult(tree.Finish());
  EXPECT_FALSE(model.ToggleExpanded(x));  // files are never expanded
  ASSERT_TRUE(model.ToggleExpanded(a));
  model.RebuildTreeRows();
  EXPECT_EQ(model.SelectTreeNode(a), 1u);
  EXPECT_EQ(RowNames(model), (std::vector<std::u16string>{u"R", u".A", u"..y", u"..x", u".z"}));
  EXPECT_EQ(model.selectedNode, a);
  EXPECT_EQ(Nodes(model.fileRows), (std::vector<std::uint64_t>{x + 1, x}));
  ASSERT_TRUE(model.ToggleExpanded(a));
  model.RebuildTreeRows();
  EXPECT_EQ(RowNames(model), (std::vector<std::u16string>{u"R", u".A", u".z"}));
}

TEST(FolderRankingModelTest, CancelledScanShowsTheTreeWithoutRankings) {
  FolderRankingModel model;
  TreeMaker first;
  first.File(first.root, u"old", 1);
  model.SetResult(first.Finish());
  ASSERT_EQ(model.fileRows.size(), 1u);
  TreeMaker partial;
  partial.File(partial.Folder(partial.root, u"A"), u"new", 3);
  model.SetResult(partial.Finish(core::ScanStatus::Cancelled));
  EXPECT_EQ(RowNames(model), (std::vector<std::u16string>{u"R", u".A"}));
  EXPECT_TRUE(model.fileRows.empty() && model.subfolderRows.empty());
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
  EXPECT_EQ(model.fileRows, (std::vector<RankingRow>{{file, 100.0}}));
}

}  // namespace
}  // namespace ombrix::app
