#include "tests/support/failing_allocator.h"

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <new>
#include <thread>

namespace ombrix::test {
namespace {

std::atomic<bool> armed{false};
std::atomic<std::int64_t> remaining{0};
std::atomic<std::uint64_t> refused{0};
std::atomic<std::uint64_t> refusalsLeft{0};
std::atomic<bool> workersOnly{false};
// The arming thread's id, compared without locks from any thread.
std::atomic<std::thread::id> armingThread{};

// Trivially destructible, so it can be counted in as a thread ends.
thread_local std::uint64_t releasesOnThisThread = 0;
thread_local std::uint64_t bytesReleasedOnThisThread = 0;

bool ShouldFail() {
  if (!armed.load(std::memory_order_acquire)) return false;
  if (workersOnly.load(std::memory_order_relaxed) &&
      std::this_thread::get_id() == armingThread.load(std::memory_order_relaxed)) {
    return false;
  }
  if (remaining.fetch_sub(1, std::memory_order_relaxed) > 0) return false;
  std::uint64_t left = refusalsLeft.load(std::memory_order_relaxed);
  do {
    if (left == 0) return false;
  } while (!refusalsLeft.compare_exchange_weak(left, left == kEveryLaterAllocation ? left : left - 1,
                                               std::memory_order_relaxed));
  refused.fetch_add(1, std::memory_order_relaxed);
  return true;
}

}  // namespace

void ArmAllocationFailure(std::uint64_t successes, FailingThreads threads,
                          std::uint64_t failures) {
  remaining.store(static_cast<std::int64_t>(successes), std::memory_order_relaxed);
  refusalsLeft.store(failures, std::memory_order_relaxed);
  refused.store(0, std::memory_order_relaxed);
  workersOnly.store(threads == FailingThreads::OthersThanArming, std::memory_order_relaxed);
  armingThread.store(std::this_thread::get_id(), std::memory_order_relaxed);
  armed.store(true, std::memory_order_release);
}

void DisarmAllocationFailure() { armed.store(false, std::memory_order_release); }

std::uint64_t RefusedAllocations() { return refused.load(std::memory_order_relaxed); }

std::uint64_t ReleasesOnThisThread() { return releasesOnThisThread; }

std::uint64_t BytesReleasedOnThisThread() { return bytesReleasedOnThisThread; }

}  // namespace ombrix::test

// The replacements: malloc and free on both sides, so every form of new and
// delete the program uses meets in one pair. GCC cannot see that and warns
// about a mismatch. Each block carries its size in front of it, aligned as
// malloc aligns, so a free can be counted in bytes on every platform.
#pragma GCC diagnostic ignored "-Wmismatched-new-delete"
namespace {
constexpr std::size_t kSizeHeader = alignof(std::max_align_t);
}  // namespace

void* operator new(std::size_t size) {
  if (ombrix::test::ShouldFail()) throw std::bad_alloc();
  if (size > SIZE_MAX - kSizeHeader) throw std::bad_alloc();
  if (auto* block = static_cast<unsigned char*>(std::malloc(kSizeHeader + size))) {
    std::memcpy(block, &size, sizeof size);
    return block + kSizeHeader;
  }
  throw std::bad_alloc();
}
void* operator new[](std::size_t size) { return operator new(size); }
void operator delete(void* p) noexcept {
  if (p == nullptr) return;
  unsigned char* block = static_cast<unsigned char*>(p) - kSizeHeader;
  std::size_t size = 0;
  std::memcpy(&size, block, sizeof size);
  ++ombrix::test::releasesOnThisThread;
  ombrix::test::bytesReleasedOnThisThread += size;
  std::free(block);
}
void operator delete[](void* p) noexcept { operator delete(p); }
void operator delete(void* p, std::size_t) noexcept { operator delete(p); }
void operator delete[](void* p, std::size_t) noexcept { operator delete(p); }
