// Hand-built MFT records and an in-memory volume for the engine's tests:
// what a real disk never shows on demand (short reads, failing calls,
// exact chunk boundaries) is staged here.
#pragma once

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "core/mft/mft_record.h"
#include "core/mft/volume_reader.h"
#include "tests/core/mft/test_file_record.h"

namespace ombrix::test {

// Writes a record built by TestFileRecord into a volume's bytes.
inline void PlaceRecord(std::vector<std::uint8_t>& bytes, std::size_t at,
                        const TestFileRecord& record) {
  const std::vector<std::uint8_t> recordBytes = record.Bytes();
  std::copy(recordBytes.begin(), recordBytes.end(),
            bytes.begin() + static_cast<std::ptrdiff_t>(at));
}

inline TestFileRecord FileRecord(std::uint64_t parent, const std::u16string& name,
                                 std::size_t dataLength) {
  return TestFileRecord().FileName(parent, name).ResidentData(dataLength);
}

inline TestFileRecord FolderRecord(std::uint64_t parent, const std::u16string& name) {
  return TestFileRecord()
      .Flags(TestFileRecord::kInUse | TestFileRecord::kDirectory)
      .FileName(parent, name, 1, 0, 0);
}

// $MFT's own record: its name and the run list of its data stream.
inline TestFileRecord MftRecord(std::int64_t dataSize,
                                const std::vector<std::uint8_t>& mappingPairs) {
  return TestFileRecord().FileName(5, u"$MFT", 3, 0, 0x6).NonResident(0x80, dataSize, mappingPairs);
}

// Mapping pairs for a list of (cluster count, lcn) runs, deltas included.
inline std::vector<std::uint8_t> EncodeMappingPairs(
    const std::vector<std::pair<std::uint64_t, std::int64_t>>& runs) {
  std::vector<std::uint8_t> pairs;
  std::int64_t previous = 0;
  for (const auto& [count, lcn] : runs) {
    std::vector<std::uint8_t> length;
    for (std::uint64_t c = count; c != 0; c >>= 8) length.push_back(static_cast<std::uint8_t>(c));
    std::vector<std::uint8_t> delta;
    std::int64_t d = lcn - previous;
    previous = lcn;
    for (;;) {
      delta.push_back(static_cast<std::uint8_t>(d & 0xFF));
      const std::int64_t rest = d >> 8;
      const bool signOk = ((delta.back() & 0x80) != 0) == (rest < 0);
      if ((rest == 0 || rest == -1) && signOk) break;
      d = rest;
    }
    pairs.push_back(static_cast<std::uint8_t>(length.size() | (delta.size() << 4)));
    pairs.insert(pairs.end(), length.begin(), length.end());
    pairs.insert(pairs.end(), delta.begin(), delta.end());
  }
  pairs.push_back(0);
  return pairs;
}

// An in-memory volume. Every call can be made to fail; reads can be cut
// short at chosen offsets; each read can run a hook (for cancellation).
class FakeVolume : public core::IVolumeReader {
 public:
  core::VolumeOpenResult openResult = core::VolumeOpenResult::Opened;
  bool queryOk = true;
  core::NtfsVolumeGeometry geometry{512, 4096, 1024, 4, 0, std::nullopt};
  bool resolveOk = true;
  core::ScanRootLocation root{5, {}};
  std::vector<std::uint8_t> bytes;
  std::map<std::uint64_t, std::uint32_t> shortReads;  // offset -> bytes delivered
  std::uint64_t failReadAt = ~std::uint64_t{0};
  std::function<void(std::uint64_t offset)> onRead;
  std::vector<std::pair<std::uint64_t, std::uint32_t>> reads;
  bool rootAttributesOk = false;

  core::VolumeOpenResult Open(const std::u16string&) override { return openResult; }
  // A geometry without a cluster count stands for a volume exactly as large
  // as its bytes.
  bool QueryGeometry(core::NtfsVolumeGeometry& g) override {
    if (!queryOk) return false;
    g = geometry;
    if (g.totalClusters == 0 && g.bytesPerCluster != 0) {
      g.totalClusters = (bytes.size() + g.bytesPerCluster - 1) / g.bytesPerCluster;
    }
    return true;
  }
  bool ResolveRoot(const std::u16string&, core::ScanRootLocation& r) override {
    if (resolveOk) r = root;
    return resolveOk;
  }
  bool ReadAt(std::uint64_t offset, std::uint8_t* buffer, std::uint32_t length,
              std::uint32_t& bytesRead) override {
    reads.emplace_back(offset, length);
    if (onRead) onRead(offset);
    bytesRead = 0;
    if (offset == failReadAt) return false;
    std::uint64_t available = offset < bytes.size() ? bytes.size() - offset : 0;
    if (auto it = shortReads.find(offset); it != shortReads.end()) {
      available = std::min<std::uint64_t>(available, it->second);
    }
    bytesRead = static_cast<std::uint32_t>(std::min<std::uint64_t>(available, length));
    if (bytesRead > 0) std::memcpy(buffer, bytes.data() + offset, bytesRead);
    return true;
  }
  std::optional<core::PathAttributes> RootAttributes(const std::u16string&) override {
    if (!rootAttributesOk) return std::nullopt;
    return core::PathAttributes{0x16, 1234};
  }

  // Lays out an MFT of recordCount 1024-byte records in one run at cluster
  // mftStartLcn, with record 0 describing it; records fill the slots given.
  void LayOutMft(std::uint64_t recordCount,
                 const std::map<std::uint64_t, TestFileRecord>& records) {
    const std::uint32_t r = geometry.bytesPerFileRecordSegment;
    const std::uint64_t mftLength = recordCount * r;
    const std::uint64_t clusters =
        (mftLength + geometry.bytesPerCluster - 1) / geometry.bytesPerCluster;
    const std::uint64_t mftOffset =
        static_cast<std::uint64_t>(geometry.mftStartLcn) * geometry.bytesPerCluster;
    bytes.assign(mftOffset + clusters * geometry.bytesPerCluster, 0);
    PlaceRecord(bytes, mftOffset,
                MftRecord(static_cast<std::int64_t>(mftLength),
                          EncodeMappingPairs({{clusters, geometry.mftStartLcn}})));
    for (const auto& [number, record] : records) {
      PlaceRecord(bytes, mftOffset + number * r, record);
    }
  }
};

}  // namespace ombrix::test
