// A strict JSON reader for tests that check what the program writes:
// rejects invalid UTF-8, raw control characters in strings, lone surrogate
// escapes, trailing text and malformed numbers. Not for production input.
#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

namespace ombrix::test {

struct JsonValue;
using JsonArray = std::vector<JsonValue>;
using JsonObject = std::map<std::string, JsonValue, std::less<>>;

struct JsonValue {
  // Integers without fraction or exponent keep all 64 bits; others are double.
  std::variant<std::nullptr_t, bool, std::uint64_t, std::int64_t, double, std::string, JsonArray,
               JsonObject>
      value;

  bool IsObject() const { return std::holds_alternative<JsonObject>(value); }
  const JsonObject& Object() const { return std::get<JsonObject>(value); }
  const JsonArray& Array() const { return std::get<JsonArray>(value); }
  const std::string& String() const { return std::get<std::string>(value); }
  std::uint64_t Unsigned() const { return std::get<std::uint64_t>(value); }
  bool Bool() const { return std::get<bool>(value); }
  // Member access; throws std::out_of_range when absent (a test failure).
  const JsonValue& operator[](std::string_view key) const;
};

// Null with `error` set when text is not exactly one valid JSON value
// (whitespace around it allowed). Duplicate object keys are an error.
std::optional<JsonValue> ParseJson(std::string_view text, std::string* error = nullptr);

}  // namespace ombrix::test
