#include "app/settings/settings_json.h"

#include <utility>

namespace ombrix::app {
namespace {

bool IsWhiteSpace(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }

void SkipWhiteSpace(std::string_view text, std::size_t& position) {
  while (position < text.size() && IsWhiteSpace(text[position])) {
    ++position;
  }
}

bool EndsBareWord(char c) { return c == ',' || c == '}' || c == ']' || IsWhiteSpace(c); }

// The byte an escape stands for; 0 for an escape the reader refuses ("\u"
// among them: the writer never produces one).
char Unescape(char c) {
  switch (c) {
    case '"':
    case '\\':
    case '/':
      return c;
    case 'b':
      return '\b';
    case 'f':
      return '\f';
    case 'n':
      return '\n';
    case 'r':
      return '\r';
    case 't':
      return '\t';
    default:
      return 0;
  }
}

// From the bracket at text[position] to the bracket of the same kind that
// closes it. Brackets of the other kind are not counted, and quoted text is
// skipped without being checked: it is checked when a key parses the value.
bool SkipBracketed(std::string_view text, std::size_t& position) {
  const char open = text[position];
  const char close = open == '{' ? '}' : ']';
  std::size_t depth = 0;
  bool inString = false;
  for (std::size_t i = position; i < text.size(); ++i) {
    const char c = text[i];
    if (inString) {
      if (c == '\\') {
        ++i;
      } else if (c == '"') {
        inString = false;
      }
    } else if (c == '"') {
      inString = true;
    } else if (c == open) {
      ++depth;
    } else if (c == close && --depth == 0) {
      position = i + 1;
      return true;
    }
  }
  return false;
}

// The members of an object or the elements of an array at the start of
// text: white space, `open`, items separated by commas, `close`. An empty
// sequence and a comma right before `close` are accepted.
template <typename ParseItem>
bool ParseSequence(std::string_view text, char open, char close, ParseItem parseItem) {
  std::size_t at = 0;
  SkipWhiteSpace(text, at);
  if (at >= text.size() || text[at] != open) {
    return false;
  }
  ++at;
  for (;;) {
    SkipWhiteSpace(text, at);
    if (at >= text.size()) {
      return false;
    }
    if (text[at] == close) {
      return true;
    }
    if (!parseItem(at)) {
      return false;
    }
    SkipWhiteSpace(text, at);
    if (at >= text.size()) {
      return false;
    }
    if (text[at] == close) {
      return true;
    }
    if (text[at] != ',') {
      return false;
    }
    ++at;
  }
}

}  // namespace

bool ParseJsonString(std::string_view text, std::size_t& position, std::string& out) {
  if (position >= text.size() || text[position] != '"') {
    return false;
  }
  std::string content;
  for (std::size_t i = position + 1; i < text.size(); ++i) {
    const char c = text[i];
    if (c == '"') {
      position = i + 1;
      out = std::move(content);
      return true;
    }
    if (c != '\\') {
      content.push_back(c);
      continue;
    }
    if (++i >= text.size()) {
      return false;
    }
    const char unescaped = Unescape(text[i]);
    if (unescaped == 0) {
      return false;
    }
    content.push_back(unescaped);
  }
  return false;
}

bool ParseJsonValue(std::string_view text, std::size_t& position, JsonValue& out) {
  std::size_t at = position;
  SkipWhiteSpace(text, at);
  if (at >= text.size()) {
    return false;
  }
  const char first = text[at];
  if (first == '"') {
    std::string content;
    if (!ParseJsonString(text, at, content)) {
      return false;
    }
    out = JsonValue{JsonValueKind::String, std::move(content)};
  } else if (first == '{' || first == '[') {
    const std::size_t start = at;
    if (!SkipBracketed(text, at)) {
      return false;
    }
    out = JsonValue{first == '{' ? JsonValueKind::Object : JsonValueKind::Array,
                    std::string(text.substr(start, at - start))};
  } else {
    const std::size_t start = at;
    while (at < text.size() && !EndsBareWord(text[at])) {
      ++at;
    }
    const std::string_view word = text.substr(start, at - start);
    if (word.empty()) {
      return false;
    }
    JsonValueKind kind = JsonValueKind::Number;
    if (word == "true" || word == "false") {
      kind = JsonValueKind::Boolean;
    } else if (word == "null") {
      kind = JsonValueKind::Null;
    }
    out = JsonValue{kind, std::string(word)};
  }
  position = at;
  return true;
}

bool ParseJsonObject(std::string_view text, JsonObject& out) {
  JsonObject members;
  const bool parsed = ParseSequence(text, '{', '}', [&](std::size_t& at) {
    std::string key;
    if (!ParseJsonString(text, at, key)) {
      return false;
    }
    SkipWhiteSpace(text, at);
    if (at >= text.size() || text[at] != ':') {
      return false;
    }
    ++at;
    JsonValue value;
    if (!ParseJsonValue(text, at, value)) {
      return false;
    }
    members.insert_or_assign(std::move(key), std::move(value));
    return true;
  });
  if (parsed) {
    out = std::move(members);
  }
  return parsed;
}

bool ParseJsonStringArray(std::string_view text, std::vector<std::string>& out) {
  std::vector<std::string> elements;
  const bool parsed = ParseSequence(text, '[', ']', [&](std::size_t& at) {
    JsonValue element;
    if (!ParseJsonValue(text, at, element) || element.kind != JsonValueKind::String) {
      return false;
    }
    elements.push_back(std::move(element.text));
    return true;
  });
  if (parsed) {
    out = std::move(elements);
  }
  return parsed;
}

}  // namespace ombrix::app
