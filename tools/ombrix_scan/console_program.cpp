#include "tools/ombrix_scan/console_program.h"

#include <utility>

#include "app/ranking/folder_ranking_model.h"
#include "tools/ombrix_scan/console_cancel.h"
#include "tools/ombrix_scan/scan_dispatch.h"
#include "tools/ombrix_scan/scan_tool.h"
#include "tools/ombrix_scan/standard_streams.h"

namespace ombrix::scan_tool {

namespace {

// The process ends right after the report. Giving a result of a million
// nodes back to the heap string by string would take about a fifth of the
// whole run; the system takes the memory back at once. Still reachable
// through this pointer, so leak checkers do not count it.
app::FolderRankingModel* keptUntilExit = nullptr;

void KeepUntilExit(app::FolderRankingModel&& ranking) {
  if (keptUntilExit == nullptr) keptUntilExit = new app::FolderRankingModel(std::move(ranking));
}

}  // namespace

int RunConsoleProgram(const std::vector<std::u16string>& args) {
  StandardStreamsScope streams;
  // Static: the console's interrupt handler may still run while main returns.
  static core::ScanCancellationToken token;
  ConsoleCancelScope cancelOnCtrlC(token);
  return RunScanTool(args, token, RunScanRequest, {WriteToStdout, WriteToStderr}, KeepUntilExit);
}

}  // namespace ombrix::scan_tool
