// Names between Ombrix (UTF-16, as Windows keeps them) and ncdu's JSON
// export (bytes, as Linux keeps them: usually UTF-8, but any byte but '/'
// and NUL is allowed). Both directions lose nothing:
// - a byte that is not part of valid UTF-8 becomes one unpaired surrogate,
//   U+DC80 + (byte - 0x80), and goes back out as that byte (the scheme
//   Python calls surrogateescape), so a Linux name survives a round trip
//   through Ombrix byte for byte;
// - an encoded surrogate (ED A0..BF xx, how ncdu writes "\ud800") becomes
//   that surrogate;
// - any other unpaired surrogate of a Windows name goes out as a "\uXXXX"
//   escape, which both ncdu and Ombrix read back to the same unit.
#pragma once

#include <string>
#include <string_view>

namespace ombrix::app {

// Appends name as a JSON string literal, quotes included.
void AppendNcduJsonString(std::string& out, std::u16string_view name);

// The UTF-16 name for the raw (unescaped) bytes of a JSON string.
std::u16string NcduNameFromBytes(std::string_view bytes);

}  // namespace ombrix::app
