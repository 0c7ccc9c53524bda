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

// The name none is the user's default locale. The number call fails for
// unknown locales and for those in `formatFailures`.
inline LocaleQueries FakeLocaleQueries(std::map<LocaleName, FakeLocale> locales,
                                       std::set<LocaleName> formatFailures = {}) {
  const auto find = [locales](const LocaleName& name) -> std::optional<FakeLocale> {
    const auto found = locales.find(name);
    return found == locales.end() ? std::nullopt : std::optional(found->second);
  };
  return {
      [find](const LocaleName& name, LocaleText item) -> std::optional<std::u16string> {
        const auto locale = find(name);
        if (!locale) return std::nullopt;
        if (item == LocaleText::DecimalSeparator) return locale->decimalSeparator;
        if (item == LocaleText::ThousandSeparator) return locale->thousandSeparator;
        return locale->grouping;
      },
      [find](const LocaleName& name, LocaleNumber item) -> std::optional<std::uint32_t> {
        const auto locale = find(name);
        if (!locale) return std::nullopt;
        return item == LocaleNumber::LeadingZero ? locale->leadingZero : locale->negativeOrder;
      },
      [find, formatFailures](const LocaleName& name, const std::u16string& number,
                             const NumberFormatRecord& record) -> std::optional<std::u16string> {
        if (!find(name) || formatFailures.contains(name)) return std::nullopt;
        return ApplyNumberFormatRecord(number, record);
      }};
}

}  // namespace ombrix::app::testing
