#include "core/mft/mft_trace.h"

#include <cstdio>
#include <sstream>

#include "base/environment.h"

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
  if (!IsMftTraceEnabled(base::ReadEnvironmentVariable(kMftTraceVariable))) {
    return;
  }
  // One narrow write of the ASCII line: the wide stream would come out as
  // UTF-16 once a console program has put its standard error in binary
  // mode for UTF-8 output, and glibc fixes a stream's orientation at its
  // first write.
  const std::string line = FormatMftTrace(stats, totalMs);
  std::fwrite(line.data(), 1, line.size(), stderr);
  std::fflush(stderr);
}

}  // namespace ombrix::core
