#include "tools/ombrix_scan/scan_tool.h"

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <functional>
#include <new>
#include <stdexcept>
#include <regex>
#include <string>
#include <vector>

#include "app/number_format.h"
#include "base/monotonic_clock.h"
#include "base/text_encoding.h"
#include "core/scan_tree_builder.h"
#include "tests/support/test_data.h"
#include "tests/tools/scan_result_fixture.h"
#include "tools/ombrix_scan/exit_codes.h"
#include "tools/ombrix_scan/progress_printer.h"
#include "tools/ombrix_scan/text_summary.h"

namespace ombrix::scan_tool {
namespace {

// Runs the tool with a fake scan that returns `status` (or no result with
// `scanError`), capturing both streams.
struct ToolRun {
  int exitCode = -1;
  std::string out;
  std::string err;
  std::vector<ScanRequest> requests;
};

ToolRun RunTool(std::initializer_list<const char*> utf8Args,
                std::optional<core::ScanStatus> status = core::ScanStatus::Completed,
                std::string scanError = {}) {
  ToolRun run;
  std::vector<std::u16string> args;
  for (const char* a : utf8Args) args.push_back(test::ToU16(a));
  core::ScanCancellationToken token;
  const ScanRunner fakeScan = [&](const ScanRequest& request, core::ScanCancellationToken&,
                                  const core::ProgressCallback& progress) {
    run.requests.push_back(request);
    if (progress) progress({u"Z:\\R\\S", 3, 1});
    if (!status) return ScanOutcome{std::nullopt, scanError};
    core::ScanResult result = testing::SmallTree(*status);
    if (*status == core::ScanStatus::Failed) result.message = u"The volume cannot be read.";
    return ScanOutcome{std::move(result), {}};
  };
  run.exitCode = RunScanTool(args, token, fakeScan,
                             {[&](std::string_view b) { run.out.append(b); },
                              [&](std::string_view b) { run.err.append(b); }});
  return run;
}

bool Contains(const std::string& text, const std::string& part) {
  return text.find(part) != std::string::npos;
}

// A scan saved and compared with itself: every node unchanged, nothing
// gone; a save that cannot be written fails the run after the report.
TEST(ScanToolTest, SaveThenCompareAndAFailedSave) {
  const std::filesystem::path folder =
      std::filesystem::temp_directory_path() / "ombrix-scan-tool-test";
  std::filesystem::create_directories(folder);
  const std::string saved = (folder / "small.ombrixscan").string();
  ToolRun run = RunTool({"Z:\\R", "--save", saved.c_str()});
  EXPECT_EQ(run.exitCode, kExitCompleted) << run.err;

  run = RunTool({"Z:\\R", "--compare", saved.c_str(), "--json", "--tree"});
  EXPECT_EQ(run.exitCode, kExitCompleted) << run.err;
  EXPECT_TRUE(Contains(run.out, R"("change":{"state":"unchanged","size":0,"fileCount":0})"));
  EXPECT_FALSE(Contains(run.out, R"("state":"changed")"));
  EXPECT_TRUE(Contains(run.out, "\"deleted\":[]"));

  const std::string unwritable = (folder / "missing" / "x.ombrixscan").string();
  run = RunTool({"Z:\\R", "--save", unwritable.c_str()});
  EXPECT_EQ(run.exitCode, kExitFailedOrBadUsage);
  EXPECT_TRUE(Contains(run.err, "could not save the scan")) << run.err;
  EXPECT_TRUE(Contains(run.out, "Largest files:"));
  std::filesystem::remove_all(folder);
}

// The console program keeps the result until the process ends instead of
// freeing it; the keeper gets the whole result after the report is out.
TEST(ScanToolTest, ResultGoesToTheKeeperAfterTheReport) {
  core::ScanCancellationToken token;
  const ScanRunner scan = [](const ScanRequest&, core::ScanCancellationToken&,
                             const core::ProgressCallback&) {
    return ScanOutcome{testing::SmallTree(core::ScanStatus::Completed), {}};
  };
  std::string out;
  std::size_t keptNodes = 0;
  std::size_t reportLengthWhenKept = 0;
  const int exitCode =
      RunScanTool({u"--json", u"X:\\"}, token, scan,
                  {[&](std::string_view b) { out.append(b); }, {}}, [&](app::FolderRankingModel&& ranking) {
                    keptNodes = ranking.Result().nodes.size();
                    reportLengthWhenKept = out.size();
                  });
  EXPECT_EQ(exitCode, 0);
  EXPECT_EQ(keptNodes, testing::SmallTree(core::ScanStatus::Completed).nodes.size());
  EXPECT_GT(keptNodes, 0u);
  EXPECT_EQ(reportLengthWhenKept, out.size());
  EXPECT_GT(out.size(), 0u);
}

TEST(ScanToolTest, ExitCodeFollowsStatus) {
  EXPECT_EQ(ExitCodeForStatus(core::ScanStatus{0}), 2);  // never reported as success
  EXPECT_EQ(RunTool({"--json", "x"}, core::ScanStatus::Completed).exitCode, 0);
  const ToolRun cancelled = RunTool({"--json", "x"}, core::ScanStatus::Cancelled);
  EXPECT_EQ(cancelled.exitCode, 1);
  EXPECT_TRUE(Contains(cancelled.err, "cancelled"));
  EXPECT_TRUE(Contains(cancelled.out, R"("status":"Cancelled")"));  // the partial report
  const ToolRun failed = RunTool({"x"}, core::ScanStatus::Failed);
  EXPECT_EQ(failed.exitCode, 2);
  EXPECT_TRUE(Contains(failed.err, "The volume cannot be read."));
  EXPECT_TRUE(Contains(failed.out, "Status:   Failed"));
}

TEST(ScanToolTest, BadUsageGivesMessageAndUsageOnStderr) {
  const ToolRun run = RunTool({"--top", "many", "x"});
  EXPECT_EQ(run.exitCode, 2);
  EXPECT_TRUE(run.out.empty());
  EXPECT_TRUE(Contains(run.err, "ombrix-scan: --top needs a whole number"));
  EXPECT_TRUE(Contains(run.err, "Usage: ombrix-scan"));
  EXPECT_TRUE(run.requests.empty());  // nothing was scanned
}

TEST(ScanToolTest, HelpGoesToStdout) {
  const ToolRun run = RunTool({"--help"});
  EXPECT_EQ(run.exitCode, 0);
  EXPECT_TRUE(Contains(run.out, "Usage: ombrix-scan"));
  EXPECT_TRUE(run.requests.empty());
}

TEST(ScanToolTest, UnavailableScanIsAClearFailure) {
  const ToolRun run = RunTool({"--engine", "mft", "C:\\"}, std::nullopt,
                              "the NTFS MFT engine (--engine mft) is not available");
  EXPECT_EQ(run.exitCode, 2);
  EXPECT_TRUE(run.out.empty());
  EXPECT_EQ(run.err, "ombrix-scan: the NTFS MFT engine (--engine mft) is not available\n");
}

// Whatever escapes a scan (a tree too large for memory most likely) ends as
// a failure with one line, never as an abort.
TEST(ScanToolTest, EscapingFailuresAreExitTwoWithOneLine) {
  struct Case {
    std::function<void()> fail;
    const char* line;
  };
  const Case cases[] = {
      {[] { throw std::bad_alloc(); }, "ombrix-scan: out of memory\n"},
      {[] { throw std::length_error("vector"); }, "ombrix-scan: unexpected failure: vector\n"},
      {[] { throw 42; }, "ombrix-scan: unexpected failure\n"},
  };
  for (const Case& c : cases) {
    core::ScanCancellationToken token;
    std::string out;
    std::string err;
    const ScanRunner throwing = [&](const ScanRequest&, core::ScanCancellationToken&,
                                    const core::ProgressCallback&) -> ScanOutcome {
      c.fail();
      return {};
    };
    const int exitCode = RunScanTool({u"--json", u"x"}, token, throwing,
                                     {[&](std::string_view b) { out.append(b); },
                                      [&](std::string_view b) { err.append(b); }});
    EXPECT_EQ(exitCode, 2) << c.line;
    EXPECT_EQ(err, c.line);
    EXPECT_TRUE(out.empty());
  }
}

// The paths listed under key ("topFiles", "topFolders" or "nodes"), as the
// report writes them (backslashes still escaped).
std::vector<std::string> PathsOf(const std::string& json, const std::string& key) {
  const std::size_t start = json.find("\"" + key + "\":[");
  if (start == std::string::npos) return {};
  const std::string section = json.substr(start, json.find(']', start) - start);
  const std::regex path(R"re(\{"path":"((?:[^"\\]|\\.)*)")re");
  std::vector<std::string> paths;
  for (std::sregex_iterator it(section.begin(), section.end(), path), end; it != end; ++it) {
    paths.push_back((*it)[1]);
  }
  return paths;
}

TEST(ScanToolTest, JsonReportHonoursTopAndTree) {
  ToolRun run = RunTool({"--json", "--top", "1", "x"});
  EXPECT_EQ(PathsOf(run.out, "topFiles").size(), 1u) << run.out;
  EXPECT_EQ(PathsOf(run.out, "topFolders").size(), 1u);
  EXPECT_FALSE(Contains(run.out, "\"nodes\""));

  run = RunTool({"--json", "--tree", "x"});
  EXPECT_EQ(PathsOf(run.out, "nodes").size(), 7u) << run.out;
  EXPECT_EQ(PathsOf(run.out, "topFiles").size(), 4u);
  EXPECT_TRUE(run.err.empty());
}

TEST(ScanToolTest, SelectRanksBelowTheNamedNode) {
  ToolRun run = RunTool({"--json", "--select", "Z:\\R\\S\\\\", "x"});
  EXPECT_EQ(run.exitCode, 0) << run.err;
  EXPECT_EQ(PathsOf(run.out, "topFiles"),
            (std::vector<std::string>{"Z:\\\\R\\\\S\\\\c", "Z:\\\\R\\\\S\\\\T\\\\d"}));
  EXPECT_EQ(PathsOf(run.out, "topFolders"), std::vector<std::string>{"Z:\\\\R\\\\S\\\\T"});

  run = RunTool({"--json", "--select=Z:\\R\\a", "x"});
  EXPECT_EQ(PathsOf(run.out, "topFiles"), std::vector<std::string>{"Z:\\\\R\\\\a"});
  EXPECT_TRUE(PathsOf(run.out, "topFolders").empty());

  run = RunTool({"--json", "--select", "Z:\\R\\s", "x"});
  EXPECT_EQ(run.exitCode, 2);
  EXPECT_TRUE(run.out.empty());
  EXPECT_TRUE(Contains(run.err,
                       "ombrix-scan: --select: no scanned file or folder has the path 'Z:\\R\\s'"));
  EXPECT_TRUE(Contains(run.err, "Usage: ombrix-scan"));
}

TEST(ScanToolTest, ReadableSummaryListsTotalsAndLargest) {
  const ToolRun run = RunTool({"x"});
  EXPECT_EQ(run.exitCode, 0);
  for (const char* part :
       {"Status:   Completed", "Engine:   DirectoryWalk", "Path:     Z:\\R",
        "Size:     75 B (75 bytes)", "Files:    4", "Folders:  3", "Issues:   1", "Elapsed:  42 ms",
        "On disk:  48 B (48 bytes)", "  used:        600 B (600 bytes)",
        "  unexplained: 532 B (532 bytes)", "error 5: Z:\\R\\locked", "Largest files:",
        "        30 B          32 B  Z:\\R\\S\\c  [2 names]",
        "         5 B           0 B  Z:\\R\\S\\T\\d  [placeholder]", "Largest folders:",
        "        35 B          32 B  Z:\\R\\S  (2 files, 1 folder)"}) {
    EXPECT_TRUE(Contains(run.out, part)) << part << "\n" << run.out;
  }
}

TEST(ScanToolTest, ProgressOnlyWhenAsked) {
  EXPECT_TRUE(RunTool({"--json", "x"}).err.empty());
  const ToolRun run = RunTool({"--json", "--progress", "x"});
  EXPECT_EQ(run.err, "progress: files=3 folders=1 path=Z:\\R\\S\n");
}

TEST(ProgressPrinterTest, ThrottledToTheInterval) {
  base::MonotonicClock::time_point now{};
  std::string printed;
  ProgressPrinter printer([&](std::string_view b) { printed.append(b); },
                          std::chrono::milliseconds(250), [&] { return now; });
  const core::ProgressCallback callback = printer.Callback();
  callback({u"a", 1, 0});  // the first record always shows
  now += std::chrono::milliseconds(100);
  callback({u"b", 2, 0});
  now += std::chrono::milliseconds(149);
  callback({u"c", 3, 0});
  now += std::chrono::milliseconds(1);
  callback({u"d\ne", 4, 0});  // 250 ms after the first; a newline cannot split the record
  EXPECT_EQ(printed,
            "progress: files=1 folders=0 path=a\n"
            "progress: files=4 folders=0 path=d?e\n");
}

// Big numbers show the user's number format: the same text the window's
// formatters give for the "system" language, GUI units included.
TEST(TextSummaryTest, NumbersInTheUsersFormat) {
  core::ScanTreeBuilder builder;
  const auto root = builder.AddRoot(u"R", u"Z:\\R", 0x10, 0);
  builder.AddFile(root, u"big", 0x20, 5ull << 30, 0);
  builder.ComputeTotals();
  core::ScanResult result = builder.BuildResult(core::ScanStatus::Completed, u"Z:\\R", 1234567);
  result.fileCount = 9876543;
  app::FolderRankingModel ranking;
  ranking.SetResult(std::move(result));
  std::string text;
  {
    BufferedOutput out([&](std::string_view b) { text.append(b); });
    WriteTextSummary(out, ranking);
  }
  const auto system = [](const std::u16string& number) { return base::ToUtf8(number); };
  for (const std::string& part :
       {"Size:     " + system(app::FormatSize(u"system", 5ull << 30)) + " (" +
            system(app::FormatCount(u"system", 5ull << 30)) + " bytes)",
        "Files:    " + system(app::FormatCount(u"system", 9876543)),
        "Elapsed:  " + system(app::FormatCount(u"system", 1234567)) + " ms",
        system(app::FormatSize(u"system", 5ull << 30)) + "  Z:\\R\\big"}) {
    EXPECT_TRUE(Contains(text, part)) << part << "\n" << text;
  }
  EXPECT_TRUE(Contains(text, " GB ")) << text;
}

}  // namespace
}  // namespace ombrix::scan_tool
