// The column texts of the three lists, made from a row when the list asks
// for it (the lists are virtual: a folder of 100,000 children is never
// formatted whole, only the rows on screen). Numbers go through the
// formatters in the language's number format.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

#include "app/locale_queries.h"
#include "app/ranking/folder_ranking_model.h"

namespace ombrix::app {

// Change comes last in every list: it was added after the others, and the
// window shows it where it reads best by the columns' display order.
enum class FolderColumn { Name, Share, Size, OnDisk, Files, Folders, Path, Change };
enum class FileColumn { Share, Size, OnDisk, Name, Path, Change };
enum class SubfolderColumn { Share, Size, OnDisk, Files, Folders, Path, Change };

inline constexpr std::size_t kFolderColumnCount = 8;
inline constexpr std::size_t kFileColumnCount = 6;
inline constexpr std::size_t kSubfolderColumnCount = 7;

// What the On disk column adds after a file's size on disk, in the
// window's language: "{count}" in names stands for the number of names of a
// hard-linked file. Empty texts add nothing.
struct SizeMarkTexts {
  std::u16string names;
  std::u16string placeholder;
};

// The Change column's words, in the window's language: "{size}" stands for
// the signed change in bytes, "{count}" for the signed change in files.
struct ChangeTexts {
  std::u16string added = u"new, {size}";
  std::u16string deleted = u"deleted, {size}";
  std::u16string withFiles = u"{size}, files {count}";
};

// A node's change since the compared scan: empty when unchanged.
std::u16string ChangeText(const NodeChange& change, std::u16string_view languageSetting,
                          const LocaleQueries& locale, const ChangeTexts& texts);
// A deleted file or folder: what it took then, as a shrink.
std::u16string DeletedText(const DeletedNode& deleted, std::u16string_view languageSetting,
                           const LocaleQueries& locale, const ChangeTexts& texts);

// A node's size on disk, and for a file what is special about it (the
// marks above).
std::u16string OnDiskText(const core::ScanNode& node, std::u16string_view languageSetting,
                          const LocaleQueries& locale, const SizeMarkTexts& marks);

// Text of a Folders row (treeRows[row]); the share is of the scan root,
// whatever is selected. Files have no count columns; a node without a name
// (a drive root) shows its path.
std::u16string FolderRowText(const FolderRankingModel& model, std::size_t row, FolderColumn column,
                             std::u16string_view languageSetting,
                             const LocaleQueries& locale = SystemLocaleQueries(),
    const SizeMarkTexts& marks = {}, const ChangeTexts& changes = {});
// Text of a Files row (fileRows[row]) and of a Subfolders row
// (subfolderRows[row]); their shares are of the selected node.
std::u16string FileRowText(const FolderRankingModel& model, std::size_t row, FileColumn column,
                           std::u16string_view languageSetting,
                           const LocaleQueries& locale = SystemLocaleQueries(),
    const SizeMarkTexts& marks = {}, const ChangeTexts& changes = {});
std::u16string SubfolderRowText(const FolderRankingModel& model, std::size_t row,
                                SubfolderColumn column, std::u16string_view languageSetting,
                                const LocaleQueries& locale = SystemLocaleQueries(),
    const SizeMarkTexts& marks = {}, const ChangeTexts& changes = {});

}  // namespace ombrix::app
