#include "app/settings/settings_reader.h"

#include <gtest/gtest.h>

#include <string>

#include "base/text_encoding.h"

namespace ombrix::app {
namespace {

// appVersion|language|theme|folders;…|threadsPerDrive|the three booleans
std::string Summary(const AppSettings& s) {
  std::string folders;
  for (const std::u16string& folder : s.recentFolders) folders += base::ToUtf8(folder) + ";";
  const auto flag = [](bool value) { return value ? 't' : 'f'; };
  return base::ToUtf8(s.appVersion) + "|" + base::ToUtf8(s.language) + "|" + base::ToUtf8(s.theme) +
         "|" + folders + "|" + std::to_string(s.threadsPerDrive) + "|" +
         flag(s.showAdminPromptOnStartup) + flag(s.suppressAdminPrompt) +
         flag(s.alwaysStartAsAdministrator);
}

std::string WithScan(const std::string& members) {
  return R"({"language": "de", "scan": {)" + members + "}}";
}

TEST(SettingsReaderTest, TakesWhatTheFileHoldsAndFallsBackFieldByField) {
  // 12 hardware threads: 8 by default, and a value above 12 falls back to
  // 8, not to 12.
  const std::string defaults = "v1.01|system|MysticForest||8|tff";
  const std::string german = "v1.01|de|MysticForest||8|tff";
  std::string forty = R"({"recentFolders": [)", fortyExpected;
  for (int i = 0; i < 40; ++i) {
    forty += (i ? ", \"C:\\\\" : "\"C:\\\\") + std::to_string(i) + '"';
    fortyExpected += "C:\\" + std::to_string(i) + ";";
  }
  forty += "]}";
  const struct {
    const char* name;
    std::string text;
    std::string expected;
  } cases[] = {
      {"empty file", "", defaults},
      {"every field",
       "{\r\n \"appVersion\": \"v2\", \"language\": \"fr\", \"theme\": \"Dark\",\r\n"
       " \"recentFolders\": [\"C:\\\\Data\", \"D:\\\\\"], \"scan\": {\"threadsPerDrive\": 3,\r\n"
       " \"showAdminPromptOnStartup\": false, \"suppressAdminPrompt\": true,\r\n"
       " \"alwaysStartAsAdministrator\": true}}\r\n",
       "v2|fr|Dark|C:\\Data;D:\\;|3|ftt"},
      {"byte-order mark", "\xEF\xBB\xBF{\"language\": \"de\"}", defaults},
      {"threads 0", WithScan(R"("threadsPerDrive": 0)"), german},
      {"threads above the machine's", WithScan(R"("threadsPerDrive": 13)"), german},
      {"threads at the machine's", WithScan(R"("threadsPerDrive": 12)"),
       "v1.01|de|MysticForest||12|tff"},
      {"threads as a string", WithScan(R"("threadsPerDrive": "4")"), german},
      {"threads with a fraction", WithScan(R"("threadsPerDrive": 4.0)"), german},
      {"threads negative", WithScan(R"("threadsPerDrive": -4)"), german},
      {"threads with a plus", WithScan(R"("threadsPerDrive": +4)"), german},
      {"threads past 32 bits", WithScan(R"("threadsPerDrive": 4294967296)"), german},
      {"threads past 32 bits, wrapping small", WithScan(R"("threadsPerDrive": 4294967298)"),
       german},
      {"threads with leading zeros", WithScan(R"("threadsPerDrive": 007)"),
       "v1.01|de|MysticForest||7|tff"},
      {"booleans of other kinds",
       WithScan(R"("showAdminPromptOnStartup": 1, "suppressAdminPrompt": "true",)"
                R"( "alwaysStartAsAdministrator": null)"),
       german},
      {"\\u in a top-level key", R"({"x\u0041": 1, "language": "de"})", defaults},
      {"\\u in a top-level value", R"({"language": "d\u0065"})", defaults},
      {"\\u in recentFolders", R"({"recentFolders": ["C:\\a", "\u0041"], "language": "de"})",
       german},
      {"\\u in scan", WithScan(R"("threadsPerDrive": 2, "x": "\u0041")"), german},
      {"\\u in another nested value",
       R"({"o": {"k": "\u0041"}, "a": ["\u0041"], "language": "de"})", german},
      {"trailing commas",
       R"({"language": "de", "recentFolders": ["C:\\a",], "scan": {"threadsPerDrive": 2,},})",
       "v1.01|de|MysticForest|C:\\a;|2|tff"},
      {"text after the final brace", R"({"language": "de"} {"language": "fr")", german},
      {"no closing brace", R"({"language": "de")", defaults},
      {"duplicate keys", R"({"language": "fr", "language": "de"})", german},
      {"recentFolders a string", R"({"recentFolders": "[\"C:\\\\a\"]", "language": "de"})", german},
      {"recentFolders with a number", R"({"recentFolders": ["C:\\a", 1], "language": "de"})",
       german},
      {"recentFolders nested", R"({"recentFolders": [["C:\\a"]], "language": "de"})", german},
      {"recentFolders with a semicolon", R"({"recentFolders": ["C:\\a"; "C:\\b"]})", defaults},
      {"forty recent folders", forty, "v1.01|system|MysticForest|" + fortyExpected + "|8|tff"},
      {"invalid UTF-8", "{\"language\": \"d\xC3\", \"recentFolders\": [\"\xFF\", \"C:\\\\a\"]}",
       "v1.01||MysticForest|;C:\\a;|8|tff"},
      {"text fields of other kinds", R"({"language": 5, "theme": null, "appVersion": ["v2"]})",
       defaults},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(Summary(ReadSettingsText(c.text, 12)), c.expected) << c.name;
  }
}

// Only "disk" picks sizes on disk; a file without the key, or with any
// other value, ranks by logical sizes as before.
TEST(SettingsReaderTest, SizeBasisReadsDiskOrFallsBackToLogical) {
  const std::pair<const char*, core::SizeBasis> cases[] = {
      {R"({"language": "de"})", core::SizeBasis::Logical},
      {R"({"sizeBasis": "disk"})", core::SizeBasis::OnDisk},
      {R"({"sizeBasis": "logical"})", core::SizeBasis::Logical},
      {R"({"sizeBasis": "Disk"})", core::SizeBasis::Logical},
      {R"({"sizeBasis": 1})", core::SizeBasis::Logical},
  };
  for (const auto& [text, basis] : cases) {
    EXPECT_EQ(ReadSettingsText(text, 4).sizeBasis, basis) << text;
  }
}

// Only a JSON false turns keeping off: a file from before the setting, or
// one holding anything but a boolean, keeps the last scans as new users do.
// The other settings read as they would without the key.
TEST(SettingsReaderTest, KeepLastScansReadsABooleanOrStaysOn) {
  const std::pair<const char*, bool> cases[] = {
      {R"({"language": "de", "sizeBasis": "disk"})", true},
      {R"({"language": "de", "sizeBasis": "disk", "keepLastScans": false})", false},
      {R"({"language": "de", "sizeBasis": "disk", "keepLastScans": true})", true},
      {R"({"language": "de", "sizeBasis": "disk", "keepLastScans": "false"})", true},
      {R"({"language": "de", "sizeBasis": "disk", "keepLastScans": 0})", true},
      {R"({"language": "de", "sizeBasis": "disk", "keepLastScans": null})", true},
      {R"({"language": "de", "sizeBasis": "disk", "scan": {"keepLastScans": false}})", true},
  };
  for (const auto& [text, keep] : cases) {
    const AppSettings settings = ReadSettingsText(text, 4);
    EXPECT_EQ(settings.keepLastScans, keep) << text;
    EXPECT_EQ(settings.language, u"de") << text;
    EXPECT_EQ(settings.sizeBasis, core::SizeBasis::OnDisk) << text;
  }
  EXPECT_TRUE(DefaultSettings(4).keepLastScans);
}

}  // namespace
}  // namespace ombrix::app
