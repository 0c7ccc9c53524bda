// ombrix-scan's entry point on Windows: the arguments arrive as UTF-16.
#include <string>
#include <vector>

#include "base/win/dll_search_win.h"
#include "base/win/ntdll_functions_win.h"
#include "base/win/wide_string_win.h"
#include "tools/ombrix_scan/console_program.h"

int wmain(int argc, wchar_t** argv) {
  ombrix::base::RestrictDllSearchToSystem32();
  ombrix::base::ExposePlaceholders();
  std::vector<std::u16string> args;
  for (int i = 1; i < argc; ++i) args.push_back(ombrix::base::FromWide(argv[i]));
  return ombrix::scan_tool::RunConsoleProgram(args);
}
