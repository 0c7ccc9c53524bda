// The main window's commands from its menus and buttons (WM_COMMAND).
#pragma once

#include "ui/main_window_state_win.h"
#include "ui/window_messages_win.h"

namespace ombrix::ui {

void OnMainWindowCommand(MainWindowState& state, const CommandMessage& command);

}  // namespace ombrix::ui
