// What the filter box and ombrix-scan --find ask for, parsed from text:
// a name pattern (name_pattern.h), optionally a smallest size and a date
// the files must have been written before.
//
// The filter box takes one line: words starting with '>' give the size
// (">1GB", "> 500 MB" is not: the unit follows the number), words starting
// with '<' the date ("<2024-01-31"), and the other words, joined by single
// spaces, the name patterns ("*.iso;*.img >1GB <2023-06-01"). Sizes count
// in 1024s, as Windows shows them (KB, MB, GB, TB, the B optional; a
// fraction with '.' or ','). A date is YYYY-MM-DD; a file matches when it
// was last written before that day began. Files whose time is unknown (0)
// never match a date.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "app/find/name_pattern.h"

namespace ombrix::app {

struct CalendarDate {
  int year = 1601;
  int month = 1;
  int day = 1;

  bool operator==(const CalendarDate&) const = default;
};

// A file's size in bytes: digits, an optional fraction and an optional
// unit. None when the text is not one, or the size is beyond 2^64 - 1.
std::optional<std::uint64_t> ParseSizeText(std::u16string_view text);
// YYYY-MM-DD, a real day from 1601 on; none otherwise.
std::optional<CalendarDate> ParseDateText(std::u16string_view text);
// The FILETIME (100 ns units since 1601-01-01 UTC) at the start of the day
// in UTC.
std::uint64_t FileTimeAtUtcMidnight(const CalendarDate& date);

struct FindQuery {
  std::u16string patternText;
  NamePattern pattern;
  // Files at least this large on the chosen size basis.
  std::uint64_t minimumSize = 0;
  std::optional<CalendarDate> modifiedBefore;

  // Nothing asked: every file matches.
  bool AsksNothing() const {
    return pattern.MatchesEverything() && minimumSize == 0 && !modifiedBefore;
  }
};

struct ParsedFindText {
  std::optional<FindQuery> query;  // set when the text is well formed
  std::u16string badWord;          // the word that is neither otherwise
};

ParsedFindText ParseFindText(std::u16string_view text);

}  // namespace ombrix::app
