#include "core/mft/mft_tree.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace ombrix::core {
namespace {

MftNameEntry File(std::uint64_t reference, std::uint64_t parent, std::u16string name,
                  std::uint64_t size, std::uint32_t attributes = 0x20) {
  MftNameEntry e;
  e.fileReference = reference;
  e.parentReference = parent;
  e.name = std::move(name);
  e.size = size;
  e.attributes = attributes;
  return e;
}

MftNameEntry Folder(std::uint64_t reference, std::uint64_t parent, std::u16string name,
                    std::uint32_t attributes = 0x10) {
  MftNameEntry e = File(reference, parent, std::move(name), 0, attributes);
  e.isDirectory = true;
  return e;
}

struct Walk {
  ScanResult result;
  std::vector<ScanProgress> reports;
};

Walk RunWalk(const std::vector<MftNameEntry>& entries, std::uint64_t rootReference,
             const std::u16string& rootPath, ScanCancellationToken* cancelAfterReports = nullptr,
             std::size_t reportsBeforeCancel = 0) {
  Walk walk;
  ProgressCallback callback = [&](const ScanProgress& p) {
    walk.reports.push_back(p);
    if (cancelAfterReports != nullptr && walk.reports.size() == reportsBeforeCancel) {
      cancelAfterReports->Cancel();
    }
  };
  ScanCancellationToken ownToken;
  ScanCancellationToken& token = cancelAfterReports != nullptr ? *cancelAfterReports : ownToken;
  ScanTreeBuilder builder;
  const auto root = builder.AddDirectory(kNoNode, u"", rootPath, 0x10, 0);
  EngineProgress state(callback);
  const MftChildrenMap children = BuildChildrenMap(entries);
  PopulateMftTree(builder, root, rootPath, rootReference, entries, children, token, state);
  builder.ComputeTotals();
  walk.result = builder.BuildResult(ScanStatus::Completed, rootPath, 0);
  return walk;
}

const ScanNode* FindByPath(const ScanResult& result, const std::u16string& path) {
  for (const ScanNode& node : result.nodes) {
    if (node.path == path) return &node;
  }
  return nullptr;
}

TEST(MftTreeTest, ChildrenMapKeepsEntryOrderPerParent) {
  const std::vector<MftNameEntry> entries = {File(30, 5, u"a", 1), Folder(31, 5, u"d"),
                                             File(32, 31, u"b", 2), File(33, 5, u"c", 3)};
  const MftChildrenMap children = BuildChildrenMap(entries);
  ASSERT_EQ(children.size(), 2u);
  EXPECT_EQ(children.at(5), (std::vector<std::uint64_t>{0, 1, 3}));
  EXPECT_EQ(children.at(31), (std::vector<std::uint64_t>{2}));
}

TEST(MftTreeTest, BuildsNamesPathsSizesAndTotals) {
  const std::vector<MftNameEntry> entries = {
      Folder(5, 5, u"."),  // the volume root's own entry
      Folder(40, 5, u"A"),  File(41, 40, u"f10", 10), File(42, 40, u"f20", 20),
      Folder(43, 40, u"B"), File(44, 43, u"f5", 5),   File(45, 5, u"$MFT", 4096, 0x6)};
  const Walk walk = RunWalk(entries, 5, u"X:\\");
  const ScanResult& r = walk.result;
  EXPECT_EQ(r.fileCount, 4u);
  EXPECT_EQ(r.folderCount, 3u);  // the root, A and B; "." is never a child
  const ScanNode* a = FindByPath(r, u"X:\\A");
  ASSERT_NE(a, nullptr);
  EXPECT_EQ(a->totalSize, 35u);
  EXPECT_EQ(a->directFilesSize, 30u);
  EXPECT_EQ(a->fileCount, 3u);
  EXPECT_EQ(a->folderCount, 1u);
  EXPECT_EQ(a->lastWriteTime, 0u);
  const ScanNode* f5 = FindByPath(r, u"X:\\A\\B\\f5");
  ASSERT_NE(f5, nullptr);
  EXPECT_EQ(f5->name, u"f5");
  EXPECT_EQ(f5->ownSize, 5u);
  EXPECT_EQ(r.nodes[r.rootIndex].totalSize, 4096u + 35u);
}

TEST(MftTreeTest, HardLinksAppearInBothFoldersWithFullSize) {
  const std::vector<MftNameEntry> entries = {Folder(40, 5, u"one"), Folder(41, 5, u"two"),
                                             File(50, 40, u"link a", 700),
                                             File(50, 41, u"link b", 700)};
  const ScanResult r = RunWalk(entries, 5, u"X:\\").result;
  ASSERT_NE(FindByPath(r, u"X:\\one\\link a"), nullptr);
  ASSERT_NE(FindByPath(r, u"X:\\two\\link b"), nullptr);
  EXPECT_EQ(r.nodes[r.rootIndex].totalSize, 1400u);
}

TEST(MftTreeTest, ReparsePointFolderIsShownButNotEntered) {
  const std::vector<MftNameEntry> entries = {Folder(40, 5, u"junction", 0x410),
                                             File(41, 40, u"inside", 99)};
  const ScanResult r = RunWalk(entries, 5, u"X:\\").result;
  const ScanNode* junction = FindByPath(r, u"X:\\junction");
  ASSERT_NE(junction, nullptr);
  EXPECT_EQ(junction->isReparsePoint, 1);
  EXPECT_TRUE(junction->children.empty());
  EXPECT_EQ(r.fileCount, 0u);
}

TEST(MftTreeTest, ParentCycleEndsTheWalk) {
  // Damaged references: 40 lies in 41 and 41 in 40, both reachable.
  const std::vector<MftNameEntry> entries = {Folder(40, 5, u"a"), Folder(41, 40, u"b"),
                                             Folder(40, 41, u"a again")};
  const ScanResult r = RunWalk(entries, 5, u"X:\\").result;
  // Each entry is descended at most once, so the cycle is followed once round.
  EXPECT_LE(r.nodes.size(), 8u);
  EXPECT_NE(FindByPath(r, u"X:\\a\\b\\a again"), nullptr);
}

TEST(MftTreeTest, SubFolderRootBuildsOnlyItsSubtree) {
  const std::vector<MftNameEntry> entries = {Folder(40, 5, u"Data"), File(41, 40, u"in", 3),
                                             File(42, 5, u"out", 4)};
  const ScanResult r = RunWalk(entries, 40, u"D:\\Data").result;
  EXPECT_EQ(r.fileCount, 1u);
  EXPECT_NE(FindByPath(r, u"D:\\Data\\in"), nullptr);
}

TEST(MftTreeTest, ProgressPerFolderAndEvery128Files) {
  std::vector<MftNameEntry> entries;
  for (int i = 0; i < 300; ++i)
    entries.push_back(File(100 + i, 5, u"f" + std::u16string(1, u'a' + i % 26), 1));
  const Walk walk = RunWalk(entries, 5, u"X:\\W");
  ASSERT_EQ(walk.reports.size(), 3u);
  EXPECT_EQ(walk.reports[0].foldersScanned, 1u);
  EXPECT_EQ(walk.reports[0].filesScanned, 0u);
  EXPECT_EQ(walk.reports[0].currentPath, u"X:\\W");
  EXPECT_EQ(walk.reports[1].filesScanned, 128u);
  EXPECT_EQ(walk.reports[2].filesScanned, 256u);
  EXPECT_EQ(walk.reports[2].currentPath, u"X:\\W\\fv");
}

TEST(MftTreeTest, FoldersAreWalkedDepthFirstLastAddedFirst) {
  const std::vector<MftNameEntry> entries = {Folder(40, 5, u"first"), Folder(41, 5, u"second"),
                                             File(42, 40, u"x", 1), File(43, 41, u"y", 1)};
  const Walk walk = RunWalk(entries, 5, u"X:\\");
  ASSERT_EQ(walk.reports.size(), 3u);
  EXPECT_EQ(walk.reports[1].currentPath, u"X:\\second");
  EXPECT_EQ(walk.reports[2].currentPath, u"X:\\first");
  // Children keep record order inside each folder.
  const ScanNode& root = walk.result.nodes[walk.result.rootIndex];
  ASSERT_EQ(root.children.size(), 2u);
  EXPECT_EQ(walk.result.nodes[root.children[0]].name, u"first");
}

TEST(MftTreeTest, CancellationStopsBeforeTheNextFolderAndKeepsWhatWasAdded) {
  std::vector<MftNameEntry> entries;
  for (std::uint64_t i = 0; i < 10; ++i) {
    entries.push_back(
        Folder(100 + i, 5, u"d" + std::u16string(1, u'0' + static_cast<char16_t>(i))));
    entries.push_back(File(200 + i, 100 + i, u"f", 1));
  }
  ScanCancellationToken token;
  const Walk walk = RunWalk(entries, 5, u"X:\\", &token, 3);
  // Root and two sub-folders walked: 10 folders and 2 files added.
  EXPECT_EQ(walk.reports.size(), 3u);
  EXPECT_EQ(walk.result.fileCount, 2u);
  EXPECT_EQ(walk.result.nodes[walk.result.rootIndex].fileCount, 2u);
}

TEST(MftTreeTest, EntriesBelowNoReachableFolderAreIgnored) {
  const std::vector<MftNameEntry> entries = {File(40, 777, u"orphan", 5), Folder(5, 5, u"."),
                                             File(41, 5, u"", 1), File(42, 5, u"..", 1)};
  const ScanResult r = RunWalk(entries, 5, u"X:\\").result;
  EXPECT_EQ(r.nodes.size(), 1u);
}

TEST(MftTreeTest, FindFolderByNamesFollowsFoldersIgnoringCase) {
  const std::vector<MftNameEntry> entries = {
      Folder(40, 5, u"Users"), Folder(41, 40, u"\u00C9LISE"), File(42, 40, u"ann", 1),
      Folder(43, 40, u"ann"),  Folder(44, 40, u"Ann"),        Folder(45, 5, u"link", 0x410)};
  const MftChildrenMap children = BuildChildrenMap(entries);
  EXPECT_EQ(FindFolderByNames({}, 5, entries, children), 5u);
  EXPECT_EQ(FindFolderByNames({u"users", u"\u00E9lise"}, 5, entries, children), 41u);
  // A file of the same name is passed over; an exact match beats an
  // earlier case-insensitive one.
  EXPECT_EQ(FindFolderByNames({u"USERS", u"Ann"}, 5, entries, children), 44u);
  EXPECT_EQ(FindFolderByNames({u"Users", u"ANN"}, 5, entries, children), 43u);
  EXPECT_FALSE(FindFolderByNames({u"Users", u"bob"}, 5, entries, children).has_value());
  EXPECT_FALSE(FindFolderByNames({u"link"}, 5, entries, children).has_value());
}

TEST(MftTreeTest, FoldNameUnitCoversCommonScripts) {
  const std::vector<std::pair<char16_t, char16_t>> cases = {
      {u'a', u'A'},   {u'Z', u'Z'},   {u'1', u'1'},   {0xE9, 0xC9},
      {0xF7, 0xF7},   {0xFF, 0x178},  {0x101, 0x100}, {0x100, 0x100},
      {0x13A, 0x139}, {0x17E, 0x17D}, {0x178, 0x178}, {0x3B1, 0x391},
      {0x3C2, 0x3A3}, {0x430, 0x410}, {0x451, 0x401}, {0x4E2D, 0x4E2D}};
  for (const auto& [in, out] : cases) {
    EXPECT_EQ(FoldNameUnit(in), out) << std::hex << static_cast<int>(in);
  }
}

}  // namespace
}  // namespace ombrix::core
