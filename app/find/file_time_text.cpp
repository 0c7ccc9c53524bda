#include "app/find/file_time_text.h"

#include <algorithm>

namespace ombrix::app {
namespace {

constexpr std::uint64_t kUnitsPerMinute = 600000000ull;
constexpr std::uint64_t kMinutesPerDay = 24 * 60;

void AppendDigits(std::u16string& text, std::uint64_t value, int digits) {
  char16_t buffer[20];
  for (int i = digits - 1; i >= 0; --i) {
    buffer[i] = static_cast<char16_t>(u'0' + value % 10);
    value /= 10;
  }
  text.append(buffer, static_cast<std::size_t>(digits));
}

}  // namespace

std::u16string FileTimeText(std::uint64_t fileTime) {
  if (fileTime == 0) return {};
  const std::uint64_t minutes = fileTime / kUnitsPerMinute;
  const std::uint64_t minuteOfDay = minutes % kMinutesPerDay;
  // Days since 1601-01-01 to a civil date: 1601 starts a 400-year cycle of
  // the Gregorian calendar, so whole cycles, centuries, four-year runs and
  // years peel off in turn.
  std::uint64_t days = minutes / kMinutesPerDay;
  const std::uint64_t cycles = days / 146097;
  days %= 146097;
  const std::uint64_t centuries = std::min<std::uint64_t>(days / 36524, 3);
  days -= centuries * 36524;
  const std::uint64_t runs = days / 1461;
  days %= 1461;
  const std::uint64_t years = std::min<std::uint64_t>(days / 365, 3);
  days -= years * 365;
  const std::uint64_t year = 1601 + cycles * 400 + centuries * 100 + runs * 4 + years;
  const bool leap = (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
  static constexpr std::uint64_t kMonthDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  std::uint64_t month = 0;
  while (true) {
    const std::uint64_t length = kMonthDays[month] + (month == 1 && leap ? 1 : 0);
    if (days < length) break;
    days -= length;
    ++month;
  }
  std::u16string text;
  AppendDigits(text, year, 4);
  text.push_back(u'-');
  AppendDigits(text, month + 1, 2);
  text.push_back(u'-');
  AppendDigits(text, days + 1, 2);
  text.push_back(u' ');
  AppendDigits(text, minuteOfDay / 60, 2);
  text.push_back(u':');
  AppendDigits(text, minuteOfDay % 60, 2);
  return text;
}

}  // namespace ombrix::app
