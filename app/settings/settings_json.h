// The small JSON reader behind the settings file. It is deliberately
// lenient in some ways (trailing commas, text after the closing brace, last
// duplicate key wins) and strict in others (no "\u" escapes), and nested
// arrays and objects are kept as raw text: they are parsed only when a key
// needs them, so a bad string inside one spoils that key alone.
//
// Text is UTF-8 bytes and is never trusted: every read is bounds-checked
// against the view, and nothing recurses, so no input can exhaust the stack.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace ombrix::app {

enum class JsonValueKind : std::uint32_t {
  String = 0,
  Number = 1,
  Boolean = 2,
  Array = 3,
  Object = 4,
  Null = 5,
};

struct JsonValue {
  JsonValueKind kind = JsonValueKind::Null;
  // String: the unescaped content. Number, Boolean, Null: the bare word as
  // written (a Number's form is checked only by the key that reads it).
  // Array, Object: the raw text from the opening bracket to its match.
  std::string text;
};

// Keys are compared byte for byte.
using JsonObject = std::unordered_map<std::string, JsonValue>;

// A string starting at text[position]; on success position is past its
// closing quotation mark.
bool ParseJsonString(std::string_view text, std::size_t& position, std::string& out);

// A value after optional white space; on success position is past it.
bool ParseJsonValue(std::string_view text, std::size_t& position, JsonValue& out);

// An object at the start of text (after optional white space). Whatever
// follows its closing brace is ignored. On failure `out` is left as it was.
bool ParseJsonObject(std::string_view text, JsonObject& out);

// An array whose elements are all strings, in order. On failure `out` is
// left as it was.
bool ParseJsonStringArray(std::string_view text, std::vector<std::string>& out);

}  // namespace ombrix::app
