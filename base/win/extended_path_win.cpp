#include "base/win/extended_path_win.h"

#include <windows.h>

#include <string_view>

#include "base/win/wide_string_win.h"

namespace ombrix::base {
namespace {

bool StartsWith(const std::u16string& text, std::u16string_view prefix) {
  return std::u16string_view(text).substr(0, prefix.size()) == prefix;
}

}  // namespace

std::u16string ExtendedLengthPath(const std::u16string& path) {
  if (path.size() < MAX_PATH || StartsWith(path, u"\\\\?\\") || StartsWith(path, u"\\\\.\\") ||
      StartsWith(path, u"\\??\\")) {
    return path;
  }
  const DWORD needed = ::GetFullPathNameW(WideView(path), 0, nullptr, nullptr);
  if (needed == 0) {
    return path;
  }
  std::u16string full(needed, u'\0');
  const DWORD written = ::GetFullPathNameW(WideView(path), needed, WritableWide(full), nullptr);
  if (written == 0 || written >= needed) {
    return path;
  }
  full.resize(written);
  if (StartsWith(full, u"\\\\")) {
    return u"\\\\?\\UNC\\" + full.substr(2);
  }
  if (full.size() >= 3 && full[1] == u':' && full[2] == u'\\') {
    return u"\\\\?\\" + full;
  }
  return path;
}

}  // namespace ombrix::base
