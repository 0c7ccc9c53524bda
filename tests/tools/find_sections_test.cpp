#include "tools/ombrix_scan/find_sections.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/find/find_query.h"
#include "base/text_encoding.h"
#include "core/scan_tree_builder.h"
#include "tests/support/test_data.h"
#include "tools/ombrix_scan/scan_tool.h"

namespace ombrix::scan_tool {
namespace {

// Root R: movie.MKV (3000, 4096 on disk), notes.txt (10), README (700),
// folder S with clip.mkv (2000) written 2020-01-01, disk.iso (5000, time
// unknown).
core::ScanResult FindTree() {
  core::ScanTreeBuilder builder;
  const auto r = builder.AddRoot(u"R", u"Z:\\R", 0x10, 0);
  const std::uint64_t early = app::FileTimeAtUtcMidnight({2019, 6, 1});
  builder.AddFile(r, u"movie.MKV", 0x20, 3000, early, 4096);
  builder.AddFile(r, u"notes.txt", 0x20, 10, early, 4096);
  builder.AddFile(r, u"README", 0x20, 700, early, 4096);
  const auto s = builder.AddDirectory(r, u"S", 0x10, 0);
  builder.AddFile(s, u"clip.mkv", 0x20, 2000, app::FileTimeAtUtcMidnight({2020, 1, 1}), 2048);
  builder.AddFile(s, u"disk.iso", 0x20, 5000, 0, 8192);
  builder.ComputeTotals();
  return builder.BuildResult(core::ScanStatus::Completed, u"Z:\\R", 1);
}

struct ToolRun {
  int exitCode = -1;
  std::string out;
  std::string err;
};

ToolRun RunTool(std::initializer_list<const char*> utf8Args) {
  ToolRun run;
  std::vector<std::u16string> args;
  for (const char* a : utf8Args) args.push_back(test::ToU16(a));
  core::ScanCancellationToken token;
  const ScanRunner scan = [](const ScanRequest&, core::ScanCancellationToken&,
                             const core::ProgressCallback&) {
    return ScanOutcome{FindTree(), {}};
  };
  run.exitCode = RunScanTool(args, token, scan,
                             {[&](std::string_view b) { run.out.append(b); },
                              [&](std::string_view b) { run.err.append(b); }});
  return run;
}

std::string Between(const std::string& text, const std::string& from, const std::string& to) {
  const std::size_t start = text.find(from);
  if (start == std::string::npos) return {};
  const std::size_t end = text.find(to, start + from.size());
  return text.substr(start, end == std::string::npos ? std::string::npos : end - start);
}

bool Contains(const std::string& text, const std::string& part) {
  return text.find(part) != std::string::npos;
}

TEST(FindSectionsTest, JsonListsTypesLargestFirstAndTheFoundFiles) {
  const ToolRun run = RunTool({"--json", "--types", "--find", "*.mkv;*.iso", "Z:\\R"});
  ASSERT_EQ(run.exitCode, 0) << run.err;
  // Equal sizes: more files first. ".MKV" is spelt as its first file.
  EXPECT_EQ(Between(run.out, "\"types\":", "]"),
            "\"types\":[\n"
            "{\"extension\":\".MKV\",\"size\":5000,\"sizeOnDisk\":6144,\"fileCount\":2},\n"
            "{\"extension\":\".iso\",\"size\":5000,\"sizeOnDisk\":8192,\"fileCount\":1},\n"
            "{\"extension\":\"\",\"size\":700,\"sizeOnDisk\":4096,\"fileCount\":1},\n"
            "{\"extension\":\".txt\",\"size\":10,\"sizeOnDisk\":4096,\"fileCount\":1}");
  EXPECT_TRUE(Contains(run.out, "\"foundCount\":3,\"foundSize\":10000,\n"));
  EXPECT_EQ(Between(run.out, "\"found\":", "]"),
            "\"found\":[\n"
            "{\"path\":\"Z:\\\\R\\\\S\\\\disk.iso\",\"size\":5000,\"sizeOnDisk\":8192,"
            "\"lastWriteTime\":0},\n"
            "{\"path\":\"Z:\\\\R\\\\movie.MKV\",\"size\":3000,\"sizeOnDisk\":4096,"
            "\"lastWriteTime\":132038208000000000},\n"
            "{\"path\":\"Z:\\\\R\\\\S\\\\clip.mkv\",\"size\":2000,\"sizeOnDisk\":2048,"
            "\"lastWriteTime\":132223104000000000}");
  EXPECT_EQ(run.out.substr(run.out.size() - 2), "}\n");
}

TEST(FindSectionsTest, FiltersTopAndSelectionNarrowTheLists) {
  const struct {
    std::initializer_list<const char*> args;
    std::string expected;
  } cases[] = {
      // Written before 2020-01-01 (clip.mkv was written at its start, the
      // iso's time is unknown), and at least 1000 bytes.
      {{"--json", "--find", "*", "--modified-before", "2020-01-01", "--min-size", "1000",
        "Z:\\R"},
       "\"foundCount\":1,\"foundSize\":3000"},
      {{"--json", "--find", "*", "--modified-before=2020-01-02", "Z:\\R"},
       "\"foundCount\":4,\"foundSize\":5710"},
      // The count covers every match, the list only the top.
      {{"--json", "--find", "*.MKV", "--top", "1", "Z:\\R"},
       "\"foundCount\":2,\"foundSize\":5000,\n\"found\":[\n{\"path\":\"Z:\\\\R\\\\movie.MKV\""},
      // A search word without wildcards is looked for inside names.
      {{"--json", "--find", "EAD", "Z:\\R"}, "\"foundCount\":1,\"foundSize\":700"},
      {{"--json", "--types", "--select", "Z:\\R\\S", "Z:\\R"},
       "\"types\":[\n{\"extension\":\".iso\",\"size\":5000,\"sizeOnDisk\":8192,\"fileCount\":1},\n"
       "{\"extension\":\".mkv\",\"size\":2000,\"sizeOnDisk\":2048,\"fileCount\":1}]"},
  };
  for (const auto& c : cases) {
    const ToolRun run = RunTool(c.args);
    ASSERT_EQ(run.exitCode, 0) << run.err;
    EXPECT_TRUE(Contains(run.out, c.expected)) << c.expected << "\nin\n" << run.out;
  }
}

TEST(FindSectionsTest, SizesOnDiskOrderTypesAndFoundFilesAndStillShowBoth) {
  const ToolRun run =
      RunTool({"--json", "--sizes", "disk", "--types", "--find", "*", "--top", "3", "Z:\\R"});
  ASSERT_EQ(run.exitCode, 0) << run.err;
  // By clusters the iso leads; README and notes.txt take one cluster each.
  EXPECT_EQ(Between(run.out, "\"types\":", "]"),
            "\"types\":[\n"
            "{\"extension\":\".iso\",\"size\":5000,\"sizeOnDisk\":8192,\"fileCount\":1},\n"
            "{\"extension\":\".MKV\",\"size\":5000,\"sizeOnDisk\":6144,\"fileCount\":2},\n"
            "{\"extension\":\"\",\"size\":700,\"sizeOnDisk\":4096,\"fileCount\":1},\n"
            "{\"extension\":\".txt\",\"size\":10,\"sizeOnDisk\":4096,\"fileCount\":1}");
  // The count's size is on disk too; the third largest is notes.txt's
  // cluster, not the larger clip.mkv's half cluster.
  EXPECT_TRUE(Contains(run.out, "\"foundCount\":5,\"foundSize\":22528,\n")) << run.out;
  EXPECT_EQ(Between(run.out, "\"found\":", "]"),
            "\"found\":[\n"
            "{\"path\":\"Z:\\\\R\\\\S\\\\disk.iso\",\"size\":5000,\"sizeOnDisk\":8192,"
            "\"lastWriteTime\":0},\n"
            "{\"path\":\"Z:\\\\R\\\\movie.MKV\",\"size\":3000,\"sizeOnDisk\":4096,"
            "\"lastWriteTime\":132038208000000000},\n"
            "{\"path\":\"Z:\\\\R\\\\notes.txt\",\"size\":10,\"sizeOnDisk\":4096,"
            "\"lastWriteTime\":132038208000000000}");
  // A smallest size counts on the basis: 700 bytes take a 4096-byte cluster.
  const ToolRun large = RunTool({"--json", "--sizes", "disk", "--find", "*", "--min-size", "4KB",
                                 "Z:\\R"});
  EXPECT_TRUE(Contains(large.out, "\"foundCount\":4,\"foundSize\":20480")) << large.out;
}

TEST(FindSectionsTest, SummaryShowsTypesAndFoundFiles) {
  const ToolRun run = RunTool({"--types", "--find", "*.iso", "Z:\\R"});
  ASSERT_EQ(run.exitCode, 0) << run.err;
  EXPECT_TRUE(Contains(run.out, "\nFile types (size, on disk, share, files):\n")) << run.out;
  EXPECT_TRUE(Contains(run.out, "(no extension)  (1 file)\n")) << run.out;
  EXPECT_TRUE(Contains(run.out, ".MKV  (2 files)\n")) << run.out;
  EXPECT_TRUE(Contains(run.out, "\nFound: 1 file, ")) << run.out;
  EXPECT_TRUE(Contains(run.out, "Z:\\R\\S\\disk.iso\n")) << run.out;
  // Without the options neither section is there.
  const ToolRun plain = RunTool({"Z:\\R"});
  EXPECT_FALSE(Contains(plain.out, "File types")) << plain.out;
  EXPECT_FALSE(Contains(plain.out, "Found:")) << plain.out;
}

TEST(FindSectionsTest, BadFindOptionsAreBadUsage) {
  const struct {
    std::initializer_list<const char*> args;
    std::string message;
  } cases[] = {
      {{"--min-size", "1GB", "Z:\\R"}, "--min-size and --modified-before need --find"},
      {{"--find", "*", "--min-size", "1XB", "Z:\\R"}, "--min-size needs a size"},
      {{"--find", "*", "--modified-before", "2023-02-30", "Z:\\R"},
       "--modified-before needs a date as YYYY-MM-DD, not '2023-02-30'"},
      {{"--types=yes", "Z:\\R"}, "option '--types' takes no value"},
      {{"Z:\\R", "--find"}, "option '--find' needs a value"},
  };
  for (const auto& c : cases) {
    const ToolRun run = RunTool(c.args);
    EXPECT_EQ(run.exitCode, 2);
    EXPECT_TRUE(Contains(run.err, c.message)) << run.err;
  }
}

}  // namespace
}  // namespace ombrix::scan_tool
