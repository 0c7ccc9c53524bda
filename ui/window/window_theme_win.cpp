#include "ui/window/window_theme_win.h"

#include <windows.h>

#include <commctrl.h>

namespace ombrix::ui {
namespace {

// DWMWINDOWATTRIBUTE values (dwmapi.h); the colour ones need Windows 11.
constexpr DWORD kUseImmersiveDarkMode = 20;
constexpr DWORD kBorderColour = 34;
constexpr DWORD kCaptionColour = 35;
constexpr DWORD kCaptionTextColour = 36;

const wchar_t* VisualStyleFor(const i18n::ThemePalette& palette) {
  return palette.isDark ? L"DarkMode_Explorer" : L"Explorer";
}

void SetFrameAttribute(HWND window, DWORD attribute, DWORD value, const ThemeFunctions& functions) {
  if (functions.setWindowAttribute == nullptr) return;
  functions.setWindowAttribute(window, attribute, &value, sizeof(value));
}

void SetVisualStyle(HWND window, const wchar_t* style, const ThemeFunctions& functions) {
  if (functions.setWindowTheme != nullptr) functions.setWindowTheme(window, style, nullptr);
}

}  // namespace

void ApplyThemeToListView(HWND list, const i18n::ThemePalette& palette,
                          const ThemeFunctions& functions) {
  if (list == nullptr) return;
  ::SendMessageW(list, LVM_SETBKCOLOR, 0, palette.cellBackground);
  ::SendMessageW(list, LVM_SETTEXTBKCOLOR, 0, palette.cellBackground);
  ::SendMessageW(list, LVM_SETTEXTCOLOR, 0, palette.text);
  SetVisualStyle(list, VisualStyleFor(palette), functions);
  // Header items are drawn in the palette's colours by the lists' custom
  // drawing; the header control itself keeps the plain style in every theme.
  const HWND header = reinterpret_cast<HWND>(::SendMessageW(list, LVM_GETHEADER, 0, 0));
  if (header != nullptr) {
    SetVisualStyle(header, L"Explorer", functions);
    ::InvalidateRect(header, nullptr, TRUE);
  }
}

void ApplyThemeToWindow(const ThemedWindows& windows, const i18n::ThemePalette& palette,
                        const ThemeFunctions& functions) {
  if (windows.main != nullptr) {
    SetFrameAttribute(windows.main, kUseImmersiveDarkMode, palette.isDark ? 1 : 0, functions);
    SetFrameAttribute(windows.main, kCaptionColour, palette.captionBackground, functions);
    SetFrameAttribute(windows.main, kCaptionTextColour, palette.captionText, functions);
    SetFrameAttribute(windows.main, kBorderColour, palette.border, functions);
    // Windows 10 keeps drawing the title bar in the old theme until the
    // window is activated again; a frame change has it drawn anew now.
    ::SetWindowPos(windows.main, nullptr, 0, 0, 0, 0,
                   SWP_FRAMECHANGED | SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  }
  for (HWND list : windows.lists) ApplyThemeToListView(list, palette, functions);
  if (windows.statusBar != nullptr) {
    ::SendMessageW(windows.statusBar, SB_SETBKCOLOR, 0, palette.headerBackground);
    SetVisualStyle(windows.statusBar, VisualStyleFor(palette), functions);
  }
  if (windows.main != nullptr) {
    ::RedrawWindow(windows.main, nullptr, nullptr,
                   RDW_INVALIDATE | RDW_ALLCHILDREN | RDW_UPDATENOW);
  }
}

}  // namespace ombrix::ui
