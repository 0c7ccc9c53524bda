#include "core/scan_paths.h"

namespace ombrix::core {

bool IsPathSeparator(char16_t c) { return c == u'\\' || c == u'/'; }

std::u16string TrimTrailingSeparators(std::u16string_view path) {
  std::size_t length = path.size();
  while (length > 3 && IsPathSeparator(path[length - 1])) {
    --length;
  }
  return std::u16string(path.substr(0, length));
}

std::u16string JoinPath(std::u16string_view base, std::u16string_view name) {
  if (base.empty()) {
    return std::u16string(name);
  }
  if (name.empty()) {
    return std::u16string(base);
  }
  // Reserved at the exact length: engines make one path per node, and a
  // spare unit can cost a whole allocation step.
  const bool separator = !IsPathSeparator(base.back());
  std::u16string joined;
  joined.reserve(base.size() + (separator ? 1 : 0) + name.size());
  joined.append(base);
  if (separator) {
    joined.push_back(u'\\');
  }
  joined.append(name);
  return joined;
}

void AppendToPath(std::u16string& path, const NodeName& name) {
  if (name.empty()) return;
  if (!path.empty() && !IsPathSeparator(path.back())) path.push_back(u'\\');
  name.AppendTo(path);
}

std::u16string JoinPath(std::u16string_view base, const NodeName& name) {
  std::u16string joined;
  joined.reserve(base.size() + 1 + name.size());
  joined.append(base);
  AppendToPath(joined, name);
  return joined;
}

namespace {

// Length of the root name: "X:", "\\\\?", "\\\\." or "\\??" when a separator
// follows, or "\\\\server"; 0 when the path has none.
std::size_t RootNameLength(std::u16string_view path) {
  if (path.size() >= 2 && path[1] == u':') {
    return 2;
  }
  if (path.size() >= 4 && IsPathSeparator(path[3])) {
    const std::u16string_view prefix = path.substr(0, 3);
    if (prefix == u"\\\\?" || prefix == u"\\\\." || prefix == u"\\??") {
      return 3;
    }
  }
  if (path.size() >= 2 && IsPathSeparator(path[0]) && IsPathSeparator(path[1])) {
    std::size_t end = 2;
    while (end < path.size() && !IsPathSeparator(path[end])) {
      ++end;
    }
    return end;
  }
  return 0;
}

}  // namespace

std::u16string LeafName(std::u16string_view path) {
  const std::u16string trimmed = TrimTrailingSeparators(path);
  const std::u16string_view view(trimmed);
  std::size_t start = RootNameLength(view);
  while (start < view.size() && IsPathSeparator(view[start])) {
    ++start;
  }
  if (start >= view.size()) {
    return std::u16string();
  }
  const std::u16string_view rest = view.substr(start);
  std::size_t lastSeparator = std::u16string_view::npos;
  for (std::size_t i = 0; i < rest.size(); ++i) {
    if (IsPathSeparator(rest[i])) {
      lastSeparator = i;
    }
  }
  if (lastSeparator == std::u16string_view::npos) {
    return std::u16string(rest);
  }
  return std::u16string(rest.substr(lastSeparator + 1));
}

}  // namespace ombrix::core
