// Columns of the find and types lists, which take their captions, alignment
// and widths from a table of RankingColumn as the ranking lists do.
#pragma once

#include <windows.h>

#include <cstdint>
#include <span>
#include <string>

#include "ui/lists/ranking_columns.h"

namespace ombrix::ui {

// Inserts the column (caption, alignment and width at this DPI) or, when
// insert is false, sets its caption and alignment again.
void SetListColumn(HWND list, const RankingColumn& layout, const std::u16string& caption,
                   int column, bool insert, std::uint32_t dpi);

void ResetListColumnWidths(HWND list, std::span<const RankingColumn> columns, std::uint32_t dpi);

}  // namespace ombrix::ui
