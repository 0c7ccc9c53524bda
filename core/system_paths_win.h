// Path calls shared by the engines' Win32 seams.
#pragma once

#include <windows.h>

#include <cstdint>
#include <optional>
#include <string>

#include "core/path_attributes.h"

namespace ombrix::core {

inline std::uint64_t FileTimeValue(const FILETIME& time) {
  return (std::uint64_t{time.dwHighDateTime} << 32) | time.dwLowDateTime;
}

// Plain paths stop at MAX_PATH unless the process opted into long paths, so
// the folders of a deep tree would come back "path not found" and silently
// lose their contents. A path that long goes to the system in extended-length
// form (\\?\C:\... or \\?\UNC\server\share\...), after GetFullPathNameW has
// applied the plain-path rules ('/' separators, "." and "..") the extended
// form skips. Shorter paths, and paths already in a device form, stay as
// they are.
std::u16string ExtendedLengthPath(const std::u16string& path);

// GetFileAttributesExW of the path; nullopt when it fails.
std::optional<PathAttributes> ReadPathAttributes(const std::u16string& path);

}  // namespace ombrix::core
