#include "app/number_format_record.h"

#include <gtest/gtest.h>

#include "base/text_encoding.h"

namespace ombrix::app {
namespace {

NumberFormatRecord Record(std::uint32_t decimals, std::uint32_t grouping = 3,
                          std::uint32_t leadingZero = 1, std::uint32_t negativeOrder = 1) {
  NumberFormatRecord record;
  record.decimals = decimals;
  record.grouping = grouping;
  record.leadingZero = leadingZero;
  record.negativeOrder = negativeOrder;
  return record;
}

// What GetNumberFormatEx does on Windows (held against it there); here the
// cases its documentation names and rounding, which the formatters never ask for.
TEST(NumberFormatRecordTest, GroupsRoundsAndPlacesSigns) {
  const struct {
    std::u16string_view number;
    NumberFormatRecord record;
    std::u16string_view formatted;
  } cases[] = {
      {u"123456789", Record(0), u"123,456,789"},
      {u"123456789", Record(0, 32), u"12,34,56,789"},
      {u"123456789", Record(0, 30), u"123456,789"},
      {u"123456789", Record(0, 0), u"123456789"},
      {u"007", Record(0), u"7"},
      {u"1234", Record(2), u"1,234.00"},
      {u"999.95", Record(1), u"1,000.0"},
      {u"0.5", Record(1, 3, 0), u".5"},
      {u"-1.5", Record(1, 3, 1, 0), u"(1.5)"},
      {u"-12", Record(0, 3, 1, 4), u"12 -"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(ApplyNumberFormatRecord(c.number, c.record), c.formatted) << base::ToUtf8(c.number);
  }
  for (std::u16string_view bad : {u"", u"-", u".", u"1,5", u"1.2.3", u"+1", u"12a"}) {
    EXPECT_EQ(ApplyNumberFormatRecord(bad, Record(0)), std::nullopt) << base::ToUtf8(bad);
  }
}

}  // namespace
}  // namespace ombrix::app
