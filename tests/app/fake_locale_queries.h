// A locale database that knows only the locales a test gives it, so every
// fallback of the number formatters can be reached.
#pragma once

#include <map>
#include <set>
#include <string>

#include "app/locale_queries.h"

namespace ombrix::app::testing {

struct FakeLocale {
  std::u16string decimalSeparator;
  std::u16string thousandSeparator;
  std::u16string grouping;
  std::uint32_t leadingZero = 1;
  std::uint32_t negativeOrder = 1;
};

inline const FakeLocale kEnglishUs{u".", u",", u"3;0"};
inline const FakeLocale kGerman{u",", u".", u"3;0"};
inline const FakeLocale kHindi{u".", u",", u"3;2;0"};

// The key none is the user's default locale. formatNumber fails for the
// names in `formatFailures` and for locales the database does not hold.
inline LocaleQueries FakeLocaleQueries(std::map<LocaleName, FakeLocale> locales,
                                       std::set<LocaleName> formatFailures = {}) {
  LocaleQueries queries;
  queries.text = [locales](const LocaleName& name,
                           LocaleText item) -> std::optional<std::u16string> {
    const auto found = locales.find(name);
    if (found == locales.end()) return std::nullopt;
    switch (item) {
      case LocaleText::DecimalSeparator:
        return found->second.decimalSeparator;
      case LocaleText::ThousandSeparator:
        return found->second.thousandSeparator;
      case LocaleText::Grouping:
        break;
    }
    return found->second.grouping;
  };
  queries.number = [locales](const LocaleName& name,
                             LocaleNumber item) -> std::optional<std::uint32_t> {
    const auto found = locales.find(name);
    if (found == locales.end()) return std::nullopt;
    return item == LocaleNumber::LeadingZero ? found->second.leadingZero
                                             : found->second.negativeOrder;
  };
  queries.formatNumber = [locales, formatFailures](const LocaleName& name,
                                                   const std::u16string& number,
                                                   const NumberFormatRecord& record) {
    std::optional<std::u16string> text;
    if (locales.contains(name) && !formatFailures.contains(name)) {
      text = ApplyNumberFormatRecord(number, record);
    }
    return text;
  };
  return queries;
}

}  // namespace ombrix::app::testing
