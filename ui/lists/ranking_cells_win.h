// One cell of a ranking list: where it is in the list's client pixels and
// what text it shows, made from the model when the list asks.
#pragma once

#include <windows.h>

#include <string>

#include "ui/window/main_window_state_win.h"
#include "ui/common/pixel_rect.h"
#include "ui/lists/ranking_columns.h"

namespace ombrix::ui {

PixelRect ListCellRect(HWND list, int row, int column);

std::u16string RankingCellText(const MainWindowState& state, RankingListKind kind, int row,
                               int column);

}  // namespace ombrix::ui
