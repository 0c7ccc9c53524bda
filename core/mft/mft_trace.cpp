#include "core/mft/mft_trace.h"

#include <iostream>
#include <sstream>

#include "core/environment.h"

namespace ombrix::core {

namespace {
constexpr std::size_t kTraceValueCapacity = 16;  // characters, terminator included
}

bool IsMftTraceEnabled(const std::optional<std::u16string>& value) {
  return value.has_value() && !value->empty() && value->size() < kTraceValueCapacity &&
         (*value)[0] != u'0';
}

std::string FormatMftTrace(const MftScanStats& stats, std::int64_t totalMs) {
  std::ostringstream line;
  line << "[OmbrixPerf] NtfsMftScanEngine::Scan detail: "
       << "chunks=" << stats.chunks << ", bytes=" << stats.bytes << ", records=" << stats.records
       << ", nodes=" << stats.nodes << ", parallelChunks=" << stats.parallelChunks
       << ", serialChunks=" << stats.serialChunks << ", runs=" << stats.runs
       << ", mftDataSize=" << stats.mftDataSize << ", queryVolumeMs=" << stats.queryVolumeMs
       << ", resolveRootMs=" << stats.resolveRootMs << ", readRunsMs=" << stats.readRunsMs
       << ", enumerateMftMs=" << stats.enumerateMftMs
       << ", buildChildrenMs=" << stats.buildChildrenMs
       << ", populateTreeMs=" << stats.populateTreeMs << ", finalizeMs=" << stats.finalizeMs
       << ", totalMs=" << totalMs << ", parseWorkerLimit=" << stats.parseWorkerLimit << "\n";
  return line.str();
}

void WriteMftTrace(const MftScanStats& stats, std::int64_t totalMs) {
  if (!IsMftTraceEnabled(ReadEnvironmentVariable(kMftTraceVariable))) {
    return;
  }
  const std::string line = FormatMftTrace(stats, totalMs);
#ifdef _WIN32
  // The line is ASCII; the wide error stream is what Windows programs share.
  std::wcerr << std::wstring(line.begin(), line.end()) << std::flush;
#else
  // glibc fixes a stream's orientation at its first write; the narrow
  // stream keeps the trace visible next to a program's narrow messages.
  std::cerr << line << std::flush;
#endif
}

}  // namespace ombrix::core
