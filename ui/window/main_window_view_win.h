// The main window's children and its own drawing: creating the controls,
// fonts for the window's DPI, laying the controls out, the theme, the
// captions in the current language, and painting the background and the
// splitters. Window thread only.
#pragma once

#include <windows.h>

#include "ui/window/main_window_state_win.h"

namespace ombrix::ui {

void CreateMainWindowControls(MainWindowState& state);

// Enables or disables one of the window's controls; when it is disabled
// while it has the keyboard focus, the focus moves to `focusInstead` first.
void EnableInput(HWND control, bool enabled, HWND focusInstead);

// The control that had the focus when the window was deactivated gets it
// back when the window is active again, as in a dialog; the first control
// Tab reaches when that one is gone or disabled.
void RememberFocus(MainWindowState& state);
void RestoreFocus(MainWindowState& state);

// Sends the UI font to every child and sets the lists' row spacing.
void ApplyMainWindowFonts(MainWindowState& state);

// Places every control for the current client size, DPI, splitter
// positions and button captions, then redraws.
void ArrangeMainWindow(MainWindowState& state);

void ApplyMainWindowTheme(MainWindowState& state);

// After a language change: captions, menu bar, layout.
void RetextMainWindow(MainWindowState& state);

void PaintMainWindow(const MainWindowState& state, HDC dc);

// The window's background colour as a brush for `dc` (the stock DC brush),
// for controls that paint around themselves (WM_CTLCOLORBTN).
HBRUSH WindowBackgroundBrush(const MainWindowState& state, HDC dc);

}  // namespace ombrix::ui
