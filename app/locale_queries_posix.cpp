// The native build has no Windows locale database. It answers en-US for
// "en-US" and for the user's default locale, and nothing for any other
// name, so the formatters fall back exactly as they would on Windows for a
// locale it does not know.
#include "app/locale_queries.h"

namespace ombrix::app {

namespace {

bool Known(const LocaleName& locale) { return !locale || *locale == u"en-US"; }

std::optional<std::u16string> Text(const LocaleName& locale, LocaleText item) {
  if (!Known(locale)) return std::nullopt;
  switch (item) {
    case LocaleText::DecimalSeparator:
      return u".";
    case LocaleText::ThousandSeparator:
      return u",";
    case LocaleText::Grouping:
      break;
  }
  return u"3;0";
}

std::optional<std::uint32_t> Number(const LocaleName& locale, LocaleNumber) {
  if (!Known(locale)) return std::nullopt;
  return 1;  // both the leading zero and "-1.1"
}

std::optional<std::u16string> FormatNumber(const LocaleName& locale, const std::u16string& number,
                                           const NumberFormatRecord& record) {
  if (!Known(locale)) return std::nullopt;
  return ApplyNumberFormatRecord(number, record);
}

}  // namespace

const LocaleQueries& SystemLocaleQueries() {
  static const LocaleQueries queries{Text, Number, FormatNumber};
  return queries;
}

}  // namespace ombrix::app
