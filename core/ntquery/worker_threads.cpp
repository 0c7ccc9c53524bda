#include "core/ntquery/worker_threads.h"

#include <system_error>
#include <utility>

namespace ombrix::core {

bool StartStdThread(std::function<void()> body, std::thread& thread) {
  try {
    thread = std::thread(std::move(body));
    return true;
  } catch (const std::system_error&) {
    return false;
  }
}

}  // namespace ombrix::core
