// The locale database as the number formatters ask it: GetLocaleInfoEx for
// separators, grouping and number flags, GetNumberFormatEx for the final
// text. Behind a table of functions so the fallbacks can be tested with a
// database that answers or fails at will.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>

#include "app/number_format_record.h"

namespace ombrix::app {

// A locale name such as "de-DE"; none is the user's default locale.
using LocaleName = std::optional<std::u16string>;

enum class LocaleText {
  DecimalSeparator,   // LOCALE_SDECIMAL
  ThousandSeparator,  // LOCALE_STHOUSAND
  Grouping,           // LOCALE_SGROUPING, such as "3;2;0"
};

enum class LocaleNumber {
  LeadingZero,          // LOCALE_ILZERO
  NegativeNumberOrder,  // LOCALE_INEGNUMBER
};

// Each function answers nothing when the database has no answer for that
// locale.
struct LocaleQueries {
  std::function<std::optional<std::u16string>(const LocaleName&, LocaleText)> text;
  std::function<std::optional<std::uint32_t>(const LocaleName&, LocaleNumber)> number;
  std::function<std::optional<std::u16string>(const LocaleName&, const std::u16string& number,
                                              const NumberFormatRecord&)>
      formatNumber;
};

// Windows' locale database; natively a stand-in that knows en-US only and
// answers it for the user's default locale.
const LocaleQueries& SystemLocaleQueries();

}  // namespace ombrix::app
