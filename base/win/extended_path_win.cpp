#include "base/win/extended_path_win.h"

#include <windows.h>

#include <string_view>

#include "base/win/wide_string_win.h"

namespace ombrix::base {
namespace {

bool StartsWith(const std::u16string& text, std::u16string_view prefix) {
  return std::u16string_view(text).substr(0, prefix.size()) == prefix;
}

bool IsDeviceForm(const std::u16string& path) {
  return StartsWith(path, u"\\\\?\\") || StartsWith(path, u"\\\\.\\") ||
         StartsWith(path, u"\\??\\");
}

// GetFullPathNameW, then the \\?\ or \\?\UNC\ prefix; the path unchanged
// when it cannot be made absolute or has no drive or share to prefix.
std::u16string AbsoluteExtendedPath(const std::u16string& path) {
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

std::u16string ExtendedLengthPathFrom(const std::u16string& path, std::size_t plainLimit) {
  if (path.size() < plainLimit || IsDeviceForm(path)) {
    return path;
  }
  return AbsoluteExtendedPath(path);
}

}  // namespace

std::u16string ExtendedLengthPath(const std::u16string& path) {
  return ExtendedLengthPathFrom(path, MAX_PATH);
}

std::u16string ExtendedLengthFolderPath(const std::u16string& path) {
  return ExtendedLengthPathFrom(path, MAX_PATH - 12);
}

std::u16string SystemRootPath(const std::u16string& root) {
  return IsDeviceForm(root) ? root : AbsoluteExtendedPath(root);
}

}  // namespace ombrix::base
