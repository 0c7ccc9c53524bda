// Puts a colour theme on the main window: the frame through the desktop
// window manager, the three list views and the status bar through their
// colours and visual styles. Dialogs keep the system's colours.
#pragma once

#include <windows.h>

#include <array>

#include "i18n/theme_palette.h"
#include "ui/common/theme_functions_win.h"

namespace ombrix::ui {

struct ThemedWindows {
  HWND main = nullptr;
  std::array<HWND, 3> lists{};  // Folders, Files, Subfolders
  HWND statusBar = nullptr;
};

// Frame attributes the window manager rejects (older Windows, or no
// compositor) are skipped; the lists and the status bar are themed anyway.
void ApplyThemeToWindow(const ThemedWindows& windows, const i18n::ThemePalette& palette,
                        const ThemeFunctions& functions);

void ApplyThemeToListView(HWND list, const i18n::ThemePalette& palette,
                          const ThemeFunctions& functions);

}  // namespace ombrix::ui
