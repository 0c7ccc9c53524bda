#include "app/find/latest_query_runner.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <string>
#include <vector>

namespace ombrix::app {
namespace {

// Counts the runner's wake-ups and lets the test wait for them.
class Waker {
 public:
  std::function<void()> Callback() {
    return [this] {
      std::lock_guard lock(mutex_);
      ++wakes_;
      changed_.notify_all();
    };
  }
  bool WaitFor(int wakes) {
    std::unique_lock lock(mutex_);
    return changed_.wait_for(lock, std::chrono::seconds(20), [&] { return wakes_ >= wakes; });
  }

 private:
  std::mutex mutex_;
  std::condition_variable changed_;
  int wakes_ = 0;
};

// A question that runs until it is asked to stop, then gives no answer.
LatestQueryRunner::Question Endless(std::atomic<bool>& started) {
  return [&started](std::stop_token stop) -> std::function<void()> {
    started = true;
    while (!stop.stop_requested()) std::this_thread::yield();
    return nullptr;
  };
}

LatestQueryRunner::Question Answering(std::vector<std::string>& shown, std::string answer) {
  return [&shown, answer](std::stop_token) -> std::function<void()> {
    return [&shown, answer] { shown.push_back(answer); };
  };
}

TEST(LatestQueryRunnerTest, ANewQuestionStopsTheRunningOneAndOnlyItsAnswerIsShown) {
  Waker waker;
  std::vector<std::string> shown;
  LatestQueryRunner runner(waker.Callback());
  std::atomic<bool> started{false};
  runner.Ask(Endless(started));
  while (!started) std::this_thread::yield();
  runner.Ask(Answering(shown, "second"));
  ASSERT_TRUE(waker.WaitFor(1));
  runner.Deliver();
  EXPECT_EQ(shown, std::vector<std::string>{"second"});
  runner.Deliver();  // nothing new
  EXPECT_EQ(shown.size(), 1u);
}

TEST(LatestQueryRunnerTest, AnAnswerOvertakenByANewerQuestionIsDropped) {
  Waker waker;
  std::vector<std::string> shown;
  LatestQueryRunner runner(waker.Callback());
  std::mutex gate;
  std::unique_lock held(gate);
  std::atomic<bool> started{false};
  // The first question ignores its stop token and answers anyway, after
  // the second was asked.
  runner.Ask([&](std::stop_token) -> std::function<void()> {
    started = true;
    std::lock_guard wait(gate);
    return [&shown] { shown.push_back("first"); };
  });
  while (!started) std::this_thread::yield();
  runner.Ask(Answering(shown, "second"));
  held.unlock();
  ASSERT_TRUE(waker.WaitFor(1));
  runner.Deliver();
  EXPECT_EQ(shown, std::vector<std::string>{"second"});
}

TEST(LatestQueryRunnerTest, CancelAndWaitReturnsOnceNothingRunsAndShowsNothing) {
  Waker waker;
  std::vector<std::string> shown;
  LatestQueryRunner runner(waker.Callback());
  std::atomic<bool> started{false};
  runner.Ask(Endless(started));
  while (!started) std::this_thread::yield();
  runner.CancelAndWait();
  runner.Deliver();
  EXPECT_TRUE(shown.empty());
  // The runner goes on answering afterwards.
  runner.Ask(Answering(shown, "after"));
  ASSERT_TRUE(waker.WaitFor(1));
  runner.Deliver();
  EXPECT_EQ(shown, std::vector<std::string>{"after"});
}

TEST(LatestQueryRunnerTest, WithoutItsThreadQuestionsAreAnsweredAtOnce) {
  Waker waker;
  std::vector<std::string> shown;
  LatestQueryRunner runner(waker.Callback(),
                           [](std::function<void()>, std::thread&) { return false; });
  runner.Ask(Answering(shown, "inline"));
  ASSERT_TRUE(waker.WaitFor(1));
  runner.Deliver();
  EXPECT_EQ(shown, std::vector<std::string>{"inline"});
}

TEST(LatestQueryRunnerTest, DestroyingTheRunnerStopsTheRunningQuestion) {
  Waker waker;
  std::atomic<bool> started{false};
  {
    LatestQueryRunner runner(waker.Callback());
    runner.Ask(Endless(started));
    while (!started) std::this_thread::yield();
  }
  SUCCEED();
}

}  // namespace
}  // namespace ombrix::app
