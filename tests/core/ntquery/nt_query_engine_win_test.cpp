// The engine on real folders under Wine: the trees are made on the Linux
// side and reached through the Z: drive, and each comes with a listing made
// by Python's os.walk, which is the independent count checked here.
#include <gtest/gtest.h>

#include <fstream>
#include <map>
#include <set>
#include <sstream>
#include <string>

#include "base/text_encoding.h"
#include "core/ntquery/nt_query_engine.h"
#include "core/scan_paths.h"
#include "tests/support/test_data.h"

namespace ombrix::core {
namespace {

struct ListedEntry {
  bool isDirectory = false;
  std::uint64_t size = 0;
};

struct FolderTotals {
  std::uint64_t totalSize = 0;
  std::uint64_t fileCount = 0;
  std::uint64_t folderCount = 0;
  bool operator==(const FolderTotals&) const = default;
};

std::string TreesDir() { return test::TestDataDir() + "\\trees"; }

// Relative paths with backslashes -> entry.
std::map<std::u16string, ListedEntry> ReadListing(const std::string& name) {
  std::map<std::u16string, ListedEntry> listing;
  std::ifstream in(TreesDir() + "\\" + name + ".listing", std::ios::binary);
  EXPECT_TRUE(in.good()) << name;
  std::string line;
  while (std::getline(in, line)) {
    const std::size_t tab1 = line.find('\t');
    const std::size_t tab2 = line.find('\t', tab1 + 1);
    std::u16string path = test::ToU16(line.substr(0, tab1));
    for (char16_t& c : path) {
      if (c == u'/') c = u'\\';
    }
    listing[path] = ListedEntry{line[tab1 + 1] == 'd', std::stoull(line.substr(tab2 + 1))};
  }
  return listing;
}

// Every folder's totals, keyed by relative path ("" is the root).
std::map<std::u16string, FolderTotals> ListingTotals(
    const std::map<std::u16string, ListedEntry>& listing) {
  std::map<std::u16string, FolderTotals> totals;
  totals[u""];
  for (const auto& [path, entry] : listing) {
    if (entry.isDirectory) totals[path];
  }
  for (const auto& [path, entry] : listing) {
    std::u16string folder = path;
    for (;;) {
      const std::size_t cut = folder.rfind(u'\\');
      folder = cut == std::u16string::npos ? u"" : folder.substr(0, cut);
      FolderTotals& t = totals[folder];
      if (entry.isDirectory) {
        ++t.folderCount;
      } else {
        ++t.fileCount;
        t.totalSize += entry.size;
      }
      if (folder.empty()) break;
    }
  }
  return totals;
}

std::u16string Relative(const ScanResult& result, const ScanNode& node) {
  const std::u16string& root = result.rootPath;
  if (node.path.size() == root.size()) return u"";
  return node.path.substr(root.size() + 1);
}

void ExpectMatchesListing(const ScanResult& result, const std::string& tree) {
  const std::map<std::u16string, ListedEntry> listing = ReadListing(tree);
  ASSERT_FALSE(listing.empty());
  EXPECT_EQ(result.status, ScanStatus::Completed);
  EXPECT_TRUE(result.issues.empty());
  std::map<std::u16string, ListedEntry> scanned;
  std::map<std::u16string, FolderTotals> scannedTotals;
  for (const ScanNode& node : result.nodes) {
    const std::u16string rel = Relative(result, node);
    if (node.id != result.rootIndex) {
      EXPECT_TRUE(scanned.emplace(rel, ListedEntry{node.isDirectory != 0, node.ownSize}).second)
          << "doubled: " << base::ToUtf8(node.path);
      EXPECT_EQ(JoinPath(result.nodes[node.parent].path, node.name), node.path);
    }
    if (node.isDirectory != 0) {
      scannedTotals[rel] = FolderTotals{node.totalSize, node.fileCount, node.folderCount};
    }
  }
  EXPECT_EQ(scanned.size(), listing.size());
  for (const auto& [path, entry] : listing) {
    auto it = scanned.find(path);
    if (it == scanned.end()) {
      ADD_FAILURE() << "missing: " << base::ToUtf8(path);
      continue;
    }
    EXPECT_EQ(it->second.isDirectory, entry.isDirectory) << base::ToUtf8(path);
    if (!entry.isDirectory) {
      EXPECT_EQ(it->second.size, entry.size) << base::ToUtf8(path);
    }
  }
  EXPECT_TRUE(scannedTotals == ListingTotals(listing)) << "per-folder totals differ";
}

std::u16string TreePath(const std::string& tree) { return test::ToU16(TreesDir() + "\\" + tree); }

ScanResult ScanTree(const std::u16string& path, std::uint64_t threads,
                    const ProgressCallback& progress = {}) {
  NtQueryDirectoryScanEngine engine(threads);
  ScanCancellationToken token;
  return engine.Scan(path, token, progress);
}

TEST(NtQueryEngineWineTest, TreesMatchTheIndependentListing) {
  for (const char* tree : {"basic", "wide300", "wide5000", "big"}) {
    for (std::uint64_t threads : {1, 8, 64}) {
      SCOPED_TRACE(testing::Message() << tree << ", " << threads << " threads");
      ExpectMatchesListing(ScanTree(TreePath(tree), threads), tree);
    }
  }
}

TEST(NtQueryEngineWineTest, TrailingSeparatorIsTrimmed) {
  const ScanResult result = ScanTree(TreePath("basic") + u"\\", 2);
  EXPECT_EQ(result.rootPath, TreePath("basic"));
  EXPECT_EQ(result.nodes[result.rootIndex].name, u"basic");
  EXPECT_NE(result.nodes[result.rootIndex].attributes & kAttributeDirectory, 0u);
  ExpectMatchesListing(result, "basic");
}

TEST(NtQueryEngineWineTest, CancellationMidScanReturnsAConsistentPartialTree) {
  const std::map<std::u16string, ListedEntry> listing = ReadListing("big");
  NtQueryDirectoryScanEngine engine(8);
  ScanCancellationToken token;
  const ScanResult result = engine.Scan(TreePath("big"), token, [&](const ScanProgress& p) {
    if (p.filesScanned >= 5000) token.Cancel();
  });
  EXPECT_EQ(result.status, ScanStatus::Cancelled);
  EXPECT_GE(result.fileCount, 5000u);
  EXPECT_LT(result.nodes.size(), listing.size());
  std::set<std::u16string> seen;
  for (const ScanNode& node : result.nodes) {
    if (node.id == result.rootIndex) continue;
    const std::u16string rel = Relative(result, node);
    EXPECT_TRUE(seen.insert(rel).second);
    auto it = listing.find(rel);
    ASSERT_NE(it, listing.end()) << base::ToUtf8(rel);
    if (node.isDirectory == 0) {
      EXPECT_EQ(node.ownSize, it->second.size);
    }
  }
}

TEST(NtQueryEngineWineTest, DriveRootHasAnEmptyNameAndTheLargeReserve) {
  // Z:\ is the whole Linux file system: look at the root and stop early.
  NtQueryDirectoryScanEngine engine(8);
  ScanCancellationToken token;
  const ScanResult result = engine.Scan(u"Z:\\", token, [&](const ScanProgress& p) {
    if (p.filesScanned + p.foldersScanned >= 2000) token.Cancel();
  });
  EXPECT_EQ(result.status, ScanStatus::Cancelled);
  EXPECT_EQ(result.rootPath, u"Z:\\");
  const ScanNode& root = result.nodes[result.rootIndex];
  EXPECT_EQ(root.name, u"");
  EXPECT_EQ(root.path, u"Z:\\");
  EXPECT_GE(result.nodes.capacity(), NtQueryDirectoryScanEngine::kDriveRootReserve);
  EXPECT_GT(result.nodes.size(), 1u);
  for (const ScanNode& node : result.nodes) {
    EXPECT_EQ(node.path.find(u"\\\\"), std::u16string::npos) << base::ToUtf8(node.path);
  }
  bool hasTmp = false;
  for (std::uint64_t child : root.children) {
    hasTmp = hasTmp || result.nodes[child].path == u"Z:\\tmp";
  }
  EXPECT_TRUE(hasTmp);
}

}  // namespace
}  // namespace ombrix::core
