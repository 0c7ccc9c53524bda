#include "ui/window/window_theme_win.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <commctrl.h>
#include <string>
#include <vector>

#include "i18n/theme_palette.h"

namespace ombrix::ui {
namespace {

// What the theme asked of the window manager and the visual styles.
struct Recorded {
  std::vector<std::pair<DWORD, DWORD>> frameAttributes;
  std::vector<std::pair<HWND, std::wstring>> styles;
  HRESULT frameResult = S_OK;
  // How many frame attributes were set when the frame was last laid out
  // anew (WM_NCCALCSIZE); -1 when it was not.
  int frameRecalculatedAfter = -1;
};
Recorded recorded;

LRESULT CALLBACK RecordFrameChange(HWND window, UINT message, WPARAM wParam, LPARAM lParam,
                                   UINT_PTR, DWORD_PTR) {
  if (message == WM_NCCALCSIZE) {
    recorded.frameRecalculatedAfter = static_cast<int>(recorded.frameAttributes.size());
  }
  return ::DefSubclassProc(window, message, wParam, lParam);
}

HRESULT WINAPI RecordFrame(HWND, DWORD attribute, LPCVOID value, DWORD size) {
  EXPECT_EQ(size, 4u);
  recorded.frameAttributes.emplace_back(attribute, *static_cast<const DWORD*>(value));
  return recorded.frameResult;
}

HRESULT WINAPI RecordStyle(HWND window, LPCWSTR style, LPCWSTR) {
  recorded.styles.emplace_back(window, style);
  return S_OK;
}

// A hidden top-level window with the three lists and the status bar. The
// lists are visible children, as in the program: Wine gives a report view
// its header only once it is visible.
struct ThemedTestWindow {
  ThemedTestWindow() {
    windows.main = ::CreateWindowExW(0, WC_STATICW, L"theme test", WS_OVERLAPPEDWINDOW, 0, 0, 400,
                                     300, nullptr, nullptr, nullptr, nullptr);
    for (HWND& list : windows.lists) {
      list = ::CreateWindowExW(0, WC_LISTVIEWW, L"", WS_CHILD | WS_VISIBLE | LVS_REPORT, 0, 0, 100,
                               100, windows.main, nullptr, nullptr, nullptr);
    }
    windows.statusBar = ::CreateWindowExW(0, STATUSCLASSNAMEW, L"", WS_CHILD, 0, 0, 0, 0,
                                          windows.main, nullptr, nullptr, nullptr);
    ::SetWindowSubclass(windows.main, RecordFrameChange, 1, 0);
  }
  ~ThemedTestWindow() { ::DestroyWindow(windows.main); }
  ThemedWindows windows;
};

std::wstring StyleOf(HWND window) {
  std::wstring style;
  for (const auto& [target, name] : recorded.styles) {
    if (target == window) style = name;
  }
  return style;
}

TEST(WindowThemeTest, PaintsFrameListsAndStatusBarInThePalette) {
  ThemedTestWindow test;
  ASSERT_NE(test.windows.main, nullptr) << "no window: is there a display?";
  const ThemeFunctions functions{RecordFrame, RecordStyle};
  struct Case {
    const char16_t* theme;
    const wchar_t* style;
  };
  for (const Case& c : {Case{u"MysticForest", L"DarkMode_Explorer"}, Case{u"Light", L"Explorer"}}) {
    recorded = Recorded{};
    const i18n::ThemePalette palette = i18n::PaletteForTheme(c.theme);
    ApplyThemeToWindow(test.windows, palette, functions);
    const std::vector<std::pair<DWORD, DWORD>> frame = {{20, palette.isDark ? 1u : 0u},
                                                        {35, palette.captionBackground},
                                                        {36, palette.captionText},
                                                        {34, palette.border}};
    EXPECT_EQ(recorded.frameAttributes, frame);
    // The title bar is drawn anew in the new colours at once.
    EXPECT_EQ(recorded.frameRecalculatedAfter, 4);
    for (HWND list : test.windows.lists) {
      EXPECT_EQ(::SendMessageW(list, LVM_GETBKCOLOR, 0, 0), palette.cellBackground);
      EXPECT_EQ(::SendMessageW(list, LVM_GETTEXTBKCOLOR, 0, 0), palette.cellBackground);
      EXPECT_EQ(::SendMessageW(list, LVM_GETTEXTCOLOR, 0, 0), palette.text);
      EXPECT_EQ(StyleOf(list), c.style);
      const HWND header = reinterpret_cast<HWND>(::SendMessageW(list, LVM_GETHEADER, 0, 0));
      EXPECT_EQ(StyleOf(header), L"Explorer");
    }
    EXPECT_EQ(StyleOf(test.windows.statusBar), c.style);
  }
}

TEST(WindowThemeTest, ListsAreThemedWhenTheWindowManagerRefusesOrIsMissing) {
  ThemedTestWindow test;
  ASSERT_NE(test.windows.main, nullptr);
  const i18n::ThemePalette palette = i18n::PaletteForTheme(u"SpicyRed");
  for (const ThemeFunctions& functions :
       {ThemeFunctions{RecordFrame, RecordStyle}, ThemeFunctions{nullptr, nullptr}}) {
    recorded = Recorded{};
    recorded.frameResult = E_FAIL;
    ApplyThemeToWindow(test.windows, palette, functions);
    for (HWND list : test.windows.lists) {
      EXPECT_EQ(::SendMessageW(list, LVM_GETBKCOLOR, 0, 0), palette.cellBackground);
    }
  }
  // The real table: Wine's dwmapi refuses the attributes.
  ApplyThemeToWindow(test.windows, palette, SystemThemeFunctions());
  EXPECT_EQ(::SendMessageW(test.windows.lists[0], LVM_GETBKCOLOR, 0, 0), palette.cellBackground);
}

}  // namespace
}  // namespace ombrix::ui
