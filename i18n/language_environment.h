// What the language tables ask of the system: the user's preferred UI
// languages and the folder the executable runs from (language files live
// in resources/strings/ beside it). Tests replace both.
#pragma once

#include <filesystem>
#include <functional>
#include <string>
#include <vector>

namespace ombrix::i18n {

struct LanguageEnvironment {
  // Language names such as "fr-CA", most preferred first; empty when the
  // system cannot say.
  std::function<std::vector<std::u16string>()> preferredUiLanguages;
  // The current directory when the executable's own path is unknown.
  std::function<std::filesystem::path()> executableFolder;
};

// The running program's: GetUserPreferredUILanguages and the module path on
// Windows; natively the POSIX locale variables and /proc/self/exe.
LanguageEnvironment SystemLanguageEnvironment();

}  // namespace ombrix::i18n
