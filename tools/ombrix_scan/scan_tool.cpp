#include "tools/ombrix_scan/scan_tool.h"

#include <chrono>
#include <exception>
#include <memory>
#include <new>
#include <optional>
#include <string>
#include <string_view>
#include <utility>

#include "app/compare/scan_comparison.h"
#include "app/ranking/folder_ranking_model.h"
#include "app/saved/scan_files.h"
#include "base/text_encoding.h"
#include "base/wall_clock.h"
#include "core/scan_paths.h"
#include "tools/ombrix_scan/exit_codes.h"
#include "tools/ombrix_scan/find_sections.h"
#include "tools/ombrix_scan/json_report.h"
#include "tools/ombrix_scan/progress_printer.h"
#include "tools/ombrix_scan/text_summary.h"

namespace ombrix::scan_tool {

namespace {

// A few lines a second: readable, and cheap next to the scan.
constexpr std::chrono::milliseconds kProgressInterval{250};

void WriteError(const ToolStreams& streams, std::string_view message) {
  streams.err(std::string("ombrix-scan: ").append(message).append("\n"));
}

// The first node whose path is `path` without its trailing separators, as
// engines store paths; none when no node has it.
std::uint64_t FindNodeByPath(const core::ScanResult& result, std::u16string_view path) {
  const std::u16string wanted = core::TrimTrailingSeparators(path);
  core::PathMaker paths(result.nodes);
  for (std::uint64_t i = 0; i < result.nodes.size(); ++i) {
    if (paths.PathOf(i) == wanted) return i;
  }
  return core::kNoNode;
}

// --save and --export-ncdu, after the report; false (and a line on the
// error stream) when a file could not be written.
bool WriteScanFiles(const ScanRequest& request, const core::ScanResult& result,
                    const ToolStreams& streams) {
  const app::SettingsFiles files = app::SystemSettingsFiles();
  bool written = true;
  if (request.saveFile &&
      !app::SaveScanFile(files, *request.saveFile, result, result.nodes.size())) {
    WriteError(streams, "could not save the scan to '" + base::ToUtf8(*request.saveFile) + "'");
    written = false;
  }
  if (request.ncduExportFile) {
    const std::uint64_t seconds = result.scanTime > base::kUnixEpochAsFileTime
                                      ? (result.scanTime - base::kUnixEpochAsFileTime) / 10'000'000
                                      : 0;
    if (!app::ExportNcduFile(files, *request.ncduExportFile, result, result.nodes.size(),
                             seconds)) {
      WriteError(streams, "could not write the ncdu export '" +
                              base::ToUtf8(*request.ncduExportFile) + "'");
      written = false;
    }
  }
  return written;
}

int RunParsedScanTool(const std::vector<std::u16string>& args, core::ScanCancellationToken& token,
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

  // The earlier scan is opened first: a bad file ends the run before a
  // long scan, not after it.
  std::optional<core::ScanResult> earlier;
  if (request.compareFile) {
    ScanOutcome opened = OpenScan(*request.compareFile);
    if (!opened.result) {
      WriteError(streams, "--compare: " + opened.error);
      return kExitFailedOrBadUsage;
    }
    earlier = std::move(opened.result);
  }

  ScanOutcome outcome = runScan(request, token, progress);
  if (!outcome.result) {
    WriteError(streams, outcome.error);
    return kExitFailedOrBadUsage;
  }
  // The window's own model ranks, so the tool lists what the window shows.
  app::FolderRankingModel ranking;
  ranking.SetResult(std::move(*outcome.result));
  ranking.SetSizeBasis(request.sizes);
  const core::ScanResult& result = ranking.Result();
  std::uint64_t ranked = result.rootIndex;
  if (request.select) {
    ranked = FindNodeByPath(result, *request.select);
    // A failed scan has no tree to find anything in; its own error says why.
    if (ranked == core::kNoNode && result.rootIndex < result.nodes.size()) {
      WriteError(streams, "--select: no scanned file or folder has the path '" +
                              base::ToUtf8(*request.select) + "'");
      streams.err("\n");
      streams.err(UsageText());
      return kExitFailedOrBadUsage;
    }
  }
  // A cancelled scan is ranked too: the report covers what was scanned.
  ranking.BuildRankings(ranked, request.topCount);
  std::optional<app::ScanComparison> comparison;
  if (earlier) {
    comparison = app::CompareScans(result, *earlier);
    earlier.reset();
  }
  const app::ScanComparison* changes = comparison ? &*comparison : nullptr;
  const FindSections found =
      MakeFindSections(request, result, ranked, request.sizes);
  {
    BufferedOutput out(streams.out);
    if (request.json) {
      WriteJsonReport(
          out, ranking, request.tree,
          [&](BufferedOutput& sections) { WriteJsonFindSections(sections, result.nodes, found); },
          changes);
    } else {
      WriteTextSummary(out, ranking, changes);
      WriteTextFindSections(out, result.nodes, found, request.topCount);
    }
  }
  const bool filesWritten = WriteScanFiles(request, result, streams);
  if (result.status == core::ScanStatus::Failed) {
    WriteError(streams, result.message.empty() ? std::string("the scan failed")
                                               : base::ToUtf8(result.message));
  } else if (result.status == core::ScanStatus::Cancelled) {
    WriteError(streams, "cancelled; the report covers what was scanned until then");
  }
  const int exitCode = filesWritten ? ExitCodeForStatus(result.status) : kExitFailedOrBadUsage;
  if (keepResult) keepResult(std::move(ranking));
  return exitCode;
}

}  // namespace

int RunScanTool(const std::vector<std::u16string>& args, core::ScanCancellationToken& token,
                const ScanRunner& runScan, const ToolStreams& streams,
                const ResultKeeper& keepResult) {
  // A tree too large for this machine's memory, or any other failure that
  // escapes the scan or the report, ends like every other failure: one line
  // and exit 2, not the runtime's abort (which scripts read as a crash).
  try {
    return RunParsedScanTool(args, token, runScan, streams, keepResult);
  } catch (const std::bad_alloc&) {
    WriteError(streams, "out of memory");
  } catch (const std::exception& failure) {
    WriteError(streams, std::string("unexpected failure: ") + failure.what());
  } catch (...) {
    WriteError(streams, "unexpected failure");
  }
  return kExitFailedOrBadUsage;
}

}  // namespace ombrix::scan_tool
