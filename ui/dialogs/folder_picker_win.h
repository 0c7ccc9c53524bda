// The system's folder picker (the common file-open dialog in folder mode).
#pragma once

#include <windows.h>

#include <string>

namespace ombrix::ui {

// Modal over `owner`. Opens in `startFolder` when it names a folder the
// shell can parse. Returns the chosen folder's file-system path, or an
// empty string when the user cancels or anything fails.
std::u16string ShowFolderPicker(HWND owner, const std::u16string& title,
                                const std::u16string& startFolder);

}  // namespace ombrix::ui
