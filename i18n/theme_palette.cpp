#include "i18n/theme_palette.h"

#include "i18n/language_file.h"

namespace ombrix::i18n {

namespace {

constexpr ThemePalette kDarkBase = {
    .windowBackground = Rgb(0x18, 0x1A, 0x1F),
    .cellBackground = Rgb(0x1F, 0x22, 0x28),
    .headerBackground = Rgb(0x27, 0x2B, 0x33),
    .text = Rgb(0xEB, 0xEE, 0xF4),
    .border = Rgb(0x4B, 0x55, 0x63),
    .splitter = Rgb(0x2D, 0x31, 0x3A),
    .splitterLine = Rgb(0x66, 0x70, 0x80),
    .selectedBackground = Rgb(0x3B, 0x82, 0xF6),
    .selectedText = Rgb(0xFF, 0xFF, 0xFF),
    .bar = Rgb(0x7D, 0x97, 0xFF),
    .selectedBar = Rgb(0x36, 0x43, 0x69),
    .systemItemText = Rgb(0xF8, 0x71, 0x71),
    .captionBackground = Rgb(0x18, 0x1A, 0x1F),
    .captionText = Rgb(0xEB, 0xEE, 0xF4),
    .isDark = true,
};

constexpr ThemePalette kDarkFamilyBase = {
    .windowBackground = Rgb(0x1D, 0x22, 0x29),
    .cellBackground = Rgb(0x24, 0x2B, 0x34),
    .headerBackground = Rgb(0x2D, 0x36, 0x41),
    .text = Rgb(0xEB, 0xEE, 0xF4),
    .border = Rgb(0x4B, 0x55, 0x63),
    .splitter = Rgb(0x2D, 0x31, 0x3A),
    .splitterLine = Rgb(0x66, 0x70, 0x80),
    .selectedBackground = Rgb(0x2A, 0x77, 0xD2),
    .selectedText = Rgb(0xFF, 0xFF, 0xFF),
    .bar = Rgb(0x67, 0xA6, 0xFF),
    .selectedBar = Rgb(0x30, 0x4D, 0x70),
    .systemItemText = Rgb(0xF8, 0x71, 0x71),
    .captionBackground = Rgb(0x1D, 0x22, 0x29),
    .captionText = Rgb(0xEB, 0xEE, 0xF4),
    .isDark = true,
};

// The five light-family fields that differ per theme are filled in by
// LightTheme.
constexpr ThemePalette kLightFamilyBase = {
    .cellBackground = Rgb(0xFF, 0xFF, 0xFF),
    .text = Rgb(0x18, 0x18, 0x1B),
    .border = Rgb(0xD1, 0xD5, 0xDB),
    .splitter = Rgb(0xE5, 0xE7, 0xEB),
    .splitterLine = Rgb(0x9C, 0xA3, 0xAF),
    .selectedText = Rgb(0xFF, 0xFF, 0xFF),
    .systemItemText = Rgb(0xB9, 0x1C, 0x1C),
    .captionBackground = Rgb(0xFF, 0xFF, 0xFF),
    .captionText = Rgb(0x18, 0x18, 0x1B),
    .isDark = false,
};

struct Accents {
  Colour selectedBackground;
  Colour bar;
  Colour selectedBar;
};

constexpr ThemePalette DarkTheme(Accents accents) {
  ThemePalette palette = kDarkFamilyBase;
  palette.selectedBackground = accents.selectedBackground;
  palette.bar = accents.bar;
  palette.selectedBar = accents.selectedBar;
  return palette;
}

constexpr ThemePalette LightTheme(Colour windowBackground, Colour headerBackground,
                                  Accents accents) {
  ThemePalette palette = kLightFamilyBase;
  palette.windowBackground = windowBackground;
  palette.headerBackground = headerBackground;
  palette.selectedBackground = accents.selectedBackground;
  palette.bar = accents.bar;
  palette.selectedBar = accents.selectedBar;
  return palette;
}

constexpr ThemePalette kClassicLight =
    LightTheme(Rgb(0xFF, 0xFF, 0xFF), Rgb(0xF5, 0xF7, 0xFA),
               {Rgb(0x25, 0x63, 0xEB), Rgb(0x4F, 0x46, 0xE5), Rgb(0xBF, 0xDB, 0xFE)});
constexpr ThemePalette kTeal =
    LightTheme(Rgb(0xF2, 0xF9, 0xFA), Rgb(0xE4, 0xF2, 0xF4),
               {Rgb(0x0D, 0x8B, 0x99), Rgb(0x12, 0x94, 0xA3), Rgb(0xBC, 0xEB, 0xEF)});
constexpr ThemePalette kMango =
    LightTheme(Rgb(0xFF, 0xFA, 0xEB), Rgb(0xFF, 0xF1, 0xCC),
               {Rgb(0xC2, 0x60, 0x05), Rgb(0xD9, 0x77, 0x06), Rgb(0xFD, 0xE6, 0x8A)});
constexpr ThemePalette kPink =
    LightTheme(Rgb(0xFF, 0xF6, 0xFA), Rgb(0xFC, 0xE7, 0xF3),
               {Rgb(0xBE, 0x18, 0x5D), Rgb(0xDB, 0x27, 0x77), Rgb(0xFB, 0xCF, 0xE8)});

struct ThemeRow {
  std::u16string_view id;
  ThemePalette palette;
};

// Some themes are offered under two names with one palette.
constexpr ThemeRow kThemes[] = {
    {u"Dark", kDarkBase},
    {u"CoolSlate", kDarkFamilyBase},
    {u"JuicyPlum",
     DarkTheme({Rgb(0x93, 0x58, 0xCF), Rgb(0xBE, 0x7C, 0xFF), Rgb(0x52, 0x36, 0x69)})},
    {u"MoonlightGlow",
     DarkTheme({Rgb(0x67, 0x56, 0xC2), Rgb(0xB2, 0x9C, 0xFF), Rgb(0x47, 0x3E, 0x73)})},
    {u"SpicyRed", DarkTheme({Rgb(0xBE, 0x2A, 0x2A), Rgb(0xEF, 0x44, 0x44), Rgb(0x6D, 0x31, 0x31)})},
    {u"MysticForest",
     DarkTheme({Rgb(0x22, 0x8B, 0x56), Rgb(0x4A, 0xDE, 0x80), Rgb(0x2A, 0x52, 0x3A)})},
    {u"Light", kClassicLight},
    {u"SunnyDay", kClassicLight},
    {u"CoolBreeze", kTeal},
    {u"IcyMint", kTeal},
    {u"MangoParadise", kMango},
    {u"Bubblegum", kPink},
    {u"SilkyPink", kPink},
};

}  // namespace

ThemePalette PaletteForTheme(std::u16string_view id) {
  for (const ThemeRow& row : kThemes) {
    if (row.id == id) return row.palette;
  }
  return kDarkFamilyBase;
}

std::string ThemeCaptionKey(std::u16string_view id) { return "theme." + LanguageKey(id); }

}  // namespace ombrix::i18n
