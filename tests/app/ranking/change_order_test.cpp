// The lists while a comparison is shown: every row's change, the deleted
// files and folders as rows of their own, and the orders by change.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/compare/scan_comparison.h"
#include "app/ranking/folder_ranking_model.h"
#include "app/ranking/row_texts.h"
#include "tests/app/ranking/tree_maker.h"

namespace ombrix::app {
namespace {

using Texts = std::vector<std::u16string>;

// Last week: R holds docs\ (a 10, b 5), old\ (x 7), emptied\ (e 4), gone 3
// and big 100. Now: docs\ (a 40, c 2), new\ (n 50), emptied\ and big 90.
core::ScanResult Earlier() {
  testing::TreeMaker tree;
  const auto docs = tree.Folder(tree.root, u"docs");
  tree.File(docs, u"a", 10);
  tree.File(docs, u"b", 5);
  tree.File(tree.Folder(tree.root, u"old"), u"x", 7);
  tree.File(tree.Folder(tree.root, u"emptied"), u"e", 4);
  tree.File(tree.root, u"gone", 3);
  tree.File(tree.root, u"big", 100);
  return tree.Finish();
}

core::ScanResult Later() {
  testing::TreeMaker tree;
  const auto docs = tree.Folder(tree.root, u"DOCS");  // matched ignoring case
  tree.File(docs, u"a", 40);
  tree.File(docs, u"c", 2);
  tree.File(tree.Folder(tree.root, u"new"), u"n", 50);
  tree.Folder(tree.root, u"emptied");
  tree.File(tree.root, u"big", 90);
  return tree.Finish();
}

FolderRankingModel Compared() {
  FolderRankingModel model;
  model.SetResult(Later());
  const core::ScanResult earlier = Earlier();
  model.SetComparison(CompareScans(model.Result(), earlier));
  return model;
}

// Name and Change of each Folders row, one dot per level of depth.
Texts TreeTexts(const FolderRankingModel& model) {
  Texts texts;
  for (std::size_t row = 0; row < model.treeRows.size(); ++row) {
    texts.push_back(std::u16string(model.treeRows[row].depth, u'.') +
                    FolderRowText(model, row, FolderColumn::Name, u"en-US") + u" " +
                    FolderRowText(model, row, FolderColumn::Change, u"en-US"));
  }
  return texts;
}

// "name change" of each row of a right-hand list.
template <typename Column>
Texts RankedTexts(const FolderRankingModel& model, std::size_t rows,
                  std::u16string (*text)(const FolderRankingModel&, std::size_t, Column,
                                         std::u16string_view, const LocaleQueries&,
                                         const SizeMarkTexts&, const ChangeTexts&),
                  Column name) {
  Texts texts;
  for (std::size_t row = 0; row < rows; ++row) {
    texts.push_back(text(model, row, name, u"en-US", SystemLocaleQueries(), {}, {}) + u" " +
                    text(model, row, Column::Change, u"en-US", SystemLocaleQueries(), {}, {}));
  }
  return texts;
}

Texts FileTexts(const FolderRankingModel& model) {
  return RankedTexts(model, model.fileRows.size(), &FileRowText, FileColumn::Name);
}

Texts SubfolderTexts(const FolderRankingModel& model) {
  return RankedTexts(model, model.subfolderRows.size(), &SubfolderRowText, SubfolderColumn::Path);
}

std::uint64_t NodeNamed(const FolderRankingModel& model, std::u16string_view name) {
  for (std::size_t row = 0; row < model.treeRows.size(); ++row) {
    if (FolderRowText(model, row, FolderColumn::Name, u"en-US") == name) {
      return model.treeRows[row].node;
    }
  }
  ADD_FAILURE() << "no row";
  return core::kNoNode;
}

TEST(ChangeOrderTest, SizeOrderKeepsItsRowsAndListsWhatIsGoneAfterThem) {
  FolderRankingModel model = Compared();
  EXPECT_EQ(TreeTexts(model),
            (Texts{u"R +53 B, files -2", u".big -10 B", u".new new, +50 B", u".DOCS +27 B",
                   u".emptied -4 B, files -1", u".old deleted, -7 B", u".gone deleted, -3 B"}));
  // A folder emptied since then still opens, on what it lost.
  const std::uint64_t emptied = NodeNamed(model, u"emptied");
  ASSERT_TRUE(model.IsExpandable(emptied));
  model.ToggleExpanded(emptied);
  model.ToggleExpanded(NodeNamed(model, u"DOCS"));
  model.RebuildTreeRows();
  EXPECT_EQ(TreeTexts(model),
            (Texts{u"R +53 B, files -2", u".big -10 B", u".new new, +50 B", u".DOCS +27 B",
                   u"..a +30 B", u"..c new, +2 B", u"..b deleted, -5 B", u".emptied -4 B, files -1",
                   u"..e deleted, -4 B", u".old deleted, -7 B", u".gone deleted, -3 B"}));
  // The right-hand lists keep ranking by size until a change order is chosen.
  EXPECT_EQ(FileTexts(model), (Texts{u"big -10 B", u"n new, +50 B", u"a +30 B", u"c new, +2 B"}));
  // A deleted row is no node: selecting it never ranks the root instead.
  EXPECT_EQ(model.TreeRowOf(core::kNoNode), std::nullopt);
}

TEST(ChangeOrderTest, GrowthAndShrinkOrderTheTreeAndRankTheLists) {
  FolderRankingModel model = Compared();
  model.SetChangeOrder(ChangeOrder::GrowthFirst);
  EXPECT_EQ(TreeTexts(model), (Texts{u"R +53 B, files -2", u".new new, +50 B", u".DOCS +27 B",
                                     u".emptied -4 B, files -1", u".big -10 B",
                                     u".old deleted, -7 B", u".gone deleted, -3 B"}));
  EXPECT_EQ(FileTexts(model), (Texts{u"n new, +50 B", u"a +30 B", u"c new, +2 B"}));
  EXPECT_EQ(SubfolderTexts(model), (Texts{u"X:\\R\\new new, +50 B", u"X:\\R\\DOCS +27 B"}));

  // The largest shrink first: what is gone leads, and the deleted files
  // and folders below the selection are ranked with the shrunk nodes.
  model.SetChangeOrder(ChangeOrder::ShrinkFirst);
  EXPECT_EQ(TreeTexts(model),
            (Texts{u"R +53 B, files -2", u".old deleted, -7 B", u".gone deleted, -3 B",
                   u".big -10 B", u".emptied -4 B, files -1", u".DOCS +27 B", u".new new, +50 B"}));
  EXPECT_EQ(FileTexts(model),
            (Texts{u"big -10 B", u"b deleted, -5 B", u"e deleted, -4 B", u"gone deleted, -3 B"}));
  EXPECT_EQ(SubfolderTexts(model),
            (Texts{u"X:\\R\\old deleted, -7 B", u"X:\\R\\emptied -4 B, files -1"}));

  // Below a folder only what it lost and what shrank in it.
  model.SelectNode(NodeNamed(model, u"DOCS"));
  EXPECT_EQ(FileTexts(model), (Texts{u"b deleted, -5 B"}));

  // By size again, and a new result forgets the comparison.
  model.SetChangeOrder(ChangeOrder::None);
  EXPECT_EQ(TreeTexts(model)[1], u".big -10 B");
  model.SetResult(Later());
  EXPECT_EQ(model.Comparison(), nullptr);
  EXPECT_EQ(TreeTexts(model).size(), 5u);
  EXPECT_EQ(TreeTexts(model)[0], u"R ");
}

// The change keys order signed byte counts across the whole range.
TEST(ChangeOrderTest, RankKeysOrderEveryChange) {
  const std::int64_t ascending[] = {INT64_MIN, -5, -1, 0, 1, 7, INT64_MAX};
  for (std::size_t i = 1; i < std::size(ascending); ++i) {
    EXPECT_GT(ChangeRankKey(ascending[i], ChangeOrder::GrowthFirst),
              ChangeRankKey(ascending[i - 1], ChangeOrder::GrowthFirst));
    EXPECT_LT(ChangeRankKey(ascending[i], ChangeOrder::ShrinkFirst),
              ChangeRankKey(ascending[i - 1], ChangeOrder::ShrinkFirst));
  }
}

}  // namespace
}  // namespace ombrix::app
