// DecodeMftDataRuns on arbitrary bytes taken as the repaired record 0.
// Runs must never point below cluster 0 or be empty, and a failed decode
// must leave the run list as it was.
#include <cstddef>
#include <cstdint>
#include <vector>

#include "core/mft/mft_record.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::vector<std::uint8_t> record0(data, data + size);
  std::vector<ombrix::core::MftDataRun> runs = {{7, 1}};
  std::uint64_t dataSize = 0;
  const bool ok = ombrix::core::DecodeMftDataRuns(record0, runs, dataSize);
  if (!ok && runs.size() != 1) __builtin_trap();
  for (const auto& run : runs) {
    if (run.lcn < 0 || run.clusterCount == 0) __builtin_trap();
  }
  return 0;
}
