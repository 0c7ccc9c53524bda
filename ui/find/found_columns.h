// The columns of the found files, the list that takes the Files list's
// place while the find box holds a query: what a found file is known by
// (its name, size, size on disk and last write, then where it is), the texts
// of its cells, made when the list asks for them.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>

#include "app/locale_queries.h"
#include "app/ranking/row_texts.h"
#include "core/scan_model.h"
#include "ui/lists/ranking_columns.h"

namespace ombrix::ui {

// The name first: a list view draws its first column left-aligned.
enum class FoundColumn { Name, Size, OnDisk, LastWritten, Path };

std::span<const RankingColumn> FoundColumns();

// The last write as the window shows it, in its own time zone; 0
// (unknown) stays 0.
using ShownFileTime = std::uint64_t (*)(std::uint64_t fileTime);

// Text of one cell of a found file; empty for a node the result does not
// hold or a column past the last.
std::u16string FoundCellText(const core::ScanNodes& nodes, std::uint64_t node, int column,
                             std::u16string_view languageSetting, const app::LocaleQueries& locale,
                             const app::SizeMarkTexts& marks, ShownFileTime shownTime);

}  // namespace ombrix::ui
