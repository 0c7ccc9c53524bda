// The main window's menu bar, made from the menu model (menu_bar_model.h).
#pragma once

#include <windows.h>

#include "ui/window/main_window_state_win.h"

namespace ombrix::ui {

// Builds the bar for the current language and settings and puts it on the
// window in place of the old one, which is destroyed.
void InstallMenuBar(MainWindowState& state);

// The File > Recent folders submenu anew from the settings' list.
void RebuildRecentFoldersMenu(MainWindowState& state);

}  // namespace ombrix::ui
