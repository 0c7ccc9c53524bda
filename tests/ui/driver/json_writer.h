// Just enough JSON output for the driver's reports: objects, arrays,
// strings (UTF-16 in, escaped UTF-8 out), integers and booleans.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "base/text_encoding.h"

namespace ombrix::ui::driver {

class JsonWriter {
 public:
  void BeginObject() { Open('{'); }
  void EndObject() { Close('}'); }
  void BeginArray() { Open('['); }
  void EndArray() { Close(']'); }

  JsonWriter& Key(const char* name) {
    Separate();
    AppendQuoted(name);
    out_ += ':';
    afterKey_ = true;
    return *this;
  }
  void String(const std::u16string& text) {
    Separate();
    AppendQuoted(base::ToUtf8(text));
  }
  void Number(std::int64_t value) {
    Separate();
    out_ += std::to_string(value);
  }
  void Bool(bool value) {
    Separate();
    out_ += value ? "true" : "false";
  }

  const std::string& text() const { return out_; }

 private:
  void Open(char bracket) {
    Separate();
    out_ += bracket;
    first_.push_back(true);
  }
  void Close(char bracket) {
    out_ += bracket;
    first_.pop_back();
  }
  // A comma before every value but the first in its container; none right
  // after a key.
  void Separate() {
    if (afterKey_) {
      afterKey_ = false;
      return;
    }
    if (first_.empty()) return;
    if (!first_.back()) out_ += ',';
    first_.back() = false;
  }
  void AppendQuoted(const std::string& utf8) {
    out_ += '"';
    for (const unsigned char c : utf8) {
      if (c == '"' || c == '\\') {
        out_ += '\\';
        out_ += static_cast<char>(c);
      } else if (c < 0x20) {
        static const char kHex[] = "0123456789abcdef";
        out_ += "\\u00";
        out_ += kHex[c >> 4];
        out_ += kHex[c & 15];
      } else {
        out_ += static_cast<char>(c);
      }
    }
    out_ += '"';
  }

  std::string out_;
  std::vector<bool> first_;
  bool afterKey_ = false;
};

}  // namespace ombrix::ui::driver
