#include "app/number_format_record.h"

#include <gtest/gtest.h>

#include "base/text_encoding.h"

namespace ombrix::app {
namespace {

NumberFormatRecord Record(std::uint32_t decimals, std::uint32_t grouping = 3,
                          std::u16string decimalSeparator = u".",
                          std::u16string thousandSeparator = u",") {
  NumberFormatRecord record;
  record.decimals = decimals;
  record.grouping = grouping;
  record.decimalSeparator = std::move(decimalSeparator);
  record.thousandSeparator = std::move(thousandSeparator);
  return record;
}

TEST(NumberFormatRecordTest, GroupsRoundsAndPlacesSigns) {
  NumberFormatRecord noLeadingZero = Record(1);
  noLeadingZero.leadingZero = 0;
  NumberFormatRecord parentheses = Record(1);
  parentheses.negativeOrder = 0;
  NumberFormatRecord trailingMinus = Record(0);
  trailingMinus.negativeOrder = 4;
  const struct {
    std::u16string_view number;
    NumberFormatRecord record;
    std::u16string_view formatted;
  } cases[] = {
      {u"0", Record(0), u"0"},
      {u"123456", Record(0), u"123,456"},
      {u"1234567890", Record(0, 32), u"1,23,45,67,890"},
      {u"123456789", Record(0, 32), u"12,34,56,789"},
      {u"123456789", Record(0, 30), u"123456,789"},
      {u"123456789", Record(0, 0), u"123456789"},
      {u"1234567", Record(0, 3, u",", u"."), u"1.234.567"},
      {u"1536.5", Record(1, 3, u",", u"\u00A0"), u"1\u00A0536,5"},
      {u"007", Record(0), u"7"},
      {u"1234", Record(2), u"1,234.00"},
      {u"0.96", Record(1), u"1.0"},
      {u"999.95", Record(1), u"1,000.0"},
      {u"0.5", noLeadingZero, u".5"},
      {u"-1.5", parentheses, u"(1.5)"},
      {u"-12", trailingMinus, u"12 -"},
      {u"-0.0", Record(1), u"-0.0"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(ApplyNumberFormatRecord(c.number, c.record), c.formatted) << base::ToUtf8(c.number);
  }
}

TEST(NumberFormatRecordTest, OnlyPlainNumbersAreFormatted) {
  for (std::u16string_view bad : {u"", u"-", u".", u"1,5", u"1.2.3", u"+1", u"12a", u" 1"}) {
    EXPECT_EQ(ApplyNumberFormatRecord(bad, Record(0)), std::nullopt) << base::ToUtf8(bad);
  }
}

}  // namespace
}  // namespace ombrix::app
