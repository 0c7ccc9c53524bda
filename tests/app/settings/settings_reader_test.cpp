#include "app/settings/settings_reader.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "base/text_encoding.h"
#include "tests/app/settings/print_settings.h"

namespace ombrix::app {
namespace {

// 12 hardware threads: a fresh record gets 8 per drive, and a stored value
// above 12 must fall back to 8, not to 12.
constexpr std::uint32_t kHardwareThreads = 12;

struct ReadCase {
  const char* name;
  std::string text;
  std::function<void(AppSettings&)> expectedChange;  // applied to the defaults
};

void NoChange(AppSettings&) {}

std::string WithScan(const std::string& members) {
  return R"({"language": "de", "scan": {)" + members + "}}";
}

TEST(SettingsReaderTest, TakesWhatTheFileHoldsAndFallsBackFieldByField) {
  const auto german = [](AppSettings& s) { s.language = u"de"; };
  const auto germanWithThreads = [](std::uint32_t threads) {
    return [threads](AppSettings& s) {
      s.language = u"de";
      s.threadsPerDrive = threads;
    };
  };
  std::string fortyFolders = R"({"recentFolders": [)";
  for (int i = 0; i < 40; ++i)
    fortyFolders += (i ? ", \"C:\\\\f" : "\"C:\\\\f") + std::to_string(i) + '"';
  fortyFolders += "]}";

  const ReadCase cases[] = {
      {"empty file", "", NoChange},
      {"full file",
       "{\r\n \"appVersion\": \"v2\", \"language\": \"fr-FR\", \"theme\": \"Dark\",\r\n"
       " \"recentFolders\": [\"C:\\\\Data\", \"D:\\\\\"],\r\n"
       " \"scan\": {\"threadsPerDrive\": 3, \"showAdminPromptOnStartup\": false,\r\n"
       " \"suppressAdminPrompt\": true, \"alwaysStartAsAdministrator\": true}}\r\n",
       [](AppSettings& s) {
         s.appVersion = u"v2";
         s.language = u"fr-FR";
         s.theme = u"Dark";
         s.recentFolders = {u"C:\\Data", u"D:\\"};
         s.threadsPerDrive = 3;
         s.showAdminPromptOnStartup = false;
         s.suppressAdminPrompt = true;
         s.alwaysStartAsAdministrator = true;
       }},
      {"byte-order mark", "\xEF\xBB\xBF{\"language\": \"de\"}", NoChange},
      {"threads 0", WithScan(R"("threadsPerDrive": 0)"), german},
      {"threads above the machine's", WithScan(R"("threadsPerDrive": 13)"), german},
      {"threads at the machine's", WithScan(R"("threadsPerDrive": 12)"), germanWithThreads(12)},
      {"threads as a string", WithScan(R"("threadsPerDrive": "4")"), german},
      {"threads with a fraction", WithScan(R"("threadsPerDrive": 4.0)"), german},
      {"threads negative", WithScan(R"("threadsPerDrive": -4)"), german},
      {"threads with a plus", WithScan(R"("threadsPerDrive": +4)"), german},
      {"threads past 32 bits", WithScan(R"("threadsPerDrive": 4294967296)"), german},
      {"threads past 32 bits, wrapped small", WithScan(R"("threadsPerDrive": 4294967298)"), german},
      {"threads with leading zeros", WithScan(R"("threadsPerDrive": 007)"), germanWithThreads(7)},
      {"booleans of other kinds",
       WithScan(R"("showAdminPromptOnStartup": 1, "suppressAdminPrompt": "true",)"
                R"( "alwaysStartAsAdministrator": null)"),
       german},
      {"\\u in a top-level key", R"({"x\u0041": 1, "language": "de"})", NoChange},
      {"\\u in a top-level value", R"({"language": "d\u0065"})", NoChange},
      {"\\u in recentFolders", R"({"recentFolders": ["C:\\a", "\u0041"], "language": "de"})",
       german},
      {"\\u in scan", WithScan(R"("threadsPerDrive": 2, "x": "\u0041")"), german},
      {"\\u in another nested value",
       R"({"other": {"k": "\u0041"}, "more": ["\u0041"], "language": "de"})", german},
      {"trailing commas",
       R"({"language": "de", "recentFolders": ["C:\\a",], "scan": {"threadsPerDrive": 2,},})",
       [](AppSettings& s) {
         s.language = u"de";
         s.recentFolders = {u"C:\\a"};
         s.threadsPerDrive = 2;
       }},
      {"text after the final brace", R"({"language": "de"} {"language": "fr")", german},
      {"no closing brace", R"({"language": "de")", NoChange},
      {"duplicate keys", R"({"language": "fr", "language": "de"})", german},
      {"recentFolders a single string", R"({"recentFolders": "[\"C:\\\\a\"]", "language": "de"})",
       german},
      {"recentFolders holding a number", R"({"recentFolders": ["C:\\a", 1], "language": "de"})",
       german},
      {"recentFolders nested", R"({"recentFolders": [["C:\\a"]], "language": "de"})", german},
      {"recentFolders with a semicolon", R"({"recentFolders": ["C:\\a"; "C:\\b"]})", NoChange},
      {"forty recent folders", fortyFolders,
       [](AppSettings& s) {
         for (int i = 0; i < 40; ++i)
           s.recentFolders.push_back(base::FromUtf8("C:\\f" + std::to_string(i)));
       }},
      {"invalid UTF-8", "{\"language\": \"d\xC3\", \"recentFolders\": [\"\xFF\", \"C:\\\\a\"]}",
       [](AppSettings& s) {
         s.language = u"";
         s.recentFolders = {u"", u"C:\\a"};
       }},
      {"text fields of other kinds", R"({"language": 5, "theme": null, "appVersion": ["v2"]})",
       NoChange},
  };
  for (const ReadCase& c : cases) {
    AppSettings expected = DefaultSettings(kHardwareThreads);
    c.expectedChange(expected);
    EXPECT_EQ(ReadSettingsText(c.text, kHardwareThreads), expected) << c.name;
  }
}

}  // namespace
}  // namespace ombrix::app
