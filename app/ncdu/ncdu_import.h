// Reading ncdu's JSON export (format 1.x; ../shared's facts: a directory is
// an array whose first element is its own info object, a file an object)
// into a result, so a Linux server's export can be browsed like a scan.
// Directories' own sizes (4096 on most Linux file systems) count in their
// totals as du counts them; names of one inode (ino, hlnkc, nlink) are
// linked so its blocks count once; read_error becomes an issue. Unknown
// keys are skipped whatever their value; a major version other than 1 is
// refused. The bytes come from outside: nesting is followed on a heap
// stack, not by recursion, and every token is bounds-checked.
#pragma once

#include <optional>
#include <string_view>

#include "app/saved/saved_scan_format.h"
#include "core/scan_model.h"

namespace ombrix::app {

// True when the bytes could be an ncdu export: after white space, '['.
bool LooksLikeNcduExport(std::string_view bytes);

OpenedScan ImportNcduExport(std::string_view json);

}  // namespace ombrix::app
