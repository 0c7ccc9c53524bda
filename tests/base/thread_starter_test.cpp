#include "base/thread_starter.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cstdlib>
#include <new>

namespace {

// While set on a thread, that thread's next allocations through the global
// operator new fail: how starting a thread meets an exhausted heap.
thread_local bool failAllocations = false;

}  // namespace

// The replacement pair below is malloc/free on both sides; GCC cannot see
// that and warns about a mismatch.
#pragma GCC diagnostic ignored "-Wmismatched-new-delete"

void* operator new(std::size_t size) {
  if (failAllocations) throw std::bad_alloc();
  if (void* p = std::malloc(size == 0 ? 1 : size)) return p;
  throw std::bad_alloc();
}
void operator delete(void* p) noexcept { std::free(p); }
void operator delete(void* p, std::size_t) noexcept { std::free(p); }

namespace ombrix::base {
namespace {

TEST(ThreadStarterTest, RunsTheBodyOnANewThread) {
  std::atomic<bool> ran{false};
  std::thread thread;
  ASSERT_TRUE(StartStdThread([&] { ran = true; }, thread));
  thread.join();
  EXPECT_TRUE(ran);
}

// An exhausted heap surfaces as std::bad_alloc, not std::system_error; a
// pool that let it escape past its joinable threads would terminate.
TEST(ThreadStarterTest, AllocationFailureIsAStartFailure) {
  std::function<void()> body = [] {};
  std::thread thread;
  failAllocations = true;
  const bool started = StartStdThread(std::move(body), thread);
  failAllocations = false;
  EXPECT_FALSE(started);
  EXPECT_FALSE(thread.joinable());
}

}  // namespace
}  // namespace ombrix::base
