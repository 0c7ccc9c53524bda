#include "ui/lists/ranking_cells_win.h"

#include <windows.h>

#include <commctrl.h>

#include "app/ranking/row_texts.h"

namespace ombrix::ui {

PixelRect ListCellRect(HWND list, int row, int column) {
  RECT bounds{};
  bounds.top = column;
  bounds.left = LVIR_BOUNDS;
  ::SendMessageW(list, LVM_GETSUBITEMRECT, row, reinterpret_cast<LPARAM>(&bounds));
  // Column 0's bounds are the whole row's; the column ends at its width.
  if (column == 0) {
    bounds.right =
        bounds.left + static_cast<int>(::SendMessageW(list, LVM_GETCOLUMNWIDTH, 0, 0));
  }
  return PixelRect{bounds.left, bounds.top, bounds.right - bounds.left, bounds.bottom - bounds.top};
}

std::u16string RankingCellText(const MainWindowState& state, RankingListKind kind, int row,
                               int column) {
  if (row < 0 || column < 0) return {};
  const auto index = static_cast<std::size_t>(row);
  const std::u16string& language = state.language.Setting();
  switch (kind) {
    case RankingListKind::Folders:
      if (column >= static_cast<int>(app::kFolderColumnCount)) return {};
      return app::FolderRowText(state.ranking, index, static_cast<app::FolderColumn>(column),
                                language, app::SystemLocaleQueries(), state.sizeMarks,
                                state.changeTexts);
    case RankingListKind::Files:
      if (column >= static_cast<int>(app::kFileColumnCount)) return {};
      return app::FileRowText(state.ranking, index, static_cast<app::FileColumn>(column),
                              language, app::SystemLocaleQueries(), state.sizeMarks,
                                state.changeTexts);
    case RankingListKind::Subfolders:
      if (column >= static_cast<int>(app::kSubfolderColumnCount)) return {};
      return app::SubfolderRowText(state.ranking, index, static_cast<app::SubfolderColumn>(column),
                                   language, app::SystemLocaleQueries(), state.sizeMarks,
                                state.changeTexts);
  }
  return {};
}

}  // namespace ombrix::ui
