// The native build's stand-in for the Windows queries: the preferred
// languages come from the POSIX locale variables ("de_AT.UTF-8" reads as
// "de-AT"), the folder from /proc/self/exe.
#include <system_error>

#include "base/environment.h"
#include "i18n/language_environment.h"

namespace ombrix::i18n {

namespace {

// "de_AT.UTF-8@euro" -> "de-AT"; "C" and "POSIX" name no language.
std::u16string LanguageName(std::u16string_view posixLocale) {
  posixLocale = posixLocale.substr(0, posixLocale.find_first_of(u".@"));
  if (posixLocale == u"C" || posixLocale == u"POSIX") return {};
  std::u16string name(posixLocale);
  for (char16_t& c : name) {
    if (c == u'_') c = u'-';
  }
  return name;
}

std::vector<std::u16string> PreferredUiLanguages() {
  std::vector<std::u16string> names;
  // LANGUAGE is a colon-separated list of preferences; otherwise the
  // first variable that is set decides, as for the C library's messages.
  if (auto list = base::ReadEnvironmentVariable(u"LANGUAGE"); list && !list->empty()) {
    std::u16string_view rest = *list;
    for (;;) {
      const std::size_t end = rest.find(u':');
      if (std::u16string name = LanguageName(rest.substr(0, end)); !name.empty()) {
        names.push_back(std::move(name));
      }
      if (end == std::u16string_view::npos) break;
      rest.remove_prefix(end + 1);
    }
    return names;
  }
  for (const char16_t* variable : {u"LC_ALL", u"LC_MESSAGES", u"LANG"}) {
    if (auto value = base::ReadEnvironmentVariable(variable); value && !value->empty()) {
      if (std::u16string name = LanguageName(*value); !name.empty()) names.push_back(name);
      break;
    }
  }
  return names;
}

std::filesystem::path ExecutableFolder() {
  std::error_code error;
  const std::filesystem::path executable = std::filesystem::read_symlink("/proc/self/exe", error);
  if (!error) return executable.parent_path();
  return std::filesystem::current_path(error);
}

}  // namespace

LanguageEnvironment SystemLanguageEnvironment() { return {PreferredUiLanguages, ExecutableFolder}; }

}  // namespace ombrix::i18n
