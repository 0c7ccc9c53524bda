// The fifteen languages the program ships texts for, in the order the
// language menu lists them, and the rules that turn a language setting or a
// system language name into one of them.
#pragma once

#include <array>
#include <optional>
#include <string>
#include <string_view>

namespace ombrix::i18n {

struct LanguageInfo {
  std::u16string_view locale;
  // Shown as it stands, whatever the current language.
  std::u16string_view displayName;
};

inline constexpr std::array<LanguageInfo, 15> kLanguages = {{
    {u"en-US", u"English"},
    {u"ja-JP", u"日本語 (Japanese)"},
    {u"be-BY", u"Беларуская (Belarusian)"},
    {u"de-DE", u"Deutsch (German)"},
    {u"es-ES", u"Español (Spanish)"},
    {u"fr-FR", u"Français (French)"},
    {u"hu-HU", u"Magyar (Hungarian)"},
    {u"it-IT", u"Italiano (Italian)"},
    {u"ko-KR", u"한국어 (Korean)"},
    {u"pl-PL", u"Polski (Polish)"},
    {u"pt-BR", u"Português (Portuguese)"},
    {u"ru-RU", u"Русский (Russian)"},
    {u"uk-UA", u"Українська (Ukrainian)"},
    {u"zh-CN", u"简体中文 (Simplified Chinese)"},
    {u"zh-TW", u"繁體中文 (Traditional Chinese)"},
}};

// The setting that follows the user's preferred UI languages.
inline constexpr std::u16string_view kSystemLanguageSetting = u"system";
// Every key falls back to this language's text.
inline constexpr std::u16string_view kFallbackLocale = u"en-US";

// A table locale for a name such as "de-AT" or "zh-Hant-TW": the locale
// itself ignoring case, else the first row with the same language part.
std::optional<std::u16string> MatchLocale(std::u16string_view name);

// "system" or a table locale, in the table's letter case. Empty and
// unrecognised values follow the system.
std::u16string NormalizeLanguageSetting(std::u16string_view value);

// The table's display name, or the locale itself when it is not a row.
std::u16string DisplayNameForLocale(std::u16string_view locale);

}  // namespace ombrix::i18n
