#include "app/answer_mailbox.h"

namespace ombrix::app {

void AnswerMailbox::Put(std::function<void()> use) {
  {
    std::lock_guard lock(mutex_);
    uses_.push_back(std::move(use));
  }
  if (wakeAsker_) wakeAsker_();
}

void AnswerMailbox::Deliver() {
  for (;;) {
    std::function<void()> use;
    {
      std::lock_guard lock(mutex_);
      if (uses_.empty()) return;
      use = std::move(uses_.front());
      uses_.pop_front();
    }
    use();
  }
}

}  // namespace ombrix::app
