// UTF-8 appears only at the edges (files, ombrix-scan's output); in memory
// text is UTF-16. Windows allows unpaired surrogates in names, so the
// conversion to UTF-8 must accept them: each becomes U+FFFD.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace ombrix::base {

std::string ToUtf8(std::u16string_view text);

// The pieces of ToUtf8 for writers that encode and escape in one pass
// (ombrix-scan's JSON output) without a temporary string per name.
// DecodeUtf16 reads the code point at text[index] and sets `units` to the
// code units it used (1 or 2); an unpaired surrogate reads as U+FFFD.
char32_t DecodeUtf16(std::u16string_view text, std::size_t index, std::size_t& units);
// Writes 1 to 4 bytes at out and returns how many.
std::size_t EncodeUtf8(char32_t codePoint, char* out);
void AppendUtf8(std::string& out, char32_t codePoint);

// Reads the code point starting at text[index] and sets `bytes` to the
// length of its sequence; an invalid, overlong or truncated sequence (or an
// encoded surrogate) reads as nothing with `bytes` 1.
std::optional<char32_t> DecodeUtf8(std::string_view text, std::size_t index, std::size_t& bytes);
void AppendUtf16(std::u16string& out, char32_t codePoint);

// Invalid UTF-8 sequences become U+FFFD.
std::u16string FromUtf8(std::string_view text);
// Decodes up to the first invalid sequence and stops there; `bytesRead`
// says how far it got (text.size() when everything was valid).
std::u16string FromUtf8Prefix(std::string_view text, std::size_t& bytesRead);
// Nothing when any sequence is invalid, for text whose bytes must be taken
// whole or not at all (the settings file). Invalid means what Windows'
// MultiByteToWideChar rejects under MB_ERR_INVALID_CHARS: stray or missing
// continuation bytes, overlong forms, encoded surrogates, values past
// U+10FFFF.
std::optional<std::u16string> FromUtf8Strict(std::string_view text);

}  // namespace ombrix::base
