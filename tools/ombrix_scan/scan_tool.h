// The whole of ombrix-scan but its entry point: parse, scan, report, and
// pick the exit code. The scan itself and the output streams are passed in,
// so tests can run the tool with a fake scan and capture what it writes.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "app/ranking/folder_ranking_model.h"
#include "core/scan_model.h"
#include "tools/ombrix_scan/buffered_output.h"
#include "tools/ombrix_scan/scan_dispatch.h"
#include "tools/ombrix_scan/scan_request.h"

namespace ombrix::scan_tool {

using ScanRunner = std::function<ScanOutcome(const ScanRequest&, core::ScanCancellationToken&,
                                             const core::ProgressCallback&)>;

struct ToolStreams {
  ByteSink out;  // the report
  ByteSink err;  // errors, usage after a usage error, progress lines
};

// Takes the ranked scan result once the report is written; without one the
// result is destroyed before RunScanTool returns.
using ResultKeeper = std::function<void(app::FolderRankingModel&& ranking)>;

// args excludes the program name. Returns the process exit code.
int RunScanTool(const std::vector<std::u16string>& args, core::ScanCancellationToken& token,
                const ScanRunner& runScan, const ToolStreams& streams,
                const ResultKeeper& keepResult = {});

}  // namespace ombrix::scan_tool
