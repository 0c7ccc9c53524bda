#include "app/ncdu/ncdu_names.h"

#include "base/text_encoding.h"

namespace ombrix::app {
namespace {

constexpr char16_t kEscapedByteBase = 0xDC00;  // + a byte 0x80..0xFF

bool IsHighSurrogate(char16_t unit) { return unit >= 0xD800 && unit <= 0xDBFF; }
bool IsLowSurrogate(char16_t unit) { return unit >= 0xDC00 && unit <= 0xDFFF; }

void AppendUnicodeEscape(std::string& out, char16_t unit) {
  static constexpr char kHex[] = "0123456789abcdef";
  out += "\\u";
  for (int shift = 12; shift >= 0; shift -= 4) out.push_back(kHex[(unit >> shift) & 0xF]);
}

bool IsEscapedByte(char16_t unit) {
  return unit >= kEscapedByteBase + 0x80 && unit <= kEscapedByteBase + 0xFF;
}

// Reads the name unit (or the two of a pair) that begins at bytes[i] into
// name; the count of bytes read.
std::size_t ReadNameUnit(std::string_view bytes, std::size_t i, std::u16string& name) {
  const auto byte = static_cast<unsigned char>(bytes[i]);
  if (byte < 0x80) {
    name.push_back(byte);
    return 1;
  }
  // ED A0..BF 80..BF: one surrogate written as UTF-8 (CESU).
  if (byte == 0xED && i + 2 < bytes.size()) {
    const auto second = static_cast<unsigned char>(bytes[i + 1]);
    const auto third = static_cast<unsigned char>(bytes[i + 2]);
    if (second >= 0xA0 && second <= 0xBF && (third & 0xC0) == 0x80) {
      name.push_back(static_cast<char16_t>(0xD000 | ((second & 0x3F) << 6) | (third & 0x3F)));
      return 3;
    }
  }
  std::size_t length = 0;
  const std::optional<char32_t> code = base::DecodeUtf8(bytes, i, length);
  if (code) {
    base::AppendUtf16(name, *code);
    return length;
  }
  name.push_back(static_cast<char16_t>(kEscapedByteBase + byte));
  return 1;
}

// An escaped byte goes out as that byte only when reading it back gives
// it alone: a lead byte followed by escaped continuation bytes would read
// back as one character (U+DCCB U+DC8B as CB 8B, which is U+02CB), so it
// goes out as a "\uXXXX" escape instead. Only escaped bytes can follow
// as continuation bytes: anything else is written as ASCII or a lead byte.
bool ReadsBackAlone(std::u16string_view name, std::size_t i) {
  std::string bytes;
  for (std::size_t j = i; j < name.size() && bytes.size() < 4 && IsEscapedByte(name[j]); ++j) {
    bytes.push_back(static_cast<char>(name[j] - kEscapedByteBase));
  }
  std::u16string unit;
  return ReadNameUnit(bytes, 0, unit) == 1;
}

}  // namespace

void AppendNcduJsonString(std::string& out, std::u16string_view name) {
  out.push_back('"');
  for (std::size_t i = 0; i < name.size(); ++i) {
    const char16_t unit = name[i];
    if (unit < 0x80) {
      switch (unit) {
        case u'"':
          out += "\\\"";
          break;
        case u'\\':
          out += "\\\\";
          break;
        case u'\n':
          out += "\\n";
          break;
        case u'\r':
          out += "\\r";
          break;
        case u'\t':
          out += "\\t";
          break;
        default:
          if (unit < 0x20 || unit == 0x7F) {
            AppendUnicodeEscape(out, unit);
          } else {
            out.push_back(static_cast<char>(unit));
          }
      }
    } else if (IsHighSurrogate(unit) && i + 1 < name.size() && IsLowSurrogate(name[i + 1])) {
      base::AppendUtf8(out, 0x10000 + ((char32_t{unit} - 0xD800) << 10) + (name[i + 1] - 0xDC00));
      ++i;
    } else if (IsEscapedByte(unit) && ReadsBackAlone(name, i)) {
      out.push_back(static_cast<char>(unit - kEscapedByteBase));
    } else if (IsHighSurrogate(unit) || IsLowSurrogate(unit)) {
      AppendUnicodeEscape(out, unit);
    } else {
      base::AppendUtf8(out, unit);
    }
  }
  out.push_back('"');
}

std::u16string NcduNameFromBytes(std::string_view bytes) {
  std::u16string name;
  name.reserve(bytes.size());
  for (std::size_t i = 0; i < bytes.size();) i += ReadNameUnit(bytes, i, name);
  return name;
}

}  // namespace ombrix::app
