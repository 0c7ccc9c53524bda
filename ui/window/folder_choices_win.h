// How the user chooses the folder to scan: the Folder button's picker, an
// entry of File > Recent folders, a folder dropped on the window. Whatever
// must be asked of the file system about those folders (do they exist, is
// their drive there, which spellings name the same folder) is asked on the
// background worker; the window thread only uses the answers.
#pragma once

#include <cstddef>

#include "ui/window/main_window_state_win.h"
#include "ui/window/window_messages_win.h"

namespace ombrix::ui {

void PickFolder(MainWindowState& state);
void ChooseRecentFolder(MainWindowState& state, std::size_t position);
void OnDropFiles(MainWindowState& state, const DropFilesMessage& drop);

}  // namespace ombrix::ui
