// Maps a parsed request to the engines this build has and runs the scan.
// This is the one place that knows which engines exist: a new engine, image
// scanning or the several-path scheduler is wired in here and nowhere else.
#pragma once

#include <optional>
#include <string>

#include "core/scan_model.h"
#include "tools/ombrix_scan/scan_request.h"

namespace ombrix::scan_tool {

struct ScanOutcome {
  std::optional<core::ScanResult> result;  // set when a scan ran (whatever its status)
  std::string error;                       // otherwise why none could run
};

// A saved scan or an ncdu export, opened; the error names the file.
ScanOutcome OpenScan(const std::u16string& path);

// Opens request.loadFile, or scans.
ScanOutcome RunScanRequest(const ScanRequest& request, core::ScanCancellationToken& token,
                           const core::ProgressCallback& progress);

}  // namespace ombrix::scan_tool
