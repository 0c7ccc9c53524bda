// File > Open scan..., File > Save scan... and scan files dropped on the
// window. Reading and decoding, encoding and writing run on the window's
// background worker and answer through its mailbox. While one runs
// (scanFileBusy) no scan and no other scan file starts, so the result a
// save reads stays as it is, and a file that cannot be opened leaves the
// lists as they were.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

#include "ui/window/main_window_state_win.h"

namespace ombrix::ui {

// A scan's time (UTC) on the clock the window shows; 0, unknown, stays 0.
std::uint64_t LocalFileTime(std::uint64_t fileTime);

// A finished scan is shown and nothing else is under way.
bool CanSaveScan(const MainWindowState& state);
bool CanOpenScan(const MainWindowState& state);

void SaveScan(MainWindowState& state);
void OpenScan(MainWindowState& state);
void OpenScanFile(MainWindowState& state, std::u16string path);
// Opens the first dropped file whose name says it is a scan; false when
// none does.
bool OpenDroppedScanFile(MainWindowState& state, const std::vector<std::u16string>& dropped);

// WM_INITMENUPOPUP: the scan file commands of `menu` usable or greyed.
void EnableScanFileCommands(const MainWindowState& state, HMENU menu);

// The status line of a scan opened from a file: its root and date, then
// the completion line.
std::u16string OpenedScanLine(MainWindowState& state);

}  // namespace ombrix::ui
