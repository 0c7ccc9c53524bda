#include "core/mft/mft_tree.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "base/text_encoding.h"
#include "core/scan_paths.h"
#include "tests/support/scan_result_checks.h"

namespace ombrix::core {
namespace {

// Records in the streams these tests stand for: every reference below is
// smaller, but for the orphan test's.
constexpr std::uint64_t kRecordLimit = 100;

struct NamedEntry {
  MftNameEntry entry;
  std::u16string name;
};

NamedEntry File(std::uint64_t reference, std::uint64_t parent, std::u16string name,
                std::uint64_t size, std::uint32_t attributes = 0x20) {
  NamedEntry e;
  e.entry.fileReference = reference;
  e.entry.parentReference = parent;
  e.entry.size = size;
  e.entry.attributes = attributes;
  e.name = std::move(name);
  return e;
}

NamedEntry Folder(std::uint64_t reference, std::uint64_t parent, std::u16string name,
                  std::uint32_t attributes = 0x10) {
  NamedEntry e = File(reference, parent, std::move(name), 0, attributes);
  e.entry.isDirectory = true;
  return e;
}

MftNameTable Table(const std::vector<NamedEntry>& named) {
  MftNameTable table;
  for (const NamedEntry& e : named) table.Add(e.entry, e.name);
  return table;
}

ScanResult RunWalk(MftNameTable&& table, std::uint64_t rootReference,
                   const std::u16string& rootPath, const ProgressCallback& callback = {}) {
  ScanCancellationToken token;
  ScanTreeBuilder builder;
  const auto root = builder.AddRoot(u"", rootPath, 0x10, 0);
  EngineProgress progress(callback);
  MftChildrenMap children = BuildChildrenMap(table.entries, kRecordLimit);
  PopulateMftTree(builder, root, rootPath, rootReference, std::move(table), std::move(children),
                  token, progress, 2);
  builder.ComputeTotals();
  return builder.BuildResult(ScanStatus::Completed, rootPath, 0);
}

std::vector<std::uint32_t> ChildrenOf(const MftChildrenMap& children, std::uint64_t parent) {
  const auto positions = children.ChildrenOf(parent);
  return std::vector<std::uint32_t>(positions.begin(), positions.end());
}

bool HasPath(const ScanResult& result, const std::u16string& path) {
  return test::FindNodeByPath(result, path).has_value();
}

// A parent's entries in entry order; references at or beyond the stream's
// records (damage) hold nothing, whatever names them.
TEST(MftTreeTest, ChildrenMapKeepsEntryOrderPerParent) {
  const MftNameTable table =
      Table({File(30, 5, u"a", 1), Folder(31, 5, u"d"), File(32, 31, u"b", 2),
             File(33, 5, u"c", 3), File(34, 99, u"last", 1), File(35, 100, u"beyond", 1),
             File(36, ~std::uint64_t{0} >> 16, u"far beyond", 1)});
  const MftChildrenMap children = BuildChildrenMap(table.entries, kRecordLimit);
  ASSERT_EQ(children.ParentCount(), 3u);
  EXPECT_EQ(ChildrenOf(children, 5), (std::vector<std::uint32_t>{0, 1, 3}));
  EXPECT_EQ(ChildrenOf(children, 31), (std::vector<std::uint32_t>{2}));
  EXPECT_EQ(ChildrenOf(children, 99), (std::vector<std::uint32_t>{4}));
  EXPECT_TRUE(ChildrenOf(children, 30).empty());
  EXPECT_TRUE(ChildrenOf(children, 100).empty());
  EXPECT_TRUE(ChildrenOf(children, ~std::uint64_t{0}).empty());
}

TEST(MftTreeTest, HardLinksAppearInBothFoldersWithFullSize) {
  const ScanResult r =
      RunWalk(Table({Folder(40, 5, u"one"), Folder(41, 5, u"two"), File(50, 40, u"link a", 700),
                     File(50, 41, u"link b", 700)}),
              5, u"X:\\");
  ASSERT_TRUE(HasPath(r, u"X:\\one\\link a"));
  ASSERT_TRUE(HasPath(r, u"X:\\two\\link b"));
  EXPECT_EQ(r.nodes[r.rootIndex].TotalSize(), 1400u);
}

TEST(MftTreeTest, ParentCycleEndsTheWalk) {
  // Damaged references: 40 lies in 41 and 41 in 40, both reachable.
  const ScanResult r = RunWalk(
      Table({Folder(40, 5, u"a"), Folder(41, 40, u"b"), Folder(40, 41, u"a again")}), 5, u"X:\\");
  // Each entry is descended at most once, so the cycle is followed once round.
  EXPECT_LE(r.nodes.size(), 8u);
  EXPECT_TRUE(HasPath(r, u"X:\\a\\b\\a again"));
}

TEST(MftTreeTest, EntriesBelowNoReachableFolderAreIgnored) {
  const ScanResult r = RunWalk(Table({File(40, 77, u"orphan", 5), Folder(5, 5, u"."),
                                      File(41, 5, u"", 1), File(42, 5, u"..", 1)}),
                               5, u"X:\\");
  EXPECT_EQ(r.nodes.size(), 1u);
}

// A node's path is made from its parents' names and the root's path, also
// when the walk is cancelled part way and for an empty root path.
TEST(MftTreeTest, EveryNodeGetsItsFullPath) {
  const std::vector<NamedEntry> named = {
      Folder(40, 5, u"a"),    File(41, 40, u"f", 1),         Folder(42, 40, u"b"),
      File(43, 42, u"g", 2),  Folder(44, 5, u"link", 0x410), File(45, 44, u"behind link", 3),
      File(46, 5, u"top", 4), Folder(47, 42, u"c")};
  for (const bool cancelAfterFirstFolder : {false, true}) {
    for (const std::u16string rootPath : {u"X:\\", u"D:\\Data", u""}) {
      ScanCancellationToken token;
      ScanTreeBuilder builder;
      const auto root = builder.AddRoot(u"", rootPath, 0x10, 0);
      const ProgressCallback cancel = [&](const ScanProgress&) {
        if (cancelAfterFirstFolder) token.Cancel();
      };
      EngineProgress progress(cancel);
      MftNameTable table = Table(named);
      MftChildrenMap children = BuildChildrenMap(table.entries, kRecordLimit);
      PopulateMftTree(builder, root, rootPath, 5, std::move(table), std::move(children), token,
                      progress, 2);
      const ScanResult r = builder.BuildResult(ScanStatus::Completed, rootPath, 0);
      EXPECT_EQ(r.nodes.size(), cancelAfterFirstFolder ? 4u : 8u);
      for (const ScanNode& node : r.nodes) {
        if (node.Parent() == kNoNode) continue;
        EXPECT_EQ(node.Path(), JoinPath(r.nodes[node.Parent()].Path(), node.Name()))
            << base::ToUtf8(rootPath) << " " << base::ToUtf8(node.Name().ToString());
      }
      EXPECT_TRUE(HasPath(r, JoinPath(rootPath, u"top")));
      if (!cancelAfterFirstFolder) {
        EXPECT_TRUE(HasPath(r, JoinPath(rootPath, u"a\\b\\g")));
        EXPECT_TRUE(HasPath(r, JoinPath(rootPath, u"a\\b\\c")));
      }
    }
  }
}

// The nodes are laid out by one thread and filled by several: whatever the
// number of threads, every node sits where the walk put it (ranking breaks
// ties by node index) and is linked both ways to its parent.
TEST(MftTreeTest, NodesKeepTheWalkOrderAndLinksOnAnyNumberOfThreads) {
  const std::vector<NamedEntry> named = {
      Folder(40, 5, u"a"),    File(41, 40, u"f", 1),         Folder(42, 40, u"b"),
      File(43, 42, u"g", 2),  Folder(44, 5, u"link", 0x410), Folder(48, 5, u"empty"),
      File(46, 5, u"top", 4), Folder(47, 42, u"c"),          File(49, 47, u"h", 8),
      File(50, 47, u"i", 16), File(51, 40, u"j", 32)};
  // The walk lists a folder's entries in record order and goes on with the
  // folder it found last.
  const std::vector<std::u16string> walkOrder = {u"",  u"a", u"link", u"empty", u"top", u"f",
                                                 u"b", u"j", u"g",    u"c",     u"h",   u"i"};
  for (const std::uint64_t workers : {1u, 2u, 3u, 5u, 64u}) {
    ScanCancellationToken token;
    ScanTreeBuilder builder;
    const auto root = builder.AddRoot(u"", u"X:\\", 0x10, 0);
    const ProgressCallback noCallback;
    EngineProgress progress(noCallback);
    MftNameTable table = Table(named);
    MftChildrenMap children = BuildChildrenMap(table.entries, kRecordLimit);
    PopulateMftTree(builder, root, u"X:\\", 5, std::move(table), std::move(children), token,
                    progress, workers);
    builder.ComputeTotals();
    const ScanResult r = builder.BuildResult(ScanStatus::Completed, u"X:\\", 0);
    ASSERT_EQ(r.nodes.size(), walkOrder.size()) << workers;
    for (std::uint64_t i = 0; i < r.nodes.size(); ++i) {
      const ScanNode node = r.nodes[i];
      EXPECT_EQ(node.Name(), walkOrder[i]) << workers << " " << i;
      for (const std::uint64_t child : node.Children()) EXPECT_EQ(r.nodes[child].Parent(), i);
      if (node.Parent() == kNoNode) continue;
      const auto siblings = r.nodes[node.Parent()].Children();
      EXPECT_EQ(std::count(siblings.begin(), siblings.end(), i), 1) << workers << " " << i;
    }
    EXPECT_TRUE(test::TreeInconsistencies(r).empty()) << workers;
    EXPECT_EQ(r.nodes[r.rootIndex].TotalSize(), 63u);
    EXPECT_EQ(r.nodes[r.rootIndex].FolderCount(), 5u);
  }
}

TEST(MftTreeTest, FindFolderByNamesFollowsFoldersIgnoringCase) {
  const MftNameTable entries =
      Table({Folder(40, 5, u"Users"), Folder(41, 40, u"\u00C9LISE"), File(42, 40, u"ann", 1),
             Folder(43, 40, u"ann"), Folder(44, 40, u"Ann"), Folder(45, 5, u"link", 0x410)});
  const MftChildrenMap children = BuildChildrenMap(entries.entries, kRecordLimit);
  EXPECT_EQ(FindFolderByNames({}, 5, entries, children), 5u);
  EXPECT_EQ(FindFolderByNames({u"users", u"\u00E9lise"}, 5, entries, children), 41u);
  // A file of the same name is passed over; an exact match beats an
  // earlier case-insensitive one.
  EXPECT_EQ(FindFolderByNames({u"USERS", u"Ann"}, 5, entries, children), 44u);
  EXPECT_EQ(FindFolderByNames({u"Users", u"ANN"}, 5, entries, children), 43u);
  EXPECT_FALSE(FindFolderByNames({u"Users", u"bob"}, 5, entries, children).has_value());
  EXPECT_FALSE(FindFolderByNames({u"link"}, 5, entries, children).has_value());
}

}  // namespace
}  // namespace ombrix::core
