// Writing a result as a saved-scan file (saved_scan_format.h). Reads the
// result only, so it may run on any thread while nothing changes the
// result.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "core/scan_model.h"

namespace ombrix::app {

// The whole file for the first nodeCount nodes of result (the nodes a scan
// found; rows a comparison hung in after them are not part of it). Empty
// when compressing failed for want of memory.
std::optional<std::string> EncodeSavedScan(const core::ScanResult& result, std::uint64_t nodeCount,
                                           int compressionLevel);

}  // namespace ombrix::app
