#include "ui/find/find_view_win.h"

#include <windows.h>

#include <commctrl.h>

#include <algorithm>
#include <string>
#include <utility>

#include "app/find/find_files.h"
#include "app/find/find_query.h"
#include "app/find/file_types.h"
#include "base/win/wide_string_win.h"
#include "ui/common/control_ids.h"
#include "ui/common/local_file_time_win.h"
#include "ui/common/dpi_scaling.h"
#include "ui/find/found_columns.h"
#include "ui/find/list_columns_win.h"
#include "ui/lists/ranking_drawing_win.h"
#include "ui/lists/ranking_lists_win.h"
#include "ui/window/file_manager_win.h"
#include "ui/window/status_bar_win.h"

namespace ombrix::ui {
namespace {

// The found list shows this many of the largest matches; the rest are
// only counted.
constexpr std::uint64_t kFoundRowLimit = 1000;
// A type's files are listed as many as the Files list lists of a folder.
constexpr std::uint64_t kFilesOfTypeRowLimit = 30;
constexpr char kNoticeFindNotUnderstood[] = "status.find_not_understood";

std::u16string FindBoxText(const MainWindowState& state) {
  const HWND box = state.controls.findBox;
  std::u16string text(static_cast<std::size_t>(::GetWindowTextLengthW(box)) + 1, u'\0');
  text.resize(static_cast<std::size_t>(
      ::GetWindowTextW(box, base::WritableWide(text), static_cast<int>(text.size()))));
  return text;
}

bool IsBlank(const std::u16string& text) {
  return std::all_of(text.begin(), text.end(), [](char16_t c) { return c == u' ' || c == u'\t'; });
}

// The day the user typed begins at midnight on the clock the window shows.
std::uint64_t LocalMidnightAsUtc(const app::CalendarDate& date) {
  return UtcFromLocalFileTime(app::FileTimeAtUtcMidnight(date));
}

void ClearSelection(HWND list) {
  LVITEMW clear{};
  clear.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
  ::SendMessageW(list, LVM_SETITEMSTATE, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(&clear));
}

// The found list or the Files list in the upper right; the keyboard stays
// in that place when it was in the list going away.
void ShowFoundList(MainWindowState& state, bool shown) {
  const HWND going = shown ? state.controls.filesList : state.controls.foundList;
  const HWND coming = shown ? state.controls.foundList : state.controls.filesList;
  state.find.shown = shown;
  // A file selected in the hidden list is not what Open is to open.
  if (shown) ClearSelection(state.controls.filesList);
  const bool hadFocus = ::GetFocus() == going;
  ::ShowWindow(coming, SW_SHOWNA);
  if (hadFocus) ::SetFocus(coming);
  ::ShowWindow(going, SW_HIDE);
  UpdateOpenButton(state);
}

void ShowFoundRows(MainWindowState& state, app::FileMatches matches) {
  state.find.found = std::move(matches);
  ClearSelection(state.controls.foundList);
  ::SendMessageW(state.controls.foundList, LVM_SETITEMCOUNT, state.find.found.largest.size(), 0);
  ::InvalidateRect(state.controls.foundList, nullptr, TRUE);
  if (state.find.shown) {
    UpdateOpenButton(state);
  } else {
    ShowFoundList(state, true);
  }
}

void HideFoundFiles(MainWindowState& state) {
  state.find.found = {};
  ClearSelection(state.controls.foundList);
  ::SendMessageW(state.controls.foundList, LVM_SETITEMCOUNT, 0, 0);
  if (state.find.shown) ShowFoundList(state, false);
}

void SetFoundColumnCaption(MainWindowState& state, int column, bool insert) {
  const RankingColumn& layout = FoundColumns()[static_cast<std::size_t>(column)];
  SetListColumn(state.controls.foundList, layout, state.language.Translate(layout.captionKey), column,
                insert, state.dpi);
}

std::optional<std::uint64_t> FoundNodeAt(const MainWindowState& state, int row) {
  const auto& largest = state.find.found.largest;
  if (row < 0 || static_cast<std::size_t>(row) >= largest.size()) return std::nullopt;
  return largest[static_cast<std::size_t>(row)];
}

std::optional<int> SelectedFoundRow(const MainWindowState& state) {
  const int row = static_cast<int>(::SendMessageW(
      state.controls.foundList, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_SELECTED));
  if (row < 0) return std::nullopt;
  return row;
}

void OnFoundDisplayInfo(MainWindowState& state, NMLVDISPINFOW& info) {
  if ((info.item.mask & LVIF_TEXT) == 0 || info.item.pszText == nullptr ||
      info.item.cchTextMax <= 0) {
    return;
  }
  const std::optional<std::uint64_t> node = FoundNodeAt(state, info.item.iItem);
  const std::u16string text =
      node ? FoundCellText(state.ranking.Result().nodes, *node, info.item.iSubItem,
                           state.language.Setting(), app::SystemLocaleQueries(), state.sizeMarks,
                           LocalFromUtcFileTime)
           : std::u16string();
  const std::size_t length =
      std::min(text.size(), static_cast<std::size_t>(info.item.cchTextMax) - 1);
  std::copy_n(reinterpret_cast<const wchar_t*>(text.data()), length, info.item.pszText);
  info.item.pszText[length] = L'\0';
}

// The rows in the palette's colours, a selected one in its selection
// colours, as the ranking lists draw theirs.
LRESULT DrawFoundRow(const MainWindowState& state, NMLVCUSTOMDRAW& draw) {
  if (draw.nmcd.dwDrawStage == CDDS_PREPAINT) return CDRF_NOTIFYITEMDRAW;
  if (draw.nmcd.dwDrawStage != CDDS_ITEMPREPAINT) return CDRF_DODEFAULT;
  const bool selected = (::SendMessageW(draw.nmcd.hdr.hwndFrom, LVM_GETITEMSTATE,
                                        draw.nmcd.dwItemSpec, LVIS_SELECTED) &
                         LVIS_SELECTED) != 0;
  draw.nmcd.uItemState &= ~static_cast<UINT>(CDIS_SELECTED | CDIS_FOCUS | CDIS_HOT);
  draw.clrText = selected ? state.palette.selectedText : state.palette.text;
  draw.clrTextBk = selected ? state.palette.selectedBackground : state.palette.cellBackground;
  return CDRF_NEWFONT;
}

// One found row selected makes the found list the one Open uses: the
// Subfolders list lets go of its selection.
void OnFoundItemChanged(MainWindowState& state, const NMLISTVIEW& change) {
  const bool newlySelected = (change.uChanged & LVIF_STATE) != 0 &&
                             (change.uNewState & LVIS_SELECTED) != 0 &&
                             (change.uOldState & LVIS_SELECTED) == 0;
  if (newlySelected) ClearSelection(state.controls.subfoldersList);
  UpdateOpenButton(state);
}

}  // namespace

void CreateFindControls(MainWindowState& state) {
  MainWindowControls& c = state.controls;
  c.findBox = ::CreateWindowExW(WS_EX_CLIENTEDGE, WC_EDITW, L"",
                                WS_CHILD | WS_VISIBLE | WS_TABSTOP | ES_AUTOHSCROLL, 0, 0, 0, 0,
                                state.window, reinterpret_cast<HMENU>(static_cast<INT_PTR>(kFindBoxId)), state.instance,
                                nullptr);
  c.foundList = ::CreateWindowExW(
      WS_EX_CLIENTEDGE, WC_LISTVIEWW, L"",
      WS_CHILD | WS_TABSTOP | LVS_REPORT | LVS_SINGLESEL | LVS_OWNERDATA | LVS_SHOWSELALWAYS, 0,
      0, 0, 0, state.window, reinterpret_cast<HMENU>(static_cast<INT_PTR>(kFoundListId)), state.instance, nullptr);
  constexpr DWORD kExStyles = LVS_EX_FULLROWSELECT | LVS_EX_GRIDLINES | LVS_EX_DOUBLEBUFFER;
  ::SendMessageW(c.foundList, LVM_SETEXTENDEDLISTVIEWSTYLE, kExStyles, kExStyles);
  // Tab order is the children's order: the box before the Folders list,
  // the found list in the Files list's place.
  ::SetWindowPos(c.findBox, c.openButton, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
  ::SetWindowPos(c.foundList, c.filesList, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
  for (int column = 0; column < static_cast<int>(FoundColumns().size()); ++column) {
    SetFoundColumnCaption(state, column, true);
  }
  InstallHeaderPainting(state, c.foundList);
  RetextFindControls(state);
}

void RetextFindControls(MainWindowState& state) {
  const std::u16string cue = state.language.Translate("find.cue");
  ::SendMessageW(state.controls.findBox, EM_SETCUEBANNER, TRUE,
                 reinterpret_cast<LPARAM>(base::WideView(cue)));
  for (int column = 0; column < static_cast<int>(FoundColumns().size()); ++column) {
    SetFoundColumnCaption(state, column, false);
  }
  ::InvalidateRect(state.controls.foundList, nullptr, TRUE);
}

void ResetFoundColumnWidths(MainWindowState& state) {
  ResetListColumnWidths(state.controls.foundList, FoundColumns(), state.dpi);
}

void RunFind(MainWindowState& state) {
  const std::u16string text = FindBoxText(state);
  if (IsBlank(text)) {
    state.find.runner.CancelAndWait();
    HideFoundFiles(state);
    if (state.statusNotice == kNoticeFindNotUnderstood) ShowNotice(state, kNoticeReady);
    return;
  }
  const app::ParsedFindText parsed = app::ParseFindText(text);
  if (!parsed.query) {
    // The list keeps the last answer until the text means something again.
    ShowNotice(state, kNoticeFindNotUnderstood);
    return;
  }
  if (state.statusNotice == kNoticeFindNotUnderstood) ShowNotice(state, kNoticeReady);
  const core::ScanResult& result = state.ranking.Result();
  if (result.rootIndex >= result.nodes.size()) {
    HideFoundFiles(state);
    return;
  }
  app::FindCriteria criteria;
  criteria.pattern = parsed.query->pattern;
  criteria.minimumSize = parsed.query->minimumSize;
  if (parsed.query->modifiedBefore) {
    criteria.writtenBefore = LocalMidnightAsUtc(*parsed.query->modifiedBefore);
  }
  const std::uint64_t below =
      state.ranking.selectedNode < result.nodes.size() ? state.ranking.selectedNode
                                                       : result.rootIndex;
  const core::SizeBasis basis = state.settings.sizeBasis;
  MainWindowState* window = &state;
  state.find.runner.Ask([window, &result, below, criteria = std::move(criteria),
                         basis](std::stop_token stop) -> std::function<void()> {
    std::optional<app::FileMatches> matches =
        app::FindFiles(result, below, criteria, basis, kFoundRowLimit, stop);
    if (!matches) return {};
    return [window, found = std::move(*matches)] { ShowFoundRows(*window, found); };
  });
}

void FindFilesOfType(MainWindowState& state, std::u16string extension) {
  const core::ScanResult& result = state.ranking.Result();
  if (result.rootIndex >= result.nodes.size()) return;
  const std::uint64_t below =
      state.ranking.selectedNode < result.nodes.size() ? state.ranking.selectedNode
                                                       : result.rootIndex;
  const core::SizeBasis basis = state.settings.sizeBasis;
  MainWindowState* window = &state;
  state.find.runner.Ask([window, &result, below, extension = std::move(extension),
                         basis](std::stop_token stop) -> std::function<void()> {
    std::optional<app::FileMatches> matches = app::LargestFilesOfType(
        result, below, extension, basis, kFilesOfTypeRowLimit, stop);
    if (!matches) return {};
    return [window, found = std::move(*matches)] { ShowFoundRows(*window, found); };
  });
}

void ForgetFoundFiles(MainWindowState& state) {
  state.find.runner.CancelAndWait();
  HideFoundFiles(state);
}

void OnFindAnswer(MainWindowState& state) { state.find.runner.Deliver(); }

bool HandleFindKeys(MainWindowState& state, const MSG& message) {
  if (message.message != WM_KEYDOWN) return false;
  if (message.wParam == 'F' && (::GetKeyState(VK_CONTROL) & 0x8000) != 0 &&
      (::GetKeyState(VK_MENU) & 0x8000) == 0) {
    ::SetFocus(state.controls.findBox);
    ::SendMessageW(state.controls.findBox, EM_SETSEL, 0, -1);
    return true;
  }
  if (message.wParam == VK_ESCAPE && message.hwnd == state.controls.findBox) {
    ::SetWindowTextW(state.controls.findBox, L"");
    return true;
  }
  return false;
}

std::optional<LRESULT> OnFindBoxColours(MainWindowState& state, HDC dc, HWND edit) {
  if (edit != state.controls.findBox) return std::nullopt;
  ::SetTextColor(dc, state.palette.text);
  ::SetBkColor(dc, state.palette.cellBackground);
  ::SetDCBrushColor(dc, state.palette.cellBackground);
  return reinterpret_cast<LRESULT>(::GetStockObject(DC_BRUSH));
}

std::optional<LRESULT> OnFoundListNotify(MainWindowState& state, const NotifyMessage& notify) {
  if (notify.from == nullptr || notify.from != state.controls.foundList) return std::nullopt;
  switch (notify.code) {
    case LVN_GETDISPINFOW:
      OnFoundDisplayInfo(state, *reinterpret_cast<NMLVDISPINFOW*>(notify.header));
      return 0;
    case NM_CUSTOMDRAW:
      return DrawFoundRow(state, *reinterpret_cast<NMLVCUSTOMDRAW*>(notify.header));
    case LVN_ITEMCHANGED:
      OnFoundItemChanged(state, *reinterpret_cast<const NMLISTVIEW*>(notify.header));
      return 0;
    case NM_DBLCLK:
      OpenSelectedFoundFile(state);
      return 0;
    default:
      return std::nullopt;
  }
}

bool HasFoundSelection(const MainWindowState& state) {
  return state.find.shown && SelectedFoundRow(state).has_value();
}

bool OpenSelectedFoundFile(MainWindowState& state) {
  if (!state.find.shown) return false;
  const std::optional<int> row = SelectedFoundRow(state);
  const std::optional<std::uint64_t> node = row ? FoundNodeAt(state, *row) : std::nullopt;
  const auto& nodes = state.ranking.Result().nodes;
  if (!node || *node >= nodes.size()) return false;
  if (!OpenInFileManager(state.window, nodes.Path(*node), false)) {
    ShowNotice(state, kNoticeOpenFailed);
  }
  return true;
}

}  // namespace ombrix::ui
