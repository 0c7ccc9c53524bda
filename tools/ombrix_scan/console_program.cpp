#include "tools/ombrix_scan/console_program.h"

#include "core/scan_model.h"
#include "tools/ombrix_scan/console_cancel.h"
#include "tools/ombrix_scan/scan_dispatch.h"
#include "tools/ombrix_scan/scan_tool.h"
#include "tools/ombrix_scan/standard_streams.h"

namespace ombrix::scan_tool {

int RunConsoleProgram(const std::vector<std::u16string>& args) {
  StandardStreamsScope streams;
  // Static: the console's interrupt handler may still run while main returns.
  static core::ScanCancellationToken token;
  ConsoleCancelScope cancelOnCtrlC(token);
  return RunScanTool(args, token, RunScanRequest, {WriteToStdout, WriteToStderr});
}

}  // namespace ombrix::scan_tool
