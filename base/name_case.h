// Case-insensitive comparison of file names, as Windows compares them: one
// UTF-16 unit at a time, each mapped to its uppercase under a simple
// one-to-one mapping of ASCII, Latin-1, Latin Extended-A, Greek and
// Cyrillic (NTFS compares with a volume's $UpCase table, which agrees with
// this for those scripts; units of other scripts compare as they are).
// Every case-insensitive match in the program goes through FoldNameUnit, so
// a folder found by name on an image and a file found by a pattern in the
// window agree on what "the same name" means.
#pragma once

#include <array>
#include <cstddef>

namespace ombrix::base {

// The mapping for units below 0x100 (ÿ folds to Ÿ, U+0178).
constexpr char16_t FoldLatin1Unit(char16_t unit) {
  if ((unit >= u'a' && unit <= u'z') || (unit >= 0xE0 && unit <= 0xFE && unit != 0xF7)) {
    return static_cast<char16_t>(unit - 0x20);
  }
  return unit == 0xFF ? char16_t{0x178} : unit;
}

char16_t FoldNonLatin1NameUnit(char16_t unit);

// Uppercase of one UTF-16 unit under the mapping above. Inline for Latin-1:
// matching patterns against tens of millions of names folds mostly these.
inline char16_t FoldNameUnit(char16_t unit) {
  return unit < 0x100 ? FoldLatin1Unit(unit) : FoldNonLatin1NameUnit(unit);
}

// FoldNameUnit of every unit below 0x100, for names stored at one byte a
// unit.
inline constexpr std::array<char16_t, 256> kFoldedLatin1Units = [] {
  std::array<char16_t, 256> table{};
  for (char16_t unit = 0; unit < 0x100; ++unit) table[unit] = FoldLatin1Unit(unit);
  return table;
}();

// Two names compared unit by unit after folding: <0, 0 or >0, a proper
// prefix first. A and B are anything with size() and operator[] giving
// char16_t (a string view, a stored node name).
template <typename A, typename B>
int CompareFolded(const A& a, const B& b) {
  const std::size_t shorter = a.size() < b.size() ? a.size() : b.size();
  for (std::size_t i = 0; i < shorter; ++i) {
    const char16_t x = FoldNameUnit(a[i]);
    const char16_t y = FoldNameUnit(b[i]);
    if (x != y) return x < y ? -1 : 1;
  }
  return a.size() == b.size() ? 0 : (a.size() < b.size() ? -1 : 1);
}

}  // namespace ombrix::base
