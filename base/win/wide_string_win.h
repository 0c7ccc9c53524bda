// The Win32 edge: std::u16string and wchar_t are both UTF-16 on Windows, so
// text crosses as a view, not a copy.
#pragma once

#include <string>
#include <string_view>

static_assert(sizeof(wchar_t) == sizeof(char16_t), "Win32 edge needs 16-bit wchar_t");

namespace ombrix::base {

inline const wchar_t* WideView(const std::u16string& text) {
  return reinterpret_cast<const wchar_t*>(text.c_str());
}

// The string's own storage as a buffer a Win32 call may write into; size
// the string first.
inline wchar_t* WritableWide(std::u16string& text) {
  return reinterpret_cast<wchar_t*>(text.data());
}

inline std::u16string FromWide(const wchar_t* text, std::size_t length) {
  return std::u16string(reinterpret_cast<const char16_t*>(text), length);
}

inline std::u16string FromWide(const wchar_t* text) {
  return FromWide(text, std::char_traits<wchar_t>::length(text));
}

}  // namespace ombrix::base
