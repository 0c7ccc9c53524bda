#include "base/text_encoding.h"

#include <cstdint>

namespace ombrix::base {

namespace {

constexpr char32_t kReplacement = 0xFFFD;

bool IsHighSurrogate(char16_t c) { return c >= 0xD800 && c <= 0xDBFF; }
bool IsLowSurrogate(char16_t c) { return c >= 0xDC00 && c <= 0xDFFF; }

}  // namespace

std::size_t EncodeUtf8(char32_t c, char* out) {
  if (c < 0x80) {
    out[0] = static_cast<char>(c);
    return 1;
  }
  if (c < 0x800) {
    out[0] = static_cast<char>(0xC0 | (c >> 6));
    out[1] = static_cast<char>(0x80 | (c & 0x3F));
    return 2;
  }
  if (c < 0x10000) {
    out[0] = static_cast<char>(0xE0 | (c >> 12));
    out[1] = static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    out[2] = static_cast<char>(0x80 | (c & 0x3F));
    return 3;
  }
  out[0] = static_cast<char>(0xF0 | (c >> 18));
  out[1] = static_cast<char>(0x80 | ((c >> 12) & 0x3F));
  out[2] = static_cast<char>(0x80 | ((c >> 6) & 0x3F));
  out[3] = static_cast<char>(0x80 | (c & 0x3F));
  return 4;
}

void AppendUtf8(std::string& out, char32_t c) {
  char bytes[4];
  out.append(bytes, EncodeUtf8(c, bytes));
}

char32_t DecodeUtf16(std::u16string_view text, std::size_t index, std::size_t& units) {
  const char16_t c = text[index];
  if (IsHighSurrogate(c) && index + 1 < text.size() && IsLowSurrogate(text[index + 1])) {
    units = 2;
    return 0x10000 + ((static_cast<char32_t>(c) - 0xD800) << 10) + (text[index + 1] - 0xDC00);
  }
  units = 1;
  if (IsHighSurrogate(c) || IsLowSurrogate(c)) return kReplacement;
  return c;
}

std::string ToUtf8(std::u16string_view text) {
  std::string out;
  out.reserve(text.size());
  std::size_t units = 0;
  for (std::size_t i = 0; i < text.size(); i += units) {
    AppendUtf8(out, DecodeUtf16(text, i, units));
  }
  return out;
}

std::optional<char32_t> DecodeUtf8(std::string_view text, std::size_t index, std::size_t& bytes) {
  bytes = 1;
  const auto lead = static_cast<std::uint8_t>(text[index]);
  std::size_t extra = 0;
  char32_t c = 0;
  char32_t minimum = 0;
  if (lead < 0x80) return lead;
  if ((lead & 0xE0) == 0xC0) {
    extra = 1;
    c = lead & 0x1F;
    minimum = 0x80;
  } else if ((lead & 0xF0) == 0xE0) {
    extra = 2;
    c = lead & 0x0F;
    minimum = 0x800;
  } else if ((lead & 0xF8) == 0xF0) {
    extra = 3;
    c = lead & 0x07;
    minimum = 0x10000;
  } else {
    return std::nullopt;
  }
  if (index + extra >= text.size()) return std::nullopt;
  for (std::size_t k = 1; k <= extra; ++k) {
    const auto next = static_cast<std::uint8_t>(text[index + k]);
    if ((next & 0xC0) != 0x80) return std::nullopt;
    c = (c << 6) | (next & 0x3F);
  }
  if (c < minimum || c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF)) return std::nullopt;
  bytes = extra + 1;
  return c;
}

void AppendUtf16(std::u16string& out, char32_t c) {
  if (c >= 0x10000) {
    c -= 0x10000;
    out.push_back(static_cast<char16_t>(0xD800 + (c >> 10)));
    out.push_back(static_cast<char16_t>(0xDC00 + (c & 0x3FF)));
  } else {
    out.push_back(static_cast<char16_t>(c));
  }
}

std::u16string FromUtf8(std::string_view text) {
  std::u16string out;
  out.reserve(text.size());
  std::size_t bytes = 0;
  for (std::size_t i = 0; i < text.size(); i += bytes) {
    AppendUtf16(out, DecodeUtf8(text, i, bytes).value_or(kReplacement));
  }
  return out;
}

std::u16string FromUtf8Prefix(std::string_view text, std::size_t& bytesRead) {
  std::u16string out;
  out.reserve(text.size());
  std::size_t i = 0;
  std::size_t bytes = 0;
  for (; i < text.size(); i += bytes) {
    const std::optional<char32_t> c = DecodeUtf8(text, i, bytes);
    if (!c) break;
    AppendUtf16(out, *c);
  }
  bytesRead = i;
  return out;
}

std::optional<std::u16string> FromUtf8Strict(std::string_view text) {
  std::size_t bytesRead = 0;
  std::u16string decoded = FromUtf8Prefix(text, bytesRead);
  if (bytesRead != text.size()) return std::nullopt;
  return decoded;
}

}  // namespace ombrix::base
