// A find over a result in memory: the files below a node whose name, size
// and last-write time fit a query (find_query.h), the largest first.
#pragma once

#include <cstdint>
#include <optional>
#include <stop_token>

#include "app/find/files_below.h"
#include "app/find/find_query.h"
#include "core/scan_model.h"

namespace ombrix::app {

// A query made concrete: the date as a FILETIME, in the time zone the
// caller chose (the window: local time; ombrix-scan: UTC).
struct FindCriteria {
  NamePattern pattern;
  std::uint64_t minimumSize = 0;              // on the size basis
  std::optional<std::uint64_t> writtenBefore;  // FILETIME; unknown times (0) never match
};

// Matching files below `below` (none or the root: the whole result), the
// `limit` largest of them listed, largest first on `basis`; none when a
// stop was requested before the find was complete.
std::optional<FileMatches> FindFiles(const core::ScanResult& result, std::uint64_t below,
                                     const FindCriteria& criteria, core::SizeBasis basis,
                                     std::uint64_t limit, std::stop_token stop = {});

}  // namespace ombrix::app
