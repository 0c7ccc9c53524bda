#include "core/node_name.h"

#include <algorithm>

namespace ombrix::core {

namespace {

bool FitsOneByte(std::u16string_view name) {
  return std::all_of(name.begin(), name.end(), [](char16_t unit) { return unit < 0x100; });
}

}  // namespace

std::size_t NameHeaderLength(std::size_t length, bool wide) {
  std::uint64_t header = (std::uint64_t{length} << 1) | (wide ? 1 : 0);
  std::size_t bytes = 1;
  while (header >= 0x80) {
    header >>= 7;
    ++bytes;
  }
  return bytes;
}

std::size_t WriteNameHeader(std::size_t length, bool wide, std::uint8_t* out) {
  std::uint64_t header = (std::uint64_t{length} << 1) | (wide ? 1 : 0);
  std::size_t written = 0;
  while (header >= 0x80) {
    out[written++] = static_cast<std::uint8_t>(header | 0x80);
    header >>= 7;
  }
  out[written++] = static_cast<std::uint8_t>(header);
  return written;
}

NodeName NodeName::DecodeLongHeader(const std::uint8_t* encoded) {
  std::uint64_t header = 0;
  unsigned shift = 0;
  std::uint8_t headerLength = 0;
  std::uint8_t byte = 0;
  do {
    byte = encoded[headerLength++];
    header |= std::uint64_t{byte & 0x7Fu} << shift;
    shift += 7;
  } while ((byte & 0x80) != 0);
  return NodeName(encoded + headerLength, static_cast<std::uint32_t>(header >> 1), headerLength,
                  (header & 1) != 0);
}

std::u16string NodeName::ToString() const {
  std::u16string text;
  AppendTo(text);
  return text;
}

void NodeName::AppendTo(std::u16string& out) const {
  const std::size_t start = out.size();
  out.resize(start + length_);
  if (wide_) {
    std::memcpy(out.data() + start, data_, 2u * length_);
  } else {
    std::copy(data_, data_ + length_, out.begin() + static_cast<std::ptrdiff_t>(start));
  }
}

int NodeName::Compare(const NodeName& other) const {
  if (!wide_ && !other.wide_) {
    const int common = std::memcmp(data_, other.data_, std::min(length_, other.length_));
    if (common != 0) return common < 0 ? -1 : 1;
  } else {
    const std::size_t shorter = std::min(length_, other.length_);
    for (std::size_t i = 0; i < shorter; ++i) {
      const char16_t a = (*this)[i];
      const char16_t b = other[i];
      if (a != b) return a < b ? -1 : 1;
    }
  }
  return length_ == other.length_ ? 0 : (length_ < other.length_ ? -1 : 1);
}

int NodeName::Compare(std::u16string_view other) const {
  const std::size_t shorter = std::min<std::size_t>(length_, other.size());
  for (std::size_t i = 0; i < shorter; ++i) {
    const char16_t a = (*this)[i];
    if (a != other[i]) return a < other[i] ? -1 : 1;
  }
  return length_ == other.size() ? 0 : (length_ < other.size() ? -1 : 1);
}

std::size_t EncodedNameLength(std::u16string_view name) {
  const bool wide = !FitsOneByte(name);
  return NameHeaderLength(name.size(), wide) + name.size() * (wide ? 2 : 1);
}

std::size_t EncodeName(std::u16string_view name, std::uint8_t* out) {
  const bool wide = !FitsOneByte(name);
  const std::size_t written = WriteNameHeader(name.size(), wide, out);
  if (wide) {
    std::memcpy(out + written, name.data(), 2 * name.size());
    return written + 2 * name.size();
  }
  std::uint8_t* units = out + written;
  for (const char16_t unit : name) *units++ = static_cast<std::uint8_t>(unit);
  return written + name.size();
}

}  // namespace ombrix::core
