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

// The user's default locale is en-US; de-DE is known by name.
const LocaleQueries& Locales() {
  static const LocaleQueries queries =
      FakeLocaleQueries({{std::nullopt, kEnglishUs}, {u"de-DE", kGerman}});
  return queries;
}

TEST(NumberFormatTest, SizesCountsAndOneDecimal) {
  const struct {
    std::uint64_t bytes;
    std::u16string_view text;
  } sizes[] = {
      {0, u"0 B"},
      {1023, u"1,023 B"},
      {1024, u"1.0 KB"},
      {1536, u"1.5 KB"},
      {1048575, u"1,024.0 KB"},  // the unit is chosen before rounding
      {1000000000000, u"931.3 GB"},
      {std::numeric_limits<std::uint64_t>::max(), u"16,384.0 PB"},
  };
  for (const auto& c : sizes) {
    EXPECT_EQ(FormatSize(u"system", c.bytes, Locales()), c.text) << c.bytes;
  }
  EXPECT_EQ(FormatCount(u"system", 123456, Locales()), u"123,456");
  EXPECT_EQ(FormatOneDecimal(u"system", 1234.56, Locales()), u"1,234.6");
  EXPECT_EQ(FormatOneDecimal(u"system", 99.96, Locales()), u"100.0");
  EXPECT_EQ(FormatOneDecimal(u"system", std::numeric_limits<double>::quiet_NaN(), Locales()),
            u"0.0");
  EXPECT_EQ(FormatOneDecimal(u"system", -std::numeric_limits<double>::infinity(), Locales()),
            u"0.0");
  EXPECT_EQ(FormatShare(u"system", 0.0, Locales()), u"0.0 %");
}

TEST(NumberFormatTest, TheLanguageSettingPicksTheLocale) {
  EXPECT_EQ(NumberLocaleName(u"System"), std::nullopt);
  EXPECT_EQ(NumberLocaleName(u"xx-YY"), std::nullopt);
  EXPECT_EQ(NumberLocaleName(u"de-AT"), u"de-DE");
  EXPECT_EQ(FormatSize(u"de-DE", 1536, Locales()), u"1,5 KB");
  EXPECT_EQ(FormatCount(u"de-DE", 1234567, Locales()), u"1.234.567");
}

TEST(NumberFormatTest, GroupingFromTheLocaleText) {
  for (const auto& [text, grouping] : {std::pair<std::u16string_view, std::uint32_t>{u"3;0", 3},
                                       {u"3;2;0", 32},
                                       {u"3", 3},
                                       {u"0", 3},
                                       {u"4;0;2", 4}}) {
    testing::FakeLocale locale = kEnglishUs;
    locale.grouping = text;
    const LocaleQueries queries = FakeLocaleQueries({{std::nullopt, locale}});
    EXPECT_EQ(LocaleGrouping(std::nullopt, queries), grouping) << base::ToUtf8(text);
    if (grouping == 32) {
      EXPECT_EQ(FormatCount(u"system", 123456789, queries), u"12,34,56,789");
    }
  }
}

TEST(NumberFormatTest, EachQueryFallsBackToTheDefaultLocaleThenToFixedValues) {
  // An unknown locale takes the default locale's separators and call.
  const testing::FakeLocale swiss{u",", u"'", u"3;0", 0, 0};
  EXPECT_EQ(FormatLocaleNumber(u"sv-SE", u"-0.5", 1, FakeLocaleQueries({{std::nullopt, swiss}})),
            u"(,5)");
  // With no answer at all: ".", "," and groups of three.
  LocaleQueries nothingKnown = FakeLocaleQueries({});
  nothingKnown.formatNumber = [](const LocaleName&, const std::u16string& number,
                                 const NumberFormatRecord& record) {
    return ApplyNumberFormatRecord(number, record);
  };
  EXPECT_EQ(FormatLocaleNumber(u"de-DE", u"-1234567.5", 1, nothingKnown), u"-1,234,567.5");
  // When only the call fails for the locale, its separators still apply;
  // when it fails for the default too, the digits come back as they are.
  const std::map<LocaleName, testing::FakeLocale> known = {{std::nullopt, kEnglishUs},
                                                           {u"de-DE", kGerman}};
  EXPECT_EQ(FormatCount(u"de-DE", 1234, FakeLocaleQueries(known, {u"de-DE"})), u"1.234");
  EXPECT_EQ(FormatCount(u"de-DE", 1234, FakeLocaleQueries(known, {u"de-DE", std::nullopt})),
            u"1234");
}

}  // namespace
}  // namespace ombrix::app
