#include "app/saved/kept_scans.h"

#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "app/saved/saved_scan_writer.h"
#include "app/saved/scan_files.h"
#include "app/saved/zstd_frame.h"
#include "base/text_encoding.h"
#include "core/scan_tree_builder.h"
#include "tests/support/temporary_folder.h"

namespace ombrix::app {
namespace {

constexpr char16_t kFolder[] = u"K:\\Settings\\Last scans";

// A folder of files in memory with a clock that ticks at every write, so
// the order of writes is the order of last-write times. Any step fails on
// request: failStep names the operation ("write", "replace", ...) and
// failPath the end of the path it fails for ("" for every path).
struct FakeFolder {
  struct File {
    std::string bytes;
    std::uint64_t lastWriteTime = 0;
  };
  std::map<std::u16string, File> files;  // by name, all in kFolder
  std::uint64_t clock = 1000;
  std::string failStep;
  std::u16string failPath;
  bool listable = true;

  bool Fails(const char* step, std::u16string_view path) const {
    return failStep == step && path.ends_with(failPath);
  }
  // The name of a path in kFolder; empty for any other.
  static std::u16string NameOf(std::u16string_view path) {
    const std::u16string prefix = std::u16string(kFolder) + u'\\';
    if (!path.starts_with(prefix)) return {};
    return std::u16string(path.substr(prefix.size()));
  }
  void Put(const std::u16string& name, std::size_t byteSize, std::uint64_t time) {
    files[name] = {std::string(byteSize, 'x'), time};
  }

  SettingsFiles Seam() {
    SettingsFiles seam;
    seam.processId = 42;
    seam.readFile = [this](const std::u16string& path, std::string& bytes) {
      const auto found = files.find(NameOf(path));
      if (found == files.end() || Fails("read", path)) return false;
      bytes = found->second.bytes;
      return true;
    };
    seam.createFolders = [this](const std::u16string& folder) {
      return folder == kFolder && !Fails("create", folder);
    };
    seam.writeFile = [this](const std::u16string& path, std::string_view bytes) {
      const std::u16string name = NameOf(path);
      if (name.empty()) return false;
      // A failing write leaves a torn file, as a full disk does.
      if (Fails("write", path)) {
        files[name] = {std::string(bytes.substr(0, bytes.size() / 2)), ++clock};
        return false;
      }
      files[name] = {std::string(bytes), ++clock};
      return true;
    };
    seam.replaceFile = [this](const std::u16string& source, const std::u16string& target) {
      const auto found = files.find(NameOf(source));
      if (found == files.end() || NameOf(target).empty() || Fails("replace", source)) return false;
      File moved = std::move(found->second);
      files.erase(found);
      files[NameOf(target)] = std::move(moved);  // a rename keeps the time
      return true;
    };
    seam.removeFile = [this](const std::u16string& path) {
      if (!Fails("remove", path)) files.erase(NameOf(path));
    };
    seam.listFolder = [this](const std::u16string& folder, std::vector<FolderFile>& listed) {
      if (folder != kFolder || !listable || Fails("list", folder)) return false;
      listed.clear();
      for (const auto& [name, file] : files) {
        listed.push_back({name, file.bytes.size(), file.lastWriteTime});
      }
      return true;
    };
    return seam;
  }

  // The files by name with their bytes, to compare with a table.
  std::map<std::u16string, std::string> Contents() const {
    std::map<std::u16string, std::string> contents;
    for (const auto& [name, file] : files) contents[name] = file.bytes;
    return contents;
  }
};

// A scan of rootPath with fileCount files, so scans of one root differ.
core::ScanResult Scan(const std::u16string& rootPath, int fileCount) {
  core::ScanTreeBuilder builder;
  const std::uint64_t root = builder.AddRoot(rootPath, rootPath, core::kAttributeDirectory, 0);
  for (int i = 0; i < fileCount; ++i) {
    builder.AddFile(root, u"file" + base::FromUtf8(std::to_string(i)), 0x20,
                    static_cast<std::uint64_t>(i) * 1000, 0);
  }
  builder.ComputeTotals();
  return builder.BuildResult(core::ScanStatus::Completed, rootPath, 0);
}

std::string Encoded(const core::ScanResult& result) {
  return *EncodeSavedScan(result, result.nodes.size(), kSavedScanCompressionLevel);
}

bool Keep(FakeFolder& folder, const core::ScanResult& result,
          std::uint64_t capBytes = kKeptScansCapBytes) {
  return KeepScan(folder.Seam(), kFolder, result, result.nodes.size(), capBytes);
}

TEST(KeptScansTest, ADriveAndAllDrivesAreNamedPlainly) {
  const std::pair<const char16_t*, const char16_t*> cases[] = {
      {u"C:\\", u"C.ombrixscan"},
      {u"c:\\", u"C.ombrixscan"},
      {u"D:", u"D.ombrixscan"},
      {u"e:/", u"E.ombrixscan"},
      {u"All local drives", u"All local drives.ombrixscan"},
  };
  for (const auto& [root, name] : cases) {
    EXPECT_EQ(base::ToUtf8(KeptScanName(root)), base::ToUtf8(name));
  }
  EXPECT_EQ(PreviousKeptScanName(u"C:\\"), u"C.previous.ombrixscan");
  EXPECT_EQ(PreviousKeptScanName(u"All local drives"), u"All local drives.previous.ombrixscan");
  EXPECT_EQ(KeptScansFolder(u"C:\\Users\\Ann\\AppData\\Local\\Ombrix\\ombrix.settings.json"),
            u"C:\\Users\\Ann\\AppData\\Local\\Ombrix\\Last scans");
  EXPECT_EQ(KeptScansFolder(u"ombrix.settings.json"), u"");
  EXPECT_EQ(KeptScansFolder(u""), u"");
}

// Windows takes C:\Data, c:\DATA\ and C:/data for one folder, so they keep
// one file; folders that differ anywhere, even beyond the readable part,
// keep their own.
TEST(KeptScansTest, AFolderIsNamedByItsPathWithoutCase) {
  const std::u16string deep = u"C:\\" + std::u16string(150, u'a') + u"\\Projects\\Reports";
  const std::u16string otherDeep = u"C:\\" + std::u16string(150, u'b') + u"\\Projects\\Reports";
  const struct {
    const char16_t* a;
    std::u16string b;
    bool same;
  } cases[] = {
      {u"C:\\Data", u"c:\\DATA", true},
      {u"C:\\Data", u"C:\\Data\\", true},
      {u"C:\\Data\\Fotos", u"C:/data/fotos/", true},
      {u"C:\\\u00c9t\u00e9", u"c:\\\u00e9T\u00c9", true},
      {u"C:\\Data", u"C:\\Data2", false},
      {u"C:\\Data", u"D:\\Data", false},
      {u"C:\\A\\B", u"C:\\A_B", false},
      {deep.c_str(), otherDeep, false},
      {u"\\\\server\\share", u"\\\\SERVER\\Share\\", true},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(KeptScanName(c.a) == KeptScanName(c.b), c.same)
        << base::ToUtf8(c.a) << " / " << base::ToUtf8(c.b);
  }
  const std::u16string name = KeptScanName(u"C:\\Data\\Fotos");
  EXPECT_TRUE(name.starts_with(u"C__DATA_FOTOS-")) << base::ToUtf8(name);
  EXPECT_EQ(name.size(), std::u16string(u"C__DATA_FOTOS-").size() + 12 + 11);
}

// However long the path, the name stays short, keeps the path's end and
// holds nothing a file name cannot.
TEST(KeptScansTest, ALongPathGivesABoundedSafeName) {
  std::u16string emoji;
  for (int i = 0; i < 20; ++i) emoji += u"\U0001F600";
  const std::u16string paths[] = {
      u"C:\\" + std::u16string(2000, u'x') + u"\\Last",
      u"C:\\dir\\" + std::u16string(60, u'\u4e2d'),
      // A character of two units where the readable part begins.
      u"C:\\" + std::u16string(120, u'q') + emoji,
      u"C:\\a<b>c|d?e*f\"g\x01h",
  };
  for (const std::u16string& path : paths) {
    const std::u16string name = PreviousKeptScanName(path);
    EXPECT_LE(name.size(), 40u + 1 + 12 + std::u16string(u".previous.ombrixscan").size());
    EXPECT_EQ(name.find_first_of(u"<>:\"/\\|?*\x01"), std::u16string::npos) << base::ToUtf8(name);
    EXPECT_FALSE(name.front() >= 0xDC00 && name.front() <= 0xDFFF) << "half a character";
    EXPECT_TRUE(name.ends_with(u".previous.ombrixscan"));
  }
  EXPECT_TRUE(KeptScanName(paths[0]).starts_with(std::u16string(35, u'X') + u"_LAST-"));
}

TEST(KeptScansTest, EachKeepMovesTheLatestToPreviousAndKeepsTwoPerRoot) {
  FakeFolder folder;
  folder.Put(u"D.ombrixscan", 10, 5);
  const core::ScanResult scans[] = {Scan(u"C:\\", 1), Scan(u"C:\\", 2), Scan(u"c:\\", 3)};
  std::map<std::u16string, std::string> expected{{u"D.ombrixscan", std::string(10, 'x')}};
  const std::u16string latest = u"C.ombrixscan";
  const std::u16string previous = u"C.previous.ombrixscan";
  for (const core::ScanResult& scan : scans) {
    ASSERT_TRUE(Keep(folder, scan));
    if (expected.contains(latest)) expected[previous] = expected[latest];
    expected[latest] = Encoded(scan);
    EXPECT_EQ(folder.Contents(), expected);
  }
  EXPECT_NE(expected[latest], expected[previous]);
}

// With C's latest scan B and previous scan A kept, a third keep fails at
// each step in turn: nothing is kept, no temporary file is left, and only
// a failure after the rotation costs the previous scan.
TEST(KeptScansTest, AFailedKeepLosesNothingItDidNotHaveToMove) {
  const core::ScanResult a = Scan(u"C:\\", 1), b = Scan(u"C:\\", 2), c = Scan(u"C:\\", 3);
  const std::string bytesA = Encoded(a), bytesB = Encoded(b);
  const std::map<std::u16string, std::string> both{{u"C.ombrixscan", bytesB},
                                                   {u"C.previous.ombrixscan", bytesA}};
  const struct {
    const char* step;
    const char16_t* path;
    std::map<std::u16string, std::string> expected;
  } cases[] = {
      {"create", u"", both},
      {"list", u"", both},
      {"write", u".tmp", both},
      {"replace", u"C.ombrixscan", both},  // the rotation
      {"replace", u".tmp", {{u"C.ombrixscan", bytesB}}},
  };
  for (const auto& testCase : cases) {
    SCOPED_TRACE(std::string(testCase.step) + " " + base::ToUtf8(testCase.path));
    FakeFolder folder;
    ASSERT_TRUE(Keep(folder, a));
    ASSERT_TRUE(Keep(folder, b));
    folder.failStep = testCase.step;
    folder.failPath = testCase.path;
    EXPECT_FALSE(Keep(folder, c));
    EXPECT_EQ(folder.Contents(), testCase.expected);
  }
}

// After a keep the oldest kept files go until all fit the cap; the file
// just written stays even when it alone is over it, and files that are not
// kept scans (another instance's temporary file, anything else) neither
// count nor go.
TEST(KeptScansTest, TheCapDropsTheOldestFirstButNeverTheNewScan) {
  const core::ScanResult scan = Scan(u"C:\\", 4);
  const std::uint64_t size = Encoded(scan).size();
  const std::vector<std::u16string> all = {u"C.ombrixscan", u"C.previous.ombrixscan",
                                           u"D.ombrixscan", u"E.ombrixscan"};
  const struct {
    const char* name;
    std::uint64_t cap;
    std::vector<std::u16string> remaining;
  } cases[] = {
      {"everything fits", size + 100 + 200 + 300, all},
      // The former latest (300, the newest old file) became the previous.
      {"one too many", size + 300 + 200, {u"C.ombrixscan", u"C.previous.ombrixscan", u"E.ombrixscan"}},
      {"one byte short of two", size + 300 + 200 - 1, {u"C.ombrixscan", u"C.previous.ombrixscan"}},
      {"only the new one fits", size, {u"C.ombrixscan"}},
      {"not even the new one fits", 0, {u"C.ombrixscan"}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    FakeFolder folder;
    folder.Put(u"D.ombrixscan", 100, 10);
    folder.Put(u"E.ombrixscan", 200, 20);
    folder.Put(u"C.ombrixscan", 300, 30);
    folder.Put(u"C.ombrixscan.7.tmp", 5000, 1);
    folder.Put(u"notes.txt", 5000, 2);
    ASSERT_TRUE(Keep(folder, scan, c.cap));
    std::vector<std::u16string> names;
    for (const auto& [name, file] : folder.files) {
      if (name.ends_with(u".ombrixscan")) names.push_back(name);
    }
    EXPECT_EQ(names.size(), c.remaining.size());
    for (const std::u16string& name : c.remaining) {
      EXPECT_TRUE(folder.files.contains(name)) << base::ToUtf8(name);
    }
    EXPECT_EQ(folder.files.at(u"C.ombrixscan").bytes, Encoded(scan));
    EXPECT_TRUE(folder.files.contains(u"C.ombrixscan.7.tmp"));
    EXPECT_TRUE(folder.files.contains(u"notes.txt"));
  }
}

// The scan to compare with is the newest kept file of the root written
// strictly before the shown scan's time: a scan's own kept file is always
// written after it.
TEST(KeptScansTest, KeptScanBeforePicksTheRootsNewestOlderFile) {
  FakeFolder folder;
  folder.Put(u"C.ombrixscan", 1, 300);
  folder.Put(u"C.previous.ombrixscan", 1, 200);
  folder.Put(u"D.ombrixscan", 1, 250);
  folder.Put(u"C.ombrixscan.42.tmp", 1, 290);
  const std::u16string dataName = KeptScanName(u"C:\\Data");
  folder.Put(dataName, 1, 100);
  const struct {
    const char16_t* root;
    std::uint64_t scanTime;
    const char16_t* expected;  // null: none
  } cases[] = {
      {u"C:\\", 350, u"C.ombrixscan"},
      {u"C:\\", 300, u"C.previous.ombrixscan"},
      {u"c:", 299, u"C.previous.ombrixscan"},
      {u"C:\\", 200, nullptr},
      {u"D:\\", 260, u"D.ombrixscan"},
      {u"D:\\", 250, nullptr},
      {u"E:\\", 1000, nullptr},
      {u"c:\\data\\", 101, dataName.c_str()},
      {u"All local drives", 1000, nullptr},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(base::ToUtf8(c.root) + " " + std::to_string(c.scanTime));
    const std::optional<std::u16string> found =
        KeptScanBefore(folder.Seam(), kFolder, c.root, c.scanTime);
    if (c.expected == nullptr) {
      EXPECT_FALSE(found.has_value());
    } else {
      EXPECT_EQ(found, std::u16string(kFolder) + u'\\' + c.expected);
    }
  }
  folder.listable = false;
  EXPECT_FALSE(KeptScanBefore(folder.Seam(), kFolder, u"C:\\", 1000).has_value());
}

// The same on a real folder, which the first keep creates: the second keep
// leaves the first as the previous scan, both open as scans, and the latest
// is the one before any later time.
TEST(KeptScansTest, KeepsIntoARealFolder) {
  const test::TemporaryFolder temporary;
  const std::u16string folder =
      KeptScansFolder((temporary.Path() / "Ombrix" / "ombrix.settings.json").u16string());
  const SettingsFiles files = SystemSettingsFiles();
  const core::ScanResult first = Scan(u"C:\\Data", 1), second = Scan(u"C:\\Data", 2);
  ASSERT_TRUE(KeepScan(files, folder, first, first.nodes.size()));
  ASSERT_TRUE(KeepScan(files, folder, second, second.nodes.size()));
  std::vector<FolderFile> listed;
  ASSERT_TRUE(files.listFolder(folder, listed));
  EXPECT_EQ(listed.size(), 2u);
  const std::u16string latest = folder + u'\\' + KeptScanName(u"C:\\Data");
  const std::u16string previous = folder + u'\\' + PreviousKeptScanName(u"C:\\Data");
  EXPECT_EQ(OpenScanFile(files, latest).result->fileCount, 2u);
  EXPECT_EQ(OpenScanFile(files, previous).result->fileCount, 1u);
  EXPECT_EQ(KeptScanBefore(files, folder, u"c:\\data", ~std::uint64_t{0}), latest);
}

}  // namespace
}  // namespace ombrix::app
