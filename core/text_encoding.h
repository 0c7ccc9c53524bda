// UTF-8 appears only at the edges (files, ombrix-scan's output); in memory
// text is UTF-16. Windows allows unpaired surrogates in names, so the
// conversion to UTF-8 must accept them: each becomes U+FFFD.
#pragma once

#include <string>
#include <string_view>

namespace ombrix::core {

std::string ToUtf8(std::u16string_view text);

// Invalid UTF-8 sequences become U+FFFD.
std::u16string FromUtf8(std::string_view text);

}  // namespace ombrix::core
