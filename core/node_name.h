// A node's name as the result stores it, and a read-only view of it.
//
// Most names on a volume are ASCII, so a name whose every UTF-16 unit is
// below 0x100 is kept at one byte a unit; any other name keeps its 16-bit
// units as they are, unpaired surrogates included, so nothing an engine saw
// is lost or changed. A name starts with a small header (LEB128 of
// length << 1 | wide) and never needs a terminator.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>

namespace ombrix::core {

// Longest name a result holds, in UTF-16 units: far beyond any file system's
// (NTFS allows 255), and still one block of a name arena.
inline constexpr std::uint32_t kMaxNameLength = 1u << 22;

class NodeName {
 public:
  NodeName() = default;
  // The name whose header starts at encoded. Inline: sorting a folder of a
  // million names decodes tens of millions of headers, nearly all of one
  // byte.
  static NodeName Decode(const std::uint8_t* encoded) {
    if (encoded[0] < 0x80) return NodeName(encoded + 1, encoded[0] >> 1, 1, (encoded[0] & 1) != 0);
    return DecodeLongHeader(encoded);
  }

  std::size_t size() const { return length_; }
  bool empty() const { return length_ == 0; }
  bool IsWide() const { return wide_; }

  char16_t operator[](std::size_t i) const {
    if (!wide_) return data_[i];
    char16_t unit;
    std::memcpy(&unit, data_ + 2 * i, sizeof unit);
    return unit;
  }

  // The units as stored: one byte each, or two (in memory order) when wide.
  const std::uint8_t* Units() const { return data_; }

  std::u16string ToString() const;
  void AppendTo(std::u16string& out) const;

  // Ordinal comparison of the UTF-16 units, a proper prefix first: the order
  // of std::u16string's operator<.
  int Compare(const NodeName& other) const;
  int Compare(std::u16string_view other) const;
  bool operator==(std::u16string_view other) const { return Compare(other) == 0; }
  bool operator==(const NodeName& other) const { return Compare(other) == 0; }

  // Bytes the encoded form (header included) takes.
  std::size_t EncodedLength() const { return headerLength_ + length_ * (wide_ ? 2u : 1u); }
  const std::uint8_t* EncodedStart() const { return data_ - headerLength_; }

 private:
  NodeName(const std::uint8_t* data, std::uint32_t length, std::uint8_t headerLength, bool wide)
      : data_(data), length_(length), headerLength_(headerLength), wide_(wide) {}
  static NodeName DecodeLongHeader(const std::uint8_t* encoded);

  const std::uint8_t* data_ = nullptr;
  std::uint32_t length_ = 0;
  std::uint8_t headerLength_ = 0;
  bool wide_ = false;
};

// Bytes EncodeName writes for name (at most kMaxNameLength units).
std::size_t EncodedNameLength(std::u16string_view name);
// Writes the header and units of name at out; returns the bytes written.
std::size_t EncodeName(std::u16string_view name, std::uint8_t* out);

// The header of a name of length units, one byte a unit or two; and the
// bytes it takes. WriteNameHeader returns the bytes written.
std::size_t NameHeaderLength(std::size_t length, bool wide);
std::size_t WriteNameHeader(std::size_t length, bool wide, std::uint8_t* out);

}  // namespace ombrix::core
