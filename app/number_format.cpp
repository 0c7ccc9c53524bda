#include "app/number_format.h"

#include <array>
#include <charconv>
#include <cmath>

#include "i18n/language_table.h"

namespace ombrix::app {

namespace {

constexpr std::array<std::u16string_view, 6> kUnitNames = {u"B", u"KB", u"MB", u"GB", u"TB", u"PB"};

std::u16string Widen(std::string_view ascii) { return std::u16string(ascii.begin(), ascii.end()); }

// The locale's answer, else the user's default locale's, else the fallback.
std::u16string TextOrFallback(const LocaleQueries& locale, const LocaleName& name, LocaleText item,
                              std::u16string_view fallback) {
  if (auto text = locale.text(name, item)) return *text;
  if (auto text = locale.text(std::nullopt, item)) return *text;
  return std::u16string(fallback);
}

std::uint32_t NumberOrFallback(const LocaleQueries& locale, const LocaleName& name,
                               LocaleNumber item, std::uint32_t fallback) {
  if (auto number = locale.number(name, item)) return *number;
  if (auto number = locale.number(std::nullopt, item)) return *number;
  return fallback;
}

}  // namespace

LocaleName NumberLocaleName(std::u16string_view languageSetting) {
  std::u16string setting = i18n::NormalizeLanguageSetting(languageSetting);
  if (setting == i18n::kSystemLanguageSetting) return std::nullopt;
  return setting;
}

std::u16string FormatCount(std::u16string_view languageSetting, std::uint64_t value,
                           const LocaleQueries& locale) {
  char digits[24];
  const auto end = std::to_chars(digits, std::end(digits), value).ptr;
  return FormatLocaleNumber(NumberLocaleName(languageSetting),
                            Widen(std::string_view(digits, end - digits)), 0, locale);
}

std::u16string FormatOneDecimal(std::u16string_view languageSetting, double value,
                                const LocaleQueries& locale) {
  if (!std::isfinite(value)) value = 0.0;
  // to_chars ignores the C locale, which could otherwise turn "." into ",".
  // The largest double in fixed notation needs 309 digits.
  char text[400];
  const auto end = std::to_chars(text, std::end(text), value, std::chars_format::fixed, 1).ptr;
  return FormatLocaleNumber(NumberLocaleName(languageSetting),
                            Widen(std::string_view(text, end - text)), 1, locale);
}

std::u16string FormatSize(std::u16string_view languageSetting, std::uint64_t bytes,
                          const LocaleQueries& locale) {
  double value = static_cast<double>(bytes);
  std::size_t unit = 0;
  while (value >= 1024.0 && unit + 1 < kUnitNames.size()) {
    value *= 0.0009765625;  // exactly 1/1024
    ++unit;
  }
  if (unit == 0) return FormatCount(languageSetting, bytes, locale) + u" B";
  return FormatOneDecimal(languageSetting, value, locale) + u" " + std::u16string(kUnitNames[unit]);
}

std::u16string FormatShare(std::u16string_view languageSetting, double percent,
                           const LocaleQueries& locale) {
  return FormatOneDecimal(languageSetting, percent, locale) + u" %";
}

std::u16string FormatLocaleNumber(const LocaleName& localeName, const std::u16string& number,
                                  std::uint32_t decimals, const LocaleQueries& locale) {
  NumberFormatRecord record;
  record.decimalSeparator = TextOrFallback(locale, localeName, LocaleText::DecimalSeparator, u".");
  record.thousandSeparator =
      TextOrFallback(locale, localeName, LocaleText::ThousandSeparator, u",");
  record.decimals = decimals;
  record.leadingZero = NumberOrFallback(locale, localeName, LocaleNumber::LeadingZero, 1);
  record.grouping = LocaleGrouping(localeName, locale);
  record.negativeOrder = NumberOrFallback(locale, localeName, LocaleNumber::NegativeNumberOrder, 1);

  // The record already holds the locale's separators; the user's default
  // locale is only a second chance for the call itself.
  if (auto text = locale.formatNumber(localeName, number, record)) return *text;
  if (auto text = locale.formatNumber(std::nullopt, number, record)) return *text;
  return number;
}

std::uint32_t LocaleGrouping(const LocaleName& localeName, const LocaleQueries& locale) {
  const std::u16string text = TextOrFallback(locale, localeName, LocaleText::Grouping, u"3;0");
  std::uint32_t grouping = 0;
  for (char16_t c : text) {
    if (c == u'0') break;
    if (c >= u'1' && c <= u'9') grouping = grouping * 10 + static_cast<std::uint32_t>(c - u'0');
  }
  // A locale that claims "0" still groups by three.
  return grouping == 0 ? 3 : grouping;
}

}  // namespace ombrix::app
