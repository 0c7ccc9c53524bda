// The fonts the windows draw their text in: the system message font at a
// given DPI. The main window makes its own for its DPI and remakes it when
// the DPI changes; dialogs share one pair per DPI for the whole process.
#pragma once

#include <windows.h>

#include <cstdint>

#include "base/win/unique_handle_win.h"

namespace ombrix::ui {

// The message font of the non-client metrics at `dpi`, or the stock
// DEFAULT_GUI_FONT when the metrics cannot be read (held but not owned).
class UiFont {
 public:
  UiFont() = default;
  static UiFont ForDpi(std::uint32_t dpi, LONG weight = 0);

  HFONT get() const;
  std::uint32_t dpi() const { return dpi_; }

 private:
  base::UniqueGdiObject font_;
  std::uint32_t dpi_ = 0;
};

// The dialogs' text and heading (semi-bold) fonts at `dpi`, made on first
// use and kept for the process; safe to call from any thread.
HFONT DialogFont(std::uint32_t dpi);
HFONT DialogHeadingFont(std::uint32_t dpi);

// Sends WM_SETFONT to the window and every descendant.
void ApplyFontToWindowTree(HWND window, HFONT font);

// The DPI of a window; 96 without one.
std::uint32_t WindowDpi(HWND window);

// Width in pixels of a single line of text in `font`.
int TextWidth(HWND window, HFONT font, const wchar_t* text);

}  // namespace ombrix::ui
