#include "app/ranking/row_texts.h"

#include <gtest/gtest.h>

#include "tests/app/ranking/tree_maker.h"

namespace ombrix::app {
namespace {

// C:\ (a drive root, no name) holds docs\ (a.bin 1536, b 512) and c.txt
// 1024. On disk: a.bin 4 KB and a name of c.txt's file, b a placeholder
// holding nothing.
FolderRankingModel Model() {
  testing::TreeMaker tree(u"C:\\");
  const auto docs = tree.Folder(tree.root, u"docs");
  const auto a = tree.File(docs, u"a.bin", 1536, 4096);
  tree.Builder().SetFileIdentity(a, 9, 2);
  tree.Builder().nodes.MarkPlaceholder(tree.File(docs, u"b", 512, 0));
  tree.Builder().SetFileIdentity(tree.File(tree.root, u"c.txt", 1024, 4096), 9, 2);
  FolderRankingModel model;
  model.SetResult(tree.Finish());
  return model;
}

// Every column of every list, in the native build's number format (en-US).
TEST(RowTextsTest, EveryColumnOfTheThreeLists) {
  FolderRankingModel model = Model();
  ASSERT_EQ(model.treeRows.size(), 3u);  // C:\, docs, c.txt
  const std::u16string folders[][kFolderColumnCount] = {
      {u"C:\\", u"100.0 %", u"3.0 KB", u"4.0 KB", u"3", u"1", u"C:\\"},
      {u"docs", u"66.7 %", u"2.0 KB", u"4.0 KB", u"2", u"0", u"C:\\docs"},
      {u"c.txt", u"33.3 %", u"1.0 KB", u"4.0 KB", u"", u"", u"C:\\c.txt"},
  };
  for (std::size_t row = 0; row < 3; ++row) {
    for (std::size_t column = 0; column < kFolderColumnCount; ++column) {
      EXPECT_EQ(FolderRowText(model, row, FolderColumn(column), u"en-US"), folders[row][column])
          << row << "/" << column;
    }
  }

  model.SelectNode(model.treeRows[1].node);  // docs: shares of docs
  const std::u16string files[][kFileColumnCount] = {
      {u"75.0 %", u"1.5 KB", u"4.0 KB (2 names)", u"a.bin", u"C:\\docs\\a.bin"},
      {u"25.0 %", u"512 B", u"0 B (online only)", u"b", u"C:\\docs\\b"},
  };
  const SizeMarkTexts marks{u"{count} names", u"online only"};
  for (std::size_t row = 0; row < 2; ++row) {
    for (std::size_t column = 0; column < kFileColumnCount; ++column) {
      EXPECT_EQ(FileRowText(model, row, FileColumn(column), u"en-US", SystemLocaleQueries(), marks),
                files[row][column]);
    }
  }
  // Without mark texts the size stands alone.
  EXPECT_EQ(FileRowText(model, 0, FileColumn::OnDisk, u"en-US"), u"4.0 KB");
  model.SelectNode(model.Result().rootIndex);
  const std::u16string subfolder[kSubfolderColumnCount] = {u"66.7 %", u"2.0 KB", u"4.0 KB",
                                                           u"2", u"0", u"C:\\docs"};
  for (std::size_t column = 0; column < kSubfolderColumnCount; ++column) {
    EXPECT_EQ(SubfolderRowText(model, 0, SubfolderColumn(column), u"en-US"), subfolder[column]);
  }
  // Rows past the end are empty, never a read outside the rows.
  EXPECT_EQ(FolderRowText(model, 3, FolderColumn::Name, u"en-US"), u"");
  EXPECT_EQ(SubfolderRowText(model, 1, SubfolderColumn::Path, u"en-US"), u"");
}

}  // namespace
}  // namespace ombrix::app
