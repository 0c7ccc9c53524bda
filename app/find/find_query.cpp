#include "app/find/find_query.h"

#include <array>
#include <limits>
#include <vector>

#include "base/name_case.h"

namespace ombrix::app {
namespace {

constexpr std::uint64_t kFileTimeUnitsPerDay = 864000000000ull;

struct SizeUnit {
  std::u16string_view name;  // folded
  std::uint64_t bytes;
};
constexpr std::array<SizeUnit, 10> kSizeUnits{{{u"", 1},
                                               {u"B", 1},
                                               {u"K", 1ull << 10},
                                               {u"KB", 1ull << 10},
                                               {u"M", 1ull << 20},
                                               {u"MB", 1ull << 20},
                                               {u"G", 1ull << 30},
                                               {u"GB", 1ull << 30},
                                               {u"T", 1ull << 40},
                                               {u"TB", 1ull << 40}}};

bool IsDigit(char16_t unit) { return unit >= u'0' && unit <= u'9'; }

std::optional<std::uint64_t> UnitBytes(std::u16string_view unit) {
  std::u16string folded;
  for (const char16_t c : unit) folded.push_back(base::FoldNameUnit(c));
  for (const SizeUnit& known : kSizeUnits) {
    if (folded == known.name) return known.bytes;
  }
  return std::nullopt;
}

bool IsLeapYear(int year) { return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0; }

int DaysInMonth(int year, int month) {
  static constexpr int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  return month == 2 && IsLeapYear(year) ? 29 : kDays[month - 1];
}

// Days from 1601-01-01 to the start of year (a proleptic Gregorian count).
std::uint64_t DaysBeforeYear(int year) {
  const std::uint64_t years = static_cast<std::uint64_t>(year - 1601);
  return years * 365 + years / 4 - years / 100 + years / 400;
}

std::vector<std::u16string_view> Words(std::u16string_view text) {
  std::vector<std::u16string_view> words;
  std::size_t at = 0;
  while (at < text.size()) {
    while (at < text.size() && (text[at] == u' ' || text[at] == u'\t')) ++at;
    const std::size_t start = at;
    while (at < text.size() && text[at] != u' ' && text[at] != u'\t') ++at;
    if (at > start) words.push_back(text.substr(start, at - start));
  }
  return words;
}

}  // namespace

std::optional<std::uint64_t> ParseSizeText(std::u16string_view text) {
  std::size_t at = 0;
  std::uint64_t whole = 0;
  while (at < text.size() && IsDigit(text[at])) {
    const std::uint64_t digit = static_cast<std::uint64_t>(text[at] - u'0');
    if (whole > (std::numeric_limits<std::uint64_t>::max() - digit) / 10) return std::nullopt;
    whole = whole * 10 + digit;
    ++at;
  }
  if (at == 0) return std::nullopt;
  // Up to nine digits of a fraction, kept as a numerator over 10^digits.
  std::uint64_t fraction = 0;
  std::uint64_t scale = 1;
  if (at < text.size() && (text[at] == u'.' || text[at] == u',')) {
    ++at;
    const std::size_t fractionStart = at;
    while (at < text.size() && IsDigit(text[at])) {
      if (scale < 1000000000ull) {
        fraction = fraction * 10 + static_cast<std::uint64_t>(text[at] - u'0');
        scale *= 10;
      }
      ++at;
    }
    if (at == fractionStart) return std::nullopt;
  }
  const std::optional<std::uint64_t> unit = UnitBytes(text.substr(at));
  if (!unit) return std::nullopt;
  if (whole > std::numeric_limits<std::uint64_t>::max() / *unit) return std::nullopt;
  const std::uint64_t wholeBytes = whole * *unit;
  // unit * fraction / scale, split so that no product overflows: fraction
  // < scale <= 10^9 and unit <= 2^40.
  const std::uint64_t fractionBytes =
      (*unit / scale) * fraction + (*unit % scale) * fraction / scale;
  if (wholeBytes > std::numeric_limits<std::uint64_t>::max() - fractionBytes) return std::nullopt;
  return wholeBytes + fractionBytes;
}

std::optional<CalendarDate> ParseDateText(std::u16string_view text) {
  if (text.size() != 10 || text[4] != u'-' || text[7] != u'-') return std::nullopt;
  int fields[3] = {0, 0, 0};
  const std::size_t starts[3] = {0, 5, 8};
  const std::size_t lengths[3] = {4, 2, 2};
  for (int f = 0; f < 3; ++f) {
    for (std::size_t i = 0; i < lengths[f]; ++i) {
      const char16_t unit = text[starts[f] + i];
      if (!IsDigit(unit)) return std::nullopt;
      fields[f] = fields[f] * 10 + (unit - u'0');
    }
  }
  const CalendarDate date{fields[0], fields[1], fields[2]};
  if (date.year < 1601 || date.month < 1 || date.month > 12 || date.day < 1 ||
      date.day > DaysInMonth(date.year, date.month)) {
    return std::nullopt;
  }
  return date;
}

std::uint64_t FileTimeAtUtcMidnight(const CalendarDate& date) {
  std::uint64_t days = DaysBeforeYear(date.year);
  for (int month = 1; month < date.month; ++month) {
    days += static_cast<std::uint64_t>(DaysInMonth(date.year, month));
  }
  days += static_cast<std::uint64_t>(date.day - 1);
  return days * kFileTimeUnitsPerDay;
}

ParsedFindText ParseFindText(std::u16string_view text) {
  FindQuery query;
  for (const std::u16string_view word : Words(text)) {
    if (word.front() == u'>' || word.front() == u'<') {
      const std::u16string_view value = word.substr(1);
      if (word.front() == u'>') {
        const std::optional<std::uint64_t> size = ParseSizeText(value);
        // "More than": one byte above the size given.
        if (!size || *size == std::numeric_limits<std::uint64_t>::max()) {
          return {std::nullopt, std::u16string(word)};
        }
        query.minimumSize = *size + 1;
      } else {
        const std::optional<CalendarDate> date = ParseDateText(value);
        if (!date) return {std::nullopt, std::u16string(word)};
        query.modifiedBefore = date;
      }
      continue;
    }
    if (!query.patternText.empty()) query.patternText.push_back(u' ');
    query.patternText.append(word);
  }
  query.pattern = NamePattern::Parse(query.patternText);
  return {std::move(query), {}};
}

}  // namespace ombrix::app
