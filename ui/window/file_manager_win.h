// Opening a ranking row in the system's file manager: a folder is opened
// with the shell's "open" verb, a file is shown selected in its folder by
// Explorer. Explorer is run by its full path under the Windows folder: a
// bare "explorer.exe" is looked up in the current and the program's own
// folders first, so a file planted beside an elevated Ombrix would run.
#pragma once

#include <windows.h>

#include <string>

namespace ombrix::ui {

// "<Windows folder>\explorer.exe", or empty when the Windows folder is
// unknown (then nothing is started).
std::u16string ExplorerPath();

// Paths longer than MAX_PATH go in extended-length form. False when the
// shell reports a failure (ShellExecuteW's result of 32 or less).
bool OpenInFileManager(HWND owner, const std::u16string& path, bool isFolder);

}  // namespace ombrix::ui
