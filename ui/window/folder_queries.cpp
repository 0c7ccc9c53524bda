#include "ui/window/folder_queries.h"

#include <string_view>

namespace ombrix::ui {
namespace {

bool IsSeparator(char16_t unit) { return unit == u'\\' || unit == u'/'; }

bool IsDriveLetter(char16_t unit) {
  return (unit >= u'A' && unit <= u'Z') || (unit >= u'a' && unit <= u'z');
}

// Length of "server\share\" at the start of rest (with the separator after
// the share when there is one), or 0 when the share is missing.
std::size_t ShareLength(std::u16string_view rest) {
  std::size_t end = 0;
  for (int part = 0; part < 2; ++part) {
    const std::size_t start = end;
    while (end < rest.size() && !IsSeparator(rest[end])) ++end;
    if (end == start) return 0;
    if (end < rest.size()) ++end;
  }
  return end;
}

}  // namespace

std::u16string PathRoot(const std::u16string& path) {
  std::u16string_view rest = path;
  std::size_t prefix = 0;
  if (rest.starts_with(u"\\\\?\\") || rest.starts_with(u"\\\\.\\")) {
    prefix = 4;
    if (rest.substr(prefix).starts_with(u"UNC\\")) {
      const std::size_t share = ShareLength(rest.substr(prefix + 4));
      if (share == 0) return {};
      std::u16string root = path.substr(0, prefix + 4 + share);
      if (!IsSeparator(root.back())) root += u'\\';
      return root;
    }
  } else if (rest.size() > 2 && IsSeparator(rest[0]) && IsSeparator(rest[1])) {
    const std::size_t share = ShareLength(rest.substr(2));
    if (share == 0) return {};
    std::u16string root = path.substr(0, 2 + share);
    if (!IsSeparator(root.back())) root += u'\\';
    return root;
  }
  rest = rest.substr(prefix);
  if (rest.size() < 2 || !IsDriveLetter(rest[0]) || rest[1] != u':') return {};
  return path.substr(0, prefix + 2) + u'\\';
}

FolderState ProbeFolder(const std::u16string& path,
                        const std::function<bool(const std::u16string&)>& isFolder) {
  if (!path.empty() && isFolder(path)) return FolderState::Folder;
  const std::u16string root = PathRoot(path);
  if (!root.empty() && !isFolder(root)) return FolderState::Unreachable;
  return FolderState::Missing;
}

}  // namespace ombrix::ui
