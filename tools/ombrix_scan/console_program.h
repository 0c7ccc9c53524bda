#pragma once

#include <string>
#include <vector>

namespace ombrix::scan_tool {

// The console program around RunScanTool: UTF-8 streams, Ctrl+C cancelling
// the scan, the real scan runner. args excludes the program name; returns
// the exit code.
int RunConsoleProgram(const std::vector<std::u16string>& args);

}  // namespace ombrix::scan_tool
