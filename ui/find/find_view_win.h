// The find box above the Folders list and the found files it lists in the
// Files list's place: the query is read from the box as it is typed, run
// on the find's worker over the result in memory (find_state.h), and only
// the latest answer is shown. An empty box brings the Files list back;
// Ctrl+F puts the keyboard in the box and Escape there empties it. Window
// thread only.
#pragma once

#include <windows.h>

#include <optional>
#include <string>

#include "ui/window/main_window_state_win.h"
#include "ui/window/window_messages_win.h"

namespace ombrix::ui {

// Creates the box and the (hidden) found list; Tab reaches the box just
// before the Folders list and the found list where the Files list is.
void CreateFindControls(MainWindowState& state);
// The cue in the empty box and the found list's captions, in the current
// language.
void RetextFindControls(MainWindowState& state);
void ResetFoundColumnWidths(MainWindowState& state);

// The box's text changed (EN_CHANGE), or what it searches did: the
// selected folder, the size basis, a new result.
void RunFind(MainWindowState& state);
// Before the result the find reads is released: stops the worker, waits
// for it and hides the found list (the box keeps its text).
void ForgetFoundFiles(MainWindowState& state);
// The 30 largest files of one type below the selected folder in the
// found list (a type chosen in the File types list), on the find's worker.
void FindFilesOfType(MainWindowState& state, std::u16string extension);
// kFindAnswerMessage.
void OnFindAnswer(MainWindowState& state);

// Ctrl+F and Escape in the box, from the message loop; true when handled.
bool HandleFindKeys(MainWindowState& state, const MSG& message);

// The find box's colours (WM_CTLCOLOREDIT); nothing for another edit.
std::optional<LRESULT> OnFindBoxColours(MainWindowState& state, HDC dc, HWND edit);

// WM_NOTIFY from the found list; nothing when the notification is not its.
std::optional<LRESULT> OnFoundListNotify(MainWindowState& state, const NotifyMessage& notify);

// True when the found list is shown and a row of it is selected.
bool HasFoundSelection(const MainWindowState& state);
// Opens the selected found file in its folder; false when none is.
bool OpenSelectedFoundFile(MainWindowState& state);

}  // namespace ombrix::ui
