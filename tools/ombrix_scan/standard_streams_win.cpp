#include <windows.h>

#include <cstdio>
#include <fcntl.h>
#include <io.h>

#include "tools/ombrix_scan/standard_streams.h"

namespace ombrix::scan_tool {

StandardStreamsScope::StandardStreamsScope() {
  _setmode(_fileno(stdout), _O_BINARY);
  _setmode(_fileno(stderr), _O_BINARY);
  // Only an attached console cares; pipes and files get the bytes as they are.
  previousCodePage_ = GetConsoleOutputCP();
  if (previousCodePage_ != 0) SetConsoleOutputCP(CP_UTF8);
}

StandardStreamsScope::~StandardStreamsScope() {
  std::fflush(stdout);
  std::fflush(stderr);
  if (previousCodePage_ != 0) SetConsoleOutputCP(previousCodePage_);
}

}  // namespace ombrix::scan_tool
