// The report's exact bytes. Whether a whole report of a real scan parses
// as JSON is checked by the Python checks, which read every report the
// tool writes with a real JSON parser.
#include "tools/ombrix_scan/json_report.h"

#include <gtest/gtest.h>

#include <string>

#include "app/ranking/folder_ranking_model.h"
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
std::string ReportOf(core::ScanResult result, std::uint64_t limit, bool includeTree,
                     core::SizeBasis basis = core::SizeBasis::Logical) {
  app::FolderRankingModel ranking;
  ranking.SetResult(std::move(result));
  ranking.SetSizeBasis(basis);
  ranking.BuildRankings(core::kNoNode, limit);
  std::string bytes;
  {
    BufferedOutput out([&](std::string_view part) { bytes.append(part); }, 64);
    WriteJsonReport(out, ranking, includeTree);
  }
  return bytes;
}

// Quotation marks and backslashes escaped, control characters as short
// escapes or \u00XX, everything else raw UTF-8; an unpaired surrogate
// (legal in Windows names) becomes U+FFFD rather than invalid UTF-8.
TEST(JsonReportTest, StringsAreEscapedExactly) {
  const std::string kReplacement = "\xEF\xBF\xBD";
  const struct {
    std::u16string name;
    std::string json;
  } cases[] = {
      {u"", R"("")"},
      {u"say \"hi\".txt", R"("say \"hi\".txt")"},
      {u"\\\\server\\share\\", R"("\\\\server\\share\\")"},
      {u"\b\f\n\r\t\x01\x1F\x7F/", "\"\\b\\f\\n\\r\\t\\u0001\\u001f\x7F/\""},
      {u"caf\u00e9 \u4e2d \U0001F600", "\"caf\xC3\xA9 \xE4\xB8\xAD \xF0\x9F\x98\x80\""},
      {u"line\u2028sep", "\"line\xE2\x80\xA8sep\""},
      {std::u16string{u'a', 0xD83D, u'b'}, "\"a" + kReplacement + "b\""},
      {std::u16string{0xDE00, 0xD83D}, "\"" + kReplacement + kReplacement + "\""},
      {std::u16string{u'x', 0xD800}, "\"x" + kReplacement + "\""},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(JsonStringOf(c.name), c.json);
  }
  // Longer than the buffer's spare room: the buffer must grow, not overrun.
  const std::string json = JsonStringOf(std::u16string(200000, u'\x01') + u"\u00e9");
  EXPECT_EQ(json.size(), 200000u * 6 + 2 + 2);
  EXPECT_EQ(json.substr(json.size() - 9), "\\u0001\xC3\xA9\"");
}

TEST(JsonReportTest, ReportHoldsEveryKeyInItsPlace) {
  // The two files of 30 bytes tie; the window's order (node order) decides.
  EXPECT_EQ(ReportOf(testing::SmallTree(), 1, /*includeTree=*/true),
            R"({"status":"Completed","engine":"DirectoryWalk",
"rootPath":"Z:\\R","message":"",
"fileCount":4,"folderCount":3,"issueCount":1,"elapsedMs":42,"totalSize":75,"sizeOnDisk":48,"sizes":"logical",
"space":{"volumeSize":1000,"usedSpace":600,"freeSpace":400,"filesOnDisk":48,"metadata":20,"unreadable":0,"unexplained":532},
"issues":[
{"path":"Z:\\R\\locked","errorCode":5}],
"topFiles":[
{"path":"Z:\\R\\b","size":30,"sizeOnDisk":32,"links":2}],
"topFolders":[
{"path":"Z:\\R\\S","size":35,"sizeOnDisk":32,"fileCount":2,"folderCount":1}],
"nodes":[
{"path":"Z:\\R","isDirectory":true,"size":75,"sizeOnDisk":48,"fileCount":4,"folderCount":2,"attributes":16},
{"path":"Z:\\R\\a","isDirectory":false,"size":10,"sizeOnDisk":16,"fileCount":0,"folderCount":0,"attributes":32},
{"path":"Z:\\R\\b","isDirectory":false,"size":30,"sizeOnDisk":32,"fileCount":0,"folderCount":0,"attributes":32,"links":2},
{"path":"Z:\\R\\S","isDirectory":true,"size":35,"sizeOnDisk":32,"fileCount":2,"folderCount":1,"attributes":16},
{"path":"Z:\\R\\S\\c","isDirectory":false,"size":30,"sizeOnDisk":32,"fileCount":0,"folderCount":0,"attributes":32,"links":2},
{"path":"Z:\\R\\S\\T","isDirectory":true,"size":5,"sizeOnDisk":0,"fileCount":1,"folderCount":0,"attributes":16},
{"path":"Z:\\R\\S\\T\\d","isDirectory":false,"size":5,"sizeOnDisk":0,"fileCount":0,"folderCount":0,"attributes":32,"placeholder":true}]}
)");
  // On disk the linked file (32 once) outranks a (16), and the folders'
  // shares and order go by what their files hold on disk.
  EXPECT_EQ(ReportOf(testing::SmallTree(), 2, /*includeTree=*/false, core::SizeBasis::OnDisk),
            R"({"status":"Completed","engine":"DirectoryWalk",
"rootPath":"Z:\\R","message":"",
"fileCount":4,"folderCount":3,"issueCount":1,"elapsedMs":42,"totalSize":75,"sizeOnDisk":48,"sizes":"disk",
"space":{"volumeSize":1000,"usedSpace":600,"freeSpace":400,"filesOnDisk":48,"metadata":20,"unreadable":0,"unexplained":532},
"issues":[
{"path":"Z:\\R\\locked","errorCode":5}],
"topFiles":[
{"path":"Z:\\R\\b","size":30,"sizeOnDisk":32,"links":2},
{"path":"Z:\\R\\S\\c","size":30,"sizeOnDisk":32,"links":2}],
"topFolders":[
{"path":"Z:\\R\\S","size":35,"sizeOnDisk":32,"fileCount":2,"folderCount":1},
{"path":"Z:\\R\\S\\T","size":5,"sizeOnDisk":0,"fileCount":1,"folderCount":0}]}
)");
  EXPECT_EQ(ReportOf(core::ScanResult{}, 30, /*includeTree=*/false),
            R"({"status":"None","engine":"DirectoryWalk",
"rootPath":"","message":"",
"fileCount":0,"folderCount":0,"issueCount":0,"elapsedMs":0,"totalSize":0,"sizeOnDisk":0,"sizes":"logical",
"issues":[],
"topFiles":[],
"topFolders":[]}
)");
}

TEST(JsonReportTest, FullSixtyFourBitSizes) {
  core::ScanTreeBuilder builder;
  const auto root = builder.AddRoot(u"r", u"r", 0x10, 0);
  builder.AddFile(root, u"huge", 0, ~std::uint64_t{0}, 0);
  builder.ComputeTotals();
  const std::string bytes =
      ReportOf(builder.BuildResult(core::ScanStatus::Cancelled, u"r", 0), 30, true);
  EXPECT_NE(bytes.find(R"("status":"Cancelled")"), std::string::npos);
  EXPECT_NE(bytes.find(R"("totalSize":18446744073709551615)"), std::string::npos);
  EXPECT_NE(bytes.find(R"({"path":"r\\huge","size":18446744073709551615,"sizeOnDisk":18446744073709551615})"), std::string::npos);
}

}  // namespace
}  // namespace ombrix::scan_tool
