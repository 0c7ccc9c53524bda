// ombrix-scan's entry point: wide arguments on Windows, UTF-8 elsewhere.
#include <string>
#include <vector>

#include "core/scan_model.h"
#include "tools/ombrix_scan/console_cancel.h"
#include "tools/ombrix_scan/scan_dispatch.h"
#include "tools/ombrix_scan/scan_tool.h"
#include "tools/ombrix_scan/standard_streams.h"

#if defined(_WIN32)
#include "core/wide_string_win.h"
#else
#include "core/text_encoding.h"
#endif

namespace {

int Run(const std::vector<std::u16string>& args) {
  using namespace ombrix::scan_tool;
  StandardStreamsScope streams;
  // Static: the console's interrupt handler may still run while main returns.
  static ombrix::core::ScanCancellationToken token;
  ConsoleCancelScope cancelOnCtrlC(token);
  return RunScanTool(args, token, RunScanRequest, {WriteToStdout, WriteToStderr});
}

}  // namespace

#if defined(_WIN32)
int wmain(int argc, wchar_t** argv) {
  std::vector<std::u16string> args;
  for (int i = 1; i < argc; ++i) args.push_back(ombrix::core::FromWide(argv[i]));
  return Run(args);
}
#else
int main(int argc, char** argv) {
  std::vector<std::u16string> args;
  for (int i = 1; i < argc; ++i) args.push_back(ombrix::core::FromUtf8(argv[i]));
  return Run(args);
}
#endif
