#pragma once

#include <cstdint>

namespace ombrix::core {

// What an engine reads about the scan path itself before listing it: the
// root node's attributes and time. Shared by the directory walk's finder
// and the directory-query engine's lister.
struct PathAttributes {
  std::uint32_t attributes = 0;     // Win32 file attribute bits
  std::uint64_t lastWriteTime = 0;  // FILETIME
};

}  // namespace ombrix::core
