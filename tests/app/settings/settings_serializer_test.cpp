#include "app/settings/settings_serializer.h"

#include <gtest/gtest.h>

#include <string>

#include "app/settings/settings_reader.h"

namespace ombrix::app {
namespace {

TEST(SettingsSerializerTest, EscapesOnlyWhatTheReaderUnescapesAndReadsBackIdentical) {
  AppSettings settings = DefaultSettings(4);
  settings.language = u"quote\" backslash\\ solidus/";
  settings.theme = u"tab\t cr\r lf\n backspace\b formfeed\f other\x01";
  settings.recentFolders = {u"C:\\Data", u"D:\\\"odd] {y\tname", u"E:\\\u00e9\u4e2d\U0001F600"};
  const std::string text = SerializeSettings(settings);

  EXPECT_NE(text.find(R"("language": "quote\" backslash\\ solidus/",)"), std::string::npos);
  EXPECT_NE(text.find("\"theme\": \"tab\\t cr\\r lf\\n backspace\\b formfeed\\f other\x01\","),
            std::string::npos);
  EXPECT_NE(text.find(R"(["C:\\Data", "D:\\\"odd] {y\tname", "E:\\)"
                      "\xC3\xA9\xE4\xB8\xAD\xF0\x9F\x98\x80\"],\r\n"),
            std::string::npos);
  EXPECT_EQ(text.find("\\u"), std::string::npos);
  EXPECT_EQ(ReadSettingsText(text, 4), settings);
}

// Newer keys are written after every key older files hold, so their bytes
// stay where they were: the size basis, then keeping the last scans, which
// ends the file.
TEST(SettingsSerializerTest, NewerKeysFollowTheOlderOnesInTheOrderTheyCame) {
  const struct {
    core::SizeBasis basis;
    bool keepLastScans;
    const char* ending;
  } cases[] = {
      {core::SizeBasis::Logical, true,
       "\"alwaysStartAsAdministrator\": false\r\n  },\r\n  \"sizeBasis\": \"logical\",\r\n"
       "  \"keepLastScans\": true\r\n}\r\n"},
      {core::SizeBasis::OnDisk, true,
       "  \"sizeBasis\": \"disk\",\r\n  \"keepLastScans\": true\r\n}\r\n"},
      {core::SizeBasis::Logical, false,
       "  \"sizeBasis\": \"logical\",\r\n  \"keepLastScans\": false\r\n}\r\n"},
  };
  for (const auto& c : cases) {
    AppSettings settings = DefaultSettings(4);
    settings.sizeBasis = c.basis;
    settings.keepLastScans = c.keepLastScans;
    const std::string text = SerializeSettings(settings);
    EXPECT_TRUE(text.ends_with(c.ending)) << text;
    EXPECT_EQ(ReadSettingsText(text, 4), settings) << text;
  }
}

TEST(SettingsSerializerTest, WritesAnEmptyListAsBracketsAndALoneSurrogateAsReplacement) {
  AppSettings settings = DefaultSettings(4);
  settings.theme = std::u16string{u'a', 0xD800, u'b'};
  const std::string text = SerializeSettings(settings);
  EXPECT_NE(text.find("\r\n  \"theme\": \"a\xEF\xBF\xBD"
                      "b\",\r\n  \"recentFolders\": [],\r\n"),
            std::string::npos);
}

}  // namespace
}  // namespace ombrix::app
