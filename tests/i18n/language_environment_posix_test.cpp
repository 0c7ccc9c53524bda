#include <gtest/gtest.h>

#include <cstdlib>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "i18n/language_environment.h"
#include "tests/support/test_environment.h"

namespace ombrix::i18n {
namespace {

// Restores the locale variables this test changes.
class LocaleVariables {
 public:
  LocaleVariables() {
    for (const char* name : kNames) {
      const char* value = std::getenv(name);
      saved_.emplace_back(name, value ? std::optional<std::string>(value) : std::nullopt);
      test::SetEnvironmentVariableForTest(name, nullptr);
    }
  }
  ~LocaleVariables() {
    for (const auto& [name, value] : saved_) {
      test::SetEnvironmentVariableForTest(name, value ? value->c_str() : nullptr);
    }
  }

 private:
  static constexpr const char* kNames[] = {"LANGUAGE", "LC_ALL", "LC_MESSAGES", "LANG"};
  std::vector<std::pair<const char*, std::optional<std::string>>> saved_;
};

TEST(LanguageEnvironmentPosixTest, PreferredLanguagesFromTheLocaleVariables) {
  LocaleVariables restore;
  const LanguageEnvironment environment = SystemLanguageEnvironment();
  EXPECT_TRUE(environment.preferredUiLanguages().empty());

  test::SetEnvironmentVariableForTest("LANG", "C.UTF-8");
  EXPECT_TRUE(environment.preferredUiLanguages().empty());
  test::SetEnvironmentVariableForTest("LANG", "de_AT.UTF-8@euro");
  EXPECT_EQ(environment.preferredUiLanguages(), std::vector<std::u16string>{u"de-AT"});
  test::SetEnvironmentVariableForTest("LC_ALL", "pt_BR");
  EXPECT_EQ(environment.preferredUiLanguages(), std::vector<std::u16string>{u"pt-BR"});
  test::SetEnvironmentVariableForTest("LANGUAGE", "fr_CA:en_US:C");
  EXPECT_EQ(environment.preferredUiLanguages(), (std::vector<std::u16string>{u"fr-CA", u"en-US"}));
}

TEST(LanguageEnvironmentPosixTest, TheLanguageFilesAreBesideTheExecutable) {
  const std::filesystem::path folder = SystemLanguageEnvironment().executableFolder();
  EXPECT_TRUE(std::filesystem::exists(folder / "resources" / "strings" / "en-US.txt")) << folder;
}

}  // namespace
}  // namespace ombrix::i18n
