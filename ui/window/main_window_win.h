// The main window, "Ombrix.MainWindow": its class, its creation with the
// state as creation parameter, and its first placement on the screen.
#pragma once

#include <windows.h>

#include <string>

#include "ui/window/main_window_state_win.h"

namespace ombrix::ui {

inline constexpr wchar_t kMainWindowClass[] = L"Ombrix.MainWindow";

// Loads icon 101 at both sizes into the state (the window sets them as its
// icons) and registers the class. False when registration fails.
bool RegisterMainWindowClass(MainWindowState& state);

// Null when the window cannot be created. Creating it loads the settings,
// the language and the theme into the state.
HWND CreateMainWindow(MainWindowState& state, const std::u16string& title);

// Tab and Shift+Tab move between the selector, the buttons and the three
// lists, as in a dialog. The message loop hands every message here first;
// true when it was handled (dispatched) already.
bool HandleMainWindowKeys(HWND window, MSG& message);

// Sizes the window for its DPI and centres it on the work area of its
// monitor.
void PlaceOnMonitorWorkArea(HWND window);

}  // namespace ombrix::ui
