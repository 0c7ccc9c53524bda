// A file's extension as Windows finds it (PathFindExtension): from the last
// '.' of the name, unless a space follows it ("notes. old" has none). A
// name that is all extension (".gitignore") is its own type, as Explorer
// shows it; a lone trailing dot is no extension.
#pragma once

#include <cstddef>

namespace ombrix::app {

// Where the extension's dot is in name (anything with size() and units by
// index); name.size() when it has none.
template <typename Name>
std::size_t ExtensionStart(const Name& name) {
  const std::size_t length = name.size();
  for (std::size_t i = length; i > 0; --i) {
    const char16_t unit = name[i - 1];
    if (unit == u' ') return length;
    if (unit == u'.') return i == length ? length : i - 1;
  }
  return length;
}

}  // namespace ombrix::app
