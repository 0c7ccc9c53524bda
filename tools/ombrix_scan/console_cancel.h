// Ctrl+C asks the running scan to stop: while a ConsoleCancelScope lives,
// the console's interrupt sets the token, and the scan returns its partial
// tree with status Cancelled. A second Ctrl+C ends the program the usual
// way, for an engine stuck in a slow system call.
//
// The handler runs on a system thread (Windows) or in a signal handler
// (elsewhere), so it only stores to the token's lock-free flag. The token
// must outlive the scope; one scope at a time.
#pragma once

#include "core/scan_model.h"

namespace ombrix::scan_tool {

class ConsoleCancelScope {
 public:
  explicit ConsoleCancelScope(core::ScanCancellationToken& token);
  ~ConsoleCancelScope();
  ConsoleCancelScope(const ConsoleCancelScope&) = delete;
  ConsoleCancelScope& operator=(const ConsoleCancelScope&) = delete;
};

}  // namespace ombrix::scan_tool
