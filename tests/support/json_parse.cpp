#include "tests/support/json_parse.h"

#include <charconv>
#include <cstdlib>
#include <stdexcept>

#include "base/text_encoding.h"

namespace ombrix::test {

const JsonValue& JsonValue::operator[](std::string_view key) const {
  const JsonObject& object = Object();
  const auto found = object.find(key);
  if (found == object.end()) throw std::out_of_range("no JSON member " + std::string(key));
  return found->second;
}

namespace {

constexpr int kMaxDepth = 200;

class Parser {
 public:
  explicit Parser(std::string_view text) : text_(text) {}

  std::optional<JsonValue> ParseDocument() {
    JsonValue value;
    SkipSpace();
    if (!ParseValue(value, 0)) return std::nullopt;
    SkipSpace();
    if (pos_ != text_.size()) {
      Fail("text after the value");
      return std::nullopt;
    }
    return value;
  }

  const std::string& Error() const { return error_; }

 private:
  // Always false, so callers can `return Fail(...)`.
  bool Fail(const std::string& message) {
    if (error_.empty()) error_ = message + " at byte " + std::to_string(pos_);
    return false;
  }

  void SkipSpace() {
    while (pos_ < text_.size() && (text_[pos_] == ' ' || text_[pos_] == '\t' ||
                                   text_[pos_] == '\n' || text_[pos_] == '\r')) {
      ++pos_;
    }
  }

  bool Literal(std::string_view word) {
    if (text_.substr(pos_, word.size()) != word) return false;
    pos_ += word.size();
    return true;
  }

  bool ParseValue(JsonValue& out, int depth) {
    if (depth > kMaxDepth) return Fail("nesting too deep");
    if (pos_ >= text_.size()) return Fail("unexpected end");
    const char c = text_[pos_];
    if (c == '{') return ParseObject(out, depth);
    if (c == '[') return ParseArray(out, depth);
    if (c == '"') {
      std::string s;
      if (!ParseString(s)) return false;
      out.value = std::move(s);
      return true;
    }
    if (Literal("true")) {
      out.value = true;
      return true;
    }
    if (Literal("false")) {
      out.value = false;
      return true;
    }
    if (Literal("null")) {
      out.value = nullptr;
      return true;
    }
    return ParseNumber(out);
  }

  bool ParseObject(JsonValue& out, int depth) {
    ++pos_;
    JsonObject object;
    SkipSpace();
    if (pos_ < text_.size() && text_[pos_] == '}') {
      ++pos_;
      out.value = std::move(object);
      return true;
    }
    while (true) {
      SkipSpace();
      if (pos_ >= text_.size() || text_[pos_] != '"') return Fail("expected a key");
      std::string key;
      if (!ParseString(key)) return false;
      SkipSpace();
      if (pos_ >= text_.size() || text_[pos_] != ':') return Fail("expected ':'");
      ++pos_;
      SkipSpace();
      JsonValue member;
      if (!ParseValue(member, depth + 1)) return false;
      if (!object.emplace(std::move(key), std::move(member)).second) {
        return Fail("duplicate key");
      }
      SkipSpace();
      if (pos_ < text_.size() && text_[pos_] == ',') {
        ++pos_;
        continue;
      }
      if (pos_ < text_.size() && text_[pos_] == '}') {
        ++pos_;
        out.value = std::move(object);
        return true;
      }
      return Fail("expected ',' or '}'");
    }
  }

  bool ParseArray(JsonValue& out, int depth) {
    ++pos_;
    JsonArray array;
    SkipSpace();
    if (pos_ < text_.size() && text_[pos_] == ']') {
      ++pos_;
      out.value = std::move(array);
      return true;
    }
    while (true) {
      SkipSpace();
      JsonValue element;
      if (!ParseValue(element, depth + 1)) return false;
      array.push_back(std::move(element));
      SkipSpace();
      if (pos_ < text_.size() && text_[pos_] == ',') {
        ++pos_;
        continue;
      }
      if (pos_ < text_.size() && text_[pos_] == ']') {
        ++pos_;
        out.value = std::move(array);
        return true;
      }
      return Fail("expected ',' or ']'");
    }
  }

  bool ReadHex4(std::uint32_t& unit) {
    if (pos_ + 4 > text_.size()) return Fail("short \\u escape");
    unit = 0;
    for (int i = 0; i < 4; ++i) {
      const char h = text_[pos_++];
      unit <<= 4;
      if (h >= '0' && h <= '9')
        unit |= static_cast<std::uint32_t>(h - '0');
      else if (h >= 'a' && h <= 'f')
        unit |= static_cast<std::uint32_t>(h - 'a' + 10);
      else if (h >= 'A' && h <= 'F')
        unit |= static_cast<std::uint32_t>(h - 'A' + 10);
      else
        return Fail("bad hex digit");
    }
    return true;
  }

  // Validates one raw UTF-8 sequence and copies it.
  bool CopyUtf8(std::string& out) {
    const auto lead = static_cast<unsigned char>(text_[pos_]);
    std::size_t extra = 0;
    char32_t c = 0;
    char32_t minimum = 0;
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
    } else
      return Fail("invalid UTF-8 lead byte");
    if (pos_ + extra >= text_.size()) return Fail("truncated UTF-8");
    for (std::size_t k = 1; k <= extra; ++k) {
      const auto next = static_cast<unsigned char>(text_[pos_ + k]);
      if ((next & 0xC0) != 0x80) return Fail("invalid UTF-8 continuation");
      c = (c << 6) | (next & 0x3F);
    }
    if (c < minimum || c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF)) {
      return Fail("invalid UTF-8 code point");
    }
    out.append(text_.substr(pos_, extra + 1));
    pos_ += extra + 1;
    return true;
  }

  bool ParseString(std::string& out) {
    ++pos_;
    while (true) {
      if (pos_ >= text_.size()) return Fail("unterminated string");
      const auto c = static_cast<unsigned char>(text_[pos_]);
      if (c == '"') {
        ++pos_;
        return true;
      }
      if (c < 0x20) return Fail("raw control character in string");
      if (c >= 0x80) {
        if (!CopyUtf8(out)) return false;
        continue;
      }
      if (c != '\\') {
        out.push_back(static_cast<char>(c));
        ++pos_;
        continue;
      }
      if (++pos_ >= text_.size()) return Fail("unterminated escape");
      const char e = text_[pos_++];
      switch (e) {
        case '"':
          out.push_back('"');
          break;
        case '\\':
          out.push_back('\\');
          break;
        case '/':
          out.push_back('/');
          break;
        case 'b':
          out.push_back('\b');
          break;
        case 'f':
          out.push_back('\f');
          break;
        case 'n':
          out.push_back('\n');
          break;
        case 'r':
          out.push_back('\r');
          break;
        case 't':
          out.push_back('\t');
          break;
        case 'u': {
          std::uint32_t unit = 0;
          if (!ReadHex4(unit)) return false;
          char32_t code = unit;
          if (unit >= 0xDC00 && unit <= 0xDFFF) return Fail("lone low surrogate escape");
          if (unit >= 0xD800 && unit <= 0xDBFF) {
            std::uint32_t low = 0;
            if (!Literal("\\u") || !ReadHex4(low) || low < 0xDC00 || low > 0xDFFF) {
              return Fail("lone high surrogate escape");
            }
            code = 0x10000 + ((unit - 0xD800) << 10) + (low - 0xDC00);
          }
          base::AppendUtf8(out, code);
          break;
        }
        default:
          return Fail("unknown escape");
      }
    }
  }

  bool ParseNumber(JsonValue& out) {
    const std::size_t start = pos_;
    if (pos_ < text_.size() && text_[pos_] == '-') ++pos_;
    const std::size_t digits = pos_;
    while (pos_ < text_.size() && text_[pos_] >= '0' && text_[pos_] <= '9') ++pos_;
    if (pos_ == digits) return Fail("expected a value");
    if (text_[digits] == '0' && pos_ - digits > 1) return Fail("leading zero");
    bool integral = true;
    if (pos_ < text_.size() && text_[pos_] == '.') {
      integral = false;
      const std::size_t fraction = ++pos_;
      while (pos_ < text_.size() && text_[pos_] >= '0' && text_[pos_] <= '9') ++pos_;
      if (pos_ == fraction) return Fail("empty fraction");
    }
    if (pos_ < text_.size() && (text_[pos_] == 'e' || text_[pos_] == 'E')) {
      integral = false;
      ++pos_;
      if (pos_ < text_.size() && (text_[pos_] == '+' || text_[pos_] == '-')) ++pos_;
      const std::size_t exponent = pos_;
      while (pos_ < text_.size() && text_[pos_] >= '0' && text_[pos_] <= '9') ++pos_;
      if (pos_ == exponent) return Fail("empty exponent");
    }
    const std::string number(text_.substr(start, pos_ - start));
    if (integral && number[0] != '-') {
      std::uint64_t value = 0;
      const auto r = std::from_chars(number.data(), number.data() + number.size(), value);
      if (r.ec != std::errc{}) return Fail("integer out of range");
      out.value = value;
    } else if (integral) {
      std::int64_t value = 0;
      const auto r = std::from_chars(number.data(), number.data() + number.size(), value);
      if (r.ec != std::errc{}) return Fail("integer out of range");
      out.value = value;
    } else {
      out.value = std::strtod(number.c_str(), nullptr);
    }
    return true;
  }

  std::string_view text_;
  std::size_t pos_ = 0;
  std::string error_;
};

}  // namespace

std::optional<JsonValue> ParseJson(std::string_view text, std::string* error) {
  Parser parser(text);
  std::optional<JsonValue> value = parser.ParseDocument();
  if (!value && error) *error = parser.Error();
  return value;
}

}  // namespace ombrix::test
