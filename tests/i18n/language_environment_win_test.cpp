#include <windows.h>

#include <gtest/gtest.h>

#include "i18n/language_environment.h"
#include "i18n/language_strings.h"
#include "i18n/language_table.h"

namespace ombrix::i18n {
namespace {

// Wine reports at least its own UI language, and the system language is
// always a table locale.
TEST(LanguageEnvironmentWinTest, PreferredUiLanguagesAreRead) {
  const LanguageEnvironment environment = SystemLanguageEnvironment();
  const std::vector<std::u16string> preferred = environment.preferredUiLanguages();
  ASSERT_FALSE(preferred.empty());
  for (const std::u16string& name : preferred) EXPECT_FALSE(name.empty());
  LanguageStrings strings(environment);
  EXPECT_TRUE(MatchLocale(strings.SystemLanguage()));
}

TEST(LanguageEnvironmentWinTest, TextsComeFromTheFilesBesideTheExecutable) {
  LanguageStrings strings(SystemLanguageEnvironment());
  strings.SetLanguage(u"de-DE");
  EXPECT_EQ(strings.Translate("toolbar.cancel"), u"Abbrechen");
  strings.SetLanguage(u"English");
  EXPECT_EQ(strings.Translate("toolbar.cancel"), u"Cancel");
}

}  // namespace
}  // namespace ombrix::i18n
