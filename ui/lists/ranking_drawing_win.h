// The owner-drawn parts of the three lists (NM_CUSTOMDRAW): the share bars,
// the Folders list's tree cells (indentation, expander box, folder and file
// icons, system marker, name) and the column headers, all in the theme's
// colours. Window thread only.
#pragma once

#include <windows.h>

#include <commctrl.h>

#include <string>

#include "ui/common/pixel_rect.h"

#include "ui/window/main_window_state_win.h"
#include "ui/lists/ranking_columns.h"

namespace ombrix::ui {

// The answer to one NM_CUSTOMDRAW of a list's rows.
LRESULT DrawRankingListItem(MainWindowState& state, RankingListKind kind, NMLVCUSTOMDRAW& draw);

// One share cell (its bar filled to `share` percent and its text) and one
// plain text cell in the palette's colours, for every list that draws its
// cells itself.
void DrawShareBarCell(const MainWindowState& state, HDC dc, const PixelRect& cell, double share,
                      const std::u16string& text, bool selected);
void DrawPlainCell(const MainWindowState& state, HDC dc, const PixelRect& cell,
                   const std::u16string& text, ColumnAlignment alignment, bool selected);

// Headers tell their own parent, the list, about their drawing; the list is
// subclassed so those notifications reach the drawing here.
void InstallHeaderPainting(MainWindowState& state, HWND list);

}  // namespace ombrix::ui
