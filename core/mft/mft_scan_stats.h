// What one MFT scan counted and how long its phases took: the figures of
// the timing trace.
#pragma once

#include <cstdint>

namespace ombrix::core {

// In the order the trace prints them (apart from parseWorkerLimit, which
// the trace puts last).
struct MftScanStats {
  std::uint64_t chunks = 0;
  std::uint64_t bytes = 0;    // whole records handed to the decoder
  std::uint64_t records = 0;  // record slots handed to the decoder, in use or not
  std::uint64_t nodes = 0;
  std::uint64_t parallelChunks = 0;
  std::uint64_t serialChunks = 0;
  std::uint64_t runs = 0;
  std::uint64_t mftDataSize = 0;
  std::uint64_t parseWorkerLimit = 1;
  std::int64_t queryVolumeMs = 0;
  std::int64_t resolveRootMs = 0;
  std::int64_t readRunsMs = 0;
  std::int64_t enumerateMftMs = 0;
  std::int64_t buildChildrenMs = 0;
  std::int64_t populateTreeMs = 0;
  std::int64_t finalizeMs = 0;
};

}  // namespace ombrix::core
