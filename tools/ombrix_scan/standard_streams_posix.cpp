// The native build's streams are byte streams already; the Windows build
// uses standard_streams_win.cpp.
#include <cstdio>

#include "tools/ombrix_scan/standard_streams.h"

namespace ombrix::scan_tool {

StandardStreamsScope::StandardStreamsScope() = default;

StandardStreamsScope::~StandardStreamsScope() {
  std::fflush(stdout);
  std::fflush(stderr);
}

}  // namespace ombrix::scan_tool
