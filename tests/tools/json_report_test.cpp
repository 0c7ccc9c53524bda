#include "tools/ombrix_scan/json_report.h"

#include <gtest/gtest.h>

#include <set>
#include <string>

#include "tests/support/json_parse.h"
#include "tests/tools/scan_result_fixture.h"

namespace ombrix::scan_tool {
namespace {

// Writes through a deliberately tiny chunk so flushes fall in the middle of
// escapes and multi-byte sequences.
std::string JsonStringOf(std::u16string_view text) {
  std::string bytes;
  {
    BufferedOutput out([&](std::string_view chunk) { bytes.append(chunk); }, 3);
    AppendJsonString(out, text);
  }
  return bytes;
}

// The report of a result ranked below its root, as the tool writes it.
std::string ReportOf(core::ScanResult result, std::uint64_t limit, bool includeTree) {
  app::FolderRankingModel ranking;
  ranking.SetResult(std::move(result));
  ranking.BuildRankings(core::kNoNode, limit);
  std::string bytes;
  {
    BufferedOutput out([&](std::string_view part) { bytes.append(part); }, 64);
    WriteJsonReport(out, ranking, includeTree);
  }
  return bytes;
}

std::string Decoded(const std::string& json) {
  std::string error;
  const auto value = test::ParseJson(json, &error);
  EXPECT_TRUE(value) << error << " in " << json;
  return value ? value->String() : std::string();
}

TEST(JsonReportTest, EscapesNastyNamesAndParsesBack) {
  std::u16string controls;
  for (char16_t c = 0; c < 0x20; ++c) controls.push_back(c);
  controls += u"\x7F";
  std::string controlsUtf8;
  for (int c = 0; c < 0x20; ++c) controlsUtf8.push_back(static_cast<char>(c));
  controlsUtf8 += "\x7F";

  const struct {
    std::u16string name;
    std::string utf8;
  } cases[] = {
      {u"", ""},
      {u"plain.txt", "plain.txt"},
      {u"say \"hi\".txt", "say \"hi\".txt"},
      {u"C:\\dir\\file", "C:\\dir\\file"},
      {u"\\\\server\\share\\", "\\\\server\\share\\"},
      {controls, controlsUtf8},
      {u"caf\u00e9 \u4e2d\u6587", "caf\xC3\xA9 \xE4\xB8\xAD\xE6\x96\x87"},
      {u"\U0001F600 smile", "\xF0\x9F\x98\x80 smile"},
      {u"line\u2028sep", "line\xE2\x80\xA8sep"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(Decoded(JsonStringOf(c.name)), c.utf8) << JsonStringOf(c.name);
  }
  EXPECT_EQ(JsonStringOf(u"a\"b\\c\n\x01"), "\"a\\\"b\\\\c\\n\\u0001\"");
}

// Longer than the buffer's spare room: the buffer must grow, not overrun.
TEST(JsonReportTest, NameLongerThanTheBuffer) {
  std::u16string name(200000, u'\x01');
  name += u"\u00e9";
  const std::string json = JsonStringOf(name);
  EXPECT_EQ(json.size(), 200000u * 6 + 2 + 2);
  const std::string decoded = Decoded(json);
  EXPECT_EQ(decoded, std::string(200000, '\x01') + "\xC3\xA9");
}

TEST(JsonReportTest, UnpairedSurrogatesBecomeReplacementCharacters) {
  const std::string kReplacement = "\xEF\xBF\xBD";
  std::u16string lone_high = u"a";
  lone_high.push_back(static_cast<char16_t>(0xD83D));
  lone_high += u"b";
  std::u16string lone_low = u"";
  lone_low.push_back(static_cast<char16_t>(0xDE00));
  std::u16string high_at_end = u"x";
  high_at_end.push_back(static_cast<char16_t>(0xD800));
  std::u16string reversed_pair;
  reversed_pair.push_back(static_cast<char16_t>(0xDE00));
  reversed_pair.push_back(static_cast<char16_t>(0xD83D));

  EXPECT_EQ(Decoded(JsonStringOf(lone_high)), "a" + kReplacement + "b");
  EXPECT_EQ(Decoded(JsonStringOf(lone_low)), kReplacement);
  EXPECT_EQ(Decoded(JsonStringOf(high_at_end)), "x" + kReplacement);
  EXPECT_EQ(Decoded(JsonStringOf(reversed_pair)), kReplacement + kReplacement);
}

TEST(JsonReportTest, ReportHoldsEveryKeyWithItsMeaning) {
  const core::ScanResult result = testing::SmallTree();
  const std::string bytes = ReportOf(testing::SmallTree(), 2, /*includeTree=*/true);
  std::string error;
  const auto parsed = test::ParseJson(bytes, &error);
  ASSERT_TRUE(parsed) << error;
  const test::JsonValue& json = *parsed;
  EXPECT_EQ(bytes.back(), '\n');
  EXPECT_EQ(json["status"].String(), "Completed");
  EXPECT_EQ(json["engine"].String(), "DirectoryWalk");
  EXPECT_EQ(json["rootPath"].String(), "Z:\\R");
  EXPECT_EQ(json["message"].String(), "");
  EXPECT_EQ(json["fileCount"].Unsigned(), 4u);
  EXPECT_EQ(json["folderCount"].Unsigned(), 3u);
  EXPECT_EQ(json["issueCount"].Unsigned(), 1u);
  EXPECT_EQ(json["elapsedMs"].Unsigned(), 42u);
  EXPECT_EQ(json["totalSize"].Unsigned(), 75u);

  const auto& issues = json["issues"].Array();
  ASSERT_EQ(issues.size(), 1u);
  EXPECT_EQ(issues[0]["path"].String(), "Z:\\R\\locked");
  EXPECT_EQ(issues[0]["errorCode"].Unsigned(), 5u);

  const auto& files = json["topFiles"].Array();
  ASSERT_EQ(files.size(), 2u);
  // The two files of 30 bytes, in either order.
  EXPECT_EQ(files[0]["size"].Unsigned(), 30u);
  EXPECT_EQ(files[1]["size"].Unsigned(), 30u);
  EXPECT_EQ((std::set<std::string>{files[0]["path"].String(), files[1]["path"].String()}),
            (std::set<std::string>{"Z:\\R\\b", "Z:\\R\\S\\c"}));

  const auto& folders = json["topFolders"].Array();
  ASSERT_EQ(folders.size(), 2u);
  EXPECT_EQ(folders[0]["path"].String(), "Z:\\R\\S");
  EXPECT_EQ(folders[0]["size"].Unsigned(), 35u);
  EXPECT_EQ(folders[0]["fileCount"].Unsigned(), 2u);
  EXPECT_EQ(folders[0]["folderCount"].Unsigned(), 1u);

  const auto& nodes = json["nodes"].Array();
  ASSERT_EQ(nodes.size(), result.nodes.size());
  for (std::size_t i = 0; i < nodes.size(); ++i) {
    const core::ScanNode& node = result.nodes[i];
    EXPECT_EQ(nodes[i]["isDirectory"].Bool(), node.isDirectory != 0) << i;
    EXPECT_EQ(nodes[i]["size"].Unsigned(), node.totalSize) << i;
    EXPECT_EQ(nodes[i]["fileCount"].Unsigned(), node.fileCount) << i;
    EXPECT_EQ(nodes[i]["folderCount"].Unsigned(), node.folderCount) << i;
    EXPECT_EQ(nodes[i]["attributes"].Unsigned(), node.attributes) << i;
  }
  EXPECT_EQ(nodes[0]["path"].String(), "Z:\\R");
  EXPECT_EQ(nodes[0]["size"].Unsigned(), 75u);
}

TEST(JsonReportTest, NoTreeNoNodesAndEmptyResultStillValid) {
  const std::string bytes = ReportOf(core::ScanResult{}, 30, /*includeTree=*/false);
  std::string error;
  const auto parsed = test::ParseJson(bytes, &error);
  ASSERT_TRUE(parsed) << error;
  EXPECT_FALSE(parsed->Object().contains("nodes"));
  EXPECT_EQ((*parsed)["totalSize"].Unsigned(), 0u);
  EXPECT_TRUE((*parsed)["topFiles"].Array().empty());
}

TEST(JsonReportTest, FullSixtyFourBitSizes) {
  core::ScanTreeBuilder builder;
  const auto root = builder.AddDirectory(core::kNoNode, u"r", u"r", 0x10, 0);
  builder.AddFile(root, u"huge", u"r\\huge", 0, ~std::uint64_t{0}, 0);
  builder.ComputeTotals();
  const std::string bytes =
      ReportOf(builder.BuildResult(core::ScanStatus::Cancelled, u"r", 0), 30, true);
  const auto parsed = test::ParseJson(bytes);
  ASSERT_TRUE(parsed);
  EXPECT_EQ((*parsed)["status"].String(), "Cancelled");
  EXPECT_EQ((*parsed)["totalSize"].Unsigned(), ~std::uint64_t{0});
  EXPECT_EQ((*parsed)["topFiles"].Array()[0]["size"].Unsigned(), ~std::uint64_t{0});
}

}  // namespace
}  // namespace ombrix::scan_tool

namespace ombrix::test {
namespace {

// The escaping tests above are only as good as this reader's strictness.
TEST(JsonParseTest, RefusesWhatAValidWriterNeverProduces) {
  for (const char* bad : {"\"a\nb\"", "\"\\ud800\"", "\"\\udc00\"", "\"\xC3\"", "\"\xED\xA0\x80\"",
                          "\"\\x\"", "{\"a\":1,\"a\":2}", "[1,]", "01", "{} x", "\"open"}) {
    EXPECT_FALSE(ParseJson(bad)) << bad;
  }
  const auto pair = ParseJson("\"\\ud83d\\ude00\"");
  ASSERT_TRUE(pair);
  EXPECT_EQ(pair->String(), "\xF0\x9F\x98\x80");
}

}  // namespace
}  // namespace ombrix::test
