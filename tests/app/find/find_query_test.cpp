#include "app/find/find_query.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/find/file_extension.h"
#include "app/find/file_time_text.h"

namespace ombrix::app {
namespace {

TEST(FindQueryTest, SizesCountInThousandTwentyFours) {
  const struct {
    std::u16string text;
    std::optional<std::uint64_t> bytes;
  } cases[] = {
      {u"0", 0},
      {u"500", 500},
      {u"500B", 500},
      {u"1KB", 1024},
      {u"1k", 1024},
      {u"500MB", 500ull << 20},
      {u"500mb", 500ull << 20},
      {u"1GB", 1ull << 30},
      {u"1.5GB", 3ull << 29},
      {u"1,5G", 3ull << 29},
      {u"2TB", 2ull << 40},
      {u"0.0000000001KB", 0},  // digits past nine are dropped
      {u"18446744073709551615", 18446744073709551615ull},
      {u"18446744073709551616", std::nullopt},
      {u"16777216TB", std::nullopt},
      {u"", std::nullopt},
      {u"GB", std::nullopt},
      {u"1.GB", std::nullopt},
      {u"-1GB", std::nullopt},
      {u"1 GB", std::nullopt},
      {u"1PB", std::nullopt},
      {u"1GBs", std::nullopt},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(ParseSizeText(c.text), c.bytes) << std::string(c.text.begin(), c.text.end());
  }
}

TEST(FindQueryTest, DatesAreRealDaysFrom1601) {
  EXPECT_EQ(ParseDateText(u"2024-02-29"), (CalendarDate{2024, 2, 29}));
  EXPECT_EQ(ParseDateText(u"1601-01-01"), (CalendarDate{1601, 1, 1}));
  for (const std::u16string bad : {u"2023-02-29", u"1900-02-29", u"2024-13-01", u"2024-00-10",
                                   u"2024-04-31", u"1600-12-31", u"2024-1-01", u"2024/01/01",
                                   u"20240101", u"2024-01-01T00", u""}) {
    EXPECT_FALSE(ParseDateText(bad).has_value()) << std::string(bad.begin(), bad.end());
  }
  // The Unix epoch and a leap day as Windows counts them (FILETIME).
  EXPECT_EQ(FileTimeAtUtcMidnight({1601, 1, 1}), 0u);
  EXPECT_EQ(FileTimeAtUtcMidnight({1970, 1, 1}), 116444736000000000ull);
  EXPECT_EQ(FileTimeAtUtcMidnight({2000, 3, 1}), 125963424000000000ull);
  EXPECT_EQ(FileTimeAtUtcMidnight({2024, 1, 31}), 133511328000000000ull);
}

TEST(FindQueryTest, FilterTextSplitsIntoPatternSizeAndDate) {
  const auto parsed = ParseFindText(u"  *.iso;*.img   >1GB <2023-06-01 ");
  ASSERT_TRUE(parsed.query.has_value());
  EXPECT_EQ(parsed.query->patternText, u"*.iso;*.img");
  EXPECT_EQ(parsed.query->minimumSize, (1ull << 30) + 1);
  EXPECT_EQ(parsed.query->modifiedBefore, (CalendarDate{2023, 6, 1}));
  EXPECT_TRUE(parsed.query->pattern.Matches(std::u16string_view(u"disk.IMG")));

  // Words that are neither join into one pattern, spaces kept single.
  const auto spaced = ParseFindText(u"My  Video*.mp4");
  ASSERT_TRUE(spaced.query.has_value());
  EXPECT_EQ(spaced.query->patternText, u"My Video*.mp4");
  EXPECT_FALSE(spaced.query->AsksNothing());

  const auto sizeOnly = ParseFindText(u">500MB");
  ASSERT_TRUE(sizeOnly.query.has_value());
  EXPECT_TRUE(sizeOnly.query->pattern.MatchesEverything());
  EXPECT_EQ(sizeOnly.query->minimumSize, (500ull << 20) + 1);

  EXPECT_TRUE(ParseFindText(u"").query->AsksNothing());
  EXPECT_TRUE(ParseFindText(u" ; * ").query->AsksNothing());

  for (const std::u16string bad : {u"*.iso >big", u"> 1GB", u"<yesterday", u"<", u">",
                                   u">18446744073709551615"}) {
    const auto refused = ParseFindText(bad);
    EXPECT_FALSE(refused.query.has_value()) << std::string(bad.begin(), bad.end());
    EXPECT_FALSE(refused.badWord.empty());
  }
  EXPECT_EQ(ParseFindText(u"*.iso <2023-02-30").badWord, u"<2023-02-30");
}

TEST(FindQueryTest, ExtensionsAsWindowsFindsThem) {
  const struct {
    std::u16string name;
    std::u16string extension;
  } cases[] = {
      {u"movie.MKV", u".MKV"},     {u"archive.tar.gz", u".gz"}, {u"README", u""},
      {u".gitignore", u".gitignore"}, {u"notes. old", u""},     {u"a b.txt", u".txt"},
      {u"trailing.", u""},         {u"x.y z.c", u".c"},         {u"", u""},
  };
  for (const auto& c : cases) {
    const std::size_t start = ExtensionStart(std::u16string_view(c.name));
    EXPECT_EQ(c.name.substr(start), c.extension) << std::string(c.name.begin(), c.name.end());
  }
}

TEST(FindQueryTest, TimesReadAsTheDatesTheFilterTakes) {
  constexpr std::uint64_t kMinute = 600000000ull;
  EXPECT_EQ(FileTimeText(0), u"");
  EXPECT_EQ(FileTimeText(1), u"1601-01-01 00:00");
  EXPECT_EQ(FileTimeText(FileTimeAtUtcMidnight({1970, 1, 1})), u"1970-01-01 00:00");
  EXPECT_EQ(FileTimeText(FileTimeAtUtcMidnight({2000, 2, 29}) + (23 * 60 + 59) * kMinute),
            u"2000-02-29 23:59");
  EXPECT_EQ(FileTimeText(FileTimeAtUtcMidnight({2024, 1, 31}) + 17 * 60 * kMinute + 5 * kMinute),
            u"2024-01-31 17:05");
  // Every real day of years across four centuries reads back as itself.
  int checked = 0;
  for (int year : {1604, 1700, 1899, 1900, 1999, 2000, 2023, 2024, 2100, 2400}) {
    for (int month = 1; month <= 12; ++month) {
      for (int day = 1; day <= 31; ++day) {
        std::u16string date;
        for (const int value : {year / 1000, year / 100 % 10, year / 10 % 10, year % 10}) {
          date.push_back(static_cast<char16_t>(u'0' + value));
        }
        date += {u'-', static_cast<char16_t>(u'0' + month / 10),
                 static_cast<char16_t>(u'0' + month % 10), u'-',
                 static_cast<char16_t>(u'0' + day / 10), static_cast<char16_t>(u'0' + day % 10)};
        const auto parsed = ParseDateText(date);
        if (!parsed) continue;
        EXPECT_EQ(FileTimeText(FileTimeAtUtcMidnight(*parsed)), date + u" 00:00");
        ++checked;
      }
    }
  }
  EXPECT_EQ(checked, 10 * 365 + 4);  // 1604, 2000, 2024 and 2400 are leap years
}

}  // namespace
}  // namespace ombrix::app
