#include "app/settings/settings_paths.h"

namespace ombrix::app {
namespace {

bool IsSeparator(char16_t c) { return c == u'\\' || c == u'/'; }

bool IsBareDrive(std::u16string_view path) {
  return path.size() == 2 && path[1] == u':' &&
         ((path[0] >= u'A' && path[0] <= u'Z') || (path[0] >= u'a' && path[0] <= u'z'));
}

}  // namespace

std::u16string AppendPathComponent(std::u16string_view left, std::u16string_view right) {
  std::u16string joined(left);
  if (!left.empty() && !IsSeparator(left.back()) && !IsBareDrive(left)) {
    joined.push_back(u'\\');
  }
  joined.append(right);
  return joined;
}

std::u16string ParentFolder(std::u16string_view path) {
  std::size_t end = path.size();
  while (end > 0 && !IsSeparator(path[end - 1])) {
    --end;
  }
  if (end == 0) {
    // "D:name" still has a parent: the drive.
    return IsBareDrive(path.substr(0, 2)) ? std::u16string(path.substr(0, 2)) : std::u16string();
  }
  const std::size_t separator = end - 1;
  while (end > 0 && IsSeparator(path[end - 1])) {
    --end;
  }
  // All that is left is a root: keep its separator.
  if (end == 0 || IsBareDrive(path.substr(0, end))) {
    return std::u16string(path.substr(0, separator + 1));
  }
  return std::u16string(path.substr(0, end));
}

}  // namespace ombrix::app
