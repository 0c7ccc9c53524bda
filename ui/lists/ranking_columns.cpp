#include "ui/lists/ranking_columns.h"

namespace ombrix::ui {
namespace {

// Numbers line up on the right; names and paths read from the left.
constexpr RankingColumn kFolderColumns[] = {
    {"column.folder", 260, ColumnAlignment::Left},
    {"column.share_desc", 100, ColumnAlignment::Right},
    {"column.size", 110, ColumnAlignment::Right},
    {"column.on_disk", 140, ColumnAlignment::Right},
    {"column.files", 80, ColumnAlignment::Right},
    {"column.folders", 80, ColumnAlignment::Right},
    {"column.full_path", 420, ColumnAlignment::Left},
    {"column.change", 170, ColumnAlignment::Right},
};
constexpr RankingColumn kFileColumns[] = {
    {"column.share", 100, ColumnAlignment::Right},
    {"column.size", 100, ColumnAlignment::Right},
    {"column.on_disk", 140, ColumnAlignment::Right},
    {"column.file_name", 220, ColumnAlignment::Left},
    {"column.full_path", 620, ColumnAlignment::Left},
    {"column.change", 170, ColumnAlignment::Right},
};
constexpr RankingColumn kSubfolderColumns[] = {
    {"column.share", 100, ColumnAlignment::Right},
    {"column.subtree_size", 120, ColumnAlignment::Right},
    {"column.on_disk", 140, ColumnAlignment::Right},
    {"column.files", 80, ColumnAlignment::Right},
    {"column.folders", 80, ColumnAlignment::Right},
    {"column.full_path", 620, ColumnAlignment::Left},
    {"column.change", 170, ColumnAlignment::Right},
};

}  // namespace

std::span<const RankingColumn> ColumnsOf(RankingListKind list) {
  switch (list) {
    case RankingListKind::Folders:
      return kFolderColumns;
    case RankingListKind::Files:
      return kFileColumns;
    case RankingListKind::Subfolders:
      return kSubfolderColumns;
  }
  return {};
}

const char* ShareOrderCaptionKey(bool shareDescending) {
  return shareDescending ? "column.share_desc" : "column.share_asc";
}

int ShareColumnOf(RankingListKind list) { return list == RankingListKind::Folders ? 1 : 0; }

int ChangeColumnOf(RankingListKind list) { return static_cast<int>(ColumnsOf(list).size()) - 1; }

int ChangeColumnPosition(RankingListKind list) {
  // Right after the share, where it is in sight in the narrow right-hand
  // lists too.
  return ShareColumnOf(list) + 1;
}

const char* ChangeOrderCaptionKey(bool byChange, bool growthFirst) {
  if (!byChange) return "column.change";
  return growthFirst ? "column.change_growth" : "column.change_shrink";
}

}  // namespace ombrix::ui
