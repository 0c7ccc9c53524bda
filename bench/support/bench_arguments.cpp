#include "bench/support/bench_arguments.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>

namespace ombrix::bench {

std::optional<VolumeArguments> ParseVolumeArguments(int argc, char** argv) {
  if (argc < 2) {
    std::fprintf(stderr, "usage: %s NODES [REPEATS]\n", argv[0]);
    return std::nullopt;
  }
  VolumeArguments arguments;
  arguments.nodeCount = std::strtoull(argv[1], nullptr, 10);
  if (argc > 2) arguments.repeats = std::max(1, std::atoi(argv[2]));
  return arguments;
}

}  // namespace ombrix::bench
