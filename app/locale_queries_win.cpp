#include <windows.h>

#include "app/locale_queries.h"
#include "base/win/wide_string_win.h"

namespace ombrix::app {

namespace {

// LOCALE_NAME_USER_DEFAULT is the null name.
const wchar_t* NameOrUserDefault(const LocaleName& locale) {
  return locale ? base::WideView(*locale) : LOCALE_NAME_USER_DEFAULT;
}

LCTYPE TextType(LocaleText item) {
  switch (item) {
    case LocaleText::DecimalSeparator:
      return LOCALE_SDECIMAL;
    case LocaleText::ThousandSeparator:
      return LOCALE_STHOUSAND;
    case LocaleText::Grouping:
      break;
  }
  return LOCALE_SGROUPING;
}

LCTYPE NumberType(LocaleNumber item) {
  return item == LocaleNumber::LeadingZero ? LOCALE_ILZERO : LOCALE_INEGNUMBER;
}

std::optional<std::u16string> Text(const LocaleName& locale, LocaleText item) {
  wchar_t buffer[32] = {};
  if (::GetLocaleInfoEx(NameOrUserDefault(locale), TextType(item), buffer, 32) <= 0) {
    return std::nullopt;
  }
  buffer[31] = L'\0';
  return base::FromWide(buffer);
}

std::optional<std::uint32_t> Number(const LocaleName& locale, LocaleNumber item) {
  // With LOCALE_RETURN_NUMBER the "string" is one DWORD: two UTF-16 units.
  DWORD value = 0;
  if (::GetLocaleInfoEx(NameOrUserDefault(locale), NumberType(item) | LOCALE_RETURN_NUMBER,
                        reinterpret_cast<LPWSTR>(&value), sizeof value / sizeof(wchar_t)) <= 0) {
    return std::nullopt;
  }
  return value;
}

std::optional<std::u16string> FormatNumber(const LocaleName& locale, const std::u16string& number,
                                           const NumberFormatRecord& record) {
  // NUMBERFMTW wants writable separators; these copies are never written.
  std::u16string decimalSeparator = record.decimalSeparator;
  std::u16string thousandSeparator = record.thousandSeparator;
  NUMBERFMTW format{};
  format.NumDigits = record.decimals;
  format.LeadingZero = record.leadingZero;
  format.Grouping = record.grouping;
  format.lpDecimalSep = base::WritableWide(decimalSeparator);
  format.lpThousandSep = base::WritableWide(thousandSeparator);
  format.NegativeOrder = record.negativeOrder;

  const wchar_t* name = NameOrUserDefault(locale);
  const int needed = ::GetNumberFormatEx(name, 0, base::WideView(number), &format, nullptr, 0);
  if (needed <= 0) return std::nullopt;
  std::u16string text(static_cast<std::size_t>(needed), u'\0');
  if (::GetNumberFormatEx(name, 0, base::WideView(number), &format, base::WritableWide(text),
                          needed) <= 0) {
    return std::nullopt;
  }
  text.resize(text.find(u'\0') == std::u16string::npos ? text.size() : text.find(u'\0'));
  return text;
}

}  // namespace

const LocaleQueries& SystemLocaleQueries() {
  static const LocaleQueries queries{Text, Number, FormatNumber};
  return queries;
}

}  // namespace ombrix::app
