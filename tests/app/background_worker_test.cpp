#include "app/background_worker.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <future>
#include <memory>
#include <mutex>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

#include "app/answer_mailbox.h"
#include "app/background_disposer.h"

namespace ombrix::app {
namespace {

using namespace std::chrono_literals;

TEST(BackgroundWorkerTest, RunsJobsInOrderOffTheCallersThreadAndSurvivesAThrowingOne) {
  std::vector<int> order;
  std::thread::id ranOn;
  std::promise<void> done;
  {
    BackgroundWorker worker;
    worker.Post([&] { order.push_back(1); });
    worker.Post([] { throw std::runtime_error("lost"); });
    worker.Post([&] {
      order.push_back(2);
      ranOn = std::this_thread::get_id();
      done.set_value();
    });
    ASSERT_EQ(done.get_future().wait_for(10s), std::future_status::ready);
  }
  EXPECT_EQ(order, (std::vector<int>{1, 2}));
  EXPECT_NE(ranOn, std::this_thread::get_id());
}

// Teardown waits for the job that runs (a blocked query cannot be called
// off) and drops the ones that have not started.
TEST(BackgroundWorkerTest, DestructionJoinsTheRunningJobAndDropsTheWaitingOnes) {
  std::promise<void> entered;
  std::atomic<bool> release{false};
  std::atomic<bool> finished{false};
  std::atomic<bool> waitingRan{false};
  std::thread releaser;
  {
    BackgroundWorker worker;
    worker.Post([&] {
      entered.set_value();
      while (!release.load()) std::this_thread::sleep_for(1ms);
      finished = true;
    });
    worker.Post([&] { waitingRan = true; });
    ASSERT_EQ(entered.get_future().wait_for(10s), std::future_status::ready);
    releaser = std::thread([&] {
      std::this_thread::sleep_for(50ms);
      release = true;
    });
  }
  releaser.join();
  EXPECT_TRUE(finished);
  EXPECT_FALSE(waitingRan);
}

TEST(BackgroundWorkerTest, WithoutAThreadJobsRunAtOnce) {
  BackgroundWorker worker([](std::function<void()>, std::thread&) { return false; });
  std::thread::id ranOn;
  worker.Post([&] { ranOn = std::this_thread::get_id(); });
  EXPECT_EQ(ranOn, std::this_thread::get_id());
}

// The answer reaches the asking thread only when it takes its mail, after
// the worker woke it.
TEST(AnswerMailboxTest, AnswersAreUsedOnTheAskingThread) {
  std::mutex mutex;
  std::condition_variable woken;
  int wakes = 0;
  AnswerMailbox mailbox([&] {
    std::lock_guard lock(mutex);
    ++wakes;
    woken.notify_all();
  });
  BackgroundWorker worker;
  std::thread::id askedOn;
  std::vector<std::string> used;
  for (const char* name : {"first", "second"}) {
    AskInBackground<std::string>(
        worker, mailbox,
        [name, &askedOn] {
          askedOn = std::this_thread::get_id();
          return std::string(name) + "!";
        },
        [&used](const std::string& answer) { used.push_back(answer); });
  }
  {
    std::unique_lock lock(mutex);
    ASSERT_TRUE(woken.wait_for(lock, 10s, [&] { return wakes == 2; }));
  }
  EXPECT_TRUE(used.empty());
  mailbox.Deliver();
  EXPECT_EQ(used, (std::vector<std::string>{"first!", "second!"}));
  EXPECT_NE(askedOn, std::this_thread::get_id());
}

// Stands for a scan tree: movable only, and it notes where it was freed.
class Tree {
 public:
  explicit Tree(std::promise<std::thread::id>* freedOn) : freedOn_(freedOn) {}
  Tree(Tree&& other) noexcept : freedOn_(std::exchange(other.freedOn_, nullptr)) {}
  Tree(const Tree&) = delete;
  ~Tree() {
    if (freedOn_ != nullptr) freedOn_->set_value(std::this_thread::get_id());
  }

 private:
  std::promise<std::thread::id>* freedOn_;
};

TEST(BackgroundDisposerTest, FreesOnItsOwnThread) {
  std::promise<std::thread::id> freedOn;
  std::future<std::thread::id> freed = freedOn.get_future();
  {
    BackgroundDisposer<Tree> disposer;
    disposer.Dispose(Tree(&freedOn));
    ASSERT_EQ(freed.wait_for(10s), std::future_status::ready);
  }
  EXPECT_NE(freed.get(), std::this_thread::get_id());
}

}  // namespace
}  // namespace ombrix::app
