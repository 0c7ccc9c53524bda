#include "i18n/language_table.h"

namespace ombrix::i18n {

namespace {

char16_t AsciiLower(char16_t c) {
  return c >= u'A' && c <= u'Z' ? static_cast<char16_t>(c - u'A' + u'a') : c;
}

// Locale names and the setting words are ASCII, so folding ASCII letters is
// all the case-insensitivity they need.
bool EqualsIgnoringCase(std::u16string_view a, std::u16string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    if (AsciiLower(a[i]) != AsciiLower(b[i])) return false;
  }
  return true;
}

std::u16string_view LanguagePart(std::u16string_view name) {
  return name.substr(0, name.find(u'-'));
}

}  // namespace

std::optional<std::u16string> MatchLocale(std::u16string_view name) {
  for (const LanguageInfo& language : kLanguages) {
    if (EqualsIgnoringCase(language.locale, name)) return std::u16string(language.locale);
  }
  const std::u16string_view part = LanguagePart(name);
  if (part.empty()) return std::nullopt;
  for (const LanguageInfo& language : kLanguages) {
    if (EqualsIgnoringCase(LanguagePart(language.locale), part)) {
      return std::u16string(language.locale);
    }
  }
  return std::nullopt;
}

std::u16string NormalizeLanguageSetting(std::u16string_view value) {
  if (value.empty() || EqualsIgnoringCase(value, kSystemLanguageSetting)) {
    return std::u16string(kSystemLanguageSetting);
  }
  // A settings file may name these two languages in English.
  if (EqualsIgnoringCase(value, u"English")) return u"en-US";
  if (EqualsIgnoringCase(value, u"Japanese")) return u"ja-JP";
  return MatchLocale(value).value_or(std::u16string(kSystemLanguageSetting));
}

std::u16string DisplayNameForLocale(std::u16string_view locale) {
  for (const LanguageInfo& language : kLanguages) {
    if (language.locale == locale) return std::u16string(language.displayName);
  }
  return std::u16string(locale);
}

}  // namespace ombrix::i18n
