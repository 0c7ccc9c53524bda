#include "tools/ombrix_scan/progress_printer.h"

#include "base/monotonic_clock.h"
#include "base/text_encoding.h"

namespace ombrix::scan_tool {

ProgressPrinter::ProgressPrinter(ByteSink sink, std::chrono::milliseconds interval, Clock clock)
    : sink_(std::move(sink)), interval_(interval), clock_(std::move(clock)) {
  if (!clock_) clock_ = [] { return base::MonotonicClock::now(); };
}

core::ProgressCallback ProgressPrinter::Callback() {
  return [this](const core::ScanProgress& progress) { Report(progress); };
}

void ProgressPrinter::Report(const core::ScanProgress& progress) {
  const auto now = clock_();
  std::lock_guard lock(mutex_);
  if (lastPrinted_ && now - *lastPrinted_ < interval_) return;
  lastPrinted_ = now;
  if (sink_) sink_(FormatProgressLine(progress));
}

std::string FormatProgressLine(const core::ScanProgress& progress) {
  std::string line = "progress: files=" + std::to_string(progress.filesScanned) +
                     " folders=" + std::to_string(progress.foldersScanned) + " path=";
  for (char c : base::ToUtf8(progress.currentPath)) {
    // One record per line, whatever the name holds.
    line.push_back(static_cast<unsigned char>(c) < 0x20 ? '?' : c);
  }
  line.push_back('\n');
  return line;
}

}  // namespace ombrix::scan_tool
