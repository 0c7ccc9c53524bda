// Path text under Windows' rules, usable natively too (where '/' paths
// work the same): both '\' and '/' separate components.
#pragma once

#include <string>
#include <string_view>

namespace ombrix::app {

// left + '\' + right, without the backslash when left is empty, already ends
// in a separator or is a bare drive ("D:" + "x" is "D:x"), as
// std::filesystem::path's append does on Windows.
std::u16string AppendPathComponent(std::u16string_view left, std::u16string_view right);

// The path without its last component and the separators before it; a
// root keeps its separator ("C:\x" gives "C:\", "\x" gives "\"). Empty for
// a bare name.
std::u16string ParentFolder(std::u16string_view path);

}  // namespace ombrix::app
