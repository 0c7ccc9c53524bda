// File > Compare with... and File > Compare with previous scan: the shown scan compared with a saved one, every
// row given its change since then. Reading the saved scan and comparing run
// on the window's background worker, which also frees the earlier tree;
// while they run (scanFileBusy) nothing replaces the shown result, which
// the worker reads in place.
#pragma once

#include <windows.h>

#include <string>

#include "ui/window/main_window_state_win.h"

namespace ombrix::ui {

// A finished scan is shown and nothing else is under way.
bool CanCompareScan(const MainWindowState& state);

void CompareWithScan(MainWindowState& state);
void CompareWithScanFile(MainWindowState& state, std::u16string path);
// With the newest scan of the shown root kept before the shown one was
// taken (Settings > Keep last scans); none kept is told.
void CompareWithPreviousScan(MainWindowState& state);

// WM_INITMENUPOPUP: the compare commands of `menu` usable or greyed.
void EnableCompareCommands(const MainWindowState& state, HMENU menu);

// "Compared with the scan of C:\Data, 2026-12-01 09:30 - " while a
// comparison is shown; empty otherwise.
std::u16string ComparedLinePrefix(MainWindowState& state);

}  // namespace ombrix::ui
