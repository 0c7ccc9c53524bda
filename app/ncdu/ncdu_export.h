// Writing a result in ncdu's JSON export format, version 1.2: what a Linux
// server's disk-usage tools read. Every item gets its own sizes (asize, the
// logical size; dsize, the size on disk; both left out when 0); names of
// one file carry its link group as ino with hlnkc and nlink, so the file's
// blocks count once; folders that could not be read carry read_error.
// Reads the result only; any thread.
#pragma once

#include <cstdint>
#include <string>

#include "core/scan_model.h"

namespace ombrix::app {

// The export of the first nodeCount nodes (see EncodeSavedScan) below the
// result's root. timestamp: the metadata's date, UNIX seconds.
std::string WriteNcduExport(const core::ScanResult& result, std::uint64_t nodeCount,
                            std::uint64_t timestamp);

}  // namespace ombrix::app
