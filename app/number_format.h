// Every number the window shows goes through these: counts, one-decimal
// values, byte sizes in units of 1024 and shares in percent, written in the
// number format of the locale that belongs to the language setting ("system"
// means the user's default locale, not the UI language picked for texts).
//
// Nothing is cached: each call asks the locale database afresh, falling
// back to the user's default locale and then to "." "," and groups of
// three; a number the system cannot format comes back as plain digits.
// Window thread; no state between calls.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "app/locale_queries.h"

namespace ombrix::app {

// None for "system" (and anything that normalises to it), else the
// setting's table locale.
LocaleName NumberLocaleName(std::u16string_view languageSetting);

// 123456 -> "123,456" in en-US.
std::u16string FormatCount(std::u16string_view languageSetting, std::uint64_t value,
                           const LocaleQueries& locale = SystemLocaleQueries());

// Exactly one decimal: 1234.56 -> "1,234.6". NaN and infinities read 0.0.
std::u16string FormatOneDecimal(std::u16string_view languageSetting, double value,
                                const LocaleQueries& locale = SystemLocaleQueries());

// "1,023 B", "1.5 KB", "931.3 GB"; the unit is chosen before rounding, so
// 1048575 bytes read "1,024.0 KB", and it stops at PB.
std::u16string FormatSize(std::u16string_view languageSetting, std::uint64_t bytes,
                          const LocaleQueries& locale = SystemLocaleQueries());

// One decimal and " %": "12.5 %".
std::u16string FormatShare(std::u16string_view languageSetting, double percent,
                           const LocaleQueries& locale = SystemLocaleQueries());

// Re-formats a plain ASCII number ("1234567", "1536.5") for the locale.
std::u16string FormatLocaleNumber(const LocaleName& localeName, const std::u16string& number,
                                  std::uint32_t decimals,
                                  const LocaleQueries& locale = SystemLocaleQueries());

// The locale's grouping text ("3;2;0") as NumberFormatRecord::grouping (32).
std::uint32_t LocaleGrouping(const LocaleName& localeName,
                             const LocaleQueries& locale = SystemLocaleQueries());

}  // namespace ombrix::app
