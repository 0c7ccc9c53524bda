#include "i18n/language_strings.h"

#include <utility>

#include "i18n/language_table.h"

namespace ombrix::i18n {

LanguageStrings::LanguageStrings(LanguageEnvironment environment)
    : environment_(std::move(environment)), setting_(kSystemLanguageSetting) {}

void LanguageStrings::SetLanguage(std::u16string_view value) {
  setting_ = NormalizeLanguageSetting(value);
}

std::u16string LanguageStrings::SystemLanguage() const {
  if (environment_.preferredUiLanguages) {
    for (const std::u16string& name : environment_.preferredUiLanguages()) {
      if (std::optional<std::u16string> locale = MatchLocale(name)) return *locale;
    }
  }
  return std::u16string(kFallbackLocale);
}

std::u16string LanguageStrings::ResolveLanguage() const {
  std::u16string setting = NormalizeLanguageSetting(setting_);
  return setting == kSystemLanguageSetting ? SystemLanguage() : setting;
}

std::u16string LanguageStrings::Translate(std::string_view key) {
  const std::string lookupKey(key);
  for (const std::u16string& locale : {ResolveLanguage(), std::u16string(kFallbackLocale)}) {
    const StringTable& table = LoadedTable(locale);
    if (auto found = table.find(lookupKey); found != table.end()) return found->second;
  }
  std::u16string widened;
  for (char c : key) widened.push_back(static_cast<unsigned char>(c));
  return widened;
}

std::u16string LanguageStrings::SystemLanguageMenuText() {
  std::u16string text = Translate("language.system");
  if (NormalizeLanguageSetting(setting_) == kSystemLanguageSetting) {
    text += u" (" + DisplayNameForLocale(SystemLanguage()) + u")";
  }
  return text;
}

void LanguageStrings::EnsureLanguageLoaded(const std::u16string& locale) {
  if (tables_.contains(locale)) return;
  std::filesystem::path path;
  if (environment_.executableFolder) path = environment_.executableFolder();
  path /= u"resources";
  path /= u"strings";
  path /= locale + u".txt";
  tables_.emplace(locale, ReadLanguageFile(path));
}

const StringTable& LanguageStrings::LoadedTable(const std::u16string& locale) {
  EnsureLanguageLoaded(locale);
  return tables_.at(locale);
}

}  // namespace ombrix::i18n
