// The columns of the three lists: their captions by key, their widths at
// 96 DPI and their alignment. The Folders list's share caption tells which
// way the tree is ordered.
#pragma once

#include <span>

namespace ombrix::ui {

enum class RankingListKind { Folders, Files, Subfolders };

enum class ColumnAlignment { Left, Right };

struct RankingColumn {
  const char* captionKey;
  int width96;
  ColumnAlignment alignment;
};

std::span<const RankingColumn> ColumnsOf(RankingListKind list);

// Column 1 of the Folders list carries this caption instead of its own.
const char* ShareOrderCaptionKey(bool shareDescending);

// The column holding the share bar.
int ShareColumnOf(RankingListKind list);

// The Change column is every list's last; it is shown, right after the
// share, only while a comparison is.
int ChangeColumnOf(RankingListKind list);
int ChangeColumnPosition(RankingListKind list);
// Its caption for the order by change (none: by size).
const char* ChangeOrderCaptionKey(bool byChange, bool growthFirst);

}  // namespace ombrix::ui
