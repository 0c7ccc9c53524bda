#include "app/ncdu/ncdu_import.h"

#include <gtest/gtest.h>

#include <string>
#include <string_view>

#include "app/ncdu/ncdu_export.h"
#include "core/scan_tree_builder.h"

namespace ombrix::app {
namespace {

constexpr std::string_view kServerExport =
    R"([1,1,{"progname":"ncdu","progver":"1.16","timestamp":1700000000,"extra":[1,{"a":null}]},
[{"name":"/srv","asize":4096,"dsize":4096,"dev":2049,"future":{"x":[true,false,1.5e3]}},
{"name":"link","asize":12,"notreg":true,"read_error":true},
[{"name":"mnt","asize":4096,"dsize":4096,"dev":2050,"read_error":true},
{"name":"caf\u00e9 \ud800","asize":7,"dsize":4096,"ino":5,"hlnkc":true,"nlink":3},
{"name":"again","asize":7,"dsize":4096,"ino":5,"hlnkc":true,"nlink":3}],
[{"name":"other","dev":2051},
{"name":"same-ino","asize":7,"dsize":4096,"ino":5,"hlnkc":true,"nlink":3}]]]
)";

std::uint64_t Find(const core::ScanResult& result, std::u16string_view path) {
  for (std::uint64_t i = 0; i < result.nodes.size(); ++i) {
    if (result.nodes.Path(i) == path) return i;
  }
  ADD_FAILURE() << "no node";
  return 0;
}

TEST(NcduImportTest, AServerExportOpensWithItsLinksErrorsAndLinuxPaths) {
  const OpenedScan imported = ImportNcduExport(kServerExport);
  ASSERT_EQ(imported.error, SavedScanError::None);
  const core::ScanResult& result = *imported.result;
  EXPECT_EQ(result.engine, core::ScanEngineKind::NcduExport);
  EXPECT_EQ(result.rootPath, u"/srv");
  EXPECT_EQ(result.fileCount, 4u);
  EXPECT_EQ(result.folderCount, 3u);
  const std::uint64_t mnt = Find(result, u"/srv\\mnt");
  // Two names of inode 5 on device 2050 count their blocks once; the
  // same inode number on another device is another file.
  EXPECT_EQ(result.nodes.SizeOnDisk(mnt), 4096u + 4096u);
  EXPECT_EQ(result.nodes.TotalSize(mnt), 4096u + 7u + 7u);
  EXPECT_EQ(result.nodes.SizeOnDisk(result.rootIndex), 4096u * 2 + 4096u * 2);
  EXPECT_EQ(result.nodes.Name(Find(result, u"/srv\\mnt\\caf\u00e9 \xD800")).size(), 6u);
  // A file can be unreadable as well as a folder.
  ASSERT_EQ(result.issues.size(), 2u);
  EXPECT_EQ(result.issues[0].path, u"/srv\\link");
  EXPECT_EQ(result.issues[1].path, u"/srv\\mnt");
  EXPECT_EQ(result.scanTime, 116'444'736'000'000'000ull + 1'700'000'000ull * 10'000'000);
}

TEST(NcduImportTest, OurExportOpensAsTheSameTree) {
  const core::ScanResult first = *ImportNcduExport(kServerExport).result;
  const std::string exported = WriteNcduExport(first, first.nodes.size(), 1700000000);
  const OpenedScan again = ImportNcduExport(exported);
  ASSERT_EQ(again.error, SavedScanError::None);
  ASSERT_EQ(again.result->nodes.size(), first.nodes.size());
  for (std::uint64_t i = 0; i < first.nodes.size(); ++i) {
    EXPECT_EQ(again.result->nodes.Path(i), first.nodes.Path(i));
    EXPECT_EQ(again.result->nodes.TotalSize(i), first.nodes.TotalSize(i));
    EXPECT_EQ(again.result->nodes.SizeOnDisk(i), first.nodes.SizeOnDisk(i));
  }
  ASSERT_EQ(again.result->issues.size(), first.issues.size());
  for (std::size_t k = 0; k < first.issues.size(); ++k) {
    EXPECT_EQ(again.result->issues[k].path, first.issues[k].path);
  }
}

// Names of every kind come back unit for unit: bytes that are no UTF-8
// (kept as U+DC80..U+DCFF) stay bytes unless, written as bytes, they would
// read back as a character, as a CESU surrogate or with their neighbours.
TEST(NcduImportTest, EveryNameComesBackUnitForUnit) {
  const std::u16string names[] = {
      u"plain", u"caf\u00e9", u"\xD83D\xDE00 pair",
      std::u16string{0xD800, u'x'},                 // a lone high surrogate
      std::u16string{0xDCFF, u'a'},                 // a byte that is no UTF-8
      std::u16string{0xDCCB, 0xDC8B},               // CB 8B would be U+02CB
      std::u16string{0xDCE2, 0xDC82, 0xDCAC},       // E2 82 AC would be the euro sign
      std::u16string{0xDCED, 0xDCA0, 0xDC80},       // ED A0 80 would be U+D800
      std::u16string{0xDCF0, 0xDC9F, 0xDC98, 0xDC80},  // a four-byte character
      std::u16string{0xDCC3, u'\u00e9'},            // a lead byte before a character
  };
  core::ScanTreeBuilder builder;
  const std::uint64_t root = builder.AddRoot(u"/srv", u"/srv", core::kAttributeDirectory, 0);
  for (const std::u16string& name : names) builder.AddFile(root, name, 0x20, 1, 0);
  builder.ComputeTotals();
  const core::ScanResult result = builder.BuildResult(core::ScanStatus::Completed, u"/srv", 0);
  const OpenedScan again = ImportNcduExport(WriteNcduExport(result, result.nodes.size(), 1));
  ASSERT_EQ(again.error, SavedScanError::None);
  ASSERT_EQ(again.result->nodes.size(), result.nodes.size());
  // The root is named by its path.
  for (std::uint64_t i = 1; i < result.nodes.size(); ++i) {
    EXPECT_EQ(again.result->nodes.Name(i).ToString(), result.nodes.Name(i).ToString()) << i;
  }
}

// An export may name two items alike; each unreadable one is one issue, and
// writing the tree back marks as many as there were.
TEST(NcduImportTest, TwinsKeepTheirCountOfReadErrors) {
  for (const int marked : {1, 2}) {
    std::string text = R"([1,2,{},[{"name":"/d"},{"name":"x","read_error":true},{"name":"x")";
    text += marked == 2 ? R"(,"read_error":true}]])" : "}]]";
    const core::ScanResult first = *ImportNcduExport(text).result;
    ASSERT_EQ(first.issues.size(), static_cast<std::size_t>(marked));
    const OpenedScan again = ImportNcduExport(WriteNcduExport(first, first.nodes.size(), 0));
    ASSERT_TRUE(again.result);
    EXPECT_EQ(again.result->issues.size(), first.issues.size()) << marked;
  }
}

TEST(NcduImportTest, BadExportsGetTheirOwnError) {
  const struct {
    std::string_view json;
    SavedScanError error;
  } cases[] = {
      {R"([2,0,{},[{"name":"/"}]])", SavedScanError::NewerVersion},
      {R"({"name":"/"})", SavedScanError::NotAScan},
      {R"([1,2,{},[{"name":"/"},{"name":"a","asize":1})", SavedScanError::Truncated},
      {R"([1,2,{},[{"name":"/"},{"name":"a","asize":-1}]])", SavedScanError::Corrupted},
      {R"([1,2,{},[{"name":"/"}],[{"name":"/two"}]])", SavedScanError::Corrupted},
      {R"([1,2,{},[{"name":"/"}]] trailing)", SavedScanError::Corrupted},
      {R"([1,2,{},[{"name":"/"},{"asize":1}]])", SavedScanError::Corrupted},
  };
  for (const auto& c : cases) {
    const OpenedScan imported = ImportNcduExport(c.json);
    EXPECT_EQ(imported.error, c.error) << c.json;
    EXPECT_FALSE(imported.result) << c.json;
  }
}

}  // namespace
}  // namespace ombrix::app
