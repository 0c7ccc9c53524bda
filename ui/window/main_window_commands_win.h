// The main window's commands from its menus and buttons (WM_COMMAND), and
// the other inputs that start or end something: the progress timer, the
// scan-finished message, device changes and the background worker's
// answers. Choosing a folder is folder_choices_win.h's.
#pragma once

#include "ui/window/main_window_state_win.h"
#include "ui/window/window_messages_win.h"

namespace ombrix::ui {

// The scan progress timer (WM_TIMER id) and its period.
inline constexpr UINT_PTR kProgressTimer = 1;
inline constexpr UINT kProgressTimerPeriodMs = 250;

void OnMainWindowCommand(MainWindowState& state, const CommandMessage& command);

// The selector's item for the chosen folder, when there is one.
inline constexpr int kFolderSelectorIndex = 1;

// Resets the selector's items and selects its default item.
void FillSelector(MainWindowState& state);
void SelectSelectorItem(const MainWindowState& state, int index);
// The same after a language change, keeping the item the user had chosen.
void FillSelectorKeepingChoice(MainWindowState& state);

void OnProgressTimer(MainWindowState& state, const TimerMessage& timer);
// WM_APP + 1: the scan thread has left its result in the controller.
void OnScanFinished(MainWindowState& state);
// A scan file is read or written no more (scanFileBusy ends): a scan asked
// for meanwhile starts now.
void EndScanFileWork(MainWindowState& state);
// Shows a finished result, scanned here or opened from a file, in the lists
// and the status bar.
void ShowFinishedResult(MainWindowState& state, core::ScanResult result, bool fromFile);
void OnDeviceChange(MainWindowState& state, const DeviceChangeMessage& change);
// kBackgroundAnswersMessage: the worker has left answers in the mailbox.
void OnBackgroundAnswers(MainWindowState& state);

}  // namespace ombrix::ui
