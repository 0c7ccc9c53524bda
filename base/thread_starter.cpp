#include "base/thread_starter.h"

#include <utility>

namespace ombrix::base {

bool StartStdThread(std::function<void()> body, std::thread& thread) {
  try {
    thread = std::thread(std::move(body));
    return true;
  } catch (...) {
    return false;
  }
}

}  // namespace ombrix::base
