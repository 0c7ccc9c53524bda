// What is particular to the walk (its shared promises are in
// engine_contract_test.cpp): which failures it reports, a listing cut short,
// a cancel that stops at once, and a tree deeper than any call stack.
#include "core/walk/directory_walk_scan_engine.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "base/text_encoding.h"
#include "tests/core/walk/fake_directory_finder.h"
#include "tests/support/scan_result_checks.h"

namespace ombrix::core {
namespace {

using test::FakeDirectoryFinder;
using test::FoundFile;
using test::FoundFolder;

ScanResult Walk(IDirectoryFinder& finder, const std::u16string& root) {
  ScanCancellationToken token;
  return DirectoryWalkScanEngine(finder).Scan(root, token, {});
}

// Only a folder the user may not read is worth telling about; one that
// vanished since it was listed, or a root that is a file, is not. Either
// way the folder stays, empty, and so does a root that cannot be read.
TEST(DirectoryWalkScanEngineTest, OnlyAccessDeniedIsAnIssue) {
  for (const std::uint32_t error : {5u, 2u, 3u, 21u, 32u, 267u}) {
    SCOPED_TRACE(error);
    FakeDirectoryFinder finder;
    finder.Folder(u"X:\\R", {FoundFolder(u"shut"), FoundFile(u"f", 4)});
    finder.Folder(u"X:\\R\\shut", {FoundFile(u"hidden", 50)}).openError = error;
    ScanResult result = Walk(finder, u"X:\\R");
    EXPECT_EQ(result.issues.size(), error == 5 ? 1u : 0u);
    EXPECT_EQ(result.nodes[result.rootIndex].TotalSize(), 4u);

    FakeDirectoryFinder rootless;
    rootless.Folder(u"X:\\R", {FoundFile(u"f", 1)}).openError = error;
    ScanResult root = Walk(rootless, u"X:\\R\\");
    EXPECT_EQ(root.status, ScanStatus::Completed);
    ASSERT_EQ(root.nodes.size(), 1u);
    EXPECT_EQ(root.issueCount, error == 5 ? 1u : 0u);
  }
}

// The find data has no allocation: a file takes its size in whole clusters
// of its volume, or its size when the cluster length is unknown, and none
// when its data is elsewhere; a cloud tag or a recall attribute makes a
// placeholder.
TEST(DirectoryWalkScanEngineTest, SizesOnDiskInWholeClustersAndPlaceholders) {
  for (const std::uint64_t cluster : {0u, 4096u}) {
    FakeDirectoryFinder finder;
    finder.clusterLength = cluster;
    core::FoundEntry cloud{u"cloud", 0x420, 5000, 0, 0x9000301A};
    core::FoundEntry recall{u"recall", 0x400020, 3, 0, 0};
    finder.Folder(u"X:\\R", {FoundFile(u"empty", 0), FoundFile(u"small", 1),
                               FoundFile(u"exact", 8192), FoundFile(u"more", 8193), cloud,
                               recall});
    const ScanResult r = Walk(finder, u"X:\\R");
    const std::uint64_t want = cluster == 0 ? 0 + 1 + 8192 + 8193 + 5000 + 0
                                            : 0 + 4096 + 8192 + 12288 + 8192 + 0;
    EXPECT_EQ(r.nodes.SizeOnDisk(r.rootIndex), want) << cluster;
    for (std::uint64_t i = 0; i < r.nodes.size(); ++i) {
      const std::u16string name = r.nodes.Name(i).ToString();
      EXPECT_EQ(r.nodes.IsPlaceholder(i), name == u"cloud" || name == u"recall");
    }
  }
}

// A listing that fails part-way ends that folder only, without an issue:
// the find calls do not tell a failure from the end of the folder.
TEST(DirectoryWalkScanEngineTest, ReadFailureEndsOnlyThatFolder) {
  FakeDirectoryFinder finder;
  finder.Folder(u"X:\\R", {FoundFolder(u"A"), FoundFolder(u"B")});
  finder.Folder(u"X:\\R\\A", {FoundFile(u"1", 1), FoundFile(u"2", 2), FoundFolder(u"never")})
      .readableEntries = 2;
  finder.Folder(u"X:\\R\\B", {FoundFile(u"b", 8)});
  ScanResult result = Walk(finder, u"X:\\R");
  EXPECT_TRUE(result.issues.empty());
  EXPECT_EQ(result.nodes[result.rootIndex].TotalSize(), 11u);
  EXPECT_EQ(result.folderCount, 3u);
  EXPECT_EQ(finder.openEnumerations, 0);
}

// The walk runs on the caller's thread, so a cancel from the callback stops
// it at once: nothing is listed or reported after the cancelling call, and
// every open enumeration is closed.
TEST(DirectoryWalkScanEngineTest, CancelFromTheCallbackStopsAtOnce) {
  for (const std::uint64_t cancelAtReport : {1u, 17u, 30u}) {
    SCOPED_TRACE(cancelAtReport);
    FakeDirectoryFinder finder;
    std::vector<std::u16string> folders{u"X:\\R"};
    for (std::size_t next = 0; next < folders.size(); ++next) {
      std::vector<FoundEntry> entries;
      for (int f = 0; f < 40; ++f)
        entries.push_back(FoundFile(u"f" + base::FromUtf8(std::to_string(f)), 1));
      for (int d = 0; d < 3 && folders.size() < 40; ++d) {
        const std::u16string name = u"d" + base::FromUtf8(std::to_string(d));
        entries.insert(entries.begin() + d * 7, FoundFolder(name));
        folders.push_back(folders[next] + u"\\" + name);
      }
      finder.Folder(folders[next], std::move(entries));
    }
    ScanCancellationToken token;
    ScanProgress atCancel;
    std::size_t opensAtCancel = 0;
    std::uint64_t reports = 0;
    int callsAfterCancel = 0;
    ScanResult result =
        DirectoryWalkScanEngine(finder).Scan(u"X:\\R", token, [&](const ScanProgress& p) {
          if (token.IsCancelled()) {
            ++callsAfterCancel;
          } else if (++reports == cancelAtReport) {
            atCancel = p;
            opensAtCancel = finder.openedPatterns.size();
            token.Cancel();
          }
        });
    EXPECT_EQ(result.status, ScanStatus::Cancelled);
    EXPECT_EQ(callsAfterCancel, 0);
    EXPECT_EQ(finder.openedPatterns.size(), opensAtCancel);
    EXPECT_EQ(finder.openEnumerations, 0);
    EXPECT_EQ(result.fileCount, atCancel.filesScanned);
    EXPECT_EQ(result.folderCount, atCancel.foldersScanned + 1);
  }
}

// Names the classic path parser would rewrite (a trailing dot or space, a
// device name) reach the finder exactly as listed, below the root's system
// form; the nodes keep the plain paths.
TEST(DirectoryWalkScanEngineTest, OddNamesReachTheFinderAsListed) {
  FakeDirectoryFinder finder;
  finder.systemPrefix = u"\\\\?\\";
  const std::u16string names[] = {u"dots.", u"space ", u"CON", u"NUL.txt"};
  std::vector<FoundEntry> folders;
  for (const std::u16string& name : names) {
    folders.push_back(FoundFolder(name));
    finder.Folder(u"\\\\?\\X:\\R\\" + name, {FoundFile(u"f", 1)});
  }
  finder.Folder(u"\\\\?\\X:\\R", folders);
  ScanResult result = Walk(finder, u"X:\\R");
  EXPECT_EQ(result.fileCount, 4u);
  EXPECT_EQ(result.nodes[result.rootIndex].Path(), u"X:\\R");
  for (const ScanNode& node : result.nodes) {
    EXPECT_EQ(node.Path().rfind(u"X:\\R", 0), 0u) << base::ToUtf8(node.Path());
  }
}

// One folder inside the next, far deeper than any call stack could follow.
// Entries are nameless so paths do not grow: real names would make the
// stored paths, not the walk, cost memory quadratic in the depth.
class ChainFinder final : public IDirectoryFinder {
 public:
  explicit ChainFinder(std::uint64_t depth) : depth_(depth) {}
  std::uint64_t opens = 0;

  std::optional<PathAttributes> GetPathAttributes(const std::u16string&) override {
    return std::nullopt;
  }
  EnumerationOpenResult OpenEnumeration(const std::u16string&) override {
    test::FakeFolder& folder = opens++ < depth_ ? inner_ : bottom_;
    return {std::make_unique<test::FakeEnumeration>(folder, openCount_), 0};
  }

 private:
  std::uint64_t depth_;
  int openCount_ = 0;
  test::FakeFolder inner_{{FoundFolder(u"")}};
  test::FakeFolder bottom_{{FoundFile(u"leaf", 42)}};
};

TEST(DirectoryWalkScanEngineTest, HundredThousandLevelsDeep) {
  constexpr std::uint64_t kDepth = 100'000;
  ChainFinder finder(kDepth);
  ScanResult result = Walk(finder, u"X:\\R");
  EXPECT_EQ(result.status, ScanStatus::Completed);
  EXPECT_EQ(finder.opens, kDepth + 1);
  EXPECT_EQ(result.folderCount, kDepth + 1);
  const ScanNode root = result.nodes[result.rootIndex];
  EXPECT_EQ(root.FolderCount(), kDepth);
  EXPECT_EQ(root.TotalSize(), 42u);
  EXPECT_EQ(test::TreeInconsistencies(result), std::vector<std::string>{});
}

}  // namespace
}  // namespace ombrix::core
