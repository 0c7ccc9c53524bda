#include "i18n/language_file.h"

#include <fstream>
#include <iterator>

#include "base/text_encoding.h"

namespace ombrix::i18n {

namespace {

bool IsTrimmed(char16_t c) { return c == u' ' || c == u'\t' || c == u'\r' || c == u'\n'; }

std::u16string_view Trim(std::u16string_view text) {
  while (!text.empty() && IsTrimmed(text.front())) text.remove_prefix(1);
  while (!text.empty() && IsTrimmed(text.back())) text.remove_suffix(1);
  return text;
}

void AddLine(std::u16string_view line, StringTable& table) {
  if (line.empty() || line.front() == u'#') return;
  const std::size_t equals = line.find(u'=');
  if (equals == std::u16string_view::npos) return;
  std::string key = LanguageKey(Trim(line.substr(0, equals)));
  table.try_emplace(std::move(key), Trim(line.substr(equals + 1)));
}

}  // namespace

std::string LanguageKey(std::u16string_view text) {
  std::string key;
  key.reserve(text.size());
  for (char16_t c : text) key.push_back(c < 128 ? static_cast<char>(c) : '?');
  return key;
}

StringTable ParseLanguageFile(std::string_view bytes) {
  std::size_t bytesRead = 0;
  const std::u16string text = base::FromUtf8Prefix(bytes, bytesRead);
  StringTable table;
  std::u16string_view rest = text;
  while (!rest.empty()) {
    const std::size_t end = rest.find(u'\n');
    AddLine(rest.substr(0, end), table);
    if (end == std::u16string_view::npos) break;
    rest.remove_prefix(end + 1);
  }
  return table;
}

StringTable ReadLanguageFile(const std::filesystem::path& path) {
  std::ifstream file(path, std::ios::binary);
  if (!file) return {};
  const std::string bytes{std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
  return ParseLanguageFile(bytes);
}

}  // namespace ombrix::i18n
