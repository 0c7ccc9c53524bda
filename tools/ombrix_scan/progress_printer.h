// ombrix-scan --progress: turns the engine's progress callbacks into lines
// on the standard error stream, at most one per interval (engines report
// every folder, which would flood a console). Callbacks may come from any
// scan thread; a mutex keeps lines whole.
#pragma once

#include <chrono>
#include <functional>
#include <mutex>
#include <optional>

#include "base/monotonic_clock.h"
#include "core/scan_model.h"
#include "tools/ombrix_scan/buffered_output.h"

namespace ombrix::scan_tool {

class ProgressPrinter {
 public:
  using Clock = std::function<base::MonotonicClock::time_point()>;

  ProgressPrinter(ByteSink sink, std::chrono::milliseconds interval, Clock clock = {});

  // The callback to hand to an engine; it refers to this printer.
  core::ProgressCallback Callback();
  void Report(const core::ScanProgress& progress);

 private:
  ByteSink sink_;
  std::chrono::milliseconds interval_;
  Clock clock_;
  std::mutex mutex_;
  std::optional<base::MonotonicClock::time_point> lastPrinted_;
};

// "progress: files=N folders=M path=P" with P in UTF-8, ending in a newline.
std::string FormatProgressLine(const core::ScanProgress& progress);

}  // namespace ombrix::scan_tool
