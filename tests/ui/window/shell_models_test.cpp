// The platform-neutral parts of the shell's commands and lists: the
// selector's items and choices, the recent-folders list, what Open acts on,
// the column table, the drawn cells' geometry and the scan hand-over.
#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <limits>
#include <string>
#include <vector>

#include "app/application_controller.h"
#include "app/ranking/folder_ranking_model.h"
#include "core/scan_tree_builder.h"
#include "i18n/language_strings.h"
#include "i18n/language_table.h"
#include "i18n/theme_palette.h"
#include "tests/support/failing_allocator.h"
#include "tests/support/temporary_folder.h"
#include "ui/common/control_ids.h"
#include "ui/window/menu_bar_model.h"
#include "ui/window/open_target.h"
#include "ui/lists/ranking_cell_geometry.h"
#include "ui/lists/ranking_columns.h"
#include "ui/window/recent_folders.h"
#include "ui/window/scan_handover.h"
#include "ui/window/selector_model.h"

namespace ombrix::ui {
namespace {

std::vector<app::DriveInfo> Drives(std::vector<std::u16string> roots) {
  std::vector<app::DriveInfo> drives;
  for (auto& root : roots) {
    app::DriveInfo drive;
    drive.rootPath = root;
    drive.displayText = u"(" + root + u")";
    drives.push_back(drive);
  }
  return drives;
}

const SelectorTexts kTexts{u"All local drives", u"Folder: "};

TEST(SelectorModelTest, ItemsAllDrivesThenFolderThenDrives) {
  const auto drives = Drives({u"C:\\", u"D:\\"});
  EXPECT_EQ(SelectorItems(kTexts, u"", drives),
            (std::vector<std::u16string>{u"All local drives", u"(C:\\)", u"(D:\\)"}));
  EXPECT_EQ(SelectorItems(kTexts, u"C:\\Data", drives),
            (std::vector<std::u16string>{u"All local drives", u"Folder: C:\\Data", u"(C:\\)",
                                         u"(D:\\)"}));
  EXPECT_EQ(DefaultSelectorIndex(u"", drives), 1);
  EXPECT_EQ(DefaultSelectorIndex(u"C:\\Data", drives), 2);
  // No drives and no folder: only "All local drives", selected.
  EXPECT_EQ(SelectorItems(kTexts, u"", {}).size(), 1u);
  EXPECT_EQ(DefaultSelectorIndex(u"", {}), 0);
}

TEST(SelectorModelTest, ScanChoices) {
  const auto drives = Drives({u"C:\\", u"D:\\"});
  const auto all = ScanChoiceFor(0, u"X:\\f", drives);
  ASSERT_TRUE(all);
  EXPECT_EQ(all->paths, (std::vector<std::u16string>{u"C:\\", u"D:\\"}));
  EXPECT_EQ(all->label, u"All local drives");
  EXPECT_EQ(ScanChoiceFor(1, u"X:\\f", drives)->paths, std::vector<std::u16string>{u"X:\\f"});
  EXPECT_TRUE(ScanChoiceFor(1, u"X:\\f", drives)->label.empty());
  EXPECT_EQ(ScanChoiceFor(3, u"X:\\f", drives)->paths, std::vector<std::u16string>{u"D:\\"});
  EXPECT_EQ(ScanChoiceFor(1, u"", drives)->paths, std::vector<std::u16string>{u"C:\\"});
  EXPECT_FALSE(ScanChoiceFor(3, u"", drives));
  EXPECT_FALSE(ScanChoiceFor(-1, u"", drives));

  // Drives carry their used space (a free count above the size reads as
  // full), "All local drives" the sum; a folder none.
  auto sized = drives;
  sized[0].totalBytes = 1000;
  sized[0].freeBytes = 300;
  sized[1].totalBytes = 50;
  sized[1].freeBytes = 80;
  EXPECT_EQ(ScanChoiceFor(0, u"", sized)->usedSpace, std::optional<std::uint64_t>{700});
  EXPECT_EQ(ScanChoiceFor(1, u"", sized)->usedSpace, std::optional<std::uint64_t>{700});
  EXPECT_EQ(ScanChoiceFor(2, u"", sized)->usedSpace, std::optional<std::uint64_t>{0});
  EXPECT_FALSE(ScanChoiceFor(1, u"X:\\f", sized)->usedSpace);
}

TEST(SelectorModelTest, ReselectionAfterTheDrivesChange) {
  const auto before = Drives({u"C:\\", u"E:\\"});
  // E: moves when D: arrives in front of it.
  const SelectorMemory onE = RememberSelection(2, u"", before);
  EXPECT_EQ(onE.driveRoot, u"E:\\");
  EXPECT_EQ(ReselectedIndex(onE, u"", Drives({u"C:\\", u"D:\\", u"E:\\"})), 3);
  // E: removed: the default (first drive).
  EXPECT_EQ(ReselectedIndex(onE, u"", Drives({u"C:\\"})), 1);
  // The folder item and "All local drives" stay selected.
  EXPECT_EQ(ReselectedIndex(RememberSelection(1, u"X:\\f", before), u"X:\\f", before), 1);
  EXPECT_EQ(ReselectedIndex(RememberSelection(0, u"", before), u"", Drives({u"C:\\"})), 0);
  // The first drive is remembered too: C: selected, A: arrives in front.
  EXPECT_EQ(ReselectedIndex(RememberSelection(1, u"", before), u"", Drives({u"A:\\", u"C:\\"})), 2);
}

bool AsciiEqualIgnoringCase(std::u16string_view a, std::u16string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    const auto lower = [](char16_t c) {
      return c < 128 ? static_cast<char16_t>(std::tolower(c)) : c;
    };
    if (lower(a[i]) != lower(b[i])) return false;
  }
  return true;
}

TEST(RecentFoldersTest, NewestFirstDeDuplicatedIgnoringCaseAtMostSixteen) {
  std::vector<std::u16string> recent;
  EXPECT_FALSE(AddRecentFolder(recent, u"", ComparableFolderForm, AsciiEqualIgnoringCase));
  EXPECT_TRUE(recent.empty());
  for (int i = 0; i < 17; ++i) {
    AddRecentFolder(recent, u"/data/folder" + std::u16string(1, u'a' + i), ComparableFolderForm,
                    AsciiEqualIgnoringCase);
  }
  ASSERT_EQ(recent.size(), kRecentFoldersLimit);
  EXPECT_EQ(recent.front(), u"/data/folderq");
  EXPECT_EQ(recent.back(), u"/data/folderb");  // the oldest, a, was pushed out
  // Another spelling of an entry moves it to the front, as given.
  AddRecentFolder(recent, u"/DATA/FOLDERC", ComparableFolderForm, AsciiEqualIgnoringCase);
  EXPECT_EQ(recent.front(), u"/DATA/FOLDERC");
  EXPECT_EQ(recent.size(), kRecentFoldersLimit);
  int spellings = 0;
  for (const auto& entry : recent) spellings += AsciiEqualIgnoringCase(entry, u"/data/folderc");
  EXPECT_EQ(spellings, 1);
  // Lexically the same folder ("." and "..", a trailing separator).
  AddRecentFolder(recent, u"/data/x/../folderd/.", ComparableFolderForm, AsciiEqualIgnoringCase);
  EXPECT_EQ(recent.size(), kRecentFoldersLimit);
  for (std::size_t i = 1; i < recent.size(); ++i) EXPECT_NE(recent[i], u"/data/folderd");
}

// The window works the forms out off its thread, for the new folder and the
// entries as they were; an entry added in the meantime is compared by its
// text alone.
TEST(RecentFoldersTest, FormsWorkedOutBeforehandWithTheLexicalFormForTheRest) {
  std::vector<std::u16string> recent{u"/later/./added/", u"/target", u"/other"};
  const FolderForm forms =
      KnownFolderForms({{u"/link", u"/target"}, {u"/target", u"/target"}, {u"/other", u"/other"}});
  EXPECT_EQ(forms(u"/later/./added/"), LexicalFolderForm(u"/later/added"));
  AddRecentFolder(recent, u"/link", forms, AsciiEqualIgnoringCase);
  EXPECT_EQ(recent, (std::vector<std::u16string>{u"/link", u"/later/./added/", u"/other"}));
  AddRecentFolder(recent, u"/LATER/added", forms, AsciiEqualIgnoringCase);
  EXPECT_EQ(recent, (std::vector<std::u16string>{u"/LATER/added", u"/link", u"/other"}));
}

TEST(OpenTargetTest, ListUsedByOpen) {
  using app::RankingList;
  EXPECT_EQ(ListUsedByOpen(RankingList::Subfolders, true, true), RankingList::Subfolders);
  EXPECT_EQ(ListUsedByOpen(RankingList::Subfolders, true, false), RankingList::Files);
  EXPECT_EQ(ListUsedByOpen(RankingList::None, false, true), RankingList::Subfolders);
  EXPECT_EQ(ListUsedByOpen(RankingList::Files, false, false), RankingList::None);
  EXPECT_EQ(SelectInFileManagerParameters(u"C:\\a b\\c.txt"), u"/select,\"C:\\a b\\c.txt\"");
}

TEST(RankingColumnsTest, TheTableOfThePart) {
  const auto folders = ColumnsOf(RankingListKind::Folders);
  ASSERT_EQ(folders.size(), 8u);
  const int folderWidths[] = {260, 100, 110, 140, 80, 80, 420, 170};
  for (std::size_t i = 0; i < 8; ++i) EXPECT_EQ(folders[i].width96, folderWidths[i]);
  EXPECT_EQ(ColumnsOf(RankingListKind::Files).size(), 6u);
  EXPECT_EQ(ColumnsOf(RankingListKind::Subfolders).size(), 7u);
  // The size on disk follows the size in every list.
  for (const RankingListKind list :
       {RankingListKind::Folders, RankingListKind::Files, RankingListKind::Subfolders}) {
    const int size = list == RankingListKind::Folders ? 2 : 1;
    EXPECT_STREQ(ColumnsOf(list)[size + 1].captionKey, "column.on_disk");
    // The Change column is the last by index and is shown right after the share.
    EXPECT_STREQ(ColumnsOf(list)[ChangeColumnOf(list)].captionKey, "column.change");
    EXPECT_EQ(static_cast<std::size_t>(ChangeColumnOf(list)), ColumnsOf(list).size() - 1);
    EXPECT_EQ(ChangeColumnPosition(list), size);
  }
  EXPECT_STREQ(ChangeOrderCaptionKey(false, true), "column.change");
  EXPECT_STREQ(ChangeOrderCaptionKey(true, true), "column.change_growth");
  EXPECT_STREQ(ChangeOrderCaptionKey(true, false), "column.change_shrink");
  EXPECT_EQ(ColumnsOf(RankingListKind::Subfolders)[1].width96, 120);
  EXPECT_STREQ(ShareOrderCaptionKey(true), "column.share_desc");
  EXPECT_STREQ(ShareOrderCaptionKey(false), "column.share_asc");
  EXPECT_EQ(ShareColumnOf(RankingListKind::Folders), 1);
  EXPECT_EQ(ShareColumnOf(RankingListKind::Files), 0);
}

TEST(RankingCellGeometryTest, ShareBarClampsTheBarNotTheValue) {
  const PixelRect cell{100, 20, 108, 22};
  const ShareBarLayout half = LayOutShareBar(cell, 50.0, 96);
  EXPECT_EQ(half.track, (PixelRect{104, 24, 100, 14}));
  EXPECT_EQ(half.filled.width, 50);
  EXPECT_EQ(LayOutShareBar(cell, 250.0, 96).filled.width, 100);
  EXPECT_EQ(LayOutShareBar(cell, -5.0, 96).filled.width, 0);
  EXPECT_EQ(LayOutShareBar(cell, std::numeric_limits<double>::quiet_NaN(), 96).filled.width, 0);
  EXPECT_EQ(half.text, (PixelRect{106, 20, 96, 22}));
}

TEST(RankingCellGeometryTest, TreeCellIndentBoxAndIcon) {
  const PixelRect cell{0, 0, 260, 22};
  const TreeCellLayout folder = LayOutTreeCell(cell, 2, true, 96);
  EXPECT_TRUE(folder.hasExpander);
  EXPECT_EQ(folder.expanderBox, (PixelRect{2 * 18 + 6, 5, 11, 11}));
  EXPECT_EQ(folder.icon.left, folder.expanderBox.right() + 6);
  EXPECT_EQ(folder.icon.width, 16);
  EXPECT_EQ(folder.icon.height, 13);
  EXPECT_EQ(folder.text.left, folder.icon.right() + 6);
  EXPECT_EQ(folder.text.right(), 256);
  // Rows without a box keep their icon where the boxed rows have theirs.
  const TreeCellLayout file = LayOutTreeCell(cell, 2, false, 96);
  EXPECT_FALSE(file.hasExpander);
  EXPECT_EQ(file.icon.left, folder.icon.left);
  // At 144 DPI only the first gap of a box-less row stays unscaled.
  const TreeCellLayout scaled = LayOutTreeCell(cell, 1, false, 144);
  EXPECT_EQ(scaled.icon.left, 27 + 6 + 9 + 17);
  const ExpanderSigns signs = ExpanderSignsFor(folder.expanderBox, 96);
  EXPECT_EQ(signs.minus, (PixelRect{folder.expanderBox.left + 3, 10, 5, 1}));
  EXPECT_EQ(signs.plusStroke, (PixelRect{folder.expanderBox.left + 5, 8, 1, 5}));
}

core::ScanResult SmallResult() {
  core::ScanTreeBuilder builder;
  const std::uint64_t root = builder.AddRoot(u"r", u"/r", core::kAttributeDirectory, 0);
  for (int i = 1; i < 40; ++i) {
    const std::u16string name = u"n" + std::u16string(1, static_cast<char16_t>(u'A' + i));
    if (i % 4 == 0) {
      builder.AddDirectory(root, name, core::kAttributeDirectory, 0);
    } else {
      builder.AddFile(root, name, 0x20, 1000u + static_cast<std::uint64_t>(i), 0);
    }
  }
  builder.ComputeTotals();
  return builder.BuildResult(core::ScanStatus::Completed, u"/r", 0);
}

TEST(ScanHandOverTest, TheModelTakesTheResult) {
  app::FolderRankingModel model;
  EXPECT_TRUE(HandOverScanResult(model, SmallResult()));
  EXPECT_EQ(model.treeRows.size(), 40u);
  EXPECT_EQ(model.fileRows.size(), 30u);
}

// Running out of memory while ranking: the model is left with a failed
// result and its fixed message, no tree, at each point the allocation fails.
TEST(ScanHandOverTest, OutOfMemoryWhileRankingLeavesAFailedEmptyResult) {
  int failedAt = 0;
  for (std::uint64_t successes = 0; successes < 200; successes += 3) {
    app::FolderRankingModel model;
    core::ScanResult result = SmallResult();
    bool ok;
    {
      test::AllocationFailureScope scope(successes, test::FailingThreads::Any, 1);
      ok = HandOverScanResult(model, std::move(result));
    }
    if (ok) continue;
    ++failedAt;
    EXPECT_EQ(model.Result().status, core::ScanStatus::Failed);
    EXPECT_EQ(model.Result().message, app::kScanOutOfMemoryMessage);
    EXPECT_TRUE(model.Result().nodes.empty());
    EXPECT_TRUE(model.treeRows.empty());
    EXPECT_TRUE(model.fileRows.empty());
    EXPECT_TRUE(model.subfolderRows.empty());
  }
  EXPECT_GT(failedAt, 3);
}

// No language files: every text is its key, which names what was asked for.
TEST(MenuBarModelTest, SubmenusTextsAndCheckMarks) {
  test::TemporaryFolder folder;
  i18n::LanguageStrings language(
      {[] { return std::vector<std::u16string>{}; }, [&] { return folder.Path(); }});
  language.SetLanguage(u"de-DE");
  app::AppSettings settings;
  settings.theme = u"Light";
  settings.recentFolders = {u"C:\\a", u"D:\\b"};
  settings.sizeBasis = core::SizeBasis::OnDisk;
  const std::vector<MenuEntry> bar = MenuBarModel(language, settings);
  ASSERT_EQ(bar.size(), 3u);
  EXPECT_EQ(bar[0].text, u"menu.file");
  EXPECT_EQ(bar[0].items.at(0).id, kOpenScanCommand);
  EXPECT_EQ(bar[0].items.at(1).id, kSaveScanCommand);
  EXPECT_EQ(bar[0].items.at(2).id, kCompareScanCommand);
  EXPECT_EQ(bar[0].items.at(3).id, kComparePreviousScanCommand);
  const MenuEntry& recent = bar[0].items.at(5);
  EXPECT_TRUE(recent.recentFolders);
  ASSERT_EQ(recent.items.size(), 2u);
  EXPECT_EQ(recent.items[1].text, u"&2 D:\\b");
  EXPECT_EQ(recent.items[1].id, kFirstRecentFolderCommand + 1);
  EXPECT_FALSE(bar[0].items.at(7).recentFolders);

  const auto checkedIds = [](const MenuEntry& submenu) {
    std::vector<int> ids;
    for (const MenuEntry& item : submenu.items) {
      if (item.checked) ids.push_back(item.id);
    }
    return ids;
  };
  const MenuEntry& sizes = bar[1].items.at(1);
  EXPECT_EQ(sizes.text, u"menu.settings.sizes");
  EXPECT_EQ(checkedIds(sizes), std::vector<int>{kSizesOnDiskCommand});
  settings.sizeBasis = core::SizeBasis::Logical;
  EXPECT_EQ(checkedIds(MenuBarModel(language, settings)[1].items.at(1)),
            std::vector<int>{kLogicalSizesCommand});
  const MenuEntry& themes = bar[1].items.at(3);
  ASSERT_EQ(themes.items.size(), i18n::kThemeIds.size());
  const auto light = std::find(i18n::kThemeIds.begin(), i18n::kThemeIds.end(), u"Light");
  const int lightIndex = static_cast<int>(light - i18n::kThemeIds.begin());
  EXPECT_EQ(themes.items[lightIndex].text, u"theme.Light");
  EXPECT_EQ(checkedIds(themes), std::vector<int>{kFirstThemeCommand + lightIndex});
  const MenuEntry& languages = bar[1].items.at(4);
  ASSERT_EQ(languages.items.size(), i18n::kLanguages.size() + 1);
  EXPECT_EQ(languages.items.front().id, kSystemLanguageCommand);
  EXPECT_EQ(checkedIds(languages), std::vector<int>{kFirstLanguageCommand + 3});  // de-DE
  EXPECT_EQ(languages.items[4].text, std::u16string(i18n::kLanguages[3].displayName));
  // File types, with its key, checked while the list is shown.
  const MenuEntry& types = bar[1].items.back();
  EXPECT_EQ(types.id, kFileTypesCommand);
  EXPECT_EQ(types.text, u"menu.settings.file_types\tCtrl+T");
  EXPECT_FALSE(types.checked);
  EXPECT_TRUE(MenuBarModel(language, settings, true)[1].items.back().checked);
  // Keep last scans, checked as the setting is.
  const MenuEntry& keep = bar[1].items.at(6);
  EXPECT_EQ(keep.id, kKeepLastScansCommand);
  EXPECT_EQ(keep.text, u"menu.settings.keep_last_scans");
  EXPECT_TRUE(keep.checked);
  settings.keepLastScans = false;
  EXPECT_FALSE(MenuBarModel(language, settings)[1].items.at(6).checked);
}

// A "&" in a path is the path's, not a mnemonic; the entries get the
// usual keys 1 to 9, then 0 for the tenth, and none after it.
TEST(MenuBarModelTest, RecentFolderEntriesEscapeAmpersandsAndNumberTheirKeys) {
  test::TemporaryFolder folder;
  i18n::LanguageStrings language(
      {[] { return std::vector<std::u16string>{}; }, [&] { return folder.Path(); }});
  std::vector<std::u16string> recent;
  for (int i = 0; i < 12; ++i) recent.push_back(u"D:\\f" + std::u16string(1, u'a' + i));
  recent[0] = u"C:\\R&D";
  recent[1] = u"C:\\A && B&";
  const std::vector<MenuEntry> entries = RecentFolderEntries(language, recent);
  ASSERT_EQ(entries.size(), 12u);
  EXPECT_EQ(entries[0].text, u"&1 C:\\R&&D");
  EXPECT_EQ(entries[1].text, u"&2 C:\\A &&&& B&&");
  EXPECT_EQ(entries[8].text, u"&9 D:\\fi");
  EXPECT_EQ(entries[9].text, u"1&0 D:\\fj");
  EXPECT_EQ(entries[10].text, u"11 D:\\fk");
}

}  // namespace
}  // namespace ombrix::ui
