// The File types list in the Subfolders list's place (Settings > File
// types, Ctrl+T): the extensions below the selected folder, the largest
// first, broken down on the types' own worker (find_state.h) with only the
// latest breakdown shown. Choosing a type lists its largest files below
// the folder in the Files list's place, found on the find's worker.
// Window thread only.
#pragma once

#include <windows.h>

#include <optional>

#include "ui/window/main_window_state_win.h"
#include "ui/window/window_messages_win.h"

namespace ombrix::ui {

// Creates the (hidden) types list; Tab reaches it where the Subfolders
// list is.
void CreateTypesControls(MainWindowState& state);
// Its captions and the "(no extension)" row, in the current language.
void RetextTypesControls(MainWindowState& state);
void ResetTypeColumnWidths(MainWindowState& state);

// kFileTypesCommand: shows the types list instead of the Subfolders list,
// or the Subfolders list again.
void ToggleFileTypes(MainWindowState& state);
// What the breakdown covers changed: the selected folder, the size basis,
// a new result. Nothing is computed while the list is hidden.
void RunFileTypes(MainWindowState& state);
// Before the result the breakdown reads is released: stops the worker,
// waits for it and empties the list.
void ForgetFileTypes(MainWindowState& state);
// kTypesAnswerMessage.
void OnTypesAnswer(MainWindowState& state);

// Ctrl+T from the message loop; true when handled.
bool HandleTypesKeys(MainWindowState& state, const MSG& message);

// WM_NOTIFY from the types list; nothing when the notification is not its.
std::optional<LRESULT> OnTypesListNotify(MainWindowState& state, const NotifyMessage& notify);

}  // namespace ombrix::ui
