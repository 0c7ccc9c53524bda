// One thread of the window's own, for work that must not hold the window
// thread up: questions that can wait on an offline network path or a
// spinning-up drive, and freeing a scan tree of tens of millions of nodes.
// Jobs run one at a time, in the order they were posted. The thread starts
// with the worker and is joined when the worker is destroyed; jobs still
// waiting then are dropped, and the one running is waited for (a blocked
// file-system query cannot be called off).
#pragma once

#include <condition_variable>
#include <deque>
#include <functional>
#include <mutex>
#include <thread>

#include "base/thread_starter.h"

namespace ombrix::app {

class BackgroundWorker {
 public:
  explicit BackgroundWorker(const base::ThreadStarter& startThread = base::StartStdThread);
  ~BackgroundWorker();
  BackgroundWorker(const BackgroundWorker&) = delete;
  BackgroundWorker& operator=(const BackgroundWorker&) = delete;

  // Runs the job on the worker's thread, or at once on the caller's when
  // the thread could not be started. A job that throws is abandoned; the
  // worker goes on with the next.
  void Post(std::function<void()> job);

 private:
  void Run();

  std::mutex mutex_;  // guards jobs_ and stopping_
  std::condition_variable wake_;
  std::deque<std::function<void()>> jobs_;
  bool stopping_ = false;
  std::thread thread_;
  bool started_ = false;
};

}  // namespace ombrix::app
