#include "bench/support/bench_timing.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <ctime>

#include "base/monotonic_clock.h"

namespace ombrix::bench {
namespace {

double ThreadCpuMilliseconds() {
  timespec now{};
  clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
  return static_cast<double>(now.tv_sec) * 1e3 + static_cast<double>(now.tv_nsec) * 1e-6;
}

}  // namespace

Timing Time(const std::function<void()>& step) {
  const double cpuStart = ThreadCpuMilliseconds();
  const auto start = base::MonotonicClock::now();
  step();
  const double wallMs =
      std::chrono::duration<double, std::milli>(base::MonotonicClock::now() - start).count();
  return {wallMs, ThreadCpuMilliseconds() - cpuStart};
}

Timing MedianOf(const std::vector<Timing>& timings) {
  std::vector<double> wall;
  std::vector<double> cpu;
  for (const Timing& timing : timings) {
    wall.push_back(timing.wallMs);
    cpu.push_back(timing.cpuMs);
  }
  if (wall.empty()) return {};
  std::sort(wall.begin(), wall.end());
  std::sort(cpu.begin(), cpu.end());
  return {wall[wall.size() / 2], cpu[cpu.size() / 2]};
}

Timing MedianTime(int repeats, const std::function<void()>& step) {
  std::vector<Timing> timings;
  for (int i = 0; i < repeats; ++i) timings.push_back(Time(step));
  return MedianOf(timings);
}

void PrintTiming(const char* name, Timing timing, std::uint64_t detail) {
  std::printf("%s %.3f %.3f %llu\n", name, timing.wallMs, timing.cpuMs,
              static_cast<unsigned long long>(detail));
  std::fflush(stdout);
}

}  // namespace ombrix::bench
