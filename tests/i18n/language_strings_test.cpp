#include "i18n/language_strings.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/support/temporary_folder.h"

namespace ombrix::i18n {
namespace {

// A program folder with resources/strings/ and a settable list of the
// user's preferred UI languages.
class LanguageStringsTest : public ::testing::Test {
 protected:
  void WriteLanguage(std::string_view locale, std::string_view bytes) {
    folder_.WriteFile(
        std::filesystem::path("resources") / "strings" / (std::string(locale) + ".txt"), bytes);
  }

  LanguageEnvironment Environment() {
    return {[this] { return preferred_; }, [this] { return folder_.Path(); }};
  }

  test::TemporaryFolder folder_;
  std::vector<std::u16string> preferred_;
};

TEST_F(LanguageStringsTest, SystemFollowsThePreferredUiLanguages) {
  LanguageStrings strings(Environment());
  const struct {
    std::vector<std::u16string> preferred;
    std::u16string_view resolved;
  } cases[] = {
      {{u"fr-CA", u"en-US"}, u"fr-FR"},
      {{u"sv-SE"}, u"en-US"},
      {{u"sv-SE", u"de-AT"}, u"de-DE"},
      {{}, u"en-US"},
  };
  for (const auto& c : cases) {
    preferred_ = c.preferred;
    EXPECT_EQ(strings.SystemLanguage(), c.resolved);
    EXPECT_EQ(strings.ResolveLanguage(), c.resolved);
  }
  // A chosen language ignores the system's.
  strings.SetLanguage(u"Japanese");
  EXPECT_EQ(strings.Setting(), u"ja-JP");
  EXPECT_EQ(strings.ResolveLanguage(), u"ja-JP");
  strings.SetLanguage(u"xx-YY");
  EXPECT_EQ(strings.Setting(), u"system");
}

TEST_F(LanguageStringsTest, LookupsFallBackToEnglishThenToTheKey) {
  WriteLanguage("en-US", "a = English A\nb = English B\nc = English C\n");
  WriteLanguage("de-DE", "a = Deutsch A\nb =\n");
  LanguageStrings strings(Environment());
  strings.SetLanguage(u"de-DE");
  EXPECT_EQ(strings.Translate("a"), u"Deutsch A");
  EXPECT_EQ(strings.Translate("b"), u"");  // empty, yet defined
  EXPECT_EQ(strings.Translate("c"), u"English C");
  EXPECT_EQ(strings.Translate("menu.help"), u"menu.help");
  strings.SetLanguage(u"fr-FR");  // no file
  EXPECT_EQ(strings.Translate("a"), u"English A");
}

TEST_F(LanguageStringsTest, ResolvedAtEveryLookupButEachFileReadOnce) {
  WriteLanguage("en-US", "k = English\n");
  WriteLanguage("ja-JP", "k = 日本語\n");
  LanguageStrings strings(Environment());
  preferred_ = {u"ja-JP"};
  EXPECT_EQ(strings.Translate("k"), u"日本語");
  preferred_ = {u"en-GB"};
  EXPECT_EQ(strings.Translate("k"), u"English");

  // Neither an edit nor a file that appears after a failed load is seen
  // until the next run.
  preferred_ = {u"fr-FR"};
  EXPECT_EQ(strings.Translate("k"), u"English");
  WriteLanguage("en-US", "k = changed\n");
  WriteLanguage("fr-FR", "k = Français\n");
  EXPECT_EQ(strings.Translate("k"), u"English");
}

TEST_F(LanguageStringsTest, SystemMenuEntryNamesTheSystemLanguageOnlyWhileFollowingIt) {
  WriteLanguage("en-US", "language.system = System language\n");
  WriteLanguage("ja-JP", "language.system = システムの言語\n");
  preferred_ = {u"ja-JP"};
  LanguageStrings strings(Environment());
  EXPECT_EQ(strings.SystemLanguageMenuText(), u"システムの言語 (日本語 (Japanese))");
  strings.SetLanguage(u"en-US");
  EXPECT_EQ(strings.SystemLanguageMenuText(), u"System language");
}

}  // namespace
}  // namespace ombrix::i18n
