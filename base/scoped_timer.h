// Adds the whole milliseconds a scope took to a counter when the scope
// ends, so a function that times its phases still reads top to bottom.
#pragma once

#include <cstdint>
#include <utility>

#include "base/monotonic_clock.h"

namespace ombrix::base {

class ScopedTimer {
 public:
  explicit ScopedTimer(std::int64_t& elapsedMs)
      : elapsedMs_(elapsedMs), start_(MonotonicClock::now()) {}
  ~ScopedTimer() { elapsedMs_ += ElapsedMilliseconds(start_); }
  ScopedTimer(const ScopedTimer&) = delete;
  ScopedTimer& operator=(const ScopedTimer&) = delete;

 private:
  std::int64_t& elapsedMs_;
  MonotonicClock::time_point start_;
};

// Runs step and adds the milliseconds it took to elapsedMs; returns what
// step returns.
template <typename Step>
decltype(auto) TimeInto(std::int64_t& elapsedMs, Step&& step) {
  ScopedTimer timer(elapsedMs);
  return step();
}

}  // namespace ombrix::base
