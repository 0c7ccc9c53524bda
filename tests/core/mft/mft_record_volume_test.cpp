// The record decoder on whole real volumes, checked against The Sleuth Kit:
// images made by mkntfs and ntfs-3g (tests/data/ntfs_parse_volumes.py) and
// two images formatted and filled by Windows. Every allocated name fls
// lists (streams and DOS-only aliases aside) must come out of
// ParseFileRecord with the same file, parent, directory flag and size, and
// the $MFT run list must cover the clusters istat lists for record 0.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <fstream>
#include <map>
#include <set>
#include <sstream>
#include <string>
#include <thread>
#include <tuple>
#include <vector>

#include "base/text_encoding.h"
#include "core/mft/mft_record.h"
#include "tests/support/test_data.h"

namespace ombrix::core {
namespace {

using base::ToUtf8;

std::string ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

std::vector<std::string> Split(const std::string& text, char separator) {
  std::vector<std::string> parts;
  std::string part;
  std::istringstream in(text);
  while (std::getline(in, part, separator)) parts.push_back(part);
  return parts;
}

struct Volume {
  std::string name;
  std::vector<std::uint8_t> mft;
  std::uint32_t sectorSize = 0;
  std::uint32_t recordSize = 0;
  std::uint32_t clusterSize = 0;
  std::string fls;
  std::string ils;
  std::string ilsFree;
  std::string istat0;
};

std::string ImagePrefix(const std::string& name) { return test::TestDataDir() + "/ntfs/" + name; }

bool LoadVolume(const std::string& name, Volume& volume) {
  const std::string prefix = ImagePrefix(name);
  const std::string mft = ReadFile(prefix + ".mft");
  if (mft.empty()) return false;
  volume.name = name;
  volume.mft.assign(mft.begin(), mft.end());
  for (const std::string& line : Split(ReadFile(prefix + ".volume.txt"), '\n')) {
    const auto equals = line.find('=');
    if (equals == std::string::npos) continue;
    const std::uint32_t value = static_cast<std::uint32_t>(std::stoul(line.substr(equals + 1)));
    const std::string key = line.substr(0, equals);
    if (key == "sector_size") volume.sectorSize = value;
    if (key == "record_size") volume.recordSize = value;
    if (key == "cluster_size") volume.clusterSize = value;
  }
  volume.fls = ReadFile(prefix + ".fls.txt");
  volume.ils = ReadFile(prefix + ".ils.txt");
  volume.ilsFree = ReadFile(prefix + ".ils-free.txt");
  volume.istat0 = ReadFile(prefix + ".istat0.txt");
  return volume.recordSize != 0 && volume.sectorSize != 0 && !volume.fls.empty();
}

struct Decoded {
  std::vector<MftNameEntry> entries;
  std::vector<std::uint64_t> recordOfEntry;
  std::map<std::uint64_t, std::uint64_t> reportedSizes;  // file -> unnamed $DATA size
};

// Decodes every record of the volume's $MFT the way the engine does, and
// applies the sizes records report for names they do not hold.
Decoded DecodeAll(Volume& volume) {
  Decoded decoded;
  std::vector<MftDataSize> dataSizes;
  const std::uint64_t recordCount = volume.mft.size() / volume.recordSize;
  for (std::uint64_t record = 0; record < recordCount; ++record) {
    ParseFileRecord(volume.mft.data() + record * volume.recordSize, volume.recordSize, record,
                    volume.sectorSize, decoded.entries, &dataSizes);
    decoded.recordOfEntry.resize(decoded.entries.size(), record);
  }
  for (const MftDataSize& size : dataSizes) decoded.reportedSizes[size.fileReference] = size.size;
  for (MftNameEntry& entry : decoded.entries) {
    const auto reported = decoded.reportedSizes.find(entry.fileReference);
    if (!entry.isDirectory && !entry.hasOwnDataSize && reported != decoded.reportedSizes.end() &&
        reported->second != 0) {
      entry.size = reported->second;
    }
  }
  return decoded;
}

// Records listed by ils with the given state ("a" allocated, "f" free).
// ils -a leaves out extension records.
std::set<std::uint64_t> ListedRecords(const std::string& ils, const char* state) {
  std::set<std::uint64_t> allocated;
  for (const std::string& line : Split(ils, '\n')) {
    const std::vector<std::string> fields = Split(line, '|');
    if (fields.size() > 2 && fields[1] == state && !fields[0].empty() &&
        fields[0].find_first_not_of("0123456789") == std::string::npos) {
      allocated.insert(std::stoull(fields[0]));
    }
  }
  return allocated;
}

struct ExpectedName {
  std::uint64_t file = 0;
  std::uint64_t parent = 0;
  std::string name;
  bool isDirectory = false;
  std::uint64_t size = 0;
  std::string path;
};

// Reads `fls -r -p -l`. fls also lists deleted names, orphans, names left
// in freed index blocks and streams; only allocated names under allocated
// folders count.
std::vector<ExpectedName> ExpectedNames(const Volume& volume) {
  constexpr std::uint64_t kRootRecord = 5;
  const std::set<std::uint64_t> allocated = ListedRecords(volume.ils, "a");
  std::map<std::string, std::uint64_t> folders = {{"", kRootRecord}};
  std::vector<ExpectedName> expected;
  for (const std::string& line : Split(volume.fls, '\n')) {
    const std::vector<std::string> fields = Split(line, '\t');
    if (fields.size() < 7) continue;
    const std::string& head = fields[0];                // "r/r 64-128-2:" or "-/r * 78-128-2:"
    if (head.find('*') != std::string::npos) continue;  // deleted
    if (head.rfind("V/V", 0) == 0) continue;            // $OrphanFiles
    const std::string path = fields[1];
    const auto slash = path.rfind('/');
    const std::string parentPath = slash == std::string::npos ? "" : path.substr(0, slash);
    const std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
    if (name.find(':') != std::string::npos) continue;  // alternate data stream
    const auto folder = folders.find(parentPath);
    if (folder == folders.end()) continue;  // below a name that was dropped
    const std::string inode = head.substr(4, head.find_first_of("-:", 4) - 4);
    const std::uint64_t file = std::stoull(inode);
    if (allocated.count(file) == 0) continue;
    ExpectedName entry;
    entry.file = file;
    entry.parent = folder->second;
    entry.name = name;
    entry.isDirectory = head[2] == 'd';
    entry.size = std::stoull(fields[6]);
    entry.path = path;
    if (entry.isDirectory) folders[path] = file;
    expected.push_back(entry);
  }
  return expected;
}

using NameKey = std::tuple<std::uint64_t, std::uint64_t, std::string>;

void CheckVolumeNames(Volume& volume) {
  const Decoded decoded = DecodeAll(volume);
  std::map<NameKey, const MftNameEntry*> byKey;
  for (const MftNameEntry& entry : decoded.entries) {
    byKey[{entry.fileReference, entry.parentReference, base::ToUtf8(entry.name)}] = &entry;
  }

  const std::vector<ExpectedName> expected = ExpectedNames(volume);
  ASSERT_GT(expected.size(), 10u);
  std::set<NameKey> expectedKeys;
  for (const ExpectedName& name : expected) {
    const NameKey key{name.file, name.parent, name.name};
    expectedKeys.insert(key);
    const auto found = byKey.find(key);
    if (found == byKey.end()) {
      ADD_FAILURE() << volume.name << ": no entry for " << name.path << " (record " << name.file
                    << ", parent " << name.parent << ")";
      continue;
    }
    EXPECT_EQ(found->second->isDirectory, name.isDirectory) << volume.name << ": " << name.path;
    // fls gives folders the size of their index; folders count as 0 here.
    EXPECT_EQ(found->second->size, name.isDirectory ? 0 : name.size)
        << volume.name << ": " << name.path;
  }

  // Nothing extra: every entry is a name fls lists, except the metadata
  // files fls shows only by their streams and the root's own name.
  const std::set<std::uint64_t> free = ListedRecords(volume.ilsFree, "f");
  for (std::size_t i = 0; i < decoded.entries.size(); ++i) {
    const MftNameEntry& entry = decoded.entries[i];
    EXPECT_TRUE(free.count(decoded.recordOfEntry[i]) == 0)
        << volume.name << ": record " << decoded.recordOfEntry[i] << " is free but yielded "
        << base::ToUtf8(entry.name);
    if (entry.fileReference == 5 || (!entry.name.empty() && entry.name[0] == u'$')) continue;
    EXPECT_TRUE(
        expectedKeys.count({entry.fileReference, entry.parentReference, base::ToUtf8(entry.name)}))
        << volume.name << ": unexpected " << base::ToUtf8(entry.name) << " in record "
        << decoded.recordOfEntry[i];
  }
}

// istat lists every cluster of $MFT's $DATA; clusters past the initialised
// part may print as 0.
void CheckMftRunList(Volume& volume) {
  std::vector<std::uint8_t> record0(volume.mft.begin(), volume.mft.begin() + volume.recordSize);
  ASSERT_TRUE(ApplyUpdateSequence(record0.data(), record0.size(), volume.sectorSize));
  std::vector<MftDataRun> runs;
  std::uint64_t dataSize = 0;
  ASSERT_TRUE(DecodeMftDataRuns(record0, runs, dataSize)) << volume.name;
  EXPECT_EQ(dataSize, volume.mft.size()) << volume.name;

  std::vector<std::int64_t> listed;
  bool inData = false;
  for (const std::string& line : Split(volume.istat0, '\n')) {
    if (line.rfind("Type: ", 0) == 0) {
      inData =
          line.rfind("Type: $DATA (128-", 0) == 0 && line.find("Name: N/A") != std::string::npos;
      if (inData) {
        const auto size = line.find("size: ");
        ASSERT_NE(size, std::string::npos);
        EXPECT_EQ(std::stoull(line.substr(size + 6)), dataSize) << volume.name;
      }
      continue;
    }
    if (!inData) continue;
    std::istringstream numbers(line);
    std::int64_t cluster = 0;
    while (numbers >> cluster) listed.push_back(cluster);
  }
  std::vector<std::int64_t> ours;
  for (const MftDataRun& run : runs) {
    for (std::uint64_t i = 0; i < run.clusterCount; ++i)
      ours.push_back(run.lcn + static_cast<std::int64_t>(i));
  }
  ASSERT_EQ(ours.size(), listed.size()) << volume.name;
  const std::uint64_t usedClusters = (dataSize + volume.clusterSize - 1) / volume.clusterSize;
  for (std::size_t i = 0; i < ours.size(); ++i) {
    if (i < usedClusters) {
      EXPECT_EQ(ours[i], listed[i]) << volume.name << ": cluster " << i;
    } else {
      EXPECT_TRUE(listed[i] == 0 || listed[i] == ours[i]) << volume.name << ": cluster " << i;
    }
  }
}

class MadeVolumeTest : public testing::TestWithParam<const char*> {};

TEST_P(MadeVolumeTest, EveryNameMatchesTheSleuthKit) {
  Volume volume;
  ASSERT_TRUE(LoadVolume(GetParam(), volume))
      << "missing image data for " << GetParam() << " under " << test::TestDataDir()
      << "/ntfs (built by tests/data/build_ntfs_images.sh)";
  CheckVolumeNames(volume);
}

TEST_P(MadeVolumeTest, MftRunListMatchesIstat) {
  Volume volume;
  ASSERT_TRUE(LoadVolume(GetParam(), volume)) << GetParam();
  CheckMftRunList(volume);
}

INSTANTIATE_TEST_SUITE_P(Ntfs3g, MadeVolumeTest,
                         testing::Values("parse_basic", "parse_4k_sectors"));

// What this volume was built to show actually reached the decoder.
TEST(MadeVolumeTest, BasicVolumeHoldsTheAwkwardCases) {
  Volume volume;
  ASSERT_TRUE(LoadVolume("parse_basic", volume));
  const Decoded decoded = DecodeAll(volume);
  std::size_t linksOfTarget = 0;
  std::set<std::uint64_t> linkRecords;
  std::uint64_t target = 0;
  for (std::size_t i = 0; i < decoded.entries.size(); ++i) {
    const MftNameEntry& entry = decoded.entries[i];
    if (base::ToUtf8(entry.name).rfind("hard link number", 0) == 0) {
      ++linksOfTarget;
      target = entry.fileReference;
      linkRecords.insert(decoded.recordOfEntry[i]);
    }
    EXPECT_NE(base::ToUtf8(entry.name), "AVERYL~1.DOC") << "DOS-only alias";
  }
  EXPECT_EQ(linksOfTarget, 120u);
  EXPECT_GT(linkRecords.size(), 1u) << "names should have spilled into extension records";

  // The file grew after its links were made: the names in extension records
  // still carry the old $FILE_NAME size, only the base record's $DATA is
  // right, and the size that record reports is what mends them.
  EXPECT_EQ(decoded.reportedSizes.at(target), 309000u);
  Volume raw;  // DecodeAll repaired the records in place
  ASSERT_TRUE(LoadVolume("parse_basic", raw));
  std::size_t staleNames = 0;
  for (std::uint64_t record : linkRecords) {
    if (record == target) continue;
    std::vector<MftNameEntry> entries;
    ParseFileRecord(raw.mft.data() + record * raw.recordSize, raw.recordSize, record,
                    raw.sectorSize, entries);
    for (const MftNameEntry& entry : entries) {
      EXPECT_EQ(entry.fileReference, target);
      EXPECT_FALSE(entry.hasOwnDataSize);
      if (entry.size == 9000) ++staleNames;
    }
  }
  EXPECT_GT(staleNames, 0u);
}

// Workers decode disjoint slices of one buffer into their own vectors, as
// the engine does; the result must equal one thread's.
TEST(MadeVolumeTest, DecodesOnSeveralThreadsLikeOnOne) {
  Volume serial;
  ASSERT_TRUE(LoadVolume("parse_basic", serial));
  Volume parallel = serial;
  const Decoded expected = DecodeAll(serial);

  const std::uint64_t recordCount = parallel.mft.size() / parallel.recordSize;
  constexpr std::uint64_t kWorkers = 4;
  const std::uint64_t slice = (recordCount + kWorkers - 1) / kWorkers;
  std::vector<std::vector<MftNameEntry>> perWorker(kWorkers);
  std::vector<std::vector<MftDataSize>> sizesPerWorker(kWorkers);
  std::vector<std::thread> workers;
  for (std::uint64_t w = 0; w < kWorkers; ++w) {
    workers.emplace_back([&, w] {
      for (std::uint64_t record = w * slice; record < std::min(recordCount, (w + 1) * slice);
           ++record) {
        ParseFileRecord(parallel.mft.data() + record * parallel.recordSize, parallel.recordSize,
                        record, parallel.sectorSize, perWorker[w], &sizesPerWorker[w]);
      }
    });
  }
  for (std::thread& worker : workers) worker.join();

  std::vector<MftNameEntry> merged;
  for (auto& part : perWorker) {
    for (auto& entry : part) merged.push_back(std::move(entry));
  }
  ASSERT_EQ(merged.size(), expected.entries.size());
  for (std::size_t i = 0; i < merged.size(); ++i) {
    EXPECT_EQ(merged[i].name, expected.entries[i].name);
    EXPECT_EQ(merged[i].fileReference, expected.entries[i].fileReference);
    EXPECT_EQ(merged[i].parentReference, expected.entries[i].parentReference);
  }
  EXPECT_EQ(parallel.mft, serial.mft) << "both repaired the same bytes the same way";
}

class WindowsVolumeTest : public testing::TestWithParam<const char*> {
 protected:
  void SetUp() override {
    if (!LoadVolume(GetParam(), volume_)) {
      GTEST_SKIP() << "Windows-made image " << GetParam() << " not present (needs "
                   << test::SharedTestDataDir() << "/ntfs and tests/data/build_ntfs_images.sh)";
    }
  }
  Volume volume_;
};

TEST_P(WindowsVolumeTest, EveryNameMatchesTheSleuthKit) { CheckVolumeNames(volume_); }
TEST_P(WindowsVolumeTest, MftRunListMatchesIstat) {
  CheckMftRunList(volume_);
  std::vector<std::uint8_t> record0(volume_.mft.begin(), volume_.mft.begin() + volume_.recordSize);
  ASSERT_TRUE(ApplyUpdateSequence(record0.data(), record0.size(), volume_.sectorSize));
  std::vector<MftDataRun> runs;
  std::uint64_t dataSize = 0;
  ASSERT_TRUE(DecodeMftDataRuns(record0, runs, dataSize));
  EXPECT_EQ(runs.size(), 2u) << "both images keep $MFT in two runs";
}

INSTANTIATE_TEST_SUITE_P(Windows, WindowsVolumeTest, testing::Values("winxp_dftt7", "win7_tiny"));

// Windows XP left ten deleted records (29-38) with their names and runs.
TEST(WindowsVolumeTest, DeletedRecordsYieldNothing) {
  Volume volume;
  if (!LoadVolume("winxp_dftt7", volume))
    GTEST_SKIP() << "Windows-made image winxp_dftt7 not present";
  for (std::uint64_t record = 29; record <= 38; ++record) {
    std::vector<std::uint8_t> bytes(volume.mft.begin() + record * volume.recordSize,
                                    volume.mft.begin() + (record + 1) * volume.recordSize);
    ASSERT_TRUE(ApplyUpdateSequence(bytes.data(), bytes.size(), volume.sectorSize));
    bytes.assign(volume.mft.begin() + record * volume.recordSize,
                 volume.mft.begin() + (record + 1) * volume.recordSize);
    std::vector<MftNameEntry> entries;
    ParseFileRecord(bytes.data(), bytes.size(), record, volume.sectorSize, entries);
    EXPECT_TRUE(entries.empty()) << "record " << record;
  }
}

// Both images hold files with a separate DOS alias: the long name is
// listed, the alias is not.
TEST(WindowsVolumeTest, DosAliasesAreDropped) {
  for (const char* name : {"winxp_dftt7", "win7_tiny"}) {
    Volume volume;
    if (!LoadVolume(name, volume)) GTEST_SKIP() << "Windows-made image " << name << " not present";
    // The names themselves are checked against fls above; here only that
    // the image really holds aliases for that check to drop. Raw count of $FILE_NAME attributes
    // with namespace 2 in those files.
    std::size_t dosOnly = 0;
    for (std::uint64_t record = 16; record < volume.mft.size() / volume.recordSize; ++record) {
      std::vector<std::uint8_t> bytes(volume.mft.begin() + record * volume.recordSize,
                                      volume.mft.begin() + (record + 1) * volume.recordSize);
      if (!ApplyUpdateSequence(bytes.data(), bytes.size(), volume.sectorSize)) continue;
      if ((bytes[0x16] & 1) == 0) continue;
      std::size_t p = bytes[0x14] | (bytes[0x15] << 8);
      while (p + 16 <= bytes.size()) {
        const std::uint32_t type = bytes[p] | (bytes[p + 1] << 8) | (bytes[p + 2] << 16) |
                                   (static_cast<std::uint32_t>(bytes[p + 3]) << 24);
        const std::size_t length = bytes[p + 4] | (bytes[p + 5] << 8) | (bytes[p + 6] << 16);
        if (type == 0xFFFFFFFF || length < 16 || p + length > bytes.size()) break;
        if (type == 0x30) {
          const std::size_t value = p + (bytes[p + 0x14] | (bytes[p + 0x15] << 8));
          if (value + 0x42 <= p + length && bytes[value + 0x41] == 2) ++dosOnly;
        }
        p += length;
      }
    }
    EXPECT_GT(dosOnly, 0u) << name << " was expected to hold DOS aliases";
  }
}

}  // namespace
}  // namespace ombrix::core
