// The program's life: process set-up, the main window, the offer or the
// act of restarting with administrator rights, the message loop.
#pragma once

#include <windows.h>

#include "ui/window/main_window_state_win.h"

namespace ombrix::ui {

// The exit code: 0 after a normal end or an elevated restart, 1 when the
// main window could not be made.
int RunOmbrix(HINSTANCE instance, int showCommand, StartupSeams seams);

// Starts an elevated instance. False when one was started: this instance's
// window is gone and it must end. True when the launch failed or was
// declined; this instance goes on with standard rights, and nothing is
// shown.
bool RelaunchElevated(MainWindowState& state);

// The elevation settings' decision after the window is up; false when the
// process must end because an elevated instance took over.
bool ResolveStartupElevation(MainWindowState& state, bool processElevated);

}  // namespace ombrix::ui
