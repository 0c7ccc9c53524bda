#include "base/name_case.h"

namespace ombrix::base {

char16_t FoldNonLatin1NameUnit(char16_t c) {
  if ((c >= 0x3B1 && c <= 0x3CB && c != 0x3C2) || (c >= 0x430 && c <= 0x44F)) {
    return static_cast<char16_t>(c - 0x20);
  }
  if (c == 0x3C2) return 0x3A3;  // final sigma
  if (c >= 0x100 && c <= 0x17F && c != 0x130 && c != 0x131 && c != 0x138 && c != 0x149 &&
      c != 0x178 && c != 0x17F) {
    // Latin Extended-A pairs: even upper/odd lower up to U+0137, odd
    // upper/even lower from U+0139 to U+0148 and from U+0179 on, even/odd again
    // from U+014A to U+0177.
    const bool oddLower = (c <= 0x137) || (c >= 0x14A && c <= 0x177);
    if (oddLower) return (c & 1) ? static_cast<char16_t>(c - 1) : c;
    return (c & 1) ? c : static_cast<char16_t>(c - 1);
  }
  if (c >= 0x450 && c <= 0x45F) {
    return static_cast<char16_t>(c - 0x50);
  }
  return c;
}

}  // namespace ombrix::base
