#include "ui/lists/ranking_lists_win.h"

#include <windows.h>

#include <commctrl.h>
#include <shellapi.h>

#include <algorithm>
#include <utility>
#include <string>
#include <vector>

#include "base/win/extended_path_win.h"
#include "base/win/unique_handle_win.h"
#include "base/win/wide_string_win.h"
#include "ui/common/control_ids.h"
#include "ui/common/dpi_scaling.h"
#include "ui/find/find_view_win.h"
#include "ui/find/types_view_win.h"
#include "ui/window/file_manager_win.h"
#include "ui/window/main_window_view_win.h"
#include "ui/window/open_target.h"
#include "ui/lists/ranking_cell_geometry.h"
#include "ui/lists/ranking_cells_win.h"
#include "ui/lists/ranking_drawing_win.h"
#include "ui/window/status_bar_win.h"

namespace ombrix::ui {
namespace {

constexpr RankingListKind kAllLists[] = {RankingListKind::Folders, RankingListKind::Files,
                                         RankingListKind::Subfolders};
// The context menu opened from the keyboard sits this far right of the
// row's left edge.
constexpr int kKeyboardMenuOffset = 16;

int ColumnFormat(ColumnAlignment alignment) {
  return alignment == ColumnAlignment::Right ? LVCFMT_RIGHT : LVCFMT_LEFT;
}

std::u16string ColumnCaption(MainWindowState& state, RankingListKind kind, int column) {
  if (kind == RankingListKind::Folders && column == ShareColumnOf(kind)) {
    return state.language.Translate(ShareOrderCaptionKey(state.ranking.shareDescending));
  }
  if (column == ChangeColumnOf(kind)) {
    const app::ChangeOrder order = state.ranking.Order();
    return state.language.Translate(ChangeOrderCaptionKey(
        order != app::ChangeOrder::None, order == app::ChangeOrder::GrowthFirst));
  }
  return state.language.Translate(ColumnsOf(kind)[static_cast<std::size_t>(column)].captionKey);
}

void SetColumnCaption(MainWindowState& state, RankingListKind kind, int column) {
  std::u16string caption = ColumnCaption(state, kind, column);
  LVCOLUMNW item{};
  // The format goes with the text: Wine's list view otherwise resets the
  // header item to left-aligned when only the text changes.
  item.mask = LVCF_TEXT | LVCF_FMT;
  item.fmt = ColumnFormat(ColumnsOf(kind)[static_cast<std::size_t>(column)].alignment);
  item.pszText = base::WritableWide(caption);
  ::SendMessageW(ListWindow(state, kind), LVM_SETCOLUMNW, column, reinterpret_cast<LPARAM>(&item));
}

std::size_t RowCount(const MainWindowState& state, RankingListKind kind) {
  switch (kind) {
    case RankingListKind::Folders:
      return state.ranking.treeRows.size();
    case RankingListKind::Files:
      return state.ranking.fileRows.size();
    case RankingListKind::Subfolders:
      return state.ranking.subfolderRows.size();
  }
  return 0;
}

// Every selected and focused mark off, then (for a row) that row selected,
// focused and made the selection mark, without the notifications counting
// as the user's choice.
void MarkOnlyRow(MainWindowState& state, HWND list, std::optional<int> row) {
  state.changingSelection = true;
  LVITEMW clear{};
  clear.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
  ::SendMessageW(list, LVM_SETITEMSTATE, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(&clear));
  if (row) {
    LVITEMW mark{};
    mark.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
    mark.state = LVIS_SELECTED | LVIS_FOCUSED;
    ::SendMessageW(list, LVM_SETITEMSTATE, *row, reinterpret_cast<LPARAM>(&mark));
    ::SendMessageW(list, LVM_SETSELECTIONMARK, 0, *row);
  }
  state.changingSelection = false;
}

// The Change column takes no room while there is nothing to compare.
int ColumnWidth(const MainWindowState& state, RankingListKind kind, std::size_t column) {
  if (static_cast<int>(column) == ChangeColumnOf(kind) && state.ranking.Comparison() == nullptr) {
    return 0;
  }
  return ScaleForDpi(ColumnsOf(kind)[column].width96, state.dpi);
}

// The Change column is inserted last, so every other column keeps its
// index, and shown where it reads with the sizes.
void PlaceChangeColumn(const MainWindowState& state, RankingListKind kind) {
  const int count = static_cast<int>(ColumnsOf(kind).size());
  const int change = ChangeColumnOf(kind);
  std::vector<int> order;
  for (int column = 0; column < count; ++column) {
    if (column == ChangeColumnPosition(kind)) order.push_back(change);
    if (column != change) order.push_back(column);
  }
  ::SendMessageW(ListWindow(state, kind), LVM_SETCOLUMNORDERARRAY, order.size(),
                 reinterpret_cast<LPARAM>(order.data()));
}

void ShowRowCount(MainWindowState& state, RankingListKind kind) {
  const HWND list = ListWindow(state, kind);
  MarkOnlyRow(state, list, std::nullopt);
  ::SendMessageW(list, LVM_SETITEMCOUNT, RowCount(state, kind), 0);
  ::InvalidateRect(list, nullptr, TRUE);
}

// The right-hand lists for the model's selectedNode, fresh.
void ShowRankings(MainWindowState& state) {
  ShowRowCount(state, RankingListKind::Files);
  ShowRowCount(state, RankingListKind::Subfolders);
  state.ranking.activeRankingList = app::RankingList::None;
  UpdateOpenButton(state);
  // A find and the file types look below the selected folder.
  RunFind(state);
  RunFileTypes(state);
}

bool HasSelection(HWND list) { return ::SendMessageW(list, LVM_GETSELECTEDCOUNT, 0, 0) > 0; }

std::optional<int> SelectedRow(HWND list) {
  const int row =
      static_cast<int>(::SendMessageW(list, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_SELECTED));
  if (row < 0) return std::nullopt;
  return row;
}

// Marks the model's row for the selected node in the Folders list, and
// shows the rankings again when the model has made new ones (the user's
// selection in a right-hand list stays when they are the same).
void MarkTreeRow(MainWindowState& state, std::optional<std::size_t> row,
                 std::uint64_t rankingsBefore) {
  const HWND list = state.controls.foldersList;
  ShowRowCount(state, RankingListKind::Folders);
  if (!row) return;
  ::SetFocus(list);
  MarkOnlyRow(state, list, static_cast<int>(*row));
  ::SendMessageW(list, LVM_ENSUREVISIBLE, *row, FALSE);
  if (state.ranking.RankingsRevision() != rankingsBefore) ShowRankings(state);
}

}  // namespace

void ShowSizeBasis(MainWindowState& state) {
  const std::uint64_t rankings = state.ranking.RankingsRevision();
  const std::optional<std::size_t> row = state.ranking.SetSizeBasis(state.settings.sizeBasis);
  MarkTreeRow(state, row, rankings);
  for (HWND list :
       {state.controls.foldersList, state.controls.filesList, state.controls.subfoldersList}) {
    ::InvalidateRect(list, nullptr, TRUE);
  }
}

namespace {

void ToggleNode(MainWindowState& state, std::uint64_t node) {
  if (!state.ranking.ToggleExpanded(node)) return;
  state.ranking.RebuildTreeRows();
  const std::uint64_t rankings = state.ranking.RankingsRevision();
  MarkTreeRow(state, state.ranking.SelectTreeNode(node), rankings);
}

std::optional<std::uint64_t> TreeNodeAt(const MainWindowState& state, int row) {
  if (row < 0 || static_cast<std::size_t>(row) >= state.ranking.treeRows.size()) {
    return std::nullopt;
  }
  return state.ranking.treeRows[static_cast<std::size_t>(row)].node;
}

// True when the click fell into the [+]/[-] box of an expandable row.
bool OnExpanderBox(const MainWindowState& state, const NMITEMACTIVATE& click) {
  const std::optional<std::uint64_t> node = TreeNodeAt(state, click.iItem);
  if (!node || !state.ranking.IsExpandable(*node)) return false;
  const TreeCellLayout cell =
      LayOutTreeCell(ListCellRect(state.controls.foldersList, click.iItem, 0),
                     state.ranking.treeRows[static_cast<std::size_t>(click.iItem)].depth, true,
                     state.dpi);
  return cell.expanderBox.Contains(click.ptAction.x, click.ptAction.y);
}

void OnFoldersClick(MainWindowState& state, const NMITEMACTIVATE& click) {
  if (OnExpanderBox(state, click)) {
    ToggleNode(state, state.ranking.treeRows[static_cast<std::size_t>(click.iItem)].node);
  }
}

void OnFoldersDoubleClick(MainWindowState& state, const NMITEMACTIVATE& click) {
  // A double click on the box was a click first, which toggled already; a
  // second toggle would undo it with a flicker.
  if (OnExpanderBox(state, click)) return;
  const std::optional<std::uint64_t> node = TreeNodeAt(state, click.iItem);
  if (node) ToggleNode(state, *node);
}

void RetextChangeColumns(MainWindowState& state) {
  for (const RankingListKind kind : kAllLists) SetColumnCaption(state, kind, ChangeColumnOf(kind));
}

void SetChangeOrder(MainWindowState& state, app::ChangeOrder order) {
  const std::uint64_t rankings = state.ranking.RankingsRevision();
  const std::optional<std::size_t> row = state.ranking.SetChangeOrder(order);
  RetextChangeColumns(state);
  MarkTreeRow(state, row, rankings);
  for (const RankingListKind kind : kAllLists) {
    ::InvalidateRect(ListWindow(state, kind), nullptr, TRUE);
  }
}

void FlipShareOrder(MainWindowState& state) {
  const std::uint64_t rankings = state.ranking.RankingsRevision();
  const std::optional<std::size_t> row = state.ranking.FlipShareOrder();
  SetColumnCaption(state, RankingListKind::Folders, ShareColumnOf(RankingListKind::Folders));
  MarkTreeRow(state, row, rankings);
}

// A share header orders by size again after an order by change; the
// Folders list's flips the order by size otherwise. A Change header
// orders by growth, then by shrink, and back.
void OnColumnClick(MainWindowState& state, RankingListKind kind, int column) {
  const app::ChangeOrder order = state.ranking.Order();
  if (column == ChangeColumnOf(kind) && state.ranking.Comparison() != nullptr) {
    SetChangeOrder(state, order == app::ChangeOrder::GrowthFirst ? app::ChangeOrder::ShrinkFirst
                                                                 : app::ChangeOrder::GrowthFirst);
  } else if (column == ShareColumnOf(kind) && order != app::ChangeOrder::None) {
    SetChangeOrder(state, app::ChangeOrder::None);
  } else if (column == ShareColumnOf(kind) && kind == RankingListKind::Folders) {
    FlipShareOrder(state);
  }
}

bool SelectionNewlySet(const NMLISTVIEW& change) {
  return (change.uChanged & LVIF_STATE) != 0 && (change.uNewState & LVIS_SELECTED) != 0 &&
         (change.uOldState & LVIS_SELECTED) == 0;
}

void OnItemChanged(MainWindowState& state, RankingListKind kind, const NMLISTVIEW& change) {
  if (state.changingSelection || (change.uChanged & LVIF_STATE) == 0) return;
  if (kind == RankingListKind::Folders) {
    const std::optional<std::uint64_t> node = TreeNodeAt(state, change.iItem);
    // A deleted file or folder has no node to rank: the lists stay.
    if (SelectionNewlySet(change) && node && *node != core::kNoNode) {
      const std::uint64_t rankings = state.ranking.RankingsRevision();
      state.ranking.SelectNode(*node);
      if (state.ranking.RankingsRevision() != rankings) ShowRankings(state);
    }
    return;
  }
  const app::RankingList list =
      kind == RankingListKind::Files ? app::RankingList::Files : app::RankingList::Subfolders;
  if (SelectionNewlySet(change)) {
    state.ranking.activeRankingList = list;
  } else if (state.ranking.activeRankingList == list && !HasSelection(ListWindow(state, kind))) {
    state.ranking.activeRankingList = app::RankingList::None;
  }
  UpdateOpenButton(state);
}

void CopyText(const std::u16string& text, NMLVDISPINFOW& info) {
  if (info.item.pszText == nullptr || info.item.cchTextMax <= 0) return;
  const std::size_t room = static_cast<std::size_t>(info.item.cchTextMax) - 1;
  const std::size_t length = std::min(text.size(), room);
  std::copy_n(reinterpret_cast<const wchar_t*>(text.data()), length, info.item.pszText);
  info.item.pszText[length] = L'\0';
}

void OnGetDisplayInfo(MainWindowState& state, RankingListKind kind, NMLVDISPINFOW& info) {
  if ((info.item.mask & LVIF_TEXT) == 0 || info.item.iItem < 0) return;
  CopyText(RankingCellText(state, kind, info.item.iItem, info.item.iSubItem), info);
}

std::uint64_t RankedNode(const MainWindowState& state, app::RankingList list, int row) {
  const auto& rows =
      list == app::RankingList::Files ? state.ranking.fileRows : state.ranking.subfolderRows;
  if (row < 0 || static_cast<std::size_t>(row) >= rows.size()) return core::kNoNode;
  return rows[static_cast<std::size_t>(row)].node;
}

}  // namespace

HWND ListWindow(const MainWindowState& state, RankingListKind kind) {
  switch (kind) {
    case RankingListKind::Folders:
      return state.controls.foldersList;
    case RankingListKind::Files:
      return state.controls.filesList;
    case RankingListKind::Subfolders:
      return state.controls.subfoldersList;
  }
  return nullptr;
}

std::optional<RankingListKind> ListKindOf(const MainWindowState& state, HWND window) {
  for (const RankingListKind kind : kAllLists) {
    if (window != nullptr && ListWindow(state, kind) == window) return kind;
  }
  return std::nullopt;
}

namespace {

// The On disk column's marks go with the captions into each language.
void RetextSizeMarks(MainWindowState& state) {
  state.sizeMarks = {state.language.Translate("mark.names"),
                     state.language.Translate("mark.placeholder")};
  state.changeTexts = {state.language.Translate("change.added"),
                       state.language.Translate("change.deleted"),
                       state.language.Translate("change.with_files")};
}

}  // namespace

void InsertRankingColumns(MainWindowState& state) {
  RetextSizeMarks(state);
  for (const RankingListKind kind : kAllLists) {
    const auto columns = ColumnsOf(kind);
    for (std::size_t column = 0; column < columns.size(); ++column) {
      std::u16string caption = ColumnCaption(state, kind, static_cast<int>(column));
      LVCOLUMNW item{};
      item.mask = LVCF_TEXT | LVCF_WIDTH | LVCF_FMT | LVCF_SUBITEM;
      item.fmt = ColumnFormat(columns[column].alignment);
      item.cx = ColumnWidth(state, kind, column);
      item.pszText = base::WritableWide(caption);
      item.iSubItem = static_cast<int>(column);
      ::SendMessageW(ListWindow(state, kind), LVM_INSERTCOLUMNW, column,
                     reinterpret_cast<LPARAM>(&item));
    }
    PlaceChangeColumn(state, kind);
    InstallHeaderPainting(state, ListWindow(state, kind));
  }
}

void RetextRankingColumns(MainWindowState& state) {
  RetextSizeMarks(state);
  for (const RankingListKind kind : kAllLists) {
    for (std::size_t column = 0; column < ColumnsOf(kind).size(); ++column) {
      SetColumnCaption(state, kind, static_cast<int>(column));
    }
  }
}

void ResetRankingColumnWidths(MainWindowState& state) {
  for (const RankingListKind kind : kAllLists) {
    const auto columns = ColumnsOf(kind);
    for (std::size_t column = 0; column < columns.size(); ++column) {
      ::SendMessageW(ListWindow(state, kind), LVM_SETCOLUMNWIDTH, column,
                     ColumnWidth(state, kind, column));
    }
  }
}

void ClearRankingLists(MainWindowState& state) {
  // The old tree goes now rather than when the next one arrives: two trees
  // of a large volume need not share the memory, and nothing can show the
  // old one while the lists are empty. Freeing tens of millions of nodes
  // takes seconds, which the window thread does not wait for.
  ForgetFoundFiles(state);
  ForgetFileTypes(state);
  state.oldResults.Dispose(state.ranking.ReleaseResult());
  ShowRankingModel(state);
}

void ShowComparison(MainWindowState& state, app::ScanComparison comparison) {
  const std::uint64_t rankings = state.ranking.RankingsRevision();
  const std::optional<std::size_t> row = state.ranking.SetComparison(std::move(comparison));
  ShowChangeColumns(state);
  MarkTreeRow(state, row, rankings);
  for (const RankingListKind kind : kAllLists) {
    ::InvalidateRect(ListWindow(state, kind), nullptr, TRUE);
  }
}

void ShowChangeColumns(MainWindowState& state) {
  RetextChangeColumns(state);
  for (const RankingListKind kind : kAllLists) {
    const auto change = static_cast<std::size_t>(ChangeColumnOf(kind));
    ::SendMessageW(ListWindow(state, kind), LVM_SETCOLUMNWIDTH, change,
                   ColumnWidth(state, kind, change));
  }
}

void ShowRankingModel(MainWindowState& state) {
  // A hand-over that ran out of memory leaves a fresh model, largest first,
  // whichever way the user had turned the list: the caption goes with it.
  SetColumnCaption(state, RankingListKind::Folders, ShareColumnOf(RankingListKind::Folders));
  // A new result has no comparison: the Change columns go with it.
  ShowChangeColumns(state);
  ShowRowCount(state, RankingListKind::Folders);
  ShowRankings(state);
}

void UpdateOpenButton(MainWindowState& state) {
  const bool usable = !state.controller.IsScanning() &&
                      (HasSelection(state.controls.filesList) ||
                       HasSelection(state.controls.subfoldersList) || HasFoundSelection(state));
  // The focus goes to the list in the upper right, whichever is shown.
  EnableInput(state.controls.openButton, usable,
              state.find.shown ? state.controls.foundList : state.controls.filesList);
}

std::optional<LRESULT> OnRankingListNotify(MainWindowState& state, const NotifyMessage& notify) {
  const std::optional<RankingListKind> kind = ListKindOf(state, notify.from);
  if (!kind) return std::nullopt;
  switch (notify.code) {
    case LVN_GETDISPINFOW:
      OnGetDisplayInfo(state, *kind, *reinterpret_cast<NMLVDISPINFOW*>(notify.header));
      return 0;
    case NM_CUSTOMDRAW:
      return DrawRankingListItem(state, *kind, *reinterpret_cast<NMLVCUSTOMDRAW*>(notify.header));
    case LVN_ITEMCHANGED:
      OnItemChanged(state, *kind, *reinterpret_cast<const NMLISTVIEW*>(notify.header));
      return 0;
    case NM_CLICK:
      if (*kind == RankingListKind::Folders) {
        OnFoldersClick(state, *reinterpret_cast<const NMITEMACTIVATE*>(notify.header));
      }
      return 0;
    case NM_DBLCLK:
      if (*kind == RankingListKind::Folders) {
        OnFoldersDoubleClick(state, *reinterpret_cast<const NMITEMACTIVATE*>(notify.header));
      }
      return 0;
    case LVN_COLUMNCLICK:
      OnColumnClick(state, *kind, reinterpret_cast<const NMLISTVIEW*>(notify.header)->iSubItem);
      return 0;
    default:
      return std::nullopt;
  }
}

bool OnRankingContextMenu(MainWindowState& state, const ContextMenuMessage& message) {
  const std::optional<RankingListKind> kind = ListKindOf(state, message.target);
  if (!kind || *kind == RankingListKind::Folders) return false;
  const HWND list = message.target;
  POINT where = message.screenPoint;
  if (message.fromKeyboard) {
    const std::optional<int> row = SelectedRow(list);
    if (row) {
      const PixelRect cell = ListCellRect(list, *row, 0);
      where = POINT{cell.left + kKeyboardMenuOffset, cell.top + cell.height / 2};
      ::ClientToScreen(list, &where);
    }
  } else {
    LVHITTESTINFO hit{};
    hit.pt = where;
    ::ScreenToClient(list, &hit.pt);
    const int row = static_cast<int>(::SendMessageW(list, LVM_HITTEST, 0, reinterpret_cast<LPARAM>(&hit)));
    if (row < 0 || static_cast<std::size_t>(row) >= RowCount(state, *kind)) return true;
    // Selected the user's way, so the list becomes the one Open uses.
    LVITEMW clear{};
    clear.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
    ::SendMessageW(list, LVM_SETITEMSTATE, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(&clear));
    LVITEMW mark{};
    mark.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
    mark.state = LVIS_SELECTED | LVIS_FOCUSED;
    ::SendMessageW(list, LVM_SETITEMSTATE, row, reinterpret_cast<LPARAM>(&mark));
    ::SendMessageW(list, LVM_SETSELECTIONMARK, 0, row);
  }
  state.ranking.activeRankingList =
      *kind == RankingListKind::Files ? app::RankingList::Files : app::RankingList::Subfolders;
  UpdateOpenButton(state);
  if (!SelectedRow(list)) return true;
  base::UniqueMenu menu(::CreatePopupMenu());
  if (!menu) return true;
  const std::u16string open = state.language.Translate("context.open");
  ::AppendMenuW(menu.get(), MF_STRING, kContextOpenCommand, base::WideView(open));
  const int chosen = static_cast<int>(::TrackPopupMenu(
      menu.get(), TPM_RIGHTBUTTON | TPM_RETURNCMD, where.x, where.y, 0, state.window, nullptr));
  if (chosen == kContextOpenCommand) OpenSelectedRankingRow(state);
  return true;
}

void OpenSelectedRankingRow(MainWindowState& state) {
  if (state.ranking.activeRankingList != app::RankingList::Subfolders &&
      OpenSelectedFoundFile(state)) {
    return;
  }
  const app::RankingList list =
      ListUsedByOpen(state.ranking.activeRankingList, HasSelection(state.controls.filesList),
                     HasSelection(state.controls.subfoldersList));
  const HWND window =
      list == app::RankingList::Files ? state.controls.filesList : state.controls.subfoldersList;
  const std::optional<int> row =
      list == app::RankingList::None ? std::nullopt : SelectedRow(window);
  const std::uint64_t node = row ? RankedNode(state, list, *row) : core::kNoNode;
  const auto& nodes = state.ranking.Result().nodes;
  const std::u16string path = node < nodes.size() ? nodes.Path(node) : std::u16string();
  if (path.empty()) {
    ShowNotice(state, kNoticeSelectRanking);
    return;
  }
  if (!OpenInFileManager(state.window, path, nodes.IsDirectory(node))) {
    ShowNotice(state, kNoticeOpenFailed);
  }
}

}  // namespace ombrix::ui
