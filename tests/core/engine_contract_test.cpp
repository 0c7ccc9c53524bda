// What every engine promises, whatever its technique: the same tree with the
// same totals, reparse folders shown but never entered, progress after every
// folder and every 128th file, the root path forms, cancelling from the
// callback, unreadable folders as issues. Each expectation runs against all
// three engines, each fed the same tree through the seam it reads the disk
// with: the walk's finder, the directory-query lister, an MFT on a volume.
#include <gtest/gtest.h>

#include <map>
#include <memory>
#include <set>
#include <string>
#include <tuple>
#include <vector>

#include "base/text_encoding.h"
#include "core/mft/ntfs_mft_engine.h"
#include "core/ntquery/nt_query_engine.h"
#include "core/scan_paths.h"
#include "core/walk/directory_walk_scan_engine.h"
#include "tests/core/mft/engine_test_volume.h"
#include "tests/core/ntquery/fake_directory_lister.h"
#include "tests/core/walk/fake_directory_finder.h"
#include "tests/support/scan_result_checks.h"

namespace ombrix::core {
namespace {

// One entry below the scan root; paths use '\'.
struct TreeEntry {
  enum class Kind { File, Folder, Link, Denied };
  Kind kind;
  std::u16string path;
  std::uint64_t size = 0;
};

using Kind = TreeEntry::Kind;

// What a reparse folder would show if it were followed.
constexpr char16_t kLinkTarget[] = u"target-file";
constexpr std::uint64_t kLinkTargetSize = 999;

std::u16string Parent(const std::u16string& path) {
  const std::size_t slash = path.rfind(u'\\');
  return slash == std::u16string::npos ? std::u16string() : path.substr(0, slash);
}

std::u16string Leaf(const std::u16string& path) { return path.substr(path.rfind(u'\\') + 1); }

class EngineHarness {
 public:
  virtual ~EngineHarness() = default;
  virtual ScanEngineKind Kind() const = 0;
  // Describes the tree below the (untrimmed) root path to the engine's seam.
  virtual void Stage(const std::u16string& root, const std::vector<TreeEntry>& tree) = 0;
  virtual ScanResult Scan(const std::u16string& path, ScanCancellationToken& token,
                          const ProgressCallback& progress) = 0;
  // Whether the engine asked its seam to list this folder.
  virtual bool Listed(const std::u16string& folderPath) const = 0;
  // The MFT engine reads the volume itself, so a folder cannot refuse it,
  // and its walk reports the root folder too.
  virtual bool ListsFolders() const { return true; }
  // Entries a volume root holds that the test did not stage.
  virtual std::vector<TreeEntry> VolumeEntries() const { return {}; }
};

class WalkHarness final : public EngineHarness {
 public:
  ScanEngineKind Kind() const override { return ScanEngineKind::DirectoryWalk; }
  void Stage(const std::u16string& root, const std::vector<TreeEntry>& tree) override {
    const std::u16string trimmed = TrimTrailingSeparators(root);
    std::map<std::u16string, std::vector<FoundEntry>> listings{{u"", {}}};
    for (const TreeEntry& e : tree) {
      std::vector<FoundEntry>& parent = listings[Parent(e.path)];
      if (e.kind == Kind::File) {
        parent.push_back(test::FoundFile(Leaf(e.path), e.size));
      } else {
        parent.push_back(test::FoundFolder(Leaf(e.path), e.kind == Kind::Link ? 0x400 : 0));
        listings[e.path];
        if (e.kind == Kind::Link)
          listings[e.path].push_back(test::FoundFile(kLinkTarget, kLinkTargetSize));
      }
    }
    for (auto& [rel, entries] : listings) {
      test::FakeFolder& folder = finder_.folders[Pattern(JoinPath(trimmed, rel))];
      folder.entries = {test::FoundFolder(u"."), test::FoundFolder(u"..")};
      folder.entries.insert(folder.entries.end(), entries.begin(), entries.end());
    }
    for (const TreeEntry& e : tree) {
      if (e.kind == Kind::Denied) finder_.folders[Pattern(JoinPath(trimmed, e.path))].openError = 5;
    }
  }
  ScanResult Scan(const std::u16string& path, ScanCancellationToken& token,
                  const ProgressCallback& progress) override {
    return DirectoryWalkScanEngine(finder_).Scan(path, token, progress);
  }
  bool Listed(const std::u16string& folderPath) const override {
    for (const std::u16string& pattern : finder_.openedPatterns) {
      if (pattern == Pattern(folderPath)) return true;
    }
    return false;
  }

 private:
  static std::u16string Pattern(const std::u16string& folderPath) {
    return JoinPath(folderPath, u"*");
  }
  test::FakeDirectoryFinder finder_;
};

class NtQueryHarness final : public EngineHarness {
 public:
  ScanEngineKind Kind() const override { return ScanEngineKind::NtQueryDirectory; }
  void Stage(const std::u16string& root, const std::vector<TreeEntry>& tree) override {
    const std::u16string trimmed = TrimTrailingSeparators(root);
    lister_->rootAttributes.reset();
    lister_->folders[trimmed];
    for (const TreeEntry& e : tree) {
      const std::u16string parent = JoinPath(trimmed, Parent(e.path));
      const std::u16string path = JoinPath(trimmed, e.path);
      if (e.kind == Kind::File) {
        lister_->AddFile(parent, Leaf(e.path), e.size);
      } else if (e.kind == Kind::Link) {
        lister_->AddFolder(parent, Leaf(e.path), kAttributeReparsePoint);
        lister_->folders[path] = {test::FakeEntry{kLinkTarget, false, kLinkTargetSize}};
      } else {
        lister_->AddFolder(parent, Leaf(e.path));
        if (e.kind == Kind::Denied) lister_->openErrors[path] = 5;
      }
    }
  }
  ScanResult Scan(const std::u16string& path, ScanCancellationToken& token,
                  const ProgressCallback& progress) override {
    // Several workers: the pool must give the same tree as one thread.
    return NtQueryDirectoryScanEngine(4, lister_).Scan(path, token, progress);
  }
  bool Listed(const std::u16string& folderPath) const override {
    return lister_->WasOpened(folderPath);
  }

 private:
  std::shared_ptr<test::FakeDirectoryLister> lister_ =
      std::make_shared<test::FakeDirectoryLister>();
};

class MftHarness final : public EngineHarness {
 public:
  ScanEngineKind Kind() const override { return ScanEngineKind::NtfsMft; }
  bool ListsFolders() const override { return false; }
  std::vector<TreeEntry> VolumeEntries() const override {
    if (volume_.root.recordNumber != kVolumeRootRecord) return {};
    return {{Kind::File, u"$MFT", kRecordCount * 1024}};
  }
  void Stage(const std::u16string& root, const std::vector<TreeEntry>& tree) override {
    std::map<std::uint64_t, test::TestFileRecord> records;
    records.emplace(kVolumeRootRecord, test::FolderRecord(kVolumeRootRecord, u"."));
    std::uint64_t rootRecord = kVolumeRootRecord;
    if (!LeafName(root).empty()) {
      rootRecord = 6;
      records.emplace(rootRecord, test::FolderRecord(kVolumeRootRecord, LeafName(root)));
    }
    std::map<std::u16string, std::uint64_t> folderRecords{{u"", rootRecord}};
    std::uint64_t next = 30;
    for (const TreeEntry& e : tree) {
      const std::uint64_t parent = folderRecords.at(Parent(e.path));
      const std::uint64_t number = next++;
      if (e.kind == Kind::File) {
        records.emplace(number, FileRecord(parent, Leaf(e.path), e.size));
        continue;
      }
      test::TestFileRecord folder = test::FolderRecord(parent, Leaf(e.path));
      if (e.kind == Kind::Link) {
        folder.Resident(0xC0, std::vector<std::uint8_t>(16, 0));  // $REPARSE_POINT
        records.emplace(next++, FileRecord(number, kLinkTarget, kLinkTargetSize));
      }
      records.emplace(number, folder);
      folderRecords[e.path] = number;
    }
    volume_.root = {rootRecord, {}};
    volume_.LayOutMft(kRecordCount, records);
  }
  ScanResult Scan(const std::u16string& path, ScanCancellationToken& token,
                  const ProgressCallback& progress) override {
    return ScanNtfsVolume(volume_, path, 2, token, progress);
  }
  bool Listed(const std::u16string&) const override { return false; }

 private:
  // Small files keep their data in the record, larger ones on clusters.
  static test::TestFileRecord FileRecord(std::uint64_t parent, const std::u16string& name,
                                         std::uint64_t size) {
    if (size <= 512) return test::FileRecord(parent, name, size);
    return test::TestFileRecord()
        .FileName(parent, name)
        .NonResidentData(static_cast<std::int64_t>(size));
  }

  static constexpr std::uint64_t kVolumeRootRecord = 5;
  static constexpr std::uint64_t kRecordCount = 1024;
  test::FakeVolume volume_;
};

std::unique_ptr<EngineHarness> MakeHarness(ScanEngineKind kind) {
  switch (kind) {
    case ScanEngineKind::DirectoryWalk:
      return std::make_unique<WalkHarness>();
    case ScanEngineKind::NtQueryDirectory:
      return std::make_unique<NtQueryHarness>();
    case ScanEngineKind::NtfsMft:
    case ScanEngineKind::NcduExport:  // not an engine of this machine
      break;
  }
  return std::make_unique<MftHarness>();
}

// Files sized so that MFT records keep their data resident.
std::vector<TreeEntry> SmallTree() {
  return {
      {Kind::File, u"a.txt", 10},
      {Kind::Folder, u"sub"},
      {Kind::File, u"sub\\b.bin", 20},
      {Kind::Folder, u"sub\\deeper"},
      {Kind::File, u"sub\\deeper\\c", 5},
      {Kind::Folder, u"empty"},
      {Kind::File, u"caf\u00e9 \u4e2d\u6587.txt", 300},
      {Kind::Link, u"link"},
  };
}

using Listing = std::set<std::tuple<std::u16string, std::uint8_t, std::uint64_t>>;

Listing ListingOf(const ScanResult& result) {
  Listing listing;
  for (const ScanNode& node : result.nodes) {
    if (node.Id() != result.rootIndex) listing.emplace(node.Path(), node.IsDirectory(), node.OwnSize());
  }
  return listing;
}

class EngineContractTest : public testing::TestWithParam<ScanEngineKind> {
 protected:
  std::unique_ptr<EngineHarness> engine = MakeHarness(GetParam());

  ScanResult Scan(const std::u16string& path, const ProgressCallback& progress = {}) {
    ScanCancellationToken token;
    return engine->Scan(path, token, progress);
  }
};

TEST_P(EngineContractTest, SameTreeAndTotalsForEveryRootPathForm) {
  struct Case {
    std::u16string given;
    std::u16string rootPath;
    std::u16string rootName;
  };
  const Case cases[] = {
      {u"X:\\", u"X:\\", u""},
      {u"X:\\R\\\\", u"X:\\R", u"R"},
      {u"X:/R/", u"X:/R", u"R"},
      {u"\\\\server\\share\\", u"\\\\server\\share", u"share"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(base::ToUtf8(c.given));
    engine = MakeHarness(GetParam());
    std::vector<TreeEntry> tree = SmallTree();
    engine->Stage(c.given, tree);
    const ScanResult result = Scan(c.given);

    EXPECT_EQ(result.status, ScanStatus::Completed);
    EXPECT_EQ(result.engine, GetParam());
    EXPECT_EQ(result.rootPath, c.rootPath);
    EXPECT_TRUE(result.issues.empty());
    EXPECT_EQ(test::TreeInconsistencies(result), std::vector<std::string>{});
    ASSERT_LT(result.rootIndex, result.nodes.size());
    const ScanNode root = result.nodes[result.rootIndex];
    EXPECT_EQ(root.Name(), c.rootName);
    EXPECT_EQ(root.Path(), c.rootPath);
    EXPECT_EQ(root.Attributes(), kAttributeDirectory) << "unreadable root attributes";
    EXPECT_EQ(root.LastWriteTime(), 0u);

    Listing expected;
    std::uint64_t totalSize = 0;
    for (const std::vector<TreeEntry>& part : {tree, engine->VolumeEntries()}) {
      for (const TreeEntry& e : part) {
        const bool file = e.kind == Kind::File;
        expected.emplace(JoinPath(c.rootPath, e.path), file ? 0 : 1, e.size);
        totalSize += e.size;
      }
    }
    // The link is in the listing as an empty folder: junctions, directory
    // links and mount points are shown, never followed (following them would
    // count their targets twice, or loop).
    EXPECT_EQ(ListingOf(result), expected);
    EXPECT_EQ(root.TotalSize(), totalSize);
    const std::u16string link = JoinPath(c.rootPath, u"link");
    for (const ScanNode& node : result.nodes) {
      if (node.Path() == link) {
        EXPECT_EQ(node.IsReparsePoint(), 1);
      }
    }
    EXPECT_FALSE(engine->Listed(link));
  }
}

// Every folder is reported, files only at every 128th of the whole scan,
// not of each folder.
TEST_P(EngineContractTest, ProgressAfterEveryFolderAndEvery128thFile) {
  std::vector<TreeEntry> tree = {{Kind::Folder, u"A"}, {Kind::Folder, u"B"}};
  for (int i = 0; i < 300; ++i) {
    tree.push_back({Kind::File, u"A\\f" + base::FromUtf8(std::to_string(i)), 1});
  }
  for (int i = 0; i < 100; ++i) {
    tree.push_back({Kind::File, u"B\\g" + base::FromUtf8(std::to_string(i)), 1});
  }
  engine->Stage(u"X:\\R", tree);
  std::vector<std::uint64_t> fileReports;
  std::uint64_t folderReports = 0;
  ScanProgress last;
  const ScanResult result = Scan(u"X:\\R", [&](const ScanProgress& p) {
    EXPECT_GE(p.filesScanned, last.filesScanned);
    EXPECT_GE(p.foldersScanned, last.foldersScanned);
    if (p.foldersScanned != last.foldersScanned) {
      ++folderReports;
      EXPECT_EQ(Leaf(p.currentPath).size(), 1u) << base::ToUtf8(p.currentPath);
    } else {
      fileReports.push_back(p.filesScanned);
      EXPECT_EQ(p.currentPath.find(u"X:\\R\\"), 0u);
    }
    last = p;
  });
  EXPECT_EQ(fileReports, (std::vector<std::uint64_t>{128, 256, 384}));
  const std::uint64_t reportedFolders = engine->ListsFolders() ? 2 : 3;  // the MFT walk counts R
  EXPECT_EQ(folderReports, reportedFolders);
  EXPECT_EQ(last.foldersScanned, reportedFolders);
  EXPECT_EQ(result.fileCount, 400u);
}

TEST_P(EngineContractTest, CancelFromTheCallbackKeepsAConsistentPartialTree) {
  std::vector<TreeEntry> tree;
  for (int d = 0; d < 20; ++d) {
    const std::u16string folder = u"d" + base::FromUtf8(std::to_string(d));
    tree.push_back({Kind::Folder, folder});
    for (int f = 0; f < 20; ++f) {
      tree.push_back({Kind::File, folder + u"\\f" + base::FromUtf8(std::to_string(f)), 2});
    }
  }
  engine->Stage(u"X:\\R", tree);
  ScanCancellationToken token;
  int reports = 0;
  const ScanResult result = engine->Scan(u"X:\\R", token, [&](const ScanProgress&) {
    if (++reports == 3) token.Cancel();
  });
  EXPECT_EQ(result.status, ScanStatus::Cancelled);
  EXPECT_EQ(result.engine, GetParam());
  EXPECT_LT(result.fileCount, 400u);
  EXPECT_EQ(test::TreeInconsistencies(result), std::vector<std::string>{});
}

TEST_P(EngineContractTest, CancelledBeforeTheStartGivesTheRootAlone) {
  engine->Stage(u"X:\\R", SmallTree());
  ScanCancellationToken token;
  token.Cancel();
  const ScanResult result = engine->Scan(u"X:\\R", token, {});
  EXPECT_EQ(result.status, ScanStatus::Cancelled);
  EXPECT_EQ(result.engine, GetParam());
  EXPECT_EQ(result.nodes.size(), 1u);
  EXPECT_EQ(result.folderCount, 1u);
}

// A folder the user may not read stays in the tree, empty, and the scan
// says so: the completion line counts it.
TEST_P(EngineContractTest, FolderThatCannotBeListedIsAnAccessDeniedIssue) {
  if (!engine->ListsFolders()) GTEST_SKIP() << "the MFT is read whole; no folder can refuse";
  std::vector<TreeEntry> tree = SmallTree();
  tree.push_back({Kind::Denied, u"shut"});
  tree.push_back({Kind::File, u"shut\\hidden", 50});
  engine->Stage(u"X:\\R", tree);
  const ScanResult result = Scan(u"X:\\R");
  EXPECT_EQ(result.status, ScanStatus::Completed);
  ASSERT_EQ(result.issues.size(), 1u);
  EXPECT_EQ(result.issueCount, 1u);
  EXPECT_EQ(result.issues[0].path, u"X:\\R\\shut");
  EXPECT_EQ(result.issues[0].errorCode, 5u);
  EXPECT_EQ(result.fileCount, 4u);
}

INSTANTIATE_TEST_SUITE_P(AllEngines, EngineContractTest,
                         testing::Values(ScanEngineKind::DirectoryWalk,
                                         ScanEngineKind::NtQueryDirectory, ScanEngineKind::NtfsMft),
                         [](const testing::TestParamInfo<ScanEngineKind>& info) {
                           return std::string(ScanEngineKindName(info.param));
                         });

}  // namespace
}  // namespace ombrix::core
