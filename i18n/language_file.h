// Reading a language file: UTF-8 text, one "key = text" per line.
//
// The reader is deliberately literal. A line is skipped when it is empty,
// starts with "#" in its very first column, or has no "="; otherwise the
// key is what precedes the first "=" and the text what follows it, both
// trimmed of spaces, tabs, CR and LF at either end (so CR LF files work and
// a text may hold further "="). There are no escapes, quotes or
// continuation lines; the first definition of a key wins. A byte-order mark
// is not skipped, and reading ends at the first byte sequence that is not
// valid UTF-8: what came before it, the start of that line included, is
// kept. The bytes are decoded here rather than by a stream locale, so every
// build reads a file the same way.
#pragma once

#include <filesystem>
#include <string>
#include <string_view>
#include <unordered_map>

namespace ombrix::i18n {

// Key (ASCII in practice) -> text.
using StringTable = std::unordered_map<std::string, std::u16string>;

// A key as the tables store it: every UTF-16 unit below 128 as that byte,
// every other unit as "?".
std::string LanguageKey(std::u16string_view text);

StringTable ParseLanguageFile(std::string_view bytes);

// A file that cannot be opened or read gives an empty table.
StringTable ReadLanguageFile(const std::filesystem::path& path);

}  // namespace ombrix::i18n
