// Makes the program under test run out of memory on demand: while armed,
// the global operator new throws std::bad_alloc once the given number of
// allocations has succeeded. Real allocation points fail, in real code, on
// whichever thread reaches them. The same replacement counts what each
// thread frees.
#pragma once

#include <cstdint>

namespace ombrix::test {

enum class FailingThreads {
  Any,
  OthersThanArming,  // only threads other than the one that armed it (workers)
};

inline constexpr std::uint64_t kEveryLaterAllocation = ~std::uint64_t{0};

// Lets `successes` more allocations through, then refuses `failures` of
// them (by default every later one until disarmed); after that allocations
// succeed again, as they would once the failed work has been released.
void ArmAllocationFailure(std::uint64_t successes, FailingThreads threads = FailingThreads::Any,
                          std::uint64_t failures = kEveryLaterAllocation);
void DisarmAllocationFailure();
// How many allocations were refused since the last arming.
std::uint64_t RefusedAllocations();

// How many blocks the calling thread has given back so far: a test can
// tell which thread freed a large structure.
std::uint64_t ReleasesOnThisThread();
// The bytes of the blocks freed on the calling thread so far.
std::uint64_t BytesReleasedOnThisThread();

// Disarms when the scope ends, whatever happens in it.
struct AllocationFailureScope {
  AllocationFailureScope(std::uint64_t successes, FailingThreads threads = FailingThreads::Any,
                         std::uint64_t failures = kEveryLaterAllocation) {
    ArmAllocationFailure(successes, threads, failures);
  }
  ~AllocationFailureScope() { DisarmAllocationFailure(); }
  AllocationFailureScope(const AllocationFailureScope&) = delete;
  AllocationFailureScope& operator=(const AllocationFailureScope&) = delete;
};

}  // namespace ombrix::test
