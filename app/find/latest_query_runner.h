// One thread of the window's own for questions asked of the result in
// memory (a find, the file types of a folder) that can take long on a large
// volume, so that typing in the filter box stays fluent: only the latest
// question counts. A new one replaces the question still waiting, asks the
// running one to stop (through its stop token), and the answer to any
// question but the latest is dropped, never shown.
//
// The worker runs the question; its answer's use waits here, and the
// window thread, woken by wakeAsker (a posted message), runs it itself
// (Deliver), so everything that touches the window stays on its thread.
// The questions read a result the window owns: before that result is
// released or replaced, the window calls CancelAndWait, which returns once
// no question is running (a running one stops within a few thousand
// nodes). The thread is joined when the runner is destroyed.
#pragma once

#include <condition_variable>
#include <cstdint>
#include <functional>
#include <mutex>
#include <optional>
#include <stop_token>
#include <thread>

#include "base/thread_starter.h"

namespace ombrix::app {

class LatestQueryRunner {
 public:
  // Runs on the worker; returns what the window thread is to do with the
  // answer, or nothing (stopped, or no answer to show).
  using Question = std::function<std::function<void()>(std::stop_token stop)>;

  explicit LatestQueryRunner(std::function<void()> wakeAsker,
                             const base::ThreadStarter& startThread = base::StartStdThread);
  ~LatestQueryRunner();
  LatestQueryRunner(const LatestQueryRunner&) = delete;
  LatestQueryRunner& operator=(const LatestQueryRunner&) = delete;

  // Asking thread. When the thread could not be started the question is
  // answered here and now.
  void Ask(Question question);
  // Asking thread: runs the use of the latest question's answer, when it
  // has arrived; anything older is dropped.
  void Deliver();
  // Asking thread: forgets the waiting question and any answer, stops the
  // running question and waits until it has ended.
  void CancelAndWait();

 private:
  void Run();

  std::function<void()> wakeAsker_;
  std::mutex mutex_;  // guards everything below but thread_ and started_
  std::condition_variable wake_;
  std::condition_variable idle_;
  std::optional<Question> waiting_;
  std::uint64_t latest_ = 0;  // the number of the latest question asked
  std::stop_source running_;  // the running question's, or a spent one
  bool busy_ = false;
  std::function<void()> answer_;
  std::uint64_t answerNumber_ = 0;
  bool stopping_ = false;
  std::thread thread_;
  bool started_ = false;
};

}  // namespace ombrix::app
