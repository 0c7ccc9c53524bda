// The formatters against Wine's own locale database.
#include <windows.h>

#include <gtest/gtest.h>

#include <limits>

#include "app/number_format.h"
#include "base/text_encoding.h"
#include "base/win/wide_string_win.h"

namespace ombrix::app {
namespace {

TEST(NumberFormatWinTest, RealLocales) {
  EXPECT_EQ(FormatCount(u"en-US", 1234567), u"1,234,567");
  EXPECT_EQ(FormatSize(u"en-US", 1023), u"1,023 B");
  EXPECT_EQ(FormatSize(u"en-US", 1536), u"1.5 KB");
  EXPECT_EQ(FormatSize(u"en-US", std::numeric_limits<std::uint64_t>::max()), u"16,384.0 PB");
  EXPECT_EQ(FormatOneDecimal(u"en-US", std::numeric_limits<double>::quiet_NaN()), u"0.0");
  EXPECT_EQ(FormatCount(u"de-DE", 1234567), u"1.234.567");
  EXPECT_EQ(FormatShare(u"de-DE", 12.5), u"12,5 %");
  // No language of the table groups "3;2;0", so the locale is named directly.
  EXPECT_EQ(LocaleGrouping(u"hi-IN"), 32u);
  EXPECT_EQ(FormatLocaleNumber(u"hi-IN", u"123456789", 0), u"12,34,56,789");
  // French groups with a no-break space, which Windows has had in both widths.
  const std::u16string french = FormatCount(u"fr-FR", 1234567);
  ASSERT_EQ(french.size(), 9u) << base::ToUtf8(french);
  EXPECT_TRUE(french[1] == u'\u00A0' || french[1] == u'\u202F') << base::ToUtf8(french);
  EXPECT_EQ(french, u"1" + french.substr(1, 1) + u"234" + french.substr(1, 1) + u"567");
  EXPECT_EQ(FormatSize(u"fr-FR", 1536), u"1,5 KB");
}

TEST(NumberFormatWinTest, SystemMeansTheUsersDefaultLocale) {
  wchar_t name[LOCALE_NAME_MAX_LENGTH] = {};
  ASSERT_GT(::GetUserDefaultLocaleName(name, LOCALE_NAME_MAX_LENGTH), 0);
  const std::u16string number = u"1234567.5";
  EXPECT_EQ(FormatLocaleNumber(std::nullopt, number, 1),
            FormatLocaleNumber(base::FromWide(name), number, 1));
  // A name Windows does not know falls back to the same.
  EXPECT_EQ(FormatLocaleNumber(u"qq-QQ", number, 1), FormatLocaleNumber(std::nullopt, number, 1));
}

// The native build formats with ApplyNumberFormatRecord; it must agree
// with the system call it stands in for on every text the formatters pass:
// digits with exactly the record's decimals, so the call never rounds (Wine
// loses the grouping when its rounding carries into a new digit).
TEST(NumberFormatWinTest, NeutralFormattingAgreesWithGetNumberFormatEx) {
  const struct {
    std::u16string number;
    std::uint32_t decimals;
  } numbers[] = {
      {u"0", 0},       {u"7", 0},          {u"1234567890", 0}, {u"-1234", 0},
      {u"0.2", 1},     {u"-0.7", 1},       {u"-0.0", 1},       {u"100.0", 1},
      {u"-1234.5", 1}, {u"12345678.0", 1}, {u"0.25", 2},       {u"-12345678.05", 2},
  };
  const LocaleQueries& system = SystemLocaleQueries();
  for (std::uint32_t grouping : {0u, 3u, 32u}) {
    for (std::uint32_t negativeOrder = 0; negativeOrder <= 4; ++negativeOrder) {
      for (std::uint32_t leadingZero : {0u, 1u}) {
        for (const auto& [number, decimals] : numbers) {
          // Wine writes nothing at all for this one; a count of zero must
          // still read "0".
          if (number == u"0" && leadingZero == 0) continue;
          NumberFormatRecord record;
          record.decimals = decimals;
          record.leadingZero = leadingZero;
          record.grouping = grouping;
          record.decimalSeparator = u",";
          record.thousandSeparator = u"\u00A0";
          record.negativeOrder = negativeOrder;
          EXPECT_EQ(ApplyNumberFormatRecord(number, record),
                    system.formatNumber(u"en-US", number, record))
              << base::ToUtf8(number) << " grouping " << grouping << " negative " << negativeOrder
              << " leading zero " << leadingZero;
        }
      }
    }
  }
}

}  // namespace
}  // namespace ombrix::app
