#include "app/number_format.h"

#include <gtest/gtest.h>

#include <limits>

#include "base/text_encoding.h"
#include "tests/app/fake_locale_queries.h"

namespace ombrix::app {
namespace {

using testing::FakeLocaleQueries;
using testing::kEnglishUs;
using testing::kGerman;
using testing::kHindi;

// The user's default locale is en-US; de-DE and hi-IN are known by name.
const LocaleQueries& Locales() {
  static const LocaleQueries queries =
      FakeLocaleQueries({{std::nullopt, kEnglishUs}, {u"de-DE", kGerman}, {u"hi-IN", kHindi}});
  return queries;
}

TEST(NumberFormatTest, SizesInUnitsOf1024) {
  const struct {
    std::uint64_t bytes;
    std::u16string_view text;
  } cases[] = {
      {0, u"0 B"},
      {1023, u"1,023 B"},
      {1024, u"1.0 KB"},
      {1536, u"1.5 KB"},
      {1048575, u"1,024.0 KB"},  // the unit is chosen before rounding
      {1048576, u"1.0 MB"},
      {1000000000000, u"931.3 GB"},
      {std::numeric_limits<std::uint64_t>::max(), u"16,384.0 PB"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(FormatSize(u"system", c.bytes, Locales()), c.text) << c.bytes;
  }
}

TEST(NumberFormatTest, OneDecimalAndShares) {
  EXPECT_EQ(FormatOneDecimal(u"system", 1234.56, Locales()), u"1,234.6");
  EXPECT_EQ(FormatOneDecimal(u"system", 99.96, Locales()), u"100.0");
  EXPECT_EQ(FormatOneDecimal(u"system", 0.04, Locales()), u"0.0");
  EXPECT_EQ(FormatOneDecimal(u"system", -5.25, Locales()), u"-5.2");
  EXPECT_EQ(FormatOneDecimal(u"system", std::numeric_limits<double>::quiet_NaN(), Locales()),
            u"0.0");
  EXPECT_EQ(FormatOneDecimal(u"system", -std::numeric_limits<double>::infinity(), Locales()),
            u"0.0");
  EXPECT_EQ(FormatShare(u"system", 0.0, Locales()), u"0.0 %");
  EXPECT_EQ(FormatShare(u"system", 12.5, Locales()), u"12.5 %");
}

TEST(NumberFormatTest, TheLanguageSettingPicksTheLocale) {
  EXPECT_EQ(NumberLocaleName(u"System"), std::nullopt);
  EXPECT_EQ(NumberLocaleName(u"xx-YY"), std::nullopt);
  EXPECT_EQ(NumberLocaleName(u"de-AT"), u"de-DE");
  EXPECT_EQ(FormatSize(u"de-DE", 1536, Locales()), u"1,5 KB");
  EXPECT_EQ(FormatCount(u"de-DE", 1234567, Locales()), u"1.234.567");
  EXPECT_EQ(FormatCount(u"system", 1234567, Locales()), u"1,234,567");
}

TEST(NumberFormatTest, GroupingFromTheLocaleText) {
  const struct {
    std::u16string_view text;
    std::uint32_t grouping;
  } cases[] = {{u"3;0", 3}, {u"3;2;0", 32}, {u"3", 3}, {u"0", 3}, {u"", 3}, {u"4;0;2", 4}};
  for (const auto& c : cases) {
    testing::FakeLocale locale = kEnglishUs;
    locale.grouping = c.text;
    EXPECT_EQ(LocaleGrouping(std::nullopt, FakeLocaleQueries({{std::nullopt, locale}})), c.grouping)
        << base::ToUtf8(c.text);
  }
  EXPECT_EQ(FormatLocaleNumber(u"hi-IN", u"123456789", 0, Locales()), u"12,34,56,789");
}

TEST(NumberFormatTest, EachQueryFallsBackToTheDefaultLocaleThenToFixedValues) {
  testing::FakeLocale defaultLocale{u",", u"'", u"3;0", 1, 1};
  // sv-SE is unknown: separators, grouping and the call itself come from
  // the user's default locale.
  EXPECT_EQ(FormatLocaleNumber(u"sv-SE", u"1234.5", 1,
                               FakeLocaleQueries({{std::nullopt, defaultLocale}})),
            u"1'234,5");
  // Nothing known at all, but the call still works: the fixed fallbacks.
  const LocaleQueries nothingKnown = [] {
    LocaleQueries queries = FakeLocaleQueries({});
    queries.formatNumber = [](const LocaleName&, const std::u16string& number,
                              const NumberFormatRecord& record) {
      return ApplyNumberFormatRecord(number, record);
    };
    return queries;
  }();
  EXPECT_EQ(FormatLocaleNumber(u"de-DE", u"-1234567.5", 1, nothingKnown), u"-1,234,567.5");
  // The named locale's separators stay when only the call fails for it.
  EXPECT_EQ(FormatLocaleNumber(
                u"de-DE", u"1234", 0,
                FakeLocaleQueries({{std::nullopt, kEnglishUs}, {u"de-DE", kGerman}}, {u"de-DE"})),
            u"1.234");
  // When no call succeeds the plain digits come back.
  EXPECT_EQ(FormatCount(u"de-DE", 1234,
                        FakeLocaleQueries({{std::nullopt, kEnglishUs}, {u"de-DE", kGerman}},
                                          {u"de-DE", std::nullopt})),
            u"1234");
}

TEST(NumberFormatTest, LeadingZeroAndNegativeFormComeFromTheLocale) {
  testing::FakeLocale locale{u".", u",", u"3;0", 0, 0};
  const LocaleQueries queries = FakeLocaleQueries({{std::nullopt, locale}});
  EXPECT_EQ(FormatOneDecimal(u"system", 0.5, queries), u".5");
  EXPECT_EQ(FormatOneDecimal(u"system", -2.0, queries), u"(2.0)");
}

}  // namespace
}  // namespace ombrix::app
