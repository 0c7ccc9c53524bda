// The one way Ombrix reads structured bytes that came from outside the
// process (directory query buffers, disk records): every read names an
// offset and is checked against the length first, in overflow-safe
// arithmetic, so a hostile length field can never make a read leave the
// buffer. Values are assembled byte by byte, little-endian, so no pointer is
// ever cast onto buffer bytes and alignment never matters.
#pragma once

#include <cstddef>
#include <cstdint>

namespace ombrix::core {

class LittleEndianReader {
 public:
  LittleEndianReader(const std::uint8_t* data, std::size_t length)
      : data_(data), length_(data != nullptr ? length : 0) {}

  std::size_t Length() const { return length_; }

  // True when [offset, offset + count) lies inside the bytes.
  bool Contains(std::size_t offset, std::size_t count) const {
    return offset <= length_ && count <= length_ - offset;
  }

  bool ReadU8(std::size_t offset, std::uint8_t& value) const { return Read(offset, value); }
  bool ReadU16(std::size_t offset, std::uint16_t& value) const { return Read(offset, value); }
  bool ReadU32(std::size_t offset, std::uint32_t& value) const { return Read(offset, value); }
  bool ReadU64(std::size_t offset, std::uint64_t& value) const { return Read(offset, value); }

  bool ReadI64(std::size_t offset, std::int64_t& value) const {
    std::uint64_t raw = 0;
    if (!Read(offset, raw)) return false;
    value = static_cast<std::int64_t>(raw);
    return true;
  }

  // count UTF-16 code units starting at offset, appended to text.
  template <typename Text>
  bool ReadUtf16(std::size_t offset, std::size_t unitCount, Text& text) const {
    if (unitCount > length_ / 2 || !Contains(offset, unitCount * 2)) return false;
    for (std::size_t i = 0; i < unitCount; ++i) {
      const std::uint8_t* unit = data_ + offset + 2 * i;
      text.push_back(static_cast<char16_t>(unit[0] | (unit[1] << 8)));
    }
    return true;
  }

 private:
  template <typename Unsigned>
  bool Read(std::size_t offset, Unsigned& value) const {
    if (!Contains(offset, sizeof(Unsigned))) return false;
    Unsigned result = 0;
    for (std::size_t i = 0; i < sizeof(Unsigned); ++i) {
      result |= static_cast<Unsigned>(static_cast<Unsigned>(data_[offset + i]) << (8 * i));
    }
    value = result;
    return true;
  }

  const std::uint8_t* data_;
  std::size_t length_;
};

}  // namespace ombrix::core
