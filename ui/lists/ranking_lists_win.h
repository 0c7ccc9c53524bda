// The three list views over the ranking model: their columns, their rows
// (virtual lists: the control knows only how many rows there are and asks
// for the texts of the rows it shows, so a folder of 100,000 children is
// listed at once), selection, expanding and collapsing, the share order,
// the context menu and Open. Window thread only.
#pragma once

#include <windows.h>

#include <optional>

#include "app/compare/scan_comparison.h"

#include "ui/window/main_window_state_win.h"
#include "ui/lists/ranking_columns.h"
#include "ui/window/window_messages_win.h"

namespace ombrix::ui {

// Inserts every list's columns with their captions and widths.
void InsertRankingColumns(MainWindowState& state);
// Captions again in the current language (after a language change).
void RetextRankingColumns(MainWindowState& state);
// Widths back to the table's, for the current DPI.
void ResetRankingColumnWidths(MainWindowState& state);

// Empties the three lists and the model behind them (a scan starts).
void ClearRankingLists(MainWindowState& state);
// Shows the model's rows in all three lists, nothing selected (a scan
// ended, or the language changed and every text is made anew).
void ShowRankingModel(MainWindowState& state);

// A comparison with an earlier scan of the shown root: the Change columns
// shown and filled, the deleted files and folders listed, the selection
// kept.
void ShowComparison(MainWindowState& state, app::ScanComparison comparison);
// The Change columns as wide as the model's comparison needs (none: out of
// sight) and captioned for its order.
void ShowChangeColumns(MainWindowState& state);

// The settings' size basis chosen anew: the lists ranked, ordered and
// shared by it, the selection kept.
void ShowSizeBasis(MainWindowState& state);

// Open is usable when no scan runs and a right-hand list has a selection.
void UpdateOpenButton(MainWindowState& state);

// WM_NOTIFY from the lists; nothing when the notification is not theirs.
std::optional<LRESULT> OnRankingListNotify(MainWindowState& state, const NotifyMessage& notify);

// WM_CONTEXTMENU; true when it was a right-hand list's.
bool OnRankingContextMenu(MainWindowState& state, const ContextMenuMessage& message);

// Opens the selected row of the right-hand list Open uses: a folder in the
// file manager, a file selected in its folder.
void OpenSelectedRankingRow(MainWindowState& state);

// The list control for a list kind, and back.
HWND ListWindow(const MainWindowState& state, RankingListKind kind);
std::optional<RankingListKind> ListKindOf(const MainWindowState& state, HWND window);

}  // namespace ombrix::ui
