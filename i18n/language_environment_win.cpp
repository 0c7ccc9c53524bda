#include <windows.h>

#include <algorithm>
#include <system_error>

#include "base/win/executable_path_win.h"
#include "base/win/wide_string_win.h"
#include "i18n/language_environment.h"

namespace ombrix::i18n {

namespace {

std::vector<std::u16string> PreferredUiLanguages() {
  ULONG count = 0;
  ULONG length = 0;
  if (!::GetUserPreferredUILanguages(MUI_LANGUAGE_NAME, &count, nullptr, &length) || length == 0) {
    return {};
  }
  std::u16string buffer(length, u'\0');
  if (!::GetUserPreferredUILanguages(MUI_LANGUAGE_NAME, &count, base::WritableWide(buffer),
                                     &length)) {
    return {};
  }
  // NUL-separated names, the list itself ended by an empty one.
  std::vector<std::u16string> names;
  std::u16string_view rest(buffer.data(), std::min<std::size_t>(length, buffer.size()));
  while (!rest.empty() && rest.front() != u'\0') {
    const std::size_t end = rest.find(u'\0');
    names.emplace_back(rest.substr(0, end));
    if (end == std::u16string_view::npos) break;
    rest.remove_prefix(end + 1);
  }
  return names;
}

std::filesystem::path ExecutableFolder() {
  const std::u16string executable = base::GetExecutablePath();
  if (!executable.empty()) return std::filesystem::path(executable).parent_path();
  std::error_code error;
  return std::filesystem::current_path(error);
}

}  // namespace

LanguageEnvironment SystemLanguageEnvironment() { return {PreferredUiLanguages, ExecutableFolder}; }

}  // namespace ombrix::i18n
