#include "ui/find/types_view_win.h"

#include <windows.h>

#include <commctrl.h>

#include <algorithm>
#include <string>
#include <utility>

#include "app/find/file_types.h"
#include "app/locale_queries.h"
#include "base/win/wide_string_win.h"
#include "ui/common/control_ids.h"
#include "ui/find/list_columns_win.h"
#include "ui/common/dpi_scaling.h"
#include "ui/find/find_view_win.h"
#include "ui/find/type_columns.h"
#include "ui/lists/ranking_cells_win.h"
#include "ui/lists/ranking_drawing_win.h"
#include "ui/lists/ranking_lists_win.h"
#include "ui/window/menu_bar_win.h"

namespace ombrix::ui {
namespace {

constexpr char kNoExtensionKey[] = "types.no_extension";

void ClearSelection(HWND list) {
  LVITEMW clear{};
  clear.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
  ::SendMessageW(list, LVM_SETITEMSTATE, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(&clear));
}

std::uint64_t SelectedFolder(const MainWindowState& state) {
  const core::ScanResult& result = state.ranking.Result();
  return state.ranking.selectedNode < result.nodes.size() ? state.ranking.selectedNode
                                                          : result.rootIndex;
}

void ShowTypeRows(MainWindowState& state, app::FileTypeBreakdown breakdown) {
  state.find.types = std::move(breakdown);
  ClearSelection(state.controls.typesList);
  ::SendMessageW(state.controls.typesList, LVM_SETITEMCOUNT, state.find.types.rows.size(), 0);
  ::InvalidateRect(state.controls.typesList, nullptr, TRUE);
}

void EmptyTypeRows(MainWindowState& state) { ShowTypeRows(state, {}); }

void SetTypeColumnCaption(MainWindowState& state, int column, bool insert) {
  const RankingColumn& layout = TypeColumns()[static_cast<std::size_t>(column)];
  SetListColumn(state.controls.typesList, layout, state.language.Translate(layout.captionKey), column,
                insert, state.dpi);
}

std::u16string CellText(const MainWindowState& state, int row, int column) {
  if (row < 0) return {};
  return TypeCellText(state.find.types, static_cast<std::size_t>(row), column,
                      state.settings.sizeBasis, state.language.Setting(),
                      app::SystemLocaleQueries(), state.noExtensionText);
}

void OnTypeDisplayInfo(MainWindowState& state, NMLVDISPINFOW& info) {
  if ((info.item.mask & LVIF_TEXT) == 0 || info.item.pszText == nullptr ||
      info.item.cchTextMax <= 0) {
    return;
  }
  const std::u16string text = CellText(state, info.item.iItem, info.item.iSubItem);
  const std::size_t length =
      std::min(text.size(), static_cast<std::size_t>(info.item.cchTextMax) - 1);
  std::copy_n(reinterpret_cast<const wchar_t*>(text.data()), length, info.item.pszText);
  info.item.pszText[length] = L'\0';
}

// Every cell drawn as the ranking lists draw theirs: the Share column's
// bar, the rest plain, all in the palette's colours.
LRESULT DrawTypeRow(MainWindowState& state, NMLVCUSTOMDRAW& draw) {
  switch (draw.nmcd.dwDrawStage) {
    case CDDS_PREPAINT:
      return CDRF_NOTIFYITEMDRAW;
    case CDDS_ITEMPREPAINT:
      draw.nmcd.uItemState &= ~static_cast<UINT>(CDIS_SELECTED | CDIS_FOCUS | CDIS_HOT);
      return CDRF_NOTIFYSUBITEMDRAW;
    case CDDS_ITEMPREPAINT | CDDS_SUBITEM:
      break;
    default:
      return CDRF_DODEFAULT;
  }
  const int row = static_cast<int>(draw.nmcd.dwItemSpec);
  const int column = draw.iSubItem;
  const HWND list = draw.nmcd.hdr.hwndFrom;
  const bool selected =
      (::SendMessageW(list, LVM_GETITEMSTATE, row, LVIS_SELECTED) & LVIS_SELECTED) != 0;
  const PixelRect cell = ListCellRect(list, row, column);
  const auto& rows = state.find.types.rows;
  const auto columns = TypeColumns();
  if (column == static_cast<int>(TypeColumn::Share)) {
    const double share = static_cast<std::size_t>(row) < rows.size()
                             ? app::ShareOfType(state.find.types,
                                                rows[static_cast<std::size_t>(row)],
                                                state.settings.sizeBasis)
                             : 0.0;
    DrawShareBarCell(state, draw.nmcd.hdc, cell, share, CellText(state, row, column), selected);
  } else if (column >= 0 && static_cast<std::size_t>(column) < columns.size()) {
    DrawPlainCell(state, draw.nmcd.hdc, cell, CellText(state, row, column),
                  columns[static_cast<std::size_t>(column)].alignment, selected);
  }
  return CDRF_SKIPDEFAULT;
}

// A type chosen lists its files in the Files list's place; the Files
// list lets go of its selection there (ShowFoundRows).
void OnTypeItemChanged(MainWindowState& state, const NMLISTVIEW& change) {
  const bool newlySelected = (change.uChanged & LVIF_STATE) != 0 &&
                             (change.uNewState & LVIS_SELECTED) != 0 &&
                             (change.uOldState & LVIS_SELECTED) == 0;
  if (!newlySelected || change.iItem < 0) return;
  const auto row = static_cast<std::size_t>(change.iItem);
  if (row >= state.find.types.rows.size()) return;
  FindFilesOfType(state, state.find.types.rows[row].extension);
}

}  // namespace

void CreateTypesControls(MainWindowState& state) {
  MainWindowControls& c = state.controls;
  c.typesList = ::CreateWindowExW(
      WS_EX_CLIENTEDGE, WC_LISTVIEWW, L"",
      WS_CHILD | WS_TABSTOP | LVS_REPORT | LVS_SINGLESEL | LVS_OWNERDATA | LVS_SHOWSELALWAYS, 0,
      0, 0, 0, state.window, reinterpret_cast<HMENU>(static_cast<INT_PTR>(kTypesListId)),
      state.instance, nullptr);
  constexpr DWORD kExStyles = LVS_EX_FULLROWSELECT | LVS_EX_GRIDLINES | LVS_EX_DOUBLEBUFFER;
  ::SendMessageW(c.typesList, LVM_SETEXTENDEDLISTVIEWSTYLE, kExStyles, kExStyles);
  // Tab order is the children's order: the types list where the
  // Subfolders list is.
  ::SetWindowPos(c.typesList, c.subfoldersList, 0, 0, 0, 0,
                 SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
  for (int column = 0; column < static_cast<int>(TypeColumns().size()); ++column) {
    SetTypeColumnCaption(state, column, true);
  }
  InstallHeaderPainting(state, c.typesList);
  RetextTypesControls(state);
}

void RetextTypesControls(MainWindowState& state) {
  state.noExtensionText = state.language.Translate(kNoExtensionKey);
  for (int column = 0; column < static_cast<int>(TypeColumns().size()); ++column) {
    SetTypeColumnCaption(state, column, false);
  }
  ::InvalidateRect(state.controls.typesList, nullptr, TRUE);
}

void ResetTypeColumnWidths(MainWindowState& state) {
  ResetListColumnWidths(state.controls.typesList, TypeColumns(), state.dpi);
}

void ToggleFileTypes(MainWindowState& state) {
  const bool shown = !state.find.typesShown;
  const HWND going = shown ? state.controls.subfoldersList : state.controls.typesList;
  const HWND coming = shown ? state.controls.typesList : state.controls.subfoldersList;
  state.find.typesShown = shown;
  // A folder selected in the hidden list is not what Open is to open.
  if (shown) ClearSelection(state.controls.subfoldersList);
  const bool hadFocus = ::GetFocus() == going;
  ::ShowWindow(coming, SW_SHOWNA);
  if (hadFocus) ::SetFocus(coming);
  ::ShowWindow(going, SW_HIDE);
  InstallMenuBar(state);
  if (shown) {
    RunFileTypes(state);
  } else {
    state.find.typesRunner.CancelAndWait();
    EmptyTypeRows(state);
    // The found list goes back to what the find box asks (the Files list
    // when it is empty).
    RunFind(state);
  }
  UpdateOpenButton(state);
}

void RunFileTypes(MainWindowState& state) {
  // Rows of another folder are not left standing while this one's come.
  EmptyTypeRows(state);
  const core::ScanResult& result = state.ranking.Result();
  if (!state.find.typesShown || result.rootIndex >= result.nodes.size()) {
    state.find.typesRunner.CancelAndWait();
    return;
  }
  const std::uint64_t below = SelectedFolder(state);
  const core::SizeBasis basis = state.settings.sizeBasis;
  MainWindowState* window = &state;
  state.find.typesRunner.Ask(
      [window, &result, below, basis](std::stop_token stop) -> std::function<void()> {
        std::optional<app::FileTypeBreakdown> breakdown =
            app::BreakDownFileTypes(result, below, basis, stop);
        if (!breakdown) return {};
        return [window, types = std::move(*breakdown)] { ShowTypeRows(*window, types); };
      });
}

void ForgetFileTypes(MainWindowState& state) {
  state.find.typesRunner.CancelAndWait();
  EmptyTypeRows(state);
}

void OnTypesAnswer(MainWindowState& state) { state.find.typesRunner.Deliver(); }

bool HandleTypesKeys(MainWindowState& state, const MSG& message) {
  if (message.message != WM_KEYDOWN || message.wParam != 'T') return false;
  if ((::GetKeyState(VK_CONTROL) & 0x8000) == 0 || (::GetKeyState(VK_MENU) & 0x8000) != 0) {
    return false;
  }
  ToggleFileTypes(state);
  return true;
}

std::optional<LRESULT> OnTypesListNotify(MainWindowState& state, const NotifyMessage& notify) {
  if (notify.from == nullptr || notify.from != state.controls.typesList) return std::nullopt;
  switch (notify.code) {
    case LVN_GETDISPINFOW:
      OnTypeDisplayInfo(state, *reinterpret_cast<NMLVDISPINFOW*>(notify.header));
      return 0;
    case NM_CUSTOMDRAW:
      return DrawTypeRow(state, *reinterpret_cast<NMLVCUSTOMDRAW*>(notify.header));
    case LVN_ITEMCHANGED:
      OnTypeItemChanged(state, *reinterpret_cast<const NMLISTVIEW*>(notify.header));
      return 0;
    default:
      return std::nullopt;
  }
}

}  // namespace ombrix::ui
