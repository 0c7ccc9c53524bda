#include <gtest/gtest.h>

#include "i18n/language_environment.h"
#include "i18n/language_strings.h"
#include "i18n/language_table.h"

namespace ombrix::i18n {
namespace {

// Wine names at least its own UI language; the files are found through the
// executable's real path.
TEST(LanguageEnvironmentWinTest, PreferredLanguagesAndTheFilesBesideTheExecutable) {
  LanguageStrings strings(SystemLanguageEnvironment());
  EXPECT_FALSE(SystemLanguageEnvironment().preferredUiLanguages().empty());
  EXPECT_TRUE(MatchLocale(strings.SystemLanguage()));
  strings.SetLanguage(u"de-DE");
  EXPECT_EQ(strings.Translate("toolbar.cancel"), u"Abbrechen");
  strings.SetLanguage(u"English");
  EXPECT_EQ(strings.Translate("toolbar.cancel"), u"Cancel");
}

}  // namespace
}  // namespace ombrix::i18n
