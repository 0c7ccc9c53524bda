#include "i18n/theme_palette.h"

#include <gtest/gtest.h>

#include <array>
#include <string>

#include "base/text_encoding.h"

namespace ombrix::i18n {
namespace {

// "#RRGGBB" as a COLORREF (0x00BBGGRR).
Colour FromHex(std::string_view hex) {
  const auto component = [&](std::size_t at) {
    return static_cast<Colour>(std::stoul(std::string(hex.substr(at, 2)), nullptr, 16));
  };
  return component(1) | (component(3) << 8) | (component(5) << 16);
}

struct ExpectedTheme {
  std::u16string_view id;
  // windowBackground, cellBackground, headerBackground, text, border,
  // splitter, splitterLine, selectedBackground, selectedText, bar,
  // selectedBar, systemItemText, captionBackground, captionText.
  std::array<std::string_view, 14> colours;
  bool isDark;
};

ThemePalette ToPalette(const ExpectedTheme& theme) {
  const auto& c = theme.colours;
  return {FromHex(c[0]),  FromHex(c[1]),  FromHex(c[2]),  FromHex(c[3]),  FromHex(c[4]),
          FromHex(c[5]),  FromHex(c[6]),  FromHex(c[7]),  FromHex(c[8]),  FromHex(c[9]),
          FromHex(c[10]), FromHex(c[11]), FromHex(c[12]), FromHex(c[13]), theme.isDark};
}

// In menu order.
constexpr ExpectedTheme kExpected[] = {
    {u"JuicyPlum",
     {"#1D2229", "#242B34", "#2D3641", "#EBEEF4", "#4B5563", "#2D313A", "#667080", "#9358CF",
      "#FFFFFF", "#BE7CFF", "#523669", "#F87171", "#1D2229", "#EBEEF4"},
     true},
    {u"Dark",
     {"#181A1F", "#1F2228", "#272B33", "#EBEEF4", "#4B5563", "#2D313A", "#667080", "#3B82F6",
      "#FFFFFF", "#7D97FF", "#364369", "#F87171", "#181A1F", "#EBEEF4"},
     true},
    {u"CoolBreeze",
     {"#F2F9FA", "#FFFFFF", "#E4F2F4", "#18181B", "#D1D5DB", "#E5E7EB", "#9CA3AF", "#0D8B99",
      "#FFFFFF", "#1294A3", "#BCEBEF", "#B91C1C", "#FFFFFF", "#18181B"},
     false},
    {u"IcyMint",
     {"#F2F9FA", "#FFFFFF", "#E4F2F4", "#18181B", "#D1D5DB", "#E5E7EB", "#9CA3AF", "#0D8B99",
      "#FFFFFF", "#1294A3", "#BCEBEF", "#B91C1C", "#FFFFFF", "#18181B"},
     false},
    {u"MoonlightGlow",
     {"#1D2229", "#242B34", "#2D3641", "#EBEEF4", "#4B5563", "#2D313A", "#667080", "#6756C2",
      "#FFFFFF", "#B29CFF", "#473E73", "#F87171", "#1D2229", "#EBEEF4"},
     true},
    {u"SpicyRed",
     {"#1D2229", "#242B34", "#2D3641", "#EBEEF4", "#4B5563", "#2D313A", "#667080", "#BE2A2A",
      "#FFFFFF", "#EF4444", "#6D3131", "#F87171", "#1D2229", "#EBEEF4"},
     true},
    {u"MangoParadise",
     {"#FFFAEB", "#FFFFFF", "#FFF1CC", "#18181B", "#D1D5DB", "#E5E7EB", "#9CA3AF", "#C26005",
      "#FFFFFF", "#D97706", "#FDE68A", "#B91C1C", "#FFFFFF", "#18181B"},
     false},
    {u"MysticForest",
     {"#1D2229", "#242B34", "#2D3641", "#EBEEF4", "#4B5563", "#2D313A", "#667080", "#228B56",
      "#FFFFFF", "#4ADE80", "#2A523A", "#F87171", "#1D2229", "#EBEEF4"},
     true},
    {u"CoolSlate",
     {"#1D2229", "#242B34", "#2D3641", "#EBEEF4", "#4B5563", "#2D313A", "#667080", "#2A77D2",
      "#FFFFFF", "#67A6FF", "#304D70", "#F87171", "#1D2229", "#EBEEF4"},
     true},
    {u"Bubblegum",
     {"#FFF6FA", "#FFFFFF", "#FCE7F3", "#18181B", "#D1D5DB", "#E5E7EB", "#9CA3AF", "#BE185D",
      "#FFFFFF", "#DB2777", "#FBCFE8", "#B91C1C", "#FFFFFF", "#18181B"},
     false},
    {u"Light",
     {"#FFFFFF", "#FFFFFF", "#F5F7FA", "#18181B", "#D1D5DB", "#E5E7EB", "#9CA3AF", "#2563EB",
      "#FFFFFF", "#4F46E5", "#BFDBFE", "#B91C1C", "#FFFFFF", "#18181B"},
     false},
    {u"SunnyDay",
     {"#FFFFFF", "#FFFFFF", "#F5F7FA", "#18181B", "#D1D5DB", "#E5E7EB", "#9CA3AF", "#2563EB",
      "#FFFFFF", "#4F46E5", "#BFDBFE", "#B91C1C", "#FFFFFF", "#18181B"},
     false},
    {u"SilkyPink",
     {"#FFF6FA", "#FFFFFF", "#FCE7F3", "#18181B", "#D1D5DB", "#E5E7EB", "#9CA3AF", "#BE185D",
      "#FFFFFF", "#DB2777", "#FBCFE8", "#B91C1C", "#FFFFFF", "#18181B"},
     false},
};

TEST(ThemePaletteTest, EveryThemeInMenuOrderWithItsPalette) {
  ASSERT_EQ(std::size(kExpected), kThemeIds.size());
  for (std::size_t i = 0; i < kThemeIds.size(); ++i) {
    SCOPED_TRACE(base::ToUtf8(kExpected[i].id));
    EXPECT_EQ(kThemeIds[i], kExpected[i].id);
    EXPECT_EQ(PaletteForTheme(kExpected[i].id), ToPalette(kExpected[i]));
  }
}

TEST(ThemePaletteTest, UnknownIdsGetTheDarkFamilyPalette) {
  const ThemePalette coolSlate = PaletteForTheme(u"CoolSlate");
  for (std::u16string_view id : {u"mysticforest", u"MYSTICFOREST", u"", u"Sepia"}) {
    EXPECT_EQ(PaletteForTheme(id), coolSlate) << base::ToUtf8(id);
  }
  EXPECT_EQ(PaletteForTheme(u"mysticforest").selectedBackground, 0xD2772Au);
}

TEST(ThemePaletteTest, CaptionKeys) {
  EXPECT_EQ(ThemeCaptionKey(u"SunnyDay"), "theme.SunnyDay");
  EXPECT_EQ(ThemeCaptionKey(u"Dunkelgrün"), "theme.Dunkelgr?n");
}

}  // namespace
}  // namespace ombrix::i18n
