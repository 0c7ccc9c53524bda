#include "i18n/theme_palette.h"

#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

#include "base/text_encoding.h"

namespace ombrix::i18n {
namespace {

// Colours as "RRGGBB" in field order: window, cell, header, text, border,
// splitter, splitter line, selected, selected text, bar, selected bar, system
// item, caption, caption text. "-" is given per theme.
constexpr const char* kDark =
    "181A1F 1F2228 272B33 EBEEF4 4B5563 2D313A 667080 3B82F6 FFFFFF 7D97FF 364369 F87171 "
    "181A1F EBEEF4";
constexpr const char* kDarkFamily =
    "1D2229 242B34 2D3641 EBEEF4 4B5563 2D313A 667080 2A77D2 FFFFFF 67A6FF 304D70 F87171 "
    "1D2229 EBEEF4";
constexpr const char* kLightFamily =
    "- FFFFFF - 18181B D1D5DB E5E7EB 9CA3AF - FFFFFF - - B91C1C FFFFFF 18181B";

std::vector<std::string> Words(const char* text) {
  std::istringstream in(text);
  std::vector<std::string> words;
  for (std::string word; in >> word;) words.push_back(word);
  return words;
}

// The base with the theme's window, header, selected, bar and selected-bar
// colours put in, as COLORREFs (0x00BBGGRR).
ThemePalette Expected(const char* base, const char* ownColours, bool isDark) {
  std::vector<std::string> colours = Words(base);
  const std::vector<std::string> own = Words(ownColours);
  const std::size_t ownFields[] = {0, 2, 7, 9, 10};
  for (std::size_t i = 0; i < own.size(); ++i) {
    if (own[i] != "-") colours[ownFields[i]] = own[i];
  }
  Colour c[14];
  for (std::size_t i = 0; i < 14; ++i) {
    const auto rgb = static_cast<Colour>(std::stoul(colours[i], nullptr, 16));  // "-" throws
    c[i] = (rgb >> 16) | (rgb & 0x00FF00) | ((rgb & 0xFF) << 16);
  }
  return {c[0], c[1], c[2],  c[3],  c[4],  c[5],  c[6],  c[7],
          c[8], c[9], c[10], c[11], c[12], c[13], isDark};
}

TEST(ThemePaletteTest, EveryThemeInMenuOrderWithItsPalette) {
  const struct {
    std::u16string_view id;
    const char* base;
    const char* ownColours;
    bool isDark;
  } themes[] = {
      {u"JuicyPlum", kDarkFamily, "- - 9358CF BE7CFF 523669", true},
      {u"Dark", kDark, "", true},
      {u"CoolBreeze", kLightFamily, "F2F9FA E4F2F4 0D8B99 1294A3 BCEBEF", false},
      {u"IcyMint", kLightFamily, "F2F9FA E4F2F4 0D8B99 1294A3 BCEBEF", false},
      {u"MoonlightGlow", kDarkFamily, "- - 6756C2 B29CFF 473E73", true},
      {u"SpicyRed", kDarkFamily, "- - BE2A2A EF4444 6D3131", true},
      {u"MangoParadise", kLightFamily, "FFFAEB FFF1CC C26005 D97706 FDE68A", false},
      {u"MysticForest", kDarkFamily, "- - 228B56 4ADE80 2A523A", true},
      {u"CoolSlate", kDarkFamily, "", true},
      {u"Bubblegum", kLightFamily, "FFF6FA FCE7F3 BE185D DB2777 FBCFE8", false},
      {u"Light", kLightFamily, "FFFFFF F5F7FA 2563EB 4F46E5 BFDBFE", false},
      {u"SunnyDay", kLightFamily, "FFFFFF F5F7FA 2563EB 4F46E5 BFDBFE", false},
      {u"SilkyPink", kLightFamily, "FFF6FA FCE7F3 BE185D DB2777 FBCFE8", false},
  };
  ASSERT_EQ(std::size(themes), kThemeIds.size());
  for (std::size_t i = 0; i < kThemeIds.size(); ++i) {
    const auto& theme = themes[i];
    EXPECT_EQ(kThemeIds[i], theme.id);
    EXPECT_EQ(PaletteForTheme(theme.id), Expected(theme.base, theme.ownColours, theme.isDark))
        << base::ToUtf8(theme.id);
  }
}

TEST(ThemePaletteTest, UnknownIdsGetTheDarkFamilyPalette) {
  for (std::u16string_view id : {u"mysticforest", u"MYSTICFOREST", u"", u"Sepia"}) {
    EXPECT_EQ(PaletteForTheme(id), PaletteForTheme(u"CoolSlate")) << base::ToUtf8(id);
  }
  EXPECT_EQ(PaletteForTheme(u"mysticforest").selectedBackground, 0xD2772Au);  // #2A77D2
  EXPECT_EQ(ThemeCaptionKey(u"Dunkelgrün"), "theme.Dunkelgr?n");
}

}  // namespace
}  // namespace ombrix::i18n
