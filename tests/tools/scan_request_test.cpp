#include "tools/ombrix_scan/scan_request.h"

#include <gtest/gtest.h>

#include <string>
#include <tuple>
#include <vector>

#include "tests/support/test_data.h"
#include "tools/ombrix_scan/scan_plan.h"

namespace ombrix::scan_tool {
namespace {

std::vector<std::u16string> Args(std::initializer_list<const char*> utf8) {
  std::vector<std::u16string> args;
  for (const char* a : utf8) args.push_back(test::ToU16(a));
  return args;
}

TEST(ScanRequestTest, EveryOptionInBothSpellings) {
  const ParsedCommandLine parsed = ParseCommandLine(
      Args({"--engine", "ntquery", "--threads=8", "--label", "All local drives", "--top=5",
            "--select", "C:\\x\\", "--sizes=disk", "--tree", "--json", "--progress", "C:\\", "D:\\caf\xC3\xA9"}));
  ASSERT_TRUE(parsed.request) << parsed.error;
  const ScanRequest& r = *parsed.request;
  EXPECT_EQ(r.engine, EngineRequest::NtQuery);
  EXPECT_EQ(r.threads, 8u);
  EXPECT_EQ(r.label, u"All local drives");
  EXPECT_EQ(r.topCount, 5u);
  EXPECT_EQ(r.select, u"C:\\x\\");
  EXPECT_EQ(r.sizes, core::SizeBasis::OnDisk);
  EXPECT_EQ(ParseCommandLine(Args({"x"})).request->sizes, core::SizeBasis::Logical);
  EXPECT_TRUE(r.tree && r.json && r.progress);
  EXPECT_EQ(r.paths, (std::vector<std::u16string>{u"C:\\", u"D:\\caf\u00e9"}));
}

TEST(ScanRequestTest, EngineNamesAndTheirChoices) {
  const std::tuple<const char*, EngineRequest, core::ScanEngineChoice> cases[] = {
      {"auto", EngineRequest::Automatic, core::ScanEngineChoice::Automatic},
      {"walk", EngineRequest::Walk, core::ScanEngineChoice::DirectoryWalk},
      {"ntquery", EngineRequest::NtQuery, core::ScanEngineChoice::NtQueryDirectory},
      {"mft", EngineRequest::Mft, core::ScanEngineChoice::NtfsMft},
  };
  for (const auto& [name, engine, choice] : cases) {
    const ParsedCommandLine parsed = ParseCommandLine(Args({"--engine", name, "x"}));
    ASSERT_TRUE(parsed.request) << name;
    EXPECT_EQ(parsed.request->engine, engine) << name;
    EXPECT_EQ(EngineChoiceFor(engine), choice) << name;
  }
}

TEST(ScanRequestTest, ImageAndAllDrivesNeedNoPath) {
  ParsedCommandLine parsed = ParseCommandLine(Args({"--image", "vol.img", "--root", "\\Users"}));
  ASSERT_TRUE(parsed.request) << parsed.error;
  EXPECT_EQ(parsed.request->imageFile, u"vol.img");
  EXPECT_EQ(parsed.request->imageRoot, u"\\Users");
  EXPECT_TRUE(parsed.request->paths.empty());

  parsed = ParseCommandLine(Args({"--all-drives", "--top", "0"}));
  ASSERT_TRUE(parsed.request) << parsed.error;
  EXPECT_TRUE(parsed.request->allDrives);
  EXPECT_EQ(parsed.request->topCount, 0u);
}

TEST(ScanRequestTest, ScanFilesAreOpenedInsteadOfScanningOrWrittenAfter) {
  ParsedCommandLine parsed = ParseCommandLine(
      Args({"--load", "last.ombrixscan", "--compare=week.ombrixscan", "--json", "--tree"}));
  ASSERT_TRUE(parsed.request) << parsed.error;
  EXPECT_EQ(parsed.request->loadFile, u"last.ombrixscan");
  EXPECT_EQ(parsed.request->compareFile, u"week.ombrixscan");
  EXPECT_TRUE(parsed.request->paths.empty());

  parsed = ParseCommandLine(Args({"C:\\", "--save", "c.ombrixscan", "--export-ncdu", "c.json"}));
  ASSERT_TRUE(parsed.request) << parsed.error;
  EXPECT_EQ(parsed.request->saveFile, u"c.ombrixscan");
  EXPECT_EQ(parsed.request->ncduExportFile, u"c.json");
}

TEST(ScanRequestTest, DoubleDashEndsOptions) {
  const ParsedCommandLine parsed = ParseCommandLine(Args({"--json", "--", "--odd", "-x"}));
  ASSERT_TRUE(parsed.request) << parsed.error;
  EXPECT_TRUE(parsed.request->json);
  EXPECT_EQ(parsed.request->topCount, 30u);  // the default
  EXPECT_EQ(parsed.request->paths, (std::vector<std::u16string>{u"--odd", u"-x"}));
}

TEST(ScanRequestTest, MalformedCommandLinesAreRefusedWithAReason) {
  struct Case {
    std::vector<const char*> args;
    const char* errorPart;
  };
  const Case cases[] = {
      {{}, "no path"},
      {{"--json"}, "no path"},
      {{"--bogus", "x"}, "unknown option '--bogus'"},
      {{"-json", "x"}, "unknown option '-json'"},
      {{"--engine", "fast", "x"}, "unknown engine 'fast'"},
      {{"x", "--engine"}, "'--engine' needs a value"},
      {{"--threads", "0", "x"}, "1 to 64"},
      {{"--threads", "65", "x"}, "1 to 64"},
      {{"--threads", "-3", "x"}, "1 to 64"},
      {{"--threads", "4x", "x"}, "1 to 64"},
      {{"--top", "", "x"}, "--top needs a whole number"},
      {{"--top", "+5", "x"}, "--top needs a whole number"},
      {{"--top", "99999999999999999999999", "x"}, "--top needs a whole number"},
      {{"--json=yes", "x"}, "takes no value"},
      {{"--label=", "x"}, "--label needs"},
      {{"--select=", "x"}, "--select needs"},
      {{"--sizes", "Disk", "x"}, "--sizes needs logical or disk"},
      {{"--root", "\\a", "x"}, "--root needs --image"},
      {{"--image", "v.img", "x"}, "either --image or paths"},
      {{"--image", "v.img", "--all-drives"}, "either --image or --all-drives"},
      {{"--all-drives", "C:\\"}, "either --all-drives or paths"},
      {{""}, "empty path"},
      {{"--load", "a.ombrixscan", "C:\\"}, "--load opens a saved scan instead of scanning"},
      {{"--load", "a.ombrixscan", "--image", "v.img"}, "instead of scanning"},
      {{"--save=", "x"}, "'--save' needs a file name"},
      {{"x", "--compare"}, "'--compare' needs a value"},
  };
  for (const Case& c : cases) {
    std::vector<std::u16string> args;
    std::string joined;
    for (const char* a : c.args) {
      args.push_back(test::ToU16(a));
      joined += std::string(a) + " ";
    }
    const ParsedCommandLine parsed = ParseCommandLine(args);
    EXPECT_FALSE(parsed.request) << joined;
    EXPECT_NE(parsed.error.find(c.errorPart), std::string::npos) << joined << "-> " << parsed.error;
  }
}

TEST(ScanRequestTest, UsageNamesEveryOption) {
  const std::string usage = UsageText();
  for (const char* option :
       {"--engine auto|walk|ntquery|mft", "--threads N", "--label TEXT", "--top N", "--select PATH",
        "--tree", "--json", "--progress", "--image FILE", "--root \\folder", "--all-drives",
        "--help", "PATH...", "--load FILE", "--save FILE", "--compare FILE",
        "--export-ncdu FILE"}) {
    EXPECT_NE(usage.find(option), std::string::npos) << option;
  }
  EXPECT_EQ(usage.back(), '\n');
}

}  // namespace
}  // namespace ombrix::scan_tool
