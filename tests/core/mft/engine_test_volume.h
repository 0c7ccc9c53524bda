// Hand-built MFT records and an in-memory volume for the engine's tests:
// what a real disk never shows on demand (short reads, failing calls,
// exact chunk boundaries) is staged here.
#pragma once

#include <cstdint>
#include <cstring>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "core/mft/mft_record.h"
#include "core/mft/volume_reader.h"

namespace ombrix::test {

struct TestName {
  std::uint64_t parent = 5;
  std::u16string name;
  std::uint64_t realSize = 0;
  std::uint32_t flags = 0;
  std::uint8_t nameSpace = 1;  // Win32
};

struct TestRecord {
  bool inUse = true;
  bool directory = false;
  std::uint64_t baseReference = 0;
  std::vector<TestName> names;
  bool hasResidentData = false;
  std::uint32_t residentDataLength = 0;
  bool reparsePoint = false;
  // Non-resident unnamed $DATA: its data size and mapping pairs.
  bool hasRunList = false;
  std::uint64_t runListDataSize = 0;
  std::vector<std::uint8_t> mappingPairs;
};

class RecordWriter {
 public:
  RecordWriter(std::vector<std::uint8_t>& bytes, std::size_t at) : bytes_(bytes), at_(at) {}
  void U8(std::size_t offset, std::uint8_t value) { bytes_[at_ + offset] = value; }
  void U16(std::size_t offset, std::uint16_t value) { Put(offset, value, 2); }
  void U32(std::size_t offset, std::uint32_t value) { Put(offset, value, 4); }
  void U64(std::size_t offset, std::uint64_t value) { Put(offset, value, 8); }

 private:
  void Put(std::size_t offset, std::uint64_t value, int width) {
    for (int i = 0; i < width; ++i) bytes_[at_ + offset + i] = static_cast<std::uint8_t>(value >> (8 * i));
  }
  std::vector<std::uint8_t>& bytes_;
  std::size_t at_;
};

// Writes record into bytes[at, at + recordLength), protected by an update
// sequence for sectorLength-byte sectors, as NTFS writes it.
inline void WriteTestRecord(std::vector<std::uint8_t>& bytes, std::size_t at,
                            std::uint32_t recordLength, std::uint32_t sectorLength,
                            const TestRecord& record) {
  std::memset(bytes.data() + at, 0, recordLength);
  RecordWriter w(bytes, at);
  const std::uint16_t sectors = static_cast<std::uint16_t>(recordLength / sectorLength);
  const std::uint16_t usaOffset = 0x30;
  const std::uint16_t usaCount = sectors + 1;
  std::size_t p = (usaOffset + 2u * usaCount + 7u) & ~std::size_t{7};
  w.U32(0, 0x454C4946);  // "FILE"
  w.U16(0x04, usaOffset);
  w.U16(0x06, usaCount);
  w.U16(0x14, static_cast<std::uint16_t>(p));
  w.U16(0x16, static_cast<std::uint16_t>((record.inUse ? 1 : 0) | (record.directory ? 2 : 0)));
  w.U64(0x20, record.baseReference);

  for (const TestName& n : record.names) {
    const std::uint32_t valueLength = 0x42 + 2u * static_cast<std::uint32_t>(n.name.size());
    const std::uint32_t length = (0x18 + valueLength + 7u) & ~7u;
    w.U32(p, 0x30);
    w.U32(p + 4, length);
    w.U32(p + 0x10, valueLength);
    w.U16(p + 0x14, 0x18);
    const std::size_t v = p + 0x18;
    w.U64(v, n.parent | (std::uint64_t{1} << 48));
    w.U64(v + 0x30, n.realSize);
    w.U32(v + 0x38, n.flags);
    w.U8(v + 0x40, static_cast<std::uint8_t>(n.name.size()));
    w.U8(v + 0x41, n.nameSpace);
    for (std::size_t i = 0; i < n.name.size(); ++i) w.U16(v + 0x42 + 2 * i, n.name[i]);
    p += length;
  }
  if (record.hasResidentData) {
    const std::uint32_t length = (0x18 + record.residentDataLength + 7u) & ~7u;
    w.U32(p, 0x80);
    w.U32(p + 4, length);
    w.U32(p + 0x10, record.residentDataLength);
    w.U16(p + 0x14, 0x18);
    p += length;
  }
  if (record.hasRunList) {
    const std::uint32_t length =
        (0x40 + static_cast<std::uint32_t>(record.mappingPairs.size()) + 7u) & ~7u;
    w.U32(p, 0x80);
    w.U32(p + 4, length);
    w.U8(p + 8, 1);
    w.U16(p + 0x20, 0x40);
    w.U64(p + 0x28, record.runListDataSize);
    w.U64(p + 0x30, record.runListDataSize);
    w.U64(p + 0x38, record.runListDataSize);
    for (std::size_t i = 0; i < record.mappingPairs.size(); ++i) {
      w.U8(p + 0x40 + i, record.mappingPairs[i]);
    }
    p += length;
  }
  if (record.reparsePoint) {
    w.U32(p, 0xC0);
    w.U32(p + 4, 0x20);
    w.U32(p + 0x10, 8);
    w.U16(p + 0x14, 0x18);
    p += 0x20;
  }
  w.U32(p, 0xFFFFFFFF);
  p += 8;
  w.U32(0x18, static_cast<std::uint32_t>(p));
  w.U32(0x1C, recordLength);

  const std::uint16_t sequence = 0x0007;
  w.U16(usaOffset, sequence);
  for (std::uint16_t s = 0; s < sectors; ++s) {
    const std::size_t tail = (s + 1u) * sectorLength - 2;
    w.U16(usaOffset + 2u * (s + 1), static_cast<std::uint16_t>(bytes[at + tail] | (bytes[at + tail + 1] << 8)));
    w.U16(tail, sequence);
  }
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
  core::NtfsVolumeGeometry geometry{512, 4096, 1024, 4};
  bool resolveOk = true;
  core::ScanRootLocation root{5, {}};
  std::vector<std::uint8_t> bytes;
  std::map<std::uint64_t, std::uint32_t> shortReads;  // offset -> bytes delivered
  std::uint64_t failReadAt = ~std::uint64_t{0};
  std::function<void(std::uint64_t offset)> onRead;
  std::vector<std::pair<std::uint64_t, std::uint32_t>> reads;
  bool rootAttributesOk = false;

  core::VolumeOpenResult Open(const std::u16string&) override { return openResult; }
  bool QueryGeometry(core::NtfsVolumeGeometry& g) override {
    if (queryOk) g = geometry;
    return queryOk;
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
  bool RootAttributes(const std::u16string&, std::uint32_t& attributes,
                      std::uint64_t& lastWriteTime) override {
    if (!rootAttributesOk) return false;
    attributes = 0x16;
    lastWriteTime = 1234;
    return true;
  }

  // Lays out an MFT of recordCount records in one run at cluster mftLcn,
  // with record 0 describing it; records[i] fill the slots given.
  void LayOutMft(std::uint64_t recordCount, const std::map<std::uint64_t, TestRecord>& records,
                 std::uint64_t dataSize = 0) {
    const std::uint32_t r = geometry.bytesPerFileRecordSegment;
    const std::uint64_t mftLength = recordCount * r;
    const std::uint64_t clusters = (mftLength + geometry.bytesPerCluster - 1) / geometry.bytesPerCluster;
    const std::uint64_t mftOffset = static_cast<std::uint64_t>(geometry.mftStartLcn) * geometry.bytesPerCluster;
    bytes.assign(mftOffset + clusters * geometry.bytesPerCluster, 0);
    TestRecord mft;
    mft.names.push_back({5, u"$MFT", 0, 0x6});
    mft.hasRunList = true;
    mft.runListDataSize = dataSize != 0 ? dataSize : mftLength;
    mft.mappingPairs = EncodeMappingPairs({{clusters, geometry.mftStartLcn}});
    WriteTestRecord(bytes, mftOffset, r, geometry.bytesPerSector, mft);
    for (const auto& [number, record] : records) {
      WriteTestRecord(bytes, mftOffset + number * r, r, geometry.bytesPerSector, record);
    }
  }
};

inline TestRecord FileRecord(std::uint64_t parent, std::u16string name, std::uint32_t dataLength) {
  TestRecord record;
  record.names.push_back({parent, std::move(name), 0, 0x20});
  record.hasResidentData = true;
  record.residentDataLength = dataLength;
  return record;
}

inline TestRecord FolderRecord(std::uint64_t parent, std::u16string name) {
  TestRecord record;
  record.directory = true;
  record.names.push_back({parent, std::move(name), 0, 0});
  return record;
}

}  // namespace ombrix::test
