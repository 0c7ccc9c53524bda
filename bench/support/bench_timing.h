// Timing a step as every in-process benchmark prints it: wall time and the
// thread's CPU time (steadier on a shared machine), medians over repeats,
// one "name wall-ms cpu-ms detail" line per figure.
#pragma once

#include <cstdint>
#include <functional>
#include <vector>

namespace ombrix::bench {

struct Timing {
  double wallMs = 0;
  double cpuMs = 0;
};

Timing Time(const std::function<void()>& step);
Timing MedianTime(int repeats, const std::function<void()>& step);
// The median of timings taken one by one (steps with untimed set-up).
Timing MedianOf(const std::vector<Timing>& timings);
void PrintTiming(const char* name, Timing timing, std::uint64_t detail);

}  // namespace ombrix::bench
