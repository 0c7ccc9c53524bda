#include "app/background_worker.h"

#include <new>
#include <utility>

namespace ombrix::app {

BackgroundWorker::BackgroundWorker(const base::ThreadStarter& startThread) {
  started_ = startThread([this] { Run(); }, thread_);
}

BackgroundWorker::~BackgroundWorker() {
  std::deque<std::function<void()>> dropped;
  {
    std::lock_guard lock(mutex_);
    stopping_ = true;
    dropped.swap(jobs_);
  }
  wake_.notify_one();
  if (thread_.joinable()) thread_.join();
}

void BackgroundWorker::Post(std::function<void()> job) {
  if (started_) {
    try {
      {
        std::lock_guard lock(mutex_);
        jobs_.push_back(std::move(job));
      }
      wake_.notify_one();
      return;
    } catch (const std::bad_alloc&) {
      // No room in the queue: the job runs here instead.
    }
  }
  try {
    job();
  } catch (...) {
  }
}

void BackgroundWorker::Run() {
  for (;;) {
    std::function<void()> job;
    {
      std::unique_lock lock(mutex_);
      wake_.wait(lock, [this] { return stopping_ || !jobs_.empty(); });
      if (stopping_) return;
      job = std::move(jobs_.front());
      jobs_.pop_front();
    }
    // An exception leaving the thread would end the program; a job that
    // failed (out of memory, say) only leaves its question unanswered.
    try {
      job();
    } catch (...) {
    }
  }
}

}  // namespace ombrix::app
