// The thirteen colour themes and their palettes. Applying a palette to
// windows belongs to the window; this is only the table.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

namespace ombrix::i18n {

// Windows COLORREF layout: 0x00BBGGRR.
using Colour = std::uint32_t;

constexpr Colour Rgb(std::uint8_t red, std::uint8_t green, std::uint8_t blue) {
  return Colour{red} | (Colour{green} << 8) | (Colour{blue} << 16);
}

struct ThemePalette {
  Colour windowBackground = 0;
  Colour cellBackground = 0;
  Colour headerBackground = 0;
  Colour text = 0;
  Colour border = 0;
  Colour splitter = 0;
  Colour splitterLine = 0;
  Colour selectedBackground = 0;
  Colour selectedText = 0;
  Colour bar = 0;
  Colour selectedBar = 0;
  Colour systemItemText = 0;  // rows of items with the system attribute
  Colour captionBackground = 0;
  Colour captionText = 0;
  bool isDark = false;  // dark window frame and dark control themes

  friend bool operator==(const ThemePalette&, const ThemePalette&) = default;
};

// Menu order.
inline constexpr std::array<std::u16string_view, 13> kThemeIds = {
    u"JuicyPlum", u"Dark",          u"CoolBreeze",   u"IcyMint",   u"MoonlightGlow",
    u"SpicyRed",  u"MangoParadise", u"MysticForest", u"CoolSlate", u"Bubblegum",
    u"Light",     u"SunnyDay",      u"SilkyPink",
};

// Ids are compared exactly; any other id, a known one in another letter case
// included, gets the plain dark-family palette (that of "CoolSlate").
ThemePalette PaletteForTheme(std::u16string_view id);

// The language key of a theme's menu caption: "theme." and the id.
std::string ThemeCaptionKey(std::u16string_view id);

}  // namespace ombrix::i18n
