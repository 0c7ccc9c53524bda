#include "ui/find/list_columns_win.h"

#include <commctrl.h>

#include "base/win/wide_string_win.h"
#include "ui/common/dpi_scaling.h"

namespace ombrix::ui {

void SetListColumn(HWND list, const RankingColumn& layout, const std::u16string& caption,
                   int column, bool insert, std::uint32_t dpi) {
  std::u16string text = caption;
  LVCOLUMNW item{};
  item.mask = LVCF_TEXT | LVCF_FMT;
  item.fmt = layout.alignment == ColumnAlignment::Right ? LVCFMT_RIGHT : LVCFMT_LEFT;
  item.pszText = base::WritableWide(text);
  if (insert) {
    item.mask |= LVCF_WIDTH | LVCF_SUBITEM;
    item.cx = ScaleForDpi(layout.width96, dpi);
    item.iSubItem = column;
  }
  ::SendMessageW(list, insert ? LVM_INSERTCOLUMNW : LVM_SETCOLUMNW, column,
                 reinterpret_cast<LPARAM>(&item));
}

void ResetListColumnWidths(HWND list, std::span<const RankingColumn> columns, std::uint32_t dpi) {
  for (std::size_t column = 0; column < columns.size(); ++column) {
    ::SendMessageW(list, LVM_SETCOLUMNWIDTH, column, ScaleForDpi(columns[column].width96, dpi));
  }
}

}  // namespace ombrix::ui
