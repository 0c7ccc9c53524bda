#include "base/thread_starter.h"

#include <gtest/gtest.h>

#include <atomic>

#include "tests/support/failing_allocator.h"

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
  bool started = true;
  {
    test::AllocationFailureScope outOfMemory(0);
    started = StartStdThread(std::move(body), thread);
  }
  EXPECT_FALSE(started);
  EXPECT_FALSE(thread.joinable());
  EXPECT_GE(test::RefusedAllocations(), 1u);
}

}  // namespace
}  // namespace ombrix::base
