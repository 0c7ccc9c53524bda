#include "i18n/language_table.h"

#include <gtest/gtest.h>

#include "base/text_encoding.h"

namespace ombrix::i18n {
namespace {

TEST(LanguageTableTest, SettingsNormaliseToSystemOrATableLocale) {
  const struct {
    std::u16string_view value;
    std::u16string_view normalised;
  } cases[] = {
      {u"", u"system"},       {u"System", u"system"},    {u"SYSTEM", u"system"},
      {u"English", u"en-US"}, {u"japanese", u"ja-JP"},   {u"ja-jp", u"ja-JP"},
      {u"de-AT", u"de-DE"},   {u"EN-gb", u"en-US"},      {u"pt-PT", u"pt-BR"},
      {u"zh-HK", u"zh-CN"},   {u"zh-Hant-TW", u"zh-CN"}, {u"zh", u"zh-CN"},
      {u"zh-tw", u"zh-TW"},   {u"xx-YY", u"system"},     {u"-US", u"system"},
      {u"e", u"system"},      {u"Deutsch", u"system"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(NormalizeLanguageSetting(c.value), c.normalised) << base::ToUtf8(c.value);
  }
}

TEST(LanguageTableTest, MatchLocaleNeedsTheWholeLanguagePart) {
  EXPECT_EQ(MatchLocale(u"ko"), u"ko-KR");
  EXPECT_EQ(MatchLocale(u"BE-by"), u"be-BY");
  EXPECT_EQ(MatchLocale(u"k"), std::nullopt);
  EXPECT_EQ(MatchLocale(u"kor-KR"), std::nullopt);
  EXPECT_EQ(MatchLocale(u""), std::nullopt);
  EXPECT_EQ(MatchLocale(u"English"), std::nullopt);  // only the setting knows this word
}

TEST(LanguageTableTest, DisplayNames) {
  EXPECT_EQ(DisplayNameForLocale(u"ja-JP"), u"日本語 (Japanese)");
  EXPECT_EQ(DisplayNameForLocale(u"sv-SE"), u"sv-SE");
}

}  // namespace
}  // namespace ombrix::i18n
