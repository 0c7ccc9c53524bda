// The one way this program reads integers out of bytes that came from
// outside the process (disk records, directory query buffers). Every read names an offset and width
// and is checked against the length the reader was made with, with overflow-safe arithmetic, so a
// hostile offset can never reach outside the buffer. Values are copied out
// of the bytes, never read by casting a pointer onto them: NTFS fields are
// not necessarily aligned.
#pragma once

#include <bit>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <optional>
#include <string>

namespace ombrix::base {

class LeReader {
 public:
  constexpr LeReader(const std::uint8_t* data, std::uint64_t length) noexcept
      : data_(data), length_(data == nullptr ? 0 : length) {}

  constexpr std::uint64_t Length() const noexcept { return length_; }
  constexpr const std::uint8_t* Data() const noexcept { return data_; }

  // True when [offset, offset + count) lies inside the buffer.
  constexpr bool Contains(std::uint64_t offset, std::uint64_t count) const noexcept {
    return offset <= length_ && count <= length_ - offset;
  }

  // The bytes [offset, offset + count) as a reader of their own, or nothing
  // when they are not all inside this one.
  constexpr std::optional<LeReader> Slice(std::uint64_t offset,
                                          std::uint64_t count) const noexcept {
    if (!Contains(offset, count)) return std::nullopt;
    return LeReader(data_ + offset, count);
  }

  std::optional<std::uint8_t> U8(std::uint64_t offset) const noexcept {
    if (!Contains(offset, 1)) return std::nullopt;
    return data_[offset];
  }
  std::optional<std::uint16_t> U16(std::uint64_t offset) const noexcept {
    if (!Contains(offset, 2)) return std::nullopt;
    return Load<std::uint16_t>(offset);
  }
  std::optional<std::uint32_t> U32(std::uint64_t offset) const noexcept {
    if (!Contains(offset, 4)) return std::nullopt;
    return Load<std::uint32_t>(offset);
  }
  std::optional<std::uint64_t> U64(std::uint64_t offset) const noexcept {
    if (!Contains(offset, 8)) return std::nullopt;
    return Load<std::uint64_t>(offset);
  }
  std::optional<std::int64_t> I64(std::uint64_t offset) const noexcept {
    if (!Contains(offset, 8)) return std::nullopt;
    return static_cast<std::int64_t>(Load<std::uint64_t>(offset));
  }

  // An unsigned number of 1 to 8 bytes (NTFS mapping pairs use every width).
  std::optional<std::uint64_t> UnsignedN(std::uint64_t offset, unsigned width) const noexcept {
    if (width == 0 || width > 8 || !Contains(offset, width)) return std::nullopt;
    return LoadUnchecked(offset, width);
  }

  // A signed number of 1 to 8 bytes, sign-extended from the top bit of its
  // last byte.
  std::optional<std::int64_t> SignedN(std::uint64_t offset, unsigned width) const noexcept {
    if (width == 0 || width > 8 || !Contains(offset, width)) return std::nullopt;
    std::uint64_t value = LoadUnchecked(offset, width);
    if (width < 8 && (value >> (8 * width - 1)) != 0) value |= ~std::uint64_t{0} << (8 * width);
    return static_cast<std::int64_t>(value);
  }

  // unitCount UTF-16 code units at offset, copied as they are: unpaired
  // surrogates are legal in Windows names and must survive. False (name
  // untouched) when they do not all lie inside the buffer.
  bool Utf16(std::uint64_t offset, std::uint64_t unitCount, std::u16string& text) const {
    if (unitCount > length_ / 2 || !Contains(offset, unitCount * 2)) return false;
    text.clear();
    return AppendUtf16(offset, unitCount, text);
  }

  // The same units added to the end of text, which many names can share
  // (one allocation for all of them instead of one per name).
  bool AppendUtf16(std::uint64_t offset, std::uint64_t unitCount, std::u16string& text) const {
    if (unitCount > length_ / 2 || !Contains(offset, unitCount * 2)) return false;
    const std::size_t start = text.size();
    text.resize(start + static_cast<std::size_t>(unitCount));
    if constexpr (std::endian::native == std::endian::little) {
      std::memcpy(text.data() + start, data_ + offset, static_cast<std::size_t>(unitCount) * 2);
    } else {
      for (std::uint64_t i = 0; i < unitCount; ++i) {
        text[start + i] = static_cast<char16_t>(LoadUnchecked(offset + 2 * i, 2));
      }
    }
    return true;
  }

 private:
  // memcpy is the defined way to read unaligned bytes; it compiles to one
  // load.
  template <typename T>
  T Load(std::uint64_t offset) const noexcept {
    T value;
    std::memcpy(&value, data_ + offset, sizeof value);
    if constexpr (std::endian::native == std::endian::big) value = ByteSwap(value);
    return value;
  }

  template <typename T>
  static constexpr T ByteSwap(T value) noexcept {
    T swapped = 0;
    for (std::size_t i = 0; i < sizeof(T); ++i) {
      swapped = static_cast<T>((swapped << 8) | ((value >> (8 * i)) & 0xFF));
    }
    return swapped;
  }

  constexpr std::uint64_t LoadUnchecked(std::uint64_t offset, unsigned width) const noexcept {
    std::uint64_t value = 0;
    for (unsigned i = 0; i < width; ++i) value |= std::uint64_t{data_[offset + i]} << (8 * i);
    return value;
  }

  const std::uint8_t* data_;
  std::uint64_t length_;
};

}  // namespace ombrix::base
