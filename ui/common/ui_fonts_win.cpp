#include "ui/common/ui_fonts_win.h"

#include <windows.h>

#include <map>
#include <mutex>
#include <utility>

namespace ombrix::ui {
namespace {

constexpr LONG kHeadingWeight = 600;

bool ReadMessageFont(std::uint32_t dpi, LOGFONTW& font) {
  NONCLIENTMETRICSW metrics{};
  metrics.cbSize = sizeof(metrics);
  if (!::SystemParametersInfoForDpi(SPI_GETNONCLIENTMETRICS, sizeof(metrics), &metrics, 0, dpi) &&
      !::SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof(metrics), &metrics, 0)) {
    return false;
  }
  font = metrics.lfMessageFont;
  return true;
}

BOOL CALLBACK SetFontOnChild(HWND child, LPARAM font) {
  ::SendMessageW(child, WM_SETFONT, static_cast<WPARAM>(font), TRUE);
  return TRUE;
}

struct DialogFontPair {
  UiFont text;
  UiFont heading;
};

const DialogFontPair& DialogFonts(std::uint32_t dpi) {
  static std::mutex mutex;
  static std::map<std::uint32_t, DialogFontPair> fonts;
  std::lock_guard lock(mutex);
  auto found = fonts.find(dpi);
  if (found == fonts.end()) {
    found =
        fonts.emplace(dpi, DialogFontPair{UiFont::ForDpi(dpi), UiFont::ForDpi(dpi, kHeadingWeight)})
            .first;
  }
  // std::map never moves its elements, so the reference outlives the lock.
  return found->second;
}

}  // namespace

UiFont UiFont::ForDpi(std::uint32_t dpi, LONG weight) {
  UiFont result;
  result.dpi_ = dpi;
  LOGFONTW logFont{};
  if (ReadMessageFont(dpi, logFont)) {
    logFont.lfCharSet = DEFAULT_CHARSET;
    if (weight != 0) logFont.lfWeight = weight;
    result.font_.reset(::CreateFontIndirectW(&logFont));
  }
  return result;
}

HFONT UiFont::get() const {
  if (font_) return static_cast<HFONT>(font_.get());
  return static_cast<HFONT>(::GetStockObject(DEFAULT_GUI_FONT));
}

HFONT DialogFont(std::uint32_t dpi) { return DialogFonts(dpi).text.get(); }

HFONT DialogHeadingFont(std::uint32_t dpi) { return DialogFonts(dpi).heading.get(); }

void ApplyFontToWindowTree(HWND window, HFONT font) {
  ::SendMessageW(window, WM_SETFONT, reinterpret_cast<WPARAM>(font), TRUE);
  ::EnumChildWindows(window, SetFontOnChild, reinterpret_cast<LPARAM>(font));
}

std::uint32_t WindowDpi(HWND window) {
  const UINT dpi = window != nullptr ? ::GetDpiForWindow(window) : 0;
  return dpi != 0 ? dpi : 96;
}

int TextWidth(HWND window, HFONT font, const wchar_t* text) {
  const HDC dc = ::GetDC(window);
  if (dc == nullptr) return 0;
  const HGDIOBJ previous = ::SelectObject(dc, font);
  SIZE size{};
  ::GetTextExtentPoint32W(dc, text, static_cast<int>(wcslen(text)), &size);
  ::SelectObject(dc, previous);
  ::ReleaseDC(window, dc);
  return size.cx;
}

}  // namespace ombrix::ui
