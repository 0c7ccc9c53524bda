#include "tools/ombrix_scan/standard_streams.h"

#include <cstdio>

namespace ombrix::scan_tool {

void WriteToStdout(std::string_view bytes) { std::fwrite(bytes.data(), 1, bytes.size(), stdout); }

void WriteToStderr(std::string_view bytes) {
  std::fwrite(bytes.data(), 1, bytes.size(), stderr);
  std::fflush(stderr);
}

}  // namespace ombrix::scan_tool
