// The whole engine on real NTFS volumes made by mkntfs and ntfs-3g (and two
// made by Windows, when present), checked against The Sleuth Kit's listing
// of the same image.
#include "core/mft/volume_image.h"

#include <gtest/gtest.h>

#include <cctype>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <map>
#include <set>
#include <sstream>
#include <string>

#include "base/text_encoding.h"
#include "core/mft/mft_chunk_decoder.h"
#include "core/mft/mft_run_list.h"
#include "core/mft/mft_stream_reader.h"
#include "core/mft/ntfs_mft_engine.h"
#include "tests/support/test_data.h"

namespace ombrix::core {
namespace {

namespace fs = std::filesystem;

fs::path ImageDir() { return fs::path(test::TestDataDir()) / "ntfs"; }

std::vector<std::uint8_t> BootSector(std::uint16_t sectorLength, std::uint8_t sectorsPerCluster,
                                     std::int64_t mftCluster, std::uint8_t clustersPerRecord) {
  std::vector<std::uint8_t> boot(512, 0);
  std::memcpy(boot.data() + 3, "NTFS    ", 8);
  boot[0x0B] = static_cast<std::uint8_t>(sectorLength);
  boot[0x0C] = static_cast<std::uint8_t>(sectorLength >> 8);
  boot[0x0D] = sectorsPerCluster;
  for (int i = 0; i < 8; ++i) boot[0x30 + i] = static_cast<std::uint8_t>(mftCluster >> (8 * i));
  boot[0x40] = clustersPerRecord;
  return boot;
}

TEST(VolumeImageTest, BootSectorGeometry) {
  struct Case {
    std::uint16_t sector;
    std::uint8_t sectorsPerCluster;
    std::uint8_t clustersPerRecord;
    std::uint32_t cluster;
    std::uint32_t record;
  };
  const Case cases[] = {
      {512, 8, 0xF6, 4096, 1024},        // -10: 2^10-byte records
      {4096, 1, 0xF4, 4096, 4096},       // -12
      {512, 1, 2, 512, 1024},            // positive: clusters per record
      {512, 0xF4, 0xF6, 2097152, 1024},  // -12: 4096 sectors per cluster (2 MiB clusters)
      {512, 0x81, 0xF6, 0, 1024},        // 2^127 sectors: out of range, unusable
      {512, 8, 0x80, 4096, 0},           // 2^128 bytes: out of range
  };
  for (const Case& c : cases) {
    NtfsVolumeGeometry g;
    const auto boot = BootSector(c.sector, c.sectorsPerCluster, 786432, c.clustersPerRecord);
    ASSERT_TRUE(ParseNtfsBootSector(boot.data(), boot.size(), g));
    EXPECT_EQ(g.bytesPerSector, c.sector);
    EXPECT_EQ(g.bytesPerCluster, c.cluster) << int(c.sectorsPerCluster);
    EXPECT_EQ(g.bytesPerFileRecordSegment, c.record) << int(c.clustersPerRecord);
    EXPECT_EQ(g.mftStartLcn, 786432);
  }
  auto fat = BootSector(512, 8, 4, 0xF6);
  std::memcpy(fat.data() + 3, "MSDOS5.0", 8);
  NtfsVolumeGeometry g;
  EXPECT_FALSE(ParseNtfsBootSector(fat.data(), fat.size(), g));
  EXPECT_FALSE(ParseNtfsBootSector(fat.data(), 10, g));
}

ScanResult ScanImage(const fs::path& image, const std::u16string& root, std::uint64_t workers = 2) {
  NtfsImageVolumeReader reader(image);
  ScanCancellationToken token;
  return ScanNtfsVolume(reader, root, workers, token, {});
}

TEST(VolumeImageTest, ImageFailures) {
  const fs::path dir = fs::temp_directory_path() / "ombrix-volume-image-test";
  fs::create_directories(dir);
  {
    std::ofstream(dir / "not-ntfs.img", std::ios::binary) << std::string(4096, 'x');
    auto unusable = BootSector(0, 8, 4, 0xF6);
    std::ofstream(dir / "zero-sector.img", std::ios::binary)
        .write(reinterpret_cast<const char*>(unusable.data()), unusable.size());
    auto noMft = BootSector(512, 8, 4, 0xF6);
    std::ofstream(dir / "no-mft.img", std::ios::binary)
        .write(reinterpret_cast<const char*>(noMft.data()), noMft.size());
  }
  EXPECT_EQ(ScanImage(dir / "missing.img", u"\\").message, kMftVolumeOpenMessage);
  EXPECT_EQ(ScanImage(dir / "not-ntfs.img", u"\\").message, kMftNotAvailableMessage);
  EXPECT_EQ(ScanImage(dir / "zero-sector.img", u"\\").message, kMftVolumeUnusableMessage);
  EXPECT_EQ(ScanImage(dir / "no-mft.img", u"\\").message, kMftRunListMessage);
  EXPECT_EQ(ScanImage(dir / "no-mft.img", u"\\..\\x").message, kMftRootMessage);
  fs::remove_all(dir);
}

// What The Sleuth Kit says is on the volume, filtered as the engine sees it.
struct Oracle {
  std::map<std::string, std::uint64_t> files;  // path -> size, '/' separated, no leading '/'
  std::set<std::string> folders;
  std::set<std::string> streamOnly;  // metadata files fls lists only by their streams
};

std::vector<std::string> Split(const std::string& text, char separator) {
  std::vector<std::string> parts;
  std::string part;
  std::istringstream in(text);
  while (std::getline(in, part, separator)) parts.push_back(part);
  return parts;
}

std::set<std::uint64_t> AllocatedRecords(const fs::path& ilsFile) {
  std::set<std::uint64_t> allocated;
  std::ifstream in(ilsFile);
  std::string line;
  while (std::getline(in, line)) {
    const auto fields = Split(line, '|');
    if (fields.size() > 2 && !fields[0].empty() &&
        std::isdigit(static_cast<unsigned char>(fields[0][0])) && fields[1] == "a") {
      allocated.insert(std::stoull(fields[0]));
    }
  }
  return allocated;
}

bool HasDroppedAncestor(const std::string& path, const std::set<std::string>& dropped) {
  for (std::size_t slash = path.find('/'); slash != std::string::npos;
       slash = path.find('/', slash + 1)) {
    if (dropped.count(path.substr(0, slash)) != 0) return true;
  }
  return false;
}

Oracle ReadOracle(const fs::path& prefix) {
  const std::set<std::uint64_t> allocated = AllocatedRecords(prefix.string() + ".ils.txt");
  Oracle oracle;
  std::set<std::string> dropped;
  std::set<std::string> streamBases;
  std::ifstream in(prefix.string() + ".fls.txt");
  std::string line;
  while (std::getline(in, line)) {
    const auto fields = Split(line, '\t');
    if (fields.size() < 7) continue;
    const std::string& head = fields[0];  // "r/r 64-128-2:", "-/r * 16:", "d/d 70(realloc):"
    const std::string& path = fields[1];
    const char metaType = head.size() > 2 ? head[2] : '?';
    const bool deleted = head.find(" * ") != std::string::npos;
    const std::size_t digits = head.find_first_of("0123456789", 3);
    const std::uint64_t record =
        digits == std::string::npos ? ~0ull : std::stoull(head.substr(digits));
    if (deleted || path.rfind("$OrphanFiles", 0) == 0 || allocated.count(record) == 0 ||
        HasDroppedAncestor(path, dropped)) {
      dropped.insert(path);
      continue;
    }
    const std::size_t leaf = path.rfind('/') == std::string::npos ? 0 : path.rfind('/') + 1;
    const std::size_t colon = path.find(':', leaf);
    if (colon != std::string::npos) {
      streamBases.insert(path.substr(0, colon));
      continue;
    }
    if (metaType == 'd') {
      oracle.folders.insert(path);
    } else {
      oracle.files[path] = std::stoull(fields[6]);
    }
  }
  for (const std::string& base : streamBases) {
    const std::size_t leaf = base.rfind('/') == std::string::npos ? 0 : base.rfind('/') + 1;
    if (oracle.files.count(base) == 0 && oracle.folders.count(base) == 0 && base[leaf] == '$') {
      oracle.streamOnly.insert(base);
    }
  }
  return oracle;
}

std::string OraclePath(const std::u16string& enginePath, std::size_t rootLength) {
  std::string path = base::ToUtf8(enginePath.substr(rootLength));
  while (!path.empty() && path[0] == '\\') path.erase(0, 1);
  for (char& c : path) {
    if (c == '\\') c = '/';
  }
  return path;
}

struct Totals {
  std::uint64_t size = 0;
  std::uint64_t files = 0;
  std::uint64_t folders = 0;
  bool operator==(const Totals& o) const {
    return size == o.size && files == o.files && folders == o.folders;
  }
};

// Compares the scan of root (an image path such as "\\" or "\\Case Folder")
// with the oracle's listing below prefix ("" or "Case Folder").
void ExpectMatchesOracle(const ScanResult& result, const Oracle& oracle,
                         const std::string& prefix) {
  ASSERT_EQ(result.status, ScanStatus::Completed) << base::ToUtf8(result.message);
  const std::size_t rootLength = result.rootPath.size();
  auto below = [&](const std::string& path) -> std::optional<std::string> {
    if (prefix.empty()) return path;
    if (path.rfind(prefix + "/", 0) == 0) return path.substr(prefix.size() + 1);
    return std::nullopt;
  };

  std::map<std::string, std::uint64_t> expectedFiles;
  std::set<std::string> expectedFolders;
  for (const auto& [path, size] : oracle.files) {
    if (auto p = below(path)) expectedFiles[*p] = size;
  }
  for (const auto& path : oracle.folders) {
    if (auto p = below(path)) expectedFolders.insert(*p);
  }

  std::map<std::string, std::uint64_t> files;
  std::set<std::string> folders;
  std::map<std::string, Totals> expectedTotals;
  auto addToAncestors = [&](const std::string& path, std::uint64_t size, bool folder) {
    std::string ancestor = path;
    while (true) {
      const std::size_t slash = ancestor.rfind('/');
      ancestor = slash == std::string::npos ? "" : ancestor.substr(0, slash);
      Totals& t = expectedTotals[ancestor];
      if (folder) {
        t.folders += 1;
      } else {
        t.size += size;
        t.files += 1;
      }
      if (ancestor.empty()) break;
    }
  };
  for (const ScanNode& node : result.nodes) {
    if (node.id == result.rootIndex) continue;
    const std::string path = OraclePath(node.path, rootLength);
    if (node.isDirectory) {
      folders.insert(path);
    } else if (const auto full = prefix.empty() ? path : prefix + "/" + path;
               oracle.streamOnly.count(full) != 0) {
      addToAncestors(path, node.ownSize, false);  // fls has no size for it: take ours
    } else {
      files[path] = node.ownSize;
    }
  }
  for (const auto& [path, size] : expectedFiles) addToAncestors(path, size, false);
  for (const auto& path : expectedFolders) addToAncestors(path, 0, true);

  std::vector<std::string> missing;
  std::vector<std::string> extra;
  for (const auto& [path, size] : expectedFiles) {
    auto it = files.find(path);
    if (it == files.end()) {
      missing.push_back(path);
    } else if (it->second != size) {
      ADD_FAILURE() << "size of " << path << ": " << it->second << ", fls says " << size;
    }
  }
  for (const auto& [path, size] : files) {
    if (expectedFiles.count(path) == 0) extra.push_back(path);
  }
  for (const auto& path : expectedFolders) {
    if (folders.count(path) == 0) missing.push_back(path + "/");
  }
  for (const auto& path : folders) {
    if (expectedFolders.count(path) == 0) extra.push_back(path + "/");
  }
  for (std::size_t i = 0; i < std::min<std::size_t>(missing.size(), 10); ++i) {
    ADD_FAILURE() << "missing: " << missing[i];
  }
  for (std::size_t i = 0; i < std::min<std::size_t>(extra.size(), 10); ++i) {
    ADD_FAILURE() << "not in fls: " << extra[i];
  }
  EXPECT_EQ(missing.size(), 0u);
  EXPECT_EQ(extra.size(), 0u);

  std::size_t checked = 0;
  for (const ScanNode& node : result.nodes) {
    if (!node.isDirectory) continue;
    const std::string path = node.id == result.rootIndex ? "" : OraclePath(node.path, rootLength);
    const Totals expected = expectedTotals[path];
    const Totals actual{node.totalSize, node.fileCount, node.folderCount};
    EXPECT_TRUE(actual == expected)
        << "totals of '" << path << "': " << actual.size << "/" << actual.files << "/"
        << actual.folders << ", fls gives " << expected.size << "/" << expected.files << "/"
        << expected.folders;
    ++checked;
  }
  EXPECT_EQ(checked, expectedFolders.size() + 1);
}

class ImageOracleTest : public testing::TestWithParam<const char*> {};

TEST_P(ImageOracleTest, WholeVolumeMatchesTheSleuthKit) {
  const fs::path prefix = ImageDir() / GetParam();
  if (!fs::exists(prefix.string() + ".img") || !fs::exists(prefix.string() + ".fls.txt")) {
    GTEST_SKIP() << "image " << GetParam() << " not built (its source is absent)";
  }
  const Oracle oracle = ReadOracle(prefix);
  ASSERT_FALSE(oracle.files.empty());
  ExpectMatchesOracle(ScanImage(prefix.string() + ".img", u"\\"), oracle, "");
}

INSTANTIATE_TEST_SUITE_P(Images, ImageOracleTest,
                         testing::Values("engine_tree", "engine_fragmented", "engine_large_mft",
                                         "parse_basic", "parse_4k_sectors", "winxp_dftt7",
                                         "win7_tiny"));

TEST(VolumeImageTest, EngineImagesAreBuilt) {
  for (const char* name : {"engine_tree", "engine_fragmented", "engine_large_mft"}) {
    EXPECT_TRUE(fs::exists(ImageDir() / (std::string(name) + ".img"))) << name;
  }
}

TEST(VolumeImageTest, SubFolderRootIsFoundIgnoringCase) {
  const fs::path prefix = ImageDir() / "engine_tree";
  const Oracle oracle = ReadOracle(prefix);
  const ScanResult r = ScanImage(prefix.string() + ".img", u"\\case FOLDER\\");
  EXPECT_EQ(r.rootPath, u"\\case FOLDER");
  ASSERT_FALSE(r.nodes.empty());
  EXPECT_EQ(r.nodes[r.rootIndex].name, u"case FOLDER");
  ExpectMatchesOracle(r, oracle, "Case Folder");

  const ScanResult deep = ScanImage(prefix.string() + ".img", u"/deep/level000/LEVEL001");
  ExpectMatchesOracle(deep, oracle, "deep/level000/level001");
  EXPECT_EQ(ScanImage(prefix.string() + ".img", u"\\wide\\nothing").message, kMftRootMessage);
}

TEST(VolumeImageTest, FragmentedMftIsReadAcrossAllItsRuns) {
  NtfsImageVolumeReader reader(ImageDir() / "engine_fragmented.img");
  ASSERT_EQ(reader.Open(u"\\"), VolumeOpenResult::Opened);
  NtfsVolumeGeometry geometry;
  ASSERT_TRUE(reader.QueryGeometry(geometry));
  std::vector<MftDataRun> runs;
  std::uint64_t dataSize = 0;
  ASSERT_TRUE(ReadMftRunList(reader, geometry, runs, dataSize));
  EXPECT_GE(runs.size(), 4u);
  EXPECT_EQ(dataSize, fs::file_size(ImageDir() / "engine_fragmented.mft"));
}

TEST(VolumeImageTest, LargeMftIsDecodedPartlyOnWorkersWithTheSameTree) {
  const fs::path image = ImageDir() / "engine_large_mft.img";
  NtfsImageVolumeReader reader(image);
  ASSERT_EQ(reader.Open(u"\\"), VolumeOpenResult::Opened);
  NtfsVolumeGeometry geometry;
  ASSERT_TRUE(reader.QueryGeometry(geometry));
  std::vector<MftDataRun> runs;
  std::uint64_t dataSize = 0;
  ASSERT_TRUE(ReadMftRunList(reader, geometry, runs, dataSize));
  MftScanStats stats;
  std::vector<MftNameEntry> entries;
  ScanCancellationToken token;
  ASSERT_TRUE(
      EnumerateMftRecords(reader, geometry, runs, dataSize, token, entries, nullptr, stats, 4));
  EXPECT_GE(stats.parallelChunks, 1u);
  EXPECT_EQ(stats.bytes, dataSize);

  const ScanResult one = ScanImage(image, u"\\", 1);
  const ScanResult four = ScanImage(image, u"\\", 4);
  ASSERT_EQ(one.nodes.size(), four.nodes.size());
  for (std::size_t i = 0; i < one.nodes.size(); ++i) {
    ASSERT_EQ(one.nodes[i].path, four.nodes[i].path);
    ASSERT_EQ(one.nodes[i].totalSize, four.nodes[i].totalSize);
  }
}

}  // namespace
}  // namespace ombrix::core
