// What the shell's file dialogs share once they are set up: shown modal
// over an owner, the chosen item's file-system path back.
#pragma once

#include <windows.h>

#include <shobjidl.h>

#include <string>

namespace ombrix::ui {

// Empty when the user cancels or anything fails.
std::u16string ShowFileDialog(IFileDialog& dialog, HWND owner);

}  // namespace ombrix::ui
