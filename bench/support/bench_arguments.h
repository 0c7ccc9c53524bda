// The command line of the benchmarks that build a synthetic volume in
// process: NODES [REPEATS].
#pragma once

#include <cstdint>
#include <optional>

namespace ombrix::bench {

struct VolumeArguments {
  std::uint64_t nodeCount = 0;
  int repeats = 5;
};

// None (and a usage line on stderr) when NODES is missing.
std::optional<VolumeArguments> ParseVolumeArguments(int argc, char** argv);

}  // namespace ombrix::bench
