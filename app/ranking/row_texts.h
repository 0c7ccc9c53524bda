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

enum class FolderColumn { Name, Share, Size, OnDisk, Files, Folders, Path };
enum class FileColumn { Share, Size, OnDisk, Name, Path };
enum class SubfolderColumn { Share, Size, OnDisk, Files, Folders, Path };

inline constexpr std::size_t kFolderColumnCount = 7;
inline constexpr std::size_t kFileColumnCount = 5;
inline constexpr std::size_t kSubfolderColumnCount = 6;

// What the On disk column adds after a file's size on disk, in the
// window's language: "{count}" in names stands for the number of names of a
// hard-linked file. Empty texts add nothing.
struct SizeMarkTexts {
  std::u16string names;
  std::u16string placeholder;
};

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
    const SizeMarkTexts& marks = {});
// Text of a Files row (fileRows[row]) and of a Subfolders row
// (subfolderRows[row]); their shares are of the selected node.
std::u16string FileRowText(const FolderRankingModel& model, std::size_t row, FileColumn column,
                           std::u16string_view languageSetting,
                           const LocaleQueries& locale = SystemLocaleQueries(),
    const SizeMarkTexts& marks = {});
std::u16string SubfolderRowText(const FolderRankingModel& model, std::size_t row,
                                SubfolderColumn column, std::u16string_view languageSetting,
                                const LocaleQueries& locale = SystemLocaleQueries(),
    const SizeMarkTexts& marks = {});

}  // namespace ombrix::app
