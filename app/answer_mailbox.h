// Questions the background worker answers for the window thread. The
// worker runs the question (which may wait on the file system as long as
// it likes), leaves the answer's use in the mailbox and wakes the window (a
// posted message); the window thread then runs the waiting uses itself, in
// the order they arrived, so everything that touches the window stays on
// its thread.
#pragma once

#include <deque>
#include <functional>
#include <mutex>
#include <utility>

#include "app/background_worker.h"

namespace ombrix::app {

class AnswerMailbox {
 public:
  // wakeAsker is called on the worker's thread after each answer arrives.
  explicit AnswerMailbox(std::function<void()> wakeAsker) : wakeAsker_(std::move(wakeAsker)) {}

  // Worker's thread.
  void Put(std::function<void()> use);
  // Asking thread: runs the uses waiting now, one at a time, so a use that
  // runs a message loop of its own (a modal dialog) may deliver the next.
  void Deliver();

 private:
  std::mutex mutex_;  // guards uses_
  std::deque<std::function<void()>> uses_;
  std::function<void()> wakeAsker_;
};

// Asks `question` on the worker; `use` gets the answer on the thread that
// calls mailbox.Deliver(). Both are copied into the job, so they must not
// hold references the worker could outlive.
template <typename Answer>
void AskInBackground(BackgroundWorker& worker, AnswerMailbox& mailbox,
                     std::function<Answer()> question, std::function<void(const Answer&)> use) {
  worker.Post([&mailbox, question = std::move(question), use = std::move(use)] {
    Answer answer = question();
    mailbox.Put([use, answer = std::move(answer)] { use(answer); });
  });
}

}  // namespace ombrix::app
