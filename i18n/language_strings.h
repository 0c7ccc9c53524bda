// The window's texts by key, in the language the settings choose or, for
// "system", the best match for the user's preferred UI languages. A key the
// language lacks falls back to en-US, then to the key itself.
//
// Lives on the window thread with the main window. Each language file is
// read at most once per process, lazily, and stays cached even when it was
// missing; the language is resolved again at every lookup, so a change of
// the user's preferred languages shows at the next text.
#pragma once

#include <string>
#include <string_view>
#include <unordered_map>

#include "i18n/language_environment.h"
#include "i18n/language_file.h"

namespace ombrix::i18n {

class LanguageStrings {
 public:
  explicit LanguageStrings(LanguageEnvironment environment);

  // Always "system" or a table locale.
  const std::u16string& Setting() const { return setting_; }
  void SetLanguage(std::u16string_view value);

  // The first preferred UI language that matches a table locale, else en-US.
  std::u16string SystemLanguage() const;
  // The table locale in effect now.
  std::u16string ResolveLanguage() const;

  std::u16string Translate(std::string_view key);
  // The language menu's entry that follows the system: the "language.system"
  // text, and while the setting is "system" the language it resolves to in
  // parentheses.
  std::u16string SystemLanguageMenuText();

  void EnsureLanguageLoaded(const std::u16string& locale);

 private:
  const StringTable& LoadedTable(const std::u16string& locale);

  LanguageEnvironment environment_;
  std::u16string setting_;
  std::unordered_map<std::u16string, StringTable> tables_;
};

}  // namespace ombrix::i18n
