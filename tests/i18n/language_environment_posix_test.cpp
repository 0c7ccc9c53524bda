#include <gtest/gtest.h>

#include "i18n/language_environment.h"
#include "tests/support/test_environment.h"

namespace ombrix::i18n {
namespace {

// ctest runs each test in its own process, so the variables set here
// reach no other test.
TEST(LanguageEnvironmentPosixTest, PreferredLanguagesFromTheLocaleVariables) {
  for (const char* name : {"LANGUAGE", "LC_ALL", "LC_MESSAGES"}) {
    test::SetEnvironmentVariableForTest(name, nullptr);
  }
  const LanguageEnvironment environment = SystemLanguageEnvironment();
  using Names = std::vector<std::u16string>;
  test::SetEnvironmentVariableForTest("LANG", "C.UTF-8");
  EXPECT_EQ(environment.preferredUiLanguages(), Names{});
  test::SetEnvironmentVariableForTest("LANG", "de_AT.UTF-8@euro");
  EXPECT_EQ(environment.preferredUiLanguages(), Names{u"de-AT"});
  test::SetEnvironmentVariableForTest("LC_ALL", "pt_BR");
  EXPECT_EQ(environment.preferredUiLanguages(), Names{u"pt-BR"});
  test::SetEnvironmentVariableForTest("LANGUAGE", "fr_CA:en_US:C");
  EXPECT_EQ(environment.preferredUiLanguages(), (Names{u"fr-CA", u"en-US"}));
}

}  // namespace
}  // namespace ombrix::i18n
