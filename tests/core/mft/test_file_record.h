// Builds NTFS file records byte by byte for the cases real volumes never
// show: damaged lengths, wrong update sequences, odd namespaces. Bytes()
// lays the record out like NTFS does (header, update sequence array,
// attributes, end marker) and applies the multi-sector protection.
#pragma once

#include <algorithm>
#include <cstdint>
#include <stdexcept>
#include <string>
#include <vector>

namespace ombrix::test {

// How a non-resident stream's clusters are described: its allocated size,
// and for a compressed (0x0001) or sparse (0x8000) one, the 0x48-byte
// header's total allocated.
struct StreamAllocation {
  std::int64_t allocated = -1;  // -1: the data size
  std::uint16_t flags = 0;
  std::int64_t totalAllocated = 0;
};

class TestFileRecord {
 public:
  static constexpr std::uint16_t kInUse = 0x0001;
  static constexpr std::uint16_t kDirectory = 0x0002;

  explicit TestFileRecord(std::uint32_t length = 1024, std::uint32_t stride = 512)
      : length_(length), stride_(stride) {}

  TestFileRecord& Flags(std::uint16_t flags) {
    flags_ = flags;
    return *this;
  }
  TestFileRecord& BaseReference(std::uint64_t reference) {
    base_ = reference;
    return *this;
  }
  // Bytes in use as stored; by default the end of the attributes.
  TestFileRecord& BytesInUse(std::uint32_t value) {
    bytesInUse_ = value;
    hasBytesInUse_ = true;
    return *this;
  }
  TestFileRecord& WithoutEndMarker() {
    endMarker_ = false;
    return *this;
  }
  TestFileRecord& UpdateSequenceCount(std::uint16_t count) {
    usaCount_ = count;
    return *this;
  }

  TestFileRecord& FileName(std::uint64_t parent, const std::u16string& name,
                           std::uint8_t nameSpace = 1, std::int64_t realSize = 0,
                           std::uint32_t attributes = 0x20) {
    std::vector<std::uint8_t> value(0x42 + 2 * name.size());
    Put(value, 0x00, parent, 8);
    Put(value, 0x30, static_cast<std::uint64_t>(realSize), 8);
    Put(value, 0x38, attributes, 4);
    value[0x40] = static_cast<std::uint8_t>(name.size());
    value[0x41] = nameSpace;
    for (std::size_t i = 0; i < name.size(); ++i) Put(value, 0x42 + 2 * i, name[i], 2);
    return Resident(0x30, value);
  }

  // A resident attribute: 0x18-byte header, then the value.
  TestFileRecord& Resident(std::uint32_t type, const std::vector<std::uint8_t>& value,
                           const std::u16string& name = u"") {
    const std::size_t nameOffset = 0x18;
    const std::size_t valueOffset = Align8(nameOffset + 2 * name.size());
    std::vector<std::uint8_t> attribute(Align8(valueOffset + value.size()));
    Header(attribute, type, 0, name, nameOffset);
    Put(attribute, 0x10, value.size(), 4);
    Put(attribute, 0x14, valueOffset, 2);
    std::copy(value.begin(), value.end(), attribute.begin() + valueOffset);
    return Raw(attribute);
  }

  TestFileRecord& ResidentData(std::size_t valueLength, const std::u16string& streamName = u"") {
    return Resident(0x80, std::vector<std::uint8_t>(valueLength, 0x5A), streamName);
  }

  // A non-resident attribute: 0x40-byte header (0x48 when compressed or
  // sparse), then the mapping pairs.
  TestFileRecord& NonResident(std::uint32_t type, std::int64_t dataSize,
                              const std::vector<std::uint8_t>& mappingPairs,
                              std::int64_t lowestVcn = 0, const std::u16string& name = u"",
                              StreamAllocation allocation = {}) {
    const bool holes = (allocation.flags & 0x8001) != 0;
    const std::size_t nameOffset = holes ? 0x48 : 0x40;
    const std::size_t pairsOffset = Align8(nameOffset + 2 * name.size());
    std::vector<std::uint8_t> attribute(Align8(pairsOffset + mappingPairs.size()));
    Header(attribute, type, 1, name, nameOffset);
    Put(attribute, 0x0C, allocation.flags, 2);
    Put(attribute, 0x10, static_cast<std::uint64_t>(lowestVcn), 8);
    Put(attribute, 0x18, static_cast<std::uint64_t>(lowestVcn + RunClusters(mappingPairs) - 1), 8);
    Put(attribute, 0x20, pairsOffset, 2);
    Put(attribute, 0x28,
        static_cast<std::uint64_t>(allocation.allocated < 0 ? dataSize : allocation.allocated), 8);
    Put(attribute, 0x30, static_cast<std::uint64_t>(dataSize), 8);
    Put(attribute, 0x38, static_cast<std::uint64_t>(dataSize), 8);
    if (holes) Put(attribute, 0x40, static_cast<std::uint64_t>(allocation.totalAllocated), 8);
    std::copy(mappingPairs.begin(), mappingPairs.end(), attribute.begin() + pairsOffset);
    return Raw(attribute);
  }

  TestFileRecord& NonResidentData(std::int64_t dataSize, std::int64_t lowestVcn = 0,
                                  const std::u16string& streamName = u"",
                                  StreamAllocation allocation = {}) {
    return NonResident(0x80, dataSize, {0x11, 0x01, 0x20, 0x00}, lowestVcn, streamName,
                       allocation);
  }

  // An attribute exactly as given (its length field is taken as written).
  TestFileRecord& Raw(const std::vector<std::uint8_t>& attribute) {
    attributes_.insert(attributes_.end(), attribute.begin(), attribute.end());
    return *this;
  }

  // Type and length only: lengths below a header are what damage looks like.
  TestFileRecord& BareAttribute(std::uint32_t type, std::uint32_t length) {
    std::vector<std::uint8_t> attribute(16);
    Put(attribute, 0, type, 4);
    Put(attribute, 4, length, 4);
    return Raw(attribute);
  }

  std::vector<std::uint8_t> Bytes(std::uint16_t sequenceNumber = 0x0007) const {
    std::vector<std::uint8_t> record(length_);
    const std::uint16_t usaCount =
        usaCount_ != 0 ? usaCount_ : static_cast<std::uint16_t>(length_ / stride_ + 1);
    const std::size_t usaOffset = 0x30;
    const std::size_t firstAttribute = Align8(usaOffset + 2 * usaCount);
    Put(record, 0, 0x454C4946, 4);
    Put(record, 0x04, usaOffset, 2);
    Put(record, 0x06, usaCount, 2);
    Put(record, 0x14, firstAttribute, 2);
    Put(record, 0x16, flags_, 2);
    Put(record, 0x1C, length_, 4);
    Put(record, 0x20, base_, 8);
    std::size_t end = firstAttribute;
    if (end + attributes_.size() + 8 > length_)
      throw std::length_error("attributes overflow the test record");
    std::copy(attributes_.begin(), attributes_.end(), record.begin() + end);
    end += attributes_.size();
    if (endMarker_) {
      Put(record, end, 0xFFFFFFFF, 4);
      end += 8;
    }
    Put(record, 0x18, hasBytesInUse_ ? bytesInUse_ : end, 4);
    // Multi-sector protection: every stride's last two bytes move into the
    // array and are replaced by the sequence number.
    Put(record, usaOffset, sequenceNumber, 2);
    for (std::size_t tail = stride_ - 2, i = 1; tail + 2 <= length_ && i < usaCount;
         tail += stride_, ++i) {
      record[usaOffset + 2 * i] = record[tail];
      record[usaOffset + 2 * i + 1] = record[tail + 1];
      Put(record, tail, sequenceNumber, 2);
    }
    return record;
  }

  static void Put(std::vector<std::uint8_t>& bytes, std::size_t offset, std::uint64_t value,
                  int width) {
    for (int i = 0; i < width; ++i)
      bytes.at(offset + i) = static_cast<std::uint8_t>(value >> (8 * i));
  }

 private:
  // The clusters mapping pairs cover, holes included.
  // Broken pairs (the cases that test them) count what can be read.
  static std::int64_t RunClusters(const std::vector<std::uint8_t>& pairs) {
    std::uint64_t clusters = 0;
    for (std::size_t at = 0; at < pairs.size() && pairs[at] != 0;) {
      const unsigned lengthBytes = std::min(pairs[at] & 0x0F, 8);
      std::uint64_t length = 0;
      for (unsigned i = 0; i < lengthBytes && at + 1 + i < pairs.size(); ++i) {
        length |= std::uint64_t{pairs[at + 1 + i]} << (8 * i);
      }
      clusters += length;
      at += 1 + (pairs[at] & 0x0F) + (pairs[at] >> 4);
    }
    return static_cast<std::int64_t>(clusters);
  }

  static std::size_t Align8(std::size_t value) { return (value + 7) & ~std::size_t{7}; }

  static void Header(std::vector<std::uint8_t>& attribute, std::uint32_t type,
                     std::uint8_t nonResident, const std::u16string& name, std::size_t nameOffset) {
    Put(attribute, 0, type, 4);
    Put(attribute, 4, attribute.size(), 4);
    attribute[8] = nonResident;
    attribute[9] = static_cast<std::uint8_t>(name.size());
    Put(attribute, 0x0A, name.empty() ? 0 : nameOffset, 2);
    for (std::size_t i = 0; i < name.size(); ++i) Put(attribute, nameOffset + 2 * i, name[i], 2);
  }

  std::uint32_t length_;
  std::uint32_t stride_;
  std::uint16_t flags_ = kInUse;
  std::uint64_t base_ = 0;
  std::uint32_t bytesInUse_ = 0;
  bool hasBytesInUse_ = false;
  bool endMarker_ = true;
  std::uint16_t usaCount_ = 0;
  std::vector<std::uint8_t> attributes_;
};

}  // namespace ombrix::test
