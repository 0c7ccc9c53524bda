// The columns of the File types list, which takes the Subfolders list's
// place when Settings > File types is checked: the extension, its share of
// all files below the folder on the size basis the lists rank by, and its
// files' size, size on disk and count. The texts of its cells are
// made when the list asks for them.
#pragma once

#include <cstddef>
#include <span>
#include <string>
#include <string_view>

#include "app/find/file_types.h"
#include "app/locale_queries.h"
#include "core/scan_model.h"
#include "ui/lists/ranking_columns.h"

namespace ombrix::ui {

// The extension first: a list view draws its first column left-aligned.
// The share next to it, as in the Folders list: in a narrow pane the bars
// stay in sight.
enum class TypeColumn { Extension, Share, Size, OnDisk, Files };

std::span<const RankingColumn> TypeColumns();

// Text of one cell of breakdown.rows[row]; noExtension names the row of
// files without an extension. Empty for a row or column past the last.
std::u16string TypeCellText(const app::FileTypeBreakdown& breakdown, std::size_t row, int column,
                            core::SizeBasis basis, std::u16string_view languageSetting,
                            const app::LocaleQueries& locale, std::u16string_view noExtension);

}  // namespace ombrix::ui
