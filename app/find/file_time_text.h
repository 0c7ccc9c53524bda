// A last-write time as the found lists show it: "2024-01-31 17:05", the
// form the filter box takes dates in. The caller shifts the FILETIME into
// the time zone it shows (the window: local time); 0 (unknown) reads empty.
#pragma once

#include <cstdint>
#include <string>

namespace ombrix::app {

std::u16string FileTimeText(std::uint64_t fileTime);

}  // namespace ombrix::app
