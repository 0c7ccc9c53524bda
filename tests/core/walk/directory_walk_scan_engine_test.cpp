// The walk over a fake finder: what Wine cannot produce (junctions, denied
// folders, failing reads) and trees deeper than any disk holds. The real
// Win32 finder is tested on real trees in the _win_test file.
#include "core/walk/directory_walk_scan_engine.h"

#include <gtest/gtest.h>

#include <limits>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "base/text_encoding.h"
#include "tests/support/scan_result_checks.h"
#include "tests/support/test_data.h"

namespace ombrix::core {
namespace {

using base::ToUtf8;

struct FakeFolder {
  std::vector<FoundEntry> entries;
  std::uint32_t openError = 0;  // nonzero: opening fails with this code
  std::size_t readableEntries = std::numeric_limits<std::size_t>::max();  // then reading fails
};

class FakeEnumeration final : public IDirectoryEnumeration {
 public:
  FakeEnumeration(const FakeFolder& folder, int& openCount)
      : folder_(folder), openCount_(openCount) {
    ++openCount_;
  }
  ~FakeEnumeration() override { --openCount_; }

  bool Next(FoundEntry& entry) override {
    if (next_ >= folder_.entries.size() || next_ >= folder_.readableEntries) return false;
    entry = folder_.entries[next_++];
    return true;
  }

 private:
  const FakeFolder& folder_;
  int& openCount_;
  std::size_t next_ = 0;
};

class FakeDirectoryFinder final : public IDirectoryFinder {
 public:
  // Keyed by the exact pattern the walk must ask for; any other pattern
  // fails with "path not found" (3).
  std::map<std::u16string, FakeFolder> folders;
  std::map<std::u16string, PathAttributes> pathAttributes;
  std::vector<std::u16string> attributeQueries;
  std::vector<std::u16string> openedPatterns;
  int openEnumerations = 0;

  FakeFolder& Folder(const std::u16string& path, std::vector<FoundEntry> entries) {
    FakeFolder& folder = folders[path + u"\\*"];
    folder.entries = std::move(entries);
    return folder;
  }

  std::optional<PathAttributes> GetPathAttributes(const std::u16string& path) override {
    attributeQueries.push_back(path);
    const auto found = pathAttributes.find(path);
    if (found == pathAttributes.end()) return std::nullopt;
    return found->second;
  }

  EnumerationOpenResult OpenEnumeration(const std::u16string& pattern) override {
    openedPatterns.push_back(pattern);
    const auto found = folders.find(pattern);
    if (found == folders.end()) return {nullptr, 3};
    if (found->second.openError != 0) return {nullptr, found->second.openError};
    return {std::make_unique<FakeEnumeration>(found->second, openEnumerations), 0};
  }
};

constexpr std::uint32_t kNormalFile = 0x20;

FoundEntry Dir(std::u16string name, std::uint32_t extraAttributes = 0) {
  return FoundEntry{std::move(name), kAttributeDirectory | extraAttributes, 0, 1111};
}

FoundEntry File(std::u16string name, std::uint64_t size, std::uint32_t extraAttributes = 0) {
  return FoundEntry{std::move(name), kNormalFile | extraAttributes, size, 2222};
}

struct ProgressEvent {
  std::u16string path;
  std::uint64_t files;
  std::uint64_t folders;
  bool operator==(const ProgressEvent&) const = default;
};

void PrintTo(const ProgressEvent& e, std::ostream* os) {
  *os << "{" << base::ToUtf8(e.path) << ", files " << e.files << ", folders " << e.folders << "}";
}

const ScanNode* NodeAt(const ScanResult& result, const std::u16string& path) {
  for (const ScanNode& node : result.nodes) {
    if (node.path == path) return &node;
  }
  return nullptr;
}

ScanResult Walk(IDirectoryFinder& finder, const std::u16string& root,
                const ProgressCallback& progress = {}) {
  ScanCancellationToken token;
  return DirectoryWalkScanEngine(finder).Scan(root, token, progress);
}

TEST(DirectoryWalkScanEngineTest, BuildsTreeInDiscoveryOrderAndSkipsDotEntries) {
  FakeDirectoryFinder finder;
  finder.pathAttributes[u"X:\\R"] = PathAttributes{0x11, 777};
  finder.Folder(u"X:\\R", {Dir(u"."), Dir(u".."), File(u"top", 10), Dir(u"A"), Dir(u"B")});
  finder.Folder(u"X:\\R\\A", {Dir(u"."), Dir(u".."), File(u"a", 20)});
  finder.Folder(u"X:\\R\\B", {Dir(u"C"), File(u"b", 5)});
  finder.Folder(u"X:\\R\\B\\C", {});

  ScanResult result = Walk(finder, u"X:\\R");

  EXPECT_EQ(result.status, ScanStatus::Completed);
  EXPECT_EQ(result.engine, ScanEngineKind::DirectoryWalk);
  EXPECT_EQ(result.rootPath, u"X:\\R");
  EXPECT_TRUE(result.message.empty());
  EXPECT_EQ(result.fileCount, 3u);
  EXPECT_EQ(result.folderCount, 4u);
  EXPECT_TRUE(result.issues.empty());
  EXPECT_EQ(test::TreeInconsistencies(result), std::vector<std::string>{});
  // Sub-folders are entered last-found first.
  EXPECT_EQ(finder.openedPatterns,
            (std::vector<std::u16string>{u"X:\\R\\*", u"X:\\R\\B\\*", u"X:\\R\\B\\C\\*",
                                         u"X:\\R\\A\\*"}));
  EXPECT_EQ(finder.openEnumerations, 0);

  const ScanNode& root = result.nodes[result.rootIndex];
  EXPECT_EQ(root.name, u"R");
  EXPECT_EQ(root.attributes, 0x11u);
  EXPECT_EQ(root.lastWriteTime, 777u);
  EXPECT_EQ(root.totalSize, 35u);
  EXPECT_EQ(root.directFilesSize, 10u);
  EXPECT_EQ(root.folderCount, 3u);
  ASSERT_EQ(root.children.size(), 3u);
  EXPECT_EQ(result.nodes[root.children[0]].path, u"X:\\R\\top");
  EXPECT_EQ(result.nodes[root.children[1]].path, u"X:\\R\\A");
  EXPECT_EQ(result.nodes[root.children[2]].path, u"X:\\R\\B");
  const ScanNode* b = NodeAt(result, u"X:\\R\\B\\b");
  ASSERT_NE(b, nullptr);
  EXPECT_EQ(b->name, u"b");
  EXPECT_EQ(b->ownSize, 5u);
  EXPECT_EQ(b->attributes, kNormalFile);
  EXPECT_EQ(b->lastWriteTime, 2222u);
  const ScanNode* c = NodeAt(result, u"X:\\R\\B\\C");
  ASSERT_NE(c, nullptr);
  EXPECT_EQ(c->lastWriteTime, 1111u);
}

// The root's path decides the pattern, the paths below it and its name;
// its attributes come from the untrimmed path.
TEST(DirectoryWalkScanEngineTest, RootPathForms) {
  struct Case {
    std::u16string given;
    std::u16string pattern;
    std::u16string rootPath;
    std::u16string rootName;
    std::u16string childPath;
  };
  const Case cases[] = {
      // A drive root keeps its separator, so the pattern holds two in a row.
      {u"C:\\", u"C:\\\\*", u"C:\\", u"", u"C:\\f"},
      {u"D:\\Data\\\\", u"D:\\Data\\*", u"D:\\Data", u"Data", u"D:\\Data\\f"},
      {u"D:/Data/", u"D:/Data\\*", u"D:/Data", u"Data", u"D:/Data\\f"},
      {u"\\\\server\\share\\", u"\\\\server\\share\\*", u"\\\\server\\share", u"share",
       u"\\\\server\\share\\f"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(base::ToUtf8(c.given));
    FakeDirectoryFinder finder;
    finder.folders[c.pattern].entries = {File(u"f", 1)};
    finder.pathAttributes[c.given] = PathAttributes{0x16, 5};
    ScanResult result = Walk(finder, c.given);
    EXPECT_EQ(finder.attributeQueries, std::vector<std::u16string>{c.given});
    EXPECT_EQ(finder.openedPatterns, std::vector<std::u16string>{c.pattern});
    EXPECT_EQ(result.rootPath, c.rootPath);
    const ScanNode& root = result.nodes[result.rootIndex];
    EXPECT_EQ(root.path, c.rootPath);
    EXPECT_EQ(root.name, c.rootName);
    EXPECT_EQ(root.attributes, 0x16u);
    ASSERT_EQ(root.children.size(), 1u);
    EXPECT_EQ(result.nodes[root.children[0]].path, c.childPath);
  }
}

// Junctions, folder symlinks and mount points are recorded but never
// entered: a junction to its own parent must not loop.
TEST(DirectoryWalkScanEngineTest, ReparsePointFoldersAreNeverEntered) {
  FakeDirectoryFinder finder;
  finder.Folder(u"X:\\R", {Dir(u"loop", kAttributeReparsePoint),
                           File(u"link", 9, kAttributeReparsePoint), Dir(u"real")});
  // What the junction would show if it were followed.
  finder.Folder(u"X:\\R\\loop", {Dir(u"loop", kAttributeReparsePoint), File(u"again", 100)});
  finder.Folder(u"X:\\R\\real", {File(u"x", 1)});
  std::vector<ProgressEvent> events;
  ScanResult result = Walk(finder, u"X:\\R", [&](const ScanProgress& p) {
    events.push_back({p.currentPath, p.filesScanned, p.foldersScanned});
  });

  EXPECT_EQ(finder.openedPatterns, (std::vector<std::u16string>{u"X:\\R\\*", u"X:\\R\\real\\*"}));
  const ScanNode* loop = NodeAt(result, u"X:\\R\\loop");
  ASSERT_NE(loop, nullptr);
  EXPECT_EQ(loop->isDirectory, 1);
  EXPECT_EQ(loop->isReparsePoint, 1);
  EXPECT_TRUE(loop->children.empty());
  EXPECT_EQ(loop->totalSize, 0u);
  const ScanNode* link = NodeAt(result, u"X:\\R\\link");
  ASSERT_NE(link, nullptr);
  EXPECT_EQ(link->isDirectory, 0);  // a file symlink is a file
  EXPECT_EQ(link->isReparsePoint, 1);
  EXPECT_EQ(result.nodes[result.rootIndex].totalSize, 10u);
  EXPECT_EQ(result.nodes[result.rootIndex].folderCount, 2u);
  EXPECT_EQ(events, (std::vector<ProgressEvent>{{u"X:\\R\\loop", 0, 1}, {u"X:\\R\\real", 1, 2}}));
  EXPECT_EQ(test::TreeInconsistencies(result), std::vector<std::string>{});
}

// Only a folder the user may not read is an issue; other failures to open
// a folder leave no trace. Either way the folder stays, empty.
TEST(DirectoryWalkScanEngineTest, FolderThatCannotBeOpened) {
  struct Case {
    std::uint32_t error;
    bool reported;
  };
  const Case cases[] = {{5, true}, {2, false}, {3, false}, {21, false}, {32, false}, {1920, false}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.error);
    FakeDirectoryFinder finder;
    finder.Folder(u"X:\\R", {Dir(u"shut"), File(u"f", 4)});
    finder.Folder(u"X:\\R\\shut", {File(u"hidden", 50)}).openError = c.error;
    ScanResult result = Walk(finder, u"X:\\R");
    EXPECT_EQ(result.status, ScanStatus::Completed);
    const ScanNode* shut = NodeAt(result, u"X:\\R\\shut");
    ASSERT_NE(shut, nullptr);
    EXPECT_TRUE(shut->children.empty());
    EXPECT_EQ(shut->totalSize, 0u);
    EXPECT_EQ(result.nodes[result.rootIndex].totalSize, 4u);
    if (c.reported) {
      ASSERT_EQ(result.issues.size(), 1u);
      EXPECT_EQ(result.issues[0].path, u"X:\\R\\shut");
      EXPECT_EQ(result.issues[0].errorCode, 5u);
    } else {
      EXPECT_TRUE(result.issues.empty());
    }
    EXPECT_EQ(result.issueCount, result.issues.size());
  }
}

// A root that can be neither queried nor listed is still shown, as an
// empty folder; only a denied one is an issue.
TEST(DirectoryWalkScanEngineTest, RootThatCannotBeRead) {
  for (const std::uint32_t error : {5u, 3u}) {
    SCOPED_TRACE(error);
    FakeDirectoryFinder finder;
    finder.Folder(u"X:\\R", {File(u"f", 1)}).openError = error;
    ScanResult result = Walk(finder, u"X:\\R\\");
    EXPECT_EQ(result.status, ScanStatus::Completed);
    ASSERT_EQ(result.nodes.size(), 1u);
    EXPECT_EQ(result.nodes[0].attributes, kAttributeDirectory);
    EXPECT_EQ(result.nodes[0].lastWriteTime, 0u);
    EXPECT_EQ(result.folderCount, 1u);
    if (error == 5) {
      ASSERT_EQ(result.issueCount, 1u);
      EXPECT_EQ(result.issues[0].path, u"X:\\R");
    } else {
      EXPECT_EQ(result.issueCount, 0u);
    }
  }
}

TEST(DirectoryWalkScanEngineTest, ReadFailureEndsOnlyThatFolder) {
  FakeDirectoryFinder finder;
  finder.Folder(u"X:\\R", {Dir(u"A"), Dir(u"B")});
  finder.Folder(u"X:\\R\\A", {File(u"1", 1), File(u"2", 2), File(u"3", 4), Dir(u"never")})
      .readableEntries = 2;
  finder.Folder(u"X:\\R\\B", {File(u"b", 8)});
  ScanResult result = Walk(finder, u"X:\\R");
  EXPECT_EQ(result.status, ScanStatus::Completed);
  EXPECT_TRUE(result.issues.empty());
  EXPECT_EQ(NodeAt(result, u"X:\\R\\A")->totalSize, 3u);
  EXPECT_EQ(NodeAt(result, u"X:\\R\\A\\never"), nullptr);
  EXPECT_EQ(result.nodes[result.rootIndex].totalSize, 11u);
  EXPECT_EQ(finder.openEnumerations, 0);
}

// Every folder is reported; files only at every 128th of the whole scan,
// not of each folder.
TEST(DirectoryWalkScanEngineTest, ProgressCadence) {
  FakeDirectoryFinder finder;
  finder.Folder(u"X:\\R", {Dir(u"A"), Dir(u"B")});
  std::vector<FoundEntry> many;
  for (int i = 0; i < 300; ++i) many.push_back(File(u"f" + test::ToU16(std::to_string(i)), 1));
  finder.Folder(u"X:\\R\\A", many);
  finder.Folder(u"X:\\R\\B", std::vector<FoundEntry>(many.begin(), many.begin() + 100));
  std::vector<ProgressEvent> events;
  ScanResult result = Walk(finder, u"X:\\R", [&](const ScanProgress& p) {
    events.push_back({p.currentPath, p.filesScanned, p.foldersScanned});
  });
  // B (found last) is walked first: its 100 files, then A's 28th file is
  // the 128th of the scan.
  EXPECT_EQ(events, (std::vector<ProgressEvent>{{u"X:\\R\\A", 0, 1},
                                                {u"X:\\R\\B", 0, 2},
                                                {u"X:\\R\\A\\f27", 128, 2},
                                                {u"X:\\R\\A\\f155", 256, 2},
                                                {u"X:\\R\\A\\f283", 384, 2}}));
  EXPECT_EQ(result.fileCount, 400u);
}

// A tree that gives each of the first `folders` folders `fanOut`
// sub-folders and `filesEach` files, breadth first.
FakeDirectoryFinder MakeBushyTree(int folders, int fanOut, int filesEach) {
  FakeDirectoryFinder finder;
  std::vector<std::u16string> queue{u"X:\\R"};
  for (std::size_t next = 0; next < queue.size(); ++next) {
    std::vector<FoundEntry> entries;
    for (int f = 0; f < filesEach; ++f) {
      entries.push_back(File(u"file" + test::ToU16(std::to_string(f)), 10 + f));
    }
    if (static_cast<int>(queue.size()) < folders) {
      for (int d = 0; d < fanOut; ++d) {
        const std::u16string name = u"dir" + test::ToU16(std::to_string(d));
        entries.insert(entries.begin() + (d * 7) % (entries.size() + 1), Dir(name));
        queue.push_back(queue[next] + u"\\" + name);
      }
    }
    finder.Folder(queue[next], std::move(entries));
  }
  return finder;
}

// Cancelling from inside the callback stops the walk at once: nothing is
// added after the call that cancelled, every open enumeration is closed,
// and the partial tree's totals agree with its nodes.
TEST(DirectoryWalkScanEngineTest, CancelFromProgressCallback) {
  struct Case {
    const char* name;
    std::uint64_t cancelAtFolders;  // cancel on the folder report with this count
    std::uint64_t cancelAtFiles;    // or on the file report with this count
  };
  const Case cases[] = {{"first folder", 1, 0},
                        {"mid-tree folder", 17, 0},
                        {"128th file", 0, 128},
                        {"640th file", 0, 640}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    FakeDirectoryFinder finder = MakeBushyTree(40, 4, 30);
    ScanCancellationToken token;
    ScanProgress atCancel;
    std::size_t opensAtCancel = 0;
    int callsAfterCancel = 0;
    std::uint64_t foldersSoFar = 0;
    ProgressCallback progress = [&](const ScanProgress& p) {
      if (token.IsCancelled()) {
        ++callsAfterCancel;
        return;
      }
      // Each folder is reported once, so only folder reports move the count.
      const bool folderReport = p.foldersScanned != foldersSoFar;
      foldersSoFar = p.foldersScanned;
      if ((folderReport && p.foldersScanned == c.cancelAtFolders) ||
          (!folderReport && p.filesScanned == c.cancelAtFiles)) {
        atCancel = p;
        opensAtCancel = finder.openedPatterns.size();
        token.Cancel();
      }
    };
    ScanResult result = DirectoryWalkScanEngine(finder).Scan(u"X:\\R", token, progress);

    EXPECT_EQ(result.status, ScanStatus::Cancelled);
    ASSERT_TRUE(token.IsCancelled());
    EXPECT_EQ(callsAfterCancel, 0);
    EXPECT_EQ(finder.openedPatterns.size(), opensAtCancel);
    EXPECT_EQ(finder.openEnumerations, 0);
    EXPECT_EQ(result.fileCount, atCancel.filesScanned);
    EXPECT_EQ(result.folderCount, atCancel.foldersScanned + 1);
    EXPECT_EQ(test::TreeInconsistencies(result), std::vector<std::string>{});
    EXPECT_EQ(result.nodes[result.rootIndex].fileCount, result.fileCount);
  }
}

TEST(DirectoryWalkScanEngineTest, CancelledBeforeStartOpensNothing) {
  FakeDirectoryFinder finder = MakeBushyTree(5, 2, 3);
  ScanCancellationToken token;
  token.Cancel();
  ScanResult result = DirectoryWalkScanEngine(finder).Scan(u"X:\\R", token, {});
  EXPECT_EQ(result.status, ScanStatus::Cancelled);
  EXPECT_TRUE(finder.openedPatterns.empty());
  EXPECT_EQ(result.nodes.size(), 1u);
}

// One folder inside the next, far deeper than any call stack could
// follow. Entries are nameless so paths do not grow: real names would make
// the stored paths, not the walk, cost memory quadratic in the depth.
class ChainFinder final : public IDirectoryFinder {
 public:
  explicit ChainFinder(std::uint64_t depth) : depth_(depth) {}
  std::uint64_t opens = 0;

  std::optional<PathAttributes> GetPathAttributes(const std::u16string&) override {
    return std::nullopt;
  }
  EnumerationOpenResult OpenEnumeration(const std::u16string&) override {
    FakeFolder& folder = opens++ < depth_ ? inner_ : bottom_;
    return {std::make_unique<FakeEnumeration>(folder, openCount_), 0};
  }

 private:
  std::uint64_t depth_;
  int openCount_ = 0;
  FakeFolder inner_{{Dir(u"")}};
  FakeFolder bottom_{{File(u"leaf", 42)}};
};

TEST(DirectoryWalkScanEngineTest, HundredThousandLevelsDeep) {
  constexpr std::uint64_t kDepth = 100'000;
  ChainFinder finder(kDepth);
  std::uint64_t reports = 0;
  ScanResult result = Walk(finder, u"X:\\R", [&](const ScanProgress&) { ++reports; });
  EXPECT_EQ(result.status, ScanStatus::Completed);
  EXPECT_EQ(finder.opens, kDepth + 1);
  EXPECT_EQ(reports, kDepth);
  EXPECT_EQ(result.folderCount, kDepth + 1);
  EXPECT_EQ(result.fileCount, 1u);
  const ScanNode& root = result.nodes[result.rootIndex];
  EXPECT_EQ(root.folderCount, kDepth);
  EXPECT_EQ(root.fileCount, 1u);
  EXPECT_EQ(root.totalSize, 42u);
  std::uint64_t depth = 0;
  for (std::uint64_t i = result.nodes.size() - 1; result.nodes[i].parent != kNoNode;
       i = result.nodes[i].parent) {
    ++depth;
  }
  EXPECT_EQ(depth, kDepth + 1);  // the leaf file sits below the deepest folder
}

}  // namespace
}  // namespace ombrix::core
