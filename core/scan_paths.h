// Path text rules shared by every engine, so a tree's names and paths look
// the same whichever engine built it. Both '\' and '/' count as separators.
#pragma once

#include <string>
#include <string_view>

#include "core/node_name.h"

namespace ombrix::core {

bool IsPathSeparator(char16_t c);

// Drops trailing separators but never below three characters, so a drive
// root keeps its separator: "C:\\" stays, "D:\\Data\\\\" becomes "D:\\Data".
std::u16string TrimTrailingSeparators(std::u16string_view path);

// base + one backslash (unless base already ends in a separator) + name.
std::u16string JoinPath(std::u16string_view base, std::u16string_view name);
std::u16string JoinPath(std::u16string_view base, const NodeName& name);
// JoinPath in place: path becomes JoinPath(path, name).
void AppendToPath(std::u16string& path, const NodeName& name);

// The last component, empty for roots: "C:\\", "C:" and "\\\\server" give "".
std::u16string LeafName(std::u16string_view path);

}  // namespace ombrix::core
