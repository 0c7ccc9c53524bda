// Settings > Keep last scans at work: each scan that finishes here is kept
// in the settings folder (app/saved/kept_scans.h) on the window's
// background worker. While it is written, scanFileBusy keeps the shown
// result as it is, as a save does; closing the window waits for the write
// in the worker's join, so a kept file is never left half-written by us.
#pragma once

#include "ui/window/main_window_state_win.h"

namespace ombrix::ui {

// After a scan made here has been handed to the lists: keeps it when the
// setting is on and the scan completed (with or without issues). A failure
// is a quiet notice in the status bar.
void KeepFinishedScan(MainWindowState& state);

}  // namespace ombrix::ui
