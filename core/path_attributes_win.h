// The Win32 answer to "what is this path": shared by every engine's seam.
#pragma once

#include <optional>
#include <string>

#include "core/path_attributes.h"

namespace ombrix::core {

// GetFileAttributesExW of the path (in extended-length form when long);
// nothing when it fails.
std::optional<PathAttributes> ReadPathAttributes(const std::u16string& path);

}  // namespace ombrix::core
