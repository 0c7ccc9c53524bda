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

enum class FolderColumn { Name, Share, Size, Files, Folders, Path };
enum class FileColumn { Share, Size, Name, Path };
enum class SubfolderColumn { Share, Size, Files, Folders, Path };

inline constexpr std::size_t kFolderColumnCount = 6;
inline constexpr std::size_t kFileColumnCount = 4;
inline constexpr std::size_t kSubfolderColumnCount = 5;

// Text of a Folders row (treeRows[row]); the share is of the scan root,
// whatever is selected. Files have no count columns; a node without a name
// (a drive root) shows its path.
std::u16string FolderRowText(const FolderRankingModel& model, std::size_t row, FolderColumn column,
                             std::u16string_view languageSetting,
                             const LocaleQueries& locale = SystemLocaleQueries());
// Text of a Files row (fileRows[row]) and of a Subfolders row
// (subfolderRows[row]); their shares are of the selected node.
std::u16string FileRowText(const FolderRankingModel& model, std::size_t row, FileColumn column,
                           std::u16string_view languageSetting,
                           const LocaleQueries& locale = SystemLocaleQueries());
std::u16string SubfolderRowText(const FolderRankingModel& model, std::size_t row,
                                SubfolderColumn column, std::u16string_view languageSetting,
                                const LocaleQueries& locale = SystemLocaleQueries());

}  // namespace ombrix::app
