// The walk through the real Win32 find calls on trees made on the Linux
// side (tests/data/build_trees.py), reached under Wine through Z:, each
// checked against its independent listing.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "base/text_encoding.h"
#include "base/win/extended_path_win.h"
#include "base/win/unique_handle_win.h"
#include "base/win/wide_string_win.h"
#include "core/walk/directory_finder_win.h"
#include "core/walk/directory_walk_scan_engine.h"
#include "tests/support/scan_result_checks.h"
#include "tests/support/test_data.h"
#include "tests/support/tree_listing.h"

namespace ombrix::core {
namespace {

using base::ToUtf8;
using test::TestDataDir;
using test::ToU16;

std::string TreePath(const std::string& name) { return TestDataDir() + "\\trees\\" + name; }

ScanResult WalkReal(const std::u16string& path, const ProgressCallback& progress = {}) {
  ScanCancellationToken token;
  return DirectoryWalkScanEngine(SystemDirectoryFinder()).Scan(path, token, progress);
}

const ScanNode* NodeAt(const ScanResult& result, const std::u16string& path) {
  for (const ScanNode& node : result.nodes) {
    if (node.path == path) return &node;
  }
  return nullptr;
}

TEST(DirectoryWalkScanEngineWinTest, TreesMatchTheirListings) {
  for (const char* name : {"basic", "wide5000", "big"}) {
    SCOPED_TRACE(name);
    const std::optional<test::TreeListing> listing =
        test::ReadTreeListing(TreePath(name) + ".listing");
    ASSERT_TRUE(listing) << "no listing for " << name << ": was tests/data/make_testdata.sh run?";
    ScanResult result = WalkReal(ToU16(TreePath(name)));
    EXPECT_EQ(result.status, ScanStatus::Completed);
    EXPECT_EQ(result.engine, ScanEngineKind::DirectoryWalk);
    EXPECT_EQ(result.rootPath, ToU16(TreePath(name)));
    EXPECT_EQ(result.nodes[result.rootIndex].name, ToU16(name));
    EXPECT_TRUE(result.issues.empty());
    EXPECT_EQ(test::DifferencesFromListing(result, *listing), std::vector<std::string>{});
    EXPECT_EQ(test::TreeInconsistencies(result), std::vector<std::string>{});
  }
}

TEST(DirectoryWalkScanEngineWinTest, TrailingSeparatorsOnTheRootAreDropped) {
  const std::u16string root = ToU16(TreePath("basic"));
  const ScanResult plain = WalkReal(root);
  for (const std::u16string suffix : {u"\\", u"\\\\", u"/", u"\\/"}) {
    SCOPED_TRACE(base::ToUtf8(suffix));
    const ScanResult result = WalkReal(root + suffix);
    EXPECT_EQ(result.rootPath, root);
    ASSERT_EQ(result.nodes.size(), plain.nodes.size());
    for (std::size_t i = 0; i < plain.nodes.size(); ++i) {
      EXPECT_EQ(result.nodes[i].path, plain.nodes[i].path);
      EXPECT_EQ(result.nodes[i].totalSize, plain.nodes[i].totalSize);
    }
    EXPECT_EQ(result.nodes[result.rootIndex].name, u"basic");
  }
}

TEST(DirectoryWalkScanEngineWinTest, MissingRootIsAnEmptyCompletedScan) {
  for (const std::string& missing :
       {TreePath("no-such-folder"), TreePath("basic\\top.txt\\below-a-file")}) {
    SCOPED_TRACE(missing);
    ScanResult result = WalkReal(ToU16(missing));
    EXPECT_EQ(result.status, ScanStatus::Completed);
    ASSERT_EQ(result.nodes.size(), 1u);
    EXPECT_EQ(result.nodes[0].isDirectory, 1);
    EXPECT_EQ(result.nodes[0].attributes, kAttributeDirectory);
    EXPECT_EQ(result.nodes[0].lastWriteTime, 0u);
    EXPECT_EQ(result.nodes[0].totalSize, 0u);
    EXPECT_EQ(result.fileCount, 0u);
    EXPECT_EQ(result.folderCount, 1u);
    EXPECT_EQ(result.issueCount, 0u);
  }
}

TEST(DirectoryWalkScanEngineWinTest, FileGivenAsRootIsAnEmptyFolderNode) {
  const std::u16string file = ToU16(TreePath("basic\\top.txt"));
  ScanResult result = WalkReal(file);
  EXPECT_EQ(result.status, ScanStatus::Completed);
  ASSERT_EQ(result.nodes.size(), 1u);
  const ScanNode& root = result.nodes[0];
  EXPECT_EQ(root.isDirectory, 1);
  EXPECT_EQ(root.name, u"top.txt");
  EXPECT_EQ(root.attributes & kAttributeDirectory, 0u);  // the file's own attributes
  EXPECT_NE(root.lastWriteTime, 0u);
  EXPECT_EQ(root.totalSize, 0u);
  EXPECT_TRUE(result.issues.empty());
}

TEST(DirectoryWalkScanEngineWinTest, ThreeHundredFilesReportAfterThe128thAnd256th) {
  std::vector<ScanProgress> reports;
  ScanResult result =
      WalkReal(ToU16(TreePath("wide300")), [&](const ScanProgress& p) { reports.push_back(p); });
  const ScanNode& root = result.nodes[result.rootIndex];
  ASSERT_EQ(root.children.size(), 300u);
  ASSERT_EQ(reports.size(), 2u);
  EXPECT_EQ(reports[0].filesScanned, 128u);
  EXPECT_EQ(reports[0].currentPath, result.nodes[root.children[127]].path);
  EXPECT_EQ(reports[1].filesScanned, 256u);
  EXPECT_EQ(reports[1].currentPath, result.nodes[root.children[255]].path);
  EXPECT_EQ(reports[1].foldersScanned, 0u);
}

TEST(DirectoryWalkScanEngineWinTest, CancelFromProgressOnARealTree) {
  ScanCancellationToken token;
  ScanProgress atCancel;
  ScanResult result = DirectoryWalkScanEngine(SystemDirectoryFinder())
                          .Scan(ToU16(TreePath("big")), token, [&](const ScanProgress& p) {
                            if (!token.IsCancelled() && p.filesScanned == 1024) {
                              atCancel = p;
                              token.Cancel();
                            }
                          });
  EXPECT_EQ(result.status, ScanStatus::Cancelled);
  EXPECT_EQ(result.folderCount, atCancel.foldersScanned + 1);
  EXPECT_EQ(result.fileCount, atCancel.filesScanned);
  EXPECT_EQ(result.fileCount, 1024u);
  EXPECT_LT(result.fileCount + result.folderCount, 105000u);
  EXPECT_EQ(test::TreeInconsistencies(result), std::vector<std::string>{});
}

TEST(DirectoryWalkScanEngineWinTest, ExtendedLengthPath) {
  const std::u16string a300(300, u'a');
  const std::u16string a257(257, u'a');
  struct Case {
    std::u16string given;
    std::u16string expected;
  };
  const Case cases[] = {
      {u"C:\\short\\*", u"C:\\short\\*"},
      {u"C:\\" + std::u16string(256, u'a'), u"C:\\" + std::u16string(256, u'a')},  // 259 chars
      {u"C:\\" + a257, u"\\\\?\\C:\\" + a257},                                     // 260 chars
      {u"C:\\" + a300 + u"/b\\.\\c\\..\\d\\*", u"\\\\?\\C:\\" + a300 + u"\\b\\d\\*"},
      {u"\\\\srv\\share\\" + a300, u"\\\\?\\UNC\\srv\\share\\" + a300},
      {u"\\\\?\\C:\\" + a300 + u"/x", u"\\\\?\\C:\\" + a300 + u"/x"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.given.size());
    EXPECT_EQ(base::ToUtf8(base::ExtendedLengthPath(c.given)), base::ToUtf8(c.expected));
  }
}

// The chain of 2,010 one-letter folders. Plain paths that deep are far past
// MAX_PATH on Windows, so the finder must hand them over in extended-length
// form. Under Wine every path becomes "<prefix>/dosdevices/z:<Linux path>",
// which Linux caps at 4,095 bytes, so the bottom levels may be out of
// Wine's reach; and Wine resolves every component of a path on each open,
// so a folder n levels down costs n^2 work and a walk from the top takes
// minutes. The test therefore finds the deepest level the platform opens,
// then walks the last few levels from there and expects every one of them.
constexpr int kChainDepth = 2010;

std::u16string ChainLevel(const std::u16string& top, int level) {
  std::u16string path = top;
  for (int i = 0; i < level; ++i) path += u"\\d";
  return path;
}

bool PlatformOpens(const std::u16string& folder) {
  const std::u16string pattern = base::ExtendedLengthPath(folder + u"\\*");
  WIN32_FIND_DATAW data{};
  base::UniqueFindHandle handle(::FindFirstFileExW(base::WideView(pattern), FindExInfoBasic, &data,
                                                   FindExSearchNameMatch, nullptr, 0));
  return handle.valid();
}

bool RunningUnderWine() {
  const HMODULE ntdll = ::GetModuleHandleW(L"ntdll.dll");
  return ntdll != nullptr && ::GetProcAddress(ntdll, "wine_get_version") != nullptr;
}

TEST(DirectoryWalkScanEngineWinTest, DeepChainIsWalkedAsFarAsThePlatformOpens) {
  std::ifstream in(std::filesystem::path(ToU16(TreePath("deep.path"))));
  std::string linuxPath;
  ASSERT_TRUE(std::getline(in, linuxPath)) << "deep.path missing";
  std::u16string top = u"Z:" + ToU16(linuxPath);
  for (char16_t& c : top) {
    if (c == u'/') c = u'\\';
  }
  ASSERT_TRUE(PlatformOpens(top));

  int reach = 0;  // deepest level that opens
  for (int low = 0, high = kChainDepth; low <= high;) {
    const int mid = (low + high) / 2;
    if (PlatformOpens(ChainLevel(top, mid))) {
      reach = mid;
      low = mid + 1;
    } else {
      high = mid - 1;
    }
  }
  std::printf("the platform opens the chain down to level %d of %d (%zu-character paths)\n", reach,
              kChainDepth, ChainLevel(top, reach).size());
  if (!RunningUnderWine()) {
    EXPECT_EQ(reach, kChainDepth);
  }
  ASSERT_GE(reach, 1900) << "far below the depth Linux paths allow";

  const int start = reach - 8;
  const std::u16string startPath = ChainLevel(top, start);
  ASSERT_GT(startPath.size(), 3800u);
  ScanResult result = WalkReal(startPath + u"\\");
  EXPECT_EQ(result.status, ScanStatus::Completed);
  EXPECT_TRUE(result.issues.empty());
  EXPECT_EQ(result.rootPath, startPath);
  EXPECT_NE(result.nodes[result.rootIndex].lastWriteTime, 0u);
  const ScanNode& root = result.nodes[result.rootIndex];
  const ScanNode* deepestOpened = NodeAt(result, ChainLevel(top, reach));
  ASSERT_NE(deepestOpened, nullptr);
  if (reach == kChainDepth) {
    EXPECT_EQ(root.folderCount, static_cast<std::uint64_t>(kChainDepth - start));
    EXPECT_EQ(root.fileCount, 1u);
  } else {
    // The level below may still be listed by its parent, as an empty
    // folder, unless Wine cannot even look at it.
    EXPECT_LE(deepestOpened->folderCount, 1u);
    EXPECT_EQ(root.folderCount, reach - start + deepestOpened->folderCount);
    EXPECT_EQ(root.fileCount, 0u);
  }
  if (reach == kChainDepth) {
    const ScanNode* leaf = NodeAt(result, ChainLevel(top, kChainDepth) + u"\\leaf.txt");
    ASSERT_NE(leaf, nullptr);
    EXPECT_EQ(leaf->ownSize, 6u);
  }
  EXPECT_EQ(test::TreeInconsistencies(result), std::vector<std::string>{});
}

}  // namespace
}  // namespace ombrix::core
