#include "tools/ombrix_scan/scan_tool.h"

#include <chrono>
#include <memory>
#include <utility>

#include "base/text_encoding.h"
#include "tools/ombrix_scan/exit_codes.h"
#include "tools/ombrix_scan/json_report.h"
#include "tools/ombrix_scan/progress_printer.h"
#include "tools/ombrix_scan/text_summary.h"
#include "tools/ombrix_scan/top_ranking.h"

namespace ombrix::scan_tool {

namespace {

// A few lines a second: readable, and cheap next to the scan.
constexpr std::chrono::milliseconds kProgressInterval{250};

void WriteError(const ToolStreams& streams, std::string_view message) {
  streams.err(std::string("ombrix-scan: ").append(message).append("\n"));
}

}  // namespace

int RunScanTool(const std::vector<std::u16string>& args, core::ScanCancellationToken& token,
                const ScanRunner& runScan, const ToolStreams& streams,
                const ResultKeeper& keepResult) {
  const ParsedCommandLine parsed = ParseCommandLine(args);
  if (!parsed.request) {
    WriteError(streams, parsed.error);
    streams.err("\n");
    streams.err(UsageText());
    return kExitFailedOrBadUsage;
  }
  const ScanRequest& request = *parsed.request;
  if (request.help) {
    streams.out(UsageText());
    return kExitCompleted;
  }

  std::unique_ptr<ProgressPrinter> printer;
  core::ProgressCallback progress;
  if (request.progress) {
    printer = std::make_unique<ProgressPrinter>(streams.err, kProgressInterval);
    progress = printer->Callback();
  }

  ScanOutcome outcome = runScan(request, token, progress);
  if (!outcome.result) {
    WriteError(streams, outcome.error);
    return kExitFailedOrBadUsage;
  }
  const core::ScanResult& result = *outcome.result;
  const TopEntries top = RankLargest(result, request.topCount);
  {
    BufferedOutput out(streams.out);
    if (request.json) {
      WriteJsonReport(out, result, top, request.tree);
    } else {
      WriteTextSummary(out, result, top);
    }
  }
  if (result.status == core::ScanStatus::Failed) {
    WriteError(streams, result.message.empty() ? std::string("the scan failed")
                                               : base::ToUtf8(result.message));
  } else if (result.status == core::ScanStatus::Cancelled) {
    WriteError(streams, "cancelled; the report covers what was scanned until then");
  }
  const int exitCode = ExitCodeForStatus(result.status);
  if (keepResult) keepResult(std::move(*outcome.result));
  return exitCode;
}

}  // namespace ombrix::scan_tool
