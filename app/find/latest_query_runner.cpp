#include "app/find/latest_query_runner.h"

#include <utility>

namespace ombrix::app {

LatestQueryRunner::LatestQueryRunner(std::function<void()> wakeAsker,
                                     const base::ThreadStarter& startThread)
    : wakeAsker_(std::move(wakeAsker)) {
  started_ = startThread([this] { Run(); }, thread_);
}

LatestQueryRunner::~LatestQueryRunner() {
  {
    std::lock_guard lock(mutex_);
    stopping_ = true;
    waiting_.reset();
    running_.request_stop();
  }
  wake_.notify_one();
  if (thread_.joinable()) thread_.join();
}

void LatestQueryRunner::Ask(Question question) {
  if (started_) {
    {
      std::lock_guard lock(mutex_);
      waiting_ = std::move(question);
      ++latest_;
      running_.request_stop();
    }
    wake_.notify_one();
    return;
  }
  std::function<void()> use;
  try {
    use = question(std::stop_token{});
  } catch (...) {
  }
  {
    std::lock_guard lock(mutex_);
    answer_ = std::move(use);
    answerNumber_ = ++latest_;
  }
  if (wakeAsker_) wakeAsker_();
}

void LatestQueryRunner::Deliver() {
  std::function<void()> use;
  {
    std::lock_guard lock(mutex_);
    if (answerNumber_ == latest_) use = std::move(answer_);
    answer_ = nullptr;
  }
  if (use) use();
}

void LatestQueryRunner::CancelAndWait() {
  std::unique_lock lock(mutex_);
  ++latest_;
  waiting_.reset();
  answer_ = nullptr;
  running_.request_stop();
  idle_.wait(lock, [this] { return !busy_; });
}

void LatestQueryRunner::Run() {
  for (;;) {
    Question question;
    std::stop_token stop;
    std::uint64_t number = 0;
    {
      std::unique_lock lock(mutex_);
      wake_.wait(lock, [this] { return stopping_ || waiting_.has_value(); });
      if (stopping_) return;
      question = std::move(*waiting_);
      waiting_.reset();
      number = latest_;
      running_ = std::stop_source();
      stop = running_.get_token();
      busy_ = true;
    }
    // A question that fails (out of memory on a huge result) only leaves
    // itself unanswered; an exception leaving the thread would end the
    // program.
    std::function<void()> use;
    try {
      use = question(stop);
    } catch (...) {
    }
    bool answered = false;
    {
      std::lock_guard lock(mutex_);
      busy_ = false;
      if (use && number == latest_) {
        answer_ = std::move(use);
        answerNumber_ = number;
        answered = true;
      }
    }
    idle_.notify_all();
    if (answered && wakeAsker_) wakeAsker_();
  }
}

}  // namespace ombrix::app
