// The owner-drawn parts of the three lists (NM_CUSTOMDRAW): the share bars,
// the Folders list's tree cells (indentation, expander box, folder and file
// icons, system marker, name) and the column headers, all in the theme's
// colours. Window thread only.
#pragma once

#include <windows.h>

#include <commctrl.h>

#include "ui/window/main_window_state_win.h"
#include "ui/lists/ranking_columns.h"

namespace ombrix::ui {

// The answer to one NM_CUSTOMDRAW of a list's rows.
LRESULT DrawRankingListItem(MainWindowState& state, RankingListKind kind, NMLVCUSTOMDRAW& draw);

// Headers tell their own parent, the list, about their drawing; the list is
// subclassed so those notifications reach the drawing here.
void InstallHeaderPainting(MainWindowState& state, HWND list);

}  // namespace ombrix::ui
